#pragma once

#include <QString>
#include <system_error>
#include <vector>

#include "reader/ReadOutcome.h"

namespace korvid {

class PictForm;

// The load command: choose a plotter file, read it, fit it into the window and show it.
// Any failure ends the command quietly, with the picture empty.
class PlotLoader {
 public:
  explicit PlotLoader(PictForm& form) : form_(form) {}

  // Shows the open dialog; a cancelled dialog changes nothing.
  void ChooseAndLoad();
  // Loads the file at `path` as if it had been chosen in the dialog.
  void Load(const QString& path);

  // Japanese status-bar text on what a read left out; empty when it read everything.
  static QString DescribeLeftOut(const ReadOutcome& outcome, int segments);

 private:
  void ReadAsDesigned();
  void ReadAsHpgl2(const std::string& path);
  void ShowPlot();
  // A read that shows nothing leaves no pages of an earlier file to choose.
  void ForgetEarlierPages();
  // After a read that drew nothing: a file that is empty, or no plot at all, is said to be
  // so in place of what the read made of it. True when it was.
  bool ExplainNotAPlot(const std::error_code& fileError);

  PictForm& form_;
  std::vector<QString> messages_;  // the reader's, shown once the read is over
};

}  // namespace korvid
