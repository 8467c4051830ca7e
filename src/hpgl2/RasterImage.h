#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "hpgl2/InstructionScanner.h"
#include "hpgl2/RasterSkip.h"
#include "model/StandardPlot.h"

namespace korvid {

// The monochrome raster images of PCL and HP RTL (ESC * r A ... ESC * b W ... ESC * r C), as
// large-format plotters print scans: each image's rows decoded (compression methods 0
// unencoded, 1 run-length, 2 TIFF PackBits, 3 delta row) into runs of black pixels, the
// runs of consecutive rows that line up merged into rectangles. An image starts at the
// cursor (ESC * p X, Y in PCL units; in RTL entered with ESC % 1 A, at the HP-GL/2 pen),
// its pixels ESC * t R dots per inch, rows going down the page.
class RasterImages {
 public:
  // A finished image: its rectangles as rings, plotter units.
  using ImageSink = std::function<void(const std::vector<PlotRing>& rings)>;

  explicit RasterImages(ImageSink sink) : sink_(std::move(sink)) {}

  // ESC * r, ESC * b, ESC * t, ESC * p, ESC * v and ESC & u; the page's height places the
  // cursor's rows (PCL counts them down from the top).
  void Command(const EscapeSequence& sequence, double pageHeight);
  // ESC % 1 A: RTL's cursor at the HP-GL/2 pen.
  void PlaceCursor(PlotPoint at) {
    cursor_ = at;
    cursorSet_ = true;
  }
  // ESC E: the image ends and the raster settings return to their defaults.
  void Reset();
  // The image in progress ends: ESC * r B or C, a reset, a return to HP-GL/2, the end.
  void Finish();

  std::int64_t Drawn() const { return drawn_; }
  std::int64_t Skipped() const { return skipped_; }
  RasterSkip FirstSkip() const { return firstSkip_; }

 private:
  struct Rectangle {
    std::int64_t left, right;  // pixels, right exclusive
    std::int64_t top;          // row
  };

  void Start(bool atCursor);
  void Row(std::string_view data);
  void BlankRows(double count);
  void Decode(std::string_view data);
  void AddRuns();
  void CloseRectangle(const Rectangle& r, std::int64_t bottom);
  void Skip(RasterSkip why);

  ImageSink sink_;
  double dotsPerInch_ = 75;
  int compression_ = 0;
  double unitsPerInch_ = 300;  // ESC & u D: the unit of the cursor's position
  PlotPoint cursor_{0, 0};
  bool cursorSet_ = false;
  bool colour_ = false;  // ESC * v W or ESC * r U: the images that follow are in colour

  bool active_ = false;
  RasterSkip skip_ = RasterSkip::None;
  PlotPoint origin_;
  std::int64_t rows_ = 0;
  std::vector<std::uint8_t> row_;
  std::vector<std::uint8_t> seed_;
  std::vector<Rectangle> open_;  // by left edge, each ending in the row before
  std::vector<Rectangle> next_;
  std::vector<PlotRing> rings_;

  std::int64_t drawn_ = 0;
  std::int64_t skipped_ = 0;
  RasterSkip firstSkip_ = RasterSkip::None;
};

}  // namespace korvid
