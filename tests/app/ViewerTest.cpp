// The window as a viewer is used all day: resizing, the wheel, panning, the keys, the zoom
// level and the reading's notice that stays, with its details.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cmath>

#include "WindowFixture.h"
#include "app/PageSetupDialog.h"
#include "app/PlotSurface.h"
#include "app/ReadingDetails.h"
#include "app/ReadingPanel.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

// Counts the surface's resizes: each is a new size to paint the drawing at.
class ResizeCounter : public QObject {
 public:
  int resizes = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    resizes += event->type() == QEvent::Resize;
    return false;
  }
};

class ViewerTest : public WindowFixture {
 protected:
  QWidget* Surface() { return form->Surface(); }
  QWidget* Viewport() { return form->Viewport(); }
  // Where the surface's point at fraction (fx, fy) of its size shows, in the viewport.
  QPointF Showing(QPointF fraction) {
    const QRect s = Surface()->geometry();
    return QPointF(s.left() + fraction.x() * s.width(), s.top() + fraction.y() * s.height());
  }
  QPointF FractionAt(QPointF viewportPx) {
    const QRect s = Surface()->geometry();
    return QPointF((viewportPx.x() - s.left()) / s.width(),
                   (viewportPx.y() - s.top()) / s.height());
  }
  void Wheel(QPointF viewportPx, int angle, Qt::KeyboardModifiers modifiers) {
    const QPointF local = viewportPx - Surface()->pos();
    QWheelEvent event(local, Surface()->mapToGlobal(local), {}, QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Surface(), &event);
  }
  // A mouse event at a place of the screen: the surface moves under a dragging pointer.
  void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint global) {
    const QPointF local = Surface()->mapFromGlobal(QPointF(global));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, local, QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(Surface(), &event);
  }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    Mouse(QEvent::MouseButtonPress, button, from);
    Mouse(QEvent::MouseMove, button, (from + to) / 2);
    Mouse(QEvent::MouseMove, button, to);
    Mouse(QEvent::MouseButtonRelease, button, to);
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Surface(), static_cast<Qt::Key>(key), modifiers);
  }
  QString Zoom() { return form->Readout()->Zoom()->text(); }
  // Four times the fitted size, the way the toolbar zooms.
  void LoadAtFourTimes() {
    LoadRectangle();
    Trigger("Button7");
    Trigger("Button7");
  }
};

// Whatever the window's size, a zoomed drawing keeps its zoom, lies above the status bar, and
// its far corner comes into view at the viewport's edge.
TEST_F(ViewerTest, ResizingKeepsTheZoomAndEveryCornerReachable) {
  LoadAtFourTimes();
  const QSize zoomed = Surface()->size();
  Key(Qt::Key_PageDown);
  const QPoint corner = Surface()->pos();
  const float x = context->view.ScrollX(), y = context->view.ScrollY();
  for (const QSize window : {QSize(1270, 1000), QSize(640, 480), QSize(900, 650)}) {
    form->resize(window);
    QApplication::processEvents();
    const QRect status = form->Status()->geometry();
    EXPECT_EQ(Surface()->size(), zoomed) << window.width();
    EXPECT_LE(Viewport()->geometry().bottom(), status.top()) << window.width();
    for (QScrollBar* bar : {form->VScroll(), form->HScroll()}) {
      EXPECT_TRUE(bar->isVisible()) << window.width();
      EXPECT_LT(bar->geometry().bottom(), status.top()) << window.width();
    }
    if (window.width() == 900) {
      EXPECT_EQ(Surface()->pos(), corner) << "the corner is kept";
    }
    Key(Qt::Key_End);
    EXPECT_NEAR(Surface()->geometry().right(), Viewport()->width() - 1, 1) << window.width();
    EXPECT_NEAR(Surface()->geometry().bottom(), Viewport()->height() - 1, 1) << window.width();
    Key(Qt::Key_Home);
    EXPECT_EQ(Surface()->pos(), QPoint(0, 0));
    context->view.ScrollTo(form->Metrics(), x, y);
    form->ApplyView();
  }
  Trigger("Button9");  // fitted, then grown: no bar is left over
  form->resize(1270, 1000);
  QApplication::processEvents();
  EXPECT_FALSE(form->VScroll()->isVisible() || form->HScroll()->isVisible());
  Trigger("Button7");  // resized during the preview: laid out once the view is back
  Trigger("preview");
  form->resize(640, 480);
  QApplication::processEvents();
  Trigger("Command3");
  EXPECT_LE(Viewport()->geometry().bottom(), form->Status()->geometry().top());
  EXPECT_TRUE(form->VScroll()->isVisible() && form->HScroll()->isVisible());
}

