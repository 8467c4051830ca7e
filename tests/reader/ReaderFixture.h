#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "model/PlotModel.h"
#include "reader/PlotReader.h"

namespace korvid::testing {

// An arc record as plain values, for readable expectations.
struct Arc {
  float left, top, right, bottom, startX, startY, endX, endY;
  int pen = 1;
  int style = 0;
};

class CapturingMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// One model for the whole test program, as the viewer has one: every read overwrites it.
PlotModel& SharedModel();

class ReaderTest : public ::testing::Test {
 protected:
  ReadOutcome Read(std::string text);
  // Segment `index` (1-based, counted or not) as "x1,y1>x2,y2", followed by " pN" for a
  // pen other than 1 and " sN" for a line style other than 0.
  std::string SegmentText(int index) const;
  // The counted segments, separated by " | ".
  std::string Drawn() const;
  std::vector<Arc> Arcs() const;
  float MinX() const { return model.MinX[1]; }
  float MinY() const { return model.MinY[1]; }
  float MaxX() const { return model.MaxX[1]; }
  float MaxY() const { return model.MaxY[1]; }

  PlotModel& model = SharedModel();
  CapturingMessenger messenger;
  PlotReader reader{model, messenger};
  std::int16_t status = 0;
};

}  // namespace korvid::testing
