// The real main window, offscreen, driven through scripted dialogs: loading, the view, the
// toolbar, failures and the Help menu.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>

#include "WindowFixture.h"
#include "app/HelpCommands.h"
#include "app/InfoWindows.h"
#include "app/OptionForm.h"
#include "app/OutputCommands.h"
#include "app/PlotSurface.h"
#include "app/ProgressPanel.h"
#include "app/ReadingNotes.h"
#include "app/ReadingPanel.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public WindowFixture {
 protected:
  bool ScrollBarsShown() { return form->VScroll()->isVisible() || form->HScroll()->isVisible(); }
  QString Notice() { return form->NoticePanel()->text(); }
  bool NoPicture() { return form->Surface()->Picture().IsNull(); }
};

TEST_F(MainWindowTest, StartsWithNoDrawingAndTheSettingsDialogsKeepTheChoices) {
  EXPECT_FALSE(form->Surface()->isVisible() || ScrollBarsShown());
  EXPECT_EQ(form->StatusPanel1()->text(), "Korvid 1.0.0");
  EXPECT_EQ(form->windowTitle(), "Korvid");
  EXPECT_EQ(form->Viewport()->geometry().top(), form->MainToolbar()->height());
  EXPECT_TRUE(dialogs.dialogsShown == 1 && settings.ColorMode == 0);
  Start([](QDialog& dialog) {
    auto& colour = static_cast<ColorForm&>(dialog);
    EXPECT_TRUE(colour.Option1()->isChecked()) << "black and white is preselected";
    colour.Option2()->setChecked(true);
    colour.ClickOk();
  });
  EXPECT_EQ(settings.ColorMode, 1);
  Start([](QDialog& dialog) { dialog.reject(); });  // the close box
  EXPECT_EQ(settings.ColorMode, 1);
  // The option form shows the settings before and after a load.
  for (bool loaded : {false, true}) {
    if (loaded) LoadRectangle();
    Trigger("PlotMenu31");
    OptionForm* options = form->OpenOptionForm();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->Option2()->isChecked(), loaded) << "a load turns the adjusting display OFF";
    EXPECT_EQ(options->Option4()->isChecked(), loaded) << "the range frame as it was left";
    options->Option4()->setChecked(true);
    options->ClickOk();
    QApplication::processEvents();
    EXPECT_EQ(settings.RangeFrameOff, 1);
  }
}

TEST_F(MainWindowTest, LoadShowsTheDrawingFittedAndACancelKeepsIt) {
  Load(Fixture("a/rect.hpg", kRectangle));
  EXPECT_EQ(model->PlotDir + model->PlotFileName, (folder / "a/rect.hpg").string());
  const QRect surface = form->Surface()->geometry();
  EXPECT_TRUE(form->Surface()->isVisible() && !NoPicture());
  EXPECT_EQ(surface.topLeft(), QPoint(0, 0));
  EXPECT_NEAR(static_cast<double>(surface.width()) / surface.height(), 2.0, 0.05);
  EXPECT_EQ(form->Viewport()->size(), surface.size());
  EXPECT_FALSE(ScrollBarsShown());
  EXPECT_FALSE(form->Progress()->isVisible()) << "the progress panel goes after the load";
  EXPECT_TRUE(context->view.RotationMode == 1 && settings.AdjustDisplayOff == 1);
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});

  Load("");  // cancelled
  EXPECT_TRUE(model->PlotFileName == "rect.hpg" && !NoPicture());
  EXPECT_EQ(form->Surface()->geometry(), surface);

  Load(Fixture("b/two.hpg", kRectangle));  // the dialog starts in the first file's folder
  ASSERT_EQ(dialogs.openRequests.size(), 3u);
  EXPECT_EQ(dialogs.openRequests[0].directory + "|" + dialogs.openRequests[2].directory,
            "|" + Path("a/"));
  ASSERT_EQ(dialogs.openRequests[0].filters.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].filters[0].caption, "ＨＰＧＬデータファイル(*.hpg;*.hgl)");
}

