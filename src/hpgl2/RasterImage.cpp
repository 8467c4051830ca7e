#include "hpgl2/RasterImage.h"

#include <algorithm>
#include <cmath>

#include "model/PlotUnits.h"

namespace korvid {

namespace {

constexpr double kPlotterUnitsPerInch = 25.4 * kPlotterUnitsPerMm;
// Beyond this many rectangles an image is a scan, not a drawing: it is told, not drawn.
constexpr std::size_t kMostRectangles = std::size_t{1} << 18;
constexpr std::size_t kLongestRowBytes = std::size_t{1} << 16;
constexpr double kMostBlankRows = 1e7;

}  // namespace

void RasterImages::Command(const EscapeSequence& s, double pageHeight) {
  const auto is = [&](char parameterized, char group, char letter) {
    return s.parameterized == parameterized && s.group == group && s.letter == letter;
  };
  if (is('&', 'u', 'D')) {
    if (s.value > 0) unitsPerInch_ = s.value;
  } else if (is('*', 't', 'R')) {
    if (s.value >= 1 && s.value <= 10000) dotsPerInch_ = s.value;
  } else if (is('*', 'p', 'X')) {
    cursor_.x = s.value * kPlotterUnitsPerInch / unitsPerInch_;
    if (!cursorSet_) cursor_.y = pageHeight;
    cursorSet_ = true;
  } else if (is('*', 'p', 'Y')) {
    cursor_.y = pageHeight - s.value * kPlotterUnitsPerInch / unitsPerInch_;
    cursorSet_ = true;
  } else if (is('*', 'r', 'A')) {
    Finish();
    if (!cursorSet_) cursor_ = {0, pageHeight};
    Start(s.value >= 1);
  } else if (is('*', 'r', 'B') || is('*', 'r', 'C')) {
    Finish();
  } else if (is('*', 'r', 'U') || is('*', 'v', 'W')) {
    // Several planes, or pixels of more than one bit: the images that follow are in colour.
    colour_ = !(is('*', 'r', 'U') && s.value == 1);
  } else if (is('*', 'b', 'V')) {
    if (active_) Skip(RasterSkip::Colour);
  } else if (is('*', 'b', 'M')) {
    compression_ = static_cast<int>(s.value);
  } else if (is('*', 'b', 'W')) {
    if (!active_) {
      if (!cursorSet_) cursor_ = {0, pageHeight};
      Start(false);
    }
    Row(s.data);
  } else if (is('*', 'b', 'Y')) {
    if (active_) BlankRows(s.value);
  }
}

void RasterImages::Reset() {
  Finish();
  const ImageSink sink = std::move(sink_);
  const std::int64_t drawn = drawn_, skipped = skipped_;
  const RasterSkip firstSkip = firstSkip_;
  *this = RasterImages(sink);
  drawn_ = drawn;
  skipped_ = skipped;
  firstSkip_ = firstSkip;
}

void RasterImages::Start(bool atCursor) {
  active_ = true;
  skip_ = colour_ ? RasterSkip::Colour : RasterSkip::None;
  origin_ = {atCursor ? cursor_.x : 0, cursor_.y};
  rows_ = 0;
  seed_.clear();
  open_.clear();
  rings_.clear();
}

void RasterImages::Skip(RasterSkip why) {
  if (skip_ == RasterSkip::None) skip_ = why;
  open_.clear();
  rings_ = {};
}

void RasterImages::Decode(std::string_view data) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(data[i]); };
  const auto append = [&](std::uint8_t value, std::size_t count) {
    count = std::min(count, kLongestRowBytes - std::min(row_.size(), kLongestRowBytes));
    row_.insert(row_.end(), count, value);
  };
  row_.clear();
  switch (compression_) {
    case 0:
      for (std::size_t i = 0; i < data.size() && i < kLongestRowBytes; ++i)
        row_.push_back(byte(i));
      break;
    case 1:  // run-length: a count less one, then the byte
      for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        append(byte(i + 1), std::size_t{byte(i)} + 1);
      break;
    case 2:  // TIFF PackBits: n >= 0 copies n + 1 bytes, n < 0 repeats the next 1 - n times
      for (std::size_t i = 0; i < data.size();) {
        const auto n = static_cast<std::int8_t>(byte(i++));
        if (n >= 0) {
          for (int k = 0; k <= n && i < data.size(); ++k)
            append(byte(i++), 1);
        } else if (n != -128 && i < data.size()) {
          append(byte(i++), static_cast<std::size_t>(1 - n));
        }
      }
      break;
    case 3: {  // delta row: the seed row with bytes replaced, each command an offset and count
      row_ = seed_;
      std::size_t at = 0;
      for (std::size_t i = 0; i < data.size();) {
        const std::uint8_t command = byte(i++);
        const std::size_t count = (command >> 5) + 1u;
        std::size_t offset = command & 31u;
        if (offset == 31) {
          std::uint8_t more = 255;
          while (more == 255 && i < data.size()) {
            more = byte(i++);
            offset += more;
          }
        }
        at += offset;
        for (std::size_t k = 0; k < count && i < data.size(); ++k, ++at, ++i) {
          if (at >= kLongestRowBytes) continue;
          if (at >= row_.size()) row_.resize(at + 1, 0);
          row_[at] = byte(i);
        }
      }
      break;
    }
    default:
      break;
  }
}

