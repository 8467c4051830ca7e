// Untrusted metafiles: whatever is wrong with a file, loading fails cleanly with error 481
// (or succeeds and paints) and never reads out of bounds. Also run under the sanitizers.
#include <gtest/gtest.h>

#include <functional>

#include "ErrorOf.h"
#include "model/RuntimeError.h"
#include "render/PlayerTestSupport.h"

namespace korvid {
namespace {

using namespace testing;

constexpr std::uint32_t kSetMapMode = 17, kSelectObject = 37, kCreatePen = 38, kDeleteObject = 40,
                        kArc = 45, kLineTo = 54, kEof = 14;
// Header fields by offset.
constexpr std::size_t kHeaderSize = 4, kFrameRight = 32, kSignature = 40, kFileBytes = 48,
                      kRecordCount = 52, kHandleCount = 56, kDescriptionLength = 60,
                      kDescriptionOffset = 64, kDevicePixelsX = 72, kDeviceMillimetresY = 84;

// A colour-mode plot picture: pens created, selected and deleted around lines and an arc.
std::string ValidFile() {
  TestEmf emf;
  for (int i = 0; i < 3; ++i) {
    const std::uint32_t pen = emf.UsePen(i, 1, kRed);
    emf.Line(100 * i, 0, 1000, 1000);
    emf.writer().DeleteObject(pen);
  }
  emf.Arc({200, 200}, {1800, 1800}, {1900, 1000}, {1000, 100});
  return emf.Bytes();
}

int LoadError(const std::string& bytes) {
  return ErrorOf([&] { MetafilePicture::FromBytes(bytes); });
}

void SetRecordWord(std::string& bytes, std::uint32_t type, std::size_t field, std::uint32_t value) {
  const std::size_t at = RecordOffset(bytes, type);
  ASSERT_NE(at, std::string::npos);
  SetWord(bytes, at + field, value);
}

struct Damage {
  const char* name;
  std::function<void(std::string&)> apply;
};

const Damage kDamages[] = {
    {"Empty", [](std::string& b) { b.clear(); }},
    {"TruncatedHeader", [](std::string& b) { b.resize(60); }},
    {"HeaderWithoutRecords", [](std::string& b) { b.resize(WordAt(b, kHeaderSize)); }},
    {"BadSignature", [](std::string& b) { SetWord(b, kSignature, 0x12345678); }},
    {"NotAHeaderRecord", [](std::string& b) { SetWord(b, 0, kLineTo); }},
    {"HeaderSizeTooSmall", [](std::string& b) { SetWord(b, kHeaderSize, 80); }},
    {"HeaderSizeNotWords", [](std::string& b) { SetWord(b, kHeaderSize, WordAt(b, 4) + 2); }},
    {"HeaderSizePastTheEnd", [](std::string& b) { SetWord(b, kHeaderSize, 0x7ffffff0); }},
    {"FileBytesBeyondTheFile",
     [](std::string& b) { SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size() + 4)); }},
    {"FileBytesCutTheEndRecord",
     [](std::string& b) { SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size() - 20)); }},
    {"FileBytesInsideTheHeader", [](std::string& b) { SetWord(b, kFileBytes, 20); }},
    {"HugeRecordCount", [](std::string& b) { SetWord(b, kRecordCount, 0xffffffff); }},
    {"RecordCountOneShort",
     [](std::string& b) { SetWord(b, kRecordCount, WordAt(b, kRecordCount) - 1); }},
    {"NoHandleTable", [](std::string& b) { SetWord(b, kHandleCount, 0); }},
    {"DescriptionOutsideTheHeader",
     [](std::string& b) { SetWord(b, kDescriptionOffset, 0xfffffff0); }},
    {"HugeDescription", [](std::string& b) { SetWord(b, kDescriptionLength, 0x7fffffff); }},
    {"EmptyFrame", [](std::string& b) { SetWord(b, kFrameRight, 0); }},
    {"NoDevicePixels", [](std::string& b) { SetWord(b, kDevicePixelsX, 0); }},
    {"NegativeDeviceSize", [](std::string& b) { SetWord(b, kDeviceMillimetresY, 0xffffffff); }},
    {"RecordSizeZero", [](std::string& b) { SetRecordWord(b, kLineTo, 4, 0); }},
    {"RecordSizeNotWords", [](std::string& b) { SetRecordWord(b, kLineTo, 4, 18); }},
    {"RecordSizePastTheEnd", [](std::string& b) { SetRecordWord(b, kLineTo, 4, 0x7ffffff0); }},
    {"RecordShorterThanItsFields", [](std::string& b) { SetRecordWord(b, kArc, 4, 16); }},
    {"PenIndexOutsideTheTable", [](std::string& b) { SetRecordWord(b, kCreatePen, 8, 1000); }},
    {"PenIndexZero", [](std::string& b) { SetRecordWord(b, kCreatePen, 8, 0); }},
    {"SelectOutsideTheTable", [](std::string& b) { SetRecordWord(b, kSelectObject, 8, 0xffff); }},
    {"DeleteIndexZero", [](std::string& b) { SetRecordWord(b, kDeleteObject, 8, 0); }},
    {"SecondHeader", [](std::string& b) { SetRecordWord(b, kSetMapMode, 0, 1); }},
    {"NoEndRecord", [](std::string& b) { SetRecordWord(b, kEof, 0, 0x7f); }},
    {"EndRecordNotLast",
     [](std::string& b) {
       b.append(8, '\0');
       SetWord(b, kFileBytes, static_cast<std::uint32_t>(b.size()));
     }},
};

class MalformedEmfTest : public ::testing::TestWithParam<Damage> {};

TEST_P(MalformedEmfTest, FailsWithInvalidPicture) {
  std::string bytes = ValidFile();
  ASSERT_EQ(LoadError(bytes), 0);
  GetParam().apply(bytes);
  EXPECT_EQ(LoadError(bytes), 481);
}

INSTANTIATE_TEST_SUITE_P(Damages, MalformedEmfTest, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToleratedEmfTest, TrailingBytesAndUnknownRecordsAreIgnored) {
  std::string bytes = ValidFile();
  const std::size_t primitives = MetafilePicture::FromBytes(bytes).PrimitiveCount();
  bytes.append("trailing bytes after the end");
  EXPECT_EQ(MetafilePicture::FromBytes(bytes).PrimitiveCount(), primitives);

  // An EMR_SETPIXELV (type 15) before the map mode, with the totals adjusted.
  std::string withPixel = ValidFile();
  std::string pixel(20, '\0');
  SetWord(pixel, 0, 15);
  SetWord(pixel, 4, 20);
  withPixel.insert(RecordOffset(withPixel, kSetMapMode), pixel);
  SetWord(withPixel, kFileBytes, static_cast<std::uint32_t>(withPixel.size()));
  SetWord(withPixel, kRecordCount, WordAt(withPixel, kRecordCount) + 1);
  EXPECT_EQ(MetafilePicture::FromBytes(withPixel).PrimitiveCount(), primitives);
}

}  // namespace
}  // namespace korvid
