#pragma once

#include <QDialog>

class QLineEdit;

namespace korvid {

class PictForm;

// "倍率設定": the magnification for printing and preview, modeless. OK checks the entry
// and reduces a factor that would make the drawing too large, saying so.
class SetupForm : public QDialog {
  Q_OBJECT
 public:
  explicit SetupForm(PictForm& form);

  QLineEdit* Text1() const { return text1_; }
  void ClickOk();
  void ClickCancel();

 private:
  PictForm& form_;
  QLineEdit* text1_;
};

}  // namespace korvid
