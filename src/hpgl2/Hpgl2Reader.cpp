#include "hpgl2/Hpgl2Reader.h"

#include "reader/PlotFile.h"

namespace korvid {

StandardReadOutcome ReadStandardPlotFile(const std::string& path,
                                         const StandardReadLimits& limits) {
  std::string bytes;
  try {
    bytes = LoadPlotFileBytes(path);
  } catch (const PlotFileError& failure) {
    StandardReadOutcome outcome;
    outcome.plot.pages.emplace_back();
    outcome.fileError = failure.reason();
    outcome.fileErrorNumber = failure.number();
    return outcome;
  }
  return ReadStandardPlotBytes(bytes, limits);
}

StandardReadOutcome ReadStandardPlotBytes(std::string_view, const StandardReadLimits&) {
  StandardReadOutcome outcome;
  outcome.plot.pages.emplace_back();
  return outcome;
}

}  // namespace korvid
