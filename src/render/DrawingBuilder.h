#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "render/MetafileDrawing.h"

namespace korvid {

// Collects primitives into the display list: merges consecutive primitives of one pen into
// runs and gives equal pens one index, so that a file that creates a pen for every line
// still paints in long runs.
class DrawingBuilder {
 public:
  DrawingBuilder(const QRect& frame, const QString& description);

  std::uint32_t InternPen(const PicturePen& pen);
  void AddLine(std::uint32_t pen, const FrameLine& line);
  void AddArc(std::uint32_t pen, const FrameArc& arc);
  void AddFill(FrameFill fill);
  // Room for this many lines and arcs in all, so that the lists grow without copies.
  void Reserve(std::size_t lines, std::size_t arcs);
  // Adds what another builder built after everything here, as if added one by one.
  void Append(const MetafilePicture::Drawing& later);

  std::shared_ptr<const MetafilePicture::Drawing> Finish();

 private:
  struct PenHash {
    std::size_t operator()(const PicturePen& pen) const;
  };

  DrawRun& RunFor(std::uint32_t pen, RunKind kind, std::uint32_t next);

  std::shared_ptr<MetafilePicture::Drawing> drawing_;
  std::unordered_map<PicturePen, std::uint32_t, PenHash> penIndex_;
  PicturePen lastPen_;
  std::uint32_t lastPenIndex_ = UINT32_MAX;
};

}  // namespace korvid
