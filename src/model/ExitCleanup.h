#pragma once

namespace korvid {

// A file or an empty folder that must not outlive the program, however it ends: it goes
// at exit() and on every signal whose default action ends the program (the handler
// removes what is registered, then dies of the same signal). A signal someone else
// handles or ignores is left to them. Named relative to a folder descriptor, so the
// handler needs neither memory nor path look-ups through links.
class ExitCleanup {
 public:
  enum class Kind { File, Folder };
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
