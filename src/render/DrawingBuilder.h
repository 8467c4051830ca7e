#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "model/DrawingBudget.h"
#include "render/MetafileDrawing.h"

namespace korvid {

// Collects primitives into the display list: merges consecutive primitives of one pen into
// runs and gives equal pens one index, so that a file that creates a pen for every line
// still paints in long runs. The list grows within the drawing budget in force.
class DrawingBuilder {
 public:
  DrawingBuilder(const QRect& frame, const QString& description);
  // Its lines are written through pointers into its own list or another's room.
  DrawingBuilder(const DrawingBuilder&) = delete;
  DrawingBuilder& operator=(const DrawingBuilder&) = delete;
  DrawingBuilder(DrawingBuilder&&) = default;
  DrawingBuilder& operator=(DrawingBuilder&&) = default;

  std::uint32_t InternPen(const PicturePen& pen);
  const PicturePen& Pen(std::uint32_t index) const { return drawing_->pens[index]; }
  // Inline: the drawing routine adds a line for every segment of the plot.
  void AddLine(std::uint32_t pen, const FrameLine& line) {
    DrawingBudget::CheckTime();
    if (next_ == end_) [[unlikely]]
      MoreLineRoom();
    DrawRun& run = RunFor(pen, RunKind::kLines, static_cast<std::uint32_t>(lineCount_));
    if (run.count++ == 0)
      run.bounds = line.Bounds();
    else
      run.bounds.Include(line.Bounds());
    *next_++ = line;
    ++lineCount_;
  }
  void AddArc(std::uint32_t pen, const FrameArc& arc);
  void AddFill(FrameFill fill);
  // Room for this many lines and arcs in all, so that the lists grow without copies.
  void Reserve(std::size_t lines, std::size_t arcs);

  // Everything of `later`, recorded apart, as if it had been recorded here next: its pens
  // given this list's indices, its first run joined to the last one here where the pen and
  // kind are the same.
  void Append(const MetafilePicture::Drawing& later);

  // A builder for the part recorded next, on another thread while this one records its
  // own: its lines go straight into this list's room, after room for `before` more of this
  // one's, `room` of them. Append(Behind) then finds them in place instead of copying
  // them. Lines beyond either room go to a list of their own and are copied then.
  DrawingBuilder Behind(std::size_t before, std::size_t room);
  void Append(DrawingBuilder&& later);

  std::shared_ptr<const MetafilePicture::Drawing> Finish();

 private:
  struct PenHash {
    std::size_t operator()(const PicturePen& pen) const;
  };

  DrawRun& RunFor(std::uint32_t pen, RunKind kind, std::uint32_t next) {
    std::vector<DrawRun>& runs = drawing_->runs;
    if (runs.empty() || runs.back().pen != pen || runs.back().kind != kind) {
      ReserveCounted(runs, 1);
      runs.push_back({pen, kind, next, 0, {0, 0, 0, 0}});
    }
    return runs.back();
  }

  // Stretches `lines`, holding `used`, to room for `more` beyond them; where the next line
  // goes.
  static FrameLine* LineRoom(FrameLines& lines, std::size_t used, std::size_t more);
  // This list's own room for `more` lines beyond those it holds, written from `next_` on.
  void OwnRoom(std::size_t more);
  void MoreLineRoom();
  void AppendLines(const FrameLine* lines, std::size_t count);
  void JoinRuns(const MetafilePicture::Drawing& later, std::uint32_t lines);

  std::shared_ptr<MetafilePicture::Drawing> drawing_;
  // The list's lines are written through `next_` up to `end_`: drawing_->lines is stretched
  // to its room as it grows, so `lineCount_` is how many it holds.
  FrameLine* next_ = nullptr;
  FrameLine* end_ = nullptr;
  std::size_t lineCount_ = 0;
  // Of a builder recording into another's room (Behind), or with another recording into
  // its own: the lines written into the room, the rest in `overflow_`.
  static constexpr std::size_t kNoOverflow = SIZE_MAX;
  bool inRoom_ = false;
  std::size_t roomStart_ = 0;               // of a later part: where its room starts in the list
  std::size_t overflowFrom_ = kNoOverflow;  // the first line beyond the room
  FrameLines overflow_;
  std::unordered_map<PicturePen, std::uint32_t, PenHash> penIndex_;
  PicturePen lastPen_;
  std::uint32_t lastPenIndex_ = UINT32_MAX;
};

}  // namespace korvid
