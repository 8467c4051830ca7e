// Where an instance keeps its plot metafile, that no one else can reach it, and that
// nothing stays behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "AsUnprivilegedUser.h"
#include "RenderTestSupport.h"
#include "render/DrawPlot.h"
#include "render/PlotMetafile.h"

namespace korvid::testing {
namespace {

namespace fs = std::filesystem;

// Someone else on the machine: the tests run as root, so they can hand a folder over.
constexpr uid_t kOtherUser = 4242;

// The exit status of a child running `body`.
int InChild(auto&& body) {
  const pid_t child = ::fork();
  if (child == 0) _exit(body());
  int status = -1;
  ::waitpid(child, &status, 0);
  return status;
}

class PlotMetafileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(base); }
  void TearDown() override { fs::remove_all(base); }
  std::size_t FoldersInBase() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(base), {}));
  }
  // An instance that dies by `signal` once its drawing is there.
  void InstanceKilledBy(int signal) {
    const int status = InChild([&] {
      PlotMetafile metafile(base.string());
      std::ofstream(metafile.Path()) << "drawing";
      return std::raise(signal);
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
  }

  fs::path base =
      fs::temp_directory_path() / ("korvid-base-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(PlotMetafileTest, EachInstanceHasAPrivateFolderThatGoesWithIt) {
  std::string folder;
  {
    const mode_t previous = ::umask(0);  // the folder is private whatever the umask says
    PlotMetafile first(base.string()), second(base.string());
    ::umask(previous);
    EXPECT_NE(first.Folder(), second.Folder());
    EXPECT_EQ(fs::path(first.Path()), fs::path(first.Folder()) / "enhmetafile.emf");
    EXPECT_EQ(fs::status(first.Folder()).permissions(), fs::perms::owner_all);
    folder = first.Folder();
    std::ofstream(first.Path()) << "drawing";
    first.Remove();
    EXPECT_FALSE(fs::exists(first.Path()));
    EXPECT_TRUE(fs::is_directory(folder)) << "Remove keeps the folder";
  }
  EXPECT_FALSE(fs::exists(folder));
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE}) {
    InstanceKilledBy(signal);
    EXPECT_EQ(FoldersInBase(), 0u) << "signal " << signal;
  }
}

TEST_F(PlotMetafileTest, OnlyFoldersOfKilledInstancesAreSwept) {
  InstanceKilledBy(SIGKILL);  // nothing can clean up after this
  ASSERT_EQ(FoldersInBase(), 1u);
  PlotMetafile live(base.string());
  for (const char* folder : {"korvid-without-lock", "korvid-of-another", "elsewhere"})
    fs::create_directory(base / folder);
  for (const char* lock : {"korvid-of-another/lock", "elsewhere/lock"})
    std::ofstream(base / lock);
  std::ofstream(base / "elsewhere" / "enhmetafile.emf") << "keep";
  ASSERT_EQ(::chown((base / "korvid-of-another").c_str(), kOtherUser, kOtherUser), 0);
  fs::create_directory_symlink(base / "elsewhere", base / "korvid-link");

  PlotMetafile next(base.string());
  for (const char* kept : {"korvid-without-lock", "korvid-of-another", "korvid-link"})
    EXPECT_TRUE(fs::exists(fs::symlink_status(base / kept))) << kept;
  EXPECT_EQ(Slurp(base / "elsewhere" / "enhmetafile.emf"), "keep");
  EXPECT_TRUE(fs::is_directory(live.Folder()));
  EXPECT_EQ(FoldersInBase(), 6u) << "the killed instance's folder is gone, nothing else";

  // Liveness is the lock, not the process number: a sweep from another PID namespace,
  // where this process cannot be seen, leaves it alone.
  const int status = InChild([&] {
    if (::unshare(CLONE_NEWPID) != 0) return 77;
    const int sweep = InChild([&] {  // process 1 of the new namespace
      if (::kill(::getppid(), 0) == 0 && ::getpid() != 1) return 78;
      PlotMetafile sweeper(base.string());
      return 0;
    });
    return WIFEXITED(sweep) ? WEXITSTATUS(sweep) : 1;
  });
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no PID namespaces here";
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::exists(fs::path(live.Folder()) / "lock"));
}

TEST_F(PlotMetafileTest, RuntimeFolderIsUsedOnlyWhenOwnAndPrivate) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string previous = saved ? saved : "";
  const uid_t me = ::geteuid();
  for (const auto& [what, mode, owner, link, chosen] :
       {std::tuple("own and private", 0700, me, false, true),
        {"open to others", 0755, me, false, false},
        {"open to the group", 0770, me, false, false},
        {"another user's", 0700, kOtherUser, false, false},
        {"a link to another user's", 0700, kOtherUser, true, false}}) {
    const fs::path target = base / (std::string("runtime-") + what);
    const fs::path runtime = link ? base / (std::string("link-") + what) : target;
    fs::create_directory(target);
    ASSERT_EQ(::chmod(target.c_str(), mode) | ::chown(target.c_str(), owner, owner), 0);
    if (link) fs::create_directory_symlink(target, runtime);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(PlotMetafile::DefaultBaseFolder() == runtime.string(), chosen) << what;
  }
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(PlotMetafile::DefaultBaseFolder(), fs::temp_directory_path().string());
  if (saved) ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
}

