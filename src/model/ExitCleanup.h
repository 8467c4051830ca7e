#pragma once

namespace korvid {

// A file or an empty folder that must not outlive the program, however it ends: it goes
// at exit() and on every signal whose default action ends the program (the handler
// removes what is registered, then dies of the same signal, or, where that signal is
// ignored, as the init process of a PID namespace ignores it, ends with 128 + its
// number). A signal someone else handles or ignores is left to them. Named relative to a
// folder descriptor, so the handler needs neither memory nor path look-ups through links.
//
// A name that must not outlive the program is registered before it is made, and made
// inside a Making scope: once a signal has come no new scope opens, and the handler waits
// for those open to close before it removes what is registered, so that no name is made
// behind its back.
class ExitCleanup {
 public:
  enum class Kind { File, Folder };

  class Making {
   public:
    Making();
    ~Making();
    Making(const Making&) = delete;
    Making& operator=(const Making&) = delete;
    // False once the program is ending: nothing may be made any more.
    bool Allowed() const { return allowed_; }

   private:
    bool allowed_;
  };

  // Takes over the ending signals now rather than at the first registration: a program
  // waiting for its input still ends on them when it is a PID namespace's init.
  static void InstallHandlers();
  // Whether a signal is ending the program.
  static bool Ending();
  // Nothing is registered when `name` is too long or every slot is taken (the caller's
  // own clean-up still runs on the ordinary ways out).
  ExitCleanup(int folderFd, const char* name, Kind kind = Kind::File);
  ~ExitCleanup();  // unregisters; removes nothing
  ExitCleanup(const ExitCleanup&) = delete;
  ExitCleanup& operator=(const ExitCleanup&) = delete;

  // Removes everything registered, newest first (files before the folder holding them).
  static void RemoveAll();

 private:
  int slot_ = -1;
};

}  // namespace korvid
