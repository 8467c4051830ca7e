#pragma once

#include <QDialog>

#include "app/ReadingNotes.h"

class QLabel;
class QTreeWidget;

namespace korvid {

// "読み込み結果の詳細": what the last read said in the status bar, whole, and every
// instruction it skipped or ignored, with its count, where it first stands in the file and
// what the reading in force did with it. Modeless; shown again, it shows the newest read.
class ReadingDetails : public QDialog {
  Q_OBJECT
 public:
  explicit ReadingDetails(QWidget* parent = nullptr);

  // `file`: the file's name; `reading`: which reading read it.
  void ShowReport(const QString& file, const QString& reading, const ReadingReport& report);

  QLabel* Notice() const { return notice_; }
  QTreeWidget* Instructions() const { return instructions_; }

 private:
  QLabel* heading_;
  QLabel* notice_;
  QTreeWidget* instructions_;
};

}  // namespace korvid
