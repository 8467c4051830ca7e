#include "PlotInput.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "model/PlotModel.h"

namespace korvid::bench {

namespace {

constexpr int kSheetWidth = 10000;
constexpr int kSheetHeight = 7200;
constexpr std::uint64_t kSeed = 0x4B6F72766964ull;

// splitmix64: tiny, fast and the same on every platform, unlike the distributions of
// <random>, whose output the standard leaves to the library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A whole number in [low, high]; the slight modulo bias does not matter here.
  int Uniform(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool Chance(int percent) { return Uniform(1, 100) <= percent; }

 private:
  std::uint64_t state_;
};

class HpglWriter {
 public:
  void Mnemonic(std::string_view mnemonic) { text_.append(mnemonic); }
  void Number(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, result.ptr);
  }
  void Comma() { text_.push_back(','); }
  void Pair(long long x, long long y) {
    Number(x);
    Comma();
    Number(y);
  }
  void End() {
    text_.push_back(';');
    ++commands_;
  }
  void LineEnd() { text_.append("\r\n"); }

  std::int64_t Commands() const { return commands_; }
  std::string Take() { return std::move(text_); }
  void Reserve(std::size_t bytes) { text_.reserve(bytes); }

 private:
  std::string text_;
  std::int64_t commands_ = 0;
};

// A drawing moves in short strokes: each point lies near the previous one and stays on
// the sheet, reflected at its edges.
int Wander(Random& random, int from, int maxStep, int limit) {
  int to = from + random.Uniform(-maxStep, maxStep);
  if (to < 0) to = -to;
  if (to > limit) to = 2 * limit - to;
  return std::clamp(to, 0, limit);
}

class PlotComposer {
 public:
  explicit PlotComposer(std::uint64_t seed) : random_(seed) {}

  void Begin() {
    out_.Mnemonic("IN");
    out_.End();
    out_.Mnemonic("SP");
    out_.Number(1);
    out_.End();
    out_.LineEnd();
  }

  void PenAndLineType() {
    if (random_.Chance(2)) {
      out_.Mnemonic("SP");
      out_.Number(random_.Uniform(1, 8));
      out_.End();
    }
    if (random_.Chance(2)) {
      out_.Mnemonic("LT");
      // Mostly back to solid lines; now and then a negative type, which marks one element.
      const int type = random_.Uniform(-12, 6);
      if (type > 0) {
        out_.Number(type);
      } else if (type == -12) {
        out_.Number(-random_.Uniform(1, 6));
      }
      out_.End();
    }
  }

  // `count` segments in one PD command, from a pen-up move nearby. Returns the number of
  // that PD command.
  std::int64_t AbsolutePolyline(int count) {
    penX_ = Wander(random_, penX_, 1500, kSheetWidth);
    penY_ = Wander(random_, penY_, 1500, kSheetHeight);
    out_.Mnemonic("PU");
    out_.Pair(penX_, penY_);
    out_.End();
    out_.Mnemonic("PD");
    for (int i = 0; i < count; ++i) {
      if (i > 0) out_.Comma();
      penX_ = Wander(random_, penX_, 400, kSheetWidth);
      penY_ = Wander(random_, penY_, 400, kSheetHeight);
      out_.Pair(penX_, penY_);
    }
    out_.End();
    out_.LineEnd();
    return out_.Commands();
  }

  // The same with relative steps. Every HPGL reader agrees on a relative list only when
  // it starts from an absolute move to the origin, and "PA0,0" afterwards brings
  // absolute plotting back.
  std::int64_t RelativePolyline(int count) {
    out_.Mnemonic("PU");
    out_.End();
    out_.Mnemonic("PA");
    out_.Pair(0, 0);
    out_.End();
    penX_ = Wander(random_, penX_, 1500, kSheetWidth);
    penY_ = Wander(random_, penY_, 1500, kSheetHeight);
    out_.Mnemonic("PR");
    out_.Pair(penX_, penY_);
    out_.End();
    out_.Mnemonic("PD");
    for (int i = 0; i < count; ++i) {
      if (i > 0) out_.Comma();
      const int x = Wander(random_, penX_, 400, kSheetWidth);
      const int y = Wander(random_, penY_, 400, kSheetHeight);
      out_.Pair(x - penX_, y - penY_);
      penX_ = x;
      penY_ = y;
    }
    out_.End();
    const std::int64_t drawing = out_.Commands();
    out_.Mnemonic("PU");
    out_.End();
    out_.Mnemonic("PA");
    out_.Pair(0, 0);
    out_.End();
    out_.LineEnd();
    return drawing;
  }

  // A circle or an arc, from where the pen is or after a short pen-up move.
  void Arc() {
    if (random_.Chance(50)) {
      penX_ = Wander(random_, penX_, 800, kSheetWidth);
      penY_ = Wander(random_, penY_, 800, kSheetHeight);
      out_.Mnemonic("PU");
      out_.Pair(penX_, penY_);
      out_.End();
    }
    const int kind = random_.Uniform(1, 10);
    if (kind <= 4) {
      out_.Mnemonic("CI");
      out_.Number(random_.Uniform(10, 400));
    } else {
      const int centreX = Wander(random_, penX_, 300, kSheetWidth);
      const int centreY = Wander(random_, penY_, 300, kSheetHeight);
      const int sweep = random_.Uniform(5, 360) * (random_.Chance(50) ? 1 : -1);
      if (kind <= 7) {
        out_.Mnemonic("AA");
        out_.Pair(centreX, centreY);
      } else {
        out_.Mnemonic("AR");
        out_.Pair(centreX - penX_, centreY - penY_);
      }
      out_.Comma();
      out_.Number(sweep);
    }
    out_.End();
    out_.LineEnd();
  }

  Random& random() { return random_; }
  HpglWriter& out() { return out_; }

 private:
  Random random_;
  HpglWriter out_;
  int penX_ = 0;
  int penY_ = 0;
};

}  // namespace

PlotInput GeneratePlot(std::int64_t segments, std::int64_t arcs, std::uint64_t seed) {
  PlotComposer composer(seed);
  HpglWriter& out = composer.out();
  Random& random = composer.random();
  out.Reserve(static_cast<std::size_t>(segments * 13 + arcs * 18 + 64));

  PlotInput input;
  composer.Begin();
  while (input.segments < segments) {
    const int count = static_cast<int>(std::min<std::int64_t>(
        random.Uniform(1, 9) + random.Uniform(0, 2), segments - input.segments));
    // The arcs keep pace with the segments and are all written before the last polyline.
    const std::int64_t arcsDue = arcs * (input.segments + count) / segments;
    while (input.arcs < arcsDue) {
      composer.Arc();
      ++input.arcs;
    }
    composer.PenAndLineType();
    // The last polyline is an absolute one, so that its PD is the last command.
    const bool last = input.segments + count == segments;
    const std::int64_t drawing = !last && random.Chance(12) ? composer.RelativePolyline(count)
                                                            : composer.AbsolutePolyline(count);
    const std::int64_t before = input.segments;
    input.segments += count;
    if (before < PlotModel::MaxSegments && input.segments >= PlotModel::MaxSegments) {
      input.commandsToSegmentCapacity = drawing;
      input.arcsToSegmentCapacity = input.arcs;
    }
  }
  input.commands = out.Commands();
  input.text = out.Take();
  return input;
}

PlotInput GenerateMaxPlot() {
  return GeneratePlot(PlotModel::MaxSegments, PlotModel::MaxArcs, kSeed);
}

PlotInput GenerateHugePlot() {
  return GeneratePlot(2'000'000, 190'000, kSeed);
}

}  // namespace korvid::bench
