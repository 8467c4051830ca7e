#include "app/ReadingDetails.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvid {

ReadingDetails::ReadingDetails(QWidget* parent)
    : QDialog(parent),
      heading_(new QLabel(this)),
      notice_(new QLabel(this)),
      instructions_(new QTreeWidget(this)) {
  setObjectName("ReadingDetails");
  setWindowTitle(QStringLiteral("読み込み結果の詳細"));
  setWindowFlag(Qt::Window);
  heading_->setObjectName("ReadingDetailsHeading");
  heading_->setTextFormat(Qt::PlainText);
  notice_->setObjectName("ReadingDetailsNotice");
  notice_->setTextFormat(Qt::PlainText);
  notice_->setWordWrap(true);
  notice_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  instructions_->setObjectName("ReadingDetailsInstructions");
  instructions_->setAccessibleName(QStringLiteral("読み飛ばした命令"));
  instructions_->setRootIsDecorated(false);
  instructions_->setHeaderLabels({QStringLiteral("命令"), QStringLiteral("回数"),
                                  QStringLiteral("最初の位置（バイト）"), QStringLiteral("処理")});
  instructions_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  instructions_->header()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(notice_);
  layout->addWidget(instructions_, 1);
  layout->addWidget(buttons);
  resize(640, 360);
}

void ReadingDetails::ShowReport(const QString& file, const QString& reading,
                                const ReadingReport& report) {
  heading_->setText(file.isEmpty() ? reading : file + QStringLiteral("　") + reading);
  notice_->setText(report.notice.isEmpty() ? QStringLiteral("読み込めなかった図形はありません")
                                           : report.notice);
  instructions_->clear();
  for (const InstructionNote& note : report.instructions) {
    auto* item = new QTreeWidgetItem(instructions_);
    item->setText(0, note.mnemonic);
    item->setText(1, QString::number(note.count));
    item->setText(2, note.firstByte < 0 ? QStringLiteral("不明") : QString::number(note.firstByte));
    item->setText(3, note.treatment);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  instructions_->setVisible(!report.instructions.empty());
}

}  // namespace korvid
