// libFuzzer target: the number rules on any text. Each run checks what they promise: a finite
// value or error 6, blanks that never count, pen numbers that agree with the leading number.
#include <cmath>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "model/NumberText.h"
#include "model/RuntimeError.h"

namespace {

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

}  // namespace

FUZZ_TARGET(text) {
  using namespace korvid;
  const Result leading = Run([&] { return LeadingNumber(text); });
  FUZZ_REQUIRE(leading.error == 0 || leading.error == err::kOverflow);
  FUZZ_REQUIRE(std::isfinite(leading.value));
  std::string withoutBlanks;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') withoutBlanks.push_back(c);
  FUZZ_REQUIRE(Run([&] { return LeadingNumber(withoutBlanks); }) == leading);

  const Result pen = Run([&] { return IntegerValue(text); });
  FUZZ_REQUIRE(pen.error == 0 || pen.error == err::kOverflow || pen.error == err::kTypeMismatch);
  // Pen numbers are the leading number rounded half to even.
  FUZZ_REQUIRE(pen.error != 0 ||
               (leading.error == 0 && pen.value == std::nearbyint(leading.value)));
}
