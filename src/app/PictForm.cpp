#include "app/PictForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "app/ColorForm.h"
#include "app/DialogService.h"
#include "app/ErrorMessages.h"
#include "app/ExportCommands.h"
#include "app/FormClientArea.h"
#include "app/HelpCommands.h"
#include "app/InfoWindows.h"
#include "app/OptionForm.h"
#include "app/OutputCommands.h"
#include "app/PageBox.h"
#include "app/PenCommands.h"
#include "app/PenForm.h"
#include "app/PlotLoader.h"
#include "app/PlotSurface.h"
#include "app/ProgressPanel.h"
#include "app/ReadingCommands.h"
#include "app/ReadingDetails.h"
#include "app/ReadingNotes.h"
#include "app/ReadingPanel.h"
#include "app/StatusLabels.h"
#include "app/ViewCommands.h"
#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

void InitKorvidResources();

namespace korvid {

namespace {

// A failure that is not one of the program's own run-time errors still has to reach the
// user with a number.
int ErrorNumberOf(const std::exception& failure) {
  if (const auto* runtime = dynamic_cast<const RuntimeError*>(&failure)) return runtime->number();
  if (dynamic_cast<const std::bad_alloc*>(&failure)) return err::kOutOfMemory;
  if (const auto* system = dynamic_cast<const std::system_error*>(&failure)) {
    return ErrorNumberFromErrno(system->code().value());
  }
  return 5;  // invalid procedure call
}

}  // namespace

PictForm::PictForm(AppContext& context, QWidget* parent)
    : QMainWindow(parent),
      context_(context),
      scale_(QApplication::primaryScreen() ? QApplication::primaryScreen()->logicalDotsPerInchX()
                                           : 96),
      loader_(std::make_unique<PlotLoader>(*this)),
      viewCommands_(std::make_unique<ViewCommands>(*this)),
      outputCommands_(std::make_unique<OutputCommands>(*this)),
      exportCommands_(std::make_unique<ExportCommands>(*this)),
      helpCommands_(std::make_unique<HelpCommands>(*this)),
      readingCommands_(std::make_unique<ReadingCommands>(*this)),
      penCommands_(std::make_unique<PenCommands>(*this)) {
  lastReading_ = std::make_unique<ReadingReport>();
  InitKorvidResources();
  setObjectName("PictForm");
  setWindowTitle(kApplicationTitle);
  setWindowIcon(QIcon(QStringLiteral(":/icons/korvid.svg")));
  setAcceptDrops(true);
  BuildClientArea();
  BuildMenus();
  BuildToolbar();
  BuildContextMenu();
  BuildPreviewToolbar();
  AssignShortcuts();
  ConnectView();
  resize(1024, 720);
}

PictForm::~PictForm() = default;

void PictForm::BuildClientArea() {
  client_ = new FormClientArea(this);
  setCentralWidget(client_);

  viewport_ = new QWidget(client_);
  viewport_->setObjectName("Picture1");
  surface_ = new PlotSurface(viewport_);
  surface_->setAccessibleName(QStringLiteral("作図領域"));
  surface_->hide();

  vScroll_ = new QScrollBar(Qt::Vertical, client_);
  vScroll_->setObjectName("VScroll1");
  vScroll_->setAccessibleName(QStringLiteral("縦スクロール"));
  vScroll_->hide();
  hScroll_ = new QScrollBar(Qt::Horizontal, client_);
  hScroll_->setObjectName("HScroll1");
  hScroll_->setAccessibleName(QStringLiteral("横スクロール"));
  hScroll_->hide();

  toolbar_ = new QToolBar(client_);
  toolbar_->setObjectName("Toolbar1");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(24, 24));

