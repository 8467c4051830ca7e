#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <utility>

#include "ErrorOf.h"
#include "model/ValueConversion.h"

namespace korvid {
namespace {

using testing::ErrorOf;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RoundToInteger, RoundsHalfToEvenAndFailsWhenTheResultDoesNotFit) {
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
  for (double value : {2147483647.5, -2147483649.0, kNaN})
    EXPECT_EQ(ErrorOf([&] { RoundToInt32(value); }), 6) << value;
}

TEST(ToSingle, RoundsToNearestAndFailsBeyondTheLargestFloatEvenIfItWouldRoundDown) {
  EXPECT_EQ(ToSingle(16777217.0), 16777216.0f);
  EXPECT_EQ(ToSingle(-FLT_MAX), -FLT_MAX);
  EXPECT_EQ(ToSingle(1e-50), 0.0f);
  const double justAbove = std::nextafter(static_cast<double>(FLT_MAX), kInf);
  for (double value : {justAbove, -justAbove, kInf, kNaN})
    EXPECT_EQ(ErrorOf([&] { ToSingle(value); }), 6) << value;
}

TEST(RunTimeErrors, DivisionAndFileFailuresGiveTheirNumbers) {
  EXPECT_EQ(CheckedDivide(1, 4), 0.25);
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
