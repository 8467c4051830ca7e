// korvid-convert: reads a plotter file exactly as the viewer does, and prints what it read
// or draws it into an image or vector file.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/ConvertJob.h"
#include "cli/ConvertOptions.h"
#include "cli/PlotRead.h"
#include "model/ShownName.h"
#include "output/DrawingExport.h"
#include "reader/PlotFile.h"

namespace {

using namespace korvid;

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class StderrMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

Reading ReadingOf(const ConvertOptions& options) {
  return options.standard ? Reading::Standard : Reading::Own;
}

int Dump(const ConvertOptions& options) {
  std::string bytes;
  try {
    bytes = LoadPlotFileBytes(options.input);
  } catch (const PlotFileError& failure) {
    std::cerr << "korvid-convert: cannot read " << ShownName(options.input) << ": "
              << failure.reason().message() << '\n';
    return kExitFailure;
  }
  StderrMessenger messenger;
  const PlotRead read = ReadPlot(std::move(bytes), options.input, ReadingOf(options), messenger);
  read.dump(stdout);
  std::fflush(stdout);
  std::cerr << read.notes;
  return kExitDone;
}

// From --format when given (needed for standard output), else from the extension.
std::optional<ExportFormat> OutputFormat(const ConvertOptions& options) {
  return ExportFormatOf(options.format.empty() ? options.output : "drawing." + options.format);
}

int Report(const ConvertOutcome& outcome) {
  std::cerr << outcome.notes;
  if (outcome.done) return kExitDone;
  std::cerr << "korvid-convert: " << outcome.failure << '\n';
  return kExitFailure;
}

int Convert(const ConvertOptions& options) {
  const std::optional<ExportFormat> format = OutputFormat(options);
  if (!format) {
    std::cerr << "korvid-convert: unknown output format of " << ShownName(options.output)
              << " (use .emf, .svg, .pdf, .png or .bmp, or --format)\n";
    return kExitUsage;
  }
  return Report(RunConvertJob({options.input, options.output, *format, options.rotation,
                               options.mono, options.widthPx, options.dpi, 0, ReadingOf(options),
                               options.page, false, options.sheet, options.pens}));
}

// File managers name the output without a telling extension: it is always a PNG image.
int Thumbnail(const ConvertOptions& options) {
  // Without --hpgl2, the standard reading's first page where the own reading draws nothing.
  return Report(RunConvertJob({options.input, options.output, ExportFormat::Png, options.rotation,
                               options.mono, 0, 0, options.thumbnailPx, ReadingOf(options),
                               options.page, !options.standard, PageRequest{}, options.pens}));
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  // A conversion allocates and frees buffers of megabytes one after another; kept in the
  // heap instead of handed back to the system each time, their pages are not faulted in
  // afresh for the next.
  ::mallopt(M_MMAP_THRESHOLD, 256 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 512 << 20);
  ConvertOptions options;
  try {
    options = ParseConvertOptions(Arguments(argc, argv));
  } catch (const UsageError& error) {
    std::cerr << "korvid-convert: " << ShownName(error.what()) << "\n\n" << kConvertUsage;
    return kExitUsage;
  }
  try {
    switch (options.mode) {
      case ConvertOptions::Mode::Help:
        std::cout << kConvertUsage;
        return kExitDone;
      case ConvertOptions::Mode::Dump:
        return Dump(options);
      case ConvertOptions::Mode::Version:
        std::cout << kConvertVersion;
        return kExitDone;
      case ConvertOptions::Mode::Convert:
        return Convert(options);
      case ConvertOptions::Mode::Thumbnail:
        return Thumbnail(options);
      case ConvertOptions::Mode::Batch:
        return RunBatch(options, stderr, ::isatty(STDERR_FILENO) == 1);
    }
  } catch (const std::exception& failure) {
    std::cerr << "korvid-convert: " << ShownName(failure.what()) << '\n';
  }
  return kExitFailure;
}
