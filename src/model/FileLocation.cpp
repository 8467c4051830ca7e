#include "model/FileLocation.h"

#include <unistd.h>

#include <utility>

namespace korvid {

FileLocation::FileLocation(std::string path) : name_(path), shownPath_(std::move(path)) {}

FileLocation::FileLocation(const char* path) : FileLocation(std::string(path)) {}

FileLocation::FileLocation(int folderFd, std::string name, std::string shownPath)
    : folderFd_(folderFd), held_(true), name_(std::move(name)), shownPath_(std::move(shownPath)) {}

int FileLocation::Open(int flags, mode_t mode) const {
  return ::openat(folderFd_, name_.c_str(), flags | O_CLOEXEC | (held_ ? O_NOFOLLOW : 0), mode);
}

int FileLocation::CreateAnew(mode_t mode) const {
  Remove();
  return Open(O_WRONLY | O_CREAT | O_EXCL, mode);
}

bool FileLocation::Remove() const {
  return ::unlinkat(folderFd_, name_.c_str(), 0) == 0;
}

bool FileLocation::Status(struct stat& status) const {
  return ::fstatat(folderFd_, name_.c_str(), &status, held_ ? AT_SYMLINK_NOFOLLOW : 0) == 0;
}

}  // namespace korvid
