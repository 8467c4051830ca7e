#include "cli/StandardDump.h"

#include <charconv>
#include <string_view>

namespace korvid {

namespace {

class TextOut {
 public:
  explicit TextOut(std::FILE* out) : out_(out) {}
  ~TextOut() { Flush(); }

  void Text(std::string_view text) {
    if (!line_) text_.push_back(' ');
    text_.append(text);
    line_ = false;
  }
  void Number(double value) {
    char digits[40];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 9);
    Text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
  }
  void Integer(long long value) { Text(std::to_string(value)); }
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
    line_ = true;
    if (text_.size() > (1 << 16)) Flush();
  }

 private:
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }
  std::FILE* out_;
  std::string text_;
  bool line_ = true;
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

}  // namespace

void WriteStandardDump(std::FILE* out, const StandardReadOutcome& outcome) {
  TextOut dump(out);
  dump.Text("reading hpgl2");
  dump.EndLine();
  dump.Text("pages");
  dump.Integer(static_cast<long long>(outcome.plot.pages.size()));
  dump.EndLine();
  long long number = 0;
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
      dump.Integer(static_cast<long long>(line.points.size()));
      for (const PlotPoint& p : line.points) {
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
  for (const UnreadInstruction& entry : outcome.ignored)
    text += "ignored \"" + entry.mnemonic + "\" x" + std::to_string(entry.count) + "\n";
  for (const UnreadInstruction& entry : outcome.unread)
    text += "skipped \"" + entry.mnemonic + "\" x" + std::to_string(entry.count) + "\n";
  return text;
}

}  // namespace korvid
