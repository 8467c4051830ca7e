#pragma once

#include <cmath>
#include <numbers>

namespace korvid {

// The work of painting an arc, in lines, to cut a picture in two parts of equal work: a
// fixed part (its place, its size, the sines and cosines of its ends) about as much as
// kArcLines lines, and one line per chord, of which a circle of radius r pixels has about
// 2 pi sqrt(r / 8 tolerance) at the flattening's tolerance of 0.2 pixel (timed on the
// largest plot).
inline double ArcPaintWorkInLines(double radiusPx, double turns) {
  constexpr double kArcLines = 12;
  constexpr double kChordsPerTurnFromRadius = 2 * std::numbers::pi / std::sqrt(8 * 0.2);
  return kArcLines + turns * kChordsPerTurnFromRadius * std::sqrt(radiusPx);
}

}  // namespace korvid
