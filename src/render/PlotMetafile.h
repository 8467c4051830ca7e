#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/ExitCleanup.h"
#include "model/FileLocation.h"

namespace korvid {

// Where this running instance keeps its plot metafile: "enhmetafile.emf" in a private
// folder of its own (mode 0700) under the user's runtime folder, or the temporary folder
// when the runtime folder is not the user's own and private. Two instances never
// overwrite each other's drawing, and no one else can swap the folder or the file for a
// link: both are reached through the descriptor of the folder that was checked only.
//
// The instance holds a lock on a file in its folder for its whole life. The folder goes
// when the program ends, however it ends: normally, by exit(), or by a fatal signal;
// folders whose lock nobody holds any more (their instance was killed) are swept away by
// the next instance. Whether an instance lives is told by its lock alone, never by a
// process number, which another PID namespace or host would not see.
class PlotMetafile {
 public:
  static constexpr const char* kFileName = "enhmetafile.emf";
  static constexpr const char* kLockName = "lock";

  // Creates the folder inside `baseFolder`, or inside DefaultBaseFolder() when
  // `baseFolder` is empty. Error 70 when no folder can be created there.
  explicit PlotMetafile(const std::string& baseFolder = {});
  ~PlotMetafile();
  PlotMetafile(const PlotMetafile&) = delete;
  PlotMetafile& operator=(const PlotMetafile&) = delete;

  // The metafile, reached through the folder's descriptor.
  const FileLocation& File() const { return file_; }
  // For messages and the about box.
  const std::string& Path() const { return file_.Path(); }
  const std::string& Folder() const { return folder_; }

  // Deletes the metafile now; the folder stays until the instance ends.
  void Remove();

  // The user's runtime folder ($XDG_RUNTIME_DIR) when it is a folder of the user's own
  // that no one else may enter (mode 0700); else the temporary folder ($TMPDIR, else /tmp)
  // when no one else can take away or swap what is made in it: the user's own and written
  // by no one else, or sticky and the user's or root's. Error 70 when there is none.
  static std::string DefaultBaseFolder();

 private:
  int baseFd_ = -1;
  int folderFd_ = -1;
  int lockFd_ = -1;
  std::string name_;
  std::string folder_;
  FileLocation file_;
  std::vector<std::unique_ptr<ExitCleanup>> cleanup_;
};

}  // namespace korvid
