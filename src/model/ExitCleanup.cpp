#include "model/ExitCleanup.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace korvid {

namespace {

struct Slot {
  std::atomic<bool> used{false};  // set last when filled, cleared first when emptied
  std::atomic<unsigned> order{0};
  pid_t owner = 0;  // a forked child must not remove its parent's files
  int folderFd = -1;
  int flags = 0;
  char name[256] = {};
};

// Enough for a batch at its most workers (256), each with its replacement file, and the
// program's own folders.
constexpr int kSlots = 320;
Slot gSlots[kSlots];
std::atomic<unsigned> gNextOrder{1};
std::mutex gClaim;
std::atomic<bool> gEnding{false};
std::atomic<int> gMaking{0};
thread_local int tMaking = 0;  // this thread's own open Making scopes
// How long the handler waits for names being made: a rename or a link takes microseconds;
// a thread stopped for longer (a debugger) does not keep the program from ending.
constexpr long kMakingWaitNanoseconds = 2'000'000'000;
constexpr long kMakingPollNanoseconds = 1'000'000;

// Every signal whose default action ends the program.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,   SIGTRAP,   SIGABRT,
                                  SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV,  SIGUSR2,   SIGPIPE,
                                  SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,  SIGVTALRM, SIGPROF,
                                  SIGSYS,  SIGIO,   SIGPWR,  SIGSTKFLT};

// Waits, with async-signal-safe calls only, until no other thread is making a name.
void WaitForNamesBeingMade() {
  for (long waited = 0; gMaking.load() > tMaking && waited < kMakingWaitNanoseconds;
       waited += kMakingPollNanoseconds) {
    const timespec poll{0, kMakingPollNanoseconds};
    ::nanosleep(&poll, nullptr);
  }
}

void OnEndingSignal(int signalNumber) {
  gEnding.store(true);
  WaitForNamesBeingMade();
  ExitCleanup::RemoveAll();
  // Dies of the signal at once, before any other thread goes on without its files ...
  ::signal(signalNumber, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signalNumber);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signalNumber);
  // ... unless the signal is ignored all the same: a PID namespace's init ignores every
  // signal it has no handler for.
  ::_exit(128 + signalNumber);
}

// Called with gClaim held.
void InstallOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  std::atexit(ExitCleanup::RemoveAll);
  for (int signalNumber : kEndingSignals) {
    struct sigaction current {};
    ::sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler != SIG_DFL) continue;  // someone else's, or ignored
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

}  // namespace

ExitCleanup::Making::Making() {
  gMaking.fetch_add(1);
  ++tMaking;
  allowed_ = !gEnding.load();
}

ExitCleanup::Making::~Making() {
  --tMaking;
  gMaking.fetch_sub(1);
}

void ExitCleanup::InstallHandlers() {
  std::lock_guard<std::mutex> lock(gClaim);
  InstallOnce();
}

bool ExitCleanup::Ending() {
  return gEnding.load();
}

ExitCleanup::ExitCleanup(int folderFd, const char* name, Kind kind) {
  const std::size_t length = std::strlen(name);
  std::lock_guard<std::mutex> lock(gClaim);
  InstallOnce();
  if (length >= sizeof Slot::name) return;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = gSlots[i];
    if (slot.used.load()) continue;
    slot.owner = ::getpid();
    slot.folderFd = folderFd;
    slot.flags = kind == Kind::Folder ? AT_REMOVEDIR : 0;
    std::memcpy(slot.name, name, length + 1);
    slot.order.store(gNextOrder++);
    slot.used.store(true);
    slot_ = i;
    return;
  }
}

ExitCleanup::~ExitCleanup() {
  if (slot_ < 0) return;
  std::lock_guard<std::mutex> lock(gClaim);
  gSlots[slot_].used.store(false);
}

void ExitCleanup::RemoveAll() {
  // Newest first, without allocating: a signal handler runs this.
  const pid_t self = ::getpid();
  unsigned below = ~0u;
  for (;;) {
    int newest = -1;
    unsigned newestOrder = 0;
    for (int i = 0; i < kSlots; ++i) {
      const unsigned order = gSlots[i].order.load();
      if (gSlots[i].used.load() && order < below && order > newestOrder) {
        newest = i;
        newestOrder = order;
      }
    }
    if (newest < 0) return;
    if (gSlots[newest].owner == self)
      ::unlinkat(gSlots[newest].folderFd, gSlots[newest].name, gSlots[newest].flags);
    below = newestOrder;
  }
}

}  // namespace korvid
