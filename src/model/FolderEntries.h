#pragma once

#include <functional>
#include <string_view>

namespace korvid {

// Calls `visit` with the name of each entry of an open folder (`.` and `..` included), reading
// through a duplicate so that the caller's descriptor stays open and usable; a folder that
// cannot be listed is visited as empty, since every caller is only cleaning up.
void ForEachFolderEntry(int folderFd, const std::function<void(std::string_view name)>& visit);

}  // namespace korvid
