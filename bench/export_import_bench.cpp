// Template export and import of a set of three templates holding 100,000
// records (a main template looking up two sub-templates), against the
// record manager's whole-file copies of the same six files: the copies are
// most of the work, so the ratio shows what the steps around them cost.
#include "bench_support.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "templates/template_build.h"
#include "templates/template_export.h"
#include "templates/template_import.h"
#include "testing/template_fixture.h"

#include <cstdio>

namespace fs = std::filesystem;
using bench::Check;

namespace {

constexpr int Records = 100000;
const char* const Program = "export_import_bench";

fs::path Root() { return bench::Root(Program); }
std::string Folder(const char* Name) { return (Root() / Name).string(); }

// Every box answered Yes or OK, nothing shown.
class SilentBoxes : public DialogService {
public:
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    return HasButton(buttons, mbYes) ? mrYes : mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

// Template Number (the next free one) of two fields with Count records,
// and an "M" lookup on each of Subs.
void MakeTemplate(const std::string& Name, int Number, int Count, const std::vector<int>& Subs) {
  TTemplateTableBuilder t;
  t.Add("Code", 'C', 8);
  t.Add("Name", 'C', 30);
  for (int sub : Subs) {
    TFld& m = t.Add("Ref " + std::to_string(sub), 'C', 8);
    m.IsLookup = true;
    m.LkpKind = "M";
    m.LkpTarget = "MNGR" + TTemplateNumber(sub).ZeroFilled() + ".DSC";
    m.LkpSpec = "1  1";
    m.DispCols[1] = 1;
  }
  t.Index(1, {1}, true, "By code");
  Check(BuildTemplateDataFile(Name), "build " + Name);
  std::vector<std::string> records;
  for (int i = 0; i < Count; ++i) records.push_back(WithPrefix(0, FillRecord({{1, std::to_string(i)}, {2, Name}})));
  const std::string data = DataFileName(TTemplateNumber(Number));
  Check(FileExists(data), "data file of " + Name);
  InsertRecords(data, records);
}

void MakeOfficeA() {
  Store.DataDir = Folder("A");
  bench::CreateMaster();
  MakeTemplate("Sub one", 0, Records / 3, {});
  MakeTemplate("Sub two", 1, Records / 3, {});
  MakeTemplate("Main", 2, Records - 2 * (Records / 3), {0, 1});
}

void Fresh(const std::string& Folder) {
  fs::remove_all(Folder);
  fs::create_directories(Folder);
}

// The six files of the set, from the data folder's names to the set's.
const std::pair<const char*, const char*> SetFiles[] = {
    {"MNGR002.DSC", "EXP00002.DS1"}, {"MGRDT002.QMD", "EXP00002.qmd"}, {"MNGR000.DSC", "EXP00000.DSC"},
    {"MGRDT000.QMD", "EXP00000.qmd"}, {"MNGR001.DSC", "EXP00001.DSC"}, {"MGRDT001.QMD", "EXP00001.qmd"}};

void Export() {
  Store.DataDir = Folder("A");
  Fresh(Folder("sets"));
  Check(ExportTemplate("Main", [](const std::string&) { return Folder("sets"); }), "export");
}

void CopyOut() {
  Fresh(Folder("copies"));
  for (const auto& [from, to] : SetFiles)
    Check(CopyFile(Folder("A") + "/" + from, Folder("copies") + "/" + to, true), std::string("copy ") + from);
}

// Office B afresh: an empty master, made outside the timing.
void FreshOfficeB() {
  BtrCloseAllFiles();
  Fresh(Folder("B"));
  fs::copy(Folder("B0"), Folder("B"), fs::copy_options::recursive);
  Store.DataDir = Folder("B");
}

void Import() {
  TTemplateImport import(Folder("sets") + "/EXP00002.DS1", [](const std::string&) { return std::nullopt; });
  Check(import.Run(), "import");
}

void CopyIn() {
  for (const auto& [to, from] : SetFiles)
    Check(CopyFile(Folder("sets") + "/" + from, Folder("B") + "/" + to, true), std::string("copy ") + from);
}

// Timed work with an untimed preparation before each iteration.
template <class P, class F>
void TimedAfter(benchmark::State& state, const std::string& name, P&& prepare, F&& work) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    work();
    total += bench::MsSince(start);
    ++n;
  }
  bench::MeanMs()[name] = n > 0 ? total / double(n) : 0;
}

void ExportBench(benchmark::State& state) { bench::Timed(state, "export", Export); }
void CopyOutBench(benchmark::State& state) { bench::Timed(state, "export/copies", CopyOut); }
void ImportBench(benchmark::State& state) { TimedAfter(state, "import", FreshOfficeB, Import); }
void CopyInBench(benchmark::State& state) { TimedAfter(state, "import/copies", FreshOfficeB, CopyIn); }

}  // namespace

int main(int argc, char** argv) {
  using TBench = void (*)(benchmark::State&);
  const std::pair<const char*, TBench> benches[] = {
      {"export", ExportBench}, {"export/copies", CopyOutBench}, {"import", ImportBench}, {"import/copies", CopyInBench}};
  for (const auto& [name, fn] : benches)
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
  benchmark::Initialize(&argc, argv);
  SilentBoxes boxes;
  SetDialogService(&boxes);
  return bench::Run(Program, [&] {
    for (const char* f : {"A", "B0"}) fs::create_directories(Root() / f);
    MakeOfficeA();
    Store.DataDir = Folder("B0");
    bench::CreateMaster();
    BtrCloseAllFiles();
    Export();
    benchmark::RunSpecifiedBenchmarks();
    auto& means = bench::MeanMs();
    std::printf("\n%-14s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : means) std::printf("%-14s %12.4f\n", name.c_str(), ms);
    for (const char* w : {"export", "import"}) {
      const std::string base = std::string(w) + "/copies";
      if (means[base] > 0) std::printf("%s : %s = %.3fx (aim 1.5x)\n", w, base.c_str(), means[w] / means[base]);
    }
  });
}
