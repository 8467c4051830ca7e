#pragma once

#include <QLabel>
#include <QPointer>
#include <memory>

#include "app/PrinterSetup.h"
#include "output/PreviewLayout.h"
#include "render/MetafilePicture.h"

namespace korvid {

class PictForm;
class SetupForm;

// The drawing on paper: the poster print, its preview inside the main window, the
// printer set-up and the magnification dialog.
class OutputCommands {
 public:
  explicit OutputCommands(PictForm& form);
  ~OutputCommands();

  void Print();
  void PageSetup();
  void ShowMagnification();

  void EnterPreview();
  // Lays the preview out again for the window's new size.
  void RelayoutPreview();
  void NextPage();
  void PreviousPage();
  void ClosePreview();
  bool Previewing() const { return previewing_; }
  // PageUp, PageDown, Home and End page through the sheets; true when the key was one.
  bool PreviewKey(int key);
  // "2 / 4 ページ": the sheet shown, in the preview's toolbar.
  QLabel* SheetCounter() const { return sheetCounter_; }

  PrinterSetup& Printer() { return printer_; }
  const PreviewLayout& Preview() const { return preview_; }
  SetupForm* OpenSetupForm() const;

 private:
  void ShowSheet();
  void GoToSheet(int sheet);
  bool AskPdfFileName();
  double TwipsPerPixel() const;

  PictForm& form_;
  PrinterSetup printer_;
  void LayOutPreview();

  PreviewLayout preview_;
  MetafilePicture previewPicture_;
  bool previewing_ = false;
  QPointer<SetupForm> setupForm_;
  QLabel* sheetCounter_ = nullptr;
};

}  // namespace korvid