// What a file could not give is told in the status bar (in Japanese, with the system's
// reason) or in a message; nothing of the drawing before stays to return on a zoom.
TEST_F(MainWindowTest, WhatCannotBeReadIsToldInJapanese) {
  const std::string huge = Fixture("huge.hpg", "");
  fs::resize_file(huge, std::uintmax_t{3} << 30);           // sparse: nothing is stored
  const std::string fifo = (folder / "fifo.hpg").string();  // no writer: never waited for
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, const char*> cases[] = {
      {Fixture("partial.hpg", "PU0,0;PD10,10;LB1;SP;PD5,5;"), "Err=13.*LB×1"},
      {Fixture("dot.hpg", "PU5,5;PD5,5;"), ""},  // no extent: ends quietly
      {Fixture("noterm.hpg", "IN\r\nPU0,0\r\nPD10,10\r\n"), ""},
      {huge, "ファイルが大きすぎるため読み込めませんでした（上限512MiB）"},
      {"/dev/zero", "ファイルではない（デバイスなど）ため読み込めませんでした"},
      {fifo, "ファイルではない（デバイスなど）ため読み込めませんでした"},
      {(folder / "nothing-here.hpg").string(), "ファイルまたはフォルダがありません"},
      {folder.string(), "フォルダです"},
      // Said plainly, with nothing the reading made of them and no offer to read again.
      {Fixture("empty.hpg", ""), "^ファイルが空です（図形の命令がありません）$"},
      {Fixture("blank.hpg", " \r\n\n"), "^ファイルが空です"},
      {Fixture("program.plt", std::string("\x7f"
                                          "ELF\2\1\1\0\0\0\0\0\0\0\0\0\3\0>\0;AB,",
                                          26) +
                                  std::string(200, '\0') + "CD;\n"),
       "^プロッタファイルではありません（プログラムや画像など、図面以外のデータです）$"}};
  // The reader's own message waits until the progress panel is gone.
  dialogs.onMessage = [this](const QString&) { EXPECT_FALSE(form->Progress()->isVisible()); };
  for (const bool standard : {false, true}) {
    if (standard) form->Action(kHpgl2ReadingAction)->trigger();
    for (const auto& [path, notice] : cases) {
      const bool notAPlot = std::string(notice).starts_with('^');
      if (standard && !notAPlot) continue;  // the standard reading draws dots and lines
      LoadRectangle();
      Load(path);
      EXPECT_TRUE(Notice().contains(QRegularExpression(notice))) << Notice().toStdString();
      EXPECT_FALSE(Notice().contains(QRegularExpression("[A-Za-z]{4}"))) << Notice().toStdString();
      const bool drawn = path.ends_with("partial.hpg");
      EXPECT_EQ(NoPicture(), !drawn) << path;
      EXPECT_EQ(fs::exists(metafile->Path()), drawn) << path;
      if (!notAPlot) continue;
      EXPECT_FALSE(form->ReadingStatus()->Offering()) << path;
      EXPECT_TRUE(form->LastReading().instructions.empty()) << path;
    }
  }
  EXPECT_EQ(dialogs.messages, std::vector<QString>{"設定済みのﾀｰﾐﾈｰﾀがありません"});
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(MainWindowTest, FailuresGiveOneWarningEachAndTheProgramGoesOn) {
  LoadRectangle();
  form->ShowErrorMessage(9);
  form->RunGuarded([] { throw RuntimeError(480); });
  form->RunGuarded([] { throw std::bad_alloc(); });
  fs::remove(metafile->Path());  // a zoom then cannot reload the picture
  form->DispatchToolbar(7);
  EXPECT_EQ(
      WarningHeads(),
      QStringList({"インデックスが有効範囲にありません(Err=9)", "メモリが不足しています。(Err=480)",
                   "メモリが足りません(Err=7)", "ファイルが見つかりません。(Err=53)"}));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, RotationRefitsAndHidesTheScrollBars) {
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
  form->DispatchToolbar(1);  // the exit cleans up
  EXPECT_FALSE(form->isVisible() || fs::exists(metafile->Path()));
}

// A right drag captures what the surface shows; the selection is exported once (even after
// a preview), then the band goes. A left click opens the context menu.
TEST_F(MainWindowTest, RightDragSelectsForOneExportAndLeftClickOpensTheMenu) {
  LoadRectangle();
  ViewCommands& view = form->View();
  view.MousePressed(2, QPointF(10, 10));
  view.MouseMoved(2, QPointF(120, 70));
  view.MouseReleased(2, QPointF(120, 70));
  const QImage captured = view.Picture2();
  ASSERT_FALSE(captured.isNull());
  const BoxMm& band = context->band.Shape;
  const MillimetreScale& scale = form->Scale();
  EXPECT_EQ(captured.size(), QSize(scale.Px(band.Width), scale.Px(band.Height)));
  form->Surface()->SetBand(false, {});  // the capture is the drawing without the band
  const QImage whole = form->Surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect region(scale.Px(band.Left), scale.Px(band.Top), captured.width(), captured.height());
  EXPECT_TRUE(captured.convertToFormat(QImage::Format_RGB32) == whole.copy(region));
  Trigger("preview");
  Trigger("Command3");
  dialogs.saveAnswers = {Path("selection.bmp")};
  Trigger("Button3");
  EXPECT_EQ(QImage(Path("selection.bmp"), "BMP").size(), captured.size());
  EXPECT_FALSE(context->band.Visible) << "the band goes after an export";
  Trigger("Button6");  // the next export takes the whole surface
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), form->Surface()->size());

  view.MousePressed(1, QPointF(10, 10));
  EXPECT_EQ(dialogs.menusOpened, 1);
  EXPECT_EQ(Captions(form->ContextMenu()),
            QStringList({"ノーマル（０°）表示", "右９０°回転表示", "左９０°回転表示",
                         "１８０°回転表示", "選択範囲を拡大表示", "距離の測定", "",
                         "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管", "画像の保存（ＢＭＰ形式）"}));
}

