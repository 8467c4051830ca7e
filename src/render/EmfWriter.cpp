#include "render/EmfWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "model/DrawingBudget.h"
#include "model/RuntimeError.h"

// libuemf defines many unprefixed macros: it stays inside this file.
#include <uemf.h>

namespace korvid {

namespace {

U_RECTL ToRectl(const EmfWriter::Rect& r) {
  return U_RECTL{r.left, r.top, r.right, r.bottom};
}

std::int32_t ToDevicePixels(std::int32_t himetric, std::int32_t pixels, std::int32_t millimetres) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(himetric) * pixels /
                                   (static_cast<std::int64_t>(millimetres) * 100));
}

// The header as libuemf lays it out, copied into our buffer; the totals are filled in
// when the metafile is finished.
std::vector<std::uint8_t> HeaderRecord(const EmfWriter::Rect& frame,
                                       const std::u16string& description) {
  const U_RECTL bounds{
      ToDevicePixels(frame.left, EmfWriter::kDevicePixelsX, EmfWriter::kDeviceMillimetresX),
      ToDevicePixels(frame.top, EmfWriter::kDevicePixelsY, EmfWriter::kDeviceMillimetresY),
      ToDevicePixels(frame.right, EmfWriter::kDevicePixelsX, EmfWriter::kDeviceMillimetresX),
      ToDevicePixels(frame.bottom, EmfWriter::kDevicePixelsY, EmfWriter::kDeviceMillimetresY)};
  std::u16string text = description;
  const U_SIZEL device{EmfWriter::kDevicePixelsX, EmfWriter::kDevicePixelsY};
  const U_SIZEL millimetres{EmfWriter::kDeviceMillimetresX, EmfWriter::kDeviceMillimetresY};
  std::unique_ptr<char, decltype(&std::free)> record(
      U_EMRHEADER_set(bounds, ToRectl(frame), nullptr, static_cast<U_CBSTR>(text.size()),
                      reinterpret_cast<uint16_t*>(text.data()), device, millimetres, 0),
      &std::free);
  if (!record) throw RuntimeError(err::kOutOfMemory);
  const auto* header = reinterpret_cast<const U_EMRHEADER*>(record.get());
  const auto* begin = reinterpret_cast<const std::uint8_t*>(record.get());
  return std::vector<std::uint8_t>(begin, begin + header->emr.nSize);
}

static_assert(EmfWriter::kWordRecordBytes == sizeof(U_EMRSETMAPMODE) &&
              EmfWriter::kWordRecordBytes == sizeof(U_EMRSELECTOBJECT) &&
              EmfWriter::kWordRecordBytes == sizeof(U_EMRDELETEOBJECT) &&
              EmfWriter::kWordRecordBytes == sizeof(U_EMRSETPOLYFILLMODE));
static_assert(EmfWriter::kPointRecordBytes == sizeof(U_EMRMOVETOEX) &&
              EmfWriter::kPointRecordBytes == sizeof(U_EMRLINETO));
static_assert(EmfWriter::kCreatePenBytes == sizeof(U_EMRCREATEPEN) &&
              EmfWriter::kCreateBrushBytes == sizeof(U_EMRCREATEBRUSHINDIRECT) &&
              EmfWriter::kArcBytes == sizeof(U_EMRARC));

}  // namespace

std::size_t EmfWriter::HeaderBytes(const std::u16string& description) {
  return HeaderRecord({0, 0, 0, 0}, description).size();
}

EmfWriter::EmfWriter(const Rect& frameHimetric, const std::u16string& description,
                     std::size_t expectedRecordBytes)
    : bytes_(HeaderRecord(frameHimetric, description)), records_(1), handleInUse_(1, true) {
  ReserveCounted(bytes_, expectedRecordBytes + 32);
}

EmfWriter::~EmfWriter() = default;

template <typename Record>
void EmfWriter::Append(const Record& record) {
  static_assert(sizeof(Record) % 4 == 0, "records are whole 32-bit words");
  const auto* begin = reinterpret_cast<const std::uint8_t*>(&record);
  if (bytes_.capacity() - bytes_.size() < sizeof(Record)) ReserveCounted(bytes_, sizeof(Record));
  bytes_.insert(bytes_.end(), begin, begin + sizeof(Record));
  ++records_;
}

