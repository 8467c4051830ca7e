#pragma once

#include <QRect>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "model/FileLocation.h"

class QPainter;

namespace korvid {

// A place in a picture's display list: before item `item` (a line, an arc or a fill) of
// its run `run`.
struct PicturePlace {
  std::size_t run = 0;
  std::uint32_t item = 0;
};

// How a picture is painted beyond its target rectangle.
struct PaintOptions {
  // 0: dash patterns are measured in device pixels (a screen). Otherwise the device's
  // resolution in dots per millimetre, and dash patterns keep a fixed length in
  // millimetres (on a 1200 dpi printer a pattern of a few pixels would look solid).
  double deviceDotsPerMm = 0;
  // The part of the display list painted, from `from` up to (not including) `to`: what a
  // thread of its own paints. Parts painted one over the other in order paint the whole.
  PicturePlace from;
  PicturePlace to{SIZE_MAX, 0};
};

// An enhanced metafile loaded into memory, ready to be painted scaled into any rectangle:
// the picture's frame maps onto the target rectangle. Decoding happens once, at load;
// painting only walks the decoded drawing and skips what lies outside the painter's clip.
// Copies share the decoded drawing.
class MetafilePicture {
 public:
  MetafilePicture();  // the empty picture: paints nothing

  // Error 53 for a missing file, 70 without permission, other file-system failures as
  // ErrorNumberFromErrno maps them, 480 for a file over 1 GiB (far beyond any plot
  // picture), 481 for one that is not a well-formed enhanced metafile.
  static MetafilePicture LoadFile(const FileLocation& file);
  // Error 481 for bytes that are not a well-formed enhanced metafile.
  static MetafilePicture FromBytes(std::string_view bytes);

  bool IsNull() const;
  // The frame of the picture in units of 0.01 mm (rclFrame of the header); width() and
  // height() are right - left and bottom - top.
  QRect Frame() const;
  // The header's description, NULs included (our files: application, NUL, title, NUL, NUL).
  QString Description() const;
  // Number of drawing primitives (lines and arcs) decoded; those drawn with the null pen
  // are not kept.
  std::size_t PrimitiveCount() const;

  // Paints the frame onto `target` (painter coordinates), through the painter's transform
  // and clip; the painter's state is left as it was. Lines are hairlines as GDI draws them;
  // the painter's antialiasing hint (off unless set) is respected. On a 32-bit QImage
  // without antialiasing or a clip more complex than a rectangle, the lines are written
  // straight into the image, several times faster than through QPainter, whose per-call
  // cost dominates pictures of many short lines. Safe to call from several threads at once
  // on copies of one picture.
  void Paint(QPainter& painter, const QRectF& target, const PaintOptions& options = {}) const;

  struct Drawing;
  // The decoded display list, for writers that walk it themselves; null for the empty
  // picture.
  const Drawing* Contents() const { return drawing_.get(); }
  // A picture of a display list made elsewhere (a part of another picture's).
  static MetafilePicture FromDrawing(std::shared_ptr<const Drawing> drawing) {
    return MetafilePicture(std::move(drawing));
  }

 private:
  explicit MetafilePicture(std::shared_ptr<const Drawing> drawing);
  std::shared_ptr<const Drawing> drawing_;
};

}  // namespace korvid
