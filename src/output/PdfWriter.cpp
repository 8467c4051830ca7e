#include "output/PdfWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string_view>
#include <thread>
#include <vector>

#include "model/BothAtOnce.h"
#include "model/RuntimeError.h"
#include "output/DecimalText.h"
#include "output/VectorWalk.h"
#include "render/DevicePen.h"

namespace korvid {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;
// Readers take pages of up to 200 inches a side in points; a larger page (a fabric
// marker, a building's plan at 1:1) counts in units of several points each (PDF 1.6).
constexpr double kLargestPageSide = 14400;

// Draws in frame units: the page's transformation does the scaling and the turn of the
// y axis, so that the coordinates stay the whole numbers they mostly are.
class PdfCanvas {
 public:
  PdfCanvas(std::string& text, double frameUnitsPerMm)
      : out_(text), frameUnitsPerMm_(frameUnitsPerMm) {}

  void BeginRun(const PicturePen& pen) {
    if (pen == pen_ && !first_) return;
    const DevicePen device = DevicePen::From(pen, 1, frameUnitsPerMm_);
    if (pen.colour != pen_.colour || first_) {
      out_.Hundredths(qRed(pen.colour) / 255.0).Char(' ');
      out_.Hundredths(qGreen(pen.colour) / 255.0).Char(' ');
      out_.Hundredths(qBlue(pen.colour) / 255.0).Text(" RG\n");
    }
    if (pen.width != pen_.width || pen.ends != pen_.ends || pen.joins != pen_.joins ||
        pen.miterLimit != pen_.miterLimit || first_) {
      // The pen's own ends and corners for wide pens, as the screen draws them.
      out_.Hundredths(device.width);
      if (device.Hairline()) {
        out_.Text(" w 0 J 0 j\n");
      } else {
        static constexpr const char* kCaps[] = {" w 1 J", " w 2 J", " w 0 J"};
        static constexpr const char* kJoins[] = {" 1 j\n", " 2 j\n", " 0 j "};
        out_.Text(kCaps[static_cast<int>(device.ends)])
            .Text(kJoins[static_cast<int>(device.joins)]);
        if (device.joins == PenJoins::kMiter) out_.Hundredths(device.miterLimit).Text(" M\n");
      }
    }
    if (pen.style != pen_.style || first_) {
      out_.Char('[');
      for (std::size_t i = 0; i < device.dashCount; ++i)
        out_.Hundredths(device.dashes[i]).Char(' ');
      out_.Text("] 0 d\n");
    }
    pen_ = pen;
    first_ = false;
  }

  void MoveTo(FramePoint p) { Point(p, " m\n"); }
  void LineTo(FramePoint p) { Point(p, " l\n"); }

  void ArcTo(const FrameArc& arc) {
    // Quarter turns at most: the Bézier curve then strays from the ellipse by less than
    // three ten-thousandths of its radius.
    SplitArc(arc, std::numbers::pi / 2, [&](double from, double sweep) {
      const double to = from + sweep;
      const double k = 4.0 / 3.0 * std::tan(sweep / 4);
      const FramePoint p0 = PointOnArc(arc, from);
      const FramePoint p3 = PointOnArc(arc, to);
      Point({p0.x - k * arc.rx * std::sin(from), p0.y + k * arc.ry * std::cos(from)}, " ");
      Point({p3.x + k * arc.rx * std::sin(to), p3.y - k * arc.ry * std::cos(to)}, " ");
      Point(p3, " c\n");
    });
    strokes_ = true;
  }

  void Dot(FramePoint p) { dots_.push_back(p); }

  void Fill(const FrameFill& fill) {
    out_.Hundredths(qRed(fill.colour) / 255.0).Char(' ');
    out_.Hundredths(qGreen(fill.colour) / 255.0).Char(' ');
    out_.Hundredths(qBlue(fill.colour) / 255.0).Text(" rg\n");
    std::size_t at = 0;
    for (std::uint32_t size : fill.ringSizes) {
      for (std::uint32_t i = 0; i < size && at < fill.points.size(); ++i, ++at)
        Point({fill.points[at].x(), fill.points[at].y()}, i == 0 ? " m\n" : " l\n");
      out_.Text("h\n");
    }
    out_.Text(fill.winding ? "f\n" : "f*\n");
    strokes_ = false;
  }

