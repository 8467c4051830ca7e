// Where an instance keeps its plot metafile, that no one else can reach it, and that
// nothing stays behind.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "model/PlotModel.h"
#include "model/RuntimeError.h"
#include "render/DrawPlot.h"
#include "render/MetafilePicture.h"
#include "render/PlotMetafile.h"

namespace korvid {
namespace {

namespace fs = std::filesystem;

// Someone else on the machine: the tests run as root in CI, so they can hand a folder
// over to another user.
constexpr uid_t kOtherUser = 4242;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PlotMetafileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() /
           ("korvid-base-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(base);
  }
  void TearDown() override { fs::remove_all(base); }
  std::size_t FoldersInBase() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(base), {}));
  }
  // A child that makes an instance, then dies by `signal` once the drawing is there.
  void InstanceKilledBy(int signal) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      PlotMetafile metafile(base.string());
      std::ofstream(metafile.Path()) << "drawing";
      std::raise(signal);
      _exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
  }

  fs::path base;
};

TEST_F(PlotMetafileTest, EachInstanceHasAPrivateFolder) {
  const mode_t previous = ::umask(0);  // the folder is private whatever the umask says
  PlotMetafile first(base.string());
  PlotMetafile second(base.string());
  ::umask(previous);
  EXPECT_NE(first.Folder(), second.Folder());
  EXPECT_EQ(fs::path(first.Path()).filename(), "enhmetafile.emf");
  EXPECT_EQ(fs::path(first.Path()).parent_path(), first.Folder());
  EXPECT_EQ(fs::status(first.Folder()).permissions(), fs::perms::owner_all);
}

TEST_F(PlotMetafileTest, FolderGoesWithTheInstanceAndRemoveKeepsIt) {
  std::string folder;
  {
    PlotMetafile metafile(base.string());
    folder = metafile.Folder();
    std::ofstream(metafile.Path()) << "drawing";
    metafile.Remove();
    EXPECT_FALSE(fs::exists(metafile.Path()));
    EXPECT_TRUE(fs::is_directory(folder));
  }
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(PlotMetafileTest, EndingSignalsStillRemoveTheFolder) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE}) {
    InstanceKilledBy(signal);
    EXPECT_EQ(FoldersInBase(), 0u) << "signal " << signal;
  }
}

TEST_F(PlotMetafileTest, OnlyFoldersOfKilledInstancesAreSwept) {
  InstanceKilledBy(SIGKILL);  // nothing can clean up after this
  ASSERT_EQ(FoldersInBase(), 1u);
  PlotMetafile live(base.string());
  fs::create_directory(base / "korvid-without-lock");
  fs::create_directory(base / "korvid-of-another");
  std::ofstream(base / "korvid-of-another" / "lock");
  fs::create_directory(base / "elsewhere");
  std::ofstream(base / "elsewhere" / "lock");
  std::ofstream(base / "elsewhere" / "enhmetafile.emf") << "keep";
  ASSERT_EQ(::chown((base / "korvid-of-another").c_str(), kOtherUser, kOtherUser), 0);
  fs::create_directory_symlink(base / "elsewhere", base / "korvid-link");

  PlotMetafile next(base.string());
  for (const char* kept : {"korvid-without-lock", "korvid-of-another", "korvid-link"}) {
    EXPECT_TRUE(fs::exists(fs::symlink_status(base / kept))) << kept;
  }
  EXPECT_EQ(Slurp(base / "elsewhere" / "enhmetafile.emf"), "keep");
  EXPECT_TRUE(fs::is_directory(live.Folder()));
  EXPECT_EQ(FoldersInBase(), 6u) << "the killed instance's folder is gone, nothing else";
}

