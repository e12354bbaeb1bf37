// The fault point's child for the tests that kill or pause it: arms the
// point as told, then makes the folders d1, d2 and d3 in <folder>, one file
// step each, and says "done". A pause says "paused <step> <pid>" first, so
// the test can look at the folder and release it with SIGUSR1.
//
//   fault_step_child <folder> <step> <action: 0-4, as TFaultAction>
#include "platform/fault_point.h"
#include "platform/files.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

void Say(const std::string& line) {
  const std::string text = line + "\n";
  if (write(STDOUT_FILENO, text.data(), text.size()) != ssize_t(text.size())) _exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string folder = argv[1];
  SetFaultPauseNotifier(
      [](uint64_t step) { Say("paused " + std::to_string(step) + " " + std::to_string(getpid())); });
  ArmFaultPoint(std::strtoull(argv[2], nullptr, 10), TFaultAction(std::atoi(argv[3])));
  for (const char* name : {"d1", "d2", "d3"})
    if (!CreateDir(folder + "/" + name)) return 1;
  Say("done");
  return 0;
}
