#include "app/OutputCommands.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/DialogService.h"
#include "app/PageBox.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/PosterPrinter.h"
#include "app/SetupForm.h"
#include "model/RuntimeError.h"
#include "output/MagnificationEntry.h"
#include "output/PosterLayout.h"
#include "render/PaintShare.h"

namespace korvid {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kHimetricPerInch = 2540;

QSizeF PictureMillimetres(const MetafilePicture& picture) {
  return QSizeF(picture.Frame().width() / 100.0, picture.Frame().height() / 100.0);
}

}  // namespace

OutputCommands::OutputCommands(PictForm& form) : form_(form), printer_(form.Context().dialogs) {}

OutputCommands::~OutputCommands() = default;

void OutputCommands::Print() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  printer_.ShowPrinterDialog(&form_, 0);
  if (printer_.PrintDialogCancelled == 1) return;
  if (printer_.PrintsToFile() && printer_.FileName().isEmpty() && !AskPdfFileName()) return;
  printer_.CheckTakesJobs();
  QPrinter& printer = printer_.Current();
  const PageMetrics page = MeasurePage(printer_.Caps());
  const MetafilePicture picture = MetafilePicture::LoadFile(context.metafile.File());
  const QSizeF pictureMm = PictureMillimetres(picture);
  const PosterLayout layout = LayOutPoster(page, context.ShownExtents(), context.Magnification,
                                           pictureMm.width(), pictureMm.height());

  // The job is known in the queue by the file it prints.
  printer.setDocName(QString::fromStdString(context.model.PlotFileName));
  PrintPoster(printer, picture, pictureMm.width(), pictureMm.height(), layout);
}

// Output to a file that no dialog has named yet: the name is asked for here.
bool OutputCommands::AskPdfFileName() {
  FileDialogRequest request;
  request.title = QStringLiteral("PDFファイルに出力");
  request.fileName = QStringLiteral("*.pdf");
  request.filters = {{QStringLiteral("PDFファイル(*.pdf)"), {QStringLiteral("*.pdf")}}};
  const QString name = form_.Context().dialogs.SaveFileName(&form_, request);
  if (name.isEmpty()) return false;
  printer_.SetFileName(name);
  return true;
}

void OutputCommands::PageSetup() {
  AppContext& context = form_.Context();
  if (!context.FileLoaded()) return;
  // Page set-up ends silently on any failure: whatever was set so far stays.
  try {
    printer_.ShowPrinterDialog(&form_, PrinterSetup::kPrintSetup);
    if (printer_.PrintDialogCancelled == 1) return;
    context.dialogs.ShowMessage(
        &form_, QStringLiteral("ページ設定したオプションは、印刷出力に反映されませんので"
                               "\r\n印刷出力時にオプションを再設定して下さい"));
  } catch (const std::exception&) {
  }
}

SetupForm* OutputCommands::OpenSetupForm() const {
  return setupForm_.data();
}

void OutputCommands::ShowMagnification() {
  AppContext& context = form_.Context();
  if (!context.FileLoaded()) return;
  if (!setupForm_) setupForm_ = new SetupForm(form_);
  setupForm_->Text1()->setText(QString::fromStdString(MagnificationText(context.Magnification)));
  setupForm_->show();
  setupForm_->raise();
  setupForm_->activateWindow();
}

double OutputCommands::TwipsPerPixel() const {
  return kTwipsPerInch / form_.logicalDpiX();
}

void OutputCommands::EnterPreview() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  form_.Surface()->hide();
  previewPicture_ = MetafilePicture();
  previewPicture_ = MetafilePicture::LoadFile(context.metafile.File());
  LayOutPreview();
  PageBox* pageBox = form_.PreviewPage();
  pageBox->Clear();
  pageBox->show();
  pageBox->raise();
  ShowSheet();

  form_.SetMenusEnabled(false);
  form_.SetMainCommandsEnabled(false);
  form_.MainToolbar()->hide();
  form_.PreviewToolbar()->show();
  form_.PreviewToolbar()->raise();
  // Any bar that was shown for an overflow is hidden for the preview.
  ViewState& view = context.view;
  if (view.Picture3.Height - view.Picture1.Height + form_.Metrics().HScrollHeight > 0) {
    view.VScroll1.Visible = false;
  }
  if (view.Picture3.Width - view.Picture1.Width + form_.Metrics().VScrollWidth > 0) {
    view.HScroll1.Visible = false;
  }
  form_.ApplyView();
  form_.Surface()->hide();
  form_.SetPageButtons(preview_.PreviousEnabled(), preview_.NextEnabled());
  previewing_ = true;
  pageBox->setFocus(Qt::OtherFocusReason);
}

