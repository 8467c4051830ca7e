#include "app/PrinterSetup.h"

#include <QPrinterInfo>
#include <cmath>

#include "app/DialogService.h"

namespace korvid {

namespace {

int Pixels(double value) {
  return static_cast<int>(std::lround(value));
}

}  // namespace

PrinterSetup::PrinterSetup(DialogService& dialogs)
    : dialogs_(dialogs), current_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  const QPrinterInfo system = QPrinterInfo::defaultPrinter();
  if (system.isNull()) {
    toFile_ = true;
    current_->setOutputFormat(QPrinter::PdfFormat);
  } else {
    current_->setPrinterName(system.printerName());
  }
}

void PrinterSetup::ShowPrinterDialog(QWidget* owner, std::uint32_t flags) {
  PrintDialogCancelled = 0;
  QPrinter dialogPrinter(QPrinter::HighResolution);
  if (toFile_) {
    dialogPrinter.setOutputFileName(fileName_);
    dialogPrinter.setOutputFormat(QPrinter::PdfFormat);
  } else {
    dialogPrinter.setPrinterName(current_->printerName());
  }
  dialogPrinter.setPageOrientation(current_->pageLayout().orientation());
  dialogPrinter.setDuplex(current_->duplex());
  const bool confirmed = flags & kPrintSetup ? dialogs_.PageSetupDialog(owner, dialogPrinter)
                                             : dialogs_.PrintDialog(owner, dialogPrinter);
  if (!confirmed) {
    PrintDialogCancelled = 1;
    return;
  }
  MakeCurrent(dialogPrinter);
  ApplySettings(dialogPrinter);
}

void PrinterSetup::SetFileName(const QString& name) {
  toFile_ = true;
  fileName_ = name;
  // QPrinter takes an empty name for a return to the system's printer: the format comes
  // after the name.
  current_->setOutputFileName(name);
  current_->setOutputFormat(QPrinter::PdfFormat);
}

void PrinterSetup::MakeCurrent(const QPrinter& chosen) {
  if (chosen.outputFormat() == QPrinter::PdfFormat) {
    SetFileName(chosen.outputFileName());
    return;
  }
  const QString wanted = chosen.printerName().toUpper();
  if (!toFile_ && current_->printerName() == wanted) return;
  // Every installed printer of that name becomes current in turn: the last one wins.
  for (const QString& name : QPrinterInfo::availablePrinterNames()) {
    if (name.toUpper() == wanted) {
      toFile_ = false;
      fileName_.clear();
      // A printer that keeps a file name writes the file instead of printing.
      current_->setOutputFileName(QString());
      current_->setOutputFormat(QPrinter::NativeFormat);
      current_->setPrinterName(name);
    }
  }
}

// Each setting on its own: one the printer refuses does not keep the others away.
void PrinterSetup::ApplySettings(const QPrinter& chosen) {
  current_->setCopyCount(chosen.copyCount());
  current_->setDuplex(chosen.duplex());
  current_->setPageOrientation(chosen.pageLayout().orientation());
  current_->setPageSize(chosen.pageLayout().pageSize());
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
