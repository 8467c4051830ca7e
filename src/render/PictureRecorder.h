#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/EmfWriter.h"
#include "render/GdiState.h"

namespace korvid {

// Takes the calls a drawing routine makes on an EmfWriter and builds at once the display
// list that playing the metafile written would give: the same pens, brushes, lines, arcs
// and fills, to the bit, since the decoder plays the records by the same GdiState. The
// converter, which only wants the picture, saves writing the records and reading them
// back. Knows the calls of the drawing routines only, with EmfWriter's meaning, and counts
// the bytes the metafile would hold.
class PictureRecorder {
 public:
  PictureRecorder(const EmfWriter::Rect& frameHimetric, const std::u16string& description);

  void SetMapMode(std::uint32_t mode) {
    state_.SetMapMode(mode);
    bytes_ += EmfWriter::kWordRecordBytes;
  }
  // Handles as EmfWriter gives them: the lowest free index from 1.
  std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t colour) {
    const std::uint32_t handle = state_.FreeIndex();
    state_.CreatePen(handle, style, width, colour);
    bytes_ += EmfWriter::kCreatePenBytes;
    return handle;
  }
  std::uint32_t CreateSolidBrush(std::uint32_t colour);
  // Inline, as the drawing routine calls them for every segment.
  void SelectObject(std::uint32_t handle) {
    state_.SelectObject(handle);
    bytes_ += EmfWriter::kWordRecordBytes;
  }
  void DeleteObject(std::uint32_t handle) {
    state_.DeleteObject(handle);
    bytes_ += EmfWriter::kWordRecordBytes;
  }
  void MoveTo(std::int32_t x, std::int32_t y) {
    state_.MoveTo(x, y);
    bytes_ += EmfWriter::kPointRecordBytes;
  }
  void LineTo(std::int32_t x, std::int32_t y) {
    state_.LineTo(x, y);
    bytes_ += EmfWriter::kPointRecordBytes;
  }
  void SetPolyFillMode(std::uint32_t mode) {
    state_.SetPolyFillMode(mode);
    bytes_ += EmfWriter::kWordRecordBytes;
  }
  void SetMiterLimit(std::uint32_t limit) {
    state_.SetMiterLimit(limit);
    bytes_ += EmfWriter::kWordRecordBytes;
  }
  void Polyline(const std::vector<EmfWriter::Point>& points);
  void PolyPolygon(const std::vector<std::vector<EmfWriter::Point>>& rings);
  void Arc(const EmfWriter::Rect& box, std::int32_t startX, std::int32_t startY, std::int32_t endX,
           std::int32_t endY) {
    state_.Arc(box.left, box.top, box.right, box.bottom, startX, startY, endX, endY);
    bytes_ += EmfWriter::kArcBytes;
  }

  // The bytes the metafile would hold so far, as EmfWriter::Size counts them.
  std::size_t Size() const { return bytes_; }

  void Reserve(std::size_t lines, std::size_t arcs) { state_.Reserve(lines, arcs); }
  // A recorder of the same frame and description, for a part recorded apart.
  PictureRecorder Another() const { return PictureRecorder(frame_, description_); }
  // The same for the part recorded next on another thread while this one records `before`
  // more lines: its own `room` lines go straight into this one's list (DrawingBuilder::Behind).
  PictureRecorder Behind(std::size_t before, std::size_t room) {
    PictureRecorder later = Another();
    later.state_.RecordBehind(state_, before, room);
    return later;
  }
  // What `later` (Another or Behind) recorded, as if it had been recorded here next (the
  // state it leaves, its objects and position, are not taken over: the drawing routines
  // record each part from a fresh start).
  void Append(PictureRecorder&& later) {
    state_.Append(std::move(later.state_));
    bytes_ += later.bytes_ - later.headerBytes_;
  }
  std::shared_ptr<const MetafilePicture::Drawing> Finish() { return state_.Finish(); }

 private:
  EmfWriter::Rect frame_;
  std::u16string description_;
  GdiState state_;
  std::size_t headerBytes_;
  std::size_t bytes_;
};

}  // namespace korvid
