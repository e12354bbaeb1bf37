// The record manager against raw SQLite doing the same work.
//
// Both sides use the same journal mode (DELETE) and synchronous setting
// (FULL) on equivalent tables: a 512-byte record BLOB and three indexed key
// columns, one an autoincrement, one a unique 30-byte string, one a 20-byte
// string with duplicates. Each raw statement runs in its own implicit
// transaction, as each engine call does. The workloads:
//   insert    2,000 records, each its own commit, into a fresh file
//   insert_tx 100,000 records in one transaction into a fresh file: Begin,
//             the inserts, End; raw SQLite BEGIN, the inserts, COMMIT
//   equal k0  20,000 Get Equal of random autoincrement values
//   equal k1  20,000 Get Equal of random unique strings
//   walk kN   Get First then Get Next to the end over 100,000 records
// The raw walk steps statement by statement as a program without read-ahead
// would: "k > ?" on a unique key, "k = ? AND id > ?" then "k > ?" where
// duplicates are allowed.
//
// Each round runs every workload on both sides, the side that goes first
// alternating from round to round; the ratios (engine time / raw time, over
// all rounds) are printed at the end, with the most memory SQLite held
// during one insert_tx on each side (the engine keeps a transaction's
// changes in memory until End). MD_BENCH_ROUNDS sets the rounds (3).
#include "engine/status.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

constexpr uint32_t RecordLength = 512;
constexpr int InsertCount = 2000;
constexpr int FileRecords = 100000;
constexpr int TransactionInserts = 100000;
constexpr int Lookups = 20000;
constexpr int DuplicateGroups = 1000;

using BtrCallFn = int16_t (*)(uint16_t, void*, void*, uint32_t*, void*, uint8_t, int8_t);

