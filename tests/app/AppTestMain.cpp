// Widget tests run against the real window without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/DialogService.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // Settings the window keeps between runs go to a folder of the test run, never to the
  // user's own.
  QTemporaryDir settingsFolder;
  QApplication::setOrganizationName(QStringLiteral("KorvidTest"));
  QApplication::setApplicationName(QStringLiteral("app_tests"));
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
  // The window's standard buttons are tested as the user reads them.
  korvid::InstallQtTranslations();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
