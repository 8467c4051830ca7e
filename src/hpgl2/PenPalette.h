#pragma once

#include <cstdint>
#include <vector>

#include "model/StandardPlot.h"

namespace korvid {

// The pens of an HP-GL/2 device: how many (NP), their colours (PC, in the colour range
// of CR) and their widths (PW, in millimetres).
class PenPalette {
 public:
  static constexpr double kDefaultWidthMm = 0.35;

  PenPalette() { Reset(); }

  void Reset();                 // IN: eight pens, the default colours and widths
  void SetPenCount(int count);  // NP: a power of two from 2 to 256
  void ResetColours();          // PC without parameters
  void ResetColour(int pen);    // PC pen
  void SetColour(int pen, double red, double green, double blue);  // in CR's range
  void SetColourRange(const double* range, int count);             // CR
  void SetWidth(double widthMm);                                   // PW w: every pen
  void SetWidth(int pen, double widthMm);                          // PW w,pen

  // The palette entry a selected pen number draws with.
  int Entry(int pen) const;
  ColourRef Colour(int pen) const { return colours_[Entry(pen)]; }
  double WidthMm(int pen) const { return widths_[Entry(pen)]; }
  int PenCount() const { return static_cast<int>(colours_.size()); }

 private:
  static ColourRef DefaultColour(int entry);
  int ChannelValue(double value, int channel) const;

  std::vector<ColourRef> colours_;
  std::vector<double> widths_;
  double range_[6] = {0, 255, 0, 255, 0, 255};
};

}  // namespace korvid
