// The real main window, offscreen, driven through scripted dialogs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "WindowFixture.h"
#include "app/ColorForm.h"
#include "app/OptionForm.h"
#include "app/OutputCommands.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ProgressPanel.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public WindowFixture {};

const char* const kRectangle = "IN;SP1;PU0,0;PD200,0,200,100,0,100,0,0;";

TEST_F(MainWindowTest, StartsWithNoDrawing) {
  Start();
  EXPECT_FALSE(form->Surface()->isVisible());
  EXPECT_FALSE(form->VScroll()->isVisible());
  EXPECT_FALSE(form->HScroll()->isVisible());
  EXPECT_EQ(form->StatusPanel1()->text(), "Korvid 1.0.0");
  EXPECT_EQ(form->windowTitle(), "Korvid");
  EXPECT_EQ(dialogs.dialogsShown, 1) << "the colour question";
  EXPECT_EQ(context->OpenPattern, "*.hpg;*.hgl");
  EXPECT_EQ(form->Viewport()->geometry().top(), form->MainToolbar()->height());
}

TEST_F(MainWindowTest, ColourQuestionAnswers) {
  Start();  // OK without touching: black and white
  EXPECT_EQ(settings.ColorMode, 0);
  Start([](QDialog& dialog) {
    auto& colour = static_cast<ColorForm&>(dialog);
    EXPECT_TRUE(colour.Option1()->isChecked()) << "black and white is preselected";
    colour.Option2()->setChecked(true);
    colour.ClickOk();
  });
  EXPECT_EQ(settings.ColorMode, 1);
  Start([](QDialog& dialog) { dialog.reject(); });  // the close box
  EXPECT_EQ(settings.ColorMode, 1);
}

TEST_F(MainWindowTest, LoadShowsTheDrawingFitted) {
  Start();
  Load(Fixture("plots/rect.hpg", kRectangle));
  EXPECT_EQ(model->PlotDir, (folder / "plots").string() + "/");
  EXPECT_EQ(model->PlotFileName, "rect.hpg");
  EXPECT_EQ(model->SegCount[1], 4);
  const QRect surface = form->Surface()->geometry();
  EXPECT_TRUE(form->Surface()->isVisible());
  EXPECT_EQ(surface.topLeft(), QPoint(0, 0));
  EXPECT_NEAR(static_cast<double>(surface.width()) / surface.height(), 2.0, 0.02);
  EXPECT_EQ(form->Viewport()->size(), surface.size());
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  EXPECT_FALSE(form->VScroll()->isVisible() || form->HScroll()->isVisible());
  EXPECT_FALSE(form->Progress()->isVisible()) << "the progress panel goes after the load";
  EXPECT_EQ(context->view.RotationMode, 1);
  EXPECT_EQ(settings.AdjustDisplayOff, 1);
  ASSERT_EQ(form->WindowMenu()->actions().size(), 1);
  EXPECT_EQ(form->WindowMenu()->actions().first()->text(), "PLOT No.1");
}

TEST_F(MainWindowTest, SecondOpenStartsInTheFirstFilesFolder) {
  Start();
  Load(Fixture("a/one.hpg", kRectangle));
  Load(Fixture("b/two.hpg", kRectangle));
  ASSERT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].directory, "");
  EXPECT_EQ(dialogs.openRequests[1].directory,
            QString::fromStdString((folder / "a").string() + "/"));
  EXPECT_EQ(dialogs.openRequests[0].title, "ＨＰＧＬファイルを開く");
  ASSERT_EQ(dialogs.openRequests[0].filters.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].filters[0].caption, "ＨＰＧＬデータファイル(*.hpg;*.hgl)");
  EXPECT_EQ(dialogs.openRequests[0].filters[1].caption, "すべて(*.*)");
  EXPECT_EQ(form->WindowMenu()->actions().size(), 1);
}

TEST_F(MainWindowTest, CancelKeepsTheDrawing) {
  Start();
  Load(Fixture("rect.hpg", kRectangle));
  const QRect before = form->Surface()->geometry();
  Load("");  // cancelled
  EXPECT_EQ(model->PlotFileName, "rect.hpg");
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  EXPECT_EQ(form->Surface()->geometry(), before);
}

