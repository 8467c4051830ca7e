// Printing, preview, page setup, magnification and export, through the real window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "WindowFixture.h"
#include "app/ColorForm.h"
#include "app/ExportCommands.h"
#include "app/OutputCommands.h"
#include "app/PageBox.h"
#include "app/PageSetupDialog.h"
#include "app/PictForm.h"
#include "app/PlotSurface.h"
#include "app/SetupForm.h"
#include "app/ViewCommands.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
      output += buffer;
    ::pclose(pipe);
  }
  return output;
}

int PdfPages(const std::string& pdfinfo) {
  const std::size_t at = pdfinfo.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(pdfinfo.substr(at + 6));
}

bool HaveTool(const char* tool) {
  return !Shell(std::string("command -v ") + tool + " 2>/dev/null").empty();
}

class OutputTest : public WindowFixture {
 protected:
  OutputTest() { Start(); }

  // The print dialog chooses PDF output on A4 into `pdf`.
  void PrintToPdf(const fs::path& pdf) {
    dialogs.onPrintDialog = [pdf](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf.string()));
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageOrientation(QPageLayout::Portrait);
      return true;
    };
    form->Action("PlotMenu13")->trigger();
  }
};

TEST_F(OutputTest, NothingHappensWithoutAFile) {
  for (const char* name : {"PlotMenu13", "preview", "plotmenu34", "PlotMenu33", "PlotMenu24",
                           "Button6", "VectorSave"}) {
    form->Action(name)->trigger();
  }
  EXPECT_EQ(dialogs.printDialogs + dialogs.pageSetupDialogs, 0);
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_TRUE(dialogs.warnings.empty());
  EXPECT_FALSE(form->Output().Previewing());
}

TEST_F(OutputTest, CancelledPrintDialogPrintsNothing) {
  LoadRectangle();
  form->Action("PlotMenu13")->trigger();
  EXPECT_EQ(dialogs.printDialogs, 1);
  EXPECT_EQ(form->Output().Printer().PrintDialogCancelled, 1);
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(OutputTest, PrintsOneSheetAtNaturalSizeAndAPosterWhenEnlarged) {
  if (!HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
  LoadRectangle();
  const fs::path single = folder / "single.pdf";
  PrintToPdf(single);
  ASSERT_TRUE(dialogs.warnings.empty()) << dialogs.warnings.front().toStdString();
  const std::string info = Shell("pdfinfo " + single.string());
  EXPECT_EQ(PdfPages(info), 1) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

  context->Magnification = 4;  // about 410 x 210 mm: three A4 sheets across, one down
  const fs::path poster = folder / "poster.pdf";
  PrintToPdf(poster);
  EXPECT_EQ(PdfPages(Shell("pdfinfo " + poster.string())), 3);
}

TEST_F(OutputTest, PrintedTileHoldsTheDrawingWhereItBelongs) {
  if (!HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  LoadRectangle();
  const fs::path pdf = folder / "tile.pdf";
  PrintToPdf(pdf);
  Shell("pdftoppm -r 50 -png -singlefile " + pdf.string() + " " + (folder / "page").string());
  const QImage page(QString::fromStdString((folder / "page.png").string()));
  ASSERT_FALSE(page.isNull());
  // At 50 dpi a millimetre is about 2 pixels. The drawing starts at the destination's
  // corner (the printable area's corner plus the unprintable offset again) and spans
  // about 100 x 50 mm; the lower half of the sheet stays empty.
  int darkTop = 0;
  int darkBottom = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) < 128) ++(y < page.height() / 2 ? darkTop : darkBottom);
    }
  }
  EXPECT_GT(darkTop, 300);
  EXPECT_EQ(darkBottom, 0);
}

TEST_F(OutputTest, PreviewPagesThroughTheSheets) {
  LoadRectangle();
  context->Magnification = 4;
  form->Action("preview")->trigger();
  ASSERT_TRUE(dialogs.warnings.empty());
  OutputCommands& output = form->Output();
  EXPECT_TRUE(output.Previewing());
  EXPECT_GE(output.Preview().PageCount(), 2);
  EXPECT_FALSE(form->MainToolbar()->isVisible());
  EXPECT_TRUE(form->PreviewToolbar()->isVisible());
  EXPECT_TRUE(form->PreviewPage()->isVisible());
  EXPECT_FALSE(form->Surface()->isVisible());
  EXPECT_FALSE(form->Action("Command5")->isEnabled());
  EXPECT_TRUE(form->Action("Command4")->isEnabled());
  const QImage first = form->PreviewPage()->Render();
  form->Action("Command4")->trigger();
  EXPECT_EQ(output.Preview().Page(), 2);
  EXPECT_TRUE(form->Action("Command5")->isEnabled());
  EXPECT_NE(form->PreviewPage()->Render(), first);
  form->Action("Command5")->trigger();
  EXPECT_EQ(form->PreviewPage()->Render(), first);
  form->Action("Command3")->trigger();
  EXPECT_FALSE(output.Previewing());
  EXPECT_TRUE(form->MainToolbar()->isVisible());
  EXPECT_TRUE(form->Surface()->isVisible());
  EXPECT_FALSE(form->PreviewPage()->isVisible());
}

