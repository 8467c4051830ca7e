#include "app/PlotLoader.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <utility>

#include "app/DialogService.h"
#include "app/ErrorMessages.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ReadingCommands.h"
#include "app/ReadingNotes.h"
#include "app/ViewCommands.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/DrawingBudget.h"
#include "model/RuntimeError.h"
#include "reader/FindLast.h"
#include "reader/PlotContent.h"
#include "reader/PlotFile.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"

namespace korvid {

namespace {

// What the reader has to say waits until the read is over: the progress panel goes first,
// and a file that is no plot at all is said to be so instead.
class DeferredMessenger : public ReaderMessenger {
 public:
  explicit DeferredMessenger(std::vector<QString>& messages) : messages_(messages) {}
  void ShowMessage(const std::string& text) override {
    messages_.push_back(QString::fromStdString(text));
  }

 private:
  std::vector<QString>& messages_;
};

// The hourglass for as long as the command runs, however it ends.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

void PlotLoader::ChooseAndLoad() {
  AppContext& context = form_.Context();
  FileDialogRequest request;
  request.title = QStringLiteral("ＨＰＧＬファイルを開く");
  request.directory = QString::fromStdString(context.model.PlotDir);
  request.filters = {
      {QStringLiteral("ＨＰＧＬデータファイル(*.hpg;*.hgl)"), context.OpenPattern.split(';')},
      {QStringLiteral("すべて(*.*)"), {QStringLiteral("*")}}};
  request.filterIndex = context.OpenFilterIndex;
  const QString path = context.dialogs.OpenFileName(&form_, request);
  if (path.isEmpty()) return;
  Load(path);
}

void PlotLoader::Load(const QString& path) {
  AppContext& context = form_.Context();
  messages_.clear();
  {
    WaitCursor wait;
    try {
      const PlotPath split = SplitPlotPath(path.toStdString());
      context.model.PlotDir = split.dir;
      context.model.PlotFileName = split.name;
      form_.Surface()->ClearPicture();
      context.drawn = false;
      // The old drawing belongs to the old file: it must never show under the new name.
      context.metafile.Remove();
      form_.OpenProgress(5);
      // The last read goes before the next read takes its memory.
      context.drawing.Show(nullptr);
      form_.ReadingChoice().Offer({});
      form_.ShowReading({});
      Show(Read(context.model.PlotDir + context.model.PlotFileName));
    } catch (const DrawingBudgetSpent&) {
      // Said where the load says what it left out, the file stays unshown.
      context.drawing.Show(nullptr);
      form_.Surface()->ClearPicture();
      context.drawn = false;
      form_.ShowReading(
          {QStringLiteral("図形の描画に必要なメモリが上限（%1 MiB）を超えるため、表示できません")
               .arg(DrawingBudget::kWindowBytes >> 20),
           {}});
    } catch (const RuntimeError&) {
      // The load ends quietly; the picture stays empty.
    } catch (const std::exception&) {
    }
    form_.ReadingChoice().ShowCaption();
    form_.CloseProgress();
  }
  for (const QString& message : std::exchange(messages_, {}))
    context.dialogs.ShowMessage(&form_, message);
}

bool PlotLoader::ExplainNotAPlot() {
  const AppContext& context = form_.Context();
  const QString notice =
      NotAPlotNotice(ClassifyPlotFile(context.model.PlotDir + context.model.PlotFileName));
  if (notice.isEmpty()) return false;
  messages_.clear();
  form_.ShowReading({notice, {}});
  return true;
}

PlotLoader::FileRead PlotLoader::Read(const std::string& path) {
  AppContext& context = form_.Context();
  FileRead read;
  if (context.Hpgl2Reading) {
    // Pen 0 draws only when the pen table shows it: HP-GL/2 knows it as no pen.
    auto outcome = std::make_shared<const StandardReadOutcome>(
        ReadStandardPlotFile(path, {.kinds = FileKinds::RegularFilesOnly,
                                    .penZeroDraws = PenZeroDraws(context.pens),
                                    .curves = kPictureCurves}));
    context.standardRead = outcome;
    read.notice = DescribeStandardLeftOut(*outcome);
    read.offer = PenZeroOffer(*outcome);
    read.offerKind = ReadingPanel::Offer::kPenZeroAsPenOne;
    read.instructions = InstructionNotes(*outcome);
    read.read = !outcome->fileError;
    read.fileError = static_cast<bool>(outcome->fileError);
    read.source = SourceOfPages(std::shared_ptr<const StandardPlot>(outcome, &outcome->plot));
    return read;
  }
  context.standardRead.reset();
  std::int16_t status = 0;
  DeferredMessenger messenger(messages_);
  PlotReader reader(context.model, messenger);
  // A FIFO or a device would hold the window: only regular files are read.
  const ReadOutcome outcome = reader.ReadPlotFile(status, FileKinds::RegularFilesOnly);
  // A file without a terminator is not read at all: the model still holds the last file.
  if (status != 1) read.source = SourceOfModel(context.model);
  read.offer = StandardReadingOffer(outcome, !read.source || !read.source->HasDrawing());
  read.notice = DescribeLeftOut(outcome, context.model.SegCount[1]);
  read.instructions = InstructionNotes(outcome);
  read.read = status != 1;
  read.fileError = static_cast<bool>(outcome.fileError);
  return read;
}

void PlotLoader::Show(FileRead read) {
  AppContext& context = form_.Context();
  context.drawing.Show(std::move(read.source));
  const bool notAPlot = !context.drawing.HasDrawing() && !read.fileError && ExplainNotAPlot();
  if (!notAPlot) {
    form_.ReadingChoice().Offer(read.offer, read.offerKind);
    form_.ShowReading({read.notice, std::move(read.instructions)});
  }
  if (!context.drawing.HasDrawing()) ForgetEarlierPages();
  if (!read.read) return;
  form_.SetProgress(30);
  context.settings.AdjustDisplayOff = 1;
  context.model.CurPlot = 1;
  context.Magnification = 1.0f;
  if (context.drawing.HasDrawing()) ShowPlot();
}

void PlotLoader::ForgetEarlierPages() {
  if (form_.WindowMenu()->actions().size() > 1) form_.ListPlots(1);
}

void PlotLoader::ShowPlot() {
  AppContext& context = form_.Context();
  context.view.SurfaceVisible = true;
  form_.Surface()->ClearPicture();
  try {
    context.view.FitLoadedPlot(form_.Metrics(), context.ShownExtents());
  } catch (...) {
    form_.ApplyView();
    throw;
  }
  form_.ApplyView();
  form_.SetProgress(40);
  form_.View().EndMeasuring();
  form_.View().DrawAndShow(Rotation{});
  form_.SetProgress(50);
  context.drawn = true;
  context.view.RotationMode = 1;
  form_.ApplyView();
  form_.ListPlots(context.drawing.PageCount());
}

}  // namespace korvid
