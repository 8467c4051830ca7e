// The real main window, offscreen, driven through scripted dialogs: loading, the view, the
// toolbar, failures and the Help menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QToolBar>

#include "WindowFixture.h"
#include "app/HelpCommands.h"
#include "app/InfoWindows.h"
#include "app/OptionForm.h"
#include "app/OutputCommands.h"
#include "app/PlotSurface.h"
#include "app/ProgressPanel.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public WindowFixture {
 protected:
  bool ScrollBarsShown() { return form->VScroll()->isVisible() || form->HScroll()->isVisible(); }
};

TEST_F(MainWindowTest, StartsWithNoDrawingAndAsksForColour) {
  Start();  // OK without touching: black and white
  EXPECT_FALSE(form->Surface()->isVisible() || ScrollBarsShown());
  EXPECT_EQ(form->StatusPanel1()->text(), "Korvid 1.0.0");
  EXPECT_EQ(form->windowTitle(), "Korvid");
  EXPECT_EQ(context->OpenPattern, "*.hpg;*.hgl");
  EXPECT_EQ(form->Viewport()->geometry().top(), form->MainToolbar()->height());
  EXPECT_EQ(dialogs.dialogsShown, 1);
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

TEST_F(MainWindowTest, LoadShowsTheDrawingFittedAndACancelKeepsIt) {
  Start();
  Load(Fixture("a/rect.hpg", kRectangle));
  EXPECT_EQ(model->PlotDir, (folder / "a").string() + "/");
  EXPECT_EQ(model->PlotFileName, "rect.hpg");
  EXPECT_EQ(model->SegCount[1], 5);
  const QRect surface = form->Surface()->geometry();
  EXPECT_TRUE(form->Surface()->isVisible());
  EXPECT_EQ(surface.topLeft(), QPoint(0, 0));
  EXPECT_NEAR(static_cast<double>(surface.width()) / surface.height(), 2.0, 0.05);
  EXPECT_EQ(form->Viewport()->size(), surface.size());
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  EXPECT_FALSE(ScrollBarsShown());
  EXPECT_FALSE(form->Progress()->isVisible()) << "the progress panel goes after the load";
  EXPECT_EQ(context->view.RotationMode, 1);
  EXPECT_EQ(settings.AdjustDisplayOff, 1);
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});

  Load("");  // cancelled
  EXPECT_EQ(model->PlotFileName, "rect.hpg");
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  EXPECT_EQ(form->Surface()->geometry(), surface);

  Load(Fixture("b/two.hpg", kRectangle));  // the dialog starts in the first file's folder
  ASSERT_EQ(dialogs.openRequests.size(), 3u);
  EXPECT_EQ(dialogs.openRequests[0].directory, "");
  EXPECT_EQ(dialogs.openRequests[2].directory, QString::fromStdString((folder / "a/").string()));
  EXPECT_EQ(dialogs.openRequests[0].title, "ＨＰＧＬファイルを開く");
  ASSERT_EQ(dialogs.openRequests[0].filters.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].filters[0].caption, "ＨＰＧＬデータファイル(*.hpg;*.hgl)");
  EXPECT_EQ(dialogs.openRequests[0].filters[1].caption, "すべて(*.*)");
  EXPECT_EQ(WindowItems().size(), 1);
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

// What cannot be read is told in the status bar, in Japanese, the system's reason included.
TEST_F(MainWindowTest, WhatCannotBeReadIsToldInJapanese) {
  Start();
  const std::string huge = Fixture("huge.hpg", "");
  fs::resize_file(huge, std::uintmax_t{3} << 30);  // sparse: nothing is stored
  const std::pair<std::string, QString> cases[] = {
      {huge, "ファイルが大きすぎるため読み込めませんでした（上限512MiB）"},
      {"/dev/zero", "ファイルではない（デバイスなど）ため読み込めませんでした"},
      {(folder / "nothing-here.hpg").string(), "ファイルまたはフォルダがありません"},
      {folder.string(), "フォルダです"}};
  for (const auto& [path, reason] : cases) {
    Load(path);
    const QString notice = form->NoticePanel()->text();
    EXPECT_TRUE(notice.contains(reason)) << notice.toStdString();
    EXPECT_FALSE(notice.contains(QRegularExpression("[A-Za-z]{4}"))) << notice.toStdString();
    EXPECT_TRUE(form->Surface()->Picture().IsNull());
  }
}

