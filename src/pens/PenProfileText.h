#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pens/PenTable.h"

namespace korvid {

// A pen profile as text, one pen a line, for people to write and share:
//
//   # comments and blank lines are allowed
//   pen 3 colour #000000 width 0.7 shown
//   pen 5 hidden
//   pen 7 colour file width 0
//
// After "pen" and its number come, in any order and each at most once: "colour #RRGGBB"
// (or "color"), "width" in millimetres (0: the thinnest line there is), either of them
// "file" (as the file says, the same as leaving it out), and "shown" or "hidden" (shown
// when left out). Words are read in any letter case; a word that starts with "#" where a
// setting would come ends the line as a comment.

// Everything that can be wrong with a line.
enum class PenProfileProblem {
  kNotText,         // a control character (a binary file?)
  kNotAPenLine,     // the first word is not "pen"
  kNoPenNumber,     // "pen" alone
  kBadPenNumber,    // not a whole number from kLowestPenNumber to kHighestPenNumber
  kPenAgain,        // the same pen on an earlier line
  kUnknownSetting,  // not colour, width, shown or hidden
  kNoColour,        // "colour" at the end of the line
  kBadColour,       // not #RRGGBB or file
  kNoWidth,         // "width" at the end of the line
  kBadWidth,        // not a number of millimetres or file
  kWidthTooLarge,   // beyond kWidestPenMm
  kSettingAgain,    // colour, width or shown/hidden said twice on one line
};

struct PenProfileError {
  int line = 0;  // from 1
  PenProfileProblem problem = PenProfileProblem::kNotText;
  std::string word;     // the word at fault, as it stands in the line
  int pen = 0;          // kPenAgain: the pen, and the line that set it first
  int earlierLine = 0;  // kPenAgain
};

struct PenProfileRead {
  PenTable table;
  std::optional<PenProfileError> error;  // the first bad line; the table is then empty
};

// The whole text, or the first bad line: a profile is taken whole or not at all.
PenProfileRead ReadPenProfileText(std::string_view text);

// The text that reads back as `table`, pens in order of their numbers.
std::string PenProfileText(const PenTable& table);

// The error in English, with its line number, for the converter.
std::string DescribePenProfileError(const PenProfileError& error);

// A width in millimetres as the profile writes it: "0.7", "0.35", "0".
std::string MillimetreText(double widthMm);
// The colour as "#rrggbb".
std::string ColourText(PenRgb colour);

}  // namespace korvid
