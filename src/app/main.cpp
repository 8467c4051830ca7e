// korvid: the HPGL plot viewer.
#include <QApplication>
#include <QTimer>
#include <memory>

#include "app/AppContext.h"
#include "app/DialogService.h"
#include "app/ErrorMessages.h"
#include "app/PictForm.h"
#include "model/ExitCleanup.h"
#include "model/RuntimeError.h"

int main(int argc, char** argv) {
  // The window's folder goes with it however a signal ends it.
  korvid::ExitCleanup::InstallHandlers();
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Korvid"));
  QApplication::setApplicationName(QStringLiteral("Korvid"));
  QApplication::setApplicationVersion(korvid::kVersionText);
  QApplication::setQuitOnLastWindowClosed(false);
  korvid::InstallQtTranslations();

  korvid::QtDialogService dialogs;
  std::unique_ptr<korvid::PlotMetafile> metafile;
  try {
    metafile = std::make_unique<korvid::PlotMetafile>();
  } catch (const korvid::RuntimeError& failure) {
    dialogs.ShowWarning(nullptr,
                        QString::fromStdString(korvid::ErrorMessageText(failure.number())));
    return 1;
  }
  auto model = std::make_unique<korvid::PlotModel>();
  korvid::DisplaySettings settings;
  korvid::AppContext context{*model, settings, *metafile, dialogs};

  korvid::PictForm form(context);
  form.show();
  form.Start();
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) {
    const QString file = arguments.at(1);
    QTimer::singleShot(0, &form, [&form, file] { form.LoadPlotPath(file); });
  }
  return QApplication::exec();
}
