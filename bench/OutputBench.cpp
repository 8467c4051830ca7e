// The largest plot on paper: a 4 x 4 sheet poster printed to PDF, and one preview sheet.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>

#include "PlotInput.h"
#include "app/PosterPrinter.h"
#include "output/PageMetrics.h"
#include "output/PosterLayout.h"
#include "output/PreviewLayout.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/PaintShare.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

class Silent : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

struct Drawing {
  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  MetafilePicture picture;
  double widthMm = 0;
  double heightMm = 0;
};

const Drawing& MaxDrawing() {
  static Drawing* drawing = [] {
    auto* made = new Drawing;
    Silent silent;
    PlotReader reader(*made->model, silent);
    std::int16_t status = 0;
    reader.ReadPlotBytes(bench::GenerateMaxPlot().text, status);
    made->model->CurPlot = 1;
    const fs::path path =
        fs::temp_directory_path() / ("korvid-output-bench-" + std::to_string(::getpid()) + ".emf");
    DisplaySettings colour;
    colour.ColorMode = std::getenv("KORVID_MONO") ? 0 : 1;
    DrawPlot(*SourceOfModel(*made->model), {Rotation{}, colour}, path.string());
    made->picture = MetafilePicture::LoadFile(path.string());
    fs::remove(path);
    made->widthMm = made->picture.Frame().width() / 100.0;
    made->heightMm = made->picture.Frame().height() / 100.0;
    return made;
  }();
  return *drawing;
}

PrinterCaps CapsOf(QPrinter& printer) {
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return PrinterCaps{static_cast<int>(page.left() - paper.left()),
                     static_cast<int>(page.top() - paper.top()),
                     static_cast<int>(paper.width()),
                     static_cast<int>(paper.height()),
                     static_cast<int>(page.width()),
                     static_cast<int>(page.height()),
                     static_cast<double>(printer.resolution()),
                     static_cast<double>(printer.resolution())};
}

void BM_PrintPoster4x4(benchmark::State& state) {
  const Drawing& drawing = MaxDrawing();
  const fs::path pdf =
      fs::temp_directory_path() / ("korvid-poster-" + std::to_string(::getpid()) + ".pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Landscape);
  const PageMetrics page = MeasurePage(CapsOf(printer));
  // The magnification that makes the printed picture three sheet millimetres per picture
  // millimetre: four landscape A4 sheets across and four down.
  const float natural =
      LayOutPoster(page, *drawing.model, 1, drawing.widthMm, drawing.heightMm).scale;
  const PosterLayout layout =
      LayOutPoster(page, *drawing.model, 3.0f / natural, drawing.widthMm, drawing.heightMm);
  std::int64_t sheets = 0;
  for (auto _ : state) {
    sheets = PrintPoster(printer, drawing.picture, drawing.widthMm, drawing.heightMm, layout);
  }
  if (sheets != 16) state.SkipWithError("the poster is not 4 x 4 sheets");
  state.counters["sheets"] = static_cast<double>(sheets);
  state.counters["pdf_MB"] = static_cast<double>(fs::file_size(pdf)) / 1e6;
  fs::remove(pdf);
}
BENCHMARK(BM_PrintPoster4x4)->Unit(benchmark::kMillisecond)->Iterations(3);

// One sheet of the preview: the page box (a shrunken A4 sheet in a 1024 x 720 window) with
// its share of the picture drawn inset by the printer's margins.
void BM_PreviewSheet(benchmark::State& state) {
  const Drawing& drawing = MaxDrawing();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  const PageMetrics page = MeasurePage(CapsOf(printer));
  const double twipsPerPixel = 15;  // 96 dpi
  const double twipsPerHimetric = 1440.0 / 2540;
  const QSizeF pictureTwips(drawing.picture.Frame().width() * twipsPerHimetric,
                            drawing.picture.Frame().height() * twipsPerHimetric);
  PreviewLayout preview;
  preview.Build(page, *drawing.model, 2, pictureTwips.width(), pictureTwips.height(),
                PreviewWindow{1024 * twipsPerPixel, 720 * twipsPerPixel, 30 * twipsPerPixel,
                              22 * twipsPerPixel});
  const RectD box = preview.PageBox();
  QImage sheet(static_cast<int>(box.width / twipsPerPixel),
               static_cast<int>(box.height / twipsPerPixel), QImage::Format_RGB32);
  const RectD source = preview.Source(1);
  const RectD to = preview.Destination();
  for (auto _ : state) {
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    PaintShare(painter, drawing.picture, pictureTwips,
               QRectF(source.left, source.top, source.width, source.height),
               QRectF(to.left / twipsPerPixel, to.top / twipsPerPixel, to.width / twipsPerPixel,
                      to.height / twipsPerPixel));
  }
  state.counters["sheets"] = preview.PageCount();
}
BENCHMARK(BM_PreviewSheet)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvid

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
