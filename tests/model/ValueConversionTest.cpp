#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "ErrorOf.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

namespace korvid {
namespace {

using testing::ErrorOf;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RoundToInt16, RoundsHalfToEven) {
  EXPECT_EQ(RoundToInt16(0.5), 0);
  EXPECT_EQ(RoundToInt16(1.5), 2);
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(-2.5), -2);
  EXPECT_EQ(RoundToInt16(-3.5), -4);
  EXPECT_EQ(RoundToInt16(2.4999999), 2);
  EXPECT_EQ(RoundToInt16(-32768.5), -32768);
  EXPECT_EQ(RoundToInt16(32767.49), 32767);
}

TEST(RoundToInt16, FailsWhenTheResultDoesNotFit) {
  for (double value : {32767.5, -32768.51, 1e10, kInf, -kInf, kNaN}) {
    EXPECT_EQ(ErrorOf([&] { RoundToInt16(value); }), 6) << value;
  }
}

TEST(RoundToInt32, RoundsHalfToEvenAndFailsBeyond32Bits) {
  EXPECT_EQ(RoundToInt32(10.5), 10);
  EXPECT_EQ(RoundToInt32(11.5), 12);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483648);
  for (double value : {2147483647.5, -2147483649.0, 3e9, kNaN}) {
    EXPECT_EQ(ErrorOf([&] { RoundToInt32(value); }), 6) << value;
  }
}

TEST(ToSingle, RoundsToNearestFloat) {
  EXPECT_EQ(ToSingle(0.1), 0.1f);
  EXPECT_EQ(ToSingle(16777217.0), 16777216.0f);
  EXPECT_EQ(ToSingle(FLT_MAX), FLT_MAX);
  EXPECT_EQ(ToSingle(-3.4e38), -3.4e38f);
  EXPECT_EQ(ToSingle(1e-50), 0.0f);
}

TEST(ToSingle, FailsBeyondTheLargestFloatEvenIfItWouldRoundDown) {
  const double justAbove = std::nextafter(static_cast<double>(FLT_MAX), kInf);
  EXPECT_EQ(static_cast<float>(justAbove), FLT_MAX);  // what a plain cast would give
  for (double value : {justAbove, -justAbove, 1e39, kInf, kNaN}) {
    EXPECT_EQ(ErrorOf([&] { ToSingle(value); }), 6) << value;
  }
}

TEST(CheckedDivide, DividesAndNamesTheFailure) {
  EXPECT_EQ(CheckedDivide(1, 4), 0.25);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(1, 0); }), 11);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(-1, -0.0); }), 11);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(0, 0); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckedDivide(1e300, 1e-300); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckFinite(kInf); }), 6);
}

TEST(ErrorNumberFromErrno, MapsFileFailuresOntoRunTimeErrors) {
  EXPECT_EQ(ErrorNumberFromErrno(ENOENT), 53);
  EXPECT_EQ(ErrorNumberFromErrno(EACCES), 70);
  EXPECT_EQ(ErrorNumberFromErrno(ENOSPC), 61);
  EXPECT_EQ(ErrorNumberFromErrno(EISDIR), 75);
  EXPECT_EQ(ErrorNumberFromErrno(EIO), 57);
}

}  // namespace
}  // namespace korvid
