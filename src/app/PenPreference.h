#pragma once

#include <QString>

namespace korvid {

// The pen profile chosen in "ペン設定", kept between runs in the user's settings as the
// reading option is; empty when it is "なし".
QString LoadPenProfilePreference();
void SavePenProfilePreference(const QString& name);

// Where the named profiles are: the folder "pens" beside the settings file
// (~/.config/Korvid/pens).
QString PenProfileFolderPath();

}  // namespace korvid
