#include "reader/PlotFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "model/FileDescriptor.h"

namespace korvid {

namespace {

class PlotFileCategoryImpl : public std::error_category {
 public:
  const char* name() const noexcept override { return "korvid plot file"; }
  std::string message(int problem) const override {
    switch (static_cast<PlotFileProblem>(problem)) {
      case PlotFileProblem::TooLarge:
        return "larger than " + std::to_string(kLargestPlotFileBytes >> 20) +
               " MiB, the most a plot file may hold";
      case PlotFileProblem::NotAFile:
        return "a device, not a file";
      case PlotFileProblem::Shrank:
        return "it became shorter while it was read";
    }
    return "unknown problem";
  }
};

[[noreturn]] void ThrowFileError(int errnoValue, const std::string& path) {
  throw PlotFileError(ErrorNumberFromErrno(errnoValue),
                      std::error_code(errnoValue, std::generic_category()), path);
}

[[noreturn]] void ThrowTooLarge(const std::string& path) {
  throw PlotFileError(err::kOutOfMemory, PlotFileProblem::TooLarge, path);
}

// Exactly the size the file system gave, never more: a file that grows while it is read
// is read as it was.
std::string ReadRegularFile(int fd, std::size_t size, const std::string& path) {
  std::string bytes(size, '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowFileError(errno, path);
    if (got == 0) throw PlotFileError(err::kInputPastEndOfFile, PlotFileProblem::Shrank, path);
    filled += static_cast<std::size_t>(got);
  }
  return bytes;
}

// To its end, in blocks; one byte past the limit is enough to know it is too much.
std::string ReadStream(int fd, std::size_t limitBytes, const std::string& path) {
  std::string bytes;
  char block[1 << 16];
  for (;;) {
    const std::size_t want = std::min(sizeof block, limitBytes - bytes.size() + 1);
    const ssize_t got = ::read(fd, block, want);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowFileError(errno, path);
    if (got == 0) return bytes;
    if (bytes.size() + static_cast<std::size_t>(got) > limitBytes) ThrowTooLarge(path);
    bytes.append(block, static_cast<std::size_t>(got));
  }
}

// A FIFO is opened without blocking, so that opening one never waits; it is then read
// like any converter reads one: from its first writer (until then it looks empty) to
// the end.
void ReadBlocking(int fd, bool fifo) {
  if (fifo) {
    pollfd waiting{fd, POLLIN, 0};
    while (::poll(&waiting, 1, -1) < 0 && errno == EINTR) {
    }
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK)) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

std::string ReadOpenFile(int fd, bool standardInput, std::size_t limitBytes, FileKinds kinds,
                         const std::string& path) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(status.st_mode)) ThrowFileError(EISDIR, path);
  if (kinds == FileKinds::RegularFilesOnly && !S_ISREG(status.st_mode))
    throw PlotFileError(err::kPathFileAccess, PlotFileProblem::NotAFile, path);
  if (S_ISREG(status.st_mode) && !standardInput && status.st_size > 0) {
    if (static_cast<std::uintmax_t>(status.st_size) > limitBytes) ThrowTooLarge(path);
    return ReadRegularFile(fd, static_cast<std::size_t>(status.st_size), path);
  }
  if (S_ISREG(status.st_mode)) {
    // Standard input may be a file read from where the shell left it.
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && status.st_size - at > static_cast<off_t>(limitBytes)) ThrowTooLarge(path);
  }
  if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
    ReadBlocking(fd, S_ISFIFO(status.st_mode) && !standardInput);
    return ReadStream(fd, limitBytes, path);
  }
  throw PlotFileError(err::kPathFileAccess, PlotFileProblem::NotAFile, path);
}

}  // namespace

const std::error_category& PlotFileCategory() {
  static const PlotFileCategoryImpl category;
  return category;
}

std::error_code make_error_code(PlotFileProblem problem) {
  return {static_cast<int>(problem), PlotFileCategory()};
}

PlotFileError::PlotFileError(int number, std::error_code reason, const std::string& path)
    : RuntimeError(number, path + ": " + reason.message()), reason_(reason) {}

std::string LoadPlotFileBytes(const std::string& path, std::size_t limitBytes, FileKinds kinds) {
  if (path == kStandardInputName && kinds == FileKinds::FilesAndStreams)
    return ReadOpenFile(STDIN_FILENO, true, limitBytes, kinds, path);
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.Get() < 0) ThrowFileError(errno, path);
  return ReadOpenFile(file.Get(), false, limitBytes, kinds, path);
}

namespace {

// The one pass behind both forms; `removed(out)` is told of every pair as it goes, with the
// size kept so far.
template <typename OnPair>
std::size_t RemovePairs(char* data, std::size_t size, OnPair removed) {
  const void* firstCr = std::memchr(data, '\r', size);
  if (!firstCr) return size;
  std::size_t in = static_cast<std::size_t>(static_cast<const char*>(firstCr) - data);
  std::size_t out = in;
  while (in < size) {
    // Here data[in] is a CR.
    if (in + 1 < size && data[in + 1] == '\n') {
      removed(out);
      in += 2;
    } else {
      data[out++] = '\r';
      ++in;
    }
    const void* nextCr = std::memchr(data + in, '\r', size - in);
    const std::size_t stop =
        nextCr ? static_cast<std::size_t>(static_cast<const char*>(nextCr) - data) : size;
    std::memmove(data + out, data + in, stop - in);
    out += stop - in;
    in = stop;
  }
  return out;
}

}  // namespace

std::size_t RemoveCrLf(char* data, std::size_t size) {
  return RemovePairs(data, size, [](std::size_t) {});
}

std::size_t RemoveCrLf(char* data, std::size_t size, std::vector<std::uint32_t>& removedAt,
                       std::size_t limit) {
  return RemovePairs(data, size, [&removedAt, limit](std::size_t out) {
    if (removedAt.size() < limit) removedAt.push_back(static_cast<std::uint32_t>(out));
  });
}

void RemoveCrLf(std::string& text) {
  text.resize(RemoveCrLf(text.data(), text.size()));
}

}  // namespace korvid
