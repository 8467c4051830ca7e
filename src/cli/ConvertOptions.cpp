#include "cli/ConvertOptions.h"

#include <charconv>

namespace korvid {

const char* const kConvertUsage =
    "usage: korvid-convert --dump FILE [--hpgl2]\n"
    "       korvid-convert FILE -o OUT [--format F] [--rotate 0|90|180|270] [--mono]\n"
    "                      [--width PX | --dpi N] [--hpgl2 [--page N]]\n"
    "\n"
    "  FILE            a plot file, or - for standard input (at most 512 MiB)\n"
    "  --dump FILE     read FILE as Korvid does and print the plot model as text\n"
    "  --hpgl2         read FILE as standard HP-GL/2 (every page, fills, labels, widths)\n"
    "  --page N        with --hpgl2: the page to draw (default 1)\n"
    "  -o OUT          draw FILE into OUT; the format comes from OUT's extension:\n"
    "                  .emf (the plot metafile), .svg, .pdf, .png, .bmp\n"
    "  --format F      the format by name (emf, svg, pdf, png, bmp); needed for -o -,\n"
    "                  which writes to standard output\n"
    "  --rotate DEG    turn the drawing right (90), upside down (180) or left (270)\n"
    "  --mono          black lines instead of coloured pens with dash patterns\n"
    "  --width PX      width of a .png or .bmp image in pixels\n"
    "  --dpi N         resolution of a .png or .bmp image (default 96)\n";

namespace {

int PositiveNumber(const std::string& option, const std::string& text, int highest) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value <= 0 ||
      value > highest) {
    throw UsageError(option + " needs a whole number from 1 to " + std::to_string(highest) +
                     ", not \"" + text + "\"");
  }
  return value;
}

class ArgumentList {
 public:
  explicit ArgumentList(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  bool Done() const { return next_ >= arguments_.size(); }
  const std::string& Take() { return arguments_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (Done()) throw UsageError(option + " needs a value");
    return Take();
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
};

}  // namespace

ConvertOptions ParseConvertOptions(const std::vector<std::string>& arguments) {
  ConvertOptions options;
  ArgumentList list(arguments);
  if (list.Done()) throw UsageError("nothing to do");
  while (!list.Done()) {
    const std::string& argument = list.Take();
    if (argument == "--help" || argument == "-h") {
      options.mode = ConvertOptions::Mode::Help;
      return options;
    }
    if (argument == "--dump") {
      if (options.mode == ConvertOptions::Mode::Dump || !options.input.empty()) {
        throw UsageError("--dump takes exactly one file");
      }
      options.mode = ConvertOptions::Mode::Dump;
      options.input = list.ValueOf(argument);
    } else if (argument == "-o") {
      options.output = list.ValueOf(argument);
    } else if (argument == "--format") {
      options.format = list.ValueOf(argument);
    } else if (argument == "--rotate") {
      const std::string& degrees = list.ValueOf(argument);
      if (degrees != "0" && degrees != "90" && degrees != "180" && degrees != "270") {
        throw UsageError("--rotate takes 0, 90, 180 or 270, not \"" + degrees + "\"");
      }
      options.rotation = static_cast<std::int16_t>(std::stoi(degrees));
    } else if (argument == "--hpgl2") {
      options.standard = true;
    } else if (argument == "--page") {
      options.page = PositiveNumber(argument, list.ValueOf(argument), 1000000);
    } else if (argument == "--mono") {
      options.mono = true;
    } else if (argument == "--width") {
      options.widthPx = PositiveNumber(argument, list.ValueOf(argument), 65535);
    } else if (argument == "--dpi") {
      options.dpi = PositiveNumber(argument, list.ValueOf(argument), 9600);
    } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
      throw UsageError("unknown option " + argument);
    } else if (options.input.empty()) {
      options.input = argument;
    } else {
      throw UsageError("more than one input file");
    }
  }
  if (options.mode == ConvertOptions::Mode::Dump) {
    if (!options.output.empty()) throw UsageError("--dump writes to the terminal; drop -o");
    return options;
  }
  if (options.input.empty()) throw UsageError("no input file");
  if (options.output.empty()) throw UsageError("no output file (-o OUT)");
  if (options.widthPx && options.dpi) throw UsageError("--width and --dpi exclude each other");
  options.mode = ConvertOptions::Mode::Convert;
  return options;
}

}  // namespace korvid
