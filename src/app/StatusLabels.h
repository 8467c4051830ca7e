#pragma once

#include <QLabel>
#include <QTimer>
#include <vector>

namespace korvid {

// A status-bar text that gives way when the bar is narrow: painted elided with "…", while
// the whole text stays its text (and so what a screen reader reads) and its tooltip. When
// it is clickable, a click on it is reported.
class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  void SetFullText(const QString& text);
  // What is painted at the label's width.
  QString ShownText() const;
  void SetClickable(bool clickable);

  QSize minimumSizeHint() const override;

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool clickable_ = false;
};

// Shares a status bar's width among its texts when it is too narrow for all of them whole:
// `kept` in the order they give way last (each whole while the bar allows), then `shared`
// (at most half of what is left), then `rest`, which takes whatever remains. `fixed` is
// the width of everything else in the bar, which never gives way.
void ShareStatusBarWidth(int barWidth, int fixed, const std::vector<QLabel*>& kept, QLabel* shared,
                         QLabel* rest);

// The status bar's read-out of the view: the zoom level, and for a moment why a zoom step
// was not taken. Further read-outs of the view (the pointer's place, measures) belong here.
class ViewReadout : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kLimitNoticeMilliseconds = 3000;

  explicit ViewReadout(QWidget* parent = nullptr);

  // The drawing shows at `percent` of its size on paper; 0 or less shows nothing.
  void ShowZoom(double percent);
  // Said in place of the zoom level for a moment.
  void ShowLimit(const QString& text);

  // The pointer's place on the drawing or the measuring; empty shows nothing.
  void ShowPointer(const QString& text);
  void ShowMeasure(const QString& text);

  ElidedLabel* Zoom() const { return zoom_; }
  ElidedLabel* Pointer() const { return pointer_; }
  ElidedLabel* Measurement() const { return measure_; }
  static QString ZoomText(double percent);

 private:
  void Refresh();

  ElidedLabel* zoom_;
  ElidedLabel* pointer_;
  ElidedLabel* measure_;
  QString zoomText_;
  QString limitText_;
  QTimer limitTimer_;
};

}  // namespace korvid
