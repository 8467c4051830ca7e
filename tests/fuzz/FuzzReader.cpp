// libFuzzer target: any bytes at all go through the HPGL reader the way the viewer feeds
// a file to it, into one model that every run reuses. Beyond the sanitizers, each run
// checks what the rest of the program relies on after a read.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/PlotModel.h"
#include "model/RuntimeError.h"
#include "reader/PlotReader.h"

// A report of undefined behaviour must end the run, or the fuzzer never keeps the input.
extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

using korvid::ArcRec;
using korvid::PlotModel;
using korvid::ReadEnd;
using korvid::ReadOutcome;
using korvid::Segment;

[[noreturn]] void Violated(const char* condition, int line) {
  std::fprintf(stderr, "fuzz_reader: invariant violated (line %d): %s\n", line, condition);
  std::abort();
}

#define FUZZ_REQUIRE(condition)                       \
  do {                                                \
    if (!(condition)) Violated(#condition, __LINE__); \
  } while (false)

class CountingMessenger : public korvid::ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override { ++shown; }
  int shown = 0;
};

struct Reading {
  PlotModel& model;
  CountingMessenger& messenger;
  korvid::PlotReader& reader;
};

Reading& TheReading() {
  static auto* model = new PlotModel();
  static auto* messenger = new CountingMessenger();
  static auto* reader = new korvid::PlotReader(*model, *messenger);
  static Reading reading{*model, *messenger, *reader};
  return reading;
}

// The file as the command splitter sees it: every CR LF pair gone, in one pass from the
// left, so that CR CR LF LF leaves CR LF.
std::string WithoutCrLf(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      ++i;
      continue;
    }
    text.push_back(bytes[i]);
  }
  return text;
}

bool IsStyle(std::int16_t style) {
  return style >= -4 && style <= 5;
}

