// Printing, preview, page setup, magnification and export, through the real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include "PageSizeOf.h"
#include "WindowFixture.h"
#include "app/ExportCommands.h"
#include "app/MillimetreScale.h"
#include "app/OutputCommands.h"
#include "app/PageBox.h"
#include "app/PageSetupDialog.h"
#include "app/PlotSurface.h"
#include "app/PrinterSetup.h"
#include "app/SetupForm.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  QProcess shell;
  shell.start("sh", {"-c", QString::fromStdString(command)});
  shell.waitForFinished();
  return shell.readAllStandardOutput().toStdString();
}

int PdfPages(const fs::path& pdf) {
  return std::atoi(Shell("pdfinfo " + pdf.string() + " | sed -n 's/^Pages: *//p'").c_str());
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class OutputTest : public WindowFixture {
 protected:
  OutputTest() { LoadRectangle(); }

  // The print dialog chooses PDF output on A4 into `pdf`.
  void PrintToPdf(const fs::path& pdf) {
    dialogs.onPrint = [pdf](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageOrientation(QPageLayout::Portrait);
      return true;
    };
    Trigger("PlotMenu13");
  }
};

TEST_F(OutputTest, PrintsOneSheetAtNaturalSizeAPosterWhenEnlargedOrThePrinterError) {
  Trigger("PlotMenu13");  // cancelled: nothing printed, nothing said
  EXPECT_EQ(form->Output().Printer().PrintDialogCancelled, 1);
  PrintToPdf(folder / "missing" / "plot.pdf");  // a job the printer cannot take
  EXPECT_EQ(dialogs.warnings, std::vector<QString>{"プリンターエラーです(Err=482)"});
  EXPECT_FALSE(fs::exists(folder / "missing"));
  dialogs.warnings.clear();
  if (Shell("command -v pdftoppm").empty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
  const fs::path single = folder / "single.pdf";
  PrintToPdf(single);
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_EQ(form->Output().Printer().Current().docName(), "rect.hpg") << "the job's name";
  EXPECT_EQ(PdfPages(single), 1);
  EXPECT_NE(Shell("pdfinfo " + single.string()).find("(A4)"), std::string::npos);
  Shell("pdftoppm -r 50 -png -singlefile " + single.string() + " " + (folder / "page").string());
  const QImage page(QString::fromStdString((folder / "page.png").string()));
  ASSERT_FALSE(page.isNull());
  // At 50 dpi the drawing, about 100 x 50 mm from the printable corner, leaves the lower half
  // of the sheet empty.
  int dark[2] = {0, 0};
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x)
      dark[y >= page.height() / 2] += qGray(page.pixel(x, y)) < 128;
  }
  EXPECT_TRUE(dark[0] > 300 && dark[1] == 0) << dark[0] << " above, " << dark[1] << " below";
  context->Magnification = 4;  // about 410 x 210 mm: three A4 sheets across, one down
  PrintToPdf(folder / "poster.pdf");
  EXPECT_EQ(PdfPages(folder / "poster.pdf"), 3);
}

// Printed at 40 plotter units to the millimetre times the magnification: a 60 x 30 mm
// rectangle measures 60 x 30 mm on the sheet at magnification 1 and 120 x 60 mm at 2,
// whatever the sheet and the printer's resolution.
TEST_F(OutputTest, PrintsTheDrawingAtItsTrueSizeTimesTheMagnification) {
  if (Shell("command -v pdftoppm").empty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
  Load(Fixture("true.hpg", "IN;SP1;PU0,0;PD2400,0,2400,1200,0,1200,0,0;"));
  constexpr double kDpi = 300;
  for (const auto& [magnification, resolution] : {std::pair(1.0f, 1200), {2.0f, 600}}) {
    context->Magnification = magnification;
    const fs::path pdf = folder / ("sheet" + std::to_string(resolution) + ".pdf");
    dialogs.onPrint = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setResolution(resolution);
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageOrientation(QPageLayout::Portrait);
      return true;
    };
    Trigger("PlotMenu13");
    ASSERT_EQ(PdfPages(pdf), 1) << magnification;
    const fs::path png = folder / "measured";
    Shell("pdftoppm -r 300 -png -singlefile " + pdf.string() + " " + png.string());
    const QImage sheet(QString::fromStdString(png.string() + ".png"));
    ASSERT_FALSE(sheet.isNull());
    QRect ink;
    for (int y = 0; y < sheet.height(); ++y) {
      for (int x = 0; x < sheet.width(); ++x)
        if (qGray(sheet.pixel(x, y)) < 160) ink |= QRect(x, y, 1, 1);
    }
    // From the middle of one edge line to the middle of the other, within a pixel.
    const double mmPerPixel = 25.4 / kDpi;
    EXPECT_NEAR((ink.width() - 1) * mmPerPixel, 60 * magnification, mmPerPixel) << magnification;
    EXPECT_NEAR((ink.height() - 1) * mmPerPixel, 30 * magnification, mmPerPixel) << magnification;
  }
}

