#include <gtest/gtest.h>

#include "output/MagnificationEntry.h"

namespace korvid {
namespace {

using Outcome = MagnificationEntry::Outcome;

PlotExtents DrawingOfMillimetres(double width, double height) {
  return {0, 0, static_cast<float>(width * 40), static_cast<float>(height * 40)};
}

TEST(MagnificationEntry, IsTakenReducedOrRefused) {
  struct Case {
    std::string text;
    Outcome outcome;
    float magnification;
    std::string shown, message = "";
    double widthMm = 1000, heightMm = 500;
  };
  const std::string reducedTo4 = "倍率が限界を超えてますので、 4倍で処理します";
  const std::string reducedTo0 = "倍率が限界を超えてますので、 0倍で処理します";
  // clang-format off
  const Case cases[] = {
      {"2", Outcome::Accepted, 2, "2"}, {"1.5", Outcome::Accepted, 1.5f, "1.5"},
      {"1.2.3", Outcome::Accepted, 1.2f, "1.2.3"}, {"", Outcome::Accepted, 0, ""},
      {"10", Outcome::Reduced, 4, " 4", reducedTo4},
      // Too large even at 1; a direction without extent sets no limit.
      {"1", Outcome::Reduced, 0, " 0", reducedTo0, 5000, 100},
      {"3", Outcome::Reduced, 0, " 0", reducedTo0, 5000, 0}};
  // clang-format on
  for (const Case& c : cases) {
    const auto entry = ApplyMagnificationEntry(c.text, DrawingOfMillimetres(c.widthMm, c.heightMm));
    EXPECT_EQ(entry.outcome, c.outcome) << c.text;
    EXPECT_FLOAT_EQ(entry.magnification, c.magnification) << c.text;
    EXPECT_EQ(entry.text, c.shown) << c.text;
    EXPECT_EQ(entry.message, c.message) << c.text;
  }
  for (const std::string text : {"-2", "+2", "1e1", "1 5", "２"}) {
    const auto entry = ApplyMagnificationEntry(text, DrawingOfMillimetres(1000, 500));
    EXPECT_EQ(entry.outcome, Outcome::NotANumber) << text;
    EXPECT_EQ(entry.text + entry.message, text + "数値を入力してください");
  }
  EXPECT_EQ(MagnificationText(2.5f), "2.5");
  EXPECT_EQ(MagnificationText(0.1f), "0.1");
}

}  // namespace
}  // namespace korvid
