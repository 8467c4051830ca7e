#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "render/DrawingBuilder.h"

namespace korvid {

// What GDI keeps while a metafile plays (the object table, the pen and brush selected, the
// polygon fill mode, the current position, the mapping) and what each drawing call adds to
// the display list under it. The decoder feeds it the records of a file, the recorder the
// calls that would write them: one set of rules, so that a picture recorded is the picture
// its metafile plays as, to the bit.
//
// Decisions where files leave room:
// - Map modes: MM_TEXT uses the reference device (pixels on millimetres); LOMETRIC,
//   HIMETRIC, LOENGLISH, HIENGLISH and TWIPS use their fixed units with y upward.
//   ISOTROPIC and ANISOTROPIC would need window and viewport extents, which no file of
//   ours holds: they count as MM_TEXT. Any other value is ignored, like the failed
//   SetMapMode call it stands for.
// - Pens of width 0 and 1 are cosmetic and keep their dash style. Wider ones scale with
//   the picture, keep their ends and joins and, as CreatePen makes them, are always solid.
// - Hatched and pattern brushes fill with their colour: the lines they would draw are not
//   ours to guess.
// - Selecting an empty slot leaves the pen as it is, as GDI's failing SelectObject would;
//   so does selecting a stock object that is neither a pen nor a brush.
// - Deleting the selected pen keeps it in use until another one is selected.
// - The miter limit is the device context's: it holds for whatever mitered wide pen is
//   selected while it is in force. Before any SetMiterLimit it is the picture pen's own
//   default.
//
// Object indexes passed in lie inside the table (1 to its size - 1) unless they name a stock
// object: the decoder checks a file's, the recorder makes its own with FreeIndex.
class GdiState {
 public:
  static constexpr std::uint32_t kStockObject = 0x80000000;

  GdiState(const QRect& frame, const QString& description, std::uint32_t handles,
           QSize devicePixels, QSize deviceMillimetres);

  void SetMapMode(std::uint32_t mode);
  // colour: 0x00BBGGRR, as a COLORREF.
  void CreatePen(std::uint32_t index, std::uint32_t style, std::int32_t width,
                 std::uint32_t colour);
  void CreateBrush(std::uint32_t index, std::uint32_t style, std::uint32_t colour);
  // Inline, as the drawing routine selects and deletes a pen for every segment.
  void SelectObject(std::uint32_t index) {
    if (index & kStockObject) return SelectStockObject(index);
    const std::int64_t object = slots_[index];
    if (object == kEmptySlot) return;
    if (object >= kBrushBase || object == kNullBrush) {
      brush_ = object;
    } else {
      pen_ = object;
      if (miterLimitSet_) UseMiterLimit();
    }
  }
  void DeleteObject(std::uint32_t index) {
    if (index & kStockObject) return;
    slots_[index] = kEmptySlot;
  }
  void SetPolyFillMode(std::uint32_t mode);
  void SetMiterLimit(std::uint32_t limit);

  // Logical units to frame units (0.01 mm, y downward) under the mapping in force.
  QPointF ToFrame(std::int32_t x, std::int32_t y) const { return {x * scaleX_, y * scaleY_}; }
  void MoveTo(std::int32_t x, std::int32_t y) { position_ = ToFrame(x, y); }
  void LineTo(std::int32_t x, std::int32_t y) {
    const QPointF to = ToFrame(x, y);
    const QPointF from = std::exchange(position_, to);
    if (pen_ != kNullPen) AddLine(from, to);
  }
  void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           std::int32_t startX, std::int32_t startY, std::int32_t endX, std::int32_t endY);
  // Connected lines through `count` points, at(i) giving the i-th in frame units; the
  // current position stays.
  template <typename PointAt>
  void Polyline(std::uint32_t count, PointAt at) {
    if (pen_ == kNullPen) return;
    QPointF previous;
    for (std::uint32_t i = 0; i < count; ++i) {
      const QPointF point = at(i);
      if (i > 0) AddLine(previous, point);
      previous = point;
    }
  }
  // Closed rings of frame points filled together by the brush, then outlined by the pen.
  void PolyPolygon(std::vector<std::uint32_t> ringSizes, std::vector<QPointF> points);

  // The lowest free index from 1, as GDI hands out handles; the table grows to hold it.
  std::uint32_t FreeIndex();

  void Reserve(std::size_t lines, std::size_t arcs) { builder_.Reserve(lines, arcs); }
  // A fresh state's list made the room behind `first`'s (DrawingBuilder::Behind), for the
  // part recorded next on another thread.
  void RecordBehind(GdiState& first, std::size_t before, std::size_t room) {
    builder_ = first.builder_.Behind(before, room);
    pen_ = builder_.InternPen({});
  }
  void Append(GdiState&& later) { builder_.Append(std::move(later.builder_)); }
  std::shared_ptr<const MetafilePicture::Drawing> Finish() { return builder_.Finish(); }

 private:
  static constexpr std::int64_t kEmptySlot = -2;
  static constexpr std::int64_t kNullPen = -1;
  static constexpr std::int64_t kNullBrush = -3;
  // Slot values from here up are brushes: kBrushBase + index into brushes_.
  static constexpr std::int64_t kBrushBase = std::int64_t{1} << 40;

  void SelectStockObject(std::uint32_t index);
  void UseMiterLimit();
  void AddLine(QPointF from, QPointF to) {
    builder_.AddLine(static_cast<std::uint32_t>(pen_),
                     {static_cast<float>(from.x()), static_cast<float>(from.y()),
                      static_cast<float>(to.x()), static_cast<float>(to.y())});
  }

  DrawingBuilder builder_;
  QSize devicePixels_;
  QSize deviceMillimetres_;
  double scaleX_ = 1;  // frame units per logical unit
  double scaleY_ = 1;
  std::vector<std::int64_t> slots_;  // per index: a pen, kNullPen, a brush, kNullBrush or empty
  std::int64_t pen_ = 0;             // the selected pen, as a slot value
  std::vector<QRgb> brushes_;
  std::int64_t brush_ = kBrushBase;  // the selected brush: GDI's default, white
  bool winding_ = false;             // the polygon fill mode
  float miterLimit_ = PicturePen{}.miterLimit;
  bool miterLimitSet_ = false;
  QPointF position_;  // current position, frame coordinates
  // The last pen made and its slot value: drawing routines create one pen for every line,
  // mostly the one they created before.
  struct MadePen {
    std::uint32_t style = 0;
    std::int32_t width = 0;
    std::uint32_t colour = 0;
    std::int64_t slot = kEmptySlot;
  };
  MadePen made_;
};

}  // namespace korvid
