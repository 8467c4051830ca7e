// What the window shows is what a fresh drawing of the view gives, however it got there:
// scroll steps that move the pixels already drawn and draw the strip they uncover, zooms,
// the wheel's zoom gesture and panning, in both readings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <sstream>

#include "WindowFixture.h"
#include "app/PlotSurface.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

// Lines in every direction, dashed and solid, in several pens, and circles: enough that
// a strip drawn at a wrong place or a pixel moved the wrong way shows. The standard reading
// draws its pens wide and fills the rectangles.
std::string BusyPlot() {
  std::ostringstream plot;
  plot << "IN;";
  for (int i = 0; i < 60; ++i) {
    plot << "SP" << 1 + i % 6 << ";LT" << (i % 3 == 0 ? "2" : "") << ";PW" << 0.1 + (i % 4) * 0.2
         << ";PU" << (i * 131) % 8000 << "," << (i * 71) % 4000 << ";PD" << (i * 977) % 8000 << ","
         << (i * 389) % 4000 << "," << (i * 613) % 8000 << "," << (i * 223) % 4000 << ";";
    if (i % 5 == 0) plot << "CI" << 150 + i * 7 << ";";
    if (i % 9 == 0)
      plot << "PA" << (i * 53) % 7000 << "," << (i * 29) % 3500 << ";RA" << (i * 53) % 7000 + 300
           << "," << (i * 29) % 3500 + 200 << ";";
  }
  plot << "PU0,0;PD8000,0,8000,4000,0,4000,0,0;";
  return plot.str();
}

// Qt rasterises a wide line with flat or square ends from its ends cut to the painted
// area, so the same line painted into areas placed differently may come out a pixel apart
// here and there along its edges. Such a pixel takes the colour of a neighbour in the fresh
// drawing; anything else (a strip in the wrong place, pixels moved the wrong way) does not.
constexpr int kEdgePixelsPerMillion = 40;

bool OfANeighbour(const QImage& image, int x, int y, QRgb colour) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      if (image.rect().contains(x + dx, y + dy) && image.pixel(x + dx, y + dy) == colour)
        return true;
    }
  }
  return false;
}

// Empty when the two images are the same, but for at most `edgePerMillion` pixels in a
// million taking a neighbour's colour; else how they differ.
std::string Difference(const QImage& shown, const QImage& fresh, int edgePerMillion) {
  if (shown.size() != fresh.size()) {
    return "size " + std::to_string(shown.width()) + "x" + std::to_string(shown.height()) +
           " against " + std::to_string(fresh.width()) + "x" + std::to_string(fresh.height());
  }
  int differing = 0;
  int edge = 0;
  QPoint first;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixel(x, y) == fresh.pixel(x, y)) continue;
      if (OfANeighbour(fresh, x, y, shown.pixel(x, y))) {
        ++edge;
        continue;
      }
      if (differing++ == 0) first = QPoint(x, y);
    }
  }
  const double allowed = static_cast<double>(shown.width()) * shown.height() * edgePerMillion / 1e6;
  if (differing == 0 && edge <= allowed) return {};
  return std::to_string(differing) + " pixels differ, the first at " + std::to_string(first.x()) +
         "," + std::to_string(first.y()) + ", and " + std::to_string(edge) + " along edges";
}

class ShownPixelsTest : public WindowFixture, public ::testing::WithParamInterface<bool> {
 protected:
  PlotSurface* Surface() { return form->Surface(); }

