// Untrusted metafiles: whatever is wrong with a file, loading fails cleanly with error 481
// (or succeeds and paints) and never reads out of bounds. Also run under the sanitizers.
#include <gtest/gtest.h>

#include <functional>

#include "RenderTestSupport.h"

namespace korvid::testing {
namespace {

// Header fields by offset.
constexpr std::size_t kHeaderSize = 4, kFrameRight = 32, kSignature = 40, kFileBytes = 48,
                      kRecordCount = 52, kHandleCount = 56, kDescriptionLength = 60,
                      kDescriptionOffset = 64, kDevicePixelsX = 72, kDeviceMillimetresY = 84;

// Pens created, selected and deleted around lines and an arc, as a colour plot has them;
// a polyline and a filled polygon, as the standard pages have them.
std::string ValidFile() {
  TestEmf emf;
  for (int i = 0; i < 3; ++i) {
    const std::uint32_t pen = emf.UsePen(i, 1, kRed);
    emf.Line(100 * i, 0, 1000, 1000);
    emf.writer().DeleteObject(pen);
  }
  emf.Arc({200, 200}, {1800, 1800}, {1900, 1000}, {1000, 100});
  emf.writer().Polyline({{100, -100}, {1900, -100}, {1900, -1900}});
  emf.writer().SelectObject(emf.writer().CreateSolidBrush(kBlue));
  emf.writer().SetPolyFillMode(EmfWriter::kFillWinding);
  emf.writer().PolyPolygon({{{500, -500}, {1500, -500}, {1500, -1500}, {500, -1500}}});
  return emf.Bytes();
}

using Damage = std::function<void(std::string&)>;

// Writes `value` at byte `field` of the first record of `type`.
Damage Field(std::uint32_t type, std::size_t field, std::uint32_t value) {
  return [=](std::string& b) {
    const std::size_t at = RecordOffset(b, type);
    ASSERT_NE(at, std::string::npos);
    SetWord(b, at + field, value);
  };
}
Damage Header(std::size_t field, std::uint32_t value) {
  return Field(kHeader, field, value);
}
Damage FileBytes(int more) {
  return
      [=](std::string& b) { SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size() + more)); };
}

const std::pair<const char*, Damage> kDamages[] = {
    {"Empty", [](std::string& b) { b.clear(); }},
    {"TruncatedHeader", [](std::string& b) { b.resize(60); }},
    {"HeaderWithoutRecords", [](std::string& b) { b.resize(WordAt(b, kHeaderSize)); }},
    {"HeaderSizeNotWords", [](std::string& b) { SetWord(b, kHeaderSize, WordAt(b, 4) + 2); }},
    {"RecordCountOneShort",
     [](std::string& b) { SetWord(b, kRecordCount, WordAt(b, kRecordCount) - 1); }},
    {"EndRecordNotLast",
     [](std::string& b) {
       b.append(8, '\0');
       SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size()));
     }},
    {"BadSignature", Header(kSignature, 0x12345678)},
    {"NotAHeaderRecord", Header(0, kLineTo)},
    {"HeaderSizeTooSmall", Header(kHeaderSize, 80)},
    {"HeaderSizePastTheEnd", Header(kHeaderSize, 0x7ffffff0)},
    {"FileBytesBeyondTheFile", FileBytes(4)},
    {"FileBytesCutTheEndRecord", FileBytes(-20)},
    {"FileBytesInsideTheHeader", Header(kFileBytes, 20)},
    {"HugeRecordCount", Header(kRecordCount, 0xffffffff)},
    {"NoHandleTable", Header(kHandleCount, 0)},
    {"EmptyFrame", Header(kFrameRight, 0)},
    {"DescriptionOutsideTheHeader", Header(kDescriptionOffset, 0xfffffff0)},
    {"HugeDescription", Header(kDescriptionLength, 0x7fffffff)},
    {"NoDevicePixels", Header(kDevicePixelsX, 0)},
    {"NegativeDeviceSize", Header(kDeviceMillimetresY, 0xffffffff)},
    {"RecordSizeZero", Field(kLineTo, 4, 0)},
    {"RecordSizeNotWords", Field(kLineTo, 4, 18)},
    {"RecordSizePastTheEnd", Field(kLineTo, 4, 0x7ffffff0)},
    {"RecordShorterThanItsFields", Field(kArc, 4, 16)},
    {"PenIndexOutsideTheTable", Field(kCreatePen, 8, 1000)},
    {"PenIndexZero", Field(kCreatePen, 8, 0)},
    {"DeleteIndexZero", Field(kDeleteObject, 8, 0)},
    {"SelectOutsideTheTable", Field(kSelectObject, 8, 0xffff)},
    {"SecondHeader", Field(kSetMapMode, 0, 1)},
    {"NoEndRecord", Field(kEof, 0, 0x7f)},
    {"PolylinePointsBeyondTheRecord", Field(kPolyline, 24, 1000)},
    {"PolylineHugePointCount", Field(kPolyline, 24, 0xffffffff)},
    {"PolylineShorterThanItsFields", Field(kPolyline, 4, 16)},
    {"PolygonRingCountBeyondTheRecord", Field(kPolyPolygon, 24, 0x40000000)},
    {"PolygonPointsBeyondTheRecord", Field(kPolyPolygon, 28, 1000)},
    {"PolygonRingSizesDoNotAddUp", Field(kPolyPolygon, 32, 3)},
    {"BrushIndexOutsideTheTable", Field(kCreateBrush, 8, 999)}};

class MalformedEmfTest : public ::testing::TestWithParam<std::pair<const char*, Damage>> {};

TEST_P(MalformedEmfTest, FailsWithInvalidPicture) {
  std::string bytes = ValidFile();
  ASSERT_EQ(LoadError(bytes), 0);
  GetParam().second(bytes);
  EXPECT_EQ(LoadError(bytes), 481);
}

INSTANTIATE_TEST_SUITE_P(Damages, MalformedEmfTest, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.first); });

TEST(ToleratedEmfTest, TrailingBytesAndUnknownRecordsAreIgnored) {
  std::string bytes = ValidFile();
  const std::size_t primitives = MetafilePicture::FromBytes(bytes).PrimitiveCount();
  bytes.append("trailing bytes after the end");
  EXPECT_EQ(MetafilePicture::FromBytes(bytes).PrimitiveCount(), primitives);

  // An EMR_SETPIXELV (type 15) before the map mode, with the totals adjusted.
  std::string withPixel = ValidFile(), pixel(20, '\0');
  SetWord(pixel, 0, 15);
  SetWord(pixel, 4, 20);
  withPixel.insert(RecordOffset(withPixel, kSetMapMode), pixel);
  SetWord(withPixel, kFileBytes, static_cast<std::uint32_t>(withPixel.size()));
  SetWord(withPixel, kRecordCount, WordAt(withPixel, kRecordCount) + 1);
  EXPECT_EQ(MetafilePicture::FromBytes(withPixel).PrimitiveCount(), primitives);
}

}  // namespace
}  // namespace korvid::testing
