#pragma once

#include "model/RuntimeError.h"

namespace korvid::testing {

// The run-time error number a call fails with, or 0 when it does not fail.
int ErrorOf(auto&& call) {
  try {
    call();
  } catch (const RuntimeError& failure) {
    return failure.number();
  }
  return 0;
}

}  // namespace korvid::testing
