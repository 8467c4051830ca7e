#include "render/WideStroker.h"

#include <algorithm>
#include <cmath>

namespace korvid {

namespace {

// QPainter draws a point as a line this long.
constexpr double kPointLength = 1.0 / 63;
// A corner whose own outline lies within this of its miter's tip, in pixels, is cut along
// its miter line however it is joined: half a point of QPainter's grid.
constexpr double kCloseToTheTip = 1.0 / 128;
// How far a join's piece reaches into the lines' rectangles, in its outer corners' distance
// from the corner's point (at most the pen's width): far beyond the grid's steps, short of
// any line but the shortest.
constexpr double kIntoTheLines = 1.0 / 8;
// Below this sine of the turn times the half width, the ends of two joined lines' rectangles
// are so near parallel that once on the grid they may part over much of their length.
constexpr double kAlmostStraight = 0.1;
// Further than two rectangles' ends on the grid can part: each corner moves by at most half
// a point of the grid either way.
constexpr double kAcrossTheGrid = 1.0 / 32;

QPointF Normal(QPointF along, double half) {
  return {-along.y() * half, along.x() * half};
}

// The unit vector from `from` to `to`; false for a line of no length, which has no
// direction.
bool Direction(QPointF from, QPointF to, QPointF& along, double& length) {
  const double dx = to.x() - from.x(), dy = to.y() - from.y();
  length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0) || !std::isfinite(length)) return false;
  const double unit = 1 / length;
  along = {dx * unit, dy * unit};
  return true;
}

}  // namespace

void WideStroker::SetPen(const DevicePen& pen) {
  Finish();
  half_ = pen.width / 2;
  bandAcross_ = half_ > 0 ? std::max(0.0, 1 - kAcrossTheGrid / half_) : 0;
  ends_ = pen.ends;
  joins_ = pen.joins;
  miterLimitSquared_ = pen.miterLimit * pen.miterLimit;
  // The cosine of half the sharpest turn a miter line may cut: the miter's tip lies
  // 1 / cos(turn / 2) half widths out; a round corner's rim lies one half width out, a
  // bevel's cos(turn / 2).
  const double reach = half_ > 0 ? kCloseToTheTip / half_ : 0;
  double halfTurn = 1;
  if (joins_ == PenJoins::kMiter)
    halfTurn = std::sqrt(std::min(1.0, 1 / miterLimitSquared_));
  else if (joins_ == PenJoins::kRound)
    halfTurn = 1 / (1 + reach);
  else  // 1 / c - c within the reach
    halfTurn = (std::sqrt(reach * reach + 4) - reach) / 2;
  tiledCosine_ = 2 * halfTurn * halfTurn - 1;
}

// The inner corner of either line's rectangle must lie within the other, and the miter
// line's inner end, tan(turn / 2) half widths back, within the first half of the shorter
// line, so that the pieces on both sides of a line never cross. Straight back, the miter
// line has no direction, whatever the limit.
bool WideStroker::Tiled(double cross, double cosine, double shorter) const {
  const double across = half_ * std::abs(cross);
  return cosine >= tiledCosine_ && cosine > -1 && shorter >= across &&
         (1 + cosine) * shorter >= 2 * across;
}

void WideStroker::Body(QPointF endPlus, QPointF endMinus) {
  const QPointF body[] = {startPlus_, endPlus, endMinus, startMinus_};
  fill_.Convex(body, 4);
}

void WideStroker::EndRun() {
  const QPointF normal = Normal(along_, half_);
  Body(pendingEnd_ + normal, pendingEnd_ - normal);
  Cap(pendingEnd_, along_);
}

// QPainter strokes a run of two points, a lone line, otherwise than a longer one: the first
// line of a run waits until the next shows which it is.
void WideStroker::Line(QPointF from, QPointF to) {
  // The test QPainter's sink joins lines by, to the same tolerance; mostly the points are
  // the same to the bit.
  const bool continues =
      lines_ > 0 && ((end_.x() == from.x() && end_.y() == from.y()) || end_ == from);
  if (!continues) {
    Finish();
    first_ = from;
    end_ = to;
    lines_ = 1;
    return;
  }
  // Each line goes on from where the run stands.
  const QPointF start = end_;
  end_ = to;
  if (++lines_ == 2) Continue(first_, start);
  Continue(start, to);
}

