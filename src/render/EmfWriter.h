#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/FileLocation.h"

namespace korvid {

// Builds an enhanced metafile ([MS-EMF]) in memory, record by record, and writes it to a
// file in one go. Only the records the plot drawing needs exist here. Object handles are
// assigned as GDI does: the lowest free index from 1.
class EmfWriter {
 public:
  struct Rect {
    std::int32_t left, top, right, bottom;
  };
  struct Point {
    std::int32_t x, y;
  };

  static constexpr std::uint32_t kMapModeHimetric = 3;
  static constexpr std::uint32_t kColourBlack = 0x000000;

  // frameHimetric: the picture's frame in 0.01 mm. description: UTF-16 code units,
  // NULs included.
  EmfWriter(const Rect& frameHimetric, const std::u16string& description,
            std::size_t expectedRecordBytes = 0);
  ~EmfWriter();
  EmfWriter(const EmfWriter&) = delete;
  EmfWriter& operator=(const EmfWriter&) = delete;

  void SetMapMode(std::uint32_t mode);
  // Returns the handle of the new pen. colour: 0x00BBGGRR.
  std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t colour);
  // Returns the handle of a new solid brush. colour: 0x00BBGGRR.
  std::uint32_t CreateSolidBrush(std::uint32_t colour);
  void SelectObject(std::uint32_t handle);
  void DeleteObject(std::uint32_t handle);
  void MoveTo(std::int32_t x, std::int32_t y);
  void LineTo(std::int32_t x, std::int32_t y);
  static constexpr std::uint32_t kFillAlternate = 1;  // even-odd
  static constexpr std::uint32_t kFillWinding = 2;
  static constexpr std::uint32_t kNullPen = 0x80000008;  // the stock object
  void SetPolyFillMode(std::uint32_t mode);
  // How far a mitered corner of a wide pen may reach, in widths, before it is bevelled.
  void SetMiterLimit(std::uint32_t limit);
  // Connected lines through the points, in the selected pen (EMR_POLYLINE).
  void Polyline(const std::vector<Point>& points);
  // One filled area of several closed rings, in the selected brush and pen.
  void PolyPolygon(const std::vector<std::vector<Point>>& rings);
  void Arc(const Rect& box, std::int32_t startX, std::int32_t startY, std::int32_t endX,
           std::int32_t endY);

  // Bytes written so far.
  std::size_t Size() const { return bytes_.size(); }

  // The size of each record, for counting what a metafile holds without writing it: a
  // record of one word (SETMAPMODE, SELECTOBJECT, DELETEOBJECT, SETPOLYFILLMODE), of one
  // point (MOVETOEX, LINETO), and the others.
  static constexpr std::size_t kWordRecordBytes = 12;
  static constexpr std::size_t kPointRecordBytes = 16;
  static constexpr std::size_t kCreatePenBytes = 28, kCreateBrushBytes = 24, kArcBytes = 40;
  static constexpr std::size_t PolylineBytes(std::size_t points) { return 8 + 16 + 4 + 8 * points; }
  static constexpr std::size_t PolyPolygonBytes(std::size_t rings, std::size_t points) {
    return 8 + 16 + 8 + 4 * rings + 8 * points;
  }
  // The header's size, which the description's length decides.
  static std::size_t HeaderBytes(const std::u16string& description);
  // Ends the metafile (EOF record, header totals) and returns its bytes.
  const std::vector<std::uint8_t>& Finish();
  // Finishes the metafile and hands its bytes over; the writer is empty afterwards.
  std::vector<std::uint8_t> Release();

  // Writes the finished bytes to `path`; a failure is the run-time error of the file
  // system's reason (61 disk full, 70 no permission, ...), and no partial file remains.
  void WriteFile(const FileLocation& file);

  // The reference device the picture is recorded for: a 96 dpi screen.
  static constexpr std::int32_t kDevicePixelsX = 1920;
  static constexpr std::int32_t kDevicePixelsY = 1080;
  static constexpr std::int32_t kDeviceMillimetresX = 508;
  static constexpr std::int32_t kDeviceMillimetresY = 286;

 private:
  template <typename Record>
  void Append(const Record& record);
  std::uint32_t NewHandle();

  std::vector<std::uint8_t> bytes_;
  std::uint32_t records_ = 0;
  std::vector<bool> handleInUse_;  // index 0 is reserved
  std::uint32_t handlesHighWater_ = 0;
  bool finished_ = false;
};

}  // namespace korvid
