// How plot files of every kind are read: whole, bounded, streamed, or refused.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "reader/PlotFile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSmallLimit = 16;

struct Loaded {
  std::string bytes;
  int number = 0;
  std::error_code reason;
};

Loaded Load(const std::string& path, std::size_t limit = kSmallLimit,
            FileKinds kinds = FileKinds::FilesAndStreams) {
  Loaded loaded;
  try {
    loaded.bytes = LoadPlotFileBytes(path, limit, kinds);
  } catch (const PlotFileError& failure) {
    loaded.number = failure.number();
    loaded.reason = failure.reason();
  }
  return loaded;
}

class PlotFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("korvid-plotfile-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string File(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return (folder / name).string();
  }
  // A FIFO that a second thread fills with `bytes` once it is opened for reading.
  Loaded ThroughFifo(const std::string& bytes) {
    const std::string path = (folder / ("fifo" + std::to_string(++fifos))).string();
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(path, std::ios::binary) << bytes; });
    // The reader may open first and find no writer yet: it then waits for data, not EOF.
    Loaded loaded = Load(path);
    writer.join();
    return loaded;
  }

  fs::path folder;
  int fifos = 0;
};

TEST_F(PlotFileTest, FilesAndStreamsUpToTheLimit) {
  const std::string fits(kSmallLimit, ';');
  const std::string over(kSmallLimit + 1, ';');
  struct Case {
    const char* what;
    std::function<Loaded()> load;
    std::string bytes;
    std::error_code reason;
  };
  const Case cases[] = {
      {"file at the limit", [&] { return Load(File("fits", fits)); }, fits, {}},
      {"file over the limit", [&] { return Load(File("over", over)); }, "",
       PlotFileProblem::TooLarge},
      {"empty file", [&] { return Load(File("empty", "")); }, "", {}},
      {"fifo", [&] { return ThroughFifo("IN;PD1,1;"); }, "IN;PD1,1;", {}},
      {"fifo over the limit", [&] { return ThroughFifo(over); }, "", PlotFileProblem::TooLarge},
      {"device", [] { return Load("/dev/zero"); }, "", PlotFileProblem::NotAFile},
      // The window's read: a FIFO without a writer is refused at once, never waited for.
      {"fifo for the window",
       [&] {
         const std::string path = (folder / "idle-fifo").string();
         ::mkfifo(path.c_str(), 0600);
         return Load(path, kSmallLimit, FileKinds::RegularFilesOnly);
       },
       "", PlotFileProblem::NotAFile},
      {"file for the window",
       [&] { return Load(File("plain", "IN;"), kSmallLimit, FileKinds::RegularFilesOnly); },
       "IN;",
       {}},
      {"folder", [&] { return Load(folder.string()); }, "",
       std::make_error_code(std::errc::is_a_directory)},
      {"missing", [&] { return Load((folder / "none").string()); }, "",
       std::make_error_code(std::errc::no_such_file_or_directory)},
  };
  for (const Case& c : cases) {
    const Loaded loaded = c.load();
    EXPECT_EQ(loaded.reason, c.reason) << c.what << ": " << loaded.reason.message();
    EXPECT_EQ(loaded.bytes, c.bytes) << c.what;
  }
  EXPECT_EQ(Load(File("over", over)).number, err::kOutOfMemory);
  EXPECT_EQ(Load("/dev/zero").number, err::kPathFileAccess);
}

TEST_F(PlotFileTest, StandardInputIsReadAsAStream) {
  for (const std::string& bytes : {std::string("IN;PU0,0;PD5,5;"), std::string(40, 'x')}) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ASSERT_EQ(::write(pipeEnds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(pipeEnds[1]);
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(pipeEnds[0], STDIN_FILENO);
    ::close(pipeEnds[0]);
    const Loaded loaded = Load("-", 32);
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    if (bytes.size() <= 32) {
      EXPECT_EQ(loaded.bytes, bytes);
    } else {
      EXPECT_EQ(loaded.reason, PlotFileProblem::TooLarge);
    }
  }
}

// The real limit, on a sparse file far beyond it: refused before anything is read.
TEST_F(PlotFileTest, HugeSparseFileIsRefusedBeforeReading) {
  const std::string path = File("huge.hpg", "");
  ASSERT_EQ(::truncate(path.c_str(), off_t{3} << 30), 0);
  const Loaded loaded = Load(path, kLargestPlotFileBytes);
  EXPECT_EQ(loaded.reason, PlotFileProblem::TooLarge);
  EXPECT_NE(loaded.reason.message().find("512 MiB"), std::string::npos);
}

}  // namespace
}  // namespace korvid
