#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "render/MetafileDrawing.h"

namespace korvid {

// Below this many primitives (segments and arcs of a plot, lines and arcs of a picture) a
// second thread costs more than it saves.
inline constexpr std::size_t kTwoThreadsFrom = 20000;

// An image of a large page is recorded and painted piece by piece, each about this many
// lines: a piece's display list (half a megabyte) stays in the processor's cache, and its
// memory serves the next piece, where a whole part's list is asked for afresh, and every
// page of it the system hands out costs more than painting what it holds.
inline constexpr std::size_t kPieceLines = std::size_t{1} << 15;

// The work of painting an arc, in lines, to cut a picture in two parts of equal work: a
// fixed part (its place, its size, the sines and cosines of its ends) about as much as
// kArcLines lines, and one line per chord, of which a circle of radius r pixels has about
// 2 pi sqrt(r / 8 tolerance) at the flattening's tolerance of 0.2 pixel (timed on the
// largest plot).
inline double ArcPaintWorkInLines(double radiusPx, double turns) {
  constexpr double kArcLines = 3;
  constexpr double kChordsPerTurnFromRadius = 2 * std::numbers::pi / std::sqrt(8 * 0.2);
  return kArcLines + turns * kChordsPerTurnFromRadius * std::sqrt(radiusPx);
}

// The cut of `count` items, item i costing workOf(i), into two parts of about equal work
// for two threads: the fewest first items whose work reaches half of all (`count` when only
// the last one does).
template <typename WorkOf>
std::size_t HalfWorkCut(std::size_t count, WorkOf workOf) {
  std::vector<double> work(count);
  double total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    work[i] = workOf(i);
    total += work[i];
  }
  std::size_t cut = 0;
  for (double done = 0; cut < count && done < total / 2; ++cut)
    done += work[cut];
  return cut;
}

// Written as curves, an arc costs about as much as this many lines.
inline constexpr std::size_t kLinesPerArc = 20;

// Where to cut the runs of a drawing in two parts of about equal work, an arc costing as
// much as arcWork(arc) lines; 0 when the drawing is too small for a second thread to pay
// or the cut would leave nothing for it.
template <typename ArcWork>
std::size_t BalancedCutBy(const MetafilePicture::Drawing& drawing, std::size_t smallest,
                          ArcWork arcWork) {
  if (drawing.lines.size() + drawing.arcs.size() < smallest) return 0;
  const std::size_t cut = HalfWorkCut(drawing.runs.size(), [&](std::size_t r) {
    const DrawRun& run = drawing.runs[r];
    if (run.kind != RunKind::kArcs) return static_cast<double>(run.count);
    double work = 0;
    for (std::uint32_t i = run.first; i < run.first + run.count; ++i)
      work += arcWork(drawing.arcs[i]);
    return work;
  });
  return cut == drawing.runs.size() ? 0 : cut;
}

inline std::size_t BalancedCut(const MetafilePicture::Drawing& drawing, std::size_t smallest,
                               std::size_t linesPerArc = kLinesPerArc) {
  return BalancedCutBy(drawing, smallest,
                       [linesPerArc](const FrameArc&) { return static_cast<double>(linesPerArc); });
}

}  // namespace korvid