// Liveness is the lock, not the process number: a sweep from another PID namespace,
// where this process cannot be seen, leaves it alone.
TEST_F(PlotMetafileTest, LiveInstanceUnseenFromAnotherPidNamespaceSurvivesASweep) {
  PlotMetafile live(base.string());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::unshare(CLONE_NEWPID) != 0) _exit(77);
    const pid_t sweeper = ::fork();  // process 1 of the new namespace
    if (sweeper == 0) {
      if (::kill(::getppid(), 0) == 0 && ::getpid() != 1) _exit(78);
      PlotMetafile next(base.string());
      _exit(0);
    }
    int status = 0;
    ::waitpid(sweeper, &status, 0);
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no PID namespaces here";
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::is_directory(live.Folder()));
  EXPECT_TRUE(fs::exists(fs::path(live.Folder()) / "lock"));
}

TEST_F(PlotMetafileTest, RuntimeFolderIsUsedOnlyWhenOwnAndPrivate) {
  struct Case {
    const char* what;
    mode_t mode;
    uid_t owner;
    bool link;
    bool chosen;
  };
  const Case cases[] = {
      {"own and private", 0700, ::geteuid(), false, true},
      {"open to others", 0755, ::geteuid(), false, false},
      {"open to the group", 0770, ::geteuid(), false, false},
      {"another user's", 0700, kOtherUser, false, false},
      {"a link to another user's", 0700, kOtherUser, true, false},
  };
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string previous = saved ? saved : "";
  for (const Case& c : cases) {
    const fs::path target = base / (std::string("runtime-") + c.what);
    fs::create_directory(target);
    ASSERT_EQ(::chmod(target.c_str(), c.mode), 0);
    ASSERT_EQ(::chown(target.c_str(), c.owner, c.owner), 0);
    fs::path runtime = target;
    if (c.link) {
      runtime = base / (std::string("link-") + c.what);
      fs::create_directory_symlink(target, runtime);
    }
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(PlotMetafile::DefaultBaseFolder() == runtime.string(), c.chosen) << c.what;
  }
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(PlotMetafile::DefaultBaseFolder(), fs::temp_directory_path().string());
  if (saved) ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
}

std::unique_ptr<PlotModel> OneLinePlot() {
  auto model = std::make_unique<PlotModel>();
  model->PlotCount = 1;
  model->CurPlot = 1;
  model->SegCount[1] = 1;
  model->Segments(1, 1) = Segment{0, 1000, 0, 500, 1, 0};
  model->MinX[1] = 0, model->MinY[1] = 0, model->MaxX[1] = 1000, model->MaxY[1] = 500;
  return model;
}

// As a hostile user tried it: while drawings are written and read back, the metafile and
// its folder are swapped for links again and again. Nothing may be read or written
// through a link.
TEST_F(PlotMetafileTest, LinksSwappedInDuringDrawingsAreNeverFollowed) {
  const std::unique_ptr<PlotModel> model = OneLinePlot();
  const DisplaySettings settings;
  PlotMetafile metafile(base.string());
  const fs::path secret = base / "secret";
  const std::string secretText = "root only, never to be copied";
  std::ofstream(secret) << secretText;
  const fs::path decoy = base / "decoy";
  fs::create_directory(decoy);
  const fs::path folder = metafile.Folder();
  const fs::path moved = base / "moved";

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
    try {
      DrawPlot({*model, settings, metafile.File(), nullptr}, 0, 1, 0);
      const MetafilePicture picture = MetafilePicture::LoadFile(metafile.File());
      EXPECT_EQ(picture.Description().left(6), QStringLiteral("***** "));
      ++pictures;
    } catch (const RuntimeError&) {
      // A link in the way fails the load; it never reads what the link names.
    }
  }
  done = true;
  attacker.join();
  EXPECT_EQ(Slurp(secret), secretText);
  EXPECT_TRUE(fs::is_empty(decoy));
  EXPECT_GT(pictures, 0);
}

TEST_F(PlotMetafileTest, UnwritableBaseFolderIsError70) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec);
  try {
    PlotMetafile metafile(base.string());
    FAIL() << "no failure";
  } catch (const RuntimeError& failure) {
    EXPECT_EQ(failure.number(), 70);
  }
  fs::permissions(base, fs::perms::owner_all);
}

}  // namespace
}  // namespace korvid
