// The pointer's read-out and the measuring tool in the real window: what the status bar
// says at known points of a plot, at each turn, zoom and scroll position, in both readings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>

#include "WindowFixture.h"
#include "app/PlotSurface.h"
#include "app/StatusLabels.h"
#include "app/ViewCommands.h"
#include "view/PlotCoordinates.h"

namespace korvid::testing {
namespace {

// A line of 5000 plotter units (125 mm) at 36.87°, and a second line that ends near it.
const char* const kLines = "IN;SP1;PU1000,1000;PD5000,4000;PU2000,500;PD2000,3500;";

class MeasureTest : public WindowFixture {
 protected:
  PlotSurface* Surface() { return form->Surface(); }
  // Where a plotter point lies on the surface, as the picture places it.
  QPointF PixelOf(PlotPoint plot) {
    const FramePlacement placement = context->drawing.Placement(context->view.Angle());
    const SurfaceView view{0, 0, static_cast<double>(Surface()->width()),
                           static_cast<double>(Surface()->height())};
    const DevicePoint point = DevicePointOf(placement, view, plot);
    return {point.x, point.y};
  }
  void Send(QEvent::Type type, QPointF at, Qt::MouseButton button,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, Surface()->mapToGlobal(at), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, modifiers);
    QApplication::sendEvent(Surface(), &event);
    QApplication::processEvents();
  }
  void Click(QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
    Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, modifiers);
  }
  QString Pointer() { return form->Readout()->Pointer()->text(); }
  QString Measured() { return form->Readout()->Measurement()->text(); }
  // The numbers of the pointer's read-out: X and Y in mm, then the plotter units.
  std::vector<double> Numbers(const QString& text) {
    std::vector<double> numbers;
    static const QRegularExpression number(QStringLiteral("-?[0-9]+(\\.[0-9]+)?"));
    for (const QRegularExpressionMatch& match : number.globalMatch(text))
      numbers.push_back(match.captured().toDouble());
    return numbers;
  }
};

TEST_F(MeasureTest, ThePointerIsReadAtEveryTurnZoomAndScroll) {
  struct Case {
    bool standard;
    int turn;  // the rotation commands' mode
    int zoomIns;
    bool scrolled;
  };
  const char* const turns[] = {"", "PlotMenu19", "PlotMenu15", "PlotMenu17", "PlotMenu16"};
  for (const Case c : {Case{false, 1, 0, false}, Case{false, 1, 2, true}, Case{false, 2, 0, false},
                       Case{false, 3, 2, true}, Case{false, 4, 0, false}, Case{true, 1, 0, false},
                       Case{true, 2, 2, true}, Case{true, 4, 0, false}}) {
    SCOPED_TRACE(::testing::Message()
                 << "standard " << c.standard << ", turn " << c.turn << ", zoomed in " << c.zoomIns
                 << ", scrolled " << c.scrolled);
    context->Hpgl2Reading = c.standard;
    Load(Fixture("lines.hpg", kLines));
    Trigger(turns[c.turn]);
    for (int i = 0; i < c.zoomIns; ++i)
      Trigger("Button7");
    if (c.scrolled) {
      const QRect before = Surface()->VisiblePart();
      QTest::keyClick(Surface(), Qt::Key_Down);
      QTest::keyClick(Surface(), Qt::Key_Right);
      QApplication::processEvents();
      ASSERT_NE(Surface()->VisiblePart(), before);
    }
    // A point of the drawing in sight.
    PlotPoint target{-1, -1};
    const QRect inSight = Surface()->VisiblePart().adjusted(2, 2, -2, -2);
    for (double x = 1000; x <= 5000 && target.x < 0; x += 50) {
      for (double y = 500; y <= 4000 && target.x < 0; y += 50) {
        if (inSight.contains(PixelOf({x, y}).toPoint())) target = {x, y};
      }
    }
    ASSERT_GE(target.x, 0) << "no part of the drawing in sight";
    const QPointF at = PixelOf(target);
    Send(QEvent::MouseMove, at, Qt::NoButton);
    const std::vector<double> numbers = Numbers(Pointer());
    ASSERT_EQ(numbers.size(), 4u) << Pointer().toStdString();
    // Within a pixel of the drawing at the size shown.
    const double mmPerPixel = 150.0 / std::min(Surface()->width(), Surface()->height());
    EXPECT_NEAR(numbers[0], target.x / 40, mmPerPixel);
    EXPECT_NEAR(numbers[1], target.y / 40, mmPerPixel);
    EXPECT_NEAR(numbers[2], target.x, mmPerPixel * 40);
    EXPECT_NEAR(numbers[3], target.y, mmPerPixel * 40);
  }
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(Surface(), &leave);
  EXPECT_TRUE(Pointer().isEmpty()) << "the read-out goes with the pointer";
}

