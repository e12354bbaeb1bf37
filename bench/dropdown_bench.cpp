// The entry screen's dropdown fills (no window) against the sqlite3 library
// reading the same rows.
//
//   engine  TDropdownList::Fill over the record manager: Get Greater or
//           Equal on the typed text, up to 12 Get Previous, the rows read
//           with Get Next, translations by Get Equal
//   sqlite  the same record blobs in a table of their own, indexed on the
//           key bytes; prepared statements: the seek, the 12 back, the rows
//           on from the start, each translation a point read; every row's
//           cells cut from the blob as the list does
//
// Workloads: 10,000 clients by code (a typed position, the start, the end,
// a backward fill from the middle); the cases of the client with the most
// cases, with a column translated through the employee file; a 10,000-record
// template lookup target with a date column. The sample office is written
// once; each workload's mean is printed with its ratio to SQLite.
//
// Two more compare with the bare work underneath: a client lookup's exit
// check without widgets (the list refilled from the text, the typed row
// matched) against the same reads straight through the numbered-file
// layer (seek, 12 back, the rows on, the code compared); and a 500-item
// two-column user list filled into the rows against reading its file and
// splitting the lines alone.
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "entry/dropdown_list.h"
#include "entry/field_checks.h"
#include "entry/template_lookup.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/sample_office.h"
#include "templates/template_number.h"
#include "templates/template_state.h"
#include "templates/user_list_store.h"
#include "templates/validation_files.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using bench::Check;

// The most the sample office codes in seven characters (three letters, 100 + i).
constexpr int Clients = 9900;
constexpr int Cases = 20000;
constexpr int Employees = 60;
constexpr int TargetRecords = 10000;
constexpr int TargetNo = 7;
constexpr int FieldSlot = 1;
constexpr uint16_t TargetRecLen = 4 + 8 + 30 + 8 + 8;
constexpr int UserListItems = 500;
constexpr int UserListNo = 7;

fs::path Root() { return bench::Root("dropdown_bench"); }

TSampleOffice office;
std::vector<std::string> clientCodes;  // in key order, trimmed
std::string busyClient;                // the client with the most cases
std::vector<std::string> targetCodes;

// ---- the sqlite side ----