// The temporary folder ($TMPDIR) is used only where no one else can take away or swap what
// is made in it; else /tmp.
TEST_F(PlotMetafileTest, TemporaryFolderIsUsedOnlyWhereNoOneElseCanSwapWhatIsMadeInIt) {
  const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  const char* savedTemporary = std::getenv("TMPDIR");
  const std::string runtime = savedRuntime ? savedRuntime : "";
  const std::string temporary = savedTemporary ? savedTemporary : "";
  ::unsetenv("XDG_RUNTIME_DIR");
  const uid_t me = ::geteuid();
  for (const auto& [what, mode, owner, chosen] :
       {std::tuple("own, written by no one else", 0755, me, true),
        {"own and private", 0700, me, true},
        {"writable by the group", 0775, me, false},
        {"writable by anyone", 0777, me, false},
        {"sticky and own", 01777, me, true},
        {"another user's", 0755, kOtherUser, false},
        {"sticky and another user's", 01777, kOtherUser, false}}) {
    const fs::path folder = base / (std::string("tmp-") + what);
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), owner, owner) | ::chmod(folder.c_str(), mode), 0);
    ::setenv("TMPDIR", folder.c_str(), 1);
    const std::string used = PlotMetafile::DefaultBaseFolder();
    EXPECT_EQ(used, chosen ? folder.string() : std::string("/tmp")) << what;
    PlotMetafile metafile;
    EXPECT_EQ(fs::path(metafile.Folder()).parent_path(), fs::path(used)) << what;
  }
  savedTemporary ? ::setenv("TMPDIR", temporary.c_str(), 1) : ::unsetenv("TMPDIR");
  if (savedRuntime) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

// While the runtime folder's name is swapped again and again between the user's private
// folder and a link to another user's, the folder checked is the folder used: nothing is
// ever made in the other user's.
TEST_F(PlotMetafileTest, RuntimeFolderSwappedForALinkIsNeverUsedThroughIt) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string previous = saved ? saved : "";
  const fs::path other = base / "other", name = base / "runtime", link = base / "link";
  fs::create_directory(name);
  fs::create_directory(other);
  ASSERT_EQ(::chmod(name.c_str(), 0700) | ::chmod(other.c_str(), 0700), 0);
  ASSERT_EQ(::chown(other.c_str(), kOtherUser, kOtherUser), 0);
  fs::create_directory_symlink(other, link);
  ::setenv("XDG_RUNTIME_DIR", name.c_str(), 1);
  std::atomic<bool> done{false};
  // One exchange a swap: the name is always there, a folder or a link.
  std::thread attacker([&] {
    while (!done)
      ::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE);
  });
  int intrusions = 0;
  for (int i = 0; i < 500; ++i) {
    try {
      PlotMetafile metafile;
      intrusions += !fs::is_empty(other);  // while it lives: its folder goes with it
    } catch (const RuntimeError&) {
    }
  }
  done = true;
  attacker.join();
  EXPECT_EQ(intrusions, 0) << "instances that made their folder in another user's";
  saved ? ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

// As a hostile user tried it: while drawings are written and read back, the metafile and
// its folder are swapped for links again and again. Nothing may be read or written
// through a link.
TEST_F(PlotMetafileTest, LinksSwappedInDuringDrawingsAreNeverFollowed) {
  const std::unique_ptr<PlotModel> model = ReadPlot("PU0,0;PD1000,500;");
  PlotMetafile metafile(base.string());
  const fs::path secret = base / "secret", decoy = base / "decoy", moved = base / "moved";
  const fs::path folder = metafile.Folder();
  std::ofstream(secret) << "root only, never to be copied";
  fs::create_directory(decoy);
  std::atomic<bool> done{false};
  std::thread attacker([&] {
    std::error_code ignored;
    for (int round = 0; round < 20000 && !done; ++round) {
      if (round % 2 == 0) {
        fs::remove(metafile.Path(), ignored);
        fs::create_symlink(secret, metafile.Path(), ignored);
      } else {
        fs::rename(folder, moved, ignored);
        fs::create_directory_symlink(decoy, folder, ignored);
        fs::remove(folder, ignored);
        fs::rename(moved, folder, ignored);
      }
    }
  });
  int pictures = 0;
  for (int drawing = 0; drawing < 300; ++drawing) {
    try {  // a link in the way fails the load; it never reads what the link names
      DrawPlot(*SourceOfModel(*model), {}, metafile.File());
      const MetafilePicture picture = MetafilePicture::LoadFile(metafile.File());
      EXPECT_EQ(picture.Description().left(6), QStringLiteral("***** "));
      ++pictures;
    } catch (const RuntimeError&) {
    }
  }
  done = true;
  attacker.join();
  EXPECT_EQ(Slurp(secret), "root only, never to be copied");
  EXPECT_TRUE(fs::is_empty(decoy));
  EXPECT_GT(pictures, 0);
}

TEST_F(PlotMetafileTest, UnwritableBaseFolderIsError70) {
  fs::permissions(base, fs::perms(0555));
  AsUnprivilegedUser(
      [&] { EXPECT_EQ(ErrorOf([&] { PlotMetafile metafile(base.string()); }), 70); });
  fs::permissions(base, fs::perms::owner_all);
}

}  // namespace
}  // namespace korvid::testing
