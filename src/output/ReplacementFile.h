#pragma once

#include <string>

namespace korvid {

// A file beside `output` that takes its place only once it is complete: a failed write
// never destroys the file that was there. Without Commit the temporary file goes away.
// Errors are RuntimeErrors with the reason's run-time error number.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& output);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  const std::string& Path() const { return temporary_; }
  void Commit();

 private:
  std::string output_;
  std::string temporary_;
  bool committed_ = false;
};

}  // namespace korvid
