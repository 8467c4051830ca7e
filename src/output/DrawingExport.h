#pragma once

#include <QRect>
#include <optional>
#include <string>

#include "model/FileLocation.h"

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

}  // namespace korvid
