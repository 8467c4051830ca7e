#include "app/ReadingPreference.h"

#include <QSettings>

namespace korvid {

namespace {
const char* const kKey = "Reading/Hpgl2";
}  // namespace

bool LoadHpgl2ReadingPreference() {
  return QSettings().value(QLatin1String(kKey), false).toBool();
}

void SaveHpgl2ReadingPreference(bool hpgl2) {
  QSettings settings;
  settings.setValue(QLatin1String(kKey), hpgl2);
  settings.sync();
}

}  // namespace korvid
