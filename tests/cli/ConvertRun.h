#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "AsUnprivilegedUser.h"

namespace korvid::testing {

// Plots of different proportions (1000 plotter units = 25 mm), so that a drawing written
// under another's name shows in its size.
constexpr const char* kSquare = "IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;";
constexpr const char* kWide = "IN;SP2;PU0,0;PD2000,0,2000,1000,0,1000,0,0;";
constexpr const char* kTall = "IN;SP3;PU0,0;PD1000,0,1000,2000,0,2000,0,0;";
// Pages of 2:1, 1:3 and 1:1 in the standard reading; Korvid's own draws the first.
constexpr const char* kThreePages =
    "IN;SP1;PU0,0;PD4000,0,4000,2000;PG;PU0,0;PD1000,0,1000,3000;PG;PU0,0;PD500,500;";

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Standard input of a run: a file (or device), or bytes through a pipe.
struct Stdin {
  std::string file = "/dev/null";
  std::optional<std::string> piped = std::nullopt;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline QSize ImageSize(const std::filesystem::path& path) {
  return QImage(QString::fromStdString(path.string())).size();
}

// "--rotate 90 --mono" as arguments.
inline std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// korvid-convert run as a user runs it, in a pipeline (standard output is a pipe), on files
// in a temporary folder of its own.
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
    for (const auto& entry : fs::recursive_directory_iterator(directory, ignored)) {
      // No run leaves a temporary file beside its output, whatever became of it.
      EXPECT_EQ(entry.path().filename().string().find(".korvid-"), std::string::npos);
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(directory, ignored);
  }

  std::string Fixture(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = directory / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::string Out(const std::string& name) const { return (directory / name).string(); }

  ProcessResult Run(const std::vector<std::string>& arguments, const Stdin& input = {}) {
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
    // Piped bytes are few: they fit the pipe's buffer before the program starts.
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return {};
    const std::string piped = input.piped.value_or("");
    if (::write(in[1], piped.data(), piped.size()) != static_cast<ssize_t>(piped.size())) return {};
    ::close(in[1]);
    const pid_t child = ::fork();
    if (child == 0) {
      const int file = input.piped ? in[0] : ::open(input.file.c_str(), O_RDONLY);
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int written = stdoutFile.empty() ? out[1] : ::open(stdoutFile.c_str(), O_WRONLY);
      if (file < 0 || err < 0 || written < 0 || ::dup2(file, 0) < 0 || ::dup2(written, 1) < 0 ||
          ::dup2(err, 2) < 0 || ::close(out[0]) != 0)
        ::_exit(126);
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
    ::close(in[0]);
    ::close(out[1]);
    ProcessResult result;
    char block[65536];
    for (ssize_t got; (got = ::read(out[0], block, sizeof block)) > 0;)
      result.out.append(block, static_cast<std::size_t>(got));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = Slurp(errPath);
    std::filesystem::remove(errPath);
    return result;
  }

  // Starts korvid-convert in the background, behind `launcher` (a command that runs
  // another, such as unshare) when given; standard output and error go to files in the
  // folder, standard input is empty. No core files: some runs end by signals that leave one.
  pid_t Start(const std::vector<std::string>& arguments,
              const std::vector<std::string>& launcher = {}) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open((directory / "started.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open((directory / "started.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const rlimit noCore{0, 0};
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0 || ::setrlimit(RLIMIT_CORE, &noCore) != 0)
      ::_exit(126);
    // A sanitizer's own handlers would take the signals that end a program (a fault, a
    // bus error) before the converter's, and end it with a report instead.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(sanitizer != nullptr ? sanitizer : "") +
                                ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0";
    ::setenv("ASAN_OPTIONS", options.c_str(), 1);
    std::vector<std::string> words = launcher;
    words.push_back(KORVID_CONVERT_PATH);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
      argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }

  std::filesystem::path directory;
  rlim_t fileSizeLimit = RLIM_INFINITY;  // for the files korvid-convert writes
  bool unprivileged = false;             // korvid-convert runs without root's privileges
  std::string stdoutFile;                // standard output, when not the pipe
};

}  // namespace korvid::testing
