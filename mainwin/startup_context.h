// What a start of the program is given from outside: the registry it reads,
// its command line and its own folder. main() fills one from the process;
// tests build their own (temporary folders, their registry file). Time is
// not here: start-up reads the platform clock, which tests fix.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct StartupContext {
  // The registry file of the run; the process's own (RegistryFileName) when
  // empty. Programs the run starts inherit it.
  std::string RegistryPath;
  // The command line as given (UTF-8), the program first; converted to
  // ParamStr by the main block.
  std::vector<std::string> Params;
  // The folder of the running program: ExeDir, where "Desc.clo" lies.
  std::string ProgramFolder;
  // Runs the event loop and gives the exit status; the application's own
  // loop when empty.
  std::function<int()> EventLoop;
};

// The context of this process: its registry file, a copy of argv (taken
// before anything may change it) and the folder of its executable.
StartupContext ContextFromCommandLine(int argc, char** argv);

// Makes RegistryPath the registry of this process and of what it starts.
void UseRegistryOf(const StartupContext& Context);
