#pragma once

namespace korvid {

// What a printer tells about its sheet, in device pixels, and its resolution.
struct PrinterCaps {
  int physicalOffsetX = 0;  // unprintable margin at the left
  int physicalOffsetY = 0;  // unprintable margin at the top
  int physicalWidth = 0;    // the sheet
  int physicalHeight = 0;
  int horizontalResolution = 0;  // the printable area
  int verticalResolution = 0;
  double dotsPerInchX = 0;
  double dotsPerInchY = 0;
};

// The sheet in millimetres, as single-precision values, measured in this order.
struct PageMetrics {
  float offsetX = 0;
  float offsetY = 0;
  float physicalWidth = 0;
  float physicalHeight = 0;
  float rightMargin = 0;
  float bottomMargin = 0;
  float printableWidth = 0;
  float printableHeight = 0;
};

// Error 11 for a printer that reports no resolution.
PageMetrics MeasurePage(const PrinterCaps& caps);

// The border every printed tile keeps free inside the printable area: 0.2 inch.
inline constexpr double kTileBorderMm = 5.08;

}  // namespace korvid