class Db {
public:
  explicit Db(const std::string& Path) { Check(sqlite3_open(Path.c_str(), &db_) == SQLITE_OK, "open " + Path); }
  ~Db() {
    for (auto& [sql, stmt] : stmts_) sqlite3_finalize(stmt);
    sqlite3_close(db_);
  }
  void Exec(const std::string& Sql) { Check(sqlite3_exec(db_, Sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK, Sql); }
  sqlite3_stmt* Stmt(const std::string& Sql) {
    sqlite3_stmt*& s = stmts_[Sql];
    if (!s) Check(sqlite3_prepare_v2(db_, Sql.c_str(), -1, &s, nullptr) == SQLITE_OK, Sql);
    sqlite3_reset(s);
    return s;
  }

private:
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> stmts_;
};

std::unique_ptr<Db> db;

void Bind(sqlite3_stmt* S, int I, const std::string& Bytes) {
  sqlite3_bind_blob(S, I, Bytes.data(), int(Bytes.size()), SQLITE_TRANSIENT);
}
std::string Column(sqlite3_stmt* S, int I) {
  return std::string(static_cast<const char*>(sqlite3_column_blob(S, I)), size_t(sqlite3_column_bytes(S, I)));
}

void LoadTable(const std::string& Name, const std::vector<std::pair<std::string, std::string>>& KeyedRecords) {
  db->Exec("CREATE TABLE " + Name + " (k BLOB NOT NULL, rec BLOB NOT NULL); CREATE INDEX " + Name + "_k ON " + Name +
           "(k);");
  db->Exec("BEGIN;");
  for (const auto& [key, rec] : KeyedRecords) {
    sqlite3_stmt* s = db->Stmt("INSERT INTO " + Name + " VALUES (?1, ?2)");
    Bind(s, 1, key);
    Bind(s, 2, rec);
    Check(sqlite3_step(s) == SQLITE_DONE, "insert " + Name);
  }
  db->Exec("COMMIT;");
}

// The list the way the dropdown reads it: the record at or after Key (or
// the last), up to 12 before it within [Low, High), 41 + those from there.
// Cut is the row's cells; Translate the per-row point reads.
template <class Cut>
int SqliteFill(const std::string& Table, const std::string& Key, const std::string& Low, const std::string& High,
               int Back, Cut&& CutRow) {
  sqlite3_stmt* seek = db->Stmt("SELECT k FROM " + Table + " WHERE k >= ?1 AND k < ?2 ORDER BY k LIMIT 1");
  Bind(seek, 1, std::max(Key, Low));
  Bind(seek, 2, High);
  std::string start;
  if (sqlite3_step(seek) == SQLITE_ROW) {
    start = Column(seek, 0);
  } else {
    sqlite3_stmt* last = db->Stmt("SELECT k FROM " + Table + " WHERE k >= ?1 AND k < ?2 ORDER BY k DESC LIMIT 1");
    Bind(last, 1, Low);
    Bind(last, 2, High);
    if (sqlite3_step(last) != SQLITE_ROW) return 0;
    start = Column(last, 0);
  }
  sqlite3_stmt* back = db->Stmt("SELECT k FROM " + Table + " WHERE k < ?1 AND k >= ?2 ORDER BY k DESC LIMIT ?3");
  Bind(back, 1, start);
  Bind(back, 2, Low);
  sqlite3_bind_int(back, 3, Back);
  int n = 0;
  while (sqlite3_step(back) == SQLITE_ROW) {
    start = Column(back, 0);
    ++n;
  }
  sqlite3_stmt* on = db->Stmt("SELECT rec FROM " + Table + " WHERE k >= ?1 AND k < ?2 ORDER BY k LIMIT ?3");
  Bind(on, 1, start);
  Bind(on, 2, High);
  sqlite3_bind_int(on, 3, RowsBelowStart + 1 + n);
  int rows = 0;
  TDropdownRow cells;
  while (sqlite3_step(on) == SQLITE_ROW) {
    CutRow(Column(on, 0), cells);
    ++rows;
  }
  return rows;
}

const std::string AllKeys = std::string(1, '\0');
const std::string PastAll(16, '\xff');

std::string Cut(const std::string& Rec, TFamilyField F) { return Rec.substr(F.Pos - 1, F.Len); }

void CutClient(const std::string& Rec, TDropdownRow& Cells) {
  Cells[0] = Cut(Rec, ClientFld::Code);
  std::string name = Cut(Rec, ClientFld::Name);
  JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  Cells[1] = name;
}

void CutCase(const std::string& Rec, TDropdownRow& Cells) {
  Cells[0] = Cut(Rec, CaseFld::SuffixLeft);
  sqlite3_stmt* emp = db->Stmt("SELECT rec FROM employees WHERE k = ?1");
  Bind(emp, 1, Cut(Rec, CaseFld::RespAtty1));
  if (sqlite3_step(emp) == SQLITE_ROW) {
    std::string name = Cut(Column(emp, 0), EmpFld::Name);
    JoinNameParts(name, EmpNamePart1, EmpNamePart2);
    Cells[1] = name;
  } else {
    Cells[1] = NotFoundText;
  }
  Cells[5] = Cut(Rec, CaseFld::Client);
  Cells[6] = Cut(Rec, CaseFld::AltId);
  Cells[7] = Cut(Rec, CaseFld::RespAtty1);
}

void CutTarget(const std::string& Rec, TDropdownRow& Cells) {
  Cells[0] = Rec.substr(4, 8);
  Cells[1] = Rec.substr(12, 30);
  const std::string d = Rec.substr(42, 8);
  Cells[2] = d.substr(4, 2) + "/" + d.substr(6, 2) + "/" + d.substr(0, 4);
}

// ---- the fixture ----

std::string Office() { return (Root() / "office").string(); }
std::string Data() { return (Root() / "data").string(); }

std::vector<std::pair<std::string, std::string>> Keyed(const TFamilyFile& File,
                                                         std::string (*KeyOf)(const std::string&)) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& r : office.Records(File)) out.emplace_back(KeyOf(r), r);
  return out;
}

