#include "app/HelpCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/DialogService.h"
#include "app/InfoWindows.h"
#include "app/PictForm.h"
#include "model/RuntimeError.h"
#include "model/ShownName.h"

namespace korvid {

namespace {

template <typename Window>
void BringForward(Window* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

QString HelpCommands::HelpIndex(const QString& programFolder) {
  const QDir folder(programFolder);
  for (const QString& candidate :
       {folder.filePath(QStringLiteral("help/index.html")),
        folder.filePath(QStringLiteral("../share/korvid/help/index.html"))}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return {};
}

void HelpCommands::OpenHelp() {
  const QString index =
      HelpIndex(programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_);
  if (index.isEmpty()) throw RuntimeError(err::kFileNotFound, "help pages");
  const QUrl page = QUrl::fromLocalFile(index);
  if (form_.Context().dialogs.OpenUrl(page)) return;
  // Without a browser the pages still show, in a window of their own.
  if (!helpWindow_) helpWindow_ = new HelpWindow(&form_);
  helpWindow_->ShowPage(page);
  BringForward(helpWindow_.data());
}

HelpWindow* HelpCommands::OwnHelpWindow() const {
  return helpWindow_.data();
}

void HelpCommands::ShowCommandList() {
  if (!commandList_) commandList_ = new ComdForm(&form_);
  BringForward(commandList_.data());
}

void HelpCommands::ShowAbout() {
  if (!about_) {
    about_ =
        new VersForm(QString::fromStdString(ShownName(form_.Context().metafile.Folder())), &form_);
  }
  BringForward(about_.data());
}

ComdForm* HelpCommands::CommandList() const {
  return commandList_.data();
}
VersForm* HelpCommands::About() const {
  return about_.data();
}

}  // namespace korvid
