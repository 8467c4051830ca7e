#include "labels/LabelLayout.h"

#include <cmath>

#include "labels/HersheyFont.h"
#include "labels/LabelFrame.h"
#include "labels/LabelMetrics.h"

namespace korvid {
namespace {

// The label font's own measures: its cap line and baseline, and the width of a typical
// capital ('A', 'M', 'O'), which is made the character body of the cell.
constexpr int kFontCapLineUnits = -12;
constexpr int kFontBaselineUnits = 9;
constexpr double kFontBodyWidthUnits = 16;

constexpr char kBackspace = 8;
constexpr char kHorizontalTab = 9;
constexpr char kLineFeed = 10;
constexpr char kCarriageReturn = 13;
constexpr char kSpace = 32;
constexpr char kDelete = 127;

bool IsControl(char c) {
  return (c >= 0 && c < kSpace) || c == kDelete;
}

bool IsFinite(LabelPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

// A pen that would move beyond any number stays where it was.
LabelPoint FiniteOr(LabelPoint p, LabelPoint fallback) {
  return IsFinite(p) ? p : fallback;
}

// How many cells a character moves the pen along the text path. A tab moves five.
int CellsMoved(char c) {
  if (c == kBackspace) return -1;
  if (c == kHorizontalTab) return 5;
  return IsControl(c) ? 0 : 1;
}

// The cells of the text portion that starts at `from`: up to the next carriage return, which
// places the following portion afresh.
long long PortionCells(std::string_view text, std::size_t from) {
  long long cells = 0;
  for (std::size_t i = from; i < text.size() && text[i] != kCarriageReturn; ++i) {
    cells += CellsMoved(text[i]);
  }
  return cells;
}

// Writes glyph strokes in plotter units until the point budget of the label is spent.
class GlyphWriter {
 public:
  GlyphWriter(const LabelMetrics& metrics, const LabelFrame& frame, std::size_t maxPointCount,
              const LabelStrokeSink& sink, bool& truncated)
      : metrics_(metrics),
        frame_(frame),
        pointsLeft_(maxPointCount),
        sink_(sink),
        truncated_(truncated) {
    const double capHeightUnits = kFontBaselineUnits - kFontCapLineUnits;
    alongPerUnit_ = metrics.bodyWidth / kFontBodyWidthUnits;
    upPerUnit_ = metrics.capHeight / capHeightUnits;
  }

  void Write(const HersheyGlyph& glyph, LocalPoint characterOrigin) {
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
        const LabelPoint point = frame_.ToPlotter(characterOrigin + Place(p));
        finite = finite && IsFinite(point);
        stroke_.push_back(point);
      }
      if (finite) sink_(stroke_);  // sizes beyond any number draw nothing
    }
  }

 private:
  // Glyphs are centred on the character body; slant leans them about the baseline.
  LocalPoint Place(HersheyPoint p) const {
    const double up = (kFontBaselineUnits - p.yUnits) * upPerUnit_;
    const double along = metrics_.bodyWidth / 2 + p.xUnits * alongPerUnit_;
    return {along + up * metrics_.slantTangent, up};
  }

  const LabelMetrics& metrics_;
  const LabelFrame& frame_;
  std::size_t pointsLeft_;
  const LabelStrokeSink& sink_;
  bool& truncated_;
  LabelStroke stroke_;  // reused: one stroke at a time
  double alongPerUnit_ = 0;
  double upPerUnit_ = 0;
};

}  // namespace

LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn) {
  LabelLayout layout;
  const LabelStrokeSink collect = [&layout](const LabelStroke& stroke) {
    layout.strokes.push_back(stroke);
  };
  const LabelLayout moved = LayOutLabel(text, style, pen, carriageReturn, collect);
  layout.penAfter = moved.penAfter;
  layout.carriageReturn = moved.carriageReturn;
  layout.truncated = moved.truncated;
  return layout;
}

LabelLayout LayOutLabel(std::string_view text, const LabelStyle& style, LabelPoint pen,
                        LabelPoint carriageReturn, const LabelStrokeSink& sink) {
  const LabelMetrics metrics = LabelMetrics::From(style);
  const LabelFrame frame(pen, style.directionX, style.directionY);
  const HersheyFont& font = LabelStrokeFont();
  LabelLayout layout;
  GlyphWriter writer(metrics, frame, style.maxPointCount, sink, layout.truncated);

  LocalPoint penAt{};
  LocalPoint returnAt = frame.ToLocal(carriageReturn);
  // The label origin places each carriage-return portion once it first moves the pen.
  bool portionPlaced = false;
  LocalPoint portionShift{};
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == kCarriageReturn) {
      penAt = returnAt;
      portionPlaced = false;
      portionShift = {};
      continue;
    }
    if (c == kLineFeed) {
      penAt = penAt + metrics.lineStep;
      returnAt = returnAt + metrics.lineStep;
      continue;
    }
    const int cells = CellsMoved(c);
    if (cells == 0) continue;
    if (!portionPlaced) {
      portionShift = metrics.OriginShift(style.origin, PortionCells(text, i));
      penAt = penAt + portionShift;
      portionPlaced = true;
    }
    const unsigned char code = StandInCharacter(static_cast<unsigned char>(c), style.eightBitSet);
    if (!layout.truncated && code != kSpace && c != kHorizontalTab && cells > 0) {
      if (const HersheyGlyph* glyph = font.Find(code)) {
        writer.Write(*glyph, penAt + metrics.CharacterOrigin());
      }
    }
    penAt = penAt + cells * metrics.characterStep;
  }
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
