#pragma once

#include <cstdint>
#include <map>
#include <optional>

namespace korvid {

// A colour as a pen profile writes it: 0xRRGGBB (#RRGGBB in the text).
using PenRgb = std::uint32_t;

// Every pen number a reading can select: the own reading's 16-bit pens, HP-GL/2's 0 to 32767.
inline constexpr int kLowestPenNumber = -32768;
inline constexpr int kHighestPenNumber = 32767;
// Wider than any plotter pen or cutting tool; beyond it a line hides the drawing.
inline constexpr double kWidestPenMm = 100;

// What a pen table says about one pen. What it leaves unsaid, the plot file and the
// reading decide.
struct PenSetting {
  std::optional<PenRgb> colour;   // none: as the file says
  std::optional<double> widthMm;  // none: as the file says; 0: the thinnest line there is
  bool shown = true;

  bool SaysNothing() const { return !colour && !widthMm && shown; }
  bool operator==(const PenSetting&) const = default;
};

// The pen table: colour, width and visibility pen by pen, as a named profile keeps it. An
// empty table changes nothing at all.
class PenTable {
 public:
  // The entry for `pen`, or null.
  const PenSetting* Find(int pen) const;
  // The entry for `pen`, or a setting that says nothing.
  PenSetting Setting(int pen) const;
  bool Shows(int pen) const { return Setting(pen).shown; }
  // A setting that says nothing takes the entry away.
  void Set(int pen, const PenSetting& setting);
  void Hide(int pen);

  bool Empty() const { return entries_.empty(); }
  // Whether some pen is hidden.
  bool HidesAny() const;
  const std::map<int, PenSetting>& Entries() const { return entries_; }
  bool operator==(const PenTable&) const = default;

 private:
  std::map<int, PenSetting> entries_;
};

// How a reading would draw a pen without a table: the file's colour and width (PC, PW in
// the standard reading), else the reading's own.
struct PenLook {
  PenRgb colour = 0;
  double widthMm = 0;  // 0: the thinnest line there is
};

// The pen as it is drawn: the table's entry first, then what the reading says. Whether
// the colour is drawn at all (black-and-white display) stays with the reading.
struct DrawnPen {
  bool shown = true;
  PenRgb colour = 0;
  double widthMm = 0;
  bool colourFromTable = false;
  bool widthFromTable = false;
};
DrawnPen ResolvePen(const PenTable& table, int pen, const PenLook& reading);

// In HP-GL/2 pen 0 is no pen: the standard reading draws what it would draw only when the
// table names pen 0 and shows it.
bool PenZeroDraws(const PenTable& table);

// The plot metafile's colour order, 0x00BBGGRR, and back.
constexpr std::uint32_t ColourRefOf(PenRgb rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
constexpr PenRgb RgbOf(std::uint32_t colourRef) {
  return ColourRefOf(colourRef);
}

}  // namespace korvid
