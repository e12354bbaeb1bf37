// The lookup form: a whole family-file lookup defined (the form reset, kind
// L, the first OK, four dropdown and twenty display fields, the result
// written into a slot) against the floor of showing and hiding the compact
// form with its 68 tiles.
#include "bench/bench_support.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/lookup_form.h"

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int DropdownCodes[] = {22, 32, 34, 36};
// Twenty case fields, the description tile (which asks for its line) aside.
constexpr int DisplayCodes[] = {23, 24, 26, 28, 30, 38, 41, 42, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55};

// A listed client lookup: the case-suffix lookup asks nothing.
void GiveClientLookup(TLKUPF& Form) {
  TFld client;
  client.IsLookup = true;
  client.LkpKind = "L";
  client.LkpSpec = "A  0";
  Form.HandOver.FieldName = "Matter";
  Form.HandOver.ListedFields = {client};
}

void Define(TLKUPF& Form) {
  Form.ResetForField();
  Form.show();
  Form.SetKind(TLKUPF::KindL);
  Form.RadioGroup1Click();
  Form.BitBtnSaveClick();
  for (const int code : DropdownCodes) {
    Form.ActiveControlChange(Form.Tile(code));
    Form.BitBtnDropDownClick();
  }
  for (const int code : DisplayCodes) {
    Form.ActiveControlChange(Form.Tile(code));
    Form.BitBtnDisplayedClick();
  }
  Form.StoreCorvensteadLookup(1);
  Form.hide();
}

void Definition(benchmark::State& state) {
  TLKUPF form;
  GiveClientLookup(form);
  bench::Timed(state, "kind L definition", [&] {
    Define(form);
    benchmark::DoNotOptimize(Store.FldTable[1].LkpSpec.size());
  });
  bench::Check(form.ListBoxDropdown->count() == 4 && form.ListBoxDisplayed->count() == 20,
               "the definition did not list four dropdown and twenty display fields");
  bench::Check(Store.FldTable[1].LkpSpec == "B 22 32 34 36" && Store.FldTable[1].DispCols[20] == 55,
               "the slot does not carry the lookup");
}

void CompactShowHide(benchmark::State& state) {
  TLKUPF form;
  bench::Timed(state, "compact show and hide", [&] {
    form.ResetForField();
    form.show();
    form.hide();
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::RegisterBenchmark("kind L definition", Definition)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("compact show and hide", CompactShowHide)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  const int status = bench::Run("lookup_form_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-22s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-22s %12.4f\n", name.c_str(), ms);
    if (meanMs["compact show and hide"] > 0)
      std::printf("kind L definition/compact show and hide = %.3fx\n",
                  meanMs["kind L definition"] / meanMs["compact show and hide"]);
  });
  Store.Reset();
  return status;
}
