#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "hpgl2/CurveFlattening.h"
#include "hpgl2/StandardReadOutcome.h"
#include "model/StandardPlot.h"
#include "reader/PlotFile.h"

namespace korvid {

// The standard HP-GL/2 reading: reads a plot file the way an HP-GL/2 plotter (or, where
// they differ, an HP-GL pen plotter) draws it, into a StandardPlot of pages. It never
// throws for anything in the file: bad input is skipped, unknown instructions are
// tallied, and a plot larger than the memory budget stops the read with
// memoryBudgetReached set.
//
//   StandardReadOutcome read = ReadStandardPlotFile("/path/drawing.plt");
//   if (read.fileError) ...;                   // could not open or read the file
//   for (const StandardPage& page : read.plot.pages) ...;  // page 1, 2, ...
struct StandardReadLimits {
  std::size_t memoryBudgetBytes = ModelBudget::kDefaultBytes;
  FileKinds kinds = FileKinds::FilesAndStreams;  // the window reads regular files only
  // Pen 0 is no pen in HP-GL/2: what it would draw is only counted (counts.withoutPen).
  // Set, it draws as any pen does, for a pen table that shows it.
  bool penZeroDraws = false;
  // What the read is drawn for: curves get no more chords than it shows.
  CurveResolution curves;
};

// Reads the whole file at `path`. A file that cannot be read yields one empty page and
// fileError / fileErrorNumber set.
StandardReadOutcome ReadStandardPlotFile(const std::string& path,
                                         const StandardReadLimits& limits = {});

// Whether the standard reading draws with the instruction or lets it change what it
// draws, by its two-letter mnemonic in either case: false for what it reads as changing
// nothing on paper (CO, PS, VS, ...) and for what it does not know.
bool InstructionChangesDrawing(std::string_view mnemonic);

// The same on bytes already in memory.
StandardReadOutcome ReadStandardPlotBytes(std::string_view bytes,
                                          const StandardReadLimits& limits = {});

}  // namespace korvid
