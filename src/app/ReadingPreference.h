#pragma once

namespace korvid {

// The option "HP-GL/2 として読み込む", kept between runs in the user's settings of the
// application (QSettings with the application's organisation and name). Off when never
// set: files are read as designed.
bool LoadHpgl2ReadingPreference();
void SaveHpgl2ReadingPreference(bool hpgl2);

}  // namespace korvid
