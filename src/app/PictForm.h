#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

#include "app/AppContext.h"
#include "app/MillimetreScale.h"
#include "model/DrawingBudget.h"
#include "render/PlotSource.h"

class QLabel;
class QMenu;
class QScrollBar;
class QStatusBar;
class QToolBar;

namespace korvid {

class ColorForm;
class ElidedLabel;
class FormClientArea;
class OptionForm;
class ExportCommands;
class HelpCommands;
class OutputCommands;
class PenCommands;
class PageBox;
class PlotLoader;
class ReadingCommands;
class ReadingPanel;
class ViewCommands;
class PlotSurface;
class ProgressPanel;
class ReadingDetails;
class ViewReadout;
struct ReadingReport;

// The option that chooses the standard HP-GL/2 reading.
inline const QString kHpgl2ReadingAction = QStringLiteral("Hpgl2Reading");

// The main window: menus, the main toolbar, the viewport with the drawing surface, the
// scroll bars and the status bar. Commands live in feature classes; the window lays out
// what the view state says, in millimetres, and reports failures.
class PictForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit PictForm(AppContext& context, QWidget* parent = nullptr);
  ~PictForm() override;

  // Start-up: the colour question, the open dialog's settings, the first layout.
  void Start();

  // Runs a command within the window's drawing budget; a failure it does not handle itself
  // is shown as a warning and the program goes on.
  void RunGuarded(const std::function<void()>& command);
  // `namingLine`: what failed, on a line of its own.
  void ShowErrorMessage(int errorNumber, const std::string& namingLine = {});

  void LoadPlotFile();
  void LoadPlotPath(const QString& path);
  void ExitWithCleanUp();
  void ExitProgram();
  void ShowOptionForm();
  void SelectPlot(int index);

  // What the view commands read and how the widgets follow the view state.
  WindowMetrics Metrics() const;
  void ApplyView();
  const MillimetreScale& Scale() const { return scale_; }

  // The progress panel of the status bar, open while a command works; the drawing routine
  // reports to it through DrawingProgress().
  void OpenProgress(int widthMm);
  void SetProgress(int widthMm);
  void CloseProgress();
  DrawProgress& DrawingProgress();
  // What the last read said, in the status bar until the next read: elided there, whole in
  // its tooltip, to screen readers and, on a click, in the details window with every
  // instruction the read skipped or ignored.
  void ShowReading(const ReadingReport& report);
  void ShowReadingDetails();
  ReadingDetails* OpenReadingDetails() const;
  const ReadingReport& LastReading() const { return *lastReading_; }
  // The Window menu after a load: one item per plot.
  void ListPlots(int plotCount);

  AppContext& Context() { return context_; }
  PlotSurface* Surface() const { return surface_; }
  QWidget* Viewport() const { return viewport_; }
  QScrollBar* VScroll() const { return vScroll_; }
  QScrollBar* HScroll() const { return hScroll_; }
  QToolBar* MainToolbar() const { return toolbar_; }
  QStatusBar* Status() const { return statusBar_; }
  QLabel* StatusPanel1() const { return panel1_; }
  ElidedLabel* NoticePanel() const { return notice_; }
  ViewReadout* Readout() const { return readout_; }
  ProgressPanel* Progress() const { return progress_; }
  QMenu* WindowMenu() const { return windowMenu_; }
  // Which reading is in force and the offer to read again, in the status bar.
  ReadingPanel* ReadingStatus() const { return readingPanel_; }
  // The size of the plot or page on show, in the status bar.
  ElidedLabel* PlotSizeStatus() const { return plotSize_; }
  ReadingCommands& ReadingChoice() const { return *readingCommands_; }
  PenCommands& Pens() const { return *penCommands_; }
  QAction* Action(const QString& name) const;
  OptionForm* OpenOptionForm() const;
  ViewCommands& View() const { return *viewCommands_; }
  OutputCommands& Output() const { return *outputCommands_; }
  ExportCommands& Export() const { return *exportCommands_; }
  HelpCommands& Help() const { return *helpCommands_; }
  // The main toolbar's button by its 1-based index; any other index does nothing.
  void DispatchToolbar(int index);
  QToolBar* PreviewToolbar() const { return toolbar2_; }
  PageBox* PreviewPage() const { return pageBox_; }
  // The five top-level menus, off while the preview shows.
  void SetMenusEnabled(bool enabled);
  // While the preview shows, only its own buttons act: every other command of the window,
  // and with it its shortcut, is off; afterwards each is as it was.
  void SetMainCommandsEnabled(bool enabled);
  void SetPageButtons(bool previous, bool next);
  // The preview has closed: a window resized meanwhile lays out its view again.
  void PreviewClosed();
  QMenu* ContextMenu() const { return contextMenu_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void BuildClientArea();
  void BuildMenus();
  void BuildToolbar();
  void BuildContextMenu();
  void BuildPreviewToolbar();
  void AssignShortcuts();
  void ConnectView();
  QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> command, bool available = true);
  void CloseSecondaryWindows();
  void FollowClientArea();
  void FitStatusBar();
  void FocusSurface();

  AppContext& context_;
  // What reading and drawing may take in one command.
  DrawingBudget budget_{DrawingBudget::kWindowBytes};
  MillimetreScale scale_;
  FormClientArea* client_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QToolBar* toolbar2_ = nullptr;
  PageBox* pageBox_ = nullptr;
  std::vector<QMenu*> topMenus_;
  QStatusBar* statusBar_ = nullptr;
  QLabel* panel1_ = nullptr;
  ElidedLabel* notice_ = nullptr;
  ViewReadout* readout_ = nullptr;
  std::unique_ptr<ReadingReport> lastReading_;
  QPointer<ReadingDetails> readingDetails_;
  ProgressPanel* progress_ = nullptr;
  ReadingPanel* readingPanel_ = nullptr;
  ElidedLabel* plotSize_ = nullptr;
  QWidget* viewport_ = nullptr;
  PlotSurface* surface_ = nullptr;
  QScrollBar* vScroll_ = nullptr;
  QScrollBar* hScroll_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  std::map<QString, QAction*> actions_;
  std::vector<QAction*> suspended_;  // the commands the preview turned off
  QPointer<OptionForm> optionForm_;
  std::unique_ptr<PlotLoader> loader_;
  std::unique_ptr<ViewCommands> viewCommands_;
  std::unique_ptr<OutputCommands> outputCommands_;
  std::unique_ptr<ExportCommands> exportCommands_;
  std::unique_ptr<HelpCommands> helpCommands_;
  std::unique_ptr<ReadingCommands> readingCommands_;
  std::unique_ptr<PenCommands> penCommands_;
  std::unique_ptr<DrawProgress> drawingProgress_;
  bool applyingView_ = false;
  bool resizedInPreview_ = false;
  bool exiting_ = false;
};

}  // namespace korvid
