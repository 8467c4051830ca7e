#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

#include "model/ExitCleanup.h"
#include "model/FileDescriptor.h"

namespace korvid {

// A file beside `output` that takes its place only once it is complete and on disk: a
// failed write never destroys the file that was there. The output must be a regular file
// or not be there yet (a link to one is replaced, never followed); anything else, a
// device, a FIFO or a folder or a link to one, is refused (error 75) before anything is
// made.
//
// No one else sees the drawing before its owner would: the temporary file has no name at
// all while it is written where the file system allows (O_TMPFILE), and is otherwise made
// readable by its owner alone. It gets its final mode only once it is complete: that of
// the file it replaces (never its set-user-ID, set-group-ID or sticky bits) with the
// replaced file's group where the owner may give it, else without the group's bits; a new
// file the umask's. Without Commit the temporary file goes away, also when a signal ends
// the program; a named one left by a program that was killed outright is swept away by
// the next replacement of the same output. Errors are RuntimeErrors with the reason's
// run-time error number.
class ReplacementFile {
 public:
  // Unnamed where the file system allows; Named always names the temporary file, as on a
  // file system without O_TMPFILE.
  enum class Temporary { Unnamed, Named };

  explicit ReplacementFile(const std::string& output, Temporary temporary = Temporary::Unnamed);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The temporary file, open for writing.
  int Fd() const { return file_.Get(); }
  // Its path while it has a name; empty while it has none.
  std::string Path() const;
  // Writes all of `size` bytes at the end of the temporary file.
  void Write(const void* data, std::size_t size);
  // Flushes the file to disk, puts it in place of the output and flushes the folder.
  void Commit();

 private:
  void MakeNamed();
  void NameUnnamed();
  void GiveFinalMode();

  std::string output_;
  std::string outputName_;
  std::string prefix_;
  std::string temporaryName_;  // empty while the file has no name
  FileDescriptor folder_;
  FileDescriptor file_{-1};
  std::unique_ptr<ExitCleanup> cleanup_;
  bool replaces_ = false;
  uid_t replacedOwner_ = 0;
  gid_t replacedGroup_ = 0;
  mode_t replacedMode_ = 0;
  bool committed_ = false;
};

// Writes all of `size` bytes to `fd`; a failure is a RuntimeError naming `shownName`.
void WriteAllTo(int fd, const void* data, std::size_t size, const std::string& shownName);

}  // namespace korvid
