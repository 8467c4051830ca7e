#pragma once

#include <cstdint>
#include <string>

namespace korvid::bench {

// What a generated plot holds, so that a benchmark can refuse a read that did not take
// in exactly what was written.
struct PlotInput {
  std::string text;
  std::int64_t segments = 0;  // pen-down segments written
  std::int64_t arcs = 0;      // CI, AA and AR commands written
  std::int64_t commands = 0;  // ";"-terminated commands written
  // Commands up to and including the one that completes segment number
  // PlotModel::MaxSegments, or 0 when the file holds fewer segments.
  std::int64_t commandsToSegmentCapacity = 0;
  std::int64_t arcsToSegmentCapacity = 0;  // arcs written before that command
};

// A CAD-like HPGL file on an A4-sized sheet (0..10000 x 0..7200 plotter units, integer
// coordinates): polylines as "PU x,y;PD x,y,x,y,...;" with some relative ones, pen and
// line-type changes, and circles and arcs (CI, AA, AR) spread evenly among the polylines.
// Commands end with ";" and lines with CR LF, the way plotter drivers write them. The
// last written command completes the last segment, so a file of exactly
// PlotModel::MaxSegments segments loses nothing when the reader stops at its capacity.
// The same arguments always give the same bytes.
PlotInput GeneratePlot(std::int64_t segments, std::int64_t arcs, std::uint64_t seed);

// The largest plot the model holds: a full segment table and a full arc table, about
// 2.2 MB.
PlotInput GenerateMaxPlot();

// A plot with 2,000,000 segments, far beyond the segment table. Its arcs stay below the
// arc capacity up to the segment that fills the segment table, so the segments end the
// read there.
PlotInput GenerateHugePlot();

}  // namespace korvid::bench
