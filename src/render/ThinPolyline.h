#pragma once

#include <vector>

#include "render/EmfWriter.h"

namespace korvid {

// Leaves out of a polyline the points it would pass within `tolerance` of anyway: from each
// point kept, the next kept is the last of those (at most a few dozen on) up to which every
// point in between lies within `tolerance` of the line joining the two, the points looked at
// one after the other. The first and the last point always stay, so that a polyline of one
// place (a dot) stays one, and a point put down twice on the way goes. A plotter's arcs and
// circles come as chords of a unit or two of the picture's grid, each of which a painter
// strokes and joins on its own; thinned to the grid's half unit, the line keeps its place to
// within the rounding of its points onto the grid.
void ThinPolyline(std::vector<EmfWriter::Point>& points, double tolerance);

}  // namespace korvid
