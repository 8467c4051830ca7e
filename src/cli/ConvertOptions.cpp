#include "cli/ConvertOptions.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "model/ShownName.h"
#include "output/DrawingExport.h"
#include "pens/PenProfiles.h"

namespace korvid {

const char* const kConvertUsage =
    "usage: korvid-convert FILE -o OUT [-f FORMAT] [OPTIONS]\n"
    "       korvid-convert FILE... -f FORMAT [-O FOLDER] [-j N] [OPTIONS]\n"
    "       korvid-convert -s SIZE FILE OUT [--hpgl2 [--page N]] [--pens PROFILE]\n"
    "       korvid-convert --dump FILE [--hpgl2]\n"
    "\n"
    "  FILE                a plot file, or - for standard input (at most 512 MiB)\n"
    "  -o OUT              draw FILE into OUT; the format comes from OUT's extension:\n"
    "                      .emf (the plot metafile), .svg, .pdf, .png, .bmp, or from -f;\n"
    "                      -o - writes to standard output and needs -f\n"
    "  -f, --format FMT    the format by name (emf, svg, pdf, png or bmp); without -o,\n"
    "                      draw every FILE into FOLDER as FILE's name with the extension\n"
    "                      of FMT; one line a file and a summary on standard error; a\n"
    "                      file that fails stops no other\n"
    "  -O, --outdir FOLDER where the drawings of -f go (default: the current folder);\n"
    "                      - writes the one drawing of a single FILE to standard output\n"
    "  -j, --jobs N        files drawn at once (default: one a processor)\n"
    "  --memory MIB        what reading and drawing may take, shared by all the files of\n"
    "                      -f (default 2048; a thumbnail 256 and 2 s of processor time);\n"
    "                      a file whose drawing needs more fails alone\n"
    "  --rotate DEG        turn the drawing right (90), upside down (180) or left (270)\n"
    "  --mono              black lines instead of coloured pens with dash patterns\n"
    "  --scale S           draw at S: 1:N (1:2.5 is 2.5 times smaller), N:1 or a factor\n"
    "                      (0.5); without it .svg and .pdf have the drawing's true size,\n"
    "                      40 plotter units to the millimetre\n"
    "  --paper P           on a sheet of A4, A3, A2, A1, A0, letter, legal or WxHmm\n"
    "                      (such as 420x297mm), the drawing centred, the sheet turned\n"
    "                      the way that holds the drawing larger\n"
    "  --landscape, --portrait  turn the sheet of --paper this way\n"
    "  --fit               scale the drawing to the sheet of --paper less a 10 mm edge\n"
    "  --width PX          width of a .png or .bmp image in pixels\n"
    "  --dpi N             resolution of a .png or .bmp image: the drawing at its true\n"
    "                      size (or --scale, or on --paper), N pixels to the inch,\n"
    "                      written into the file\n"
    "  -s, --thumbnail SIZE  draw FILE into OUT as a PNG image whose longer side is SIZE\n"
    "                      pixels (for file managers' thumbnails); when Korvid's own\n"
    "                      reading draws nothing, page 1 of the --hpgl2 reading\n"
    "  --dump FILE         read FILE as Korvid does and print the plot model as text\n"
    "  --hpgl2             read every FILE as standard HP-GL/2 (pages, fills, labels,\n"
    "                      widths), for every kind of work\n"
    "  --page N            with --hpgl2: the page to draw of every FILE (default 1); a\n"
    "                      file without it fails alone\n"
    "  --pens PROFILE      draw with the colours, widths and hidden pens of a pen profile\n"
    "                      (one pen a line: pen 3 colour #000000 width 0.7 shown)\n"
    "  --hide-pens LIST    leave out the pens of LIST, numbers separated by commas (3,5)\n"
    "  --version           print the version\n"
    "  -h, --help          print this help\n"
    "\n"
    "Exit status: 0 when every file was drawn, 1 when one failed, 2 for a wrong command.\n";

const char* const kConvertVersion = "korvid-convert " KORVID_VERSION "\n";

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

// What `read` makes of the value of `option`; a message saying what it `takes` when nothing.
template <typename Read>
auto NamedValue(const std::string& option, const std::string& text, Read read, const char* takes) {
  auto value = read(text);
  if (!value) throw UsageError(option + " takes " + takes + ", not \"" + text + "\"");
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

// The table of --pens FILE: a profile with a bad line is no profile.
PenTable ProfileOf(const std::string& option, const std::string& path) {
  if (path == "-") throw UsageError(option + " needs a file, not standard input");
  const PenProfileLoad load = LoadPenProfileFile(path, FileKinds::FilesAndStreams);
  if (!load.Ok())
    throw UsageError(option + " " + ShownName(path) + ": " + DescribePenProfileLoad(load));
  return load.table;
}

// --hide-pens 3,5,12: each a pen number as a profile writes it.
std::vector<int> PenList(const std::string& option, const std::string& text) {
  std::vector<int> pens;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const char* first = text.data() + at;
    const char* last = text.data() + comma;
    int pen = 0;
    const auto result = std::from_chars(first, last, pen);
    if (first == last || result.ec != std::errc() || result.ptr != last || pen < kLowestPenNumber ||
        pen > kHighestPenNumber) {
      throw UsageError(option + " takes pen numbers from " + std::to_string(kLowestPenNumber) +
                       " to " + std::to_string(kHighestPenNumber) + " separated by commas, not \"" +
                       text + "\"");
    }
    pens.push_back(pen);
    if (comma == text.size()) return pens;
    at = comma + 1;
  }
}

// The first page option given, for messages that ask to drop them.
struct PageOptions {
  std::string first;
  bool turned = false;  // --landscape or --portrait

