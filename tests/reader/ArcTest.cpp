// CI, AA and AR give one counter-clockwise record each; the plot's extents.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

// The ends depend on pi being taken as 3.1417: a quarter turn from (10, 0) ends 0.0005367 left
// of the y axis, where the true pi would end on it. The chord of CI and AA is ignored; a clockwise
// sweep (a zero one too) starts at its far end; malformed arcs are dropped; a radius beyond 32 bits
// or a centre beyond floats is error 6.
TEST_F(ReaderTest, CirclesAndArcsGiveOneRecordEach) {
  // clang-format off
  ExpectReads({
      {"PU100,100;CI50,30;", "arc 50,150,150,50 150,100>150,100"},
      {"CI10.5;CI11.5;", "arc -10,10,10,-10 10,0>10,0 | arc -12,12,12,-12 12,0>12,0"},
      {"PU10,0;AA0,0,90,5;", "arc -10,10,10,-10 10,0>-0.0005367,10"},
      {"PU10,0;AA0,0,-90;", "arc -10,10,10,-10 -0.0005367,-10>10,0"},
      // Above or below the centre the start angle is +-90 degrees; left of it, 0 + 3.1417.
      {"PU0,10;AA0,0,-90;", "arc -10,10,10,-10 10,-0.0005367>0,10"},
      {"PU0,-10;AA0,0,90;", "arc -10,10,10,-10 0,-10>10,0.0005367"},
      {"PU-10,0;AA0,0,90;", "arc -10,10,10,-10 -10,0>0.00161,-10"},
      {"PU5,5;CI;AA5,5,360;AR0,0,1E30;",
       "arc 5,5,5,5 5,5>5,5 | arc 5,5,5,5 5,5>5,5 | arc 5,5,5,5 5,5>5,5"},
      {"PU10,0;AA0,0,0;", "arc -10,10,10,-10 10,0>10,0"},
      {"SP7;PU5,5;LT-6;AR1,0,90;CI1;", "arc 5,6,7,4 5,5>6,4 p7 s-4 | arc 4,6,6,4 6,5>6,5 p7"},
      {"PU10,0;AA0,0,1E30;", "arc -10,10,10,-10 10,0>-0.3161,9.995"},
      // Arcs leave the pen and the open segment alone, and IN keeps them.
      {"PU10,0;PD;AA0,0,90;CI4;PD20,0;IN;",
       "10,0>20,0 | arc -10,10,10,-10 10,0>-0.0005367,10 | arc 6,4,14,-4 14,0>14,0"},
      {"CI-5;CI 5;CI+5;CI5X;PU10,0;AA100,100;AA5;AR;PU0,0;PD1,1;", "0,0>1,1"},
      {"PU0,0;CI5;CI3000000000;CI6;", "arc -5,5,5,-5 5,0>5,0 | error 6 at 3"},
      {"PU0,0;CI5;AA1E300,0,90;", "arc -5,5,5,-5 5,0>5,0 | error 6 at 3"},
      {"CI5;PG;CI6;", "arc -5,5,5,-5 5,0>5,0 | page at 2"},
  });
  // clang-format on
}

// Pen-up moves never count; a flat drawing gets a square; every read starts afresh.
TEST_F(ReaderTest, ExtentsCoverWhatWasDrawn) {
  ExpectReads({{"PU-5,2;PD10,2,10,30;", "-5,2>10,30"},
               {"PU-500,-500;PU0,0;PD5,5;PU900,900;", "0,0>5,5"},
               {"PU100,0;PD100,400;", "-100,0>300,400"},
               {"PU0,50;PD200,50;", "0,-50>200,150"},
               {"PU7,8;PD7,8;", "7,8>7,8"},
               {"PU0,0;PD1,1;PU0,0;CI10;", "-10,-10>10,10"},
               {"PU10,0;AA0,0,180;", "-10,-10>10,10"},
               // Segments dropped by a later IN have widened the extents for good.
               {"PU0,0;PD-50,80;IN;PU1,1;PD2,2;", "-50,0>2,80"},
               {"PU5,5;IN;SP2;", "3.4e+38,3.4e+38>-3.4e+38,-3.4e+38"}},
              [this](const ReadOutcome&) { return Extents(); });
}

}  // namespace
}  // namespace korvid::testing
