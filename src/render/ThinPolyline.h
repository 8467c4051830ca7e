#pragma once

#include <vector>

#include "render/EmfWriter.h"

namespace korvid {

// Leaves out of a polyline the points it would pass within `tolerance` of anyway: each point
// kept is the furthest along from the one kept before it such that every point in between
// lies within `tolerance` of the line joining the two. The first and the last point always
// stay, so that a polyline of one place (a dot) stays one. A plotter's arcs and circles come
// as many chords far shorter than the picture's grid, each of which a painter strokes and
// joins on its own; thinned to the grid's half unit, the line keeps its place to within the
// rounding of its points onto the grid.
void ThinPolyline(std::vector<EmfWriter::Point>& points, double tolerance);

}  // namespace korvid
