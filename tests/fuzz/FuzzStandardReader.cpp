// libFuzzer target: any bytes through the standard HP-GL/2 reading, with a small memory budget
// (so that its stop is reached often); each run checks what the drawing relies on.
#include <cmath>
#include <set>

#include "FuzzCheck.h"
#include "hpgl2/Hpgl2Reader.h"

namespace {

using namespace korvid;

void CheckPage(const StandardPage& page, const StandardPlot& plot) {
  const PlotBox& box = page.extents;
  auto inside = [&box](PlotPoint p) {
    return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
  };
  FUZZ_REQUIRE(page.Empty() == box.empty);
  for (const StandardPolyline& line : page.polylines) {
    FUZZ_REQUIRE(line.PointCount() >= 2 && std::isfinite(line.style.widthMm) &&
                 line.style.widthMm >= 0);
    FUZZ_REQUIRE(line.style.dashIndex < static_cast<int>(plot.dashPatterns.size()));
    for (const PlotPoint& p : line.AllPoints())
      FUZZ_REQUIRE(std::isfinite(p.x) && std::isfinite(p.y) && inside(p));
  }
  for (const StandardPolygon& polygon : page.polygons) {
    FUZZ_REQUIRE(!polygon.rings.empty() && polygon.polylinesBefore <= page.polylines.size());
    for (const PlotRing& ring : polygon.rings) {
      FUZZ_REQUIRE(ring.size() >= 3);
      for (const PlotPoint& p : ring)
        FUZZ_REQUIRE(inside(p));
    }
  }
}

}  // namespace

FUZZ_TARGET(bytes) {
  const StandardReadLimits limits{.memoryBudgetBytes = 4 << 20};
  const StandardReadOutcome outcome = ReadStandardPlotBytes(bytes, limits);
  const std::vector<StandardPage>& pages = outcome.plot.pages;
  FUZZ_REQUIRE(!pages.empty() && !outcome.fileError);
  // Only the last page may stay blank, and only when it is the only one.
  FUZZ_REQUIRE(pages.size() == 1 || !pages.back().Empty());
  for (const StandardPage& page : pages)
    CheckPage(page, outcome.plot);
  FUZZ_REQUIRE(outcome.memoryBudgetReached == (outcome.stoppedAtByte >= 0));
  std::set<std::string> seen;
  for (const auto* list : {&outcome.ignored, &outcome.unread}) {
    for (const UnreadInstruction& entry : *list)
      FUZZ_REQUIRE(entry.mnemonic.size() == 2 && entry.count >= 1 &&
                   seen.insert(entry.mnemonic).second);
  }
  // The same bytes read again give the same plot.
  const StandardReadOutcome again = ReadStandardPlotBytes(bytes, limits);
  FUZZ_REQUIRE(again.counts.instructions == outcome.counts.instructions &&
               again.plot.pages.size() == pages.size());
}
