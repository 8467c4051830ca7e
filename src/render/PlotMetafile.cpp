#include "render/PlotMetafile.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "model/RuntimeError.h"

namespace korvid {

namespace {

constexpr std::string_view kFolderPrefix = "korvid-";

// What the fatal-signal handler must delete, in storage it can use without allocating.
struct CleanupTarget {
  char file[4096] = {};
  char folder[4096] = {};
};
CleanupTarget gCleanup;

void RemoveTarget() {
  if (gCleanup.file[0]) ::unlink(gCleanup.file);
  if (gCleanup.folder[0]) ::rmdir(gCleanup.folder);
}

void OnFatalSignal(int signalNumber) {
  RemoveTarget();
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

void RemoveAtExit() {
  RemoveTarget();
}

void InstallCleanup(const std::string& file, const std::string& folder) {
  std::strncpy(gCleanup.file, file.c_str(), sizeof gCleanup.file - 1);
  std::strncpy(gCleanup.folder, folder.c_str(), sizeof gCleanup.folder - 1);
  static bool installed = false;
  if (installed) return;
  installed = true;
  std::atexit(RemoveAtExit);
  for (int signalNumber :
       {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction current {};
    ::sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_DFL) continue;  // someone else handles it
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

void ClearCleanup() {
  gCleanup = CleanupTarget{};
}

// The folder of an instance is "korvid-<pid>-XXXXXX"; an instance that is gone cannot
// remove its own.
void SweepFoldersOfDeadInstances(const std::string& base) {
  DIR* directory = ::opendir(base.c_str());
  if (!directory) return;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, kFolderPrefix.size()) != kFolderPrefix) continue;
    const long pid = std::strtol(name.data() + kFolderPrefix.size(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    const std::string folder = base + "/" + std::string(name);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid()) {
      continue;
    }
    ::unlink((folder + "/" + PlotMetafile::kFileName).c_str());
    ::rmdir(folder.c_str());
  }
  ::closedir(directory);
}

std::string MakePrivateFolder(const std::string& base) {
  std::string pattern =
      base + "/" + std::string(kFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw RuntimeError(ErrorNumberFromErrno(errno), base);
  return pattern;
}

}  // namespace

std::string PlotMetafile::DefaultBaseFolder() {
  // The runtime folder is the user's own and is emptied at logout; asked for directly,
  // because Qt's lookup complains aloud when a session has none.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat status {};
  if (runtime && *runtime && ::stat(runtime, &status) == 0 && S_ISDIR(status.st_mode) &&
      ::access(runtime, W_OK) == 0) {
    return runtime;
  }
  return QDir::tempPath().toStdString();
}

PlotMetafile::PlotMetafile(const std::string& baseFolder) {
  const std::string base = baseFolder.empty() ? DefaultBaseFolder() : baseFolder;
  SweepFoldersOfDeadInstances(base);
  folder_ = MakePrivateFolder(base);
  path_ = folder_ + "/" + kFileName;
  InstallCleanup(path_, folder_);
}

PlotMetafile::~PlotMetafile() {
  Remove();
  ClearCleanup();
}

void PlotMetafile::Remove() {
  ::unlink(path_.c_str());
  ::rmdir(folder_.c_str());
}

void PlotMetafile::EnsureFolder() {
  if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
    throw RuntimeError(ErrorNumberFromErrno(errno), folder_);
  }
}

}  // namespace korvid