BtrCallFn Btr() {
  static BtrCallFn call = [] {
    void* lib = dlopen(WBTRV32_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!lib) throw std::runtime_error(dlerror());
    return reinterpret_cast<BtrCallFn>(dlsym(lib, "BTRCALL"));
  }();
  return call;
}

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// Record n (1-based): autoincrement in bytes 0-3 (zero: the engine fills
// it), a unique string in 4-33, a group string in 34-53, filler after.
std::string UniqueText(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "client %08d %-15s", int((int64_t(n) * 7919) % 1000003), "x");
  return std::string(text, 30);
}
std::string GroupText(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "group %05d%9s", n % DuplicateGroups, "");
  return std::string(text, 20);
}
std::string Record(int n, bool withId) {
  std::string r(RecordLength, char('a' + n % 26));
  const uint32_t id = withId ? uint32_t(n) : 0;
  std::memcpy(r.data(), &id, 4);
  r.replace(4, 30, UniqueText(n));
  r.replace(34, 20, GroupText(n));
  return r;
}
// The autoincrement's order-preserving form, as the raw side indexes it.
std::string IdKey(int n) {
  const uint32_t v = uint32_t(n) ^ 0x80000000u;
  return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// ---- the engine side

class EngineFile {
public:
  static void Create(const std::string& path) {
    using namespace engine::key_flag;
    std::string spec(16 + 3 * 16, '\0');
    auto put16 = [&](size_t at, uint16_t v) {
      spec[at] = char(v);
      spec[at + 1] = char(v >> 8);
    };
    put16(0, RecordLength);
    put16(2, 4096);
    put16(4, 3);
    const uint16_t seg[3][3] = {{1, 4, ExtendedType}, {5, 30, ExtendedType}, {35, 20, ExtendedType | Duplicates}};
    for (int k = 0; k < 3; ++k) {
      put16(16 + 16 * k, seg[k][0]);
      put16(18 + 16 * k, seg[k][1]);
      put16(20 + 16 * k, seg[k][2]);
    }
    spec[16 + 10] = char(engine::key_type::AutoIncrement);
    std::array<uint8_t, 128> pos{};
    std::string name = path + '\0';
    uint32_t len = uint32_t(spec.size());
    Check(Btr()(engine::op::Create, pos.data(), spec.data(), &len, name.data(), uint8_t(name.size()), 0) == 0,
          "create " + path);
  }
  explicit EngineFile(const std::string& path) {
    std::string name = path + '\0';
    uint32_t len = 0;
    Check(Btr()(engine::op::Open, pos_.data(), nullptr, &len, name.data(), 255, 0) == 0, "open " + path);
  }
  ~EngineFile() { Call(engine::op::Close, 0); }
  // Begin, End and Abort need no data.
  void ClientCall(uint16_t op) {
    uint32_t len = 0;
    Check(Btr()(op, pos_.data(), nullptr, &len, key_.data(), 255, 0) == 0, "engine transaction call");
  }
  int16_t Call(uint16_t op, int8_t keyNum) {
    uint32_t len = RecordLength;
    return Btr()(op, pos_.data(), data_.data(), &len, key_.data(), 255, keyNum);
  }
  void Insert(const std::string& record) {
    std::memcpy(data_.data(), record.data(), RecordLength);
    Check(Call(engine::op::Insert, 0) == 0, "engine insert");
  }
  std::array<char, 256> key_{};
  std::array<char, RecordLength> data_{};

private:
  std::array<uint8_t, 128> pos_{};
};

// ---- the raw side

class RawFile {
public:
  explicit RawFile(const std::string& path) {
    Check(sqlite3_open(path.c_str(), &db_) == SQLITE_OK, "raw open");
    Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL;"
         "CREATE TABLE IF NOT EXISTS t(id INTEGER PRIMARY KEY AUTOINCREMENT, rec BLOB NOT NULL,"
         " k0 BLOB NOT NULL, k1 BLOB NOT NULL, k2 BLOB NOT NULL);"
         "CREATE UNIQUE INDEX IF NOT EXISTS t_k0 ON t(k0);"
         "CREATE UNIQUE INDEX IF NOT EXISTS t_k1 ON t(k1);"
         "CREATE INDEX IF NOT EXISTS t_k2 ON t(k2);");
  }
  ~RawFile() {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
  }
  void Exec(const char* sql) { Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql); }
  sqlite3_stmt* Statement(const std::string& sql) {
    sqlite3_stmt*& stmt = statements_[sql];
    if (!stmt) Check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK, sql);
    return stmt;
  }
  void Insert(int n) {
    sqlite3_stmt* stmt = Statement("INSERT INTO t(rec, k0, k1, k2) VALUES (?1, ?2, ?3, ?4)");
    const std::string record = Record(n, true), k0 = IdKey(n), k1 = UniqueText(n), k2 = GroupText(n);
    sqlite3_bind_blob(stmt, 1, record.data(), int(record.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt, 2, k0.data(), int(k0.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt, 3, k1.data(), int(k1.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt, 4, k2.data(), int(k2.size()), SQLITE_STATIC);
    Check(sqlite3_step(stmt) == SQLITE_DONE, "raw insert");
    sqlite3_reset(stmt);
  }
  // Runs a statement with a blob and an id bound; copies the first row's
  // record and key out. False when there is no row.
  bool Row(sqlite3_stmt* stmt, const std::string& key, int64_t id, std::string& record, std::string& rowKey,
           int64_t& rowId) {
    sqlite3_bind_blob(stmt, 1, key.data(), int(key.size()), SQLITE_STATIC);
    if (sqlite3_bind_parameter_count(stmt) >= 2) sqlite3_bind_int64(stmt, 2, id);
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    if (found) {
      rowId = sqlite3_column_int64(stmt, 0);
      record.assign(static_cast<const char*>(sqlite3_column_blob(stmt, 1)), size_t(sqlite3_column_bytes(stmt, 1)));
      rowKey.assign(static_cast<const char*>(sqlite3_column_blob(stmt, 2)), size_t(sqlite3_column_bytes(stmt, 2)));
    }
    sqlite3_reset(stmt);
    return found;
  }

private:
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> statements_;
};

// ---- the files

struct Folder {
  Folder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/engine-bench-XXXXXX";
    Check(mkdtemp(pattern.data()) != nullptr, "temporary folder");
    path = pattern;
  }
  ~Folder() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

Folder& Work() {
  static Folder folder;
  return folder;
}

// The 100,000-record files, made once for every read workload. The engine
// commits each insert on its own, so its file is filled in memory-backed
// /dev/shm where that is quick, then moved beside the raw one.
void MakeReadFiles() {
  static bool made = false;
  if (made) return;
  made = true;
  const bool shm = fs::is_directory("/dev/shm");
  const std::string scratch = shm ? "/dev/shm/engine-bench-" + std::to_string(getpid()) + ".dat" : Work() / "engine.dat";
  EngineFile::Create(scratch);
  {
    EngineFile f(scratch);
    for (int n = 1; n <= FileRecords; ++n) f.Insert(Record(n, false));
  }
  if (shm) {
    fs::copy_file(scratch, Work() / "engine.dat");
    fs::remove(scratch);
  }
  RawFile raw(Work() / "raw.db");
  raw.Exec("BEGIN");
  for (int n = 1; n <= FileRecords; ++n) raw.Insert(n);
  raw.Exec("COMMIT");
}

std::vector<int> RandomRecords() {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> pick(1, FileRecords);
  std::vector<int> ns(Lookups);
  for (int& n : ns) n = pick(random);
  return ns;
}

// ---- the workloads, one function per side

int fileSerial = 0;

// The most memory SQLite held during one insert_tx, per side.
std::map<std::string, int64_t> transactionMemory;

void ResetMemoryHighWater() {
  sqlite3_int64 current = 0, highest = 0;
  sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &current, &highest, 1);
}
void NoteMemoryHighWater(const std::string& side) {
  sqlite3_int64 current = 0, highest = 0;
  sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &current, &highest, 0);
  transactionMemory[side] = std::max<int64_t>(transactionMemory[side], highest);
}

