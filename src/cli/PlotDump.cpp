#include "cli/PlotDump.h"

#include <charconv>
#include <string>
#include <string_view>

namespace korvid {

namespace {

// Buffers a dump and writes it in large blocks: words of a line apart by one space.
// to_chars with precision 9 in general format spells exactly what printf's "%.9g" does,
// much faster.
class DumpText {
 public:
  explicit DumpText(std::FILE* out) : out_(out) {}
  ~DumpText() { Flush(); }

  void Text(std::string_view text) {
    if (!lineStart_) text_.push_back(' ');
    text_.append(text);
    lineStart_ = false;
  }
  void Number(double value) {
    char digits[40];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 9);
    Text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
  }
  void Integer(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    Text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
  }
  void Colour(ColourRef colour) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char text[6];
    const unsigned channels[3] = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
    for (int i = 0; i < 3; ++i) {
      text[2 * i] = kHex[channels[i] >> 4];
      text[2 * i + 1] = kHex[channels[i] & 15];
    }
    Text(std::string_view(text, 6));
  }
  void EndLine() {
    text_.push_back('\n');
    lineStart_ = true;
    if (text_.size() > kBlock) Flush();
  }

 private:
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }

  static constexpr std::size_t kBlock = 1 << 16;
  std::FILE* out_;
  std::string text_;
  bool lineStart_ = true;
};

const char* FillName(FillKind kind) {
  switch (kind) {
    case FillKind::Hatch:
      return "hatch";
    case FillKind::CrossHatch:
      return "crosshatch";
    default:
      return "solid";
  }
}

// One line for each mnemonic of a tally: WORD "MNEMONIC" xCOUNT.
std::string TallyLines(const char* word, const std::vector<MnemonicCount>& entries) {
  std::string text;
  for (const MnemonicCount& entry : entries) {
    text += std::string(word) + " \"" + PrintableMnemonic(entry.mnemonic) + "\" x" +
            std::to_string(entry.count) + "\n";
  }
  return text;
}

}  // namespace

void WriteModelDump(std::FILE* out, const PlotModel& model, std::int16_t status) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  DumpText dump(out);
  dump.Text("status");
  dump.Integer(status);
  dump.EndLine();
  dump.Text("segments");
  dump.Integer(model.SegCount[plot]);
  dump.EndLine();
  dump.Text("arcs");
  dump.Integer(model.ArcCount[plot]);
  dump.EndLine();
  dump.Text("extents");
  for (float value : {model.MinX[plot], model.MinY[plot], model.MaxX[plot], model.MaxY[plot]}) {
    dump.Number(value);
  }
  dump.EndLine();
  for (std::int32_t i = 1; i <= model.SegCount[plot]; ++i) {
    const Segment& s = model.Segments(i, plot);
    dump.Text("S");
    for (float value : {s.X1, s.Y1, s.X2, s.Y2})
      dump.Number(value);
    dump.Integer(s.Pen);
    dump.Integer(s.LineStyle);
    dump.EndLine();
  }
  for (std::int32_t i = 1; i <= model.ArcCount[plot]; ++i) {
    const ArcRec& a = model.Arcs(i, plot);
    dump.Text("A");
    for (float value : {a.Left, a.Top, a.Right, a.Bottom, a.StartX, a.StartY, a.EndX, a.EndY}) {
      dump.Number(value);
    }
    dump.Integer(a.Pen);
    dump.Integer(a.LineStyle);
    dump.EndLine();
  }
}

void WriteStandardDump(std::FILE* out, const StandardReadOutcome& outcome) {
  DumpText dump(out);
  dump.Text("reading hpgl2");
  dump.EndLine();
  dump.Text("pages");
  dump.Integer(static_cast<long long>(outcome.plot.pages.size()));
  dump.EndLine();
  long long number = 0;
  std::vector<PlotPoint> scratch;
  for (const StandardPage& page : outcome.plot.pages) {
    dump.Text("page");
    dump.Integer(++number);
    dump.EndLine();
    dump.Text("polylines");
    dump.Integer(static_cast<long long>(page.polylines.size()));
    dump.EndLine();
    dump.Text("polygons");
    dump.Integer(static_cast<long long>(page.polygons.size()));
    dump.EndLine();
    dump.Text("extents");
    if (page.extents.empty) {
      dump.Text("none");
    } else {
      for (double v : {page.extents.minX, page.extents.minY, page.extents.maxX, page.extents.maxY})
        dump.Number(v);
    }
    dump.EndLine();
    for (const StandardPolyline& line : page.polylines) {
      dump.Text("L");
      dump.Integer(line.style.pen);
      dump.Number(line.style.widthMm);
      dump.Colour(line.style.colour);
      if (line.style.Solid()) {
        dump.Text("solid");
      } else {
        dump.Integer(line.style.lineType);
      }
      dump.Number(line.style.patternLength);
      const std::vector<PlotPoint>& points = line.Points(scratch);
      dump.Integer(static_cast<long long>(points.size()));
      for (const PlotPoint& p : points) {
        dump.Number(p.x);
        dump.Number(p.y);
      }
      dump.EndLine();
    }
    for (const StandardPolygon& polygon : page.polygons) {
      dump.Text("G");
      dump.Text(FillName(polygon.fill));
      dump.Number(polygon.hatchSpacing);
      dump.Number(polygon.hatchAngleDeg);
      dump.Colour(polygon.colour);
      dump.Integer(polygon.pen);
      dump.Text(polygon.nonZeroWinding ? "nonzero" : "evenodd");
      dump.Integer(static_cast<long long>(polygon.polylinesBefore));
      dump.Integer(static_cast<long long>(polygon.rings.size()));
      for (const PlotRing& ring : polygon.rings) {
        dump.Integer(static_cast<long long>(ring.size()));
        for (const PlotPoint& p : ring) {
          dump.Number(p.x);
          dump.Number(p.y);
        }
      }
      dump.EndLine();
    }
  }
}