// Before the first load, and after a load that drew nothing, there is nothing to zoom,
// fit, turn, print or export: the commands do nothing and say nothing; the exit goes quietly.
// Toolbar indices outside 1..9 do nothing either.
TEST_F(MainWindowTest, CommandsWithoutADrawingDoNothing) {
  const auto tryAll = [this](const char* state) {
    const QRect surface = form->Surface()->geometry();
    for (const char* name :
         {"Button7", "Button8", "Button9", "PlotMenu15", "PlotMenu19", "PlotMenu13", "preview",
          "plotmenu34", "PlotMenu33", "PlotMenu24", "PlotMenu14", "Button6", "VectorSave"})
      Trigger(name);
    EXPECT_TRUE(dialogs.warnings.empty()) << state << ": " << dialogs.warnings[0].toStdString();
    EXPECT_TRUE(dialogs.printDialogs == 0 && dialogs.saveRequests.empty()) << state;
    EXPECT_FALSE(form->Output().Previewing()) << state;
    EXPECT_EQ(form->Surface()->geometry(), surface) << state;
  };
  const int shown = dialogs.dialogsShown;
  tryAll("no file");
  EXPECT_EQ(dialogs.dialogsShown, shown) << "no page set-up";
  LoadRectangle();
  Load(Fixture("empty.hpg", "IN;SP1;"));
  tryAll("a file that drew nothing");
  for (int other : {0, 10, -1, 32767})
    form->DispatchToolbar(other);
  form->DispatchToolbar(1);
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, HelpMenuShowsTheCommandListWhereTheMetafileIsAndThePages) {
  Trigger("PlotMenu91");
  ComdForm* list = form->Help().CommandList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->List1()->count(), 12);

  Trigger("PlotMenu93");
  ASSERT_NE(form->Help().About(), nullptr);
  const QString metafileFolder = QString::fromStdString(metafile->Folder());
  EXPECT_TRUE(VersForm::DescriptionText(metafileFolder)
                  .contains("    一時フォルダ（" + metafileFolder +
                            "）に\r\n    メタファイル(enhmetafile.emf)"));

  form->Help().SetProgramFolder(KORVID_APP_DIR);
  Trigger("PlotMenu94");
  ASSERT_EQ(dialogs.openedUrls.size(), 1u);
  const QString page = dialogs.openedUrls[0].toLocalFile();
  EXPECT_TRUE(QFileInfo(page).isFile() && page.endsWith("help/index.html")) << page.toStdString();
  // Without a browser the pages show in a window of the program's own.
  dialogs.browserWorks = false;
  Trigger("PlotMenu94");
  ASSERT_NE(form->Help().OwnHelpWindow(), nullptr);
  EXPECT_TRUE(form->Help().OwnHelpWindow()->isVisible());
  EXPECT_EQ(form->Help().OwnHelpWindow()->Browser()->source().toLocalFile(), page);
  EXPECT_FALSE(form->Help().OwnHelpWindow()->Browser()->toPlainText().isEmpty());
  form->Help().SetProgramFolder(QString::fromStdString(folder.string()));
  Trigger("PlotMenu94");
  EXPECT_EQ(WarningHeads(), QStringList({"ファイルが見つかりません。(Err=53)"}));
}

}  // namespace
}  // namespace korvid::testing