void BuildTarget() {
  const std::string name = DataFileName(TTemplateNumber(TargetNo));
  const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true}, {1, 0, 5, 8, false, true, false}};
  std::string msg;
  Check(BtrCreateFile(name, TargetRecLen, int8_t(keys.size()), msg, 255, true, keys), msg);
  BtrOpenFile(9, name, 0);
  std::vector<std::pair<std::string, std::string>> rows;
  BtrBeginTransaction();
  for (int i = 0; i < TargetRecords; ++i) {
    const std::string code = Format("M%.7d", (i * 7919) % TargetRecords);
    std::string text = code + Format("%-30s", "Matter " + IntToStr(i)) +
                       Format("%.4d%.2d%.2d", 1990 + i % 35, 1 + i % 12, 1 + i % 28) + "20261210";
    BtrInsertRecord(9, text);
    rows.emplace_back(code, std::string(4, '\0') + text);
    targetCodes.push_back(code);
  }
  BtrEndTransaction();
  BtrCloseFile(9);
  std::sort(targetCodes.begin(), targetCodes.end());
  LoadTable("target", rows);
}

void BuildFixture() {
  fs::create_directories(Data());
  Store.Reset();
  Store.DataDir = Data();
  Store.DataRoot = Office();
  office = BuildSampleOffice({Clients, Cases, Employees});
  std::vector<TSampleFileCount> counts;
  std::string msg;
  Check(WriteSampleOffice(Office(), office, counts, msg), msg);
  for (const TSampleClient& c : office.Clients) clientCodes.push_back(Format("%-7s", c.Code));
  std::sort(clientCodes.begin(), clientCodes.end());
  std::map<std::string, int> perClient;
  for (const TSampleCase& k : office.Cases) ++perClient[k.Client];
  busyClient = std::max_element(perClient.begin(), perClient.end(), [](const auto& a, const auto& b) {
                 return a.second < b.second;
               })->first;
  db = std::make_unique<Db>((Root() / "reference.db").string());
  db->Exec("PRAGMA journal_mode = DELETE;");
  LoadTable("clients", Keyed(ClientFile, [](const std::string& r) { return Cut(r, ClientFld::Code); }));
  LoadTable("cases", Keyed(CaseFile, [](const std::string& r) { return Cut(r, CaseFld::Client) + Cut(r, CaseFld::SuffixLeft); }));
  LoadTable("employees", Keyed(EmployeeFile, [](const std::string& r) { return Cut(r, EmpFld::Code); }));
  BuildTarget();
  std::vector<std::string> items{ListHeaderLine("Bench list")};
  for (int i = 0; i < UserListItems; ++i) items.push_back(Format("Item %04d", i) + ListSep + Format("Value %d", i));
  WriteUserListFile(UserListNo, items);
}

// ---- the engine side ----

TDropdownState state;
TDropdownRows rows;
TDropdownList list(state, rows);
TFieldControl targetControl;

