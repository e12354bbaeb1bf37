// The grid view's fill and sorts (no window) against the sqlite3 library
// doing the same on the same record blobs.
//
//   engine  every record of a 10,000-record template data file read
//           through the numbered-file layer (Get First, Get Next), its
//           cells cut by the record codec (the date as the grid shows it),
//           its key text and position cell made, appended to the grid's
//           table; then the table sorted by the text column and by the
//           numeric column
//   sqlite  the same blobs in a table of their own; two queries cutting the
//           same columns with substr, one ordered by the text column
//           without case, one by the numeric value
//
//   find    Find All through the find's reading class (entry/grid_find.h)
//           over 10,000 records of another template (a date, a
//           right-justified number, a check box, a template lookup with one
//           display column read from its target by the stored key bytes):
//           file 52 in index-1 order, every cell, key text and position
//   sqlite  the same blobs and the target's in tables of their own; one
//           query cutting the same cells with substr, the display column by
//           a join on the key bytes, ordered by the index-1 key (an
//           expression index on it)
//
// The baseline runs first; the engine's run carries the ratio counter
// (engine mean / sqlite mean).
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "entry/grid_find.h"
#include "entry/grid_table.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/template_number.h"
#include "templates/template_state.h"
#include "testing/template_fixture.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bench::Check;

constexpr int Records = 10000;
constexpr int TplNo = 1;
constexpr uint8_t GridFile = 52;

fs::path Root() { return bench::Root("grid_bench"); }

std::vector<std::string> blobs;

// Name C 20 (index 1), Amount N 12 right-justified, Opened D 8, Notes C 30.
void DefineTemplate() {
  TTemplateTableBuilder t;
  t.Add("Name", 'C', 20);
  t.Add("Amount", 'N', 12).RightJustify = true;
  t.Add("Opened", 'D', 8);
  t.Add("Notes", 'C', 30);
  t.Index(1, {1}, false, "By name");
}

// Template Number's data file, its key 1 the first field (duplicates
// allowed), holding Records.
void CreateDataFile(int Number, const std::vector<std::string>& Records) {
  const TFld& key = Store.FldTable[1];
  const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true},
                                   {1, 1, uint16_t(key.Offset), uint16_t(key.KeyWidth), true, true, false, false}};
  std::string msg;
  const std::string name = DataFileName(TTemplateNumber(Number));
  Check(BtrCreateFile(name, uint16_t(Store.RecLen + 8), int8_t(keys.size()), msg, 255, true, keys), msg);
  InsertRecords(name, Records);
}

void WriteDataFile() {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < Records; ++i) {
    const std::string nameText = Format("%s %d", (next() % 2) ? "smith" : "Baker", int(next() % 100000));
    const std::string amount = Format("%d.%.2d", int(next() % 1000000) - 500000, int(next() % 100));
    const std::string opened = Format("%.4d%.2d%.2d", 1990 + int(next() % 35), 1 + int(next() % 12), 1 + int(next() % 28));
    blobs.push_back(WithPrefix(uint32_t(i + 1), FillRecord({{1, nameText}, {2, amount}, {3, opened}, {4, "note"}})));
  }
  CreateDataFile(TplNo, blobs);
}

// The date cell as the grid shows it: month/day/year.
std::string DateCell(std::string_view Stored) {
  int y = 0, m = 0, d = 0;
  if (!TryStrToInt(Stored.substr(0, 4), y) || !TryStrToInt(Stored.substr(4, 2), m) ||
      !TryStrToInt(Stored.substr(6, 2), d))
    return "";
  TDateTime value = 0;
  return TryEncodeDate(y, m, d, value) ? DateToStr(value) : "";
}

TGridTable table;

void EngineFillAndSort() {
  table.ClearRows();
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(GridFile, rec, atEnd, false); !atEnd; BtrGetNext(GridFile, rec, atEnd, false)) {
    const std::string_view r(reinterpret_cast<const char*>(rec.data()), rec.size());
    table.AppendRow({Trim(FieldTextOf(r, Store.FldTable[1])), Trim(FieldTextOf(r, Store.FldTable[2])),
                     DateCell(FieldTextOf(r, Store.FldTable[3])), Trim(FieldTextOf(r, Store.FldTable[4]))},
                    IndexKeyText(r, 1), FormatGridPosition(BtrSavePosition(GridFile, rec)));
  }
  Check(table.RowCount() == Records, "rows read");
  table.SortGridByColumn(1, false);
  table.SortGridByColumn(2, false);
}

