#include "render/PictureRecorder.h"

namespace korvid {

namespace {

QRect FrameOf(const EmfWriter::Rect& frame) {
  return QRect(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
}

}  // namespace

PictureRecorder::PictureRecorder(const EmfWriter::Rect& frameHimetric,
                                 const std::u16string& description)
    : frame_(frameHimetric),
      description_(description),
      state_(FrameOf(frameHimetric), QString::fromStdU16String(description), 1,
             QSize(EmfWriter::kDevicePixelsX, EmfWriter::kDevicePixelsY),
             QSize(EmfWriter::kDeviceMillimetresX, EmfWriter::kDeviceMillimetresY)),
      headerBytes_(EmfWriter::HeaderBytes(description)),
      bytes_(headerBytes_) {}

std::uint32_t PictureRecorder::CreateSolidBrush(std::uint32_t colour) {
  constexpr std::uint32_t kSolidBrush = 0;
  const std::uint32_t handle = state_.FreeIndex();
  state_.CreateBrush(handle, kSolidBrush, colour);
  bytes_ += EmfWriter::kCreateBrushBytes;
  return handle;
}

void PictureRecorder::Polyline(const std::vector<EmfWriter::Point>& points) {
  if (points.empty()) return;  // EmfWriter writes no record
  state_.Polyline(static_cast<std::uint32_t>(points.size()),
                  [&](std::uint32_t i) { return state_.ToFrame(points[i].x, points[i].y); });
  bytes_ += EmfWriter::PolylineBytes(points.size());
}

void PictureRecorder::PolyPolygon(const std::vector<std::vector<EmfWriter::Point>>& rings) {
  std::vector<std::uint32_t> ringSizes;
  ringSizes.reserve(rings.size());
  std::size_t count = 0;
  for (const auto& ring : rings) {
    ringSizes.push_back(static_cast<std::uint32_t>(ring.size()));
    count += ring.size();
  }
  if (count == 0) return;  // EmfWriter writes no record
  std::vector<QPointF> points;
  points.reserve(count);
  for (const auto& ring : rings)
    for (const EmfWriter::Point& p : ring)
      points.push_back(state_.ToFrame(p.x, p.y));
  state_.PolyPolygon(std::move(ringSizes), std::move(points));
  bytes_ += EmfWriter::PolyPolygonBytes(rings.size(), count);
}

}  // namespace korvid
