// The entry screen's save: 10,000 records of a 50-field template with
// lookups made by the field walk (checks, value texts, the record codec,
// a template lookup's check against its target) and inserted, against
// inserting the same record texts through the layer: batched in one
// transaction per round, and 1,000 of them each its own flushed write.
#include "bench/bench_support.h"
#include "entry/save_walk.h"
#include "platform/format.h"
#include "templates/record_codec.h"
#include "templates/template_number.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Records = 10000;
constexpr int DurableRecords = 1000;
constexpr int OwnNumber = 7, TargetNumber = 12;
constexpr uint8_t OwnFile = 52;
constexpr int MatterSlot = 2;
constexpr uint8_t MatterFile = MatterSlot + 60;
const std::string AlphaKey("\x01\x00\x00\x00", 4);

const fs::path& Root() { return bench::Root("save_bench"); }

// Field 1 the code; field 2 a template lookup with a display column; then
// client-name lookups, case alternate ids, unique client codes, numbers
// with a range, dates, check boxes and texts, 50 fields in all.
void DefineTemplate() {
  TTemplateTableBuilder t;
  t.Add("Code", 'C', 10);
  TFld& matter = t.Add("Matter", 'C', 10);
  matter.IsLookup = true;
  matter.LkpKind = "M";
  matter.LkpSpec = "1  1";
  matter.KeyWidth = 6;
  for (int k = 3; k <= 50; ++k) {
    const std::string name = "Field " + std::to_string(k);
    switch (k % 6) {
      case 0: {
        TFld& f = t.Add(name, 'C', 47);
        f.IsLookup = true;
        f.LkpKind = "L";
        f.LkpSpec = "A  1  0";
        f.KeyWidth = 40;
        f.ReservedBytes = {0, 0xFF, 0x20, 0x81};
        f.ReservedText = "SMI";
        break;
      }
      case 1: {
        TFld& f = t.Add(name, 'C', 24);
        f.IsLookup = true;
        f.LkpKind = "L";
        f.LkpSpec = "B 23 22";
        f.KeyWidth = 20;
        break;
      }
      case 2: {
        TFld& f = t.Add(name, 'N', 12);
        f.RightJustify = true;
        f.MinVal = "0.00";
        f.MaxVal = "99999.99";
        break;
      }
      case 3:
        t.Add(name, 'D', 8);
        break;
      case 4:
        t.Add(name, 'B', 1);
        break;
      default:
        t.Add(name, 'C', 20);
        break;
    }
  }
  t.Index(1, {1}, false, "By code");
}

class TBenchView : public TSaveView {
public:
  std::vector<TSlotInput> Inputs = std::vector<TSlotInput>(51);  // by slot
  bool Input(int Slot, TSlotInput& In) const override {
    In = Inputs[size_t(Slot)];
    return true;
  }
  void FocusField(int) override {}
};

TBenchView view;
std::map<int, TFieldControl> lookups;
std::vector<std::string> made;  // the walk's texts, the baseline's input

void FillView() {
  for (int slot = 1; slot <= 50; ++slot) {
    TSlotInput in;
    switch (Store.FldTable[slot].FldType) {
      case 'D':
        in.Kind = TCtlKind::DatePicker;
        in.Date = 46366 + slot;
        break;
      case 'B':
        in.Kind = TCtlKind::CheckBox;
        in.Checked = slot % 4 == 0;
        break;
      case 'N':
        in.Text = "1,234.50";
        break;
      default:
        in.Text = "Value " + std::to_string(slot);
        break;
    }
    view.Inputs[slot] = in;
  }
  view.Inputs[MatterSlot] = {TCtlKind::Edit, "ALPHA", 0, false, {"First"}};
  Store.FldTable[MatterSlot].ReservedBytes = {1, 0, 0, 0};
}

std::string Walked(int I) {
  view.Inputs[1].Text = Format("C%.8d", I);
  std::string text(size_t(Store.RecLen + 4), ' ');
  bench::Check(!WalkFields(view, lookups, text).has_value(), "a field was refused");
  PutStamp(text, "20261210");
  return text;
}

// Batched: the rounds' records in one transaction, so that the figure
// shows what the walk adds to an insert's own work. Durable: each record
// its own write, flushed, as the screen's Save writes it; fewer records.
struct TRound {
  const char* Name;
  int Count;
  bool Batched;
};
constexpr TRound Batched{"batched", Records, true}, Durable{"durable", DurableRecords, false};

void SaveRound(const TRound& R) {
  if (R.Batched) BtrBeginTransaction();
  for (int i = 0; i < R.Count; ++i) BtrInsertRecord(OwnFile, Walked(i));
  if (R.Batched) BtrEndTransaction();
}

void InsertRound(const TRound& R) {
  if (R.Batched) BtrBeginTransaction();
  for (int i = 0; i < R.Count; ++i) BtrInsertRecord(OwnFile, made[size_t(i)]);
  if (R.Batched) BtrEndTransaction();
}

void Register(const TRound& R, int Iterations) {
  const std::string insert = std::string(R.Name) + " insert", save = std::string(R.Name) + " walk and insert";
  benchmark::RegisterBenchmark(insert.c_str(),
                               [R, insert](benchmark::State& s) { bench::Timed(s, insert, [&] { InsertRound(R); }); })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(Iterations);
  benchmark::RegisterBenchmark(save.c_str(),
                               [R, insert, save](benchmark::State& s) {
                                 bench::Timed(s, save, [&] { SaveRound(R); });
                                 const double raw = bench::MeanMs()[insert];
                                 s.counters["ratio"] = raw > 0 ? bench::MeanMs()[save] / raw : 0;
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(Iterations);
}

void Report(const TRound& R) {
  const std::string insert = std::string(R.Name) + " insert", save = std::string(R.Name) + " walk and insert";
  const double raw = bench::MeanMs()[insert];
  if (raw <= 0) return;
  std::printf("%s: %d saves (walk and insert) %.2f ms, inserts alone %.2f ms, ratio %.2fx\n", R.Name, R.Count,
              bench::MeanMs()[save], raw, bench::MeanMs()[save] / raw);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* rounds = std::getenv("MD_BENCH_ROUNDS");
  const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 5;
  Register(Batched, iterations);
  Register(Durable, 1);
  return bench::Run("save_bench", [&] {
    fs::create_directories(Root());
    Store.DataDir = Root().string();
    WriteTargetTemplate(
        TargetNumber,
        [](TTemplateTableBuilder& t) {
          t.Add("Code", 'C', 6);
          t.Add("Title", 'C', 20);
          t.Index(1, {1}, true, "By code");
        },
        [] { return std::vector<std::string>{WithPrefix(1, FillRecord({{1, "ALPHA"}, {2, "First"}}))}; });
    DefineTemplate();
    WriteTargetData(OwnNumber, {});
    BtrOpenFile(MatterFile, DataFileName(TTemplateNumber(TargetNumber)), 0);
    TFieldControl& c = lookups[MatterSlot];
    c.DataFileNo = MatterFile;
    c.RecLen = BtrRecordLength(MatterFile);
    c.TargetNo = TargetNumber;
    c.DispCols = {{2, 11, 20, 0, -1, "Title"}};
    FillView();
    for (int i = 0; i < Records; ++i) made.push_back(Walked(i));
    BtrOpenFile(OwnFile, DataFileName(TTemplateNumber(OwnNumber)), 0);
    benchmark::RunSpecifiedBenchmarks();
    BtrCloseFile(OwnFile);
    BtrCloseFile(MatterFile);
    std::printf("\n");
    Report(Batched);
    Report(Durable);
  });
}
