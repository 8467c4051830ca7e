// How fast labels are laid out into strokes: a long label of many lines (what a reader meets
// in the worst case), against the cheapest conceivable pass over the same bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "labels/LabelLayout.h"

namespace korvid::bench {
namespace {

std::string LongLabel(std::size_t bytes) {
  const std::string line = "SHEET 12 OF 40 - REV C - 2024-05-17 (A1) \r\n";
  std::string text;
  while (text.size() + line.size() <= bytes)
    text += line;
  return text;
}

LabelStyle BenchStyle() {
  LabelStyle style;
  style.charWidth = 114;
  style.charHeight = 150;
  style.directionX = 0.8;
  style.directionY = 0.6;
  style.slantTangent = 0.2;
  style.origin = 5;
  return style;
}

void BM_LayOutLabel(benchmark::State& state) {
  const std::string text = LongLabel(static_cast<std::size_t>(state.range(0)));
  const LabelStyle style = BenchStyle();
  for (auto _ : state) {
    LabelLayout layout = LayOutLabel(text, style, {1000, 1000}, {1000, 1000});
    benchmark::DoNotOptimize(layout.strokes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LayOutLabel)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The same handing strokes to a sink: no stroke is kept.
void BM_LayOutLabelToSink(benchmark::State& state) {
  const std::string text = LongLabel(static_cast<std::size_t>(state.range(0)));
  const LabelStyle style = BenchStyle();
  std::size_t points = 0;
  const LabelStrokeSink sink = [&points](const LabelStroke& stroke) { points += stroke.size(); };
  for (auto _ : state) {
    LabelLayout layout = LayOutLabel(text, style, {1000, 1000}, {1000, 1000}, sink);
    benchmark::DoNotOptimize(layout.penAfter);
  }
  benchmark::DoNotOptimize(points);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LayOutLabelToSink)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The floor: touch every byte once.
void BM_CountBytes(benchmark::State& state) {
  const std::string text = LongLabel(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::size_t returns = 0;
    for (const char c : text)
      returns += c == '\r';
    benchmark::DoNotOptimize(returns);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CountBytes)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvid::bench

BENCHMARK_MAIN();
