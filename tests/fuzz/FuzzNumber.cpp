// libFuzzer target: the number rules of HPGL parameters, checked against a plain second
// reading of the same rules that leaves the rounding to strtod. Any text at all must give
// the same value, bit for bit, or the same run-time error.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "model/NumberText.h"
#include "model/RuntimeError.h"

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

[[noreturn]] void Disagree(const char* what, std::string_view text) {
  std::fprintf(stderr, "fuzz_number: %s for the text \"", what);
  for (unsigned char c : text)
    std::fprintf(stderr, c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", c);
  std::fprintf(stderr, "\"\n");
  std::abort();
}

bool Ignorable(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool Digit(char c) {
  return c >= '0' && c <= '9';
}
bool ExponentLetter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// What a text means as a number: its value, or the run-time error it raises, and how
// many characters (of the text without ignorables) the number took up.
struct Meaning {
  double value = 0;
  int error = 0;
  bool anyDigit = false;
  std::size_t length = 0;
};

// strtod rounds correctly and says ERANGE both for overflow and for underflow; only an
// infinite result is an overflow.
Meaning FromStrtod(const std::string& spelling, std::size_t length) {
  Meaning meaning;
  meaning.anyDigit = true;
  meaning.length = length;
  errno = 0;
  meaning.value = std::strtod(spelling.c_str(), nullptr);
  if (std::isinf(meaning.value)) {
    meaning.value = 0;
    meaning.error = korvid::err::kOverflow;
  }
  return meaning;
}

Meaning WholeNumber(std::string_view s) {
  // s starts with "&".
  Meaning none;
  if (s.size() < 2 || (s[1] != 'H' && s[1] != 'O')) return none;
  const bool hex = s[1] == 'H';
  std::size_t end = 2;
  std::string bits;  // octal digits become binary, then hexadecimal for strtod
  std::string hexDigits;
  while (end < s.size()) {
    const char c = s[end];
    if (hex && (Digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) {
      hexDigits.push_back(c);
    } else if (!hex && c >= '0' && c <= '7') {
      for (int bit = 2; bit >= 0; --bit)
        bits.push_back(((c - '0') >> bit) & 1 ? '1' : '0');
    } else {
      break;
    }
    ++end;
  }
  if (end == 2) {
    none.length = 2;
    return none;
  }
  if (!hex) {
    while (bits.size() % 4 != 0)
      bits.insert(bits.begin(), '0');
    for (std::size_t i = 0; i < bits.size(); i += 4) {
      hexDigits.push_back("0123456789ABCDEF"[std::stoi(bits.substr(i, 4), nullptr, 2)]);
    }
  }
  return FromStrtod("0x" + hexDigits, end);
}

// The leading number of a text whose ignorable characters are already gone.
Meaning Leading(std::string_view s) {
  if (!s.empty() && s[0] == '&') return WholeNumber(s);
  std::string spelling;
  std::size_t at = 0;
  if (at < s.size() && (s[at] == '+' || s[at] == '-')) spelling.push_back(s[at++]);
  bool anyDigit = false;
  while (at < s.size() && Digit(s[at])) {
    spelling.push_back(s[at++]);
    anyDigit = true;
  }
  if (at < s.size() && s[at] == '.') {
    spelling.push_back(s[at++]);
    while (at < s.size() && Digit(s[at])) {
      spelling.push_back(s[at++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) return {};
  if (at < s.size() && ExponentLetter(s[at])) {
    std::size_t exponent = at + 1;
    std::string digits = "e";
    if (exponent < s.size() && (s[exponent] == '+' || s[exponent] == '-')) {
      digits.push_back(s[exponent++]);
    }
    if (exponent < s.size() && Digit(s[exponent])) {
      while (exponent < s.size() && Digit(s[exponent]))
        digits.push_back(s[exponent++]);
      spelling += digits;
      at = exponent;
    }
  }
  return FromStrtod(spelling, at);
}

std::string WithoutIgnorables(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (!Ignorable(c)) kept.push_back(c);
  }
  return kept;
}

template <typename Call>
Meaning Run(Call call) {
  Meaning meaning;
  try {
    meaning.value = call();
  } catch (const korvid::RuntimeError& failure) {
    meaning.error = failure.number();
  }
  return meaning;
}

bool SameValue(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckLeadingNumber(std::string_view text) {
  const Meaning expected = Leading(WithoutIgnorables(text));
  const Meaning actual = Run([&] { return korvid::LeadingNumber(text); });
  if (actual.error != expected.error) Disagree("LeadingNumber fails differently", text);
  if (!SameValue(actual.value, expected.value)) Disagree("LeadingNumber differs", text);
}

std::optional<double> RoundHalfEven(double value) {
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return rounded;
}

void CheckIntegerValue(std::string_view text) {
  std::string_view trimmed = text;
  while (!trimmed.empty() && trimmed.front() == ' ')
    trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ')
    trimmed.remove_suffix(1);
  Meaning expected;
  bool ignorableInside = false;
  for (char c : trimmed)
    ignorableInside |= Ignorable(c);
  const Meaning number = Leading(trimmed);
  const bool notANumber = ignorableInside || !number.anyDigit || number.length != trimmed.size();
  if (notANumber) {
    expected.error = korvid::err::kTypeMismatch;
  } else if (number.error != 0) {
    expected.error = number.error;
  } else if (const std::optional<double> rounded = RoundHalfEven(number.value)) {
    expected.value = *rounded;
  } else {
    expected.error = korvid::err::kOverflow;
  }
  const Meaning actual = Run([&] { return static_cast<double>(korvid::IntegerValue(text)); });
  // A number too large for a double followed by other text is both a type mismatch and
  // an overflow; which of the two is reported first is not the point here.
  const bool eitherFailure = notANumber && number.error == korvid::err::kOverflow &&
                             actual.error == korvid::err::kOverflow;
  if (actual.error != expected.error && !eitherFailure) {
    Disagree("IntegerValue fails differently", text);
  }
  // -0 becomes the integer 0.
  if (expected.error == 0 && actual.value != expected.value) {
    Disagree("IntegerValue differs", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Parameters are short; long inputs only slow the search down.
  if (size > 4096) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckLeadingNumber(text);
  CheckIntegerValue(text);
  return 0;
}
