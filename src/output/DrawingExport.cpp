#include "output/DrawingExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "model/DrawingBudget.h"
#include "model/FileDescriptor.h"
#include "model/RuntimeError.h"
#include "output/BmpWriter.h"
#include "output/PdfWriter.h"
#include "output/PngWriter.h"
#include "output/ReplacementFile.h"
#include "output/SvgWriter.h"
#include "output/VectorWalk.h"
#include "render/ImageFill.h"
#include "render/MetafileDrawing.h"
#include "render/MetafilePicture.h"
#include "render/PaintWork.h"
#include "render/TwoThreadPaint.h"

namespace korvid {

namespace {

constexpr double kHimetricPerInch = 2540;
constexpr double kMmPerInch = 25.4;
constexpr int kDefaultDpi = 96;

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

void Fail(const std::string& output) {
  throw RuntimeError(errno ? ErrorNumberFromErrno(errno) : err::kDeviceIo, output);
}

// Every failed read or write is reported with its own reason: std::filesystem::copy_file
// turns a full disk into EIO.
void CopyFile(const FileLocation& from, int to, const std::string& output) {
  FileDescriptor in(from.Open(O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (in.Get() < 0) Fail(output);
  char block[1 << 16];
  for (;;) {
    const ssize_t read = ::read(in.Get(), block, sizeof block);
    if (read < 0) {
      if (errno == EINTR) continue;
      Fail(output);
    }
    if (read == 0) break;
    WriteAllTo(to, block, static_cast<std::size_t>(read), output);
  }
}

std::size_t ImageBytes(const RasterSize& size) {
  return static_cast<std::size_t>(size.widthPx) * static_cast<std::size_t>(size.heightPx) * 4;
}

// What a vector writer makes of a display list, and holds while it makes it: its text
// (some 13 bytes a line of SVG, measured), and for PDF the packed streams beside it. Their
// room is as large as the text but only what is packed into it is ever touched: a few
// bytes a line, a quarter of the text at most for a drawing's repetitive operators.
std::size_t VectorBytes(const MetafilePicture& picture, ExportFormat format) {
  const MetafilePicture::Drawing* drawing = picture.Contents();
  if (drawing == nullptr) return 0;
  std::size_t fillPoints = 0;
  for (const FrameFill& fill : drawing->fills)
    fillPoints += fill.points.size();
  const std::size_t text = 4096 + 16 * drawing->lines.size() + 128 * drawing->arcs.size() +
                           16 * fillPoints + 160 * drawing->runs.size();
  return format == ExportFormat::Pdf ? text + text / 4 : text;
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == ".emf") return ExportFormat::Emf;
  if (extension == ".svg") return ExportFormat::Svg;
  if (extension == ".pdf") return ExportFormat::Pdf;
  if (extension == ".png") return ExportFormat::Png;
  if (extension == ".bmp") return ExportFormat::Bmp;
  return std::nullopt;
}

namespace {

// Whole pixels of at least one each; error 480 for an image no memory would hold.
RasterSize Pixels(double width, double height) {
  width = std::max(1.0, std::round(width));
  height = std::max(1.0, std::round(height));
  if (!(width * height <= kLargestImagePixels && width <= 65535 && height <= 65535)) {
    throw RuntimeError(err::kPictureTooLarge);
  }
  return {static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

RasterSize RasterSizeFor(const QRect& frameHimetric, int widthPx, int dpi) {
  const double frameWidth = std::max(frameHimetric.width(), 1);
  const double frameHeight = std::max(frameHimetric.height(), 1);
  if (widthPx > 0) return Pixels(widthPx, widthPx * frameHeight / frameWidth);
  const double perHimetric = (dpi > 0 ? dpi : kDefaultDpi) / kHimetricPerInch;
  return Pixels(frameWidth * perHimetric, frameHeight * perHimetric);
}

FrameOnPage FrameAsPage(const QRect& frameHimetric) {
  constexpr double kMmPerFrameUnit = 0.01;
  FrameOnPage page;
  page.layout.page = {std::max(frameHimetric.width(), 1) * kMmPerFrameUnit,
                      std::max(frameHimetric.height(), 1) * kMmPerFrameUnit};
  page.mmPerFrameUnit = kMmPerFrameUnit;
  page.originX = -frameHimetric.left() * kMmPerFrameUnit;
  page.originY = -frameHimetric.top() * kMmPerFrameUnit;
  return page;
}

RasterLayout RasterLayoutFor(const QRect& frameHimetric, const EncodeRequest& request) {
  RasterLayout layout;
  if (!request.page) {
    layout.size = RasterSizeFor(frameHimetric, request.widthPx, request.dpi);
    layout.frameTarget = QRectF(0, 0, layout.size.widthPx, layout.size.heightPx);
    return layout;
  }
  const FrameOnPage& page = *request.page;
  const double pxPerMm = request.widthPx > 0
                             ? request.widthPx / page.layout.page.width
                             : (request.dpi > 0 ? request.dpi : kDefaultDpi) / kMmPerInch;
  layout.size = Pixels(page.layout.page.width * pxPerMm, page.layout.page.height * pxPerMm);
  const double pxPerFrameUnit = page.mmPerFrameUnit * pxPerMm;
  layout.frameTarget = QRectF(page.originX * pxPerMm + frameHimetric.left() * pxPerFrameUnit,
                              page.originY * pxPerMm + frameHimetric.top() * pxPerFrameUnit,
                              std::max(frameHimetric.width(), 1) * pxPerFrameUnit,
                              std::max(frameHimetric.height(), 1) * pxPerFrameUnit);
  layout.pixelsPerMetre = request.widthPx > 0 || request.dpi <= 0
                              ? static_cast<int>(std::lround(pxPerMm * 1000))
                              : PixelsPerMetre(request.dpi);
  return layout;
}

double PixelsPerFrameUnit(const QRect& frameHimetric, const RasterLayout& layout) {
  return std::max(layout.frameTarget.width() / std::max(frameHimetric.width(), 1),
                  layout.frameTarget.height() / std::max(frameHimetric.height(), 1));
}

namespace {

// A white image as the layout lays it, with a picture painted on it in two parts, the later
// over the first, paint(painter, later) painting each on a processor of its own where the
// budget has room for the second one's layer, else both in turn on the image.
QImage RasterInTwo(const RasterLayout& layout,
                   const std::function<void(QPainter&, bool later)>& paint) {
  const RasterSize size = layout.size;
  DrawingBudget::Charge(ImageBytes(size));
  QImage image(size.widthPx, size.heightPx, QImage::Format_RGB32);
  if (image.isNull()) throw RuntimeError(err::kPictureTooLarge);
  try {
    DrawingBudget::Charge(ImageBytes(size));
  } catch (const DrawingBudgetSpent&) {
    FillImage(image, qRgb(255, 255, 255));
    QPainter painter(&image);
    paint(painter, false);
    paint(painter, true);
    return image;
  }
  QImage layer(size.widthPx, size.heightPx, QImage::Format_ARGB32);
  if (layer.isNull()) throw RuntimeError(err::kPictureTooLarge);
  PaintOnTwoThreads(image, layer, image.rect(), [&](QImage& canvas, bool later) {
    if (!later) FillImage(image, qRgb(255, 255, 255));
    QPainter painter(&canvas);
    paint(painter, later);
  });
  return image;
}

}  // namespace

QImage RasterOfParts(const RasterLayout& layout, const PartPainter& first,
                     const PartPainter& later) {
  return RasterInTwo(layout, [&](QPainter& painter, bool isLater) {
    (isLater ? later : first)(painter, layout.frameTarget);
  });
}

QImage RasterOfPicture(const MetafilePicture& picture, const RasterLayout& layout) {
  if (const std::optional<PicturePlace> cut =
          TwoThreadCut(picture, PixelsPerFrameUnit(picture.Frame(), layout))) {
    // Both threads paint the one display list, each its own part.
    return RasterInTwo(layout, [&](QPainter& painter, bool later) {
      PaintOptions part;
      (later ? part.from : part.to) = *cut;
      picture.Paint(painter, layout.frameTarget, part);
    });
  }
  DrawingBudget::Charge(ImageBytes(layout.size));
  QImage image(layout.size.widthPx, layout.size.heightPx, QImage::Format_RGB32);
  if (image.isNull()) throw RuntimeError(err::kPictureTooLarge);
  FillImage(image, qRgb(255, 255, 255));
  QPainter painter(&image);
  picture.Paint(painter, layout.frameTarget);
  return image;
}

std::string EncodeImage(ExportFormat format, const QImage& image, int pixelsPerMetre) {
  // The encoders' rows, packed and compressed, and the file's bytes: about one more image.
  const DrawingBudget::Hold encoding(static_cast<std::size_t>(image.sizeInBytes()));
  if (format == ExportFormat::Bmp) return BmpOfImage(image, pixelsPerMetre);
  if (format == ExportFormat::Png) return PngOfImage(image, pixelsPerMetre);
  throw RuntimeError(err::kBadFileNameOrNumber, "no image encoding for this format");
}

std::string EncodePicture(const MetafilePicture& picture, const EncodeRequest& request) {
  switch (request.format) {
    case ExportFormat::Png:
    case ExportFormat::Bmp: {
      const RasterLayout layout = RasterLayoutFor(picture.Frame(), request);
      return EncodeImage(request.format, RasterOfPicture(picture, layout), layout.pixelsPerMetre);
    }
    case ExportFormat::Pdf: {
      const DrawingBudget::Hold writing(VectorBytes(picture, request.format));
      return PdfOfPicture(picture, request.page.value_or(FrameAsPage(picture.Frame())));
    }
    case ExportFormat::Svg: {
      const DrawingBudget::Hold writing(VectorBytes(picture, request.format));
      return SvgOfPicture(picture, request.page.value_or(FrameAsPage(picture.Frame())));
    }
    case ExportFormat::Emf:
      break;
  }
  throw RuntimeError(err::kBadFileNameOrNumber, "no encoding for the plot metafile");
}

std::string EncodeSourceImage(const PlotSource& source, const DrawSetup& setupAsked,
                              const EncodeRequest& request) {
  const QRect frame = source.Frame(setupAsked.rotation.angle);
  const RasterLayout layout = RasterLayoutFor(frame, request);
  DrawSetup setup = setupAsked;
  setup.imagePixelsPerFrameUnit = PixelsPerFrameUnit(frame, layout);
  std::optional<DrawingParts> parts;
  if (std::thread::hardware_concurrency() > 1)
    parts = source.PartsForThreads(setup.imagePixelsPerFrameUnit);
  if (!parts) return EncodePicture(DrawPlotPicture(source, setup), request);
  const auto pieceByPiece = [&](const DrawingPart& part) {
    return [&, part](QPainter& painter, const QRectF& target) {
      for (const DrawingPart& piece : source.Pieces(part, kPieceLines))
        DrawPlotPicture(source, setup, piece).Paint(painter, target);
    };
  };
  return EncodeImage(request.format,
                     RasterOfParts(layout, pieceByPiece(parts->first), pieceByPiece(parts->later)),
                     layout.pixelsPerMetre);
}

namespace {

// Lets `write` fill `output` through a descriptor: standard output for "-", else a
// replacement file that takes the output's place once complete. Nothing else is written
// into: an output that is, or leads to, a device or a FIFO is refused.
void WriteInto(const std::string& output, const std::function<void(int)>& write) {
  if (output == kStandardOutputName) {
    write(STDOUT_FILENO);
    return;
  }
  ReplacementFile replacement(output);
  write(replacement.Fd());
  replacement.Commit();
}

}  // namespace

void WriteOutput(std::string_view bytes, const std::string& output) {
  DrawingBudget::Charge(bytes.size());
  WriteInto(output, [&](int to) { WriteAllTo(to, bytes.data(), bytes.size(), output); });
}

void WritePicture(const MetafilePicture& picture, const EncodeRequest& request,
                  const std::string& output) {
  if (request.format != ExportFormat::Svg) {
    WriteOutput(EncodePicture(picture, request), output);
    return;
  }
  const DrawingBudget::Hold writing(VectorBytes(picture, request.format));
  WriteInto(output, [&](int to) {
    off_t written = 0;
    WriteSvgOfPicture(
        picture, request.page.value_or(FrameAsPage(picture.Frame())), [&](std::string_view part) {
          WriteAllTo(to, part.data(), part.size(), output);
          // The disk takes each part while the rest is made, so that the file is on it all
          // the sooner once complete. Only a request, which a pipe refuses.
          ::sync_file_range(to, written, static_cast<off_t>(part.size()), SYNC_FILE_RANGE_WRITE);
          written += static_cast<off_t>(part.size());
        });
  });
}

void ExportDrawing(const ExportRequest& request) {
  if (request.format == ExportFormat::Emf) {
    WriteInto(request.output, [&](int to) { CopyFile(request.metafile, to, request.output); });
    return;
  }
  const MetafilePicture picture = MetafilePicture::LoadFile(request.metafile);
  WritePicture(picture, {request.format, request.widthPx, request.dpi, request.page},
               request.output);
}

}  // namespace korvid
