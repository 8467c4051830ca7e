// libFuzzer target: any bytes to the metafile player. A load fails with error 481 or gives a
// framed picture that paints, whole and zoomed into a corner, both of the player's ways.
#include <QImage>
#include <QPainter>

#include "FuzzCheck.h"
#include "model/RuntimeError.h"
#include "render/MetafilePicture.h"

FUZZ_TARGET(bytes) {
  korvid::MetafilePicture picture;
  try {
    picture = korvid::MetafilePicture::FromBytes(bytes);
  } catch (const korvid::RuntimeError& error) {
    FUZZ_REQUIRE(error.number() == 481);
    return;
  }
  FUZZ_REQUIRE(!picture.IsNull() && picture.Frame().width() > 0 && picture.Frame().height() > 0);
  // RGB32 goes through the player's own rasteriser, RGB888 through QPainter; the deep zoom
  // tries culling, cut lines and huge arcs.
  for (double zoom : {1.0, 4096.0}) {
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
      QImage image(64, 48, format);
      image.fill(Qt::white);
      QPainter painter(&image);
      painter.translate(-16 * zoom, -12 * zoom);
      picture.Paint(painter, QRectF(0, 0, 64 * zoom, 48 * zoom), {zoom > 1 ? 11.8 : 0});
    }
  }
}
