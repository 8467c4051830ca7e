#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "model/PlotModel.h"
#include "reader/PlotReader.h"

namespace korvid::testing {

// Segment and arc records as plain values, in reading order, for readable expectations.
struct Seg {
  float x1, y1, x2, y2;
  int pen = 1;
  int style = 0;
  bool operator==(const Seg&) const = default;
};
void PrintTo(const Seg& s, std::ostream* os);

struct Arc {
  float left, top, right, bottom, startX, startY, endX, endY;
  int pen = 1;
  int style = 0;
  bool operator==(const Arc&) const = default;
};
void PrintTo(const Arc& a, std::ostream* os);

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
  std::vector<Seg> Segments() const;
  std::vector<Arc> Arcs() const;
  Seg Segment(int index) const;  // 1-based, counted or not
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