void FamilyList(const std::string& Spec, TListSource Source, bool CaseKeyOption) {
  BtrCloseAllFiles();
  FamilyLookup.Reset();
  FamilyLookup.CaseKeyOption = CaseKeyOption;
  TFld& f = Store.FldTable[FieldSlot];
  InitFieldSlot(FieldSlot);
  f.Name = "Lookup";
  f.LkpKind = "L";
  f.IsLookup = true;
  f.LkpSpec = Spec;
  Check(OpenValidationForLookup(StrToInt(Trim(Copy(Spec, 2, 3))), FieldSlot) == 1, "open " + Spec);
  std::vector<int> widths;
  SetDropdownColumns(FieldSlot, widths);
  for (int id = 1; id <= HostFileId::Count; ++id)
    if (FamilyLookup.HostFileOpen[id]) OpenHostFile(id);
  state = TDropdownState();
  state.Slot = FieldSlot;
  state.Source = Source;
  state.KeepIds = true;
}

void TargetList() {
  BtrCloseAllFiles();
  BtrOpenFile(TemplateLookupFileNo, DataFileName(TTemplateNumber(TargetNo)), 0);
  BtrSetKeyNumber(TemplateLookupFileNo, 1);
  Store.LkpDataRec.assign(TargetRecLen, 0);
  targetControl.ListCols = {{1, 5, 8, ttText, 70, ""}, {2, 13, 30, ttText, 200, ""}, {3, 43, 8, ttDate, 80, ""}};
  state = TDropdownState();
  state.Source = TListSource::Template;
  state.Target = &targetControl;
  state.KeepIds = true;
}

size_t pick = 0;
const std::string& Next(const std::vector<std::string>& Keys) { return Keys[(pick += 7919) % Keys.size()]; }

void Engine(benchmark::State& S, const std::string& Name, const std::function<void()>& Setup,
            const std::function<void()>& Work) {
  Setup();
  bench::Timed(S, Name, Work);
}

// The exit check's reads without the list: seek the typed code, step back,
// read the rows on, compare the code of the record positioned at.
bool LayerExitCheck(const std::string& Code) {
  TDynCharArr& rec = ClientRec;
  bool atEnd = false;
  BtrGetGreaterLess(ClientFileNo, Code, rec, atEnd, 3);
  const bool match = !atEnd && TrimRight(FieldText(rec, ClientFld::Code)) == Code;
  int back = 0;
  for (; back < StepBackLimit; ++back) {
    BtrGetPrev(ClientFileNo, rec, atEnd, false);
    if (atEnd) break;
  }
  if (atEnd) BtrGetFirst(ClientFileNo, rec, atEnd, false);
  for (int r = 0; r <= RowsBelowStart + back && !atEnd; ++r) {
    benchmark::DoNotOptimize(FieldText(rec, ClientFld::Code));
    BtrGetNext(ClientFileNo, rec, atEnd, false);
  }
  return match;
}

bool ExitCheck(const std::string& Code) {
  const TFillResult r = list.Fill(Code, 0);
  return RowMatchesText(rows, r.FirstRow, 0, Code);
}

// The user list's file read and its lines split, nothing kept.
void SplitListAlone() {
  std::string bytes;
  Check(ReadWholeListFile(UserListNo, bytes), "read list");
  size_t cols = 0;
  for (const std::string& line : SplitListLines(bytes)) cols += SplitListItem(line).Double;
  benchmark::DoNotOptimize(cols);
}

void FillUserListAlone() {
  std::vector<std::string> lines;
  std::string why;
  Check(ReadUserListLines(IntToStr(UserListNo) + ".lst", lines, why), why);
  Check(FillUserListRows(lines, rows).Items == UserListItems, "list rows");
}

