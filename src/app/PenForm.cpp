#include "app/PenForm.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DialogService.h"
#include "app/PenCommands.h"
#include "app/PictForm.h"
#include "pens/PenProfileText.h"

namespace korvid {

namespace {

// The spin box's lowest value stands for "as the file says".
constexpr double kFileWidth = -0.05;
constexpr PenRgb kWhiteRgb = 0xFFFFFF;

QString FileSays() {
  return QStringLiteral("ファイルどおり");
}

QColor ColourOf(PenRgb rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

QIcon Swatch(PenRgb rgb) {
  QPixmap pixmap(16, 16);
  pixmap.fill(ColourOf(rgb));
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, 15, 15);
  return QIcon(pixmap);
}

QString ColourName(PenRgb rgb) {
  return QString::fromStdString(ColourText(rgb));
}

QString WidthName(double widthMm) {
  if (widthMm <= 0) return QStringLiteral("最も細い線");
  return QString::fromStdString(MillimetreText(widthMm)) + QStringLiteral(" mm");
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  return item;
}

QString Count(std::int64_t count) {
  return QString::number(count);
}

// The list of profiles is read again whenever it opens: profiles come and go behind the
// dialog's back (another Korvid, a file manager).
class ProfileBox : public QComboBox {
 public:
  ProfileBox(std::function<void()> refill, QWidget* parent)
      : QComboBox(parent), refill_(std::move(refill)) {}
  void showPopup() override {
    refill_();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> refill_;
};

}  // namespace

PenForm::PenForm(PenCommands& commands, QWidget* parent) : QDialog(parent), commands_(commands) {
  setObjectName("PenForm");
  setWindowTitle(QStringLiteral("ペン設定"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* profileFrame = new QGroupBox(QStringLiteral("プロファイル"), this);
  profiles_ = new ProfileBox([this] { FillProfiles(); }, profileFrame);
  profiles_->setObjectName("PenProfile");
  profiles_->setMinimumContentsLength(16);
  save_ = new QPushButton(QStringLiteral("保存(&S)..."), profileFrame);
  save_->setObjectName("SavePenProfile");
  delete_ = new QPushButton(QStringLiteral("削除(&D)"), profileFrame);
  delete_->setObjectName("DeletePenProfile");
  import_ = new QPushButton(QStringLiteral("読み込み(&I)..."), profileFrame);
  import_->setObjectName("ImportPenProfile");
  export_ = new QPushButton(QStringLiteral("書き出し(&E)..."), profileFrame);
  export_->setObjectName("ExportPenProfile");
  modified_ = new QLabel(QStringLiteral("（変更は保存されていません）"), profileFrame);
  modified_->setObjectName("PenProfileModified");
  auto* profileRow = new QHBoxLayout;
  profileRow->addWidget(profiles_, 1);
  profileRow->addWidget(save_);
  profileRow->addWidget(delete_);
  profileRow->addWidget(import_);
  profileRow->addWidget(export_);
  auto* profileLayout = new QVBoxLayout(profileFrame);
  profileLayout->addLayout(profileRow);
  profileLayout->addWidget(modified_);

  list_ = new QTableWidget(0, kColumns, this);
  list_->setObjectName("PenList");
  list_->setHorizontalHeaderLabels(
      {QStringLiteral("ペン"), QStringLiteral("表示"), QStringLiteral("線"), QStringLiteral("円弧"),
       QStringLiteral("塗りつぶし"), QStringLiteral("文字"), QStringLiteral("現在の色"),
       QStringLiteral("現在の太さ"), QStringLiteral("色"), QStringLiteral("太さ (mm)")});
  list_->verticalHeader()->hide();
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->horizontalHeader()->setStretchLastSection(true);

  newPen_ = new QSpinBox(this);
  newPen_->setObjectName("NewPen");
  newPen_->setRange(kLowestPenNumber, kHighestPenNumber);
  newPen_->setValue(1);
  add_ = new QPushButton(QStringLiteral("追加(&A)"), this);
  add_->setObjectName("AddPen");
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(new QLabel(QStringLiteral("ペンを一覧に追加:"), this));
  addRow->addWidget(newPen_);
  addRow->addWidget(add_);
  addRow->addStretch();

  auto* note = new QLabel(
      QStringLiteral("太さ 0 は、出力先で描ける最も細い線です。「ファイルどおり」は、ファイルの指定"
                     "（HP-GL/2 の PC・PW）か、読み込み方式の既定に従います。"
                     "白黒表示では、表示するペンはすべて黒で描きます。"),
      this);
  note->setObjectName("PenNote");
  note->setWordWrap(true);

  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  close->setObjectName("ClosePenForm");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(profileFrame);
  layout->addWidget(list_, 1);
  layout->addLayout(addRow);
  layout->addWidget(note);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(760, 460);

  PictForm* form = qobject_cast<PictForm*>(parent);
  const auto guarded = [form](std::function<void()> command) {
    return [form, command] {
      if (form) {
        form->RunGuarded(command);
      } else {
        command();
      }
    };
  };
  connect(profiles_, &QComboBox::activated, this, [this, guarded](int index) {
    const QString name = index <= 0 ? QString() : profiles_->itemText(index);
    guarded([this, name] { commands_.Choose(name); })();
  });
  connect(save_, &QPushButton::clicked, this, guarded([this] { AskNameAndSave(); }));
  connect(delete_, &QPushButton::clicked, this, guarded([this] { commands_.DeleteChosen(); }));
  connect(import_, &QPushButton::clicked, this, guarded([this] { commands_.ImportChosenFile(); }));
  connect(export_, &QPushButton::clicked, this,
          guarded([this] { commands_.ExportToChosenFile(); }));
  connect(add_, &QPushButton::clicked, this, [this] {
    const int pen = newPen_->value();
    if (RowOf(pen) < 0) added_.push_back(pen);
    FillRows();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  // Enter takes a width typed in; it closes nothing.
  for (QPushButton* button : findChildren<QPushButton*>())
    button->setAutoDefault(false);
  connect(list_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != kShown || item->row() >= static_cast<int>(pens_.size()))
      return;
    const bool checked = item->checkState() == Qt::Checked;
    ChangeSetting(pens_[static_cast<std::size_t>(item->row())],
                  [checked](PenSetting& setting) { setting.shown = checked; });
  });
  Rebuild();
}

int PenForm::RowOf(int pen) const {
  const auto found = std::find(pens_.begin(), pens_.end(), pen);
  return found == pens_.end() ? -1 : static_cast<int>(found - pens_.begin());
}

QTableWidgetItem* PenForm::ShownItem(int row) const {
  return list_->item(row, kShown);
}

QToolButton* PenForm::ColourButton(int row) const {
  return qobject_cast<QToolButton*>(list_->cellWidget(row, kColour));
}

QDoubleSpinBox* PenForm::WidthBox(int row) const {
  return qobject_cast<QDoubleSpinBox*>(list_->cellWidget(row, kWidth));
}

void PenForm::Rebuild() {
  // A row's own change (pen 0 shown reads the file again) may not take its row away under
  // it: the rows are written anew once it has returned.
  if (inRow_) {
    Update();
    QTimer::singleShot(0, this, &PenForm::Rebuild);
    return;
  }
  FillProfiles();
  FillRows();
}

void PenForm::FillProfiles() {
  const QSignalBlocker blocker(profiles_);
  profiles_->clear();
  profiles_->addItem(kNoPenProfile);
  profiles_->addItems(commands_.ProfileNames());
  const int chosen = commands_.Chosen().isEmpty() ? 0 : profiles_->findText(commands_.Chosen());
  profiles_->setCurrentIndex(std::max(chosen, 0));
}

void PenForm::FillRows() {
  const QScopedValueRollback<bool> filling(filling_, true);
  std::vector<PenRow> rows = commands_.Rows();
  for (int pen : added_) {
    const bool listed = std::any_of(rows.begin(), rows.end(),
                                    [pen](const PenRow& row) { return row.use.pen == pen; });
    if (!listed) {
      PenRow row;
      row.use.pen = pen;
      rows.push_back(row);
    }
  }
  std::sort(rows.begin(), rows.end(),
            [](const PenRow& a, const PenRow& b) { return a.use.pen < b.use.pen; });
  list_->setRowCount(0);
  list_->setRowCount(static_cast<int>(rows.size()));
  pens_.clear();
  const bool own = commands_.OwnReading();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const PenRow& pen = rows[static_cast<std::size_t>(row)];
    const int number = pen.use.pen;
    pens_.push_back(number);
    list_->setItem(row, kPen, Cell(QString::number(number), Qt::AlignRight));
    list_->setItem(row, kLines, Cell(Count(pen.use.lines), Qt::AlignRight));
    list_->setItem(row, kArcs, Cell(Count(pen.use.arcs), Qt::AlignRight));
    // Korvid's own reading draws neither fills nor labels.
    const QString none = QStringLiteral("—");
    list_->setItem(row, kPolygons, Cell(own ? none : Count(pen.use.polygons), Qt::AlignRight));
    list_->setItem(row, kLabels, Cell(own ? none : Count(pen.use.labels), Qt::AlignRight));

    // A check of the list itself, which the keyboard and screen readers reach as a cell.
    auto* shown = new QTableWidgetItem;
    shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    shown->setCheckState(Qt::Checked);
    // Screen readers name the row's controls after their pen.
    shown->setData(Qt::AccessibleTextRole, QStringLiteral("ペン%1を表示").arg(number));
    list_->setItem(row, kShown, shown);

    auto* colour = new QToolButton(list_);
    colour->setObjectName(QStringLiteral("PenColour%1").arg(number));
    colour->setAccessibleName(QStringLiteral("ペン%1の色").arg(number));
    colour->setPopupMode(QToolButton::MenuButtonPopup);
    colour->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* menu = new QMenu(colour);
    menu->addAction(QStringLiteral("色を選ぶ..."), this, [this, number] { ChooseColour(number); });
    menu->addAction(FileSays(), this, [this, row] { UseFileColour(row); });
    colour->setMenu(menu);
    connect(colour, &QToolButton::clicked, this, [this, number] { ChooseColour(number); });
    list_->setCellWidget(row, kColour, colour);

    auto* width = new QDoubleSpinBox(list_);
    width->setObjectName(QStringLiteral("PenWidth%1").arg(number));
    width->setAccessibleName(QStringLiteral("ペン%1の太さ").arg(number));
    width->setRange(kFileWidth, kWidestPenMm);
    width->setDecimals(3);
    width->setSingleStep(0.05);
    width->setSpecialValueText(FileSays());
    width->setKeyboardTracking(false);
    connect(width, &QDoubleSpinBox::valueChanged, this, [this, number](double value) {
      ChangeSetting(number, [value](PenSetting& setting) {
        if (value <= kFileWidth / 2) {
          setting.widthMm.reset();
        } else {
          setting.widthMm = std::max(value, 0.0);
        }
      });
    });
    list_->setCellWidget(row, kWidth, width);
  }
  rows_ = std::move(rows);
  Update();
}

void PenForm::Update() {
  const QScopedValueRollback<bool> filling(filling_, true);
  const PenTable& table = commands_.Table();
  const bool colourShown = commands_.ColourShown();
  const bool own = commands_.OwnReading();
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
    const PenRow& pen = rows_[static_cast<std::size_t>(row)];
    const int number = pen.use.pen;
    const PenSetting setting = table.Setting(number);
    ShownItem(row)->setCheckState(setting.shown && !pen.noPen ? Qt::Checked : Qt::Unchecked);
    QToolButton* colour = ColourButton(row);
    colour->setText(setting.colour ? ColourName(*setting.colour) : FileSays());
    colour->setIcon(setting.colour ? Swatch(*setting.colour) : QIcon());
    {
      QDoubleSpinBox* width = WidthBox(row);
      const QSignalBlocker blocker(width);
      width->setValue(setting.widthMm.value_or(kFileWidth));
    }

    // As the pen is drawn now: the table first, then the reading; black and white (white
    // stays white in the standard reading, as it erases there).
    QTableWidgetItem* colourNow = nullptr;
    QTableWidgetItem* widthNow = nullptr;
    const bool used = pen.use.lines + pen.use.arcs + pen.use.polygons + pen.use.labels > 0;
    if (pen.noPen) {
      colourNow = Cell(QStringLiteral("ペンなし（描かない）"));
      widthNow = Cell(QStringLiteral("—"));
    } else if (!setting.shown) {
      colourNow = Cell(QStringLiteral("表示しない"));
      widthNow = Cell(QStringLiteral("表示しない"));
    } else if (!used && !setting.colour && !setting.widthMm) {
      colourNow = Cell(QStringLiteral("—"));
      widthNow = Cell(QStringLiteral("—"));
    } else {
      std::optional<PenRgb> rgb = setting.colour ? setting.colour : pen.readingColour;
      if (!colourShown && rgb) rgb = !own && *rgb == kWhiteRgb ? kWhiteRgb : 0;
      if (!colourShown && !rgb) rgb = 0;
      const bool vary = !setting.colour && pen.coloursVary && colourShown;
      if (rgb) {
        colourNow = Cell(ColourName(*rgb) + (vary ? QStringLiteral(" …") : QString()));
        colourNow->setIcon(Swatch(*rgb));
      } else {
        colourNow = Cell(used ? QStringLiteral("直前の色") : QStringLiteral("—"));
      }
      const double widthMm = setting.widthMm.value_or(pen.readingWidthMm);
      const bool widthsVary = !setting.widthMm && pen.widthsVary;
      widthNow = Cell(WidthName(widthMm) + (widthsVary ? QStringLiteral(" …") : QString()));
    }
    list_->setItem(row, kColourNow, colourNow);
    list_->setItem(row, kWidthNow, widthNow);
  }
  modified_->setVisible(commands_.Modified());
  delete_->setEnabled(!commands_.Chosen().isEmpty());
}

void PenForm::ChangeSetting(int pen, const std::function<void(PenSetting&)>& change) {
  PenSetting setting = commands_.Table().Setting(pen);
  change(setting);
  PictForm* form = qobject_cast<PictForm*>(parentWidget());
  const auto apply = [this, pen, setting] { commands_.SetPen(pen, setting); };
  const QScopedValueRollback<bool> inRow(inRow_, true);
  if (form) {
    form->RunGuarded(apply);
  } else {
    apply();
  }
}

void PenForm::ChooseColour(int pen) {
  const PenSetting setting = commands_.Table().Setting(pen);
  QColorDialog dialog(this);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  dialog.setWindowTitle(QStringLiteral("ペン %1 の色").arg(pen));
  if (setting.colour) dialog.setCurrentColor(ColourOf(*setting.colour));
  PictForm* form = qobject_cast<PictForm*>(parentWidget());
  DialogService* dialogs = form ? &form->Context().dialogs : nullptr;
  const int result = dialogs ? dialogs->Exec(dialog) : dialog.exec();
  if (result != QDialog::Accepted) return;
  const PenRgb rgb = dialog.currentColor().rgb() & 0xFFFFFFu;
  ChangeSetting(pen, [rgb](PenSetting& changed) { changed.colour = rgb; });
}

void PenForm::UseFileColour(int row) {
  if (row < 0 || row >= static_cast<int>(pens_.size())) return;
  ChangeSetting(pens_[static_cast<std::size_t>(row)],
                [](PenSetting& setting) { setting.colour.reset(); });
}

void PenForm::AskNameAndSave() {
  QInputDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("プロファイルの保存"));
  dialog.setLabelText(QStringLiteral("プロファイルの名前:"));
  dialog.setTextValue(commands_.Chosen());
  PictForm* form = qobject_cast<PictForm*>(parentWidget());
  const int result = form ? form->Context().dialogs.Exec(dialog) : dialog.exec();
  if (result != QDialog::Accepted) return;
  commands_.SaveAs(dialog.textValue());
}

}  // namespace korvid
