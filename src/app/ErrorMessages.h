#pragma once

#include <string>

namespace korvid {

// The warning text the user reads for a run-time error number. Two-line messages are
// joined with CR LF; an unknown number reads "エラーメッセージ番号" and the number.
std::string ErrorMessageText(int errorNumber);

// What the operating system said (an errno value), in the user's language: notices quote
// it after the file name. A value without a text of its own reads "システムエラー" and
// the number.
std::string SystemErrorText(int errnoValue);

}  // namespace korvid
