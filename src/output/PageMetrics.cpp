#include "output/PageMetrics.h"

#include "model/ValueConversion.h"

namespace korvid {

namespace {

float Millimetres(int pixels, double dotsPerInch) {
  return ToSingle(CheckedDivide(pixels * 25.4, dotsPerInch));
}

float Difference(double a, double b) {
  return ToSingle(a - b);
}

}  // namespace

PageMetrics MeasurePage(const PrinterCaps& caps) {
  PageMetrics page;
  page.offsetX = Millimetres(caps.physicalOffsetX, caps.dotsPerInchX);
  page.offsetY = Millimetres(caps.physicalOffsetY, caps.dotsPerInchY);
  page.physicalWidth = Millimetres(caps.physicalWidth, caps.dotsPerInchX);
  page.physicalHeight = Millimetres(caps.physicalHeight, caps.dotsPerInchY);
  const float printableX = Millimetres(caps.horizontalResolution, caps.dotsPerInchX);
  const float printableY = Millimetres(caps.verticalResolution, caps.dotsPerInchY);
  page.rightMargin = Difference(page.physicalWidth, static_cast<double>(printableX) + page.offsetX);
  page.bottomMargin =
      Difference(page.physicalHeight, static_cast<double>(printableY) + page.offsetY);
  page.printableWidth =
      ToSingle(static_cast<double>(page.physicalWidth) - page.offsetX - page.rightMargin);
  page.printableHeight =
      ToSingle(static_cast<double>(page.physicalHeight) - page.offsetY - page.bottomMargin);
  return page;
}

}  // namespace korvid
