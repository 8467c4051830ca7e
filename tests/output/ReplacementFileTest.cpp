#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "output/ReplacementFile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class ReplacementFileTest : public ::testing::Test {
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
    ReplacementFile replacement(target.string());
    replacement.Write(text.data(), text.size());
    replacement.Commit();
  }
  // A child that has written half of a replacement of `target` when `signal` ends it.
  static void WriterEndedBy(const fs::path& target, int signal) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ReplacementFile replacement(target.string());
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

// Uncommitted: no trace; replaced: permissions kept but no special bits; new: the umask.
TEST_F(ReplacementFileTest, LeavesNoTraceUncommittedAndKeepsPermissionsWithoutSpecialBits) {
  std::ofstream(folder / "keep.bmp") << "old";
  ReplacementFile((folder / "keep.bmp").string()).Write("new", 3);
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
}

TEST_F(ReplacementFileTest, SignalledWriterLeavesNoTemporaryFileAndAKilledOnesIsSwept) {
  const fs::path target = folder / "out.svg";
  std::ofstream(target) << "old";
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1}) {
    WriterEndedBy(target, signal);
    EXPECT_EQ(FilesInFolder(), 1u) << "signal " << signal;
    EXPECT_EQ(Slurp(target), "old");
  }
  // After SIGKILL the next writer of that output sweeps up; not a live writer's, not another's.
  const fs::path other = folder / "other.svg";
  WriterEndedBy(target, SIGKILL);
  WriterEndedBy(other, SIGKILL);
  ASSERT_EQ(FilesInFolder(), 3u) << "nothing can clean up after SIGKILL";

  ReplacementFile live(target.string());
  EXPECT_EQ(FilesInFolder(), 3u) << "the killed writer's file of this output is gone";
  Replace(target, "new");
  EXPECT_TRUE(fs::exists(live.Path()));
  EXPECT_EQ(FilesInFolder(), 3u);
  EXPECT_EQ(Slurp(target), "new");
}

}  // namespace
}  // namespace korvid
