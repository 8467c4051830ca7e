#include "outlines/OutlineFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <unordered_map>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace korvid {

namespace {

// Chords per curve of the outline: at the sizes labels are drawn the curves stay smooth.
constexpr int kChordsPerConic = 6;
constexpr int kChordsPerCubic = 8;

// Collects the contours of one glyph, in font units.
struct Contours {
  std::vector<std::vector<OutlinePoint>> contours;
  OutlinePoint last;

  static Contours& Of(void* user) { return *static_cast<Contours*>(user); }
  void Add(OutlinePoint p) {
    contours.back().push_back(p);
    last = p;
  }
};

OutlinePoint PointOf(const FT_Vector* v) {
  return {static_cast<double>(v->x), static_cast<double>(v->y)};
}

int MoveTo(const FT_Vector* to, void* user) {
  Contours& c = Contours::Of(user);
  c.contours.emplace_back();
  c.Add(PointOf(to));
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  Contours& c = Contours::Of(user);
  if (c.contours.empty()) return 1;
  c.Add(PointOf(to));
  return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  Contours& c = Contours::Of(user);
  if (c.contours.empty()) return 1;
  const OutlinePoint p0 = c.last, p1 = PointOf(control), p2 = PointOf(to);
  for (int i = 1; i <= kChordsPerConic; ++i) {
    const double t = static_cast<double>(i) / kChordsPerConic, u = 1 - t;
    c.Add({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
           u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
  }
  return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  Contours& c = Contours::Of(user);
  if (c.contours.empty()) return 1;
  const OutlinePoint p0 = c.last, p1 = PointOf(control1), p2 = PointOf(control2), p3 = PointOf(to);
  for (int i = 1; i <= kChordsPerCubic; ++i) {
    const double t = static_cast<double>(i) / kChordsPerCubic, u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    c.Add({b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
           b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
  }
  return 0;
}

// The file of the first font fontconfig matches `pattern` with that has `probe`, or "".
std::string MatchedFile(FcPattern* pattern, FcChar32 probe, const char* familyPrefix) {
  std::string file;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (!match) return file;
  FcChar8* path = nullptr;
  FcChar8* family = nullptr;
  FcCharSet* characters = nullptr;
  const bool hasProbe = FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
                        FcCharSetHasChar(characters, probe);
  const bool familyFits =
      !familyPrefix ||
      (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
       std::string(reinterpret_cast<const char*>(family)).rfind(familyPrefix, 0) == 0);
  if (hasProbe && familyFits && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
    file = reinterpret_cast<const char*>(path);
  FcPatternDestroy(match);
  return file;
}

// Where Debian's fonts-ipafont-gothic puts IPA Gothic, and the name it also goes by.
constexpr const char* kIpaGothicFiles[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
};

std::string JapaneseFontFile() {
  constexpr FcChar32 kHiraganaA = 0x3042;
  for (const char* path : kIpaGothicFiles) {
    if (FILE* file = std::fopen(path, "rb")) {
      std::fclose(file);
      return path;
    }
  }
  // Elsewhere fontconfig knows where the fonts are.
  std::string file;
  if (FcPattern* ipa = FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic"))) {
    file = MatchedFile(ipa, kHiraganaA, "IPA");
    FcPatternDestroy(ipa);
  }
  if (file.empty()) {
    if (FcPattern* japanese = FcNameParse(reinterpret_cast<const FcChar8*>(":lang=ja"))) {
      file = MatchedFile(japanese, kHiraganaA, nullptr);
      FcPatternDestroy(japanese);
    }
  }
  return file;
}

}  // namespace

struct OutlineFont::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string path;
  std::mutex mutex;  // FreeType faces serve one thread at a time
  std::unordered_map<char32_t, std::optional<OutlineGlyph>> glyphs;

  ~Face() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

OutlineFont::OutlineFont(std::unique_ptr<Face> face) : face_(std::move(face)) {}
OutlineFont::~OutlineFont() = default;

std::unique_ptr<OutlineFont> OutlineFont::Open(const std::string& path) {
  auto face = std::make_unique<Face>();
  if (FT_Init_FreeType(&face->library) != 0) return nullptr;
  if (FT_New_Face(face->library, path.c_str(), 0, &face->face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face->face) || face->face->units_per_EM == 0) return nullptr;
  face->path = path;
  return std::unique_ptr<OutlineFont>(new OutlineFont(std::move(face)));
}

const OutlineFont* OutlineFont::Japanese() {
  static const std::unique_ptr<OutlineFont> font = [] {
    const std::string file = JapaneseFontFile();
    return file.empty() ? nullptr : Open(file);
  }();
  return font.get();
}

const std::string& OutlineFont::Path() const {
  return face_->path;
}

const OutlineGlyph* OutlineFont::Glyph(char32_t code) const {
  Face& f = *face_;
  const std::lock_guard<std::mutex> lock(f.mutex);
  const auto known = f.glyphs.find(code);
  if (known != f.glyphs.end()) return known->second ? &*known->second : nullptr;
  std::optional<OutlineGlyph>& glyph = f.glyphs[code];
  const FT_UInt index = FT_Get_Char_Index(f.face, code);
  if (index == 0) return nullptr;
  if (FT_Load_Glyph(f.face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
          0 ||
      f.face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return nullptr;
  static const FT_Outline_Funcs kFuncs = {&MoveTo, &LineTo, &ConicTo, &CubicTo, 0, 0};
  Contours contours;
  if (FT_Outline_Decompose(&f.face->glyph->outline, &kFuncs, &contours) != 0) return nullptr;
  const double perUnit = 1.0 / f.face->units_per_EM;
  OutlineGlyph outline;
  for (std::vector<OutlinePoint>& contour : contours.contours) {
    if (contour.size() < 3) continue;
    for (OutlinePoint& p : contour)
      p = {p.x * perUnit, p.y * perUnit};
    outline.contours.push_back(std::move(contour));
  }
  glyph = std::move(outline);
  return &*glyph;
}

}  // namespace korvid
