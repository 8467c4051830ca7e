#include <gtest/gtest.h>

#include "app/ErrorMessages.h"

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

}  // namespace
}  // namespace korvid
