#pragma once

namespace korvid {

// Throws RuntimeError(err::kInvalidPicture), the error of a file that is not a well-formed
// enhanced metafile, saying what is wrong with it.
[[noreturn]] void ThrowInvalidPicture(const char* reason);

}  // namespace korvid
