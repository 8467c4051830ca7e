#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "output/PaperLayout.h"
#include "pens/PenTable.h"

namespace korvid {

// What korvid-convert was asked to do.
struct ConvertOptions {
  enum class Mode { Dump, Convert, Batch, Thumbnail, Help, Version };
  Mode mode = Mode::Help;
  std::string input;                // the one input of Dump, Convert and Thumbnail
  std::string output;               // Convert's and Thumbnail's output; "-" standard output
  std::vector<std::string> inputs;  // every input, in the order given
  std::string format;               // svg, pdf, png, bmp or emf; Convert: else from the extension
  std::string outputFolder = ".";   // Batch: where the outputs go; "-" standard output
  int jobs = 0;                     // Batch: workers at once; 0 = one a processor
  int memoryMiB = 0;                // the drawing budget; 0 = the default of the mode
  int thumbnailPx = 0;              // Thumbnail: the longer side in pixels
  std::int16_t rotation = 0;        // 0, 90 (right), 180 or 270 (left)
  bool mono = false;                // black-and-white lines instead of coloured pens
  int widthPx = 0;                  // raster width; 0 = from the resolution
  int dpi = 0;                      // raster resolution; 0 = the default
  PageRequest sheet;                // --scale, --paper, --landscape or --portrait, --fit
  bool standard = false;            // --hpgl2: the standard HP-GL/2 reading
  int page = 1;                     // --page: which page of the standard reading to draw
  // --pens and --hide-pens, read and checked whole before anything is drawn; null: the
  // pens as the reading draws them.
  std::shared_ptr<const PenTable> pens;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws UsageError with a message for the user.
ConvertOptions ParseConvertOptions(const std::vector<std::string>& arguments);

extern const char* const kConvertUsage;
extern const char* const kConvertVersion;

}  // namespace korvid
