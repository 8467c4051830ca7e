#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/FileLocation.h"
#include "output/PaperLayout.h"
#include "render/MetafilePicture.h"
#include "render/PlotSource.h"

class QPainter;

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
  std::optional<FrameOnPage> page;  // see EncodeRequest
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
  // The page the frame goes on, at its true size or as asked: an SVG or PDF file has its
  // size, an image its size at `dpi` (96 when 0) or `widthPx` wide, and tells its
  // resolution. Without one a vector file is the frame itself, and an image the frame at
  // RasterSizeFor's size that tells none.
  std::optional<FrameOnPage> page;
};

// The page that shows a frame at its own size, 0.01 mm a unit.
FrameOnPage FrameAsPage(const QRect& frameHimetric);

// How a picture is laid on an image: its size, the rectangle its frame is painted into,
// and the resolution the file tells (0: none said, which a BMP file has as 96 dpi).
struct RasterLayout {
  RasterSize size;
  QRectF frameTarget;
  int pixelsPerMetre = 0;
};

// The image of the request for a picture of `frameHimetric`. Error 480 beyond 256
// megapixels.
RasterLayout RasterLayoutFor(const QRect& frameHimetric, const EncodeRequest& request);

// The picture drawn on a white image as the layout lays it, as the window draws it.
QImage RasterOfPicture(const MetafilePicture& picture, const RasterLayout& layout);

// Pixels per 0.01 mm of a frame drawn as the layout lays it.
double PixelsPerFrameUnit(const QRect& frameHimetric, const RasterLayout& layout);

// Paints a part of a picture, its frame onto `target`, on the thread that makes it.
using PartPainter = std::function<void(QPainter& painter, const QRectF& target)>;

// A white image as the layout lays it, with a picture made in two parts painted on it, the
// later over the first: each part made and painted on a processor of its own. Both parts
// have the frame the image shows.
QImage RasterOfParts(const RasterLayout& layout, const PartPainter& first,
                     const PartPainter& later);

// The bytes of a PNG or BMP file of the image, telling its resolution when given.
std::string EncodeImage(ExportFormat format, const QImage& image, int pixelsPerMetre = 0);

// The bytes of the file of `request.format` that shows the picture. Error 480 for an image
// too large.
std::string EncodePicture(const MetafilePicture& picture, const EncodeRequest& request);

// The PNG or BMP file of a source's page as EncodePicture makes it of DrawPlotPicture's
// picture drawn for that image (its imagePixelsPerFrameUnit that of the image's layout), to
// the bit. A large page of a source that draws in parts is drawn in two parts at
// once, each recorded and painted by a processor of its own: recording the whole picture
// first would leave one processor idle for as long as the recording takes.
std::string EncodeSourceImage(const PlotSource& source, const DrawSetup& setup,
                              const EncodeRequest& request);

// Writes `bytes` into `output` as ExportDrawing writes a drawing: standard output for "-",
// a file only once all of it is on disk, nothing that is not a file.
void WriteOutput(std::string_view bytes, const std::string& output);

// EncodePicture's file written into `output` as WriteOutput writes it; an SVG is written
// while it is made, never held whole.
void WritePicture(const MetafilePicture& picture, const EncodeRequest& request,
                  const std::string& output);

}  // namespace korvid
