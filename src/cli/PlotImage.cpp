#include "cli/PlotImage.h"

#include <optional>
#include <thread>

#include "render/DrawPlot.h"
#include "render/Rotation.h"

namespace korvid {

namespace {

// Below this many segments and arcs a second thread costs more than it saves.
constexpr std::size_t kParallelFrom = 20000;

}  // namespace

std::string EncodePlotImage(const PlotModel& model, const DisplaySettings& settings,
                            std::int16_t angle, const EncodeRequest& request) {
  const Rotation rotation = RotationForAngle(angle);
  const auto draw = [&](const PlotPart& part) {
    return DrawPlotPicturePart(model, settings, angle, rotation.cosA, rotation.sinA, part);
  };
  const QRect frame = PlotPictureFrame(model, angle);
  const RasterLayout layout = RasterLayoutFor(frame, request);
  std::optional<PlotParts> parts;
  if (std::thread::hardware_concurrency() > 1)
    parts = BalancedPlotParts(model, PixelsPerFrameUnit(frame, layout), kParallelFrom);
  if (!parts) {
    return EncodePicture(DrawPlotPicture(model, settings, angle, rotation.cosA, rotation.sinA),
                         request);
  }
  return EncodeImage(
      request.format,
      RasterOfParts(
          layout, [&] { return draw(parts->first); }, [&] { return draw(parts->later); }),
      layout.pixelsPerMetre);
}

}  // namespace korvid
