#pragma once

#include <QPointF>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "render/DrawingBuilder.h"
#include "render/EmfHeader.h"

namespace korvid {

// Plays the records of an enhanced metafile once, as GDI would, and keeps what they draw
// as a display list in frame coordinates.
//
// What it understands: the header, SETMAPMODE, CREATEPEN, CREATEBRUSHINDIRECT (solid
// brushes), SELECTOBJECT, DELETEOBJECT, SETPOLYFILLMODE, SETMITERLIMIT, MOVETOEX, LINETO, ARC,
// POLYLINE(16), POLYGON(16), POLYPOLYGON(16) and EOF. Every other record is skipped once its size
// is checked.
//
// Decisions where files leave room:
// - Map modes: MM_TEXT uses the reference device (szlDevice pixels on szlMillimeters);
//   LOMETRIC, HIMETRIC, LOENGLISH, HIENGLISH and TWIPS use their fixed units with y
//   upward. ISOTROPIC and ANISOTROPIC would need window and viewport extents, which no
//   file of ours holds: they count as MM_TEXT. Any other value is ignored, like the
//   failed SetMapMode call it stands for.
// - An object index outside the file's own table (1 to nHandles - 1) makes the file
//   invalid (error 481). Selecting an empty slot leaves the pen as it is, as GDI's
//   failing SelectObject would; so does selecting a stock object that is not a pen.
// - Deleting the selected pen keeps it in use until another one is selected.
// - The miter limit is the device context's: it holds for whatever mitered pen is selected
//   while it is in force. Before any SETMITERLIMIT it is the picture pen's own default.
// - The header's record count must match, and the end record must end the file (nBytes).
class EmfDecoder {
 public:
  explicit EmfDecoder(std::span<const std::byte> bytes);

  // Error 481 for anything malformed.
  std::shared_ptr<const MetafilePicture::Drawing> Decode();

 private:
  static constexpr std::int64_t kEmptySlot = -2;
  static constexpr std::int64_t kNullPen = -1;
  // Slot values from here up are brushes: kBrushBase + index into brushes_.
  static constexpr std::int64_t kBrushBase = std::int64_t{1} << 40;
  static constexpr std::int64_t kNullBrush = -3;

  void Play(std::uint32_t type, std::size_t offset, std::uint32_t size);
  void SetMapMode(std::uint32_t mode);
  void CreatePen(std::size_t offset, std::uint32_t size);
  void SelectObject(std::uint32_t index);
  void SelectStockObject(std::uint32_t index);
  void UseMiterLimit();
  void DeleteObject(std::uint32_t index);
  void LineTo(QPointF to);
  void Arc(std::size_t offset, std::uint32_t size);
  void CreateBrush(std::size_t offset, std::uint32_t size);
  void Polygons(std::uint32_t type, std::size_t offset, std::uint32_t size);
  void Polyline(bool small, std::size_t offset, std::uint32_t size);
  std::uint32_t CheckedSlot(std::uint32_t index) const;
  QPointF ToFrame(std::int32_t x, std::int32_t y) const;

  std::span<const std::byte> bytes_;
  EmfHeader header_;
  DrawingBuilder builder_;
  double scaleX_ = 1;  // frame units per logical unit
  double scaleY_ = 1;
  std::vector<std::int64_t> slots_;  // pen index, kNullPen or kEmptySlot per handle
  float miterLimit_ = PicturePen{}.miterLimit;
  std::int64_t pen_ = 0;  // the selected pen, as a slot value
  std::vector<QRgb> brushes_;
  std::int64_t brush_ = kBrushBase;  // the selected brush: GDI's default, white
  bool winding_ = false;             // the polygon fill mode
  QPointF position_;                 // current position, frame coordinates
};

}  // namespace korvid
