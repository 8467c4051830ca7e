#include "reader/PlotContent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "model/FileDescriptor.h"

namespace korvid {

namespace {

constexpr char kEscape = '\x1b';
// Beyond one byte in fifty the file is no text a plotter was sent.
constexpr std::size_t kForeignBytesPerHundred = 2;

bool IsLayout(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Control characters that plotter files do carry: layout, ETX (the label terminator),
// EOT, SO and SI (the alternate character set), SUB (the end of a DOS file) and ESC
// (device control).
bool IsPlotterControl(unsigned char c) {
  return IsLayout(c) || c == 0x03 || c == 0x04 || c == 0x0e || c == 0x0f || c == 0x1a ||
         c == static_cast<unsigned char>(kEscape);
}

}  // namespace

PlotContent ClassifyPlotContent(std::string_view head) {
  const auto first = std::find_if_not(
      head.begin(), head.end(), [](char c) { return IsLayout(static_cast<unsigned char>(c)); });
  if (first == head.end()) return PlotContent::Empty;
  if (*first == kEscape) return PlotContent::MaybePlot;
  std::size_t foreign = 0;
  for (const char c : head) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 || byte == 0x7f) && !IsPlotterControl(byte)) ++foreign;
  }
  return foreign * 100 > head.size() * kForeignBytesPerHundred ? PlotContent::NotAPlot
                                                               : PlotContent::MaybePlot;
}

PlotContent ClassifyPlotFile(const std::string& path) {
  // Only regular files are looked at: the window reads nothing else.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat status {};
  if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
    return PlotContent::MaybePlot;
  std::string head(kPlotContentHeadBytes, '\0');
  std::size_t size = 0;
  while (size < head.size()) {
    const ssize_t got = ::read(file.Get(), head.data() + size, head.size() - size);
    if (got < 0) return PlotContent::MaybePlot;
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  head.resize(size);
  return ClassifyPlotContent(head);
}

}  // namespace korvid
