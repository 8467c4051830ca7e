#include <gtest/gtest.h>

#include "output/MagnificationEntry.h"

namespace korvid {
namespace {

using Outcome = MagnificationEntry::Outcome;

std::unique_ptr<PlotModel> PlotOfMillimetres(double width, double height) {
  auto model = std::make_unique<PlotModel>();
  model->CurPlot = 1;
  model->MinX[1] = 0;
  model->MaxX[1] = static_cast<float>(width * 40);
  model->MinY[1] = 0;
  model->MaxY[1] = static_cast<float>(height * 40);
  return model;
}

struct EntryCase {
  std::string text;
  Outcome outcome;
  float magnification;
  std::string shownText;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class MagnificationEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(MagnificationEntries, ForAMetreByHalfAMetre) {
  const auto model = PlotOfMillimetres(1000, 500);
  const MagnificationEntry entry = ApplyMagnificationEntry(GetParam().text, *model);
  EXPECT_EQ(entry.outcome, GetParam().outcome);
  if (entry.outcome != Outcome::NotANumber) {
    EXPECT_FLOAT_EQ(entry.magnification, GetParam().magnification);
  }
  EXPECT_EQ(entry.text, GetParam().shownText);
}

INSTANTIATE_TEST_SUITE_P(Table, MagnificationEntries,
                         ::testing::Values(EntryCase{"2", Outcome::Accepted, 2, "2"},
                                           EntryCase{"1.5", Outcome::Accepted, 1.5f, "1.5"},
                                           EntryCase{"1.2.3", Outcome::Accepted, 1.2f, "1.2.3"},
                                           EntryCase{"", Outcome::Accepted, 0, ""},
                                           EntryCase{"10", Outcome::Reduced, 4, " 4"},
                                           EntryCase{"-2", Outcome::NotANumber, 0, "-2"},
                                           EntryCase{"+2", Outcome::NotANumber, 0, "+2"},
                                           EntryCase{"1e1", Outcome::NotANumber, 0, "1e1"},
                                           EntryCase{"1 5", Outcome::NotANumber, 0, "1 5"},
                                           EntryCase{"２", Outcome::NotANumber, 0, "２"}));

TEST(MagnificationEntry, MessagesNameTheReducedFactor) {
  const auto model = PlotOfMillimetres(1000, 500);
  EXPECT_EQ(ApplyMagnificationEntry("10", *model).message,
            "倍率が限界を超えてますので、 4倍で処理します");
  EXPECT_EQ(ApplyMagnificationEntry("x", *model).message, "数値を入力してください");
  EXPECT_EQ(ApplyMagnificationEntry("2", *model).message, "");
}

TEST(MagnificationEntry, DrawingTooLargeEvenAtOneIsReducedToZero) {
  const auto model = PlotOfMillimetres(5000, 100);
  const MagnificationEntry entry = ApplyMagnificationEntry("1", *model);
  EXPECT_EQ(entry.outcome, Outcome::Reduced);
  EXPECT_EQ(entry.magnification, 0);
  EXPECT_EQ(entry.text, " 0");
}

TEST(MagnificationEntry, DirectionWithoutExtentSetsNoLimit) {
  const auto model = PlotOfMillimetres(5000, 0);
  const MagnificationEntry entry = ApplyMagnificationEntry("3", *model);
  EXPECT_EQ(entry.outcome, Outcome::Reduced);
  EXPECT_EQ(entry.text, " 0");
}

TEST(MagnificationText, UsesTheShortestForm) {
  EXPECT_EQ(MagnificationText(1), "1");
  EXPECT_EQ(MagnificationText(2.5f), "2.5");
  EXPECT_EQ(MagnificationText(0.1f), "0.1");
}

}  // namespace
}  // namespace korvid
