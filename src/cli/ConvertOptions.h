#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvid {

// What korvid-convert was asked to do.
struct ConvertOptions {
  enum class Mode { Dump, Convert, Help };
  Mode mode = Mode::Help;
  std::string input;
  std::string output;         // "-": standard output
  std::string format;         // the output format by name (emf, svg, ...); else from the extension
  std::int16_t rotation = 0;  // 0, 90 (right), 180 or 270 (left)
  bool mono = false;          // black-and-white lines instead of coloured pens
  int widthPx = 0;            // raster width; 0 = from the resolution
  int dpi = 0;                // raster resolution; 0 = the default
  bool standard = false;      // --hpgl2: the standard HP-GL/2 reading
  int page = 1;               // --page: which page of the standard reading to draw
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws UsageError with a message for the user.
ConvertOptions ParseConvertOptions(const std::vector<std::string>& arguments);

extern const char* const kConvertUsage;

}  // namespace korvid
