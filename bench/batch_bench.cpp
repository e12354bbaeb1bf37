// The workstation's batch, each workload timed against its baseline in the
// same run, each by hand in the same iteration; the counters give both
// means and their ratio:
//   save      5,000 entries of three description lines through
//             SaveBatchEntry (lock, recovery check, link, one transaction
//             each) against the same records inserted straight through the
//             numbered-file layer, one transaction per entry;
//   viewer    the batch viewer's showing over those 5,000 entries (rows
//             read, grid filled) against a bare walk of TRIN with the DESC
//             reads of each entry;
//   export    ExportBatch of that batch against its four whole-file copies
//             alone (two backups, two into the export folder); the TRIN
//             clone the export makes is timed on its own besides, for the
//             share of the difference it takes.
// MD_BENCH_ROUNDS sets the iterations (2).
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "entry/batch_export.h"
#include "entry/batch_files.h"
#include "entry/batch_rows.h"
#include "entry/qt/batch_view_form.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/session.h"
#include "templates/batch_codec.h"
#include "templates/batch_create.h"
#include "templates/product_dates.h"
#include "templates/startup_globals.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Entries = 5000;
constexpr int GetGreaterOrEqual = 3;

// Every box answered at once: Yes to a question, else OK.
class Answers : public DialogService {
public:
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    return HasButton(buttons, mbYes) ? mrYes : mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

int Rounds() {
  const char* given = std::getenv("MD_BENCH_ROUNDS");
  return given ? std::max(1, std::atoi(given)) : 2;
}

TBatchEntry EntryNo(int n) {
  TBatchEntry entry;
  entry.Client = "C" + std::to_string(n % 997);
  entry.CaseSuffix = std::to_string(n % 31);
  entry.Employee = "E" + std::to_string(n % 9);
  entry.Hours = std::to_string(n % 40) + "." + std::to_string(n % 10) + "0";
  entry.Date = 47000 + n % 300;
  entry.Description = std::string(78 * 2, char('a' + n % 26)) + "third line of entry " + std::to_string(n);
  return entry;
}

// A fresh, empty batch in its own folder under the run's root.
fs::path FreshBatch(const std::string& name) {
  const fs::path folder = bench::Root("batch_bench") / name;
  fs::remove_all(folder);
  fs::create_directories(folder / "data");
  fs::create_directories(folder / "export");
  FinalizeBtrLayer();
  Store.DataDir = (folder / "data").string();
  std::string msg;
  bench::Check(CreateTrinFile(TrinFileName(), msg, CreateMsgMax), "TRIN: " + msg);
  bench::Check(CopyFile(Startup.DescCloName, DescFileName(), true), "DESC from " + Startup.DescCloName);
  return folder;
}

double TimeMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return bench::MsSince(start);
}

void Report(benchmark::State& state, const std::string& name, double subject, double baseline) {
  const double n = double(state.iterations());
  state.counters[name + "_ms"] = subject / n;
  state.counters["baseline_ms"] = baseline / n;
  state.counters["ratio"] = baseline > 0 ? subject / baseline : 0;
  std::printf("%s: %.1f ms, baseline %.1f ms, ratio %.2fx\n", name.c_str(), subject / n, baseline / n,
              baseline > 0 ? subject / baseline : 0);
}

void SaveAll() {
  for (int n = 1; n <= Entries; ++n) bench::Check(SaveBatchEntry(EntryNo(n)), "save");
}

// The same records through the layer: one transaction per entry.
void InsertAll() {
  BtrOpenFile(TrinFileNo, TrinFileName(), 0);
  BtrOpenFile(DescFileNo, DescFileName(), 0);
  for (int n = 1; n <= Entries; ++n) {
    const TBatchEntry entry = EntryNo(n);
    TBatchEntryFields fields{entry.Client, entry.CaseSuffix, "", entry.Group, entry.Employee, entry.Hours};
    DateToFileDate(true, fields.FileDate, entry.Date);
    BtrBeginTransaction();
    BtrInsertRecord(TrinFileNo, FormatTrinRecord(fields, n));
    for (const std::string& line : FormatDescLines(n, entry.Description)) BtrInsertRecord(DescFileNo, line);
    BtrEndTransaction();
  }
}

