#include "reader/PlotFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/FileDescriptor.h"

namespace korvid {

namespace {

[[noreturn]] void ThrowFileError(int errnoValue, const std::string& path) {
  throw PlotFileError(ErrorNumberFromErrno(errnoValue),
                      std::error_code(errnoValue, std::generic_category()), path);
}

}  // namespace

PlotFileError::PlotFileError(int number, std::error_code reason, const std::string& path)
    : RuntimeError(number, path + ": " + reason.message()), reason_(reason) {}

std::string LoadPlotFileBytes(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.Get() < 0) ThrowFileError(errno, path);
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(status.st_mode)) ThrowFileError(EISDIR, path);
  if (!S_ISREG(status.st_mode)) return {};

  std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(file.Get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowFileError(errno, path);
    if (got == 0) {
      throw PlotFileError(err::kInputPastEndOfFile, std::make_error_code(std::errc::io_error),
                          path);
    }
    filled += static_cast<std::size_t>(got);
  }
  return bytes;
}

std::size_t RemoveCrLf(char* data, std::size_t size) {
  const void* firstCr = std::memchr(data, '\r', size);
  if (!firstCr) return size;
  std::size_t in = static_cast<std::size_t>(static_cast<const char*>(firstCr) - data);
  std::size_t out = in;
  while (in < size) {
    // Here data[in] is a CR.
    if (in + 1 < size && data[in + 1] == '\n') {
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

void RemoveCrLf(std::string& text) {
  text.resize(RemoveCrLf(text.data(), text.size()));
}

}  // namespace korvid
