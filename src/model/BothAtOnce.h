#pragma once

#include <exception>
#include <thread>

#include "model/DrawingBudget.h"

namespace korvid {

// Runs `first` here and `second` on another thread when `parallel`, else after it, both
// within the drawing budget in force here; a failure of either is thrown once both are done.
template <typename First, typename Second>
void RunBoth(bool parallel, First first, Second second) {
  if (!parallel) {
    first();
    second();
    return;
  }
  std::exception_ptr failure;
  DrawingBudget::Account* const account = DrawingBudget::Current();
  {
    std::jthread other([&] {
      const DrawingBudget::Use sameDrawing(account);
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
