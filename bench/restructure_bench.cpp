// A template restructure against a raw SQLite rewrite of the same records.
//
// The template: five fields (a unique code, a name, a city, an amount with
// one decimal, notes; 132 bytes of text and stamp, records of 140 bytes),
// index 1 on the code (unique), index 2 on city and name, 100,000 records.
// The change, as the designer leaves it: a 12-character field added, the
// amount given two decimals, the name right-justified.
//
//   engine  BuildTemplateDataFile over the template: master record, new
//           descriptor, the data file moved aside, the new one created and
//           every record carried over with its prefix, in one transaction
//   raw     the same record blobs, read in key-0 order from a SQLite table,
//           given the same transform (the save's own record functions) and
//           inserted into a new table of a new database with the same key
//           columns and indexes, in one transaction, with the engine's
//           settings (page size 4096, journal DELETE, synchronous FULL)
//
// The fixture is built once. Each iteration starts from the same old
// generation (copied back untimed) and times both sides by hand; the
// benchmark's time is the engine's, and the counters give both means and
// their ratio. MD_BENCH_ROUNDS sets the iterations (3).
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "templates/data_transfer.h"
#include "templates/descriptor_loader.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/old_layout.h"
#include "templates/template_build.h"
#include "templates/template_number.h"
#include "templates/template_state.h"
#include "testing/template_fixture.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int RecordCount = 100000;
constexpr size_t PrefixLength = 4;
constexpr size_t StampLength = 8;
constexpr int TplNo = 0;
const TTemplateNumber Number(TplNo);
const std::string TemplateName = "Bench";
const std::vector<std::string> TemplateFiles = {"master.dsc", "MNGR000.DSC", "MGRDT000.QMD"};

enum FieldId { Code = 1, Name, City, Amount, Notes };

using bench::Check;

fs::path Root() { return bench::Root("restructure_bench"); }
std::string Pristine() { return (Root() / "pristine").string(); }
std::string Work() { return (Root() / "work").string(); }
std::string RawOld() { return (Root() / "raw-old.db").string(); }
std::string RawNew() { return (Root() / "raw-new.db").string(); }

// ---- the template ----

void BenchTable() {
  TTemplateTableBuilder t;
  t.Add("Code", 'C', 8);
  t.Add("Name", 'C', 30);
  t.Add("City", 'C', 20);
  TFld& amount = t.Add("Amount", 'N', 10);
  amount.RightJustify = true;
  amount.Decimals = 1;
  t.Add("Notes", 'C', 60);
  t.Index(1, {Code}, true, "By code").Index(2, {City, Name}, false, "By city");
}

std::string Text(const char* format, int n) {
  char text[64];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

std::vector<std::string> BenchRecords() {
  std::vector<std::string> records;
  records.reserve(RecordCount);
  for (int n = 1; n <= RecordCount; ++n) {
    const TFieldValues values{{Code, Text("C%07d", n)},
                              {Name, Text("Client %d", (n * 7919) % 100003)},
                              {City, Text("City %03d", n % 500)},
                              {Amount, Text("%d.5", n % 99999)},
                              {Notes, Text("Matter opened for client %d", n)}};
    // Every seventh number left out, as deletions leave them.
    records.push_back(WithPrefix(uint32_t(n + n / 7), FillRecord(values)));
  }
  return records;
}

void ChangeTemplate() {
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Add("Added", 'C', 12);
  Store.LayoutChanged = true;
  t.Field(Amount).Decimals = 2;
  Store.MinMaxChanged = true;
  t.Field(Name).RightJustify = true;
  Store.JustifyChanged = true;
}

// ---- raw SQLite ----

class Db {
public:
  explicit Db(const std::string& path) {
    Check(sqlite3_open(path.c_str(), &db_) == SQLITE_OK, "open " + path);
  }
  ~Db() { sqlite3_close(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return;
    const std::string text = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(sql + ": " + text);
  }
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    Check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK, sql);
    return stmt;
  }

private:
  sqlite3* db_ = nullptr;
};

std::string Schema(const std::string& schema) {
  return "PRAGMA " + schema + ".page_size = 4096; PRAGMA " + schema + ".journal_mode = DELETE; PRAGMA " + schema +
         ".synchronous = FULL; CREATE TABLE " + schema +
         ".records(id INTEGER PRIMARY KEY AUTOINCREMENT, record BLOB NOT NULL, k0 BLOB NOT NULL, k1 BLOB NOT NULL,"
         " k2 BLOB NOT NULL); CREATE UNIQUE INDEX " +
         schema + ".records_k0 ON records(k0); CREATE UNIQUE INDEX " + schema +
         ".records_k1 ON records(k1); CREATE INDEX " + schema + ".records_k2 ON records(k2);";
}

// The key columns of a record by the table in use: the prefix as an
// ordered number, the code, city then name.
struct Keys {
  std::string k0, k1, k2;
};
Keys KeysOf(const std::string& record) {
  const auto part = [&](int id) {
    for (int k = 1; k <= Store.FldCount; ++k) {
      const TFld& f = Store.FldTable[k];
      if (f.FldId == id) return record.substr(size_t(f.Offset - 1), size_t(f.KeyWidth));
    }
    throw std::runtime_error("no field " + std::to_string(id));
  };
  return {std::string(record.rbegin() + std::ptrdiff_t(record.size() - PrefixLength), record.rend()), part(Code),
          part(City) + part(Name)};
}

