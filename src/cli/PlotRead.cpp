#include "cli/PlotRead.h"

#include "cli/PlotDump.h"
#include "hpgl2/Hpgl2Reader.h"
#include "reader/FindLast.h"
#include "reader/PlotReader.h"
#include "render/DrawPlot.h"
#include "render/DrawStandardPage.h"

namespace korvid {

PlotRead ReadPlot(std::string bytes, const std::string& input, Reading reading,
                  ReaderMessenger& messenger, bool penZeroDraws, const CurveResolution& curves) {
  PlotRead read;
  if (reading == Reading::Standard) {
    auto outcome = std::make_shared<const StandardReadOutcome>(
        ReadStandardPlotBytes(bytes, {.penZeroDraws = penZeroDraws, .curves = curves}));
    std::string().swap(bytes);  // the file's bytes are not needed beside its drawing
    read.notes = DescribeStandardOutcome(*outcome);
    // Some vintage clip art is drawn with pen 0 alone: say why the page is empty.
    if (!outcome->Drew() && outcome->counts.withoutPen > 0) {
      read.notes +=
          "everything is drawn with pen 0, which is no pen in HP-GL/2; a pen profile "
          "line such as \"pen 0 colour #000000 width 0.35\" (--pens) draws it\n";
    }
    read.dump = [outcome](std::FILE* out) { WriteStandardDump(out, *outcome); };
    read.source = SourceOfPages(std::shared_ptr<const StandardPlot>(outcome, &outcome->plot));
    return read;
  }
  auto model = std::make_shared<PlotModel>();
  PlotReader reader(*model, messenger);
  const PlotPath path = SplitPlotPath(input);
  model->PlotDir = path.dir;
  model->PlotFileName = path.name;
  std::int16_t status = 0;
  const ReadOutcome outcome = reader.ReadPlotBytes(std::move(bytes), status);
  model->CurPlot = 1;
  read.notes = DescribeOutcome(outcome);
  read.dump = [model, status](std::FILE* out) { WriteModelDump(out, *model, status); };
  // A file without a terminator was not read at all: the model holds nothing of it.
  if (status != 1) read.source = SourceOfModel(std::shared_ptr<const PlotModel>(model));
  return read;
}

std::string ReadingName(Reading reading) {
  return reading == Reading::Own ? "Korvid's own reading" : "the standard HP-GL/2 reading";
}

}  // namespace korvid
