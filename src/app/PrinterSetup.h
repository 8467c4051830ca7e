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
// current one's name, orientation and two-sided setting only; what the user confirms
// then becomes the current printer and its settings.
class PrinterSetup {
 public:
  static constexpr std::uint32_t kPrintSetup = 0x40;

  explicit PrinterSetup(DialogService& dialogs);

  QPrinter& Current() { return *current_; }

  // flags 0: the print dialog; kPrintSetup: the page set-up dialog.
  void ShowPrinterDialog(QWidget* owner, std::uint32_t flags);
  std::int16_t PrintDialogCancelled = 0;

  // The sheet of the current printer in its device pixels.
  PrinterCaps Caps() const;

 private:
  void MakeCurrent(const QPrinter& chosen);
  void ApplySettings(const QPrinter& chosen);

  DialogService& dialogs_;
  std::unique_ptr<QPrinter> current_;
};

}  // namespace korvid
