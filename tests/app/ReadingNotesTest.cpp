// What the status bar says about the readings.
#include <gtest/gtest.h>

#include "app/ReadingNotes.h"

namespace korvid {
namespace {

TEST(ReadingNotes, StandardReadingDrawsWithTheseInstructionsOnly) {
  const std::pair<const char*, bool> cases[] = {
      {"PE", true},  {"pe", true}, {"Lb", true},   {"SC", true},  {"FP", true},    {"PW", true},
      {"YT", true},  {"AA", true}, {"SM", true},   {"VS", false}, {"CO", false},   {"PS", false},
      {"ZZ", false}, {"P", false}, {"PEN", false}, {"", false},   {"\x03L", false}};
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

TEST(ReadingNotes, CaptionNamesTheReadingAndThePageShown) {
  EXPECT_EQ(ReadingCaption(Reading::Design, 1, 1), "読み込み: 基本HPGL");
  EXPECT_EQ(ReadingCaption(Reading::Standard, 1, 1), "読み込み: HP-GL/2");
  EXPECT_EQ(ReadingCaption(Reading::Standard, 2, 7), "読み込み: HP-GL/2（PLOT No.2/7）");
}

}  // namespace
}  // namespace korvid
