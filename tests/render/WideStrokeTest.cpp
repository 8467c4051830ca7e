// Wide pens and fills through both sinks: the image sink's own rasteriser against QPainter's
// stroking and filling, pixel for pixel where QPainter's rules are polygons (flat and square
// ends, mitered and bevelled corners, dots of square pens, fills), and within the rim of the
// outline where it flattens its round ends, corners and dots into polygons of its own, or
// where the image sink cuts a corner along its miter line, whose ends on the grid may move
// the outline's edge by a point of it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "render/ImageStrokeSink.h"
#include "render/QPainterStrokeSink.h"

namespace korvid::testing {
namespace {

constexpr QSize kSize{160, 120};
constexpr double kFar = 1e15;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Drawing = std::function<void(StrokeSink&)>;

QImage Through(bool imageSink, const DevicePen& pen, const Drawing& draw) {
  QImage image(kSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  if (imageSink) {
    ImageStrokeSink sink(image, image.rect());
    sink.SetPen(pen);
    draw(sink);
    sink.Flush();
  } else {
    QPainter painter(&image);
    QPainterStrokeSink sink(painter);
    sink.SetPen(pen);
    draw(sink);
    sink.Flush();
  }
  return image;
}

bool Inked(const QImage& image, int x, int y) {
  return image.rect().contains(x, y) && image.pixel(x, y) != qRgb(255, 255, 255);
}

// Pixels of different colour; `offRim` counts those with all eight neighbours alike in the
// reference, away from any edge of what it draws.
struct Difference {
  int pixels = 0, offRim = 0;
};

Difference Compare(const QImage& ours, const QImage& reference) {
  Difference difference;
  for (int y = 0; y < ours.height(); ++y) {
    for (int x = 0; x < ours.width(); ++x) {
      if (ours.pixel(x, y) == reference.pixel(x, y)) continue;
      ++difference.pixels;
      bool rim = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          rim = rim || Inked(reference, x + dx, y + dy) != Inked(reference, x, y);
      if (!rim) ++difference.offRim;
    }
  }
  return difference;
}

DevicePen Pen(double width, PenEnds ends, PenJoins joins = PenJoins::kMiter, double limit = 5) {
  DevicePen pen;
  pen.colour = qRgb(20, 40, 200);
  pen.width = width;
  pen.ends = ends;
  pen.joins = joins;
  pen.miterLimit = limit;
  return pen;
}

// Runs of lines joined end to start; a run of one point is a dot.
Drawing Runs(std::vector<std::vector<QPointF>> runs) {
  return [runs](StrokeSink& sink) {
    for (const std::vector<QPointF>& run : runs) {
      if (run.size() == 1) sink.Dot(run[0]);
      for (std::size_t i = 1; i < run.size(); ++i)
        sink.Line(run[i - 1], run[i]);
      sink.Flush();
    }
  };
}

// A zigzag from (10, 60) whose corners turn by each of `turns` degrees in turn, `step`
// pixels between corners.
std::vector<QPointF> Zigzag(std::vector<double> turns, double step) {
  std::vector<QPointF> points{{10, 60}};
  double heading = 0;
  for (std::size_t i = 0; i <= turns.size(); ++i) {
    points.push_back(points.back() + QPointF(std::cos(heading), std::sin(heading)) * step);
    if (i < turns.size()) heading += (i % 2 == 0 ? 1 : -1) * turns[i] * std::numbers::pi / 180;
  }
  return points;
}

// An arc of `chords` chords round (80, 60), as a plot's arcs reach the sinks.
std::vector<QPointF> Arc(double radius, double from, double sweep, int chords) {
  std::vector<QPointF> points;
  for (int i = 0; i <= chords; ++i) {
    const double angle = (from + sweep * i / chords) * std::numbers::pi / 180;
    points.push_back(QPointF(80 + radius * std::cos(angle), 60 + radius * std::sin(angle)));
  }
  return points;
}

const std::vector<std::vector<QPointF>> kLoneLines = {
    {{10.3, 10.7}, {150.2, 12.1}},
    {{20.5, 20}, {20.5, 110}},
    {{30.25, 30.4}, {120.6, 100.9}},
    {{140.1, 20.3}, {60.4, 105.2}},
    {{45, 64.5}, {140.5, 64.5}},
    {{100.7, 8.2}, {104.1, 113.6}},
    // Level leftwards and upright upwards: lengths from one side alone.
    {{150.5, 100.5}, {12.25, 100.5}},
    {{130.5, 110}, {130.5, 15.5}}};

// Of pixels that differ, all on the rim, at most this many.
constexpr int kSame = 0, kCurves = 24;

struct StrokeCase {
  const char* name;
  DevicePen pen;
  Drawing draw;
  int rim;
};

const StrokeCase kStrokeCases[] = {
    {"FlatEndsLone", Pen(3.3, PenEnds::kFlat), Runs(kLoneLines), kSame},
    {"SquareEndsLone", Pen(2.2, PenEnds::kSquare), Runs(kLoneLines), kSame},
    {"ThinFlatEndsLone", Pen(1.13, PenEnds::kFlat), Runs(kLoneLines), kSame},
    {"RoundEndsLone", Pen(4.5, PenEnds::kRound, PenJoins::kRound), Runs(kLoneLines), kCurves},
    {"MiterJoins", Pen(3.1, PenEnds::kFlat), Runs({Zigzag({20, 45, 90, 120, 135, 150}, 18)}), 2},
    {"MiterJoinsSquareEnds", Pen(5.7, PenEnds::kSquare), Runs({Zigzag({10, 60, 100, 140, 30}, 22)}),
     kSame},
    // A turn of 120 degrees gives a miter 2 widths long, 140 degrees one of 2.9 widths.
    {"MiterLimitBevelsBeyondIt", Pen(6, PenEnds::kFlat, PenJoins::kMiter, 2.5),
     Runs({Zigzag({120, 140, 110, 150}, 30)}), kSame},
    {"BevelJoins", Pen(4.2, PenEnds::kFlat, PenJoins::kBevel),
     Runs({Zigzag({20, 45, 90, 120, 160}, 20)}), kSame},
    {"RoundJoins", Pen(4.2, PenEnds::kFlat, PenJoins::kRound),
     Runs({Zigzag({20, 45, 90, 120, 160}, 20)}), kCurves},
    {"ThinPenArcOfShortChords", Pen(1.13, PenEnds::kFlat), Runs({Arc(40, 10, 300, 150)}), kSame},
    // Corners a pixel or two apart, where a join's piece meets the lines' rectangles close by
    // pixel centres.
    {"ShortTurns", Pen(1.5, PenEnds::kFlat),
     Runs({{{19.957936901723539, 39.625388393113893},
            {18.524371399884812, 40.178941618682869},
            {17.645684623500439, 39.929163480580768},
            {17.452619393773198, 39.184365767028789},
            {18.371384102321431, 39.809003914233238},
            {18.564784290339787, 41.125897440502851},
            {19.831495871297961, 42.210954243753241},
            {21.429553419069951, 42.536629239837451},
            {22.145952447369841, 44.137914323852561},
            {21.604847811929057, 45.318805738270041}}}),
     kSame},
    // So nearly straight on that the rectangles' ends, once on the grid, part in the middle.
    {"AlmostStraightOn", Pen(3.716, PenEnds::kFlat),
     Runs({{{131.234424, 53.853206}, {133.628471, 52.790674}, {136.014693, 51.728141}}}), kSame},
    // And a pixel centre just beyond the inner side of such a corner: outside.
    {"AlmostStraightOnThinner", Pen(1.889, PenEnds::kFlat),
     Runs({{{69.729179, 74.283526}, {71.618274, 69.143326}, {73.658498, 63.965331}}}), kSame},
    // Every corner cut along its miter line: the pieces tile, pixel for pixel.
    {"WidePenGentleArc", Pen(6.5, PenEnds::kFlat), Runs({Arc(45, 0, 350, 70)}), kSame},
    {"WidePenArc", Pen(7.5, PenEnds::kSquare, PenJoins::kBevel), Runs({Arc(35, -20, 250, 24)}),
     kSame},
    {"SquareDots", Pen(4.4, PenEnds::kFlat),
     Runs({{{20.2, 30.7}}, {{60.5, 60.5}}, {{100, 90}}, {{158.5, 2.5}}}), kSame},
    {"RoundDots", Pen(5.5, PenEnds::kRound), Runs({{{20.2, 30.7}}, {{60.5, 60.5}}, {{100, 90}}}),
     kCurves},
    // A fill over the end of a run, and a line over the fill: each over what came before,
    // the line in the pen's colour.
    {"FillBetweenStrokes", Pen(3, PenEnds::kSquare),
     [](StrokeSink& sink) {
       sink.Line({20, 20}, {70, 60});
       sink.Line({70, 60}, {90, 50});
       const QPointF square[] = {{60, 40}, {100, 40}, {100, 80}, {60, 80}};
       const std::uint32_t size = 4;
       sink.Fill(square, &size, 1, true, qRgb(240, 200, 0));
       sink.Line({80, 10}, {80, 110});
       sink.Flush();
     },
     kSame},
    {"CutAtTheImagesEdges", Pen(6.6, PenEnds::kSquare),
     Runs({{{-20, -15}, {40, 30}, {-10, 90}},
           {{140, 96}, {175, 104}, {150, 118}},
           {{140, 130}, {170, 50}},
           {{158, -4}, {158, 124}}}),
     kSame},
};

class StrokeTest : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeTest, ImageSinkDrawsWhatQPainterDraws) {
  const StrokeCase& c = GetParam();
  const QImage ours = Through(true, c.pen, c.draw), reference = Through(false, c.pen, c.draw);
  const Difference difference = Compare(ours, reference);
  EXPECT_EQ(difference.offRim, 0);
  EXPECT_LE(difference.pixels, c.rim);
}

INSTANTIATE_TEST_SUITE_P(Pens, StrokeTest, ::testing::ValuesIn(kStrokeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What the ends, corners and limit are for, drawn by either sink: a flat end stops at the
// end, a square one half the width beyond; a corner within the limit reaches its miter's
// tip, one beyond it is cut off.
TEST(StrokeShapeTest, EndsAndCornersWhereThePenPutsThem) {
  for (const bool imageSink : {true, false}) {
    SCOPED_TRACE(imageSink ? "image sink" : "QPainter");
    const Drawing across = Runs({{{40, 60}, {120, 60}}});
    const QImage flat = Through(imageSink, Pen(10, PenEnds::kFlat), across);
    const QImage square = Through(imageSink, Pen(10, PenEnds::kSquare), across);
    EXPECT_TRUE(Inked(flat, 40, 56) && Inked(flat, 119, 64));
    EXPECT_FALSE(Inked(flat, 39, 60) || Inked(flat, 120, 60));
    EXPECT_TRUE(Inked(square, 35, 60) && Inked(square, 124, 60));
    EXPECT_FALSE(Inked(square, 34, 60) || Inked(square, 125, 60));
    // A corner of 90 degrees: its miter reaches 1.41 widths out, beyond a limit of 1.3.
    const Drawing corner = Runs({{{40, 100}, {80, 60}, {120, 100}}});
    const QImage mitered =
        Through(imageSink, Pen(10, PenEnds::kFlat, PenJoins::kMiter, 1.5), corner);
    const QImage cut = Through(imageSink, Pen(10, PenEnds::kFlat, PenJoins::kMiter, 1.3), corner);
    EXPECT_TRUE(Inked(mitered, 80, 54));
    EXPECT_FALSE(Inked(cut, 80, 54));
    EXPECT_TRUE(Inked(cut, 80, 58));
  }
}

struct FillCase {
  const char* name;
  std::vector<std::vector<QPointF>> rings;
  // Pixels inside by the winding rule and by the even-odd rule, and one outside both.
  QPoint windingOnly, both, neither;
};

const FillCase kFillCases[] = {
    {"Pentagram",
     {{{80, 5}, {112.3, 104.5}, {27.6, 43}, {132.4, 43}, {47.7, 104.5}}},
     {80, 60},
     {80, 20},
     {10, 10}},
    {"SquareInASquareTheSameWayRound",
     {{{20, 10}, {140, 10}, {140, 110}, {20, 110}}, {{60, 40}, {100, 40}, {100, 80}, {60, 80}}},
     {80, 60},
     {30, 60},
     {150, 60}},
    // One edge of the far triangle runs along the image's diagonal, through pixel centres.
    {"FarCornersThroughTheImage",
     {{{-kFar, -kFar}, {kFar, kFar}, {-kFar, kFar}}, {{10, 70}, {60, 75}, {20, 115}}},
     {30, 85},
     {100, 115},
     {150, 10}},
};

class FillTest : public ::testing::TestWithParam<std::tuple<FillCase, bool>> {};

TEST_P(FillTest, BothRulesAsQPainterFills) {
  const auto& [c, winding] = GetParam();
  std::vector<QPointF> points;
  std::vector<std::uint32_t> sizes;
  for (const std::vector<QPointF>& ring : c.rings) {
    points.insert(points.end(), ring.begin(), ring.end());
    sizes.push_back(static_cast<std::uint32_t>(ring.size()));
  }
  const Drawing fill = [&, winding = winding](StrokeSink& sink) {
    sink.Fill(points.data(), sizes.data(), sizes.size(), winding, qRgb(200, 30, 30));
  };
  const QImage ours = Through(true, Pen(0, PenEnds::kFlat), fill);
  const QImage reference = Through(false, Pen(0, PenEnds::kFlat), fill);
  EXPECT_EQ(Compare(ours, reference).pixels, 0);
  EXPECT_EQ(Inked(ours, c.windingOnly.x(), c.windingOnly.y()), winding);
  EXPECT_TRUE(Inked(ours, c.both.x(), c.both.y()));
  EXPECT_FALSE(Inked(ours, c.neither.x(), c.neither.y()));
}

INSTANTIATE_TEST_SUITE_P(Rules, FillTest,
                         ::testing::Combine(::testing::ValuesIn(kFillCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Winding" : "EvenOdd");
                         });

// Coordinates far off the image, or not numbers at all, draw what of them is in view and
// nothing else, at once.
// Pens of about a pixel, as a plot's default pen comes out in an image, drawn within a clip
// smaller than the image: pieces of a row or a few, on both sides of the clip's every edge.
struct ClipCase {
  const char* name;
  QRect clip;
  double width;
  std::vector<std::vector<QPointF>> runs;
  int rim = kSame;
};

const ClipCase kClipCases[] = {
    {"ArcsAcrossTheClip", {37, 23, 71, 58}, 1.1, {Arc(30, 0, 360, 72), Arc(47, 3, 350, 70)}, 8},
    {"ZigzagsAcrossTheSides", {60, 10, 9, 100}, 1.13, {Zigzag({5, 5, 5, 5, 5, 5, 5, 5}, 2.7)}},
    {"LevelAndSlantedAtTheEdges",
     {21, 31, 40, 30},
     1.2,
     {{{10, 31.2}, {70, 31.4}, {80, 60.9}},
      {{20.6, 10}, {21.4, 90}, {61.2, 95}},
      {{5, 5}, {70, 70}},
      // Ending within the first column and starting within the last: a pixel each.
      {{5, 40.3}, {14, 40.5}, {21.7, 40.6}},
      {{80, 50.2}, {70, 50.4}, {60.3, 50.5}}}},
    // Edges that begin a hundred thousand rows above the clip, as far as lines cut to the
    // painter's guard reach and further: the 16.16 slope's error comes to pixels there, and
    // QPainter lets it.
    {"FromFarAbove",
     {20, 20, 100, 80},
     1.1,
     {{{30, -100000}, {90, 110}, {100, 111}}, {{-200, -120000.4}, {70.3, 105}, {90, 40}}}},
};

class ClipTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipTest, ThinPensAsQPainterDrawsThemInTheClip) {
  const ClipCase& c = GetParam();
  const DevicePen pen = Pen(c.width, PenEnds::kFlat);
  QImage ours(kSize, QImage::Format_RGB32), reference(kSize, QImage::Format_RGB32);
  ours.fill(Qt::white);
  reference.fill(Qt::white);
  {
    ImageStrokeSink sink(ours, c.clip);
    sink.SetPen(pen);
    Runs(c.runs)(sink);
  }
  {
    QPainter painter(&reference);
    painter.setClipRect(c.clip);
    QPainterStrokeSink sink(painter);
    sink.SetPen(pen);
    Runs(c.runs)(sink);
  }
  const Difference difference = Compare(ours, reference);
  EXPECT_EQ(difference.offRim, 0);
  EXPECT_LE(difference.pixels, c.rim);
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipTest, ::testing::ValuesIn(kClipCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StrokeReachTest, FarAndBrokenCoordinatesDrawOnlyWhatIsInView) {
  const auto inkedRows = [](const QImage& image, int x) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
      if (Inked(image, x, y)) rows.push_back(y);
    return rows;
  };
  for (const PenEnds ends : {PenEnds::kFlat, PenEnds::kSquare, PenEnds::kRound}) {
    SCOPED_TRACE(static_cast<int>(ends));
    const DevicePen pen = Pen(5, ends);
    const QImage lone = Through(true, pen, Runs({{{-kFar, 60}, {kFar, 60}}}));
    for (const int x : {0, 80, 159})
      EXPECT_EQ(inkedRows(lone, x), (std::vector<int>{58, 59, 60, 61, 62}));
    // Slanted through the middle, joined there: as the same lines with ends near by, but
    // for pixel centres within a point of the grid of an edge.
    const auto slanted = [](double reach) {
      return Runs({{{80 - reach, 60 - 0.3 * reach}, {80, 60}, {80 + reach, 60 + 0.3 * reach}}});
    };
    const Difference far =
        Compare(Through(true, pen, slanted(kFar)), Through(true, pen, slanted(300)));
    EXPECT_EQ(far.offRim, 0);
    EXPECT_LE(far.pixels, 8);
    const QImage broken =
        Through(true, pen, Runs({{{kNaN, 60}, {80, 60}}, {{80, kNaN}, {kNaN, 70}}, {{kNaN, 1}}}));
    EXPECT_EQ(Compare(broken, Through(true, pen, Runs({}))).pixels, 0);
    const QImage mended =
        Through(true, pen, Runs({{{10, 10}, {50, 50}, {kNaN, kNaN}, {100, 10}, {150, 50}}}));
    EXPECT_TRUE(Inked(mended, 30, 30) && Inked(mended, 125, 30));
  }
  const QImage everywhere = Through(true, Pen(0, PenEnds::kFlat), [](StrokeSink& sink) {
    const QPointF corners[] = {{-1e300, -1e300}, {1e300, -1e300}, {0, 1e300}, {kNaN, 0}};
    const std::uint32_t sizes[] = {3, 1};
    sink.Fill(corners, sizes, 2, false, qRgb(0, 0, 0));
  });
  EXPECT_TRUE(Inked(everywhere, 0, 0) && Inked(everywhere, 159, 119) && Inked(everywhere, 80, 60));
}

}  // namespace
}  // namespace korvid::testing