  statusBar_ = new QStatusBar(client_);
  statusBar_->setObjectName("StatusBar1");
  statusBar_->setSizeGripEnabled(false);
  // The bars are laid over the client area: nothing below may show through them.
  statusBar_->setAutoFillBackground(true);
  toolbar_->setAutoFillBackground(true);
  // Every text of the bar gives way with "…" in a narrow window; the button alone does not.
  auto* panel1 = new ElidedLabel(statusBar_);
  panel1->SetFullText(kApplicationTitle + QLatin1Char(' ') + kVersionText);
  panel1_ = panel1;
  panel1_->setObjectName("Panel1");
  statusBar_->addWidget(panel1_);
  progress_ = new ProgressPanel(scale_, statusBar_);
  statusBar_->addWidget(progress_);
  progress_->hide();
  notice_ = new ElidedLabel(statusBar_);
  notice_->setObjectName("Notice");
  notice_->SetClickable(true);
  statusBar_->addWidget(notice_, 1);
  connect(notice_, &ElidedLabel::Clicked, this, [this] { ShowReadingDetails(); });
  plotSize_ = new ElidedLabel(statusBar_);
  plotSize_->setObjectName("PlotSize");
  statusBar_->addPermanentWidget(plotSize_);
  readingPanel_ = new ReadingPanel(statusBar_);
  statusBar_->addPermanentWidget(readingPanel_);
  connect(readingPanel_, &ReadingPanel::RereadRequested, this,
          [this] { RunGuarded([this] { readingCommands_->RereadAsHpgl2(); }); });
  connect(readingPanel_, &ReadingPanel::PenZeroRequested, this,
          [this] { RunGuarded([this] { penCommands_->ShowPenZeroAsPenOne(); }); });
  readout_ = new ViewReadout(statusBar_);
  statusBar_->addPermanentWidget(readout_);
  statusBar_->installEventFilter(this);

  client_->AttachTop(toolbar_);
  client_->AttachBottom(statusBar_);
  connect(client_, &FormClientArea::Resized, this, [this] { FollowClientArea(); });
}

QAction* PictForm::AddAction(QMenu* menu, const QString& name, const QString& caption,
                             std::function<void()> command, bool available) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setEnabled(available);
  connect(action, &QAction::triggered, this, [this, command] { RunGuarded(command); });
  if (menu) menu->addAction(action);
  actions_[name] = action;
  return action;
}

void PictForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
  file->setObjectName("PlotMenu20");
  AddAction(file, "PlotMenu21", QStringLiteral("ﾌﾟﾛｯﾀﾌｧｲﾙの読み込み"), [this] { LoadPlotFile(); });
  AddAction(file, "PlotMenu24", QStringLiteral("画像の保存（ＢＭＰ形式）"),
            [this] { exportCommands_->SaveImage(); });
  AddAction(file, "VectorSave", QStringLiteral("図面の保存（ＥＭＦ・ＳＶＧ・ＰＤＦ形式）"),
            [this] { exportCommands_->SaveVector(); });
  AddAction(file, "preview", QStringLiteral("印刷プレビュー"),
            [this] { outputCommands_->EnterPreview(); });
  AddAction(file, "PlotMenu13", QStringLiteral("印刷"), [this] { outputCommands_->Print(); });
  file->addSeparator()->setObjectName("PlotMenu22");
  AddAction(file, "PlotMenu23", QStringLiteral("プログラムの終了"), [this] { ExitProgram(); });

  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定(&S)"));
  settings->setObjectName("PlotMenu32");
  AddAction(settings, "PlotMenu33", QStringLiteral("倍率"),
            [this] { outputCommands_->ShowMagnification(); });
  AddAction(settings, "plotmenu34", QStringLiteral("ページ設定"),
            [this] { outputCommands_->PageSetup(); });

  QMenu* options = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
  options->setObjectName("PlotMenu30");
  AddAction(options, "PlotMenu31", QStringLiteral("表示設定(&E)"), [this] { ShowOptionForm(); });
  AddAction(options, "PenSettings", QStringLiteral("ペン設定(&P)..."),
            [this] { penCommands_->ShowPenForm(); });
  QAction* hpgl2 = AddAction(
      options, kHpgl2ReadingAction, QStringLiteral("HP-GL/2 として読み込む(&H)"),
      [this] { readingCommands_->ChooseHpgl2(Action(kHpgl2ReadingAction)->isChecked()); });
  hpgl2->setCheckable(true);

  windowMenu_ = menuBar()->addMenu(QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"));
  windowMenu_->setObjectName("PlotMenu80");
  AddAction(windowMenu_, "PlotMenu81", QStringLiteral("なし"), [this] { SelectPlot(0); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  help->setObjectName("PlotMenu90");
  topMenus_ = {file, settings, options, windowMenu_, help};
  AddAction(help, "PlotMenu94", QStringLiteral("ヘルプ"), [this] { helpCommands_->OpenHelp(); });
  AddAction(help, "PlotMenu91", QStringLiteral("対応コマンド一覧表"),
            [this] { helpCommands_->ShowCommandList(); });
  AddAction(help, "ReadingDetails", QStringLiteral("読み込み結果の詳細"),
            [this] { ShowReadingDetails(); });
  help->addSeparator()->setObjectName("PlotMenu92");
  AddAction(help, "PlotMenu93", QStringLiteral("バージョン情報"),
            [this] { helpCommands_->ShowAbout(); });
}

void PictForm::BuildToolbar() {
  struct Button {
    const char* name;
    const char* icon;
    QString tooltip;
    std::function<void()> command;
  };
  const Button buttons[] = {
      {"Button1", "exit", QStringLiteral("プログラム終了"), [this] { ExitWithCleanUp(); }},
      {"Button2", "open", QStringLiteral("ファイルを開く"), [this] { LoadPlotFile(); }},
      {"Button3", "save", QStringLiteral("ビットマップ形式で保存"),
       [this] { exportCommands_->SaveImage(); }},
      {"Button4", "print", QStringLiteral("印刷"), [this] { outputCommands_->Print(); }},
      {"Button5", "preview", QStringLiteral("印刷プレビュー"),
       [this] { outputCommands_->EnterPreview(); }},
      {"Button6", "copy", QStringLiteral("クリップボードへコピー"),
       [this] { exportCommands_->CopyToClipboard(); }},
      {"Button7", "zoomin", QStringLiteral("拡大"), [this] { viewCommands_->ZoomIn(); }},
      {"Button8", "zoomout", QStringLiteral("縮小"), [this] { viewCommands_->ZoomOut(); }},
      {"Button9", "fit", QStringLiteral("フィット"), [this] { viewCommands_->FitToWindow(); }},
  };
  for (const Button& button : buttons) {
    QAction* action = AddAction(nullptr, button.name, button.tooltip, button.command,
                                static_cast<bool>(button.command));
    action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(button.icon)));
    action->setToolTip(button.tooltip);
    toolbar_->addAction(action);
  }
}

