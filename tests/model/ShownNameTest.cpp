#include <gtest/gtest.h>

#include "model/ShownName.h"

namespace korvid {
namespace {

TEST(ShownName, ControlCharactersAndBrokenUtf8AreEscaped) {
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"plain/drawing 1.hpg", "plain/drawing 1.hpg"},
      {"図面/配線.hpg", "図面/配線.hpg"},
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"c1 \xc2\x9b csi", "c1 \\xc2\\x9b csi"},    // U+009B, a terminal's CSI
      {"latin1 \xe9t\xe9", "latin1 \\xe9t\\xe9"},  // not UTF-8
      {"cut \xe5\x9b", "cut \\xe5\\x9b"},          // a sequence cut short
      {"overlong \xc0\xaf", "overlong \\xc0\\xaf"},
      {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownName(c.name), c.shown) << c.shown;
  }
}

}  // namespace
}  // namespace korvid
