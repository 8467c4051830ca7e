#pragma once

namespace korvid {

// Plotter units, the unit of every coordinate a plot file holds: 40 to the millimetre
// (0.025 mm each), in both readings.
inline constexpr double kPlotterUnitsPerMm = 40;

// The picture of a plot or page: its longer side, with a margin of this many plotter units
// added to each side length, comes to kLongestPictureSide units of 0.01 mm (327.67 mm).
inline constexpr double kPictureMarginPlotterUnits = 100;
inline constexpr double kLongestPictureSide = 32767;

// The largest gap between a curve and the chords drawn for it: a fraction of a device
// pixel, or on the picture itself (0.01 mm units) half a unit, which its coordinates are
// rounded by anyway.
inline constexpr double kPixelChordTolerance = 0.2;
inline constexpr double kPictureChordTolerance = 0.5;

}  // namespace korvid
