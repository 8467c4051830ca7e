#include "render/GdiState.h"

#include <algorithm>
#include <cstdlib>

// libuemf defines many unprefixed macros: it stays inside .cpp files.
#include <uemf.h>

namespace korvid {

namespace {

constexpr std::uint32_t kDcPen = U_STOCK_OBJECT | 0x13;
static_assert(GdiState::kStockObject == U_STOCK_OBJECT);

QRgb FromColorRef(std::uint32_t colour) {
  return qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

}  // namespace

GdiState::GdiState(const QRect& frame, const QString& description, std::uint32_t handles,
                   QSize devicePixels, QSize deviceMillimetres)
    : builder_(frame, description),
      devicePixels_(devicePixels),
      deviceMillimetres_(deviceMillimetres),
      slots_(handles, kEmptySlot) {
  SetMapMode(U_MM_TEXT);
  pen_ = builder_.InternPen({});                    // GDI's default pen: solid black, thinnest
  brushes_ = {qRgb(255, 255, 255), qRgb(0, 0, 0)};  // the stock white and black brushes
}

void GdiState::SetMapMode(std::uint32_t mode) {
  const auto fixed = [this](double unitsPerLogical) {
    scaleX_ = unitsPerLogical;
    scaleY_ = -unitsPerLogical;
  };
  switch (mode) {
    case U_MM_TEXT:
    case U_MM_ISOTROPIC:
    case U_MM_ANISOTROPIC:
      scaleX_ = 100.0 * deviceMillimetres_.width() / devicePixels_.width();
      scaleY_ = 100.0 * deviceMillimetres_.height() / devicePixels_.height();
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
      return;
  }
  made_ = {};  // a wide pen's width follows the mapping
}

void GdiState::CreatePen(std::uint32_t index, std::uint32_t style, std::int32_t width,
                         std::uint32_t colour) {
  if ((style & U_PS_STYLE_MASK) == U_PS_NULL) {
    slots_[index] = kNullPen;
    return;
  }
  if (made_.slot != kEmptySlot && style == made_.style && width == made_.width &&
      colour == made_.colour) {
    slots_[index] = made_.slot;
    return;
  }
  PicturePen pen;
  pen.colour = FromColorRef(colour);
  const std::int64_t magnitude = std::abs(std::int64_t{width});
  if (magnitude > 1) {
    pen.width = static_cast<float>(static_cast<double>(magnitude) * std::abs(scaleX_));
    const std::uint32_t ends = style & U_PS_ENDCAP_MASK;
    const std::uint32_t joins = style & U_PS_JOIN_MASK;
    if (ends == U_PS_ENDCAP_SQUARE) pen.ends = PenEnds::kSquare;
    if (ends == U_PS_ENDCAP_FLAT) pen.ends = PenEnds::kFlat;
    if (joins == U_PS_JOIN_BEVEL) pen.joins = PenJoins::kBevel;
    if (joins == U_PS_JOIN_MITER) pen.joins = PenJoins::kMiter;
  } else if (const std::uint32_t dashes = style & U_PS_STYLE_MASK;
             dashes >= U_PS_DASH && dashes <= U_PS_DASHDOTDOT) {
    pen.style = static_cast<PenStyle>(dashes);
  }
  slots_[index] = builder_.InternPen(pen);
  made_ = {style, width, colour, slots_[index]};
}

void GdiState::CreateBrush(std::uint32_t index, std::uint32_t style, std::uint32_t colour) {
  if (style == U_BS_NULL) {
    slots_[index] = kNullBrush;
    return;
  }
  slots_[index] = kBrushBase + static_cast<std::int64_t>(brushes_.size());
  brushes_.push_back(FromColorRef(colour));
}

void GdiState::SetMiterLimit(std::uint32_t limit) {
  miterLimit_ = static_cast<float>(std::clamp<std::uint32_t>(limit, 1, 32767));
  miterLimitSet_ = true;
  UseMiterLimit();
}

// The selected pen as the device context's miter limit makes it.
void GdiState::UseMiterLimit() {
  if (pen_ < 0) return;
  PicturePen pen = builder_.Pen(static_cast<std::uint32_t>(pen_));
  if (pen.joins != PenJoins::kMiter || pen.width == 0 || pen.miterLimit == miterLimit_) return;
  pen.miterLimit = miterLimit_;
  pen_ = builder_.InternPen(pen);
}

void GdiState::SetPolyFillMode(std::uint32_t mode) {
  winding_ = mode == U_WINDING;
}

void GdiState::SelectStockObject(std::uint32_t index) {
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

void GdiState::Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   std::int32_t startX, std::int32_t startY, std::int32_t endX, std::int32_t endY) {
  if (pen_ == kNullPen) return;
  const FrameArc arc = FrameArc::Through(
      ToFrame(left, top), ToFrame(right, bottom), ToFrame(startX, startY), ToFrame(endX, endY),
      FrameArc::RadialPointsOnOneRay(left, top, right, bottom, startX, startY, endX, endY));
  builder_.AddArc(static_cast<std::uint32_t>(pen_), arc);
}

void GdiState::PolyPolygon(std::vector<std::uint32_t> ringSizes, std::vector<QPointF> points) {
  FrameFill fill;
  fill.winding = winding_;
  fill.ringSizes = std::move(ringSizes);
  fill.points = std::move(points);
  const bool outlined = pen_ != kNullPen;
  if (brush_ >= kBrushBase) {
    fill.colour = brushes_[static_cast<std::size_t>(brush_ - kBrushBase)];
    if (outlined)
      builder_.AddFill(fill);
    else
      builder_.AddFill(std::move(fill));
  }
  if (!outlined) return;
  std::size_t first = 0;
  for (std::uint32_t size : fill.ringSizes) {
    for (std::uint32_t i = 0; i < size; ++i)
      AddLine(fill.points[first + i], fill.points[first + (i + 1) % size]);
    first += size;
  }
}

std::uint32_t GdiState::FreeIndex() {
  std::uint32_t index = 1;
  while (index < slots_.size() && slots_[index] != kEmptySlot)
    ++index;
  if (index >= slots_.size()) slots_.resize(index + 1, kEmptySlot);
  return index;
}

}  // namespace korvid
