#include "app/ErrorMessages.h"

#include <cerrno>

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

struct SystemText {
  int errnoValue;
  const char* text;
};

constexpr SystemText kSystemTexts[] = {
    {ENOENT, "ファイルまたはフォルダがありません"},
    {ENOTDIR, "パスの途中がフォルダではありません"},
    {EISDIR, "フォルダです"},
    {EACCES, "アクセスが許可されていません"},
    {EPERM, "操作が許可されていません"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {ENOSPC, "ディスクの空き容量が不足しています"},
    {EDQUOT, "ディスクの使用量が上限に達しています"},
    {EIO, "入出力エラーが発生しました"},
    {ENAMETOOLONG, "ファイル名が長すぎます"},
    {ELOOP, "シンボリックリンクが多すぎます"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "開いているファイルが多すぎます"},
    {ENOMEM, "メモリが足りません"},
    {EFBIG, "ファイルが大きすぎます"},
    {ENXIO, "デバイスがありません"},
    {ENODEV, "デバイスがありません"},
    {EBUSY, "使用中です"},
    {ETXTBSY, "使用中です"},
    {EAGAIN, "一時的に利用できません"},
    {EINVAL, "引数が正しくありません"},
    {ESTALE, "ネットワーク上のファイルが無効になりました"},
};

}  // namespace

std::string SystemErrorText(int errnoValue) {
  for (const SystemText& entry : kSystemTexts) {
    if (entry.errnoValue == errnoValue) return entry.text;
  }
  return "システムエラー " + std::to_string(errnoValue);
}

std::string ErrorMessageText(int errorNumber) {
  for (const Message& message : kMessages) {
    if (message.number == errorNumber) return Join(message.first, message.second);
  }
  if (errorNumber == 31036 || errorNumber == 31037) return Join(kFileUseFirst, kFileUseSecond);
  // Like the runtime's number formatting: a leading space for zero and above.
  const std::string digits = std::to_string(errorNumber);
  return "エラーメッセージ番号" + (errorNumber >= 0 ? " " + digits : digits);
}

std::string ErrorMessageText(int errorNumber, const std::string& namingLine) {
  std::string text = ErrorMessageText(errorNumber);
  if (namingLine.empty()) return text;
  if (!text.ends_with(kLineBreak)) text += kLineBreak;
  return text + namingLine;
}

}  // namespace korvid
