#pragma once

#include <QDialog>

class QRadioButton;

namespace korvid {

struct DisplaySettings;

// "表示設定": two ON/OFF settings that are kept and shown again, modeless.
class OptionForm : public QDialog {
  Q_OBJECT
 public:
  OptionForm(DisplaySettings& settings, QWidget* parent = nullptr);

  QRadioButton* Option1() const { return option1_; }  // 画面調整時: ON
  QRadioButton* Option2() const { return option2_; }  // 画面調整時: OFF
  QRadioButton* Option3() const { return option3_; }  // PLOT範囲: ON
  QRadioButton* Option4() const { return option4_; }  // PLOT範囲: OFF
  void ClickOk();

 private:
  DisplaySettings& settings_;
  QRadioButton* option1_;
  QRadioButton* option2_;
  QRadioButton* option3_;
  QRadioButton* option4_;
};

}  // namespace korvid
