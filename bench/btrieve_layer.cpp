// The numbered-file layer against the same work done straight through
// BTRCALL, on the real record manager in one process.
//
// File: 10,000 records of 512 bytes with three keys: key 0 the 4-byte
// auto-increment prefix, key 1 a unique 30-byte text (positions 5-34), key
// 2 a 20-byte group text with duplicates (35-54). Workloads:
//   insert  10,000 inserts into a fresh file, each its own commit
//   walk    Get First then Get Next to the end on key 1
//   equal   10,000 Get Equal of random key-1 values, all present
//   open-close  10,000 opens and closes of the prepared file, one number
// The layer side uses BtrInsertRecord, BtrGetFirst/BtrGetNext, BtrGetEqual,
// BtrOpenFile/BtrCloseFile on a file number; the raw side keeps its own
// position block, data buffer and key buffer and calls BTRCALL as a plain
// program would. Both read the same prepared file for walk, equal and
// open-close.
//
// Each round runs every workload on both sides, the side that goes first
// alternating; the ratios (layer time / raw time over all rounds) are
// printed at the end, in a table and as the counters of a last entry,
// "ratios". MD_BENCH_ROUNDS sets the rounds (3).
#include "btrieve/binding.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "btrieve/win_btr.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint16_t RecordLength = 512;
constexpr int Records = 10000;
constexpr int Lookups = 10000;
constexpr int OpenCloses = 10000;
constexpr uint8_t LayerFile = 1;
constexpr int8_t NameKey = 1;
const std::vector<TKeySpec> Keys{
    {0, 0, 1, 4, false, false, true}, {1, 0, 5, 30, false, false, false}, {2, 0, 35, 20, true, true, false}};

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

std::string NameText(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "client %08d %-15s", int((int64_t(n) * 7919) % 1000003), "x");
  return std::string(text, 30);
}

// Record n without its prefix: the name, a group, filler.
std::string RecordText(int n) {
  char group[32];
  std::snprintf(group, sizeof group, "group %05d%9s", n % 500, "");
  std::string text = NameText(n) + std::string(group, 20);
  text.resize(RecordLength - 4, char('a' + n % 26));
  return text;
}

const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    for (int n = 1; n <= Records; ++n) t.push_back(RecordText(n));
    return t;
  }();
  return texts;
}

const std::vector<std::string>& LookupKeys() {
  static const std::vector<std::string> keys = [] {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pick(1, Records);
    std::vector<std::string> k;
    for (int i = 0; i < Lookups; ++i) k.push_back(NameText(pick(random)));
    return k;
  }();
  return keys;
}

