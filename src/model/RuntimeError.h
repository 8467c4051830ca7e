#pragma once

#include <stdexcept>
#include <string>

namespace korvid {

// Run-time error numbers. They are the failure currency of the whole program: every
// failure travels as a RuntimeError carrying one of them, and the error reporter turns
// the number into the message the user reads.
namespace err {
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kBadFileNameOrNumber = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kDeviceIo = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEndOfFile = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPictureTooLarge = 480;
inline constexpr int kInvalidPicture = 481;
inline constexpr int kPrinterError = 482;
inline constexpr int kCannotEmptyClipboard = 520;
inline constexpr int kCannotOpenClipboard = 521;
}  // namespace err

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number, const std::string& detail = {});

  int number() const noexcept { return number_; }

 private:
  int number_;
};

// Maps an errno value of a failed file operation onto the run-time error number that
// means the same thing to the user.
int ErrorNumberFromErrno(int errnoValue);

}  // namespace korvid
