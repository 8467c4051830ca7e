#include "hpgl2/Hpgl2Reader.h"

#include "hpgl2/Hpgl2Interpreter.h"
#include "reader/PlotFile.h"

namespace korvid {

StandardReadOutcome ReadStandardPlotFile(const std::string& path,
                                         const StandardReadLimits& limits) {
  std::string bytes;
  try {
    bytes = LoadPlotFileBytes(path, kLargestPlotFileBytes, limits.kinds);
  } catch (const PlotFileError& failure) {
    StandardReadOutcome outcome;
    outcome.plot.pages.emplace_back();
    outcome.fileError = failure.reason();
    outcome.fileErrorNumber = failure.number();
    return outcome;
  }
  return ReadStandardPlotBytes(bytes, limits);
}

bool InstructionChangesDrawing(std::string_view mnemonic) {
  if (mnemonic.size() != 2) return false;
  return Hpgl2Interpreter::ChangesDrawing(mnemonic[0], mnemonic[1]);
}

StandardReadOutcome ReadStandardPlotBytes(std::string_view bytes,
                                          const StandardReadLimits& limits) {
  StandardReadOutcome outcome;
  const CurveResolutionScope curves(limits.curves);
  ModelBudget budget(limits.memoryBudgetBytes);
  Hpgl2Interpreter interpreter(outcome, budget, limits.penZeroDraws);
  interpreter.Run(bytes);
  // Pens change seldom from one polyline to the next: one look-up a run of them.
  StandardReadCounts* penCounts = nullptr;
  int countedPen = 0;
  for (const StandardPage& page : outcome.plot.pages) {
    outcome.counts.polylines += static_cast<std::int64_t>(page.polylines.size());
    for (const StandardPolyline& line : page.polylines) {
      if (!penCounts || line.style.pen != countedPen) {
        countedPen = line.style.pen;
        penCounts = &outcome.countsByPen[countedPen];
      }
      ++penCounts->polylines;
    }
  }
  return outcome;
}

}  // namespace korvid
