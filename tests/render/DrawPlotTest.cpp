// The plot metafile as the drawing routine writes it, read back record by record, and the
// picture the window builds without it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPainter>
#include <regex>
#include <sstream>
#include <tuple>

#include "RenderTestSupport.h"
#include "hpgl2/Hpgl2Reader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafileDrawing.h"
#include "render/PictureRecorder.h"
#include "render/Rotation.h"

namespace korvid::testing {
namespace {

using ::testing::ContainsRegex;

// The records as text: "Frame right,bottom", "Map", "M" (move), "L" (line), "Arc", "Pen"
// (colours as #rrggbb), "Select", "Delete", "End", each followed by its words.
std::string Dump(const std::vector<EmfRecord>& records) {
  constexpr std::int32_t kTypes[] = {kHeader,    kSetMapMode,   kMoveTo,       kLineTo, kArc,
                                     kCreatePen, kSelectObject, kDeleteObject, kEof};
  constexpr const char* kNames[] = {"Frame", "Map",    "M",      "L",   "Arc",
                                    "Pen",   "Select", "Delete", "End", "?"};
  std::string text;
  for (const EmfRecord& r : records) {
    text += kNames[std::find(std::begin(kTypes), std::end(kTypes), r[0]) - kTypes];
    const std::size_t first = r[0] == kHeader ? 7 : 1, end = r[0] == kHeader ? 9 : r.size();
    for (std::size_t i = first; i < end && r[0] != kEof; ++i) {
      char word[16];
      const std::int32_t w = r[i];
      if (r[0] == kCreatePen && i == 5)
        std::snprintf(word, sizeof word, "#%02x%02x%02x", w & 0xff, (w >> 8) & 0xff, w >> 16);
      else
        std::snprintf(word, sizeof word, "%d", w);
      text += (i == first ? " " : ",") + std::string(word);
    }
    text += " ";
  }
  return text;
}

// A pattern for ContainsRegex in which * stands for one number and ... for anything.
std::string Pattern(const std::string& wildcards) {
  const std::string numbers = std::regex_replace(wildcards, std::regex("\\*"), "[^ ,]+");
  return std::regex_replace(numbers, std::regex("\\.\\.\\."), ".*");
}

class DrawPlotTest : public ::testing::Test, public DrawProgress {
 protected:
  ~DrawPlotTest() override { std::filesystem::remove(path); }
  void ShowProgress(int widthMm) override { steps.push_back(widthMm); }

  std::string Draw(std::int16_t angle = 0) {
    DrawPlot(*SourceOfModel(*model), {RotationForAngle(angle), settings}, path, this);
    written = Slurp(path);
    return Dump(ParseEmfRecords(written));
  }

