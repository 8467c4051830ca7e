#pragma once

#include <QDialog>

class QComboBox;
class QPrinter;
class QRadioButton;
class QSpinBox;

namespace korvid {

// The printer set-up: which printer (or a PDF file), the paper, its orientation, copies
// and two-sided printing. It works on the printer it is given; OK leaves the choice there.
class PageSetupDialog : public QDialog {
  Q_OBJECT
 public:
  PageSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

  QComboBox* PrinterChoice() const { return printers_; }
  QComboBox* PaperChoice() const { return papers_; }
  void Confirm();

 private:
  QPrinter& printer_;
  QComboBox* printers_;
  QComboBox* papers_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QSpinBox* copies_;
  QComboBox* duplex_;
};

}  // namespace korvid
