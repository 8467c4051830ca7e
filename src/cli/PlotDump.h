#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "hpgl2/StandardReadOutcome.h"
#include "model/PlotModel.h"
#include "reader/ReadOutcome.h"

namespace korvid {

// The text dumps of what a reading read, one item per line. Numbers are written as
// "%.9g", enough to restore every 32-bit float exactly.

// Korvid's own reading: the current plot of the model.
//   status S / segments N / arcs M / extents MINX MINY MAXX MAXY
//   S X1 Y1 X2 Y2 PEN STYLE                         (segments 1..N)
//   A LEFT TOP RIGHT BOTTOM SX SY EX EY PEN STYLE   (arcs 1..M)
void WriteModelDump(std::FILE* out, const PlotModel& model, std::int16_t status);

// The standard reading's plot, page by page:
//   reading hpgl2 / pages P
//   page N / polylines L / polygons G / extents MINX MINY MAXX MAXY (or "extents none")
//   L PEN WIDTH_MM COLOUR LINETYPE PATTERN_LENGTH COUNT X1 Y1 X2 Y2 ...   (each polyline)
//   G FILL SPACING ANGLE COLOUR PEN RULE AFTER RINGS [COUNT X1 Y1 ...]... (each polygon)
// COLOUR is RRGGBB in hex, LINETYPE "solid" or the LT number, FILL solid, hatch or
// crosshatch, RULE evenodd or nonzero, AFTER the number of polylines drawn before it.
void WriteStandardDump(std::FILE* out, const StandardReadOutcome& outcome);

// What a read met, for people, one line each. Korvid's own reading: a failure with its
// error number and command, a capacity cut, a page advance, skipped mnemonics with counts.
std::string DescribeOutcome(const ReadOutcome& outcome);
// The standard reading: the memory budget, the counts, and the instructions ignored or not
// understood, with counts.
std::string DescribeStandardOutcome(const StandardReadOutcome& outcome);

// A few words on a run-time error number, for messages in English.
std::string DescribeErrorNumber(int number);

// A mnemonic as it can be printed: control and non-ASCII bytes as escapes.
std::string PrintableMnemonic(const std::string& mnemonic);

}  // namespace korvid
