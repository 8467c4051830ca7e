#include "output/SvgWriter.h"

#include <numbers>
#include <thread>

#include "model/BothAtOnce.h"
#include "output/DecimalText.h"
#include "output/VectorWalk.h"
#include "render/DevicePen.h"

namespace korvid {

namespace {

// SVG user units per millimetre of the page.
constexpr double kUnitsPerMm = 10;
// The text handed on at once: a large drawing's SVG is many times its picture, and written
// whole it would be held whole, and copied out of memory that no cache holds any more.
constexpr std::size_t kChunkBytes = 256 * 1024;

class SvgCanvas {
 public:
  SvgCanvas(TextBuffer& text, const FrameOnPage& page, const TextSink& sink)
      : text_(text),
        out_(text),
        sink_(sink),
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
    HandOn();
  }
  void LineTo(FramePoint p) {
    Point('L', p);
    HandOn();
  }

  void ArcTo(const FrameArc& arc) {
    SplitArc(arc, std::numbers::pi, [&](double from, double sweep) {
      out_.Char('A').Hundredths(arc.rx * unitsPerFrameUnit_).Char(' ');
      out_.Hundredths(arc.ry * unitsPerFrameUnit_).Text(" 0 0 ").Char(sweep > 0 ? '1' : '0');
      const FramePoint end = PointOnArc(arc, from + sweep);
      out_.Char(' ');
      Coordinates(end);
    });
    HandOn();
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
    HandOn();
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
    HandOn();
  }

  // Hands the text on once there is enough of it. Never between BeginRun and a run's first
  // stroke: a run of dots only takes its path's beginning back.
  void HandOn() {
    if (text_.size() < kChunkBytes) return;
    sink_(text_);
    text_.clear();
  }

 private:
  // The command and its point appended at once, the commonest text of a drawing.
  void Point(char command, FramePoint p) {
    char* const at = text_.Room(2 * DecimalText::kRoom + 2);
    *at = command;
    text_.Commit(PutCoordinates(at + 1, p));
  }
  void Coordinates(FramePoint p) {
    text_.Commit(PutCoordinates(text_.Room(2 * DecimalText::kRoom + 1), p));
  }
  char* PutCoordinates(char* out, FramePoint p) const {
    out = DecimalText::PutHundredths(out, left_ + p.x * unitsPerFrameUnit_);
    *out++ = ' ';
    return DecimalText::PutHundredths(out, top_ + p.y * unitsPerFrameUnit_);
  }
  void Hex(QRgb colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 20; shift >= 0; shift -= 4)
      run_.push_back(kDigits[(colour >> shift) & 15]);
  }

  TextBuffer& text_;
  BasicDecimalText<TextBuffer> out_;
  const TextSink& sink_;
  double unitsPerFrameUnit_;
  double left_, top_;  // where the frame's corner lies on the page, in user units
  std::string run_;    // the attributes of the run's pen
  bool flatEnds_ = false;
  std::vector<FramePoint> dots_;
  std::size_t strokes_ = 0;
  bool hairline_ = true;
};

}  // namespace

void WriteSvgOfPicture(const MetafilePicture& picture, const FrameOnPage& page,
                       const TextSink& sink) {
  TextBuffer text(kChunkBytes + 4096);
  BasicDecimalText<TextBuffer> out(text);
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
  if (const MetafilePicture::Drawing* drawing = picture.Contents()) {
    // Each run's text is its own: a second thread writes the later half of the runs, held
    // until the first half has been handed on.
    const std::size_t cut =
        std::thread::hardware_concurrency() < 2 ? 0 : BalancedCut(*drawing, kTwoThreadsFrom);
    const FrameBox shown = ShownOnPage(page);
    // In the parts the canvas hands on, never copied as one text grows.
    std::vector<std::string> later;
    TextBuffer laterText(cut != 0 ? kChunkBytes + 4096 : 0);
    const TextSink gather = [&later](std::string_view part) { later.emplace_back(part); };
    RunBoth(
        cut != 0,
        [&] {
          SvgCanvas canvas(text, page, sink);
          WalkDrawing(*drawing, canvas, 0, cut == 0 ? SIZE_MAX : cut, &shown);
        },
        [&] {
          if (cut == 0) return;
          SvgCanvas canvas(laterText, page, gather);
          WalkDrawing(*drawing, canvas, cut, SIZE_MAX, &shown);
          gather(laterText);
        });
    sink(text);
    text.clear();
    for (const std::string& part : later)
      sink(part);
  }
  out.Text("</g>\n</svg>\n");
  sink(text);
}

std::string SvgOfPicture(const MetafilePicture& picture, const FrameOnPage& page) {
  std::string text;
  WriteSvgOfPicture(picture, page, [&text](std::string_view part) { text.append(part); });
  return text;
}

}  // namespace korvid
