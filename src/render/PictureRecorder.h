#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/DrawingBuilder.h"
#include "render/EmfWriter.h"

namespace korvid {

// Takes the calls the drawing routine makes on a metafile and builds at once the display
// list that playing that metafile would give: the same pens, lines and arcs, to the bit.
// The converter, which only wants the picture, saves writing the records and reading
// them back. Knows the calls of the drawing routine only, with EmfWriter's meaning.
class PictureRecorder {
 public:
  PictureRecorder(const EmfWriter::Rect& frameHimetric, const std::u16string& description);

  void SetMapMode(std::uint32_t mode);
  std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t colour);
  // Inline, as the drawing routine calls them for every segment.
  void SelectObject(std::uint32_t handle) {
    if (handle < slots_.size() && slots_[handle] != kEmptySlot) pen_ = slots_[handle];
  }
  void DeleteObject(std::uint32_t handle) {
    if (handle < slots_.size()) slots_[handle] = kEmptySlot;
  }
  void MoveTo(std::int32_t x, std::int32_t y) { position_ = ToFrame(x, y); }
  void LineTo(std::int32_t x, std::int32_t y) {
    const QPointF to = ToFrame(x, y);
    const QPointF from = std::exchange(position_, to);
    if (pen_ == kNullPen) return;
    builder_.AddLine(static_cast<std::uint32_t>(pen_),
                     {static_cast<float>(from.x()), static_cast<float>(from.y()),
                      static_cast<float>(to.x()), static_cast<float>(to.y())});
  }
  void Arc(const EmfWriter::Rect& box, std::int32_t startX, std::int32_t startY, std::int32_t endX,
           std::int32_t endY);

  void Reserve(std::size_t lines, std::size_t arcs) { builder_.Reserve(lines, arcs); }
  std::shared_ptr<const MetafilePicture::Drawing> Finish() { return builder_.Finish(); }

 private:
  static constexpr std::int64_t kEmptySlot = -2;
  static constexpr std::int64_t kNullPen = -1;

  QPointF ToFrame(std::int32_t x, std::int32_t y) const { return {x * scaleX_, y * scaleY_}; }

  DrawingBuilder builder_;
  double scaleX_ = 1;  // frame units per logical unit
  double scaleY_ = 1;
  std::vector<std::int64_t> slots_;  // pen index, kNullPen or kEmptySlot per handle
  struct MadePen {
    std::uint32_t style = UINT32_MAX;  // none
    std::int32_t width = 0;
    std::uint32_t colour = 0;
    std::int64_t pen = kEmptySlot;
  };
  MadePen made_;  // the last pen created and the index it was given
  std::int64_t pen_ = 0;
  QPointF position_;
};

}  // namespace korvid
