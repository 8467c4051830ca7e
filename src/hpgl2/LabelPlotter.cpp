#include "hpgl2/LabelPlotter.h"

#include <algorithm>
#include <cmath>

#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kPlotterUnitsPerCm = 10 * kPlotterUnitsPerMm;

LabelPoint ToLabel(PlotPoint p) {
  return {p.x, p.y};
}

PlotPoint ToPlot(LabelPoint p) {
  return {p.x, p.y};
}

}  // namespace

LabelStyle LabelPlotter::Style() const {
  const LabelSetting& label = c_.state.defaults.label;
  const PlotPoint p1 = c_.points.p1, p2 = c_.points.p2;
  LabelStyle style;
  if (label.relativeSize) {
    style.charWidth = label.width / 100 * std::fabs(p2.x - p1.x);
    style.charHeight = label.height / 100 * std::fabs(p2.y - p1.y);
  } else {
    style.charWidth = label.width * kPlotterUnitsPerCm;
    style.charHeight = label.height * kPlotterUnitsPerCm;
  }
  if (label.relativeDirection) {
    style.directionX = label.run / 100 * (p2.x - p1.x);
    style.directionY = label.rise / 100 * (p2.y - p1.y);
  } else {
    style.directionX = label.run;
    style.directionY = label.rise;
  }
  if (style.directionX == 0 && style.directionY == 0) style.directionX = 1;
  style.slantTangent = label.slant;
  style.origin = label.origin;
  style.extraSpace = label.extraSpace;
  style.extraLine = label.extraLine;
  style.vertical = label.vertical;
  style.fonts = label.fonts;
  style.reversePath = label.reversePath;
  style.reverseLineFeed = label.reverseLineFeed;
  style.maxPointCount = c_.page.RemainingPoints();
  return style;
}

// Labels are drawn solid whatever LT says.
StrokeStyle LabelPlotter::LabelStroke() {
  StrokeStyle stroke = plotter_.Stroke();
  stroke.lineType = StrokeStyle::kSolidLine;
  stroke.dashIndex = StrokeStyle::kNoDashes;
  stroke.patternLength = 0;
  return stroke;
}

void LabelPlotter::Label(std::string_view text) {
  const StrokeStyle stroke = LabelStroke();
  const bool drawing = plotter_.SelectedPen() != 0 && !plotter_.InPolygonMode();
  bool drew = false;
  // Counted at its first stroke, so that a label the budget cuts counts.
  const auto first = [&] {
    if (!drew) ++c_.outcome.counts.labels;
    drew = true;
  };
  PageBuilder& page = c_.page;
  StandardPolygon glyphFill;
  glyphFill.colour = stroke.colour;
  glyphFill.pen = stroke.pen;
  glyphFill.widthMm = stroke.widthMm;
  glyphFill.nonZeroWinding = true;
  std::vector<PlotRing> rings;
  StrokeStyle edge = stroke;
  if (const int pen = c_.state.defaults.label.edgePen; pen != 0) {
    edge.pen = pen;
    edge.colour = c_.state.palette.Colour(pen);
    edge.widthMm = c_.state.palette.WidthMm(pen);
  }
  // The whole text in one call, so that the label origin places it as one label; the
  // strokes come one at a time and go straight onto the page.
  const LabelLayout layout = LayOutLabel(
      text, Style(), ToLabel(c_.state.pen), ToLabel(c_.state.carriageReturn),
      [&](const korvid::LabelStroke& labelStroke) {
        if (!drawing || labelStroke.empty()) return;
        first();
        page.BreakLine();
        if (labelStroke.size() == 1) page.DrawDot(ToPlot(labelStroke[0]), stroke);
        for (std::size_t i = 1; i < labelStroke.size(); ++i)
          page.AddSegment(ToPlot(labelStroke[i - 1]), ToPlot(labelStroke[i]), stroke);
      },
      [&](const std::vector<korvid::LabelStroke>& glyph) {
        if (!drawing) return;
        rings.assign(glyph.size(), {});
        for (std::size_t i = 0; i < glyph.size(); ++i)
          std::transform(glyph[i].begin(), glyph[i].end(), std::back_inserter(rings[i]), ToPlot);
        const int fill = c_.state.defaults.label.characterFill;
        if (fill != 1 && page.FillPolygon(rings, glyphFill)) first();
        if (fill == 1 || fill == 3) {
          for (const PlotRing& ring : rings) {
            page.BreakLine();
            for (std::size_t i = 0; i < ring.size(); ++i)
              page.AddSegment(ring[i], ring[(i + 1) % ring.size()], edge);
            first();
          }
          page.BreakLine();
        }
      });
  page.BreakLine();
  c_.state.pen = ToPlot(layout.penAfter);
  c_.state.carriageReturn = ToPlot(layout.carriageReturn);
  c_.state.defaults.label.fonts = layout.fontsAfter;
  c_.outcome.counts.undrawableCharacters += static_cast<std::int64_t>(layout.undrawable);
}

void LabelPlotter::Symbol() {
  const char symbol = c_.state.defaults.label.symbol;
  if (symbol == 0 || plotter_.SelectedPen() == 0 || plotter_.InPolygonMode()) return;
  LabelStyle style = Style();
  style.origin = 5;
  const StrokeStyle stroke = LabelStroke();
  const LabelPoint at = ToLabel(c_.state.pen);
  PageBuilder& page = c_.page;
  LayOutLabel(std::string_view(&symbol, 1), style, at, at, [&](const korvid::LabelStroke& s) {
    page.BreakLine();
    for (std::size_t i = 1; i < s.size(); ++i)
      page.AddSegment(ToPlot(s[i - 1]), ToPlot(s[i]), stroke);
  });
  page.BreakLine();
}

// CP counts lines upwards; the layout counts them in the line-feed direction.
void LabelPlotter::CharacterPlot(double spaces, double lines) {
  c_.state.pen =
      ToPlot(korvid::CharacterPlot(Style(), ToLabel(c_.state.pen), std::clamp(spaces, -1e6, 1e6),
                                   -std::clamp(lines, -1e6, 1e6)));
  c_.page.BreakLine();
}

void LabelPlotter::NewLine() {
  c_.state.pen = ToPlot(korvid::CharacterPlot(Style(), ToLabel(c_.state.carriageReturn), 0, 1));
  c_.state.carriageReturn = c_.state.pen;
  c_.page.BreakLine();
}

}  // namespace korvid
