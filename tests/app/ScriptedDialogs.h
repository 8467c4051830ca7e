#pragma once

#include <QDialog>
#include <QMenu>
#include <deque>
#include <functional>
#include <vector>

#include "app/DialogService.h"

namespace korvid::testing {

// Answers every modal question from a script and remembers what was asked, so that tests
// drive the real window without anything waiting for a person.
class ScriptedDialogs : public DialogService {
 public:
  QString OpenFileName(QWidget*, const FileDialogRequest& request) override {
    openRequests.push_back(request);
    return Next(openAnswers);
  }
  QString SaveFileName(QWidget*, const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Next(saveAnswers);
  }
  void ShowWarning(QWidget*, const QString& text) override { warnings.push_back(text); }
  void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text); }
  int Exec(QDialog& dialog) override {
    ++dialogsShown;
    if (onDialog) onDialog(dialog);
    return dialog.result();
  }
  void PopupMenu(QMenu&, const QPoint&) override { ++menusOpened; }
  bool PrintDialog(QWidget*, QPrinter& printer) override {
    ++printDialogs;
    return onPrintDialog ? onPrintDialog(printer) : false;
  }
  bool OpenUrl(const QUrl& url) override {
    openedUrls.push_back(url);
    return browserWorks;
  }
  bool PageSetupDialog(QWidget*, QPrinter& printer) override {
    ++pageSetupDialogs;
    return onPageSetup ? onPageSetup(printer) : false;
  }

  std::deque<QString> openAnswers;  // an empty answer is a cancelled dialog
  std::deque<QString> saveAnswers;
  std::function<void(QDialog&)> onDialog;
  std::function<bool(QPrinter&)> onPrintDialog;  // none: the dialog is cancelled
  std::function<bool(QPrinter&)> onPageSetup;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<QString> warnings;
  std::vector<QString> messages;
  int dialogsShown = 0;
  int menusOpened = 0;
  std::vector<QUrl> openedUrls;
  bool browserWorks = true;
  int printDialogs = 0;
  int pageSetupDialogs = 0;

 private:
  static QString Next(std::deque<QString>& answers) {
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace korvid::testing
