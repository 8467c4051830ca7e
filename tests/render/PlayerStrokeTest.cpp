// What the player draws: arcs as GDI draws them, pens as GDI selects them, dash patterns,
// dots where the pen went down without moving, pictures on scaled screens.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "RenderTestSupport.h"
#include "render/ArcFlattener.h"

namespace korvid::testing {
namespace {

// An arc of the ellipse of `radius` round the middle of the 2000 x 2000 frame, painted on an
// image `width` pixels wide and 200 high.
struct ArcCase {
  const char* name;
  QSize radius;
  QPoint from, to;
  int width;
  std::vector<double> drawn, empty;  // parametric angles on the image, counter-clockwise
};

class ArcTest : public ::testing::TestWithParam<std::tuple<ArcCase, QImage::Format>> {};

// GDI's arcs run counter-clockwise on the screen from the start ray to the end ray, on the
// ellipse inscribed in the box, whatever the scaling.
TEST_P(ArcTest, DrawsFromStartRayToEndRayAndNothingElse) {
  const auto& [c, format] = GetParam();
  TestEmf emf;
  const QPoint middle(1000, 1000), radius(c.radius.width(), c.radius.height());
  emf.Arc(middle - radius, middle + radius, c.from, c.to);
  const QImage image = Render(emf.Picture(), {c.width, 200}, format);
  const double sx = c.width / 2000.0, t = std::numbers::pi / 180;
  const auto at = [&](double degrees) {
    return QPointF(1000 * sx + radius.x() * sx * std::cos(degrees * t),
                   100 - radius.y() * 0.1 * std::sin(degrees * t))
        .toPoint();
  };
  for (const double angle : c.drawn)
    EXPECT_TRUE(InkNear(image, at(angle), 1)) << angle;
  for (const double angle : c.empty)
    EXPECT_FALSE(InkNear(image, at(angle), 2)) << angle;
}

const QPoint kRight{1900, 1000}, kTop{1000, 100}, kLeft{100, 1000}, kBottom{1000, 1900};
const QPoint kBox1{200, 200}, kBox2{1800, 1800}, kRay45{1500, 500};
const QSize kCircle{800, 800};
const std::vector<double> kUpperRight{20, 45, 70}, kNotUpperRight{110, 160, 200, 250, 290, 340},
    kAround{20, 70, 110, 160, 200, 250, 290, 340};

const ArcCase kArcCases[] = {
    {"RightToTop", kCircle, kRight, kTop, 200, kUpperRight, kNotUpperRight},
    {"TopToRight", kCircle, kTop, kRight, 200, kNotUpperRight, kUpperRight},
    {"BottomToTop", kCircle, kBottom, kTop, 200, {290, 340, 20, 70}, {110, 160, 200, 250}},
    {"SamePointFullCircle", kCircle, kRight, kRight, 200, kAround, {}},
    // A 2:1 ellipse and an end ray at 45 degrees: the ray meets the curve at the parametric
    // angle 63.4, not 45.
    {"EllipseEndsOnTheRay", {800, 400}, kRight, kRay45, 200, {10, 30, 55, 61}, {68, 75, 120, 250}},
    // A circle on a target twice as wide as high: the 45 degree ray of the frame still ends
    // the arc where it meets the stretched curve.
    {"StretchedTarget", kCircle, kRight, kRay45, 400, {10, 30, 40}, {51, 60, 120, 250}},
};

INSTANTIATE_TEST_SUITE_P(Arcs, ArcTest,
                         ::testing::Combine(::testing::ValuesIn(kArcCases),
                                            ::testing::ValuesIn(kBothPaths)),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + PathName(std::get<1>(info.param));
                         });

TEST(ArcTest, DegenerateBoxesDrawAtMostALine) {
  TestEmf dot, flat;
  dot.Arc({1000, 1000}, {1000, 1000}, kRight, kTop);
  flat.Arc({200, 1000}, {1800, 1000}, kRight, kLeft);
  const QImage a = Render(dot.Picture(), {200, 200}), b = Render(flat.Picture(), {200, 200});
  EXPECT_LE(InkCount(a, a.rect()), 1);
  EXPECT_EQ(InkCount(b, b.rect()), InkCount(b, QRect(0, 98, 200, 5)));
}

TEST(ArcTest, HugeArcThroughASmallWindowAtHighZoom) {
  TestEmf emf;
  emf.Arc(kBox1, kBox2, kBottom, kTop);  // the right half, 8000 pixels in radius
  const MetafilePicture picture = emf.Picture();
  for (const QImage::Format format : kBothPaths) {
    // The rightmost point comes to (100, 100).
    const QImage view =
        Painted(picture, QImage(200, 200, format), QRectF(0, 0, 20000, 20000), {17900, 9900});
    for (const int y : {0, 50, 100, 150, 199})
      EXPECT_TRUE(InkNear(view, {100, y}, 1)) << y;
    EXPECT_EQ(InkCount(view, view.rect()), InkCount(view, QRect(97, 0, 6, 200)));
  }
}

// The chord count found without hypot and acos is the definition's, where the estimate
// is at the edge of what it covers and where the definition's quotient is an integer.
TEST(ArcTest, ChordCountIsTheDefinitions) {
  constexpr double kTolerance = ArcFlattener::kScreenTolerance;
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  // Sweeps whose quotient in the definition is an integer, or next to one: on a large
  // circle, and on a small one, where the estimate is least precise.
  const auto turns = [&](double radius, double steps, double towards) {
    return std::nextafter(steps * 2 * std::acos(1 - kTolerance / radius), towards);
  };
  const struct {
    const char* name;
    QPointF u, v;
    double sweep;
  } cases[] = {
      {"radius four tolerances", {0.8, 0}, {0, 0.8}, -2 * std::numbers::pi},
      {"just above", {std::nextafter(0.8, 1.0), 0}, {0, 0.5}, -2 * std::numbers::pi},
      {"just below", {std::nextafter(0.8, 0.0), 0}, {0, 0.5}, -2 * std::numbers::pi},
      {"smallest ratio", {kTolerance / 1e-9, 0}, {0, 1}, -1e-4},
      {"below it", {kTolerance / 1e-9 * 1.01, 0}, {0, 1}, -1e-4},
      {"at the cap", {1e7, 0}, {0, 1e7}, -2 * std::numbers::pi},
      {"quotient 7", {0, 100}, {-100, 0}, turns(100, 7, 7)},
      {"just over 7", {0, 100}, {-100, 0}, turns(100, 7, 10)},
      {"just under 7", {0, 100}, {-100, 0}, turns(100, 7, 0)},
      {"small, quotient 3", {0.81, 0}, {0, 0.81}, -turns(0.81, 3, 3)},
      {"small, just over 3", {0.81, 0}, {0, 0.81}, -turns(0.81, 3, 10)},
      {"small, just under 3", {0.81, 0}, {0, 0.81}, -turns(0.81, 3, 0)},
      {"longer second axis", {3, 4}, {-40, 30}, 2.5},
      {"no sweep", {100, 0}, {0, 100}, 0},
      {"flat", {0, 0}, {0, 100}, -1},
      {"sub-normal axes", {1e-160, 0}, {0, 1e-160}, -1},
      {"endless sweep", {100, 0}, {0, 100}, -kInf},
      {"sweep not a number", {100, 0}, {0, 100}, kNaN},
      {"axis not a number", {kNaN, 0}, {0, 100}, -1},
      {"infinite and not a number", {100, 0}, {kInf, kNaN}, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ArcFlattener::ChordCount(c.u, c.v, c.sweep, kTolerance),
              ArcFlattener::ChordCountByDefinition(c.u, c.v, c.sweep, kTolerance))
        << c.name;
  // And across sizes, sweeps and a printer's tolerance.
  for (const double tolerance : {kTolerance, kTolerance * 600 / 96}) {
    for (double radius = 0.5; radius < 1e9; radius *= 1.0137) {
      for (const double sweep : {-2 * std::numbers::pi, -1.234, 0.001, 3.0}) {
        const QPointF u(radius * 0.6, radius * 0.8), v(-radius * 0.3, radius * 0.4);
        ASSERT_EQ(ArcFlattener::ChordCount(u, v, sweep, tolerance),
                  ArcFlattener::ChordCountByDefinition(u, v, sweep, tolerance))
            << radius << " " << sweep << " " << tolerance;
      }
    }
  }
}

// A probe line across the middle after some pen work: one pixel thick in the selected
// pen's colour, or nothing (-1) for a null pen.
TEST(PenTest, ProbeLineHasTheSelectedPensColourAndOnePixel) {
  const std::pair<const char*, std::function<QRgb(TestEmf&)>> cases[] = {
      {"default", [](TestEmf&) { return qRgb(0, 0, 0); }},
      {"created", [](TestEmf& e) { return e.UsePen(kSolid, 1, kRed), qRgb(255, 0, 0); }},
      {"stock null", [](TestEmf& e) { return e.writer().SelectObject(0x80000008), QRgb(-1); }},
      {"null style", [](TestEmf& e) { return e.UsePen(kNull, 1, kRed), QRgb(-1); }},
      {"empty slot",
       [](TestEmf& e) {
         const std::uint32_t blue = e.UsePen(kSolid, 1, kBlue);
         e.writer().DeleteObject(blue);
         e.writer().SelectObject(blue);  // nothing there: the pen stays
         return qRgb(0, 0, 255);
       }},
      {"last of many",
       [](TestEmf& e) {
         for (int i = 0; i < 50; ++i)
           e.writer().DeleteObject(e.UsePen(i % 5, 1, kRed));
         return e.UsePen(kSolid, 0, 0x00ff00), qRgb(0, 255, 0);
       }},
  };
  for (const auto& [name, pens] : cases) {
    TestEmf emf;
    const QRgb colour = pens(emf);
    emf.Line(0, 1000, 2000, 1000);
    const MetafilePicture picture = emf.Picture();
    for (const QImage::Format format : kBothPaths) {
      const QImage image = Render(picture, {200, 200}, format);
      std::vector<QRgb> drawn;
      for (int y = 97; y <= 103; ++y)
        if (Inked(image, {100, y})) drawn.push_back(image.pixel(100, y));
      EXPECT_EQ(drawn, colour == QRgb(-1) ? std::vector<QRgb>{} : std::vector<QRgb>{colour})
          << name << " " << PathName(format);
    }
  }
}

// The longest inked and blank stretches of a 600 mm line on an image `width` pixels wide:
// screen dashes keep their pixels, printer dashes (dots per mm given) their millimetres,
// and a wide pen (`pen` in 0.01 mm; here 20 pixels) always draws solid.
TEST(DashTest, LongestStretchesFollowThePattern) {
  struct {
    std::uint32_t style;
    int pen, width;
    double dotsPerMm;
    int ink, gap;
  } const cases[] = {{kDash, 1, 600, 0, 18, 6},      {kDash, 1, 1800, 0, 18, 6},
                     {kDashDotDot, 1, 600, 0, 9, 3}, {kDash, 1, 600, 10, 48, 16},
                     {kSolid, 1, 600, 0, 560, 0},    {kDash, 200, 600, 0, 560, 0},
                     {kDot, 200, 600, 0, 560, 0}};
  for (const auto& c : cases) {
    TestEmf emf(6000, 1000);
    emf.UsePen(c.style, c.pen, kBlue);
    emf.Line(0, 500, 6000, 500);
    const MetafilePicture picture = emf.Picture();
    for (const QImage::Format format : kBothPaths) {
      const QImage image = Render(picture, {c.width, 100}, format, {c.dotsPerMm});
      int ink = 0, gap = 0, longestInk = 0, longestGap = 0;
      for (int x = 20; x < 580; ++x) {
        ink = Inked(image, {x, 50}) ? ink + 1 : 0;
        gap = Inked(image, {x, 50}) ? 0 : gap + 1;
        longestInk = std::max(longestInk, ink);
        longestGap = std::max(longestGap, gap);
      }
      SCOPED_TRACE(PathName(format) + " style " + std::to_string(c.style) + " pen " +
                   std::to_string(c.pen) + " width " + std::to_string(c.width) + " dots/mm " +
                   std::to_string(c.dotsPerMm));
      EXPECT_NEAR(longestInk, c.ink, 1);
      EXPECT_NEAR(longestGap, c.gap, 1);
    }
  }
}

TEST(DashTest, PatternRunsOnAlongAnArc) {
  // An arc becomes short chords; a pattern starting afresh on each would look solid.
  for (const QImage::Format format : kBothPaths) {
    TestEmf solid, dashed;
    dashed.UsePen(kDash, 1, 0);
    for (TestEmf* emf : {&solid, &dashed})
      emf->Arc(kBox1, kBox2, kRight, kRight);
    const QImage a = Render(solid.Picture(), {400, 400}, format);
    const QImage b = Render(dashed.Picture(), {400, 400}, format);
    const double share = static_cast<double>(InkCount(b, b.rect())) / InkCount(a, a.rect());
    EXPECT_GT(share, 0.6) << PathName(format);
    EXPECT_LT(share, 0.9) << PathName(format);
  }
}

// On paper a pen put down where it stands leaves a dot of its own width: ink reaches
// `radius` pixels from the centre and not three pixels further.
TEST(DotTest, ZeroLengthLineIsADotOfThePensWidth) {
  for (const auto& [style, width, radius] :
       {std::tuple(kSolid, 0, 0), {kDash, 0, 0}, {kSolid, 100, 4}}) {
    TestEmf emf;
    emf.UsePen(style, width, 0);  // 0.01 mm; the 200 x 200 image shows 0.1 pixel per unit
    emf.Line(1000, 1000, 1000, 1000);
    emf.Line(3000, 3000, 3000, 3000);  // beyond the image: nothing, and no harm
    const MetafilePicture picture = emf.Picture();
    for (const QImage::Format format : kBothPaths) {
      SCOPED_TRACE(PathName(format) + " style " + std::to_string(style) + " width " +
                   std::to_string(width));
      const QImage image = Render(picture, {200, 200}, format);
      EXPECT_TRUE(Inked(image, {100, 100}));
      for (const QPoint towards : {QPoint(1, 0), QPoint(0, 1), QPoint(-1, 0), QPoint(0, -1)}) {
        EXPECT_TRUE(InkNear(image, QPoint(100, 100) + towards * radius, 1));
        EXPECT_FALSE(Inked(image, QPoint(100, 100) + towards * (radius + 3)));
      }
    }
  }
}

// On a screen scaled by 1.25, 1.5 or 2 the picture is laid out in logical pixels and
// painted in the device's: exactly what an unscaled device of the same pixels shows.
TEST(PixelRatioTest, PaintsTheLogicalLayoutAtDeviceResolution) {
  TestEmf emf(2000, 1000);
  emf.UsePen(kSolid, 0, kBlue);
  emf.Line(0, 0, 1999, 999);
  emf.Line(100, 900, 1900, 900);
  emf.Arc({200, 100}, {1000, 900}, {1000, 500}, {1000, 500});
  emf.UsePen(kSolid, 50, kRed);
  emf.Line(1500, 300, 1500, 300);
  const MetafilePicture picture = emf.Picture();
  const QPointF scrolled(12, 8);  // a surface paints the part it exposes, shifted
  for (const double ratio : {1.0, 1.25, 1.5, 2.0}) {
    for (const QImage::Format format : kBothPaths) {
      const auto paint = [&](double imageRatio, double layoutScale) {
        QImage image(std::lround(200 * ratio), std::lround(100 * ratio), format);
        image.setDevicePixelRatio(imageRatio);
        return Painted(picture, image, QRectF(0, 0, 200 * layoutScale, 100 * layoutScale),
                       scrolled * layoutScale);
      };
      const QImage scaled = paint(ratio, 1);
      EXPECT_GT(InkCount(scaled, scaled.rect()), 0);
      EXPECT_EQ(scaled, paint(1, ratio)) << ratio << " " << PathName(format);
    }
  }
}

}  // namespace
}  // namespace korvid::testing
