#include "view/ScrollBarModel.h"

#include <algorithm>

namespace korvid {

bool ScrollBarModel::SetMax(std::int16_t max) {
  max_ = std::max<std::int16_t>(max, 0);
  if (value_ <= max_) return false;
  value_ = max_;
  return true;
}

bool ScrollBarModel::SetValue(std::int16_t value) {
  const std::int16_t clamped = std::clamp<std::int16_t>(value, 0, max_);
  if (clamped == value_) return false;
  value_ = clamped;
  return true;
}

}  // namespace korvid
