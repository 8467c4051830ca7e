#pragma once

#include <QString>
#include <cstdint>

#include "app/ShownDrawing.h"
#include "model/PlotModel.h"
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
  // What is on show, and from which reading; the view and output commands measure it.
  ShownDrawing drawing;

  // Set once the loaded file has been drawn: a file that drew nothing leaves nothing to
  // zoom, turn, print or export.
  bool drawn = false;

  bool FileLoaded() const { return model.HasFile(); }
  PlotExtents ShownExtents() const { return drawing.Extents(); }
  bool HasDrawing() const { return FileLoaded() && drawn; }
};

}  // namespace korvid
