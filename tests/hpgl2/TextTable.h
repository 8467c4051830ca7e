// The shape the tables of the standard reading share: named rows of an input text and the
// text that describes what the code under test made of it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "model/StandardPlot.h"

namespace korvid {

struct TextCase {
  const char* name;
  std::string text;
  std::string expected;
};

// A number to three decimals, as the descriptions write them.
inline std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::round(value * 1000) / 1000 + 0.0);
  return text;
}

// Points as "x,y x,y".
inline std::string Points(const std::vector<PlotPoint>& points) {
  std::string out;
  for (const PlotPoint& p : points)
    out += (out.empty() ? "" : " ") + Number(p.x) + "," + Number(p.y);
  return out;
}

// The row's input as the test's parameter, instead of its bytes.
inline void PrintTo(const TextCase& row, std::ostream* out) {
  *out << testing::PrintToString(row.text);
}

inline std::string CaseName(const testing::TestParamInfo<TextCase>& info) {
  return info.param.name;
}

}  // namespace korvid

// One test per row of `rows` (an array of TextCase): Describe(row.text) == row.expected.
#define TEXT_TABLE(Suite, Describe, rows)                      \
  class Suite : public testing::TestWithParam<TextCase> {};    \
  TEST_P(Suite, Gives) {                                       \
    EXPECT_EQ(Describe(GetParam().text), GetParam().expected); \
  }                                                            \
  INSTANTIATE_TEST_SUITE_P(Table, Suite, testing::ValuesIn(rows), korvid::CaseName)
