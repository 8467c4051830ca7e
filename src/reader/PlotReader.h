#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/MnemonicTally.h"
#include "model/PlotModel.h"
#include "reader/PlotFile.h"
#include "reader/ReadOutcome.h"
#include "reader/ReaderMessenger.h"
#include "reader/ReaderState.h"

namespace korvid {

// Reads an HPGL plotter file into the plot model: splits the text into commands at ";"
// (or, in a file without ";", at line feeds) and interprets IN, DF, PG, SP, PA, PR, PU,
// PD, CI, AA, AR, LT and the combined forms PRSP, PRPU, PRPD, PRPG, PDPD, PDPU. Other
// commands are skipped. A failure ends the read quietly, keeping what was read before it.
class PlotReader {
 public:
  PlotReader(PlotModel& model, ReaderMessenger& messenger);

  // Reads the file model.PlotDir + model.PlotFileName. `status` becomes 1 when the file
  // holds no terminator (the caller then must not draw) and is left unchanged otherwise.
  // `kinds` says whether streams (FIFOs, standard input) are read or refused.
  ReadOutcome ReadPlotFile(std::int16_t& status, FileKinds kinds = FileKinds::FilesAndStreams);

  // The same read on bytes already in memory.
  ReadOutcome ReadPlotBytes(std::string bytes, std::int16_t& status);

  const ReaderState& State() const { return state_; }

 private:
  ReadOutcome Read(std::int16_t& status, const std::function<std::string()>& load);
  void StartRead();
  void RunCommands(std::string& text, char terminator, ReadOutcome& outcome);
  void Interpret(std::string_view commandText, ReadOutcome& outcome);
  [[noreturn]] void AdvancePage();
  void EndRead(ReadOutcome& outcome);
  void ResetOpenSegment();
  void SetAsideDrawing();
  void RestoreDrawingSetAside();
  // Where the command's character at `inCommand` (its pairs removed) stands in the file.
  std::int64_t FileOffset(std::size_t inCommand) const;

  PlotModel& model_;
  ReaderMessenger& messenger_;
  ReaderState state_;
  MnemonicTally skipped_;
  std::size_t commandStart_ = 0;  // the command's first character, in the file
  std::vector<std::uint32_t> removedPairs_;
};

}  // namespace korvid
