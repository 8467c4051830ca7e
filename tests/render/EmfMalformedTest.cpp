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

int LoadError(const std::string& bytes) {
  return ErrorOf([&] { MetafilePicture::FromBytes(bytes); });
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
// Adds `delta` to a header field.
Damage Adjust(std::size_t field, int delta) {
  return [=](std::string& b) { SetWord(b, field, WordAt(b, field) + delta); };
}
Damage Resize(std::size_t size) {
  return [=](std::string& b) { b.resize(size); };
}

const std::pair<const char*, Damage> kDamages[] = {
    {"Empty", Resize(0)},
    {"TruncatedHeader", Resize(60)},
    {"HeaderWithoutRecords", [](std::string& b) { b.resize(WordAt(b, kHeaderSize)); }},
    {"HeaderSizeNotWords", Adjust(kHeaderSize, 2)},
    {"RecordCountOneShort", Adjust(kRecordCount, -1)},
    {"EndRecordNotLast",
     [](std::string& b) {
       b.append(8, '\0');
       SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size()));
     }},
    {"BadSignature", Header(kSignature, 0x12345678)},
    {"NotAHeaderRecord", Header(0, kLineTo)},
    {"HeaderSizeTooSmall", Header(kHeaderSize, 80)},
    {"HeaderSizePastTheEnd", Header(kHeaderSize, 0x7ffffff0)},
    {"FileBytesBeyondTheFile", Adjust(kFileBytes, 4)},
    {"FileBytesCutTheEndRecord", Adjust(kFileBytes, -20)},
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

}  // namespace
}  // namespace korvid::testing
