#include "model/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "model/RuntimeError.h"
#include "model/ValueConversion.h"

namespace korvid {

namespace {

constexpr int kEnd = -1;

bool IsIgnorable(int c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}
bool IsOctalDigit(int c) {
  return c >= '0' && c <= '7';
}
bool IsHexDigit(int c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsExponentLetter(int c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// Walks a text the way the leading-number rule sees it: ignorable characters simply
// are not there.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : at_(text.data()), end_(text.data() + text.size()) {}

  int Peek() {
    while (at_ != end_ && IsIgnorable(*at_))
      ++at_;
    return at_ == end_ ? kEnd : static_cast<unsigned char>(*at_);
  }
  void Advance() { ++at_; }
  const char* Position() const { return at_; }
  void Rewind(const char* position) { at_ = position; }

 private:
  const char* at_;
  const char* end_;
};

// The spelling of a number without its ignorable characters, ready for std::from_chars.
// Short numbers stay in the inline array; only absurdly long ones touch the heap.
class Spelling {
 public:
  void Push(char c) {
    if (size_ < sizeof(inline_)) {
      inline_[size_++] = c;
      return;
    }
    if (heap_.empty()) heap_.assign(inline_, size_);
    heap_.push_back(c);
    ++size_;
  }
  const char* Begin() const { return heap_.empty() ? inline_ : heap_.data(); }
  const char* End() const { return Begin() + size_; }
  std::size_t Size() const { return size_; }

 private:
  char inline_[120];
  std::size_t size_ = 0;
  std::string heap_;
};

// from_chars reports underflow and overflow alike; only overflow is a failure.
double ConvertOutOfRange(const Spelling& spelling, std::chars_format format) {
  std::string text(spelling.Begin(), spelling.End());
  if (format == std::chars_format::hex) text.insert(0, "0x");
  const double value = std::strtod(text.c_str(), nullptr);
  return CheckFinite(value);
}

double Convert(const Spelling& spelling, std::chars_format format) {
  double value = 0.0;
  const auto result = std::from_chars(spelling.Begin(), spelling.End(), value, format);
  if (result.ec == std::errc::result_out_of_range) return ConvertOutOfRange(spelling, format);
  return value;
}

// Octal digits carry three bits each; regrouped as hexadecimal digits they convert with
// the same correct rounding as "&H" numbers.
Spelling OctalAsHex(const Spelling& octal) {
  std::string bits;
  for (const char* p = octal.Begin(); p != octal.End(); ++p) {
    const int digit = *p - '0';
    bits.push_back('0' + ((digit >> 2) & 1));
    bits.push_back('0' + ((digit >> 1) & 1));
    bits.push_back('0' + (digit & 1));
  }
  bits.insert(0, (4 - bits.size() % 4) % 4, '0');
  Spelling hex;
  for (std::size_t i = 0; i < bits.size(); i += 4) {
    const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                       (bits[i + 3] - '0');
    hex.Push("0123456789ABCDEF"[nibble]);
  }
  return hex;
}

struct ReadResult {
  double value = 0.0;
  bool anyDigit = false;
};

// The cursor stands just after "&".
ReadResult PrefixedWholeNumber(Cursor& cursor) {
  const int radixLetter = cursor.Peek();
  if (radixLetter != 'H' && radixLetter != 'O') return {};
  cursor.Advance();
  const bool hex = radixLetter == 'H';
  Spelling digits;
  bool anyDigit = false;
  for (int c = cursor.Peek(); hex ? IsHexDigit(c) : IsOctalDigit(c); c = cursor.Peek()) {
    cursor.Advance();
    anyDigit = true;
    if (digits.Size() == 0 && c == '0') continue;  // keeps the spelling short
    digits.Push(static_cast<char>(c));
  }
  if (digits.Size() == 0) return {0.0, anyDigit};
  return {Convert(hex ? digits : OctalAsHex(digits), std::chars_format::hex), true};
}

void PushDigits(Cursor& cursor, Spelling& spelling, bool& anyDigit) {
  for (int c = cursor.Peek(); IsDigit(c); c = cursor.Peek()) {
    spelling.Push(static_cast<char>(c));
    cursor.Advance();
    anyDigit = true;
  }
}

// An exponent counts only when it has digits; otherwise the cursor goes back to the letter.
void PushExponent(Cursor& cursor, Spelling& spelling) {
  const char* letter = cursor.Position();
  cursor.Advance();
  int c = cursor.Peek();
  char sign = 0;
  if (c == '+' || c == '-') {
    sign = static_cast<char>(c);
    cursor.Advance();
    c = cursor.Peek();
  }
  if (!IsDigit(c)) {
    cursor.Rewind(letter);
    return;
  }
  spelling.Push('e');
  if (sign == '-') spelling.Push('-');
  bool anyDigit = false;
  PushDigits(cursor, spelling, anyDigit);
}

// Reads the leading number and leaves the cursor on the first character after it.
ReadResult ReadNumber(Cursor& cursor) {
  int c = cursor.Peek();
  if (c == '&') {
    cursor.Advance();
    return PrefixedWholeNumber(cursor);
  }
  Spelling spelling;
  if (c == '+' || c == '-') {
    if (c == '-') spelling.Push('-');
    cursor.Advance();
  }
  bool anyDigit = false;
  PushDigits(cursor, spelling, anyDigit);
  if (cursor.Peek() == '.') {
    spelling.Push('.');
    cursor.Advance();
    PushDigits(cursor, spelling, anyDigit);
  }
  if (!anyDigit) return {};
  if (IsExponentLetter(cursor.Peek())) PushExponent(cursor, spelling);
  return {Convert(spelling, std::chars_format::general), true};
}

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool HasIgnorable(std::string_view text) {
  for (char c : text) {
    if (IsIgnorable(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

}  // namespace

namespace {

// Most parameters are short whole numbers standing alone: those need no general reading.
bool IsPlainWholeNumber(std::string_view text, const SignedDigits& read) {
  if (!read.Exact()) return false;
  if (read.length == text.size()) return true;
  const int next = static_cast<unsigned char>(text[read.length]);
  return !(IsIgnorable(next) || next == '.' || IsExponentLetter(next));
}

}  // namespace

double LeadingNumber(std::string_view text) {
  const SignedDigits plain = LeadingSignedDigits(text);
  if (IsPlainWholeNumber(text, plain)) return plain.value;
  Cursor cursor(text);
  return ReadNumber(cursor).value;
}

std::int16_t IntegerValue(std::string_view text) {
  const std::string_view number = TrimSpaces(text);
  if (HasIgnorable(number)) throw RuntimeError(err::kTypeMismatch);
  Cursor cursor(number);
  const ReadResult read = ReadNumber(cursor);
  if (!read.anyDigit || cursor.Peek() != kEnd) throw RuntimeError(err::kTypeMismatch);
  return RoundToInt16(read.value);
}

}  // namespace korvid
