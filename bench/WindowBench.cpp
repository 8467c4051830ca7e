// How fast the real main window answers the user, from the event to the painted frame. Two
// sets of plots: the largest plot the model holds (150,000 pen-down segments and 15,000
// circles and arcs, in colour), generated, with the load, a repaint, zoom-ins, scroll steps
// and a rotation; and the largest real plots of a folder given at run time
// (--plots=FOLDER; skipped when the folder or a file is absent), in both readings, with
// opening a file, a scroll step, a zoom step of the toolbar and of the wheel, and five
// wheel notches one after another. The window runs offscreen at 1024 x 720, its questions
// answered by a script, and each command is timed together with the painting it leaves
// pending, as the event loop would do it right after the command; the resetting between
// commands is not timed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
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
#include "hpgl2/Hpgl2Reader.h"
#include "model/PlotModel.h"
#include "reader/PlotReader.h"
#include "render/DisplaySettings.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
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

    ShowMaxPlot();
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

  // Delivers what a command left pending (gathered wheel input, layout, the update
  // request) so that the dirty part of the window is painted now: each pass may leave
  // work for the next, as a wheel event leaves a change of the view, which leaves a paint.
  static void PaintPending() {
    for (int pass = 0; pass < 3; ++pass) {
      QCoreApplication::sendPostedEvents();
      QApplication::processEvents();
    }
  }
  // PaintPending, and then whatever the surface waits for (the rest after a zoom gesture)
  // until it has painted its last picture.
  void PaintSettled() {
    PaintPending();
    auto waiting = [this] {
      for (const QTimer* timer : form_->Surface()->findChildren<QTimer*>()) {
        if (timer->isActive()) return true;
      }
      return false;
    };
    while (waiting()) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
      PaintPending();
    }
  }

  // Reads `path` in the standard reading or Korvid's own and shows it fitted.
  void Load(const std::string& path, bool standard) {
    context_->Hpgl2Reading = standard;
    form_->LoadPlotPath(QString::fromStdString(path));
    shownPath_ = path;
    shownStandard_ = standard;
  }
  void Load() { Load(plotPath_, false); }
  // The plot on show unless it is already, with nothing pending.
  void Show(const std::string& path, bool standard) {
    if (shownPath_ != path || shownStandard_ != standard) Load(path, standard);
    PaintPending();
  }
  void ShowMaxPlot() { Show(plotPath_, false); }
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
  std::string shownPath_;
  bool shownStandard_ = false;
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

