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
constexpr mode_t kOwnerOnly = 0600;
constexpr mode_t kNewFile = 0666;  // and the umask

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

// A name for an unnamed file, through /proc where it is mounted, else through the
// descriptor itself (which needs a privilege).
bool LinkUnnamed(int fd, int folderFd, const std::string& name) {
  const std::string proc = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, proc.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  return ::linkat(fd, "", folderFd, name.c_str(), AT_EMPTY_PATH) == 0;
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

ReplacementFile::ReplacementFile(const std::string& output, Temporary temporary)
    : output_(output), folder_(-1) {
  if (output.empty()) throw RuntimeError(err::kBadFileNameOrNumber, "no file name");
  const std::filesystem::path target(output);
  outputName_ = target.filename().string();
  if (outputName_.empty() || outputName_ == "." || outputName_ == "..") {
    throw RuntimeError(err::kBadFileNameOrNumber, output);
  }
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  folder_ = FileDescriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_.Get() < 0) Fail(errno, output);

  // What the name leads to, through any links: only a regular file is replaced. The name
  // itself is what the rename replaces, so nothing is ever written through it.
  struct stat existing {};
  if (::fstatat(folder_.Get(), outputName_.c_str(), &existing, 0) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      throw RuntimeError(err::kPathFileAccess,
                         output + (S_ISDIR(existing.st_mode) ? ": a folder" : ": not a file"));
    }
    replaces_ = true;
    replacedOwner_ = existing.st_uid;
    replacedGroup_ = existing.st_gid;
    replacedMode_ = existing.st_mode & 0777;
  } else if (errno != ENOENT) {
    Fail(errno, output);
  }

  prefix_ = TemporaryPrefix(outputName_);
  SweepLeftBehind(folder_.Get(), prefix_);
  // A new file is readable by others once it is done all the same; one that replaces
  // another is its owner's alone until then.
  const mode_t mode = replaces_ ? kOwnerOnly : kNewFile;
  if (temporary == Temporary::Unnamed) {
    const int fd = ::openat(folder_.Get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) {
      file_ = FileDescriptor(fd);
      return;
    }
    // Not every file system has unnamed files.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail(errno, output);
  }
  MakeNamed();
}

// A temporary file with a name beside the output, registered before it exists, so that
// a signal never leaves it behind.
void ReplacementFile::MakeNamed() {
  const mode_t mode = replaces_ ? kOwnerOnly : kNewFile;
  for (int attempt = 0; attempt < 100 && file_.Get() < 0; ++attempt) {
    temporaryName_ = prefix_ + RandomLetters();
    cleanup_ = std::make_unique<ExitCleanup>(folder_.Get(), temporaryName_.c_str());
    int fd = -1;
    {
      const ExitCleanup::Making making;
      if (!making.Allowed()) break;
      fd = ::openat(folder_.Get(), temporaryName_.c_str(),
                    O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    }
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      const int reason = errno;
      cleanup_.reset();
      temporaryName_.clear();
      Fail(reason, output_);
    }
    file_ = FileDescriptor(fd);
    if (::flock(fd, LOCK_EX) != 0 || !StillNamed(folder_.Get(), temporaryName_, fd)) {
      cleanup_.reset();
      file_ = FileDescriptor(-1);
    }
  }
  if (file_.Get() < 0) {
    cleanup_.reset();
    temporaryName_.clear();
    Fail(ExitCleanup::Ending() ? EINTR : EEXIST, output_);
  }
}

ReplacementFile::~ReplacementFile() {
  if (!committed_ && !temporaryName_.empty()) ::unlinkat(folder_.Get(), temporaryName_.c_str(), 0);
}

std::string ReplacementFile::Path() const {
  if (temporaryName_.empty()) return {};
  return (std::filesystem::path(output_).parent_path() / temporaryName_).string();
}

void ReplacementFile::Write(const void* data, std::size_t size) {
  WriteAllTo(file_.Get(), data, size, output_);
}

// The replaced file's mode, with its group where the owner may give it; where not, the
// group's bits go, so that no one gets more than the replaced file gave.
void ReplacementFile::GiveFinalMode() {
  if (!replaces_) return;
  struct stat made {};
  if (::fstat(file_.Get(), &made) != 0) Fail(errno, output_);
  mode_t mode = replacedMode_;
  if (made.st_gid != replacedGroup_ &&
      ::fchown(file_.Get(), static_cast<uid_t>(-1), replacedGroup_) != 0)
    mode &= ~static_cast<mode_t>(070);
  if (::fchmod(file_.Get(), mode) != 0) Fail(errno, output_);
}

// Gives the unnamed file a name beside the output, for the instant before it replaces it.
void ReplacementFile::NameUnnamed() {
  for (int attempt = 0; attempt < 100 && temporaryName_.empty(); ++attempt) {
    const std::string name = prefix_ + RandomLetters();
    cleanup_ = std::make_unique<ExitCleanup>(folder_.Get(), name.c_str());
    if (LinkUnnamed(file_.Get(), folder_.Get(), name)) {
      temporaryName_ = name;
    } else if (errno != EEXIST) {
      Fail(errno, output_);
    }
  }
  if (temporaryName_.empty()) Fail(EEXIST, output_);
}

void ReplacementFile::Commit() {
  if (::fsync(file_.Get()) != 0) Fail(errno, output_);
  GiveFinalMode();
  // From the name given to the unnamed file to the rename: a signal waits for this much.
  const ExitCleanup::Making making;
  if (!making.Allowed()) Fail(EINTR, output_);
  if (temporaryName_.empty()) NameUnnamed();
  // A file system may report a failed write only when the file is closed: it must not
  // have replaced the output by then.
  if (!file_.Close()) Fail(errno, output_);
  if (::renameat(folder_.Get(), temporaryName_.c_str(), folder_.Get(), outputName_.c_str()) != 0)
    Fail(errno, output_);
  committed_ = true;
  cleanup_.reset();
  // The new name is on disk only once the folder is; some file systems cannot say so.
  if (::fsync(folder_.Get()) != 0 && errno != EINVAL && errno != EROFS) Fail(errno, output_);
}

}  // namespace korvid
