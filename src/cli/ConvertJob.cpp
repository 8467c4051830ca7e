#include "cli/ConvertJob.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>

#include "cli/ModelDump.h"
#include "model/PlotModel.h"
#include "model/RuntimeError.h"
#include "reader/FindLast.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/MetafilePicture.h"
#include "render/Rotation.h"

namespace korvid {

namespace {

class CollectingMessenger : public ReaderMessenger {
 public:
  explicit CollectingMessenger(std::string& notes) : notes_(notes) {}
  void ShowMessage(const std::string& text) override { notes_ += text + '\n'; }

 private:
  std::string& notes_;
};

std::string Reason(const RuntimeError& failure) {
  return "run-time error " + std::to_string(failure.number()) + " (" +
         DescribeErrorNumber(failure.number()) + ")";
}

// Standard input whole; empty with `error` set when it cannot be read.
std::string ReadStandardInput(std::error_code& error) {
  std::string bytes;
  char block[1 << 16];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::error_code(errno, std::generic_category());
      return {};
    }
    if (n == 0) return bytes;
    bytes.append(block, static_cast<std::size_t>(n));
  }
}

void WriteStandardOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw RuntimeError(ErrorNumberFromErrno(n < 0 ? errno : EIO), "standard output");
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void Deliver(std::string_view bytes, const std::string& output) {
  if (output == "-")
    WriteStandardOutput(bytes);
  else
    WriteReplacing(bytes, output);
}

// The model of the file; false with the outcome's failure set when there is nothing to draw.
bool Read(const ConvertJob& job, PlotModel& model, ConvertOutcome& outcome) {
  CollectingMessenger messenger(outcome.notes);
  PlotReader reader(model, messenger);
  std::int16_t status = 0;
  ReadOutcome read;
  if (job.input == "-") {
    std::error_code error;
    std::string bytes = ReadStandardInput(error);
    if (error) {
      outcome.failure = "cannot read standard input: " + error.message();
      return false;
    }
    read = reader.ReadPlotBytes(std::move(bytes), status);
  } else {
    const PlotPath path = SplitPlotPath(job.input);
    model.PlotDir = path.dir;
    model.PlotFileName = path.name;
    read = reader.ReadPlotFile(status);
  }
  model.CurPlot = 1;
  if (read.fileError) {
    outcome.failure = "cannot read " + job.input + ": " + read.fileError.message();
    return false;
  }
  outcome.notes += DescribeOutcome(read);
  if (status == 1 || (model.SegCount[1] == 0 && model.ArcCount[1] == 0)) {
    outcome.failure = job.input + ": nothing to draw";
    return false;
  }
  return true;
}

EncodeRequest EncodingFor(const ConvertJob& job, const MetafilePicture& picture) {
  EncodeRequest request{job.format, job.widthPx, job.dpi};
  if (job.thumbnailPx > 0) {
    request.widthPx =
        ThumbnailWidth(picture.Frame().width(), picture.Frame().height(), job.thumbnailPx);
    request.dpi = 0;
  }
  return request;
}

}  // namespace

int ThumbnailWidth(int frameWidth, int frameHeight, int longerPx) {
  const double width = std::max(frameWidth, 1);
  const double height = std::max(frameHeight, 1);
  if (width >= height) return longerPx;
  return std::max(1, static_cast<int>(std::lround(longerPx * width / height)));
}

ConvertOutcome RunConvertJob(const ConvertJob& job) {
  ConvertOutcome outcome;
  // The metafile's bytes for an EMF file; for every other format the picture they would
  // play as, built without them.
  std::vector<std::uint8_t> metafile;
  MetafilePicture picture;
  {
    const auto model = std::make_unique<PlotModel>();
    if (!Read(job, *model, outcome)) return outcome;
    DisplaySettings settings;
    settings.ColorMode = job.mono ? 0 : 1;
    try {
      const Rotation rotation = RotationForAngle(job.rotation);
      if (job.format == ExportFormat::Emf)
        metafile = DrawPlotInMemory(*model, settings, job.rotation, rotation.cosA, rotation.sinA);
      else
        picture = DrawPlotPicture(*model, settings, job.rotation, rotation.cosA, rotation.sinA);
    } catch (const RuntimeError& failure) {
      outcome.failure = job.input + ": the drawing failed: " + Reason(failure);
      return outcome;
    }
  }
  try {
    if (job.format == ExportFormat::Emf) {
      Deliver(std::string_view(reinterpret_cast<const char*>(metafile.data()), metafile.size()),
              job.output);
    } else {
      Deliver(EncodePicture(picture, EncodingFor(job, picture)), job.output);
    }
  } catch (const RuntimeError& failure) {
    outcome.failure = "cannot write " + job.output + ": " + Reason(failure);
    return outcome;
  } catch (const std::bad_alloc&) {
    outcome.failure = "cannot write " + job.output + ": " + Reason(RuntimeError(err::kOutOfMemory));
    return outcome;
  }
  outcome.done = true;
  return outcome;
}

}  // namespace korvid
