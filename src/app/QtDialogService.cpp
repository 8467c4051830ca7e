#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <QTranslator>

#include "app/DialogService.h"
#include "app/PageChoiceRow.h"
#include "app/PageSetupDialog.h"
#include "app/PrintQueue.h"

namespace korvid {

namespace {

// "*.hpg" as a pattern that matches ".HPG", ".Hpg" and so on: plotter files often come
// from systems where names are upper case, and users expect them to show.
QString AnyCasePattern(const QString& pattern) {
  QString any;
  for (const QChar c : pattern) {
    if (c.isLetter()) {
      any += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    } else {
      any += c;
    }
  }
  return any;
}

QStringList AnyCasePatterns(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern : filter.patterns)
    patterns << AnyCasePattern(pattern);
  return patterns;
}

// The captions are shown exactly as written; the patterns behind them are applied to the
// dialog's file list directly, because Qt would read "(*.hpg;*.hgl)" as one pattern.
void PrepareDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowTitle(request.title);
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  QStringList captions;
  for (const FileFilter& filter : request.filters)
    captions << filter.caption;
  dialog.setNameFilters(captions);
  auto* model = dialog.findChild<QFileSystemModel*>();
  auto applyFilter = [&dialog, &request, model](const QString& caption) {
    for (const FileFilter& filter : request.filters) {
      if (filter.caption == caption && model) model->setNameFilters(AnyCasePatterns(filter));
    }
    Q_UNUSED(dialog);
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applyFilter);
  const int index = request.filterIndex - 1;
  if (index >= 0 && index < static_cast<int>(request.filters.size())) {
    dialog.selectNameFilter(captions[index]);
    applyFilter(captions[index]);
  }
  if (model) model->setNameFilterDisables(false);
}

}  // namespace

QString QtDialogService::OpenFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  PrepareDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QString QtDialogService::SaveFileName(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareDialog(dialog, request);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  PageChoiceRow* page = nullptr;
  // Qt's own dialog lays itself out on a grid: the row goes beneath its last.
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()); grid && request.page) {
    page = new PageChoiceRow(*request.page, &dialog);
    grid->addWidget(page, grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (page) *request.page = page->Request();
  return dialog.selectedFiles().first();
}

// Messages break their lines with CR LF; a Qt box breaks at the LF alone.
static QString ForDisplay(const QString& text) {
  return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void QtDialogService::ShowWarning(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, kApplicationTitle, ForDisplay(text), QMessageBox::Ok,
                  parent);
  box.exec();
}

void QtDialogService::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, ForDisplay(text), QMessageBox::Ok,
                  parent);
  box.exec();
}

int QtDialogService::Exec(QDialog& dialog) {
  return dialog.exec();
}

void QtDialogService::PopupMenu(QMenu& menu, const QPoint& globalPosition) {
  menu.exec(globalPosition);
}

}  // namespace korvid

namespace korvid {

bool QtDialogService::PrintDialog(QWidget* parent, QPrinter& printer) {
  // Qt's dialog makes a printer it is given its first queue as soon as it is built, and
  // offers its file entry only once it shows: output to a file is chosen again then.
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  const QString fileName = printer.outputFileName();
  QPrintDialog dialog(&printer, parent);
  if (toFile) {
    QTimer::singleShot(0, &dialog, [&dialog, fileName] {
      auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
      auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
      if (printers != nullptr) printers->setCurrentIndex(printers->count() - 1);
      if (file != nullptr && !fileName.isEmpty()) file->setText(fileName);
    });
  }
  return dialog.exec() == QDialog::Accepted;
}

QStringList QtDialogService::PrinterNames() {
  return QPrinterInfo::availablePrinterNames();
}

QString QtDialogService::DefaultPrinterName() {
  return QPrinterInfo::defaultPrinterName();
}

bool QtDialogService::PrinterTakesJobs(const QString& name) {
  return QueueTakesJobs(name);
}

bool QtDialogService::OpenUrl(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

bool InstallQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace korvid
