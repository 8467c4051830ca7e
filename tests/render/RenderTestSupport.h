#pragma once

#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "reader/PlotReader.h"
#include "render/EmfWriter.h"
#include "render/MetafilePicture.h"

namespace korvid::testing {

// Record types of [MS-EMF].
inline constexpr std::int32_t kHeader = 1, kPolyline = 4, kPolyPolygon = 8, kEof = 14,
                              kSetMapMode = 17, kSetPolyFillMode = 19, kMoveTo = 27,
                              kSelectObject = 37, kCreatePen = 38, kCreateBrush = 39,
                              kDeleteObject = 40, kArc = 45, kLineTo = 54;

inline std::uint32_t WordAt(const std::string& bytes, std::size_t offset) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes.data() + offset, sizeof word);
  return word;
}
inline void SetWord(std::string& bytes, std::size_t offset, std::uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}
// Offset of the record of `type` after `skip` others of that type, or npos.
inline std::size_t RecordOffset(const std::string& bytes, std::uint32_t type, int skip = 0) {
  for (std::size_t at = 0; at + 8 <= bytes.size() && WordAt(bytes, at + 4) >= 8;
       at += WordAt(bytes, at + 4))
    if (WordAt(bytes, at) == type && skip-- == 0) return at;
  return std::string::npos;
}

// Each record read back as its type followed by the words after its size.
using EmfRecord = std::vector<std::int32_t>;
inline std::vector<EmfRecord> ParseEmfRecords(const std::string& bytes) {
  std::vector<EmfRecord> records;
  for (std::size_t at = 0, size = 0; at + 8 <= bytes.size(); at += size) {
    size = WordAt(bytes, at + 4);
    if (size < 8 || size % 4 != 0 || at + size > bytes.size()) break;
    records.emplace_back(size / 4 - 1);
    std::memcpy(records.back().data() + 1, bytes.data() + at + 8, size - 8);
    records.back()[0] = static_cast<std::int32_t>(WordAt(bytes, at));
  }
  return records;
}

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
// A file name of this process's own in the temporary folder.
inline std::string TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}

// A plot read as the window reads it, plot 1 current.
inline std::unique_ptr<PlotModel> ReadPlot(const std::string& hpgl) {
  struct : ReaderMessenger {
    void ShowMessage(const std::string&) override {}
  } silent;
  auto model = std::make_unique<PlotModel>();
  std::int16_t status = 0;
  PlotReader(*model, silent).ReadPlotBytes(hpgl, status);
  model->CurPlot = 1;
  return model;
}

// A picture laid out like the plot drawing's files: frame (0, 0, width, height) in 0.01 mm,
// MM_HIMETRIC, points written as (x, -y); so positions given here are frame positions.
class TestEmf {
 public:
  explicit TestEmf(int width = 2000, int height = 2000)
      : writer_(std::make_unique<EmfWriter>(EmfWriter::Rect{0, 0, width, height},
                                            std::u16string(u"test\0picture\0\0", 14))) {
    writer_->SetMapMode(EmfWriter::kMapModeHimetric);
  }
  EmfWriter& writer() { return *writer_; }
  void Line(int x1, int y1, int x2, int y2) {
    writer_->MoveTo(x1, -y1);
    writer_->LineTo(x2, -y2);
  }
  void Arc(QPoint corner1, QPoint corner2, QPoint from, QPoint to) {
    writer_->Arc({corner1.x(), -corner1.y(), corner2.x(), -corner2.y()}, from.x(), -from.y(),
                 to.x(), -to.y());
  }
  std::uint32_t UsePen(std::uint32_t style, std::int32_t width, std::uint32_t colour) {
    const std::uint32_t handle = writer_->CreatePen(style, width, colour);
    writer_->SelectObject(handle);
    return handle;
  }
  std::string Bytes() {
    const std::vector<std::uint8_t>& bytes = writer_->Finish();
    return std::string(bytes.begin(), bytes.end());
  }
  MetafilePicture Picture() { return MetafilePicture::FromBytes(Bytes()); }

 private:
  std::unique_ptr<EmfWriter> writer_;
};

inline constexpr std::uint32_t kRed = 0x0000ff, kBlue = 0xff0000;  // COLORREF 0x00BBGGRR
inline constexpr std::uint32_t kSolid = 0, kDash = 1, kDot = 2, kDashDotDot = 4, kNull = 5;

// RGB32 takes the player's own hairline rasteriser, RGB888 goes through QPainter.
inline constexpr QImage::Format kBothPaths[] = {QImage::Format_RGB32, QImage::Format_RGB888};
inline std::string PathName(QImage::Format format) {
  return format == QImage::Format_RGB32 ? "ImageSink" : "QPainter";
}
// The picture painted onto `image`, cleared to white, through a painter moved by -shift
// and clipped to `clip` unless that is null; at a device pixel ratio of 1 afterwards.
inline QImage Painted(const MetafilePicture& picture, QImage image, const QRectF& target,
                      QPointF shift = {}, QRect clip = {}, const PaintOptions& options = {}) {
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.translate(-shift);
    picture.Paint(painter, target, options);
  }
  image.setDevicePixelRatio(1);
  return image;
}
// The picture painted frame to image onto an image of `size`.
inline QImage Render(const MetafilePicture& picture, QSize size,
                     QImage::Format format = QImage::Format_RGB32,
                     const PaintOptions& options = {}) {
  return Painted(picture, QImage(size, format), QRectF(QPointF(), QSizeF(size)), {}, {}, options);
}

inline bool Inked(const QImage& image, QPoint at) {
  return image.rect().contains(at) && image.pixel(at) != qRgb(255, 255, 255);
}
inline int InkCount(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      count += Inked(image, {x, y}) ? 1 : 0;
  return count;
}
inline bool InkNear(const QImage& image, QPoint at, int radius = 1) {
  return InkCount(image, QRect(at - QPoint(radius, radius), at + QPoint(radius, radius))) > 0;
}

}  // namespace korvid::testing
