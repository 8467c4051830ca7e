// libFuzzer target: the number rules of HPGL parameters on any text at all. Beyond the
// sanitizers, each run checks what the rules promise: a finite value or error 6, blanks
// that do not count wherever they stand, and pen numbers that agree with the leading number.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "model/NumberText.h"
#include "model/RuntimeError.h"

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

[[noreturn]] void Violated(const char* what, std::string_view text) {
  std::fprintf(stderr, "fuzz_number: %s for the text \"", what);
  for (unsigned char c : text)
    std::fprintf(stderr, c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", c);
  std::fprintf(stderr, "\"\n");
  std::abort();
}

// The value of `call`, or the run-time error it fails with (value 0).
struct Result {
  double value = 0;
  int error = 0;
  bool operator==(const Result& other) const {
    return error == other.error && std::memcmp(&value, &other.value, sizeof value) == 0;
  }
};

Result Run(auto&& call) {
  try {
    return {static_cast<double>(call()), 0};
  } catch (const korvid::RuntimeError& failure) {
    return {0, failure.number()};
  }
}

std::string WithoutBlanks(std::string_view text) {
  std::string kept;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') kept.push_back(c);
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Result leading = Run([&] { return korvid::LeadingNumber(text); });
  if (leading.error != 0 && leading.error != korvid::err::kOverflow)
    Violated("LeadingNumber fails with an error other than 6", text);
  if (!std::isfinite(leading.value)) Violated("LeadingNumber is not finite", text);
  if (!(Run([&] { return korvid::LeadingNumber(WithoutBlanks(text)); }) == leading))
    Violated("blanks change the leading number", text);

  const Result pen = Run([&] { return korvid::IntegerValue(text); });
  if (pen.error != 0 && pen.error != korvid::err::kOverflow &&
      pen.error != korvid::err::kTypeMismatch)
    Violated("IntegerValue fails with an error other than 6 or 13", text);
  if (pen.error == 0 && (leading.error != 0 || pen.value != std::nearbyint(leading.value)))
    Violated("IntegerValue is not the leading number rounded half to even", text);
  return 0;
}