// Ctrl+wheel keeps the plot point under the pointer within a pixel; the notches of one pass
// of the event loop give one new size. The wheel alone scrolls a few lines a notch.
TEST_F(ViewerTest, CtrlWheelZoomsAboutThePointerOnceForAllNotchesGathered) {
  LoadAtFourTimes();
  const QString before = Zoom();
  ResizeCounter counter;
  Surface()->installEventFilter(&counter);
  const QPointF pointer(301.5, 222.25);
  const QPointF fraction = FractionAt(pointer);
  for (int notch = 0; notch < 3; ++notch)
    Wheel(pointer, 120, Qt::ControlModifier);
  EXPECT_EQ(counter.resizes, 0) << "nothing changes before the event loop runs";
  QApplication::processEvents();
  EXPECT_EQ(counter.resizes, 1);
  const QPointF now = Showing(fraction);
  EXPECT_NEAR(now.x(), pointer.x(), 1);
  EXPECT_NEAR(now.y(), pointer.y(), 1);
  const double ratio = Zoom().mid(5).chopped(1).toDouble() / before.mid(5).chopped(1).toDouble();
  EXPECT_NEAR(ratio, std::pow(1.25, 3), 0.01) << Zoom().toStdString();
  EXPECT_TRUE(Zoom().startsWith("表示倍率 ") && Zoom().endsWith("%"));
  Wheel(pointer, -120, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_NEAR(Showing(fraction).x(), pointer.x(), 1);

  const QPoint top = Surface()->pos();
  Wheel(pointer, -120, Qt::NoModifier);  // towards the user: down the drawing
  QApplication::processEvents();
  const double lines = QApplication::wheelScrollLines() * 20;
  EXPECT_NEAR(top.y() - Surface()->pos().y(), lines, 1);
  Wheel(pointer, -120, Qt::ShiftModifier);
  QApplication::processEvents();
  EXPECT_NEAR(top.x() - Surface()->pos().x(), lines, 1);

  for (int notch = 0; notch < 40; ++notch)
    Wheel(pointer, 120, Qt::ControlModifier);
  QApplication::processEvents();
  Wheel(pointer, 120, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(Zoom(), "これ以上拡大できません") << "the limit is said";
  EXPECT_LE(context->view.Picture3.Width, 4334);
}

// A middle drag, and a left drag with Space held, move the drawing with the pointer; a left
// click alone still opens the context menu.
TEST_F(ViewerTest, PanningMovesTheDrawingByTheDrag) {
  LoadAtFourTimes();
  Key(Qt::Key_PageDown);
  const QPoint start = Surface()->pos();
  const QPoint at = Viewport()->mapToGlobal(QPoint(200, 150));
  Drag(Qt::MiddleButton, at, at + QPoint(-57, -33));
  EXPECT_NEAR(Surface()->pos().x(), start.x() - 57, 1);
  EXPECT_NEAR(Surface()->pos().y(), start.y() - 33, 1);
  QTest::keyPress(Surface(), Qt::Key_Space);
  Drag(Qt::LeftButton, at, at + QPoint(40, 20));
  QTest::keyRelease(Surface(), Qt::Key_Space);
  EXPECT_NEAR(Surface()->pos().x(), start.x() - 17, 1);
  EXPECT_NEAR(Surface()->pos().y(), start.y() - 13, 1);
  EXPECT_EQ(dialogs.menusOpened, 0);
  EXPECT_FALSE(context->band.Visible);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
  EXPECT_EQ(dialogs.menusOpened, 1);
}

// Pages less a margin, the edges, + and - about the middle of the view, the menu from the
// keyboard, and the band's region zoomed to fill the view.
TEST_F(ViewerTest, KeysPageZoomAndOpenTheMenu) {
  LoadAtFourTimes();
  const int shown = Viewport()->height();
  Key(Qt::Key_PageDown);
  EXPECT_NEAR(-Surface()->pos().y(), shown * 0.9, 2);
  Key(Qt::Key_PageDown, Qt::ShiftModifier);
  EXPECT_NEAR(-Surface()->pos().x(), Viewport()->width() * 0.9, 2);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Surface()->pos().y(), 0);
  const QPointF middle(Viewport()->width() / 2.0, Viewport()->height() / 2.0);
  const QPointF fraction = FractionAt(middle);
  const int width = Surface()->width();
  Key(Qt::Key_Plus);
  EXPECT_NEAR(Surface()->width(), 2 * width, 1);
  EXPECT_NEAR(Showing(fraction).x(), middle.x(), 1);
  EXPECT_NEAR(Showing(fraction).y(), middle.y(), 1);
  Key(Qt::Key_Minus);
  EXPECT_NEAR(Surface()->width(), width, 1);
  Key(Qt::Key_Menu);
  Key(Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_EQ(dialogs.menusOpened, 2);
  EXPECT_FALSE(form->Action("ZoomToSelection")->isEnabled()) << "no band to zoom to";

  ViewCommands& view = form->View();
  view.MousePressed(2, QPointF(1000, 600));
  view.MouseMoved(2, QPointF(1400, 700));
  view.MouseReleased(2, QPointF(1400, 700));
  const BoxMm band = context->band.Shape;
  Trigger("ZoomToSelection");
  const double factor = context->band.Shape.Width / band.Width;
  EXPECT_GT(factor, 2);
  EXPECT_FLOAT_EQ(context->band.Shape.Height / band.Height, factor) << "the band follows";
  const QRectF onScreen(Surface()->pos() + QPointF(form->Scale().Px(context->band.Shape.Left),
                                                   form->Scale().Px(context->band.Shape.Top)),
                        QSizeF(form->Scale().Px(context->band.Shape.Width),
                               form->Scale().Px(context->band.Shape.Height)));
  EXPECT_NEAR(onScreen.center().x(), Viewport()->width() / 2.0, 2);
  EXPECT_NEAR(onScreen.center().y(), Viewport()->height() / 2.0, 2);
  EXPECT_NEAR(onScreen.width(), Viewport()->width(), 2) << "the wider side fills the view";
  Trigger("Button8");
  Trigger("Button8");
  for (int i = 0; i < 12; ++i)
    Trigger("Button8");
  EXPECT_EQ(Zoom(), "これ以上縮小できません") << "the toolbar's limit is said too";
}

// The notice stays, elided in a narrow window but whole in its tooltip, for screen readers and
// in its details, which list every instruction skipped with its count and first place.
TEST_F(ViewerTest, ReadingNoticeStaysAndItsDetailsListEveryInstructionSkipped) {
  const std::string plot = "IN;SP1;PU0,0;PD4000,2000;LB1\x03;VS5;\r\nLB2\x03;PA9,9,\r\nXY1,;";
  Load(Fixture("skips.hpg", plot));
  const QString notice = form->NoticePanel()->text();
  EXPECT_EQ(notice, "未対応のコマンド4個を読み飛ばしました（LB×2, VS×1, XY×1）");
  EXPECT_EQ(form->NoticePanel()->toolTip(), notice);
  EXPECT_EQ(form->Status()->accessibleName(), notice);
  form->resize(480, 400);
  QApplication::processEvents();
  EXPECT_TRUE(form->NoticePanel()->ShownText().endsWith("…"));
  EXPECT_FALSE(form->ReadingStatus()->OfferReason()->ShownText().isEmpty()) << "both give way";
  Trigger("Button7");  // a zoom step's notice comes and goes; the reading's stays
  for (int i = 0; i < 12; ++i)
    Trigger("Button7");
  EXPECT_TRUE(Zoom().startsWith("これ以上"));
  QTest::qWait(61000);
  EXPECT_EQ(form->NoticePanel()->text(), notice) << "still there after a minute";
  EXPECT_TRUE(Zoom().startsWith("表示倍率"));

  QTest::mouseClick(form->NoticePanel(), Qt::LeftButton, {}, QPoint(5, 5));
  ReadingDetails* details = form->OpenReadingDetails();
  ASSERT_TRUE(details != nullptr && details->isVisible());
  const auto rows = [details] {
    QStringList lines;
    QTreeWidget* list = details->Instructions();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = list->topLevelItem(i);
      lines << item->text(0) + " " + item->text(1) + " @" + item->text(2) + " " + item->text(3);
    }
    return lines;
  };
  const auto at = [&plot](const char* text) { return QString::number(plot.find(text)); };
  EXPECT_EQ(rows(), QStringList({"LB 2 @" + at("LB1") +
                                     " 読み飛ばしました（HP-GL/2 として読み込めば描けます）",
                                 "VS 1 @" + at("VS") + " 読み飛ばしました",
                                 "XY 1 @" + at("XY") + " 読み飛ばしました"}));
  EXPECT_EQ(details->Notice()->text(), notice);

  form->Action(kHpgl2ReadingAction)->trigger();  // the details follow the new read
  EXPECT_EQ(rows(), QStringList({"XY 1 @" + at("XY") + " 未対応のため読み飛ばしました",
                                 "VS 1 @" + at("VS") + " 図形に影響しないため無視しました"}));
  Load(Fixture("plain.hpg", kRectangle));
  EXPECT_TRUE(form->NoticePanel()->text().isEmpty() && rows().isEmpty());
}

// Screen readers find the drawing, the zoom level and every field of page set-up by name.
TEST_F(ViewerTest, TheDrawingAndTheFieldsHaveNames) {
  LoadRectangle();
  EXPECT_EQ(Surface()->accessibleName(), "作図領域");
  EXPECT_TRUE(form->Readout()->Zoom()->accessibleName().startsWith("表示倍率 "));
  QPrinter printer;
  PageSetupDialog setup(printer, {}, {});  // no printers: the same on every machine
  QStringList names;
  for (QWidget* field : setup.findChildren<QWidget*>()) {
    if (qobject_cast<QComboBox*>(field) || qobject_cast<QLineEdit*>(field) ||
        qobject_cast<QSpinBox*>(field))
      names << field->accessibleName();
  }
  names.removeAll({});  // the parts Qt builds inside a spin box
  names.sort();
  EXPECT_EQ(names, QStringList({"プリンタ", "両面印刷", "出力ファイル", "用紙サイズ", "部数"}));
}

}  // namespace
}  // namespace korvid::testing
