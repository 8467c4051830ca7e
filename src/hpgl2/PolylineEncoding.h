#pragma once

#include <string_view>

namespace korvid {

// What a PE (polyline encoded) instruction asks for, step by step.
class PolylineEncodingSink {
 public:
  virtual ~PolylineEncodingSink() = default;
  virtual void SelectPen(int pen) = 0;
  // A move to (x, y), in the file's current units (fractional bits already applied):
  // relative to the pen unless `absolute`; drawing unless `penUp`.
  virtual void Move(double x, double y, bool absolute, bool penUp) = 0;
};

// Decodes the data of one PE instruction (everything between PE and its ";").
// Numbers are base-64 digits (bytes 63..126 continue a number, 191..254 end it) or,
// after the flag "7", base-32 digits (63..94 continue, 95..126 end), least significant
// first, with the sign in the lowest bit. Flags: ":" pen number follows, "<" the next
// move is pen up, ">" the number of fractional bits follows, "=" the next pair is
// absolute, "7" seven-bit mode. Every other byte is ignored, and a number that never
// ends is cut at 60 bits, so the time is linear in the data. Data that went through a
// UTF-8 conversion (each byte from 128 up as two bytes) is read as it was before.
void DecodePolylineEncoded(std::string_view data, PolylineEncodingSink& sink);

}  // namespace korvid
