// libFuzzer target: any bytes through the standard HP-GL/2 reading, with a small memory
// budget so that the budget's stop is reached often. Beyond the sanitizers, each run
// checks what the drawing relies on after a read.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "hpgl2/Hpgl2Reader.h"

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

using namespace korvid;

[[noreturn]] void Violated(const char* condition, int line) {
  std::fprintf(stderr, "fuzz_standard_reader: invariant violated (line %d): %s\n", line, condition);
  std::abort();
}

#define FUZZ_REQUIRE(condition)                       \
  do {                                                \
    if (!(condition)) Violated(#condition, __LINE__); \
  } while (false)

bool Inside(const PlotBox& box, PlotPoint p) {
  return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
}

void CheckPage(const StandardPage& page, const StandardPlot& plot) {
  FUZZ_REQUIRE(page.Empty() == page.extents.empty);
  for (const StandardPolyline& line : page.polylines) {
    FUZZ_REQUIRE(line.points.size() >= 2);
    FUZZ_REQUIRE(std::isfinite(line.style.widthMm) && line.style.widthMm >= 0);
    if (line.style.dashIndex >= 0)
      FUZZ_REQUIRE(static_cast<std::size_t>(line.style.dashIndex) < plot.dashPatterns.size());
    for (const PlotPoint& p : line.points) {
      FUZZ_REQUIRE(std::isfinite(p.x) && std::isfinite(p.y));
      FUZZ_REQUIRE(Inside(page.extents, p));
    }
  }
  for (const StandardPolygon& polygon : page.polygons) {
    FUZZ_REQUIRE(!polygon.rings.empty());
    FUZZ_REQUIRE(polygon.polylinesBefore <= page.polylines.size());
    for (const PlotRing& ring : polygon.rings) {
      FUZZ_REQUIRE(ring.size() >= 3);
      for (const PlotPoint& p : ring)
        FUZZ_REQUIRE(Inside(page.extents, p));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  StandardReadLimits limits;
  limits.memoryBudgetBytes = 4 << 20;
  const StandardReadOutcome outcome = ReadStandardPlotBytes(bytes, limits);
  FUZZ_REQUIRE(!outcome.plot.pages.empty());
  FUZZ_REQUIRE(!outcome.fileError);
  for (std::size_t i = 0; i < outcome.plot.pages.size(); ++i) {
    // Only the last page may stay blank, and only when it is the only one.
    if (outcome.plot.pages.size() > 1 && i + 1 == outcome.plot.pages.size())
      FUZZ_REQUIRE(!outcome.plot.pages[i].Empty());
    CheckPage(outcome.plot.pages[i], outcome.plot);
  }
  FUZZ_REQUIRE(outcome.memoryBudgetReached == (outcome.stoppedAtByte >= 0));
  std::set<std::string> seen;
  for (const auto* list : {&outcome.ignored, &outcome.unread}) {
    for (const UnreadInstruction& entry : *list) {
      FUZZ_REQUIRE(entry.mnemonic.size() == 2 && entry.count >= 1);
      FUZZ_REQUIRE(seen.insert(entry.mnemonic).second);
    }
  }
  // The same bytes read again give the same plot.
  const StandardReadOutcome again = ReadStandardPlotBytes(bytes, limits);
  FUZZ_REQUIRE(again.counts.instructions == outcome.counts.instructions);
  FUZZ_REQUIRE(again.plot.pages.size() == outcome.plot.pages.size());
  return 0;
}
