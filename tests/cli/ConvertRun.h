#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AsUnprivilegedUser.h"

namespace korvid::testing {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// korvid-convert run as a user runs it, on files in a temporary folder of its own.
class ConvertRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvid-cli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory = pattern;
  }
  void TearDown() override {
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(directory, ignored))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(directory, ignored);
  }

  std::string Fixture(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = directory / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::string Out(const std::string& name) const { return (directory / name).string(); }

  ProcessResult Run(const std::vector<std::string>& arguments) {
    const std::filesystem::path outPath = directory / "stdout.txt";
    const std::filesystem::path errPath = directory / "stderr.txt";
    // The build folder may lie where nobody cannot reach (a clone in /root): a user without
    // privileges runs a copy of the program.
    std::string program = KORVID_CONVERT_PATH;
    if (unprivileged) {
      program = (directory / "korvid-convert").string();
      std::filesystem::copy_file(KORVID_CONVERT_PATH, program,
                                 std::filesystem::copy_options::overwrite_existing);
      std::filesystem::permissions(program, std::filesystem::perms(0755));
    }
    const pid_t child = ::fork();
    if (child == 0) {
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
      if (fileSizeLimit != RLIM_INFINITY) {
        // A write beyond the limit then fails with EFBIG, as on a full disk, instead of
        // ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
      }
      if (unprivileged && !DropRootPrivileges()) ::_exit(126);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(outPath),
                         Slurp(errPath)};
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
  }

  std::filesystem::path directory;
  rlim_t fileSizeLimit = RLIM_INFINITY;  // for the files korvid-convert writes
  bool unprivileged = false;             // korvid-convert runs without root's privileges
};

}  // namespace korvid::testing
