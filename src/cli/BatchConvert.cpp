#include "cli/BatchConvert.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "cli/FileIdentity.h"
#include "model/ShownName.h"

namespace korvid {

namespace {

namespace fs = std::filesystem;

std::string OutputName(const std::string& input, const std::string& format) {
  const std::string stem = input == "-" ? "stdin" : fs::path(input).stem().string();
  return (stem.empty() ? std::string("plot") : stem) + "." + format;
}

// Inputs by device and inode: an output that is one of them would destroy a plot.
class InputFiles {
 public:
  explicit InputFiles(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
      if (const std::optional<FileIdentity> file = IdentityOf(input, true))
        files_.emplace(*file, input);
    }
  }

  // The input that `output` names, or nothing.
  const std::string* Named(const std::string& output) const {
    const std::optional<FileIdentity> file = IdentityOf(output, false);
    if (!file) return nullptr;
    const auto found = files_.find(*file);
    return found == files_.end() ? nullptr : &found->second;
  }

 private:
  std::map<FileIdentity, std::string> files_;
};

// Lets the jobs of a batch share its drawing budget, and a job that did not fit beside the
// others run again alone: whether a file is drawn never depends on what else was being
// drawn at the time.
class BudgetTurns {
 public:
  void BeginShared() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !alone_ && waitingAlone_ == 0; });
    ++sharing_;
  }
  void EndShared() {
    const std::lock_guard lock(mutex_);
    --sharing_;
    changed_.notify_all();
  }
  void BeginAlone() {
    std::unique_lock lock(mutex_);
    ++waitingAlone_;
    changed_.wait(lock, [this] { return !alone_ && sharing_ == 0; });
    --waitingAlone_;
    alone_ = true;
  }
  void EndAlone() {
    const std::lock_guard lock(mutex_);
    alone_ = false;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int sharing_ = 0;
  int waitingAlone_ = 0;
  bool alone_ = false;
};

// Writes the lines of the workers one at a time, and keeps the progress line below them.
class BatchReport {
 public:
  BatchReport(std::FILE* out, bool progress, std::size_t total)
      : out_(out), progress_(progress), total_(total) {}

  void Finished(const PlannedJob& planned, const ConvertOutcome& outcome) {
    std::string line;
    const ConvertJob& job = planned.job;
    if (outcome.done) {
      line = ShownName(job.input) + " -> " + ShownName(job.output);
    } else {
      line = "failed: " + (planned.refusal.empty() ? outcome.failure : planned.refusal);
    }
    std::string notes = outcome.notes;
    while (!notes.empty() && notes.back() == '\n')
      notes.pop_back();
    if (!notes.empty()) {
      std::string joined;
      for (char c : notes)
        joined += c == '\n' ? std::string("; ") : std::string(1, c);
      line += " (" + joined + ")";
    }
    const std::lock_guard lock(mutex_);
    ++finished_;
    if (!outcome.done) ++failed_;
    std::fprintf(out_, "%s%s\n", progress_ ? "\r\033[K" : "", line.c_str());
    if (progress_ && finished_ < total_)
      std::fprintf(out_, "[%zu/%zu] %zu failed", finished_, total_, failed_);
    std::fflush(out_);
  }

  std::size_t Failed() const { return failed_; }

 private:
  std::FILE* out_;
  bool progress_;
  std::size_t total_;
  std::mutex mutex_;
  std::size_t finished_ = 0;
  std::size_t failed_ = 0;
};

}  // namespace

std::vector<PlannedJob> PlanBatch(const ConvertOptions& options) {
  const ExportFormat format = *ExportFormatOf("plot." + options.format);
  std::vector<PlannedJob> planned;
  std::map<std::string, std::string> takenBy;  // output path -> input
  const InputFiles inputs(options.inputs);
  for (const std::string& input : options.inputs) {
    PlannedJob next;
    ConvertJob& job = next.job;
    job.input = input;
    job.format = format;
    job.rotation = options.rotation;
    job.mono = options.mono;
    job.widthPx = options.widthPx;
    job.dpi = options.dpi;
    job.reading = options.standard ? Reading::Standard : Reading::Own;
    job.page = options.page;
    job.pens = options.pens;
    job.sheet = options.sheet;
    job.output =
        options.outputFolder == "-"
            ? "-"
            : (fs::path(options.outputFolder) / OutputName(input, options.format)).string();
    if (job.output != "-") {
      const std::string key = fs::path(job.output).lexically_normal().string();
      if (const auto taken = takenBy.find(key); taken != takenBy.end()) {
        next.refusal = ShownName(input) + ": " + ShownName(job.output) +
                       " is already the drawing of " + ShownName(taken->second);
      } else if (const std::string* replaced = inputs.Named(job.output)) {
        next.refusal = ShownName(input) + ": " + ShownName(job.output) +
                       " would replace the input " + ShownName(*replaced);
      } else {
        takenBy.emplace(key, input);
      }
    }
    planned.push_back(std::move(next));
  }
  return planned;
}

int RunBatch(const ConvertOptions& options, std::FILE* report, bool progress) {
  const auto started = std::chrono::steady_clock::now();
  if (options.outputFolder != "-") {
    std::error_code error;
    fs::create_directories(options.outputFolder, error);
    if (error || !fs::is_directory(options.outputFolder)) {
      std::fprintf(report, "korvid-convert: no output folder %s: %s\n",
                   ShownName(options.outputFolder).c_str(),
                   error ? error.message().c_str() : "not a folder");
      return 1;
    }
  }
  std::vector<PlannedJob> planned = PlanBatch(options);
  DrawingBudget budget(options.memoryMiB > 0 ? static_cast<std::size_t>(options.memoryMiB) << 20
                                             : DrawingBudget::kConverterBytes);
  for (PlannedJob& plan : planned)
    plan.job.budget = &budget;
  BudgetTurns turns;
  BatchReport lines(report, progress, planned.size());
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < planned.size(); i = next++) {
      ConvertOutcome outcome;
      if (planned[i].refusal.empty()) {
        turns.BeginShared();
        outcome = RunConvertJob(planned[i].job);
        turns.EndShared();
        if (outcome.budgetShared) {
          turns.BeginAlone();
          outcome = RunConvertJob(planned[i].job);
          turns.EndAlone();
        }
      }
      lines.Finished(planned[i], outcome);
    }
  };
  const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t workers = std::min(
      planned.size(), options.jobs > 0 ? static_cast<std::size_t>(options.jobs) : processors);
  std::vector<std::jthread> threads;
  for (std::size_t i = 1; i < workers; ++i)
    threads.emplace_back(work);
  work();
  threads.clear();

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(report, "%skorvid-convert: %zu of %zu files drawn, %zu failed, %.2f s\n",
               progress ? "\r\033[K" : "", planned.size() - lines.Failed(), planned.size(),
               lines.Failed(), seconds);
  return lines.Failed() == 0 ? 0 : 1;
}

}  // namespace korvid
