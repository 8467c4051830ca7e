#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/ConvertJob.h"
#include "cli/ConvertOptions.h"

namespace korvid {

// The job of each input of a batch: its output in the output folder under the input's
// name with the format's extension. Inputs whose output would be another input's output,
// or the input itself, get an empty output and the reason in `refusal`.
struct PlannedJob {
  ConvertJob job;
  std::string refusal;
};
std::vector<PlannedJob> PlanBatch(const ConvertOptions& options);

// Converts every input of the options on `jobs` workers, reporting one line a file and a
// summary to `report` (with a progress line when `progress` is set). Returns the exit
// status: 0 when all were drawn, 1 otherwise.
int RunBatch(const ConvertOptions& options, std::FILE* report, bool progress);

}  // namespace korvid
