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
#include "model/ShownName.h"
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

// The model of the file; false with the outcome's failure set when there is nothing to draw.
bool Read(const ConvertJob& job, PlotModel& model, ConvertOutcome& outcome) {
  CollectingMessenger messenger(outcome.notes);
  PlotReader reader(model, messenger);
  std::int16_t status = 0;
  // Standard input ("-") too is read as a plot file is: streamed, within the same limit.
  const PlotPath path = SplitPlotPath(job.input);
  model.PlotDir = path.dir;
  model.PlotFileName = path.name;
  const ReadOutcome read = reader.ReadPlotFile(status);
  model.CurPlot = 1;
  if (read.fileError) {
    outcome.failure = "cannot read " + ShownName(job.input) + ": " + read.fileError.message();
    return false;
  }
  outcome.notes += DescribeOutcome(read);
  if (status == 1 || (model.SegCount[1] == 0 && model.ArcCount[1] == 0)) {
    outcome.failure = ShownName(job.input) + ": nothing to draw";
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
      outcome.failure = ShownName(job.input) + ": the drawing failed: " + FailureReason(failure);
      return outcome;
    }
  }
  try {
    if (job.format == ExportFormat::Emf) {
      WriteOutput(std::string_view(reinterpret_cast<const char*>(metafile.data()), metafile.size()),
                  job.output);
    } else {
      WriteOutput(EncodePicture(picture, EncodingFor(job, picture)), job.output);
    }
  } catch (const RuntimeError& failure) {
    outcome.failure = "cannot write " + ShownName(job.output) + ": " + FailureReason(failure);
    return outcome;
  } catch (const std::bad_alloc&) {
    outcome.failure = "cannot write " + ShownName(job.output) + ": " +
                      FailureReason(RuntimeError(err::kOutOfMemory));
    return outcome;
  }
  outcome.done = true;
  return outcome;
}

std::string FailureReason(const RuntimeError& failure) {
  return "run-time error " + std::to_string(failure.number()) + " (" +
         DescribeErrorNumber(failure.number()) + ")";
}

}  // namespace korvid
