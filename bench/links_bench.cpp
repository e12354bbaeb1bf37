// Starting a child instance's process: the stand-in's CreateProcess (the
// program table, the argument vector converted, posix_spawn with the
// descriptors above 2 closed and signals reset, a thread that reaps the
// child) against posix_spawn and waitpid called directly, both of a stub
// that exits at once and both timed until the child is reaped.
#include "platform/processes.h"
#include "platform/program_table.h"

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sched.h>

#include <cerrno>
#include <string>
#include <vector>

extern char** environ;

namespace {

const char* const Stub = "/bin/true";
// Seven arguments, as a child instance gets them.
const std::vector<std::string> ChildArgs{"461210", "7", "ABC", "O\"Brien, \xC9lise", " ", "-7", "1"};

// Until the reaping thread has collected it: its end awaited without
// collecting it (WNOWAIT leaves that to the reaper; ECHILD: already done),
// then the id names no process once the reaper has run.
void AwaitReaped(int pid) {
  siginfo_t info;
  while (waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
  }
  while (kill(pid, 0) == 0 || errno != ESRCH) sched_yield();
}

void StandIn(benchmark::State& state) {
  ConfigureProgramCommand("stub.exe", {Stub});
  for (auto _ : state) {
    int pid = 0;
    if (!CreateProcess("stub.exe", ChildArgs, pid)) {
      state.SkipWithError("CreateProcess failed");
      break;
    }
    AwaitReaped(pid);
  }
  ResetProgramTable();
}
BENCHMARK(StandIn)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Direct(benchmark::State& state) {
  std::vector<std::string> args{Stub};
  args.insert(args.end(), ChildArgs.begin(), ChildArgs.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, Stub, nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("posix_spawn failed");
      break;
    }
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}
BENCHMARK(Direct)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
