#pragma once

#include <cstdint>
#include <memory>
#include <string>
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
  void SelectObject(std::uint32_t handle);
  void DeleteObject(std::uint32_t handle);
  void MoveTo(std::int32_t x, std::int32_t y);
  void LineTo(std::int32_t x, std::int32_t y);
  void Arc(const EmfWriter::Rect& box, std::int32_t startX, std::int32_t startY, std::int32_t endX,
           std::int32_t endY);

  void Reserve(std::size_t lines, std::size_t arcs) { builder_.Reserve(lines, arcs); }
  // What a second recorder took from the calls that came after those made here.
  void Append(const MetafilePicture::Drawing& later) { builder_.Append(later); }
  std::shared_ptr<const MetafilePicture::Drawing> Finish() { return builder_.Finish(); }

 private:
  static constexpr std::int64_t kEmptySlot = -2;
  static constexpr std::int64_t kNullPen = -1;

  QPointF ToFrame(std::int32_t x, std::int32_t y) const { return {x * scaleX_, y * scaleY_}; }

  DrawingBuilder builder_;
  double scaleX_ = 1;  // frame units per logical unit
  double scaleY_ = 1;
  std::vector<std::int64_t> slots_;  // pen index, kNullPen or kEmptySlot per handle
  std::int64_t pen_ = 0;
  QPointF position_;
};

}  // namespace korvid
