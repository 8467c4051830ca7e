#pragma once

#include <string_view>

#include "hpgl2/Plotter.h"
#include "labels/LabelLayout.h"

namespace korvid {

// Labels, symbols and CP: the character state of the plotter turned into strokes (and the
// outline font's glyphs into fills) on the page, drawn with the selected pen.
class LabelPlotter {
 public:
  LabelPlotter(const PlotterContext& context, Plotter& plotter) : c_(context), plotter_(plotter) {}

  // LB: the text laid out from the pen; the pen and the carriage-return point move on.
  void Label(std::string_view text);
  // SM: the symbol character centred on the pen.
  void Symbol();
  // CP spaces,lines; or without parameters a carriage return and line feed.
  void CharacterPlot(double spaces, double lines);
  void NewLine();

 private:
  LabelStyle Style() const;
  StrokeStyle LabelStroke();

  PlotterContext c_;
  Plotter& plotter_;
};

}  // namespace korvid
