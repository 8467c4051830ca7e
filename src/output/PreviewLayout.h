#pragma once

#include <array>
#include <cstdint>

#include "model/PlotExtents.h"
#include "model/PlotModel.h"
#include "output/PageMetrics.h"
#include "output/PosterLayout.h"

namespace korvid {

inline constexpr double kTwipsPerMm = 56.7;

// The main window as the preview measures it, in twips.
struct PreviewWindow {
  double outerWidth = 0;
  double outerHeight = 0;
  double toolbar2Height = 0;
  double statusBarHeight = 0;
};

// The print preview's sheets: the same walk as printing, in twips, kept for paging. The
// page box is a shrunken sheet that fits the window; each sheet's share of the picture
// is drawn into it, inset by the printer's unprintable margins.
class PreviewLayout {
 public:
  static constexpr int kMaxPages = 1000;

  // Error 9 beyond 1000 sheets; arithmetic errors for a magnification of 0.
  void Build(const PageMetrics& page, const PlotExtents& extents, float magnification,
             double pictureWidthTwips, double pictureHeightTwips, const PreviewWindow& window);
  void Build(const PageMetrics& page, const PlotModel& model, float magnification,
             double pictureWidthTwips, double pictureHeightTwips, const PreviewWindow& window) {
    Build(page, PlotExtents::OfCurrentPlot(model), magnification, pictureWidthTwips,
          pictureHeightTwips, window);
  }

  std::int16_t PageCount() const { return pageCount_; }
  std::int16_t Page() const { return page_; }
  bool NextEnabled() const { return nextEnabled_; }
  bool PreviousEnabled() const { return previousEnabled_; }

  // Both return true when a new sheet is to be drawn.
  bool Next();
  bool Previous();
  // Straight to sheet `page` (clamped to the sheets there are); true when it is another.
  bool GoTo(int page);

  RectD PageBox() const { return pageBox_; }  // in the main window, twips
  // The share of the picture shown on sheet n (1-based), and where it goes in the page box.
  RectD Source(int page) const;
  RectD Destination() const;

  double PageStepX() const { return pageStepX_; }
  float PageStepY() const { return pageStepY_; }
  std::int32_t OffsetX() const { return offsetX_; }
  std::int32_t OffsetY() const { return offsetY_; }

 private:
  double pageStepX_ = 0;
  float pageStepY_ = 0;
  std::int32_t offsetX_ = 0;
  std::int32_t offsetY_ = 0;
  std::array<float, kMaxPages + 1> originX_{};
  std::array<float, kMaxPages + 1> originY_{};
  std::int16_t pageCount_ = 0;
  std::int16_t page_ = 0;
  bool nextEnabled_ = false;
  bool previousEnabled_ = false;
  RectD pageBox_;
};

}  // namespace korvid
