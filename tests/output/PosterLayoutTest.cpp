// Magnification entry, page metrics, the cut of the picture into sheets, the preview's paging.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "ErrorOf.h"
#include "output/MagnificationEntry.h"
#include "output/PageMetrics.h"
#include "output/PosterLayout.h"
#include "output/PreviewLayout.h"

namespace korvid {
namespace {

using testing::ErrorOf;

// A4 upright with 5 mm margins at the top and left.
const PageMetrics kA4Portrait{5, 5, 0, 0, 0, 0, 200, 287};

std::vector<std::pair<double, float>> Walk(double stepX, float stepY, double width, double height) {
  std::vector<std::pair<double, float>> tiles;
  WalkTiles(stepX, stepY, width, height, 100000,
            [&](const TileOrigin& at) { tiles.emplace_back(at.x, at.y); });
  return tiles;
}

TEST(PosterLayout, MeasuresThePageCutsThePictureAndScalesIt) {
  // A4 at 600 dpi with 100-pixel unprintable margins all round.
  const PageMetrics page = MeasurePage(PrinterCaps{100, 100, 4960, 7016, 4760, 6816, 600, 600});
  EXPECT_FLOAT_EQ(page.offsetX, 4.2333333f);
  EXPECT_FLOAT_EQ(page.offsetY, 4.2333333f);
  EXPECT_FLOAT_EQ(page.physicalWidth, 209.97333f);
  EXPECT_FLOAT_EQ(page.physicalHeight, 297.01068f);
  EXPECT_NEAR(page.rightMargin, 4.2333, 1e-4);
  EXPECT_NEAR(page.bottomMargin, 4.2333, 1e-4);
  EXPECT_NEAR(page.printableWidth, 201.5067, 1e-4);
  EXPECT_NEAR(page.printableHeight, 288.5440, 1e-4);
  EXPECT_EQ(ErrorOf([] { MeasurePage(PrinterCaps{5, 5, 10, 10, 10, 10, 0, 0}); }), 11);
  // Tiles cover the picture column by column; walks that never end are refused.
  using Tiles = std::vector<std::pair<double, float>>;
  EXPECT_EQ(Walk(200, 280, 150, 100), (Tiles{{0, 0}}));
  EXPECT_EQ(Walk(200, 50, 150, 100), (Tiles{{0, 0}, {0, 50}})) << "exactly two high: top, bottom";
  EXPECT_EQ(Walk(100, 60, 150, 100), (Tiles{{0, 0}, {0, 60}, {100, 0}, {100, 60}}));
  EXPECT_EQ(Walk(100, 100, 100, 100).size(), 1u) << "a share that just covers needs no more";
  EXPECT_EQ(ErrorOf([] { Walk(100, -5, 150, 100); }), 9);
  EXPECT_EQ(ErrorOf([] { Walk(-1, 500, 150, 100); }), 9);
  EXPECT_EQ(ErrorOf([] { Walk(100, 1e-9f, 150, 100); }), 9);
  // The larger scale of the unturned extents serves both directions; here 8000 x 4000 units
  // with the margin, shown turned: the frame's sides are exchanged.
  const PosterLayout turned =
      LayOutPoster(kA4Portrait, PlotExtents{0, 0, 7900, 3900}, 1, 163.84, 327.67);
  EXPECT_FLOAT_EQ(turned.scaleX, 200 / 163.84f);
  EXPECT_FLOAT_EQ(turned.scaleY, 100 / 327.67f);
  EXPECT_EQ(turned.scale, turned.scaleX);
  EXPECT_DOUBLE_EQ(turned.stepX, (200 - 5.08) / turned.scale);
  EXPECT_EQ(turned.destination.left, 5);
  EXPECT_DOUBLE_EQ(turned.destination.width, 200 - 5.08);
  const auto tall = LayOutPoster(kA4Portrait, PlotExtents{0, 0, 3900, 7900}, 2, 163.84, 327.67);
  EXPECT_GT(tall.scaleY, tall.scaleX);
  EXPECT_EQ(tall.scale, tall.scaleY);
  EXPECT_EQ(ErrorOf([] { LayOutPoster(kA4Portrait, {0, 0, 9, 9}, 0, 327.67, 327.67); }), 11);
}

class PreviewTest : public ::testing::Test {
 protected:
  PreviewWindow window{16000, 12000, 500, 400};  // twips

