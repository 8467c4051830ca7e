#pragma once

#include "model/PlotModel.h"
#include "reader/CommandText.h"
#include "reader/ReadOutcome.h"
#include "reader/ReaderState.h"

namespace korvid {

// What the command interpreters work on while one command is read.
struct ReadContext {
  PlotModel& model;
  ReaderState& state;
  CommandText& command;
  ReadOutcome& outcome;
};

// Reads the coordinate list of PA, PR, PU, PD and their combined forms from
// state.ParsePos: each pair moves the pen and, with the pen down, completes a segment.
// Sets state.ParseBreak when the list stops at text that is not a number; ParsePos then
// points at that text.
void ParseCoordPairs(ReadContext& context);

// CI: a full circle around the pen position.
void AddCircle(ReadContext& context);

// AA (absolute centre) and AR (centre relative to the pen): an arc through the pen position.
void AddArc(ReadContext& context);

// LT: the line style for the elements that follow.
void SetLineType(ReadContext& context);

}  // namespace korvid
