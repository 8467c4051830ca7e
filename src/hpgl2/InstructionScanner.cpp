#include "hpgl2/InstructionScanner.h"

#include <algorithm>
#include <cstring>

namespace korvid {

namespace {

constexpr char kEscape = 27;
constexpr char kFormFeed = 12;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct ParameterCharacters {
  bool table[256] = {};
  constexpr ParameterCharacters() {
    for (char c = '0'; c <= '9'; ++c)
      table[static_cast<unsigned char>(c)] = true;
    for (char c : {',', ' ', '-', '+', '.', '\r', '\n', '\t'})
      table[static_cast<unsigned char>(c)] = true;
  }
};
constexpr ParameterCharacters kParameterCharacters;

bool IsParameterCharacter(char c) {
  return kParameterCharacters.table[static_cast<unsigned char>(c)];
}

// The device-control sequences ESC . x that carry parameters up to a colon.
bool TakesColonParameters(char c) {
  return std::strchr("@HIMNST", c) != nullptr && c != '\0';
}

// The small signed number of ESC % n A and ESC % n B.
double ModeNumber(std::string_view text) {
  double value = 0;
  bool negative = false;
  for (const char c : text) {
    if (c == '-') negative = true;
    if (c >= '0' && c <= '9' && value < 1e6) value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

}  // namespace

void InstructionScanner::SkipToLineEnd() {
  const void* lineFeed = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
  pos_ = lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text_.data()) + 1
                  : text_.size();
}

// PCL's parameterised form: ESC, a parameterised character, a group character, then
// value-letter pairs ending with an upper-case letter. Sequences ending in W (and the
// transparent print data &p#X) carry that many bytes of binary data, skipped whole.
void InstructionScanner::SkipPcLSequence() {
  const char intro = text_[pos_];
  const char group = text_[pos_ + 1];
  pos_ += 2;  // the parameterised character and the group character
  while (!AtEnd()) {
    double value = 0;
    double scale = 0;  // after the decimal point: the weight of the next digit
    bool digits = false;
    bool negative = false;
    while (!AtEnd() && ((text_[pos_] >= '0' && text_[pos_] <= '9') || text_[pos_] == '.' ||
                        text_[pos_] == '+' || text_[pos_] == '-')) {
      const char c = text_[pos_];
      if (c >= '0' && c <= '9' && value < 1e12) {
        if (scale > 0) {
          value += (c - '0') * scale;
          scale /= 10;
        } else {
          value = value * 10 + (c - '0');
        }
        digits = true;
      } else if (c == '.') {
        scale = 0.1;
      } else if (c == '-') {
        negative = true;
      }
      ++pos_;
    }
    if (AtEnd()) return;
    const char letter = text_[pos_++];
    const bool last = letter >= '@' && letter <= '^';
    const bool carriesData = (Upper(letter) == 'W') || (intro == '&' && Upper(letter) == 'X');
    EscapeSequence sequence{EscapeSequence::Type::Parameterized, intro, group, Upper(letter),
                            negative ? -value : value,           {}};
    if (carriesData && digits) {
      const double left = static_cast<double>(text_.size() - pos_);
      const auto size = static_cast<std::size_t>(value < left ? value : left);
      sequence.data = text_.substr(pos_, size);
      pos_ += size;
    }
    Tell(sequence);
    if (last || !(letter >= '`' && letter <= '~')) return;
  }
}

void InstructionScanner::SkipEscape() {
  ++pos_;  // ESC
  if (AtEnd()) return;
  const char c = text_[pos_];
  if (c == kEscape) return;  // the escape starts afresh
  if (c == '%') {
    // ESC % -12345 X (leave to PJL), ESC % n B (HP-GL/2), ESC % n A (PCL).
    ++pos_;
    const std::size_t start = pos_;
    while (!AtEnd() &&
           (text_[pos_] == '-' || text_[pos_] == '+' || (text_[pos_] >= '0' && text_[pos_] <= '9')))
      ++pos_;
    if (AtEnd()) return;
    const double value = ModeNumber(text_.substr(start, pos_ - start));
    const char what = text_[pos_++];
    if (what == 'B') Tell({EscapeSequence::Type::EnterHpgl2, '%', 0, 'B', value, {}});
    if (what == 'A') {
      Tell({EscapeSequence::Type::EnterPcl, '%', 0, 'A', value, {}});
      SkipPclText();
    }
    return;
  }
  if (c == '.') {
    ++pos_;
    if (AtEnd()) return;
    const char kind = text_[pos_++];
    if (!TakesColonParameters(kind)) return;
    // Parameters of digits and ";" up to ":"; anything else ends the sequence early.
    while (!AtEnd()) {
      const char p = text_[pos_];
      if (p == ':') {
        ++pos_;
        return;
      }
      if (!((p >= '0' && p <= '9') || p == ';' || p == ' ' || p == ',' || p == '.')) return;
      ++pos_;
    }
    return;
  }
  if (c >= '!' && c <= '/' && pos_ + 1 < text_.size()) {
    SkipPcLSequence();
    return;
  }
  if (c == 'E') Tell({EscapeSequence::Type::Reset, 0, 0, 'E', 0, {}});
  ++pos_;  // two-character sequences: ESC E, ESC 9, ESC = ...
}

// In PCL mode ordinary bytes are PCL's business (printed text, form feeds): only an escape
// sequence can lead back to HP-GL/2.
void InstructionScanner::SkipPclText() {
  while (!AtEnd()) {
    const char* const from = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    const char* next =
        std::find_if(from, end, [](char c) { return c == kEscape || c == kFormFeed; });
    pos_ = static_cast<std::size_t>(next - text_.data());
    if (AtEnd()) return;
    if (*next == kFormFeed) {
      Tell({EscapeSequence::Type::FormFeed, 0, 0, 0, 0, {}});
      ++pos_;
      continue;
    }
    // ESC % n B returns to HP-GL/2; ESC % -12345 X to PJL, which may choose either.
    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '%') {
      std::size_t p = pos_ + 2;
      while (p < text_.size() &&
             (text_[p] == '-' || text_[p] == '+' || (text_[p] >= '0' && text_[p] <= '9')))
        ++p;
      if (p < text_.size() && (text_[p] == 'B' || text_[p] == 'X')) {
        if (text_[p] == 'B')
          Tell({EscapeSequence::Type::EnterHpgl2,
                '%',
                0,
                'B',
                ModeNumber(text_.substr(pos_ + 2, p - pos_ - 2)),
                {}});
        pos_ = p + 1;
        return;
      }
      pos_ = p;
      continue;
    }
    SkipEscape();
  }
}

// Numbers, and quoted strings (BP's plot name, MG's message) whose letters are no
// instructions.
std::string_view InstructionScanner::NumericParameters() {
  const std::size_t start = pos_;
  while (!AtEnd()) {
    if (text_[pos_] == '"') {
      const void* close = std::memchr(text_.data() + pos_ + 1, '"', text_.size() - pos_ - 1);
      pos_ = close ? static_cast<std::size_t>(static_cast<const char*>(close) - text_.data()) + 1
                   : text_.size();
      continue;
    }
    if (!IsParameterCharacter(text_[pos_])) break;
    ++pos_;
  }
  const std::string_view parameters = text_.substr(start, pos_ - start);
  if (!AtEnd() && text_[pos_] == ';') ++pos_;
  return parameters;
}

// A label runs to its terminator. When the rest of the file holds no terminator at all,
// the file was written for a device that ends labels at the line end: the label ends
// there. Where the terminator was last missing is remembered, so that many such labels
// cost one search.
std::string_view InstructionScanner::LabelText() {
  const std::size_t start = pos_;
  const char terminator = terminator_->character;
  const bool knownMissing = missingTerminator_ == terminator && start >= missingFrom_;
  const void* end =
      knownMissing ? nullptr : std::memchr(text_.data() + pos_, terminator, text_.size() - pos_);
  if (!end) {
    missingTerminator_ = terminator;
    missingFrom_ = std::min(missingFrom_, start);
    const std::string_view rest = text_.substr(start);
    const std::size_t lineEnd = rest.find_first_of("\r\n");
    if (lineEnd == std::string_view::npos) {
      pos_ = text_.size();
      return rest;
    }
    pos_ = start + lineEnd + 1;
    return rest.substr(0, lineEnd);
  }
  const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(end) - text_.data());
  pos_ = stop + 1;
  return text_.substr(start, stop - start + (terminator_->printing ? 1 : 0));
}

