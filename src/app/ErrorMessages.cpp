#include "app/ErrorMessages.h"

namespace korvid {

namespace {

constexpr const char* kLineBreak = "\r\n";

struct Message {
  int number;
  const char* first;
  const char* second;  // nullptr: one line
};

constexpr Message kMessages[] = {
    {6, "オーバーフロー(Err=6)", nullptr},
    {7, "メモリが足りません(Err=7)", nullptr},
    {9, "インデックスが有効範囲にありません(Err=9)",
     "対策：読み込みファイルを間違えていないか確かめて下さい"},
    {52, "ファイル名または番号が不正です。", ""},
    {53, "ファイルが見つかりません。(Err=53)",
     "対策：設定ファイルを間違えていないか確かめて下さい"},
    {55, "ファイルは既に開かれています(Err=55)", nullptr},
    {61, "ディスクの空き容量が不足しています(Err=61)", nullptr},
    {70, "書き込みができません(Err=70)", nullptr},
    {480, "メモリが不足しています。(Err=480)", "サイズを下げて実行してください"},
    {482, "プリンターエラーです(Err=482)", nullptr},
    {520, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)", nullptr},
    {521, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)", nullptr},
    {31001, "メモリが不足しています(Err=31001)", nullptr},
};

constexpr const char* kFileUseFirst =
    "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)";
constexpr const char* kFileUseSecond =
    "対策：他のプログラムでファイルを使用していないか確かめて下さい";

std::string Join(const char* first, const char* second) {
  std::string text = first;
  if (second) text += std::string(kLineBreak) + second;
  return text;
}

}  // namespace

std::string ErrorMessageText(int errorNumber) {
  for (const Message& message : kMessages) {
    if (message.number == errorNumber) return Join(message.first, message.second);
  }
  if (errorNumber == 31036 || errorNumber == 31037) return Join(kFileUseFirst, kFileUseSecond);
  // Like the runtime's number formatting: a leading space for zero and above.
  const std::string digits = std::to_string(errorNumber);
  return "エラーメッセージ番号" + (errorNumber >= 0 ? " " + digits : digits);
}

}  // namespace korvid
