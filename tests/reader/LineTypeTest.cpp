// LT: which line-style code each line type gives. The elements that take the style are
// in the segment and arc tables.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

struct LineTypeCase {
  std::string command;
  int style;
};

void PrintTo(const LineTypeCase& c, std::ostream* os) {
  *os << '"' << c.command << '"';
}

class LineTypes : public ReaderTest, public ::testing::WithParamInterface<LineTypeCase> {};

TEST_P(LineTypes, GiveTheStyle) {
  Read("PU0,0;" + GetParam().command + ";");
  EXPECT_EQ(reader.State().CurLineStyle, GetParam().style);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineTypes,
    ::testing::Values(LineTypeCase{"LT", 0}, LineTypeCase{"LT0", 5}, LineTypeCase{"LT1", 2},
                      LineTypeCase{"LT2", 2}, LineTypeCase{"LT3", 1}, LineTypeCase{"LT4", 3},
                      LineTypeCase{"LT5", 3}, LineTypeCase{"LT6", 4}, LineTypeCase{"LT7", 0},
                      LineTypeCase{"LT-1", -2}, LineTypeCase{"LT-2", -2}, LineTypeCase{"LT-3", -1},
                      LineTypeCase{"LT-4", -3}, LineTypeCase{"LT-5", -3}, LineTypeCase{"LT-6", -4},
                      LineTypeCase{"LT-7", 1}, LineTypeCase{"LT-8", 0}, LineTypeCase{"LT2.5", 2},
                      LineTypeCase{"LT1.5", 2}, LineTypeCase{"LT0.5", 5}, LineTypeCase{"LT ", 5},
                      LineTypeCase{"LT3,0.5", 1}, LineTypeCase{"LT,4", 5}, LineTypeCase{"LT 6", 4},
                      LineTypeCase{"LT6X", 4}, LineTypeCase{"\n LT6", 4}));

}  // namespace
}  // namespace korvid::testing
