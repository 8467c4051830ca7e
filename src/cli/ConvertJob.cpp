#include "cli/ConvertJob.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <optional>
#include <string_view>

#include "cli/PlotDump.h"
#include "cli/PlotRead.h"
#include "model/PlotUnits.h"
#include "model/RuntimeError.h"
#include "model/ShownName.h"
#include "reader/PlotFile.h"
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

// What a reading drew: the metafile's bytes for an EMF file; for every other format the
// picture they play as, except that the source itself is kept for an image it draws in
// parts as they are painted.
struct Drawing {
  std::vector<std::uint8_t> metafile;
  MetafilePicture picture;
  std::unique_ptr<PlotSource> source;
  QRect frame;  // the picture's, in 0.01 mm
  FramePlacement placement;
};

bool IsImage(ExportFormat format) {
  return format == ExportFormat::Png || format == ExportFormat::Bmp;
}

DrawSetup SetupFor(const ConvertJob& job) {
  DrawSetup setup{RotationForAngle(job.rotation), {}, job.pens};
  setup.settings.ColorMode = job.mono ? 0 : 1;
  return setup;
}

// The file read in `reading`, on the page asked for; nothing, with the outcome's failure
// set, when the file has no such page or nothing on it.
std::unique_ptr<PlotSource> ReadPage(const ConvertJob& job, Reading reading, int page,
                                     std::string bytes, ConvertOutcome& outcome) {
  CollectingMessenger messenger(outcome.notes);
  PlotRead read = ReadPlot(std::move(bytes), job.input, reading, messenger,
                           job.pens && PenZeroDraws(*job.pens), CurveResolutionFor(job));
  outcome.notes += read.notes;
  std::unique_ptr<PlotSource> source = std::move(read.source);
  page = std::max(page, 1);
  if (source && page > source->PageCount()) {
    const int pages = source->PageCount();
    outcome.failure = ShownName(job.input) + " has " + std::to_string(pages) + " page" +
                      (pages == 1 ? "" : "s") + ", not " + std::to_string(page);
    return nullptr;
  }
  if (source) source->SelectPage(page);
  if (!source || !source->HasDrawing()) {
    outcome.failure = ShownName(job.input) + ": nothing to draw";
    return nullptr;
  }
  return source;
}

// The file read in the job's reading, or in the other one where the job allows it.
std::unique_ptr<PlotSource> Read(const ConvertJob& job, std::string bytes,
                                 ConvertOutcome& outcome) {
  if (!job.otherReadingIfNothing)
    return ReadPage(job, job.reading, job.page, std::move(bytes), outcome);
  const DrawingBudget::Hold keptForTheOther(bytes.size());
  if (auto source = ReadPage(job, job.reading, job.page, bytes, outcome)) return source;
  const Reading other = job.reading == Reading::Own ? Reading::Standard : Reading::Own;
  std::string name = ReadingName(job.reading);
  name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  ConvertOutcome second;
  second.notes = name + " draws nothing: drawn in " + ReadingName(other) + "\n";
  auto source = ReadPage(job, other, 1, std::move(bytes), second);
  if (source) outcome = second;
  return source;
}

// Reads the file and draws it in the job's reading; false with the outcome's failure set
// when the file cannot be read or there is nothing to draw.
bool Draw(const ConvertJob& job, Drawing& drawing, ConvertOutcome& outcome) {
  std::string bytes;
  try {
    // Standard input ("-") too is read as a plot file is, within the same limit, and
    // within what the drawing budget leaves.
    bytes = LoadPlotFileBytes(job.input, std::min(kLargestPlotFileBytes, DrawingBudget::Room()));
    DrawingBudget::Charge(bytes.size());
  } catch (const PlotFileError& failure) {
    outcome.failure = "cannot read " + ShownName(job.input) + ": " + failure.reason().message();
    return false;
  }
  std::unique_ptr<PlotSource> source = Read(job, std::move(bytes), outcome);
  if (!source) return false;
  const DrawSetup setup = SetupFor(job);
  drawing.placement = source->Placement(setup.rotation);
  if (job.format == ExportFormat::Emf) {
    drawing.metafile = DrawPlotInMemory(*source, setup);
  } else if (IsImage(job.format) && source->DrawsInParts()) {
    drawing.frame = source->Frame(setup.rotation.angle);
    drawing.source = std::move(source);
  } else {
    drawing.picture = DrawPlotPicture(*source, setup);
    drawing.frame = drawing.picture.Frame();
  }
  return true;
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

CurveResolution CurveResolutionFor(const ConvertJob& job) {
  if (job.thumbnailPx > 0) return {static_cast<double>(job.thumbnailPx)};
  if (!IsImage(job.format)) return kPictureCurves;
  if (job.widthPx > 0) {
    // The height follows the drawing's proportions, unknown before it is read: no more
    // than the largest image allows.
    const double width = job.widthPx;
    return {std::max(width, std::min(65535.0, std::floor(kLargestImagePixels / width)))};
  }
  // The picture's longer side is always kLongestPictureSide, 0.01 mm a unit.
  constexpr double kDefaultDpi = 96, kHimetricPerInch = 2540;
  const double dpi = job.dpi > 0 ? job.dpi : kDefaultDpi;
  return {std::ceil(kLongestPictureSide * dpi / kHimetricPerInch)};
}

namespace {

// The drawing takes more than its budget allows: said as such, with what it may take.
ConvertOutcome BudgetFailure(const ConvertJob& job, const DrawingBudgetSpent& spent,
                             ConvertOutcome outcome) {
  outcome.failure = ShownName(job.input) + ": " + spent.Reason() + " (run-time error " +
                    std::to_string(spent.number()) + ")";
  outcome.budgetShared = !spent.Alone();
  return outcome;
}

ConvertOutcome RunWithinBudget(const ConvertJob& job) {
  ConvertOutcome outcome;
  Drawing drawing;
  try {
    if (!Draw(job, drawing, outcome)) return outcome;
  } catch (const DrawingBudgetSpent& spent) {
    return BudgetFailure(job, spent, outcome);
  } catch (const RuntimeError& failure) {
    outcome.failure = ShownName(job.input) + ": the drawing failed: " + FailureReason(failure);
    return outcome;
  }
  const std::vector<std::uint8_t>& metafile = drawing.metafile;
  try {
    if (job.format == ExportFormat::Emf) {
      WriteOutput(std::string_view(reinterpret_cast<const char*>(metafile.data()), metafile.size()),
                  job.output);
    } else if (drawing.source) {
      WriteOutput(EncodeSourceImage(*drawing.source, SetupFor(job),
                                    EncodingFor(job, drawing, outcome.notes)),
                  job.output);
    } else {
      WritePicture(drawing.picture, EncodingFor(job, drawing, outcome.notes), job.output);
    }
  } catch (const DrawingBudgetSpent& spent) {
    return BudgetFailure(job, spent, outcome);
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

}  // namespace

ConvertOutcome RunConvertJob(const ConvertJob& job) {
  std::optional<DrawingBudget::Account> account;
  if (job.budget != nullptr) account.emplace(*job.budget);
  return RunWithinBudget(job);
}

std::string FailureReason(const RuntimeError& failure) {
  return "run-time error " + std::to_string(failure.number()) + " (" +
         DescribeErrorNumber(failure.number()) + ")";
}

}  // namespace korvid
