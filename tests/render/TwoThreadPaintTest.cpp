// A picture painted by two processors at once is the picture one painting gives: cut
// between runs or inside a run of lines, painted whole or as a strip behind a clip, at a
// pixel ratio of 1 or 2, onto a layer left over from an earlier painting.
#include <gtest/gtest.h>

#include <QPainter>
#include <memory>
#include <optional>
#include <string>

#include "RenderTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"
#include "render/TwoThreadPaint.h"

namespace korvid::testing {
namespace {

MetafilePicture StandardPicture(const std::string& plot) {
  const auto pages = std::make_shared<const StandardPlot>(ReadStandardPlotBytes(plot).plot);
  DisplaySettings colour;
  colour.ColorMode = 1;
  return DrawPlotPicture(*SourceOfPages(pages), {Rotation{}, colour});
}

// One wide mitered pen, one run of two strokes: 25,000 lines criss-crossing (turning at
// every point, so that none is left out as straight on), then 5,000
// more apart. Half of the work ends at a corner of the first stroke drawn clear of all the
// others, so a cut made there, not where the first stroke ends, would lose its miter.
std::string OnePen() {
  std::string plot = "IN;PW0.7;LA2,2,3,5;SP1;PU0,0;PD";
  const auto crossing = [](int i) {
    return std::to_string((i * 37) % 4000) + "," + std::to_string((i * 11) % 2000 + i % 2 * 40);
  };
  for (int i = 1; i <= 25000; ++i) {
    const char* corner[] = {"1000,3000", "3000,3000", "3000,3900", "0,3900"};
    plot += (i >= 14999 && i <= 15002 ? corner[i - 14999] : crossing(i)) + (i < 25000 ? "," : ";");
  }
  plot += "PU0,0;PD";
  for (int i = 1; i <= 5000; ++i)
    plot += crossing(i * 3) + (i < 5000 ? "," : ";");
  return plot;
}

// Three pens taking turns: many runs, cut between two of them.
std::string ThreePens() {
  std::string plot = "IN;PW0.5;";
  for (int i = 0; i < 300; ++i) {
    plot += "SP" + std::to_string(1 + i % 3) + ";PU0," + std::to_string(i * 6) + ";PD";
    for (int x = 1; x <= 80; ++x)
      plot += std::to_string(x * 50) + "," + std::to_string(i * 6 + (x * 7) % 40 + x % 2 * 3) +
              (x < 80 ? "," : ";");
  }
  return plot;
}

// One stroke of `lines` lines.
std::string Zigzag(int lines) {
  std::string plot = "PU0,0;PD";
  for (int i = 1; i <= lines; ++i)
    plot += std::to_string(i % 2 == 0 ? 0 : 3000) + "," + std::to_string(i / 8) +
            (i < lines ? "," : ";");
  return plot;
}

// Korvid's own reading: hairlines in two pens, then circles as arcs.
std::string OwnPlot() {
  std::string plot = "IN;SP1;" + Zigzag(24000) + "SP4;";
  for (int i = 0; i < 500; ++i)
    plot += "PU" + std::to_string(100 + (i % 40) * 70) + "," + std::to_string(100 + i) + ";CI30;";
  return plot + "SP2;" + Zigzag(8000);
}

MetafilePicture OwnPicture(const std::string& plot) {
  DisplaySettings colour;
  colour.ColorMode = 1;
  return DrawPlotPicture(*SourceOfModel(std::shared_ptr<const PlotModel>(ReadPlot(plot))),
                         {Rotation{}, colour});
}

// What an earlier painting left on the layer: a colour no pen has.
constexpr QRgb kLeftOver = qRgb(1, 2, 3);

TEST(TwoThreadPaint, PaintsWhatOnePaintingDoes) {
  struct Case {
    const char* name;
    MetafilePicture picture;
    bool cutInsideARun;
  };
  const Case cases[] = {{"one pen", StandardPicture(OnePen()), true},
                        {"three pens", StandardPicture(ThreePens()), false},
                        {"own reading", OwnPicture(OwnPlot()), false}};
  const QSize size(600, 400);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<PicturePlace> cut =
        TwoThreadCut(c.picture, 600.0 / c.picture.Frame().width());
    ASSERT_TRUE(cut);
    const MetafilePicture::Drawing& drawing = *c.picture.Contents();
    ASSERT_LT(cut->run, drawing.runs.size());
    EXPECT_EQ(cut->item != 0, c.cutInsideARun);
    if (cut->item != 0) {
      const FrameLine* lines = drawing.lines.data() + drawing.runs[cut->run].first + cut->item;
      EXPECT_FALSE(lines[0].GoesOnFrom(lines[-1])) << "cut between two joined lines";
    }
    for (const qreal ratio : {1.0, 2.0}) {
      // Whole, and the strip a view of a larger surface uncovers at its foot when it
      // scrolls down, as the window draws it; in the surface's logical pixels.
      const QSize view = (QSizeF(size) / ratio).toSize();
      for (const bool strip : {false, true}) {
        SCOPED_TRACE(std::to_string(ratio) + (strip ? " strip" : " whole"));
        const QPoint origin = strip ? QPoint(40, 100) : QPoint();
        const QRect clip =
            strip ? QRect(origin + QPoint(0, view.height() - 30), QSize(view.width(), 30))
                  : QRect();
        const QRectF target(QPointF(), QSizeF(view) * (strip ? 1.5 : 1));
        QImage once(size, QImage::Format_RGB32);
        once.fill(Qt::white);
        once.setDevicePixelRatio(ratio);
        {
          QPainter painter(&once);
          painter.translate(-origin);
          if (strip) painter.setClipRect(clip);
          c.picture.Paint(painter, target);
        }
        QImage twice(size, QImage::Format_RGB32);
        twice.fill(Qt::white);
        twice.setDevicePixelRatio(ratio);
        QImage layer(size, QImage::Format_ARGB32);
        layer.fill(kLeftOver);
        PaintView(twice, layer, c.picture, target, origin, clip);
        EXPECT_EQ(twice, once);
        EXPECT_NE(layer.pixel(0, size.height() - 1), kLeftOver) << "painted by one thread";
        EXPECT_GT(
            InkCount(once, strip ? QRect(0, size.height() - 60, size.width(), 60) : once.rect()), 0)
            << "nothing painted";
      }
    }
  }
}

// A small picture, or one long stroke, is painted by one thread.
TEST(TwoThreadPaint, LeavesSmallPicturesAndSingleStrokesToOneThread) {
  EXPECT_FALSE(TwoThreadCut(MetafilePicture(), 1));
  EXPECT_FALSE(TwoThreadCut(StandardPicture("IN;SP1;PA0,0;PD4000,0,4000,4000;"), 0.1));
  EXPECT_FALSE(TwoThreadCut(OwnPicture("IN;SP1;" + Zigzag(30000)), 0.1));
}

}  // namespace
}  // namespace korvid::testing
