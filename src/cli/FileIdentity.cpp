#include "cli/FileIdentity.h"

#include <sys/stat.h>
#include <unistd.h>

namespace korvid {

std::optional<FileIdentity> IdentityOf(const std::string& path, bool asInput) {
  struct stat status {};
  if (path == "-") {
    if (::fstat(asInput ? STDIN_FILENO : STDOUT_FILENO, &status) != 0 || !S_ISREG(status.st_mode))
      return std::nullopt;
  } else if (::stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  return FileIdentity{status.st_dev, status.st_ino};
}

bool OutputIsInput(const std::string& input, const std::string& output) {
  const std::optional<FileIdentity> read = IdentityOf(input, true);
  return read && read == IdentityOf(output, false);
}

}  // namespace korvid