  void EndRun() {
    if (strokes_) out_.Text("S\n");
    strokes_ = false;
    if (dots_.empty()) return;
    // A path of no length is painted only with round caps: a dot of the line's width.
    // Butt ends would paint nothing: a dot of a flat-ended pen is a square.
    const bool flat = pen_.width != 0 && pen_.ends == PenEnds::kFlat;
    if (pen_.width == 0) out_.Text("1 J\n");
    if (flat) out_.Text("2 J\n");
    for (const FramePoint& dot : dots_) {
      Point(dot, " m ");
      Point(dot, " l\n");
    }
    out_.Text("S\n");
    if (pen_.width == 0 || flat) out_.Text("0 J\n");
    dots_.clear();
  }

 private:
  // The point and what follows it ("l", "m", a blank) appended at once.
  void Point(FramePoint p, std::string_view then) {
    strokes_ = true;
    // Tenths of a frame unit, a micrometre: far finer than any device draws.
    char text[2 * DecimalText::kRoom + 8];
    char* end = DecimalText::PutTenths(text, p.x);
    *end++ = ' ';
    end = DecimalText::PutTenths(end, p.y);
    end = std::copy(then.begin(), then.end(), end);
    out_.Text(std::string_view(text, static_cast<std::size_t>(end - text)));
  }

  DecimalText out_;
  double frameUnitsPerMm_;
  PicturePen pen_;
  bool first_ = true;
  bool strokes_ = false;
  std::vector<FramePoint> dots_;
};

struct CompressorDeleter {
  void operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
  }
};

// The bytes of a compressed stream, in room left uninitialised: of the bound the
// compressor asks for, it fills a quarter.
struct Packed {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;

  std::string_view View() const { return {bytes.get(), size}; }
};

// A zlib stream of the text. libdeflate's fastest level packs a drawing's numbers tighter
// than zlib's in half its time.
Packed Deflated(std::string_view text) {
  const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
      libdeflate_alloc_compressor(1));
  if (!compressor) throw RuntimeError(err::kOutOfMemory);
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), text.size());
  Packed packed{std::make_unique_for_overwrite<char[]>(bound)};
  packed.size = libdeflate_zlib_compress(compressor.get(), text.data(), text.size(),
                                         packed.bytes.get(), bound);
  if (packed.size == 0) throw RuntimeError(err::kOutOfMemory);
  return packed;
}

// Where to part the contents into two streams of about equal length: after the line
// break nearest past the middle.
std::size_t MiddleLineEnd(std::string_view text) {
  const std::size_t end = text.find('\n', text.size() / 2);
  return end == std::string_view::npos ? text.size() : end + 1;
}

class PdfFile {
 public:
  explicit PdfFile(std::string_view version) {
    bytes_ = "%PDF-";
    bytes_ += version;
    bytes_ += "\n%\xe2\xe3\xcf\xd3\n";
  }

  void Object(const std::string& body) {
    offsets_.push_back(bytes_.size());
    DecimalText(bytes_).Integer(static_cast<long long>(offsets_.size())).Text(" 0 obj\n");
    bytes_ += body;
    bytes_ += "\nendobj\n";
  }

  void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

  void Stream(std::string_view packed) {
    offsets_.push_back(bytes_.size());
    DecimalText(bytes_)
        .Integer(static_cast<long long>(offsets_.size()))
        .Text(" 0 obj\n<< /Length ")
        .Integer(static_cast<long long>(packed.size()))
        .Text(" /Filter /FlateDecode >>\nstream\n");
    bytes_ += packed;
    bytes_ += "\nendstream\nendobj\n";
  }

  std::string Finish(int root, int info) {
    const std::size_t table = bytes_.size();
    DecimalText out(bytes_);
    out.Text("xref\n0 ").Integer(static_cast<long long>(offsets_.size() + 1));
    out.Text("\n0000000000 65535 f \n");
    for (std::size_t offset : offsets_) {
      char entry[24];
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
      out.Text(entry);
    }
    out.Text("trailer\n<< /Size ").Integer(static_cast<long long>(offsets_.size() + 1));
    out.Text(" /Root ").Integer(root).Text(" 0 R /Info ").Integer(info).Text(" 0 R >>\n");
    out.Text("startxref\n").Integer(static_cast<long long>(table)).Text("\n%%EOF\n");
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
  std::vector<std::size_t> offsets_;
};

}  // namespace

