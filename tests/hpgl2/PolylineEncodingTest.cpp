// PE data decoded from encodings worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hpgl2/PolylineEncoding.h"

namespace korvid {
namespace {

struct Recorded : PolylineEncodingSink {
  std::string log;
  void SelectPen(int pen) override { log += "pen" + std::to_string(pen) + " "; }
  void Move(double x, double y, bool absolute, bool penUp) override {
    char text[96];
    std::snprintf(text, sizeof text, "%s%s%g,%g ", penUp ? "up" : "down", absolute ? "=" : "", x,
                  y);
    log += text;
  }
};

// Base 64 (8 bits): 0 -> 0xBF; 1 -> n=2 -> 0xC1; -1 -> n=3 -> 0xC2;
// 100 -> n=200 = 8 + 3*64 -> '?'+8 = 'G', 0xBF+3 = 0xC2; -100 -> n=201 -> 'H', 0xC2.
// Base 32 (7 bits): 100 -> n=200 = 8 + 6*32 -> 'G', '_'+6 = 'e'; 5 -> n=10 -> 'i'.
struct PeCase {
  const char* name;
  std::string data;
  std::string moves;
};

class PeCases : public testing::TestWithParam<PeCase> {};

TEST_P(PeCases, DecodesToTheMoves) {
  Recorded recorded;
  DecodePolylineEncoded(GetParam().data, recorded);
  EXPECT_EQ(recorded.log, GetParam().moves);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PeCases,
    testing::Values(PeCase{"RelativeDraw", "G\xC2\xBF", "down100,0 "},
                    PeCase{"Negative", "H\xC2\xC2", "down-100,-1 "},
                    PeCase{"PenUp", "<\xC1\xC1\xC1\xC1", "up1,1 down1,1 "},
                    PeCase{"Absolute", "=G\xC2G\xC2\xC1\xC1", "down=100,100 down1,1 "},
                    PeCase{"PenUpAbsolute", "<=\xBF\xBF", "up=0,0 "},
                    PeCase{"PenSelect", ":\xC3\xC1\xBF", "pen2 down1,0 "},
                    PeCase{"FractionalBits", ">\xC3G\xC2\xC1", "down25,0.25 "},
                    PeCase{"SevenBit", "7GeGe", "down100,100 "},
                    PeCase{"SevenBitSmall", "7ii", "down5,5 "},
                    PeCase{"IgnoredBytes", "G\r\n\xC2 \xBF", "down100,0 "},
                    // 100,0 with its bytes 0xC2 and 0xBF spelled as UTF-8: C3 82, C2 BF.
                    PeCase{"Utf8Converted", "G\xC3\x82\xC2\xBF", "down100,0 "},
                    PeCase{"UnfinishedPairDropped", "\xC1", ""},
                    PeCase{"EndlessNumberEndsQuietly", std::string(100000, '~'), ""}),
    [](const testing::TestParamInfo<PeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvid
