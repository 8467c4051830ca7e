// The pen table: its profile text, its folder of profiles, the order in which it and the
// file decide a pen, and what each pen of a plot draws.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "hpgl2/Hpgl2Reader.h"
#include "model/RuntimeError.h"
#include "pens/PenProfiles.h"
#include "pens/PenUse.h"
#include "reader/PlotReader.h"

namespace korvid {
namespace {

PenSetting Look(std::optional<PenRgb> colour, std::optional<double> width, bool shown = true) {
  return {colour, width, shown};
}

TEST(PenProfileText, ReadsEveryFormOfALine) {
  const PenProfileRead read = ReadPenProfileText(
      "\xEF\xBB\xBF# made by hand\r\n"
      "pen 3 colour #000000 width 0.7 shown\r\n"
      "\n"
      "   \t\n"
      "PEN 5 HIDDEN\n"
      "pen 7 width 0 colour #FFa500   # orange, thinnest\n"
      "pen 8 color file width file\n"
      "pen -2 width 12.25 hidden\n"
      "pen 32767 colour #0000ff");
  ASSERT_FALSE(read.error) << DescribePenProfileError(*read.error);
  const std::map<int, PenSetting> expected = {{-2, Look({}, 12.25, false)},
                                              {3, Look(0x000000, 0.7)},
                                              {5, Look({}, {}, false)},
                                              {7, Look(0xFFA500, 0.0)},
                                              {32767, Look(0x0000FF, {})}};
  // "pen 8" says nothing a file does not say: it needs no entry.
  EXPECT_EQ(read.table.Entries(), expected);
}

TEST(PenProfileText, WritesWhatReadsBackTheSame) {
  PenTable table;
  table.Set(1, Look(0x123456, 0.35));
  table.Set(4, Look({}, 0.0, false));
  table.Set(-7, Look(0xFFFFFF, {}));
  table.Set(9, Look({}, 0.1 + 0.2));  // no rounding: 0.30000000000000004
  const std::string text = PenProfileText(table);
  EXPECT_NE(text.find("\npen 1 colour #123456 width 0.35 shown\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\npen 4 width 0 hidden\n"), std::string::npos) << text;
  const PenProfileRead read = ReadPenProfileText(text);
  ASSERT_FALSE(read.error);
  EXPECT_EQ(read.table, table);
  EXPECT_TRUE(ReadPenProfileText("").table.Empty());
}

struct BadLine {
  const char* name;
  std::string text;
  std::string message;
};

class PenProfileBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(PenProfileBadLine, StopsWithItsNumberAndWhatIsWrong) {
  const PenProfileRead read = ReadPenProfileText(GetParam().text);
  ASSERT_TRUE(read.error);
  EXPECT_EQ(DescribePenProfileError(*read.error), GetParam().message);
  // Nothing of a bad profile is taken, not even its good lines.
  EXPECT_TRUE(read.table.Empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, PenProfileBadLine,
    ::testing::Values(
        BadLine{"ControlCharacter", "pen 1 hidden\npen 2\x01 shown\n",
                "line 2: not text (a control character)"},
        BadLine{"NulByte", std::string("pen 1\0", 6), "line 1: not text (a control character)"},
        BadLine{"NotAPenLine", "# fine\ncolour 3 #000000",
                "line 2: a line starts with \"pen\" and the pen's number, not \"colour\""},
        BadLine{"NoPenNumber", "pen # nothing", "line 1: \"pen\" needs the pen's number"},
        BadLine{"PenNumberNotWhole", "pen 2.5 shown",
                "line 1: the pen's number is a whole number from -32768 to 32767, not \"2.5\""},
        BadLine{"PenNumberTooLarge", "pen 32768",
                "line 1: the pen's number is a whole number from -32768 to 32767, not \"32768\""},
        BadLine{"PenAgain", "pen 3 hidden\npen 4 width 1\npen 3 hidden",
                "line 3: pen 3 was already set on line 1"},
        BadLine{"UnknownSetting", "pen 3 thick",
                "line 1: unknown setting \"thick\" (colour, width, shown or hidden)"},
        BadLine{"NoColour", "pen 3 colour", "line 1: \"colour\" needs #RRGGBB or file"},
        BadLine{"ColourByName", "pen 3 colour blue",
                "line 1: the colour is #RRGGBB (six hex digits, like #0000ff) or file, not "
                "\"blue\""},
        BadLine{"ShortColour", "pen 3 colour #00f",
                "line 1: the colour is #RRGGBB (six hex digits, like #0000ff) or file, not "
                "\"#00f\""},
        BadLine{"NoWidth", "pen 3 width", "line 1: \"width\" needs millimetres or file"},
        BadLine{"DecimalComma", "pen 3 width 0,35",
                "line 1: the width is millimetres written like 0.35 (0: the thinnest line) or "
                "file, not \"0,35\""},
        BadLine{"NegativeWidth", "pen 3 width -1",
                "line 1: the width is millimetres written like 0.35 (0: the thinnest line) or "
                "file, not \"-1\""},
        BadLine{"WidthWithUnit", "pen 3 width 0.5mm",
                "line 1: the width is millimetres written like 0.35 (0: the thinnest line) or "
                "file, not \"0.5mm\""},
        BadLine{"WidthTooLarge", "pen 3 width 100.5",
                "line 1: the width is at most 100 mm, not \"100.5\""},
        BadLine{"ColourTwice", "pen 3 colour #000000 color #ffffff",
                "line 1: \"color\": the colour is said twice"},
        BadLine{"ShownAndHidden", "pen 3 shown hidden",
                "line 1: \"hidden\": shown or hidden is said twice"},
        BadLine{"LongWordCut", "pen 1 " + std::string(60, 'x'),
                "line 1: unknown setting \"" + std::string(40, 'x') +
                    "...\" (colour, width, shown or hidden)"}),
    [](const auto& info) { return std::string(info.param.name); });

// The order of precedence: the table's entry, then what the reading says (the file's PC and
// PW in the standard reading, else the reading's own colours and widths).
TEST(PenPrecedence, TableFirstThenTheReading) {
  PenTable table;
  table.Set(1, Look(0xFF0000, {}));
  table.Set(2, Look({}, 0.5));
  table.Set(3, Look(0x00FF00, 0.0, false));
  const PenLook reading{0x0000FF, 0.35};
  struct Row {
    int pen;
    DrawnPen drawn;
  };
  const Row rows[] = {
      {1, {true, 0xFF0000, 0.35, true, false}},
      {2, {true, 0x0000FF, 0.5, false, true}},
      {3, {false, 0x00FF00, 0.0, true, true}},
      {4, {true, 0x0000FF, 0.35, false, false}},  // no entry: as the reading draws it
  };
  for (const Row& row : rows) {
    const DrawnPen drawn = ResolvePen(table, row.pen, reading);
    EXPECT_EQ(drawn.shown, row.drawn.shown) << row.pen;
    EXPECT_EQ(drawn.colour, row.drawn.colour) << row.pen;
    EXPECT_EQ(drawn.widthMm, row.drawn.widthMm) << row.pen;
    EXPECT_EQ(drawn.colourFromTable, row.drawn.colourFromTable) << row.pen;
    EXPECT_EQ(drawn.widthFromTable, row.drawn.widthFromTable) << row.pen;
  }
  EXPECT_EQ(ColourRefOf(0x123456), 0x563412u);
  EXPECT_EQ(RgbOf(0x563412), 0x123456u);
}

TEST(PenTable, ASettingThatSaysNothingIsNoEntry) {
  PenTable table;
  table.Set(3, Look(0x000000, {}));
  table.Hide(5);
  EXPECT_TRUE(table.HidesAny());
  table.Set(5, {});
  table.Set(3, {});
  EXPECT_TRUE(table.Empty());
  EXPECT_TRUE(table.Shows(5));
}

class PenProfileFolderTest : public ::testing::Test {
 protected:
  std::filesystem::path root = std::filesystem::temp_directory_path() /
                               ("korvid-pens-" + std::to_string(::getpid()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  PenProfileFolder folder{(root / "config" / "pens").string()};

  void TearDown() override { std::filesystem::remove_all(root); }
};

TEST_F(PenProfileFolderTest, SavesListsLoadsAndRemoves) {
  EXPECT_TRUE(folder.Names().empty());  // the folder is made by the first save
  PenTable table;
  table.Set(3, Look(0x000000, 0.7));
  folder.Save("図面 A3", table);
  folder.Save("cutter", {});
  std::ofstream(root / "config" / "pens" / "notes.txt") << "not a profile";
  std::filesystem::create_directory(root / "config" / "pens" / "folder.pens");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cutter", "図面 A3"}));
  const PenProfileLoad load = folder.Load("図面 A3");
  ASSERT_TRUE(load.Ok()) << DescribePenProfileLoad(load);
  EXPECT_EQ(load.table, table);
  // Saving again replaces it.
  table.Hide(5);
  folder.Save("図面 A3", table);
  EXPECT_EQ(folder.Load("図面 A3").table, table);
  EXPECT_TRUE(folder.Remove("cutter"));
  EXPECT_FALSE(folder.Has("cutter"));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"図面 A3"}));
}

TEST_F(PenProfileFolderTest, NamesThatAreNoFileNameAreRefused) {
  for (const char* name : {"", ".hidden", "a/b", "..", "tab\there"}) {
    EXPECT_FALSE(PenProfileFolder::IsValidName(name)) << name;
    EXPECT_THROW(folder.Save(name, {}), RuntimeError) << name;
    EXPECT_FALSE(folder.Remove(name)) << name;
  }
  EXPECT_FALSE(PenProfileFolder::IsValidName(std::string(201, 'a')));
  EXPECT_FALSE(std::filesystem::exists(root / "config"));
}

TEST_F(PenProfileFolderTest, AFileThatIsNoProfileSaysWhy) {
  std::filesystem::create_directories(root);
  std::ofstream(root / "bad.pens") << "pen 1 shown\npen 2 colour red\n";
  std::ofstream(root / "huge.pens") << std::string(kLargestPenProfileBytes + 1, ' ');
  const PenProfileLoad bad = LoadPenProfileFile((root / "bad.pens").string());
  EXPECT_EQ(DescribePenProfileLoad(bad),
            "line 2: the colour is #RRGGBB (six hex digits, like #0000ff) or file, not \"red\"");
  EXPECT_TRUE(bad.table.Empty());
  EXPECT_EQ(DescribePenProfileLoad(LoadPenProfileFile((root / "huge.pens").string())),
            "larger than 4 MiB, more than any pen profile holds");
  const PenProfileLoad missing = LoadPenProfileFile((root / "missing.pens").string());
  EXPECT_EQ(missing.fileError, std::errc::no_such_file_or_directory);
  EXPECT_EQ(missing.fileErrorNumber, err::kFileNotFound);
  // The window never waits on a FIFO.
  ASSERT_EQ(::mkfifo((root / "fifo.pens").c_str(), 0600), 0);
  EXPECT_TRUE(LoadPenProfileFile((root / "fifo.pens").string()).fileError);
}

class NoMessages : public ReaderMessenger {
 public:
  void ShowMessage(const std::string&) override {}
};

TEST(PenUse, CountsWhatEachPenDrawsInEitherReading) {
  const std::string plot =
      "IN;SP1;PU0,0;PD100,0,100,100;SP3;CI50;SP1;PD0,0;SP5;AA0,0,90;LT2;PD0,100;SP0;PD5,5;";
  PlotModel model;
  NoMessages messages;
  std::int16_t status = 0;
  PlotReader(model, messages).ReadPlotBytes(plot, status);
  model.CurPlot = 1;
  // Counted as the model holds them; a pen selected without drawing is not listed.
  EXPECT_EQ(PenUseOf(model),
            (std::vector<PenUse>{{1, 4, 0, 0, 0}, {3, 0, 1, 0, 0}, {5, 1, 1, 0, 0}}));
  const StandardReadOutcome standard =
      ReadStandardPlotBytes(plot + "SP2;PU0,0;LBAB\x03;SP4;RA10,10;SP2;EA20,20;SP6;PU;PD;SP7;");
  // In HP-GL/2 pen 0 draws nothing, and is counted as such.
  EXPECT_EQ(PenUseOf(standard),
            (std::vector<PenUse>{{1, 2, 0, 0, 0},
                                 {2, 7, 0, 0, 1},  // two letters of strokes, an edged rectangle
                                 {3, 1, 1, 0, 0},
                                 {4, 0, 0, 1, 0},
                                 {5, 2, 1, 0, 0},
                                 {6, 1, 0, 0, 0}}));
  EXPECT_EQ(standard.counts.withoutPen, 1);
}

TEST(PenZero, DrawsInTheStandardReadingOnlyWhenAsked) {
  const std::string plot = "IN;SP0;PU0,0;PD100,0;RA50,50;PU0,0;LBA\x03;CI20;";
  const StandardReadOutcome none = ReadStandardPlotBytes(plot);
  EXPECT_FALSE(none.Drew());
  EXPECT_EQ(none.counts.withoutPen, 4) << "a move, a fill, a label and a circle";
  const StandardReadOutcome drawn = ReadStandardPlotBytes(plot, {.penZeroDraws = true});
  ASSERT_TRUE(drawn.Drew());
  EXPECT_EQ(drawn.counts.withoutPen, 0);
  const StandardPage& page = drawn.plot.pages[0];
  EXPECT_EQ(page.polylines.front().style.pen, 0);
  EXPECT_EQ(page.polygons.size(), 1u);
  EXPECT_EQ(PenUseOf(drawn), (std::vector<PenUse>{{0, 5, 1, 1, 1}}));
  // The edges of polygon mode too: EP outlines what pen 0 put in the buffer, closed.
  const std::string polygon = "IN;SP0;PA0,0;PM0;PD100,0,100,100;PM2;EP;";
  EXPECT_FALSE(ReadStandardPlotBytes(polygon).Drew());
  const StandardReadOutcome edged = ReadStandardPlotBytes(polygon, {.penZeroDraws = true});
  ASSERT_TRUE(edged.Drew());
  ASSERT_EQ(edged.plot.pages[0].polylines.size(), 1u);
  EXPECT_EQ(edged.plot.pages[0].polylines[0].PointCount(), 4u);
}

}  // namespace
}  // namespace korvid
