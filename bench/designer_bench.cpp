// The designer: fifty fields added through its form and the index screen
// opened, against five times the same for ten fields (the cost per field
// should not grow with the list); and the designer's save of a new
// fifty-field template against the builder saving the same table made by
// the test table builder.
#include "bench/bench_support.h"
#include "designer/qt/descriptor_form.h"
#include "designer/qt/designer_forms.h"
#include "platform/dialogs.h"
#include "templates/descriptor_loader.h"
#include "templates/template_build.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr int SavedFields = 50;

// Every box answered OK (the success message) and counted.
class QuietDialogs : public DialogService {
public:
  int MessageDlg(const std::string& Text, TMsgDlgType, TMsgDlgButtons, int) override {
    ++Shown;
    Before = Last;
    Last = Text;
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  int Shown = 0;
  std::string Last;
  std::string Before;
};
QuietDialogs* Dialogs = nullptr;

// Template names are unique in the master file, across every run of a workload.
std::string NextTemplateName() {
  static int next = 0;
  return "Save " + std::to_string(next++);
}

std::string FieldName(int K) { return "Field " + std::to_string(K); }

// The designer cleared as the main window clears it and shown, Count fields added, the index screen
// opened and left again, the designer hidden.
void Design(TDescriptorF& Form, int Count) {
  ClearFieldTables();
  ResetDescriptorForm();
  Form.show();
  for (int k = 1; k <= Count; ++k) {
    Form.EditName->setText(QString::fromStdString(FieldName(k)));
    Form.SpinEditWidth->setValue(10);
    Form.AddFieldBitBtnClick();
  }
  Form.CreateTableBitBtnClick();
  Form.BitBtnIndexCancelClick();
  Form.hide();
}

void Fields(benchmark::State& state, int Count, int Rounds) {
  TDescriptorF& form = *DescriptorF;
  bench::Timed(state, Count == SavedFields ? "50 fields" : "5 x 10 fields", [&] {
    for (int r = 0; r < Rounds; ++r) Design(form, Count);
  });
  bench::Check(Store.FldCount == Count && Store.RecLen == 4 + 10 * Count,
               "the designer listed " + std::to_string(Store.FldCount) + " fields, RecLen " + std::to_string(Store.RecLen) + "; last box: " + Dialogs->Last);
}

// A folder of its own for each workload, with an empty master.
void UseFolder(const std::string& Name) {
  const fs::path folder = bench::Root("designer_bench") / Name;
  fs::create_directories(folder);
  Store.DataDir = folder.string();
  if (!fs::exists(folder / "master.dsc")) bench::CreateMaster();
}

void DesignerSave(benchmark::State& state) {
  UseFolder("designer");
  TDescriptorF& form = *DescriptorF;
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Store.TplName = NextTemplateName();
    ClearFieldTables();
    ResetDescriptorForm();
    Store.Modifying = false;
    form.show();
    for (int k = 1; k <= SavedFields; ++k) {
      form.EditName->setText(QString::fromStdString(FieldName(k)));
      form.SpinEditWidth->setValue(10);
      form.AddFieldBitBtnClick();
    }
    form.CreateTableBitBtnClick();
    form.EditKName[0]->setText("By first");
    form.ComboBox[0]->setEditText(QString::fromStdString(FieldName(1)));
    form.CheckBox[0]->setChecked(true);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    form.BitBtnSaveClick();
    total += bench::MsSince(start);
    ++n;
    bench::Check(TplSaved && !form.isVisible(), "the designer did not save: " + Dialogs->Before);
  }
  bench::MeanMs()["designer save"] = n > 0 ? total / double(n) : 0;
}

void BuilderSave(benchmark::State& state) {
  UseFolder("builder");
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TTemplateTableBuilder table;
    for (int k = 1; k <= SavedFields; ++k) table.Add(FieldName(k), 'C', 10);
    table.Index(1, {1}, true, "By first");
    const std::string name = NextTemplateName();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    BuildTemplateDataFile(name);
    total += bench::MsSince(start);
    ++n;
  }
  bench::MeanMs()["builder save"] = n > 0 ? total / double(n) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QuietDialogs dialogs;
  SetDialogService(&dialogs);
  Dialogs = &dialogs;
  const std::unique_ptr<QWidget> minMax = CreateDesignerForm("TMinMaxF", nullptr);
  const std::unique_ptr<QWidget> designer = CreateDesignerForm("TDescriptorF", nullptr);
  benchmark::RegisterBenchmark("50 fields", Fields, SavedFields, 1)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("5 x 10 fields", Fields, 10, 5)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("designer save", DesignerSave)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("builder save", BuilderSave)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  const int status = bench::Run("designer_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-16s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-16s %12.4f\n", name.c_str(), ms);
    if (meanMs["5 x 10 fields"] > 0)
      std::printf("50 fields/5 x 10 fields = %.3fx (aim <= 1.5x)\n", meanMs["50 fields"] / meanMs["5 x 10 fields"]);
    if (meanMs["builder save"] > 0)
      std::printf("designer save/builder save = %.3fx (aim <= 1.2x)\n",
                  meanMs["designer save"] / meanMs["builder save"]);
  });
  SetDialogService(nullptr);
  Store.Reset();
  return status;
}
