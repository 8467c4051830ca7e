#pragma once
#include <cstddef>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

#include "labels/SymbolSets.h"

namespace korvid {

struct LabelPoint {     // plotter units, X right, Y up (the reader's user->plotter transform
  double x = 0, y = 0;  // is applied by the reader afterwards if scaling is in force)
};
using LabelStroke = std::vector<LabelPoint>;  // one pen-down polyline (2+ points; 1 point = a dot)

// Everything of the label state that shapes the strokes, resolved by the reader into plotter
// units: SI/SR → charWidth/charHeight, DI/DR → direction, SL → slant, LO → origin, ES → extra
// spacing, DV → vertical. The reader owns the HP-GL/2 defaults and the parsing.
struct LabelStyle {
  double charWidth = 0;   // character width (SI width), plotter units; its cell is 1.5 times
  double charHeight = 0;  // cap height (SI height), plotter units
  double directionX = 1;  // DI/DR run direction; any length, not both zero
  double directionY = 0;
  double slantTangent = 0;       // SL
  int origin = 1;                // LO: 1..9 and 11..19
  double extraSpace = 0;         // ES: extra space between characters, in cells
  double extraLine = 0;          // ES: extra space between lines, in line heights
  bool vertical = false;         // DV 1: characters run downwards
  bool reversePath = false;      // DV 2 (leftwards), or with `vertical` DV 3 (upwards)
  bool reverseLineFeed = false;  // DV path,1: line feeds go the other way
  // SD AD CS CA SS SA: the symbol sets the bytes are read in, the spacing, the font in use.
  LabelFonts fonts;
  // The most points the strokes of one label may hold (the reader passes what is left
  // of its memory budget). Beyond it the label draws nothing more but still moves the pen.
  std::size_t maxPointCount = std::numeric_limits<std::size_t>::max();
};

struct LabelLayout {
  std::vector<LabelStroke> strokes;
  // Where the pen stands after the label. When the origin puts the pen at the start of the text
  // path (LO 1, 2, 3, 11, 12, 13 running right; 3, 6, 9, 13, 16, 19 down; 7, 8, 9, 17, 18, 19
  // left; 1, 4, 7, 11, 14, 17 up), labels concatenate: the pen stands where the next character
  // of the same line would start. With any other origin the pen returns to where it was.
  LabelPoint penAfter;
  LabelPoint carriageReturn;  // the carriage-return point after the label (for the next LB)
  bool truncated = false;     // strokes were left out to stay within maxPointCount
  // Glyphs of the outline font (characters the stroke fonts lack), as filled areas: each
  // glyph's closed rings, filled by the non-zero winding rule.
  std::vector<std::vector<LabelStroke>> fills;
  LabelFonts fontsAfter;  // SO and SI in the text choose the font the next label starts with
  // Characters no font could draw (or no table could read): each drawn as "?".
  std::size_t undrawable = 0;
};

// Lays out one LB text (without its terminator) starting with the pen at `pen` and the current
// carriage-return point `carriageReturn`. Handles CR (13), LF (10), BS (8), HT (9: five cells),
// SO (14) and SI (15), SP and printable characters; other control characters are ignored.
// Characters are drawn with the stroke font (Hershey's simplex sans), Japanese ones with
// Hershey's Japanese strokes where it has them and else with the outline font's glyph,
// filled; a character none has is drawn as "?" and counted. The two-byte sets' characters
// take two cells, their glyphs drawn in an em square two character widths wide and 10/7 of
// the cap height tall. The label origin places each portion of the text between carriage
// returns on its own, as if it were a label of its own. Lay out a long text in one call (the
// sink below keeps its memory small): split over several calls, each part would be placed as
// a label of its own.
LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn);

// The same, handing each stroke to `sink` as soon as it is laid out (the stroke lives only
// for the call) instead of collecting them: memory stays that of one stroke however long the
// text. The returned layout has no strokes.
using LabelStrokeSink = std::function<void(const LabelStroke&)>;
using LabelFillSink = std::function<void(const std::vector<LabelStroke>& rings)>;
LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn, const LabelStrokeSink& sink,
                        const LabelFillSink& fills = {});

// CP: the pen after moving `spaces` character cells along and `lines` lines down (negative = up).
// "Down" is the line-feed direction. Note that CP's own second parameter counts upwards (CP 0,1
// moves one line up), so the reader passes it negated.
LabelPoint CharacterPlot(const LabelStyle& style, LabelPoint pen, double spaces, double lines);

}  // namespace korvid
