// The pen table in the drawings of both readings: the order in which the table, the file
// and the reading decide a pen, hidden pens, widths, and no table drawing as before.
#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "pens/PenProfileText.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafileDrawing.h"
#include "render/Rotation.h"

namespace korvid::testing {
namespace {

std::unique_ptr<PlotSource> Source(bool standard, const std::string& plot) {
  if (!standard) return SourceOfModel(std::shared_ptr<const PlotModel>(ReadPlot(plot)));
  const bool penZero = plot.find("SP0") != std::string::npos;
  auto read = std::make_shared<const StandardReadOutcome>(
      ReadStandardPlotBytes(plot, {.penZeroDraws = penZero}));
  return SourceOfPages(std::shared_ptr<const StandardPlot>(read, &read->plot));
}

std::shared_ptr<const PenTable> Table(const std::string& profile) {
  const PenProfileRead read = ReadPenProfileText(profile);
  EXPECT_FALSE(read.error) << profile;
  return std::make_shared<const PenTable>(read.table);
}

std::vector<std::uint8_t> Metafile(const PlotSource& source, bool colour,
                                   std::shared_ptr<const PenTable> pens) {
  DisplaySettings settings;
  settings.ColorMode = colour ? 1 : 0;
  return DrawPlotInMemory(source, {Rotation{}, settings, std::move(pens)});
}

// Each pen made, as "width #rrggbb", and each line drawn, as "line", in drawing order.
std::string Pens(const std::vector<std::uint8_t>& metafile) {
  std::string text;
  for (const EmfRecord& r : ParseEmfRecords(std::string(metafile.begin(), metafile.end()))) {
    if (r[0] == kCreatePen) {
      char pen[32];
      std::snprintf(pen, sizeof pen, "%d #%02x%02x%02x ", r[3], r[5] & 0xff, (r[5] >> 8) & 0xff,
                    (r[5] >> 16) & 0xff);
      text += pen;
    } else if (r[0] == kLineTo || r[0] == kPolyline || r[0] == kArc) {
      text += "line ";
    }
  }
  return text;
}

// Pen 3 then pen 12, which has no colour of its own, 100 units each: the scale is
// 32767 / 200, so a 0.5 mm pen (20 units) is 3277 frame units wide.
constexpr const char* kOwn = "IN;SP3;PU0,0;PD100,0;SP12;PU100,0;PD100,100;";
// Pen 3 red and 0.7 mm wide by PC and PW, pen 4 as the palette has it (yellow, 0.35 mm):
// 813 and 407 frame units wide.
constexpr const char* kStandard = "IN;PC3,255,0,0;PW0.7,3;SP3;PA0,0;PD1000,0;SP4;PD1000,1000;";

struct PrecedenceCase {
  const char* name;
  bool standard;
  bool colour;
  const char* profile;
  const char* pens;
};

class PenPrecedence : public ::testing::TestWithParam<PrecedenceCase> {};

TEST_P(PenPrecedence, TableThenFileThenReading) {
  const PrecedenceCase& row = GetParam();
  const std::unique_ptr<PlotSource> source = Source(row.standard, row.standard ? kStandard : kOwn);
  EXPECT_EQ(Pens(Metafile(*source, row.colour, Table(row.profile))), row.pens);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PenPrecedence,
    ::testing::Values(
        // Korvid's own reading: pen 3 cyan, pen 12 in the colour in force, hairlines.
        PrecedenceCase{"OwnAsItDraws", false, true, "", "1 #00ffff line 1 #00ffff line "},
        PrecedenceCase{"OwnColour", false, true, "pen 3 colour #123456",
                       "1 #123456 line 1 #123456 line "},
        PrecedenceCase{"OwnColourOfAPenWithout", false, true, "pen 12 colour #ff0000",
                       "1 #00ffff line 1 #ff0000 line "},
        PrecedenceCase{"OwnWidth", false, true, "pen 3 width 0.5",
                       "3277 #00ffff line 1 #00ffff line "},
        PrecedenceCase{"OwnThinnest", false, true, "pen 12 width 0",
                       "1 #00ffff line 0 #00ffff line "},
        // A hidden pen draws nothing; the pen after it keeps the colour it had.
        PrecedenceCase{"OwnHidden", false, true, "pen 3 colour #00ff00 hidden", "1 #00ff00 line "},
        // Black and white: every shown pen black, with the table's width where it has one.
        PrecedenceCase{"OwnMono", false, false, "", "line line "},
        PrecedenceCase{"OwnMonoColour", false, false, "pen 3 colour #ff0000", "line line "},
        PrecedenceCase{"OwnMonoWidth", false, false, "pen 3 colour #ff0000 width 0.5",
                       "3277 #000000 line line "},
        PrecedenceCase{"OwnMonoHidden", false, false, "pen 12 hidden", "line "},
        // The standard reading: the file's PC and PW, then the palette's own.
        PrecedenceCase{"StandardAsTheFileSays", true, true, "",
                       "813 #ff0000 line 407 #ffff00 line "},
        PrecedenceCase{"StandardColourKeepsTheFilesWidth", true, true, "pen 3 colour #0000ff",
                       "813 #0000ff line 407 #ffff00 line "},
        PrecedenceCase{"StandardWidthKeepsTheFilesColour", true, true, "pen 3 width 0.35",
                       "407 #ff0000 line 407 #ffff00 line "},
        PrecedenceCase{"StandardThinnest", true, true, "pen 4 width 0 colour file",
                       "813 #ff0000 line 0 #ffff00 line "},
        PrecedenceCase{"StandardHidden", true, true, "pen 3 hidden", "407 #ffff00 line "},
        PrecedenceCase{"StandardMono", true, false, "pen 3 colour #00ff00 width 0.35",
                       "407 #000000 line line "}),
    [](const auto& info) { return std::string(info.param.name); });

// A fill's tone follows the table's colour, shaded as the file shaded the pen's own.
TEST(PenTableFills, KeepTheirShadingAndImagesBelongToNoPen) {
  const auto read = std::make_shared<const StandardReadOutcome>(
      ReadStandardPlotBytes("IN;SP1;FT10,50;PA0,0;RA1000,1000;"));
  const std::unique_ptr<PlotSource> source =
      SourceOfPages(std::shared_ptr<const StandardPlot>(read, &read->plot));
  const auto brushColour = [&](std::shared_ptr<const PenTable> pens) {
    for (const EmfRecord& r : ParseEmfRecords([&] {
           const auto bytes = Metafile(*source, true, pens);
           return std::string(bytes.begin(), bytes.end());
         }()))
      if (r[0] == kCreateBrush) return static_cast<std::uint32_t>(r[3]);
    return 0xFFFFFFFFu;
  };
  EXPECT_EQ(brushColour(nullptr), 0x808080u) << "black at half";
  EXPECT_EQ(brushColour(Table("pen 1 colour #ff0000")), 0x8080FFu) << "red at half";
  EXPECT_EQ(brushColour(Table("pen 1 hidden")), 0xFFFFFFFFu) << "no fill at all";
  // A raster image is no pen's: it stays black whatever the table says of the pen in force.
  const auto image = std::make_shared<const StandardReadOutcome>(
      ReadStandardPlotBytes(std::string("IN;SP1;\x1b%1A\x1b*t254R\x1b*r1A\x1b*b1W\x80\x1b*rC")));
  ASSERT_EQ(image->counts.rasterImages, 1);
  const std::unique_ptr<PlotSource> raster =
      SourceOfPages(std::shared_ptr<const StandardPlot>(image, &image->plot));
  for (const char* profile : {"pen 1 colour #ff0000", "pen 1 hidden", "pen 0 colour #ff0000"}) {
    const auto bytes = Metafile(*raster, true, Table(profile));
    std::uint32_t brush = 0xFFFFFFFFu;
    for (const EmfRecord& r : ParseEmfRecords(std::string(bytes.begin(), bytes.end())))
      if (r[0] == kCreateBrush) brush = static_cast<std::uint32_t>(r[3]);
    EXPECT_EQ(brush, 0u) << profile;
  }
}

// Each primitive of a picture as the colour and width it is painted with, in order.
std::vector<std::string> Painted(const MetafilePicture& picture) {
  const MetafilePicture::Drawing& d = *picture.Contents();
  std::vector<std::string> painted;
  for (const DrawRun& run : d.runs)
    for (std::uint32_t i = 0; i < run.count; ++i)
      painted.push_back(std::to_string(d.pens[run.pen].colour) + "," +
                        std::to_string(d.pens[run.pen].width));
  return painted;
}

// Cut anywhere, the parts of a drawing with a table paint the whole: a part that starts
// after a hidden pen or a colour of the table starts with the colour they left in force.
TEST(PenTableParts, TogetherPaintTheWhole) {
  const std::unique_ptr<PlotSource> source =
      Source(false,
             "IN;SP4;PU0,0;PD100,0;SP12;PU100,0;PD100,100;SP3;PU100,100;PD0,100;SP13;PU0,100;PD0,0;"
             "SP5;CI20;SP14;CI30;");
  DisplaySettings settings;
  settings.ColorMode = 1;
  const DrawSetup setup{Rotation{}, settings,
                        Table("pen 3 colour #123456\npen 4 hidden\npen 5 hidden width 1\n"
                              "pen 13 width 0.3")};
  const std::vector<std::string> whole = Painted(DrawPlotPicture(*source, setup));
  ASSERT_EQ(whole.size(), 4u) << "pens 4 and 5 hidden";
  for (std::size_t cut = 0; cut <= 6; ++cut) {
    std::vector<std::string> parts = Painted(DrawPlotPicture(*source, setup, {0, cut}));
    const std::vector<std::string> rest = Painted(DrawPlotPicture(*source, setup, {cut}));
    parts.insert(parts.end(), rest.begin(), rest.end());
    EXPECT_EQ(parts, whole) << "cut " << cut;
  }
}

// Without a table, or with one that names none of the plot's pens, every drawing is the
// reading's own, record for record, in either reading, colour mode and turn.
TEST(PenTableDefault, DrawsAsBefore) {
  const std::string own =
      "IN;SP1;PU0,0;PD1000,0,1000,800;SP4;LT1;PD0,800;SP9;LT2;PD0,0;LT5;PD10,10;SP2;CI150;"
      "SP12;AA500,400,90;";
  const std::string standard =
      "IN;PW0.5,2;SP1;PA0,0;PD4000,0;SP2;LT2;PD4000,3000;FT10,30;RA100,100;FT3,50,45;"
      "RA3000,2000;LT;SP0;PD0,0;";
  for (const auto& [isStandard, plot] : {std::pair(false, own), {true, standard}}) {
    const std::unique_ptr<PlotSource> source = Source(isStandard, plot);
    for (const auto& [angle, colour] : {std::pair(0, true), {0, false}, {90, true}, {270, false}}) {
      DisplaySettings settings;
      settings.ColorMode = colour ? 1 : 0;
      const Rotation rotation = RotationForAngle(static_cast<std::int16_t>(angle));
      const auto before = DrawPlotInMemory(*source, {rotation, settings});
      EXPECT_EQ(DrawPlotInMemory(*source, {rotation, settings, Table("")}), before);
      EXPECT_EQ(DrawPlotInMemory(*source, {rotation, settings, Table("pen 77 hidden width 3")}),
                before);
    }
  }
}

}  // namespace
}  // namespace korvid::testing
