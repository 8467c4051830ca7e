#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "reader/FindLast.h"

namespace korvid {
namespace {

TEST(FindLast, GivesTheStartOfTheLastOccurrenceAndSplitsPathsThere) {
  EXPECT_EQ(FindLast("/a/b.hpg", "/"), 3);
  EXPECT_EQ(FindLast("abcabc", "bc"), 5);
  EXPECT_EQ(testing::ErrorOf([] { FindLast(std::string(40000, 'x') + "/", "/"); }), 6);
  const char* cases[][3] = {
      {"/home/u/b.hpg", "/home/u/", "b.hpg"}, {"b.hpg", "", "b.hpg"}, {"/tmp/", "/tmp/", ""}};
  for (auto [path, dir, name] : cases)
    EXPECT_EQ(SplitPlotPath(path).dir + "|" + SplitPlotPath(path).name,
              dir + ("|" + std::string(name)));
}

}  // namespace
}  // namespace korvid
