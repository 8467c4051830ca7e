#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "AsUnprivilegedUser.h"
#include "model/RuntimeError.h"
#include "output/ReplacementFile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;
using Temporary = ReplacementFile::Temporary;
using testing::AsUnprivilegedUser;
using testing::kNobody;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every case with a temporary file that has no name while it is written, and with one
// that has, as on a file system without unnamed files.
class ReplacementFileTest : public ::testing::TestWithParam<Temporary> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "korvid-replace-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }
  static auto Mode(const fs::path& path) {
    return static_cast<mode_t>(fs::status(path).permissions());
  }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }
  static void Replace(const fs::path& target, const std::string& text) {
    ReplacementFile replacement(target.string(), GetParam());
    replacement.Write(text.data(), text.size());
    replacement.Commit();
  }
  // A child that has written half of a replacement of `target` when `signal` ends it.
  static void WriterEndedBy(const fs::path& target, int signal, Temporary temporary) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ReplacementFile replacement(target.string(), temporary);
      replacement.Write("half", 4);
      ::kill(::getpid(), signal);
      std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
  }

  fs::path folder;
};

INSTANTIATE_TEST_SUITE_P(Temporaries, ReplacementFileTest,
                         ::testing::Values(Temporary::Unnamed, Temporary::Named),
                         [](const auto& info) {
                           return info.param == Temporary::Unnamed ? "Unnamed" : "Named";
                         });

// Uncommitted: no trace; replaced: permissions kept but no special bits; new: the umask.
TEST_P(ReplacementFileTest, LeavesNoTraceUncommittedAndKeepsPermissionsWithoutSpecialBits) {
  std::ofstream(folder / "keep.bmp") << "old";
  ReplacementFile((folder / "keep.bmp").string(), GetParam()).Write("new", 3);
  EXPECT_EQ(FilesInFolder(), 1u);
  EXPECT_EQ(Slurp(folder / "keep.bmp"), "old");
  const std::pair<mode_t, mode_t> cases[] = {
      {0600, 0600}, {0644, 0644}, {04755, 0755}, {02750, 0750}, {07777, 0777}};
  for (const auto& [before, after] : cases) {
    const fs::path target = folder / ("mode-" + std::to_string(before));
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), before), 0);
    Replace(target, "new");
    EXPECT_EQ(Mode(target), after) << std::oct << before;
    EXPECT_EQ(Slurp(target), "new");
  }
  const mode_t previous = ::umask(027);
  Replace(folder / "new.bmp", "");
  ::umask(previous);
  EXPECT_EQ(Mode(folder / "new.bmp"), 0640u);
  // A link to a file is replaced by the drawing; the file it led to stays as it was.
  std::ofstream(folder / "target.png") << "kept";
  fs::create_symlink(folder / "target.png", folder / "link.png");
  Replace(folder / "link.png", "new");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "link.png")));
  EXPECT_EQ(Slurp(folder / "target.png"), "kept");
}

// In a set-group-ID folder a new file takes the folder's group: the replaced file's group
// comes back where its owner may give it, and where not, the group loses its bits rather
// than reading a drawing that was not meant for it.
TEST_P(ReplacementFileTest, KeepsTheGroupOfTheReplacedFileOrGivesItNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand out groups";
  constexpr gid_t kDaemon = 1, kNogroup = 65534;
  fs::permissions(folder, fs::perms(0755));
  // {folder's group, replaced file's group, replacing as nobody, group and mode after}
  struct Case {
    gid_t folderGroup, fileGroup;
    bool asNobody;
    gid_t group;
    mode_t mode;
  };
  for (const Case& c : {Case{kDaemon, kNogroup, false, kNogroup, 0640},
                        Case{kNogroup, kDaemon, true, kNogroup, 0600}}) {
    const fs::path shared = folder / ("shared-" + std::to_string(c.folderGroup));
    fs::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), c.asNobody ? kNobody : 0, c.folderGroup), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02775), 0);
    const fs::path target = shared / "plot.png";
    std::ofstream(target) << "old";
    ASSERT_EQ(::chown(target.c_str(), c.asNobody ? kNobody : 0, c.fileGroup), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const auto replace = [&] { Replace(target, "new"); };
    if (c.asNobody)
      AsUnprivilegedUser(replace);
    else
      replace();
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_gid, c.group);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(Slurp(target), "new");
  }
}

// Only a regular file is replaced: a device, a FIFO or a folder, or a link to one, is
// refused before anything is made, and nothing is written into it.
TEST_P(ReplacementFileTest, RefusesWhatIsNotAFile) {
  ASSERT_EQ(::mkfifo((folder / "fifo.png").c_str(), 0600), 0);
  fs::create_symlink(folder / "fifo.png", folder / "to-fifo.png");
  fs::create_symlink("/dev/null", folder / "to-device.png");
  fs::create_directory(folder / "folder.png");
  fs::create_symlink(folder / "folder.png", folder / "to-folder.png");
  for (const char* name :
       {"fifo.png", "to-fifo.png", "to-device.png", "folder.png", "to-folder.png"}) {
    try {
      ReplacementFile refused((folder / name).string(), GetParam());
      ADD_FAILURE() << name << " was taken";
    } catch (const RuntimeError& failure) {
      EXPECT_EQ(failure.number(), err::kPathFileAccess) << name;
    }
  }
  EXPECT_EQ(FilesInFolder(), 5u);
  EXPECT_TRUE(fs::is_fifo(folder / "fifo.png") && fs::is_symlink(folder / "to-device.png"));
}

