#include "cli/StandardConversion.h"

#include <iostream>

#include "cli/ModelDump.h"
#include "cli/StandardDump.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/RuntimeError.h"
#include "render/DrawStandardPage.h"
#include "render/Rotation.h"

namespace korvid {

StandardConversion DrawStandardPageOf(const ConvertOptions& options,
                                      const std::string& metafilePath) {
  const StandardReadOutcome read = ReadStandardPlotFile(options.input);
  if (read.fileError)
    return {false, "cannot read " + options.input + ": " + read.fileError.message()};
  std::cerr << DescribeStandardOutcome(read);
  const std::size_t pages = read.plot.PageCount();
  if (options.page < 1 || static_cast<std::size_t>(options.page) > pages) {
    return {false, options.input + " has " + std::to_string(pages) +
                       (pages == 1 ? " page" : " pages") + ", not a page " +
                       std::to_string(options.page)};
  }
  const StandardPage& page = read.plot.pages[static_cast<std::size_t>(options.page) - 1];
  if (page.Empty()) return {false, options.input + ": nothing to draw"};
  DisplaySettings settings;
  settings.ColorMode = options.mono ? 0 : 1;
  const Rotation rotation = RotationForAngle(options.rotation);
  try {
    DrawStandardPage(
        {read.plot, static_cast<std::size_t>(options.page) - 1, settings, metafilePath, nullptr},
        options.rotation, rotation.cosA, rotation.sinA);
  } catch (const RuntimeError& failure) {
    return {false, options.input + ": the drawing failed: run-time error " +
                       std::to_string(failure.number()) + " (" +
                       DescribeErrorNumber(failure.number()) + ")"};
  }
  return {true, {}};
}

}  // namespace korvid
