#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "reader/FindLast.h"

namespace korvid {
namespace {

TEST(FindLast, GivesTheStartOfTheLastOccurrence) {
  EXPECT_EQ(FindLast("/a/b.hpg", "/"), 3);
  EXPECT_EQ(FindLast("b.hpg", "/"), 0);
  EXPECT_EQ(FindLast("abcabc", "bc"), 5);
  EXPECT_EQ(FindLast("ab", "abc"), 0);
  EXPECT_EQ(testing::ErrorOf([] { FindLast(std::string(40000, 'x') + "/", "/"); }), 6);
}

TEST(SplitPlotPath, SplitsAtTheLastSlash) {
  for (auto [path, dir, name] : {std::tuple{"/home/u/b.hpg", "/home/u/", "b.hpg"},
                                 {"b.hpg", "", "b.hpg"},
                                 {"/tmp/", "/tmp/", ""}}) {
    EXPECT_EQ(SplitPlotPath(path).dir, dir) << path;
    EXPECT_EQ(SplitPlotPath(path).name, name) << path;
  }
}

}  // namespace
}  // namespace korvid
