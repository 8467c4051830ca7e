// Dots where the pen went down without moving, and pictures on scaled screens.
#include <gtest/gtest.h>

#include <cmath>

#include "RenderTestSupport.h"

namespace korvid::testing {
namespace {

// On paper a pen put down where it stands leaves a dot of its own width.
struct DotCase {
  const char* name;
  std::uint32_t style;
  std::int32_t width;  // 0.01 mm; the 200 x 200 image shows 0.1 pixel per unit
  int radiusPx;        // ink reaches this far from the centre, and not three pixels further
};

class DotTest : public ::testing::TestWithParam<std::tuple<DotCase, QImage::Format>> {};

TEST_P(DotTest, ZeroLengthLineIsADotOfThePensWidth) {
  const auto& [c, format] = GetParam();
  TestEmf emf;
  emf.UsePen(c.style, c.width, 0);
  emf.Line(1000, 1000, 1000, 1000);
  emf.Line(3000, 3000, 3000, 3000);  // beyond the image: nothing, and no harm
  const QImage image = Render(emf.Picture(), {200, 200}, format);
  EXPECT_TRUE(Inked(image, {100, 100}));
  for (const QPoint direction : {QPoint(1, 0), QPoint(0, 1), QPoint(-1, 0), QPoint(0, -1)}) {
    EXPECT_TRUE(InkNear(image, QPoint(100, 100) + direction * c.radiusPx, 1));
    EXPECT_FALSE(InkNear(image, QPoint(100, 100) + direction * (c.radiusPx + 3), 0));
  }
}

INSTANTIATE_TEST_SUITE_P(Pens, DotTest,
                         ::testing::Combine(::testing::Values(DotCase{"Hairline", kSolid, 0, 0},
                                                              DotCase{"Dashed", kDash, 0, 0},
                                                              DotCase{"Wide", kSolid, 100, 4}),
                                            ::testing::ValuesIn(kBothPaths)),
                         CaseAndPathName);

// On a screen scaled by `ratio` the picture is laid out in logical pixels and painted in
// the device's: exactly what an unscaled device of the same pixels shows.
class PixelRatioTest : public ::testing::TestWithParam<std::tuple<double, QImage::Format>> {};

TEST_P(PixelRatioTest, PaintsTheLogicalLayoutAtDeviceResolution) {
  const auto& [ratio, format] = GetParam();
  TestEmf emf(2000, 1000);
  emf.UsePen(kSolid, 0, kBlue);
  emf.Line(0, 0, 1999, 999);
  emf.Line(100, 900, 1900, 900);
  emf.Arc({200, 100}, {1000, 900}, {1000, 500}, {1000, 500});
  emf.UsePen(kSolid, 50, kRed);
  emf.Line(1500, 300, 1500, 300);
  const MetafilePicture picture = emf.Picture();
  const QSizeF logical(200, 100);
  const QPointF scrolled(12, 8);  // a surface paints the part it exposes, shifted
  const QSize device(std::lround(logical.width() * ratio), std::lround(logical.height() * ratio));
  const auto paint = [&](double imageRatio, double layoutScale) {
    QImage image(device, format);
    image.setDevicePixelRatio(imageRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-scrolled * layoutScale);
    picture.Paint(painter, QRectF(QPointF(0, 0), logical * layoutScale));
    painter.end();
    image.setDevicePixelRatio(1);
    return image;
  };
  const QImage scaled = paint(ratio, 1);
  const QImage reference = paint(1, ratio);
  EXPECT_GT(InkCount(scaled, scaled.rect()), 0);
  EXPECT_EQ(scaled, reference);
}

INSTANTIATE_TEST_SUITE_P(Ratios, PixelRatioTest,
                         ::testing::Combine(::testing::Values(1.0, 1.25, 1.5, 2.0),
                                            ::testing::ValuesIn(kBothPaths)),
                         [](const auto& info) {
                           return "Ratio" +
                                  std::to_string(std::lround(std::get<0>(info.param) * 100)) +
                                  PathName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace korvid::testing
