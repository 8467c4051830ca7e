#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "render/FrameArc.h"
#include "render/MetafilePicture.h"

namespace korvid {

// The pen styles that draw something; PS_NULL never reaches the drawing.
enum class PenStyle : std::uint8_t { kSolid, kDash, kDot, kDashDot, kDashDotDot };

// The ends and corners of a wide pen, as GDI's geometric pens have them; round unless the
// pen says otherwise.
enum class PenEnds : std::uint8_t { kRound, kSquare, kFlat };
enum class PenJoins : std::uint8_t { kRound, kBevel, kMiter };

// One distinct pen of a picture. `width` is in frame units (0.01 mm); 0 is a cosmetic pen,
// the thinnest visible line at any scale.
struct PicturePen {
  QRgb colour = 0xff000000;
  PenStyle style = PenStyle::kSolid;
  float width = 0;
  PenEnds ends = PenEnds::kRound;
  PenJoins joins = PenJoins::kRound;
  // Where a mitered corner is bevelled instead: the ratio of the miter's length to the
  // pen's width, HP-GL/2's default unless the plot says otherwise.
  float miterLimit = 5;

  bool operator==(const PicturePen&) const = default;
};

// A straight line in frame coordinates, from (x1, y1) to (x2, y2).
struct FrameLine {
  float x1, y1, x2, y2;

  FrameBox Bounds() const {
    return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
  }
  // Whether the line itself, not just its bounds, passes through `box`, which its bounds
  // are known to meet: it does unless all four corners lie on one side of it.
  bool Crosses(const FrameBox& box) const {
    const double dx = double{x2} - x1, dy = double{y2} - y1;
    const auto side = [&](float x, float y) {
      return dx * (double{y} - y1) - dy * (double{x} - x1);
    };
    const double a = side(box.left, box.top), b = side(box.right, box.top);
    const double c = side(box.left, box.bottom), d = side(box.right, box.bottom);
    return !((a > 0 && b > 0 && c > 0 && d > 0) || (a < 0 && b < 0 && c < 0 && d < 0));
  }
  // Whether the line goes on from where `before` ended: a painter joins the two strokes.
  bool GoesOnFrom(const FrameLine& before) const { return before.x2 == x1 && before.y2 == y1; }
};

// An allocator whose items, made without a value, are the bytes already there: a list
// stretched to its room ahead of the items written into it touches no page until one is
// written. Only for items that are their bytes (FrameLine).
template <typename T>
struct UntouchedAllocator : std::allocator<T> {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>);
  template <typename U>
  struct rebind {
    using other = UntouchedAllocator<U>;
  };
  UntouchedAllocator() = default;
  template <typename U>
  UntouchedAllocator(const UntouchedAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

using FrameLines = std::vector<FrameLine, UntouchedAllocator<FrameLine>>;

// A filled area: closed rings of frame points, filled together by one brush.
struct FrameFill {
  QRgb colour = 0xff000000;
  bool winding = false;  // non-zero winding; otherwise even-odd
  std::vector<QPointF> points;
  std::vector<std::uint32_t> ringSizes;
  FrameBox bounds{};
};

enum class RunKind : std::uint8_t { kLines, kArcs, kFills };

// Consecutive primitives of one kind drawn with one pen: the unit of pen changes and of
// skipping whole stretches of the drawing that lie outside the painted area.
struct DrawRun {
  std::uint32_t pen;
  RunKind kind;
  std::uint32_t first;  // index into the lines or arcs
  std::uint32_t count;
  FrameBox bounds;
};

// The decoded picture: everything Paint needs, in frame coordinates (0.01 mm, origin at
// the reference device's origin, y downward), so that painting never looks at the
// metafile's mapping modes or object table again.
struct MetafilePicture::Drawing {
  QRect frame;
  QString description;
  std::vector<PicturePen> pens;
  std::vector<DrawRun> runs;
  FrameLines lines;
  std::vector<FrameArc> arcs;
  std::vector<FrameFill> fills;
  float widestPen = 0;  // frame units: how far a stroke may reach beyond its primitive
};

}  // namespace korvid
