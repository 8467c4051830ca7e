#include "output/DrawingExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>

#include "model/FileDescriptor.h"
#include "model/RuntimeError.h"
#include "output/ReplacementFile.h"
#include "render/MetafilePicture.h"

namespace korvid {

namespace {

constexpr double kHimetricPerInch = 2540;
constexpr int kDefaultDpi = 96;
constexpr int kPdfDpi = 1200;

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

// QSvgGenerator, QPdfWriter and QImage never report a failed write, so a full disk would
// leave a truncated file that passes for a finished one. They draw into memory; this
// writes it.
void WriteBytes(const QByteArray& bytes, int to, const std::string& output) {
  WriteAllTo(to, bytes.constData(), static_cast<std::size_t>(bytes.size()), output);
}

QSizeF FrameMillimetres(const QRect& frame) {
  return QSizeF(frame.width() / 100.0, frame.height() / 100.0);
}

void WriteRaster(const MetafilePicture& picture, const ExportRequest& request, int to,
                 const char* format) {
  const RasterSize size = RasterSizeFor(picture.Frame(), request.widthPx, request.dpi);
  QImage image(size.widthPx, size.heightPx, QImage::Format_RGB32);
  if (image.isNull()) throw RuntimeError(err::kPictureTooLarge);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    picture.Paint(painter, QRectF(0, 0, size.widthPx, size.heightPx));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  errno = 0;
  if (!image.save(&buffer, format)) Fail(request.output);
  WriteBytes(bytes, to, request.output);
}

void WritePdf(const MetafilePicture& picture, int to, const std::string& output) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(kPdfDpi);
  writer.setPageSize(QPageSize(FrameMillimetres(picture.Frame()), QPageSize::Millimeter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setCreator("Korvid");
  QPainter painter;
  errno = 0;
  if (!painter.begin(&writer)) Fail(output);
  const QRectF page(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
  picture.Paint(painter, page, PaintOptions{kPdfDpi / 25.4});
  if (!painter.end()) Fail(output);
  WriteBytes(bytes, to, output);
}

void WriteSvg(const MetafilePicture& picture, int to, const std::string& output) {
  const QSizeF millimetres = FrameMillimetres(picture.Frame());
  // One SVG user unit per 0.1 mm keeps the drawing sharp in any viewer.
  const QSize units(static_cast<int>(std::lround(millimetres.width() * 10)),
                    static_cast<int>(std::lround(millimetres.height() * 10)));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(units);
  generator.setViewBox(QRect(QPoint(0, 0), units));
  generator.setResolution(254);  // 10 units per mm
  generator.setTitle("HPGL Data Drawing");
  generator.setDescription("Drawn by Korvid");
  QPainter painter;
  errno = 0;
  if (!painter.begin(&generator)) Fail(output);
  picture.Paint(painter, QRectF(QPointF(0, 0), QSizeF(units)), PaintOptions{10});
  if (!painter.end()) Fail(output);
  WriteBytes(bytes, to, output);
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

RasterSize RasterSizeFor(const QRect& frameHimetric, int widthPx, int dpi) {
  const double frameWidth = std::max(frameHimetric.width(), 1);
  const double frameHeight = std::max(frameHimetric.height(), 1);
  double width = 0;
  double height = 0;
  if (widthPx > 0) {
    width = widthPx;
    height = widthPx * frameHeight / frameWidth;
  } else {
    const double perHimetric = (dpi > 0 ? dpi : kDefaultDpi) / kHimetricPerInch;
    width = frameWidth * perHimetric;
    height = frameHeight * perHimetric;
  }
  width = std::max(1.0, std::round(width));
  height = std::max(1.0, std::round(height));
  if (width * height > kLargestImagePixels || width > 65535 || height > 65535) {
    throw RuntimeError(err::kPictureTooLarge);
  }
  return {static_cast<int>(width), static_cast<int>(height)};
}

namespace {

// The drawing in the requested format, written to `to`.
void WriteDrawing(const ExportRequest& request, int to) {
  if (request.format == ExportFormat::Emf) {
    CopyFile(request.metafile, to, request.output);
    return;
  }
  const MetafilePicture picture = MetafilePicture::LoadFile(request.metafile);
  switch (request.format) {
    case ExportFormat::Png:
      WriteRaster(picture, request, to, "PNG");
      break;
    case ExportFormat::Bmp:
      WriteRaster(picture, request, to, "BMP");
      break;
    case ExportFormat::Pdf:
      WritePdf(picture, to, request.output);
      break;
    case ExportFormat::Svg:
      WriteSvg(picture, to, request.output);
      break;
    case ExportFormat::Emf:
      break;
  }
}

// An output that exists as something other than a file or a folder (a terminal, a pipe,
// /dev/stdout) is written into as it is, never replaced.
FileDescriptor OpenStreamOutput(const std::string& output) {
  struct stat status {};
  if (::stat(output.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
    return FileDescriptor(-1);
  }
  FileDescriptor stream(::open(output.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  if (stream.Get() < 0) Fail(output);
  return stream;
}

}  // namespace

void ExportDrawing(const ExportRequest& request) {
  if (request.output == kStandardOutputName) {
    WriteDrawing(request, STDOUT_FILENO);
    return;
  }
  if (const FileDescriptor stream = OpenStreamOutput(request.output); stream.Get() >= 0) {
    WriteDrawing(request, stream.Get());
    return;
  }
  ReplacementFile replacement(request.output);
  WriteDrawing(request, replacement.Fd());
  replacement.Commit();
}

}  // namespace korvid
