#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace korvid {

class ElidedLabel;

// The status bar's part about the readings: an offer to read the file again in the
// standard reading (a short reason and one button), and which reading is in force.
class ReadingPanel : public QWidget {
  Q_OBJECT
 public:
  explicit ReadingPanel(QWidget* parent = nullptr);

  void SetCaption(const QString& caption);
  // An empty reason takes the offer away.
  void ShowOffer(const QString& reason);
  // Off while the print preview shows, as the menus are.
  void SetOfferEnabled(bool enabled);

  ElidedLabel* Caption() const { return caption_; }
  ElidedLabel* OfferReason() const { return reason_; }
  QToolButton* OfferButton() const { return button_; }
  bool Offering() const;

 signals:
  void RereadRequested();

 private:
  ElidedLabel* reason_;
  QToolButton* button_;
  ElidedLabel* caption_;
};

}  // namespace korvid
