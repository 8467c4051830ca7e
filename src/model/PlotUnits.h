#pragma once

namespace korvid {

// Plotter units, the unit of every coordinate a plot file holds: 40 to the millimetre
// (0.025 mm each), in both readings.
inline constexpr double kPlotterUnitsPerMm = 40;

// The picture of a plot or page: its longer side, with a margin of this many plotter units
// added to each side length, comes to kLongestPictureSide units of 0.01 mm (327.67 mm).
inline constexpr double kPictureMarginPlotterUnits = 100;
inline constexpr double kLongestPictureSide = 32767;

}  // namespace korvid