void Save(benchmark::State& state) {
  double subject = 0, baseline = 0;
  for (auto _ : state) {
    FreshBatch("save");
    subject += TimeMs(SaveAll);
    FreshBatch("insert");
    baseline += TimeMs(InsertAll);
  }
  Report(state, "save", subject, baseline);
}

// The full batch both reads use, made once.
void FullBatch() {
  FreshBatch("full");
  InsertAll();
  FinalizeBtrLayer();
}

void BareWalk() {
  BtrOpenFile(TrinFileNo, TrinFileName(), 0);
  BtrOpenFile(DescFileNo, DescFileName(), 0);
  TDynCharArr trin(TrinRecLen), desc(DescRecLen);
  bool atEnd = false;
  size_t lines = 0;
  for (BtrGetFirst(TrinFileNo, trin, atEnd, false); !atEnd; BtrGetNext(TrinFileNo, trin, atEnd, false)) {
    const std::string link = FieldText(trin, TrinField::Link);
    bool descEnd = false;
    for (bool more = BtrGetGreaterLess(DescFileNo, DescFirstLineKey(link), desc, descEnd, GetGreaterOrEqual) &&
                     !descEnd && FieldText(desc, TFamilyField{DescLinkPos, DescLinkLen}) == link;
         more; more = !descEnd && FieldText(desc, TFamilyField{DescLinkPos, DescLinkLen}) == link) {
      ++lines;
      BtrGetNext(DescFileNo, desc, descEnd, false);
    }
  }
  bench::Check(lines == size_t(Entries) * 3, "walk read every line");
}

void Viewer(benchmark::State& state) {
  FullBatch();
  double subject = 0, baseline = 0;
  for (auto _ : state) {
    FinalizeBtrLayer();
    {
      TQBatchViewF view;
      subject += TimeMs([&] { view.FormShow(); });
      bench::Check(view.Rows().size() == size_t(Entries), "viewer rows");
    }
    FinalizeBtrLayer();
    baseline += TimeMs(BareWalk);
  }
  FinalizeBtrLayer();
  Report(state, "viewer", subject, baseline);
}

void Export(benchmark::State& state) {
  double subject = 0, baseline = 0, clone = 0;
  for (auto _ : state) {
    FullBatch();
    const fs::path folder = bench::Root("batch_bench") / "full";
    subject += TimeMs([&] { ExportBatch((folder / "export").string()); });
    bench::Check(fs::exists(folder / "export" / ("TRIN" + Startup.WSID + ".MD")), "exported");
    FullBatch();
    fs::create_directories(folder / "data" / "MDback");
    baseline += TimeMs([&] {
      bench::Check(CopyFile(TrinFileName(), TrinBackupFileName(1), false) &&
                       CopyFile(DescFileName(), DescBackupFileName(1), false) &&
                       CopyFile(TrinFileName(), ExportedTrinName((folder / "export").string()), true) &&
                       CopyFile(DescFileName(), ExportedDescName((folder / "export").string()), true),
                   "copies");
    });
    BtrOpenFile(TrinFileNo, TrinFileName(), 0);
    clone += TimeMs([] { BtrCloneFile(TrinFileNo, TrinCloneFileName()); });
    FinalizeBtrLayer();
  }
  Report(state, "export", subject, baseline);
  state.counters["clone_ms"] = clone / double(state.iterations());
  std::printf("export: the TRIN clone alone %.1f ms\n", clone / double(state.iterations()));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Answers answers;
  SetDialogService(&answers);
  Startup.WSID = "01";
  Startup.ExeDir = ProgramFolder();
  Startup.DescCloName = Startup.ExeDir + "\\Desc.clo";
  const int rounds = Rounds();
  benchmark::RegisterBenchmark("save", Save)->Iterations(rounds)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("viewer", Viewer)->Iterations(rounds)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("export", Export)->Iterations(rounds)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  return bench::Run("batch_bench", [] { benchmark::RunSpecifiedBenchmarks(); });
}
