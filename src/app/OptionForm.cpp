#include "app/OptionForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "render/DisplaySettings.h"

namespace korvid {

namespace {

QGroupBox* Frame(const QString& caption, QRadioButton* first, QRadioButton* second,
                 QWidget* parent) {
  auto* frame = new QGroupBox(caption, parent);
  auto* layout = new QHBoxLayout(frame);
  layout->addWidget(first);
  layout->addWidget(second);
  layout->addStretch();
  return frame;
}

QRadioButton* Option(const char* name, const QString& caption, QWidget* parent) {
  auto* option = new QRadioButton(caption, parent);
  option->setObjectName(name);
  return option;
}

}  // namespace

OptionForm::OptionForm(DisplaySettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName("OptionForm");
  setWindowTitle(QStringLiteral("表示設定"));
  setAttribute(Qt::WA_DeleteOnClose);
  option3_ = Option("Option3", QStringLiteral("ON"), this);
  option4_ = Option("Option4", QStringLiteral("OFF"), this);
  option1_ = Option("Option1", QStringLiteral("ON"), this);
  option2_ = Option("Option2", QStringLiteral("OFF"), this);
  QGroupBox* range = Frame(QStringLiteral("PLOT範囲の表示枠"), option3_, option4_, this);
  QGroupBox* adjusting = Frame(QStringLiteral("画面調整時の表示方法"), option1_, option2_, this);
  adjusting->setObjectName("OptionFrame");
  auto* advice = new QLabel(
      QStringLiteral(
          "マウスによる画面の拡大及び縮小時に動きが遅くなる場合には、「OFF」にして下さい。"),
      adjusting);
  advice->setObjectName("Label1");
  advice->setWordWrap(true);
  static_cast<QHBoxLayout*>(adjusting->layout())->addWidget(advice, 1);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(range);
  layout->addWidget(adjusting);
  layout->addWidget(ok, 0, Qt::AlignRight);

  (settings.AdjustDisplayOff != 0 ? option2_ : option1_)->setChecked(true);
  (settings.RangeFrameOff != 0 ? option4_ : option3_)->setChecked(true);
  connect(ok, &QPushButton::clicked, this, &OptionForm::ClickOk);
}

void OptionForm::ClickOk() {
  settings_.AdjustDisplayOff = option1_->isChecked() ? 0 : 1;
  settings_.RangeFrameOff = option3_->isChecked() ? 0 : 1;
  close();
}

}  // namespace korvid
