#pragma once

#include <QImage>
#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/FileLocation.h"
#include "render/MetafilePicture.h"
#include "render/PlotSource.h"

namespace korvid {

enum class ExportFormat { Emf, Svg, Pdf, Png, Bmp };

// No image of the drawing is made beyond this many pixels (error 480): past it the memory
// would run out long before the user could see the difference.
inline constexpr double kLargestImagePixels = 256.0 * 1024 * 1024;

// The format named by a file's extension, in any letter case.
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

struct RasterSize {
  int widthPx = 0;
  int heightPx = 0;
};

// The image size for a picture frame in 0.01 mm: `widthPx` wide when given, otherwise
// the frame's size at `dpi` (96 when 0). Error 480 beyond 256 megapixels.
RasterSize RasterSizeFor(const QRect& frameHimetric, int widthPx, int dpi);

struct ExportRequest {
  FileLocation metafile;  // the plot metafile the drawing routine wrote
  ExportFormat format = ExportFormat::Emf;
  std::string output;
  int widthPx = 0;
  int dpi = 0;
};

// The output name that stands for standard output.
inline constexpr const char* kStandardOutputName = "-";

// Writes the drawing of the plot metafile into `request.output` (standard output for
// "-", written as it is made). An existing file is
// replaced only once the new one is complete; a failure leaves no partial file behind and
// is a RuntimeError with the reason's run-time error number.
void ExportDrawing(const ExportRequest& request);

struct EncodeRequest {
  ExportFormat format = ExportFormat::Png;  // any but Emf, which is the metafile's own bytes
  int widthPx = 0;
  int dpi = 0;
};

// The picture drawn on a white image of RasterSizeFor's size, as the window draws it.
QImage RasterOfPicture(const MetafilePicture& picture, int widthPx, int dpi);

// Pixels per 0.01 mm of a frame drawn into an image of `size`.
double PixelsPerFrameUnit(const QRect& frameHimetric, const RasterSize& size);

// Makes a picture (or a part of one) on the thread that paints it.
using PictureMaker = std::function<MetafilePicture()>;

// A white image of `size` with a picture made in two parts painted on it, the later over
// the first: each part made and painted on a processor of its own. Both parts have the
// frame the image shows.
QImage RasterOfParts(const RasterSize& size, const PictureMaker& first, const PictureMaker& later);

// The bytes of a PNG or BMP file of the image.
std::string EncodeImage(ExportFormat format, const QImage& image);

// The bytes of the file of `request.format` that shows the picture. Error 480 for an image
// too large.
std::string EncodePicture(const MetafilePicture& picture, const EncodeRequest& request);

// The PNG or BMP file of a source's page as EncodePicture makes it of DrawPlotPicture's
// picture, to the bit. A large page of a source that draws in parts is drawn in two parts at
// once, each recorded and painted by a processor of its own: recording the whole picture
// first would leave one processor idle for as long as the recording takes.
std::string EncodeSourceImage(const PlotSource& source, const DrawSetup& setup,
                              const EncodeRequest& request);

// Writes `bytes` into `output` as ExportDrawing writes a drawing: standard output for "-",
// a file only once all of it is on disk, nothing that is not a file.
void WriteOutput(std::string_view bytes, const std::string& output);

}  // namespace korvid
