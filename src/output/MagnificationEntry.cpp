#include "output/MagnificationEntry.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "model/NumberText.h"
#include "model/PlotUnits.h"
#include "model/ValueConversion.h"

namespace korvid {

namespace {

constexpr double kLargestTwips = 245745;
constexpr double kTwipsPerMm = 56.7;

bool IsNumberText(const std::string& text) {
  for (unsigned char c : text) {
    if (c != '.' && (c < '0' || c > '9')) return false;
  }
  return true;
}

// A direction without extent sets no limit.
double Limit(double extent) {
  if (extent == 0) return std::numeric_limits<double>::infinity();
  return kLargestTwips / kTwipsPerMm * kPlotterUnitsPerMm / extent;
}

// A number as the runtime prints it: a leading blank for zero and above.
std::string WithSignPlace(double value, int decimals = 0) {
  char digits[400];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
  const std::string number(digits, result.ptr);
  return value >= 0 ? " " + number : number;
}

// The largest factor not above `limit` that is said plainly: a whole one, or below 1 one of
// two significant digits.
std::string LargestFactorText(double limit) {
  if (limit >= 1 || !(limit > 0) || !std::isfinite(limit)) return WithSignPlace(std::floor(limit));
  const int decimals = 1 - static_cast<int>(std::floor(std::log10(limit)));
  const double scale = std::pow(10.0, decimals);
  return WithSignPlace(std::floor(limit * scale) / scale, decimals);
}

}  // namespace

MagnificationEntry ApplyMagnificationEntry(const std::string& text, const PlotExtents& extents) {
  MagnificationEntry entry;
  if (!IsNumberText(text)) {
    entry.outcome = MagnificationEntry::Outcome::NotANumber;
    entry.message = kNotANumberMessage;
    entry.text = text;
    return entry;
  }
  const double width = static_cast<double>(extents.MaxX) - extents.MinX;
  const double height = static_cast<double>(extents.MaxY) - extents.MinY;
  double value = LeadingNumber(text);
  entry.text = text;
  if (value == 0) {
    entry.outcome = MagnificationEntry::Outcome::NotPositive;
    entry.message = kNotPositiveMessage;
    return entry;
  }
  entry.outcome = MagnificationEntry::Outcome::Accepted;
  const double widthTwips = value * width / kPlotterUnitsPerMm * kTwipsPerMm;
  const double heightTwips = value * height / kPlotterUnitsPerMm * kTwipsPerMm;
  if (!(widthTwips < kLargestTwips && heightTwips < kLargestTwips)) {
    const double limitX = Limit(width);
    const double heightLimit = Limit(height);
    const float limitY =
        std::isinf(heightLimit) ? std::numeric_limits<float>::infinity() : ToSingle(heightLimit);
    entry.text = LargestFactorText(limitY < limitX ? limitY : limitX);
    entry.message = "倍率が限界を超えてますので、" + entry.text + "倍で処理します";
    entry.outcome = MagnificationEntry::Outcome::Reduced;
    value = LeadingNumber(entry.text);
  }
  entry.magnification = ToSingle(value);
  return entry;
}

std::string MagnificationText(float magnification) {
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, magnification);
  return std::string(digits, result.ptr);
}

}  // namespace korvid
