// Many workstations bumping one counter record through the record manager.
//
// Eight processes (this program started again with --worker) each add one
// to the counter 200 times, every cycle a read and an Update, retrying
// every refusal from the read:
//   locked  the read takes the record's lock (Get Equal + 200); others
//           meet 84 (record locked) or 85 (a commit outlasted the wait)
//   plain   the read takes no lock; an Update that comes second is
//           refused with 80 (conflict) and nothing is lost
// The counter must end at exactly 1,600 each time; the benchmark fails
// otherwise. Printed: cycles per second and the retries of each kind.
// MD_CONTENTION_PROCESSES and MD_CONTENTION_CYCLES change the sizes.
#include "engine/tests/counter_worker.h"

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

const Library& Wbtrv() {
  static const Library library = [] {
    Library lib;
    std::string error;
    if (!LoadWbtrv(WBTRV32_PATH, lib, error)) {
      std::fprintf(stderr, "engine_contention: %s\n", error.c_str());
      std::exit(1);
    }
    return lib;
  }();
  return library;
}

// A worker started with a pipe for its one answer line.
struct Worker {
  pid_t pid = -1;
  FILE* answer = nullptr;
};

Worker Start(const std::string& path, int cycles, bool locked) {
  int out[2];
  Worker worker;
  if (pipe(out) != 0) return worker;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string cyclesText = std::to_string(cycles);
  char* argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--worker"), const_cast<char*>(path.c_str()),
                  const_cast<char*>(cyclesText.c_str()), const_cast<char*>(locked ? "1" : "0"), nullptr};
  if (posix_spawn(&worker.pid, self.c_str(), &actions, nullptr, argv, environ) != 0) worker.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  worker.answer = fdopen(out[0], "r");
  return worker;
}

int RunWorker(const std::string& path, int cycles, bool locked) {
  const CounterRun run = RunCounter(Wbtrv(), path, cycles, locked);
  Wbtrv().Stop();
  if (!run.Error.empty()) {
    std::printf("error %s\n", run.Error.c_str());
    return 1;
  }
  std::printf("done %d %d %d\n", run.Locked84, run.Busy85, run.Conflicts80);
  return 0;
}

void Contention(benchmark::State& state, bool locked) {
  const int processes = Setting("MD_CONTENTION_PROCESSES", 8);
  const int cycles = Setting("MD_CONTENTION_CYCLES", 200);
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/engine-contention-XXXXXX";
  if (!mkdtemp(folder.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = folder + "/counter.dat";
  if (CreateCounterFile(Wbtrv(), path) != 0) {
    state.SkipWithError("cannot create the counter file");
    return;
  }
  long retried84 = 0, retried85 = 0, retried80 = 0;
  bool failed = false;
  for (auto _ : state) {
    std::vector<Worker> workers;
    for (int i = 0; i < processes; ++i) workers.push_back(Start(path, cycles, locked));
    for (Worker& worker : workers) {
      char line[256] = "";
      if (!worker.answer || !std::fgets(line, sizeof line, worker.answer)) failed = true;
      std::istringstream answer(line);
      std::string word;
      long r84 = 0, r85 = 0, r80 = 0;
      if (!(answer >> word >> r84 >> r85 >> r80) || word != "done") failed = true;
      retried84 += r84;
      retried85 += r85;
      retried80 += r80;
      if (worker.answer) std::fclose(worker.answer);
      if (worker.pid > 0) waitpid(worker.pid, nullptr, 0);
    }
  }
  uint32_t count = 0;
  const bool exact = ReadCounter(Wbtrv(), path, count) == 0 && count == uint32_t(processes * cycles);
  Wbtrv().Stop();
  fs::remove_all(folder);
  if (failed || !exact) {
    state.SkipWithError(("counter " + std::to_string(count) + ", expected " + std::to_string(processes * cycles) +
                         (failed ? "; a worker failed" : ""))
                            .c_str());
    return;
  }
  state.counters["cycles_per_s"] = benchmark::Counter(double(processes * cycles), benchmark::Counter::kIsRate);
  state.counters["retries_84"] = double(retried84);
  state.counters["retries_85"] = double(retried85);
  state.counters["retries_80"] = double(retried80);
  state.counters["counter"] = double(count);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--worker")
    return RunWorker(argv[2], std::atoi(argv[3]), std::string(argv[4]) == "1");
  for (const bool locked : {true, false}) {
    benchmark::RegisterBenchmark(locked ? "contention/locked" : "contention/plain",
                                 [locked](benchmark::State& s) { Contention(s, locked); })
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
