// The quick entry's lookup list (no window) against the same reads straight
// through the numbered-file layer.
//
//   list     QeLookupList::Fill (Mode 0) and PageDown over the family files
//   layer    Get Greater or Equal on the typed text, up to 12 Get Previous,
//            then Get Next for the rows, each row's fields cut from the
//            record; a page: the saved position restored, then the same
//            reads again
//
// Workloads per mode: employees by code and by name, clients by code and by
// name, a client's cases, cases by suffix and by alternate identifier,
// grouping codes, and a page down from a client fill and from a fill of
// cases by suffix. The sample office has 9,900 clients (the most its
// seven-character codes hold) and 30,000 cases. Each workload's mean and
// its ratio to the layer are printed.
#include "bench/bench_support.h"
#include "btrieve/numbered_files.h"
#include "entry/qe_checks.h"
#include "entry/qe_files.h"
#include "entry/qe_lookup_list.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/sample_office.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using bench::Check;

constexpr int Clients = 9900;
constexpr int Cases = 30000;
constexpr int Employees = 60;

TSampleOffice office;
std::vector<std::string> clientCodes, clientNames, suffixes, altIds, empNames;
size_t cursor = 0;

const std::string& Next(const std::vector<std::string>& Values) { return Values[cursor++ % Values.size()]; }

// The layer's side: the same positioning and row reads the list makes.
// PerRow: what a row reads besides its record (a case's client); false ends
// the rows (a case of another client).
void LayerFill(uint8_t FileNo, TDynCharArr& Rec, int8_t KeyNo, const std::string& Key, TFamilyField A,
               TFamilyField B, const std::function<bool()>& PerRow = {}) {
  BtrSetKeyNumber(FileNo, KeyNo);
  bool atEnd = false;
  if (!BtrGetGreaterLess(FileNo, Key, Rec, atEnd, 3) || atEnd) BtrGetLast(FileNo, Rec, atEnd, false);
  int back = 0;
  for (; back < QeListStepBack; ++back) {
    bool start = false;
    BtrGetPrev(FileNo, Rec, start, false);
    if (start) break;
  }
  BtrSavePosition(FileNo, Rec);
  std::vector<std::string> cells;
  atEnd = false;
  for (int row = 0; row < back + QeListAfter && !atEnd; ++row) {
    if (PerRow && !PerRow()) break;
    cells.push_back(FieldText(Rec, A));
    cells.push_back(FieldText(Rec, B));
    BtrGetNext(FileNo, Rec, atEnd, false);
  }
  benchmark::DoNotOptimize(cells);
}

QeLookupList list;
TQeState state;

// A case row's client, read as the list reads it.
bool ReadCaseClient() {
  BtrGetEqual(QClientFileNo, ClientKey(FieldText(QCaseRec, CaseFld::Client)), QClientRec, false);
  return true;
}

struct TWork {
  std::string name;
  std::function<void()> setup, list, layer;
};

