#pragma once

#include <QString>

namespace korvid {

class PictForm;
struct PlotBox;

// A drawing's size for the status bar: "100 × 52.5 mm（4000 × 2100 プロッタ単位）"; empty
// for nothing drawn.
QString PlotSizeText(const PlotBox& box);

// The choice between the design's reading and the standard HP-GL/2 reading, and the
// pages of a standard read: the option in the Options menu, the status bar's offer to
// read again, and the Window menu's pages.
class ReadingCommands {
 public:
  explicit ReadingCommands(PictForm& form) : form_(form) {}

  // Start-up: the option as it was left in the last run.
  void Start();
  // The option was checked or unchecked: it is remembered, and an open file is read again.
  void ChooseHpgl2(bool hpgl2);
  // The offer's one click: the option on, and the open file read again.
  void RereadAsHpgl2();
  // The Window menu chose the page (from 1) of a standard read: it shows fitted, in the
  // orientation of the page before it.
  void ShowPage(int page);

  // The status bar and the Window menu follow what is on show.
  void ShowCaption();
  void MarkPage();
  // After a read in the design's reading: an empty reason takes the offer away.
  void Offer(const QString& reason);

 private:
  PictForm& form_;
};

}  // namespace korvid