void PictForm::BuildContextMenu() {
  contextMenu_ = new QMenu(QStringLiteral("ポップアップメニュー"), this);
  contextMenu_->setObjectName("PlotMenu10");
  struct Turn {
    const char* name;
    QString caption;
    int mode;
  };
  const Turn turns[] = {{"PlotMenu19", QStringLiteral("ノーマル（０°）表示"), 1},
                        {"PlotMenu15", QStringLiteral("右９０°回転表示"), 2},
                        {"PlotMenu16", QStringLiteral("左９０°回転表示"), 4},
                        {"PlotMenu17", QStringLiteral("１８０°回転表示"), 3}};
  for (const Turn& turn : turns) {
    const int mode = turn.mode;
    AddAction(contextMenu_, turn.name, turn.caption,
              [this, mode] { viewCommands_->ShowRotated(mode); });
  }
  AddAction(contextMenu_, "ZoomToSelection", QStringLiteral("選択範囲を拡大表示"),
            [this] { viewCommands_->ZoomToSelection(); });
  AddAction(contextMenu_, "Measure", QStringLiteral("距離の測定"),
            [this] { viewCommands_->StartMeasuring(); });
  contextMenu_->addSeparator()->setObjectName("PlotMenu12");
  AddAction(contextMenu_, "PlotMenu14", QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管"),
            [this] { exportCommands_->CopyToClipboard(); });
  AddAction(contextMenu_, "PlotMenu18", QStringLiteral("画像の保存（ＢＭＰ形式）"),
            [this] { exportCommands_->SaveImage(); });
  viewCommands_->SetContextMenu(contextMenu_);
}

void PictForm::BuildPreviewToolbar() {
  toolbar2_ = new QToolBar(client_);
  toolbar2_->setObjectName("Toolbar2");
  toolbar2_->setMovable(false);
  toolbar2_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const std::pair<const char*, QString> buttons[] = {{"Command6", QStringLiteral("印刷")},
                                                     {"Command5", QStringLiteral("前ページ")},
                                                     {"Command4", QStringLiteral("次ページ")},
                                                     {"Command3", QStringLiteral("閉じる")}};
  const std::function<void()> commands[] = {
      [this] { outputCommands_->Print(); }, [this] { outputCommands_->PreviousPage(); },
      [this] { outputCommands_->NextPage(); }, [this] { outputCommands_->ClosePreview(); }};
  for (int i = 0; i < 4; ++i) {
    toolbar2_->addAction(AddAction(nullptr, buttons[i].first, buttons[i].second, commands[i]));
  }
  toolbar2_->adjustSize();
  toolbar2_->move(0, 0);
  toolbar2_->hide();
  pageBox_ = new PageBox(client_);
  pageBox_->hide();
}

