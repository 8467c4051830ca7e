#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QTextBrowser;
class QUrl;

namespace korvid {

// "対応コマンド一覧表": the HPGL commands Korvid understands, in the reader's order.
class ComdForm : public QDialog {
  Q_OBJECT
 public:
  explicit ComdForm(QWidget* parent = nullptr);
  QListWidget* List1() const { return list1_; }

  static QStringList SupportedCommands();

 private:
  QListWidget* list1_;
};

// The about box: title, version and the note on where the plot metafile is kept.
class VersForm : public QDialog {
  Q_OBJECT
 public:
  VersForm(const QString& metafileFolder, QWidget* parent = nullptr);
  QLabel* Title() const { return title_; }
  QLabel* Version() const { return version_; }
  QLabel* Description() const { return description_; }

  // The description's lines, joined with CR LF.
  static QString DescriptionText(const QString& metafileFolder);

 private:
  QLabel* title_;
  QLabel* version_;
  QLabel* description_;
};

// "ヘルプ": the help pages in a window of Korvid's own, for a desktop where no web browser
// can be started.
class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  void ShowPage(const QUrl& page);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace korvid