TEST_F(MainWindowTest, ReadProblemsAreToldAndLeaveNothingOld) {
  Start();
  Load(Fixture("partial.hpg", "PU0,0;PD10,10;LB1;SP;PD5,5;"));
  EXPECT_TRUE(form->NoticePanel()->text().contains("Err=13"))
      << form->NoticePanel()->text().toStdString();
  EXPECT_TRUE(form->NoticePanel()->text().contains("LB×1"));
  Load(Fixture("dot.hpg", "PU5,5;PD5,5;"));  // no extent: ends quietly
  EXPECT_TRUE(form->Surface()->Picture().IsNull());
  EXPECT_FALSE(fs::exists(metafile->Path())) << "the old drawing must not return on a zoom";
  Load(Fixture("noterm.hpg", "IN\r\nPU0,0\r\nPD10,10\r\n"));
  EXPECT_EQ(dialogs.messages, std::vector<QString>{"設定済みのﾀｰﾐﾈｰﾀがありません"});
  EXPECT_TRUE(form->Surface()->Picture().IsNull());
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(MainWindowTest, WhatCannotBeReadIsToldInTheStatusBar) {
  Start();
  const std::string huge = Fixture("huge.hpg", "");
  fs::resize_file(huge, std::uintmax_t{3} << 30);    // sparse: nothing is stored
  const std::string fifo = Fixture("fifo.hpg", "");  // a FIFO without a writer
  fs::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* notice;
  } cases[] = {{huge, "ファイルが大きすぎるため読み込めませんでした（上限512MiB）"},
               {"/dev/zero", "ファイルではない（デバイスなど）ため読み込めませんでした"},
               {fifo, "ファイルではない（デバイスなど）ため読み込めませんでした"}};
  for (const auto& c : cases) {
    Load(c.path);
    EXPECT_EQ(form->NoticePanel()->text().toStdString(), c.notice);
    EXPECT_TRUE(form->Surface()->Picture().IsNull());
  }
}

TEST_F(MainWindowTest, FailuresAreReportedAndTheProgramGoesOn) {
  Start();
  form->ShowErrorMessage(9);
  form->RunGuarded([] { throw RuntimeError(480); });
  form->RunGuarded([] { throw std::bad_alloc(); });
  ASSERT_EQ(dialogs.warnings.size(), 3u);
  EXPECT_TRUE(dialogs.warnings[0].startsWith("インデックスが有効範囲にありません(Err=9)"));
  EXPECT_TRUE(dialogs.warnings[1].startsWith("メモリが不足しています。(Err=480)"));
  EXPECT_EQ(dialogs.warnings[2], "メモリが足りません(Err=7)");
}

TEST_F(MainWindowTest, OptionFormShowsTheSettingsBeforeAndAfterALoad) {
  Start();
  Trigger("PlotMenu31");
  OptionForm* options = form->OpenOptionForm();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->Option1()->isChecked());
  EXPECT_TRUE(options->Option3()->isChecked());
  options->Option4()->setChecked(true);
  options->ClickOk();
  QApplication::processEvents();
  EXPECT_EQ(settings.RangeFrameOff, 1);
  Load(Fixture("rect.hpg", kRectangle));
  Trigger("PlotMenu31");
  options = form->OpenOptionForm();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->Option2()->isChecked()) << "a load turns the adjusting display OFF";
  EXPECT_TRUE(options->Option4()->isChecked());
  Trigger("PlotMenu31");
  EXPECT_EQ(form->OpenOptionForm(), options) << "showing it again brings the same one forward";
}

