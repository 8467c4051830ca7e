#include "app/PlotLoader.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>

#include "app/DialogService.h"
#include "app/ErrorMessages.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ReadingCommands.h"
#include "app/ReadingNotes.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/RuntimeError.h"
#include "reader/FindLast.h"
#include "reader/PlotFile.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"

namespace korvid {

namespace {

class MessageBoxMessenger : public ReaderMessenger {
 public:
  explicit MessageBoxMessenger(PictForm& form) : form_(form) {}
  void ShowMessage(const std::string& text) override {
    form_.Context().dialogs.ShowMessage(&form_, QString::fromStdString(text));
  }

 private:
  PictForm& form_;
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
    // The last standard read goes before the next read takes its memory.
    context.drawing.ShowDesign();
    form_.ReadingChoice().Offer({});
    if (context.Hpgl2Reading) {
      ReadAsHpgl2(context.model.PlotDir + context.model.PlotFileName);
    } else {
      ReadAsDesigned();
    }
  } catch (const RuntimeError&) {
    // The load ends quietly; the picture stays empty.
  } catch (const std::exception&) {
  }
  form_.ReadingChoice().ShowCaption();
  form_.CloseProgress();
}

void PlotLoader::ReadAsDesigned() {
  AppContext& context = form_.Context();
  std::int16_t status = 0;
  MessageBoxMessenger messenger(form_);
  PlotReader reader(context.model, messenger);
  // A FIFO or a device would hold the window: only regular files are read.
  const ReadOutcome outcome = reader.ReadPlotFile(status, FileKinds::RegularFilesOnly);
  const bool drewNothing =
      status == 1 || (context.model.ArcCount[1] == 0 && context.model.SegCount[1] == 0);
  form_.ReadingChoice().Offer(StandardReadingOffer(outcome, drewNothing));
  if (drewNothing) ForgetEarlierPages();
  if (status != 1) {
    form_.SetProgress(30);
    context.settings.AdjustDisplayOff = 1;
    context.model.CurPlot = 1;
    context.Magnification = 1.0f;
    if (context.model.ArcCount[1] != 0 || context.model.SegCount[1] != 0) ShowPlot();
    form_.ShowNotice(DescribeLeftOut(outcome, context.model.SegCount[1]));
  }
}

void PlotLoader::ReadAsHpgl2(const std::string& path) {
  AppContext& context = form_.Context();
  context.drawing.ShowStandard(nullptr);
  auto read = std::make_shared<const StandardReadOutcome>(
      ReadStandardPlotFile(path, {.kinds = FileKinds::RegularFilesOnly}));
  context.drawing.ShowStandard(read);
  form_.ShowNotice(DescribeStandardLeftOut(*read));
  if (read->fileError) return;
  form_.SetProgress(30);
  context.settings.AdjustDisplayOff = 1;
  context.model.CurPlot = 1;
  context.Magnification = 1.0f;
  if (context.drawing.HasDrawing(context.model)) {
    ShowPlot();
  } else {
    ForgetEarlierPages();
  }
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
  context.drawing.Draw(
      {context.model, context.settings, context.metafile.File(), &form_.DrawingProgress()}, 0, 1,
      0);
  form_.SetProgress(50);
  form_.Surface()->SetPicture(MetafilePicture::LoadFile(context.metafile.File()));
  context.drawn = true;
  context.view.RotationMode = 1;
  form_.ApplyView();
  form_.ListPlots(context.drawing.Source() == Reading::Design ? context.model.PlotCount
                                                              : context.drawing.PageCount());
}

QString PlotLoader::DescribeLeftOut(const ReadOutcome& outcome, int segments) {
  QStringList parts;
  if (outcome.segmentCapacityReached) {
    parts << QStringLiteral("線分が上限の%1本に達したため、以降は読み込んでいません")
                 .arg(PlotModel::MaxSegments);
  } else if (outcome.arcCapacityReached) {
    parts << QStringLiteral("円・円弧が上限の%1個に達したため、以降は読み込んでいません")
                 .arg(PlotModel::MaxArcs);
  } else if (outcome.end == ReadEnd::PageAdvance) {
    parts << QStringLiteral(
                 "1ページ目のみ表示しています（%1番目のコマンドPG以降は読み込んでいません）")
                 .arg(outcome.commandIndex);
  } else if (outcome.end == ReadEnd::Failure && !outcome.fileError) {
    parts << QStringLiteral(
                 "%1番目のコマンドでエラー(Err=%2)のため、以降は読み込んでいません（線分%3本まで）")
                 .arg(outcome.commandIndex)
                 .arg(outcome.errorNumber)
                 .arg(segments);
  } else if (outcome.fileError) {
    parts << DescribeFileError(outcome.fileError);
  }
  if (!outcome.skipped.empty()) {
    QStringList names;
    std::int64_t total = 0;
    for (const SkippedMnemonic& skipped : outcome.skipped)
      total += skipped.count;
    for (std::size_t i = 0; i < outcome.skipped.size() && i < 6; ++i) {
      QString name = QString::fromLatin1(outcome.skipped[i].mnemonic.data(),
                                         static_cast<int>(outcome.skipped[i].mnemonic.size()));
      name.replace(QLatin1Char('\n'), QStringLiteral("↵"));
      name.replace(QLatin1Char(' '), QStringLiteral("␣"));
      for (QChar& c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QLatin1Char('?');
      }
      names << QStringLiteral("%1×%2").arg(name).arg(outcome.skipped[i].count);
    }
    if (outcome.skipped.size() > 6) names << QStringLiteral("…");
    parts << QStringLiteral("未対応のコマンド%1個を読み飛ばしました（%2）")
                 .arg(total)
                 .arg(names.join(QStringLiteral(", ")));
  }
  return parts.join(QStringLiteral("。"));
}

}  // namespace korvid
