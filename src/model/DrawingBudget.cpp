#include "model/DrawingBudget.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace korvid {

namespace {

thread_local DrawingBudget::Account* tCurrent = nullptr;
// Reading the processor clock is a system call: it is read once in this many checks.
constexpr unsigned kChecksPerClockReading = 4096;
thread_local unsigned tChecks = 0;

double ProcessSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string SpentReason(const DrawingBudget& budget, bool time) {
  if (time) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", budget.LimitSeconds());
    return "the drawing needs more than the " + std::string(seconds) +
           " s of processor time it may take";
  }
  return "the drawing needs more than the " + std::to_string(budget.LimitBytes() >> 20) +
         " MiB of memory it may take";
}

}  // namespace

DrawingBudget::DrawingBudget(std::size_t bytes, double seconds)
    : limitBytes_(bytes), limitSeconds_(seconds) {}

void DrawingBudget::CheckSeconds() const {
  if (limitSeconds_ > 0 && ProcessSeconds() > limitSeconds_)
    throw DrawingBudgetSpent(*this, true, true);
}

DrawingBudget::Account::Account(DrawingBudget& budget) : budget_(budget), previous_(tCurrent) {
  tCurrent = this;
}

DrawingBudget::Account::~Account() {
  budget_.used_.fetch_sub(taken_.load());
  tCurrent = previous_;
}

void DrawingBudget::Account::Take(std::size_t bytes) {
  budget_.CheckSeconds();
  std::size_t used = budget_.used_.load();
  do {
    if (bytes > budget_.limitBytes_ - used) {
      // Alone when everything taken is this drawing's: waiting for others would not help.
      throw DrawingBudgetSpent(budget_, false, used == taken_.load());
    }
  } while (!budget_.used_.compare_exchange_weak(used, used + bytes));
  taken_.fetch_add(bytes);
  std::size_t peak = budget_.peak_.load();
  while (used + bytes > peak && !budget_.peak_.compare_exchange_weak(peak, used + bytes)) {
  }
}

void DrawingBudget::Account::Give(std::size_t bytes) {
  taken_.fetch_sub(bytes);
  budget_.used_.fetch_sub(bytes);
}

DrawingBudget::Use::Use(Account* account) : previous_(tCurrent) {
  tCurrent = account;
}

DrawingBudget::Use::~Use() {
  tCurrent = previous_;
}

DrawingBudget::Hold::Hold(std::size_t bytes) : account_(tCurrent), bytes_(bytes) {
  if (account_ != nullptr) account_->Take(bytes);
}

DrawingBudget::Hold::~Hold() {
  if (account_ != nullptr) account_->Give(bytes_);
}

DrawingBudget::Account* DrawingBudget::Current() {
  return tCurrent;
}

void DrawingBudget::Charge(std::size_t bytes) {
  if (tCurrent != nullptr) tCurrent->Take(bytes);
}

void AdviseLargePages(const void* data, std::size_t bytes) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  if (bytes < 2 * kLargePage) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t end = (begin + bytes) / page * page;
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

void DrawingBudget::CheckTime() {
  if (tCurrent != nullptr && ++tChecks % kChecksPerClockReading == 0)
    tCurrent->Budget().CheckSeconds();
}

std::size_t DrawingBudget::Room() {
  if (tCurrent == nullptr) return SIZE_MAX;
  const DrawingBudget& budget = tCurrent->Budget();
  const std::size_t used = budget.UsedBytes();
  return used < budget.LimitBytes() ? budget.LimitBytes() - used : 0;
}

DrawingBudgetSpent::DrawingBudgetSpent(const DrawingBudget& budget, bool time, bool alone)
    : RuntimeError(err::kPictureTooLarge, SpentReason(budget, time)),
      time_(time),
      alone_(alone),
      reason_(SpentReason(budget, time)) {}

}  // namespace korvid