TEST_F(MeasureTest, TheFilesOwnUnitsAreReadInTheStandardReading) {
  context->Hpgl2Reading = true;
  Load(Fixture("scaled.hpg", "IN;IP0,0,4000,4000;SC0,100,0,100;PU0,0;PD100,100;"));
  Send(QEvent::MouseMove, PixelOf({2000, 2000}), Qt::NoButton);
  const QString text = Pointer();
  ASSERT_TRUE(text.contains(QStringLiteral("ユーザー単位"))) << text.toStdString();
  const std::vector<double> numbers = Numbers(text.section(QStringLiteral("ユーザー単位"), 1));
  ASSERT_EQ(numbers.size(), 2u);
  EXPECT_NEAR(numbers[0], 50, 1);
  EXPECT_NEAR(numbers[1], 50, 1);
  context->Hpgl2Reading = false;
  Load(Fixture("scaled.hpg", "IN;IP0,0,4000,4000;SC0,100,0,100;PU0,0;PD100,100;"));
  Send(QEvent::MouseMove, PixelOf({50, 50}), Qt::NoButton);
  EXPECT_FALSE(Pointer().contains(QStringLiteral("ユーザー単位"))) << "Korvid's own has none";
}

TEST_F(MeasureTest, TwoClicksNearTheEndsMeasureTheLineAtEveryTurn) {
  const QString exact =
      QStringLiteral("距離 125.00 mm（5000 単位）  ΔX 100.00 mm  ΔY 75.00 mm  角度 36.87°");
  const char* const turns[] = {"PlotMenu19", "PlotMenu15", "PlotMenu17", "PlotMenu16"};
  for (const bool standard : {false, true}) {
    for (const char* turn : turns) {
      SCOPED_TRACE(::testing::Message() << "standard " << standard << ", " << turn);
      context->Hpgl2Reading = standard;
      Load(Fixture("lines.hpg", kLines));
      Trigger(turn);
      const auto metafileTime = std::filesystem::last_write_time(context->metafile.File().Path());
      const BoxMm band = context->band.Shape;
      Trigger("Measure");
      EXPECT_TRUE(form->View().Measuring().Measuring());
      EXPECT_FALSE(Measured().isEmpty()) << "the first step is said";
      // A few pixels beside each end: the clicks snap to them.
      Click(PixelOf({1000, 1000}) + QPointF(3, -2));
      Click(PixelOf({5000, 4000}) + QPointF(-2, 3));
      EXPECT_EQ(Measured(), exact);
      EXPECT_EQ(Surface()->MeasureLabel(), QStringLiteral("125.00 mm")) << "also on the drawing";
      EXPECT_EQ(form->Readout()->Measurement()->isVisible(), true);
      EXPECT_EQ(context->band.Shape.Left, band.Left) << "the band stays as it was";
      EXPECT_EQ(std::filesystem::last_write_time(context->metafile.File().Path()), metafileTime);
      EXPECT_TRUE(dialogs.menusOpened == 0) << "a measuring click opens no menu";

      // Shift: the points are where the clicks are.
      Click(PixelOf({1000, 1000}) + QPointF(3, -2), Qt::ShiftModifier);
      Click(PixelOf({5000, 4000}) + QPointF(-2, 3), Qt::ShiftModifier);
      EXPECT_NE(Measured(), exact);
      EXPECT_TRUE(Measured().startsWith(QStringLiteral("距離 12"))) << Measured().toStdString();

      QTest::keyClick(Surface(), Qt::Key_Escape);
      EXPECT_FALSE(form->View().Measuring().Measuring());
      EXPECT_TRUE(Measured().isEmpty());
      EXPECT_TRUE(Surface()->MeasureLabel().isEmpty());
      Click(PixelOf({1000, 1000}));
      EXPECT_EQ(dialogs.menusOpened, 1) << "after Esc the left button is the menu's again";
      dialogs.menusOpened = 0;
    }
  }
}

}  // namespace
}  // namespace korvid::testing
