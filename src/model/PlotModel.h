#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>

#include "model/RuntimeError.h"

namespace korvid {

// One straight line in plotter units. The field order X1, X2, Y1, Y2 is the file order
// of the plot tables and is kept on purpose.
struct Segment {
  float X1 = 0;
  float X2 = 0;
  float Y1 = 0;
  float Y2 = 0;
  std::int16_t Pen = 0;
  std::int16_t LineStyle = 0;
};

// One circle or circular arc: the square bounding the whole circle, and the
// counter-clockwise run (Y up) from the start point to the end point. Equal start and
// end points mean the full circle.
struct ArcRec {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  float StartX = 0;
  float StartY = 0;
  float EndX = 0;
  float EndY = 0;
  std::int16_t Pen = 0;
  std::int16_t LineStyle = 0;
};

// The tables' field order is part of the model: X1, X2, Y1, Y2.
// The tables start as zeroed memory: zero bytes must be each field's initial value.
static_assert(std::is_trivially_copyable_v<Segment> && std::is_trivially_copyable_v<ArcRec> &&
              std::is_aggregate_v<Segment> && std::is_aggregate_v<ArcRec>);
static_assert(offsetof(Segment, X1) < offsetof(Segment, X2) &&
              offsetof(Segment, X2) < offsetof(Segment, Y1) &&
              offsetof(Segment, Y1) < offsetof(Segment, Y2) &&
              offsetof(Segment, Y2) < offsetof(Segment, Pen) &&
              offsetof(Segment, Pen) < offsetof(Segment, LineStyle));
static_assert(offsetof(ArcRec, Left) < offsetof(ArcRec, Top) &&
              offsetof(ArcRec, Top) < offsetof(ArcRec, Right) &&
              offsetof(ArcRec, Right) < offsetof(ArcRec, Bottom) &&
              offsetof(ArcRec, Bottom) < offsetof(ArcRec, StartX) &&
              offsetof(ArcRec, EndY) < offsetof(ArcRec, Pen) &&
              offsetof(ArcRec, Pen) < offsetof(ArcRec, LineStyle));

// Line-style codes, numbered like the standard pen styles; consumers use the absolute
// value. A negative code marks the one element stored first after a negative LT.
namespace line_style {
inline constexpr std::int16_t kSolid = 0;
inline constexpr std::int16_t kDash = 1;
inline constexpr std::int16_t kDot = 2;
inline constexpr std::int16_t kDashDot = 3;
inline constexpr std::int16_t kDashDotDot = 4;
inline constexpr std::int16_t kPointsOnly = 5;
}  // namespace line_style

inline constexpr float kInitialMaxExtent = -3.4e38f;
inline constexpr float kInitialMinExtent = 3.4e38f;

// The result of reading one plotter file, in plotter units (X right, Y up). Storage is
// allocated once at full capacity and never resized or cleared: a read overwrites
// records from index 1 upwards and only the counts say how many are valid. Index 0 of
// each table and plot 0 exist but are never used.
class PlotModel {
 public:
  static constexpr std::int32_t MaxSegments = 150000;
  static constexpr std::int32_t MaxArcs = 15000;
  static constexpr std::int16_t MaxPlot = 1;
  static constexpr int PlotSlots = MaxPlot + 1;

  PlotModel();
  PlotModel(const PlotModel&) = delete;
  PlotModel& operator=(const PlotModel&) = delete;

  // Checked access: an index outside the table is error 9, as for any array.
  Segment& Segments(std::int32_t index, std::int16_t plot) {
    CheckIndex(index, MaxSegments, plot);
    return segments_[plot][index];
  }
  const Segment& Segments(std::int32_t index, std::int16_t plot) const {
    CheckIndex(index, MaxSegments, plot);
    return segments_[plot][index];
  }
  ArcRec& Arcs(std::int32_t index, std::int16_t plot) {
    CheckIndex(index, MaxArcs, plot);
    return arcs_[plot][index];
  }
  const ArcRec& Arcs(std::int32_t index, std::int16_t plot) const {
    CheckIndex(index, MaxArcs, plot);
    return arcs_[plot][index];
  }

  // Per-plot values, indexed by plot number 0 or 1.
  std::array<std::int32_t, PlotSlots> SegCount{};
  std::array<std::int32_t, PlotSlots> ArcCount{};
  std::array<float, PlotSlots> MaxX{};
  std::array<float, PlotSlots> MaxY{};
  std::array<float, PlotSlots> MinX{};
  std::array<float, PlotSlots> MinY{};

  std::int16_t PlotCount = 0;
  std::int16_t CurPlot = 0;
  std::string PlotFileName;  // empty until the first load: then no file is loaded
  std::string PlotDir;       // folder of that file, ending with "/"

  bool HasFile() const { return !PlotFileName.empty(); }
  // Error 9 for a plot number outside 0..1, like any per-plot array.
  static void CheckPlot(std::int16_t plot) {
    if (plot < 0 || plot > MaxPlot) throw RuntimeError(err::kSubscriptOutOfRange);
  }

  // A table of records whose all-zero bytes are their initial values, freed with free().
  struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
  };
  template <typename Record>
  using Table = std::unique_ptr<Record[], FreeMemory>;

 private:
  static void CheckIndex(std::int32_t index, std::int32_t highest, std::int16_t plot) {
    if (index < 0 || index > highest) throw RuntimeError(err::kSubscriptOutOfRange);
    CheckPlot(plot);
  }

  std::array<Table<Segment>, PlotSlots> segments_;
  std::array<Table<ArcRec>, PlotSlots> arcs_;
};

}  // namespace korvid
