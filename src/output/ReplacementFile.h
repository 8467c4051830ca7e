#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "model/ExitCleanup.h"
#include "model/FileDescriptor.h"

namespace korvid {

// A file beside `output` that takes its place only once it is complete and on disk: a
// failed write never destroys the file that was there. Without Commit the temporary file
// goes away, also when a signal ends the program; one left by a program that was killed
// outright is swept away by the next replacement of the same output. The temporary file
// is written through its descriptor only, and made with the permissions of the file it
// replaces (never its set-user-ID, set-group-ID or sticky bits), else as the umask says.
// Errors are RuntimeErrors with the reason's run-time error number.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& output);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The temporary file, open for writing.
  int Fd() const { return file_.Get(); }
  // Its name, for messages.
  const std::string& Path() const { return temporary_; }
  // Writes all of `size` bytes at the end of the temporary file.
  void Write(const void* data, std::size_t size);
  // Flushes the file to disk, puts it in place of the output and flushes the folder.
  void Commit();

 private:
  std::string output_;
  std::string outputName_;
  std::string temporaryName_;
  std::string temporary_;
  FileDescriptor folder_;
  FileDescriptor file_{-1};
  std::unique_ptr<ExitCleanup> cleanup_;
  bool committed_ = false;
};

// Writes all of `size` bytes to `fd`; a failure is a RuntimeError naming `shownName`.
void WriteAllTo(int fd, const void* data, std::size_t size, const std::string& shownName);

}  // namespace korvid
