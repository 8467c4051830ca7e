#pragma once

#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include "render/MetafilePicture.h"

namespace korvid {

// The preview's sheet: white, with one share of the plot picture drawn into it.
class PageBox : public QWidget {
  Q_OBJECT
 public:
  explicit PageBox(QWidget* parent = nullptr);

  // source: the share in the picture's units (pictureSize the whole picture);
  // destination: where it goes, in pixels of this box.
  void ShowSheet(const MetafilePicture& picture, const QSizeF& pictureSize, const QRectF& source,
                 const QRectF& destination);
  void Clear();

  // The sheet as shown, for checks.
  QImage Render() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintSheet(QPainter& painter) const;

  MetafilePicture picture_;
  QSizeF pictureSize_;
  QRectF source_;
  QRectF destination_;
};

}  // namespace korvid
