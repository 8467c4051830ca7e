// korvid-convert: reads a plotter file exactly as the viewer does and writes what it read.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/ModelDump.h"
#include "model/PlotModel.h"
#include "reader/FindLast.h"
#include "reader/PlotReader.h"

namespace {

constexpr int kExitRead = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: korvid-convert --dump FILE\n"
    "  --dump FILE   read FILE as Korvid does and print the plot model as text\n";

class StderrMessenger : public korvid::ReaderMessenger {
 public:
  void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

int Dump(const std::string& file) {
  auto model = std::make_unique<korvid::PlotModel>();
  const korvid::PlotPath path = korvid::SplitPlotPath(file);
  model->PlotDir = path.dir;
  model->PlotFileName = path.name;
  StderrMessenger messenger;
  korvid::PlotReader reader(*model, messenger);
  std::int16_t status = 0;
  const korvid::ReadOutcome outcome = reader.ReadPlotFile(status);
  if (outcome.fileError) {
    std::cerr << "korvid-convert: cannot read " << file << ": " << outcome.fileError.message()
              << '\n';
    return kExitFailure;
  }
  model->CurPlot = 1;
  korvid::WriteModelDump(stdout, *model, status);
  std::fflush(stdout);
  std::cerr << korvid::DescribeOutcome(outcome);
  return kExitRead;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--dump") == 0) {
    try {
      return Dump(argv[2]);
    } catch (const std::exception& failure) {
      std::cerr << "korvid-convert: " << failure.what() << '\n';
      return kExitFailure;
    }
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return kExitRead;
  }
  std::cerr << kUsage;
  return kExitUsage;
}
