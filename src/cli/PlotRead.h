#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "hpgl2/CurveFlattening.h"
#include "reader/ReaderMessenger.h"
#include "render/PlotSource.h"

namespace korvid {

// A plot file read in one reading, for the converter: the source to draw, what the read
// met and the text dump of what it read. The one place the converter looks at the reading.
struct PlotRead {
  std::unique_ptr<PlotSource> source;  // none when the read drew nothing at all
  std::string notes;                   // what the read met, one line each
  std::function<void(std::FILE*)> dump;
};

// Reads the bytes of the file `input` (for the names the reading keeps) in `reading`; the
// own reading's messages go to `messenger` as they arise. `penZeroDraws`: the standard
// reading draws with pen 0 (which a pen table shows) instead of taking it for no pen; it
// flattens its curves for `curves`. Never throws for a bad file.
PlotRead ReadPlot(std::string bytes, const std::string& input, Reading reading,
                  ReaderMessenger& messenger, bool penZeroDraws = false,
                  const CurveResolution& curves = {});

// "Korvid's own reading" or "the standard HP-GL/2 reading".
std::string ReadingName(Reading reading);

}  // namespace korvid
