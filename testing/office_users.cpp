#include "testing/office_users.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {

void Require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("cannot " + what);
}

void LetUsersPass(const std::string& Path) {
  const std::string parent = std::filesystem::path(Path).parent_path().string();
  struct stat st;
  Require(::stat(parent.c_str(), &st) == 0, "look at " + parent);
  Require(::chmod(parent.c_str(), (st.st_mode & 07777) | 0111) == 0, "open " + parent);
}

}  // namespace

pid_t StartAs(const TOfficeUser& User, mode_t Mask, const std::function<int()>& Body, const std::string& Stderr) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child != 0) return child;
  int answer = 125;
  const int err = Stderr.empty() ? 2 : ::open(Stderr.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (err >= 0 && ::dup2(err, 2) >= 0 && ::setgroups(0, nullptr) == 0 &&
      ::setresgid(User.Gid, User.Gid, User.Gid) == 0 && ::setresuid(User.Uid, User.Uid, User.Uid) == 0) {
    ::umask(Mask);
    answer = Body();
  }
  std::fflush(nullptr);
  ::_exit(answer);
}

int WaitFor(pid_t Child, int TimeoutSeconds) {
  if (Child < 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(TimeoutSeconds);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(Child, &status, WNOHANG);
    if (done == Child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(Child, SIGKILL);
      ::waitpid(Child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

int RunAs(const TOfficeUser& User, mode_t Mask, const std::function<int()>& Body, const std::string& Stderr) {
  return WaitFor(StartAs(User, Mask, Body, Stderr));
}

void MakeOfficeFolder(const std::string& Path, mode_t Mode) {
  LetUsersPass(Path);
  std::filesystem::create_directories(Path);
  Require(::chown(Path.c_str(), 0, OfficeGroup) == 0, "give " + Path + " to the office group");
  Require(::chmod(Path.c_str(), Mode) == 0, "set the mode of " + Path);
}

void MakePrivateFolder(const std::string& Path, const TOfficeUser& User) {
  LetUsersPass(Path);
  std::filesystem::create_directories(Path);
  Require(::chown(Path.c_str(), User.Uid, User.Gid) == 0, "give " + Path + " to its user");
  Require(::chmod(Path.c_str(), 0700) == 0, "set the mode of " + Path);
}