// The preview pages through the sheets; the window's own commands are out of reach, their
// keys included, while the preview's buttons still act.
TEST_F(OutputTest, PreviewPagesThroughTheSheetsAndLeavesOnlyItsOwnCommands) {
  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(dialogs.saveRequests.size(), 1u) << "keys reach the window's shortcuts";
  context->Magnification = 4;
  Trigger("preview");
  OutputCommands& output = form->Output();
  EXPECT_TRUE(output.Previewing() && output.Preview().PageCount() >= 2);
  EXPECT_FALSE(form->MainToolbar()->isVisible() || form->Surface()->isVisible());
  EXPECT_TRUE(form->PreviewToolbar()->isVisible() && form->PreviewPage()->isVisible());
  EXPECT_FALSE(form->Action("Command5")->isEnabled());
  const QImage first = form->PreviewPage()->Render();
  const ViewState before = context->view;
  for (const char* keys : {"Ctrl++", "Ctrl+-", "Ctrl+0", "Ctrl+S", "Ctrl+O", "Ctrl+P", "Ctrl+C",
                           "F1", "Ctrl+Q", "Down"})
    QTest::keySequence(form.get(), QKeySequence(keys));
  EXPECT_TRUE(dialogs.saveRequests.size() == 1u && dialogs.openRequests.size() == 1u);
  EXPECT_TRUE(dialogs.openedUrls.empty() && dialogs.printDialogs == 0 && form->isVisible());
  EXPECT_TRUE(context->view.Picture3.Width == before.Picture3.Width &&
              output.Preview().Page() == 1);

  ASSERT_TRUE(form->Action("Command4")->isEnabled());
  Trigger("Command4");
  EXPECT_EQ(output.Preview().Page(), 2);
  EXPECT_TRUE(form->Action("Command5")->isEnabled());
  EXPECT_NE(form->PreviewPage()->Render(), first);
  Trigger("Command5");
  EXPECT_EQ(form->PreviewPage()->Render(), first);
  // The sheet counter, and the keys that page: PageDown, End, PageUp, Home.
  const int sheets = output.Preview().PageCount();
  const auto counter = [&output] { return output.SheetCounter()->text().trimmed(); };
  EXPECT_EQ(counter(), QStringLiteral("1 / %1 ページ").arg(sheets));
  for (const auto& [key, sheet] : {std::pair{Qt::Key_PageDown, 2},
                                   {Qt::Key_End, sheets},
                                   {Qt::Key_PageUp, sheets - 1},
                                   {Qt::Key_Home, 1}}) {
    QTest::keyClick(form->PreviewPage(), key);
    EXPECT_EQ(output.Preview().Page(), sheet) << key;
    EXPECT_EQ(counter(), QStringLiteral("%1 / %2 ページ").arg(sheet).arg(sheets));
    EXPECT_EQ(form->Action("Command4")->isEnabled(), sheet < sheets);
  }
  EXPECT_EQ(form->PreviewPage()->Render(), first);
  Trigger("Command6");
  EXPECT_EQ(dialogs.printDialogs, 1) << "the preview's own print button";
  Trigger("Command3");
  EXPECT_FALSE(output.Previewing() || form->PreviewPage()->isVisible());
  EXPECT_TRUE(form->MainToolbar()->isVisible() && form->Surface()->isVisible());
  QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.saveRequests.size(), 2u) << "back again once the preview is closed";
}

