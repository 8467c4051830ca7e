// Plot files read whole, bounded, streamed or refused (stdin, 512 MiB: ConvertInput's tests).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "ErrorOf.h"
#include "reader/FindLast.h"
#include "reader/PlotContent.h"
#include "reader/PlotFile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSmallLimit = 16;

// The bytes read, or "error N: the reason".
std::string Load(const std::string& path, FileKinds kinds = FileKinds::FilesAndStreams) {
  try {
    return LoadPlotFileBytes(path, kSmallLimit, kinds);
  } catch (const PlotFileError& failure) {
    return "error " + std::to_string(failure.number()) + ": " + failure.reason().message();
  }
}

TEST(PlotFile, FilesAndStreamsUpToTheLimitAndPaths) {
  const fs::path folder =
      fs::temp_directory_path() / ("korvid-plotfile-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  auto file = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return Load((folder / name).string());
  };
  // A FIFO filled by a second thread: a reader that opens first waits for data, not EOF.
  auto fifo = [&](const std::string& name, const std::string& bytes) {
    const std::string path = (folder / name).string();
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(path, std::ios::binary) << bytes; });
    std::string loaded = Load(path);
    writer.join();
    return loaded;
  };
  const std::string fits(kSmallLimit, ';'), over(kSmallLimit + 1, ';');
  const std::string tooLarge = "error 7: larger than 512 MiB, the most a plot file may hold";
  // The window's read takes regular files only: a FIFO without a writer is refused at once.
  ::mkfifo((folder / "idle").c_str(), 0600);
  std::ofstream(folder / "plain") << "IN;";
  auto forWindow = [&](const char* name) {
    return Load((folder / name).string(), FileKinds::RegularFilesOnly);
  };
  const std::pair<std::function<std::string()>, std::string> cases[] = {
      {[&] { return file("fits", fits); }, fits},
      {[&] { return file("over", over); }, tooLarge},
      {[&] { return file("empty", ""); }, ""},
      {[&] { return fifo("fifo1", "IN;PD1,1;"); }, "IN;PD1,1;"},
      {[&] { return fifo("fifo2", over); }, tooLarge},
      {[] { return Load("/dev/zero"); }, "error 75: a device, not a file"},
      {[&] { return forWindow("idle"); }, "error 75: a device, not a file"},
      {[&] { return forWindow("plain"); }, "IN;"},
      {[&] { return Load(folder.string()); }, "error 75: Is a directory"},
      {[&] { return Load((folder / "none").string()); }, "error 53: No such file or directory"},
      // A file of /proc says it holds nothing whatever it holds: it is read to its end.
      {[] { return Load("/proc/self/comm"); }, "reader_tests\n"},
  };
  for (const auto& [load, expected] : cases)
    EXPECT_EQ(load(), expected);
  fs::remove_all(folder);
  // FindLast gives the 1-based start of the last occurrence; paths split there.
  EXPECT_EQ(FindLast("/a/b.hpg", "/"), 3);
  EXPECT_EQ(FindLast("abcabc", "bc"), 5);
  EXPECT_EQ(testing::ErrorOf([] { FindLast(std::string(40000, 'x') + "/", "/"); }), 6);
  for (const auto& [path, split] : {std::pair("/home/u/b.hpg", "/home/u/|b.hpg"),
                                    std::pair("b.hpg", "|b.hpg"), std::pair("/tmp/", "/tmp/|")})
    EXPECT_EQ(SplitPlotPath(path).dir + "|" + SplitPlotPath(path).name, split);
}

}  // namespace
}  // namespace korvid

namespace korvid {
namespace {

// Nothing, only layout, or mostly bytes no plotter language uses (a program, an image) is
// no plot; text, 8-bit label text and a PCL file's binary raster after its escape may be.
TEST(PlotContent, EmptyOrForeignBytesAreNoPlot) {
  const std::string raster = "\x1b%-12345X@PJL\n\x1b*b4W" + std::string(100, '\0');
  const std::pair<std::string, PlotContent> cases[] = {
      {"", PlotContent::Empty},
      {" \r\n\t\n\f", PlotContent::Empty},
      {"IN;SP1;PD10,10;", PlotContent::MaybePlot},
      {"IN;LB\xb1\xb2\x03\x0e\x0f\x1a;", PlotContent::MaybePlot},
      {raster, PlotContent::MaybePlot},
      {std::string("\x7f"
                   "ELF\2\1\1",
                   7) +
           std::string(50, '\0') + "PD;",
       PlotContent::NotAPlot},
      {"\x89PNG\r\n\x1a\n" + std::string(20, '\x01'), PlotContent::NotAPlot},
      // One foreign byte in a hundred is a stray, not a program.
      {std::string(99, 'P') + '\x01', PlotContent::MaybePlot},
      {std::string(97, 'P') + "\x01\x02\x05", PlotContent::NotAPlot},
  };
  for (const auto& [head, content] : cases)
    EXPECT_EQ(ClassifyPlotContent(head), content) << head.size();
  EXPECT_EQ(ClassifyPlotFile("/nonexistent/plot.hpg"), PlotContent::MaybePlot);
  EXPECT_EQ(ClassifyPlotFile("/dev/zero"), PlotContent::MaybePlot) << "no device is read";
}

}  // namespace
}  // namespace korvid
