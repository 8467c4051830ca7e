#include "hpgl2/PolylineEncoding.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace korvid {

namespace {

enum class Awaiting { Coordinate, Pen, FractionalBits };

// Collects the digits of one number.
class EncodedNumber {
 public:
  // Feeds one byte; true when it completed a number (then Value() holds it).
  bool Feed(unsigned char byte, bool sevenBit, bool& wasDigit) {
    int digit = -1;
    bool last = false;
    if (sevenBit) {
      if (byte >= 63 && byte <= 94) digit = byte - 63;
      if (byte >= 95 && byte <= 126) digit = byte - 95, last = true;
    } else {
      if (byte >= 63 && byte <= 126) digit = byte - 63;
      if (byte >= 191 && byte <= 254) digit = byte - 191, last = true;
    }
    wasDigit = digit >= 0;
    if (!wasDigit) return false;
    if (shift_ < 60) magnitude_ |= static_cast<std::uint64_t>(digit) << shift_;
    shift_ += sevenBit ? 5 : 6;
    if (!last) return false;
    const std::uint64_t n = magnitude_;
    value_ = (n & 1) ? -static_cast<double>(n >> 1) : static_cast<double>(n >> 1);
    magnitude_ = 0;
    shift_ = 0;
    return true;
  }
  double Value() const { return value_; }

 private:
  std::uint64_t magnitude_ = 0;
  int shift_ = 0;
  double value_ = 0;
};

// Files passed through a text converter arrive with each byte from 128 up spelled as two
// UTF-8 bytes. PE data itself never holds bytes 128..190 (no digit uses them), so data
// that holds such bytes, each after a 0xC2 or 0xC3 lead byte, is read back as the original.
bool LooksUtf8Converted(std::string_view data) {
  bool any = false;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[i]);
    if (byte < 0x80 || byte > 0xBE) continue;
    if (i == 0) return false;
    const auto lead = static_cast<unsigned char>(data[i - 1]);
    if (lead != 0xC2 && lead != 0xC3) return false;
    any = true;
  }
  return any;
}

std::string FromUtf8(std::string_view data) {
  std::string bytes;
  bytes.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[i]);
    const bool lead = (byte == 0xC2 || byte == 0xC3) && i + 1 < data.size() &&
                      static_cast<unsigned char>(data[i + 1]) >= 0x80 &&
                      static_cast<unsigned char>(data[i + 1]) <= 0xBF;
    if (lead) {
      const auto next = static_cast<unsigned char>(data[++i]);
      bytes.push_back(static_cast<char>(byte == 0xC3 ? next + 0x40 : next));
    } else {
      bytes.push_back(data[i]);
    }
  }
  return bytes;
}

}  // namespace

void DecodePolylineEncoded(std::string_view data, PolylineEncodingSink& sink) {
  std::string original;
  if (LooksUtf8Converted(data)) {
    original = FromUtf8(data);
    data = original;
  }
  bool sevenBit = false;
  bool penUpNext = false;
  bool absoluteNext = false;
  double scale = 1;  // 2^-fractional bits
  Awaiting awaiting = Awaiting::Coordinate;
  bool haveX = false;
  double x = 0;
  EncodedNumber number;
  for (const char c : data) {
    const auto byte = static_cast<unsigned char>(c);
    bool wasDigit = false;
    if (number.Feed(byte, sevenBit, wasDigit)) {
      const double value = number.Value();
      switch (awaiting) {
        case Awaiting::Pen:
          sink.SelectPen(static_cast<int>(std::fmax(-32768.0, std::fmin(32767.0, value))));
          awaiting = Awaiting::Coordinate;
          break;
        case Awaiting::FractionalBits:
          scale = std::ldexp(1.0, -static_cast<int>(std::fmax(-52.0, std::fmin(52.0, value))));
          awaiting = Awaiting::Coordinate;
          break;
        case Awaiting::Coordinate:
          if (!haveX) {
            x = value;
            haveX = true;
          } else {
            sink.Move(x * scale, value * scale, absoluteNext, penUpNext);
            haveX = false;
            absoluteNext = false;
            penUpNext = false;
          }
          break;
      }
      continue;
    }
    if (wasDigit) continue;
    switch (c) {
      case ':':
        awaiting = Awaiting::Pen;
        break;
      case '<':
        penUpNext = true;
        break;
      case '>':
        awaiting = Awaiting::FractionalBits;
        break;
      case '=':
        absoluteNext = true;
        break;
      case '7':
        sevenBit = true;
        break;
      default:
        break;  // line ends, blanks and other bytes mean nothing here
    }
  }
}

}  // namespace korvid
