#pragma once

#include <QImage>
#include <QString>

#include "output/PaperLayout.h"

namespace korvid {

class PictForm;

// The drawing handed to the outside: a BMP file or the clipboard, of the whole surface as
// displayed or of the captured selection; and, beyond a raster, the drawing as a vector
// file: the metafile itself, or SVG and PDF at their true size (or the scale and paper
// chosen), of the whole drawing or of the captured selection.
class ExportCommands {
 public:
  explicit ExportCommands(PictForm& form) : form_(form) {}

  void SaveImage();
  void CopyToClipboard();
  void SaveVector();

  // The folder ending in "/" and the name of the last saved image.
  QString SaveFolder;
  QString SaveName;

  // What an export takes: the selection while the band shows, else the whole surface.
  QImage ExportImage() const;

 private:
  void HideBand();

  PictForm& form_;
  QString vectorFolder_;
  PageRequest vectorPage_;  // the page row's choice, kept from one save to the next
};

// Writes a 24-bit BMP; an existing file is replaced only when the new one is complete.
void WriteBmp(const QImage& image, const QString& path);

}  // namespace korvid
