#pragma once

#include <QString>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "hpgl2/StandardReadOutcome.h"
#include "reader/PlotContent.h"
#include "reader/ReadOutcome.h"

namespace korvid {

// What the status bar says about the readings, in plain Japanese.

// Which reading is in force (the option "HP-GL/2 として読み込む"), and for a read of several
// pages which one shows.
QString ReadingCaption(bool hpgl2, int page, int pageCount);

// Whether the standard reading draws with the instruction (or changes what it draws),
// by its two-letter mnemonic in either case.
bool StandardReadingDraws(std::string_view mnemonic);

// Why the standard reading would draw more than a read in the design's reading did: it
// drew nothing, skipped instructions that the standard reading draws, or stopped early (at
// a page advance, at the model's capacity, at an error). Empty when there is nothing to
// offer (a file that could not be read included).
QString StandardReadingOffer(const ReadOutcome& outcome, bool drewNothing);

// Why a plot file could not be read, in the user's words: what the file is, or the
// system's reason.
QString DescribeFileError(const std::error_code& reason);

// What a read in Korvid's own reading left out, with `segments` read: the cut (a table
// full, a page advance, an error), the file error, and the commands it skipped. Empty when
// it read everything.
QString DescribeLeftOut(const ReadOutcome& outcome, int segments);

// What a standard read left out: the file error, the memory budget, a read that drew
// nothing, and the instructions it did not understand. Empty when it read everything.
QString DescribeStandardLeftOut(const StandardReadOutcome& outcome);

// One instruction a read skipped or ignored, as the details of a reading list it.
struct InstructionNote {
  QString mnemonic;  // as the user can read it
  std::int64_t count = 0;
  std::int64_t firstByte = -1;  // where the first one stands in the file; -1 unknown
  QString treatment;            // what the reading in force did with it
};

// What a read tells the user: the status bar's notice and, for its details window, every
// instruction it skipped or ignored.
struct ReadingReport {
  QString notice;
  std::vector<InstructionNote> instructions;
};

// In the order the instructions first appeared; the standard reading's ignored ones
// (which change nothing on paper) after those it did not understand.
std::vector<InstructionNote> InstructionNotes(const ReadOutcome& outcome);
std::vector<InstructionNote> InstructionNotes(const StandardReadOutcome& outcome);

// Why a file that drew nothing is no plot, when it is none: empty, or a program or an image
// renamed. Empty for anything that may be a plot.
QString NotAPlotNotice(PlotContent content);

// A standard read that drew nothing but moved pen 0 (no pen) down: why the page is empty,
// for the offer to show pen 0 as pen 1. Empty otherwise.
QString PenZeroOffer(const StandardReadOutcome& outcome);

}  // namespace korvid
