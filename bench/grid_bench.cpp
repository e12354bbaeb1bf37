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
// The baseline runs first; the engine's run carries the ratio counter
// (engine mean / sqlite mean).
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
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

void WriteDataFile() {
  const std::string name = DataFileName(TTemplateNumber(TplNo));
  const TFld& key = Store.FldTable[1];
  const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true},
                                   {1, 1, uint16_t(key.Offset), uint16_t(key.KeyWidth), true, true, false, false}};
  std::string msg;
  Check(BtrCreateFile(name, uint16_t(Store.RecLen + 8), int8_t(keys.size()), msg, 255, true, keys), msg);
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < Records; ++i) {
    const std::string nameText = Format("%s %d", (next() % 2) ? "smith" : "Baker", int(next() % 100000));
    const std::string amount = Format("%d.%.2d", int(next() % 1000000) - 500000, int(next() % 100));
    const std::string opened = Format("%.4d%.2d%.2d", 1990 + int(next() % 35), 1 + int(next() % 12), 1 + int(next() % 28));
    blobs.push_back(WithPrefix(uint32_t(i + 1), FillRecord({{1, nameText}, {2, amount}, {3, opened}, {4, "note"}})));
  }
  InsertRecords(name, blobs);
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

void BuildSqlite() {
  sql = std::make_unique<TSqlite>();
  const std::string path = (Root() / "grid.sqlite").string();
  Check(sqlite3_open(path.c_str(), &sql->db) == SQLITE_OK, "open " + path);
  Check(sqlite3_exec(sql->db, "CREATE TABLE recs (rec BLOB)", nullptr, nullptr, nullptr) == SQLITE_OK, "create");
  sqlite3_exec(sql->db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(sql->db, "INSERT INTO recs VALUES (?1)", -1, &ins, nullptr);
  for (const std::string& b : blobs) {
    sqlite3_reset(ins);
    sqlite3_bind_blob(ins, 1, b.data(), int(b.size()), SQLITE_TRANSIENT);
    Check(sqlite3_step(ins) == SQLITE_DONE, "insert");
  }
  sqlite3_finalize(ins);
  sqlite3_exec(sql->db, "COMMIT", nullptr, nullptr, nullptr);
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

void SqliteQuery(sqlite3_stmt* S) {
  sqlRows.clear();
  sqlite3_reset(S);
  while (sqlite3_step(S) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < 6; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(S, c));
      row.emplace_back(text ? text : "", size_t(sqlite3_column_bytes(S, c)));
    }
    sqlRows.push_back(std::move(row));
  }
  Check(int(sqlRows.size()) == Records, "sqlite rows");
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
    BtrOpenFile(GridFile, DataFileName(TTemplateNumber(TplNo)), 0);
    benchmark::RunSpecifiedBenchmarks();
    BtrCloseFile(GridFile);
    std::printf("\ngrid fill and sort %.2f ms, sqlite3 %.2f ms, ratio %.2fx\n", bench::MeanMs()["grid"],
                bench::MeanMs()["sqlite"], bench::MeanMs()["grid"] / bench::MeanMs()["sqlite"]);
    sql.reset();
  });
}
