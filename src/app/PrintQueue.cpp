#include "app/PrintQueue.h"

#include <cups/cups.h>

#include <QPrinter>
#include <cstring>

#include "model/RuntimeError.h"

namespace korvid {

void CheckQueueTakesJobs(const QPrinter& printer) {
  if (printer.outputFormat() != QPrinter::NativeFormat) return;
  const QByteArray name = printer.printerName().toLocal8Bit();
  cups_dest_t* queue = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
  if (queue == nullptr) throw RuntimeError(err::kPrinterError, "no such print queue");
  const char* accepting =
      cupsGetOption("printer-is-accepting-jobs", queue->num_options, queue->options);
  const bool refuses = accepting != nullptr && std::strcmp(accepting, "false") == 0;
  cupsFreeDests(1, queue);
  if (refuses) throw RuntimeError(err::kPrinterError, "the print queue refuses jobs");
}

}  // namespace korvid
