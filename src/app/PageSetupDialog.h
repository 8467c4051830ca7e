#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace korvid {

// The printer set-up: which printer (or a PDF file, and which), the paper, its
// orientation, copies and two-sided printing. It offers the printers it is given and
// starts on `current` (empty: the PDF file named by the printer); OK leaves the paper,
// orientation, copies and two-sided setting on the printer it works on, and the choice of
// printer or file in ChosenPrinter() and FileName(). Output to a file is a choice of its
// own, told apart from the printers by what it is, never by its caption: a queue may well
// be called "PDF".
class PageSetupDialog : public QDialog {
  Q_OBJECT
 public:
  PageSetupDialog(QPrinter& printer, const QStringList& printers, const QString& current,
                  QWidget* parent = nullptr);

  QComboBox* PrinterChoice() const { return printers_; }
  QComboBox* PaperChoice() const { return papers_; }
  QLineEdit* FileName() const { return fileName_; }
  // The entry of the printer choice that writes a PDF file.
  int FileChoice() const;
  // The printer chosen; empty for the PDF file.
  QString ChosenPrinter() const;
  void Confirm();

 private:
  QPrinter& printer_;
  void Browse();
  void FollowPrinterChoice();

  QComboBox* printers_;
  QLineEdit* fileName_;
  QPushButton* browse_;
  QComboBox* papers_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QSpinBox* copies_;
  QComboBox* duplex_;
};

}  // namespace korvid