void RasterImages::Row(std::string_view data) {
  if (skip_ != RasterSkip::None) return;
  if (compression_ < 0 || compression_ > 3) {
    Skip(RasterSkip::Compression);
    return;
  }
  Decode(data);
  seed_ = row_;
  AddRuns();
  ++rows_;
}

// The runs of black pixels of the row: a run that lines up with a rectangle of the rows
// above makes it one row taller; any other starts one.
void RasterImages::AddRuns() {
  next_.clear();
  std::size_t above = 0;
  const std::int64_t pixels = static_cast<std::int64_t>(row_.size()) * 8;
  for (std::int64_t x = 0; x < pixels;) {
    const auto bit = [&](std::int64_t at) {
      return (row_[static_cast<std::size_t>(at / 8)] >> (7 - at % 8)) & 1;
    };
    if (row_[static_cast<std::size_t>(x / 8)] == 0 && x % 8 == 0) {
      x += 8;
      continue;
    }
    if (!bit(x)) {
      ++x;
      continue;
    }
    const std::int64_t left = x;
    while (x < pixels && bit(x))
      ++x;
    while (above < open_.size() && open_[above].left < left)
      CloseRectangle(open_[above++], rows_);
    if (above < open_.size() && open_[above].left == left && open_[above].right == x) {
      next_.push_back(open_[above++]);
    } else {
      next_.push_back({left, x, rows_});
    }
  }
  while (above < open_.size())
    CloseRectangle(open_[above++], rows_);
  std::swap(open_, next_);
}

void RasterImages::CloseRectangle(const Rectangle& r, std::int64_t bottom) {
  if (skip_ != RasterSkip::None) return;
  if (rings_.size() >= kMostRectangles) {
    Skip(RasterSkip::TooDetailed);
    return;
  }
  const double pixel = kPlotterUnitsPerInch / dotsPerInch_;
  const double left = origin_.x + static_cast<double>(r.left) * pixel;
  const double right = origin_.x + static_cast<double>(r.right) * pixel;
  const double top = origin_.y - static_cast<double>(r.top) * pixel;
  const double low = origin_.y - static_cast<double>(bottom) * pixel;
  rings_.push_back({{left, top}, {right, top}, {right, low}, {left, low}});
}

void RasterImages::BlankRows(double count) {
  if (!(count > 0)) return;
  for (const Rectangle& r : open_)
    CloseRectangle(r, rows_);
  open_.clear();
  seed_.clear();
  rows_ += static_cast<std::int64_t>(std::min(count, kMostBlankRows));
}

void RasterImages::Finish() {
  if (!active_) return;
  active_ = false;
  for (const Rectangle& r : open_)
    CloseRectangle(r, rows_);
  open_.clear();
  if (skip_ == RasterSkip::None) {
    ++drawn_;
    if (!rings_.empty()) sink_(rings_);
  } else {
    ++skipped_;
    if (firstSkip_ == RasterSkip::None) firstSkip_ = skip_;
  }
  rings_ = {};
  // The cursor moves down past the rows.
  cursor_.y = origin_.y - static_cast<double>(rows_) * kPlotterUnitsPerInch / dotsPerInch_;
  cursorSet_ = true;
}

}  // namespace korvid
