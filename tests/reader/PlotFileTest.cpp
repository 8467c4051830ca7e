// How plot files are read whole, bounded, streamed or refused, and how their paths split.
// Standard input and the real 512 MiB limit are pinned by the converter's ConvertInput tests.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "ErrorOf.h"
#include "reader/FindLast.h"
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

Loaded Load(const std::string& path) {
  Loaded loaded;
  try {
    loaded.bytes = LoadPlotFileBytes(path, kSmallLimit);
  } catch (const PlotFileError& failure) {
    loaded.number = failure.number();
    loaded.reason = failure.reason();
  }
  return loaded;
}

TEST(PlotFile, FilesAndStreamsUpToTheLimit) {
  const fs::path folder =
      fs::temp_directory_path() / ("korvid-plotfile-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  auto file = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return Load((folder / name).string());
  };
  // A FIFO that a second thread fills once it is opened for reading. The reader may open
  // first and find no writer yet: it then waits for data, not EOF.
  auto fifo = [&](const std::string& name, const std::string& bytes) {
    const std::string path = (folder / name).string();
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(path, std::ios::binary) << bytes; });
    Loaded loaded = Load(path);
    writer.join();
    return loaded;
  };
  const std::string fits(kSmallLimit, ';');
  const std::string over(kSmallLimit + 1, ';');
  const struct {
    const char* what;
    std::function<Loaded()> load;
    std::string bytes;
    std::error_code reason;
    int number;
  } cases[] = {
      {"file at the limit", [&] { return file("fits", fits); }, fits, {}, 0},
      {"file over the limit", [&] { return file("over", over); }, "", PlotFileProblem::TooLarge, 7},
      {"empty file", [&] { return file("empty", ""); }, "", {}, 0},
      {"fifo", [&] { return fifo("fifo1", "IN;PD1,1;"); }, "IN;PD1,1;", {}, 0},
      {"fifo over the limit", [&] { return fifo("fifo2", over); }, "", PlotFileProblem::TooLarge,
       7},
      {"device", [] { return Load("/dev/zero"); }, "", PlotFileProblem::NotAFile, 75},
      {"folder", [&] { return Load(folder.string()); }, "",
       std::make_error_code(std::errc::is_a_directory), 75},
      {"missing", [&] { return Load((folder / "none").string()); }, "",
       std::make_error_code(std::errc::no_such_file_or_directory), 53},
  };
  for (const auto& c : cases) {
    const Loaded loaded = c.load();
    EXPECT_EQ(loaded.reason, c.reason) << c.what << ": " << loaded.reason.message();
    EXPECT_EQ(loaded.bytes, c.bytes) << c.what;
    EXPECT_EQ(loaded.number, c.number) << c.what;
  }
  fs::remove_all(folder);
}

TEST(FindLast, GivesTheStartOfTheLastOccurrenceAndSplitsPathsThere) {
  EXPECT_EQ(FindLast("/a/b.hpg", "/"), 3);
  EXPECT_EQ(FindLast("abcabc", "bc"), 5);
  EXPECT_EQ(testing::ErrorOf([] { FindLast(std::string(40000, 'x') + "/", "/"); }), 6);
  const char* cases[][3] = {
      {"/home/u/b.hpg", "/home/u/", "b.hpg"}, {"b.hpg", "", "b.hpg"}, {"/tmp/", "/tmp/", ""}};
  for (auto [path, dir, name] : cases)
    EXPECT_EQ(SplitPlotPath(path).dir + "|" + SplitPlotPath(path).name,
              dir + ("|" + std::string(name)));
}

}  // namespace
}  // namespace korvid
