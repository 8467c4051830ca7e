#pragma once

#include <cstdio>
#include <string>

#include "hpgl2/StandardReadOutcome.h"

namespace korvid {

// Writes the standard reading's plot as text, page by page, one item per line:
//   reading hpgl2 / pages P
//   page N / polylines L / polygons G / extents MINX MINY MAXX MAXY (or "extents none")
//   L PEN WIDTH_MM COLOUR LINETYPE PATTERN_LENGTH COUNT X1 Y1 X2 Y2 ...   (each polyline)
//   G FILL SPACING ANGLE COLOUR PEN RULE AFTER RINGS [COUNT X1 Y1 ...]... (each polygon)
// COLOUR is RRGGBB in hex, LINETYPE "solid" or the LT number, FILL solid, hatch or
// crosshatch, RULE evenodd or nonzero, AFTER the number of polylines drawn before it.
// Numbers are written as "%.9g".
void WriteStandardDump(std::FILE* out, const StandardReadOutcome& outcome);

// One line per notable outcome of a standard read: the memory budget, the counts, and
// the instructions ignored or not understood, with counts.
std::string DescribeStandardOutcome(const StandardReadOutcome& outcome);

}  // namespace korvid
