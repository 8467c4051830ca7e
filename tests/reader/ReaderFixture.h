#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "model/PlotModel.h"
#include "model/ShownName.h"
#include "reader/PlotReader.h"

namespace korvid::testing {

class CapturingMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

// Each coordinate as the shortest text that reads back as the same float.
inline std::string Point(float x, float y) {
  char text[64];
  char* comma = std::to_chars(text, text + 30, x).ptr;
  *comma = ',';
  return std::string(text, std::to_chars(comma + 1, text + sizeof text, y).ptr);
}

// A plot text and what it reads as.
using ReadCase = std::pair<std::string, std::string>;

class ReaderTest : public ::testing::Test {
 protected:
  ReadOutcome Read(std::string text) {
    status = 0;
    return reader.ReadPlotBytes(std::move(text), status);
  }

  // Segments ("x1,y1>x2,y2") and arcs ("arc left,top,right,bottom start>end", the ends to 4
  // digits), with " pN" for a pen but 1, " sN" for a line style but 0; then how the read ended
  // unless it completed ("page at 3", "error 13 at 3": the 1-based command); joined by " | ".
  std::string Summary(const ReadOutcome& outcome) const {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : " | ") + part; };
    auto penAndStyle = [](int pen, int style) {
      return (pen != 1 ? " p" + std::to_string(pen) : "") +
             (style != 0 ? " s" + std::to_string(style) : "");
    };
    for (int i = 1; i <= model.SegCount[1]; ++i) {
      const Segment& s = model.Segments(i, 1);
      add(Point(s.X1, s.Y1) + ">" + Point(s.X2, s.Y2) + penAndStyle(s.Pen, s.LineStyle));
    }
    for (int i = 1; i <= model.ArcCount[1]; ++i) {
      const ArcRec& a = model.Arcs(i, 1);
      char ends[80];
      std::snprintf(ends, sizeof ends, " %.4g,%.4g>%.4g,%.4g", a.StartX + 0.0, a.StartY + 0.0,
                    a.EndX + 0.0, a.EndY + 0.0);
      add("arc " + Point(a.Left, a.Top) + "," + Point(a.Right, a.Bottom) + ends +
          penAndStyle(a.Pen, a.LineStyle));
    }
    const std::string at = " at " + std::to_string(outcome.commandIndex);
    if (outcome.end == ReadEnd::PageAdvance) add("page" + at);
    if (outcome.end == ReadEnd::Failure) add("error " + std::to_string(outcome.errorNumber) + at);
    if (outcome.end == ReadEnd::NoTerminator) add("no terminator");
    return text;
  }

  // Reads each case afresh and compares `describe` (Summary by default) with its expectation.
  void ExpectReads(std::initializer_list<ReadCase> cases,
                   std::function<std::string(const ReadOutcome&)> describe = {}) {
    for (const auto& [text, expected] : cases) {
      const ReadOutcome outcome = Read(text);
      const std::string shown = ShownName(text.substr(0, 80));
      EXPECT_EQ(describe ? describe(outcome) : Summary(outcome), expected) << shown;
      EXPECT_EQ(status, 0) << shown;
      EXPECT_EQ(model.PlotCount, 1) << shown;
    }
  }

  // One model for the whole program, as the viewer has one: every read overwrites it.
  static PlotModel& SharedModel() {
    static auto* model = new PlotModel();
    return *model;
  }

  PlotModel& model = SharedModel();
  CapturingMessenger messenger;
  PlotReader reader{model, messenger};
  std::int16_t status = 0;
};

}  // namespace korvid::testing