std::string PdfOfPicture(const MetafilePicture& picture, const FrameOnPage& page) {
  const double longest = std::max(page.layout.page.width, page.layout.page.height) * kPointsPerMm;
  const double unit = std::max(1.0, std::ceil(longest / kLargestPageSide));
  const double perMm = kPointsPerMm / unit;  // the page's units
  const double width = page.layout.page.width * perMm;
  const double height = page.layout.page.height * perMm;
  const double pointsPerFrameUnit = page.mmPerFrameUnit * perMm;

  // Frame units to points, y upward, the frame where the page has it.
  std::string begin;
  DecimalText(begin)
      .Text("q ")
      .Precise(pointsPerFrameUnit)
      .Text(" 0 0 -")
      .Precise(pointsPerFrameUnit)
      .Char(' ')
      .Precise(page.originX * perMm)
      .Char(' ')
      .Precise(height - page.originY * perMm)
      .Text(" cm\n");
  const FrameBox shown = ShownOnPage(page);
  std::vector<Packed> streams;
  const MetafilePicture::Drawing* drawing = picture.Contents();
  if (drawing == nullptr) {
    streams.push_back(Deflated(begin + "Q\n"));
  } else {
    // A page's contents may be several streams, read as one: two threads write one half
    // of the drawing each, and then pack one half of the text each. The text of a run
    // varies with its kind and its pen, the time to pack it only with its length: the
    // halves of the text are cut again, where they are even.
    const std::size_t cut =
        std::thread::hardware_concurrency() < 2 ? 0 : BalancedCut(*drawing, kTwoThreadsFrom);
    // Room enough for all of the text as a rule: pages never touched cost nothing, and
    // the text is never copied as it grows.
    const std::size_t room = 64 + 32 * drawing->lines.size() + 200 * drawing->arcs.size();
    const auto write = [&](std::size_t from, std::size_t to, std::string& text) {
      text.reserve(room);
      PdfCanvas canvas(text, 1 / page.mmPerFrameUnit);
      WalkDrawing(*drawing, canvas, from, to, &shown);
    };
    std::string text = begin;
    std::string later;
    RunBoth(
        cut != 0, [&] { write(0, cut == 0 ? SIZE_MAX : cut, text); },
        [&] {
          if (cut != 0) write(cut, SIZE_MAX, later);
        });
    text += later;
    text += "Q\n";
    later = {};
    const std::string_view whole = text;
    const std::size_t middle = cut == 0 ? whole.size() : MiddleLineEnd(whole);
    streams.resize(middle == whole.size() ? 1 : 2);
    RunBoth(
        streams.size() == 2, [&] { streams[0] = Deflated(whole.substr(0, middle)); },
        [&] {
          if (streams.size() == 2) streams[1] = Deflated(whole.substr(middle));
        });
  }

  PdfFile pdf(unit > 1 ? "1.6" : "1.4");
  std::size_t packedBytes = 0;
  for (const Packed& stream : streams)
    packedBytes += stream.size;
  pdf.Reserve(packedBytes + 1024);
  pdf.Object("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  std::string pageObject = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
  DecimalText(pageObject).Hundredths(width).Char(' ').Hundredths(height);
  pageObject += "] ";
  if (unit > 1) DecimalText(pageObject).Text("/UserUnit ").Integer(static_cast<long long>(unit));
  pageObject += " /Contents [";
  for (std::size_t i = 0; i < streams.size(); ++i)
    DecimalText(pageObject).Integer(static_cast<long long>(5 + i)).Text(" 0 R ");
  pageObject += "] /Resources << >> >>";
  pdf.Object(pageObject);
  const int info = 4;
  pdf.Object("<< /Title (HPGL Data Drawing) /Creator (Korvid) /Producer (Korvid) >>");
  for (const Packed& stream : streams)
    pdf.Stream(stream.View());
  return pdf.Finish(1, info);
}

}  // namespace korvid