// The rig with the generated plot on show.
WindowRig& MaxRig() {
  WindowRig& rig = Rig();
  rig.ShowMaxPlot();
  return rig;
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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
  WindowRig& rig = MaxRig();
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

// The largest real plots: 3.8 MB of lines and arcs, a 1.7 MB nesting plot and a 0.9 MB
// engine drawing, each in both readings.
const char* const kRealPlots[] = {"potmo_putput_arcs.hpgl", "garment_S_Fabric_Nesting.plt",
                                  "schwittlick_c100_engine_hpdm_sx_a1.hpgl"};

// A wheel event as the window gets it, at a point of the viewport.
void WheelAt(WindowRig& rig, QPointF viewportPx, int angle, Qt::KeyboardModifiers modifiers) {
  QWidget& surface = rig.Surface();
  const QPointF local = viewportPx - QPointF(surface.pos());
  QWheelEvent event(local, surface.mapToGlobal(local), {}, QPoint(0, angle), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&surface, &event);
}

QPointF ViewportMiddle(WindowRig& rig) {
  const QWidget& viewport = *rig.Form().Viewport();
  return QPointF(viewport.width() / 2.0, viewport.height() / 2.0);
}

struct RealPlot {
  std::string path;
  bool standard = false;
};

// The file read and fitted, to its first whole picture on the screen.
void BM_RealOpen(benchmark::State& state, RealPlot plot) {
  WindowRig& rig = Rig();
  CommandTimer timer(state);
  for (auto _ : state) {
    if (!timer.Time([&] { rig.Load(plot.path, plot.standard); })) break;
    if (rig.Surface().Picture().IsNull()) {
      state.SkipWithError("no picture after the load");
      break;
    }
  }
  timer.Report();
}

// One wheel notch down the drawing (up at its end) at 4x, the pointer in the middle; across
// it (Shift) for a plot that reaches further across than down.
void BM_RealScrollStep(benchmark::State& state, RealPlot plot) {
  WindowRig& rig = Rig();
  rig.Show(plot.path, plot.standard);
  rig.FitAndZoom(kZoomsTo4x);
  const ViewState& view = rig.Context().view;
  const WindowMetrics metrics = rig.Form().Metrics();
  const float down = view.Picture3.Height - view.ShownHeight(metrics);
  const float across = view.Picture3.Width - view.ShownWidth(metrics);
  const bool horizontal = across > down;
  const float largest = std::max(down, across);
  if (largest < 1) {
    state.SkipWithError("nothing to scroll at 4x");
    return;
  }
  state.SetLabel(horizontal ? "across" : "down");
  const Qt::KeyboardModifiers modifiers = horizontal ? Qt::ShiftModifier : Qt::NoModifier;
  auto position = [&view, horizontal] { return horizontal ? view.ScrollX() : view.ScrollY(); };
  int angle = -120;
  CommandTimer timer(state);
  for (auto _ : state) {
    // At an end the steps go back.
    if (position() >= largest - 0.01f) angle = 120;
    if (position() <= 0.01f) angle = -120;
    if (!timer.Time([&] { WheelAt(rig, ViewportMiddle(rig), angle, modifiers); })) break;
  }
  timer.Report();
}

// One zoom-in of the toolbar: the first after opening the file (state.range(0) == 0), or
// from the fitted picture zoomed in state.range(0) times.
void BM_RealZoomIn(benchmark::State& state, RealPlot plot) {
  WindowRig& rig = Rig();
  rig.Show(plot.path, plot.standard);
  const int zoomsBefore = static_cast<int>(state.range(0));
  CommandTimer timer(state);
  for (auto _ : state) {
    if (zoomsBefore == 0) {
      rig.Load(plot.path, plot.standard);
      WindowRig::PaintPending();
    } else {
      rig.FitAndZoom(zoomsBefore);
    }
    if (!timer.Time([&rig] { rig.Trigger("Button7"); })) break;
  }
  timer.Report();
}

// `notches` Ctrl+wheel notches in about the middle of the view, each in a pass of the event
// loop of its own (the window sees each before the next comes), from the fitted picture,
// to the picture painted at the last one's size.
void BM_RealWheelZoom(benchmark::State& state, RealPlot plot) {
  WindowRig& rig = Rig();
  rig.Show(plot.path, plot.standard);
  const int notches = static_cast<int>(state.range(0));
  CommandTimer timer(state);
  for (auto _ : state) {
    rig.Fit();
    const float widthBefore = rig.Context().view.Picture3.Width;
    const bool timed = timer.Time([&] {
      for (int i = 0; i < notches; ++i) {
        WheelAt(rig, ViewportMiddle(rig), 120, Qt::ControlModifier);
        WindowRig::PaintPending();
      }
      rig.PaintSettled();
    });
    if (!timed) break;
    if (!(rig.Context().view.Picture3.Width > widthBefore)) {
      state.SkipWithError("the wheel did not zoom");
      break;
    }
  }
  timer.Report();
}

// Where a real plot's load goes, stage by stage outside the window (milliseconds per
// iteration as counters): the read, the plot metafile written, decoded from its file, the
// same picture recorded straight from the source, and painted at the fitted size.
void BM_RealStages(benchmark::State& state, RealPlot plot) {
  WindowRig& rig = Rig();
  const std::string metafile = (rig.Folder() / "stages.emf").string();
  const QSize fitted(861, 636);
  double read = 0, write = 0, decode = 0, record = 0, paint = 0;
  auto since = [](Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  for (auto _ : state) {
    const Clock::time_point iteration = Clock::now();
    Clock::time_point start = iteration;
    std::unique_ptr<PlotSource> source;
    std::shared_ptr<const StandardReadOutcome> outcome;
    auto model = std::make_shared<PlotModel>();
    if (plot.standard) {
      outcome = std::make_shared<const StandardReadOutcome>(ReadStandardPlotFile(plot.path));
      source = SourceOfPages(std::shared_ptr<const StandardPlot>(outcome, &outcome->plot));
    } else {
      const std::filesystem::path path(plot.path);
      model->PlotDir = path.parent_path().string() + "/";
      model->PlotFileName = path.filename().string();
      NullMessenger messenger;
      std::int16_t status = 0;
      PlotReader(*model, messenger).ReadPlotFile(status);
      model->CurPlot = 1;
      source = SourceOfModel(std::shared_ptr<const PlotModel>(model));
    }
    read += since(start);
    const DrawSetup setup{Rotation{}, rig.Settings()};
    start = Clock::now();
    DrawPlot(*source, setup, metafile);
    write += since(start);
    start = Clock::now();
    const MetafilePicture decoded = MetafilePicture::LoadFile(metafile);
    decode += since(start);
    start = Clock::now();
    const MetafilePicture recorded = DrawPlotPicture(*source, setup);
    record += since(start);
    benchmark::DoNotOptimize(recorded.PrimitiveCount());
    start = Clock::now();
    QImage image(fitted, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    decoded.Paint(painter, QRectF(QPointF(0, 0), QSizeF(fitted)));
    painter.end();
    paint += since(start);
    state.SetIterationTime(since(iteration) / 1000);
  }
  const auto perIteration = benchmark::Counter::kAvgIterations;
  state.counters["read_ms"] = benchmark::Counter(read, perIteration);
  state.counters["write_ms"] = benchmark::Counter(write, perIteration);
  state.counters["decode_ms"] = benchmark::Counter(decode, perIteration);
  state.counters["record_ms"] = benchmark::Counter(record, perIteration);
  state.counters["paint_ms"] = benchmark::Counter(paint, perIteration);
}

// The real plots found in `folder`; a missing folder or file is said and skipped.
void RegisterRealPlots(const std::string& folder) {
  if (folder.empty()) {
    std::fprintf(stderr, "korvid_window_bench: no --plots=FOLDER, real plots skipped\n");
    return;
  }
  for (const char* name : kRealPlots) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
      std::fprintf(stderr, "korvid_window_bench: %s absent, skipped\n", path.c_str());
      continue;
    }
    for (const bool standard : {false, true}) {
      const RealPlot plot{path.string(), standard};
      const std::string label = std::string(name) + (standard ? " hpgl2" : " own");
      auto add = [&](const char* bench, auto function) {
        return benchmark::RegisterBenchmark((std::string(bench) + "/" + label).c_str(), function,
                                            plot)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
      };
      add("BM_RealOpen", BM_RealOpen);
      add("BM_RealScrollStep", BM_RealScrollStep);
      add("BM_RealZoomIn", BM_RealZoomIn)->Arg(0)->Arg(kZoomsTo4x)->ArgName("zoomed");
      add("BM_RealWheelZoom", BM_RealWheelZoom)->Arg(1)->Arg(5)->ArgName("notches");
      add("BM_RealStages", BM_RealStages);
    }
  }
}

}  // namespace

}  // namespace korvid::bench

int main(int argc, char** argv) {
  // The window has to come up without a display, on any machine; Qt reads this once, when
  // the application object is made.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Our own option first: the benchmark library refuses any it does not know.
  std::string plots;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--plots=", 0) == 0) {
      plots = argument.substr(8);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  korvid::bench::RegisterRealPlots(plots);
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
