#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/Rounding.h"

namespace korvid {
namespace {

// Where a sum-and-truncate rounding goes wrong, and the edges of the exact range.
TEST(RoundingTest, EqualsTheLibrary) {
  const double kValues[] = {0.0,
                            -0.0,
                            0.5,
                            -0.5,
                            1.5,
                            -2.5,
                            0.49999999999999994,
                            -0.49999999999999994,
                            0.5000000000000001,
                            2.4999999999999996,
                            1e-300,
                            123456.49999999999,
                            -987654.5,
                            4503599627370495.5,
                            -4503599627370495.5,
                            4503599627370496.0,
                            9007199254740993.0,
                            -1e18,
                            std::nextafter(0.5, 0.0),
                            std::nextafter(-1.5, 0.0),
                            std::nextafter(-1.5, -2.0)};
  for (const double value : kValues)
    EXPECT_EQ(RoundHalfAway(value), std::lround(value)) << value;
}

}  // namespace
}  // namespace korvid
