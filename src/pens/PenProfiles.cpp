#include "pens/PenProfiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "model/RuntimeError.h"
#include "output/ReplacementFile.h"

namespace korvid {

namespace {

constexpr std::size_t kLongestName = 200;

}  // namespace

PenProfileLoad LoadPenProfileFile(const std::string& path, FileKinds kinds) {
  PenProfileLoad load;
  std::string text;
  try {
    text = LoadPlotFileBytes(path, kLargestPenProfileBytes, kinds);
  } catch (const PlotFileError& failure) {
    load.fileError = failure.reason();
    load.fileErrorNumber = failure.number();
    return load;
  }
  PenProfileRead read = ReadPenProfileText(text);
  load.table = std::move(read.table);
  load.lineError = std::move(read.error);
  return load;
}

std::string DescribePenProfileLoad(const PenProfileLoad& load) {
  if (load.lineError) return DescribePenProfileError(*load.lineError);
  if (load.fileError == PlotFileProblem::TooLarge) {
    return "larger than " + std::to_string(kLargestPenProfileBytes >> 20) +
           " MiB, more than any pen profile holds";
  }
  if (load.fileError) return load.fileError.message();
  return {};
}

void SavePenProfileFile(const std::string& path, const PenTable& table) {
  const std::string text = PenProfileText(table);
  ReplacementFile file(path);
  file.Write(text.data(), text.size());
  file.Commit();
}

bool PenProfileFolder::IsValidName(std::string_view name) {
  if (name.empty() || name.size() > kLongestName || name.front() == '.') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '/' || byte < 0x20 || byte == 0x7F;
  });
}

std::vector<std::string> PenProfileFolder::Names() const {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(path_, error), end; !error && it != end;
       it.increment(error)) {
    const std::string file = it->path().filename().string();
    if (file.size() <= kExtension.size() || !file.ends_with(kExtension)) continue;
    const std::string name = file.substr(0, file.size() - kExtension.size());
    std::error_code kind;
    if (IsValidName(name) && it->is_regular_file(kind)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool PenProfileFolder::Has(const std::string& name) const {
  struct stat status {};
  return IsValidName(name) && ::stat(FileOf(name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string PenProfileFolder::FileOf(const std::string& name) const {
  return path_ + "/" + name + std::string(kExtension);
}

PenProfileLoad PenProfileFolder::Load(const std::string& name) const {
  if (!IsValidName(name)) {
    PenProfileLoad load;
    load.fileError = std::make_error_code(std::errc::invalid_argument);
    load.fileErrorNumber = err::kBadFileNameOrNumber;
    return load;
  }
  return LoadPenProfileFile(FileOf(name));
}

void PenProfileFolder::Save(const std::string& name, const PenTable& table) const {
  if (!IsValidName(name)) throw RuntimeError(err::kBadFileNameOrNumber, name);
  std::error_code error;
  std::filesystem::create_directories(path_, error);
  if (error) throw RuntimeError(ErrorNumberFromErrno(error.value()), path_);
  SavePenProfileFile(FileOf(name), table);
}

bool PenProfileFolder::Remove(const std::string& name) const {
  if (!IsValidName(name)) {
    errno = EINVAL;
    return false;
  }
  return ::unlink(FileOf(name).c_str()) == 0;
}

}  // namespace korvid
