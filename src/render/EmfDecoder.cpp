#include "render/EmfDecoder.h"

#include <bit>
#include <cstring>
#include <vector>

#include "render/InvalidPicture.h"

// libuemf defines many unprefixed macros: it stays inside .cpp files.
#include <uemf.h>

namespace korvid {

static_assert(std::endian::native == std::endian::little,
              "records are read in place; metafiles are little-endian");

namespace {

// The fixed part of a record, copied out once its size is known to hold it.
template <typename Record>
Record Load(std::span<const std::byte> bytes, std::size_t offset, std::uint32_t size) {
  if (size < sizeof(Record)) ThrowInvalidPicture("record shorter than its fields");
  Record record;
  std::memcpy(&record, bytes.data() + offset, sizeof record);
  return record;
}

std::uint32_t Word(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t word;
  std::memcpy(&word, bytes.data() + offset, sizeof word);
  return word;
}

std::uint32_t ColourOf(const U_COLORREF& colour) {
  return colour.Red | (colour.Green << 8) | (std::uint32_t{colour.Blue} << 16);
}

// The i-th point of a record's point list: 32-bit or (`small`) 16-bit pairs.
QPointF PointAt(std::span<const std::byte> bytes, std::size_t at, bool small, std::uint32_t i,
                const GdiState& state) {
  std::int32_t x, y;
  if (small) {
    std::int16_t pair[2];
    std::memcpy(pair, bytes.data() + at + 4ull * i, sizeof pair);
    x = pair[0];
    y = pair[1];
  } else {
    std::memcpy(&x, bytes.data() + at + 8ull * i, 4);
    std::memcpy(&y, bytes.data() + at + 8ull * i + 4, 4);
  }
  return state.ToFrame(x, y);
}

constexpr std::uint32_t kEndRecordBytes = sizeof(U_EMREOF) + sizeof(std::uint32_t);

}  // namespace

EmfDecoder::EmfDecoder(std::span<const std::byte> bytes)
    : bytes_(bytes),
      header_(EmfHeader::Parse(bytes)),
      state_(header_.frame, header_.description, header_.handles, header_.devicePixels,
             header_.deviceMillimetres) {}

std::shared_ptr<const MetafilePicture::Drawing> EmfDecoder::Decode() {
  const std::size_t end = header_.fileBytes;
  std::size_t offset = header_.size;
  std::uint32_t count = 1;
  for (;;) {
    if (end - offset < 8) ThrowInvalidPicture("no end-of-file record");
    const std::uint32_t type = Word(bytes_, offset);
    const std::uint32_t size = Word(bytes_, offset + 4);
    if (size < 8 || size % 4 != 0 || size > end - offset) ThrowInvalidPicture("bad record size");
    if (++count > header_.records) ThrowInvalidPicture("more records than the header counts");
    if (type == U_EMR_EOF) {
      if (size < kEndRecordBytes || offset + size != end)
        ThrowInvalidPicture("end-of-file record is not the last");
      break;
    }
    Play(type, offset, size);
    offset += size;
  }
  if (count != header_.records) ThrowInvalidPicture("fewer records than the header counts");
  return state_.Finish();
}

void EmfDecoder::Play(std::uint32_t type, std::size_t offset, std::uint32_t size) {
  switch (type) {
    case U_EMR_HEADER:
      ThrowInvalidPicture("second header");
    case U_EMR_SETMAPMODE:
      state_.SetMapMode(Load<U_EMRSETMAPMODE>(bytes_, offset, size).iMode);
      break;
    case U_EMR_CREATEPEN: {
      const U_EMRCREATEPEN record = Load<U_EMRCREATEPEN>(bytes_, offset, size);
      state_.CreatePen(CheckedSlot(record.ihPen), record.lopn.lopnStyle, record.lopn.lopnWidth.x,
                       ColourOf(record.lopn.lopnColor));
      break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
      const auto record = Load<U_EMRCREATEBRUSHINDIRECT>(bytes_, offset, size);
      state_.CreateBrush(CheckedSlot(record.ihBrush), record.lb.lbStyle,
                         ColourOf(record.lb.lbColor));
      break;
    }
    case U_EMR_SELECTOBJECT:
      state_.SelectObject(CheckedObject(Load<U_EMRSELECTOBJECT>(bytes_, offset, size).ihObject));
      break;
    case U_EMR_DELETEOBJECT:
      state_.DeleteObject(CheckedObject(Load<U_EMRDELETEOBJECT>(bytes_, offset, size).ihObject));
      break;
    case U_EMR_MOVETOEX: {
      const U_POINTL to = Load<U_EMRMOVETOEX>(bytes_, offset, size).ptl;
      state_.MoveTo(to.x, to.y);
      break;
    }
    case U_EMR_LINETO: {
      const U_POINTL to = Load<U_EMRLINETO>(bytes_, offset, size).ptl;
      state_.LineTo(to.x, to.y);
      break;
    }
    case U_EMR_ARC: {
      const U_EMRARC record = Load<U_EMRARC>(bytes_, offset, size);
      const U_RECTL& box = record.rclBox;
      state_.Arc(box.left, box.top, box.right, box.bottom, record.ptlStart.x, record.ptlStart.y,
                 record.ptlEnd.x, record.ptlEnd.y);
      break;
    }
    case U_EMR_SETPOLYFILLMODE:
      state_.SetPolyFillMode(Load<U_EMRSETPOLYFILLMODE>(bytes_, offset, size).iMode);
      break;
    case U_EMR_SETMITERLIMIT:
      state_.SetMiterLimit(Load<U_EMRSETMITERLIMIT>(bytes_, offset, size).eMiterLimit);
      break;
    case U_EMR_POLYLINE:
    case U_EMR_POLYLINE16:
      Polyline(type == U_EMR_POLYLINE16, offset, size);
      break;
    case U_EMR_POLYGON:
    case U_EMR_POLYGON16:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYGON16:
      Polygons(type, offset, size);
      break;
    default:
      break;
  }
}

// POLYLINE(16): bounds, the point count, the points.
void EmfDecoder::Polyline(bool small, std::size_t offset, std::uint32_t size) {
  const std::size_t fixed = 8 + 16 + 4;
  if (size < fixed) ThrowInvalidPicture("record shorter than its fields");
  const std::uint32_t points = Word(bytes_, offset + 24);
  if (std::uint64_t{fixed} + (small ? 4ull : 8ull) * points > size)
    ThrowInvalidPicture("polyline points beyond the record");
  state_.Polyline(
      points, [&](std::uint32_t i) { return PointAt(bytes_, offset + fixed, small, i, state_); });
}

// POLYGON(16) and POLYPOLYGON(16): bounds, then (for the poly- forms) the ring count and
// the point count, the ring sizes, and the points as 32-bit or 16-bit pairs.
void EmfDecoder::Polygons(std::uint32_t type, std::size_t offset, std::uint32_t size) {
  const bool many = type == U_EMR_POLYPOLYGON || type == U_EMR_POLYPOLYGON16;
  const bool small = type == U_EMR_POLYGON16 || type == U_EMR_POLYPOLYGON16;
  const std::size_t fixed = 8 + 16 + (many ? 8 : 4);
  if (size < fixed) ThrowInvalidPicture("record shorter than its fields");
  const std::uint32_t rings = many ? Word(bytes_, offset + 24) : 1;
  const std::uint32_t points = Word(bytes_, offset + (many ? 28 : 24));
  const std::uint64_t need =
      std::uint64_t{fixed} + (many ? 4ull * rings : 0) + (small ? 4ull : 8ull) * points;
  if (need > size) ThrowInvalidPicture("polygon points beyond the record");
  std::size_t at = offset + fixed;
  std::vector<std::uint32_t> ringSizes;
  std::uint64_t counted = 0;
  for (std::uint32_t i = 0; i < rings; ++i) {
    const std::uint32_t count = many ? Word(bytes_, at + 4ull * i) : points;
    counted += count;
    ringSizes.push_back(count);
  }
  if (counted != points) ThrowInvalidPicture("polygon ring sizes do not add up");
  at += many ? 4ull * rings : 0;
  std::vector<QPointF> framePoints;
  framePoints.reserve(points);
  for (std::uint32_t i = 0; i < points; ++i)
    framePoints.push_back(PointAt(bytes_, at, small, i, state_));
  state_.PolyPolygon(std::move(ringSizes), std::move(framePoints));
}

std::uint32_t EmfDecoder::CheckedSlot(std::uint32_t index) const {
  if (index == 0 || index >= header_.handles) ThrowInvalidPicture("object index outside the table");
  return index;
}

// A stock object, or a slot of the table.
std::uint32_t EmfDecoder::CheckedObject(std::uint32_t index) const {
  return index & U_STOCK_OBJECT ? index : CheckedSlot(index);
}

}  // namespace korvid
