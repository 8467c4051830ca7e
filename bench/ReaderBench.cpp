// How fast the HPGL reader takes in the largest plot the model holds, against the
// cheapest conceivable pass over the same bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "PlotInput.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/NumberText.h"
#include "model/PlotModel.h"
#include "reader/PlotFile.h"
#include "reader/PlotReader.h"

namespace korvid::bench {

namespace {

class NullMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

// The generated files live in a folder of their own for the life of the process.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("korvid-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Dir() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

ScratchFolder& Scratch() {
  static ScratchFolder folder;
  return folder;
}

struct BenchInput {
  PlotInput plot;
  std::string dir;
  std::string name;
};

BenchInput MakeInput(PlotInput plot, const std::string& name) {
  BenchInput input{std::move(plot), Scratch().Dir(), name};
  std::ofstream file(input.dir + input.name, std::ios::binary);
  file.write(input.plot.text.data(), static_cast<std::streamsize>(input.plot.text.size()));
  if (!file) throw std::runtime_error("cannot write " + input.dir + input.name);
  return input;
}

const BenchInput& MaxInput() {
  static const BenchInput input = MakeInput(GenerateMaxPlot(), "max.hpgl");
  return input;
}

const BenchInput& HugeInput() {
  static const BenchInput input = MakeInput(GenerateHugePlot(), "huge.hpgl");
  return input;
}

using InputSource = const BenchInput& (*)();

// The model must hold everything up to the element that fills the segment table, and the
// read must stop exactly there: a faster read that drops or skips commands proves nothing.
bool ReadAsWritten(benchmark::State& state, const PlotModel& model, const ReadOutcome& outcome,
                   const PlotInput& plot) {
  const bool complete = model.SegCount[1] == PlotModel::MaxSegments &&
                        model.ArcCount[1] == plot.arcsToSegmentCapacity &&
                        outcome.segmentCapacityReached && !outcome.arcCapacityReached &&
                        outcome.commandIndex == plot.commandsToSegmentCapacity &&
                        outcome.skipped.empty();
  if (!complete) state.SkipWithError("the read does not hold what the file was written with");
  return complete;
}

void SetReadCounters(benchmark::State& state, const PlotModel& model, std::size_t bytes) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["segments"] = model.SegCount[1];
  state.counters["arcs"] = model.ArcCount[1];
}

// The program's own path: open the file, load it whole, interpret it.
void BM_ReadPlotFile(benchmark::State& state, InputSource source) {
  const BenchInput& input = source();
  auto model = std::make_unique<PlotModel>();
  model->PlotDir = input.dir;
  model->PlotFileName = input.name;
  NullMessenger messenger;
  PlotReader reader(*model, messenger);
  ReadOutcome outcome;
  for (auto _ : state) {
    std::int16_t status = 0;
    outcome = reader.ReadPlotFile(status);
    benchmark::DoNotOptimize(status);
  }
  if (!ReadAsWritten(state, *model, outcome, input.plot)) return;
  SetReadCounters(state, *model, input.plot.text.size());
}

// The same bytes already in memory: the reader without the file system. The copy the
// reader consumes is made outside the timing.
void BM_ReadPlotBytes(benchmark::State& state, InputSource source) {
  const BenchInput& input = source();
  auto model = std::make_unique<PlotModel>();
  NullMessenger messenger;
  PlotReader reader(*model, messenger);
  ReadOutcome outcome;
  for (auto _ : state) {
    state.PauseTiming();
    std::string bytes = input.plot.text;
    state.ResumeTiming();
    std::int16_t status = 0;
    outcome = reader.ReadPlotBytes(std::move(bytes), status);
    benchmark::DoNotOptimize(status);
  }
  if (!ReadAsWritten(state, *model, outcome, input.plot)) return;
  SetReadCounters(state, *model, input.plot.text.size());
}

// The standard HP-GL/2 reading of the same file, from the file: it reads every command
// (no capacity stop), so it must hold at least as many points as the table holds segments.
void BM_ReadStandardPlotFile(benchmark::State& state, InputSource source) {
  const BenchInput& input = source();
  const std::string path = input.dir + input.name;
  std::int64_t points = 0;
  for (auto _ : state) {
    const StandardReadOutcome outcome = ReadStandardPlotFile(path);
    benchmark::DoNotOptimize(outcome.counts.instructions);
    points = 0;
    for (const StandardPolyline& line : outcome.plot.pages[0].polylines)
      points += static_cast<std::int64_t>(line.PointCount());
  }
  if (points < PlotModel::MaxSegments) {
    state.SkipWithError("the standard reading holds fewer points than the segment table");
    return;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.plot.text.size()));
  state.counters["points"] = static_cast<double>(points);
}

// Only the file system's share: the whole file into one string.
void BM_LoadPlotFileBytes(benchmark::State& state, InputSource source) {
  const BenchInput& input = source();
  const std::string path = input.dir + input.name;
  for (auto _ : state) {
    std::string bytes = LoadPlotFileBytes(path);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.plot.text.size()));
}

// The pass over the whole text that comes before any command is interpreted: with CR LF
// line ends it moves nearly every byte, also those after the capacity stop.
void BM_RemoveCrLf(benchmark::State& state, InputSource source) {
  const BenchInput& input = source();
  for (auto _ : state) {
    state.PauseTiming();
    std::string bytes = input.plot.text;
    state.ResumeTiming();
    RemoveCrLf(bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.plot.text.size()));
}

bool IsNumberCharacter(char c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

// The lower bound for any reader that converts every number exactly: find each run of
// number characters and convert it, with no HPGL at all.
void BM_NumberFloor(benchmark::State& state) {
  const std::string& text = MaxInput().plot.text;
  std::int64_t numbers = 0;
  for (auto _ : state) {
    double sum = 0;
    numbers = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
      if (!IsNumberCharacter(*p)) {
        ++p;
        continue;
      }
      const char* start = p;
      while (p != end && IsNumberCharacter(*p))
        ++p;
      if (*start == '+') ++start;  // from_chars takes no plus sign
      double value = 0;
      std::from_chars(start, p, value);
      sum += value;
      ++numbers;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  state.counters["numbers"] = static_cast<double>(numbers);
}

// The parameter texts the reader meets most: plotter units, pens, sweeps.
void BM_LeadingNumber(benchmark::State& state) {
  static constexpr std::array<std::string_view, 10> kTexts = {
      "0", "7", "42", "-90", "250", "4000", "-1200", "7200", "10000", "12.5"};
  std::int64_t bytes = 0;
  for (std::string_view text : kTexts)
    bytes += static_cast<std::int64_t>(text.size());
  for (auto _ : state) {
    for (std::string_view text : kTexts)
      benchmark::DoNotOptimize(LeadingNumber(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTexts.size()));
  state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK_CAPTURE(BM_ReadPlotFile, max, MaxInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPlotBytes, max, MaxInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadStandardPlotFile, max, MaxInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadStandardPlotFile, huge, HugeInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPlotFile, huge, HugeInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPlotBytes, huge, HugeInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPlotFileBytes, max, MaxInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadPlotFileBytes, huge, HugeInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RemoveCrLf, max, MaxInput)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RemoveCrLf, huge, HugeInput)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumberFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeadingNumber);

}  // namespace

}  // namespace korvid::bench

BENCHMARK_MAIN();
