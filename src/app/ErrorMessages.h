#pragma once

#include <string>

#include "model/RuntimeError.h"

namespace korvid {

// The warning text the user reads for a run-time error number. Two-line messages are
// joined with CR LF; an unknown number reads "エラーメッセージ番号" and the number.
std::string ErrorMessageText(int errorNumber);

// The same with a line of its own that names what failed (a folder, a file), in place of
// the message's empty second line or after its text.
std::string ErrorMessageText(int errorNumber, const std::string& namingLine);

// A failure the user is told with such a line.
class NamedFailure : public RuntimeError {
 public:
  NamedFailure(int number, const std::string& namingLine)
      : RuntimeError(number, namingLine), namingLine_(namingLine) {}
  const std::string& NamingLine() const noexcept { return namingLine_; }

 private:
  std::string namingLine_;
};

// What the operating system said (an errno value), in the user's language: notices quote
// it after the file name. A value without a text of its own reads "システムエラー" and
// the number.
std::string SystemErrorText(int errnoValue);

}  // namespace korvid
