#include "model/FolderEntries.h"

#include <dirent.h>
#include <unistd.h>

namespace korvid {

void ForEachFolderEntry(int folderFd, const std::function<void(std::string_view name)>& visit) {
  const int listFd = ::dup(folderFd);
  if (listFd < 0) return;
  DIR* directory = ::fdopendir(listFd);
  if (!directory) {
    ::close(listFd);
    return;
  }
  while (const dirent* entry = ::readdir(directory))
    visit(entry->d_name);
  ::closedir(directory);
}

}  // namespace korvid