std::string DescribeStandardOutcome(const StandardReadOutcome& outcome) {
  std::string text;
  if (outcome.memoryBudgetReached) {
    text += "memory budget reached at byte " + std::to_string(outcome.stoppedAtByte) +
            "; the rest of the file was not read\n";
  }
  const StandardReadCounts& c = outcome.counts;
  text += "read " + std::to_string(c.instructions) +
          " instructions: " + std::to_string(c.polylines) + " polylines, " +
          std::to_string(c.arcs) + " arcs and curves, " + std::to_string(c.polygons) +
          " polygons, " + std::to_string(c.labels) + " labels, " +
          std::to_string(outcome.plot.pages.size()) + " pages\n";
  if (c.undrawableCharacters > 0) {
    text += std::to_string(c.undrawableCharacters) +
            " label characters could not be drawn (drawn as \"?\")\n";
  }
  if (c.rasterImages > 0) text += "raster images drawn: " + std::to_string(c.rasterImages) + "\n";
  if (c.rasterImagesSkipped > 0) {
    static constexpr const char* kWhy[] = {"", "colour", "compression method", "too detailed"};
    text += "raster images not drawn: " + std::to_string(c.rasterImagesSkipped) + " (" +
            kWhy[static_cast<int>(outcome.rasterSkip)] + ")\n";
  }
  return text + TallyLines("ignored", outcome.ignored) + TallyLines("skipped", outcome.unread);
}

std::string DescribeErrorNumber(int number) {
  switch (number) {
    case 6:
      return "overflow";
    case 7:
      return "out of memory";
    case 9:
      return "index out of range";
    case 11:
      return "division by zero";
    case 13:
      return "type mismatch";
    case 52:
      return "bad file name";
    case 53:
      return "file not found";
    case 57:
      return "device I/O error";
    case 61:
      return "disk full";
    case 62:
      return "input past end of file";
    case 70:
      return "permission denied";
    case 75:
      return "path/file access error";
    case 480:
      return "picture too large";
    case 481:
      return "invalid picture";
    default:
      return "error";
  }
}

std::string PrintableMnemonic(const std::string& mnemonic) {
  std::string printable;
  for (unsigned char c : mnemonic) {
    if (c == '\n') {
      printable += "\\n";
    } else if (c == '\t') {
      printable += "\\t";
    } else if (c == '\\') {
      printable += "\\\\";
    } else if (c < 0x20 || c >= 0x7f) {
      static constexpr char kHex[] = "0123456789abcdef";
      printable += "\\x";
      printable.push_back(kHex[c >> 4]);
      printable.push_back(kHex[c & 15]);
    } else {
      printable.push_back(static_cast<char>(c));
    }
  }
  return printable;
}

std::string DescribeOutcome(const ReadOutcome& outcome) {
  std::string text;
  const std::string at = " at command " + std::to_string(outcome.commandIndex);
  if (outcome.segmentCapacityReached) {
    text += "segment table full (" + std::to_string(PlotModel::MaxSegments) + " segments)" + at +
            "; the rest of the file was not read\n";
  } else if (outcome.arcCapacityReached) {
    text += "arc table full (" + std::to_string(PlotModel::MaxArcs) + " circles and arcs)" + at +
            "; the rest of the file was not read\n";
  } else if (outcome.end == ReadEnd::PageAdvance) {
    text += "page advance (PG)" + at + "; later pages were not read\n";
  } else if (outcome.end == ReadEnd::Failure && !outcome.fileError) {
    text += "read stopped by run-time error " + std::to_string(outcome.errorNumber) + at +
            "; the rest of the file was not read\n";
  }
  return text + TallyLines("skipped", outcome.skipped);
}

}  // namespace korvid
