#include "output/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "model/RuntimeError.h"

namespace korvid {

namespace {

// Made with the usual permissions (the kernel applies the umask), or those of the file
// it replaces, so that nothing needs widening or narrowing later.
int CreateExclusive(std::string& pattern, const std::string& output) {
  struct stat existing {};
  const bool replaces = ::stat(output.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  const std::size_t suffix = pattern.size() - 6;
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = suffix; i < pattern.size(); ++i) {
      pattern[i] = kLetters[random() % (sizeof kLetters - 1)];
    }
    const int fd = ::open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (replaces) ::fchmod(fd, existing.st_mode & 07777);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& output) : output_(output) {
  if (output.empty()) throw RuntimeError(err::kBadFileNameOrNumber, "no file name");
  const std::filesystem::path target(output);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  // The temporary name adds 15 bytes to the output's; shortened, it still fits where the
  // output's own name fits.
  constexpr std::size_t kAdded = std::char_traits<char>::length("..korvid-XXXXXX");
  std::string name = target.filename().string();
  if (name.size() + kAdded > NAME_MAX) name.resize(NAME_MAX - kAdded);
  temporary_ = (folder / ("." + name + ".korvid-XXXXXX")).string();
  const int fd = CreateExclusive(temporary_, output);
  if (fd < 0) throw RuntimeError(ErrorNumberFromErrno(errno), output);
  ::close(fd);
}

ReplacementFile::~ReplacementFile() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void ReplacementFile::Commit() {
  if (::rename(temporary_.c_str(), output_.c_str()) != 0) {
    throw RuntimeError(ErrorNumberFromErrno(errno), output_);
  }
  committed_ = true;
}

}  // namespace korvid
