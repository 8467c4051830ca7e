#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace korvid {

// A file by device and inode, whatever name or link leads to it: an output that is an
// input would destroy a plot.
struct FileIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const FileIdentity&) const = default;
  auto operator<=>(const FileIdentity&) const = default;
};

// The file at `path` (through links), or nothing when there is none. "-" is the file open
// as standard input when `asInput`, as standard output otherwise, when that is a regular
// file.
std::optional<FileIdentity> IdentityOf(const std::string& path, bool asInput);

// Whether writing `output` would replace the file `input` is read from.
bool OutputIsInput(const std::string& input, const std::string& output);

}  // namespace korvid
