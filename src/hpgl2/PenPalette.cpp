#include "hpgl2/PenPalette.h"

#include <algorithm>
#include <cmath>

namespace korvid {

namespace {

constexpr int kDefaultPens = 8;
constexpr int kMostPens = 256;

ColourRef Rgb(int red, int green, int blue) {
  return static_cast<ColourRef>(red) | (static_cast<ColourRef>(green) << 8) |
         (static_cast<ColourRef>(blue) << 16);
}

}  // namespace

// HP-GL/2's default palette: white, black, red, green, yellow, blue, magenta, cyan,
// repeated for larger palettes.
ColourRef PenPalette::DefaultColour(int entry) {
  static constexpr ColourRef kColours[] = {
      0xFFFFFF, 0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00,
  };
  if (entry == 0) return kColours[0];
  return kColours[1 + (entry - 1) % 7];
}

void PenPalette::Reset() {
  std::fill(std::begin(range_), std::end(range_), 0.0);
  range_[1] = range_[3] = range_[5] = 255;
  colours_.assign(kDefaultPens, kBlack);
  widths_.assign(kDefaultPens, kDefaultWidthMm);
  ResetColours();
}

void PenPalette::SetPenCount(int count) {
  if (count < 2) count = 2;
  if (count > kMostPens) count = kMostPens;
  int power = 2;
  while (power < count)
    power *= 2;
  colours_.assign(static_cast<std::size_t>(power), kBlack);
  widths_.assign(static_cast<std::size_t>(power), kDefaultWidthMm);
  ResetColours();
}

void PenPalette::ResetColours() {
  for (int i = 0; i < PenCount(); ++i)
    colours_[static_cast<std::size_t>(i)] = DefaultColour(i);
}

void PenPalette::ResetColour(int pen) {
  if (pen >= 0 && pen < PenCount()) colours_[static_cast<std::size_t>(pen)] = DefaultColour(pen);
}

int PenPalette::ChannelValue(double value, int channel) const {
  const double black = range_[2 * channel];
  const double white = range_[2 * channel + 1];
  if (black == white || !std::isfinite(value)) return 0;
  const double unit = (value - black) / (white - black);
  return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255));
}

void PenPalette::SetColour(int pen, double red, double green, double blue) {
  if (pen < 0 || pen >= PenCount()) return;
  colours_[static_cast<std::size_t>(pen)] =
      Rgb(ChannelValue(red, 0), ChannelValue(green, 1), ChannelValue(blue, 2));
}

void PenPalette::SetColourRange(const double* range, int count) {
  if (count == 0) {
    static constexpr double kDefaultRange[6] = {0, 255, 0, 255, 0, 255};
    std::copy(kDefaultRange, kDefaultRange + 6, range_);
    return;
  }
  if (count < 6) return;
  std::copy(range, range + 6, range_);
}

void PenPalette::SetWidth(double widthMm) {
  std::fill(widths_.begin(), widths_.end(), widthMm);
}

void PenPalette::SetWidth(int pen, double widthMm) {
  if (pen >= 0 && pen < PenCount()) widths_[static_cast<std::size_t>(pen)] = widthMm;
}

// A pen beyond the palette wraps around it without landing on pen 0, which is white.
int PenPalette::Entry(int pen) const {
  if (pen <= 0) return 0;
  if (pen < PenCount()) return pen;
  return 1 + (pen - 1) % (PenCount() - 1);
}

}  // namespace korvid
