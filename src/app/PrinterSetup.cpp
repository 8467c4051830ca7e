#include "app/PrinterSetup.h"

#include <QLineEdit>
#include <cmath>

#include "app/DialogService.h"
#include "app/PageSetupDialog.h"
#include "model/RuntimeError.h"

namespace korvid {

namespace {

int Pixels(double value) {
  return static_cast<int>(std::lround(value));
}

}  // namespace

PrinterSetup::PrinterSetup(DialogService& dialogs)
    : dialogs_(dialogs), current_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  const QString system = dialogs_.DefaultPrinterName();
  if (system.isEmpty()) {
    SetFileName(QString());
  } else {
    UsePrinter(system);
  }
}

void PrinterSetup::ShowPrinterDialog(QWidget* owner, std::uint32_t flags) {
  PrintDialogCancelled = 0;
  QPrinter dialogPrinter(QPrinter::HighResolution);
  if (toFile_) {
    dialogPrinter.setOutputFileName(fileName_);
    dialogPrinter.setOutputFormat(QPrinter::PdfFormat);
  } else {
    dialogPrinter.setPrinterName(printerName_);
  }
  dialogPrinter.setPageOrientation(current_->pageLayout().orientation());
  dialogPrinter.setDuplex(current_->duplex());
  if (flags & kPrintSetup) {
    if (!ShowPageSetup(owner, dialogPrinter)) PrintDialogCancelled = 1;
    return;
  }
  if (!dialogs_.PrintDialog(owner, dialogPrinter)) {
    PrintDialogCancelled = 1;
    return;
  }
  MakeCurrent(dialogPrinter);
  ApplySettings(dialogPrinter);
}

bool PrinterSetup::ShowPageSetup(QWidget* owner, QPrinter& dialogPrinter) {
  PageSetupDialog dialog(dialogPrinter, dialogs_.PrinterNames(), toFile_ ? QString() : printerName_,
                         owner);
  if (dialogs_.Exec(dialog) != QDialog::Accepted) return false;
  if (dialog.ChosenPrinter().isEmpty()) {
    SetFileName(dialog.FileName()->text().trimmed());
  } else {
    UsePrinter(dialog.ChosenPrinter());
  }
  ApplySettings(dialogPrinter);
  return true;
}

void PrinterSetup::SetFileName(const QString& name) {
  toFile_ = true;
  fileName_ = name;
  printerName_.clear();
  // QPrinter takes an empty name for a return to the system's printer: the format comes
  // after the name.
  current_->setOutputFileName(name);
  current_->setOutputFormat(QPrinter::PdfFormat);
}

void PrinterSetup::UsePrinter(const QString& name) {
  toFile_ = false;
  fileName_.clear();
  printerName_ = name;
  // A printer that keeps a file name writes the file instead of printing.
  current_->setOutputFileName(QString());
  current_->setOutputFormat(QPrinter::NativeFormat);
  current_->setPrinterName(name);
}

void PrinterSetup::MakeCurrent(const QPrinter& chosen) {
  if (chosen.outputFormat() == QPrinter::PdfFormat) {
    SetFileName(chosen.outputFileName());
    return;
  }
  const QString wanted = chosen.printerName().toUpper();
  if (!toFile_ && printerName_ == wanted) return;
  // Every installed printer of that name becomes current in turn: the last one wins.
  for (const QString& name : dialogs_.PrinterNames()) {
    if (name.toUpper() == wanted) UsePrinter(name);
  }
}

// Each setting on its own: one the printer refuses does not keep the others away.
void PrinterSetup::ApplySettings(const QPrinter& chosen) {
  current_->setCopyCount(chosen.copyCount());
  current_->setDuplex(chosen.duplex());
  current_->setPageOrientation(chosen.pageLayout().orientation());
  current_->setPageSize(chosen.pageLayout().pageSize());
}

void PrinterSetup::CheckTakesJobs() const {
  if (!toFile_ && !dialogs_.PrinterTakesJobs(printerName_))
    throw RuntimeError(err::kPrinterError, "the print queue refuses jobs");
}

PrinterCaps PrinterSetup::Caps() const {
  const QRectF paper = current_->paperRect(QPrinter::DevicePixel);
  const QRectF page = current_->pageRect(QPrinter::DevicePixel);
  PrinterCaps caps;
  caps.physicalOffsetX = Pixels(page.left() - paper.left());
  caps.physicalOffsetY = Pixels(page.top() - paper.top());
  caps.physicalWidth = Pixels(paper.width());
  caps.physicalHeight = Pixels(paper.height());
  caps.horizontalResolution = Pixels(page.width());
  caps.verticalResolution = Pixels(page.height());
  caps.dotsPerInchX = current_->resolution();
  caps.dotsPerInchY = current_->resolution();
  return caps;
}

}  // namespace korvid
