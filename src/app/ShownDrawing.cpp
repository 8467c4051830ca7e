#include "app/ShownDrawing.h"

#include "model/RuntimeError.h"
#include "render/DrawStandardPage.h"
#include "render/Rotation.h"

namespace korvid {

void ShownDrawing::ShowDesign() {
  reading_ = Reading::Design;
  standard_.reset();
  page_ = 1;
}

void ShownDrawing::ShowStandard(std::shared_ptr<const StandardReadOutcome> read) {
  reading_ = Reading::Standard;
  standard_ = std::move(read);
  page_ = 1;
}

int ShownDrawing::PageCount() const {
  if (reading_ == Reading::Design || !standard_) return 1;
  return static_cast<int>(standard_->plot.PageCount());
}

void ShownDrawing::SelectPage(int page) {
  if (page < 1 || page > PageCount()) throw RuntimeError(err::kSubscriptOutOfRange);
  page_ = page;
}

bool ShownDrawing::HasDrawing(const PlotModel& model) const {
  if (reading_ == Reading::Design) return model.SegCount[1] != 0 || model.ArcCount[1] != 0;
  return standard_ && page_ <= PageCount() && !standard_->plot.pages[page_ - 1].Empty();
}

PlotExtents ShownDrawing::Extents(const PlotModel& model) const {
  if (reading_ == Reading::Design) return PlotExtents::OfCurrentPlot(model);
  if (!standard_ || page_ > PageCount()) return {};
  return PlotExtents::OfPage(standard_->plot.pages[page_ - 1]);
}

PlotBox ShownDrawing::DrawnBox(const PlotModel& model) const {
  if (!HasDrawing(model)) return {};
  if (reading_ == Reading::Standard) return standard_->plot.pages[page_ - 1].extents;
  const PlotExtents extents = PlotExtents::OfCurrentPlot(model);
  return {extents.MinX, extents.MinY, extents.MaxX, extents.MaxY, false};
}

FramePlacement ShownDrawing::Placement(const PlotModel& model, std::int16_t angle) const {
  const Rotation turn = RotationForAngle(angle);
  if (reading_ == Reading::Design)
    return FramePlacement::OfPlot(model, angle, turn.cosA, turn.sinA);
  if (!standard_ || page_ > PageCount()) throw RuntimeError(err::kSubscriptOutOfRange);
  return FramePlacement::OfPage(standard_->plot.pages[page_ - 1], angle, turn.cosA, turn.sinA);
}

const UserUnits* ShownDrawing::UserUnitsShown() const {
  if (reading_ == Reading::Design || !standard_ || page_ > PageCount()) return nullptr;
  return &standard_->plot.pages[page_ - 1].userUnits;
}

void ShownDrawing::Draw(const DrawContext& context, std::int16_t angle, double cosA,
                        double sinA) const {
  if (reading_ == Reading::Design) {
    DrawPlot(context, angle, cosA, sinA);
    return;
  }
  if (!standard_) throw RuntimeError(err::kSubscriptOutOfRange);
  DrawStandardPage({standard_->plot, static_cast<std::size_t>(page_ - 1), context.settings,
                    context.metafile, context.progress},
                   angle, cosA, sinA);
}

}  // namespace korvid
