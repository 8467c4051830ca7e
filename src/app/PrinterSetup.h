#pragma once

#include <QPrinter>
#include <QString>
#include <cstdint>
#include <memory>

#include "output/PageMetrics.h"

class QWidget;

namespace korvid {

class DialogService;

// The current printer: the system's default printer when there is one, otherwise PDF
// output to a file. The printer dialogs work on a fresh printer preloaded with the
// current one's name (or file), orientation and two-sided setting only; what the user
// confirms then becomes the current printer and its settings. Output to a file is kept
// apart from the printers by what it is, never by a name: an installed queue may be
// called "PDF", and a file may not be named yet. Which printers exist is asked of the
// dialog seam alone, and the choice is kept here rather than read back from Qt's printer,
// which turns a name its print system does not know into PDF output without a word.
class PrinterSetup {
 public:
  static constexpr std::uint32_t kPrintSetup = 0x40;

  explicit PrinterSetup(DialogService& dialogs);

  QPrinter& Current() { return *current_; }
  bool PrintsToFile() const { return toFile_; }
  const QString& FileName() const { return fileName_; }
  // The printer chosen, when not printing to a file.
  const QString& PrinterName() const { return printerName_; }
  // Output to the file `name` (empty: a file not named yet).
  void SetFileName(const QString& name);

  // flags 0: the print dialog; kPrintSetup: the page set-up dialog.
  void ShowPrinterDialog(QWidget* owner, std::uint32_t flags);
  std::int16_t PrintDialogCancelled = 0;

  // Error 482 when the current printer's queue does not take jobs (a file always does).
  void CheckTakesJobs() const;

  // The sheet of the current printer in its device pixels.
  PrinterCaps Caps() const;

 private:
  bool ShowPageSetup(QWidget* owner, QPrinter& dialogPrinter);
  void UsePrinter(const QString& name);
  void MakeCurrent(const QPrinter& chosen);
  void ApplySettings(const QPrinter& chosen);

  DialogService& dialogs_;
  std::unique_ptr<QPrinter> current_;
  bool toFile_ = false;
  QString fileName_;
  QString printerName_;
};

}  // namespace korvid
