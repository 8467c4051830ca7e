#include "app/PrintQueue.h"

#include <cups/cups.h>

#include <QString>
#include <cstring>

namespace korvid {

bool QueueTakesJobs(const QString& name) {
  const QByteArray queueName = name.toLocal8Bit();
  cups_dest_t* queue = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName.constData(), nullptr);
  if (queue == nullptr) return false;
  const char* accepting =
      cupsGetOption("printer-is-accepting-jobs", queue->num_options, queue->options);
  const bool refuses = accepting != nullptr && std::strcmp(accepting, "false") == 0;
  cupsFreeDests(1, queue);
  return !refuses;
}

}  // namespace korvid
