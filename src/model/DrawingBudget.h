#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "model/RuntimeError.h"

namespace korvid {

// What drawing a plot may take on its whole road from the model to the pixels: the
// standard reading's model with its flattened curves, the metafile's bytes, the display
// list, the images and what the writers make of them, in bytes; and, where it is limited,
// the processor time of the whole program. The converter draws within kConverterBytes,
// shared by all the workers of a batch; a thumbnail within kThumbnailBytes and
// kThumbnailSeconds of its own, so that a file manager gets no thumbnail (and shows its
// own icon) rather than a machine brought to a halt; the window within kWindowBytes.
//
// A drawing takes what it needs through the Account in force on its thread, which gives
// everything back when the drawing is done; a thread that works for the same drawing puts
// the account in force with a Use. Where no account is in force nothing is counted.
class DrawingBudget {
 public:
  static constexpr std::size_t kConverterBytes = std::size_t{2} << 30;
  static constexpr std::size_t kWindowBytes = std::size_t{2} << 30;
  static constexpr std::size_t kThumbnailBytes = std::size_t{256} << 20;
  static constexpr double kThumbnailSeconds = 2;

  // `seconds` 0: the processor time is not limited.
  explicit DrawingBudget(std::size_t bytes, double seconds = 0);
  DrawingBudget(const DrawingBudget&) = delete;
  DrawingBudget& operator=(const DrawingBudget&) = delete;

  std::size_t LimitBytes() const { return limitBytes_; }
  double LimitSeconds() const { return limitSeconds_; }
  // Bytes taken by all accounts now.
  std::size_t UsedBytes() const { return used_.load(); }
  // The most taken at once so far.
  std::size_t PeakBytes() const { return peak_.load(); }

  // One drawing's share: in force on the thread that makes it for as long as it lives.
  class Account {
   public:
    explicit Account(DrawingBudget& budget);
    ~Account();
    Account(const Account&) = delete;
    Account& operator=(const Account&) = delete;

    // Error 480 (DrawingBudgetSpent) when `bytes` more do not fit, or the time is up.
    void Take(std::size_t bytes);
    void Give(std::size_t bytes);
    std::size_t Taken() const { return taken_.load(); }
    DrawingBudget& Budget() const { return budget_; }

   private:
    DrawingBudget& budget_;
    std::atomic<std::size_t> taken_{0};
    Account* previous_;
  };

  // `account` in force on this thread while it lives (none: nothing is counted).
  class Use {
   public:
    explicit Use(Account* account);
    ~Use();
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

   private:
    Account* previous_;
  };

  // Bytes taken from the account in force for as long as the hold lives.
  class Hold {
   public:
    explicit Hold(std::size_t bytes);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    Account* account_;
    std::size_t bytes_;
  };

  // The account in force on this thread, or none.
  static Account* Current();
  // Takes `bytes` for good (until the account ends) from the account in force, if any.
  static void Charge(std::size_t bytes);
  // Error 480 once the processor time is up; cheap enough to call for every item drawn.
  static void CheckTime();
  // Bytes the account in force may still take; SIZE_MAX without one.
  static std::size_t Room();

 private:
  void CheckSeconds() const;

  const std::size_t limitBytes_;
  const double limitSeconds_;
  std::atomic<std::size_t> used_{0};
  std::atomic<std::size_t> peak_{0};
};

// Asks for the pages of a large buffer just made to come in large pages: a drawing's lists
// of lines are tens of megabytes, and the faults of their small pages cost a good share of
// drawing them. Only advice: the buffer works the same where the system ignores it.
void AdviseLargePages(const void* data, std::size_t bytes);

// Room in `items` for `more` beyond what it holds, its growth taken from the account in
// force first: doubling, as a vector grows by itself, while it is small; by a quarter once
// it is large, so that what is taken stays near what is used.
template <typename Vector>
void ReserveCounted(Vector& items, std::size_t more) {
  constexpr std::size_t kItem = sizeof(typename Vector::value_type);
  constexpr std::size_t kLargeBytes = std::size_t{64} << 20;
  const std::size_t wanted = items.size() + more;
  const std::size_t capacity = items.capacity();
  if (wanted <= capacity) return;
  const std::size_t step = capacity * kItem >= kLargeBytes ? capacity / 4 : capacity;
  const std::size_t grown = wanted > capacity + step ? wanted : capacity + step;
  DrawingBudget::Charge((grown - capacity) * kItem);
  // The old buffer lives beside the new one until its items have moved.
  const DrawingBudget::Hold moving(capacity * kItem);
  items.reserve(grown);
  AdviseLargePages(items.data(), grown * kItem);
}

// Error 480 ("picture too large"): the drawing needs more than its budget allows.
class DrawingBudgetSpent : public RuntimeError {
 public:
  DrawingBudgetSpent(const DrawingBudget& budget, bool time, bool alone);

  // The processor time ran out rather than the bytes.
  bool Time() const { return time_; }
  // Nothing else held any of the budget: the drawing alone is too large for it.
  bool Alone() const { return alone_; }
  // "the drawing needs more than the 2048 MiB it may take" and the like.
  const std::string& Reason() const { return reason_; }

 private:
  bool time_;
  bool alone_;
  std::string reason_;
};

}  // namespace korvid
