#include "app/PageSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace korvid {

namespace {

const QString kPdfChoice = QStringLiteral("PDFファイルに出力");

constexpr QPageSize::PageSizeId kPapers[] = {QPageSize::A4,    QPageSize::A3,     QPageSize::A5,
                                             QPageSize::B4,    QPageSize::B5,     QPageSize::A2,
                                             QPageSize::A1,    QPageSize::A0,     QPageSize::Letter,
                                             QPageSize::Legal, QPageSize::Tabloid};

}  // namespace

PageSetupDialog::PageSetupDialog(QPrinter& printer, const QStringList& printers,
                                 const QString& current, QWidget* parent)
    : QDialog(parent), printer_(printer) {
  setObjectName("PageSetupDialog");
  setWindowTitle(QStringLiteral("ページ設定"));

  // Each printer's entry holds its name; the file entry holds nothing.
  printers_ = new QComboBox(this);
  for (const QString& name : printers)
    printers_->addItem(name, name);
  printers_->addItem(kPdfChoice);
  const int shown = current.isEmpty() ? -1 : printers_->findData(current);
  printers_->setCurrentIndex(shown >= 0 ? shown : FileChoice());

  fileName_ = new QLineEdit(printer.outputFileName(), this);
  browse_ = new QPushButton(QStringLiteral("参照..."), this);
  auto* file = new QHBoxLayout;
  file->addWidget(fileName_, 1);
  file->addWidget(browse_);
  connect(browse_, &QPushButton::clicked, this, &PageSetupDialog::Browse);
  connect(printers_, &QComboBox::currentIndexChanged, this, &PageSetupDialog::FollowPrinterChoice);
  FollowPrinterChoice();

  papers_ = new QComboBox(this);
  for (QPageSize::PageSizeId id : kPapers)
    papers_->addItem(QPageSize::name(id), int{id});
  const int paper = papers_->findData(int{printer.pageLayout().pageSize().id()});
  papers_->setCurrentIndex(paper >= 0 ? paper : 0);

  portrait_ = new QRadioButton(QStringLiteral("縦"), this);
  landscape_ = new QRadioButton(QStringLiteral("横"), this);
  (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape_ : portrait_)
      ->setChecked(true);
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(portrait_);
  orientation->addWidget(landscape_);
  orientation->addStretch();

  copies_ = new QSpinBox(this);
  copies_->setRange(1, 999);
  copies_->setValue(printer.copyCount());

  duplex_ = new QComboBox(this);
  duplex_->addItem(QStringLiteral("片面"), int{QPrinter::DuplexNone});
  duplex_->addItem(QStringLiteral("両面（長辺とじ）"), int{QPrinter::DuplexLongSide});
  duplex_->addItem(QStringLiteral("両面（短辺とじ）"), int{QPrinter::DuplexShortSide});
  const int duplex = duplex_->findData(int{printer.duplex()});
  duplex_->setCurrentIndex(duplex >= 0 ? duplex : 0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupDialog::Confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // Named for screen readers as their rows are captioned.
  const std::pair<QWidget*, QString> named[] = {{printers_, QStringLiteral("プリンタ")},
                                                {fileName_, QStringLiteral("出力ファイル")},
                                                {papers_, QStringLiteral("用紙サイズ")},
                                                {copies_, QStringLiteral("部数")},
                                                {duplex_, QStringLiteral("両面印刷")}};
  for (const auto& [widget, name] : named)
    widget->setAccessibleName(name);

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("プリンタ："), printers_);
  form->addRow(QStringLiteral("出力ファイル："), file);
  form->addRow(QStringLiteral("用紙サイズ："), papers_);
  form->addRow(QStringLiteral("印刷の向き："), orientation);
  form->addRow(QStringLiteral("部数："), copies_);
  form->addRow(QStringLiteral("両面印刷："), duplex_);
  form->addRow(buttons);
}

int PageSetupDialog::FileChoice() const {
  return printers_->count() - 1;
}

void PageSetupDialog::FollowPrinterChoice() {
  const bool toFile = printers_->currentIndex() == FileChoice();
  fileName_->setEnabled(toFile);
  browse_->setEnabled(toFile);
}

void PageSetupDialog::Browse() {
  const QString chosen = QFileDialog::getSaveFileName(this, kPdfChoice, fileName_->text(),
                                                      QStringLiteral("PDFファイル(*.pdf)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
  if (!chosen.isEmpty()) fileName_->setText(chosen);
}

QString PageSetupDialog::ChosenPrinter() const {
  return printers_->currentIndex() == FileChoice() ? QString()
                                                   : printers_->currentData().toString();
}

void PageSetupDialog::Confirm() {
  printer_.setPageSize(
      QPageSize(static_cast<QPageSize::PageSizeId>(papers_->currentData().toInt())));
  printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
  printer_.setCopyCount(copies_->value());
  printer_.setDuplex(static_cast<QPrinter::DuplexMode>(duplex_->currentData().toInt()));
  accept();
}

}  // namespace korvid
