#include "render/PictureRecorder.h"

#include <QRgb>
#include <cstdlib>
#include <utility>

namespace korvid {

namespace {

constexpr std::uint32_t kNullStyle = 5;
constexpr std::uint32_t kMapModeText = 1;

QRect FrameOf(const EmfWriter::Rect& frame) {
  return QRect(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
}

}  // namespace

PictureRecorder::PictureRecorder(const EmfWriter::Rect& frameHimetric,
                                 const std::u16string& description)
    : builder_(FrameOf(frameHimetric), QString::fromStdU16String(description)),
      slots_(1, kEmptySlot) {
  SetMapMode(kMapModeText);
  pen_ = builder_.InternPen({});
}

void PictureRecorder::SetMapMode(std::uint32_t mode) {
  made_ = {};  // a wide pen's width follows the mapping
  if (mode == EmfWriter::kMapModeHimetric) {
    scaleX_ = 1;
    scaleY_ = -1;
  } else {
    scaleX_ = 100.0 * EmfWriter::kDeviceMillimetresX / EmfWriter::kDevicePixelsX;
    scaleY_ = 100.0 * EmfWriter::kDeviceMillimetresY / EmfWriter::kDevicePixelsY;
  }
}

// Handles as EmfWriter gives them: the lowest free index from 1.
std::uint32_t PictureRecorder::CreatePen(std::uint32_t style, std::int32_t width,
                                         std::uint32_t colour) {
  std::uint32_t handle = 1;
  while (handle < slots_.size() && slots_[handle] != kEmptySlot)
    ++handle;
  if (handle == slots_.size()) slots_.push_back(kEmptySlot);
  if (style == kNullStyle) {
    slots_[handle] = kNullPen;
    return handle;
  }
  // The drawing routine creates a pen for every segment, mostly the one it made before.
  if (style == made_.style && width == made_.width && colour == made_.colour) {
    slots_[handle] = made_.pen;
    return handle;
  }
  PicturePen pen;
  pen.colour = qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
  const std::int64_t magnitude = std::abs(std::int64_t{width});
  if (magnitude > 1) {
    pen.width = static_cast<float>(static_cast<double>(magnitude) * std::abs(scaleX_));
  } else if (style >= 1 && style <= 4) {
    pen.style = static_cast<PenStyle>(style);
  }
  slots_[handle] = builder_.InternPen(pen);
  made_ = {style, width, colour, slots_[handle]};
  return handle;
}

void PictureRecorder::Arc(const EmfWriter::Rect& box, std::int32_t startX, std::int32_t startY,
                          std::int32_t endX, std::int32_t endY) {
  if (pen_ == kNullPen) return;
  const FrameArc arc =
      FrameArc::Through(ToFrame(box.left, box.top), ToFrame(box.right, box.bottom),
                        ToFrame(startX, startY), ToFrame(endX, endY),
                        FrameArc::RadialPointsOnOneRay(box.left, box.top, box.right, box.bottom,
                                                       startX, startY, endX, endY));
  builder_.AddArc(static_cast<std::uint32_t>(pen_), arc);
}

}  // namespace korvid
