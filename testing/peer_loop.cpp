#include "testing/peer_loop.h"

#include <exception>
#include <iostream>

void ServePeerCommands(const std::string& LastCommand, const TPeerCommand& Run, const TPeerFailure& OnFailure) {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::string answer;
    try {
      answer = Run(command, in);
    } catch (...) {
      if (OnFailure) {
        answer = OnFailure();
      } else {
        try {
          throw;
        } catch (const std::exception& e) {
          answer = std::string("error ") + e.what();
        }
      }
    }
    // endl: the test waits for each line, so none may stay in a buffer.
    std::cout << answer << std::endl;
    if (command == LastCommand) break;
  }
}
