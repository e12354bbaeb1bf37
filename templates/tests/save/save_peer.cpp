// A second workstation for the save tests: a process of its own (started
// by exec, so it shares no lock with the test) running the commands a test
// sends on standard input, one answer line each on standard output.
//   lock shared|exclusive N   TryAcquireSaveLock in the folder; "held" or "busy"
//   release                   lets go of every lock taken
//   exit
// argv[1] is the data folder.
#include "templates/save_lock.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string dataDir;
std::vector<TSaveLock> locks;

std::string Run(const std::string& command, std::istringstream& in) {
  if (command == "lock") {
    std::string mode;
    int number = -1;
    in >> mode >> number;
    TSaveLock lock = TryAcquireSaveLock(dataDir, number, mode == "exclusive" ? TSaveLockMode::Exclusive
                                                                             : TSaveLockMode::Shared);
    if (!lock.Held()) return "busy";
    locks.push_back(std::move(lock));
    return "held";
  }
  if (command == "release") {
    locks.clear();
    return "released";
  }
  if (command == "exit") return "bye";
  return "bad command";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  dataDir = argv[1];
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::string answer;
    try {
      answer = Run(command, in);
    } catch (const std::exception& e) {
      answer = std::string("error ") + e.what();
    }
    std::cout << answer << std::endl;
    if (command == "exit") break;
  }
  return 0;
}
