#pragma once

#include <memory>
#include <string>
#include <vector>

namespace korvid {

// A point of a glyph's outline in em units: X right from the glyph's origin, Y up from the
// baseline.
struct OutlinePoint {
  double x = 0;
  double y = 0;
};

// A glyph as closed contours of straight edges (its curves flattened), filled by the
// non-zero winding rule as the font defines them.
struct OutlineGlyph {
  std::vector<std::vector<OutlinePoint>> contours;
};

// An outline font installed on the system (TrueType or OpenType, read with FreeType),
// glyph by glyph. Glyphs are flattened once and kept; any thread may ask for them.
class OutlineFont {
 public:
  ~OutlineFont();
  OutlineFont(const OutlineFont&) = delete;
  OutlineFont& operator=(const OutlineFont&) = delete;

  // The font file at `path`, or null when it cannot be read as a font.
  static std::unique_ptr<OutlineFont> Open(const std::string& path);

  // The Japanese font labels fall back on: IPA Gothic where the package
  // fonts-ipafont-gothic puts it, else as fontconfig finds it, else any installed font
  // fontconfig has for Japanese. Null when there is none. Looked for once.
  static const OutlineFont* Japanese();

  // The glyph of `code`, or null when the font has none.
  const OutlineGlyph* Glyph(char32_t code) const;
  const std::string& Path() const;

 private:
  struct Face;
  explicit OutlineFont(std::unique_ptr<Face> face);
  std::unique_ptr<Face> face_;
};

}  // namespace korvid