  // The surface's part in sight as the screen has it: from the window's own pixels.
  QImage OnScreen() {
    QApplication::processEvents();
    const QRect visible = Surface()->VisiblePart();
    const QPoint at = Surface()->mapTo(form.get(), visible.topLeft());
    return form->screen()
        ->grabWindow(form->winId(), at.x(), at.y(), visible.width(), visible.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
  QImage Afresh() {
    return Surface()->RenderRegion(Surface()->VisiblePart()).convertToFormat(QImage::Format_RGB32);
  }
  void Wheel(int angle, Qt::KeyboardModifiers modifiers) {
    const QPointF local = Surface()->mapFrom(form->Viewport(), QPoint(260, 170));
    QWheelEvent event(local, Surface()->mapToGlobal(local), {}, QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Surface(), &event);
    QApplication::processEvents();
  }
  void Drag(QPoint by) {
    const QPoint from = form->Viewport()->mapToGlobal(QPoint(200, 150));
    for (const auto& [type, to] :
         {std::pair{QEvent::MouseButtonPress, from}, std::pair{QEvent::MouseMove, from + by},
          std::pair{QEvent::MouseButtonRelease, from + by}}) {
      const QPointF local = Surface()->mapFromGlobal(QPointF(to));
      QMouseEvent event(
          type, local, QPointF(to), type == QEvent::MouseMove ? Qt::NoButton : Qt::MiddleButton,
          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton, Qt::NoModifier);
      QApplication::sendEvent(Surface(), &event);
    }
  }
  double Drawn() { return Surface()->Shown().DrawnPixels(); }
  // The shown part of the surface against a fresh drawing of it; Korvid's own reading
  // draws its lines with no such rounding.
  std::string Fresh() {
    return Difference(OnScreen(), Afresh(), GetParam() ? kEdgePixelsPerMillion : 0);
  }
};

TEST_P(ShownPixelsTest, TheScreenShowsAFreshDrawingAfterEveryStep) {
  settings.ColorMode = 1;
  context->Hpgl2Reading = GetParam();
  Load(Fixture("busy.hpg", BusyPlot()));
  ASSERT_FALSE(Surface()->Picture().IsNull());
  EXPECT_EQ(Fresh(), "") << "fitted";
  Trigger("Button7");
  Trigger("Button7");
  EXPECT_EQ(Fresh(), "") << "zoomed in twice";

  // Each scroll step draws no more than the strip it uncovers.
  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"down", [&] { QTest::keyClick(Surface(), Qt::Key_Down); }},
      {"right", [&] { QTest::keyClick(Surface(), Qt::Key_Right); }},
      {"wheel down", [&] { Wheel(-120, Qt::NoModifier); }},
      {"wheel across", [&] { Wheel(-120, Qt::ShiftModifier); }},
      {"pan both ways", [&] { Drag(QPoint(-37, -23)); }},
      {"up", [&] { QTest::keyClick(Surface(), Qt::Key_Up); }},
      {"pan back", [&] { Drag(QPoint(41, 29)); }},
  };
  for (const Step& step : steps) {
    const QRect before = Surface()->VisiblePart();
    const double drawnBefore = Drawn();
    step.act();
    const std::string difference = Fresh();
    const QRect after = Surface()->VisiblePart();
    ASSERT_NE(after, before) << step.name << ": the step moved nothing";
    EXPECT_EQ(difference, "") << step.name;
    const QRegion uncovered = QRegion(after).subtracted(QRegion(before));
    double strip = 0;
    for (const QRect& part : uncovered)
      strip += static_cast<double>(part.width()) * part.height();
    EXPECT_LE(Drawn() - drawnBefore, strip) << step.name << ": more than the strip was drawn";
  }

  // Notch after notch shows at once, scaled, where the view takes long to draw; the drawing
  // follows when the wheel rests, or at once when another command comes.
  Surface()->SetQuickDraw(0);
  for (int notch = 0; notch < 3; ++notch)
    Wheel(120, Qt::ControlModifier);
  EXPECT_TRUE(Surface()->InZoomGesture());
  EXPECT_TRUE(Surface()->Shown().IsPreview());
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Surface()->InZoomGesture(); }, 5000));
  EXPECT_EQ(Fresh(), "") << "after the wheel's gesture";
  EXPECT_FALSE(Surface()->Shown().IsPreview());
  Wheel(-120, Qt::ControlModifier);
  QTest::keyClick(Surface(), Qt::Key_End);
  EXPECT_EQ(Fresh(), "") << "to the far corner, during a gesture";
  Trigger("Button8");
  EXPECT_FALSE(Surface()->InZoomGesture()) << "a command of its own ends the gesture";
  EXPECT_EQ(Fresh(), "") << "zoomed out";
  form->resize(700, 500);
  EXPECT_EQ(Fresh(), "") << "a smaller window";
  Trigger("PlotMenu15");
  EXPECT_EQ(Fresh(), "") << "turned right";
}

INSTANTIATE_TEST_SUITE_P(Readings, ShownPixelsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Standard" : "Own"; });

}  // namespace
}  // namespace korvid::testing
