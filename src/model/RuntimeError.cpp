#include "model/RuntimeError.h"

#include <cerrno>

namespace korvid {

namespace {
std::string Describe(int number, const std::string& detail) {
  std::string text = "run-time error " + std::to_string(number);
  if (!detail.empty()) text += ": " + detail;
  return text;
}
}  // namespace

RuntimeError::RuntimeError(int number, const std::string& detail)
    : std::runtime_error(Describe(number, detail)), number_(number) {}

int ErrorNumberFromErrno(int errnoValue) {
  switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
      return err::kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return err::kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return err::kDiskFull;
    case ENAMETOOLONG:
      return err::kBadFileNameOrNumber;
    case EISDIR:
      return err::kPathFileAccess;
    case ENOMEM:
      return err::kOutOfMemory;
    default:
      return err::kDeviceIo;
  }
}

}  // namespace korvid
