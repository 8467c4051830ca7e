#include "render/DrawingBuilder.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace korvid {

DrawingBuilder::DrawingBuilder(const QRect& frame, const QString& description)
    : drawing_(std::make_shared<MetafilePicture::Drawing>()) {
  drawing_->frame = frame;
  drawing_->description = description;
}

std::size_t DrawingBuilder::PenHash::operator()(const PicturePen& pen) const {
  const std::uint64_t key = (static_cast<std::uint64_t>(pen.colour) << 32) ^
                            std::bit_cast<std::uint32_t>(pen.width) ^
                            (static_cast<std::uint64_t>(pen.style) << 29);
  return std::hash<std::uint64_t>{}(key);
}

std::uint32_t DrawingBuilder::InternPen(const PicturePen& pen) {
  // Files of our writer create one pen per line, mostly equal to the one before.
  if (lastPenIndex_ != UINT32_MAX && pen == lastPen_) return lastPenIndex_;
  auto [it, inserted] =
      penIndex_.try_emplace(pen, static_cast<std::uint32_t>(drawing_->pens.size()));
  if (inserted) {
    drawing_->pens.push_back(pen);
    drawing_->widestPen = std::max(drawing_->widestPen, pen.width);
  }
  lastPen_ = pen;
  lastPenIndex_ = it->second;
  return it->second;
}

void DrawingBuilder::AddArc(std::uint32_t pen, const FrameArc& arc) {
  DrawingBudget::CheckTime();
  ReserveCounted(drawing_->arcs, 1);
  DrawRun& run = RunFor(pen, RunKind::kArcs, static_cast<std::uint32_t>(drawing_->arcs.size()));
  if (run.count++ == 0)
    run.bounds = arc.Bounds();
  else
    run.bounds.Include(arc.Bounds());
  drawing_->arcs.push_back(arc);
}

void DrawingBuilder::AddFill(FrameFill fill) {
  if (fill.points.empty()) return;
  DrawingBudget::Charge(fill.points.size() * sizeof(QPointF) +
                        fill.ringSizes.size() * sizeof(std::uint32_t));
  ReserveCounted(drawing_->fills, 1);
  FrameBox bounds{static_cast<float>(fill.points[0].x()), static_cast<float>(fill.points[0].y()),
                  static_cast<float>(fill.points[0].x()), static_cast<float>(fill.points[0].y())};
  for (const QPointF& p : fill.points) {
    const float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
    bounds.Include({x, y, x, y});
  }
  fill.bounds = bounds;
  // Every fill is a run of its own kind, so that it keeps its place among the lines.
  DrawRun& run = RunFor(0, RunKind::kFills, static_cast<std::uint32_t>(drawing_->fills.size()));
  if (run.count++ == 0)
    run.bounds = bounds;
  else
    run.bounds.Include(bounds);
  drawing_->fills.push_back(std::move(fill));
}

void DrawingBuilder::Reserve(std::size_t lines, std::size_t arcs) {
  std::vector<FrameLine>& lineList = drawing_->lines;
  std::vector<FrameArc>& arcList = drawing_->arcs;
  if (lines > lineList.size()) ReserveCounted(lineList, lines - lineList.size());
  if (arcs > arcList.size()) ReserveCounted(arcList, arcs - arcList.size());
}

void DrawingBuilder::Append(const MetafilePicture::Drawing& later) {
  std::vector<std::uint32_t> penIndex;
  penIndex.reserve(later.pens.size());
  for (const PicturePen& pen : later.pens)
    penIndex.push_back(InternPen(pen));
  MetafilePicture::Drawing& drawing = *drawing_;
  ReserveCounted(drawing.lines, later.lines.size());
  ReserveCounted(drawing.arcs, later.arcs.size());
  ReserveCounted(drawing.fills, later.fills.size());
  const auto lines = static_cast<std::uint32_t>(drawing.lines.size());
  const auto arcs = static_cast<std::uint32_t>(drawing.arcs.size());
  const auto fills = static_cast<std::uint32_t>(drawing.fills.size());
  for (const DrawRun& run : later.runs) {
    // A fill's run has no pen.
    const std::uint32_t pen = run.kind == RunKind::kFills ? run.pen : penIndex.at(run.pen);
    const std::uint32_t before = run.kind == RunKind::kLines  ? lines
                                 : run.kind == RunKind::kArcs ? arcs
                                                              : fills;
    DrawRun& joined = RunFor(pen, run.kind, before + run.first);
    if (joined.count == 0)
      joined.bounds = run.bounds;
    else
      joined.bounds.Include(run.bounds);
    joined.count += run.count;
  }
  drawing.lines.insert(drawing.lines.end(), later.lines.begin(), later.lines.end());
  drawing.arcs.insert(drawing.arcs.end(), later.arcs.begin(), later.arcs.end());
  drawing.fills.insert(drawing.fills.end(), later.fills.begin(), later.fills.end());
}

namespace {

// Room a list may keep unused: a large list's room beyond its items was reserved, never
// touched, and takes no memory, while moving its items to fit would copy all of them.
constexpr std::size_t kRoomKeptBytes = std::size_t{1} << 20;

template <typename Vector>
void FitIfSmall(Vector& items) {
  if (items.capacity() * sizeof(typename Vector::value_type) < kRoomKeptBytes)
    items.shrink_to_fit();
}

}  // namespace

std::shared_ptr<const MetafilePicture::Drawing> DrawingBuilder::Finish() {
  FitIfSmall(drawing_->runs);
  FitIfSmall(drawing_->lines);
  FitIfSmall(drawing_->arcs);
  drawing_->fills.shrink_to_fit();
  return std::exchange(drawing_, nullptr);
}

}  // namespace korvid
