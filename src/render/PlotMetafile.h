#pragma once

#include <string>

namespace korvid {

// Where this running instance keeps its plot metafile: "enhmetafile.emf" in a private
// folder of its own under the user's runtime folder (or the temporary folder), so that two
// instances never overwrite each other's drawing. The folder goes when the program ends,
// however it ends: normally, by exit(), or by a fatal signal; folders that a killed
// instance left behind are swept away by the next one.
class PlotMetafile {
 public:
  static constexpr const char* kFileName = "enhmetafile.emf";

  // Creates the folder inside `baseFolder`, or inside the user's runtime (else temporary)
  // folder when `baseFolder` is empty. Error 70 when no folder can be created there.
  explicit PlotMetafile(const std::string& baseFolder = {});
  ~PlotMetafile();
  PlotMetafile(const PlotMetafile&) = delete;
  PlotMetafile& operator=(const PlotMetafile&) = delete;

  const std::string& Path() const { return path_; }
  const std::string& Folder() const { return folder_; }

  // Deletes the metafile and its folder now. The folder is made again on the next draw.
  void Remove();
  // Makes sure the folder exists (after Remove).
  void EnsureFolder();

  // The folder in which instances make their private folders.
  static std::string DefaultBaseFolder();

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace korvid
