#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace korvid {

// Text gathered in a block of its own, for the writer of a large drawing: its numbers go
// straight into the block (Room, then Commit), where a string's append costs a call to copy
// every few characters, a good share of writing all the drawing. Has the members of a
// string that DecimalText uses.
class TextBuffer {
 public:
  explicit TextBuffer(std::size_t capacity = 0) { reserve(capacity); }

  // Room for `count` more characters from the place returned; Commit(end) takes in those
  // written up to `end`.
  char* Room(std::size_t count) {
    if (capacity_ - size_ < count) reserve(std::max(2 * capacity_, size_ + count));
    return data_.get() + size_;
  }
  void Commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }

  void append(const char* first, const char* last) {
    const auto count = static_cast<std::size_t>(last - first);
    std::memcpy(Room(count), first, count);
    size_ += count;
  }
  void append(std::string_view text) { append(text.data(), text.data() + text.size()); }
  void push_back(char c) {
    *Room(1) = c;
    ++size_;
  }
  // Only ever shorter.
  void resize(std::size_t size) { size_ = std::min(size, size_); }
  void clear() { size_ = 0; }
  void reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  std::size_t size() const { return size_; }
  operator std::string_view() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Appends numbers to the text of a vector file without the locale machinery of streams
// and printf, which costs more than all the rest of writing a large drawing. `Chars`: a
// std::string or a TextBuffer.
template <typename Chars>
class BasicDecimalText {
 public:
  explicit BasicDecimalText(Chars& text) : text_(text) {}

  // Rounded to hundredths, trailing zeros and a needless point left out: "12", "3.5",
  // "-0.25". Whatever is not a finite number is written as 0.
  BasicDecimalText& Hundredths(double value) {
    char digits[kRoom];
    text_.append(digits, PutHundredths(digits, value));
    return *this;
  }

  // The longest number PutHundredths or PutTenths writes.
  static constexpr std::size_t kRoom = 24;

  // Writes Hundredths' text of `value` at `out`; returns where it ends. For writers that
  // gather a few numbers before they append them: one append instead of one a character.
  // Up to kRoom characters from `out` on may be written: those beyond the end are scratch.
  static char* PutHundredths(char* out, double value) {
    long long hundredths = Scaled(value, 100);
    if (hundredths < 0) {
      *out++ = '-';
      hundredths = -hundredths;
    }
    const auto whole = static_cast<unsigned long long>(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    out = whole < 10000 ? Short(out, static_cast<unsigned>(whole))
                        : std::to_chars(out, out + 20, whole).ptr;
    // A needless point or zero is written and then left behind, without a branch: whether a
    // coordinate has hundredths, or tenths only, is a toss of a coin.
    out[0] = '.';
    out[1] = static_cast<char>('0' + fraction / 10);
    out[2] = static_cast<char>('0' + fraction % 10);
    return out + (fraction == 0 ? 0 : (fraction % 10 == 0 ? 2 : 3));
  }

  // The same to tenths.
  BasicDecimalText& Tenths(double value) {
    char digits[kRoom];
    text_.append(digits, PutTenths(digits, value));
    return *this;
  }

  // As PutHundredths, to tenths.
  static char* PutTenths(char* out, double value) {
    long long tenths = Scaled(value, 10);
    if (tenths < 0) {
      *out++ = '-';
      tenths = -tenths;
    }
    out = std::to_chars(out, out + 20, tenths / 10).ptr;
    if (tenths % 10 != 0) {
      *out++ = '.';
      *out++ = static_cast<char>('0' + tenths % 10);
    }
    return out;
  }

  // Nine decimals: for scale factors, where hundredths are too coarse.
  BasicDecimalText& Precise(double value) {
    char digits[40];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 9);
    text_.append(digits, result.ptr);
    return *this;
  }

  BasicDecimalText& Integer(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, result.ptr);
    return *this;
  }

  BasicDecimalText& Text(std::string_view text) {
    text_.append(text);
    return *this;
  }

  BasicDecimalText& Char(char c) {
    text_.push_back(c);
    return *this;
  }

 private:
  // A number below 10000, the most a coordinate of a drawing is, at a fraction of to_chars'
  // cost: all four digits, leading zeros and all, and as many of the last moved to `out` as
  // the number has (how many is as good as random from one coordinate to the next).
  static char* Short(char* out, unsigned value) {
    const char digits[8] = {
        static_cast<char>('0' + value / 1000), static_cast<char>('0' + value / 100 % 10),
        static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
    const int count = 1 + (value >= 10) + (value >= 100) + (value >= 1000);
    std::memcpy(out, digits + 4 - count, 4);
    return out + count;
  }

  static long long Scaled(double value, double factor) {
    // Halves away from zero, as llround, without the library call.
    const double scaled = value * factor;
    if (!(std::abs(scaled) < 9e17)) return 0;
    return static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  }

  Chars& text_;
};

using DecimalText = BasicDecimalText<std::string>;

}  // namespace korvid
