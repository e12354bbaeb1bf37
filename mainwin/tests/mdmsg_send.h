// Another process on the instance bus: the tree's mdmsg sending one
// message, its output kept in Folder.
#pragma once

#include "templates/tests/bus/child_process.h"

#include <string>
#include <vector>

// The exit status of `mdmsg send Args...`.
inline int MdmsgSend(const std::vector<std::string>& Args, const std::string& Folder) {
  std::vector<std::string> argv{MDMSG_PATH, "send"};
  argv.insert(argv.end(), Args.begin(), Args.end());
  ChildProcess sender(argv, Folder + "/send.out", Folder + "/send.err");
  return sender.Wait();
}
