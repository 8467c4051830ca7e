// libFuzzer target: the number rules on any text. Each run checks what they promise: a finite
// value or error 6, blanks that never count, pen numbers that agree with the leading number.
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "FuzzCheck.h"
#include "model/NumberText.h"
#include "model/RuntimeError.h"

namespace {

// The value of `call` and 0, or 0 and the run-time error it fails with.
std::pair<double, int> Run(auto&& call) {
  try {
    return {static_cast<double>(call()), 0};
  } catch (const korvid::RuntimeError& failure) {
    return {0, failure.number()};
  }
}

}  // namespace

FUZZ_TARGET(text) {
  using namespace korvid;
  const auto [leading, leadingError] = Run([&] { return LeadingNumber(text); });
  FUZZ_REQUIRE(leadingError == 0 || leadingError == err::kOverflow);
  FUZZ_REQUIRE(std::isfinite(leading));
  std::string withoutBlanks;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') withoutBlanks.push_back(c);
  const auto [unblanked, unblankedError] = Run([&] { return LeadingNumber(withoutBlanks); });
  FUZZ_REQUIRE(unblankedError == leadingError &&
               std::memcmp(&unblanked, &leading, sizeof leading) == 0);  // -0 is not 0 here

  const auto [pen, penError] = Run([&] { return IntegerValue(text); });
  FUZZ_REQUIRE(penError == 0 || penError == err::kOverflow || penError == err::kTypeMismatch);
  // Pen numbers are the leading number rounded half to even.
  FUZZ_REQUIRE(penError != 0 || (leadingError == 0 && pen == std::nearbyint(leading)));
}
