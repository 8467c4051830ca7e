// What every fuzz target shares: undefined behaviour and a broken invariant (FUZZ_REQUIRE) end
// the run, or libFuzzer would not keep the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

[[noreturn]] inline void Violated(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant violated: %s\n", file, line, condition);
  std::abort();
}

#define FUZZ_REQUIRE(condition) ((condition) ? void() : Violated(#condition, __FILE__, __LINE__))

// FUZZ_TARGET(bytes) { ... }: the body runs on each input, given as a std::string_view.
#define FUZZ_TARGET(bytes)                                                            \
  static void FuzzOne(std::string_view bytes);                                        \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));             \
    return 0;                                                                         \
  }                                                                                   \
  static void FuzzOne(std::string_view bytes)
