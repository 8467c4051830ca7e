#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "render/EmfHeader.h"
#include "render/GdiState.h"

namespace korvid {

// Plays the records of an enhanced metafile once, as GDI would (by GdiState's rules), and
// keeps what they draw as a display list in frame coordinates.
//
// What it understands: the header, SETMAPMODE, CREATEPEN, CREATEBRUSHINDIRECT,
// SELECTOBJECT, DELETEOBJECT, SETPOLYFILLMODE, SETMITERLIMIT, MOVETOEX, LINETO, ARC, POLYLINE(16),
// POLYGON(16), POLYPOLYGON(16) and EOF. Every other record is skipped once its size is
// checked.
//
// What makes a file invalid (error 481): an object index outside the file's own table (1 to
// nHandles - 1); a header whose record count does not match, or an end record that does
// not end the file (nBytes); a record shorter than its fields.
class EmfDecoder {
 public:
  explicit EmfDecoder(std::span<const std::byte> bytes);

  // Error 481 for anything malformed.
  std::shared_ptr<const MetafilePicture::Drawing> Decode();

 private:
  void Play(std::uint32_t type, std::size_t offset, std::uint32_t size);
  void Polygons(std::uint32_t type, std::size_t offset, std::uint32_t size);
  void Polyline(bool small, std::size_t offset, std::uint32_t size);
  std::uint32_t CheckedSlot(std::uint32_t index) const;
  std::uint32_t CheckedObject(std::uint32_t index) const;

  std::span<const std::byte> bytes_;
  EmfHeader header_;
  GdiState state_;
};

}  // namespace korvid
