#include "reader/PlotReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "model/NumberText.h"
#include "reader/CommandText.h"
#include "reader/Extents.h"
#include "reader/PlotFile.h"
#include "reader/ReadContext.h"

namespace korvid {

namespace {

constexpr char kSemicolon = ';';
constexpr char kLineFeed = '\n';
constexpr char kNoTerminator = 0;

bool Holds(std::string_view text, char c) {
  return std::memchr(text.data(), c, text.size()) != nullptr;
}

std::size_t FindTerminator(std::string_view text, char terminator, std::size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  const void* hit = std::memchr(text.data() + from, terminator, text.size() - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
             : std::string_view::npos;
}

// A line feed that is not the second half of a CR LF pair: one that is still there once
// the pairs are removed. `from` is 0 or just past such a line feed, so the character
// before a line feed found is always the text's own.
std::size_t FindLoneLineFeed(std::string_view text, std::size_t from) {
  for (;;) {
    const std::size_t at = FindTerminator(text, kLineFeed, from);
    if (at == std::string_view::npos || at == 0 || text[at - 1] != '\r') return at;
    from = at + 1;
  }
}

// However many line breaks one command holds, the places of these are kept to tell where
// its instructions stand in the file; beyond them a place is told as if no more followed.
constexpr std::size_t kPairPlacesKept = std::size_t{1} << 20;

// A PG ends the plot; the next plot does not fit the model, so the read ends there.
struct PageAdvance {};

}  // namespace

PlotReader::PlotReader(PlotModel& model, ReaderMessenger& messenger)
    : model_(model), messenger_(messenger) {}

ReadOutcome PlotReader::ReadPlotFile(std::int16_t& status, FileKinds kinds) {
  const std::string path = model_.PlotDir + model_.PlotFileName;
  return Read(status,
              [&path, kinds] { return LoadPlotFileBytes(path, kLargestPlotFileBytes, kinds); });
}

ReadOutcome PlotReader::ReadPlotBytes(std::string bytes, std::int16_t& status) {
  return Read(status, [&bytes] { return std::move(bytes); });
}

void PlotReader::ResetOpenSegment() {
  Segment& first = model_.Segments(1, model_.PlotCount);
  first = Segment{0, 0, 0, 0, state_.CurPen, state_.CurLineStyle};
}

void PlotReader::StartRead() {
  state_.Reset();
  model_.PlotCount = 1;
  ResetOpenSegment();
  ResetExtents(model_, model_.PlotCount);
  skipped_.Clear();
}

ReadOutcome PlotReader::Read(std::int16_t& status, const std::function<std::string()>& load) {
  ReadOutcome outcome;
  StartRead();
  try {
    std::string text = load();
    // ";" splits the file when it holds one anywhere; otherwise line feeds do, once the
    // CR LF pairs are gone. A CR LF pair never spans a terminator, so the pairs are removed
    // command by command: a read that stops early never touches the rest, and every
    // command keeps its place in the file.
    char terminator = kSemicolon;
    if (!Holds(text, kSemicolon)) {
      terminator = FindLoneLineFeed(text, 0) != std::string_view::npos ? kLineFeed : kNoTerminator;
    }
    if (terminator == kNoTerminator) {
      // The counts of the previous read stay as they are.
      messenger_.ShowMessage(kNoTerminatorMessage);
      status = 1;
      outcome.status = 1;
      outcome.end = ReadEnd::NoTerminator;
      return outcome;
    }
    RunCommands(text, terminator, outcome);
  } catch (const PageAdvance&) {
    outcome.end = ReadEnd::PageAdvance;
    outcome.errorNumber = err::kSubscriptOutOfRange;
  } catch (const PlotFileError& failure) {
    outcome.end = ReadEnd::Failure;
    outcome.errorNumber = failure.number();
    outcome.fileError = failure.reason();
  } catch (const RuntimeError& failure) {
    outcome.end = ReadEnd::Failure;
    outcome.errorNumber = failure.number();
  } catch (const std::bad_alloc&) {
    outcome.end = ReadEnd::Failure;
    outcome.errorNumber = err::kOutOfMemory;
  }
  if (outcome.end != ReadEnd::Completed) outcome.commandIndex = outcome.commandCount;
  EndRead(outcome);
  return outcome;
}

void PlotReader::RunCommands(std::string& text, char terminator, ReadOutcome& outcome) {
  const bool pairsLeft = Holds(text, '\r');
  // The command from `from` to `to`, without its CR LF pairs when there are any. The pairs
  // at its start (the line end after the last terminator) are stepped over rather than
  // moved out: removing them would shift the whole command by two bytes. Most commands
  // hold no other CR and are then taken as they stand.
  auto command = [this, &text, pairsLeft](std::size_t from, std::size_t to) {
    char* begin = text.data() + from;
    std::size_t size = to - from;
    removedPairs_.clear();
    if (pairsLeft) {
      while (size >= 2 && begin[0] == '\r' && begin[1] == '\n') {
        begin += 2;
        size -= 2;
      }
      if (Holds(std::string_view(begin, size), '\r'))
        size = RemoveCrLf(begin, size, removedPairs_, kPairPlacesKept);
    }
    commandStart_ = static_cast<std::size_t>(begin - text.data());
    return std::string_view(begin, size);
  };
  auto next = [&text, terminator](std::size_t from) {
    return terminator == kSemicolon ? FindTerminator(text, kSemicolon, from)
                                    : FindLoneLineFeed(text, from);
  };
  std::size_t readPos = 0;
  std::size_t terminatorPos = next(readPos);
  while (terminatorPos != std::string_view::npos) {
    Interpret(command(readPos, terminatorPos), outcome);
    readPos = terminatorPos + 1;
    terminatorPos = next(readPos);
    if (terminatorPos == std::string_view::npos && readPos < text.size()) {
      // A last command without a terminator counts when at least two characters are left.
      const std::string_view rest = command(readPos, text.size());
      if (rest.size() >= 2) Interpret(rest, outcome);
      break;
    }
  }
}

std::int64_t PlotReader::FileOffset(std::size_t inCommand) const {
  const auto pairsBefore = std::upper_bound(removedPairs_.begin(), removedPairs_.end(), inCommand) -
                           removedPairs_.begin();
  return static_cast<std::int64_t>(commandStart_ + inCommand) + 2 * pairsBefore;
}

void PlotReader::Interpret(std::string_view commandText, ReadOutcome& outcome) {
  ++outcome.commandCount;
  CommandText command(commandText);
  ReadContext context{model_, state_, command, outcome};

  // Reads the coordinate list from `position`; true when the rest of the command must be
  // interpreted again as a command of its own.
  auto coordinatesFrom = [&](std::size_t position) {
    state_.ParsePos = position;
    state_.ParseBreak = 0;
    ParseCoordPairs(context);
    if (state_.ParseBreak != 1) return false;
    command.Restart(state_.ParsePos);
    return true;
  };

  for (;;) {
    command.SkipLeadingLayout();
    const std::string_view mnemonic = command.Left(2);
    const std::string_view form = command.Left(4);
    if (mnemonic == "IN") {
      SetAsideDrawing();
      state_.PenDown = 0;
      state_.RelMode = 0;
      state_.RelOrgX = state_.RelOrgY = 0;
      state_.PenX = state_.PenY = 0;
      state_.SegIndex = 1;
      state_.CurPen = 1;
      ResetOpenSegment();
      return;
    }
    if (mnemonic == "DF") {
      state_.PenDown = 0;
      state_.RelMode = 0;
      state_.CurPen = 1;
      state_.RelOrgX = state_.RelOrgY = 0;
      state_.PenX = state_.PenY = 0;
      return;
    }
    if (mnemonic == "PG") AdvancePage();
    if (mnemonic == "SP") {
      state_.CurPen = IntegerValue(command.Slice(2));
      return;
    }
    if (mnemonic == "PA") {
      state_.RelMode = 0;
      if (coordinatesFrom(2)) continue;
      return;
    }
    if (mnemonic == "PR") {
      state_.RelMode = 1;
      if (form == "PRSP") {
        state_.CurPen = IntegerValue(command.Slice(4));
        return;
      }
      if (form == "PRPG") AdvancePage();
      if (form == "PRPU") state_.PenDown = 0;
      if (form == "PRPD") state_.PenDown = 1;
      if (coordinatesFrom(form == "PRPU" || form == "PRPD" ? 4 : 2)) continue;
      return;
    }
    if (mnemonic == "PU") {
      state_.PenDown = 0;
      if (coordinatesFrom(2)) continue;
      return;
    }
    if (mnemonic == "PD") {
      state_.PenDown = 1;
      if (form == "PDPU") state_.PenDown = 0;
      if (coordinatesFrom(form == "PDPD" || form == "PDPU" ? 4 : 2)) continue;
      return;
    }
    if (mnemonic == "CI") {
      state_.ParsePos = 2;
      AddCircle(context);
      return;
    }
    if (mnemonic == "AA" || mnemonic == "AR") {
      state_.ParsePos = 2;
      AddArc(context);
      return;
    }
    if (mnemonic == "LT") {
      SetLineType(context);
      return;
    }
    skipped_.Count(mnemonic,
                   FileOffset(static_cast<std::size_t>(mnemonic.data() - commandText.data())));
    return;
  }
}

void PlotReader::AdvancePage() {
  --state_.SegIndex;
  model_.SegCount[model_.PlotCount] = state_.SegIndex;
  ++model_.PlotCount;
  throw PageAdvance{};
}

void PlotReader::SetAsideDrawing() {
  if (state_.SegIndex <= 1) return;  // IN;IN; keeps the drawing the first IN set aside
  state_.SegCountBeforeIn = state_.SegIndex - 1;
  state_.FirstSegmentBeforeIn = model_.Segments(1, model_.PlotCount);
}

void PlotReader::RestoreDrawingSetAside() {
  if (state_.SegCountBeforeIn == 0 || model_.SegCount[model_.PlotCount] != 0) return;
  model_.SegCount[model_.PlotCount] = state_.SegCountBeforeIn;
  model_.Segments(1, model_.PlotCount) = state_.FirstSegmentBeforeIn;
}

void PlotReader::EndRead(ReadOutcome& outcome) {
  --model_.PlotCount;
  if (model_.PlotCount == 0 && state_.SegIndex != 0) {
    model_.PlotCount = 1;
    model_.SegCount[1] = state_.SegIndex - 1;
  }
  RestoreDrawingSetAside();
  for (std::int16_t plot = 1; plot <= model_.PlotCount; ++plot) {
    try {
      SquareDegenerateExtents(model_, plot);
    } catch (const RuntimeError& failure) {
      // The counts below must still be brought up to date; the extents stay as they were.
      if (outcome.end == ReadEnd::Completed) {
        outcome.end = ReadEnd::Failure;
        outcome.errorNumber = failure.number();
        outcome.commandIndex = outcome.commandCount;
      }
    }
  }
  model_.ArcCount[model_.PlotCount] = std::min(state_.ArcIndex, PlotModel::MaxArcs);
  outcome.skipped = skipped_.Entries();
}

}  // namespace korvid