TEST_F(MainWindowTest, RotationRefitsAndHidesTheScrollBars) {
  Start();
  Load(Fixture("rect.hpg", kRectangle));
  Trigger("Button7");
  Trigger("Button7");
  EXPECT_TRUE(form->VScroll()->isVisible() || form->HScroll()->isVisible());
  const QSize wide = form->Surface()->Picture().Frame().size();
  Trigger("PlotMenu15");  // turned right
  EXPECT_FALSE(form->VScroll()->isVisible() || form->HScroll()->isVisible());
  EXPECT_FALSE(form->Progress()->isVisible());
  EXPECT_EQ(context->view.RotationMode, 2);
  const QSize turned = form->Surface()->Picture().Frame().size();
  EXPECT_EQ(turned, wide.transposed());
  EXPECT_LT(form->Surface()->width(), form->Surface()->height());
  Trigger("Button7");  // a zoom reloads the turned picture
  EXPECT_EQ(form->Surface()->Picture().Frame().size(), turned);
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(MainWindowTest, RightDragCapturesWhatTheSurfaceShows) {
  Start();
  Load(Fixture("rect.hpg", kRectangle));
  ViewCommands& view = form->View();
  view.MousePressed(2, QPointF(10, 10));
  view.MouseMoved(2, QPointF(120, 70));
  view.MouseReleased(2, QPointF(120, 70));
  const QImage& captured = view.Picture2();
  ASSERT_FALSE(captured.isNull());
  const BoxMm& band = context->band.Shape;
  const MillimetreScale& scale = form->Scale();
  EXPECT_EQ(captured.size(), QSize(scale.Px(band.Width), scale.Px(band.Height)));
  form->Surface()->SetBand(false, {});  // the capture is the drawing without the band
  const QImage whole = form->Surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect region(scale.Px(band.Left), scale.Px(band.Top), captured.width(), captured.height());
  EXPECT_TRUE(captured.convertToFormat(QImage::Format_RGB32) == whole.copy(region));
  view.MousePressed(2, QPointF(10, 10));  // a click without moving selects nothing
  view.MouseReleased(2, QPointF(10, 10));
  EXPECT_FALSE(context->band.Visible);
}

TEST_F(MainWindowTest, LeftButtonOpensTheContextMenu) {
  Start();
  Load(Fixture("rect.hpg", kRectangle));
  form->View().MousePressed(1, QPointF(10, 10));
  EXPECT_EQ(dialogs.menusOpened, 1);
  QStringList captions;
  for (QAction* action : form->ContextMenu()->actions())
    captions << action->text();
  EXPECT_EQ(captions,
            QStringList({"ノーマル（０°）表示", "右９０°回転表示", "左９０°回転表示",
                         "１８０°回転表示", "", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管", "画像の保存（ＢＭＰ形式）"}));
}

// Before the first load, and after a load that drew nothing, there is nothing to zoom,
// fit, turn, print or export: the commands do nothing and say nothing.
TEST_F(MainWindowTest, CommandsWithoutADrawingDoNothing) {
  Start();
  const auto tryAll = [this](const char* state) {
    const QRect surface = form->Surface()->geometry();
    for (const char* name :
         {"Button7", "Button8", "Button9", "PlotMenu15", "PlotMenu19", "PlotMenu13", "preview",
          "plotmenu34", "PlotMenu33", "PlotMenu24", "PlotMenu14", "Button6", "VectorSave"})
      Trigger(name);
    EXPECT_TRUE(dialogs.warnings.empty()) << state << ": " << dialogs.warnings[0].toStdString();
    EXPECT_EQ(dialogs.printDialogs, 0) << state;
    EXPECT_FALSE(form->Output().Previewing()) << state;
    EXPECT_TRUE(dialogs.saveRequests.empty()) << state;
    EXPECT_EQ(form->Surface()->geometry(), surface) << state;
  };
  tryAll("no file");
  EXPECT_EQ(dialogs.pageSetupDialogs, 0);
  Load(Fixture("rect.hpg", kRectangle));
  Load(Fixture("empty.hpg", "IN;SP1;"));
  tryAll("a file that drew nothing");
}

// The status bar quotes the system's reason in Japanese.
TEST_F(MainWindowTest, UnreadableFileIsToldInJapanese) {
  Start();
  const std::pair<std::string, QString> cases[] = {
      {(folder / "nothing-here.hpg").string(), "ファイルまたはフォルダがありません"},
      {folder.string(), "フォルダです"},
  };
  for (const auto& [path, reason] : cases) {
    Load(path);
    const QString notice = form->NoticePanel()->text();
    EXPECT_TRUE(notice.contains(reason)) << notice.toStdString();
    EXPECT_FALSE(notice.contains(QRegularExpression("[A-Za-z]{3}"))) << notice.toStdString();
  }
}

TEST_F(MainWindowTest, ExitWithCleanUpRemovesTheMetafile) {
  Start();
  Load(Fixture("rect.hpg", kRectangle));
  ASSERT_TRUE(fs::exists(metafile->Path()));
  Trigger("Button1");
  EXPECT_FALSE(fs::exists(metafile->Path()));
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace korvid::testing