  void Saw(const std::string& option) {
    if (first.empty()) first = option;
  }
};

void CheckPageOptions(const ConvertOptions& options, const PageOptions& given) {
  const PageRequest& sheet = options.sheet;
  if (!sheet.paper) {
    if (sheet.fit) throw UsageError("--fit needs --paper: it fits the drawing to a sheet");
    if (given.turned)
      throw UsageError("--landscape and --portrait need --paper: they turn its sheet");
  }
  if (sheet.fit && sheet.scale) throw UsageError("--fit and --scale exclude each other");
}

ConvertOptions Thumbnail(ConvertOptions& options, bool batch, const PageOptions& given) {
  if (batch || !options.output.empty() || options.widthPx || options.dpi || !given.first.empty())
    throw UsageError("--thumbnail takes only an input and an output file");
  if (options.inputs.size() != 2) throw UsageError("--thumbnail needs an input and an output file");
  options.output = options.inputs[1];
  options.inputs.pop_back();
  options.mode = ConvertOptions::Mode::Thumbnail;
  return options;
}

// -o names the one output; the format comes from -f when given, else from its extension.
ConvertOptions Single(ConvertOptions& options, bool folderGiven) {
  if (options.inputs.size() > 1) throw UsageError("more than one input file");
  if (folderGiven) throw UsageError("-o names the output; drop --outdir");
  options.mode = ConvertOptions::Mode::Convert;
  return options;
}

ConvertOptions Batch(ConvertOptions& options) {
  if (options.format.empty()) {
    throw UsageError(options.inputs.size() > 1 ? "several input files need --format"
                                               : "--outdir needs --format");
  }
  if (options.outputFolder == "-" && options.inputs.size() > 1)
    throw UsageError("--outdir - writes a single drawing; give one input file");
  options.mode = ConvertOptions::Mode::Batch;
  return options;
}

}  // namespace

