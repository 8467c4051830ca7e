#include "app/ReadingCommands.h"

#include <QAction>
#include <QMenu>

#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ReadingNotes.h"
#include "app/ReadingPanel.h"
#include "app/ReadingPreference.h"
#include "app/ViewCommands.h"

namespace korvid {

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
