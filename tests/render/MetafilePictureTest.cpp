// Loading a metafile, and where its picture lands on the painter.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "AsUnprivilegedUser.h"
#include "RenderTestSupport.h"

namespace korvid::testing {
namespace {

TEST(MetafilePictureTest, LoadsFilesAndTurnsFileProblemsIntoRunTimeErrors) {
  EXPECT_TRUE(MetafilePicture().IsNull());
  char folder[] = "/tmp/korvid-player-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = folder;
  TestEmf emf(3000, 2000);
  emf.Line(0, 0, 100, 100);
  emf.Arc({0, 0}, {100, 100}, {100, 50}, {50, 0});
  emf.writer().SelectObject(0x80000008);  // NULL_PEN: what it draws is not kept
  emf.Line(0, 0, 100, 100);
  std::ofstream(base + "/plot.emf", std::ios::binary) << emf.Bytes();
  std::ofstream(base + "/garbage.emf", std::ios::binary) << "not a metafile";
  const MetafilePicture picture = MetafilePicture::LoadFile(base + "/plot.emf");
  EXPECT_EQ(picture.Frame(), QRect(0, 0, 3000, 2000));
  EXPECT_EQ(picture.Description(), QString::fromUtf16(u"test\0picture\0\0", 14));
  EXPECT_EQ(picture.PrimitiveCount(), 2u);
  const auto error = [&](const std::string& name) {
    return ErrorOf([&] { MetafilePicture::LoadFile(base + name); });
  };
  EXPECT_EQ(error("/missing.emf"), 53);
  EXPECT_EQ(error("/garbage.emf"), 481);
  EXPECT_EQ(error(""), ErrorNumberFromErrno(EISDIR));
  chmod(folder, 0755);
  chmod((base + "/plot.emf").c_str(), 0);
  AsUnprivilegedUser([&] { EXPECT_EQ(error("/plot.emf"), 70); });
  std::filesystem::remove_all(base);
}

class MappingTest : public ::testing::TestWithParam<QImage::Format> {};

// A plot as the drawing routine lays it out: the plot at the top left of the frame, 100
// units of margin at the right and the bottom. Frame 4000 x 2000 onto 200 x 100 pixels at
// (100, 50), y downward.
TEST_P(MappingTest, FrameFillsTheTargetWithYDownAndMarginAtRightAndBottom) {
  TestEmf emf(4000, 2000);
  emf.writer().Polyline({{0, 0}, {3900, 0}, {3900, -1900}, {0, -1900}, {0, 0}});
  const QImage image =
      Painted(emf.Picture(), QImage(400, 200, GetParam()), QRectF(100, 50, 200, 100));
  for (const QPoint corner : {QPoint(100, 50), QPoint(295, 50), QPoint(295, 145), QPoint(100, 145)})
    EXPECT_TRUE(InkNear(image, corner));
  EXPECT_EQ(InkCount(image, QRect(103, 53, 189, 89)), 0);
  EXPECT_EQ(InkCount(image, image.rect()), InkCount(image, QRect(99, 49, 199, 99)))
      << "nothing outside, nothing in the margins";
}

// Ink in one image with none within a pixel in the other. (QPainter rasterises a line it
// clips from the cut, which may move single pixels.)
int Mismatches(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      count += Inked(a, {x, y}) && !InkNear(b, {x, y}) ? 1 : 0;
      count += Inked(b, {x, y}) && !InkNear(a, {x, y}) ? 1 : 0;
    }
  }
  return count;
}

// A clipped or a scrolled (translated) painting shows exactly its part of the whole: here
// of lines and arcs in all directions, reaching beyond the frame.
TEST_P(MappingTest, PartsMatchTheWhole) {
  TestEmf emf(4000, 4000);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> at(-200, 4200);
  for (int i = 0; i < 300; ++i)
    emf.Line(at(random), at(random), at(random), at(random));
  for (int i = 0; i < 60; ++i) {
    const QPoint corner(at(random), at(random));
    emf.Arc(corner, corner + QPoint(at(random), at(random)) / 4, {at(random), at(random)},
            {at(random), at(random)});
  }
  const MetafilePicture picture = emf.Picture();
  const QImage whole = Render(picture, {800, 800}, GetParam());
  for (const QRect part : {QRect(337, 356, 125, 87), QRect(790, 790, 10, 10), QRect(0, 0, 200, 200),
                           QRect(400, 200, 200, 200)}) {
    const QRectF target(0, 0, 800, 800);
    const QImage clipped = Painted(picture, QImage(800, 800, GetParam()), target, {}, part);
    const QImage tile = Painted(picture, QImage(part.size(), GetParam()), target, part.topLeft());
    EXPECT_EQ(Mismatches(clipped.copy(part), whole.copy(part)), 0);
    EXPECT_EQ(InkCount(clipped, clipped.rect()), InkCount(clipped, part));
    EXPECT_GT(InkCount(clipped, part), 0);
    // A line that a tile's edge cuts a hair from its end may lose that last pixel.
    EXPECT_LE(Mismatches(tile, whole.copy(part)), 3) << part.x() << "," << part.y();
  }
}

// A filled polygon after a polyline, as the standard pages write them; then a line drawn
// while a null brush from the object table is selected, which never takes the pen's place.
TEST_P(MappingTest, FillsInTheBrushColourWithoutLosingTheLines) {
  TestEmf emf;
  emf.UsePen(kSolid, 1, kRed);
  emf.writer().Polyline({{100, -100}, {1900, -100}, {1900, -1900}});
  emf.writer().SelectObject(emf.writer().CreateSolidBrush(kBlue));
  emf.writer().SetPolyFillMode(EmfWriter::kFillWinding);
  emf.writer().PolyPolygon({{{500, -500}, {1500, -500}, {1500, -1500}, {500, -1500}}});
  emf.writer().SelectObject(emf.writer().CreateSolidBrush(kBlue));
  emf.Line(100, 1700, 1900, 1700);
  std::string bytes = emf.Bytes();
  SetWord(bytes, RecordOffset(bytes, kCreateBrush, 1) + 12, 1);  // lbStyle: BS_NULL
  const QImage image = Render(MetafilePicture::FromBytes(bytes), {200, 200}, GetParam());
  EXPECT_EQ(image.pixel(100, 100), qRgb(0, 0, 255));
  EXPECT_TRUE(InkNear(image, {100, 10}, 1));
  EXPECT_FALSE(Inked(image, {30, 100}));
  EXPECT_EQ(image.pixel(100, 170), qRgb(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, MappingTest, ::testing::ValuesIn(kBothPaths),
                         [](const auto& info) { return PathName(info.param); });

}  // namespace
}  // namespace korvid::testing
