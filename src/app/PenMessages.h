#pragma once

#include <QString>

#include "pens/PenProfiles.h"

namespace korvid {

// What the window says about pen profiles, in Japanese.

// Why the profile file `shownName` cannot be taken: its bad line, or the file error.
QString PenProfileLoadText(const QString& shownName, const PenProfileLoad& load);
// The line and what is wrong with it: "4行目: ...".
QString PenProfileErrorText(const PenProfileError& error);

}  // namespace korvid
