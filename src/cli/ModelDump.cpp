#include "cli/ModelDump.h"

#include <charconv>
#include <string>

namespace korvid {

namespace {

// Buffers the dump and writes it in large blocks; to_chars with precision 9 in general
// format spells exactly what printf's "%.9g" does, much faster.
class DumpBuffer {
 public:
  explicit DumpBuffer(std::FILE* out) : out_(out) {}
  ~DumpBuffer() { Flush(); }

  void Text(std::string_view text) {
    Reserve(text.size());
    text_.append(text);
  }
  void Number(double value) {
    char digits[40];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 9);
    Separator();
    text_.append(digits, result.ptr);
  }
  void Integer(long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    Separator();
    text_.append(digits, result.ptr);
  }
  void EndLine() { text_.push_back('\n'); }

 private:
  void Separator() { text_.push_back(' '); }
  void Reserve(std::size_t more) {
    if (text_.size() + more > kBlock) Flush();
  }
  void Flush() {
    std::fwrite(text_.data(), 1, text_.size(), out_);
    text_.clear();
  }

  static constexpr std::size_t kBlock = 1 << 16;
  std::FILE* out_;
  std::string text_;
};

}  // namespace

void WriteModelDump(std::FILE* out, const PlotModel& model, std::int16_t status) {
  const std::int16_t plot = model.CurPlot;
  PlotModel::CheckPlot(plot);
  DumpBuffer dump(out);
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
  for (const SkippedMnemonic& skipped : outcome.skipped) {
    text += "skipped \"" + PrintableMnemonic(skipped.mnemonic) + "\" x" +
            std::to_string(skipped.count) + "\n";
  }
  return text;
}

}  // namespace korvid
