#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "app/ColorForm.h"
#include "app/DialogService.h"
#include "app/PictForm.h"
#include "app/StatusLabels.h"

namespace korvid::testing {

// Answers every modal question from a script and remembers what was asked, so that tests
// drive the real window without anything waiting for a person.
class ScriptedDialogs : public DialogService {
 public:
  QString OpenFileName(QWidget*, const FileDialogRequest& request) override {
    return Answer(openRequests, openAnswers, request);
  }
  QString SaveFileName(QWidget*, const FileDialogRequest& request) override {
    if (onSave) onSave(request);
    return Answer(saveRequests, saveAnswers, request);
  }
  void ShowWarning(QWidget*, const QString& text) override { warnings.push_back(text); }
  void ShowMessage(QWidget*, const QString& text) override {
    if (onMessage) onMessage(text);
    messages.push_back(text);
  }
  int Exec(QDialog& dialog) override {
    ++dialogsShown;
    if (onDialog) onDialog(dialog);
    return dialog.result();
  }
  void PopupMenu(QMenu&, const QPoint&) override { ++menusOpened; }
  bool PrintDialog(QWidget*, QPrinter& p) override { return ++printDialogs, onPrint && onPrint(p); }
  QStringList PrinterNames() override { return printers; }
  QString DefaultPrinterName() override { return defaultPrinter; }
  bool PrinterTakesJobs(const QString& name) override {
    return printers.contains(name) && takesJobs;
  }
  bool OpenUrl(const QUrl& url) override { return openedUrls.push_back(url), browserWorks; }

  std::deque<QString> openAnswers, saveAnswers;  // an empty answer is a cancelled dialog
  std::function<void(QDialog&)> onDialog;
  std::function<void(const FileDialogRequest&)> onSave;  // choices made in a save dialog
  std::function<void(const QString&)> onMessage;
  std::function<bool(QPrinter&)> onPrint, onPageSetup;  // none: cancelled
  // The machine's printers as the window sees them: none, and no print server, unless a
  // test says otherwise.
  QStringList printers;
  QString defaultPrinter;
  bool takesJobs = true;
  std::vector<FileDialogRequest> openRequests, saveRequests;
  std::vector<QString> warnings, messages;
  std::vector<QUrl> openedUrls;
  bool browserWorks = true;
  int dialogsShown = 0, menusOpened = 0, printDialogs = 0;

 private:
  static QString Answer(std::vector<FileDialogRequest>& requests, std::deque<QString>& answers,
                        const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A 4000 x 2000 unit rectangle with a diagonal: about 102 x 52 mm with the margin.
inline const char* const kRectangle = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0,4000,2000;";

// The real main window, shown offscreen and started, with its own model, metafile folder and
// scripted dialogs; every test gets a fresh one (members go in reverse order, the window first).
class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture() {
    QSettings().clear();
    metafile = std::make_unique<PlotMetafile>(folder.string());
    context = std::make_unique<AppContext>(*model, settings, *metafile, dialogs);
    form = std::make_unique<PictForm>(*context);
    form->resize(900, 650);
    form->show();
    Start();  // OK without touching: black and white
  }
  // Starts the window; the colour question is answered by `answer` (OK by default).
  void Start(std::function<void(QDialog&)> answer = {}) {
    dialogs.onDialog =
        answer ? answer : [](QDialog& dialog) { static_cast<ColorForm&>(dialog).ClickOk(); };
    form->Start();
    dialogs.onDialog = {};
  }

  std::string Fixture(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((folder / name).parent_path());
    std::ofstream(folder / name, std::ios::binary) << text;
    return (folder / name).string();
  }

  // The load command with `path` chosen in the dialog ("" cancels it).
  void Load(const std::string& path) {
    dialogs.openAnswers.push_back(QString::fromStdString(path));
    Trigger("PlotMenu21");
  }
  QString Path(const std::string& name) { return QString::fromStdString((folder / name).string()); }
  void LoadRectangle() { Load(Fixture("rect.hpg", kRectangle)); }
  void Trigger(const char* name) { form->Action(name)->trigger(); }
  // What the warnings said, each up to its first line break.
  QStringList WarningHeads() {
    QStringList heads;
    for (const QString& warning : dialogs.warnings)
      heads << warning.section(QStringLiteral("\r\n"), 0, 0);
    return heads;
  }
  static QStringList Captions(const QWidget* menu) {
    QStringList captions;
    for (QAction* action : menu->actions())
      captions << action->text();
    return captions;
  }
  QStringList WindowItems() { return Captions(form->WindowMenu()); }

  QTemporaryDir temporary;  // goes last, with everything in it
  std::filesystem::path folder = temporary.path().toStdString();
  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  DisplaySettings settings;
  std::unique_ptr<PlotMetafile> metafile;
  ScriptedDialogs dialogs;
  std::unique_ptr<AppContext> context;
  std::unique_ptr<PictForm> form;
};

}  // namespace korvid::testing
