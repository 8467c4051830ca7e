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
#include "cli/ModelDump.h"
#include "cli/StandardDump.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/PlotModel.h"
#include "model/ShownName.h"
#include "output/DrawingExport.h"
#include "reader/FindLast.h"
#include "reader/PlotReader.h"

namespace {

using namespace korvid;

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

class StderrMessenger : public ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

struct ReadPlot {
  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  std::int16_t status = 0;
  ReadOutcome outcome;
};

ReadPlot Read(const std::string& file) {
  ReadPlot read;
  const PlotPath path = SplitPlotPath(file);
  read.model->PlotDir = path.dir;
  read.model->PlotFileName = path.name;
  StderrMessenger messenger;
  PlotReader reader(*read.model, messenger);
  read.outcome = reader.ReadPlotFile(read.status);
  read.model->CurPlot = 1;
  return read;
}

bool ReportUnreadable(const std::string& file, const ReadOutcome& outcome) {
  if (!outcome.fileError) return false;
  std::cerr << "korvid-convert: cannot read " << ShownName(file) << ": "
            << outcome.fileError.message() << '\n';
  return true;
}

int DumpStandard(const ConvertOptions& options) {
  const StandardReadOutcome read = ReadStandardPlotFile(options.input);
  if (read.fileError) {
    std::cerr << "korvid-convert: cannot read " << ShownName(options.input) << ": "
              << read.fileError.message() << '\n';
    return kExitFailure;
  }
  WriteStandardDump(stdout, read);
  std::fflush(stdout);
  std::cerr << DescribeStandardOutcome(read);
  return kExitDone;
}

int Dump(const ConvertOptions& options) {
  if (options.standard) return DumpStandard(options);
  const ReadPlot read = Read(options.input);
  if (ReportUnreadable(options.input, read.outcome)) return kExitFailure;
  WriteModelDump(stdout, *read.model, read.status);
  std::fflush(stdout);
  std::cerr << DescribeOutcome(read.outcome);
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
                               options.mono, options.widthPx, options.dpi, 0,
                               options.standard ? JobReading::Standard : JobReading::Own,
                               options.page, options.pens}));
}

// File managers name the output without a telling extension: it is always a PNG image.
int Thumbnail(const ConvertOptions& options) {
  return Report(RunConvertJob(
      {options.input, options.output, ExportFormat::Png, options.rotation, options.mono, 0, 0,
       options.thumbnailPx, options.standard ? JobReading::Standard : JobReading::OwnElseStandard,
       options.page, options.pens}));
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
