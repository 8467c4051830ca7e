// The number rules of HPGL parameters and the checked conversions of their values.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "ErrorOf.h"
#include "model/NumberText.h"
#include "model/ValueConversion.h"

namespace korvid {
namespace {

using testing::ErrorOf;

TEST(NumberText, ReadsAsFarAsTheTextIsANumberOrAWholeNumberOrFails) {
  // clang-format off
  const std::pair<const char*, double> cases[] = {
      {"12.5", 12.5}, {"20PD30", 20}, {"", 0}, {"1 2", 12}, {" \t\n-1\t. 5", -1.5}, {"+7", 7},
      {"-.25", -0.25}, {"3.", 3}, {"1.2.3", 1.2}, {"--5", 0}, {"-", 0}, {"x1", 0}, {"1e3", 1000},
      {"2d2", 200}, {"2D-1", 0.2}, {"1 E 2", 100}, {"1E", 1}, {"1Ex", 1}, {"1e2.5", 100},
      {".E5", 0}, {"E5", 0}, {"1e-400", 0}, {"&H1F", 31}, {"&Hff", 255}, {"&H 1 0", 16},
      {"&HFFFFFFFF", 4294967295.0}, {"&O17", 15}, {"&O19", 1}, {"&H", 0}, {"&h1F", 0}, {"&17", 0},
      {"-&H10", 0}, {"0.1", 0.1}, {"\r5", 0}, {"0000000000000000000000000000012", 12},
      {"123456789012345678901234567890", 123456789012345678901234567890.0},
      // Up to 15 digits are exact; a 16th, or more than 64 bits of them, go the general way.
      {"-999999999999999,", -999999999999999.0}, {"9999999999999999", 1e16},
      {"18446744073709551617", 18446744073709551617.0}, {"12 3", 123}, {"12.", 12},
      {"&O7777777777777777777777777", 37778931862957161709567.0}};
  // clang-format on
  for (const auto& [text, value] : cases)
    EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';
  EXPECT_EQ(LeadingNumber(std::string("7\0008", 3)), 7);
  EXPECT_EQ(LeadingNumber("1" + std::string(400, '0') + "e-400"), 1);
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1.7976931348623157e308"); }), 0);
  for (const std::string& text :
       {std::string("1e309"), "-1" + std::string(400, '0'), "&H1" + std::string(256, '0')}) {
    EXPECT_EQ(ErrorOf([&] { LeadingNumber(text); }), 6) << text.substr(0, 30);
  }
  // Pen numbers: a whole number text, rounded half to even into 16 bits.
  // clang-format off
  const std::pair<const char*, int> values[] = {
      {"3", 3}, {"  3  ", 3}, {"-2", -2}, {"+4", 4}, {"2.5", 2}, {"3.5", 4}, {".5", 0}, {"1e1", 10},
      {"1D1", 10}, {"&H7FFF", 32767}, {"&O10", 8}, {"32767.4", 32767}, {"-32768.5", -32768}};
  const std::pair<const char*, int> errors[] = {
      {"", 13}, {"1 2", 13}, {"\t1", 13}, {"1\n", 13}, {"1x", 13}, {"1e", 13}, {".", 13}, {"-", 13},
      {"&H", 13}, {"&HG", 13}, {"-&H1", 13}, {"&h1", 13}, {"1,2", 13}, {"32767.5", 6},
      {"-32769", 6}, {"&HFFFF", 6}, {"1e400", 6}};
  // clang-format on
  for (auto [text, value] : values)
    EXPECT_EQ(IntegerValue(text), value) << '"' << text << '"';
  for (auto [text, error] : errors)
    EXPECT_EQ(ErrorOf([&] { IntegerValue(text); }), error) << '"' << text << '"';
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ValueConversion, RoundsHalfToEvenAndFailsWhenTheResultDoesNotFit) {
  // clang-format off
  const std::pair<double, int> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4},
      {2.4999999, 2}, {-32768.5, -32768}, {32767.49, 32767}};
  // clang-format on
  for (auto [value, rounded] : cases)
    EXPECT_EQ(RoundToInt16(value), rounded) << value;
  for (double value : {32767.5, -32768.51, 1e10, kInf, -kInf, kNaN})
    EXPECT_EQ(ErrorOf([&] { RoundToInt16(value); }), 6) << value;
  EXPECT_EQ(RoundToInt32(10.5), 10);
  EXPECT_EQ(RoundToInt32(11.5), 12);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483648);
  for (double value : {2147483647.5, -2147483649.0, 1e19, -1e300, kInf, -kInf, kNaN})
    EXPECT_EQ(ErrorOf([&] { RoundToInt32(value); }), 6) << value;
  // Floats round to nearest and fail beyond the largest float, even if they would round down.
  EXPECT_EQ(ToSingle(16777217.0), 16777216.0f);
  EXPECT_EQ(ToSingle(-FLT_MAX), -FLT_MAX);
  EXPECT_EQ(ToSingle(1e-50), 0.0f);
  const double justAbove = std::nextafter(static_cast<double>(FLT_MAX), kInf);
  for (double value : {justAbove, -justAbove, kInf, kNaN})
    EXPECT_EQ(ErrorOf([&] { ToSingle(value); }), 6) << value;
  // Division and file failures give their own numbers.
  EXPECT_EQ(ErrorOf([] { CheckedDivide(-1, -0.0); }), 11);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(0, 0); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(1e300, 1e-300); }), 6);
  const std::pair<int, int> errnos[] = {
      {ENOENT, 53}, {EACCES, 70}, {ENOSPC, 61}, {EISDIR, 75}, {EIO, 57}};
  for (auto [code, number] : errnos)
    EXPECT_EQ(ErrorNumberFromErrno(code), number) << code;
}

}  // namespace
}  // namespace korvid
