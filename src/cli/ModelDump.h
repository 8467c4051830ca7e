#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "model/PlotModel.h"
#include "reader/ReadOutcome.h"

namespace korvid {

// Writes the current plot of the model as text, one item per line:
//   status S / segments N / arcs M / extents MINX MINY MAXX MAXY
//   S X1 Y1 X2 Y2 PEN STYLE                         (segments 1..N)
//   A LEFT TOP RIGHT BOTTOM SX SY EX EY PEN STYLE   (arcs 1..M)
// Floats are written as "%.9g", enough to restore every 32-bit float exactly.
void WriteModelDump(std::FILE* out, const PlotModel& model, std::int16_t status);

// One line per notable outcome of a read, for people: a failure with its error number and
// command, a capacity cut, a page advance, skipped mnemonics with counts.
std::string DescribeOutcome(const ReadOutcome& outcome);

// A few words on a run-time error number, for messages in English.
std::string DescribeErrorNumber(int number);

// A mnemonic as it can be printed: control and non-ASCII bytes as escapes.
std::string PrintableMnemonic(const std::string& mnemonic);

}  // namespace korvid
