// A child for the process tests: writes what it was given to the file named
// by PROBE_OUT (each entry "kind:value" ended by a NUL byte), written whole
// and then renamed so a reader never sees half of it:
//   argv:<bytes>   each argument as received, the program first
//   param:<bytes>  ParamStr(1).. after the runtime's conversion
//   cwd:<path>     the current folder
//   env:<value>    PROBE_MARK, when set
//   fd:<n>         each open descriptor
// With PROBE_HOLD set it then stays until that file exists (at most a
// minute), so a test can look at it while it runs.
#include "platform/command_line.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> OpenDescriptors() {
  std::vector<std::string> fds;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return fds;
  const std::string own = std::to_string(dirfd(dir));
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != ".." && name != own) fds.push_back(name);
  }
  closedir(dir);
  return fds;
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = std::getenv("PROBE_OUT");
  if (!out) return 2;
  std::string record;
  const auto add = [&](const std::string& kind, const std::string& value) {
    record += kind + ":" + value;
    record += '\0';
  };
  std::vector<std::string> args(argv, argv + argc);
  for (const std::string& a : args) add("argv", a);
  std::string error;
  if (SetCommandLine(args, error)) {
    for (int i = 1; i <= ParamCount(); ++i) add("param", ParamStr(i));
  }
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd)) add("cwd", cwd);
  if (const char* mark = std::getenv("PROBE_MARK")) add("env", mark);
  for (const std::string& fd : OpenDescriptors()) add("fd", fd);

  const std::string partial = std::string(out) + ".part";
  std::ofstream(partial, std::ios::binary) << record;
  if (std::rename(partial.c_str(), out) != 0) return 3;

  if (const char* hold = std::getenv("PROBE_HOLD")) {
    for (int waited = 0; waited < 60000 && access(hold, F_OK) != 0; waited += 10) usleep(10000);
  }
  return 0;
}
