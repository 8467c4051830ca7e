#include "app/ReadingCommands.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ReadingNotes.h"
#include "app/ReadingPanel.h"
#include "app/ReadingPreference.h"
#include "app/StatusLabels.h"
#include "app/ViewCommands.h"
#include "view/PlotCoordinates.h"

namespace korvid {

namespace {

// At most `decimals` decimals, with no trailing zeros.
QString Shortest(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  if (text.contains(QLatin1Char('.'))) {
    while (text.endsWith(QLatin1Char('0')))
      text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  }
  return text;
}

}  // namespace

QString PlotSizeText(const PlotBox& box) {
  if (box.empty) return {};
  const auto pair = [&](double width, double height, int decimals) {
    return Shortest(width, decimals) + QStringLiteral(" × ") + Shortest(height, decimals);
  };
  return pair(box.Width() / kPlotterUnitsPerMm, box.Height() / kPlotterUnitsPerMm, 2) +
         QStringLiteral(" mm（") + pair(box.Width(), box.Height(), 1) +
         QStringLiteral(" プロッタ単位）");
}

void ReadingCommands::Start() {
  AppContext& context = form_.Context();
  context.Hpgl2Reading = LoadHpgl2ReadingPreference();
  form_.Action(kHpgl2ReadingAction)->setChecked(context.Hpgl2Reading);
  ShowCaption();
}

void ReadingCommands::ChooseHpgl2(bool hpgl2) {
  AppContext& context = form_.Context();
  form_.Action(kHpgl2ReadingAction)->setChecked(hpgl2);
  context.Hpgl2Reading = hpgl2;
  SaveHpgl2ReadingPreference(hpgl2);
  if (context.FileLoaded()) {
    form_.LoadPlotPath(QString::fromStdString(context.model.PlotDir + context.model.PlotFileName));
    return;
  }
  ShowCaption();
}

void ReadingCommands::RereadAsHpgl2() {
  Offer({});
  ChooseHpgl2(true);
}

void ReadingCommands::ShowPage(int page) {
  AppContext& context = form_.Context();
  // An item left from an earlier file has no page to show; the page on show is shown.
  if (page < 1 || page > context.drawing.PageCount() || page == context.drawing.Page()) return;
  context.drawing.SelectPage(page);
  // A selection of the page before is no picture of this one.
  context.band.Hide();
  form_.Surface()->SetBand(false, {});
  ShowCaption();
  MarkPage();
  if (!context.drawing.HasDrawing()) return;
  const float rotation = context.view.RotationMode;
  const int mode = rotation >= 1 && rotation <= 4 ? static_cast<int>(rotation) : 1;
  form_.View().ShowRotated(mode);
}

void ReadingCommands::ShowCaption() {
  const AppContext& context = form_.Context();
  form_.ReadingStatus()->SetCaption(
      ReadingCaption(context.Hpgl2Reading, context.drawing.Page(), context.drawing.PageCount()));
  form_.PlotSizeStatus()->SetFullText(PlotSizeText(context.drawing.DrawnBox()));
}

void ReadingCommands::MarkPage() {
  const ShownDrawing& drawing = form_.Context().drawing;
  const bool pages = drawing.PageCount() > 1;
  const QList<QAction*> items = form_.WindowMenu()->actions();
  for (int i = 0; i < items.size(); ++i) {
    items[i]->setCheckable(pages);
    items[i]->setChecked(pages && i + 1 == drawing.Page());
  }
}

void ReadingCommands::Offer(const QString& reason) {
  form_.ReadingStatus()->ShowOffer(reason);
}

}  // namespace korvid
