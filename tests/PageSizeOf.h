#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <utility>

namespace korvid::testing {

// The page of a drawing's file in millimetres: the EMF frame, the PDF media box or the SVG
// view box (0.1 mm a unit); for an image, its size in pixels.
inline std::pair<double, double> PageSizeOf(const std::string& bytes) {
  if (bytes.rfind("BM", 0) == 0 || bytes.rfind("\x89PNG", 0) == 0) {
    const QImage image = QImage::fromData(QByteArray::fromStdString(bytes));
    return {image.width(), image.height()};
  }
  if (bytes.size() > 88 && bytes.compare(40, 4, " EMF") == 0) {
    std::int32_t frame[4];
    std::memcpy(frame, bytes.data() + 24, sizeof frame);
    return {(frame[2] - frame[0]) / 100.0, (frame[3] - frame[1]) / 100.0};
  }
  std::smatch box;
  static const std::regex kMediaBox(
      R"(/MediaBox\s*\[\s*([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s+([-0-9.]+)\s*\])");
  if (std::regex_search(bytes, box, kMediaBox)) {
    // A page beyond 200 inches counts in units of several points.
    std::smatch unit;
    static const std::regex kUserUnit(R"(/UserUnit\s+([0-9.]+))");
    const double mmPerUnit =
        25.4 / 72 * (std::regex_search(bytes, unit, kUserUnit) ? std::stod(unit[1]) : 1);
    return {(std::stod(box[3]) - std::stod(box[1])) * mmPerUnit,
            (std::stod(box[4]) - std::stod(box[2])) * mmPerUnit};
  }
  static const std::regex kViewBox(R"(viewBox="0 0 ([0-9.]+) ([0-9.]+)\")");
  if (std::regex_search(bytes, box, kViewBox))
    return {std::stod(box[1]) / 10, std::stod(box[2]) / 10};
  return {0, 0};
}

}  // namespace korvid::testing
