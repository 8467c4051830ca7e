#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "pens/PenProfileText.h"
#include "pens/PenTable.h"
#include "reader/PlotFile.h"

namespace korvid {

// A profile holds at most a line for each of the 65536 pens: beyond this it is no profile.
inline constexpr std::size_t kLargestPenProfileBytes = std::size_t{4} << 20;

// A profile file as read: its table, or why there is none.
struct PenProfileLoad {
  PenTable table;
  std::optional<PenProfileError> lineError;  // a bad line
  std::error_code fileError;                 // unreadable; PlotFileProblem::TooLarge too large
  int fileErrorNumber = 0;                   // the run-time error number for the user

  bool Ok() const { return !lineError && !fileError; }
};

// Reads the profile at `path` whole; a file error or a bad line leaves the table empty.
PenProfileLoad LoadPenProfileFile(const std::string& path,
                                  FileKinds kinds = FileKinds::RegularFilesOnly);

// Why a profile file could not be read, in English: "line 4: ..." or the file error.
std::string DescribePenProfileLoad(const PenProfileLoad& load);

// Writes the table's text to `path`, replacing a file only once the new one is complete.
// A failure is a RuntimeError with the reason's run-time error number.
void SavePenProfileFile(const std::string& path, const PenTable& table);

// The named profiles of one folder (in the user's configuration folder): NAME.pens each.
class PenProfileFolder {
 public:
  static constexpr std::string_view kExtension = ".pens";

  explicit PenProfileFolder(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // Whether `name` can name a profile file here: not empty, no "/" or control
  // character, not starting with ".", at most 200 bytes.
  static bool IsValidName(std::string_view name);

  // The names of the profiles in the folder, sorted; none while the folder is missing.
  std::vector<std::string> Names() const;
  bool Has(const std::string& name) const;
  std::string FileOf(const std::string& name) const;

  PenProfileLoad Load(const std::string& name) const;
  // Makes the folder when it is missing; RuntimeError on failure.
  void Save(const std::string& name, const PenTable& table) const;
  // False (and errno) when the profile could not be removed.
  bool Remove(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace korvid
