#pragma once

namespace korvid {

// The run-time error of a file that is not a well-formed enhanced metafile ("Invalid
// picture").
inline constexpr int kInvalidPicture = 481;

// Throws RuntimeError(kInvalidPicture) saying what is wrong with the file.
[[noreturn]] void ThrowInvalidPicture(const char* reason);

}  // namespace korvid
