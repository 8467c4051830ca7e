// The two readings in the real window: the option, the offer to read again, and the pages
// of a standard read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <QToolButton>

#include "WindowFixture.h"
#include "app/OutputCommands.h"
#include "app/PlotSurface.h"
#include "app/ReadingPanel.h"
#include "render/MetafilePicture.h"

namespace korvid::testing {
namespace {

// Three pages: 2:1 landscape, 1:3 portrait, and a square diagonal.
const char* const kThreePages =
    "IN;SP1;PU0,0;PD4000,0,4000,2000;PG;PU0,0;PD1000,0,1000,3000;PG;PU0,0;PD500,500;";

class ReadingTest : public WindowFixture {
 protected:
  QAction* Option() { return form->Action(kHpgl2ReadingAction); }
  ReadingPanel* Panel() { return form->ReadingStatus(); }
  QString Caption() { return Panel()->Caption()->text(); }
  double SurfaceAspect() {
    return static_cast<double>(form->Surface()->width()) / form->Surface()->height();
  }
  void ChoosePage(int page) { form->WindowMenu()->actions().at(page - 1)->trigger(); }
  QString Shown() { return Caption() + " | " + WindowItems().join(", "); }
  QString Size() { return form->PlotSizeStatus()->text(); }
};

TEST_F(ReadingTest, OptionIsOffAtFirstAndRememberedBetweenRuns) {
  EXPECT_TRUE(Option()->isCheckable() && !Option()->isChecked());
  EXPECT_EQ(Option()->text(), "HP-GL/2 として読み込む(&H)");
  EXPECT_EQ(Caption(), "読み込み: 基本HPGL");
  Option()->trigger();
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2");

  form.reset();  // the next run starts with the option as it was left
  context = std::make_unique<AppContext>(*model, settings, *metafile, dialogs);
  form = std::make_unique<PictForm>(*context);
  Start();
  EXPECT_TRUE(Option()->isChecked() && context->Hpgl2Reading);
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2");
}

struct OfferCase {
  const char* name;
  const char* plot;
  const char* reason;  // "" = no offer
  bool standardFirst = false;
};

class ReadingOfferTest : public ReadingTest, public ::testing::WithParamInterface<OfferCase> {};

TEST_P(ReadingOfferTest, OffersToReadAgainWhenTheStandardReadingDrawsMore) {
  if (GetParam().standardFirst) Option()->trigger();
  Load(Fixture("plot.hpg", GetParam().plot));
  EXPECT_EQ(Panel()->Offering(), *GetParam().reason != '\0');
  EXPECT_EQ(Panel()->OfferReason()->text(), QString::fromUtf8(GetParam().reason));
  if (!Panel()->Offering()) return;

  Panel()->OfferButton()->click();
  EXPECT_TRUE(context->Hpgl2Reading && context->drawing.Source()) << "read again as HP-GL/2";
  EXPECT_TRUE(Option()->isChecked()) << "the menu agrees with the reading in force";
  EXPECT_FALSE(Panel()->Offering());
  EXPECT_TRUE(Caption().startsWith("読み込み: HP-GL/2"));
  EXPECT_EQ(dialogs.openRequests.size(), 1u);
  EXPECT_TRUE(dialogs.messages.size() <= 1u) << "nothing is asked beyond the read itself";
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadingOfferTest,
    ::testing::Values(
        OfferCase{"Everything", kRectangle, ""},
        OfferCase{"IgnoredOnly", "IN;SP1;PU0,0;PD100,100;VS10;CO\"x\";", ""},
        OfferCase{"Polyline", "IN;SP1;PU0,0;PD100,100;PE<=_g?;LB;",
                  "基本HPGLの読み込みでは描けない命令（PE, LB）があります。"},
        OfferCase{"LowerCaseLabel", "IN;SP1;PU0,0;PD100,100;lbABC\x03;",
                  "基本HPGLの読み込みでは描けない命令（LB）があります。"},
        // Asked of the standard reader's own table: symbols draw, and CS chooses what labels
        // draw.
        OfferCase{"Symbols", "IN;SP1;PU0,0;CS14;SM*;PD100,100;VS10;",
                  "基本HPGLの読み込みでは描けない命令（CS, SM）があります。"},
        OfferCase{"Nothing", "IN;SP1;VS10;", "基本HPGLの読み込みでは何も描けませんでした。"},
        OfferCase{"Pages", kThreePages, "基本HPGLの読み込みでは2ページ目以降を表示できません。"},
        OfferCase{"NoneWhileTheStandardReadingIsInForce", "IN;SP1;PU0,0;PD100,100;LB;", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Toggling reads the open file again; each page is shown fitted, and printing, the preview
// and every export take the page shown.
TEST_F(ReadingTest, PagesOfAStandardRead) {
  Load(Fixture("pages.hpg", kThreePages));
  EXPECT_EQ(Shown(), "読み込み: 基本HPGL | PLOT No.1");
  EXPECT_EQ(Size(), "100 × 50 mm（4000 × 2000 プロッタ単位）");
  Option()->trigger();
  EXPECT_EQ(Shown(), "読み込み: HP-GL/2（PLOT No.1/3） | PLOT No.1, PLOT No.2, PLOT No.3");
  EXPECT_EQ(Size(), "100 × 50 mm（4000 × 2000 プロッタ単位）") << "the lines, not their ink";
  EXPECT_EQ(dialogs.openRequests.size(), 1u) << "reading again asks for no file";
  EXPECT_NEAR(SurfaceAspect(), 2.0, 0.05);
  // The page's picture holds the ink: half the 0.35 mm pen, 7 units, beyond the points.
  EXPECT_EQ(context->ShownExtents().MaxX, 4007);

  ChoosePage(2);
  EXPECT_EQ(Size(), "25 × 75 mm（1000 × 3000 プロッタ単位）");
  EXPECT_EQ(context->ShownExtents().MaxY, 3007);
  EXPECT_NEAR(SurfaceAspect(), 1.0 / 3.0, 0.02);
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2（PLOT No.2/3）");
  EXPECT_TRUE(form->WindowMenu()->actions().at(1)->isChecked() &&
              !form->WindowMenu()->actions().at(0)->isChecked());
  const QRect frame = MetafilePicture::LoadFile(metafile->Path()).Frame();
  EXPECT_NEAR(static_cast<double>(frame.width()) / frame.height(), 1114.0 / 3114.0, 0.01);

  // The preview measures the page shown: sheets cover 102.85 mm of page 1's 4000 units (the
  // pen and margin included) but 77.85 mm of page 2's 3000, on pictures of the same longest
  // side.
  double steps[2];
  for (int page : {1, 2}) {
    ChoosePage(page);
    Trigger("preview");
    steps[page - 1] = form->Output().Preview().PageStepX();
    EXPECT_FALSE(Panel()->OfferButton()->isEnabled()) << "off with the menus";
    Trigger("Command3");
    EXPECT_TRUE(Panel()->OfferButton()->isEnabled());
  }
  EXPECT_NEAR(steps[1] / steps[0], 102.85 / 77.85, 1e-3);

  Trigger("PlotMenu15");  // turned right, then the next page keeps the turn
  ChoosePage(1);
  EXPECT_EQ(context->view.RotationMode, 2);
  EXPECT_NEAR(SurfaceAspect(), 0.5, 0.05);

  Option()->trigger();
  EXPECT_EQ(Shown(), "読み込み: 基本HPGL | PLOT No.1");
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  Option()->trigger();  // a new file that draws nothing leaves no pages of the old one
  Load(Fixture("empty.hpg", "IN;SP1;"));
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});
  EXPECT_EQ(Size(), "") << "nothing drawn, no size";
  ChoosePage(1);
  EXPECT_TRUE(form->NoticePanel()->text().contains("描ける図形がありませんでした"));
  const std::string fifo = (folder / "fifo.hpg").string();  // no writer: never waited for
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Load(fifo);
  EXPECT_EQ(form->NoticePanel()->text(),
            "ファイルではない（デバイスなど）ため読み込めませんでした");
  EXPECT_TRUE(dialogs.warnings.empty());
}

}  // namespace
}  // namespace korvid::testing
