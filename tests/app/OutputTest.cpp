// Printing, preview, page setup, magnification and export, through the real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QToolBar>

#include "WindowFixture.h"
#include "app/ExportCommands.h"
#include "app/OutputCommands.h"
#include "app/PageBox.h"
#include "app/PageSetupDialog.h"
#include "app/PlotSurface.h"
#include "app/PrinterSetup.h"
#include "app/SetupForm.h"

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
  Trigger("Command6");
  EXPECT_EQ(dialogs.printDialogs, 1) << "the preview's own print button";
  Trigger("Command3");
  EXPECT_FALSE(output.Previewing() || form->PreviewPage()->isVisible());
  EXPECT_TRUE(form->MainToolbar()->isVisible() && form->Surface()->isVisible());
  QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.saveRequests.size(), 2u) << "back again once the preview is closed";
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
  for (const auto& [shown, typed, taken] :
       {std::tuple{"1", "2.5", 2.5f}, {"2.5", "-1", 2.5f}, {"2.5", "100", 43.0f}}) {
    QApplication::processEvents();
    Trigger("PlotMenu33");
    SetupForm* setup = form->Output().OpenSetupForm();
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->Text1()->text(), shown);
    setup->Text1()->setText(typed);
    setup->ClickOk();
    EXPECT_EQ(setup->isVisible(), std::string(typed) == "-1") << typed;
    EXPECT_EQ(context->Magnification, taken);
  }
  EXPECT_EQ(dialogs.messages,
            std::vector<QString>(
                {"数値を入力してください", "倍率が限界を超えてますので、 43倍で処理します"}));
}

// The image is the surface as shown, a 24-bit BMP under the very name given; a missing
// folder is reported as such, and the clipboard gets the same image.
TEST_F(OutputTest, SavesTheSurfaceAsA24BitBmpAndCopiesIt) {
  const fs::path bmp = folder / "out" / "plot";  // no extension: the name is kept
  dialogs.saveAnswers = {Path("out/plot")};
  Trigger("PlotMenu24");
  EXPECT_EQ(dialogs.warnings, std::vector<QString>{"ファイル名または番号が不正です。\r\n"});
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

// The vector kinds follow the name's extension.
TEST_F(OutputTest, SavesTheDrawingAsVectorFiles) {
  for (const auto& [name, kind] :
       {std::pair{"plot.emf", " EMF"}, {"plot.svg", "<svg"}, {"plot.pdf", "%PDF-"}}) {
    dialogs.saveAnswers = {Path(name)};
    Trigger("VectorSave");
    EXPECT_TRUE(ReadBytes(Path(name)).left(400).contains(kind)) << name;
  }
  EXPECT_TRUE(dialogs.warnings.empty());
}

}  // namespace
}  // namespace korvid::testing