bool Finite(std::initializer_list<float> values) {
  for (float value : values) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

struct Extents {
  float minX, minY, maxX, maxY;
  bool Contain(float x, float y) const { return x >= minX && x <= maxX && y >= minY && y <= maxY; }
};

void CheckModel(const PlotModel& model) {
  FUZZ_REQUIRE(model.PlotCount == 1);
  const std::int32_t segments = model.SegCount[1];
  const std::int32_t arcs = model.ArcCount[1];
  FUZZ_REQUIRE(segments >= 0 && segments <= PlotModel::MaxSegments);
  FUZZ_REQUIRE(arcs >= 0 && arcs <= PlotModel::MaxArcs);

  const Extents extents{model.MinX[1], model.MinY[1], model.MaxX[1], model.MaxY[1]};
  FUZZ_REQUIRE(Finite({extents.minX, extents.minY, extents.maxX, extents.maxY}));
  // Extents are widened by whole points only, X and Y together: either nothing widened
  // them, or they enclose at least one point.
  const bool untouched =
      extents.minX == korvid::kInitialMinExtent && extents.minY == korvid::kInitialMinExtent &&
      extents.maxX == korvid::kInitialMaxExtent && extents.maxY == korvid::kInitialMaxExtent;
  if (untouched) {
    FUZZ_REQUIRE(segments == 0 && arcs == 0);
  } else {
    FUZZ_REQUIRE(extents.minX <= extents.maxX && extents.minY <= extents.maxY);
  }

  for (std::int32_t i = 1; i <= segments; ++i) {
    const Segment& s = model.Segments(i, 1);
    FUZZ_REQUIRE(Finite({s.X1, s.X2, s.Y1, s.Y2}));
    FUZZ_REQUIRE(IsStyle(s.LineStyle));
    // Drawing the plot fitted to its extents must not leave anything outside.
    FUZZ_REQUIRE(extents.Contain(s.X1, s.Y1) && extents.Contain(s.X2, s.Y2));
  }
  for (std::int32_t i = 1; i <= arcs; ++i) {
    const ArcRec& a = model.Arcs(i, 1);
    FUZZ_REQUIRE(Finite({a.Left, a.Top, a.Right, a.Bottom, a.StartX, a.StartY, a.EndX, a.EndY}));
    FUZZ_REQUIRE(IsStyle(a.LineStyle));
    FUZZ_REQUIRE(a.Left <= a.Right && a.Bottom <= a.Top);
    FUZZ_REQUIRE(extents.Contain(a.Left, a.Bottom) && extents.Contain(a.Right, a.Top));
  }
}

void CheckOutcome(const ReadOutcome& outcome, const PlotModel& model) {
  FUZZ_REQUIRE(!outcome.fileError);
  // Only the segment that overflows the table can fill it: a read that stops anywhere
  // else leaves its open segment uncounted.
  FUZZ_REQUIRE(outcome.segmentCapacityReached == (model.SegCount[1] == PlotModel::MaxSegments));
  if (outcome.arcCapacityReached) FUZZ_REQUIRE(model.ArcCount[1] == PlotModel::MaxArcs);
  FUZZ_REQUIRE(outcome.end != ReadEnd::NoTerminator);
  if (outcome.end == ReadEnd::Failure) {
    // A subscript error is a full table and nothing else: any other one is an index the
    // reader computed wrongly.
    FUZZ_REQUIRE((outcome.errorNumber == korvid::err::kSubscriptOutOfRange) ==
                 outcome.CapacityReached());
  }
}

// What one read leaves behind, to compare a second read of the same bytes with: nothing
// of an earlier read may leak into the next one.
struct Snapshot {
  std::int32_t segments, arcs;
  float extents[4];
  std::int16_t status;
  ReadEnd end;
  int errorNumber;
  std::int64_t commandCount;
  std::size_t skipped;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const PlotModel& model, const ReadOutcome& outcome) {
  return {model.SegCount[1],
          model.ArcCount[1],
          {model.MinX[1], model.MinY[1], model.MaxX[1], model.MaxY[1]},
          outcome.status,
          outcome.end,
          outcome.errorNumber,
          outcome.commandCount,
          outcome.skipped.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reading& reading = TheReading();
  PlotModel& model = reading.model;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = WithoutCrLf(bytes);
  const bool hasSemicolon = text.find(';') != std::string::npos;
  const bool hasLineFeed = text.find('\n') != std::string::npos;

  const std::int32_t segmentsBefore = model.SegCount[1];
  const std::int32_t arcsBefore = model.ArcCount[1];
  reading.messenger.shown = 0;
  std::int16_t status = 0;
  const ReadOutcome outcome = reading.reader.ReadPlotBytes(bytes, status);

  FUZZ_REQUIRE(status == outcome.status);
  if (!hasSemicolon && !hasLineFeed) {
    // Nothing is read, the user is told so, and the previous plot's counts stay.
    FUZZ_REQUIRE(status == 1 && outcome.end == ReadEnd::NoTerminator);
    FUZZ_REQUIRE(reading.messenger.shown == 1);
    FUZZ_REQUIRE(outcome.commandCount == 0 && outcome.skipped.empty() &&
                 !outcome.CapacityReached());
    FUZZ_REQUIRE(model.PlotCount == 1);
    FUZZ_REQUIRE(model.SegCount[1] == segmentsBefore && model.ArcCount[1] == arcsBefore);
    FUZZ_REQUIRE(
        model.MinX[1] == korvid::kInitialMinExtent && model.MaxX[1] == korvid::kInitialMaxExtent &&
        model.MinY[1] == korvid::kInitialMinExtent && model.MaxY[1] == korvid::kInitialMaxExtent);
    return 0;
  }
  FUZZ_REQUIRE(status == 0 && reading.messenger.shown == 0);
  CheckModel(model);
  CheckOutcome(outcome, model);

  const Snapshot first = Take(model, outcome);
  std::int16_t again = 0;
  const ReadOutcome second = reading.reader.ReadPlotBytes(bytes, again);
  FUZZ_REQUIRE(Take(model, second) == first);
  return 0;
}
