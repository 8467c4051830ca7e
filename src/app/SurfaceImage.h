#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "render/MetafilePicture.h"

namespace korvid {

// What the drawing surface shows, kept as an image in the screen's own pixels, so that
// the picture is drawn only where nothing drawn before can serve: a scroll step moves the
// pixels already there and draws the strip it uncovers, a repaint of the same view (the
// band, an expose) copies, and a new size draws the view once. Places and sizes are in
// the surface's logical pixels; `ratio` is the screen's pixel ratio.
class SurfaceImage {
 public:
  // Forgets what was drawn: the next view is drawn afresh.
  void SetPicture(MetafilePicture picture);
  const MetafilePicture& Picture() const { return picture_; }

  // Makes the image hold `visible` of a surface of `surfaceSize` exactly, drawing only
  // what it does not hold yet.
  void Follow(const QRect& visible, const QSize& surfaceSize, qreal ratio);
  // Makes the image hold `visible` of a surface of `surfaceSize` at once, scaled from the
  // last exact image (white where that did not reach), for the steps of a zoom gesture:
  // its exact drawing waits for the next Follow.
  void Preview(const QRect& visible, const QSize& surfaceSize, qreal ratio);

  // The image and the part of the surface it holds; the image's pixel ratio is `ratio`.
  const QImage& Image() const { return image_; }
  QRect Rect() const { return rect_; }
  bool IsPreview() const { return preview_; }
  // How many pixels of the screen were drawn from the picture so far.
  double DrawnPixels() const { return drawnPixels_; }
  // How long the last drawing of a whole view took.
  double LastWholeMilliseconds() const { return lastWholeMs_; }

  // `region` of a surface of `surfaceSize`, drawn afresh into an image of its own.
  QImage Render(const QRect& region, const QSize& surfaceSize, qreal ratio) const;

 private:
  bool Holds(const QSize& surfaceSize, qreal ratio) const;
  void DrawWhole(const QRect& visible, const QSize& surfaceSize, qreal ratio);
  void DrawPart(const QRect& part);
  // Moves the pixels of the part `kept` of the image over to where they show in `visible`.
  void Shift(const QRect& visible, const QRect& kept);

  MetafilePicture picture_;
  QImage image_;
  QImage spare_;  // the last image but one, to move pixels into without a new allocation
  QImage layer_;  // where a second processor paints its part of a large picture
  QRect rect_;
  QSize surfaceSize_;
  qreal ratio_ = 1;
  bool preview_ = false;
  // The last exact image, for previews: what it holds and of which size of the surface.
  QImage exact_;
  QRect exactRect_;
  QSize exactSurface_;
  double drawnPixels_ = 0;
  double lastWholeMs_ = 0;
};

}  // namespace korvid
