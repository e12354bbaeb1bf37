// Who and where the program runs: the logged-in user, the machine, the
// folder of the running executable.
#pragma once

#include <string>

// The user running the program (the network user of the workstation).
std::string GetUserName();

// The machine's host name.
std::string GetComputerName();

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();
