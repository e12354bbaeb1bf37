// Starting another program: CreateProcess takes the program's name as the
// screens build it (Windows-style, resolved through platform/program_table.h)
// and its arguments as a vector, each argument one argument whatever it
// holds: no shell and no command line is ever made of them.
//
// The child inherits the environment (so the same instance bus and
// registry) and the current folder; of the descriptors only 0, 1 and 2
// reach it, never a record-manager file, its lock sidecars or a socket, so
// no lock outlives this process in a child. Signals start at their
// defaults, none blocked. No window position is passed. Nothing waits for
// the child; it is reaped when it ends, so none stays a zombie.
//
// UI thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

// How a child is started: Argv (UTF-8, Argv[0] the program, found on PATH
// when it holds no "/") to the child's process id, or -1 with errno set.
using TLauncher = std::function<int(const std::vector<std::string>& Argv)>;

// The launcher in use: by default SpawnReaped. An empty one restores it.
// Returns the one it replaces.
TLauncher SetLauncher(TLauncher Launcher);

// posix_spawn as described above, the child reaped by a thread of its own
// once it ends.
int SpawnReaped(const std::vector<std::string>& Argv);

// Starts Program with Args (Windows-1252, each turned into UTF-8; the
// child's ParamStr gives them back). True with the child's id in Pid; false
// (Pid 0, errno set, the reason logged) when the name is not in the program
// table, an argument holds a NUL byte, or the start failed.
bool CreateProcess(const std::string& Program, const std::vector<std::string>& Args, int& Pid);

// A launcher for one scope, the previous one back afterwards.
class ScopedLauncher {
public:
  explicit ScopedLauncher(TLauncher Launcher) : previous_(SetLauncher(std::move(Launcher))) {}
  ~ScopedLauncher() { SetLauncher(std::move(previous_)); }
  ScopedLauncher(const ScopedLauncher&) = delete;
  ScopedLauncher& operator=(const ScopedLauncher&) = delete;

private:
  TLauncher previous_;
};
