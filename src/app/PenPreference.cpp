#include "app/PenPreference.h"

#include <QFileInfo>
#include <QSettings>

namespace korvid {

namespace {
const char* const kKey = "Pens/Profile";
}  // namespace

QString LoadPenProfilePreference() {
  return QSettings().value(QLatin1String(kKey), QString()).toString();
}

void SavePenProfilePreference(const QString& name) {
  QSettings settings;
  settings.setValue(QLatin1String(kKey), name);
  settings.sync();
}

QString PenProfileFolderPath() {
  return QFileInfo(QSettings().fileName()).absolutePath() + QStringLiteral("/pens");
}

}  // namespace korvid