// A window resized during the preview gets the page box a preview opened at that size has,
// and keeps the sheet on show.
TEST_F(OutputTest, PreviewFollowsTheWindowsSize) {
  context->Magnification = 4;
  Trigger("preview");
  OutputCommands& output = form->Output();
  Trigger("Command4");
  const QRect small = form->PreviewPage()->geometry();
  form->resize(form->width() + 300, form->height() + 200);
  QApplication::processEvents();
  const QRect resized = form->PreviewPage()->geometry();
  EXPECT_NE(resized, small);
  EXPECT_EQ(output.Preview().Page(), 2);
  Trigger("Command3");
  Trigger("preview");
  EXPECT_EQ(form->PreviewPage()->geometry(), resized);
  Trigger("Command3");
}

// Output to a file is a choice of its own in page set-up, kept with its name; printing
// uses that name, or asks for one when page set-up gave none. Whatever page set-up
// confirms, it says its options do not reach the print. Without a print server the
// window starts on the file; with a default printer (cups-pdf's queue is called "PDF") on
// that printer, and the file is still chosen by what it is.
TEST_F(OutputTest, PageSetupChoosesFileOutputItself) {
  Trigger("plotmenu34");  // cancelled
  EXPECT_TRUE(dialogs.messages.empty());
  const QString kPdfMessage =
      "ページ設定したオプションは、印刷出力に反映されませんので\r\n"
      "印刷出力時にオプションを再設定して下さい";
  for (const QString& defaultPrinter : {QString(), QString("PDF")}) {
    SCOPED_TRACE(defaultPrinter.toStdString());
    dialogs.defaultPrinter = defaultPrinter;
    dialogs.printers = defaultPrinter.isEmpty() ? QStringList() : QStringList{"Office", "PDF"};
    form.reset();  // a window started on this machine
    form = std::make_unique<PictForm>(*context);
    form->show();
    Start();
    LoadRectangle();
    QString inUse = defaultPrinter;
    EXPECT_EQ(form->Output().Printer().PrintsToFile(), defaultPrinter.isEmpty());
    EXPECT_EQ(form->Output().Printer().PrinterName(), defaultPrinter);
    dialogs.messages.clear();
    // {typed in page set-up, answered when printing asks}; the name printed to is the first.
    for (const auto& [setupName, askedName] :
         {std::pair{Path("named.pdf"), QString()}, std::pair{QString(), Path("asked.pdf")}}) {
      bool started = false;
      dialogs.onDialog = [&](QDialog& shown) {
        auto& dialog = dynamic_cast<PageSetupDialog&>(shown);
        started = dialog.PrinterChoice()->currentIndex() ==
                  (inUse.isEmpty() ? dialog.FileChoice() : dialog.PrinterChoice()->findData(inUse));
        EXPECT_EQ(dialog.FileName()->isEnabled(), inUse.isEmpty());
        dialog.PrinterChoice()->setCurrentIndex(dialog.FileChoice());
        dialog.FileName()->setText(setupName);
        dialog.Confirm();
      };
      Trigger("plotmenu34");
      dialogs.onDialog = {};
      EXPECT_TRUE(started) << "the page set-up starts on the printer in use";
      ASSERT_TRUE(form->Output().Printer().PrintsToFile());
      QString shown = "none";
      dialogs.onPrint = [&shown](QPrinter& p) {
        shown = p.outputFormat() == QPrinter::PdfFormat ? p.outputFileName() : "a printer";
        return true;
      };
      dialogs.saveAnswers = {askedName};
      Trigger("PlotMenu13");
      EXPECT_EQ(shown, setupName);
      EXPECT_TRUE(fs::exists((setupName.isEmpty() ? askedName : setupName).toStdString()));
      fs::remove_all(folder / "named.pdf");
      fs::remove_all(folder / "asked.pdf");
      // Back to the printer for the next round: the queue is asked whether it takes jobs.
      if (defaultPrinter.isEmpty()) continue;
      dialogs.onDialog = [&](QDialog& shown) {
        auto& dialog = dynamic_cast<PageSetupDialog&>(shown);
        EXPECT_EQ(dialog.PrinterChoice()->currentIndex(), dialog.FileChoice());
        dialog.PrinterChoice()->setCurrentIndex(dialog.PrinterChoice()->findData("Office"));
        dialog.Confirm();
      };
      Trigger("plotmenu34");
      dialogs.onDialog = {};
      PrinterSetup& printer = form->Output().Printer();
      EXPECT_TRUE(!printer.PrintsToFile() && printer.PrinterName() == "Office");
      dialogs.takesJobs = false;
      EXPECT_THROW(printer.CheckTakesJobs(), RuntimeError);
      dialogs.takesJobs = true;
      EXPECT_NO_THROW(printer.CheckTakesJobs());
      inUse = "Office";
    }
    ASSERT_FALSE(dialogs.saveRequests.empty());
    EXPECT_EQ(dialogs.saveRequests.back().title, "PDFファイルに出力");
    EXPECT_EQ(dialogs.messages,
              std::vector<QString>(defaultPrinter.isEmpty() ? 2 : 4, kPdfMessage));
    EXPECT_TRUE(dialogs.warnings.empty());
    dialogs.saveRequests.clear();
  }
}

