// How fast the metafile player loads and paints the largest plot picture: 150,000 lines
// and 15,000 arcs in colour mode (a pen created, selected and deleted for every one),
// MM_HIMETRIC, frame 32767 x 23600. Two layouts of the same counts: "plot" strokes short
// connected lines with pens that change now and then, as plotter drawings do; "random"
// throws long lines across the whole frame with a random colour each, the worst case for
// pixels and for pen changes. Each with hairlines, and with HP-GL/2's default pen (0.35 mm,
// flat ends, mitered joins: about 1.1 pixels at the viewer's usual size), which the
// player's own rasteriser for wide pens draws.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "render/EmfWriter.h"
#include "render/MetafilePicture.h"

namespace korvid::bench {

namespace {

constexpr int kFrameWidth = 32767;
constexpr int kFrameHeight = 23600;
constexpr int kLines = 150000;
constexpr int kArcs = 15000;
// The plot's own area: the frame less the 100-unit margin at the right and bottom.
constexpr int kPlotWidth = kFrameWidth - 330;
constexpr int kPlotHeight = kFrameHeight - 330;
constexpr std::uint32_t kColours[] = {0x000000, 0xff0000, 0x00ff00, 0xffff00,
                                      0x0000ff, 0xff00ff, 0x00ffff, 0x808080};

enum class Layout { kPlot, kRandom };
enum class Pen { kHairline, kWide };

// GDI's geometric pen with flat ends and mitered joins, as the standard reading writes them.
constexpr std::uint32_t kFlatMiteredPen = 0x10000 | 0x200 | 0x2000;
constexpr std::int32_t kWidePenWidth = 35;  // 0.01 mm

class PictureWriter {
 public:
  PictureWriter(Layout layout, Pen pen)
      : layout_(layout), pen_(pen), writer_({0, 0, kFrameWidth, kFrameHeight}, u"bench") {
    writer_.SetMapMode(EmfWriter::kMapModeHimetric);
  }

  std::string Write() {
    for (int i = 0; i < kLines; ++i)
      Line(i);
    for (int i = 0; i < kArcs; ++i)
      Arc(i);
    const std::vector<std::uint8_t>& bytes = writer_.Finish();
    return std::string(bytes.begin(), bytes.end());
  }

 private:
  int X() { return std::uniform_int_distribution<int>(0, kPlotWidth)(random_); }
  int Y() { return std::uniform_int_distribution<int>(0, kPlotHeight)(random_); }
  int Near(int value, int reach, int limit) {
    return std::clamp(value + std::uniform_int_distribution<int>(-reach, reach)(random_), 0, limit);
  }

  // Plot layout: a new pen every 500 lines, mostly solid; a pen lift every 40 lines.
  std::uint32_t Style(int i) {
    if (layout_ == Layout::kRandom) return random_() % 5;
    return (i / 500) % 5 == 4 ? (i / 2500) % 4 + 1 : 0;
  }
  std::uint32_t Colour(int i) {
    return kColours[layout_ == Layout::kRandom ? random_() % 8 : (i / 500) % 8];
  }

  void WithPen(int i, auto draw) {
    const std::uint32_t pen = pen_ == Pen::kWide
                                  ? writer_.CreatePen(kFlatMiteredPen, kWidePenWidth, Colour(i))
                                  : writer_.CreatePen(Style(i), 1, Colour(i));
    writer_.SelectObject(pen);
    draw();
    writer_.DeleteObject(pen);
  }

  void Line(int i) {
    if (layout_ == Layout::kRandom || i % 40 == 0) {
      x_ = X();
      y_ = Y();
    }
    const int x = layout_ == Layout::kRandom ? X() : Near(x_, 300, kPlotWidth);
    const int y = layout_ == Layout::kRandom ? Y() : Near(y_, 300, kPlotHeight);
    WithPen(i, [&] {
      writer_.MoveTo(x_, -y_);
      writer_.LineTo(x, -y);
    });
    x_ = x;
    y_ = y;
  }

