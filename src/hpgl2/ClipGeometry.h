#pragma once

#include "hpgl2/PageBuilder.h"
#include "model/StandardPlot.h"

namespace korvid {

// Cuts the segment a-b to the window (Liang-Barsky); false when nothing of it is inside.
bool ClipSegment(const ClipWindow& window, PlotPoint& a, PlotPoint& b);

// The part of a closed ring inside the window (Sutherland-Hodgman); may come out empty.
PlotRing ClipRing(const ClipWindow& window, const PlotRing& ring);

}  // namespace korvid
