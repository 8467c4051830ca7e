#pragma once

#include <QRect>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvid {

// The header record of an enhanced metafile, checked against the bytes it came from:
// everything the rest of the decoder relies on about sizes and counts holds.
struct EmfHeader {
  std::uint32_t size = 0;       // bytes of the header record; the next record starts here
  std::uint32_t fileBytes = 0;  // nBytes: where the records end (never past the bytes)
  std::uint32_t records = 0;    // nRecords, header and end record included
  std::uint16_t handles = 0;    // nHandles, index 0 reserved
  QRect frame;                  // rclFrame in 0.01 mm; width() = right - left
  QSize devicePixels;           // szlDevice
  QSize deviceMillimetres;      // szlMillimeters
  QString description;

  // Error 481 unless `bytes` start with a sound header.
  static EmfHeader Parse(std::span<const std::byte> bytes);
};

}  // namespace korvid
