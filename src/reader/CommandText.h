#pragma once

#include <cstddef>
#include <string_view>

namespace korvid {

// The command being interpreted (the reader's CmdText), without its terminator.
// Positions are 0-based offsets into the current text. When a coordinate list breaks
// off at text that is not a number, the rest becomes a command of its own: Restart
// narrows the view instead of copying, and comma searches remember where the last comma
// was, so that however often a long command is cut up, each character is searched once.
class CommandText {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  explicit CommandText(std::string_view whole) : whole_(whole), text_(whole) {}

  std::string_view Text() const { return text_; }
  std::size_t Size() const { return text_.size(); }
  // The first `count` characters, or fewer when the text is shorter.
  std::string_view Left(std::size_t count) const { return text_.substr(0, count); }
  // The text from `position` (clamped to the end) up to `end` (clamped, npos = to the end).
  std::string_view Slice(std::size_t position, std::size_t end = npos) const {
    if (position >= text_.size()) return {};
    const std::size_t stop = end == npos || end > text_.size() ? text_.size() : end;
    return stop <= position ? std::string_view{} : text_.substr(position, stop - position);
  }

  // Offset of the first "," at or after `position`, or npos.
  std::size_t FindComma(std::size_t position);

  // The text from `position` to its end becomes the whole command.
  void Restart(std::size_t position);

  // Drops the blanks, tabs, CRs and line feeds before the mnemonic: line ends and the
  // blanks that writers put between commands are layout, not part of a command.
  void SkipLeadingLayout() {
    std::size_t first = 0;
    while (first < text_.size() && IsLayout(text_[first]))
      ++first;
    text_.remove_prefix(first);
  }

 private:
  static bool IsLayout(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

  std::string_view whole_;
  std::string_view text_;
  // Memo of the last search, in offsets of whole_: no comma lies in [searchedFrom_, foundAt_).
  std::size_t searchedFrom_ = npos;
  std::size_t foundAt_ = npos;
};

}  // namespace korvid
