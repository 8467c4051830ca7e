#include "model/ExitCleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

constexpr int kSlots = 32;
Slot gSlots[kSlots];
std::atomic<unsigned> gNextOrder{1};
std::mutex gClaim;

// Every signal whose default action ends the program.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,   SIGTRAP,   SIGABRT,
                                  SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV,  SIGUSR2,   SIGPIPE,
                                  SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,  SIGVTALRM, SIGPROF,
                                  SIGSYS,  SIGIO,   SIGPWR,  SIGSTKFLT};

void OnEndingSignal(int signalNumber) {
  const int savedErrno = errno;
  ExitCleanup::RemoveAll();
  errno = savedErrno;
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

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
