#include "render/DrawingBuilder.h"

#include <algorithm>
#include <bit>
#include <cstring>
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

FrameLine* DrawingBuilder::LineRoom(FrameLines& lines, std::size_t used, std::size_t more) {
  lines.resize(used);
  ReserveCounted(lines, more);
  lines.resize(lines.capacity());  // untouched: no page of it is written yet
  return lines.data() + used;
}

void DrawingBuilder::OwnRoom(std::size_t more) {
  next_ = LineRoom(drawing_->lines, lineCount_, more);
  end_ = drawing_->lines.data() + drawing_->lines.size();
}

void DrawingBuilder::MoreLineRoom() {
  if (!inRoom_) {
    OwnRoom(1);
    return;
  }
  // The room is shared with a builder on another thread: the list that holds it may not
  // move now.
  if (overflowFrom_ == kNoOverflow) overflowFrom_ = lineCount_;
  next_ = LineRoom(overflow_, lineCount_ - overflowFrom_, 1);
  end_ = overflow_.data() + overflow_.size();
}

DrawingBuilder DrawingBuilder::Behind(std::size_t before, std::size_t room) {
  DrawingBuilder later(drawing_->frame, drawing_->description);
  // Nothing else writes into the list yet: it may still move.
  FrameLine* const start = LineRoom(drawing_->lines, lineCount_, before + room);
  next_ = start;
  end_ = start + before;
  inRoom_ = true;
  overflowFrom_ = kNoOverflow;
  later.inRoom_ = true;
  later.roomStart_ = lineCount_ + before;
  later.next_ = start + before;
  later.end_ = later.next_ + room;
  return later;
}

void DrawingBuilder::Append(DrawingBuilder&& later) {
  if (!later.inRoom_) return Append(*later.Finish());
  JoinRuns(*later.drawing_, static_cast<std::uint32_t>(lineCount_));
  FrameLines& list = drawing_->lines;
  const std::size_t ownInList = std::min(lineCount_, overflowFrom_);
  const std::size_t laterInRoom = std::min(later.lineCount_, later.overflowFrom_);
  const FrameLine* const laterRoom = list.data() + later.roomStart_;
  inRoom_ = false;
  if (lineCount_ > ownInList) {
    // This part outgrew its room: the later part's lines move on beyond its own.
    const FrameLines moved(laterRoom, laterRoom + laterInRoom);
    const FrameLines own = std::move(overflow_);
    const std::size_t beyond = lineCount_ - ownInList;
    lineCount_ = ownInList;
    OwnRoom(0);
    AppendLines(own.data(), beyond);
    AppendLines(moved.data(), moved.size());
  } else {
    // The later part's lines move down over the room this part left unused, if any.
    if (laterInRoom > 0)
      std::memmove(list.data() + lineCount_, laterRoom, laterInRoom * sizeof(FrameLine));
    lineCount_ += laterInRoom;
    OwnRoom(0);
  }
  overflow_ = FrameLines();
  AppendLines(later.overflow_.data(), later.lineCount_ - laterInRoom);
}

void DrawingBuilder::Reserve(std::size_t lines, std::size_t arcs) {
  if (!inRoom_ && lines > lineCount_) OwnRoom(lines - lineCount_);
  std::vector<FrameArc>& arcList = drawing_->arcs;
  if (arcs > arcList.size()) ReserveCounted(arcList, arcs - arcList.size());
}

void DrawingBuilder::AppendLines(const FrameLine* lines, std::size_t count) {
  if (count == 0) return;
  if (static_cast<std::size_t>(end_ - next_) < count) {
    OwnRoom(count);
  }
  std::copy(lines, lines + count, next_);
  next_ += count;
  lineCount_ += count;
}

void DrawingBuilder::JoinRuns(const MetafilePicture::Drawing& later, std::uint32_t lines) {
  std::vector<std::uint32_t> penIndex;
  penIndex.reserve(later.pens.size());
  for (const PicturePen& pen : later.pens)
    penIndex.push_back(InternPen(pen));
  MetafilePicture::Drawing& drawing = *drawing_;
  ReserveCounted(drawing.arcs, later.arcs.size());
  ReserveCounted(drawing.fills, later.fills.size());
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
  drawing.arcs.insert(drawing.arcs.end(), later.arcs.begin(), later.arcs.end());
  drawing.fills.insert(drawing.fills.end(), later.fills.begin(), later.fills.end());
}

void DrawingBuilder::Append(const MetafilePicture::Drawing& later) {
  const auto lines = static_cast<std::uint32_t>(lineCount_);
  JoinRuns(later, lines);
  AppendLines(later.lines.data(), later.lines.size());
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
  drawing_->lines.resize(lineCount_);
  next_ = end_ = nullptr;
  FitIfSmall(drawing_->runs);
  FitIfSmall(drawing_->lines);
  FitIfSmall(drawing_->arcs);
  drawing_->fills.shrink_to_fit();
  return std::exchange(drawing_, nullptr);
}

}  // namespace korvid