TEST_F(MainWindowTest, FailuresGiveOneWarningEachAndTheProgramGoesOn) {
  Start();
  LoadRectangle();
  form->ShowErrorMessage(9);
  form->RunGuarded([] { throw RuntimeError(480); });
  form->RunGuarded([] { throw std::bad_alloc(); });
  fs::remove(metafile->Path());  // a zoom then cannot reload the picture
  form->DispatchToolbar(7);
  ASSERT_EQ(dialogs.warnings.size(), 4u);
  EXPECT_TRUE(dialogs.warnings[0].startsWith("インデックスが有効範囲にありません(Err=9)"));
  EXPECT_TRUE(dialogs.warnings[1].startsWith("メモリが不足しています。(Err=480)"));
  EXPECT_EQ(dialogs.warnings[2], "メモリが足りません(Err=7)");
  EXPECT_TRUE(dialogs.warnings[3].startsWith("ファイルが見つかりません。(Err=53)"));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, OptionFormShowsTheSettingsBeforeAndAfterALoad) {
  Start();
  Trigger("PlotMenu31");
  OptionForm* options = form->OpenOptionForm();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->Option1()->isChecked() && options->Option3()->isChecked());
  options->Option4()->setChecked(true);
  options->ClickOk();
  QApplication::processEvents();
  EXPECT_EQ(settings.RangeFrameOff, 1);
  LoadRectangle();
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
  LoadRectangle();
  Trigger("Button7");
  Trigger("Button7");
  EXPECT_TRUE(ScrollBarsShown());
  const QSize wide = form->Surface()->Picture().Frame().size();
  Trigger("PlotMenu15");  // turned right
  EXPECT_FALSE(ScrollBarsShown() || form->Progress()->isVisible());
  EXPECT_EQ(context->view.RotationMode, 2);
  const QSize turned = form->Surface()->Picture().Frame().size();
  EXPECT_EQ(turned, wide.transposed());
  EXPECT_LT(form->Surface()->width(), form->Surface()->height());
  Trigger("Button7");  // a zoom reloads the turned picture
  EXPECT_EQ(form->Surface()->Picture().Frame().size(), turned);
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(MainWindowTest, RightDragCapturesWhatTheSurfaceShowsAndLeftClickOpensTheMenu) {
  Start();
  LoadRectangle();
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

  view.MousePressed(1, QPointF(10, 10));
  EXPECT_EQ(dialogs.menusOpened, 1);
  QStringList captions;
  for (QAction* action : form->ContextMenu()->actions())
    captions << action->text();
  EXPECT_EQ(captions,
            QStringList({"ノーマル（０°）表示", "右９０°回転表示", "左９０°回転表示",
                         "１８０°回転表示", "", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管", "画像の保存（ＢＭＰ形式）"}));
}

// Before the first load, and after a load that drew nothing, there is nothing to zoom,
// fit, turn, print or export: the commands do nothing and say nothing; the exit goes quietly.
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
  LoadRectangle();
  Load(Fixture("empty.hpg", "IN;SP1;"));
  tryAll("a file that drew nothing");
  form->DispatchToolbar(1);
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, ToolbarIndicesRunTheirCommands) {
  Start();
  dialogs.openAnswers.push_back(QString::fromStdString(Fixture("rect.hpg", kRectangle)));
  form->DispatchToolbar(2);
  EXPECT_EQ(dialogs.openRequests.size(), 1u) << "2: open";
  const QSize fitted = form->Surface()->size();
  form->DispatchToolbar(7);
  EXPECT_GT(form->Surface()->width(), fitted.width()) << "7: zoom in";
  form->DispatchToolbar(8);
  EXPECT_EQ(form->Surface()->size(), fitted) << "8: zoom out";
  form->DispatchToolbar(7);
  form->DispatchToolbar(9);
  EXPECT_EQ(form->Surface()->size(), fitted) << "9: fit";
  form->DispatchToolbar(3);
  EXPECT_EQ(dialogs.saveRequests.size(), 1u) << "3: save image";
  form->DispatchToolbar(4);
  EXPECT_EQ(dialogs.printDialogs, 1) << "4: print";
  form->DispatchToolbar(6);
  EXPECT_FALSE(QApplication::clipboard()->image().isNull()) << "6: copy";
  form->DispatchToolbar(5);
  EXPECT_TRUE(form->Output().Previewing()) << "5: preview";
  Trigger("Command3");
  for (int other : {0, 10, -1, 32767})
    form->DispatchToolbar(other);
  EXPECT_TRUE(dialogs.warnings.empty());
  ASSERT_TRUE(fs::exists(metafile->Path()));
  form->DispatchToolbar(1);
  EXPECT_FALSE(form->isVisible()) << "1: exit";
  EXPECT_FALSE(fs::exists(metafile->Path())) << "the exit cleans up";
}

TEST_F(MainWindowTest, HelpMenuShowsTheCommandListTheAboutBoxAndThePages) {
  Start();
  Trigger("PlotMenu91");
  ComdForm* list = form->Help().CommandList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "対応コマンド一覧表");
  ASSERT_EQ(list->List1()->count(), 12);
  EXPECT_EQ(list->List1()->item(0)->text(), "DF");
  EXPECT_EQ(list->List1()->item(11)->text(), "LT");
  Trigger("PlotMenu91");
  EXPECT_EQ(form->Help().CommandList(), list) << "shown again, not made again";

  Trigger("PlotMenu93");
  VersForm* about = form->Help().About();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->windowTitle(), "Korvid のﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(about->Title()->text(), "Korvid");
  EXPECT_EQ(about->Version()->text(), "Version 1.0.0");
  const QString metafileFolder = QString::fromStdString(metafile->Folder());
  const QStringList lines = VersForm::DescriptionText(metafileFolder).split("\r\n");
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[1], "    一時フォルダ（" + metafileFolder + "）に");
  EXPECT_EQ(lines[2], "    メタファイル(enhmetafile.emf)");

  form->Help().SetProgramFolder(KORVID_APP_DIR);
  Trigger("PlotMenu94");
  ASSERT_EQ(dialogs.openedUrls.size(), 1u);
  const QString page = dialogs.openedUrls[0].toLocalFile();
  EXPECT_TRUE(QFileInfo(page).isFile() && page.endsWith("help/index.html")) << page.toStdString();
  dialogs.browserWorks = false;
  Trigger("PlotMenu94");
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0], "エラーメッセージ番号 429");
  form->Help().SetProgramFolder(QString::fromStdString(folder.string()));
  Trigger("PlotMenu94");
  EXPECT_TRUE(dialogs.warnings.back().startsWith("ファイルが見つかりません。(Err=53)"));
}

}  // namespace
}  // namespace korvid::testing
