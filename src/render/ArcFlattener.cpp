#include "render/ArcFlattener.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "render/StrokeSink.h"

namespace korvid {

namespace {

constexpr double kTurn = 2 * std::numbers::pi;

double Length(QPointF p) {
  return std::hypot(p.x(), p.y());
}

double SquaredLength(QPointF p) {
  return p.x() * p.x() + p.y() * p.y();
}

// The arc sine of x, for x * x <= 1/8, to within 8e-8 of itself: its series to x^11. The
// terms left out are each at most 231/13312 x^12 and shrink by x^2 at least each.
double ArcSineOfSmall(double x) {
  constexpr double k3 = 1.0 / 6, k5 = 3.0 / 40, k7 = 5.0 / 112, k9 = 35.0 / 1152, k11 = 63.0 / 2816;
  const double x2 = x * x;
  return x * (1 + x2 * (k3 + x2 * (k5 + x2 * (k7 + x2 * (k9 + x2 * k11)))));
}

// Edges included, unlike QRectF's tests: a flat ellipse has an empty box but still draws.
bool Overlaps(const QRectF& a, const QRectF& b) {
  return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
         b.top() <= a.bottom();
}

bool Encloses(const QRectF& outer, const QRectF& inner) {
  return outer.left() <= inner.left() && inner.right() <= outer.right() &&
         outer.top() <= inner.top() && inner.bottom() <= outer.bottom();
}

}  // namespace

QPointF ArcFlattener::Ellipse::At(double t) const {
  return origin + u * std::cos(t) + v * std::sin(t);
}

QRectF ArcFlattener::Ellipse::Bounds() const {
  const double w = std::abs(u.x()) + std::abs(v.x());
  const double h = std::abs(u.y()) + std::abs(v.y());
  return QRectF(origin.x() - w, origin.y() - h, 2 * w, 2 * h);
}

// The angle step whose chords stay within the tolerance on a circle of this radius.
double ArcFlattener::StepFor(double radius, double tolerance) {
  if (radius <= tolerance) return std::numbers::pi / 2;
  return std::min(std::numbers::pi / 2, 2 * std::acos(1 - tolerance / radius));
}

int ArcFlattener::ChordCountByDefinition(QPointF u, QPointF v, double sweep, double tolerance) {
  const double radius = std::max(Length(u), Length(v));
  const double chords = std::ceil(std::abs(sweep) / StepFor(radius, tolerance));
  return static_cast<int>(std::clamp(chords, 1.0, double{kMostChords}));
}

int ArcFlattener::ChordCount(QPointF u, QPointF v, double sweep, double tolerance) {
  const int estimated = EstimatedChordCount(u, v, sweep, tolerance);
  return estimated > 0 ? estimated : ChordCountByDefinition(u, v, sweep, tolerance);
}

// The chord count without hypot and acos (a quarter of an arc's cost before its chords are drawn),
// where that is certain; 0 where not. The quotient sweep / step is estimated to within 1.1e-7 of
// itself: 8e-8 for the series, 3e-8 for the rounding of 1 - tolerance / radius in the definition
// (no more than 2^-54 / 1e-9, halved by the arc cosine), the other roundings a few 1e-16.
// Within a margin of 1e-6 either way, the estimate's ceiling is that of the definition's
// quotient unless an integer lies inside the margin: then the definition decides.
int ArcFlattener::EstimatedChordCount(QPointF u, QPointF v, double sweep, double tolerance) {
  constexpr double kMargin = 1e-6;
  const double squaredU = SquaredLength(u), squaredV = SquaredLength(v);
  // NaN might take hypot's infinity in the definition; below the normal numbers a
  // square has no precision to spare.
  if (std::isnan(squaredU) || std::isnan(squaredV)) return 0;
  const double squared = std::max(squaredU, squaredV);
  if (squared < std::numeric_limits<double>::min()) return 0;
  const double ratio = tolerance / std::sqrt(squared);
  // From 1/4 on the series would need more terms; below 1e-9 the rounding of
  // 1 - ratio in the definition grows beyond the bound (NaN fails both tests).
  if (!(ratio >= 1e-9 && ratio <= 0.25)) return 0;
  // 2 acos(1 - ratio) = 4 asin(sqrt(ratio / 2)); at most 1.45, so never the cap of pi / 2.
  const double quotient = std::abs(sweep) / (4 * ArcSineOfSmall(std::sqrt(ratio / 2)));
  const double low = std::ceil(quotient * (1 - kMargin));
  if (low > kMostChords) return kMostChords;
  if (std::ceil(quotient * (1 + kMargin)) != low) return 0;
  return static_cast<int>(std::max(low, 1.0));
}

ArcFlattener::ArcFlattener(const QTransform& frameToDevice, const QRectF& window, double tolerance)
    : map_(frameToDevice), window_(window), tolerance_(tolerance) {
  const double margin = window.width() + window.height();
  roomy_ = window.adjusted(-margin, -margin, margin, margin);
}

ArcFlattener::Ellipse ArcFlattener::ToDevice(const FrameArc& arc) const {
  const QPointF origin = map_.map(QPointF(arc.cx, arc.cy));
  const QPointF u(map_.m11() * arc.rx, map_.m12() * arc.rx);
  const QPointF v(map_.m21() * arc.ry, map_.m22() * arc.ry);
  return {origin, u, v};
}

void ArcFlattener::Flatten(const FrameArc& arc, StrokeSink& sink) {
  const Ellipse ellipse = ToDevice(arc);
  const QRectF bounds = ellipse.Bounds();
  if (!Overlaps(bounds, window_)) return;
  if (Encloses(roomy_, bounds))
    Piece(ellipse, arc.start, arc.sweep, sink);
  else
    FlattenVisible(ellipse, arc.start, arc.sweep, sink);
}

// Splits the arc where it crosses the window's edges and flattens the pieces inside.
void ArcFlattener::FlattenVisible(const Ellipse& ellipse, double start, double sweep,
                                  StrokeSink& sink) {
  const double span = std::abs(sweep);
  cuts_.assign({0.0, span});
  AddCrossings(ellipse.origin.x(), ellipse.u.x(), ellipse.v.x(), window_.left(), start, sweep,
               cuts_);
  AddCrossings(ellipse.origin.x(), ellipse.u.x(), ellipse.v.x(), window_.right(), start, sweep,
               cuts_);
  AddCrossings(ellipse.origin.y(), ellipse.u.y(), ellipse.v.y(), window_.top(), start, sweep,
               cuts_);
  AddCrossings(ellipse.origin.y(), ellipse.u.y(), ellipse.v.y(), window_.bottom(), start, sweep,
               cuts_);
  std::sort(cuts_.begin(), cuts_.end());
  const double direction = sweep < 0 ? -1 : 1;
  for (std::size_t i = 1; i < cuts_.size(); ++i) {
    const double from = cuts_[i - 1];
    const double to = cuts_[i];
    if (to <= from) continue;
    if (window_.contains(ellipse.At(start + direction * (from + to) / 2)))
      Piece(ellipse, start + direction * from, direction * (to - from), sink);
  }
}

// Adds, as distances along the arc from its start, the parameters where the coordinate
// centre + a cos t + b sin t equals `edge`.
void ArcFlattener::AddCrossings(double centre, double a, double b, double edge, double start,
                                double sweep, std::vector<double>& along) const {
  const double amplitude = std::hypot(a, b);
  if (amplitude == 0) return;
  const double ratio = (edge - centre) / amplitude;
  if (ratio < -1 || ratio > 1) return;
  const double phase = std::atan2(b, a);
  const double offset = std::acos(ratio);
  for (const double t : {phase + offset, phase - offset}) {
    double distance = std::fmod((sweep < 0 ? start - t : t - start), kTurn);
    if (distance < 0) distance += kTurn;
    if (distance < std::abs(sweep)) along.push_back(distance);
  }
}

void ArcFlattener::Piece(const Ellipse& ellipse, double start, double sweep, StrokeSink& sink) {
  const int count = ChordCount(ellipse.u, ellipse.v, sweep, tolerance_);
  const double step = sweep / count;
  const double cosStep = std::cos(step);
  const double sinStep = std::sin(step);
  double c = std::cos(start);
  double s = std::sin(start);
  // Grown, never shrunk: resizing would clear the points each time only to overwrite them.
  const auto size = static_cast<std::size_t>(count) + 1;
  if (points_.size() < size) points_.resize(size);
  QPointF* const points = points_.data();
  // A copy: the stores to the points could otherwise alias the ellipse's own fields.
  const Ellipse e = ellipse;
  for (int i = 0; i < count; ++i) {
    points[i] = e.origin + e.u * c + e.v * s;
    // Turning by a fixed step is a rotation: two products instead of a cosine and a sine.
    const double next = c * cosStep - s * sinStep;
    s = s * cosStep + c * sinStep;
    c = next;
  }
  points[count] = e.At(start + sweep);  // the end exactly on its ray
  sink.Polyline(points, size);
}

}  // namespace korvid
