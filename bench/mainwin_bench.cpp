// The main window's two loads on the real record manager.
//
//   formshow/999        TMtdeskF::FormShow over a master of 999 templates:
//                       the folder scanned for cut-short saves, the master
//                       read in name order, the list filled and the first
//                       item selected (aim: 100 ms)
//   descriptor/50+200   LoadTemplateDescriptor of a 50-field template whose
//                       first index sorts on a client lookup, IndexFieldCodes,
//                       then CheckMatchingIndexes over 200 descriptors in the
//                       folder (aim: 500 ms)
//   opens/200           the 200 descriptors only opened and closed through
//                       the numbered-file layer: the floor of the check
//
// The table at the end gives the mean of each against its aim.
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/template_list.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/email_templates.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <QApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int ListedTemplates = 999;
constexpr int ScannedDescriptors = 200;

using bench::Check;

fs::path Root() { return bench::Root("mainwin_bench"); }

void UseFolder(const std::string& name) {
  const fs::path folder = Root() / name;
  fs::create_directories(folder);
  Store.DataDir = folder.string();
}

using bench::MakeDescriptor;
using bench::MakeMaster;

using bench::FiftyFieldTemplate;

std::map<std::string, double>& meanMs = bench::MeanMs();

using bench::Timed;

void FormShow999(benchmark::State& state) {
  UseFolder("formshow");
  TMtdeskF form;
  Timed(state, "formshow/999", [&] {
    Check(form.FormShow() == TListOutcome::Listed, "FormShow");
    Check(form.ListBox1->count() == ListedTemplates, "list count");
  });
}

void DescriptorWithCheck(benchmark::State& state) {
  UseFolder("descriptors");
  TTemplateListing listing;
  Check(LoadTemplateList(listing, false) == TListOutcome::Listed, "template list");
  Timed(state, "descriptor/50+200", [&] {
    Check(LoadTemplateDescriptor("000"), "load");
    std::string code;
    IndexFieldCodes(code);
    Check(code == "A", "index field codes");
    CheckMatchingIndexes(code);
    Check(!Store.ClientTpls[ScannedDescriptors].empty(), "matching templates");
  });
}

void BareOpens(benchmark::State& state) {
  UseFolder("descriptors");
  std::vector<std::string> names;
  for (int n = 0; n < ScannedDescriptors; ++n) names.push_back(DescriptorFileName(TTemplateNumber(n)));
  Timed(state, "opens/200", [&] {
    for (const std::string& name : names) {
      BtrOpenFile(ScannedDescriptorFileNo, name, 0);
      BtrCloseFile(ScannedDescriptorFileNo);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  benchmark::RegisterBenchmark("formshow/999", FormShow999)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("descriptor/50+200", DescriptorWithCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("opens/200", BareOpens)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  return bench::Run("mainwin_bench", [&] {
    Startup.WSID = "01";
    UseFolder("formshow");
    MakeMaster(ListedTemplates);
    UseFolder("descriptors");
    MakeMaster(ScannedDescriptors);
    MakeDescriptor(0, FiftyFieldTemplate());
    for (int n = 1; n < ScannedDescriptors; ++n) MakeDescriptor(n, EmailDescriptorTexts(TEmailTemplate::Client));
    benchmark::RunSpecifiedBenchmarks();
    const std::map<std::string, double> aims{{"formshow/999", 100}, {"descriptor/50+200", 500}, {"opens/200", 0}};
    std::printf("\n%-20s %12s %12s\n", "workload", "mean ms", "aim ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.3f %12.0f\n", name.c_str(), ms, aims.at(name));
  });
}
