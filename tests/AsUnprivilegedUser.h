#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace korvid::testing {

// Permissions do not bind root, and CI runs the tests as root: the cases about unreadable files
// and read-only folders therefore run as the unprivileged user nobody. Whatever such a case
// touches must be reachable by nobody (folders at least 0711, files it reads 0644).
inline constexpr uid_t kNobody = 65534;

// Gives up root for nobody, for good; a user who is not root keeps who they are. False when
// root's privileges could not be given up.
inline bool DropRootPrivileges() {
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
         ::setresuid(kNobody, kNobody, kNobody) == 0 && ::geteuid() == kNobody;
}

// Runs `body`, which may hold expectations, in a child process that has given up root. The
// test fails when an expectation in the child does.
void AsUnprivilegedUser(auto&& body) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!DropRootPrivileges()) {
      std::fputs("cannot give up root for nobody\n", stderr);
      std::_Exit(2);
    }
    body();
    std::fflush(nullptr);
    std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the part run as an unprivileged user failed (see above)";
}

}  // namespace korvid::testing
