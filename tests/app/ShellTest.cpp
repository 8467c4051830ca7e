// The toolbar's dispatch, the Help menu's windows and the exit with clean-up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <filesystem>
#include <fstream>

#include "WindowFixture.h"
#include "app/ColorForm.h"
#include "app/HelpCommands.h"
#include "app/InfoWindows.h"
#include "app/OutputCommands.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

class ShellTest : public WindowFixture {
 protected:
  ShellTest() { Start(); }

  void LoadWithTheToolbar() {
    dialogs.openAnswers.push_back(
        QString::fromStdString(Fixture("rect.hpg", "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;")));
    form->DispatchToolbar(2);
  }
};

TEST_F(ShellTest, ToolbarIndicesRunTheirCommands) {
  LoadWithTheToolbar();
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
  form->Action("Command3")->trigger();
  for (int other : {0, 10, -1, 32767})
    form->DispatchToolbar(other);
  EXPECT_TRUE(dialogs.warnings.empty());
  form->DispatchToolbar(1);
  EXPECT_FALSE(form->isVisible()) << "1: exit";
}

TEST_F(ShellTest, FailureInADispatchedCommandGivesOneWarning) {
  LoadRectangle();
  fs::remove(metafile->Path());  // a zoom then cannot reload the picture
  form->DispatchToolbar(7);
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_TRUE(dialogs.warnings[0].startsWith("ファイルが見つかりません。(Err=53)"));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(ShellTest, ExitWithCleanUpWithoutAMetafile) {
  form->DispatchToolbar(1);
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(fs::exists(metafile->Path()));
}

TEST_F(ShellTest, CommandListHoldsTheTwelveCommands) {
  form->Action("PlotMenu91")->trigger();
  ComdForm* list = form->Help().CommandList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "対応コマンド一覧表");
  ASSERT_EQ(list->List1()->count(), 12);
  EXPECT_EQ(list->List1()->item(0)->text(), "DF");
  EXPECT_EQ(list->List1()->item(11)->text(), "LT");
  form->Action("PlotMenu91")->trigger();
  EXPECT_EQ(form->Help().CommandList(), list) << "shown again, not made again";
}

TEST_F(ShellTest, AboutBoxTellsWhereTheMetafileIs) {
  form->Action("PlotMenu93")->trigger();
  VersForm* about = form->Help().About();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->windowTitle(), "Korvid のﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(about->Title()->text(), "Korvid");
  EXPECT_EQ(about->Version()->text(), "Version 1.0.0");
  const QStringList lines =
      VersForm::DescriptionText(QString::fromStdString(metafile->Folder())).split("\r\n");
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[0], "注意事項：");
  EXPECT_EQ(lines[1], "    一時フォルダ（" + QString::fromStdString(metafile->Folder()) + "）に");
  EXPECT_EQ(lines[2], "    メタファイル(enhmetafile.emf)");
  EXPECT_EQ(lines[3], "    が作成されますので、ご注意願います。");
  EXPECT_EQ(lines[4], "    プログラム終了後は削除されます。");
  EXPECT_EQ(lines[5], " ");
  EXPECT_TRUE(lines[6].contains("Korvid authors"));
}

TEST_F(ShellTest, HelpOpensTheIndexPageBesideTheProgram) {
  form->Help().SetProgramFolder(KORVID_APP_DIR);
  form->Action("PlotMenu94")->trigger();
  ASSERT_EQ(dialogs.openedUrls.size(), 1u);
  const QString page = dialogs.openedUrls[0].toLocalFile();
  EXPECT_TRUE(QFileInfo(page).isFile()) << page.toStdString();
  EXPECT_TRUE(page.endsWith("help/index.html"));
  dialogs.browserWorks = false;
  form->Action("PlotMenu94")->trigger();
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0], "エラーメッセージ番号 429");
  form->Help().SetProgramFolder(QString::fromStdString(folder.string()));
  form->Action("PlotMenu94")->trigger();
  EXPECT_TRUE(dialogs.warnings.back().startsWith("ファイルが見つかりません。(Err=53)"));
}

}  // namespace
}  // namespace korvid::testing
