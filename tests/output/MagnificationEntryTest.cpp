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
  std::string message = "";
  double widthMm = 1000, heightMm = 500;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
  *os << '"' << c.text << "\" on " << c.widthMm << " x " << c.heightMm << " mm";
}

class MagnificationEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(MagnificationEntries, AreTakenReducedOrRefused) {
  const EntryCase& c = GetParam();
  const MagnificationEntry entry =
      ApplyMagnificationEntry(c.text, *PlotOfMillimetres(c.widthMm, c.heightMm));
  EXPECT_EQ(entry.outcome, c.outcome);
  if (entry.outcome != Outcome::NotANumber) {
    EXPECT_FLOAT_EQ(entry.magnification, c.magnification);
  }
  EXPECT_EQ(entry.text, c.shownText);
  EXPECT_EQ(entry.message, c.message);
}

const std::string kNotANumber = "数値を入力してください";

INSTANTIATE_TEST_SUITE_P(
    Table, MagnificationEntries,
    ::testing::Values(EntryCase{"2", Outcome::Accepted, 2, "2"},
                      EntryCase{"1.5", Outcome::Accepted, 1.5f, "1.5"},
                      EntryCase{"1.2.3", Outcome::Accepted, 1.2f, "1.2.3"},
                      EntryCase{"", Outcome::Accepted, 0, ""},
                      EntryCase{"10", Outcome::Reduced, 4, " 4",
                                "倍率が限界を超えてますので、 4倍で処理します"},
                      // Too large even at 1; a direction without extent sets no limit.
                      EntryCase{"1", Outcome::Reduced, 0, " 0",
                                "倍率が限界を超えてますので、 0倍で処理します", 5000, 100},
                      EntryCase{"3", Outcome::Reduced, 0, " 0",
                                "倍率が限界を超えてますので、 0倍で処理します", 5000, 0},
                      EntryCase{"-2", Outcome::NotANumber, 0, "-2", kNotANumber},
                      EntryCase{"+2", Outcome::NotANumber, 0, "+2", kNotANumber},
                      EntryCase{"1e1", Outcome::NotANumber, 0, "1e1", kNotANumber},
                      EntryCase{"1 5", Outcome::NotANumber, 0, "1 5", kNotANumber},
                      EntryCase{"２", Outcome::NotANumber, 0, "２", kNotANumber}));

TEST(MagnificationText, UsesTheShortestForm) {
  EXPECT_EQ(MagnificationText(1), "1");
  EXPECT_EQ(MagnificationText(2.5f), "2.5");
  EXPECT_EQ(MagnificationText(0.1f), "0.1");
}

}  // namespace
}  // namespace korvid
