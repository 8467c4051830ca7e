#include "render/InvalidPicture.h"

#include "model/RuntimeError.h"

namespace korvid {

void ThrowInvalidPicture(const char* reason) {
  throw RuntimeError(err::kInvalidPicture, reason);
}

}  // namespace korvid
