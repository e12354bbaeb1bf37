// The master file rebuilt over a data folder of 500 descriptors (one field
// record and the name record each), on the real record manager.
//
//   rebuild/recreate   RecreateMasterFile: the master backed up and
//                      deleted, a new one made, every descriptor read under
//                      its shared save lock and its master record inserted
//   rebuild/bare       the floor: every descriptor opened as file 200, its
//                      name record read by key 2, closed; 500 master
//                      records inserted into a new master open as file 201
//                      (the new master made and removed outside the time)
//
// The table at the end gives the mean of each in milliseconds and the
// ratio of the rebuild to the floor (aim 1.3x).
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/master_codec.h"
#include "templates/master_rebuild.h"
#include "templates/template_state.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int Descriptors = 500;
constexpr double AimRatio = 1.3;

using bench::Check;

fs::path Root() { return bench::Root("rebuild_bench"); }

std::string NameOf(int number) { return "Template number " + std::to_string(number); }

void WriteFolder() {
  fs::create_directories(Root());
  Store.DataDir = Root().string();
  bench::CreateMaster();
  for (int n = 0; n < Descriptors; ++n) {
    TFld code;
    code.SeqNo = code.FldId = 1;
    code.Name = "Code";
    code.FldType = 'C';
    code.Width = code.KeyWidth = 8;
    Store.FldTable[1] = code;
    Store.FldCount = 1;
    TFieldPositions offsets;
    offsets[1] = 5;
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(n));
    BtrBeginTransaction();
    WriteFieldRecords(offsets);
    TIndexRecord index;
    index.Number = 1;
    index.Name = "By code";
    index.SortFlds[1] = 1;
    index.TplName = NameOf(n);
    std::string text = FormatIndexRecord(index);
    WriteDscRecord(text);
    BtrEndTransaction();
    BtrCloseFile(DescriptorFileNo);
  }
}

void Recreate(benchmark::State& state) {
  bench::Timed(state, "rebuild/recreate",
               [] { Check(RecreateMasterFile() == TRebuild::Rebuilt, "rebuild"); });
}

void Bare(benchmark::State& state) {
  const std::string master = Store.DataDir + "\\bare.dsc";
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    DeleteFile(master);
    std::string msg;
    Check(BtrCreateFile(master, MasterRecordLength, int8_t(MasterKeySegments.size()), msg, 255, true,
                        MasterKeySegments),
          "bare master: " + msg);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    BtrOpenFile(RebuildMasterFileNo, master, 0);
    TDynCharArr rec(DscRecordLength);
    for (int number = 0; number < Descriptors; ++number) {
      const TTemplateNumber tpl(number);
      BtrOpenFile(RebuildDescriptorFileNo, Store.DataDir + "\\MNGR" + tpl.ZeroFilled() + ".DSC", 0);
      Check(ReadNameRecord(RebuildDescriptorFileNo, rec), "name record");
      BtrCloseFile(RebuildDescriptorFileNo);
      BtrInsertRecord(RebuildMasterFileNo, FormatMasterText(NameOf(number), tpl));
    }
    BtrCloseFile(RebuildMasterFileNo);
    total += bench::MsSince(start);
    ++n;
  }
  bench::MeanMs()["rebuild/bare"] = n > 0 ? total / double(n) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  return bench::Run("rebuild_bench", [&] {
    WriteFolder();
    for (benchmark::internal::Benchmark* b : {benchmark::RegisterBenchmark("rebuild/recreate", Recreate),
                                              benchmark::RegisterBenchmark("rebuild/bare", Bare)}) {
      b->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.2f\n", name.c_str(), ms);
    const double bare = meanMs["rebuild/bare"];
    if (bare > 0) {
      std::printf("rebuild/recreate : rebuild/bare = %.2fx (aim %.1fx)\n", meanMs["rebuild/recreate"] / bare,
                  AimRatio);
    }
  });
}