// The dialog shows the magnification in force; a wrong entry keeps it open, one beyond what
// the drawing allows is reduced.
TEST_F(OutputTest, MagnificationDialogTakesReducesAndRefuses) {
  for (const auto& [shown, typed, taken, refused] : {std::tuple{"1", "2.5", 2.5f, false},
                                                     {"2.5", "-1", 2.5f, true},
                                                     {"2.5", "0", 2.5f, true},
                                                     {"2.5", "100", 43.0f, false}}) {
    QApplication::processEvents();
    Trigger("PlotMenu33");
    SetupForm* setup = form->Output().OpenSetupForm();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->Text1()->text(), shown);
    EXPECT_EQ(setup->findChild<QPushButton*>("Command2")->text(), "キャンセル");
    EXPECT_EQ(setup->Text1()->accessibleName(), "倍率");
    setup->Text1()->setText(typed);
    setup->ClickOk();
    EXPECT_EQ(setup->isVisible(), refused) << typed;
    EXPECT_EQ(context->Magnification, taken);
  }
  EXPECT_EQ(dialogs.messages,
            std::vector<QString>({"数値を入力してください", "0より大きい数値を入力してください",
                                  "倍率が限界を超えてますので、 43倍で処理します"}));
}

// The image is the surface as shown, a 24-bit BMP under the very name given; a missing
// folder is reported as such, and the clipboard gets the same image.
TEST_F(OutputTest, SavesTheSurfaceAsA24BitBmpAndCopiesIt) {
  const fs::path bmp = folder / "out" / "plot";  // no extension: the name is kept
  dialogs.saveAnswers = {Path("out/plot")};
  Trigger("PlotMenu24");
  EXPECT_EQ(
      dialogs.warnings,
      std::vector<QString>{"ファイル名または番号が不正です。\r\n保存先のフォルダがありません：" +
                           QString::fromStdString(bmp.parent_path().string())});
  Trigger("PlotMenu24");  // cancelled: nothing said
  EXPECT_EQ(dialogs.warnings.size(), 1u);
  fs::create_directories(bmp.parent_path());
  dialogs.saveAnswers = {Path("out/plot")};
  Trigger("PlotMenu24");
  EXPECT_EQ(dialogs.warnings.size(), 1u);
  const FileDialogRequest& save = dialogs.saveRequests[0];
  EXPECT_EQ(save.title + save.fileName + save.filters[0].caption,
            "画像の保存*.bmpBMPファイル(*.bmp)");
  const QByteArray bytes = ReadBytes(Path("out/plot"));
  EXPECT_TRUE(bytes.size() > 54 && bytes.startsWith("BM") && bytes[28] == 24) << "24-bit BMP";
  const QImage saved = QImage(Path("out/plot"), "BMP");
  const QImage shown = form->Export().ExportImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(saved.size(), form->Surface()->size());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);
  EXPECT_EQ(form->Export().SaveFolder + "|" + form->Export().SaveName, Path("out/") + "|plot");
  EXPECT_EQ(std::distance(fs::directory_iterator(bmp.parent_path()), {}), 1) << "no leftovers";
  Trigger("PlotMenu14");
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), shown);
}

