// Who and where the program runs: the logged-in user, the machine, the
// folder of the running executable, and whether another process still runs.
#pragma once

#include <string>

// The user running the program (the network user of the workstation).
std::string GetUserName();

// The machine's host name.
std::string GetComputerName();

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();
// The file name of the running executable, without its folder.
std::string ProgramFileName();

// The user's home folder: HOME, or the password database's entry for this
// user when HOME is unset. An empty or relative HOME names no folder of the
// user's (it would land in the current one): "" with `why` saying so, as
// when the password database knows no home either.
std::string HomeFolder(std::string& why);

// True while a process with this id exists on this machine (one that ended
// but was not yet reaped counts); false once it is gone.
bool ProcessRuns(long Pid);
