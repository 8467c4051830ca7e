#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "output/PaperLayout.h"
#include "render/MetafileDrawing.h"
#include "render/PaintWork.h"

namespace korvid {

// A point of the drawing in frame units (0.01 mm, y downward).
struct FramePoint {
  double x, y;

  bool operator==(const FramePoint&) const = default;
};

inline FramePoint PointOnArc(const FrameArc& arc, double angle) {
  return {arc.cx + arc.rx * std::cos(angle), arc.cy + arc.ry * std::sin(angle)};
}

// The part of the frame a page shows, in frame units.
inline FrameBox ShownOnPage(const FrameOnPage& page) {
  const double k = page.mmPerFrameUnit;
  return {static_cast<float>(-page.originX / k), static_cast<float>(-page.originY / k),
          static_cast<float>((page.layout.page.width - page.originX) / k),
          static_cast<float>((page.layout.page.height - page.originY) / k)};
}

// Hands the display list to a vector writer run by run, in drawing order, as the strokes
// a vector format holds: connected solid lines as one subpath, so that each shared point
// is written once; dashed lines each as a subpath of their own, so that the pattern starts
// afresh on every line as it does on the screen; lines of no length as dots; arcs as arcs.
//
// The canvas provides:
//   BeginRun(const PicturePen&)  EndRun()
//   MoveTo(FramePoint)  LineTo(FramePoint)  ArcTo(const FrameArc&)  (from the arc's start)
//   Dot(FramePoint)     (drawn round, the pen's width across, after the run's strokes)
//   Fill(const FrameFill&)  (a filled area, outside any run of strokes)
// With `keep`, only what reaches into it (its strokes' width included) is handed on: a page
// that shows part of a drawing holds nothing of the rest.
template <typename Canvas>
void WalkDrawing(const MetafilePicture::Drawing& drawing, Canvas& canvas, std::size_t firstRun = 0,
                 std::size_t endRun = SIZE_MAX, const FrameBox* keep = nullptr) {
  endRun = std::min(endRun, drawing.runs.size());
  FrameBox reach{};
  if (keep) {
    const float beyond = drawing.widestPen;
    reach = {keep->left - beyond, keep->top - beyond, keep->right + beyond, keep->bottom + beyond};
  }
  const auto kept = [&](const FrameBox& bounds) { return !keep || reach.Intersects(bounds); };
  for (std::size_t r = firstRun; r < endRun; ++r) {
    const DrawRun& run = drawing.runs[r];
    if (!kept(run.bounds)) continue;
    if (run.kind == RunKind::kFills) {
      for (std::uint32_t i = run.first; i < run.first + run.count; ++i)
        if (kept(drawing.fills[i].bounds)) canvas.Fill(drawing.fills[i]);
      continue;
    }
    const PicturePen& pen = drawing.pens[run.pen];
    canvas.BeginRun(pen);
    if (run.kind == RunKind::kLines) {
      const bool chain = pen.style == PenStyle::kSolid;
      // A run wholly kept needs no line of it tried: mostly the page shows all the drawing.
      const bool allKept = !keep || reach.Contains(run.bounds);
      bool open = false;
      FramePoint at{0, 0};
      const FrameLine* line = drawing.lines.data() + run.first;
      for (const FrameLine* end = line + run.count; line != end; ++line) {
        if (!allKept && !kept(line->Bounds())) continue;
        const FramePoint from{line->x1, line->y1};
        const FramePoint to{line->x2, line->y2};
        if (from == to) {
          canvas.Dot(from);
          continue;
        }
        if (!(chain && open && at == from)) canvas.MoveTo(from);
        canvas.LineTo(to);
        at = to;
        open = true;
      }
    } else {
      const FrameArc* arc = drawing.arcs.data() + run.first;
      for (const FrameArc* end = arc + run.count; arc != end; ++arc) {
        const float rx = std::abs(arc->rx), ry = std::abs(arc->ry);
        if (!kept({arc->cx - rx, arc->cy - ry, arc->cx + rx, arc->cy + ry})) continue;
        canvas.MoveTo(PointOnArc(*arc, arc->start));
        canvas.ArcTo(*arc);
      }
    }
    canvas.EndRun();
  }
}

// Splits an arc into pieces of at most `largest` radians each, for formats whose arc or
// curve commands reach only so far: calls piece(from, sweep) for each in turn.
// An arc never turns more than once round.
template <typename Piece>
void SplitArc(const FrameArc& arc, double largest, Piece piece) {
  if (!std::isfinite(arc.sweep) || !std::isfinite(arc.start)) return;
  const double sweep = std::clamp(arc.sweep, -2 * std::numbers::pi, 2 * std::numbers::pi);
  const int count = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / largest - 1e-9)));
  const double step = sweep / count;
  for (int i = 0; i < count; ++i)
    piece(arc.start + i * step, step);
}

}  // namespace korvid
