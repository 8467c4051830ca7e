#include "pens/PenTable.h"

namespace korvid {

const PenSetting* PenTable::Find(int pen) const {
  const auto found = entries_.find(pen);
  return found == entries_.end() ? nullptr : &found->second;
}

PenSetting PenTable::Setting(int pen) const {
  const PenSetting* setting = Find(pen);
  return setting ? *setting : PenSetting{};
}

void PenTable::Set(int pen, const PenSetting& setting) {
  if (setting.SaysNothing()) {
    entries_.erase(pen);
  } else {
    entries_[pen] = setting;
  }
}

void PenTable::Hide(int pen) {
  entries_[pen].shown = false;
}

bool PenTable::HidesAny() const {
  for (const auto& [pen, setting] : entries_) {
    if (!setting.shown) return true;
  }
  return false;
}

bool PenZeroDraws(const PenTable& table) {
  const PenSetting* zero = table.Find(0);
  return zero && zero->shown;
}

DrawnPen ResolvePen(const PenTable& table, int pen, const PenLook& reading) {
  const PenSetting setting = table.Setting(pen);
  DrawnPen drawn;
  drawn.shown = setting.shown;
  drawn.colourFromTable = setting.colour.has_value();
  drawn.colour = setting.colour.value_or(reading.colour);
  drawn.widthFromTable = setting.widthMm.has_value();
  drawn.widthMm = setting.widthMm.value_or(reading.widthMm);
  return drawn;
}

}  // namespace korvid
