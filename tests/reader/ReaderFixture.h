#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/PlotModel.h"
#include "reader/PlotReader.h"

namespace korvid::testing {

class CapturingMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// One model for the whole test program, as the viewer has one: every read overwrites it.
PlotModel& SharedModel();

struct ReadCase {
  const char* name;
  std::string text;
  std::string expected;
};

class ReaderTest : public ::testing::Test {
 protected:
  ReadOutcome Read(std::string text);
  // The counted segments ("x1,y1>x2,y2") and then arcs ("arc left,top,right,bottom
  // start>end", ends to 4 digits), each with " pN" for a pen other than 1 and " sN" for a
  // line style other than 0, joined by " | "; then " / " and how the read ended, unless it
  // completed ("page at 3", "error 13 at 3": the 1-based command).
  std::string Summary(const ReadOutcome& outcome) const;
  std::string Extents() const;  // "minX,minY>maxX,maxY"
  // Reads each case afresh and compares `describe` (Summary by default) with its expectation.
  using Describe = std::function<std::string(const ReadOutcome&)>;
  void ExpectReads(std::initializer_list<ReadCase> cases, Describe describe = {});

  PlotModel& model = SharedModel();
  CapturingMessenger messenger;
  PlotReader reader{model, messenger};
  std::int16_t status = 0;
};

}  // namespace korvid::testing
