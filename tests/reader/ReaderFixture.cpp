#include "ReaderFixture.h"

#include <charconv>
#include <cstdio>

namespace korvid::testing {

namespace {
// The shortest text that reads back as the same float.
std::string Shortest(float value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string Point(float x, float y) {
  return Shortest(x) + "," + Shortest(y);
}

// Arc ends to 4 significant digits: enough to tell 3.1417 from pi.
std::string Approx(float x, float y) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4g,%.4g", x + 0.0, y + 0.0);
  return text;
}

std::string PenAndStyle(int pen, int style) {
  return (pen != 1 ? " p" + std::to_string(pen) : "") +
         (style != 0 ? " s" + std::to_string(style) : "");
}

std::string Ending(const ReadOutcome& outcome) {
  const std::string at = " at " + std::to_string(outcome.commandIndex);
  if (outcome.end == ReadEnd::PageAdvance) return "/ page" + at;
  if (outcome.end == ReadEnd::Failure) return "/ error " + std::to_string(outcome.errorNumber) + at;
  return outcome.end == ReadEnd::NoTerminator ? "/ no terminator" : "";
}
}  // namespace

PlotModel& SharedModel() {
  static auto* model = new PlotModel();
  return *model;
}

ReadOutcome ReaderTest::Read(std::string text) {
  status = 0;
  return reader.ReadPlotBytes(std::move(text), status);
}

std::string ReaderTest::Summary(const ReadOutcome& outcome) const {
  std::vector<std::string> parts;
  for (int i = 1; i <= model.SegCount[1]; ++i) {
    const Segment& s = model.Segments(i, 1);
    parts.push_back(Point(s.X1, s.Y1) + ">" + Point(s.X2, s.Y2) + PenAndStyle(s.Pen, s.LineStyle));
  }
  for (int i = 1; i <= model.ArcCount[1]; ++i) {
    const ArcRec& a = model.Arcs(i, 1);
    parts.push_back("arc " + Point(a.Left, a.Top) + "," + Point(a.Right, a.Bottom) + " " +
                    Approx(a.StartX, a.StartY) + ">" + Approx(a.EndX, a.EndY) +
                    PenAndStyle(a.Pen, a.LineStyle));
  }
  std::string text;
  for (const std::string& part : parts)
    text += (text.empty() ? "" : " | ") + part;
  const std::string ending = Ending(outcome);
  return text + (text.empty() || ending.empty() ? "" : " ") + ending;
}

std::string ReaderTest::Extents() const {
  return Point(model.MinX[1], model.MinY[1]) + ">" + Point(model.MaxX[1], model.MaxY[1]);
}

void ReaderTest::ExpectReads(std::initializer_list<ReadCase> cases, Describe describe) {
  for (const ReadCase& c : cases) {
    const ReadOutcome outcome = Read(c.text);
    const std::string shown = c.name + (" " + c.text.substr(0, 60));
    EXPECT_EQ(describe ? describe(outcome) : Summary(outcome), c.expected) << shown;
    EXPECT_EQ(status, 0) << shown;
    EXPECT_EQ(model.PlotCount, 1) << shown;
    EXPECT_EQ(outcome.EndedThroughFailure(), outcome.end != ReadEnd::Completed) << shown;
  }
}

}  // namespace korvid::testing