struct TSqlite {
  sqlite3* db = nullptr;
  sqlite3_stmt* byName = nullptr;
  sqlite3_stmt* byAmount = nullptr;
  ~TSqlite() {
    sqlite3_finalize(byName);
    sqlite3_finalize(byAmount);
    sqlite3_close(db);
  }
};
std::unique_ptr<TSqlite> sql;

// Each blob in one transaction; Keyed binds its 4-byte prefix first.
void InsertBlobs(sqlite3* Db, const char* Insert, const std::vector<std::string>& Blobs, bool Keyed) {
  sqlite3_exec(Db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  Check(sqlite3_prepare_v2(Db, Insert, -1, &ins, nullptr) == SQLITE_OK, Insert);
  for (const std::string& b : Blobs) {
    sqlite3_reset(ins);
    int n = 1;
    if (Keyed) sqlite3_bind_blob(ins, n++, b.data(), 4, SQLITE_TRANSIENT);
    sqlite3_bind_blob(ins, n, b.data(), int(b.size()), SQLITE_TRANSIENT);
    Check(sqlite3_step(ins) == SQLITE_DONE, Insert);
  }
  sqlite3_finalize(ins);
  sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
}

void BuildSqlite() {
  sql = std::make_unique<TSqlite>();
  const std::string path = (Root() / "grid.sqlite").string();
  Check(sqlite3_open(path.c_str(), &sql->db) == SQLITE_OK, "open " + path);
  Check(sqlite3_exec(sql->db, "CREATE TABLE recs (rec BLOB)", nullptr, nullptr, nullptr) == SQLITE_OK, "create");
  InsertBlobs(sql->db, "INSERT INTO recs VALUES (?1)", blobs, false);
  const TFld& n = Store.FldTable[1];
  const TFld& a = Store.FldTable[2];
  const TFld& d = Store.FldTable[3];
  const TFld& o = Store.FldTable[4];
  const std::string cols = Format(
      "SELECT trim(substr(rec,%d,%d)), trim(substr(rec,%d,%d)), substr(rec,%d,%d), trim(substr(rec,%d,%d)), "
      "substr(rec,%d,%d), rowid FROM recs ",
      n.Offset, n.Width, a.Offset, a.Width, d.Offset, d.Width, o.Offset, o.Width, n.Offset, n.KeyWidth);
  const std::string byName = cols + Format("ORDER BY substr(rec,%d,14) COLLATE NOCASE, rowid", n.Offset);
  const std::string byAmount =
      cols + Format("ORDER BY CAST(replace(substr(rec,%d,%d),',','') AS REAL), rowid", a.Offset, a.Width);
  Check(sqlite3_prepare_v2(sql->db, byName.c_str(), -1, &sql->byName, nullptr) == SQLITE_OK, byName);
  Check(sqlite3_prepare_v2(sql->db, byAmount.c_str(), -1, &sql->byAmount, nullptr) == SQLITE_OK, byAmount);
}

std::vector<std::vector<std::string>> sqlRows;

void SqliteQuery(sqlite3_stmt* S, int Columns = 6) {
  sqlRows.clear();
  sqlite3_reset(S);
  while (sqlite3_step(S) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < Columns; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(S, c));
      row.emplace_back(text ? text : "", size_t(sqlite3_column_bytes(S, c)));
    }
    sqlRows.push_back(std::move(row));
  }
  Check(int(sqlRows.size()) == Records, "sqlite rows");
}

// ---- Find All ----

constexpr int FindTplNo = 2;
constexpr int TargetTplNo = 3;
constexpr int Targets = 100;
constexpr int TargetSlot = 5;
std::vector<std::string> findBlobs, targetBlobs;
std::map<int, TFieldControl> findLookups;
TGridTable findTable;

// The target: Id C 5 (index 1), Title C 20.
void DefineTarget() {
  TTemplateTableBuilder t;
  t.Add("Id", 'C', 5);
  t.Add("Title", 'C', 20);
  t.Index(1, {1}, true, "By id");
}

