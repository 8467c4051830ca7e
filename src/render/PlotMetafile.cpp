#include "render/PlotMetafile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

#include "model/ExitCleanup.h"
#include "model/FolderEntries.h"
#include "model/RuntimeError.h"

namespace korvid {

namespace {

constexpr std::string_view kFolderPrefix = "korvid-";
// The lock is made under another name and renamed once it is held: a sweep never finds
// a lock that is free only because its instance has not taken it yet.
constexpr const char* kNewLockName = "lock.new";
constexpr mode_t kPrivate = 0700;

void RemoveFolderContents(int folderFd) {
  ::unlinkat(folderFd, PlotMetafile::kFileName, 0);
  ::unlinkat(folderFd, kNewLockName, 0);
  ::unlinkat(folderFd, PlotMetafile::kLockName, 0);
}

[[noreturn]] void Fail(int errnoValue, const std::string& where) {
  throw RuntimeError(ErrorNumberFromErrno(errnoValue), where);
}

bool IsOwnFolder(const struct stat& status) {
  return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
}

// Removes one left-behind folder when its lock can be taken; anything unexpected (a
// link, another owner, no lock file, a lock held) leaves it alone.
void SweepFolder(int baseFd, const char* name) {
  struct stat seen {};
  if (::fstatat(baseFd, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !IsOwnFolder(seen)) return;
  const int folderFd = ::openat(baseFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folderFd < 0) return;
  struct stat opened {};
  const int lockFd =
      ::openat(folderFd, PlotMetafile::kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (::fstat(folderFd, &opened) == 0 && IsOwnFolder(opened) && opened.st_ino == seen.st_ino &&
      opened.st_dev == seen.st_dev && lockFd >= 0 && ::flock(lockFd, LOCK_EX | LOCK_NB) == 0) {
    RemoveFolderContents(folderFd);
    ::unlinkat(baseFd, name, AT_REMOVEDIR);
  }
  if (lockFd >= 0) ::close(lockFd);
  ::close(folderFd);
}

// Folders that instances killed without a chance to clean up left behind.
void SweepFolders(int baseFd) {
  ForEachFolderEntry(baseFd, [&](std::string_view name) {
    if (name.substr(0, kFolderPrefix.size()) == kFolderPrefix) {
      SweepFolder(baseFd, std::string(name).c_str());
    }
  });
}

int OpenBase(const std::string& base) {
  const int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail(errno, base);
  return fd;
}

// The runtime folder: the user's own, and no one else's to enter.
bool PrivateToUser(const struct stat& status) {
  return IsOwnFolder(status) && (status.st_mode & 07777) == kPrivate;
}

// A temporary folder where no one else can remove or swap what the user makes: written by
// no one but the user, or sticky (as /tmp) and held by the user or root.
bool SafeForUser(const struct stat& status) {
  if (!S_ISDIR(status.st_mode)) return false;
  if (IsOwnFolder(status) && (status.st_mode & 022) == 0) return true;
  return (status.st_mode & S_ISVTX) && (status.st_uid == ::geteuid() || status.st_uid == 0);
}

// The folder at `path` as its descriptor, when what the descriptor reaches passes `safe`:
// the folder checked is the folder used, whoever renames or swaps the path meanwhile.
int OpenChecked(const char* path, bool (*safe)(const struct stat&)) {
  if (path == nullptr || *path == '\0') return -1;
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && safe(status)) return fd;
  ::close(fd);
  return -1;
}

struct BaseFolder {
  int fd;
  std::string path;
};

BaseFolder OpenDefaultBase() {
  // Asked for directly, because Qt's lookup complains aloud when a session has none.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (const int fd = OpenChecked(runtime, PrivateToUser); fd >= 0) return {fd, runtime};
  const char* temporary = std::getenv("TMPDIR");
  if (const int fd = OpenChecked(temporary, SafeForUser); fd >= 0) return {fd, temporary};
  if (const int fd = OpenChecked("/tmp", SafeForUser); fd >= 0) return {fd, "/tmp"};
  Fail(EACCES, "/tmp");
}

std::string MakeFolder(int baseFd, const std::string& base,
                       std::vector<std::unique_ptr<ExitCleanup>>& cleanup) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(kFolderPrefix);
    for (int i = 0; i < 10; ++i)
      name += kLetters[random() % (sizeof kLetters - 1)];
    // Registered before it is made: a signal never leaves it behind.
    cleanup.push_back(
        std::make_unique<ExitCleanup>(baseFd, name.c_str(), ExitCleanup::Kind::Folder));
    const ExitCleanup::Making making;
    if (!making.Allowed()) Fail(EINTR, base);
    if (::mkdirat(baseFd, name.c_str(), kPrivate) == 0) return name;
    cleanup.pop_back();
    if (errno != EEXIST) Fail(errno, base);
  }
  Fail(EEXIST, base);
}

// The folder as made, checked: ours, a folder, and private whatever the umask did.
int OpenMadeFolder(int baseFd, const std::string& name, const std::string& folder) {
  const int fd = ::openat(baseFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) Fail(errno, folder);
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !IsOwnFolder(status) || ::fchmod(fd, kPrivate) != 0 ||
      ::fstat(fd, &status) != 0 || (status.st_mode & 07777) != kPrivate) {
    const int reason = errno ? errno : EACCES;
    ::close(fd);
    Fail(reason, folder);
  }
  return fd;
}

int TakeLock(int folderFd, const std::string& folder) {
  const int fd =
      ::openat(folderFd, kNewLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) Fail(errno, folder);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
      ::renameat(folderFd, kNewLockName, folderFd, PlotMetafile::kLockName) != 0) {
    const int reason = errno;
    ::close(fd);
    Fail(reason, folder);
  }
  return fd;
}

}  // namespace

std::string PlotMetafile::DefaultBaseFolder() {
  const BaseFolder base = OpenDefaultBase();
  ::close(base.fd);
  return base.path;
}

PlotMetafile::PlotMetafile(const std::string& baseFolder) : file_(std::string()) {
  std::string base = baseFolder;
  if (base.empty()) {
    BaseFolder checked = OpenDefaultBase();
    baseFd_ = checked.fd;
    base = std::move(checked.path);
  } else {
    baseFd_ = OpenBase(base);
  }
  try {
    SweepFolders(baseFd_);
    name_ = MakeFolder(baseFd_, base, cleanup_);
    folder_ = base + "/" + name_;
    folderFd_ = OpenMadeFolder(baseFd_, name_, folder_);
    for (const char* name : {kNewLockName, kLockName, kFileName})
      cleanup_.emplace_back(std::make_unique<ExitCleanup>(folderFd_, name));
    const ExitCleanup::Making making;
    if (!making.Allowed()) Fail(EINTR, folder_);
    lockFd_ = TakeLock(folderFd_, folder_);
  } catch (...) {
    cleanup_.clear();
    if (folderFd_ >= 0) {
      RemoveFolderContents(folderFd_);
      ::close(folderFd_);
    }
    if (!name_.empty()) ::unlinkat(baseFd_, name_.c_str(), AT_REMOVEDIR);
    ::close(baseFd_);
    throw;
  }
  file_ = FileLocation(folderFd_, kFileName, folder_ + "/" + kFileName);
}

PlotMetafile::~PlotMetafile() {
  cleanup_.clear();
  RemoveFolderContents(folderFd_);
  ::unlinkat(baseFd_, name_.c_str(), AT_REMOVEDIR);
  ::close(lockFd_);
  ::close(folderFd_);
  ::close(baseFd_);
}

void PlotMetafile::Remove() {
  file_.Remove();
}

}  // namespace korvid
