#pragma once

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

  std::uint32_t InternPen(const PicturePen& pen);
  const PicturePen& Pen(std::uint32_t index) const { return drawing_->pens[index]; }
  // Inline: the drawing routine adds a line for every segment of the plot.
  void AddLine(std::uint32_t pen, const FrameLine& line) {
    DrawingBudget::CheckTime();
    if (drawing_->lines.size() == drawing_->lines.capacity()) ReserveCounted(drawing_->lines, 1);
    DrawRun& run = RunFor(pen, RunKind::kLines, static_cast<std::uint32_t>(drawing_->lines.size()));
    if (run.count++ == 0)
      run.bounds = line.Bounds();
    else
      run.bounds.Include(line.Bounds());
    drawing_->lines.push_back(line);
  }
  void AddArc(std::uint32_t pen, const FrameArc& arc);
  void AddFill(FrameFill fill);
  // Room for this many lines and arcs in all, so that the lists grow without copies.
  void Reserve(std::size_t lines, std::size_t arcs);

  // Everything of `later`, recorded apart, as if it had been recorded here next: its pens
  // given this list's indices, its first run joined to the last one here where the pen and
  // kind are the same.
  void Append(const MetafilePicture::Drawing& later);

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

  std::shared_ptr<MetafilePicture::Drawing> drawing_;
  std::unordered_map<PicturePen, std::uint32_t, PenHash> penIndex_;
  PicturePen lastPen_;
  std::uint32_t lastPenIndex_ = UINT32_MAX;
};

}  // namespace korvid