// In preview the window's own commands are out of reach, their keys included; the
// preview's buttons still act.
TEST_F(OutputTest, PreviewLeavesOnlyItsOwnCommands) {
  LoadRectangle();
  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(dialogs.saveRequests.size(), 1u) << "keys reach the window's shortcuts";
  form->Action("preview")->trigger();
  const ViewState before = context->view;
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_Plus, Qt::ControlModifier}, {Qt::Key_Minus, Qt::ControlModifier},
      {Qt::Key_0, Qt::ControlModifier},    {Qt::Key_S, Qt::ControlModifier},
      {Qt::Key_O, Qt::ControlModifier},    {Qt::Key_P, Qt::ControlModifier},
      {Qt::Key_C, Qt::ControlModifier},    {Qt::Key_F1, Qt::NoModifier},
      {Qt::Key_Q, Qt::ControlModifier},    {Qt::Key_Down, Qt::NoModifier}};
  for (const auto& [key, modifiers] : keys)
    QTest::keyClick(form.get(), key, modifiers);
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_TRUE(dialogs.openRequests.size() == 1u && dialogs.openedUrls.empty());
  EXPECT_EQ(dialogs.printDialogs, 0);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(context->view.Picture3.Width, before.Picture3.Width);
  EXPECT_FALSE(form->Surface()->isVisible());
  form->Action("Command6")->trigger();
  EXPECT_EQ(dialogs.printDialogs, 1) << "the preview's own print button";
  form->Action("Command3")->trigger();
  QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.saveRequests.size(), 2u) << "back again once the preview is closed";
}

// A job the printer cannot take is the printer error, and nothing is written.
TEST_F(OutputTest, FailedPrintIsAPrinterError) {
  LoadRectangle();
  const fs::path pdf = folder / "missing" / "plot.pdf";
  PrintToPdf(pdf);
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0], "プリンターエラーです(Err=482)");
  EXPECT_FALSE(fs::exists(pdf));
}

// Output to a file is a choice of its own in page set-up, kept with its name; printing
// uses that name, or asks for one when page set-up gave none.
TEST_F(OutputTest, PageSetupChoosesFileOutputItself) {
  LoadRectangle();
  // {typed in page set-up, answered when printing asks}; the name printed to is the first
  // one given.
  const QString named = QString::fromStdString((folder / "named.pdf").string());
  const QString asked = QString::fromStdString((folder / "asked.pdf").string());
  for (const auto& [setupName, askedName] :
       {std::pair{named, QString()}, std::pair{QString(), asked}}) {
    dialogs.onPageSetup = [&](QPrinter& printer) {
      PageSetupDialog dialog(printer);
      // It starts on the file choice: the current printer writes a file.
      EXPECT_EQ(dialog.PrinterChoice()->currentIndex(), dialog.FileChoice());
      dialog.FileName()->setText(setupName);
      dialog.Confirm();
      return true;
    };
    form->Action("plotmenu34")->trigger();
    EXPECT_TRUE(form->Output().Printer().PrintsToFile());
    QString shown = "none";
    dialogs.onPrintDialog = [&shown](QPrinter& p) {
      shown = p.outputFormat() == QPrinter::PdfFormat ? p.outputFileName() : "a printer";
      return true;
    };
    dialogs.saveAnswers = {askedName};
    form->Action("PlotMenu13")->trigger();
    EXPECT_EQ(shown, setupName);
    EXPECT_TRUE(fs::exists((setupName.isEmpty() ? askedName : setupName).toStdString()));
  }
  EXPECT_EQ(dialogs.saveRequests.back().title, "PDFファイルに出力");
  EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(OutputTest, PageSetupSaysItsOptionsDoNotReachThePrint) {
  LoadRectangle();
  form->Action("plotmenu34")->trigger();  // cancelled
  EXPECT_TRUE(dialogs.messages.empty());
  dialogs.onPageSetup = [](QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A3));
    return true;
  };
  form->Action("plotmenu34")->trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0],
            "ページ設定したオプションは、印刷出力に反映されませんので\r\n"
            "印刷出力時にオプションを再設定して下さい");
  EXPECT_EQ(form->Output().Printer().Current().pageLayout().pageSize().id(), QPageSize::A3);
}