void PictForm::AssignShortcuts() {
  const std::pair<const char*, QList<QKeySequence>> keys[] = {
      {"PlotMenu21", {QKeySequence::Open}},
      {"PlotMenu13", {QKeySequence::Print}},
      {"PlotMenu24", {QKeySequence::Save}},
      {"PlotMenu14", {QKeySequence::Copy}},
      {"Button7", {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
      {"Button8", {QKeySequence::ZoomOut}},
      {"Button9", {QKeySequence(Qt::CTRL | Qt::Key_0)}},
      {"PlotMenu94", {QKeySequence::HelpContents}},
      {"Measure", {QKeySequence(Qt::Key_M)}},
      {"PlotMenu23", {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
  };
  for (const auto& [name, sequences] : keys) {
    QAction* action = Action(name);
    action->setShortcuts(sequences);
    // Context-menu commands have to reach the keyboard while their menu is closed.
    addAction(action);
  }
}

void PictForm::DispatchToolbar(int index) {
  if (index < 1 || index > 9) return;
  QAction* button = Action(QStringLiteral("Button%1").arg(index));
  if (button && button->isEnabled()) button->trigger();
}

void PictForm::SetMenusEnabled(bool enabled) {
  for (QMenu* menu : topMenus_)
    menu->menuAction()->setEnabled(enabled);
  readingPanel_->SetOfferEnabled(enabled);
  // The pen table would redraw the plot under the preview's pages.
  if (PenForm* pens = penCommands_->OpenPenForm()) pens->setEnabled(enabled);
}

void PictForm::SetMainCommandsEnabled(bool enabled) {
  if (enabled) {
    for (QAction* action : suspended_)
      action->setEnabled(true);
    suspended_.clear();
    return;
  }
  for (const auto& [name, action] : actions_) {
    if (action->isEnabled() && !toolbar2_->actions().contains(action)) {
      action->setEnabled(false);
      suspended_.push_back(action);
    }
  }
}

void PictForm::SetPageButtons(bool previous, bool next) {
  Action("Command5")->setEnabled(previous);
  Action("Command4")->setEnabled(next);
}

void PictForm::ConnectView() {
  connect(hScroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!applyingView_) viewCommands_->OnHScroll(value);
  });
  connect(vScroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!applyingView_) viewCommands_->OnVScroll(value);
  });
  connect(surface_, &PlotSurface::MousePressed, this,
          [this](int button, QPointF at) { viewCommands_->MousePressed(button, at); });
  connect(surface_, &PlotSurface::MouseMoved, this,
          [this](int buttons, QPointF at) { viewCommands_->MouseMoved(buttons, at); });
  connect(surface_, &PlotSurface::MouseLeft, this, [this] { viewCommands_->MouseLeft(); });
  connect(surface_, &PlotSurface::MouseReleased, this,
          [this](int button, QPointF at) { viewCommands_->MouseReleased(button, at); });
  viewport_->installEventFilter(this);
  surface_->installEventFilter(this);
  surface_->setFocusPolicy(Qt::WheelFocus);
  pageBox_->installEventFilter(this);
  pageBox_->setFocusPolicy(Qt::StrongFocus);
}

