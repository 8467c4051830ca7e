#include "cli/ConvertJob.h"

#include <fcntl.h>
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
#include "cli/PlotImage.h"
#include "cli/StandardDump.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/PlotModel.h"
#include "model/RuntimeError.h"
#include "model/ShownName.h"
#include "reader/FindLast.h"
#include "reader/PlotFile.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"
#include "render/MetafilePicture.h"
#include "render/PlotMetafile.h"
#include "render/Rotation.h"
#include "view/PlotCoordinates.h"

namespace korvid {

namespace {

class CollectingMessenger : public ReaderMessenger {
 public:
  explicit CollectingMessenger(std::string& notes) : notes_(notes) {}
  void ShowMessage(const std::string& text) override { notes_ += text + '\n'; }

 private:
  std::string& notes_;
};

// What a reading drew: the metafile's bytes for an EMF file; for every other format the
// picture they play as, except that an image of the own reading is drawn from its model
// as it is painted.
struct Drawing {
  std::vector<std::uint8_t> metafile;
  MetafilePicture picture;
  std::unique_ptr<PlotModel> model;
  QRect frame;  // the picture's, in 0.01 mm
  FramePlacement placement;
};

bool IsImage(ExportFormat format) {
  return format == ExportFormat::Png || format == ExportFormat::Bmp;
}

DisplaySettings SettingsFor(const ConvertJob& job) {
  DisplaySettings settings;
  settings.ColorMode = job.mono ? 0 : 1;
  return settings;
}

// Korvid's own reading; false with the outcome's failure set when there is nothing to draw.
bool DrawOwn(const ConvertJob& job, std::string bytes, Drawing& drawing, ConvertOutcome& outcome) {
  auto model = std::make_unique<PlotModel>();
  CollectingMessenger messenger(outcome.notes);
  PlotReader reader(*model, messenger);
  const PlotPath path = SplitPlotPath(job.input);
  model->PlotDir = path.dir;
  model->PlotFileName = path.name;
  std::int16_t status = 0;
  const ReadOutcome read = reader.ReadPlotBytes(std::move(bytes), status);
  model->CurPlot = 1;
  outcome.notes += DescribeOutcome(read);
  if (status == 1 || (model->SegCount[1] == 0 && model->ArcCount[1] == 0)) {
    outcome.failure = ShownName(job.input) + ": nothing to draw";
    return false;
  }
  const Rotation rotation = RotationForAngle(job.rotation);
  drawing.placement = FramePlacement::OfPlot(*model, job.rotation, rotation.cosA, rotation.sinA);
  if (job.format == ExportFormat::Emf) {
    drawing.metafile =
        DrawPlotInMemory(*model, SettingsFor(job), job.rotation, rotation.cosA, rotation.sinA);
  } else if (IsImage(job.format)) {
    drawing.frame = PlotPictureFrame(*model, job.rotation);
    drawing.model = std::move(model);
  } else {
    drawing.picture =
        DrawPlotPicture(*model, SettingsFor(job), job.rotation, rotation.cosA, rotation.sinA);
    drawing.frame = drawing.picture.Frame();
  }
  return true;
}

std::vector<std::uint8_t> MetafileBytes(const FileLocation& file) {
  const int fd = file.Open(O_RDONLY);
  if (fd < 0) throw RuntimeError(ErrorNumberFromErrno(errno), file.Path());
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[65536];
  ssize_t got = 0;
  while ((got = ::read(fd, block, sizeof block)) > 0 || (got < 0 && errno == EINTR))
    bytes.insert(bytes.end(), block, block + std::max<ssize_t>(got, 0));
  const int reason = errno;
  ::close(fd);
  if (got < 0) throw RuntimeError(ErrorNumberFromErrno(reason), file.Path());
  return bytes;
}

// The standard reading's page `job.page`; false with the outcome's failure set when the
// file has no such page or nothing on it.
bool DrawStandard(const ConvertJob& job, std::string bytes, Drawing& drawing,
                  ConvertOutcome& outcome) {
  const StandardReadOutcome read = ReadStandardPlotBytes(bytes);
  std::string().swap(bytes);  // the file's bytes are not needed beside its drawing
  outcome.notes += DescribeStandardOutcome(read);
  const std::size_t pages = read.plot.pages.size();
  const auto page = static_cast<std::size_t>(std::max(job.page, 1));
  if (page > pages) {
    outcome.failure = ShownName(job.input) + " has " + std::to_string(pages) + " page" +
                      (pages == 1 ? "" : "s") + ", not " + std::to_string(page);
    return false;
  }
  if (read.plot.pages[page - 1].Empty()) {
    outcome.failure = ShownName(job.input) + ": nothing to draw";
    return false;
  }
  // The page drawing writes a metafile file: one of this job's own, gone when it is read.
  const PlotMetafile metafile;
  const Rotation rotation = RotationForAngle(job.rotation);
  const DisplaySettings settings = SettingsFor(job);
  DrawStandardPage({read.plot, page - 1, settings, metafile.File(), nullptr}, job.rotation,
                   rotation.cosA, rotation.sinA);
  drawing.placement =
      FramePlacement::OfPage(read.plot.pages[page - 1], job.rotation, rotation.cosA, rotation.sinA);
  if (job.format == ExportFormat::Emf) {
    drawing.metafile = MetafileBytes(metafile.File());
  } else {
    drawing.picture = MetafilePicture::LoadFile(metafile.File());
    drawing.frame = drawing.picture.Frame();
  }
  return true;
}

// A thumbnail shows a picture wherever one reading draws one: a file manager has no way
// to ask for the other reading, and keeps a failed thumbnail for good.
bool DrawOwnElseStandard(const ConvertJob& job, std::string bytes, Drawing& drawing,
                         ConvertOutcome& outcome) {
  if (DrawOwn(job, bytes, drawing, outcome)) return true;
  ConvertOutcome standard;
  standard.notes = "Korvid's own reading draws nothing: drawn in the standard HP-GL/2 reading\n";
  ConvertJob firstPage = job;
  firstPage.page = 1;
  if (!DrawStandard(firstPage, std::move(bytes), drawing, standard)) return false;
  outcome = standard;
  return true;
}

// Reads the file and draws it in the job's reading; false with the outcome's failure set
// when the file cannot be read or there is nothing to draw.
bool Draw(const ConvertJob& job, Drawing& drawing, ConvertOutcome& outcome) {
  std::string bytes;
  try {
    // Standard input ("-") too is read as a plot file is, within the same limit.
    bytes = LoadPlotFileBytes(job.input);
  } catch (const PlotFileError& failure) {
    outcome.failure = "cannot read " + ShownName(job.input) + ": " + failure.reason().message();
    return false;
  }
  switch (job.reading) {
    case JobReading::Own:
      return DrawOwn(job, std::move(bytes), drawing, outcome);
    case JobReading::Standard:
      return DrawStandard(job, std::move(bytes), drawing, outcome);
    case JobReading::OwnElseStandard:
      return DrawOwnElseStandard(job, std::move(bytes), drawing, outcome);
  }
  return false;
}

// Whether the drawing goes on a page of a real size: a vector file always, an image when
// asked for a resolution, a scale or a paper; a thumbnail never.
bool OnPage(const ConvertJob& job) {
  if (job.thumbnailPx > 0) return false;
  if (!IsImage(job.format)) return true;
  return job.dpi > 0 || job.sheet.scale || job.sheet.paper;
}

// What the page options did, said when any was given.
void DescribePage(const ConvertJob& job, const PageLayout& layout, std::string& notes) {
  if (!job.sheet.scale && !job.sheet.paper) return;
  notes += "drawn at " + DescribeLayout(layout) + '\n';
  if (layout.overflows) {
    notes += "the drawing at " + ScaleText(layout.scale) + " (" + SizeText(layout.drawn) +
             ") is larger than the printable area of " + SheetText(layout) +
             ": its edges are cut off (--fit fits it)\n";
  }
}

EncodeRequest EncodingFor(const ConvertJob& job, const Drawing& drawing, std::string& notes) {
  EncodeRequest request{job.format, job.widthPx, job.dpi};
  if (job.thumbnailPx > 0) {
    request.widthPx =
        ThumbnailWidth(drawing.frame.width(), drawing.frame.height(), job.thumbnailPx);
    request.dpi = 0;
  }
  if (OnPage(job)) {
    request.page =
        PlaceOnPage(DrawingOnFrame(drawing.placement), drawing.placement.scale, job.sheet);
    DescribePage(job, request.page->layout, notes);
  }
  return request;
}

}  // namespace

int ThumbnailWidth(int frameWidth, int frameHeight, int longerPx) {
  const double width = std::max(frameWidth, 1);
  const double height = std::max(frameHeight, 1);
  if (width >= height) return longerPx;
  // The image's height follows from its width, rounded: a file manager takes a thumbnail
  // taller than it asked for as broken, so the width comes down until the height fits.
  const QRect frame(0, 0, frameWidth, frameHeight);
  int widthPx = std::max(1, static_cast<int>(std::lround(longerPx * width / height)));
  while (widthPx > 1 && RasterSizeFor(frame, widthPx, 0).heightPx > longerPx)
    --widthPx;
  return widthPx;
}

ConvertOutcome RunConvertJob(const ConvertJob& job) {
  ConvertOutcome outcome;
  Drawing drawing;
  try {
    if (!Draw(job, drawing, outcome)) return outcome;
  } catch (const RuntimeError& failure) {
    outcome.failure = ShownName(job.input) + ": the drawing failed: " + FailureReason(failure);
    return outcome;
  }
  const std::vector<std::uint8_t>& metafile = drawing.metafile;
  try {
    if (job.format == ExportFormat::Emf) {
      WriteOutput(std::string_view(reinterpret_cast<const char*>(metafile.data()), metafile.size()),
                  job.output);
    } else if (drawing.model) {
      WriteOutput(EncodePlotImage(*drawing.model, SettingsFor(job), job.rotation,
                                  EncodingFor(job, drawing, outcome.notes)),
                  job.output);
    } else {
      WriteOutput(EncodePicture(drawing.picture, EncodingFor(job, drawing, outcome.notes)),
                  job.output);
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
