// The two readings in the real window: the option, the offer to read again, and the pages
// of a standard read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <filesystem>

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
const char* const kRectangle = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;";

class ReadingTest : public WindowFixture {
 protected:
  QAction* Option() { return form->Action(kHpgl2ReadingAction); }
  ReadingPanel* Panel() { return form->ReadingStatus(); }
  QString Caption() { return Panel()->Caption()->text(); }
  QStringList WindowItems() {
    QStringList captions;
    for (QAction* action : form->WindowMenu()->actions())
      captions << action->text();
    return captions;
  }
  double SurfaceAspect() {
    return static_cast<double>(form->Surface()->width()) / form->Surface()->height();
  }
};

TEST_F(ReadingTest, OptionIsOffAtFirstAndRememberedBetweenRuns) {
  Start();
  EXPECT_TRUE(Option()->isCheckable());
  EXPECT_EQ(Option()->text(), "HP-GL/2 として読み込む(&H)");
  EXPECT_FALSE(Option()->isChecked());
  EXPECT_EQ(Caption(), "読み込み: 基本HPGL");
  Option()->trigger();
  EXPECT_TRUE(QSettings().value("Reading/Hpgl2").toBool());
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2");

  // The next run starts with the option as it was left.
  form.reset();
  context = std::make_unique<AppContext>(*model, settings, *metafile, dialogs);
  form = std::make_unique<PictForm>(*context);
  Start();
  EXPECT_TRUE(Option()->isChecked());
  EXPECT_TRUE(context->Hpgl2Reading);
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2");
}

TEST_F(ReadingTest, TogglingReadsTheOpenFileAgain) {
  Start();
  Load(Fixture("pages.hpg", kThreePages));
  EXPECT_EQ(context->drawing.Source(), Reading::Design);
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});
  Option()->trigger();
  EXPECT_EQ(context->drawing.Source(), Reading::Standard);
  EXPECT_EQ(WindowItems(), QStringList({"PLOT No.1", "PLOT No.2", "PLOT No.3"}));
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2（PLOT No.1/3）");
  EXPECT_EQ(dialogs.openRequests.size(), 1u) << "reading again asks for no file";
  Option()->trigger();
  EXPECT_EQ(context->drawing.Source(), Reading::Design);
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});
  EXPECT_EQ(Caption(), "読み込み: 基本HPGL");
  EXPECT_FALSE(form->Surface()->Picture().IsNull());
  EXPECT_TRUE(dialogs.warnings.empty());
}

struct OfferCase {
  const char* name;
  const char* plot;
  const char* reason;  // "" = no offer
};

void PrintTo(const OfferCase& offer, std::ostream* out) {
  *out << offer.name;
}

class ReadingOfferTest : public ReadingTest, public ::testing::WithParamInterface<OfferCase> {};

TEST_P(ReadingOfferTest, OffersToReadAgainWhenTheStandardReadingDrawsMore) {
  Start();
  Load(Fixture("plot.hpg", GetParam().plot));
  EXPECT_EQ(Panel()->Offering(), *GetParam().reason != '\0');
  EXPECT_EQ(Panel()->OfferReason()->text(), QString::fromUtf8(GetParam().reason));
  if (!Panel()->Offering()) return;

  Panel()->OfferButton()->click();
  EXPECT_EQ(context->drawing.Source(), Reading::Standard);
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
        OfferCase{"Nothing", "IN;SP1;VS10;", "基本HPGLの読み込みでは何も描けませんでした。"},
        OfferCase{"Pages", kThreePages, "基本HPGLの読み込みでは2ページ目以降を表示できません。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadingTest, NoOfferWhileTheStandardReadingIsInForce) {
  Start();
  Option()->trigger();
  Load(Fixture("plot.hpg", "IN;SP1;PU0,0;PD100,100;LB;"));
  EXPECT_FALSE(Panel()->Offering());
}

TEST_F(ReadingTest, ChoosingAPageShowsItFittedAndOutputsTakeIt) {
  Start();
  Option()->trigger();
  Load(Fixture("pages.hpg", kThreePages));
  EXPECT_NEAR(SurfaceAspect(), 2.0, 0.05);
  // The page's picture holds the ink: half the 0.35 mm pen, 7 units, beyond the points.
  const PlotExtents first = context->ShownExtents();
  EXPECT_EQ(first.MaxX, 4007);

  form->WindowMenu()->actions().at(1)->trigger();  // PLOT No.2
  EXPECT_EQ(context->drawing.Page(), 2);
  EXPECT_EQ(context->ShownExtents().MaxY, 3007);
  EXPECT_NEAR(SurfaceAspect(), 1.0 / 3.0, 0.02);
  EXPECT_EQ(Caption(), "読み込み: HP-GL/2（PLOT No.2/3）");
  EXPECT_TRUE(form->WindowMenu()->actions().at(1)->isChecked());
  EXPECT_FALSE(form->WindowMenu()->actions().at(0)->isChecked());
  // The plot metafile, which printing, preview and every export take, holds page 2.
  const QRect frame = MetafilePicture::LoadFile(metafile->Path()).Frame();
  EXPECT_NEAR(static_cast<double>(frame.width()) / frame.height(), 1114.0 / 3114.0, 0.01);

  form->Action("PlotMenu15")->trigger();  // turned right, then the next page keeps the turn
  form->WindowMenu()->actions().at(0)->trigger();
  EXPECT_EQ(context->view.RotationMode, 2);
  EXPECT_NEAR(SurfaceAspect(), 0.5, 0.05);
  EXPECT_TRUE(dialogs.warnings.empty());
}

// The preview measures the page shown: sheets cover 102.85 mm of page 1's 4000 units (the
// pen and the margin included) but 77.85 mm of page 2's 3000, on pictures of the same
// longest side.
TEST_F(ReadingTest, PreviewMeasuresThePageShown) {
  Start();
  Option()->trigger();
  Load(Fixture("pages.hpg", kThreePages));
  OutputCommands& output = form->Output();
  std::vector<double> steps;
  for (int item : {0, 1}) {
    form->WindowMenu()->actions().at(item)->trigger();
    form->Action("preview")->trigger();
    ASSERT_TRUE(output.Previewing());
    steps.push_back(output.Preview().PageStepX());
    EXPECT_FALSE(Panel()->OfferButton()->isEnabled()) << "off with the menus";
    form->Action("Command3")->trigger();
    EXPECT_TRUE(Panel()->OfferButton()->isEnabled());
  }
  EXPECT_NEAR(steps[1] / steps[0], 102.85 / 77.85, 1e-3);
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(ReadingTest, ANewFileThatDrawsNothingLeavesNoPagesOfTheOldOne) {
  Start();
  Option()->trigger();
  Load(Fixture("pages.hpg", kThreePages));
  Load(Fixture("empty.hpg", "IN;SP1;"));
  EXPECT_EQ(WindowItems(), QStringList{"PLOT No.1"});
  form->WindowMenu()->actions().at(0)->trigger();
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_TRUE(form->NoticePanel()->text().contains("描ける図形がありませんでした"));
}

// A FIFO without a writer would hold the window for ever: it is refused at once.
TEST_F(ReadingTest, AFifoIsRefusedNotWaitedFor) {
  Start();
  Option()->trigger();
  const std::string fifo = Fixture("fifo.hpg", "");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Load(fifo);
  EXPECT_EQ(form->NoticePanel()->text().toStdString(),
            "ファイルではない（デバイスなど）ため読み込めませんでした");
}

}  // namespace
}  // namespace korvid::testing
