#include <gtest/gtest.h>

#include "model/ShownName.h"

namespace korvid {
namespace {

// Among the broken: U+009B (a terminal's CSI), Latin-1, a sequence cut short, an overlong
// form and a surrogate.
TEST(ShownName, ControlCharactersAndBrokenUtf8AreEscaped) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"図面/配線 1.hpg", "図面/配線 1.hpg"}, {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"}, {std::string("nul\0x", 5), "nul\\x00x"},
      {"c1 \xc2\x9b csi", "c1 \\xc2\\x9b csi"}, {"latin1 \xe9t\xe9", "latin1 \\xe9t\\xe9"},
      {"cut \xe5\x9b", "cut \\xe5\\x9b"}, {"overlong \xc0\xaf", "overlong \\xc0\\xaf"},
      {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"}};
  // clang-format on
  for (const auto& [name, shown] : cases)
    EXPECT_EQ(ShownName(name), shown);
}

}  // namespace
}  // namespace korvid