void Measure(benchmark::State& s, const std::string& name, const std::function<void()>& setup,
             const std::function<void()>& work) {
  setup();
  bench::Timed(s, name, work);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  return bench::Run("qe_list_bench", [] {
    const auto root = bench::Root("qe_list_bench");
    std::filesystem::create_directories(root);
    Store.DataRoot = (root / "office").string();
    office = BuildSampleOffice({Clients, Cases, Employees});
    std::vector<TSampleFileCount> counts;
    std::string msg;
    Check(WriteSampleOffice(Store.DataRoot, office, counts, msg), msg);
    Check(OpenQuickEntryFiles().empty(), "open the family files");
    Check(OpenNarrativeFile().empty(), "open the code table");
    for (const TSampleClient& c : office.Clients) {
      clientCodes.push_back(c.Code.substr(0, 4));
      clientNames.push_back(c.LastName.substr(0, 3));
    }
    for (const TSampleCase& c : office.Cases) {
      suffixes.push_back(c.Suffix);
      if (!Trim(c.AltId).empty()) altIds.push_back(c.AltId.substr(0, 4));
    }
    for (const TSampleEmployee& e : office.Employees) empNames.push_back(e.LastName.substr(0, 2));
    std::string busy;
    {
      std::map<std::string, int> per;
      for (const TSampleCase& c : office.Cases) ++per[c.Client];
      int most = 0;
      for (const auto& [client, n] : per)
        if (n > most) most = n, busy = client;
    }
    const auto mode = [](int Emp, int Entry, int8_t CaseKey) {
      return [=] {
        state = {};
        state.EmpByNameIdx = Emp;
        state.EntryModeIdx = Entry;
        BtrSetKeyNumber(QEmpFileNo, Emp == 1 ? 1 : 3);
        BtrSetKeyNumber(QClientFileNo, Entry == 2 ? 3 : 1);
        BtrSetKeyNumber(QCaseFileNo, CaseKey);
      };
    };
    const std::vector<TWork> works = {
        {"employees by code", mode(1, 1, 4), [] { list.Fill(state, TQeField::Employee, "M"); },
         [] { LayerFill(QEmpFileNo, QEmpRec, 1, "M", EmpFld::Code, EmpFld::Name); }},
        {"employees by name", mode(2, 1, 4), [] { list.Fill(state, TQeField::Employee, Next(empNames)); },
         [] { LayerFill(QEmpFileNo, QEmpRec, 3, Next(empNames), EmpFld::Code, EmpFld::Name); }},
        {"clients by code", mode(1, 1, 4), [] { list.Fill(state, TQeField::Client, Next(clientCodes)); },
         [] { LayerFill(QClientFileNo, QClientRec, 1, Next(clientCodes), ClientFld::Code, ClientFld::Name); }},
        {"clients by name", mode(1, 2, 4), [] { list.Fill(state, TQeField::Client, Next(clientNames)); },
         [] { LayerFill(QClientFileNo, QClientRec, 3, Next(clientNames), ClientFld::Code, ClientFld::Name); }},
        {"cases of a client", [&] { mode(1, 1, 4)(); state.ChosenClient = busy; },
         [] { list.Fill(state, TQeField::Case, ""); },
         [&] {
           const std::string client = LeftJustified(busy, 7);
           LayerFill(QCaseFileNo, QCaseRec, 4, client, CaseFld::Suffix, CaseFld::Description,
                     [&] { return FieldText(QCaseRec, CaseFld::Client) == client; });
         }},
        {"cases by suffix", mode(1, 3, 5), [] { list.Fill(state, TQeField::Case, Next(suffixes)); },
         [] { LayerFill(QCaseFileNo, QCaseRec, 5, Next(suffixes), CaseFld::Suffix, CaseFld::Description, ReadCaseClient); }},
        {"cases by alternate id", mode(1, 4, 3), [] { list.Fill(state, TQeField::Case, Next(altIds)); },
         [] { LayerFill(QCaseFileNo, QCaseRec, 3, Next(altIds), CaseFld::AltId, CaseFld::Description, ReadCaseClient); }},
        {"grouping codes", mode(1, 1, 4), [] { list.Fill(state, TQeField::Group, "C"); },
         [] { LayerFill(QGroupFileNo, QGroupRec, 5, "C", CodeTableFld::Code, CodeTableFld::Description); }},
        {"clients page down", mode(1, 1, 4),
         [] {
           const TQeFill fill = list.Fill(state, TQeField::Client, Next(clientCodes));
           list.PageDown(state, TQeField::Client, int(list.Rows().size()) - 1);
           benchmark::DoNotOptimize(fill);
         },
         [] {
           const std::string code = Next(clientCodes);
           LayerFill(QClientFileNo, QClientRec, 1, code, ClientFld::Code, ClientFld::Name);
           BtrRestorePosition(QClientFileNo, QClientRec);
           LayerFill(QClientFileNo, QClientRec, 1, code, ClientFld::Code, ClientFld::Name);
         }},
        {"cases by suffix page down", mode(1, 3, 5),
         [] {
           const TQeFill fill = list.Fill(state, TQeField::Case, Next(suffixes));
           list.PageDown(state, TQeField::Case, int(list.Rows().size()) - 1);
           benchmark::DoNotOptimize(fill);
         },
         [] {
           const std::string suffix = Next(suffixes);
           LayerFill(QCaseFileNo, QCaseRec, 5, suffix, CaseFld::Suffix, CaseFld::Description, ReadCaseClient);
           BtrRestorePosition(QCaseFileNo, QCaseRec);
           LayerFill(QCaseFileNo, QCaseRec, 5, suffix, CaseFld::Suffix, CaseFld::Description, ReadCaseClient);
         }},
    };
    const char* rounds = std::getenv("MD_BENCH_ROUNDS");
    const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 300;
    for (const TWork& w : works) {
      benchmark::RegisterBenchmark(("list " + w.name).c_str(),
                                   [w](benchmark::State& s) { Measure(s, "list " + w.name, w.setup, w.list); })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(iterations);
      benchmark::RegisterBenchmark(("layer " + w.name).c_str(),
                                   [w](benchmark::State& s) { Measure(s, "layer " + w.name, w.setup, w.layer); })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(iterations);
    }
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n%-28s %10s %10s %8s\n", "workload", "list ms", "layer ms", "ratio");
    for (const TWork& w : works) {
      const double a = bench::MeanMs()["list " + w.name], b = bench::MeanMs()["layer " + w.name];
      std::printf("%-28s %10.3f %10.3f %7.2fx\n", w.name.c_str(), a, b, b > 0 ? a / b : 0);
    }
    CloseQuickEntryFiles();
  });
}