  std::unique_ptr<PlotModel> model;
  DisplaySettings settings;
  std::vector<int> steps;
  const std::string path = TempPath("korvid-drawplot");
  std::string written;
};

struct DrawCase {
  const char* name;
  const char* plot;
  std::int16_t angle;
  bool colour;
  const char* records;  // a part of the dump; * for any number
};

class DrawPlotRecords : public DrawPlotTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(DrawPlotRecords, AreAsExpected) {
  model = ReadPlot(GetParam().plot);
  settings.ColorMode = GetParam().colour;
  EXPECT_THAT(Draw(GetParam().angle), ContainsRegex(Pattern(GetParam().records)));
}

// The longer side of the plot plus a 100-unit margin is 32767 units (MetaScale = 32767 /
// 10100 here) in MM_HIMETRIC; (0, 7500) is the top-left corner, (10000, 0) lies 10000 x
// 7500 scaled away, below. Quarter turns exchange the frame's sides.
constexpr const char* kLine = "PU0,7500;PD10000,0;";
// Two crosses a segment, upright; the first at (0, 0), the plot's bottom-left, 16383.5 units
// below the top, with arms of 1% of the larger side: 100 * 0.01 * MetaScale = 163.8 units.
constexpr const char* kCrosses = "LT0;PU0,0;PD100,0,100,100;";

INSTANTIATE_TEST_SUITE_P(
    Plots, DrawPlotRecords,
    ::testing::Values(
        DrawCase{"Frame", kLine, 0, false, "^Frame 32767,24656 Map 3 M 0,0 L 32443,-24332 End $"},
        DrawCase{"FrameTurnedRight", kLine, 90, false, "^Frame 24656,32767 "},
        DrawCase{"FrameUpsideDown", kLine, 180, false, "^Frame 32767,24656 "},
        DrawCase{"FrameTurnedLeft", kLine, 270, false, "^Frame 24656,32767 "},
        // Turned left the wider side stands upright: the top-left corner goes to the
        // bottom-left, s·W below the top, and the line's far end to the top, all inside.
        DrawCase{"NonSquareTurnedLeftStaysInItsFrame", kLine, 270, false,
                 "^Frame 24656,32767 Map 3 M 0,-32443 L 24336,-3 End $"},
        // MetaScale = 32767/300; s·H = 10922.33. The top edge (0,100)-(200,100) runs down
        // the right side: u = s·H − Y′ with Y′ = 0.
        DrawCase{"QuarterTurn", "PU0,0;PD200,0,200,100;PU0,100;PD200,100;", 90, false,
                 "M 10922,0 L 10922,-21845 End"},
        // The corner (0, 0) has the offsets (0, s·H) and lands at u = s·W − sin(3.1417)·s·H:
        // 32445, where an exact half turn would give 32443.
        DrawCase{"HalfTurnWithTheCallersSine", "PU0,0;PD10000,0,10000,7500;", 180, false,
                 "Map 3 M 32445,0 "},
        // In colour every element has a pen of its own (handle, style, width, colour); pens
        // above 8 keep the colour in force, LT-1 is dotted.
        DrawCase{"ColourPens", "SP4;PU0,0;PD10,0;SP9;PU10,0;PD10,10;LT-1;CI5;", 0, true,
                 "Map 3 Pen 1,0,1,0,#ff0000 Select 1 M *,* L *,* Delete 1 "
                 "Pen 1,0,1,0,#ff0000 Select 1 M *,* L *,* Delete 1 "
                 "Pen 1,2,1,0,#ff0000 Select 1 Arc [^ ]+ Delete 1 End"},
        DrawCase{"PenColours",
                 "SP1;PU0,0;PD1,0;SP2;PU2,0;PD3,0;SP3;PU4,0;PD5,0;SP5;PU6,0;PD7,0;SP6;PU8,0;"
                 "PD9,0;SP7;PU10,0;PD11,0;",
                 0, true, ",#0000ff ...,#00ff00 ...,#00ffff ...,#ff00ff ...,#ffff00 ...,#000000 "},
        DrawCase{"UnknownPenFirstIsBlack", "SP12;PU0,0;PD10,0;", 0, true, "Pen 1,0,1,0,#000000"},
        // The arcs start with the segments' last colour; pen 8 is grey.
        DrawCase{"ArcsGoOnInTheLastColour", "SP4;PU0,0;PD10,0;SP12;CI2;SP8;CI3;", 0, true,
                 "#ff0000 ... Pen 1,0,1,0,#ff0000 ... Pen 1,0,1,0,#808080 "},
        DrawCase{"MonoHasOnlyTheDefaultPen", "LT-1;PU0,0;PD10,0;LT3;PD10,10;CI4;", 0, false,
                 "Map 3 M *,* L *,* M *,* L *,* Arc [^ ]+ End"},
        DrawCase{"PointsOnlyMono", kCrosses, 0, false,
                 "Map 3 M -164,-16384 L 164,-16384 M 0,-16547 L 0,-16220 (M *,* L *,* ){6}End"},
        DrawCase{
            "PointsOnlyColourIsSolid", kCrosses, 0, true,
            "Map 3 Pen 1,0,1,0,#0000ff Select 1 M -164,-16384 L 164,-16384 M 0,-16547 L 0,-16220 "
            "(M *,* L *,* ){2}Delete 1 Pen 1,0,1,0,#0000ff Select 1 (M *,* L *,* ){4}Delete 1 End"},
        DrawCase{"PointsOnlyArcHasCrossesAtItsEnds", "LT0;PU10,0;AA0,0,90;", 0, false,
                 "Map 3 (M *,* L *,* ){4}End"},
        // MetaScale 32767/300; box (0,200)-(200,0) → (0, 0)-(21845, -21845); start at the
        // right (21845, -10922.3 → -10922); end at the top (10922, 0).
        DrawCase{"ArcBoxAndRadialPoints", "PU0,0;PD0,200,200,200;PU200,100;AA100,100,90;", 0, false,
                 "Arc 0,0,21845,-21845,21845,-10922,10922,0 End"},
        // A zero radius is still an arc, all at the pen position, the top-right corner.
        DrawCase{"ZeroRadiusArc", "PU0,0;PD100,100;CI0;", 0, false,
                 "Arc 16384,0,16384,0,16384,0,16384,0 End"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawPlotTest, ReportsProgressAndWritesWhatThePlayerLoads) {
  model = ReadPlot(kLine);
  Draw();
  EXPECT_EQ(steps, std::vector<int>({15, 40}));
  // The player refuses a file whose size, record count or handle table is wrong.
  EXPECT_EQ(MetafilePicture::FromBytes(written).Description(),
            QString::fromUtf16(u"***** \0HPGL Data Drawing\0\0", 26));
}

TEST_F(DrawPlotTest, UnsetExtentsOverflowBeforeAnyFileWork) {
  model = ReadPlot("PU0,0;PD10,10;");
  Draw();
  model = ReadPlot("IN;SP1;");  // nothing drawn: the extents keep their start values
  EXPECT_EQ(ErrorOf([&] { Draw(); }), 6);
  EXPECT_TRUE(std::filesystem::exists(path)) << "failed before touching the old file";
  EXPECT_EQ(steps.size(), 2u);
}

TEST(RotationForAngle, UsesTheCommandsRadians) {
  EXPECT_EQ(RotationForAngle(0).cosA, 1);
  EXPECT_NEAR(RotationForAngle(90).cosA, -0.0000036732, 1e-10);
  EXPECT_NEAR(RotationForAngle(90).sinA, 0.9999999999933, 1e-12);
  EXPECT_NEAR(RotationForAngle(180).sinA, -0.00010734641, 1e-11);
  EXPECT_NEAR(RotationForAngle(270).cosA, 0.00011101962, 1e-11);
  EXPECT_EQ(RotationForAngle(45).angle, 0);
}

// Everything a decoded picture holds, as text, numbers exact.
std::string Text(const MetafilePicture& picture) {
  const MetafilePicture::Drawing& d = *picture.Contents();
  std::ostringstream text;
  text << std::hexfloat << d.frame.width() << ',' << d.frame.height() << ' '
       << d.description.toStdString() << ' ' << d.widestPen;
  for (const PicturePen& p : d.pens) {
    text << "\npen " << p.colour << ',' << int(p.style) << ',' << p.width << ',' << int(p.ends)
         << ',' << int(p.joins) << ',' << p.miterLimit;
  }
  const auto box = [&text](const FrameBox& b) {
    text << ' ' << b.left << ',' << b.top << ',' << b.right << ',' << b.bottom;
  };
  for (const DrawRun& r : d.runs) {
    text << "\nrun " << r.pen << ',' << int(r.kind) << ',' << r.first << ',' << r.count;
    box(r.bounds);
  }
  for (const FrameLine& l : d.lines)
    text << "\nline " << l.x1 << ',' << l.y1 << ',' << l.x2 << ',' << l.y2;
  for (const FrameArc& a : d.arcs)
    text << "\narc " << a.cx << ',' << a.cy << ',' << a.rx << ',' << a.ry << ',' << a.start << ','
         << a.sweep;
  for (const FrameFill& f : d.fills) {
    text << "\nfill " << f.colour << ',' << f.winding;
    box(f.bounds);
    for (std::uint32_t size : f.ringSizes)
      text << " ring " << size;
    for (const QPointF& p : f.points)
      text << ' ' << p.x() << ',' << p.y();
  }
  return text.str();
}

// The picture built straight from a plot or page is the one its metafile plays as: for
// the own reading pens that change and stay, every line style, crosses of points-only
// records, full circles, arcs both ways and of no radius; for the standard reading wide
// pens with their ends and joins, thin ones, fills by both rules among the lines, hatching,
// dashes, dots, white, pages after the first; in colour and in black and white, in every
// turn.
TEST(PictureRecorderTest, BuildsWhatTheMetafilePlaysAs) {
  const std::shared_ptr<const PlotModel> everything = ReadPlot(
      "IN;SP1;PU0,0;PD1000,0,1000,800;SP4;LT1;PD0,800;SP9;LT2;PD0,0;LT3;PU200,200;PD400,600;LT0;"
      "PD450,650;CI40;LT4;PD600,200;LT;SP2;PU500,400;CI150;CI0;SP3;AA500,400,90;AA500,400,-270;"
      "SP5;PR;PD50,50,0,-80;PA;SP6;PU700,100;PD700,100;");
  const std::shared_ptr<const PlotModel> onePoint = ReadPlot("PU300,300;PD300,300;");
  const auto pages = std::make_shared<const StandardReadOutcome>(ReadStandardPlotBytes(
      "IN;PW2,1;SP1;PA0,0;PD4000,0,4000,3000;LA1,2,2,2;SP2;PD0,3000;LA1,3,2,1;PD0,0;"
      "SP3;PA500,500;RA1500,1500;FT3,100,45;RA2500,2000;FT4,80,30;WG600,3000,1500,0,90;"
      "FT1;PM0;PA100,100;PD200,100,200,200,100,200;PM1;PD120,120,180,120,180,180;PM2;FP;FP1;"
      "PW0.1;LT2,4,1;SP4;PA0,2000;PD3000,2000;LT0;PD3100,2100;LT;PW0.01;SP5;PD3500,2500;"
      "SP0;PA3000,500;RR300,300;PG;SP1;PA0,0;PD100,50;"));
  struct Source {
    std::unique_ptr<PlotSource> source;
    int page;
  };
  Source sources[] = {{SourceOfModel(everything), 1},
                      {SourceOfModel(onePoint), 1},
                      {SourceOfPages(std::shared_ptr<const StandardPlot>(pages, &pages->plot)), 1},
                      {SourceOfPages(std::shared_ptr<const StandardPlot>(pages, &pages->plot)), 2}};
  for (Source& s : sources) {
    s.source->SelectPage(s.page);
    for (const auto& [angle, colour] : {std::pair(0, 1), {0, 0}, {90, 1}, {180, 1}, {270, 0}}) {
      SCOPED_TRACE(std::to_string(angle) + (colour ? " colour" : " mono"));
      DisplaySettings settings;
      settings.ColorMode = colour;
      const DrawSetup setup{RotationForAngle(angle), settings};
      const auto bytes = DrawPlotInMemory(*s.source, setup);
      const MetafilePicture played =
          MetafilePicture::FromBytes(std::string(bytes.begin(), bytes.end()));
      EXPECT_EQ(Text(DrawPlotPicture(*s.source, setup)), Text(played));
      PictureRecorder recorder({0, 0, 100, 100}, PlotMetafileDescription());
      s.source->Draw(recorder, setup, {});
      EXPECT_EQ(recorder.Size() + 20, bytes.size()) << "the metafile's size, its end record aside";
    }
  }
}

// Each primitive of a picture in painting order with the pen it is painted with.
std::vector<std::string> Strokes(const MetafilePicture& picture) {
  const MetafilePicture::Drawing& d = *picture.Contents();
  std::vector<std::string> strokes;
  for (const DrawRun& r : d.runs) {
    const PicturePen& p = d.pens[r.pen];
    std::ostringstream pen;
    pen << std::hexfloat << p.colour << ',' << int(p.style) << ',' << p.width << ' ';
    for (std::uint32_t i = r.first; i < r.first + r.count; ++i) {
      std::ostringstream stroke(pen.str(), std::ios::ate);
      stroke << std::hexfloat;
      if (r.kind == RunKind::kLines) {
        const FrameLine& l = d.lines[i];
        stroke << "line " << l.x1 << ',' << l.y1 << ',' << l.x2 << ',' << l.y2;
      } else if (r.kind == RunKind::kFills) {
        const FrameFill& f = d.fills[i];
        stroke << "fill " << f.colour << ',' << f.points.size() << ',' << f.points[0].x();
      } else {
        const FrameArc& a = d.arcs[i];
        stroke << "arc " << a.cx << ',' << a.cy << ',' << a.rx << ',' << a.ry << ',' << a.start
               << ',' << a.sweep;
      }
      strokes.push_back(stroke.str());
    }
  }
  return strokes;
}

// Cut anywhere, the two parts of a picture paint what the whole picture paints: the same
// frame, and every line, arc and fill once, in order, with its pen, also where a pen beyond
// 8 keeps the colour the part before it left, or a fill comes between lines. Recorded apart
// and joined, they are the whole picture, pens, runs and bounds and all, also where the
// later part's first pen is one the first part made or a miter limit is in force.
TEST(PlotPartsTest, TogetherPaintTheWholePicture) {
  const std::shared_ptr<const PlotModel> model = ReadPlot(
      "IN;SP4;PU0,0;PD1000,0;SP9;PD1000,800;LT2;PD0,800;SP2;LT;PU500,400;CI150;SP11;"
      "CI60;AA500,400,90;SP5;PD0,0;SP12;PD300,300;LT5;PD350,300;AA100,100,-45;");
  const auto pages = std::make_shared<const StandardPlot>(
      ReadStandardPlotBytes("IN;LA2,4,3,6;SP1;PA0,0;PD1000,0;SP2;PA200,200;RA600,600;LT2;SP3;"
                            "PD0,800;PW1;LT;PD900,900;FT3,50,0;RA100,100;SP1;PA0,0;PD50,900;")
          .plot);
  struct Case {
    std::unique_ptr<PlotSource> source;
    std::size_t items;
  };
  Case cases[] = {
      {SourceOfModel(model), std::size_t(model->SegCount[1] + model->ArcCount[1])},
      {SourceOfPages(pages), pages->pages[0].polylines.size() + pages->pages[0].polygons.size()}};
  for (const Case& c : cases) {
    for (const auto& [angle, colour] : {std::pair(0, 1), {0, 0}, {90, 1}, {270, 1}}) {
      DisplaySettings settings;
      settings.ColorMode = colour;
      const DrawSetup setup{RotationForAngle(angle), settings};
      const MetafilePicture whole = DrawPlotPicture(*c.source, setup);
      EXPECT_EQ(c.source->Frame(angle), whole.Frame());
      for (std::size_t cut = 0; cut <= c.items; ++cut) {
        SCOPED_TRACE(std::to_string(angle) + (colour ? " colour, cut " : " mono, cut ") +
                     std::to_string(cut));
        std::vector<std::string> strokes = Strokes(DrawPlotPicture(*c.source, setup, {0, cut}));
        const std::vector<std::string> rest = Strokes(DrawPlotPicture(*c.source, setup, {cut}));
        strokes.insert(strokes.end(), rest.begin(), rest.end());
        EXPECT_EQ(strokes, Strokes(whole));
        const QRect frame = c.source->Frame(angle);
        PictureRecorder first({0, 0, frame.width(), frame.height()}, PlotMetafileDescription());
        PictureRecorder later = first.Another();
        c.source->Draw(first, setup, {0, cut});
        c.source->Draw(later, setup, {cut});
        first.Append(std::move(later));
        EXPECT_EQ(Text(MetafilePicture::FromDrawing(first.Finish())), Text(whole));
        // The later part recorded into the first one's room, which may be just right, too
        // large or too small for either.
        const std::size_t own =
            DrawPlotPicture(*c.source, setup, {0, cut}).Contents()->lines.size();
        const std::size_t next = DrawPlotPicture(*c.source, setup, {cut}).Contents()->lines.size();
        for (const auto& [before, room] : {std::pair(own, next),
                                           {own + 7, next + 3},
                                           {0, 0},
                                           {own / 2, next},
                                           {own, next / 2},
                                           {own + 2, next / 3}}) {
          SCOPED_TRACE("room " + std::to_string(before) + " and " + std::to_string(room));
          PictureRecorder front({0, 0, frame.width(), frame.height()}, PlotMetafileDescription());
          PictureRecorder behind = front.Behind(before, room);
          c.source->Draw(behind, setup, {cut});
          c.source->Draw(front, setup, {0, cut});
          front.Append(std::move(behind));
          EXPECT_EQ(Text(MetafilePicture::FromDrawing(front.Finish())), Text(whole));
        }
      }
    }
  }
}

// A page large enough to be recorded by two processors at once, its halves joined, is the
// picture its metafile plays as.
TEST(PlotPartsTest, ALargePageRecordedInHalvesIsTheWholePicture) {
  std::string large = "IN;PW0.5;LA2,4,3,3;";
  for (int pen = 0; pen < 40; ++pen) {
    large += "SP" + std::to_string(1 + pen % 3) + ";PA0," + std::to_string(pen * 10) + ";PD";
    for (int x = 1; x <= 800; ++x)
      large +=
          std::to_string(x * 5) + ',' + std::to_string(pen * 10 + (x % 7)) + (x < 800 ? "," : ";");
    if (pen % 9 == 4) large += "PA100,100;RA300,300;";
  }
  const std::unique_ptr<PlotSource> page =
      SourceOfPages(std::make_shared<const StandardPlot>(ReadStandardPlotBytes(large).plot));
  const DrawSetup setup{RotationForAngle(0), DisplaySettings()};
  const auto bytes = DrawPlotInMemory(*page, setup);
  EXPECT_EQ(Text(DrawPlotPicture(*page, setup)),
            Text(MetafilePicture::FromBytes(std::string(bytes.begin(), bytes.end()))));
}

// A page recorded and painted piece by piece, as a large image of it is, paints what its
// part recorded whole does: the pieces follow one another, and none is cut where wide
// mitered strokes join, nor inside a dashed line.
TEST(PlotPartsTest, APageInPiecesPaintsWhatItsPartDoes) {
  std::string plot = "IN;PW0.8;LA2,1,3,5;";
  for (int line = 0; line < 60; ++line) {
    plot += "SP" + std::to_string(1 + line % 2) + (line % 5 == 0 ? ";LT2" : ";LT") + ";PA0," +
            std::to_string(line * 40) + ";PD";
    for (int x = 1; x <= 40; ++x)
      plot += std::to_string(x * 50) + ',' + std::to_string(line * 40 + (x % 2) * 30) +
              (x < 40 ? "," : ";");
    // The next line starts where this one ended: a painter joins them.
    if (line % 3 == 0) plot += "PW0.8;PD2000," + std::to_string(line * 40 + 35) + ";";
    if (line % 7 == 3) plot += "FT1;RA" + std::to_string(line * 30) + ",2000;";
  }
  const std::unique_ptr<PlotSource> page =
      SourceOfPages(std::make_shared<const StandardPlot>(ReadStandardPlotBytes(plot).plot));
  const DrawSetup setup{RotationForAngle(0), DisplaySettings()};
  const QSize size(500, 500);
  for (const DrawingPart part : {DrawingPart{}, DrawingPart{7, 50}}) {
    const std::vector<DrawingPart> pieces = page->Pieces(part, 100);
    ASSERT_GT(pieces.size(), 5u);
    EXPECT_EQ(pieces.front().first, part.first);
    EXPECT_EQ(pieces.back().end, part.end);
    for (std::size_t i = 1; i < pieces.size(); ++i)
      EXPECT_EQ(pieces[i].first, pieces[i - 1].end);
    QImage inPieces(size, QImage::Format_RGB32);
    inPieces.fill(Qt::white);
    {
      QPainter painter(&inPieces);
      for (const DrawingPart& piece : pieces)
        DrawPlotPicture(*page, setup, piece).Paint(painter, QRectF(QPointF(), QSizeF(size)));
    }
    EXPECT_EQ(inPieces, Render(DrawPlotPicture(*page, setup, part), size)) << part.first;
  }
}

// The balanced cut leaves nothing out and draws nothing twice, among the segments or,
// where circles are most of the work, among the arcs; small plots are not cut.
TEST(PlotPartsTest, BalancedCutCoversThePlotOnce) {
  std::string lines = "PU0,0;PD";
  for (int i = 1; i <= 20000; ++i)
    lines += std::to_string(i * 10) + "," + (i % 2 ? "0," : "500,");
  lines.back() = ';';
  for (const auto& [plot, pixelsPerUnit, inArcs] :
       {std::tuple(lines + "PU2000,250;CI10;", 0.1, false),
        {lines + "PU2000,250;CI2000;CI1900;CI1800;CI1700;", 1e6, true}}) {
    const std::shared_ptr<const PlotModel> model = ReadPlot(plot);
    const std::size_t items = model->SegCount[1] + model->ArcCount[1];
    const std::optional<DrawingParts> parts = SourceOfModel(model)->PartsForThreads(pixelsPerUnit);
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->first.first, 0u);
    EXPECT_EQ(parts->later.first, parts->first.end);
    EXPECT_EQ(parts->later.end, items);
    if (inArcs) {
      EXPECT_GT(parts->first.end, static_cast<std::size_t>(model->SegCount[1]));
    } else {
      EXPECT_GT(parts->first.end, 1u);
      EXPECT_LT(parts->first.end, static_cast<std::size_t>(model->SegCount[1]));
    }
  }
  EXPECT_FALSE(SourceOfModel(std::shared_ptr<const PlotModel>(ReadPlot("PU0,0;PD10,10;")))
                   ->PartsForThreads(0.1)
                   .has_value());
}

}  // namespace
}  // namespace korvid::testing
