#pragma once

#include <string>

#include "model/PlotExtents.h"
#include "model/PlotModel.h"

namespace korvid {

// What the magnification dialog's OK makes of the entered text.
struct MagnificationEntry {
  enum class Outcome {
    NotANumber,   // a character other than digits and "."; the dialog stays open
    NotPositive,  // the value 0 (an empty entry too), which enlarges nothing: the same
    Accepted,
    Reduced,  // too large: reduced to the largest whole factor that fits
  };
  Outcome outcome = Outcome::NotANumber;
  std::string message;  // for the user, when there is one
  std::string text;     // the dialog's text afterwards
  float magnification = 0;
};

inline constexpr const char* kNotANumberMessage = "数値を入力してください";
inline constexpr const char* kNotPositiveMessage = "0より大きい数値を入力してください";

// The largest drawing is 245745 twips (about 4334 mm) each way: a larger factor is reduced
// to the largest whole one that fits, or below 1 to the largest of two significant digits
// (a drawing too large even at its own size is printed smaller, never at 0). Errors: 6 for
// a value beyond the float range.
MagnificationEntry ApplyMagnificationEntry(const std::string& text, const PlotExtents& extents);
inline MagnificationEntry ApplyMagnificationEntry(const std::string& text, const PlotModel& model) {
  return ApplyMagnificationEntry(text, PlotExtents::OfCurrentPlot(model));
}

// The factor as the dialog shows it: the shortest general form ("1", "2.5").
std::string MagnificationText(float magnification);

}  // namespace korvid
