#include "pens/PenProfileText.h"

#include <charconv>
#include <cstdio>
#include <utility>
#include <vector>

namespace korvid {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kLongestWordShown = 40;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Is(std::string_view word, std::string_view lowerCase) {
  if (word.size() != lowerCase.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(word[i]) != lowerCase[i]) return false;
  }
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at]))
      ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at]))
      ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

std::optional<int> PenNumber(std::string_view word) {
  int pen = 0;
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, pen);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  if (pen < kLowestPenNumber || pen > kHighestPenNumber) return std::nullopt;
  return pen;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<PenRgb> Colour(std::string_view word) {
  if (word.size() != 7 || word[0] != '#') return std::nullopt;
  PenRgb rgb = 0;
  for (std::size_t i = 1; i < word.size(); ++i) {
    const int digit = HexDigit(word[i]);
    if (digit < 0) return std::nullopt;
    rgb = rgb << 4 | static_cast<PenRgb>(digit);
  }
  return rgb;
}

// Digits with at most one decimal point: no sign, no exponent, nothing the locale decides.
std::optional<double> Millimetres(std::string_view word) {
  bool digits = false, point = false;
  for (char c : word) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double value = 0;
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value, std::chars_format::fixed);
  if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range) return std::nullopt;
  return value;
}

class Reader {
 public:
  PenProfileRead Read(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    int lineNumber = 0;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (line.ends_with('\r')) line.remove_suffix(1);
      ++lineNumber;
      if (!Line(line, lineNumber)) {
        read_.table = {};
        return std::move(read_);
      }
    }
    return std::move(read_);
  }

 private:
  bool Fail(int line, PenProfileProblem problem, std::string_view word = {}) {
    read_.error = PenProfileError{line, problem, std::string(word), 0, 0};
    return false;
  }

  bool Line(std::string_view line, int number) {
    for (char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && c != '\t') || byte == 0x7F)
        return Fail(number, PenProfileProblem::kNotText);
    }
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0].starts_with('#')) return true;
    if (!Is(words[0], "pen")) return Fail(number, PenProfileProblem::kNotAPenLine, words[0]);
    if (words.size() < 2 || words[1].starts_with('#'))
      return Fail(number, PenProfileProblem::kNoPenNumber, words[0]);
    const std::optional<int> pen = PenNumber(words[1]);
    if (!pen) return Fail(number, PenProfileProblem::kBadPenNumber, words[1]);
    if (const auto earlier = lines_.find(*pen); earlier != lines_.end()) {
      Fail(number, PenProfileProblem::kPenAgain, words[1]);
      read_.error->pen = *pen;
      read_.error->earlierLine = earlier->second;
      return false;
    }
    lines_[*pen] = number;
    PenSetting setting;
    bool colourSaid = false, widthSaid = false, shownSaid = false;
    for (std::size_t i = 2; i < words.size(); ++i) {
      const std::string_view word = words[i];
      if (word.starts_with('#')) break;
      const bool last = i + 1 == words.size();
      if (Is(word, "colour") || Is(word, "color")) {
        if (std::exchange(colourSaid, true))
          return Fail(number, PenProfileProblem::kSettingAgain, word);
        if (last) return Fail(number, PenProfileProblem::kNoColour, word);
        const std::string_view value = words[++i];
        if (Is(value, "file")) continue;
        setting.colour = Colour(value);
        if (!setting.colour) return Fail(number, PenProfileProblem::kBadColour, value);
      } else if (Is(word, "width")) {
        if (std::exchange(widthSaid, true))
          return Fail(number, PenProfileProblem::kSettingAgain, word);
        if (last) return Fail(number, PenProfileProblem::kNoWidth, word);
        const std::string_view value = words[++i];
        if (Is(value, "file")) continue;
        setting.widthMm = Millimetres(value);
        if (!setting.widthMm) return Fail(number, PenProfileProblem::kBadWidth, value);
        if (*setting.widthMm > kWidestPenMm)
          return Fail(number, PenProfileProblem::kWidthTooLarge, value);
      } else if (Is(word, "shown") || Is(word, "hidden")) {
        if (std::exchange(shownSaid, true))
          return Fail(number, PenProfileProblem::kSettingAgain, word);
        setting.shown = Is(word, "shown");
      } else {
        return Fail(number, PenProfileProblem::kUnknownSetting, word);
      }
    }
    read_.table.Set(*pen, setting);
    return true;
  }

  PenProfileRead read_;
  std::map<int, int> lines_;  // pen: the line that set it
};

// A word as the message quotes it: a line of a binary file may hold anything.
std::string Quoted(const std::string& word) {
  std::string shown =
      word.size() > kLongestWordShown ? word.substr(0, kLongestWordShown) + "..." : word;
  return "\"" + shown + "\"";
}

}  // namespace

PenProfileRead ReadPenProfileText(std::string_view text) {
  return Reader().Read(text);
}

std::string MillimetreText(double widthMm) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, widthMm, std::chars_format::fixed);
  return result.ec == std::errc() ? std::string(text, result.ptr) : "0";
}

std::string ColourText(PenRgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(colour & 0xFFFFFF));
  return text;
}

std::string PenProfileText(const PenTable& table) {
  std::string text = "# Korvid pen profile: pen N [colour #RRGGBB] [width MM] shown|hidden\n";
  for (const auto& [pen, setting] : table.Entries()) {
    text += "pen " + std::to_string(pen);
    if (setting.colour) text += " colour " + ColourText(*setting.colour);
    if (setting.widthMm) text += " width " + MillimetreText(*setting.widthMm);
    text += setting.shown ? " shown\n" : " hidden\n";
  }
  return text;
}

std::string DescribePenProfileError(const PenProfileError& error) {
  const std::string line = "line " + std::to_string(error.line) + ": ";
  const std::string word = Quoted(error.word);
  switch (error.problem) {
    case PenProfileProblem::kNotText:
      return line + "not text (a control character)";
    case PenProfileProblem::kNotAPenLine:
      return line + "a line starts with \"pen\" and the pen's number, not " + word;
    case PenProfileProblem::kNoPenNumber:
      return line + "\"pen\" needs the pen's number";
    case PenProfileProblem::kBadPenNumber:
      return line + "the pen's number is a whole number from " + std::to_string(kLowestPenNumber) +
             " to " + std::to_string(kHighestPenNumber) + ", not " + word;
    case PenProfileProblem::kPenAgain:
      return line + "pen " + std::to_string(error.pen) + " was already set on line " +
             std::to_string(error.earlierLine);
    case PenProfileProblem::kUnknownSetting:
      return line + "unknown setting " + word + " (colour, width, shown or hidden)";
    case PenProfileProblem::kNoColour:
      return line + "\"colour\" needs #RRGGBB or file";
    case PenProfileProblem::kBadColour:
      return line + "the colour is #RRGGBB (six hex digits, like #0000ff) or file, not " + word;
    case PenProfileProblem::kNoWidth:
      return line + "\"width\" needs millimetres or file";
    case PenProfileProblem::kBadWidth:
      return line +
             "the width is millimetres written like 0.35 (0: the thinnest line) or file, not " +
             word;
    case PenProfileProblem::kWidthTooLarge:
      return line + "the width is at most " + MillimetreText(kWidestPenMm) + " mm, not " + word;
    case PenProfileProblem::kSettingAgain: {
      const char* said = Is(error.word, "width")                               ? "the width"
                         : Is(error.word, "colour") || Is(error.word, "color") ? "the colour"
                                                                               : "shown or hidden";
      return line + word + ": " + said + " is said twice";
    }
  }
  return line + "cannot be read";
}

}  // namespace korvid
