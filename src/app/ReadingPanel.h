#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace korvid {

class ElidedLabel;

// The status bar's part about the readings: an offer (a short reason and one button) to
// read the file again in the standard reading, or to show what a standard read drew with
// pen 0 (no pen), and which reading is in force.
class ReadingPanel : public QWidget {
  Q_OBJECT
 public:
  explicit ReadingPanel(QWidget* parent = nullptr);

  void SetCaption(const QString& caption);
  enum class Offer { kReadAsHpgl2, kPenZeroAsPenOne };
  // An empty reason takes the offer away.
  void ShowOffer(const QString& reason, Offer offer = Offer::kReadAsHpgl2);
  // Off while the print preview shows, as the menus are.
  void SetOfferEnabled(bool enabled);

  ElidedLabel* Caption() const { return caption_; }
  ElidedLabel* OfferReason() const { return reason_; }
  QToolButton* OfferButton() const { return button_; }
  bool Offering() const;
  Offer Offered() const { return offer_; }

 signals:
  void RereadRequested();
  void PenZeroRequested();

 private:
  ElidedLabel* reason_;
  QToolButton* button_;
  ElidedLabel* caption_;
  Offer offer_ = Offer::kReadAsHpgl2;
};

}  // namespace korvid
