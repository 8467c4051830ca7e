#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "app/PenCommands.h"
#include "pens/PenTable.h"

class QTableWidgetItem;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace korvid {

class PenCommands;

// "ペン設定": the pens of the plot on show, what each draws and how, and for each whether it
// is shown, its colour and its width; the named profiles above them. Modeless: every
// change shows at once.
class PenForm : public QDialog {
  Q_OBJECT
 public:
  enum Column {
    kPen,
    kShown,
    kLines,
    kArcs,
    kPolygons,
    kLabels,
    kColourNow,
    kWidthNow,
    kColour,
    kWidth,
    kColumns
  };

  PenForm(PenCommands& commands, QWidget* parent = nullptr);

  // Everything anew: the profiles, the rows (a plot was loaded, a profile chosen).
  void Rebuild();
  // The rows as they stand, after the table changed.
  void Update();

  QTableWidget* List() const { return list_; }
  QComboBox* Profiles() const { return profiles_; }
  QLabel* ModifiedNote() const { return modified_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* ImportButton() const { return import_; }
  QPushButton* ExportButton() const { return export_; }
  QSpinBox* NewPen() const { return newPen_; }
  QPushButton* AddButton() const { return add_; }
  // The row of a pen, or -1.
  int RowOf(int pen) const;
  QTableWidgetItem* ShownItem(int row) const;  // checked: shown
  QToolButton* ColourButton(int row) const;
  QDoubleSpinBox* WidthBox(int row) const;
  // The colour button's second choice: the colour as the file says.
  void UseFileColour(int row);

 private:
  void FillProfiles();
  void FillRows();
  void ChooseColour(int pen);
  void ChangeSetting(int pen, const std::function<void(PenSetting&)>& change);
  void AskNameAndSave();

  PenCommands& commands_;
  QComboBox* profiles_;
  QLabel* modified_;
  QPushButton* save_;
  QPushButton* delete_;
  QPushButton* import_;
  QPushButton* export_;
  QTableWidget* list_;
  QSpinBox* newPen_;
  QPushButton* add_;
  std::vector<PenRow> rows_;
  std::vector<int> pens_;   // the pen of each row
  std::vector<int> added_;  // pens the user added to the listing
  bool filling_ = false;    // the rows are being written, not changed by the user
  bool inRow_ = false;      // a row's control is changing the table
};

}  // namespace korvid
