#include "output/PreviewLayout.h"

#include <algorithm>

#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

namespace korvid {

namespace {

constexpr double kPlotterUnitsPerMm = 40;
constexpr double kMarginPlotterUnits = 100;
constexpr double kPageBoxShare = 0.9;

}  // namespace

void PreviewLayout::Build(const PageMetrics& page, const PlotExtents& extents, float magnification,
                          double pictureWidthTwips, double pictureHeightTwips,
                          const PreviewWindow& window) {
  const double scaleX =
      CheckedDivide((static_cast<double>(extents.MaxX) - extents.MinX + kMarginPlotterUnits) /
                        kPlotterUnitsPerMm * kTwipsPerMm * magnification,
                    pictureWidthTwips);
  const double scaleY =
      CheckedDivide((static_cast<double>(extents.MaxY) - extents.MinY + kMarginPlotterUnits) /
                        kPlotterUnitsPerMm * kTwipsPerMm * magnification,
                    pictureHeightTwips);
  const double scale = scaleX < scaleY ? scaleY : scaleX;
  const double sheetWidth = (page.printableWidth - kTileBorderMm) * kTwipsPerMm;
  const double sheetHeight = (page.printableHeight - kTileBorderMm) * kTwipsPerMm;
  pageStepX_ = CheckedDivide(sheetWidth, scale);
  pageStepY_ = ToSingle(CheckedDivide(sheetHeight, scale));

  const double fitX = CheckedDivide(window.outerWidth * kPageBoxShare, sheetWidth);
  const double fitY = CheckedDivide(
      (window.outerHeight - window.toolbar2Height - window.statusBarHeight) * kPageBoxShare,
      sheetHeight);
  const double fit = fitY < fitX ? fitY : fitX;
  pageBox_.width = ToSingle(kPageBoxShare * fit * sheetWidth);
  pageBox_.height = ToSingle(kPageBoxShare * fit * sheetHeight);
  pageBox_.left = (0.1 * fit * sheetWidth) / 2;
  pageBox_.top = window.toolbar2Height + (0.1 * fit * sheetHeight) / 2;

  offsetX_ = RoundToInt32(page.offsetX * kTwipsPerMm);
  offsetY_ = RoundToInt32(page.offsetY * kTwipsPerMm);

  // The same walk as the print job, one entry per sheet; sheet 1001 does not fit the list.
  pageCount_ = 0;
  WalkTiles(pageStepX_, pageStepY_, pictureWidthTwips, pictureHeightTwips, kMaxPages + 1,
            [this](const TileOrigin& origin) {
              if (pageCount_ == kMaxPages) throw RuntimeError(err::kSubscriptOutOfRange);
              ++pageCount_;
              originX_[pageCount_] = ToSingle(origin.x);
              originY_[pageCount_] = origin.y;
            });
  page_ = 1;
  previousEnabled_ = false;
  nextEnabled_ = pageCount_ > 1;
}

bool PreviewLayout::Next() {
  page_ = RoundToInt16(page_ + 1.0);
  if (page_ > pageCount_) {
    nextEnabled_ = false;
    return false;
  }
  previousEnabled_ = true;
  if (page_ == pageCount_) nextEnabled_ = false;
  return true;
}

bool PreviewLayout::Previous() {
  page_ = RoundToInt16(page_ - 1.0);
  if (page_ < 1) {
    previousEnabled_ = false;
    return false;
  }
  nextEnabled_ = true;
  if (page_ == 1) previousEnabled_ = false;
  return true;
}

bool PreviewLayout::GoTo(int page) {
  if (pageCount_ < 1) return false;
  const auto to = static_cast<std::int16_t>(std::clamp<int>(page, 1, pageCount_));
  const bool moved = to != page_;
  page_ = to;
  previousEnabled_ = page_ > 1;
  nextEnabled_ = page_ < pageCount_;
  return moved;
}

RectD PreviewLayout::Source(int page) const {
  if (page < 1 || page > pageCount_) throw RuntimeError(err::kSubscriptOutOfRange);
  return {originX_[page], originY_[page], pageStepX_, pageStepY_};
}

RectD PreviewLayout::Destination() const {
  const std::int64_t twiceX = 2LL * offsetX_;
  const std::int64_t twiceY = 2LL * offsetY_;
  if (twiceX > INT32_MAX || twiceY > INT32_MAX) throw RuntimeError(err::kOverflow);
  return {static_cast<double>(offsetX_), static_cast<double>(offsetY_),
          pageBox_.width - static_cast<double>(twiceX),
          pageBox_.height - static_cast<double>(twiceY)};
}

}  // namespace korvid
