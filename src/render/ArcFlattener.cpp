#include "render/ArcFlattener.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/StrokeSink.h"

namespace korvid {

namespace {

constexpr double kTurn = 2 * std::numbers::pi;
constexpr int kMostChords = 1 << 15;

double Length(QPointF p) {
  return std::hypot(p.x(), p.y());
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
double ArcFlattener::StepFor(double radius) const {
  if (radius <= tolerance_) return std::numbers::pi / 2;
  return std::min(std::numbers::pi / 2, 2 * std::acos(1 - tolerance_ / radius));
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
  const double radius = std::max(Length(ellipse.u), Length(ellipse.v));
  const double chords = std::ceil(std::abs(sweep) / StepFor(radius));
  const int count = static_cast<int>(std::clamp(chords, 1.0, double{kMostChords}));
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
