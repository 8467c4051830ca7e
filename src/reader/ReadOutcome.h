#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "model/MnemonicTally.h"

namespace korvid {

// How a read ended. Completed: the whole text was interpreted. NoTerminator: the file
// holds neither ";" nor a line feed and nothing was read. PageAdvance: a PG ended the
// read (the next plot does not fit the model). Failure: a run-time error ended it.
enum class ReadEnd { Completed, NoTerminator, PageAdvance, Failure };

// A command the reader skipped: its first two characters, as written.
using SkippedMnemonic = MnemonicCount;

// What a read tells beyond the model, so that nothing is left out silently.
struct ReadOutcome {
  std::int16_t status = 0;  // 1 when the file holds no terminator
  ReadEnd end = ReadEnd::Completed;
  int errorNumber = 0;            // the run-time error that ended the read, if any
  std::int64_t commandIndex = 0;  // 1-based command where it stopped; 0 = before the first
  bool segmentCapacityReached = false;
  bool arcCapacityReached = false;
  std::error_code fileError;  // why the file could not be opened or read, if it could not
  std::vector<SkippedMnemonic> skipped;  // in order of first appearance
  std::int64_t commandCount = 0;         // commands interpreted, the last one included

  bool EndedThroughFailure() const {
    return end == ReadEnd::PageAdvance || end == ReadEnd::Failure;
  }
  bool CapacityReached() const { return segmentCapacityReached || arcCapacityReached; }
};

}  // namespace korvid
