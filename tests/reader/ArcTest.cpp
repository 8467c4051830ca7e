// CI, AA and AR: one record per circle or arc, always counter-clockwise from start to end;
// and the plot's extents, which the arcs widen by their whole circle.
#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

// The ends depend on pi being taken as 3.1417: a quarter turn from (10, 0) ends 0.0005367 left
// of the y axis, where the true pi would end on it.
TEST_F(ReaderTest, CirclesAndArcsGiveOneRecordEach) {
  ExpectReads({
      {"circle", "PU100,100;CI50;", "arc 50,150,150,50 150,100>150,100"},
      {"radius half to even", "CI10.5;CI11.5;",
       "arc -10,10,10,-10 10,0>10,0 | arc -12,12,12,-12 12,0>12,0"},
      {"no radius: a dot", "PU2,3;CI;", "arc 2,3,2,3 2,3>2,3"},
      {"chord angles ignored", "PU10,0;CI7,30;AA0,0,90,5;",
       "arc 3,7,17,-7 17,0>17,0 | arc -10,10,10,-10 10,0>-0.0005367,10"},
      {"quarter", "PU10,0;AA0,0,90;", "arc -10,10,10,-10 10,0>-0.0005367,10"},
      {"clockwise starts at its far end", "PU10,0;AA0,0,-90;",
       "arc -10,10,10,-10 -0.0005367,-10>10,0"},
      {"relative centre", "PU10,0;AR-10,0,90;", "arc -10,10,10,-10 10,0>-0.0005367,10"},
      // Straight above or below the centre the start angle is +90 or -90 degrees; left of it,
      // the arctangent of 0 plus the half-turn 3.1417.
      {"above, clockwise", "PU0,10;AA0,0,-90;", "arc -10,10,10,-10 10,-0.0005367>0,10"},
      {"below", "PU0,-10;AA0,0,90;", "arc -10,10,10,-10 0,-10>10,0.0005367"},
      {"left", "PU-10,0;AA0,0,90;", "arc -10,10,10,-10 -10,0>0.00161,-10"},
      {"zero sweep is clockwise", "PU10,0;AA0,0,0;", "arc -10,10,10,-10 10,0>10,0"},
      {"pen, negative style", "SP7;PU5,5;LT-6;AR1,0,90;CI1;",
       "arc 5,6,7,4 5,5>6,4 p7 s-4 | arc 4,6,6,4 6,5>6,5 p7"},
      {"positive style stays", "LT0;CI3;CI1;",
       "arc -3,3,3,-3 3,0>3,0 s5 | arc -1,1,1,-1 1,0>1,0 s5"},
      {"huge sweep", "PU10,0;AA0,0,1E30;", "arc -10,10,10,-10 10,0>-0.3161,9.995"},
      // Arcs leave the pen, the open segment and the count alone, also across IN.
      {"pen stays", "PU10,0;PD;AA0,0,90;CI4;IN;CI2;PU10,0;PD20,0;",
       "10,0>20,0 | arc -10,10,10,-10 10,0>-0.0005367,10 | arc 6,4,14,-4 14,0>14,0 | "
       "arc -2,2,2,-2 2,0>2,0"},
      {"malformed: dropped", "CI-5;CI 5;CI+5;CI5X;PU10,0;AA100,100;AA5;AR;PU0,0;PD1,1;", "0,0>1,1"},
      {"radius beyond 32 bits", "PU0,0;CI5;CI3000000000;CI6;",
       "arc -5,5,5,-5 5,0>5,0 / error 6 at 3"},
      {"centre beyond floats", "PU0,0;CI5;AA1E300,0,90;", "arc -5,5,5,-5 5,0>5,0 / error 6 at 3"},
      {"PG keeps them", "CI5;PG;CI6;", "arc -5,5,5,-5 5,0>5,0 / page at 2"},
  });
}

// Pen-up moves never count; a flat drawing gets a square; rows alternate large and small so
// that every read is seen to start from fresh extents.
TEST_F(ReaderTest, ExtentsCoverWhatWasDrawn) {
  const std::string none = "3.4e+38,3.4e+38>-3.4e+38,-3.4e+38";
  ExpectReads({{"rectangle", "PU-5,2;PD10,2,10,30;", "-5,2>10,30"},
               {"pen-up moves", "PU-500,-500;PU0,0;PD5,5;PU900,900;", "0,0>5,5"},
               {"vertical line", "PU100,0;PD100,400;", "-100,0>300,400"},
               {"horizontal line", "PU0,50;PD200,50;", "0,-50>200,150"},
               {"zero length", "PU7,8;PD7,8;", "7,8>7,8"},
               // Segments dropped by a later IN have widened the extents for good.
               {"dropped segments", "PU0,0;PD-50,80;IN;PU1,1;PD2,2;", "-50,0>2,80"},
               {"final IN", "PU0,0;PD-50,80;IN;", "-50,0>0,80"},
               {"circle", "PU0,0;PD1,1;PU0,0;CI10;", "-10,-10>10,10"},
               {"half circle", "PU10,0;AA0,0,180;", "-10,-10>10,10"},
               {"nothing drawn", "PU5,5;IN;SP2;", none}},
              [this](const ReadOutcome&) { return Extents(); });
  // A vertical line spanning nearly the whole float range cannot get a square extent.
  const std::string e38 = "3" + std::string(38, '0');
  ExpectReads({{"squared beyond floats", "PU" + e38 + ",-3E38;PD" + e38 + ",3E38;CI1;",
                "3e+38,-3e+38>3e+38,3e+38 | arc 3e+38,3e+38,3e+38,3e+38 3e+38,3e+38>3e+38,3e+38 / "
                "error 6 at 3"}});
}

}  // namespace
}  // namespace korvid::testing