void Insert(sqlite3_stmt* stmt, const std::string& record) {
  const Keys keys = KeysOf(record);
  sqlite3_bind_blob(stmt, 1, record.data(), int(record.size()), SQLITE_STATIC);
  sqlite3_bind_blob(stmt, 2, keys.k0.data(), int(keys.k0.size()), SQLITE_STATIC);
  sqlite3_bind_blob(stmt, 3, keys.k1.data(), int(keys.k1.size()), SQLITE_STATIC);
  sqlite3_bind_blob(stmt, 4, keys.k2.data(), int(keys.k2.size()), SQLITE_STATIC);
  Check(sqlite3_step(stmt) == SQLITE_DONE, "raw insert");
  sqlite3_reset(stmt);
}

// The old generation's blobs in a table of their own, keyed as the engine
// keys them, with the old table in use.
void BuildRawOld(const std::vector<std::string>& records) {
  fs::remove(RawOld());
  Db db(RawOld());
  db.Exec(Schema("main") + "BEGIN;");
  sqlite3_stmt* insert = db.Prepare("INSERT INTO records(record, k0, k1, k2) VALUES (?1, ?2, ?3, ?4)");
  for (const std::string& r : records) Insert(insert, r);
  sqlite3_finalize(insert);
  db.Exec("COMMIT;");
}

// The new record of an old one, as the transfer makes it.
std::string Transformed(const std::string& old, size_t newLen) {
  std::string text = old.substr(PrefixLength, old.size() - PrefixLength - StampLength);
  std::string carried = CarryFields(text, newLen - PrefixLength - StampLength);
  FormatRecordFields(carried);
  ReformatNumericFields(carried);
  return old.substr(0, PrefixLength) + carried + old.substr(old.size() - StampLength);
}

// REQUIRES: the new table in use, TransferLayout the old one's.
int RawRewrite() {
  fs::remove(RawNew());
  Db db(RawOld());
  db.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL; ATTACH '" + RawNew() + "' AS fresh;" +
          Schema("fresh"));
  const size_t newLen = size_t(Store.RecLen) + StampLength;
  db.Exec("BEGIN;");
  sqlite3_stmt* read = db.Prepare("SELECT record FROM main.records ORDER BY k0");
  sqlite3_stmt* insert = db.Prepare("INSERT INTO fresh.records(record, k0, k1, k2) VALUES (?1, ?2, ?3, ?4)");
  int carried = 0;
  while (sqlite3_step(read) == SQLITE_ROW) {
    const std::string old(static_cast<const char*>(sqlite3_column_blob(read, 0)), size_t(sqlite3_column_bytes(read, 0)));
    Insert(insert, Transformed(old, newLen));
    ++carried;
  }
  sqlite3_finalize(read);
  sqlite3_finalize(insert);
  db.Exec("COMMIT;");
  return carried;
}

// ---- the fixture ----

TOldLayout oldLayout;

void BuildFixture() {
  fs::create_directories(Pristine());
  Store.Reset();
  Store.DataDir = Pristine();
  bench::CreateMaster();
  BenchTable();
  Check(BuildTemplateDataFile(TemplateName), "new template");
  const std::vector<std::string> records = BenchRecords();
  InsertRecords(DataFileName(Number), records);
  BuildRawOld(records);
  oldLayout = ReadOldLayout(DescriptorFileName(Number), Store.RecLen);
  BtrCloseAllFiles();
}

// The work folder holds the old generation again.
void RestoreWork() {
  fs::create_directories(Work());
  for (const std::string& name : TemplateFiles) {
    const std::string target = Work() + "/" + name;
    if (FileExists(target)) Check(DeleteFile(target), "delete " + target);
    Check(CopyFile(Pristine() + "/" + name, target, true), "copy " + name);
  }
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Restructure(benchmark::State& state) {
  double engineTotal = 0, rawTotal = 0;
  for (auto _ : state) {
    RestoreWork();
    Store.Reset();
    Store.DataDir = Work();
    LoadForModification(TplNo, true);
    ChangeTemplate();

    auto start = std::chrono::steady_clock::now();
    Check(BuildTemplateDataFile(TemplateName), "restructure");
    const double engine = Since(start);

    TransferLayout = oldLayout;
    start = std::chrono::steady_clock::now();
    const int carried = RawRewrite();
    const double raw = Since(start);
    Check(carried == RecordCount, "raw rewrite count");

    state.SetIterationTime(engine);
    engineTotal += engine;
    rawTotal += raw;
  }
  BtrOpenFile(9, DataFileName(Number), 0);
  Check(BtrRecordCount(9) == RecordCount, "restructured count");
  Check(BtrRecordLength(9) == Store.RecLen + StampLength, "restructured length");
  BtrCloseFile(9);
  const double n = double(state.iterations());
  state.counters["engine_s"] = engineTotal / n;
  state.counters["raw_s"] = rawTotal / n;
  state.counters["ratio"] = rawTotal > 0 ? engineTotal / rawTotal : 0;
  std::printf("restructure of %d records: engine %.3f s, raw SQLite %.3f s, ratio %.2fx\n", RecordCount,
              engineTotal / n, rawTotal / n, rawTotal > 0 ? engineTotal / rawTotal : 0);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* rounds = std::getenv("MD_BENCH_ROUNDS");
  benchmark::RegisterBenchmark("restructure/100000", Restructure)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(rounds ? std::max(1, std::atoi(rounds)) : 3);
  return bench::Run("restructure_bench", [&] {
    BuildFixture();
    benchmark::RunSpecifiedBenchmarks();
  });
}
