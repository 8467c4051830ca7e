#pragma once

#include <optional>
#include <vector>

#include "hpgl2/GraphicsState.h"
#include "hpgl2/StrokeTarget.h"
#include "model/StandardPlot.h"

namespace korvid {

// Thrown when the model would outgrow its memory budget; the read stops there.
struct BudgetSpent {};

// Puts what the plotter draws onto pages: clips it to the input window (and to the
// hard-clip limits PS sets), turns it by the plot rotation (RO), joins consecutive strokes
// of one style into polylines, keeps the page extents and charges every byte to the budget.
class PageBuilder final : public StrokeTarget {
 public:
  PageBuilder(StandardPlot& plot, ModelBudget& budget);

  // The pen's moves, points in plotter units before rotation. Pen 0 draws nothing (its
  // moves are counted); line type 0 leaves a dot at each point the pen moves to.
  void MoveTo(PlotPoint) override { open_ = false; }
  void DrawSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style) override {
    if (!Inks(style)) {
      open_ = false;
      ++movesWithoutPen_;
    } else if (style.DotsOnly()) {
      DrawDot(to, style);
    } else {
      AddSegment(from, to, style);
    }
  }
  void DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style) override;
  void DrawClosedPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style,
                      bool drawn) override;
  void DrawArcPath(const PlotPoint* points, std::size_t count, const PolylineArc& arc,
                   const StrokeStyle& style) override;
  void DrawClosedArcPath(const PlotPoint* points, std::size_t count, const PolylineArc& arc,
                         const StrokeStyle& style, bool drawn) override;
  void DrawDot(PlotPoint at, const StrokeStyle& style) override;
  void BreakLine() override { open_ = false; }
  // Pen-down moves of pen 0 that drew nothing.
  std::int64_t MovesWithoutPen() const { return movesWithoutPen_; }

  // Lines as they are, whatever the line type: edges, ticks and label strokes. A
  // non-finite point breaks the line.
  void AddSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style);
  // A run of connected segments through `count` points, as AddSegment one after the
  // other would draw them, in one go. With `arc`, the points after the first are its own:
  // where nothing clips or turns them, the line keeps the arc instead.
  void AddPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style,
               const PolylineArc* arc = nullptr);

  // False when nothing of it is left to fill (outside the window, or degenerate).
  bool FillPolygon(const std::vector<PlotRing>& rings, const StandardPolygon& fill);

  // How many more points fit the budget, at the least.
  std::size_t RemainingPoints() const {
    return (budget_.LimitBytes() - budget_.UsedBytes()) / (2 * sizeof(PlotPoint));
  }

  // RO turns the coordinate system and shifts it, so that the turned hard-clip limits
  // stay where they were.
  void SetRotation(int degrees, const HardClipLimits& limits);
  void SetClip(std::optional<ClipWindow> window);
  // The transform whose user units each page keeps, with the rotation.
  void FollowTransform(const PlotTransform* transform) { transform_ = transform; }

  // A new sheet, unless the current one is still blank.
  void AdvancePage();
  bool PageBlank() const { return Page().Empty(); }

  // Drops blank pages at the end, keeping at least one page.
  void Finish();

 private:
  StandardPage& Page() { return plot_.pages.back(); }
  const StandardPage& Page() const { return plot_.pages.back(); }
  PlotPoint Turned(PlotPoint p) const;
  // The paths and closed paths, kept as `arc` where it is given.
  void DrawPathOf(const PlotPoint* points, std::size_t count, const PolylineArc* arc,
                  const StrokeStyle& style);
  void DrawClosedPathOf(const PlotPoint* points, std::size_t count, const PolylineArc* arc,
                        const StrokeStyle& style, bool drawn);
  template <typename T>
  void Grow(std::vector<T>& items);
  void Reserve(std::vector<PlotPoint>& points, std::size_t size);
  void Append(PlotPoint p);
  void NotePen(double widthMm);
  void StartLine(PlotPoint from, PlotPoint to, const StrokeStyle& style);
  void NoteUserUnits() {
    if (transform_) Page().userUnits = transform_->Units(rotation_, limits_);
  }

  void UpdateClip();

  StandardPlot& plot_;
  ModelBudget& budget_;
  int rotation_ = 0;
  HardClipLimits limits_;
  const PlotTransform* transform_ = nullptr;
  std::optional<ClipWindow> window_;
  std::optional<ClipWindow> clip_;  // the window, cut to the hard-clip limits of PS
  bool open_ = false;
  std::int64_t movesWithoutPen_ = 0;
  PlotPoint lastEnd_;  // the open line's last point, turned
  PlotPoint lastTo_;   // and as it was given
};

}  // namespace korvid
