#include "ReaderFixture.h"

#include <charconv>

namespace korvid::testing {

namespace {
// The shortest text that reads back as the same float.
std::string Shortest(float value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
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

std::string ReaderTest::SegmentText(int index) const {
  const korvid::Segment& s = model.Segments(index, 1);
  std::string text =
      Shortest(s.X1) + "," + Shortest(s.Y1) + ">" + Shortest(s.X2) + "," + Shortest(s.Y2);
  if (s.Pen != 1) text += " p" + std::to_string(s.Pen);
  if (s.LineStyle != 0) text += " s" + std::to_string(s.LineStyle);
  return text;
}

std::string ReaderTest::Drawn() const {
  std::string text;
  for (int i = 1; i <= model.SegCount[1]; ++i)
    text += (i > 1 ? " | " : "") + SegmentText(i);
  return text;
}

std::vector<Arc> ReaderTest::Arcs() const {
  std::vector<Arc> arcs;
  for (int i = 1; i <= model.ArcCount[1]; ++i) {
    const ArcRec& a = model.Arcs(i, 1);
    arcs.push_back(
        {a.Left, a.Top, a.Right, a.Bottom, a.StartX, a.StartY, a.EndX, a.EndY, a.Pen, a.LineStyle});
  }
  return arcs;
}

}  // namespace korvid::testing
