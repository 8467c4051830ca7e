#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/ReadingNotes.h"
#include "render/PlotSource.h"

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

 private:
  // What a read of the file gives the window, in the reading the option asks for.
  struct FileRead {
    std::unique_ptr<PlotSource> source;
    QString notice;                             // what the read left out
    std::vector<InstructionNote> instructions;  // what it skipped or ignored
    QString offer;           // why the standard reading would draw more; empty: no offer
    bool read = false;       // false: nothing was read (a file error, no terminator)
    bool fileError = false;  // the file could not be opened or read
  };

  // The one place the window chooses between the readings.
  FileRead Read(const std::string& path);
  void Show(FileRead read);
  void ShowPlot();
  // A read that shows nothing leaves no pages of an earlier file to choose.
  void ForgetEarlierPages();
  // After a read that drew nothing: a file that is empty, or no plot at all, is said to be
  // so in place of what the read made of it. True when it was.
  bool ExplainNotAPlot();

  PictForm& form_;
  std::vector<QString> messages_;  // the reader's, shown once the read is over
};

}  // namespace korvid
