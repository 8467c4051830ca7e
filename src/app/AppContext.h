#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "app/ShownDrawing.h"
#include "hpgl2/StandardReadOutcome.h"
#include "model/PlotModel.h"
#include "pens/PenTable.h"
#include "render/DisplaySettings.h"
#include "render/PlotMetafile.h"
#include "view/SelectionBand.h"
#include "view/ViewState.h"

namespace korvid {

class DialogService;

inline const QString kVersionText = QStringLiteral(KORVID_VERSION);

// The state the whole program shares: one model, the settings, the plot metafile, the
// view, and the way to ask the user. Owned by the application, passed by reference.
struct AppContext {
  AppContext(PlotModel& model, DisplaySettings& settings, PlotMetafile& metafile,
             DialogService& dialogs)
      : model(model), settings(settings), metafile(metafile), dialogs(dialogs) {}

  PlotModel& model;
  DisplaySettings& settings;
  PlotMetafile& metafile;
  DialogService& dialogs;

  ViewState view;
  SelectionBand band;
  float Magnification = 1.0f;
  QString OpenPattern;
  std::int16_t OpenFilterIndex = 0;
  // The option "HP-GL/2 として読み込む": how the next file is read.
  bool Hpgl2Reading = false;
  // The pen table in force ("ペン設定"): empty while the profile is "なし".
  PenTable pens;
  // The standard read on show, for what its pens draw; none in the own reading.
  std::shared_ptr<const StandardReadOutcome> standardRead;
  // What is on show, and from which reading; the view and output commands measure it.
  ShownDrawing drawing;

  // Set once the loaded file has been drawn: a file that drew nothing leaves nothing to
  // zoom, turn, print or export.
  bool drawn = false;

  bool FileLoaded() const { return model.HasFile(); }
  PlotExtents ShownExtents() const { return drawing.Extents(); }
  bool HasDrawing() const { return FileLoaded() && drawn; }
  // How everything on show is drawn: the turn, the colour mode and the pen table in force
  // (none when it is empty, so that the drawing is the reading's own, record for record).
  DrawSetup Setup(const Rotation& rotation) const {
    return {rotation, settings, pens.Empty() ? nullptr : std::make_shared<const PenTable>(pens)};
  }
};

}  // namespace korvid
