// The texts the window shows: error messages and what the status bar says about the readings.
#include <gtest/gtest.h>

#include "app/ErrorMessages.h"
#include "app/ReadingNotes.h"
#include "reader/PlotFile.h"

namespace korvid {
namespace {

TEST(ErrorMessages, ReadAsWritten) {
  const std::string kFileInUse =
      "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)\r\n"
      "対策：他のプログラムでファイルを使用していないか確かめて下さい";
  const std::pair<int, std::string> cases[] = {
      {6, "オーバーフロー(Err=6)"},
      {7, "メモリが足りません(Err=7)"},
      {9,
       "インデックスが有効範囲にありません(Err=9)\r\n"
       "対策：読み込みファイルを間違えていないか確かめて下さい"},
      {52, "ファイル名または番号が不正です。\r\n"},
      {53,
       "ファイルが見つかりません。(Err=53)\r\n"
       "対策：設定ファイルを間違えていないか確かめて下さい"},
      {55, "ファイルは既に開かれています(Err=55)"},
      {61, "ディスクの空き容量が不足しています(Err=61)"},
      {70, "書き込みができません(Err=70)"},
      {480, "メモリが不足しています。(Err=480)\r\nサイズを下げて実行してください"},
      {482, "プリンターエラーです(Err=482)"},
      {520, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)"},
      {521, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)"},
      {31001, "メモリが不足しています(Err=31001)"},
      {31036, kFileInUse},
      {31037, kFileInUse},
      {5, "エラーメッセージ番号 5"},
      {0, "エラーメッセージ番号 0"},
      {-7, "エラーメッセージ番号-7"}};
  for (const auto& [number, text] : cases)
    EXPECT_EQ(ErrorMessageText(number), text) << number;
}

TEST(ReadingNotes, OfferNamesEachDrawnInstructionOnceOrWhyTheReadStopped) {
  ReadOutcome outcome;
  // Only two-letter mnemonics the standard reading draws with count, in any letter case.
  for (const char* name : {"PE", "pe", "VS", "PEN", "P", "\x03L", "Lb", "ZZ", "CO", "SI", "DI",
                           "SC", "IP", "FP", "PM"})
    outcome.skipped.push_back({name, 1});
  EXPECT_EQ(StandardReadingOffer(outcome, false),
            "基本HPGLの読み込みでは描けない命令（PE, LB, SI, DI, SC, IP, …）があります。");
  outcome.fileError = std::make_error_code(std::errc::no_such_file_or_directory);
  EXPECT_EQ(StandardReadingOffer(outcome, true), "");
  // Nothing the default reading skipped, but it stopped at its capacity or at an error.
  ReadOutcome stopped;
  stopped.segmentCapacityReached = true;
  EXPECT_EQ(StandardReadingOffer(stopped, false),
            "基本HPGLの読み込みでは上限を超えた図形を表示できません。");
  stopped.segmentCapacityReached = false;
  stopped.end = ReadEnd::Failure;
  EXPECT_EQ(StandardReadingOffer(stopped, false),
            "基本HPGLの読み込みはエラーのため途中で止まりました。");
}

TEST(ReadingNotes, StandardLeftOutTellsBudgetNothingDrawnAndUnreadInstructions) {
  StandardReadOutcome outcome;
  outcome.plot.pages.emplace_back();
  EXPECT_EQ(DescribeStandardLeftOut(outcome), "描ける図形がありませんでした");
  outcome.plot.pages.back().polylines.push_back({{{0, 0}, {1, 1}}, {}});
  outcome.memoryBudgetReached = true;
  outcome.stoppedAtByte = 1234;
  outcome.unread = {{"ZZ", 3}, {"QQ", 1}};
  EXPECT_EQ(DescribeStandardLeftOut(outcome),
            "図形がメモリの上限（1024 MB）に達したため、以降は読み込んでいません"
            "（1234バイト目まで）。未対応の命令4個を読み飛ばしました（ZZ×3, QQ×1）");
  outcome.memoryBudgetReached = false;
  outcome.unread.clear();
  outcome.counts.undrawableCharacters = 2;
  outcome.counts.rasterImagesSkipped = 1;
  outcome.rasterSkip = RasterSkip::Colour;
  EXPECT_EQ(DescribeStandardLeftOut(outcome),
            "描けない文字2個を「?」で表示しました。ラスター画像1個を描けませんでした（カラー）");
  // Why a file could not be read is said in Japanese in both readings, precisely.
  for (const auto& [reason, text] :
       {std::pair<std::error_code, const char*>(
            std::make_error_code(std::errc::permission_denied),
            "ファイルを読み込めませんでした（アクセスが許可されていません）"),
        {make_error_code(PlotFileProblem::Shrank),
         "読み込み中にファイルが短くなったため読み込めませんでした"},
        {make_error_code(PlotFileProblem::TooLarge),
         "ファイルが大きすぎるため読み込めませんでした（上限512MiB）"},
        {make_error_code(PlotFileProblem::NotAFile),
         "ファイルではない（デバイスなど）ため読み込めませんでした"}}) {
    outcome.fileError = reason;
    EXPECT_EQ(DescribeStandardLeftOut(outcome), QString::fromUtf8(text));
    EXPECT_EQ(DescribeFileError(reason), QString::fromUtf8(text));
  }
}

}  // namespace
}  // namespace korvid
