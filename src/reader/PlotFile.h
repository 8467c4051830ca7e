#pragma once

#include <string>
#include <system_error>

#include "model/RuntimeError.h"

namespace korvid {

// A plotter file that could not be opened or read whole: the run-time error number the
// user sees, and the system's own reason for the converter and the logs.
class PlotFileError : public RuntimeError {
 public:
  PlotFileError(int number, std::error_code reason, const std::string& path);
  const std::error_code& reason() const noexcept { return reason_; }

 private:
  std::error_code reason_;
};

// The whole file as bytes, one byte one character, exactly as many as the file system
// says the file holds. Never blocks on a FIFO or device: such files read as empty.
std::string LoadPlotFileBytes(const std::string& path);

// Removes every CR LF pair in one left-to-right pass, like a string replace: a lone CR or
// LF stays, and CR CR LF LF leaves CR LF.
void RemoveCrLf(std::string& text);

// The same on `size` bytes at `data`, in place; returns the size left.
std::size_t RemoveCrLf(char* data, std::size_t size);

}  // namespace korvid
