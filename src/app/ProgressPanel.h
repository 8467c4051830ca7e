#pragma once

#include <QWidget>

#include "app/MillimetreScale.h"

namespace korvid {

// The temporary second panel of the status bar: "進行状況" and a blue bar whose length in
// millimetres is the progress. It repaints at once, because the commands that use it do
// not return to the event loop until they are done.
class ProgressPanel : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kPanelWidthMm = 50;

  ProgressPanel(const MillimetreScale& scale, QWidget* parent = nullptr);

  void SetProgress(int widthMm);
  int Progress() const { return widthMm_; }
  // Where the bar starts, right of the caption, in pixels of the panel.
  int BarLeft() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  QSize sizeHint() const override;

 private:
  MillimetreScale scale_;
  int widthMm_ = 0;
};

}  // namespace korvid
