#pragma once

#include <QDialog>

class QRadioButton;

namespace korvid {

struct DisplaySettings;

// "カラー表示オプション": coloured pens or black lines, asked once at start-up.
// Black and white is preselected whatever the current setting; OK takes the choice, the
// close box leaves the setting as it was.
class ColorForm : public QDialog {
  Q_OBJECT
 public:
  ColorForm(DisplaySettings& settings, QWidget* parent = nullptr);

  QRadioButton* Option1() const { return option1_; }  // 白黒表示
  QRadioButton* Option2() const { return option2_; }  // カラー表示
  void ClickOk();

 private:
  DisplaySettings& settings_;
  QRadioButton* option1_;
  QRadioButton* option2_;
};

}  // namespace korvid
