#include "app/ExportCommands.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <cerrno>
#include <filesystem>

#include "app/DialogService.h"
#include "app/ErrorMessages.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/ViewCommands.h"
#include "model/RuntimeError.h"
#include "output/DrawingExport.h"
#include "output/ReplacementFile.h"
#include "reader/FindLast.h"

namespace korvid {

namespace {

// A file can only be made in a folder that is there. Without one the name itself is at
// fault, which the user is told as such (not as a file that cannot be found), with the
// folder named.
void RequireFolderOf(const QString& path) {
  const std::filesystem::path folder = std::filesystem::path(path.toStdString()).parent_path();
  std::error_code ignored;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ignored))
    throw NamedFailure(err::kBadFileNameOrNumber,
                       "保存先のフォルダがありません：" + folder.string());
}

}  // namespace

void WriteBmp(const QImage& image, const QString& path) {
  RequireFolderOf(path);
  if (image.isNull()) throw RuntimeError(err::kPictureTooLarge);
  ReplacementFile replacement(path.toStdString());
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) throw RuntimeError(err::kPictureTooLarge);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!rgb.save(&buffer, "BMP")) throw RuntimeError(err::kOutOfMemory, path.toStdString());
  replacement.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  replacement.Commit();
}

QImage ExportCommands::ExportImage() const {
  if (form_.Context().band.Visible) return form_.View().Picture2();
  const QSize size = form_.Surface()->size();
  const double ratio = form_.Surface()->devicePixelRatioF();
  if (size.width() * ratio * size.height() * ratio > kLargestImagePixels) {
    throw RuntimeError(err::kPictureTooLarge);
  }
  QImage image = form_.Surface()->RenderRegion(QRect(QPoint(0, 0), size));
  if (image.isNull()) throw RuntimeError(err::kPictureTooLarge);
  return image;
}

void ExportCommands::HideBand() {
  form_.Context().band.Hide();
  form_.Surface()->SetBand(false, {});
}

void ExportCommands::SaveImage() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("画像の保存");
  request.directory = SaveFolder;
  request.fileName = QStringLiteral("*.bmp");
  request.filters = {{QStringLiteral("BMPファイル(*.bmp)"), {QStringLiteral("*.bmp")}},
                     {QStringLiteral("すべて(*.*)"), {QStringLiteral("*")}}};
  request.filterIndex = 1;
  const QString name = context.dialogs.SaveFileName(&form_, request);
  if (name.isEmpty()) return;  // cancelled: nothing to say
  const int split = FindLast(name.toStdString(), "/");
  const std::string bytes = name.toStdString();
  SaveFolder = QString::fromStdString(bytes.substr(0, split));
  SaveName = QString::fromStdString(bytes.substr(split));
  const bool selection = context.band.Visible;
  WriteBmp(ExportImage(), SaveFolder + SaveName);
  if (selection) HideBand();
}

void ExportCommands::CopyToClipboard() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) throw RuntimeError(err::kCannotOpenClipboard);
  clipboard->clear();
  const bool selection = context.band.Visible;
  clipboard->setImage(ExportImage());
  if (selection) HideBand();
}

void ExportCommands::SaveVector() {
  AppContext& context = form_.Context();
  if (!context.HasDrawing()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("ベクター形式で保存");
  request.directory = vectorFolder_;
  request.filters = {{QStringLiteral("EMFファイル(*.emf)"), {QStringLiteral("*.emf")}},
                     {QStringLiteral("SVGファイル(*.svg)"), {QStringLiteral("*.svg")}},
                     {QStringLiteral("PDFファイル(*.pdf)"), {QStringLiteral("*.pdf")}}};
  request.filterIndex = 1;
  PageRequest page = vectorPage_;
  request.page = &page;
  const QString name = context.dialogs.SaveFileName(&form_, request);
  if (name.isEmpty()) return;
  vectorPage_ = page;
  const std::optional<ExportFormat> format = ExportFormatOf(name.toStdString());
  // A name without a known extension is written as the first kind the dialog offers.
  const QString path = format ? name : name + QStringLiteral(".emf");
  const std::string bytes = path.toStdString();
  vectorFolder_ = QString::fromStdString(bytes.substr(0, FindLast(bytes, "/")));
  RequireFolderOf(path);
  ExportRequest drawing{context.metafile.File(), format.value_or(ExportFormat::Emf), bytes};
  // The metafile is the picture itself; the other kinds have a size on paper, of the
  // selection while the band shows.
  const bool selection = context.band.Visible && drawing.format != ExportFormat::Emf;
  if (drawing.format != ExportFormat::Emf) {
    const FramePlacement placement = context.drawing.Placement(context.view.Angle());
    const FrameRect shown =
        selection ? BoxOnFrame(placement, form_.View().CapturedPart()) : DrawingOnFrame(placement);
    drawing.page = PlaceOnPage(shown, placement.scale, vectorPage_);
  }
  ExportDrawing(drawing);
  if (selection) HideBand();
}

}  // namespace korvid