  PreviewLayout Build(float width, float height, float magnification = 1) {
    const double longest = 32767 * 1440 / 2540.0;
    const double scale = 1 / std::max(width + 100.0, height + 100.0);
    PreviewLayout layout;
    layout.Build(kA4Portrait, PlotExtents{0, 0, width, height}, magnification,
                 (width + 100) * scale * longest, (height + 100) * scale * longest, window);
    return layout;
  }
};

// "page/pages", then "<" and ">" for the buttons enabled.
std::string Buttons(const PreviewLayout& layout) {
  return std::to_string(layout.Page()) + "/" + std::to_string(layout.PageCount()) +
         (layout.PreviousEnabled() ? " <" : "") + (layout.NextEnabled() ? " >" : "");
}

TEST_F(PreviewTest, PagesAreNumberedDownEachColumnAndFitTheWindowsNarrowerSide) {
  EXPECT_EQ(Buttons(Build(3900, 3900)), "1/1");  // 100 mm square
  PreviewLayout layout = Build(3900, 11900);     // 100 x 300 mm: two sheets high
  EXPECT_EQ(Buttons(layout), "1/2 >");
  EXPECT_TRUE(layout.Next());
  EXPECT_EQ(Buttons(layout), "2/2 <");
  EXPECT_TRUE(layout.Previous());
  EXPECT_EQ(Buttons(layout), "1/2 >");
  EXPECT_TRUE(layout.Next());
  EXPECT_FALSE(layout.Next()) << "no sheet after the last";
  // 300 mm square: 2 x 2 sheets; sheet 2 is the lower-left share, sheet 3 the upper-right.
  const PreviewLayout square = Build(11900, 11900);
  ASSERT_EQ(square.PageCount(), 4);
  EXPECT_TRUE(square.Source(2).left == 0 && square.Source(2).top > 0);
  EXPECT_TRUE(square.Source(3).left > 0 && square.Source(3).top == 0);
  EXPECT_EQ(square.Source(1).width, square.PageStepX());
  EXPECT_EQ(ErrorOf([&] { Build(3900, 3900, 100); }), 9) << "10 m square: 52 x 36 sheets";
  EXPECT_NO_THROW(Build(3900, 3900, 8));
  // The page box fits the window's narrower side.
  window = PreviewWindow{30000, 10000, 500, 400};  // wide: the height decides
  EXPECT_NEAR(Build(3900, 3900).PageBox().height, 0.81 * (10000 - 500 - 400), 0.01);
  window = PreviewWindow{6000, 30000, 500, 400};  // tall: the width decides
  const PreviewLayout tall = Build(3900, 3900);
  EXPECT_NEAR(tall.PageBox().width, 0.81 * 6000, 0.01);
  EXPECT_EQ(tall.OffsetX(), 284) << "5 mm at 56.7 twips per mm, rounded";
  EXPECT_DOUBLE_EQ(tall.Destination().width, tall.PageBox().width - 2 * 284);
}

// OK on `text` for a drawing of width x height mm: "outcome magnification [text shown] message".
std::string Entered(const std::string& text, double widthMm = 1000, double heightMm = 500) {
  const MagnificationEntry entry = ApplyMagnificationEntry(
      text, {0, 0, static_cast<float>(widthMm * 40), static_cast<float>(heightMm * 40)});
  std::ostringstream out;
  if (entry.outcome == MagnificationEntry::Outcome::NotANumber ||
      entry.outcome == MagnificationEntry::Outcome::NotPositive)
    out << "refused";
  if (entry.outcome == MagnificationEntry::Outcome::Accepted) out << entry.magnification;
  if (entry.outcome == MagnificationEntry::Outcome::Reduced)
    out << "reduced " << entry.magnification;
  out << " [" << entry.text << "] " << entry.message;
  return out.str();
}

TEST(MagnificationEntry, IsTakenReducedOrRefused) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"2", "2 [2] "}, {"1.5", "1.5 [1.5] "}, {"1.2.3", "1.2 [1.2.3] "},
      // 0 enlarges nothing, and printing at 0 fails: refused, however it is written.
      {"", "refused [] 0より大きい数値を入力してください"},
      {"0", "refused [0] 0より大きい数値を入力してください"},
      {"00.0", "refused [00.0] 0より大きい数値を入力してください"},
      {".", "refused [.] 0より大きい数値を入力してください"}, {"0.01", "0.01 [0.01] "},
      {"10", "reduced 4 [ 4] 倍率が限界を超えてますので、 4倍で処理します"}};
  // clang-format on
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Entered(text), expected) << text;
  // Too large even at 1: below 1, two significant digits, never 0; a direction without extent
  // sets no limit.
  EXPECT_EQ(Entered("1", 5000, 100),
            "reduced 0.86 [ 0.86] 倍率が限界を超えてますので、 0.86倍で処理します");
  EXPECT_EQ(Entered("3", 5000, 0),
            "reduced 0.86 [ 0.86] 倍率が限界を超えてますので、 0.86倍で処理します");
  EXPECT_EQ(Entered("1", 900000, 100),
            "reduced 0.0048 [ 0.0048] 倍率が限界を超えてますので、 0.0048倍で処理します");
  for (const std::string text : {"-2", "+2", "1e1", "1 5", "２"})
    EXPECT_EQ(Entered(text), "refused [" + text + "] 数値を入力してください");
  EXPECT_EQ(MagnificationText(2.5f) + " " + MagnificationText(0.1f), "2.5 0.1");
}

}  // namespace
}  // namespace korvid