fs::path Folder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("btrieve_layer_bench." + std::to_string(getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

std::string FreshFile(const std::string& name) {
  const std::string path = (Folder() / name).string();
  std::string msg;
  Check(BtrCreateFile(path, RecordLength, int8_t(Keys.size()), msg, 255, false, Keys), "create: " + msg);
  return path;
}

// ---- the raw side: a plain program's calls ----

struct RawFile {
  std::array<uint8_t, PosBlockSize> pos{};
  std::vector<uint8_t> data = std::vector<uint8_t>(RecordLength);
  std::array<uint8_t, KeyBufferSize> key{};

  explicit RawFile(const std::string& path) {
    std::memcpy(key.data(), path.data(), path.size());
    uint32_t len = 0;
    Check(BTRCALL(BtrOp::Open, pos.data(), nullptr, &len, key.data(), CallKeyLength, 0) == 0, "raw open");
  }
  ~RawFile() {
    uint32_t len = 0;
    BTRCALL(BtrOp::Close, pos.data(), nullptr, &len, key.data(), CallKeyLength, 0);
  }
  int16_t Call(uint16_t op, int8_t keyNum) {
    uint32_t len = RecordLength;
    return BTRCALL(op, pos.data(), data.data(), &len, key.data(), CallKeyLength, keyNum);
  }
};

const std::string& PreparedFile() {
  static const std::string path = [] {
    const std::string p = FreshFile("PREPARED.DAT");
    RawFile raw(p);
    uint32_t len = RecordLength;
    Check(BTRCALL(BtrOp::BeginConcurrentTransaction, raw.pos.data(), nullptr, &len, raw.key.data(), CallKeyLength, 0) ==
              0,
          "begin");
    for (const std::string& text : Texts()) {
      std::memset(raw.data.data(), 0, 4);
      std::memcpy(raw.data.data() + 4, text.data(), text.size());
      Check(raw.Call(BtrOp::Insert, 0) == 0, "prepare insert");
    }
    Check(BTRCALL(BtrOp::EndTransaction, raw.pos.data(), nullptr, &len, raw.key.data(), CallKeyLength, 0) == 0, "end");
    return p;
  }();
  return path;
}

// Elapsed milliseconds by workload and side, over all rounds.
std::map<std::string, double> layerMs, rawMs;

template <class F>
void Timed(benchmark::State& state, double& total, F&& work) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    work();
    total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
}

// Layer time over raw time, 0 before both ran.
double Ratio(const std::string& name) {
  const double raw = rawMs[name];
  return raw > 0 ? layerMs[name] / raw : 0.0;
}

int round_ = 0;

void LayerInsert(benchmark::State& state) {
  const std::string path = FreshFile("LAYER" + std::to_string(round_++) + ".DAT");
  BtrOpenFile(LayerFile, path, 0);
  Timed(state, layerMs["insert"], [&] {
    for (const std::string& text : Texts()) BtrInsertRecord(LayerFile, text);
  });
  BtrCloseFile(LayerFile);
}

void RawInsert(benchmark::State& state) {
  RawFile raw(FreshFile("RAW" + std::to_string(round_++) + ".DAT"));
  Timed(state, rawMs["insert"], [&] {
    for (const std::string& text : Texts()) {
      std::memset(raw.data.data(), 0, 4);
      std::memcpy(raw.data.data() + 4, text.data(), text.size());
      Check(raw.Call(BtrOp::Insert, 0) == 0, "raw insert");
    }
  });
}

void LayerWalk(benchmark::State& state) {
  BtrOpenFile(LayerFile, PreparedFile(), 0);
  BtrSetKeyNumber(LayerFile, NameKey);
  TDynCharArr rec(RecordLength);
  int count = 0;
  Timed(state, layerMs["walk"], [&] {
    bool atEnd = false;
    for (BtrGetFirst(LayerFile, rec, atEnd, false); !atEnd; BtrGetNext(LayerFile, rec, atEnd, false)) ++count;
  });
  BtrCloseFile(LayerFile);
  Check(count == Records, "layer walk count");
}

void RawWalk(benchmark::State& state) {
  RawFile raw(PreparedFile());
  int count = 0;
  Timed(state, rawMs["walk"], [&] {
    for (int16_t s = raw.Call(BtrOp::GetFirst, NameKey); s == 0; s = raw.Call(BtrOp::GetNext, NameKey)) ++count;
  });
  Check(count == Records, "raw walk count");
}

void LayerEqual(benchmark::State& state) {
  BtrOpenFile(LayerFile, PreparedFile(), 0);
  BtrSetKeyNumber(LayerFile, NameKey);
  TDynCharArr rec(RecordLength);
  int found = 0;
  Timed(state, layerMs["equal"], [&] {
    for (const std::string& key : LookupKeys()) found += BtrGetEqual(LayerFile, key, rec, false);
  });
  BtrCloseFile(LayerFile);
  Check(found == Lookups, "layer lookups");
}

void RawEqual(benchmark::State& state) {
  RawFile raw(PreparedFile());
  int found = 0;
  Timed(state, rawMs["equal"], [&] {
    for (const std::string& key : LookupKeys()) {
      std::memcpy(raw.key.data(), key.data(), key.size());
      found += raw.Call(BtrOp::GetEqual, NameKey) == 0;
    }
  });
  Check(found == Lookups, "raw lookups");
}

void LayerOpenClose(benchmark::State& state) {
  Timed(state, layerMs["open-close"], [&] {
    for (int i = 0; i < OpenCloses; ++i) {
      BtrOpenFile(LayerFile, PreparedFile(), 0);
      BtrCloseFile(LayerFile);
    }
  });
}

void RawOpenClose(benchmark::State& state) {
  std::array<uint8_t, PosBlockSize> pos{};
  std::array<uint8_t, KeyBufferSize> key{};
  std::memcpy(key.data(), PreparedFile().data(), PreparedFile().size());
  Timed(state, rawMs["open-close"], [&] {
    for (int i = 0; i < OpenCloses; ++i) {
      uint32_t len = 0;
      Check(BTRCALL(BtrOp::Open, pos.data(), nullptr, &len, key.data(), CallKeyLength, 0) == 0, "raw open");
      Check(BTRCALL(BtrOp::Close, pos.data(), nullptr, &len, key.data(), CallKeyLength, 0) == 0, "raw close");
    }
  });
}

struct Workload {
  const char* name;
  void (*layer)(benchmark::State&);
  void (*raw)(benchmark::State&);
};

}  // namespace

int main(int argc, char** argv) {
  static const Workload workloads[] = {{"insert", LayerInsert, RawInsert},
                                       {"walk", LayerWalk, RawWalk},
                                       {"equal", LayerEqual, RawEqual},
                                       {"open-close", LayerOpenClose, RawOpenClose}};
  const char* roundsText = std::getenv("MD_BENCH_ROUNDS");
  const int rounds = roundsText ? std::max(1, std::atoi(roundsText)) : 3;
  for (int round = 0; round < rounds; ++round) {
    for (const Workload& w : workloads) {
      for (int side = 0; side < 2; ++side) {
        const bool layerSide = (side == 0) == (round % 2 == 0);
        const std::string name =
            std::string(w.name) + (layerSide ? "/layer" : "/raw") + "/round:" + std::to_string(round);
        benchmark::RegisterBenchmark(name.c_str(), layerSide ? w.layer : w.raw)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  // Runs last: every workload's ratio as a counter.
  benchmark::RegisterBenchmark("ratios", [](benchmark::State& state) {
    for (auto _ : state) {
    }
    for (const Workload& w : workloads) state.counters[w.name] = Ratio(w.name);
  })->Iterations(1);
  benchmark::Initialize(&argc, argv);
  // The layer loads the engine; the raw side calls through the same binding.
  std::string msg;
  if (!BtrLoadEngine(msg, 255)) {
    std::fprintf(stderr, "btrieve_layer: %s\n", msg.c_str());
    return 1;
  }
  int status = 0;
  try {
    PreparedFile();
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n%-10s %12s %12s %8s\n", "workload", "layer ms", "BTRCALL ms", "ratio");
    for (const Workload& w : workloads)
      std::printf("%-10s %12.1f %12.1f %7.3fx\n", w.name, layerMs[w.name], rawMs[w.name], Ratio(w.name));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "btrieve_layer: %s\n", e.what());
    status = 1;
  }
  FinalizeBtrLayer();
  std::error_code ignored;
  fs::remove_all(Folder(), ignored);
  benchmark::Shutdown();
  return status;
}