std::string_view InstructionScanner::UpToSemicolon() {
  const std::size_t start = pos_;
  const void* end = std::memchr(text_.data() + pos_, ';', text_.size() - pos_);
  const std::size_t stop =
      end ? static_cast<std::size_t>(static_cast<const char*>(end) - text_.data()) : text_.size();
  pos_ = end ? stop + 1 : stop;
  return text_.substr(start, stop - start);
}

// CO "text": the comment between double quotes. Some writers leave the quotes out:
// their comment runs to the ";".
std::string_view InstructionScanner::QuotedText() {
  while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\r' || text_[pos_] == '\n'))
    ++pos_;
  if (AtEnd() || text_[pos_] != '"') return UpToSemicolon();
  const std::size_t start = ++pos_;
  const void* end = std::memchr(text_.data() + pos_, '"', text_.size() - pos_);
  const std::size_t stop =
      end ? static_cast<std::size_t>(static_cast<const char*>(end) - text_.data()) : text_.size();
  pos_ = end ? stop + 1 : stop;
  if (!AtEnd() && text_[pos_] == ';') ++pos_;
  return text_.substr(start, stop - start);
}

// DT and SM take one character (any byte but ";"), DT optionally followed by ",mode".
std::string_view InstructionScanner::CharacterParameter() {
  const std::size_t start = pos_;
  if (AtEnd() || text_[pos_] == ';') {
    if (!AtEnd()) ++pos_;
    return text_.substr(start, 0);
  }
  ++pos_;
  if (!AtEnd() && text_[pos_] == ',') {
    ++pos_;
    while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9')
      ++pos_;
  }
  const std::string_view parameters = text_.substr(start, pos_ - start);
  if (!AtEnd() && text_[pos_] == ';') ++pos_;
  return parameters;
}