void EmfWriter::SetMapMode(std::uint32_t mode) {
  Append(U_EMRSETMAPMODE{{U_EMR_SETMAPMODE, sizeof(U_EMRSETMAPMODE)}, mode});
}

std::uint32_t EmfWriter::NewHandle() {
  std::uint32_t handle = 1;
  while (handle < handleInUse_.size() && handleInUse_[handle])
    ++handle;
  if (handle == handleInUse_.size()) handleInUse_.push_back(false);
  handleInUse_[handle] = true;
  if (handle > handlesHighWater_) handlesHighWater_ = handle;
  return handle;
}

std::uint32_t EmfWriter::CreateSolidBrush(std::uint32_t colour) {
  const std::uint32_t handle = NewHandle();
  U_EMRCREATEBRUSHINDIRECT record{};
  record.emr = {U_EMR_CREATEBRUSHINDIRECT, sizeof(U_EMRCREATEBRUSHINDIRECT)};
  record.ihBrush = handle;
  record.lb.lbStyle = U_BS_SOLID;
  std::memcpy(&record.lb.lbColor, &colour, sizeof colour);
  Append(record);
  return handle;
}

void EmfWriter::SetPolyFillMode(std::uint32_t mode) {
  Append(U_EMRSETPOLYFILLMODE{{U_EMR_SETPOLYFILLMODE, sizeof(U_EMRSETPOLYFILLMODE)}, mode});
}

void EmfWriter::SetMiterLimit(std::uint32_t limit) {
  Append(U_EMRSETMITERLIMIT{{U_EMR_SETMITERLIMIT, sizeof(U_EMRSETMITERLIMIT)}, limit});
}

// EMR_POLYLINE: bounds, point count, the points.
void EmfWriter::Polyline(const std::vector<Point>& points) {
  if (points.empty()) return;
  U_RECTL bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Point& p : points) {
    bounds.left = std::min(bounds.left, p.x);
    bounds.top = std::min(bounds.top, p.y);
    bounds.right = std::max(bounds.right, p.x);
    bounds.bottom = std::max(bounds.bottom, p.y);
  }
  const std::size_t size = PolylineBytes(points.size());
  const std::uint32_t head[7] = {U_EMR_POLYLINE,
                                 static_cast<std::uint32_t>(size),
                                 static_cast<std::uint32_t>(bounds.left),
                                 static_cast<std::uint32_t>(bounds.top),
                                 static_cast<std::uint32_t>(bounds.right),
                                 static_cast<std::uint32_t>(bounds.bottom),
                                 static_cast<std::uint32_t>(points.size())};
  const auto* begin = reinterpret_cast<const std::uint8_t*>(head);
  ReserveCounted(bytes_, size);
  bytes_.insert(bytes_.end(), begin, begin + sizeof head);
  const auto* data = reinterpret_cast<const std::uint8_t*>(points.data());
  static_assert(sizeof(Point) == 8, "points are two 32-bit words");
  bytes_.insert(bytes_.end(), data, data + 8 * points.size());
  ++records_;
}

// EMR_POLYPOLYGON: bounds, ring count, point count, the count of each ring, the points.
void EmfWriter::PolyPolygon(const std::vector<std::vector<Point>>& rings) {
  std::size_t points = 0;
  U_RECTL bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const auto& ring : rings) {
    points += ring.size();
    for (const Point& p : ring) {
      bounds.left = std::min(bounds.left, p.x);
      bounds.top = std::min(bounds.top, p.y);
      bounds.right = std::max(bounds.right, p.x);
      bounds.bottom = std::max(bounds.bottom, p.y);
    }
  }
  if (points == 0) return;
  const std::size_t size = PolyPolygonBytes(rings.size(), points);
  // The record is built beside the metafile before it joins it.
  const DrawingBudget::Hold building(size);
  ReserveCounted(bytes_, size);
  std::vector<std::uint32_t> words;
  words.reserve(size / 4);
  const auto push = [&words](std::int64_t value) {
    words.push_back(static_cast<std::uint32_t>(value));
  };
  push(U_EMR_POLYPOLYGON);
  push(static_cast<std::int64_t>(size));
  for (std::int32_t v : {bounds.left, bounds.top, bounds.right, bounds.bottom})
    push(v);
  push(static_cast<std::int64_t>(rings.size()));
  push(static_cast<std::int64_t>(points));
  for (const auto& ring : rings)
    push(static_cast<std::int64_t>(ring.size()));
  for (const auto& ring : rings) {
    for (const Point& p : ring) {
      push(p.x);
      push(p.y);
    }
  }
  const auto* begin = reinterpret_cast<const std::uint8_t*>(words.data());
  bytes_.insert(bytes_.end(), begin, begin + words.size() * 4);
  ++records_;
}

