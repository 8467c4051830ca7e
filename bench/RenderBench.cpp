// The way from a read plot to pixels, on the largest plot the model holds (150,000
// segments and 15,000 circles and arcs): the drawing routine writing the plot metafile in
// colour and in black and white, the player loading that file, and painting it whole into
// the viewer's usual client area or one 1/64 part of it at 8x zoom.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "PlotInput.h"
#include "model/PlotModel.h"
#include "reader/PlotReader.h"
#include "render/DisplaySettings.h"
#include "render/DrawPlot.h"
#include "render/MetafilePicture.h"
#include "render/Rotation.h"

namespace korvid::bench {

namespace {

class NullMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

// The metafiles live in a folder of their own for the life of the process.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("korvid-render-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

ScratchFolder& Scratch() {
  static ScratchFolder folder;
  return folder;
}

// The generated text read as the viewer reads a file; a model that does not hold every
// segment and arc would make the numbers below meaningless.
const PlotModel& MaxModel() {
  static const std::unique_ptr<PlotModel> model = [] {
    auto read = std::make_unique<PlotModel>();
    NullMessenger messenger;
    PlotReader reader(*read, messenger);
    std::int16_t status = 0;
    reader.ReadPlotBytes(GenerateMaxPlot().text, status);
    read->CurPlot = 1;
    if (status != 0 || read->SegCount[1] != PlotModel::MaxSegments ||
        read->ArcCount[1] != PlotModel::MaxArcs) {
      throw std::runtime_error("the generated plot did not read completely");
    }
    return read;
  }();
  return *model;
}

enum Mode { kMono = 0, kColour = 1 };

std::string MetafileFor(Mode mode) {
  return Scratch().File(mode == kColour ? "colour.emf" : "mono.emf");
}

void Draw(Mode mode, const std::string& path) {
  DisplaySettings settings;
  settings.ColorMode = static_cast<std::int16_t>(mode);
  DrawPlot(*SourceOfModel(MaxModel()), {RotationForAngle(0), settings}, path);
}

// Drawn once for the benchmarks that only read the result.
const std::string& DrawnMetafile(Mode mode) {
  static const std::string colour = [] {
    Draw(kColour, MetafileFor(kColour));
    return MetafileFor(kColour);
  }();
  static const std::string mono = [] {
    Draw(kMono, MetafileFor(kMono));
    return MetafileFor(kMono);
  }();
  return mode == kColour ? colour : mono;
}

const MetafilePicture& Picture(Mode mode) {
  static const MetafilePicture colour = MetafilePicture::LoadFile(DrawnMetafile(kColour));
  static const MetafilePicture mono = MetafilePicture::LoadFile(DrawnMetafile(kMono));
  return mode == kColour ? colour : mono;
}

Mode ModeOf(const benchmark::State& state) {
  return static_cast<Mode>(state.range(0));
}

void BM_DrawPlot(benchmark::State& state) {
  const Mode mode = ModeOf(state);
  MaxModel();
  const std::string path = Scratch().File(mode == kColour ? "draw-colour.emf" : "draw-mono.emf");
  for (auto _ : state)
    Draw(mode, path);
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_LoadMetafile(benchmark::State& state) {
  const std::string& path = DrawnMetafile(ModeOf(state));
  std::size_t primitives = 0;
  for (auto _ : state) {
    const MetafilePicture picture = MetafilePicture::LoadFile(path);
    primitives = picture.PrimitiveCount();
    benchmark::DoNotOptimize(primitives);
  }
  if (primitives < PlotModel::MaxSegments + PlotModel::MaxArcs) {
    state.SkipWithError("the picture lost lines or arcs");
  }
  state.counters["primitives"] = static_cast<double>(primitives);
}

// The whole picture into the viewer's usual 1000 x 700.
void BM_PaintWhole(benchmark::State& state) {
  const MetafilePicture& picture = Picture(ModeOf(state));
  QImage image(1000, 700, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    picture.Paint(painter, QRectF(0, 0, 1000, 700));
  }
}

// A 1/64 part (1/8 of each side) zoomed 8 times: the middle 125 x 88 pixels of an
// 8000 x 5600 target, as the viewer paints its window after zooming in.
void BM_PaintZoomedRegion(benchmark::State& state) {
  const MetafilePicture& picture = Picture(ModeOf(state));
  QImage image(125, 88, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-(8000 - 125) / 2.0, -(5600 - 88) / 2.0);
    picture.Paint(painter, QRectF(0, 0, 8000, 5600));
  }
}

void Modes(benchmark::internal::Benchmark* b) {
  b->ArgName("colour")->Arg(kMono)->Arg(kColour)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_DrawPlot)->Apply(Modes);
BENCHMARK(BM_LoadMetafile)->Apply(Modes);
BENCHMARK(BM_PaintWhole)->Apply(Modes);
BENCHMARK(BM_PaintZoomedRegion)->Apply(Modes)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace korvid::bench

BENCHMARK_MAIN();