  void Arc(int i) {
    const int radius =
        std::uniform_int_distribution<int>(20, layout_ == Layout::kRandom ? 8000 : 700)(random_);
    const int cx = X(), cy = Y();
    WithPen(i, [&] {
      writer_.Arc({cx - radius, -(cy - radius), cx + radius, -(cy + radius)}, X(), -Y(), X(), -Y());
    });
  }

  Layout layout_;
  Pen pen_;
  EmfWriter writer_;
  std::mt19937 random_{2024};
  int x_ = 0, y_ = 0;
};

const std::string& Bytes(Layout layout, Pen pen = Pen::kHairline) {
  static const std::string bytes[2][2] = {{PictureWriter(Layout::kPlot, Pen::kHairline).Write(),
                                           PictureWriter(Layout::kPlot, Pen::kWide).Write()},
                                          {PictureWriter(Layout::kRandom, Pen::kHairline).Write(),
                                           PictureWriter(Layout::kRandom, Pen::kWide).Write()}};
  return bytes[static_cast<int>(layout)][static_cast<int>(pen)];
}

const MetafilePicture& Picture(Layout layout, Pen pen) {
  static const MetafilePicture pictures[2][2] = {
      {MetafilePicture::FromBytes(Bytes(Layout::kPlot, Pen::kHairline)),
       MetafilePicture::FromBytes(Bytes(Layout::kPlot, Pen::kWide))},
      {MetafilePicture::FromBytes(Bytes(Layout::kRandom, Pen::kHairline)),
       MetafilePicture::FromBytes(Bytes(Layout::kRandom, Pen::kWide))}};
  return pictures[static_cast<int>(layout)][static_cast<int>(pen)];
}

Layout LayoutOf(const benchmark::State& state) {
  return static_cast<Layout>(state.range(0));
}

const MetafilePicture& Picture(const benchmark::State& state) {
  return Picture(LayoutOf(state), static_cast<Pen>(state.range(1)));
}

void Load(benchmark::State& state) {
  const std::string& bytes = Bytes(LayoutOf(state));
  for (auto _ : state)
    benchmark::DoNotOptimize(MetafilePicture::FromBytes(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// The whole picture into the viewer's usual 1000 x 700.
void PaintWhole(benchmark::State& state) {
  const MetafilePicture& picture = Picture(state);
  QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    picture.Paint(painter, QRectF(0, 0, 1000, 700));
  }
}

// The same through QPainter: a clip that is not one rectangle keeps the player off its
// own rasteriser, as painting on a widget or a printer does.
void PaintWholeThroughQPainter(benchmark::State& state) {
  const MetafilePicture& picture = Picture(state);
  QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
  const QRegion clip = QRegion(0, 0, 1000, 700) - QRegion(0, 0, 1, 1);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRegion(clip);
    picture.Paint(painter, QRectF(0, 0, 1000, 700));
  }
}

// A 1/64 part (1/8 of each side) of the picture zoomed 8 times: the middle 125 x 88 pixels
// of an 8000 x 5600 target.
void PaintZoomedRegion(benchmark::State& state) {
  const MetafilePicture& picture = Picture(state);
  QImage image(125, 88, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-3937, -2756);
    picture.Paint(painter, QRectF(0, 0, 8000, 5600));
  }
}

void Layouts(benchmark::internal::Benchmark* b) {
  b->ArgName("random")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}

void LayoutsAndPens(benchmark::internal::Benchmark* b) {
  b->ArgNames({"random", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
}

BENCHMARK(Load)->Apply(Layouts);
BENCHMARK(PaintWhole)->Apply(LayoutsAndPens);
BENCHMARK(PaintWholeThroughQPainter)->Apply(LayoutsAndPens);
BENCHMARK(PaintZoomedRegion)->Apply(LayoutsAndPens)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace korvid::bench

BENCHMARK_MAIN();