bool InstructionScanner::Next(Instruction& instruction) {
  while (!AtEnd()) {
    const char c = text_[pos_];
    if (c == kEscape) {
      SkipEscape();
      continue;
    }
    if (c == '@' && text_.substr(pos_, 4) == "@PJL") {
      SkipToLineEnd();
      continue;
    }
    if (!IsLetter(c) || pos_ + 1 >= text_.size() || !IsLetter(text_[pos_ + 1])) {
      ++pos_;  // blanks, separators and junk between instructions
      continue;
    }
    instruction.offset = pos_;
    const char first = Upper(c);
    const char second = Upper(text_[pos_ + 1]);
    instruction.mnemonic[0] = first;
    instruction.mnemonic[1] = second;
    pos_ += 2;
    if (instruction.Is('L', 'B') || instruction.Is('B', 'L') || instruction.Is('W', 'D')) {
      // A label (or a buffered label, or display text): text up to the terminator.
      instruction.parameters = LabelText();
    } else if (instruction.Is('P', 'E')) {
      instruction.parameters = UpToSemicolon();
    } else if (instruction.Is('C', 'O')) {
      instruction.parameters = QuotedText();
    } else if (instruction.Is('D', 'T') || instruction.Is('S', 'M')) {
      instruction.parameters = CharacterParameter();
    } else {
      instruction.parameters = NumericParameters();
    }
    return true;
  }
  return false;
}

}  // namespace korvid
