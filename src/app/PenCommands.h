#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "pens/PenTable.h"
#include "pens/PenUse.h"

namespace korvid {

class PictForm;
class PenForm;

// One pen of the pen settings' listing: what the plot on show draws with it, and how the
// reading draws it before the table has its say.
struct PenRow {
  PenUse use;                           // all 0 for a pen that only the table names
  std::optional<PenRgb> readingColour;  // none: the colour in force (own reading's pens 9 up)
  bool coloursVary = false;             // the file gives the pen more than one colour
  double readingWidthMm = 0;            // 0: the thinnest line there is
  bool widthsVary = false;
  bool noPen = false;  // pen 0 of the standard reading, which draws nothing unless shown
};

// "ペン設定": the pen table in force, its named profiles and the listing of the pens the
// plot on show uses. Every change reaches the view at once, and with it the preview,
// printing and every export, which draw what the view draws.
class PenCommands {
 public:
  explicit PenCommands(PictForm& form);
  ~PenCommands();

  // Start-up: the profile chosen in the last run, when it can still be read.
  void Start();
  // Opens the dialog modelessly, or brings it forward.
  void ShowPenForm();
  PenForm* OpenPenForm() const { return penForm_.data(); }

  // The pens of the plot on show and the pens the table names, in order of their numbers.
  std::vector<PenRow> Rows() const;
  // Whether the drawing on show is of Korvid's own reading (no fills, no labels).
  bool OwnReading() const;
  bool ColourShown() const;

  QStringList ProfileNames() const;
  // The chosen profile; empty for "なし".
  const QString& Chosen() const { return chosen_; }
  const PenTable& Table() const;
  // Whether the table in force differs from the chosen profile as it was saved.
  bool Modified() const;

  // "なし" (empty) or a saved profile; a profile that cannot be read is refused with a
  // warning and the choice stays as it was.
  void Choose(const QString& name);
  // Showing pen 0 of the standard reading without saying how shows it as pen 1.
  void SetPen(int pen, const PenSetting& setting);
  // The status bar's offer for a standard read that drew only with pen 0: pen 0 drawn in
  // the colour and width of pen 1, through the table, so that the user sees why.
  void ShowPenZeroAsPenOne();
  // Saves the table under `name` (asking before it replaces another profile) and chooses
  // it; false when the name cannot be used or the user said no.
  bool SaveAs(const QString& name);
  // Removes the chosen profile (after asking); the choice becomes "なし".
  void DeleteChosen();
  // A profile file from elsewhere: kept under its own name and chosen.
  void Import(const QString& path);
  // The table in force into a file of the user's choosing.
  void Export(const QString& path);
  // The same with the file dialog first; a cancelled dialog does nothing.
  void ImportChosenFile();
  void ExportToChosenFile();

  // After a load: an open dialog lists the pens of the new plot.
  void Refresh();

 private:
  // `relist`: a whole table came in, whose pens the listing must show.
  void Apply(const PenTable& table, bool relist);
  void Remember(const QString& name, const PenTable& saved);
  bool Keep(const QString& name, const PenTable& table, bool askForChosen);
  bool Ask(const QString& question);
  QWidget* Parent() const;

  PictForm& form_;
  QString chosen_;
  PenTable saved_;  // the chosen profile as it is on disk
  QPointer<PenForm> penForm_;
};

// The caption of "なし" (no profile) in the profile list.
inline const QString kNoPenProfile = QStringLiteral("なし");

}  // namespace korvid