// The vector kinds follow the name's extension: the metafile with its own frame, SVG and PDF
// at their true size (the 4000 x 2000 rectangle is 100 x 50 mm, with its hairlines' room),
// or on the paper and at the scale of the dialog's row, kept for the next save; with the
// band showing, SVG and PDF hold the captured selection at its true size, and the band goes.
TEST_F(OutputTest, SavesTheDrawingAsVectorFilesAtItsTrueSize) {
  const auto sizeOf = [this](const char* name) {
    const QByteArray bytes = ReadBytes(Path(name));
    return PageSizeOf(bytes.toStdString());
  };
  for (const auto& [name, kind, width, height] : {std::tuple{"plot.emf", " EMF", 327.67, 167.83},
                                                  {"plot.svg", "<svg", 100.25, 50.25},
                                                  {"plot.pdf", "%PDF-", 100.25, 50.25}}) {
    dialogs.saveAnswers = {Path(name)};
    Trigger("VectorSave");
    EXPECT_TRUE(ReadBytes(Path(name)).left(400).contains(kind)) << name;
    EXPECT_NEAR(sizeOf(name).first, width, 0.01) << name;
    EXPECT_NEAR(sizeOf(name).second, height, 0.01) << name;
  }
  // Fitted to A4, which turns to hold the wide drawing.
  dialogs.onSave = [](const FileDialogRequest& request) {
    ASSERT_NE(request.page, nullptr);
    *request.page = {std::nullopt, PaperNamed("A4"), PaperTurn::Best, true};
  };
  dialogs.saveAnswers = {Path("a4.pdf")};
  Trigger("VectorSave");
  EXPECT_NEAR(sizeOf("a4.pdf").first, 297, 0.01);
  EXPECT_NEAR(sizeOf("a4.pdf").second, 210, 0.01);
  dialogs.onSave = [](const FileDialogRequest& request) {
    EXPECT_TRUE(request.page->fit && request.page->paper->name == "A4") << "as chosen last";
    *request.page = {0.5, std::nullopt};
  };
  dialogs.saveAnswers = {Path("half.svg")};
  Trigger("VectorSave");
  EXPECT_NEAR(sizeOf("half.svg").first, 50.125, 0.01);
  dialogs.onSave = [](const FileDialogRequest& request) { *request.page = {}; };

  // A selection, as the surface shows it, is so many plotter units: the surface's width is
  // the frame's 4100 units.
  ViewCommands& view = form->View();
  view.MousePressed(2, QPointF(10, 10));
  view.MouseMoved(2, QPointF(130, 70));
  view.MouseReleased(2, QPointF(130, 70));
  const BoxMm& band = context->band.Shape;
  const MillimetreScale& scale = form->Scale();
  const QSize surface = form->Surface()->size();
  const double wantWidth = scale.Px(band.Width) * 4100.0 / surface.width() / 40;
  const double wantHeight = scale.Px(band.Height) * 2100.0 / surface.height() / 40;
  dialogs.saveAnswers = {Path("whole.emf")};
  Trigger("VectorSave");
  EXPECT_TRUE(context->band.Visible) << "the metafile is the picture itself; the band stays";
  dialogs.saveAnswers = {Path("part.svg")};
  Trigger("VectorSave");
  EXPECT_NEAR(sizeOf("part.svg").first, wantWidth, 0.01);
  EXPECT_NEAR(sizeOf("part.svg").second, wantHeight, 0.01);
  EXPECT_LT(ReadBytes(Path("part.svg")).size(), ReadBytes(Path("plot.svg")).size());
  EXPECT_FALSE(context->band.Visible) << "the band goes after an export";
  EXPECT_TRUE(dialogs.warnings.empty());
}

}  // namespace
}  // namespace korvid::testing
