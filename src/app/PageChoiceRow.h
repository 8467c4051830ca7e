#pragma once

#include <QWidget>

#include "output/PaperLayout.h"

class QComboBox;

namespace korvid {

// The page of a drawing saved as SVG or PDF, in one row beneath the save dialog's own:
// the scale (or fitted to the paper), the paper (or the drawing's own size) and the
// sheet's orientation. Fitting and the orientation need a paper; choosing to fit without
// one takes A4.
class PageChoiceRow : public QWidget {
  Q_OBJECT
 public:
  explicit PageChoiceRow(const PageRequest& request, QWidget* parent = nullptr);

  PageRequest Request() const;

  QComboBox* ScaleChoice() const { return scales_; }
  QComboBox* PaperChoice() const { return papers_; }
  QComboBox* TurnChoice() const { return turns_; }

 private:
  void FollowScale();
  void FollowPaper();

  QComboBox* scales_;
  QComboBox* papers_;
  QComboBox* turns_;
};

}  // namespace korvid
