#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "hpgl2/PenPalette.h"
#include "hpgl2/PlotScaling.h"
#include "labels/SymbolSets.h"
#include "model/StandardPlot.h"

namespace korvid {

// The HP-GL/2 graphics state as plain values. DF sets DefaultState back by assigning a
// fresh one, IN does the same with PlotterState (which holds a DefaultState): what a
// reset covers is what these structs hold, and a new setting joins a reset by being
// declared in the right one.

// An axis-parallel rectangle in plotter units (IW).
struct ClipWindow {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct LineTypeSetting {
  std::int32_t type = StrokeStyle::kSolidLine;
  double lengthPercent = 4;  // of the P1-P2 diagonal, or mm when absolute
  bool absolute = false;
};

// LT, UL and LA.
struct LineSetting {
  LineTypeSetting type;
  LineTypeSetting previous;                         // for LT99
  std::array<std::vector<double>, 9> userPatterns;  // UL, by line type 1..8
  LineEnd ends = LineEnd::Butt;
  LineJoin joins = LineJoin::Miter;
  double miterLimit = StrokeStyle::kDefaultMiterLimit;
};

// FT.
struct FillSetting {
  FillKind kind = FillKind::Solid;
  double spacing = 0;  // plotter units; 0 = 1 % of the P1-P2 diagonal
  double angleDeg = 0;
  double shadingPercent = 100;
};

// TL.
struct TickSetting {
  double plusPercent = 0.5;
  double minusPercent = 0.5;
};

inline constexpr char kEtx = 3;

// DT: what ends a label, and whether it is drawn as part of it.
struct LabelTerminator {
  char character = kEtx;
  bool printing = false;
};

// SI SR DI DR SL LO ES DV, the fonts (SD AD CS CA SS SA CF), SM and DT.
struct LabelSetting {
  bool relativeSize = false;
  double width = 0.187, height = 0.269;  // cm (SI), or percent of P2-P1 (SR)
  bool relativeDirection = false;
  double run = 1, rise = 0;
  double slant = 0;
  int origin = 1;
  double extraSpace = 0, extraLine = 0;
  bool vertical = false;
  bool reversePath = false;
  bool reverseLineFeed = false;
  LabelFonts fonts;
  int characterFill = 0;  // CF: outline characters 0 and 2 filled, 1 edged, 3 both
  int edgePen = 0;        // CF: 0 = the selected pen
  char symbol = 0;        // SM: drawn at every point, 0 = none
  LabelTerminator terminator;
};

// What DF sets back.
struct DefaultState {
  ScaleSetting scale;  // SC
  bool relative = false;
  bool chordAsDeviation = false;  // CT
  bool polygonMode = false;
  std::optional<ClipWindow> window;  // IW, plotter units
  LineSetting line;
  FillSetting fill;
  TickSetting ticks;
  LabelSetting label;
};

// What IN sets back: DF's share and the rest of the plotter.
struct PlotterState {
  DefaultState defaults;
  std::optional<ScalingPoints> points;  // IP IR; none = where IN puts them
  PenPalette palette;
  bool widthsRelative = false;  // WU
  int rotation = 0;             // RO
  PlotPoint pen;                // plotter units
  bool penDown = false;
  PlotPoint carriageReturn;
};

}  // namespace korvid
