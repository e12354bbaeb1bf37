#include "platform/session.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The password database's entry for the effective user, or nullptr.
const passwd* OwnEntry(std::vector<char>& buffer, passwd& entry) {
  buffer.assign(16384, '\0');
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0) return found;
  return nullptr;
}

// Empty when the system does not tell.
std::filesystem::path RunningExecutable() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

}  // namespace

std::string GetUserName() {
  std::vector<char> buffer;
  passwd entry{};
  const passwd* found = OwnEntry(buffer, entry);
  return found ? found->pw_name : std::string();
}

std::string GetComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string ProgramFolder() { return RunningExecutable().parent_path().string(); }

std::string ProgramFileName() { return RunningExecutable().filename().string(); }

std::string HomeFolder(std::string& why) {
  if (const char* set = std::getenv("HOME")) {
    const std::string home = set;
    if (home.starts_with('/')) return home;
    why = home.empty() ? "HOME is empty" : "HOME (\"" + home + "\") is a relative path";
    return {};
  }
  std::vector<char> buffer;
  passwd entry{};
  const passwd* found = OwnEntry(buffer, entry);
  if (found && found->pw_dir && found->pw_dir[0] == '/') return found->pw_dir;
  why = "HOME is not set and the user database gives no home folder for user id " + std::to_string(geteuid());
  return {};
}

bool ProcessRuns(long Pid) {
  if (Pid <= 0 || Pid > INT_MAX) return false;
  return kill(pid_t(Pid), 0) == 0 || errno != ESRCH;
}
