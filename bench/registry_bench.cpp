// The registry store on a registry of 1,000 values in 100 keys (10 string
// values each), in a temporary folder named by MATTERDESK_REGISTRY:
//   read unchanged       a new TRegistry, OpenKey, ReadString, the file as
//                        this process last saw it (one stat per call)
//   read after change    the same right after another process wrote one
//                        value, so the file is read and parsed again
//   write                WriteString of a changing value: lock, read afresh,
//                        write and sync the temporary file, rename
// The change of the second is made by a child process outside the timing.
#include "platform/format.h"
#include "platform/registry.h"
#include "platform/text.h"

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int Keys = 100;
constexpr int ValuesPerKey = 10;
const std::string BenchKey = "\\Software\\Ondral\\Bench\\Key050";

std::string KeyPath(int k) { return Format("Software\\Ondral\\Bench\\Key%.3d", k); }

void WriteRegistry(const std::string& file) {
  RegDocument doc;
  for (int k = 0; k < Keys; ++k) {
    RegKey& key = doc.CreateKey(KeyPath(k));
    for (int v = 0; v < ValuesPerKey; ++v) {
      key.SetValue({"Value" + IntToStr(v), rdString, "C:\\mddata\\folder" + IntToStr(k * 10 + v), 0});
    }
  }
  std::ofstream(file, std::ios::binary) << FormatRegistryText(doc);
}

std::string ReadOne(const char* name) {
  TRegistry reg;
  if (!reg.OpenKey(BenchKey, false)) throw std::runtime_error("the bench key is missing");
  return reg.ReadString(name);
}

void ReadUnchanged(benchmark::State& state) {
  ReadOne("Value5");
  for (auto _ : state) benchmark::DoNotOptimize(ReadOne("Value5"));
}

// Another process that writes the value "Counter" each time it is asked.
// It is started once, so the reader is not timed with the page faults a
// fresh fork gives it.
class OtherWriter {
public:
  OtherWriter() {
    if (pipe(ask_) != 0 || pipe(done_) != 0) throw std::runtime_error("no pipe");
    pid_ = fork();
    if (pid_ == 0) {
      close(ask_[1]);
      close(done_[0]);
      TRegistry reg;
      int round = 0;
      while (read(ask_[0], &round, sizeof round) == sizeof round) {
        if (!reg.OpenKey(BenchKey, false)) _exit(1);
        reg.WriteString("Counter", IntToStr(round));
        if (write(done_[1], "w", 1) != 1) _exit(1);
      }
      _exit(0);
    }
    close(ask_[0]);
    close(done_[1]);
  }
  ~OtherWriter() {
    close(ask_[1]);
    close(done_[0]);
    waitpid(pid_, nullptr, 0);
  }
  void Write(int round) {
    char reply;
    if (write(ask_[1], &round, sizeof round) != sizeof round || read(done_[0], &reply, 1) != 1) {
      throw std::runtime_error("the other writer failed");
    }
  }

private:
  int ask_[2];
  int done_[2];
  pid_t pid_;
};

void ReadAfterChange(benchmark::State& state) {
  OtherWriter other;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    other.Write(++round);
    state.ResumeTiming();
    if (ReadOne("Counter") != IntToStr(round)) state.SkipWithError("the change was not seen");
  }
}

void Write(benchmark::State& state) {
  TRegistry reg;
  reg.OpenKey(BenchKey, false);
  int round = 0;
  for (auto _ : state) reg.WriteString("Counter", IntToStr(++round));
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = (std::filesystem::temp_directory_path() / "mdbench-XXXXXX").string();
  if (!mkdtemp(folder.data())) return 1;
  const std::string file = folder + "/registry.ini";
  setenv("MATTERDESK_REGISTRY", file.c_str(), 1);
  WriteRegistry(file);

  benchmark::RegisterBenchmark("read unchanged", ReadUnchanged)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("read after change", ReadAfterChange)->Unit(benchmark::kMicrosecond)->Iterations(300);
  benchmark::RegisterBenchmark("write", Write)->Unit(benchmark::kMicrosecond)->Iterations(300);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
