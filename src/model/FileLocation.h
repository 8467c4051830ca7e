#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

namespace korvid {

// Where a file is: an ordinary path, or a name inside a folder held open by its
// descriptor. A file in a held folder is reached relative to that descriptor and never
// through a link: whoever renames the folder or puts links in place of it or of the file
// cannot make Korvid read or write anything else.
class FileLocation {
 public:
  FileLocation(std::string path);  // NOLINT(google-explicit-constructor): any path will do
  FileLocation(const char* path);  // NOLINT(google-explicit-constructor)
  // `name` inside the folder open as `folderFd` (owned by the caller, open for as long as
  // this location is used); `shownPath` names it in messages.
  FileLocation(int folderFd, std::string name, std::string shownPath);

  // open(2) with `flags` | O_CLOEXEC (| O_NOFOLLOW in a held folder); -1 and errno on failure.
  int Open(int flags, mode_t mode = 0) const;
  // A new, empty file in place of any old one, made with O_CREAT | O_EXCL.
  int CreateAnew(mode_t mode) const;
  // unlink(2); false and errno on failure.
  bool Remove() const;
  // lstat(2) in a held folder, stat(2) for a path; false and errno on failure.
  bool Status(struct stat& status) const;

  const std::string& Path() const { return shownPath_; }

 private:
  int folderFd_ = AT_FDCWD;
  bool held_ = false;
  std::string name_;
  std::string shownPath_;
};

}  // namespace korvid
