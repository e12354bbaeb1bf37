// The template commands on the real record manager, against the floor of
// what they must do.
//
//   load/999             Modify1Click's load path (the print sender): the
//                        master of 999 templates walked to the last name,
//                        a 50-field descriptor loaded
//   bare-load/999        the same walk through the layer, unlocked, and
//                        LoadTemplateDescriptor (aim: load <= 1.2x this)
//   copy+delete/10000    Copy1Click of a template of 10,000 records, then
//                        Delete1Click of the copy
//   bare-copy+delete     the engine's whole-file copy and delete of the
//                        same two files (aim: copy+delete <= 1.5x this)
//
// The table at the end gives each mean and the two ratios.
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "mainwin/template_commands.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Templates = 999;
constexpr int Records = 10000;
const TTemplateNumber Loaded(998);
const TTemplateNumber Copied(1);

using bench::Check;
using bench::Timed;

void UseFolder(const std::string& name) {
  const fs::path folder = bench::Root("template_commands_bench") / name;
  fs::create_directories(folder);
  Store.DataDir = folder.string();
}

// Every question answered Yes, every message taken.
class TYesToAll : public DialogService {
public:
  TYesToAll() : previous_(SetDialogService(this)) {}
  ~TYesToAll() override { SetDialogService(previous_); }
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons, int) override { return mrYes; }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }

private:
  DialogService* previous_;
};

// The screens as the commands need them: one selected item, the prompt's
// name given.
class TBenchScreens : public TNamePrompt,
                      public TDesignerScreen,
                      public TEntryScreen,
                      public TDetailsScreen,
                      public TTemplateListView {
public:
  std::string Item;
  std::string Name;
  bool AskName(const TNameRequest&, std::string& Out) override {
    Out = Name;
    return true;
  }
  void RunDesigner(bool) override {}
  void RunEntry() override {}
  void ShowDetails(const std::vector<TLookupReference>&, const std::vector<std::string>&) override {}
  std::string SelectedItem() const override { return Item; }
  int SelectedRow() const override { return 0; }
  bool Listed(const std::string&) const override { return false; }
  std::string Rename1Caption() const override { return ""; }
  std::string Delete1Caption() const override { return ""; }
  void Reload() override {}
  void SelectName(const std::string& N) override { Item = Format("%-30s", N); }
  void SelectRow(int) override {}
  void RemoveSelected() override {}
  void EndProgram() override { throw std::runtime_error("the command ended the program"); }
};

TBenchScreens Screens;
TemplateCommands Commands({Screens, Screens, Screens, Screens, Screens});

void Load999(benchmark::State& state) {
  UseFolder("load");
  Screens.Item = Format("%-30s", "Template 998");
  Timed(state, "load/999", [&] { Check(Commands.Modify1Click(TModifySender::Print), "load"); });
}

void BareLoad999(benchmark::State& state) {
  UseFolder("load");
  Timed(state, "bare-load/999", [&] {
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    BtrSetKeyNumber(MasterFileNo, 1);
    TDynCharArr rec(MasterRecordLength);
    bool atEnd = false;
    bool found = false;
    for (BtrGetFirst(MasterFileNo, rec, atEnd, false); !atEnd && !found; BtrGetNext(MasterFileNo, rec, atEnd, false))
      found = TrimRight(MasterText(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size()))
                            .substr(0, size_t(MasterName.Width))) == "Template 998";
    BtrCloseFile(MasterFileNo);
    Check(found && LoadTemplateDescriptor(Loaded.ZeroFilled()), "bare load");
  });
}

void CopyDelete(benchmark::State& state) {
  UseFolder("copy");
  const TYesToAll yes;
  Timed(state, "copy+delete/10000", [&] {
    Screens.Item = Format("%-30s", "Template 0");
    Screens.Name = "Copy";
    Commands.Copy1Click();
    Check(FileExists(DataFileName(Copied)), "copied");
    Screens.Item = Format("%-30s", "Copy");
    Commands.Delete1Click();
    Check(!FileExists(DescriptorFileName(Copied)), "deleted");
  });
}

void BareCopyDelete(benchmark::State& state) {
  UseFolder("copy");
  const TTemplateNumber source(0);
  Timed(state, "bare-copy+delete", [&] {
    Check(CopyFile(DescriptorFileName(source), DescriptorFileName(Copied), true), "copy descriptor");
    Check(CopyFile(DataFileName(source), DataFileName(Copied), true), "copy data");
    Check(DeleteFile(DataFileName(Copied)) && DeleteFile(DescriptorFileName(Copied)), "delete");
  });
}

// Template 0 of the copy folder: the 50-field descriptor and 10,000
// records of its length.
void MakeCopySource() {
  UseFolder("copy");
  bench::MakeMaster(1);
  bench::MakeDescriptor(0, bench::FiftyFieldTemplate());
  const std::string name = DataFileName(TTemplateNumber(0));
  constexpr uint16_t length = 800;
  const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true}, {1, 0, 5, 10, false, true, false}};
  std::string msg;
  Check(BtrCreateFile(name, length, int8_t(keys.size()), msg, 255, true, keys), "create data: " + msg);
  BtrOpenFile(9, name, 0);
  BtrBeginTransaction();
  for (int r = 0; r < Records; ++r) BtrInsertRecord(9, Format("%010d", r) + std::string(length - 14, 'x'));
  BtrEndTransaction();
  BtrCloseFile(9);
}

}  // namespace

int main(int argc, char** argv) {
  for (const auto& [name, fn] : std::vector<std::pair<const char*, void (*)(benchmark::State&)>>{
           {"load/999", Load999},
           {"bare-load/999", BareLoad999},
           {"copy+delete/10000", CopyDelete},
           {"bare-copy+delete", BareCopyDelete}}) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  return bench::Run("template_commands_bench", [&] {
    Startup.WSID = "01";
    UseFolder("load");
    bench::MakeMaster(Templates);
    bench::MakeDescriptor(Loaded.Value(), bench::FiftyFieldTemplate());
    MakeCopySource();
    benchmark::RunSpecifiedBenchmarks();
    auto& means = bench::MeanMs();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : means) std::printf("%-20s %12.3f\n", name.c_str(), ms);
    std::printf("load / bare-load:               %.2fx (aim <= 1.2x)\n", means["load/999"] / means["bare-load/999"]);
    std::printf("copy+delete / bare-copy+delete: %.2fx (aim <= 1.5x)\n",
                means["copy+delete/10000"] / means["bare-copy+delete"]);
  });
}
