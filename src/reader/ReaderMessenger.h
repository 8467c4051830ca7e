#pragma once

#include <string>

namespace korvid {

// The reader's one message to the user, shown in a plain box with only an OK button.
inline constexpr const char* kNoTerminatorMessage = "設定済みのﾀｰﾐﾈｰﾀがありません";

// How the reader speaks to the user without knowing about windows. The GUI shows a
// message box; the converter writes to stderr; tests capture.
class ReaderMessenger {
 public:
  virtual ~ReaderMessenger() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace korvid
