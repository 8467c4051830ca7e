#pragma once

#include <string>

namespace korvid {

// The warning text the user reads for a run-time error number. Two-line messages are
// joined with CR LF; an unknown number reads "エラーメッセージ番号" and the number.
std::string ErrorMessageText(int errorNumber);

}  // namespace korvid
