// korvid-convert: reads a plotter file exactly as the viewer does, and prints what it read
// or draws it into an image or vector file.
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/ConvertJob.h"
#include "cli/ConvertOptions.h"
#include "cli/FileIdentity.h"
#include "cli/PlotRead.h"
#include "model/DrawingBudget.h"
#include "model/ExitCleanup.h"
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

// An output that is the input would destroy the plot before or while it is read.
bool RefuseOutputAsInput(const std::string& input, const std::string& output) {
  if (!OutputIsInput(input, output)) return false;
  std::cerr << "korvid-convert: "
            << (output == kStandardOutputName ? std::string("standard output") : ShownName(output))
            << " is the input " << ShownName(input) << ": nothing written\n";
  return true;
}

// Only a file is replaced: a device, a FIFO or a folder, or a link to one, is never
// written into (the replacement refuses it too; said here before anything is drawn).
bool RefuseOutputNotAFile(const std::string& output) {
  struct stat target {};
  if (output == kStandardOutputName || ::stat(output.c_str(), &target) != 0 ||
      S_ISREG(target.st_mode))
    return false;
  std::cerr << "korvid-convert: " << ShownName(output)
            << " is not a file (a device, a pipe or a folder, or a link to one): nothing written;"
               " -o - writes to standard output\n";
  return true;
}

int Dump(const ConvertOptions& options) {
  if (RefuseOutputAsInput(options.input, kStandardOutputName)) return kExitFailure;
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

std::size_t BudgetBytes(const ConvertOptions& options, std::size_t otherwise) {
  return options.memoryMiB > 0 ? static_cast<std::size_t>(options.memoryMiB) << 20 : otherwise;
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
  if (RefuseOutputAsInput(options.input, options.output) || RefuseOutputNotAFile(options.output))
    return kExitFailure;
  DrawingBudget budget(BudgetBytes(options, DrawingBudget::kConverterBytes));
  ConvertJob job{options.input,   options.output, *format,     options.rotation,   options.mono,
                 options.widthPx, options.dpi,    0,           ReadingOf(options), options.page,
                 false,           options.sheet,  options.pens};
  job.budget = &budget;
  return Report(RunConvertJob(job));
}

// File managers name the output without a telling extension: it is always a PNG image.
int Thumbnail(const ConvertOptions& options) {
  if (RefuseOutputAsInput(options.input, options.output) || RefuseOutputNotAFile(options.output))
    return kExitFailure;
  // File managers run thumbnailers on whatever a user downloads: a small budget, and
  // beyond it no thumbnail, so that the file manager shows its own icon. A part of the
  // work that does not look at the clock is ended by the system a little later.
  DrawingBudget budget(BudgetBytes(options, DrawingBudget::kThumbnailBytes),
                       DrawingBudget::kThumbnailSeconds);
  const auto backstop = static_cast<rlim_t>(DrawingBudget::kThumbnailSeconds) + 2;
  const rlimit processorTime{backstop, backstop + 1};
  ::setrlimit(RLIMIT_CPU, &processorTime);
  // Without --hpgl2, the standard reading's first page where the own reading draws nothing.
  ConvertJob job{options.input,
                 options.output,
                 ExportFormat::Png,
                 options.rotation,
                 options.mono,
                 0,
                 0,
                 options.thumbnailPx,
                 ReadingOf(options),
                 options.page,
                 !options.standard,
                 PageRequest{},
                 options.pens};
  job.budget = &budget;
  return Report(RunConvertJob(job));
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

int Run(const ConvertOptions& options) {
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

// Whatever was written to standard output must have got there: a full disk may show only
// when the buffer is flushed or the descriptor closed.
int FinishStandardOutput(int status) {
  const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  const int reason = errno;
  if (written && ::close(STDOUT_FILENO) == 0) return status;
  std::cerr << "korvid-convert: cannot write standard output: "
            << std::strerror(written ? errno : (reason ? reason : EIO)) << '\n';
  return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  // Temporary files go with the program however a signal ends it, also while it still
  // waits for its input.
  ExitCleanup::InstallHandlers();
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
  return FinishStandardOutput(Run(options));
}
