// The texts the window shows: error messages and what the status bar says about the readings.
#include <gtest/gtest.h>

#include "app/ErrorMessages.h"
#include "app/ReadingNotes.h"

namespace korvid {
namespace {

struct MessageCase {
  int number;
  std::string text;
};

class ErrorMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ErrorMessages, ReadAsWritten) {
  EXPECT_EQ(ErrorMessageText(GetParam().number), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorMessages,
    ::testing::Values(
        MessageCase{6, "オーバーフロー(Err=6)"}, MessageCase{7, "メモリが足りません(Err=7)"},
        MessageCase{9,
                    "インデックスが有効範囲にありません(Err=9)\r\n"
                    "対策：読み込みファイルを間違えていないか確かめて下さい"},
        MessageCase{52, "ファイル名または番号が不正です。\r\n"},
        MessageCase{53,
                    "ファイルが見つかりません。(Err=53)\r\n"
                    "対策：設定ファイルを間違えていないか確かめて下さい"},
        MessageCase{55, "ファイルは既に開かれています(Err=55)"},
        MessageCase{61, "ディスクの空き容量が不足しています(Err=61)"},
        MessageCase{70, "書き込みができません(Err=70)"},
        MessageCase{480, "メモリが不足しています。(Err=480)\r\nサイズを下げて実行してください"},
        MessageCase{482, "プリンターエラーです(Err=482)"},
        MessageCase{520, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)"},
        MessageCase{521, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)"},
        MessageCase{31001, "メモリが不足しています(Err=31001)"},
        MessageCase{31036,
                    "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or "
                    "31037)\r\n対策：他のプログラムでファイルを使用していないか確かめて下さい"},
        MessageCase{31037,
                    "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or "
                    "31037)\r\n対策：他のプログラムでファイルを使用していないか確かめて下さい"},
        MessageCase{5, "エラーメッセージ番号 5"}, MessageCase{0, "エラーメッセージ番号 0"},
        MessageCase{-7, "エラーメッセージ番号-7"}));

TEST(ReadingNotes, StandardReadingDrawsWithTheseInstructionsOnly) {
  const std::pair<const char*, bool> cases[] = {
      {"PE", true}, {"pe", true},   {"Lb", true},  {"SC", true},    {"FP", true},  {"PW", true},
      {"YT", true}, {"AA", true},   {"VS", false}, {"CO", false},   {"PS", false}, {"ZZ", false},
      {"P", false}, {"PEN", false}, {"", false},   {"\x03L", false}};
  for (const auto& [mnemonic, draws] : cases)
    EXPECT_EQ(StandardReadingDraws(mnemonic), draws) << mnemonic;
}

TEST(ReadingNotes, OfferNamesEachDrawnInstructionOnceAndNoUnreadableFile) {
  ReadOutcome outcome;
  for (const char* name : {"PE", "pe", "VS", "LB", "SI", "DI", "SC", "IP", "FP", "PM"})
    outcome.skipped.push_back({name, 1});
  EXPECT_EQ(StandardReadingOffer(outcome, false),
            "基本HPGLの読み込みでは描けない命令（PE, LB, SI, DI, SC, IP, …）があります。");
  outcome.fileError = std::make_error_code(std::errc::no_such_file_or_directory);
  EXPECT_EQ(StandardReadingOffer(outcome, true), "");
}

TEST(ReadingNotes, OfferWhenTheReadStoppedEarly) {
  const struct {
    ReadEnd end;
    bool capacity;
    const char* reason;
  } cases[] = {
      {ReadEnd::Completed, false, ""},
      {ReadEnd::PageAdvance, false, "基本HPGLの読み込みでは2ページ目以降を表示できません。"},
      {ReadEnd::Completed, true, "基本HPGLの読み込みでは上限を超えた図形を表示できません。"},
      {ReadEnd::Failure, false, "基本HPGLの読み込みはエラーのため途中で止まりました。"},
  };
  for (const auto& c : cases) {
    ReadOutcome outcome;
    outcome.end = c.end;
    outcome.segmentCapacityReached = c.capacity;
    EXPECT_EQ(StandardReadingOffer(outcome, false), QString::fromUtf8(c.reason)) << c.reason;
  }
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
  outcome.fileError = std::make_error_code(std::errc::permission_denied);
  EXPECT_EQ(DescribeStandardLeftOut(outcome),
            QStringLiteral("ファイルを読み込めませんでした（%1）")
                .arg(QString::fromStdString(outcome.fileError.message())));
}

}  // namespace
}  // namespace korvid
