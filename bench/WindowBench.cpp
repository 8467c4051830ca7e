// How fast the real main window answers the user on the largest plot the model holds
// (150,000 pen-down segments and 15,000 circles and arcs, in colour): from the load to the
// first picture, a repaint, a zoom-in, a scroll step at 4x and 16x and a rotation. The
// window runs offscreen at 1024 x 720, its questions answered by a script, and each
// command is timed together with the painting it leaves pending, as the event loop would
// do it right after the command; the resetting between commands is not timed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "PlotInput.h"
#include "app/AppContext.h"
#include "app/ColorForm.h"
#include "app/DialogService.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ViewCommands.h"
#include "model/PlotModel.h"
#include "reader/PlotReader.h"
#include "render/DisplaySettings.h"
#include "render/DrawPlot.h"
#include "render/MetafilePicture.h"
#include "render/PlotMetafile.h"

namespace korvid::bench {

namespace {

using Clock = std::chrono::steady_clock;

// Zoom-ins from the fitted picture to 4x and to 16x.
constexpr int kZoomsTo4x = 2;
constexpr int kZoomsTo16x = 4;

// Answers the window's questions without anyone there: colour at start-up, no file
// dialog (the plot is loaded by path). Warnings are kept, because a command that failed
// would otherwise be timed as a fast one. Qt's service underneath covers the dialogs that
// no benchmarked command opens (printing, help), so that this one follows the service as
// it grows.
class BenchDialogs : public QtDialogService {
 public:
  QString OpenFileName(QWidget*, const FileDialogRequest&) override { return {}; }
  QString SaveFileName(QWidget*, const FileDialogRequest&) override { return {}; }
  void ShowWarning(QWidget*, const QString& text) override { warnings.push_back(text); }
  void ShowMessage(QWidget*, const QString& text) override { warnings.push_back(text); }
  int Exec(QDialog& dialog) override {
    if (auto* colour = qobject_cast<ColorForm*>(&dialog)) {
      colour->Option2()->setChecked(true);
      colour->ClickOk();
    } else {
      dialog.reject();
    }
    return dialog.result();
  }
  void PopupMenu(QMenu&, const QPoint&) override {}

  std::vector<QString> warnings;
};

// Sees every paint event of the drawing surface, so that a timing counts only when the
// picture was really painted, and tells how many pixels were.
class PaintProbe : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
        pixels += static_cast<double>(rect.width()) * rect.height();
    }
    return false;
  }

  std::int64_t paints = 0;
  double pixels = 0;
};