void Report(const std::string& Name) {
  const double engine = bench::MeanMs()["engine " + Name], raw = bench::MeanMs()["sqlite " + Name];
  std::printf("%-22s engine %7.3f ms  sqlite %7.3f ms  ratio %5.2fx\n", Name.c_str(), engine, raw,
              raw > 0 ? engine / raw : 0);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const auto client = [] { FamilyList("A  0  1", TListSource::Client, false); };
  const auto cases = [] {
    FamilyList("B 22 27", TListSource::Case, true);
    state.ClientCode = Trim(busyClient);
  };
  struct TWork {
    std::string name;
    std::function<void()> setup, engine, sqlite;
  };
  const std::vector<TWork> works = {
      {"clients typed", client, [] { list.Fill(TrimRight(Next(clientCodes)).substr(0, 4), 0); },
       [] { SqliteFill("clients", TrimRight(Next(clientCodes)).substr(0, 4), AllKeys, PastAll, StepBackLimit, CutClient); }},
      {"clients start", client, [] { list.Fill("", 0); },
       [] { SqliteFill("clients", "", AllKeys, PastAll, StepBackLimit, CutClient); }},
      {"clients end", client, [] { list.Fill("~", 0); },
       [] { SqliteFill("clients", "~", AllKeys, PastAll, StepBackLimit, CutClient); }},
      {"clients backward", client,
       [] {
         list.Fill(TrimRight(clientCodes[Clients / 2]), 0);
         list.Fill("", 1);
       },
       [] {
         SqliteFill("clients", clientCodes[Clients / 2], AllKeys, PastAll, StepBackLimit, CutClient);
         SqliteFill("clients", clientCodes[Clients / 2 - StepBackLimit], AllKeys, PastAll, StepBackLimit, CutClient);
       }},
      {"cases of a client", cases, [] { list.Fill("", 0); },
       [] {
         const std::string low = Format("%-7s", busyClient);
         SqliteFill("cases", low, low, low + "\xff", StepBackLimit, CutCase);
       }},
      {"M target typed", TargetList, [] { list.Fill(Next(targetCodes).substr(0, 5), 0); },
       [] { SqliteFill("target", Next(targetCodes).substr(0, 5), AllKeys, PastAll, StepBackLimit, CutTarget); }},
  };
  // Against the work underneath rather than sqlite3: the same names with
  // "bare" for the second side.
  const auto clientByCode = [] { FamilyList("A  0", TListSource::Client, false); };
  const std::vector<TWork> bare = {
      {"exit check", clientByCode,
       [] {
         const std::string code = TrimRight(Next(clientCodes));
         Check(ExitCheck(code), "exit check " + code);
       },
       [] {
         const std::string code = TrimRight(Next(clientCodes));
         Check(LayerExitCheck(code), "layer " + code);
       }},
      {"user list fill", [] {}, FillUserListAlone, SplitListAlone},
  };
  const char* rounds = std::getenv("MD_BENCH_ROUNDS");
  const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 300;
  for (const TWork& w : works) {
    benchmark::RegisterBenchmark(("engine " + w.name).c_str(),
                                 [w](benchmark::State& s) { Engine(s, "engine " + w.name, w.setup, w.engine); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
    benchmark::RegisterBenchmark(("sqlite " + w.name).c_str(),
                                 [w](benchmark::State& s) { bench::Timed(s, "sqlite " + w.name, w.sqlite); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
  }
  for (const TWork& w : bare) {
    benchmark::RegisterBenchmark(("engine " + w.name).c_str(),
                                 [w](benchmark::State& s) { Engine(s, "engine " + w.name, w.setup, w.engine); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
    benchmark::RegisterBenchmark(("bare " + w.name).c_str(),
                                 [w](benchmark::State& s) { Engine(s, "bare " + w.name, w.setup, w.sqlite); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
  }
  return bench::Run("dropdown_bench", [&] {
    BuildFixture();
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nmean fill per workload (engine against sqlite3):\n");
    for (const TWork& w : works) Report(w.name);
    std::printf("\nagainst the bare work underneath:\n");
    for (const TWork& w : bare) {
      const double engine = bench::MeanMs()["engine " + w.name], raw = bench::MeanMs()["bare " + w.name];
      std::printf("%-22s engine %7.3f ms  bare   %7.3f ms  ratio %5.2fx\n", w.name.c_str(), engine, raw,
                  raw > 0 ? engine / raw : 0);
    }
    db.reset();
  });
}
