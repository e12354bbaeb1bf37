// Another program started by a test, with its output in files, ended (and
// reaped) when the object goes. Waits are bounded polls, never timings.
#pragma once

#include "testing/poll_until.h"
#include "testing/temp_dir.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

class ChildProcess {
 public:
  // Starts `argv` with stdout and stderr in `out` and `err`.
  ChildProcess(const std::vector<std::string>& argv, const std::string& out, const std::string& err)
      : out_(out), err_(err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + argv[0]);
  }
  ~ChildProcess() {
    if (!reaped_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  void Signal(int signal) const { kill(pid_, signal); }

  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    if (!reaped_) {
      while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
      }
      reaped_ = true;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
  }

  std::vector<std::string> OutLines() const { return LinesOf(out_); }
  std::vector<std::string> ErrLines() const { return LinesOf(err_); }

  // Complete lines only: a line still being written is left for later.
  static std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }

 private:
  std::string out_, err_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool reaped_ = false;
};