// The first line of some length starts the run with its end, every later one joins the one
// before. A line's piece is painted once the next shows where it ends: at a corner that
// turns gently enough (as an arc's chords do), where the miter reaches no further than the
// limit, the two lines' pieces meet on the miter line through the corner, which cuts the
// corner's outline into a piece of each line, sharing its corners to the bit; one convex
// piece a line instead of a rectangle and the corner's piece. Elsewhere each line's piece is
// its rectangle, and the corner gets one of its own.
void WideStroker::Continue(QPointF from, QPointF to) {
  QPointF along;
  double length;
  // A line of no length: QPainter leaves it out of the run.
  if (!Direction(from, to, along, length)) return;
  // From the line's point at `from` to its piece's first corner on the side of its normal.
  QPointF start = Normal(along, half_);
  if (started_) {
    const double cross = along_.x() * along.y() - along_.y() * along.x();
    const double cosine = along_.x() * along.x() + along_.y() * along.y();
    const double shorter = std::min(length_, length);
    const QPointF before = Normal(along_, half_);
    if (from == pendingEnd_ && Tiled(cross, cosine, shorter)) {
      start = (before + start) / (1 + cosine);
      Body(from + start, from - start);
    } else {
      Body(pendingEnd_ + before, pendingEnd_ - before);
      Join(from, along_, along, cross, cosine, shorter);
    }
  } else {
    Cap(from, -along);
  }
  startPlus_ = from + start;
  startMinus_ = from - start;
  started_ = true;
  along_ = along;
  length_ = length;
  pendingEnd_ = to;
}

void WideStroker::Finish() {
  if (lines_ == 1) {
    LoneLine(first_, end_);
  } else if (lines_ > 1 && started_) {
    EndRun();
  }
  lines_ = 0;
  started_ = false;
}

// Round ends: as a run's. Otherwise QPainter draws the line with its own rasteriser.
void WideStroker::LoneLine(QPointF from, QPointF to) {
  if (ends_ != PenEnds::kRound)
    return fill_.LoneLine(from, to, 2 * half_, ends_ == PenEnds::kSquare);
  Continue(from, to);
  if (started_) EndRun();
}

void WideStroker::Dot(QPointF at) {
  if (ends_ == PenEnds::kRound) {
    fill_.Disc(at, half_);
    return;
  }
  // A point is a lone line to QPainter, level, with square ends.
  fill_.LoneLine(at, at + QPointF(kPointLength, 0), 2 * half_, true);
}

// `outwards`: the unit vector from the line's end away from it. Both pieces compute the
// corners they share the same way, to the bit.
void WideStroker::Cap(QPointF at, QPointF outwards) {
  if (ends_ == PenEnds::kFlat) return;
  if (ends_ == PenEnds::kRound) {
    fill_.Disc(at, half_);
    return;
  }
  const QPointF normal = Normal(-outwards, half_);
  const QPointF beyond = outwards * half_;
  const QPointF square[] = {at + normal, at + normal + beyond, at - normal + beyond, at - normal};
  fill_.Convex(square, 4);
}

// Only the outer side of a corner needs a piece: on the inner side the two lines' rectangles
// overlap. The piece reaches a little way into both rectangles: a corner of it at the
// corner's point itself would leave a sliver between it and the rectangles' ends once they
// are all on the grid, where QPainter's one outline has no edge at all. Where the lines go
// on almost straight, their ends are almost parallel and such a sliver may run right across
// the line, where the piece is too thin to cover it: a band across the line, reaching a
// little way into both rectangles, does. (Not where the lines are shorter than half the pen:
// there QPainter's outline leaves out pixel centres of the rectangles now and then, and the
// band would add them.)
void WideStroker::Join(QPointF at, QPointF before, QPointF after, double cross, double cosine,
                       double shorter) {
  // Straight on, or straight back, where a bevel or a miter has no area.
  if (cross == 0 && (joins_ != PenJoins::kRound || cosine > 0)) return;
  if (joins_ == PenJoins::kRound) {
    fill_.Disc(at, half_);
    return;
  }
  // The outer corners of the lines' rectangles, as Continue computes them.
  const QPointF normalBefore = Normal(before, half_), normalAfter = Normal(after, half_);
  const bool right = cross > 0;
  const QPointF first = right ? at - normalBefore : at + normalBefore;
  const QPointF second = right ? at - normalAfter : at + normalAfter;
  const QPointF outwards = (first - at + second - at) * kIntoTheLines;
  if (cosine > 0 && std::abs(cross) * half_ < kAlmostStraight && shorter >= half_) {
    // Its sides stay as far inside the line's as they reach into the rectangles: they are
    // no edge of QPainter's outline.
    const QPointF back = before * kAcrossTheGrid, on = after * kAcrossTheGrid;
    const QPointF outerBefore = (first - at) * bandAcross_,
                  outerAfter = (second - at) * bandAcross_;
    const QPointF band[] = {at + outerBefore - back, at + outerAfter + on, at - outerAfter + on,
                            at - outerBefore - back};
    fill_.Convex(band, 4);
  }
  // The miter's tip lies 1 / cos(turn / 2) half-widths out; its length in pen widths is
  // what the limit bounds.
  if (joins_ == PenJoins::kBevel || miterLimitSquared_ * (1 + cosine) < 2) {
    const QPointF bevel[] = {at - outwards, first, second};
    fill_.Convex(bevel, 3);
    return;
  }
  const QPointF tip = at + (first - at + second - at) / (1 + cosine);
  const QPointF miter[] = {at - outwards, first, tip, second};
  fill_.Convex(miter, 4);
}

}  // namespace korvid
