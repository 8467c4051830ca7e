// The page row of the drawing's save dialog: what each choice asks for, and the row in
// Qt's own save dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "app/DialogService.h"
#include "app/PageChoiceRow.h"

namespace korvid {
namespace {

struct RowCase {
  const char* scale;  // the caption chosen
  const char* paper;
  const char* turn;
  std::optional<double> wantScale;
  const char* wantPaper;  // "" for none
  PaperTurn wantTurn;
  bool wantFit;
};

void Choose(QComboBox* box, const char* caption) {
  const int index = box->findText(QString::fromUtf8(caption));
  ASSERT_GE(index, 0) << caption;
  box->setCurrentIndex(index);
}

TEST(PageChoiceRow, AsksForThePageChosen) {
  const RowCase cases[] = {
      {"原寸 (1:1)", "図面の大きさ", "自動", 1, "", PaperTurn::Best, false},
      {"1:2.5", "図面の大きさ", "自動", 0.4, "", PaperTurn::Best, false},
      {"1:2", "A3", "横", 0.5, "A3", PaperTurn::Landscape, false},
      {"用紙に合わせる", "レター", "縦", std::nullopt, "letter", PaperTurn::Portrait, true},
      {"10:1", "リーガル", "自動", 10, "legal", PaperTurn::Best, false},
      // Fitting takes a sheet; the drawing's own size takes fitting away again.
      {"用紙に合わせる", "図面の大きさ", "横", std::nullopt, "A4", PaperTurn::Landscape, true},
  };
  for (const RowCase& c : cases) {
    PageChoiceRow row(PageRequest{});
    Choose(row.PaperChoice(), c.paper);
    Choose(row.TurnChoice(), c.turn);
    Choose(row.ScaleChoice(), c.scale);
    const PageRequest request = row.Request();
    const std::string what = std::string(c.scale) + " " + c.paper + " " + c.turn;
    EXPECT_EQ(request.scale, c.wantScale) << what;
    EXPECT_EQ(request.paper ? request.paper->name : "", c.wantPaper) << what;
    EXPECT_EQ(request.turn, c.wantTurn) << what;
    EXPECT_EQ(request.fit, c.wantFit) << what;
    EXPECT_EQ(row.TurnChoice()->isEnabled(), request.paper.has_value()) << what;
    // Shown again as it was chosen.
    const PageRequest again = PageChoiceRow(request).Request();
    EXPECT_TRUE(
        again.scale == request.scale && again.fit == request.fit && again.turn == request.turn &&
        (again.paper ? again.paper->name : "") == (request.paper ? request.paper->name : ""))
        << what;
  }
  PageChoiceRow fitted({std::nullopt, PaperNamed("A2"), PaperTurn::Best, true});
  Choose(fitted.PaperChoice(), "図面の大きさ");
  EXPECT_EQ(fitted.Request().scale, 1.0) << "back to the true size";
  EXPECT_FALSE(fitted.Request().fit);
}

// Qt's save dialog shows the row beneath its own, and leaves the choice where it was asked
// for once confirmed; a dialog without a page to choose shows none.
TEST(PageChoiceRow, SitsInTheSaveDialog) {
  QTemporaryDir folder;
  QtDialogService dialogs;
  for (const bool withPage : {true, false}) {
    PageRequest page{0.5, std::nullopt};
    FileDialogRequest request;
    request.title = QStringLiteral("ベクター形式で保存");
    request.directory = folder.path();
    request.filters = {{QStringLiteral("PDFファイル(*.pdf)"), {QStringLiteral("*.pdf")}}};
    request.page = withPage ? &page : nullptr;
    bool rowShown = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* row = dialog->findChild<PageChoiceRow*>();
      rowShown = row != nullptr;
      if (row) {
        EXPECT_EQ(row->ScaleChoice()->currentText(), "1:2");
        Choose(row->PaperChoice(), "A3");
        Choose(row->ScaleChoice(), "用紙に合わせる");
      }
      dialog->selectFile(folder.filePath(QStringLiteral("plot.pdf")));
      static_cast<QDialog*>(dialog)->accept();  // Qt keeps the file dialog's own protected
    });
    const QString name = dialogs.SaveFileName(nullptr, request);
    EXPECT_EQ(name, folder.filePath(QStringLiteral("plot.pdf")));
    EXPECT_EQ(rowShown, withPage);
    if (withPage) {
      EXPECT_TRUE(page.fit && page.paper && page.paper->name == "A3" && !page.scale);
    }
  }
}

}  // namespace
}  // namespace korvid