TEST_P(ReplacementFileTest, SignalledWriterLeavesNoTemporaryFile) {
  const fs::path target = folder / "out.svg";
  std::ofstream(target) << "old";
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1}) {
    WriterEndedBy(target, signal, GetParam());
    EXPECT_EQ(FilesInFolder(), 1u) << "signal " << signal;
    EXPECT_EQ(Slurp(target), "old");
  }
}

// Nothing can clean up after SIGKILL: an unnamed file goes with its writer; a named one
// is swept by the next writer of that output, not a live writer's, not another output's.
TEST(ReplacementFileSweep, AKilledWritersNamedFileIsSweptAndAnUnnamedOneNeverStays) {
  std::string pattern = (fs::temp_directory_path() / "korvid-sweep-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern;
  const auto files = [&] {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  };
  const fs::path target = folder / "out.svg", other = folder / "other.svg";
  std::ofstream(target) << "old";
  const auto killed = [](const fs::path& output, Temporary temporary) {
    const pid_t child = ::fork();
    if (child == 0) {
      ReplacementFile replacement(output.string(), temporary);
      replacement.Write("half", 4);
      ::kill(::getpid(), SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
  };
  killed(target, Temporary::Unnamed);
  EXPECT_EQ(files(), 1u);
  killed(target, Temporary::Named);
  killed(other, Temporary::Named);
  ASSERT_EQ(files(), 3u);
  ReplacementFile live(target.string(), Temporary::Named);
  EXPECT_EQ(files(), 3u) << "the killed writer's file of this output is gone";
  ReplacementFile next(target.string(), Temporary::Named);
  next.Commit();
  EXPECT_TRUE(fs::exists(live.Path()));
  EXPECT_EQ(files(), 3u);
  fs::remove_all(folder);
}

// Another user watching the folder opens every file that appears in it, at once: while a
// drawing of its owner's alone is replaced, it never reads a byte of it.
TEST_P(ReplacementFileTest, AnotherUserOpeningEveryNewFileReadsNothingOfAPrivateDrawing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a second user (runs as root, watches as nobody)";
  fs::permissions(folder, fs::perms(0755));
  const fs::path target = folder / "private.png";
  std::ofstream(target) << "old";
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  int ready[2], report[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(report), 0);
  const pid_t watcher = ::fork();
  ASSERT_GE(watcher, 0);
  if (watcher == 0) {
    long long bytesRead = 0, controlRead = 0;
    std::vector<int> privateFds, controlFds;
    const int watch = ::inotify_init();
    if (!testing::DropRootPrivileges() || watch < 0 ||
        ::inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0)
      std::_Exit(2);
    char go = 1;
    if (::write(ready[1], &go, 1) != 1) std::_Exit(2);
    alignas(inotify_event) char events[4096];
    while (controlRead == 0) {
      const ssize_t got = ::read(watch, events, sizeof events);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->len == 0) continue;
        // Held open: whatever is written later can be read through it.
        const int fd = ::open((folder / event->name).c_str(), O_RDONLY);
        if (fd < 0) continue;
        const std::string name = event->name;
        if (name == "control")
          controlFds.push_back(fd);
        else if (name.find("private.png") <= 1)  // the drawing or its temporary file
          privateFds.push_back(fd);
        else
          ::close(fd);
        controlRead = !controlFds.empty();
      }
    }
    const auto readAll = [](const std::vector<int>& fds) {
      long long total = 0;
      char block[4096];
      for (int fd : fds) {
        ::lseek(fd, 0, SEEK_SET);
        for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
          total += n;
      }
      return total;
    };
    bytesRead = readAll(privateFds);
    controlRead = readAll(controlFds);
    const long long counts[2] = {bytesRead, controlRead};
    std::_Exit(::write(report[1], counts, sizeof counts) == sizeof counts ? 0 : 2);
  }
  char go = 0;
  ASSERT_EQ(::read(ready[0], &go, 1), 1);
  const std::string drawing(64 * 1024, 'x');
  for (int i = 0; i < 100; ++i) {
    ReplacementFile replacement(target.string(), GetParam());
    replacement.Write(drawing.data(), drawing.size());
    replacement.Commit();
  }
  // A file anyone may read, to show that the watcher reads what it can.
  std::ofstream(folder / "made") << "anyone";
  ::chmod((folder / "made").c_str(), 0644);
  fs::rename(folder / "made", folder / "control");
  long long counts[2] = {-1, -1};
  ASSERT_EQ(::read(report[0], counts, sizeof counts), static_cast<ssize_t>(sizeof counts));
  ::waitpid(watcher, nullptr, 0);
  EXPECT_EQ(counts[0], 0) << "bytes of the private drawing read by another user";
  EXPECT_GT(counts[1], 0) << "the watcher reads a file it may read";
  EXPECT_EQ(Mode(target), 0600u);
  for (int fd : {ready[0], ready[1], report[0], report[1]})
    ::close(fd);
}

}  // namespace
}  // namespace korvid