// The page box fits the window: built on entering the preview and again on every resize.
void OutputCommands::LayOutPreview() {
  const PageMetrics page = MeasurePage(printer_.Caps());
  const double twipsPerHimetric = kTwipsPerInch / kHimetricPerInch;
  const double twipsPerPixel = TwipsPerPixel();
  const PreviewWindow window{form_.frameGeometry().width() * twipsPerPixel,
                             form_.frameGeometry().height() * twipsPerPixel,
                             form_.PreviewToolbar()->sizeHint().height() * twipsPerPixel,
                             form_.Status()->height() * twipsPerPixel};
  AppContext& context = form_.Context();
  preview_.Build(page, context.ShownExtents(), context.Magnification,
                 previewPicture_.Frame().width() * twipsPerHimetric,
                 previewPicture_.Frame().height() * twipsPerHimetric, window);

  const RectD box = preview_.PageBox();
  form_.PreviewPage()->setGeometry(QRectF(box.left / twipsPerPixel, box.top / twipsPerPixel,
                                          box.width / twipsPerPixel, box.height / twipsPerPixel)
                                       .toRect());
}

// A resized window keeps the sheet on show.
void OutputCommands::RelayoutPreview() {
  if (!previewing_) return;
  const int sheet = preview_.Page();
  LayOutPreview();
  preview_.GoTo(std::min<int>(sheet, preview_.PageCount()));
  ShowSheet();
  form_.SetPageButtons(preview_.PreviousEnabled(), preview_.NextEnabled());
}

void OutputCommands::ShowSheet() {
  const double twipsPerHimetric = kTwipsPerInch / kHimetricPerInch;
  const QSizeF pictureTwips(previewPicture_.Frame().width() * twipsPerHimetric,
                            previewPicture_.Frame().height() * twipsPerHimetric);
  const RectD source = preview_.Source(preview_.Page());
  const RectD to = preview_.Destination();
  const double twipsPerPixel = TwipsPerPixel();
  if (!sheetCounter_) {
    sheetCounter_ = new QLabel(form_.PreviewToolbar());
    sheetCounter_->setObjectName("SheetCounter");
    form_.PreviewToolbar()->addWidget(sheetCounter_);
    form_.PreviewToolbar()->adjustSize();
  }
  const QString counter =
      QStringLiteral("　%1 / %2 ページ").arg(preview_.Page()).arg(preview_.PageCount());
  sheetCounter_->setText(counter);
  sheetCounter_->setAccessibleName(counter.trimmed());
  form_.PreviewPage()->ShowSheet(previewPicture_, pictureTwips,
                                 QRectF(source.left, source.top, source.width, source.height),
                                 QRectF(to.left / twipsPerPixel, to.top / twipsPerPixel,
                                        to.width / twipsPerPixel, to.height / twipsPerPixel));
}

void OutputCommands::NextPage() {
  if (preview_.Next()) ShowSheet();
  form_.SetPageButtons(preview_.PreviousEnabled(), preview_.NextEnabled());
}

void OutputCommands::PreviousPage() {
  if (preview_.Previous()) ShowSheet();
  form_.SetPageButtons(preview_.PreviousEnabled(), preview_.NextEnabled());
}

void OutputCommands::GoToSheet(int sheet) {
  if (preview_.GoTo(sheet)) ShowSheet();
  form_.SetPageButtons(preview_.PreviousEnabled(), preview_.NextEnabled());
}

bool OutputCommands::PreviewKey(int key) {
  if (!previewing_) return false;
  switch (key) {
    case Qt::Key_PageUp:
      GoToSheet(preview_.Page() - 1);
      return true;
    case Qt::Key_PageDown:
      GoToSheet(preview_.Page() + 1);
      return true;
    case Qt::Key_Home:
      GoToSheet(1);
      return true;
    case Qt::Key_End:
      GoToSheet(preview_.PageCount());
      return true;
    default:
      return false;
  }
}

void OutputCommands::ClosePreview() {
  ViewState& view = form_.Context().view;
  form_.PreviewPage()->hide();
  form_.Surface()->show();
  form_.MainToolbar()->show();
  form_.PreviewToolbar()->hide();
  if (view.Picture3.Height - view.Picture1.Height >= 0.1) view.VScroll1.Visible = true;
  if (view.Picture3.Width - view.Picture1.Width >= 0.1) view.HScroll1.Visible = true;
  form_.ApplyView();
  form_.SetMenusEnabled(true);
  form_.SetMainCommandsEnabled(true);
  previewing_ = false;
  form_.PreviewClosed();
}

}  // namespace korvid