std::uint32_t EmfWriter::CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t colour) {
  const std::uint32_t handle = NewHandle();

  U_EMRCREATEPEN record{};
  record.emr = {U_EMR_CREATEPEN, sizeof(U_EMRCREATEPEN)};
  record.ihPen = handle;
  record.lopn.lopnStyle = style;
  record.lopn.lopnWidth = U_POINT{width, 0};
  std::memcpy(&record.lopn.lopnColor, &colour, sizeof colour);
  Append(record);
  return handle;
}

void EmfWriter::SelectObject(std::uint32_t handle) {
  Append(U_EMRSELECTOBJECT{{U_EMR_SELECTOBJECT, sizeof(U_EMRSELECTOBJECT)}, handle});
}

void EmfWriter::DeleteObject(std::uint32_t handle) {
  if (handle < handleInUse_.size()) handleInUse_[handle] = false;
  Append(U_EMRDELETEOBJECT{{U_EMR_DELETEOBJECT, sizeof(U_EMRDELETEOBJECT)}, handle});
}

void EmfWriter::MoveTo(std::int32_t x, std::int32_t y) {
  Append(U_EMRMOVETOEX{{U_EMR_MOVETOEX, sizeof(U_EMRMOVETOEX)}, U_POINTL{x, y}});
}

void EmfWriter::LineTo(std::int32_t x, std::int32_t y) {
  Append(U_EMRLINETO{{U_EMR_LINETO, sizeof(U_EMRLINETO)}, U_POINTL{x, y}});
}

void EmfWriter::Arc(const Rect& box, std::int32_t startX, std::int32_t startY, std::int32_t endX,
                    std::int32_t endY) {
  Append(U_EMRARC{
      {U_EMR_ARC, sizeof(U_EMRARC)}, ToRectl(box), U_POINTL{startX, startY}, U_POINTL{endX, endY}});
}

const std::vector<std::uint8_t>& EmfWriter::Finish() {
  if (finished_) return bytes_;
  // The end record carries no palette; its last word repeats its size, as every reader
  // walking the file backwards expects.
  struct EndRecord {
    U_EMREOF eof;
    std::uint32_t nSizeLast;
  };
  EndRecord end{};
  end.eof.emr = {U_EMR_EOF, sizeof(EndRecord)};
  end.eof.cbPalEntries = 0;
  end.eof.offPalEntries = sizeof(U_EMREOF);
  end.nSizeLast = sizeof(EndRecord);
  Append(end);

  U_EMRHEADER header;
  std::memcpy(&header, bytes_.data(), sizeof header);
  header.nBytes = static_cast<std::uint32_t>(bytes_.size());
  header.nRecords = records_;
  header.nHandles = static_cast<std::uint16_t>(handlesHighWater_ + 1);
  std::memcpy(bytes_.data(), &header, sizeof header);
  finished_ = true;
  return bytes_;
}

std::vector<std::uint8_t> EmfWriter::Release() {
  Finish();
  return std::move(bytes_);
}

void EmfWriter::WriteFile(const FileLocation& file) {
  const std::vector<std::uint8_t>& bytes = Finish();
  const int fd = file.CreateAnew(0600);
  if (fd < 0) throw RuntimeError(ErrorNumberFromErrno(errno), file.Path());
  std::size_t written = 0;
  int failure = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failure = n < 0 ? errno : ENOSPC;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    file.Remove();
    throw RuntimeError(ErrorNumberFromErrno(failure), file.Path());
  }
}

}  // namespace korvid
