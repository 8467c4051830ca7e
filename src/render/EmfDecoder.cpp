#include "render/EmfDecoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>

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

constexpr std::uint32_t kEndRecordBytes = sizeof(U_EMREOF) + sizeof(std::uint32_t);
constexpr std::uint32_t kDcPen = U_STOCK_OBJECT | 0x13;

QRgb FromColorRef(const U_COLORREF& colour) {
  return qRgb(colour.Red, colour.Green, colour.Blue);
}

}  // namespace

EmfDecoder::EmfDecoder(std::span<const std::byte> bytes)
    : bytes_(bytes),
      header_(EmfHeader::Parse(bytes)),
      builder_(header_.frame, header_.description),
      slots_(header_.handles, kEmptySlot) {
  SetMapMode(U_MM_TEXT);
  pen_ = builder_.InternPen({});                    // GDI's default pen: solid black, thinnest
  brushes_ = {qRgb(255, 255, 255), qRgb(0, 0, 0)};  // the stock white and black brushes
}

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
  return builder_.Finish();
}

void EmfDecoder::Play(std::uint32_t type, std::size_t offset, std::uint32_t size) {
  switch (type) {
    case U_EMR_HEADER:
      ThrowInvalidPicture("second header");
    case U_EMR_SETMAPMODE:
      SetMapMode(Load<U_EMRSETMAPMODE>(bytes_, offset, size).iMode);
      break;
    case U_EMR_CREATEPEN:
      CreatePen(offset, size);
      break;
    case U_EMR_SELECTOBJECT:
      SelectObject(Load<U_EMRSELECTOBJECT>(bytes_, offset, size).ihObject);
      break;
    case U_EMR_DELETEOBJECT:
      DeleteObject(Load<U_EMRDELETEOBJECT>(bytes_, offset, size).ihObject);
      break;
    case U_EMR_MOVETOEX: {
      const U_POINTL to = Load<U_EMRMOVETOEX>(bytes_, offset, size).ptl;
      position_ = ToFrame(to.x, to.y);
      break;
    }
    case U_EMR_LINETO: {
      const U_POINTL to = Load<U_EMRLINETO>(bytes_, offset, size).ptl;
      LineTo(ToFrame(to.x, to.y));
      break;
    }
    case U_EMR_ARC:
      Arc(offset, size);
      break;
    case U_EMR_CREATEBRUSHINDIRECT:
      CreateBrush(offset, size);
      break;
    case U_EMR_SETPOLYFILLMODE:
      winding_ = Load<U_EMRSETPOLYFILLMODE>(bytes_, offset, size).iMode == U_WINDING;
      break;
    case U_EMR_SETMITERLIMIT: {
      const std::uint32_t limit = Load<U_EMRSETMITERLIMIT>(bytes_, offset, size).eMiterLimit;
      miterLimit_ = static_cast<float>(std::clamp<std::uint32_t>(limit, 1, 32767));
      UseMiterLimit();
      break;
    }
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

void EmfDecoder::SetMapMode(std::uint32_t mode) {
  const auto fixed = [this](double unitsPerLogical) {
    scaleX_ = unitsPerLogical;
    scaleY_ = -unitsPerLogical;
  };
  switch (mode) {
    case U_MM_TEXT:
    case U_MM_ISOTROPIC:
    case U_MM_ANISOTROPIC:
      scaleX_ = 100.0 * header_.deviceMillimetres.width() / header_.devicePixels.width();
      scaleY_ = 100.0 * header_.deviceMillimetres.height() / header_.devicePixels.height();
      break;
    case U_MM_LOMETRIC:
      fixed(10);
      break;
    case U_MM_HIMETRIC:
      fixed(1);
      break;
    case U_MM_LOENGLISH:
      fixed(25.4);
      break;
    case U_MM_HIENGLISH:
      fixed(2.54);
      break;
    case U_MM_TWIPS:
      fixed(2540.0 / 1440.0);
      break;
    default:
      break;
  }
}

void EmfDecoder::CreatePen(std::size_t offset, std::uint32_t size) {
  const U_EMRCREATEPEN record = Load<U_EMRCREATEPEN>(bytes_, offset, size);
  const std::uint32_t slot = CheckedSlot(record.ihPen);
  const std::uint32_t style = record.lopn.lopnStyle & U_PS_STYLE_MASK;
  if (style == U_PS_NULL) {
    slots_[slot] = kNullPen;
    return;
  }
  PicturePen pen;
  pen.colour = FromColorRef(record.lopn.lopnColor);
  const std::int64_t width = std::abs(std::int64_t{record.lopn.lopnWidth.x});
  // Pens of width 0 and 1 are cosmetic. Wider ones scale with the picture and, as
  // CreatePen makes them, are always solid.
  if (width > 1) {
    pen.width = static_cast<float>(static_cast<double>(width) * std::abs(scaleX_));
    const std::uint32_t ends = record.lopn.lopnStyle & U_PS_ENDCAP_MASK;
    const std::uint32_t joins = record.lopn.lopnStyle & U_PS_JOIN_MASK;
    if (ends == U_PS_ENDCAP_SQUARE) pen.ends = PenEnds::kSquare;
    if (ends == U_PS_ENDCAP_FLAT) pen.ends = PenEnds::kFlat;
    if (joins == U_PS_JOIN_BEVEL) pen.joins = PenJoins::kBevel;
    if (joins == U_PS_JOIN_MITER) pen.joins = PenJoins::kMiter;
  } else if (style >= U_PS_DASH && style <= U_PS_DASHDOTDOT) {
    pen.style = static_cast<PenStyle>(style);
  }
  slots_[slot] = builder_.InternPen(pen);
}

void EmfDecoder::SelectObject(std::uint32_t index) {
  if (index & U_STOCK_OBJECT) return SelectStockObject(index);
  const std::int64_t object = slots_[CheckedSlot(index)];
  if (object == kEmptySlot) return;
  if (object >= kBrushBase || object == kNullBrush) {
    brush_ = object;
  } else {
    pen_ = object;
    UseMiterLimit();
  }
}

// The selected pen as the device context's miter limit makes it.
void EmfDecoder::UseMiterLimit() {
  if (pen_ < 0) return;
  PicturePen pen = builder_.Pen(static_cast<std::uint32_t>(pen_));
  if (pen.joins != PenJoins::kMiter || pen.width == 0 || pen.miterLimit == miterLimit_) return;
  pen.miterLimit = miterLimit_;
  pen_ = builder_.InternPen(pen);
}

void EmfDecoder::CreateBrush(std::size_t offset, std::uint32_t size) {
  const U_EMRCREATEBRUSHINDIRECT record = Load<U_EMRCREATEBRUSHINDIRECT>(bytes_, offset, size);
  const std::uint32_t slot = CheckedSlot(record.ihBrush);
  // Hatched and pattern brushes fill with their colour: the lines they would draw are
  // not ours to guess.
  if (record.lb.lbStyle == U_BS_NULL) {
    slots_[slot] = kNullBrush;
    return;
  }
  slots_[slot] = kBrushBase + static_cast<std::int64_t>(brushes_.size());
  brushes_.push_back(FromColorRef(record.lb.lbColor));
}

// POLYLINE(16): bounds, the point count, the points; the current position stays.
void EmfDecoder::Polyline(bool small, std::size_t offset, std::uint32_t size) {
  const std::size_t fixed = 8 + 16 + 4;
  if (size < fixed) ThrowInvalidPicture("record shorter than its fields");
  const std::uint32_t points = Word(bytes_, offset + 24);
  if (std::uint64_t{fixed} + (small ? 4ull : 8ull) * points > size)
    ThrowInvalidPicture("polyline points beyond the record");
  if (pen_ == kNullPen) return;
  QPointF previous;
  for (std::uint32_t i = 0; i < points; ++i) {
    std::int32_t x, y;
    if (small) {
      std::int16_t pair[2];
      std::memcpy(pair, bytes_.data() + offset + fixed + 4ull * i, sizeof pair);
      x = pair[0];
      y = pair[1];
    } else {
      std::memcpy(&x, bytes_.data() + offset + fixed + 8ull * i, 4);
      std::memcpy(&y, bytes_.data() + offset + fixed + 8ull * i + 4, 4);
    }
    const QPointF point = ToFrame(x, y);
    if (i > 0)
      builder_.AddLine(static_cast<std::uint32_t>(pen_),
                       {static_cast<float>(previous.x()), static_cast<float>(previous.y()),
                        static_cast<float>(point.x()), static_cast<float>(point.y())});
    previous = point;
  }
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
  FrameFill fill;
  fill.winding = winding_;
  std::size_t at = offset + fixed;
  std::uint64_t counted = 0;
  for (std::uint32_t i = 0; i < rings; ++i) {
    const std::uint32_t count = many ? Word(bytes_, at + 4ull * i) : points;
    counted += count;
    fill.ringSizes.push_back(count);
  }
  if (counted != points) ThrowInvalidPicture("polygon ring sizes do not add up");
  at += many ? 4ull * rings : 0;
  fill.points.reserve(points);
  for (std::uint32_t i = 0; i < points; ++i) {
    std::int32_t x, y;
    if (small) {
      std::int16_t pair[2];
      std::memcpy(pair, bytes_.data() + at + 4ull * i, sizeof pair);
      x = pair[0];
      y = pair[1];
    } else {
      std::memcpy(&x, bytes_.data() + at + 8ull * i, 4);
      std::memcpy(&y, bytes_.data() + at + 8ull * i + 4, 4);
    }
    fill.points.push_back(ToFrame(x, y));
  }
  if (brush_ >= kBrushBase) {
    fill.colour = brushes_[static_cast<std::size_t>(brush_ - kBrushBase)];
    builder_.AddFill(fill);
  }
  if (pen_ == kNullPen) return;
  std::size_t first = 0;
  for (std::uint32_t size : fill.ringSizes) {
    for (std::uint32_t i = 0; i < size; ++i) {
      const QPointF& a = fill.points[first + i];
      const QPointF& b = fill.points[first + (i + 1) % size];
      builder_.AddLine(static_cast<std::uint32_t>(pen_),
                       {static_cast<float>(a.x()), static_cast<float>(a.y()),
                        static_cast<float>(b.x()), static_cast<float>(b.y())});
    }
    first += size;
  }
}

void EmfDecoder::SelectStockObject(std::uint32_t index) {
  switch (index) {
    case U_BLACK_PEN:
    case kDcPen:
      pen_ = builder_.InternPen({});
      break;
    case U_WHITE_PEN:
      pen_ = builder_.InternPen({qRgb(255, 255, 255), PenStyle::kSolid, 0});
      break;
    case U_NULL_PEN:
      pen_ = kNullPen;
      break;
    case U_NULL_BRUSH:
      brush_ = kNullBrush;
      break;
    case U_WHITE_BRUSH:
      brush_ = kBrushBase;
      break;
    case U_BLACK_BRUSH:
      brush_ = kBrushBase + 1;
      break;
    default:
      break;
  }
}

void EmfDecoder::DeleteObject(std::uint32_t index) {
  if (index & U_STOCK_OBJECT) return;
  slots_[CheckedSlot(index)] = kEmptySlot;
}

void EmfDecoder::LineTo(QPointF to) {
  const QPointF from = std::exchange(position_, to);
  if (pen_ == kNullPen) return;
  builder_.AddLine(static_cast<std::uint32_t>(pen_),
                   {static_cast<float>(from.x()), static_cast<float>(from.y()),
                    static_cast<float>(to.x()), static_cast<float>(to.y())});
}

void EmfDecoder::Arc(std::size_t offset, std::uint32_t size) {
  const U_EMRARC record = Load<U_EMRARC>(bytes_, offset, size);
  if (pen_ == kNullPen) return;
  const U_RECTL& box = record.rclBox;
  const FrameArc arc = FrameArc::Through(
      ToFrame(box.left, box.top), ToFrame(box.right, box.bottom),
      ToFrame(record.ptlStart.x, record.ptlStart.y), ToFrame(record.ptlEnd.x, record.ptlEnd.y),
      FrameArc::RadialPointsOnOneRay(box.left, box.top, box.right, box.bottom, record.ptlStart.x,
                                     record.ptlStart.y, record.ptlEnd.x, record.ptlEnd.y));
  builder_.AddArc(static_cast<std::uint32_t>(pen_), arc);
}

std::uint32_t EmfDecoder::CheckedSlot(std::uint32_t index) const {
  if (index == 0 || index >= slots_.size()) ThrowInvalidPicture("object index outside the table");
  return index;
}

QPointF EmfDecoder::ToFrame(std::int32_t x, std::int32_t y) const {
  return {x * scaleX_, y * scaleY_};
}

}  // namespace korvid
