#include "labels/LabelLayout.h"

namespace korvid {

LabelLayout LayOutLabel(std::string_view, const LabelStyle&, LabelPoint pen,
                        LabelPoint carriageReturn) {
  return LabelLayout{{}, pen, carriageReturn};
}

LabelPoint CharacterPlot(const LabelStyle&, LabelPoint pen, double, double) {
  return pen;
}

}  // namespace korvid
