#include "output/SvgWriter.h"

#include <numbers>

#include "output/DecimalText.h"
#include "output/VectorWalk.h"
#include "render/DevicePen.h"

namespace korvid {

namespace {

// SVG user units per millimetre of the page.
constexpr double kUnitsPerMm = 10;

class SvgCanvas {
 public:
  SvgCanvas(std::string& text, const FrameOnPage& page)
      : text_(text),
        out_(text),
        unitsPerFrameUnit_(page.mmPerFrameUnit * kUnitsPerMm),
        left_(page.originX * kUnitsPerMm),
        top_(page.originY * kUnitsPerMm) {}

  void BeginRun(const PicturePen& pen) {
    const DevicePen device = DevicePen::From(pen, unitsPerFrameUnit_, kUnitsPerMm);
    run_.clear();
    DecimalText attributes(run_);
    attributes.Text(" stroke=\"#");
    Hex(pen.colour);
    attributes.Char('"');
    hairline_ = device.Hairline();
    flatEnds_ = !hairline_ && device.ends == PenEnds::kFlat;
    if (!hairline_) {
      attributes.Text(" stroke-width=\"").Hundredths(device.width);
      static constexpr const char* kCaps[] = {"round", "square", "butt"};
      static constexpr const char* kJoins[] = {"round", "bevel", "miter"};
      attributes.Text("\" stroke-linecap=\"").Text(kCaps[static_cast<int>(device.ends)]);
      attributes.Text("\" stroke-linejoin=\"").Text(kJoins[static_cast<int>(device.joins)]);
      if (device.joins == PenJoins::kMiter)
        attributes.Text("\" stroke-miterlimit=\"").Hundredths(device.miterLimit);
      attributes.Text("\" vector-effect=\"none\"");
    } else if (!device.Solid()) {
      attributes.Text(" stroke-dasharray=\"");
      for (std::size_t i = 0; i < device.dashCount; ++i) {
        if (i > 0) attributes.Char(',');
        attributes.Hundredths(device.dashes[i]);
      }
      attributes.Char('"');
    }
    out_.Text("<path").Text(run_).Text(" d=\"");
    dots_.clear();
    strokes_ = 0;
  }

  void MoveTo(FramePoint p) {
    Point('M', p);
    ++strokes_;
  }
  void LineTo(FramePoint p) { Point('L', p); }

  void ArcTo(const FrameArc& arc) {
    SplitArc(arc, std::numbers::pi, [&](double from, double sweep) {
      out_.Char('A').Hundredths(arc.rx * unitsPerFrameUnit_).Char(' ');
      out_.Hundredths(arc.ry * unitsPerFrameUnit_).Text(" 0 0 ").Char(sweep > 0 ? '1' : '0');
      const FramePoint end = PointOnArc(arc, from + sweep);
      out_.Char(' ');
      Coordinates(end);
    });
  }

  void Dot(FramePoint p) { dots_.push_back(p); }

  void Fill(const FrameFill& fill) {
    run_.clear();
    Hex(fill.colour);
    out_.Text("<path stroke=\"none\" fill=\"#").Text(run_).Text("\" fill-rule=\"");
    out_.Text(fill.winding ? "nonzero" : "evenodd").Text("\" d=\"");
    std::size_t at = 0;
    for (std::uint32_t size : fill.ringSizes) {
      for (std::uint32_t i = 0; i < size && at < fill.points.size(); ++i, ++at)
        Point(i == 0 ? 'M' : 'L', {fill.points[at].x(), fill.points[at].y()});
      out_.Char('Z');
    }
    out_.Text("\"/>\n");
  }

  void EndRun() {
    if (strokes_ == 0) {
      // A run of dots only: nothing but the dots' own path.
      text_.resize(text_.size() - run_.size() - std::char_traits<char>::length("<path d=\""));
    } else {
      out_.Text("\"/>\n");
    }
    if (dots_.empty()) return;
    // A path of no length is drawn only with round (or square) caps: a dot of the pen's width.
    // Wide pens with butt ends draw their dots square.
    std::string attributes = run_;
    if (hairline_) attributes += " stroke-linecap=\"round\"";
    const std::string butt = "stroke-linecap=\"butt\"";
    if (flatEnds_)
      attributes.replace(attributes.find(butt), butt.size(), "stroke-linecap=\"square\"");
    out_.Text("<path").Text(attributes).Text(" d=\"");
    for (const FramePoint& dot : dots_) {
      Point('M', dot);
      out_.Text("h0");
    }
    out_.Text("\"/>\n");
  }

 private:
  void Point(char command, FramePoint p) {
    out_.Char(command);
    Coordinates(p);
  }
  void Coordinates(FramePoint p) {
    out_.Hundredths(left_ + p.x * unitsPerFrameUnit_).Char(' ');
    out_.Hundredths(top_ + p.y * unitsPerFrameUnit_);
  }
  void Hex(QRgb colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 20; shift >= 0; shift -= 4)
      run_.push_back(kDigits[(colour >> shift) & 15]);
  }

  std::string& text_;
  DecimalText out_;
  double unitsPerFrameUnit_;
  double left_, top_;  // where the frame's corner lies on the page, in user units
  std::string run_;    // the attributes of the run's pen
  bool flatEnds_ = false;
  std::vector<FramePoint> dots_;
  std::size_t strokes_ = 0;
  bool hairline_ = true;
};

}  // namespace

std::string SvgOfPicture(const MetafilePicture& picture, const FrameOnPage& page) {
  std::string text;
  const MetafilePicture::Drawing* drawing = picture.Contents();
  if (drawing != nullptr) text.reserve(64 + 12 * drawing->lines.size() + 60 * drawing->arcs.size());
  DecimalText out(text);
  const double width = page.layout.page.width * kUnitsPerMm;
  const double height = page.layout.page.height * kUnitsPerMm;
  out.Text("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n");
  out.Text("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
  out.Hundredths(width / 10).Text("mm\" height=\"").Hundredths(height / 10);
  out.Text("mm\" viewBox=\"0 0 ").Hundredths(width).Char(' ').Hundredths(height).Text("\">\n");
  out.Text("<title>HPGL Data Drawing</title>\n<desc>Drawn by Korvid</desc>\n");
  // Hairlines, as GDI draws them: one pixel at any zoom, flat ends that leave the last
  // point out, sharp corners.
  out.Text(
      "<g fill=\"none\" stroke-width=\"1\" vector-effect=\"non-scaling-stroke\" "
      "stroke-linecap=\"butt\" stroke-linejoin=\"miter\">\n");
  if (drawing != nullptr) {
    SvgCanvas canvas(text, page);
    const FrameBox shown = ShownOnPage(page);
    WalkDrawing(*drawing, canvas, 0, SIZE_MAX, &shown);
  }
  out.Text("</g>\n</svg>\n");
  return text;
}

}  // namespace korvid
