#include "output/ReplacementFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <random>
#include <string_view>

#include "model/FolderEntries.h"
#include "model/RuntimeError.h"

namespace korvid {

namespace {

constexpr std::string_view kMarker = ".korvid-";
constexpr std::size_t kRandomLetters = 6;

[[noreturn]] void Fail(int errnoValue, const std::string& output) {
  throw RuntimeError(ErrorNumberFromErrno(errnoValue), output);
}

// ".NAME.korvid-" for the output NAME, shortened so that the whole temporary name still
// fits wherever the output's own name fits.
std::string TemporaryPrefix(const std::string& outputName) {
  const std::size_t added = 1 + kMarker.size() + kRandomLetters;
  std::string name = outputName;
  if (name.size() + added > NAME_MAX) name.resize(NAME_MAX - added);
  return "." + name + std::string(kMarker);
}

// A temporary file of this output whose writer is gone (its lock is free), made by this
// user, not a link: left by a replacement killed outright.
void SweepOne(int folderFd, const char* name) {
  const int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
    ::unlinkat(folderFd, name, 0);
  }
  ::close(fd);
}

void SweepLeftBehind(int folderFd, const std::string& prefix) {
  ForEachFolderEntry(folderFd, [&](std::string_view name) {
    if (name.size() == prefix.size() + kRandomLetters && name.substr(0, prefix.size()) == prefix) {
      SweepOne(folderFd, std::string(name).c_str());
    }
  });
}

std::string RandomLetters() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::random_device random;
  std::string letters;
  for (std::size_t i = 0; i < kRandomLetters; ++i)
    letters += kLetters[random() % (sizeof kLetters - 1)];
  return letters;
}

// Still the file named `name` in the folder: a sweep may have removed it between its
// creation and our lock.
bool StillNamed(int folderFd, const std::string& name, int fd) {
  struct stat named {};
  struct stat opened {};
  return ::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(fd, &opened) == 0 && named.st_ino == opened.st_ino &&
         named.st_dev == opened.st_dev;
}

}  // namespace

void WriteAllTo(int fd, const void* data, std::size_t size, const std::string& shownName) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, next, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno, shownName);
    }
    next += written;
    size -= static_cast<std::size_t>(written);
  }
}

ReplacementFile::ReplacementFile(const std::string& output) : output_(output), folder_(-1) {
  if (output.empty()) throw RuntimeError(err::kBadFileNameOrNumber, "no file name");
  const std::filesystem::path target(output);
  outputName_ = target.filename().string();
  if (outputName_.empty() || outputName_ == "." || outputName_ == "..") {
    throw RuntimeError(err::kBadFileNameOrNumber, output);
  }
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  folder_ = FileDescriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_.Get() < 0) Fail(errno, output);

  const std::string prefix = TemporaryPrefix(outputName_);
  SweepLeftBehind(folder_.Get(), prefix);
  struct stat existing {};
  const bool replaces =
      ::fstatat(folder_.Get(), outputName_.c_str(), &existing, 0) == 0 && S_ISREG(existing.st_mode);
  for (int attempt = 0; attempt < 100 && file_.Get() < 0; ++attempt) {
    temporaryName_ = prefix + RandomLetters();
    const int fd = ::openat(folder_.Get(), temporaryName_.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) Fail(errno, output);
    file_ = FileDescriptor(fd);
    cleanup_ = std::make_unique<ExitCleanup>(folder_.Get(), temporaryName_.c_str());
    if (::flock(fd, LOCK_EX) != 0 || !StillNamed(folder_.Get(), temporaryName_, fd)) {
      cleanup_.reset();
      file_ = FileDescriptor(-1);
    }
  }
  if (file_.Get() < 0) Fail(EEXIST, output);
  temporary_ = (target.parent_path() / temporaryName_).string();
  if (replaces && ::fchmod(file_.Get(), existing.st_mode & 0777) != 0) Fail(errno, output);
}

ReplacementFile::~ReplacementFile() {
  if (!committed_ && !temporaryName_.empty()) ::unlinkat(folder_.Get(), temporaryName_.c_str(), 0);
}

void ReplacementFile::Write(const void* data, std::size_t size) {
  WriteAllTo(file_.Get(), data, size, output_);
}

void ReplacementFile::Commit() {
  if (::fsync(file_.Get()) != 0) Fail(errno, output_);
  if (!file_.Close()) Fail(errno, output_);
  if (::renameat(folder_.Get(), temporaryName_.c_str(), folder_.Get(), outputName_.c_str()) != 0) {
    Fail(errno, output_);
  }
  committed_ = true;
  cleanup_.reset();
  // The new name is on disk only once the folder is; some file systems cannot say so.
  if (::fsync(folder_.Get()) != 0 && errno != EINVAL && errno != EROFS) Fail(errno, output_);
}

}  // namespace korvid