TEST_F(OutputTest, MagnificationDialogTakesReducesAndRefuses) {
  LoadRectangle();
  form->Action("PlotMenu33")->trigger();
  SetupForm* setup = form->Output().OpenSetupForm();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(setup->Text1()->text(), "1");
  setup->Text1()->setText("2.5");
  setup->ClickOk();
  EXPECT_EQ(context->Magnification, 2.5f);
  QApplication::processEvents();
  form->Action("PlotMenu33")->trigger();
  setup = form->Output().OpenSetupForm();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(setup->Text1()->text(), "2.5");
  setup->Text1()->setText("-1");
  setup->ClickOk();
  EXPECT_EQ(dialogs.messages.back(), "数値を入力してください");
  EXPECT_TRUE(setup->isVisible());
  setup->Text1()->setText("100");  // 100 m wide: far beyond the largest drawing
  setup->ClickOk();
  EXPECT_EQ(dialogs.messages.back(), "倍率が限界を超えてますので、 43倍で処理します");
  EXPECT_EQ(context->Magnification, 43);
}

QByteArray ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return QByteArray::fromStdString(bytes.str());
}

TEST_F(OutputTest, SavesTheSurfaceAsA24BitBmp) {
  LoadRectangle();
  const fs::path bmp = folder / "out" / "plot";  // no extension: the name is kept
  fs::create_directories(bmp.parent_path());
  dialogs.saveAnswers.push_back(QString::fromStdString(bmp.string()));
  form->Action("PlotMenu24")->trigger();
  ASSERT_TRUE(dialogs.warnings.empty()) << dialogs.warnings.front().toStdString();
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].title, "画像の保存");
  EXPECT_EQ(dialogs.saveRequests[0].fileName, "*.bmp");
  EXPECT_EQ(dialogs.saveRequests[0].filters[0].caption, "BMPファイル(*.bmp)");
  const QByteArray bytes = ReadBytes(bmp);
  ASSERT_GT(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), "BM");
  EXPECT_EQ(static_cast<int>(bytes[28]), 24) << "bits per pixel";
  const QImage saved(QString::fromStdString(bmp.string()), "BMP");
  EXPECT_EQ(saved.size(), form->Surface()->size());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            form->Export().ExportImage().convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(form->Export().SaveFolder.toStdString(), bmp.parent_path().string() + "/");
  EXPECT_EQ(form->Export().SaveName, "plot");
  std::vector<std::string> leftovers;
  for (const auto& entry : fs::directory_iterator(bmp.parent_path())) {
    leftovers.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(leftovers, std::vector<std::string>{"plot"});
}

TEST_F(OutputTest, SelectionIsExportedOnceAndSurvivesAPreview) {
  LoadRectangle();
  form->View().MousePressed(2, QPointF(5, 5));
  form->View().MouseMoved(2, QPointF(60, 40));
  form->View().MouseReleased(2, QPointF(60, 40));
  const QImage selection = form->View().Picture2();
  ASSERT_FALSE(selection.isNull());
  form->Action("preview")->trigger();
  form->Action("Command3")->trigger();
  const fs::path bmp = folder / "selection.bmp";
  dialogs.saveAnswers.push_back(QString::fromStdString(bmp.string()));
  form->Action("Button3")->trigger();
  const QImage saved(QString::fromStdString(bmp.string()), "BMP");
  EXPECT_EQ(saved.size(), selection.size());
  EXPECT_FALSE(context->band.Visible) << "the band goes after an export";
  form->Action("Button6")->trigger();  // the next export takes the whole surface
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), form->Surface()->size());
}

TEST_F(OutputTest, FailedSaveIsReportedAndKeepsTheOldFile) {
  LoadRectangle();
  dialogs.saveAnswers.push_back(QString::fromStdString((folder / "missing" / "x.bmp").string()));
  form->Action("PlotMenu24")->trigger();
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0], "ファイル名または番号が不正です。\r\n") << "the folder is missing";
  form->Action("PlotMenu24")->trigger();  // cancelled: nothing said
  EXPECT_EQ(dialogs.warnings.size(), 1u);
}

TEST_F(OutputTest, ClipboardGetsTheDisplayedImage) {
  LoadRectangle();
  form->Action("PlotMenu14")->trigger();
  ASSERT_TRUE(dialogs.warnings.empty());
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            form->Export().ExportImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(OutputTest, SavesTheDrawingAsVectorFiles) {
  LoadRectangle();
  for (const char* name : {"plot.emf", "plot.svg", "plot.pdf"}) {
    dialogs.saveAnswers.push_back(QString::fromStdString((folder / name).string()));
    form->Action("VectorSave")->trigger();
    EXPECT_GT(fs::file_size(folder / name), 200u) << name;
  }
  EXPECT_EQ(ReadBytes(folder / "plot.pdf").left(4), "%PDF");
  EXPECT_EQ(ReadBytes(folder / "plot.emf").mid(40, 4), " EMF");
  EXPECT_TRUE(dialogs.warnings.empty());
}

}  // namespace
}  // namespace korvid::testing
