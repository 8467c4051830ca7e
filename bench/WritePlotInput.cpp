// Writes the generated benchmark plots to files, to look at them or to feed them to
// korvid-convert: korvid_bench_input max|huge FILE
#include <cstdio>
#include <cstring>
#include <fstream>

#include "PlotInput.h"

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "max") != 0 && std::strcmp(argv[1], "huge") != 0)) {
    std::fputs("usage: korvid_bench_input max|huge FILE\n", stderr);
    return 2;
  }
  const bool max = std::strcmp(argv[1], "max") == 0;
  const korvid::bench::PlotInput plot =
      max ? korvid::bench::GenerateMaxPlot() : korvid::bench::GenerateHugePlot();
  std::ofstream file(argv[2], std::ios::binary);
  file.write(plot.text.data(), static_cast<std::streamsize>(plot.text.size()));
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%zu bytes, %lld segments, %lld arcs, %lld commands\n", plot.text.size(),
              static_cast<long long>(plot.segments), static_cast<long long>(plot.arcs),
              static_cast<long long>(plot.commands));
  return 0;
}
