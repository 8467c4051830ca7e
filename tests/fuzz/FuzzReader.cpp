// libFuzzer target: any bytes through the HPGL reader as the viewer feeds a file to it, into one
// model every run reuses; each run checks what the rest of the program relies on after a read.
#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "FuzzCheck.h"
#include "model/PlotModel.h"
#include "model/RuntimeError.h"
#include "reader/PlotReader.h"

namespace {

using namespace korvid;

struct CountingMessenger : ReaderMessenger {
  void ShowMessage(const std::string&) override { ++shown; }
  int shown = 0;
};

// Whether the command splitter sees a command end: a semicolon, or a line feed that is not part
// of a CR LF pair (pairs go in one pass from the left, so CR CR LF LF leaves CR LF).
bool HasCommandEnd(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
      ++i;
    else if (bytes[i] == ';' || bytes[i] == '\n')
      return true;
  }
  return false;
}

bool Finite(std::initializer_list<float> values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

bool Untouched(const PlotModel& m) {
  return m.MinX[1] == kInitialMinExtent && m.MinY[1] == kInitialMinExtent &&
         m.MaxX[1] == kInitialMaxExtent && m.MaxY[1] == kInitialMaxExtent;
}

void CheckModel(const PlotModel& m) {
  const std::int32_t segments = m.SegCount[1], arcs = m.ArcCount[1];
  FUZZ_REQUIRE(m.PlotCount == 1 && segments >= 0 && segments <= PlotModel::MaxSegments);
  FUZZ_REQUIRE(arcs >= 0 && arcs <= PlotModel::MaxArcs);
  const float minX = m.MinX[1], minY = m.MinY[1], maxX = m.MaxX[1], maxY = m.MaxY[1];
  FUZZ_REQUIRE(Finite({minX, minY, maxX, maxY}));
  // Extents are widened by whole points only, X and Y together: either nothing widened them,
  // or they enclose at least one point.
  FUZZ_REQUIRE(Untouched(m) ? segments == 0 && arcs == 0 : minX <= maxX && minY <= maxY);
  // Drawing the plot fitted to its (finite) extents must not leave anything outside.
  auto inside = [&](float x, float y) { return x >= minX && x <= maxX && y >= minY && y <= maxY; };
  auto isStyle = [](std::int16_t style) { return style >= -4 && style <= 5; };
  for (std::int32_t i = 1; i <= segments; ++i) {
    const Segment& s = m.Segments(i, 1);
    FUZZ_REQUIRE(isStyle(s.LineStyle) && inside(s.X1, s.Y1) && inside(s.X2, s.Y2));
  }
  for (std::int32_t i = 1; i <= arcs; ++i) {
    const ArcRec& a = m.Arcs(i, 1);
    FUZZ_REQUIRE(Finite({a.Left, a.Top, a.Right, a.Bottom, a.StartX, a.StartY, a.EndX, a.EndY}));
    FUZZ_REQUIRE(isStyle(a.LineStyle) && a.Left <= a.Right && a.Bottom <= a.Top);
    FUZZ_REQUIRE(inside(a.Left, a.Bottom) && inside(a.Right, a.Top));
  }
}

// What one read leaves behind, to compare a second read of the same bytes with: nothing of an
// earlier read may leak into the next one.
auto Snapshot(const PlotModel& m, const ReadOutcome& o) {
  return std::tuple(m.SegCount[1], m.ArcCount[1], m.MinX[1], m.MinY[1], m.MaxX[1], m.MaxY[1],
                    o.status, o.end, o.errorNumber, o.commandCount, o.skipped.size());
}

}  // namespace

FUZZ_TARGET(bytes) {
  static PlotModel& model = *new PlotModel();
  static CountingMessenger& messenger = *new CountingMessenger();
  static PlotReader& reader = *new PlotReader(model, messenger);
  const std::int32_t segmentsBefore = model.SegCount[1], arcsBefore = model.ArcCount[1];
  messenger.shown = 0;
  std::int16_t status = 0;
  const ReadOutcome outcome = reader.ReadPlotBytes(std::string(bytes), status);
  FUZZ_REQUIRE(status == outcome.status);
  if (!HasCommandEnd(bytes)) {
    // Nothing is read, the user is told so, and the previous plot's counts stay.
    FUZZ_REQUIRE(status == 1 && outcome.end == ReadEnd::NoTerminator && messenger.shown == 1);
    FUZZ_REQUIRE(outcome.commandCount == 0 && outcome.skipped.empty() &&
                 !outcome.CapacityReached());
    FUZZ_REQUIRE(model.PlotCount == 1 && model.SegCount[1] == segmentsBefore &&
                 model.ArcCount[1] == arcsBefore && Untouched(model));
    return;
  }
  FUZZ_REQUIRE(status == 0 && messenger.shown == 0);
  CheckModel(model);
  FUZZ_REQUIRE(!outcome.fileError && outcome.end != ReadEnd::NoTerminator);
  // Only the segment that overflows the table can fill it: a read that stops anywhere else
  // leaves its open segment uncounted.
  FUZZ_REQUIRE(outcome.segmentCapacityReached == (model.SegCount[1] == PlotModel::MaxSegments));
  FUZZ_REQUIRE(!outcome.arcCapacityReached || model.ArcCount[1] == PlotModel::MaxArcs);
  // A subscript error is a full table and nothing else: any other one is an index the reader
  // computed wrongly.
  FUZZ_REQUIRE(outcome.end != ReadEnd::Failure ||
               (outcome.errorNumber == err::kSubscriptOutOfRange) == outcome.CapacityReached());
  const auto first = Snapshot(model, outcome);
  std::int16_t again = 0;
  FUZZ_REQUIRE(Snapshot(model, reader.ReadPlotBytes(std::string(bytes), again)) == first);
}
