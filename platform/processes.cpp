#include "platform/processes.h"

#include "platform/codepage.h"
#include "platform/log.h"
#include "platform/program_table.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

extern char** environ;

namespace {

TLauncher& CurrentLauncher() {
  static TLauncher launcher = SpawnReaped;
  return launcher;
}

// Each owns what it sets up, so every return path releases it.
struct TFileActions {
  posix_spawn_file_actions_t Actions;
  TFileActions() { posix_spawn_file_actions_init(&Actions); }
  ~TFileActions() { posix_spawn_file_actions_destroy(&Actions); }
};

struct TSpawnAttributes {
  posix_spawnattr_t Attributes;
  TSpawnAttributes() { posix_spawnattr_init(&Attributes); }
  ~TSpawnAttributes() { posix_spawnattr_destroy(&Attributes); }
};

void Reap(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

void LogFailedStart(const std::string& Program, const std::string& why) {
  LogWarning("cannot start " + Program + ": " + why);
}

}  // namespace

TLauncher SetLauncher(TLauncher Launcher) {
  TLauncher previous = std::move(CurrentLauncher());
  CurrentLauncher() = Launcher ? std::move(Launcher) : TLauncher(SpawnReaped);
  return previous;
}

int SpawnReaped(const std::vector<std::string>& Argv) {
  if (Argv.empty()) {
    errno = ENOENT;
    return -1;
  }
  TFileActions files;
  // Every descriptor above stderr stays behind, whether or not it was
  // opened close-on-exec.
  int failed = posix_spawn_file_actions_addclosefrom_np(&files.Actions, 3);
  TSpawnAttributes attributes;
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  if (!failed) failed = posix_spawnattr_setsigmask(&attributes.Attributes, &none);
  if (!failed) failed = posix_spawnattr_setsigdefault(&attributes.Attributes, &all);
  if (!failed) failed = posix_spawnattr_setflags(&attributes.Attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::vector<char*> argv;
  for (const std::string& a : Argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (!failed) failed = posix_spawnp(&pid, argv[0], &files.Actions, &attributes.Attributes, argv.data(), environ);
  if (failed) {
    errno = failed;
    return -1;
  }
  // Only this child's own wait: the statuses of children started elsewhere
  // (a test's, a toolkit's) stay theirs.
  try {
    std::thread(Reap, pid).detach();
  } catch (const std::system_error& e) {
    // The child runs all the same; only its exit stays unreaped.
    LogWarning("cannot wait for process " + std::to_string(pid) + ": " + e.what());
  }
  return pid;
}

bool CreateProcess(const std::string& Program, const std::vector<std::string>& Args, int& Pid) {
  Pid = 0;
  std::vector<std::string> argv = ResolveProgram(Program);
  if (argv.empty()) {
    LogFailedStart(Program, "no such program is known");
    errno = ENOENT;
    return false;
  }
  for (const std::string& a : Args) {
    // A C argument ends at its first NUL: the rest would be lost unseen.
    if (a.find('\0') != std::string::npos) {
      LogFailedStart(Program, "an argument holds a NUL byte");
      errno = EINVAL;
      return false;
    }
    argv.push_back(Win1252ToUtf8(a));
  }
  const int pid = CurrentLauncher()(argv);
  if (pid <= 0) {
    const int why = pid < 0 ? errno : ECHILD;
    LogFailedStart(Program, std::strerror(why));
    errno = why;
    return false;
  }
  Pid = pid;
  return true;
}
