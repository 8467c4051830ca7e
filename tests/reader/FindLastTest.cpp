#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "reader/FindLast.h"

namespace korvid {
namespace {

TEST(FindLast, GivesTheStartOfTheLastOccurrence) {
  EXPECT_EQ(FindLast("/a/b.hpg", "/"), 3);
  EXPECT_EQ(FindLast("b.hpg", "/"), 0);
  EXPECT_EQ(FindLast("abcabc", "bc"), 5);
  EXPECT_EQ(FindLast("", "/"), 0);
  EXPECT_EQ(FindLast("ab", "abc"), 0);
}

TEST(FindLast, BeyondSixteenBitsIsAnOverflow) {
  EXPECT_EQ(testing::ErrorOf([] { FindLast(std::string(40000, 'x') + "/", "/"); }), 6);
}

TEST(SplitPlotPath, SplitsAtTheLastSlash) {
  const PlotPath inFolder = SplitPlotPath("/home/u/plots/b.hpg");
  EXPECT_EQ(inFolder.dir, "/home/u/plots/");
  EXPECT_EQ(inFolder.name, "b.hpg");
  const PlotPath bare = SplitPlotPath("b.hpg");
  EXPECT_EQ(bare.dir, "");
  EXPECT_EQ(bare.name, "b.hpg");
  const PlotPath folderOnly = SplitPlotPath("/tmp/");
  EXPECT_EQ(folderOnly.dir, "/tmp/");
  EXPECT_EQ(folderOnly.name, "");
}

}  // namespace
}  // namespace korvid