ConvertOptions ParseConvertOptions(const std::vector<std::string>& arguments) {
  ConvertOptions options;
  bool folderGiven = false;
  std::optional<PenTable> profile;
  std::vector<int> hidden;
  PageOptions given;
  ArgumentList list(arguments);
  if (list.Done()) throw UsageError("nothing to do");
  while (!list.Done()) {
    const std::string& argument = list.Take();
    if (argument == "--help" || argument == "-h") {
      options.mode = ConvertOptions::Mode::Help;
      return options;
    }
    if (argument == "--version") {
      options.mode = ConvertOptions::Mode::Version;
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
    } else if (argument == "--pens") {
      if (profile) throw UsageError("--pens takes one profile");
      profile = ProfileOf(argument, list.ValueOf(argument));
    } else if (argument == "--hide-pens") {
      const std::vector<int> pens = PenList(argument, list.ValueOf(argument));
      hidden.insert(hidden.end(), pens.begin(), pens.end());
    } else if (argument == "--mono") {
      options.mono = true;
    } else if (argument == "--width") {
      options.widthPx = PositiveNumber(argument, list.ValueOf(argument), 65535);
    } else if (argument == "--dpi") {
      options.dpi = PositiveNumber(argument, list.ValueOf(argument), 9600);
    } else if (argument == "--scale") {
      options.sheet.scale = NamedValue(argument, list.ValueOf(argument), ScaleNamed,
                                       "1:N, N:1 or a factor such as 0.5, from 1:100000 to 1000:1");
      given.Saw(argument);
    } else if (argument == "--paper") {
      options.sheet.paper = NamedValue(argument, list.ValueOf(argument), PaperNamed,
                                       "A4, A3, A2, A1, A0, letter, legal or WxHmm (such as "
                                       "420x297mm, sides of 1 to 100000 mm)");
      given.Saw(argument);
    } else if (argument == "--landscape" || argument == "--portrait") {
      const PaperTurn turn = argument == "--landscape" ? PaperTurn::Landscape : PaperTurn::Portrait;
      if (given.turned && options.sheet.turn != turn)
        throw UsageError("--landscape and --portrait exclude each other");
      options.sheet.turn = turn;
      given.turned = true;
      given.Saw(argument);
    } else if (argument == "--fit") {
      options.sheet.fit = true;
      given.Saw(argument);
    } else if (argument == "-f" || argument == "--format") {
      options.format = list.ValueOf(argument);
      if (!ExportFormatOf("plot." + options.format)) {
        throw UsageError(argument + " takes emf, svg, pdf, png or bmp, not \"" + options.format +
                         "\"");
      }
    } else if (argument == "-O" || argument == "--outdir") {
      options.outputFolder = list.ValueOf(argument);
      if (options.outputFolder.empty()) throw UsageError(argument + " needs a folder");
      folderGiven = true;
    } else if (argument == "--memory") {
      options.memoryMiB = PositiveNumber(argument, list.ValueOf(argument), 1 << 20);
    } else if (argument == "-j" || argument == "--jobs") {
      options.jobs = PositiveNumber(argument, list.ValueOf(argument), 256);
    } else if (argument == "-s" || argument == "--thumbnail") {
      options.thumbnailPx = PositiveNumber(argument, list.ValueOf(argument), 4096);
    } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
      throw UsageError("unknown option " + argument);
    } else {
      if (options.mode != ConvertOptions::Mode::Dump) options.inputs.push_back(argument);
      if (options.input.empty())
        options.input = argument;
      else if (options.mode == ConvertOptions::Mode::Dump)
        throw UsageError("--dump takes exactly one file");
    }
  }
  if (options.page != 1 && !options.standard) {
    throw UsageError("--page needs --hpgl2: Korvid's own reading has a single plot");
  }
  if (profile || !hidden.empty()) {
    if (options.mode == ConvertOptions::Mode::Dump)
      throw UsageError("--dump prints the plot as the file has it; drop --pens and --hide-pens");
    PenTable table = profile.value_or(PenTable());
    for (int pen : hidden)
      table.Hide(pen);
    options.pens = std::make_shared<const PenTable>(std::move(table));
  }
  if (options.mode == ConvertOptions::Mode::Dump) {
    if (!options.output.empty()) throw UsageError("--dump writes to the terminal; drop -o");
    if (options.page != 1) throw UsageError("--dump prints every page; drop --page");
    if (!given.first.empty()) throw UsageError("--dump draws nothing; drop " + given.first);
    return options;
  }
  if (options.widthPx && options.dpi) throw UsageError("--width and --dpi exclude each other");
  if (options.thumbnailPx) return Thumbnail(options, folderGiven || !options.format.empty(), given);
  CheckPageOptions(options, given);
  // The plot metafile is the window's own picture, frame and all.
  const std::string named = options.format.empty() ? options.output : "plot." + options.format;
  if (!given.first.empty() && ExportFormatOf(named) == ExportFormat::Emf)
    throw UsageError("the plot metafile (.emf) keeps its own frame; drop " + given.first);
  if (options.inputs.empty()) throw UsageError("no input file");
  if (!options.output.empty()) return Single(options, folderGiven);
  if (folderGiven || !options.format.empty() || options.inputs.size() > 1) return Batch(options);
  if (options.output.empty()) throw UsageError("no output file (-o OUT)");
  options.mode = ConvertOptions::Mode::Convert;
  return options;
}

}  // namespace korvid
