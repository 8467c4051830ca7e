#include "app/PenCommands.h"

#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>
#include <map>

#include "app/DialogService.h"
#include "app/PenForm.h"
#include "app/PenMessages.h"
#include "app/PenPreference.h"
#include "app/PictForm.h"
#include "app/ReadingNotes.h"
#include "app/ViewCommands.h"
#include "hpgl2/PenPalette.h"
#include "model/RuntimeError.h"
#include "render/DrawPlot.h"

namespace korvid {

namespace {

PenProfileFolder Folder() {
  return PenProfileFolder(PenProfileFolderPath().toStdString());
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// How the standard reading draws each pen: the colour and width of its first line (or
// fill), and whether the file changes them on the way (PC, PW).
void AddStandardLooks(const StandardReadOutcome& read, std::map<int, PenRow>& rows) {
  struct Seen {
    ColourRef colour;
    double widthMm;
  };
  std::map<int, Seen> first;
  const auto see = [&](int pen, ColourRef colour, double widthMm) {
    const auto [at, added] = first.try_emplace(pen, Seen{colour, widthMm});
    if (added) return;
    PenRow& row = rows[pen];
    row.coloursVary = row.coloursVary || at->second.colour != colour;
    row.widthsVary = row.widthsVary || at->second.widthMm != widthMm;
  };
  for (const StandardPage& page : read.plot.pages) {
    const StrokeStyle* last = nullptr;
    for (const StandardPolyline& line : page.polylines) {
      // Runs of one style are the rule: one look a run.
      if (last && *last == line.style) continue;
      last = &line.style;
      see(line.style.pen, line.style.colour, line.style.widthMm);
    }
  }
  for (const StandardPage& page : read.plot.pages) {
    for (const StandardPolygon& polygon : page.polygons) {
      if (polygon.pen != StandardPolygon::kNoPen && !first.contains(polygon.pen))
        see(polygon.pen, polygon.colour, polygon.widthMm);
    }
  }
  for (const auto& [pen, seen] : first) {
    rows[pen].readingColour = RgbOf(seen.colour);
    rows[pen].readingWidthMm = seen.widthMm;
  }
}

}  // namespace

PenCommands::PenCommands(PictForm& form) : form_(form) {}

PenCommands::~PenCommands() = default;

void PenCommands::Start() {
  const QString name = LoadPenProfilePreference();
  if (name.isEmpty()) return;
  const PenProfileLoad load = Folder().Load(Utf8(name));
  if (!load.Ok()) {
    // The choice stays for the next run: the file may be back by then.
    form_.ShowReading({PenProfileLoadText(name, load).section(QStringLiteral("\r\n"), 0, 0), {}});
    return;
  }
  chosen_ = name;
  saved_ = load.table;
  form_.Context().pens = load.table;
}

const PenTable& PenCommands::Table() const {
  return form_.Context().pens;
}

bool PenCommands::Modified() const {
  return Table() != saved_;
}

bool PenCommands::OwnReading() const {
  return !form_.Context().Hpgl2Reading;
}

bool PenCommands::ColourShown() const {
  return form_.Context().settings.Colour();
}

std::vector<PenRow> PenCommands::Rows() const {
  const AppContext& context = form_.Context();
  std::map<int, PenRow> rows;
  if (context.FileLoaded()) {
    if (OwnReading()) {
      if (context.model.CurPlot >= 0 && context.model.CurPlot <= 1) {
        for (const PenUse& use : PenUseOf(context.model))
          rows[use.pen].use = use;
      }
    } else if (const StandardReadOutcome* read = context.standardRead.get()) {
      for (const PenUse& use : PenUseOf(*read))
        rows[use.pen].use = use;
      if (read->counts.withoutPen > 0) rows[0];
      AddStandardLooks(*read, rows);
      if (!PenZeroDraws(Table()) && rows.contains(0)) rows[0].noPen = true;
    }
  }
  for (const auto& [pen, setting] : Table().Entries())
    rows[pen];
  std::vector<PenRow> listed;
  for (auto& [pen, row] : rows) {
    row.use.pen = pen;
    if (OwnReading()) {
      const std::optional<std::uint32_t> colour = OwnPenColour(static_cast<std::int16_t>(pen));
      if (colour) row.readingColour = RgbOf(*colour);
    }
    listed.push_back(row);
  }
  return listed;
}

QStringList PenCommands::ProfileNames() const {
  QStringList names;
  for (const std::string& name : Folder().Names())
    names << QString::fromStdString(name);
  names.removeAll(kNoPenProfile);
  return names;
}

void PenCommands::ShowPenForm() {
  if (penForm_) {
    penForm_->raise();
    penForm_->activateWindow();
    return;
  }
  penForm_ = new PenForm(*this, &form_);
  penForm_->setWindowFlag(Qt::Window);
  penForm_->show();
}

void PenCommands::Remember(const QString& name, const PenTable& saved) {
  chosen_ = name;
  saved_ = saved;
  SavePenProfilePreference(name);
}

void PenCommands::Apply(const PenTable& table, bool relist) {
  AppContext& context = form_.Context();
  const bool reread =
      !OwnReading() && context.FileLoaded() && PenZeroDraws(table) != PenZeroDraws(context.pens);
  context.pens = table;
  if (reread) {
    // Pen 0 is drawn or not as the file is read.
    form_.LoadPlotPath(QString::fromStdString(context.model.PlotDir + context.model.PlotFileName));
    relist = true;
  } else if (context.HasDrawing()) {
    form_.View().Redraw();
  }
  if (!penForm_) return;
  // A change of one pen comes from its own row, whose widgets must outlive it.
  if (relist) {
    penForm_->Rebuild();
  } else {
    penForm_->Update();
  }
}

bool PenCommands::Ask(const QString& question) {
  QMessageBox box(QMessageBox::Question, kApplicationTitle, question,
                  QMessageBox::Yes | QMessageBox::No, Parent());
  box.setDefaultButton(QMessageBox::No);
  return form_.Context().dialogs.Exec(box) == QMessageBox::Yes;
}

void PenCommands::Choose(const QString& name) {
  if (name.isEmpty() || name == kNoPenProfile) {
    Remember({}, {});
    Apply({}, true);
    return;
  }
  const PenProfileLoad load = Folder().Load(Utf8(name));
  if (!load.Ok()) {
    form_.Context().dialogs.ShowWarning(Parent(), PenProfileLoadText(name, load));
    if (penForm_) penForm_->Rebuild();
    return;
  }
  Remember(name, load.table);
  Apply(load.table, true);
}

void PenCommands::SetPen(int pen, const PenSetting& setting) {
  if (pen == 0 && !OwnReading() && setting.SaysNothing() && !PenZeroDraws(Table())) {
    ShowPenZeroAsPenOne();
    return;
  }
  PenTable table = Table();
  table.Set(pen, setting);
  Apply(table, false);
}

void PenCommands::ShowPenZeroAsPenOne() {
  const PenSetting one = Table().Setting(1);
  PenTable table = Table();
  table.Set(0, {one.colour.value_or(RgbOf(kBlack)),
                one.widthMm.value_or(PenPalette::kDefaultWidthMm), true});
  Apply(table, true);
  // Said beside what the read that follows said, so that the user sees why it now draws.
  ReadingReport report = form_.LastReading();
  const QString why = QStringLiteral("ペン0を、ペン設定でペン1と同じ色・太さで表示しています");
  report.notice = report.notice.isEmpty() ? why : report.notice + QStringLiteral("。") + why;
  form_.ShowReading(report);
}

bool PenCommands::SaveAs(const QString& name) {
  return Keep(name, Table(), false);
}

bool PenCommands::Keep(const QString& name, const PenTable& table, bool askForChosen) {
  const QString trimmed = name.trimmed();
  if (!PenProfileFolder::IsValidName(Utf8(trimmed)) || trimmed == kNoPenProfile) {
    form_.Context().dialogs.ShowWarning(
        Parent(), QStringLiteral("「%1」はプロファイルの名前に使えません。\r\n"
                                 "空の名前、「/」や制御文字を含む名前、「.」で始まる名前、"
                                 "「%2」は使えません。")
                      .arg(trimmed, kNoPenProfile));
    return false;
  }
  const PenProfileFolder folder = Folder();
  if ((askForChosen || trimmed != chosen_) && folder.Has(Utf8(trimmed)) &&
      !Ask(QStringLiteral("プロファイル「%1」はすでにあります。置き換えますか？").arg(trimmed))) {
    return false;
  }
  folder.Save(Utf8(trimmed), table);
  Remember(trimmed, table);
  if (penForm_) penForm_->Rebuild();
  return true;
}

void PenCommands::DeleteChosen() {
  if (chosen_.isEmpty()) return;
  if (!Ask(QStringLiteral("プロファイル「%1」を削除しますか？").arg(chosen_))) return;
  if (!Folder().Remove(Utf8(chosen_)) && errno != ENOENT)
    throw RuntimeError(ErrorNumberFromErrno(errno), Utf8(chosen_));
  Remember({}, {});
  Apply({}, true);
}

void PenCommands::Import(const QString& path) {
  const PenProfileLoad load = LoadPenProfileFile(Utf8(path));
  if (!load.Ok()) {
    form_.Context().dialogs.ShowWarning(Parent(),
                                        PenProfileLoadText(QFileInfo(path).fileName(), load));
    return;
  }
  if (Keep(QFileInfo(path).completeBaseName(), load.table, true)) Apply(load.table, true);
}

void PenCommands::Export(const QString& path) {
  SavePenProfileFile(Utf8(path), Table());
}

namespace {

FileDialogRequest ProfileFileRequest(const QString& title) {
  FileDialogRequest request;
  request.title = title;
  request.filters = {{QStringLiteral("ペン設定ファイル(*.pens)"), {QStringLiteral("*.pens")}},
                     {QStringLiteral("すべて(*.*)"), {QStringLiteral("*")}}};
  request.filterIndex = 1;
  return request;
}

}  // namespace

void PenCommands::ImportChosenFile() {
  const QString path = form_.Context().dialogs.OpenFileName(
      Parent(), ProfileFileRequest(QStringLiteral("ペン設定ファイルの読み込み")));
  if (!path.isEmpty()) Import(path);
}

void PenCommands::ExportToChosenFile() {
  FileDialogRequest request = ProfileFileRequest(QStringLiteral("ペン設定ファイルの書き出し"));
  request.fileName = (chosen_.isEmpty() ? QStringLiteral("ペン設定") : chosen_) +
                     QString::fromUtf8(PenProfileFolder::kExtension.data(),
                                       static_cast<qsizetype>(PenProfileFolder::kExtension.size()));
  const QString name = form_.Context().dialogs.SaveFileName(Parent(), request);
  if (name.isEmpty()) return;
  // A name without the extension gets it, as a vector drawing gets its own.
  Export(name.endsWith(QStringLiteral(".pens"), Qt::CaseInsensitive)
             ? name
             : name + QStringLiteral(".pens"));
}

QWidget* PenCommands::Parent() const {
  return penForm_ ? static_cast<QWidget*>(penForm_.data()) : &form_;
}

void PenCommands::Refresh() {
  if (penForm_) penForm_->Rebuild();
}

}  // namespace korvid
