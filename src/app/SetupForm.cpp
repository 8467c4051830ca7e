#include "app/SetupForm.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/DialogService.h"
#include "app/PictForm.h"
#include "output/MagnificationEntry.h"

namespace korvid {

SetupForm::SetupForm(PictForm& form) : QDialog(&form), form_(form) {
  setObjectName("SetupForm");
  setWindowTitle(QStringLiteral("倍率設定"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* label1 = new QLabel(QStringLiteral("倍率 ： "), this);
  label1->setObjectName("Label1");
  text1_ = new QLineEdit(QStringLiteral("1"), this);
  text1_->setObjectName("Text1");
  auto* label2 = new QLabel(QStringLiteral("元図からの倍率で大きすぎると自動調整します"), this);
  label2->setObjectName("Label2");
  label1->setBuddy(text1_);
  text1_->setAccessibleName(QStringLiteral("倍率"));
  // Qt's standard buttons, in the language of Qt's own translations.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  cancel->setObjectName("Command2");
  auto* layout = new QGridLayout(this);
  layout->addWidget(label1, 0, 0);
  layout->addWidget(text1_, 0, 1, 1, 2);
  layout->addWidget(label2, 1, 0, 1, 3);
  layout->addWidget(buttons, 2, 0, 1, 3);
  connect(ok, &QPushButton::clicked, this, [this] { form_.RunGuarded([this] { ClickOk(); }); });
  connect(cancel, &QPushButton::clicked, this, &SetupForm::ClickCancel);
}

void SetupForm::ClickOk() {
  AppContext& context = form_.Context();
  const MagnificationEntry entry =
      ApplyMagnificationEntry(text1_->text().toStdString(), context.ShownExtents());
  if (!entry.message.empty()) {
    context.dialogs.ShowMessage(this, QString::fromStdString(entry.message));
  }
  if (entry.outcome == MagnificationEntry::Outcome::NotANumber ||
      entry.outcome == MagnificationEntry::Outcome::NotPositive)
    return;
  context.Magnification = entry.magnification;
  text1_->setText(QString::fromStdString(entry.text));
  close();
}

void SetupForm::ClickCancel() {
  close();
}

}  // namespace korvid