// Inserts count records into a fresh file; inside one transaction when
// transaction is set.
void EngineInsert(benchmark::State& state, int count, bool transaction) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = Work() / ("ins" + std::to_string(++fileSerial) + ".dat");
    EngineFile::Create(path);
    {
      EngineFile f(path);
      ResetMemoryHighWater();
      state.ResumeTiming();
      if (transaction) f.ClientCall(engine::op::BeginTransaction);
      for (int n = 1; n <= count; ++n) f.Insert(Record(n, false));
      if (transaction) f.ClientCall(engine::op::EndTransaction);
      state.PauseTiming();
      if (transaction) NoteMemoryHighWater("engine");
    }
    fs::remove(path);
    state.ResumeTiming();
  }
}

void RawInsert(benchmark::State& state, int count, bool transaction) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = Work() / ("ins" + std::to_string(++fileSerial) + ".db");
    {
      RawFile f(path);
      ResetMemoryHighWater();
      state.ResumeTiming();
      if (transaction) f.Exec("BEGIN");
      for (int n = 1; n <= count; ++n) f.Insert(n);
      if (transaction) f.Exec("COMMIT");
      state.PauseTiming();
      if (transaction) NoteMemoryHighWater("raw");
    }
    fs::remove(path);
    state.ResumeTiming();
  }
}

void EngineEqual(benchmark::State& state, int key) {
  MakeReadFiles();
  const std::vector<int> ns = RandomRecords();
  EngineFile f(Work() / "engine.dat");
  for (auto _ : state) {
    for (int n : ns) {
      if (key == 0) {
        const uint32_t id = uint32_t(n);
        std::memcpy(f.key_.data(), &id, 4);
      } else {
        std::memcpy(f.key_.data(), UniqueText(n).data(), 30);
      }
      Check(f.Call(engine::op::GetEqual, int8_t(key)) == 0, "engine get equal");
    }
  }
}

void RawEqual(benchmark::State& state, int key) {
  MakeReadFiles();
  const std::vector<int> ns = RandomRecords();
  RawFile f(Work() / "raw.db");
  sqlite3_stmt* stmt = f.Statement("SELECT id, rec, k" + std::to_string(key) + " FROM t WHERE k" +
                                   std::to_string(key) + " = ?1");
  std::string record, rowKey;
  int64_t id = 0;
  for (auto _ : state) {
    for (int n : ns) Check(f.Row(stmt, key == 0 ? IdKey(n) : UniqueText(n), 0, record, rowKey, id), "raw get equal");
  }
}

void EngineWalk(benchmark::State& state, int key) {
  MakeReadFiles();
  EngineFile f(Work() / "engine.dat");
  for (auto _ : state) {
    int count = 0;
    for (int16_t s = f.Call(engine::op::GetFirst, int8_t(key)); s == 0; s = f.Call(engine::op::GetNext, int8_t(key)))
      ++count;
    Check(count == FileRecords, "engine walk count");
  }
}

