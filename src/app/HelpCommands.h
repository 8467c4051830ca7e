#pragma once

#include <QPointer>
#include <QString>

namespace korvid {

class ComdForm;
class HelpWindow;
class PictForm;
class VersForm;

// The Help menu: the help pages in the browser (or, without one, in a window of Korvid's
// own), the supported-command list, the about box.
class HelpCommands {
 public:
  explicit HelpCommands(PictForm& form) : form_(form) {}

  void OpenHelp();
  void ShowCommandList();
  void ShowAbout();

  ComdForm* CommandList() const;
  VersForm* About() const;
  // The help's own window, open when no web browser could show the pages.
  HelpWindow* OwnHelpWindow() const;

  // The help pages beside the program: "help/" next to it in the build tree, or the
  // installed data folder; empty when neither holds them.
  static QString HelpIndex(const QString& programFolder);
  // Where the program is; the running program's own folder unless set.
  void SetProgramFolder(const QString& folder) { programFolder_ = folder; }

 private:
  PictForm& form_;
  QPointer<ComdForm> commandList_;
  QPointer<VersForm> about_;
  QPointer<HelpWindow> helpWindow_;
  QString programFolder_;
};

}  // namespace korvid