// Matter C 8 (index 1), Opened D, Amount N 12 right-justified, Billable B,
// Target C 9 (5 of text, 4 key bytes) looking up the target's title.
void DefineFindTemplate() {
  TTemplateTableBuilder t;
  t.Add("Matter", 'C', 8);
  t.Add("Opened", 'D', 8);
  t.Add("Amount", 'N', 12).RightJustify = true;
  t.Add("Billable", 'B', 1);
  TFld& target = t.Add("Target", 'C', 9);
  target.KeyWidth = 5;
  target.IsLookup = true;
  target.LkpKind = "M";
  target.LkpTarget = "MNGR" + TTemplateNumber(TargetTplNo).ZeroFilled() + ".DSC";
  target.LkpSpec = "1  1";
  target.DispCols[1] = 2;
  t.Index(1, {1}, false, "By matter");
  Store.OpenTplNumber = TTemplateNumber(FindTplNo).ZeroFilled();
}

void WriteFindFiles() {
  DefineTarget();
  const TFld title = Store.FldTable[2];
  const TFld id = Store.FldTable[1];
  for (int i = 1; i <= Targets; ++i)
    targetBlobs.push_back(WithPrefix(uint32_t(i), FillRecord({{1, Format("T%d", i)}, {2, Format("Title %d", i)}})));
  CreateDataFile(TargetTplNo, targetBlobs);
  DefineFindTemplate();
  uint32_t seed = 777;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < Records; ++i) {
    const uint32_t t = 1 + next() % Targets;
    const std::string key{char(t & 0xFF), char(t >> 8), 0, 0};
    const std::string opened =
        next() % 5 == 0 ? std::string(8, ' ')
                        : Format("%.4d%.2d%.2d", 1990 + int(next() % 35), 1 + int(next() % 12), 1 + int(next() % 28));
    findBlobs.push_back(WithPrefix(
        uint32_t(i + 1), FillRecord({{1, Format("M%d", int(next() % 1000000))},
                                     {2, opened},
                                     {3, Format("%d.%.2d", int(next() % 100000), int(next() % 100))},
                                     {4, next() % 2 ? "Y" : "N"},
                                     {5, Format("%-5s", Format("T%d", int(t)).c_str()) + key}})));
  }
  CreateDataFile(FindTplNo, findBlobs);
  TFieldControl control;
  control.DataFileNo = TargetSlot + 60;
  control.ListCols = {TTargetColumn{1, id.Offset, id.Width, ttText, 60, "Id"}};
  control.DispCols = {TTargetColumn{2, title.Offset, title.Width, ttText, -1, "Title"}};
  findLookups[TargetSlot] = control;
  BtrOpenFile(uint8_t(control.DataFileNo), DataFileName(TTemplateNumber(TargetTplNo)), 0);
  BtrSetKeyNumber(uint8_t(control.DataFileNo), 1);
  findTable.SetColumns(std::vector<TGridColumnSpec>(6));
}

sqlite3_stmt* findAll = nullptr;

void BuildFindSqlite() {
  sqlite3* db = sql->db;
  Check(sqlite3_exec(db, "CREATE TABLE matters (rec BLOB); CREATE TABLE targets (k BLOB PRIMARY KEY, rec BLOB)",
                     nullptr, nullptr, nullptr) == SQLITE_OK,
        "create find tables");
  InsertBlobs(db, "INSERT INTO matters VALUES (?1)", findBlobs, false);
  InsertBlobs(db, "INSERT INTO targets VALUES (?1, ?2)", targetBlobs, true);
  const TFld& m = Store.FldTable[1];
  const TFld& d = Store.FldTable[2];
  const TFld& a = Store.FldTable[3];
  const TFld& b = Store.FldTable[4];
  const TFld& t = Store.FldTable[5];
  const TTargetColumn& title = findLookups[TargetSlot].DispCols[0];
  const std::string index = Format("substr(rec,%d,%d)", m.Offset, m.KeyWidth);
  Check(sqlite3_exec(db, ("CREATE INDEX matters_key ON matters(" + index + ")").c_str(), nullptr, nullptr, nullptr) ==
            SQLITE_OK,
        "create index");
  const std::string query = Format(
      "SELECT substr(m.rec,%d,%d), CASE WHEN trim(substr(m.rec,%d,8)) = '' THEN '' ELSE "
      "substr(m.rec,%d,2) || '/' || substr(m.rec,%d,2) || '/' || substr(m.rec,%d,4) END, substr(m.rec,%d,%d), "
      "CASE substr(m.rec,%d,1) WHEN 'Y' THEN 'Y' ELSE ' ' END, substr(m.rec,%d,%d), "
      "ifnull(substr(t.rec,%d,%d), 'not found'), substr(m.rec,%d,%d), m.rowid FROM matters m "
      "LEFT JOIN targets t ON t.k = substr(m.rec,%d,4) ORDER BY substr(m.rec,%d,%d), m.rowid",
      m.Offset, m.KeyWidth, d.Offset, d.Offset + 4, d.Offset + 6, d.Offset, a.Offset, a.KeyWidth, b.Offset, t.Offset,
      t.KeyWidth, title.Pos, title.Width, m.Offset, m.KeyWidth, t.Offset + t.KeyWidth, m.Offset, m.KeyWidth);
  Check(sqlite3_prepare_v2(db, query.c_str(), -1, &findAll, nullptr) == SQLITE_OK, query);
}

