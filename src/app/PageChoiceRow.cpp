#include "app/PageChoiceRow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

namespace korvid {

namespace {

// The scales a drawing is usually plotted at, the true size first.
constexpr const char* kScales[] = {"1:1",  "1:2",   "1:2.5", "1:5", "1:10", "1:20",
                                   "1:50", "1:100", "2:1",   "5:1", "10:1"};
constexpr const char* kPapers[] = {"A4", "A3", "A2", "A1", "A0", "letter", "legal"};
const QString kFitted = QStringLiteral("用紙に合わせる");

QString PaperCaption(const QString& name) {
  if (name == QLatin1String("letter")) return QStringLiteral("レター");
  if (name == QLatin1String("legal")) return QStringLiteral("リーガル");
  return name;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

PageChoiceRow::PageChoiceRow(const PageRequest& request, QWidget* parent) : QWidget(parent) {
  setObjectName("PageChoiceRow");
  scales_ = new QComboBox(this);
  scales_->setObjectName("ScaleChoice");
  for (const char* scale : kScales)
    scales_->addItem(scale == kScales[0] ? QStringLiteral("原寸 (1:1)") : QString(scale),
                     QString(scale));
  scales_->addItem(kFitted);
  papers_ = new QComboBox(this);
  papers_->setObjectName("PaperChoice");
  papers_->addItem(QStringLiteral("図面の大きさ"));
  for (const char* paper : kPapers)
    papers_->addItem(PaperCaption(paper), QString(paper));
  turns_ = new QComboBox(this);
  turns_->setObjectName("TurnChoice");
  turns_->addItem(QStringLiteral("自動"), int{static_cast<int>(PaperTurn::Best)});
  turns_->addItem(QStringLiteral("横"), int{static_cast<int>(PaperTurn::Landscape)});
  turns_->addItem(QStringLiteral("縦"), int{static_cast<int>(PaperTurn::Portrait)});

  if (request.paper) {
    const int paper = papers_->findData(QString::fromStdString(request.paper->name));
    papers_->setCurrentIndex(std::max(paper, 0));
  }
  turns_->setCurrentIndex(std::max(turns_->findData(static_cast<int>(request.turn)), 0));
  int scale = 0;
  for (int i = 0; i < scales_->count() - 1; ++i) {
    const std::optional<double> value = ScaleNamed(scales_->itemData(i).toString().toStdString());
    if (request.scale && value && std::abs(*value - *request.scale) < 1e-9 * *value) scale = i;
  }
  scales_->setCurrentIndex(request.fit && request.paper ? scales_->count() - 1 : scale);
  connect(scales_, &QComboBox::currentIndexChanged, this, &PageChoiceRow::FollowScale);
  connect(papers_, &QComboBox::currentIndexChanged, this, &PageChoiceRow::FollowPaper);
  FollowPaper();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Caption(QStringLiteral("縮尺："), scales_, this));
  layout->addWidget(scales_);
  layout->addSpacing(12);
  layout->addWidget(Caption(QStringLiteral("用紙："), papers_, this));
  layout->addWidget(papers_);
  layout->addSpacing(12);
  layout->addWidget(Caption(QStringLiteral("向き："), turns_, this));
  layout->addWidget(turns_);
  layout->addStretch(1);
}

PageRequest PageChoiceRow::Request() const {
  PageRequest request;
  if (papers_->currentIndex() > 0)
    request.paper = PaperNamed(papers_->currentData().toString().toStdString());
  if (request.paper) request.turn = static_cast<PaperTurn>(turns_->currentData().toInt());
  request.fit = request.paper && scales_->currentIndex() == scales_->count() - 1;
  if (!request.fit) request.scale = ScaleNamed(scales_->currentData().toString().toStdString());
  return request;
}

void PageChoiceRow::FollowScale() {
  // Fitting needs a sheet to fit to.
  if (scales_->currentIndex() == scales_->count() - 1 && papers_->currentIndex() == 0)
    papers_->setCurrentIndex(1);
}

void PageChoiceRow::FollowPaper() {
  const bool paper = papers_->currentIndex() > 0;
  turns_->setEnabled(paper);
  if (!paper && scales_->currentIndex() == scales_->count() - 1) scales_->setCurrentIndex(0);
}

}  // namespace korvid
