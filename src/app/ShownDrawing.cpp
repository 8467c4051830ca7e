#include "app/ShownDrawing.h"

#include "model/RuntimeError.h"

namespace korvid {

void ShownDrawing::Show(std::unique_ptr<PlotSource> source) {
  source_ = std::move(source);
}

int ShownDrawing::PageCount() const {
  return source_ ? source_->PageCount() : 1;
}

int ShownDrawing::Page() const {
  return source_ ? source_->Page() : 1;
}

void ShownDrawing::SelectPage(int page) {
  if (page < 1 || page > PageCount()) throw RuntimeError(err::kSubscriptOutOfRange);
  if (source_) source_->SelectPage(page);
}

bool ShownDrawing::HasDrawing() const {
  return source_ && source_->HasDrawing();
}

PlotExtents ShownDrawing::Extents() const {
  return source_ ? source_->Extents() : PlotExtents{};
}

PlotBox ShownDrawing::DrawnBox() const {
  return source_ ? source_->DrawnBox() : PlotBox{};
}

FramePlacement ShownDrawing::Placement(std::int16_t angle) const {
  if (!source_) throw RuntimeError(err::kSubscriptOutOfRange);
  return source_->Placement(RotationForAngle(angle));
}

void ShownDrawing::Draw(const DrawSetup& setup, const FileLocation& metafile,
                        DrawProgress* progress) const {
  if (!source_) throw RuntimeError(err::kSubscriptOutOfRange);
  DrawPlot(*source_, setup, metafile, progress);
}

}  // namespace korvid
