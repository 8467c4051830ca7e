#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

class QDialog;
class QMenu;
class QPrinter;
class QWidget;

namespace korvid {

struct PageRequest;

// One entry of a file dialog's type list: the caption shown, and the patterns it stands
// for (matched in any letter case).
struct FileFilter {
  QString caption;
  QStringList patterns;
};

struct FileDialogRequest {
  QString title;
  QString directory;  // where the dialog starts
  QString fileName;   // the name proposed (save dialogs)
  std::vector<FileFilter> filters;
  int filterIndex = 1;  // 1-based
  // Save dialogs of drawings: a row of choices for the page, shown as *page stands and
  // left there as chosen when the dialog is confirmed.
  PageRequest* page = nullptr;
};

// Every modal interaction of the program goes through here: the real implementation shows
// Qt's dialogs; tests script the answers, so they can drive the real window without
// anything blocking.
class DialogService {
 public:
  virtual ~DialogService() = default;

  // The chosen file's full path, or an empty string when the dialog was cancelled.
  virtual QString OpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QString SaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  // A warning box with the warning icon and an OK button.
  virtual void ShowWarning(QWidget* parent, const QString& text) = 0;
  // A plain box with only an OK button and no icon.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // Shows a dialog modally; returns its result code.
  virtual int Exec(QDialog& dialog) = 0;
  // Opens a context menu at a global position and returns when it is closed.
  virtual void PopupMenu(QMenu& menu, const QPoint& globalPosition) = 0;
  // The print dialog on a printer prepared for it; true when the user confirmed, the
  // printer then holding the choice.
  virtual bool PrintDialog(QWidget* parent, QPrinter& printer) = 0;
  // The system's printers (CUPS queues) by name, the default one ("" when there is none or
  // no print server at all), and whether a queue takes jobs now: asked here, so that what
  // the window offers never depends on anything but this seam.
  virtual QStringList PrinterNames() = 0;
  virtual QString DefaultPrinterName() = 0;
  virtual bool PrinterTakesJobs(const QString& name) = 0;
  // Opens a page in the user's web browser; false when no browser could show it.
  virtual bool OpenUrl(const QUrl& url) = 0;
};

// Qt's own dialogs.
class QtDialogService : public DialogService {
 public:
  QString OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
  QString SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
  void ShowWarning(QWidget* parent, const QString& text) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
  int Exec(QDialog& dialog) override;
  void PopupMenu(QMenu& menu, const QPoint& globalPosition) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;
  QStringList PrinterNames() override;
  QString DefaultPrinterName() override;
  bool PrinterTakesJobs(const QString& name) override;
  bool OpenUrl(const QUrl& url) override;
};

// Qt's own dialogs and standard buttons (files, printing, OK and キャンセル) speak
// Japanese like the rest: Qt's translations are loaded into the application. False when
// they are not installed.
bool InstallQtTranslations();

// The application title: window captions, message boxes, the status bar.
inline const QString kApplicationTitle = QStringLiteral("Korvid");

}  // namespace korvid