void RawWalk(benchmark::State& state, int key) {
  MakeReadFiles();
  RawFile f(Work() / "raw.db");
  const std::string k = "k" + std::to_string(key);
  const std::string cols = "SELECT id, rec, " + k + " FROM t ";
  sqlite3_stmt* first = f.Statement(cols + "ORDER BY " + k + ", id LIMIT 1");
  sqlite3_stmt* same = f.Statement(cols + "WHERE " + k + " = ?1 AND id > ?2 ORDER BY id LIMIT 1");
  sqlite3_stmt* greater = f.Statement(cols + "WHERE " + k + " > ?1 ORDER BY " + k + ", id LIMIT 1");
  const bool duplicates = key == 2;
  for (auto _ : state) {
    std::string record, rowKey;
    int64_t id = 0;
    int count = 0;
    bool more = f.Row(first, "", 0, record, rowKey, id);
    while (more) {
      ++count;
      const std::string at = rowKey;
      more = (duplicates && f.Row(same, at, id, record, rowKey, id)) || f.Row(greater, at, 0, record, rowKey, id);
    }
    Check(count == FileRecords, "raw walk count");
  }
}

// ---- rounds and ratios

struct Workload {
  std::string name;
  void (*engine)(benchmark::State&, int);
  void (*raw)(benchmark::State&, int);
  int key;
};

void EngineInsertK(benchmark::State& s, int) { EngineInsert(s, InsertCount, false); }
void RawInsertK(benchmark::State& s, int) { RawInsert(s, InsertCount, false); }
void EngineInsertTx(benchmark::State& s, int) { EngineInsert(s, TransactionInserts, true); }
void RawInsertTx(benchmark::State& s, int) { RawInsert(s, TransactionInserts, true); }

class RatioReporter : public benchmark::ConsoleReporter {
public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      // "<workload>/<side>/round:<n>"
      const size_t slash = name.find('/');
      const std::string workload = name.substr(0, slash);
      const bool engine = name.compare(slash + 1, 6, "engine") == 0;
      (engine ? engineTime_ : rawTime_)[workload] += run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios(const std::vector<Workload>& workloads) {
    std::printf("\n%-10s %14s %14s %8s\n", "workload", "engine ms", "raw SQLite ms", "ratio");
    for (const Workload& w : workloads) {
      const double e = engineTime_[w.name], r = rawTime_[w.name];
      std::printf("%-10s %14.1f %14.1f %7.2fx\n", w.name.c_str(), e, r, r > 0 ? e / r : 0.0);
    }
    std::printf("\nmost memory SQLite held during insert_tx: engine %.1f MB, raw SQLite %.1f MB\n",
                double(transactionMemory["engine"]) / 1e6, double(transactionMemory["raw"]) / 1e6);
  }

private:
  std::map<std::string, double> engineTime_, rawTime_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Workload> workloads = {
      {"insert", EngineInsertK, RawInsertK, 0}, {"insert_tx", EngineInsertTx, RawInsertTx, 0},
      {"equal_k0", EngineEqual, RawEqual, 0},
      {"equal_k1", EngineEqual, RawEqual, 1},   {"walk_k0", EngineWalk, RawWalk, 0},
      {"walk_k1", EngineWalk, RawWalk, 1},      {"walk_k2", EngineWalk, RawWalk, 2},
  };
  const char* roundsText = std::getenv("MD_BENCH_ROUNDS");
  const int rounds = roundsText ? std::max(1, std::atoi(roundsText)) : 3;
  for (int round = 0; round < rounds; ++round) {
    for (const Workload& w : workloads) {
      for (int side = 0; side < 2; ++side) {
        const bool engineSide = (side == 0) == (round % 2 == 0);
        const std::string name = w.name + (engineSide ? "/engine" : "/raw") + "/round:" + std::to_string(round);
        auto fn = engineSide ? w.engine : w.raw;
        const int key = w.key;
        benchmark::RegisterBenchmark(name.c_str(), [fn, key](benchmark::State& s) { fn(s, key); })
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  try {
    benchmark::RunSpecifiedBenchmarks(&reporter);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "engine_bench: %s\n", e.what());
    return 1;
  }
  reporter.PrintRatios(workloads);
  benchmark::Shutdown();
  return 0;
}
