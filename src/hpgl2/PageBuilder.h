#pragma once

#include <optional>
#include <vector>

#include "hpgl2/PlotScaling.h"
#include "model/StandardPlot.h"

namespace korvid {

// Thrown when the model would outgrow its memory budget; the read stops there.
struct BudgetSpent {};

// An axis-parallel rectangle in plotter units (IW).
struct ClipWindow {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// Puts what the interpreter draws onto pages: clips it to the input window, turns it
// by the plot rotation (RO), joins consecutive strokes of one style into polylines,
// keeps the page extents and charges every byte to the budget.
class PageBuilder {
 public:
  PageBuilder(StandardPlot& plot, ModelBudget& budget);

  // Points in plotter units before rotation. A non-finite point breaks the line.
  void DrawSegment(PlotPoint from, PlotPoint to, const StrokeStyle& style);
  void DrawDot(PlotPoint at, const StrokeStyle& style);
  // A run of connected segments through `count` points, as DrawSegment one after the
  // other would draw them, in one go.
  void DrawPath(const PlotPoint* points, std::size_t count, const StrokeStyle& style);
  // The next segment starts a new polyline even if it continues the last one.
  void BreakLine() { open_ = false; }

  void FillPolygon(const std::vector<PlotRing>& rings, const StandardPolygon& fill);

  // How many more points fit the budget, at the least.
  std::size_t RemainingPoints() const {
    return (budget_.LimitBytes() - budget_.UsedBytes()) / (2 * sizeof(PlotPoint));
  }

  void SetRotation(int degrees) { rotation_ = degrees; }
  // The scaling whose user units each page keeps, with the rotation.
  void FollowScaling(const PlotScaling* scaling) { scaling_ = scaling; }
  void SetClip(std::optional<ClipWindow> window) { clip_ = window; }

  // A new sheet, unless the current one is still blank.
  void AdvancePage();
  bool PageBlank() const { return Page().Empty(); }

  // Drops blank pages at the end, keeping at least one page.
  void Finish();

 private:
  StandardPage& Page() { return plot_.pages.back(); }
  const StandardPage& Page() const { return plot_.pages.back(); }
  PlotPoint Turned(PlotPoint p) const;
  template <typename T>
  void Grow(std::vector<T>& items);
  void Reserve(std::vector<PlotPoint>& points, std::size_t size);
  void Append(PlotPoint p);
  void NotePen(double widthMm);
  void StartLine(PlotPoint from, PlotPoint to, const StrokeStyle& style);
  void NoteUserUnits() {
    if (scaling_) Page().userUnits = scaling_->Units(rotation_);
  }

  StandardPlot& plot_;
  ModelBudget& budget_;
  int rotation_ = 0;
  const PlotScaling* scaling_ = nullptr;
  std::optional<ClipWindow> clip_;
  bool open_ = false;
  PlotPoint lastEnd_;  // the open line's last point, turned
  PlotPoint lastTo_;   // and as it was given
};

}  // namespace korvid
