#include "app/ShownDrawing.h"

#include <optional>
#include <thread>

#include "model/DrawingBudget.h"
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

MetafilePicture ShownDrawing::Draw(const DrawSetup& setup, const FileLocation& metafile,
                                   DrawProgress* progress) const {
  if (!source_) throw RuntimeError(err::kSubscriptOutOfRange);
  // Both walk the same source, which nothing changes meanwhile; the metafile stays on this
  // thread, where the progress panel is.
  std::optional<MetafilePicture> recorded;
  DrawingBudget::Account* const account = DrawingBudget::Current();
  {
    std::jthread recorder([&] {
      // The recording is part of the same drawing, within the same budget.
      const DrawingBudget::Use use(account);
      try {
        recorded = DrawPlotPicture(*source_, setup);
      } catch (...) {
        recorded.reset();
      }
    });
    DrawPlot(*source_, setup, metafile, progress);
  }
  return recorded ? std::move(*recorded) : MetafilePicture::LoadFile(metafile);
}

}  // namespace korvid
