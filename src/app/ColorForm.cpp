#include "app/ColorForm.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "render/DisplaySettings.h"

namespace korvid {

ColorForm::ColorForm(DisplaySettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName("ColorForm");
  setWindowTitle(QStringLiteral("カラー表示オプション"));
  auto* frame = new QGroupBox(QStringLiteral("線分表示オプション"), this);
  option2_ = new QRadioButton(QStringLiteral("カラー表示"), frame);
  option1_ = new QRadioButton(QStringLiteral("白黒表示"), frame);
  option2_->setObjectName("Option2");
  option1_->setObjectName("Option1");
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addWidget(option2_);
  frameLayout->addWidget(option1_);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(ok, 0, Qt::AlignRight);
  option1_->setChecked(true);
  connect(ok, &QPushButton::clicked, this, &ColorForm::ClickOk);
}

void ColorForm::ClickOk() {
  settings_.ColorMode = option1_->isChecked() ? 0 : 1;
  accept();
}

}  // namespace korvid
