#include "labels/LabelLayout.h"

#include <cmath>

#include "labels/HersheyFont.h"
#include "labels/JapaneseGlyphs.h"
#include "labels/LabelFrame.h"
#include "labels/LabelMetrics.h"
#include "outlines/OutlineFont.h"

namespace korvid {
namespace {

// The label font's own measures: its cap line and baseline, and the width of a typical
// capital ('A', 'M', 'O'), which is made the character body of the cell.
constexpr int kFontCapLineUnits = -12;
constexpr int kFontBaselineUnits = 9;
constexpr double kFontBodyWidthUnits = 16;

// The em square of full-width characters: two character widths wide, and as tall as a
// Japanese font's em is for its Latin capitals (about 0.7 em): 10/7 of the cap height, its
// bottom 0.12 em below the baseline, where the outline font's descent ends.
constexpr double kEmWidthPerCharacterWidth = 2;
constexpr double kEmPerCapHeight = 10.0 / 7;
constexpr double kEmBelowBaseline = 0.12;
// Hershey's Japanese glyphs stand in a square of 27 units, X from -13.5 and Y (down) to 13.
constexpr double kJapaneseEmUnits = 27;
constexpr double kJapaneseEmLeftUnits = -13.5;
constexpr double kJapaneseEmBottomUnits = 13;

constexpr char kBackspace = 8;
constexpr char kHorizontalTab = 9;
constexpr char kLineFeed = 10;
constexpr char kCarriageReturn = 13;
constexpr char32_t kSpace = 32;
constexpr unsigned char kUnknownGlyph = '?';

bool IsFinite(LabelPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

// A pen that would move beyond any number stays where it was.
LabelPoint FiniteOr(LabelPoint p, LabelPoint fallback) {
  return IsFinite(p) ? p : fallback;
}

bool IsCarriageReturn(const LabelCharacter& c) {
  return c.kind == LabelCharacter::Kind::Control && c.code == kCarriageReturn;
}

// How many cells a character moves the pen along the text path: a tab five, a full-width
// character two across (one down a vertical path), and in a proportional font a letter its
// own width.
double OtherCellsMoved(const LabelCharacter& c, const LabelFont& font, bool vertical) {
  if (c.kind == LabelCharacter::Kind::Control) {
    if (c.code == static_cast<char32_t>(kBackspace)) return -1;
    if (c.code == static_cast<char32_t>(kHorizontalTab)) return 5;
    return 0;
  }
  if (c.fullWidth) return vertical ? 1 : 2;
  if (font.proportional && c.kind == LabelCharacter::Kind::Latin && !vertical) {
    if (const HersheyGlyph* glyph = LabelStrokeFont().Find(static_cast<unsigned char>(c.code)))
      return (glyph->rightUnits - glyph->leftUnits) / kFontBodyWidthUnits /
             LabelMetrics::kCellPerCharacterWidth;
  }
  return 1;
}

inline double CellsMoved(const LabelCharacter& c, const LabelFont& font, bool vertical) {
  if (c.kind == LabelCharacter::Kind::Latin && !font.proportional) return 1;
  return OtherCellsMoved(c, font, vertical);
}

// The cells of the text portion that starts at `from`: up to the next carriage return, which
// places the following portion afresh.
double PortionCells(LabelCharacters from, bool vertical) {
  double cells = 0;
  LabelCharacter c;
  while (from.Next(c) && !IsCarriageReturn(c))
    cells += CellsMoved(c, from.Fonts().Current(), vertical);
  return cells;
}

// Writes glyphs in plotter units until the point budget of the label is spent.
class GlyphWriter {
 public:
  GlyphWriter(const LabelMetrics& metrics, const LabelFrame& frame, std::size_t maxPointCount,
              const LabelStrokeSink& sink, const LabelFillSink& fills, bool& truncated)
      : metrics_(metrics),
        frame_(frame),
        pointsLeft_(maxPointCount),
        sink_(sink),
        fills_(fills),
        truncated_(truncated) {
    const double capHeightUnits = kFontBaselineUnits - kFontCapLineUnits;
    alongPerUnit_ = metrics.bodyWidth / kFontBodyWidthUnits;
    upPerUnit_ = metrics.capHeight / capHeightUnits;
    emWidth_ = metrics.bodyWidth * kEmWidthPerCharacterWidth;
    emHeight_ = metrics.capHeight * kEmPerCapHeight;
  }

  // A glyph of the stroke font, centred on the character body; in a proportional font it
  // starts at its own left bearing.
  void Latin(const HersheyGlyph& glyph, LocalPoint origin, bool proportional) {
    const double shift = proportional ? -glyph.leftUnits * alongPerUnit_ : metrics_.bodyWidth / 2;
    Strokes(glyph, origin, [&](HersheyPoint p) {
      return LocalPoint{shift + p.xUnits * alongPerUnit_,
                        (kFontBaselineUnits - p.yUnits) * upPerUnit_};
    });
  }

  // A Hershey Japanese glyph in the em square, `widthShare` of it wide (half-width katakana
  // are full-width ones made narrow).
  void Japanese(const HersheyGlyph& glyph, LocalPoint origin, double widthShare) {
    const double along = emWidth_ * widthShare / kJapaneseEmUnits;
    const double up = emHeight_ / kJapaneseEmUnits;
    Strokes(glyph, origin, [&](HersheyPoint p) {
      return LocalPoint{(p.xUnits - kJapaneseEmLeftUnits) * along,
                        (kJapaneseEmBottomUnits - p.yUnits) * up - kEmBelowBaseline * emHeight_};
    });
  }

  // An outline glyph, filled, its em square as the Hershey Japanese one's.
  void Outline(const OutlineGlyph& glyph, LocalPoint origin) {
    std::size_t points = 0;
    for (const auto& contour : glyph.contours)
      points += contour.size();
    if (truncated_ || points > pointsLeft_) {
      truncated_ = true;
      return;
    }
    pointsLeft_ -= points;
    rings_.resize(glyph.contours.size());
    bool finite = true;
    for (std::size_t i = 0; i < glyph.contours.size(); ++i) {
      rings_[i].clear();
      for (const OutlinePoint& p : glyph.contours[i]) {
        const LabelPoint point =
            frame_.ToPlotter(origin + Slanted({p.x * emWidth_, p.y * emHeight_}));
        finite = finite && IsFinite(point);
        rings_[i].push_back(point);
      }
    }
    if (finite && fills_) fills_(rings_);
  }

 private:
  LocalPoint Slanted(LocalPoint p) const { return {p.along + p.up * metrics_.slantTangent, p.up}; }

  template <typename Place>
  void Strokes(const HersheyGlyph& glyph, LocalPoint origin, Place place) {
    for (const auto& strokeUnits : glyph.strokes) {
      if (truncated_) return;
      if (strokeUnits.size() > pointsLeft_) {
        truncated_ = true;
        return;
      }
      pointsLeft_ -= strokeUnits.size();
      stroke_.clear();
      bool finite = true;
      for (const HersheyPoint& p : strokeUnits) {
        // Slant leans the glyph about the baseline.
        const LabelPoint point = frame_.ToPlotter(origin + Slanted(place(p)));
        finite = finite && IsFinite(point);
        stroke_.push_back(point);
      }
      if (finite) sink_(stroke_);  // sizes beyond any number draw nothing
    }
  }

  const LabelMetrics& metrics_;
  const LabelFrame& frame_;
  std::size_t pointsLeft_;
  const LabelStrokeSink& sink_;
  const LabelFillSink& fills_;
  bool& truncated_;
  LabelStroke stroke_;  // reused: one stroke at a time
  std::vector<LabelStroke> rings_;
  double alongPerUnit_ = 0;
  double upPerUnit_ = 0;
  double emWidth_ = 0;
  double emHeight_ = 0;
};

// Draws one printable character, by the first font that has it; false when none has.
bool DrawCharacter(const LabelCharacter& c, const LabelFont& font, const HersheyFont& latin,
                   LocalPoint origin, GlyphWriter& writer) {
  if (c.kind == LabelCharacter::Kind::Latin) {
    if (c.code == kSpace) return true;
    const HersheyGlyph* glyph = latin.Find(static_cast<unsigned char>(c.code));
    if (glyph) writer.Latin(*glyph, origin, font.proportional);
    return glyph != nullptr;
  }
  if (c.kind != LabelCharacter::Kind::Unicode) return false;
  const JapaneseStroke stroke = JapaneseStrokeGlyph(c.code);
  if (stroke.glyph) {
    writer.Japanese(*stroke.glyph, origin, stroke.halfWidth ? 0.5 : 1);
    return true;
  }
  const OutlineFont* outlines = OutlineFont::Japanese();
  const OutlineGlyph* glyph = outlines ? outlines->Glyph(c.code) : nullptr;
  if (glyph) writer.Outline(*glyph, origin);
  return glyph != nullptr;
}

}  // namespace

LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn) {
  LabelLayout layout;
  const LabelStrokeSink collect = [&layout](const LabelStroke& stroke) {
    layout.strokes.push_back(stroke);
  };
  const LabelFillSink collectFills = [&layout](const std::vector<LabelStroke>& rings) {
    layout.fills.push_back(rings);
  };
  const LabelLayout moved = LayOutLabel(text, style, pen, carriageReturn, collect, collectFills);
  layout.penAfter = moved.penAfter;
  layout.carriageReturn = moved.carriageReturn;
  layout.truncated = moved.truncated;
  layout.fontsAfter = moved.fontsAfter;
  layout.undrawable = moved.undrawable;
  return layout;
}

LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn, const LabelStrokeSink& sink,
                        const LabelFillSink& fills) {
  const LabelMetrics metrics = LabelMetrics::From(style);
  const LabelFrame frame(pen, style.directionX, style.directionY);
  LabelLayout layout;
  GlyphWriter writer(metrics, frame, style.maxPointCount, sink, fills, layout.truncated);

  LocalPoint penAt{};
  LocalPoint returnAt = frame.ToLocal(carriageReturn);
  // The label origin places each carriage-return portion once it first moves the pen.
  bool portionPlaced = false;
  LocalPoint portionShift{};
  const HersheyFont& latin = LabelStrokeFont();
  LabelCharacters characters(text, style.fonts);
  LabelCharacter c;
  while (true) {
    const LabelCharacters before = characters;
    if (!characters.Next(c)) break;
    const LabelFont& font = characters.Fonts().Current();  // as SO and SI choose
    if (c.kind == LabelCharacter::Kind::Control && c.code == kCarriageReturn) {
      penAt = returnAt;
      portionPlaced = false;
      portionShift = {};
      continue;
    }
    if (c.kind == LabelCharacter::Kind::Control && c.code == kLineFeed) {
      penAt = penAt + metrics.lineStep;
      returnAt = returnAt + metrics.lineStep;
      continue;
    }
    const double cells = CellsMoved(c, font, style.vertical);
    if (cells == 0) continue;
    if (!portionPlaced) {
      portionShift = metrics.OriginShift(style.origin, PortionCells(before, style.vertical));
      penAt = penAt + portionShift;
      portionPlaced = true;
    }
    if (c.kind != LabelCharacter::Kind::Control && !layout.truncated) {
      const LocalPoint origin = penAt + metrics.CharacterOrigin(cells);
      if (!DrawCharacter(c, font, latin, origin, writer)) {
        ++layout.undrawable;
        if (const HersheyGlyph* unknown = latin.Find(kUnknownGlyph))
          writer.Latin(*unknown, origin, false);
      }
    }
    penAt = penAt + cells * metrics.characterStep;
  }
  layout.fontsAfter = characters.Fonts();
  layout.penAfter = metrics.Concatenates(style.origin)
                        ? FiniteOr(frame.ToPlotter(penAt - portionShift), pen)
                        : pen;
  layout.carriageReturn = FiniteOr(frame.ToPlotter(returnAt), carriageReturn);
  return layout;
}

LabelPoint CharacterPlot(const LabelStyle& style, LabelPoint pen, double spaces, double lines) {
  const LabelMetrics metrics = LabelMetrics::From(style);
  const LabelFrame frame(pen, style.directionX, style.directionY);
  return FiniteOr(frame.ToPlotter(spaces * metrics.characterStep + lines * metrics.lineStep), pen);
}

}  // namespace korvid
