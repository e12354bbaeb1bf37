#include "testing/checked_folder.h"

#include "engine/status.h"
#include "platform/session.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

extern char** environ;

namespace {

using InUseFn = int16_t (*)(const char*);

// The record manager's in-use probe, loaded for one check and unloaded
// after it, so a test that unloaded the engine finds it unloaded again.
class InUseProbe {
public:
  InUseProbe() {
    const std::string path = ProgramFolder() + "/libwbtrv32.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
      ADD_FAILURE() << "no record manager to tell its files: " << dlerror();
      return;
    }
    probe_ = reinterpret_cast<InUseFn>(dlsym(handle_, "WBTRVFILEINUSE"));
    if (!probe_) ADD_FAILURE() << path << " has no in-use probe";
  }
  ~InUseProbe() {
    if (handle_) dlclose(handle_);
  }
  InUseProbe(const InUseProbe&) = delete;
  InUseProbe& operator=(const InUseProbe&) = delete;

  bool Loaded() const { return probe_ != nullptr; }
  int16_t operator()(const std::string& path) const { return probe_(path.c_str()); }

private:
  void* handle_ = nullptr;
  InUseFn probe_ = nullptr;
};

}  // namespace

void CheckRecordFiles(const std::filesystem::path& folder) {
  const InUseProbe inUse;
  if (!inUse.Loaded()) return;
  std::vector<std::string> args{"check"};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string path = entry.path().string();
    // A lock file or a journal belongs to a data file and is checked with it.
    if (!entry.is_regular_file() || path.ends_with(".lck") || path.ends_with("-journal")) continue;
    const int16_t s = inUse(path);
    if (s == engine::status::Success)
      args.push_back(path);
    else if (s != engine::status::NotRecordManagerFile)
      ADD_FAILURE() << path << " left behind answers " << s;
  }
  if (args.size() == 1) return;
  const ProgramRun run = RunMdbtr(args);
  EXPECT_EQ(run.Exit, 0) << run.Out << run.Err;
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args) {
  ProgramRun run;
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  // Both pipes are drained together, so neither can fill up and stall the program.
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* text[2] = {&run.Out, &run.Err};
  int openPipes = rc == 0 ? 2 : 0;
  while (openPipes > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !fds[i].revents) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        text[i]->append(buffer, size_t(n));
      } else {
        fds[i].fd = -1;
        --openPipes;
      }
    }
  }
  close(out[0]);
  close(err[0]);
  int status = 0;
  if (rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.Exit = WEXITSTATUS(status);
  return run;
}

ProgramRun RunMdbtr(const std::vector<std::string>& args) { return RunProgram(ProgramFolder() + "/mdbtr", args); }
