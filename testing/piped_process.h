// Another program driven by a test over two pipes: one command line in, one
// answer line out. Started with posix_spawn, never fork: a process that has
// the record manager loaded holds SQLite connections that must not be
// copied into a child. Every wait for an answer is bounded; a program that
// does not answer in time fails the test and is killed.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

class PipedProcess {
public:
  // Long enough for a loaded machine, short enough to fail before ctest's limit.
  static constexpr int AnswerWaitMs = 60000;

  explicit PipedProcess(const std::string& path, const std::vector<std::string>& args = {}) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      ADD_FAILURE() << "pipe: " << std::strerror(errno);
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
    if (rc != 0) {
      pid_ = -1;
      ADD_FAILURE() << "starting " << path << ": " << std::strerror(rc);
    }
  }

  ~PipedProcess() { End(); }
  PipedProcess(const PipedProcess&) = delete;
  PipedProcess& operator=(const PipedProcess&) = delete;

  void Send(const std::string& line) {
    const std::string text = line + "\n";
    signal(SIGPIPE, SIG_IGN);
    if (toChild_ < 0 || write(toChild_, text.data(), text.size()) != ssize_t(text.size()))
      ADD_FAILURE() << "the program did not take: " << line;
  }

  // The next answer line; "" when the program ended or did not answer.
  std::string Receive() {
    for (;;) {
      const size_t newline = pending_.find('\n');
      if (newline != std::string::npos) {
        std::string line = pending_.substr(0, newline);
        pending_.erase(0, newline + 1);
        return line;
      }
      pollfd p{fromChild_, POLLIN, 0};
      if (fromChild_ < 0 || poll(&p, 1, AnswerWaitMs) <= 0) {
        ADD_FAILURE() << "the program did not answer";
        Kill();
        return "";
      }
      char buffer[4096];
      const ssize_t n = read(fromChild_, buffer, sizeof buffer);
      if (n <= 0) return "";
      pending_.append(buffer, size_t(n));
    }
  }

  std::string Ask(const std::string& line) {
    Send(line);
    return Receive();
  }

  // Closes the program's input, which ends it, and reaps it; a program
  // still running after the wait is killed. Nothing more can be sent.
  void End() {
    if (toChild_ >= 0) close(toChild_);
    toChild_ = -1;
    if (pid_ > 0) {
      pollfd p{fromChild_, POLLIN, 0};
      char c;
      while (poll(&p, 1, AnswerWaitMs) > 0 && read(fromChild_, &c, 1) > 0) {
      }
      Kill();
    }
    if (fromChild_ >= 0) close(fromChild_);
    fromChild_ = -1;
  }

  bool Running() const { return pid_ > 0; }

  // SIGKILL, then reaps the process.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  // Reaps the process once it ended by itself; true when SIGKILL ended it.
  bool EndedByKill() {
    if (pid_ <= 0) return false;
    int status = 0;
    for (int waited = 0; waitpid(pid_, &status, WNOHANG) != pid_; waited += 10) {
      if (waited >= AnswerWaitMs) {
        ADD_FAILURE() << "the program did not end";
        Kill();
        return false;
      }
      usleep(10000);
    }
    pid_ = -1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string pending_;
};
