#include "ReaderFixture.h"

namespace korvid::testing {

void PrintTo(const Seg& s, std::ostream* os) {
  *os << "Seg{" << s.x1 << ", " << s.y1 << ", " << s.x2 << ", " << s.y2 << ", pen " << s.pen
      << ", style " << s.style << "}";
}

void PrintTo(const Arc& a, std::ostream* os) {
  *os << "Arc{square " << a.left << ", " << a.top << ", " << a.right << ", " << a.bottom
      << "; start " << a.startX << ", " << a.startY << "; end " << a.endX << ", " << a.endY
      << "; pen " << a.pen << ", style " << a.style << "}";
}

PlotModel& SharedModel() {
  static auto* model = new PlotModel();
  return *model;
}

ReadOutcome ReaderTest::Read(std::string text) {
  status = 0;
  return reader.ReadPlotBytes(std::move(text), status);
}

Seg ReaderTest::Segment(int index) const {
  const korvid::Segment& s = model.Segments(index, 1);
  return {s.X1, s.Y1, s.X2, s.Y2, s.Pen, s.LineStyle};
}

std::vector<Seg> ReaderTest::Segments() const {
  std::vector<Seg> segments;
  for (int i = 1; i <= model.SegCount[1]; ++i)
    segments.push_back(Segment(i));
  return segments;
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