class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("korvid-window-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole program as main() puts it together, with the plot loaded once so that every
// benchmark starts from a drawing on the screen.
class WindowRig {
 public:
  WindowRig() {
    const PlotInput plot = GenerateMaxPlot();
    expectedSegments_ = plot.segments;
    expectedArcs_ = plot.arcs;
    // The generator ends lines with CR LF only; the reader drops those pairs, whereas a
    // bare LF would make it skip the command after it.
    plotPath_ = (folder_.Path() / "max.hpg").string();
    std::ofstream file(plotPath_, std::ios::binary);
    file.write(plot.text.data(), static_cast<std::streamsize>(plot.text.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + plotPath_);

    metafile_ = std::make_unique<PlotMetafile>(folder_.Path().string());
    context_ = std::make_unique<AppContext>(*model_, settings_, *metafile_, dialogs_);
    form_ = std::make_unique<PictForm>(*context_);
    form_->resize(1024, 720);
    form_->show();
    form_->Start();
    if (settings_.ColorMode != 1) throw std::runtime_error("the colour answer did not take");
    form_->Surface()->installEventFilter(&probe_);
    PaintPending();
    if (!form_->windowHandle() || !form_->windowHandle()->isExposed())
      throw std::runtime_error("the offscreen window is not exposed");

    Load();
    const std::string failure = LoadFailure();
    if (!failure.empty()) throw std::runtime_error(failure);
  }

  ~WindowRig() {
    form_.reset();
    context_.reset();
    metafile_.reset();
  }

  PictForm& Form() { return *form_; }
  PlotSurface& Surface() { return *form_->Surface(); }
  AppContext& Context() { return *context_; }
  const PaintProbe& Probe() const { return probe_; }
  const PlotModel& Model() const { return *model_; }
  const DisplaySettings& Settings() const { return settings_; }
  const std::filesystem::path& Folder() const { return folder_.Path(); }
  const std::string& PlotPath() const { return plotPath_; }

  // Delivers what a command left pending (layout, the update request) so that the dirty
  // part of the window is painted now.
  static void PaintPending() {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
  }

  void Load() { form_->LoadPlotPath(QString::fromStdString(plotPath_)); }
  void Trigger(const char* name) {
    QAction* action = form_->Action(QString::fromLatin1(name));
    if (!action) throw std::runtime_error(std::string("no action ") + name);
    action->trigger();
  }

  // Empty when the model holds the whole plot and the surface shows a picture.
  std::string LoadFailure() const {
    if (model_->SegCount[1] != expectedSegments_ || model_->ArcCount[1] != expectedArcs_) {
      return "the read took in " + std::to_string(model_->SegCount[1]) + " segments and " +
             std::to_string(model_->ArcCount[1]) + " arcs";
    }
    if (form_->Surface()->Picture().IsNull()) return "no picture after the load";
    return {};
  }

  // The fitted picture in its normal orientation, painted, with nothing pending.
  void Fit() {
    if (context_->view.RotationMode != 1) Trigger("PlotMenu19");
    Trigger("Button9");
    PaintPending();
  }
  void FitAndZoom(int zooms) {
    Fit();
    for (int i = 0; i < zooms; ++i)
      Trigger("Button7");
    PaintPending();
  }

  // The first warning or message the window showed since the last call, if any.
  std::string TakeWarning() {
    if (dialogs_.warnings.empty()) return {};
    std::string text = dialogs_.warnings.front().toStdString();
    dialogs_.warnings.clear();
    return text;
  }

 private:
  ScratchFolder folder_;
  std::string plotPath_;
  std::int64_t expectedSegments_ = 0;
  std::int64_t expectedArcs_ = 0;
  std::unique_ptr<PlotModel> model_ = std::make_unique<PlotModel>();
  DisplaySettings settings_;
  std::unique_ptr<PlotMetafile> metafile_;
  BenchDialogs dialogs_;
  std::unique_ptr<AppContext> context_;
  PaintProbe probe_;
  std::unique_ptr<PictForm> form_;
};

std::unique_ptr<WindowRig>& RigSlot() {
  static std::unique_ptr<WindowRig> rig;
  return rig;
}

WindowRig& Rig() {
  return *RigSlot();
}

// Times one command and the painting it leaves pending, and checks that the surface was
// painted and that no warning came up.
class CommandTimer {
 public:
  explicit CommandTimer(benchmark::State& state) : state_(state) {}

  template <typename Command>
  bool Time(Command&& command) {
    WindowRig& rig = Rig();
    const std::int64_t paintsBefore = rig.Probe().paints;
    const double pixelsBefore = rig.Probe().pixels;
    const Clock::time_point start = Clock::now();
    command();
    WindowRig::PaintPending();
    const Clock::time_point end = Clock::now();
    state_.SetIterationTime(std::chrono::duration<double>(end - start).count());
    paints_ += static_cast<double>(rig.Probe().paints - paintsBefore);
    pixels_ += rig.Probe().pixels - pixelsBefore;
    if (const std::string warning = rig.TakeWarning(); !warning.empty()) {
      state_.SkipWithError(("the window warned: " + warning).c_str());
      return false;
    }
    if (rig.Probe().paints == paintsBefore) {
      state_.SkipWithError("the surface was not painted");
      return false;
    }
    return true;
  }

  // Paint events and painted pixels of the surface per timed command.
  void Report() {
    state_.counters["paints"] = benchmark::Counter(paints_, benchmark::Counter::kAvgIterations);
    state_.counters["painted_px"] = benchmark::Counter(pixels_, benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  double paints_ = 0;
  double pixels_ = 0;
};

void BM_LoadToPicture(benchmark::State& state) {
  WindowRig& rig = Rig();
  rig.Fit();
  CommandTimer timer(state);
  for (auto _ : state) {
    if (!timer.Time([&rig] { rig.Load(); })) break;
    if (const std::string failure = rig.LoadFailure(); !failure.empty()) {
      state.SkipWithError(failure.c_str());
      break;
    }
  }
  timer.Report();
}
BENCHMARK(BM_LoadToPicture)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RepaintFitted(benchmark::State& state) {
  WindowRig& rig = Rig();
  rig.Fit();
  CommandTimer timer(state);
  for (auto _ : state) {
    if (!timer.Time([&rig] { rig.Surface().repaint(); })) break;
  }
  timer.Report();
}
BENCHMARK(BM_RepaintFitted)->UseManualTime()->Unit(benchmark::kMillisecond);

// The picture alone, drawn into an image of the surface's size: what a repaint costs
// without the window around it.
void BM_RenderFitted(benchmark::State& state) {
  WindowRig& rig = Rig();
  rig.Fit();
  const QRect whole = rig.Surface().rect();
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    QImage image = rig.Surface().RenderRegion(whole);
    benchmark::DoNotOptimize(image.constBits());
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_RenderFitted)->UseManualTime()->Unit(benchmark::kMillisecond);

// One zoom-in from the fitted picture zoomed in state.range(0) times before.
void BM_ZoomIn(benchmark::State& state) {
  WindowRig& rig = Rig();
  const int zoomsBefore = static_cast<int>(state.range(0));
  state.SetLabel(std::to_string(1 << zoomsBefore) + "x to " + std::to_string(2 << zoomsBefore) +
                 "x");
  CommandTimer timer(state);
  for (auto _ : state) {
    rig.FitAndZoom(zoomsBefore);
    const int widthBefore = rig.Surface().width();
    if (!timer.Time([&rig] { rig.Trigger("Button7"); })) break;
    if (rig.Surface().width() < 2 * widthBefore - 2) {
      state.SkipWithError("the zoom-in did not double the surface");
      break;
    }
  }
  timer.Report();
}
BENCHMARK(BM_ZoomIn)
    ->DenseRange(0, kZoomsTo16x - 1)
    ->ArgName("zoomed")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One small step of a scroll bar at 4x (range(0) == 2) or 16x (4), vertical (range(1) ==
// 0) or horizontal (1), through the handler the bar calls. The steps go to and fro
// between the ends of the bar, so that every step moves the picture.
void BM_ScrollStep(benchmark::State& state) {
  WindowRig& rig = Rig();
  const int zooms = static_cast<int>(state.range(0));
  const bool horizontal = state.range(1) != 0;
  state.SetLabel(std::to_string(1 << zooms) + "x " + (horizontal ? "across" : "down"));
  rig.FitAndZoom(zooms);
  ViewState& view = rig.Context().view;
  ScrollBarModel& bar = horizontal ? view.HScroll1 : view.VScroll1;
  if (!bar.Visible || bar.Max() <= 2 * bar.SmallChange) {
    state.SkipWithError("no scroll bar to step at this zoom");
    return;
  }
  ViewCommands& commands = rig.Form().View();
  auto scrollTo = [&commands, horizontal](int value) {
    if (horizontal) {
      commands.OnHScroll(value);
    } else {
      commands.OnVScroll(value);
    }
  };
  scrollTo(bar.Max() / 2);
  WindowRig::PaintPending();
  int direction = 1;
  CommandTimer timer(state);
  for (auto _ : state) {
    int next = bar.Value() + direction * bar.SmallChange;
    if (next < 0 || next > bar.Max()) {
      direction = -direction;
      next = bar.Value() + direction * bar.SmallChange;
    }
    const int before = bar.Value();
    if (!timer.Time([&scrollTo, next] { scrollTo(next); })) break;
    if (bar.Value() == before) {
      state.SkipWithError("the scroll step did not move the bar");
      break;
    }
  }
  timer.Report();
  state.counters["step_mm"] = bar.SmallChange;
}
BENCHMARK(BM_ScrollStep)
    ->ArgsProduct({{kZoomsTo4x, kZoomsTo16x}, {0, 1}})
    ->ArgNames({"zoomed", "across"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// What a scroll step would cost if only the strip it uncovers were drawn (the rest of
// the viewport copied from what was on the screen): the picture rendered into the strip
// alone, at the same zoom and position as BM_ScrollStep, down.
void BM_ScrollStripOnly(benchmark::State& state) {
  WindowRig& rig = Rig();
  const int zooms = static_cast<int>(state.range(0));
  state.SetLabel(std::to_string(1 << zooms) + "x down");
  rig.FitAndZoom(zooms);
  const ScrollBarModel& bar = rig.Context().view.VScroll1;
  if (!bar.Visible) {
    state.SkipWithError("no scroll bar to step at this zoom");
    return;
  }
  rig.Form().View().OnVScroll(bar.Max() / 2);
  WindowRig::PaintPending();
  const QWidget& viewport = *rig.Form().Viewport();
  const QRect visible(rig.Surface().mapFrom(&viewport, QPoint(0, 0)), viewport.size());
  const int stepPx = rig.Form().Scale().Px(bar.SmallChange);
  const QRect strip(visible.left(), visible.bottom() + 1 - stepPx, visible.width(), stepPx);
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    QImage image = rig.Surface().RenderRegion(strip);
    benchmark::DoNotOptimize(image.constBits());
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["painted_px"] = static_cast<double>(strip.width()) * strip.height();
}
BENCHMARK(BM_ScrollStripOnly)
    ->Arg(kZoomsTo4x)
    ->Arg(kZoomsTo16x)
    ->ArgName("zoomed")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A turn through the context menu: to the right from normal (range(0) == 0), or back to
// normal from the right (1).
void BM_Rotate(benchmark::State& state) {
  WindowRig& rig = Rig();
  const bool back = state.range(0) != 0;
  const char* const from = back ? "PlotMenu15" : "PlotMenu19";
  const char* const to = back ? "PlotMenu19" : "PlotMenu15";
  const float expectedMode = back ? 1 : 2;
  state.SetLabel(back ? "right to normal" : "normal to right");
  rig.Fit();
  CommandTimer timer(state);
  for (auto _ : state) {
    rig.Trigger(from);
    WindowRig::PaintPending();
    if (!timer.Time([&rig, to] { rig.Trigger(to); })) break;
    if (rig.Context().view.RotationMode != expectedMode) {
      state.SkipWithError("the turn did not take");
      break;
    }
  }
  timer.Report();
  rig.Fit();
}
BENCHMARK(BM_Rotate)->DenseRange(0, 1)->ArgName("back")->UseManualTime()->Unit(
    benchmark::kMillisecond);

// The stages of a load on their own, outside the window, to tell where its time goes:
// reading the file into the model, drawing the model into the plot metafile, decoding
// the metafile into a picture (a zoom does this again) and painting the picture at the
// fitted size (as BM_RenderFitted).
class NullMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

struct StageInput {
  StageInput() {
    WindowRig& rig = Rig();
    const std::filesystem::path plot(rig.PlotPath());
    model->PlotDir = plot.parent_path().string() + "/";
    model->PlotFileName = plot.filename().string();
    NullMessenger messenger;
    std::int16_t status = 0;
    PlotReader(*model, messenger).ReadPlotFile(status);
    model->CurPlot = 1;
    metafilePath = (rig.Folder() / "stage.emf").string();
    DrawPlot(*SourceOfModel(*model), {Rotation{}, rig.Settings()}, metafilePath);
  }
  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  std::string metafilePath;
};

StageInput& Stages() {
  static StageInput input;
  return input;
}

void BM_StageRead(benchmark::State& state) {
  StageInput& input = Stages();
  NullMessenger messenger;
  for (auto _ : state) {
    std::int16_t status = 0;
    PlotReader(*input.model, messenger).ReadPlotFile(status);
    if (input.model->SegCount[1] != PlotModel::MaxSegments) {
      state.SkipWithError("the read did not take in the whole plot");
      break;
    }
  }
}
BENCHMARK(BM_StageRead)->Unit(benchmark::kMillisecond);

void BM_StageDraw(benchmark::State& state) {
  StageInput& input = Stages();
  const DisplaySettings& settings = Rig().Settings();
  const std::unique_ptr<PlotSource> source = SourceOfModel(*input.model);
  for (auto _ : state)
    DrawPlot(*source, {Rotation{}, settings}, input.metafilePath);
  state.counters["emf_bytes"] = static_cast<double>(std::filesystem::file_size(input.metafilePath));
}
BENCHMARK(BM_StageDraw)->Unit(benchmark::kMillisecond);

void BM_StageDecode(benchmark::State& state) {
  StageInput& input = Stages();
  for (auto _ : state) {
    MetafilePicture picture = MetafilePicture::LoadFile(input.metafilePath);
    benchmark::DoNotOptimize(picture.PrimitiveCount());
  }
}
BENCHMARK(BM_StageDecode)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace korvid::bench

int main(int argc, char** argv) {
  // The window has to come up without a display, on any machine; Qt reads this once, when
  // the application object is made.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  QApplication application(argc, argv);

  using korvid::bench::RigSlot;
  try {
    RigSlot() = std::make_unique<korvid::bench::WindowRig>();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "korvid_window_bench: %s\n", failure.what());
    return 1;
  }
  korvid::bench::WindowRig& rig = *RigSlot();
  rig.Fit();
  const QScreen* screen = QApplication::primaryScreen();
  benchmark::AddCustomContext("window", QStringLiteral("%1x%2 %3, %4 dpi, fitted surface %5x%6 px")
                                            .arg(rig.Form().width())
                                            .arg(rig.Form().height())
                                            .arg(QApplication::platformName())
                                            .arg(screen ? screen->logicalDotsPerInchX() : 0)
                                            .arg(rig.Surface().width())
                                            .arg(rig.Surface().height())
                                            .toStdString());
  benchmark::AddCustomContext("plot", std::to_string(rig.Model().SegCount[1]) + " segments, " +
                                          std::to_string(rig.Model().ArcCount[1]) + " arcs, " +
                                          std::to_string(rig.Surface().Picture().PrimitiveCount()) +
                                          " primitives, colour");

  benchmark::RunSpecifiedBenchmarks();
  RigSlot().reset();
  benchmark::Shutdown();
  return 0;
}