void EngineFindAll() {
  TGridReader reader(findLookups, -1);
  TFindRequest request;
  request.SortValues = {""};
  const TFindResult r = reader.Read(findTable, request);
  Check(r.Outcome == TFindOutcome::Done && findTable.RowCount() == Records, "find all: " + r.Error);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* rounds = std::getenv("MD_BENCH_ROUNDS");
  const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 20;
  benchmark::RegisterBenchmark("sqlite fill and sort",
                               [](benchmark::State& s) {
                                 bench::Timed(s, "sqlite", [] {
                                   SqliteQuery(sql->byName);
                                   SqliteQuery(sql->byAmount);
                                 });
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(iterations);
  benchmark::RegisterBenchmark("grid fill and sort",
                               [](benchmark::State& s) {
                                 bench::Timed(s, "grid", EngineFillAndSort);
                                 const double raw = bench::MeanMs()["sqlite"];
                                 s.counters["ratio"] = raw > 0 ? bench::MeanMs()["grid"] / raw : 0;
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(iterations);
  benchmark::RegisterBenchmark("sqlite find all",
                               [](benchmark::State& s) {
                                 DefineFindTemplate();
                                 bench::Timed(s, "sqlite find", [] { SqliteQuery(findAll, 8); });
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(iterations);
  benchmark::RegisterBenchmark("find all",
                               [](benchmark::State& s) {
                                 DefineFindTemplate();
                                 // File 52 was the fill's template.
                                 if (BtrIsFileOpen(GridFile)) BtrCloseFile(GridFile);
                                 bench::Timed(s, "find", EngineFindAll);
                                 const double raw = bench::MeanMs()["sqlite find"];
                                 s.counters["ratio"] = raw > 0 ? bench::MeanMs()["find"] / raw : 0;
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(iterations);
  return bench::Run("grid_bench", [&] {
    fs::create_directories(Root());
    Store.DataDir = Root().string();
    DefineTemplate();
    table.SetColumns({{"Name", 150, TGridColumnKind::Text, false},
                      {"Amount", 90, TGridColumnKind::Numeric, false},
                      {"Opened", 75, TGridColumnKind::Date, false},
                      {"Notes", 200, TGridColumnKind::Text, false}});
    WriteDataFile();
    BuildSqlite();
    WriteFindFiles();
    BuildFindSqlite();
    DefineTemplate();
    BtrOpenFile(GridFile, DataFileName(TTemplateNumber(TplNo)), 0);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\ngrid fill and sort %.2f ms, sqlite3 %.2f ms, ratio %.2fx\n", bench::MeanMs()["grid"],
                bench::MeanMs()["sqlite"], bench::MeanMs()["grid"] / bench::MeanMs()["sqlite"]);
    std::printf("find all %.2f ms, sqlite3 %.2f ms, ratio %.2fx\n", bench::MeanMs()["find"],
                bench::MeanMs()["sqlite find"], bench::MeanMs()["find"] / bench::MeanMs()["sqlite find"]);
    sqlite3_finalize(findAll);
    sql.reset();
  });
}
