#pragma once

#include <exception>
#include <thread>

namespace korvid {

// Runs `first` here and `second` on another thread when `parallel`, else after it; a
// failure of either is thrown once both are done.
template <typename First, typename Second>
void RunBoth(bool parallel, First first, Second second) {
  if (!parallel) {
    first();
    second();
    return;
  }
  std::exception_ptr failure;
  {
    std::jthread other([&] {
      try {
        second();
      } catch (...) {
        failure = std::current_exception();
      }
    });
    first();
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace korvid
