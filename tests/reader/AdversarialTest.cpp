// Inputs that break other plotter-file readers: they must read in time linear in their
// size and never crash. A quadratic reader would take hours on these, not seconds.
#include <cmath>
#include <random>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

bool CountedRecordsFinite(const PlotModel& model) {
  for (int i = 1; i <= model.SegCount[1]; ++i) {
    const korvid::Segment& s = model.Segments(i, 1);
    for (float v : {s.X1, s.Y1, s.X2, s.Y2})
      if (!std::isfinite(v)) return false;
  }
  for (int i = 1; i <= model.ArcCount[1]; ++i) {
    const ArcRec& a = model.Arcs(i, 1);
    for (float v : {a.Left, a.Top, a.Right, a.Bottom, a.StartX, a.StartY, a.EndX, a.EndY})
      if (!std::isfinite(v)) return false;
  }
  return true;
}

TEST_F(ReaderTest, DegenerateElementsReadNormally) {
  const ReadOutcome outcome = Read("PU5,5;CI0;PD5,5;PD;PA5,5;AA5,5,360;AR0,0,1E30;");
  EXPECT_EQ(outcome.end, ReadEnd::Completed);
  EXPECT_EQ(model.SegCount[1], 2);
  EXPECT_EQ(model.ArcCount[1], 3);
  EXPECT_TRUE(CountedRecordsFinite(model));
}

TEST_F(ReaderTest, MillionRelativePairsInOneCommand) {
  std::string text = "PU0,0;PD;PR";
  for (int i = 0; i < 1'000'000; ++i)
    text += (i % 2 ? "1,0," : "0,1,");
  const ReadOutcome outcome = Read(text + "1,1;");
  EXPECT_TRUE(outcome.segmentCapacityReached);
  EXPECT_EQ(SegmentText(PlotModel::MaxSegments), "74999,75000>75000,75000");
}

TEST_F(ReaderTest, FiftyMegabytesOnOneLineWithoutTerminator) {
  std::string text;
  while (text.size() < 50'000'000)
    text += "PD12345,67890,";
  EXPECT_EQ(Read(std::move(text)).end, ReadEnd::NoTerminator);
}

TEST_F(ReaderTest, LongCommandCutUpAgainAndAgain) {
  // Each "PA" breaks the coordinate list off and restarts it after the blanks before it.
  for (const char* piece : {"PA", " \n PA"}) {
    std::string text = "PA";
    for (int i = 0; i < 1'000'000; ++i)
      text += piece;
    text += "1,2;PD;PA3,4;" + std::string(2'000'000, ' ') + "PA";
    EXPECT_EQ(Read(text).end, ReadEnd::Completed);
    EXPECT_EQ(Drawn(), "1,2>3,4");
  }
}

TEST_F(ReaderTest, LongRunsOfDigitsAndBlanks) {
  const std::string digits400(400, '7');
  std::string text = "PU0,0;PD" + digits400.substr(0, 30) + "," + digits400 + ";";
  text += "PD1," + std::string(3'000'000, ' ') + "2;";
  text += "PD1,0." + std::string(5'000'000, '0') + "1;";
  text += "CI" + std::string(2'000'000, '0') + "3;";
  const ReadOutcome outcome = Read(text);
  EXPECT_EQ(outcome.errorNumber, 6);  // 400 sevens do not fit a float
  EXPECT_EQ(outcome.commandIndex, 2);
  EXPECT_EQ(Read(text.substr(text.find("PD1,"))).end, ReadEnd::Completed);
  EXPECT_EQ(Drawn(), "0,0>1,2 | 1,2>1,0") << "1e-5000001 underflows to 0";
  EXPECT_EQ(model.Arcs(1, 1).Right, 4);  // radius 3 around the pen at (1, 0)
}

TEST_F(ReaderTest, NulAndRandomBytes) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 200; ++round) {
    std::string text(1 + random() % 4000, '\0');
    const char alphabet[] = "PUDAIRNCLTSGF0123456789,;.-+ E&HO\n\r\t\0";
    for (char& c : text)
      c = round % 2 ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet)];
    Read(text);
    EXPECT_LE(model.SegCount[1], PlotModel::MaxSegments);
    EXPECT_LE(model.ArcCount[1], PlotModel::MaxArcs);
    EXPECT_TRUE(CountedRecordsFinite(model)) << "round " << round;
  }
  // NUL is an ordinary character: it ends a number and is not a command.
  Read(
      std::string("PU0,0;\0PD9,9;PD1,\0"
                  "2;",
                  20));
  EXPECT_EQ(Drawn(), "0,0>1,0");
}

}  // namespace
}  // namespace korvid::testing
