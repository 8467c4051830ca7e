// The number rules of HPGL parameters, as a table of texts and what they read.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ErrorOf.h"
#include "model/NumberText.h"
#include "model/RuntimeError.h"

namespace korvid {
namespace {

using testing::ErrorOf;

// Long texts are shortened so that test names stay readable.
std::string Shown(const std::string& text) {
  if (text.size() <= 24) return '"' + text + '"';
  return '"' + text.substr(0, 12) + "..." + '"' + " (" + std::to_string(text.size()) + " chars)";
}

struct LeadingCase {
  std::string text;
  double value;
};

void PrintTo(const LeadingCase& c, std::ostream* os) {
  *os << Shown(c.text);
}

class LeadingNumbers : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumbers, Read) {
  EXPECT_EQ(LeadingNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingNumbers,
    ::testing::Values(
        LeadingCase{"12.5", 12.5}, LeadingCase{"20PD30", 20}, LeadingCase{"", 0},
        LeadingCase{"1 2", 12}, LeadingCase{" \t\n-1\t. 5", -1.5}, LeadingCase{"+7", 7},
        LeadingCase{"-.25", -0.25}, LeadingCase{"3.", 3}, LeadingCase{"1.2.3", 1.2},
        LeadingCase{"--5", 0}, LeadingCase{"-", 0}, LeadingCase{".", 0}, LeadingCase{"x1", 0},
        LeadingCase{"1e3", 1000}, LeadingCase{"1E+3", 1000}, LeadingCase{"2d2", 200},
        LeadingCase{"2D-1", 0.2}, LeadingCase{"1 E 2", 100}, LeadingCase{"1E", 1},
        LeadingCase{"1E+", 1}, LeadingCase{"1Ex", 1}, LeadingCase{"1e2.5", 100},
        LeadingCase{".E5", 0}, LeadingCase{"E5", 0}, LeadingCase{"1e-400", 0},
        LeadingCase{"&H1F", 31}, LeadingCase{"&Hff", 255}, LeadingCase{"&H 1 0", 16},
        LeadingCase{"&HFFFFFFFF", 4294967295.0}, LeadingCase{"&O17", 15}, LeadingCase{"&O19", 1},
        LeadingCase{"&O", 0}, LeadingCase{"&H", 0}, LeadingCase{"&h1F", 0}, LeadingCase{"&o17", 0},
        LeadingCase{"&17", 0}, LeadingCase{"-&H10", 0}, LeadingCase{"+&O7", 0},
        LeadingCase{"0.1", 0.1}, LeadingCase{"\r5", 0},
        LeadingCase{std::string("7\0"
                                "8",
                                3),
                    7},
        LeadingCase{"0000000000000000000000000000012", 12},
        LeadingCase{"123456789012345678901234567890", 123456789012345678901234567890.0},
        LeadingCase{"&O7777777777777777777777777", 37778931862957161709567.0},
        LeadingCase{"1" + std::string(400, '0') + "e-400", 1}));

TEST(LeadingNumber, NegativeZeroKeepsItsSign) {
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
}

TEST(LeadingNumber, BeyondTheDoubleRangeIsAnOverflow) {
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1e309"); }), 6);
  EXPECT_EQ(ErrorOf([] { LeadingNumber("-1" + std::string(400, '0')); }), 6);
  EXPECT_EQ(ErrorOf([] { LeadingNumber("&H1" + std::string(256, '0')); }), 6);
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1.7976931348623157e308"); }), 0);
}

struct IntegerCase {
  std::string text;
  int value;  // or the error number, when error is set
  bool error = false;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
  *os << Shown(c.text);
}

class IntegerValues : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerValues, ReadOrFail) {
  const IntegerCase& c = GetParam();
  if (c.error) {
    EXPECT_EQ(ErrorOf([&] { IntegerValue(c.text); }), c.value);
  } else {
    EXPECT_EQ(IntegerValue(c.text), c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerValues,
    ::testing::Values(
        IntegerCase{"3", 3}, IntegerCase{"  3  ", 3}, IntegerCase{"-2", -2}, IntegerCase{"+4", 4},
        IntegerCase{"2.5", 2}, IntegerCase{"3.5", 4}, IntegerCase{".5", 0}, IntegerCase{"1e1", 10},
        IntegerCase{"1D1", 10}, IntegerCase{"&H7FFF", 32767}, IntegerCase{"&O10", 8},
        IntegerCase{"32767.4", 32767}, IntegerCase{"-32768.5", -32768}, IntegerCase{"", 13, true},
        IntegerCase{"   ", 13, true}, IntegerCase{"1 2", 13, true}, IntegerCase{"\t1", 13, true},
        IntegerCase{"1\n", 13, true}, IntegerCase{"1x", 13, true}, IntegerCase{"1e", 13, true},
        IntegerCase{".", 13, true}, IntegerCase{"-", 13, true}, IntegerCase{"&H", 13, true},
        IntegerCase{"&HG", 13, true}, IntegerCase{"-&H1", 13, true}, IntegerCase{"&h1", 13, true},
        IntegerCase{"1,2", 13, true}, IntegerCase{"32767.5", 6, true},
        IntegerCase{"-32769", 6, true}, IntegerCase{"&HFFFF", 6, true},
        IntegerCase{"1e400", 6, true}));

}  // namespace
}  // namespace korvid