bool PictForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusBar_) {
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize) FitStatusBar();
    return QMainWindow::eventFilter(watched, event);
  }
  if (outputCommands_->Previewing()) {
    if (event->type() == QEvent::KeyPress &&
        outputCommands_->PreviewKey(static_cast<QKeyEvent*>(event)->key())) {
      return true;
    }
    return QMainWindow::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const QPointF at = static_cast<QWidget*>(watched)->mapTo(viewport_, wheel->position());
      return viewCommands_->Wheel(*wheel, at);
    }
    case QEvent::KeyPress:
      if (viewCommands_->Key(static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::KeyRelease:
      if (viewCommands_->KeyReleased(static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::FocusOut:
      viewCommands_->FocusLost();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
      if (watched == surface_ && viewCommands_->Pan(static_cast<QMouseEvent*>(event))) return true;
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void PictForm::keyPressEvent(QKeyEvent* event) {
  const bool handled = outputCommands_->Previewing() ? outputCommands_->PreviewKey(event->key())
                                                     : viewCommands_->Key(event);
  if (!handled) QMainWindow::keyPressEvent(event);
}

void PictForm::keyReleaseEvent(QKeyEvent* event) {
  if (!viewCommands_->KeyReleased(event)) QMainWindow::keyReleaseEvent(event);
}

// Resizing, maximising and tiling lay the view out again at once; during the preview the
// page box follows at once and the view waits until it is shown again.
void PictForm::FollowClientArea() {
  if (outputCommands_->Previewing()) {
    resizedInPreview_ = true;
    outputCommands_->RelayoutPreview();
    return;
  }
  viewCommands_->Relayout();
}

// In a narrow window the zoom level, the pointer's place, the measurement, the reading in
// force and the program's name stay longest, then the plot's size; the offer's reason and the
// notice give way first, all elided, never hidden.
void PictForm::FitStatusBar() {
  const int button = readingPanel_->OfferButton()->isVisibleTo(readingPanel_)
                         ? readingPanel_->OfferButton()->sizeHint().width()
                         : 0;
  const int progress = progress_->isVisibleTo(statusBar_) ? progress_->width() : 0;
  ShareStatusBarWidth(statusBar_->width(), button + progress,
                      {readout_->Zoom(), readout_->Pointer(), readout_->Measurement(),
                       readingPanel_->Caption(), panel1_, plotSize_},
                      readingPanel_->OfferReason(), notice_);
}

void PictForm::PreviewClosed() {
  if (resizedInPreview_) viewCommands_->Relayout();
  resizedInPreview_ = false;
}

void PictForm::FocusSurface() {
  if (surface_->isVisible()) surface_->setFocus(Qt::OtherFocusReason);
}

QAction* PictForm::Action(const QString& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

void PictForm::Start() {
  // Linux has no version query; Korvid asks the colour question as the NT family does.
  context_.settings.ColorMode = 1;
  ColorForm colorForm(context_.settings, this);
  context_.dialogs.Exec(colorForm);
  context_.OpenPattern = QStringLiteral("*.hpg;*.hgl");
  context_.OpenFilterIndex = 1;
  readingCommands_->Start();
  penCommands_->Start();
  context_.view.LayOutAtStartup(Metrics());
  ApplyView();
}

WindowMetrics PictForm::Metrics() const {
  WindowMetrics metrics;
  metrics.ScaleWidth = scale_.Mm(client_->width());
  metrics.ScaleHeight = scale_.Mm(client_->height());
  metrics.ToolbarHeight = scale_.Mm(toolbar_->height());
  metrics.StatusBarHeight = scale_.Mm(statusBar_->height());
  metrics.VScrollWidth = scale_.Mm(vScroll_->sizeHint().width());
  metrics.HScrollHeight = scale_.Mm(hScroll_->sizeHint().height());
  return metrics;
}

void PictForm::ApplyView() {
  applyingView_ = true;
  const ViewState& view = context_.view;
  // The bars lie over the viewport's edges; the viewport widget stops where they begin,
  // so that scrolling can shift the pixels already drawn instead of painting them again.
  QRect viewport = scale_.Rect(view.Picture1);
  if (view.VScroll1.Visible) viewport.setRight(viewport.right() - vScroll_->sizeHint().width());
  if (view.HScroll1.Visible) viewport.setBottom(viewport.bottom() - hScroll_->sizeHint().height());
  viewport_->setGeometry(viewport);
  surface_->setGeometry(scale_.Rect(view.Picture3));
  surface_->setVisible(view.SurfaceVisible);
  auto follow = [this](QScrollBar* bar, const ScrollBarModel& model, bool vertical) {
    bar->setRange(0, model.Max());
    bar->setPageStep(model.LargeChange);
    bar->setSingleStep(model.SmallChange);
    bar->setValue(model.Value());
    QRect box = scale_.Rect(model.Box);
    if (vertical) {
      box.setWidth(bar->sizeHint().width());
    } else {
      box.setHeight(bar->sizeHint().height());
    }
    bar->setGeometry(box);
    bar->setVisible(model.Visible);
    bar->raise();
  };
  follow(vScroll_, view.VScroll1, true);
  follow(hScroll_, view.HScroll1, false);
  toolbar_->raise();
  statusBar_->raise();
  applyingView_ = false;
  double zoom = 0;
  if (context_.HasDrawing()) {
    try {
      zoom = view.ZoomPercent(context_.ShownExtents());
    } catch (const std::exception&) {
    }
  }
  readout_->ShowZoom(zoom);
}

void PictForm::RunGuarded(const std::function<void()>& command) {
  if (!command) return;
  const DrawingBudget::Account account(budget_);
  try {
    command();
  } catch (const NamedFailure& failure) {
    ShowErrorMessage(failure.number(), failure.NamingLine());
  } catch (const std::exception& failure) {
    ShowErrorMessage(ErrorNumberOf(failure));
  }
}

void PictForm::ShowErrorMessage(int errorNumber, const std::string& namingLine) {
  context_.dialogs.ShowWarning(this,
                               QString::fromStdString(ErrorMessageText(errorNumber, namingLine)));
}

void PictForm::LoadPlotFile() {
  loader_->ChooseAndLoad();
  penCommands_->Refresh();
  FocusSurface();
}

void PictForm::LoadPlotPath(const QString& path) {
  RunGuarded([this, path] { loader_->Load(path); });
  penCommands_->Refresh();
  FocusSurface();
}

void PictForm::OpenProgress(int widthMm) {
  progress_->show();
  SetProgress(widthMm);
}

void PictForm::SetProgress(int widthMm) {
  progress_->SetProgress(widthMm);
  statusBar_->repaint();
}

DrawProgress& PictForm::DrawingProgress() {
  class PanelProgress : public DrawProgress {
   public:
    explicit PanelProgress(PictForm& form) : form_(form) {}
    void ShowProgress(int widthMm) override { form_.SetProgress(widthMm); }

   private:
    PictForm& form_;
  };
  if (!drawingProgress_) drawingProgress_ = std::make_unique<PanelProgress>(*this);
  return *drawingProgress_;
}

void PictForm::CloseProgress() {
  progress_->hide();
  progress_->SetProgress(0);
}

void PictForm::ShowReading(const ReadingReport& report) {
  *lastReading_ = report;
  notice_->SetFullText(report.notice);
  statusBar_->setAccessibleName(report.notice);
  if (readingDetails_ && readingDetails_->isVisible()) ShowReadingDetails();
}

void PictForm::ShowReadingDetails() {
  if (!context_.FileLoaded()) return;
  if (!readingDetails_) readingDetails_ = new ReadingDetails(this);
  readingDetails_->ShowReport(QString::fromStdString(context_.model.PlotFileName),
                              readingPanel_->Caption()->text(), *lastReading_);
  readingDetails_->show();
  readingDetails_->raise();
  readingDetails_->activateWindow();
}

ReadingDetails* PictForm::OpenReadingDetails() const {
  return readingDetails_.data();
}

void PictForm::ListPlots(int plotCount) {
  const QList<QAction*> items = windowMenu_->actions();
  for (int i = 1; i < items.size(); ++i) {
    windowMenu_->removeAction(items[i]);
    items[i]->deleteLater();
  }
  QAction* first = items.first();
  first->setText(QStringLiteral("PLOT No.1"));
  first->setEnabled(true);
  for (int i = 1; i < plotCount; ++i) {
    AddAction(windowMenu_, QStringLiteral("PlotMenu81_%1").arg(i),
              QStringLiteral("PLOT No.%1").arg(i + 1), [this, i] { SelectPlot(i); });
  }
  readingCommands_->MarkPage();
}

void PictForm::SelectPlot(int index) {
  readingCommands_->ShowPage(index + 1);
}

OptionForm* PictForm::OpenOptionForm() const {
  return optionForm_.data();
}

void PictForm::ShowOptionForm() {
  if (optionForm_) {
    optionForm_->raise();
    optionForm_->activateWindow();
    return;
  }
  optionForm_ = new OptionForm(context_.settings, this);
  optionForm_->setWindowFlag(Qt::Window);
  optionForm_->show();
}

void PictForm::CloseSecondaryWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
}

void PictForm::ExitWithCleanUp() {
  context_.metafile.Remove();
  ExitProgram();
}

void PictForm::ExitProgram() {
  exiting_ = true;
  CloseSecondaryWindows();
  close();
}

void PictForm::closeEvent(QCloseEvent* event) {
  // Closing the main window ends the program: no dialog may keep it running unseen.
  if (!exiting_) CloseSecondaryWindows();
  event->accept();
  QApplication::quit();
}

void PictForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PictForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  LoadPlotPath(urls.first().toLocalFile());
}

}  // namespace korvid
