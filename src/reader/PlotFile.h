#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "model/RuntimeError.h"

namespace korvid {

// The largest plot file Korvid reads: far beyond any real plot (the model holds at most
// 150,000 segments, a few megabytes of text), small enough that reading it never exhausts
// the memory of an ordinary desktop. Larger files are refused before anything is read.
inline constexpr std::size_t kLargestPlotFileBytes = std::size_t{512} << 20;

// The name that stands for standard input.
inline constexpr const char* kStandardInputName = "-";

// Which files a read takes. The window takes regular files only: a FIFO without a writer,
// or a stream that never ends, would hold it for ever. The converter, like any filter,
// also reads pipes, FIFOs and sockets to their end.
enum class FileKinds { FilesAndStreams, RegularFilesOnly };

// Why a plot file could not be read when the system's error numbers have no word for it.
enum class PlotFileProblem { TooLarge = 1, NotAFile, Shrank };
const std::error_category& PlotFileCategory();
std::error_code make_error_code(PlotFileProblem problem);

// A plotter file that could not be opened or read whole: the run-time error number the
// user sees, and the system's own reason for the converter and the logs.
class PlotFileError : public RuntimeError {
 public:
  PlotFileError(int number, std::error_code reason, const std::string& path);
  const std::error_code& reason() const noexcept { return reason_; }

 private:
  std::error_code reason_;
};

// The whole file as bytes, one byte one character. A regular file gives exactly as many
// bytes as the file system says it holds (fewer is error 62, PlotFileProblem::Shrank); one
// that says it holds none, as the files of /proc do whatever they hold, is read to its
// end. Pipes, FIFOs, sockets and standard input ("-") are read to their end. Either way more than
// `limitBytes` is refused (error 7, PlotFileProblem::TooLarge) before or while reading, so a file
// that grows meanwhile cannot take more memory. Devices are refused (error 75,
// PlotFileProblem::NotAFile) and never block; so is anything but a regular file when
// `kinds` is RegularFilesOnly, before anything is read from it.
std::string LoadPlotFileBytes(const std::string& path,
                              std::size_t limitBytes = kLargestPlotFileBytes,
                              FileKinds kinds = FileKinds::FilesAndStreams);

// Removes every CR LF pair in one left-to-right pass, like a string replace: a lone CR or
// LF stays, and CR CR LF LF leaves CR LF.
void RemoveCrLf(std::string& text);

// The same on `size` bytes at `data`, in place; returns the size left.
std::size_t RemoveCrLf(char* data, std::size_t size);

// The same, noting where each pair was: the number of bytes kept before it, for the first
// `limit` pairs (so that a place in the text left can be found in the bytes as they were).
std::size_t RemoveCrLf(char* data, std::size_t size, std::vector<std::uint32_t>& removedAt,
                       std::size_t limit);

}  // namespace korvid

namespace std {
template <>
struct is_error_code_enum<korvid::PlotFileProblem> : true_type {};
}  // namespace std
