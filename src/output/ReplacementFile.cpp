#include "output/ReplacementFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "model/RuntimeError.h"

namespace korvid {

namespace {

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
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
  const int fd = ::mkstemp(temporary_.data());
  if (fd < 0) throw RuntimeError(ErrorNumberFromErrno(errno), output);
  ::close(fd);
}

ReplacementFile::~ReplacementFile() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void ReplacementFile::Commit() {
  // mkstemp and copying make private files; the output gets the usual permissions.
  ::chmod(temporary_.c_str(), 0666 & ~CurrentUmask());
  if (::rename(temporary_.c_str(), output_.c_str()) != 0) {
    throw RuntimeError(ErrorNumberFromErrno(errno), output_);
  }
  committed_ = true;
}

}  // namespace korvid
