#include "app/InfoWindows.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/DialogService.h"

namespace korvid {

ComdForm::ComdForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ComdForm");
  setWindowTitle(QStringLiteral("対応コマンド一覧表"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  list1_ = new QListWidget(this);
  list1_->setObjectName("List1");
  list1_->addItems(SupportedCommands());
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list1_);
  layout->addWidget(ok, 0, Qt::AlignRight);
  resize(260, 320);
}

QStringList ComdForm::SupportedCommands() {
  return {"DF", "IN", "PA", "PD", "PG", "PR", "PU", "SP", "CI", "AA", "AR", "LT"};
}

QString VersForm::DescriptionText(const QString& metafileFolder) {
  const QStringList lines = {
      QStringLiteral("注意事項："),
      QStringLiteral("    一時フォルダ（%1）に").arg(metafileFolder),
      QStringLiteral("    メタファイル(enhmetafile.emf)"),
      QStringLiteral("    が作成されますので、ご注意願います。"),
      QStringLiteral("    プログラム終了後は削除されます。"),
      QStringLiteral(" "),
      QStringLiteral("Copyright © 2026 The Korvid authors"),
  };
  return lines.join(QStringLiteral("\r\n"));
}

VersForm::VersForm(const QString& metafileFolder, QWidget* parent) : QDialog(parent) {
  setObjectName("VersForm");
  setWindowTitle(kApplicationTitle + QStringLiteral(" のﾊﾞｰｼﾞｮﾝ情報"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  icon->setPixmap(QIcon(QStringLiteral(":/icons/korvid.svg")).pixmap(48, 48));
  title_ = new QLabel(kApplicationTitle, this);
  title_->setObjectName("lblTitle");
  QFont big = title_->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  title_->setFont(big);
  version_ = new QLabel(QStringLiteral("Version ") + kVersionText, this);
  version_->setObjectName("lblVersion");
  // The label shows the lines; a Qt label breaks at the LF of each CR LF.
  description_ = new QLabel(
      DescriptionText(metafileFolder).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
  description_->setObjectName("lblDescription");
  description_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::close);

  auto* heading = new QVBoxLayout;
  heading->addWidget(title_);
  heading->addWidget(version_);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(heading, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(description_);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setObjectName("HelpWindow");
  setWindowTitle(QStringLiteral("ヘルプ"));
  setWindowFlag(Qt::Window);
  browser_->setObjectName("HelpBrowser");
  browser_->setAccessibleName(QStringLiteral("ヘルプ"));
  browser_->setOpenExternalLinks(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_, 1);
  layout->addWidget(buttons);
  resize(720, 560);
}

void HelpWindow::ShowPage(const QUrl& page) {
  browser_->setSource(page);
}

}  // namespace korvid
