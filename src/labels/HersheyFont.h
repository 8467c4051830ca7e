#pragma once
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace korvid {

// A point of a Hershey glyph in the font's own units: X right from the glyph's centre line,
// Y down from the font's reference line (the letter 'R' of the file format is 0).
struct HersheyPoint {
  int xUnits = 0;
  int yUnits = 0;

  bool operator==(const HersheyPoint&) const = default;
};

struct HersheyGlyph {
  int leftUnits = 0;                               // left side bearing line, from the centre line
  int rightUnits = 0;                              // right side bearing line
  std::vector<std::vector<HersheyPoint>> strokes;  // pen-down polylines, each 1+ points
};

// A Hershey font in James Hurt's .jhf text format: one glyph a line, "NNNNNCCCLR" (glyph
// number, vertex count, left and right bearing) followed by coordinate pairs offset by 'R',
// " R" lifting the pen. The glyphs stand in file order for the character codes from 32 up.
class HersheyFont {
 public:
  static constexpr unsigned char kFirstCode = 32;

  // A line whose vertex count is not a number holds no glyph but keeps its code, so the codes
  // of the glyphs that follow stay in step; a file that ends inside a glyph loses that glyph.
  static HersheyFont Parse(std::string_view jhfText);

  const HersheyGlyph* Find(unsigned char code) const;
  std::size_t GlyphCount() const { return glyphs_.size(); }

 private:
  std::vector<std::optional<HersheyGlyph>> glyphs_;  // index = code - kFirstCode
};

// The stroke font of labels (Hershey's simplex sans, "futural"), built into the program.
const HersheyFont& LabelStrokeFont();
// Hershey's Japanese set ("japanese"), built in too; its glyphs stand in file order from
// code 32 (see JapaneseStrokeGlyph for the characters).
const HersheyFont& JapaneseStrokeFont();

}  // namespace korvid
