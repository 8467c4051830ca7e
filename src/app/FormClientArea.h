#pragma once

#include <QWidget>

namespace korvid {

// The main window's client area. The toolbar and the status bar stay attached to its top
// and bottom edges; everything else sits where the commands put it, in millimetres, and a
// resize does not move it.
class FormClientArea : public QWidget {
  Q_OBJECT
 public:
  explicit FormClientArea(QWidget* parent = nullptr);

  void AttachTop(QWidget* toolbar);
  void AttachBottom(QWidget* statusBar);

 signals:
  void Resized();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Anchor();

  QWidget* top_ = nullptr;
  QWidget* bottom_ = nullptr;
};

}  // namespace korvid
