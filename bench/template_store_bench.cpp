// The template store's numbering and descriptor codec on the real record
// manager.
//
//   next/master-only   NextTemplateNumber with 0..997 in the master file and
//                      no template files in the folder: every number below
//                      998 is probed (close, exclusive open, key 2, folder
//                      listing, 999 Get Equal)
//   next/with-files    the same with MNGRnnn.DSC and MGRDTnnn.QMD of the 998
//                      templates in the folder: the listing answers first
//   probes/bare        999 BtrGetEqual on key 2 of the open master, "  0" to
//                      "998", as the search would make them without the store
//   descriptor/format  the 50 field records and 5 index records of a full
//                      template formatted
//   descriptor/parse   the same 55 records parsed back
//
// The table at the end gives the mean of each and the ratio of the master-
// only search to the bare probes.
#include "bench/bench_support.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "templates/descriptor_codec.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_state.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int UsedNumbers = 998;

using bench::Check;

fs::path Root() { return bench::Root("template_store_bench"); }

// A data folder whose master holds 0..997; with files, each of them also
// has its descriptor and data file beside it.
std::string DataFolder(bool withFiles) {
  const fs::path folder = Root() / (withFiles ? "with-files" : "master-only");
  fs::create_directories(folder);
  Store.DataDir = folder.string();
  bench::CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrBeginTransaction();
  for (int n = 0; n < UsedNumbers; ++n) {
    const TTemplateNumber number(n);
    InsertMasterRecord(number.Stored(), "Template " + number.ZeroFilled());
    if (withFiles) {
      std::ofstream((folder / ("MNGR" + number.ZeroFilled() + ".DSC")).string()).put(' ');
      std::ofstream((folder / ("MGRDT" + number.ZeroFilled() + ".QMD")).string()).put(' ');
    }
  }
  BtrEndTransaction();
  BtrCloseFile(MasterFileNo);
  return folder.string();
}

std::map<std::string, double>& meanMs = bench::MeanMs();

using bench::Timed;

void NextNumber(benchmark::State& state, bool withFiles) {
  Store.DataDir = (Root() / (withFiles ? "with-files" : "master-only")).string();
  TDynCharArr buf;
  Timed(state, withFiles ? "next/with-files" : "next/master-only", [&] {
    Check(NextTemplateNumber(buf).Value() == UsedNumbers, "next number");
  });
  BtrCloseFile(MasterFileNo);
}

void BareProbes(benchmark::State& state) {
  Store.DataDir = (Root() / "master-only").string();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrSetKeyNumber(MasterFileNo, int8_t(MasterKeySegments[2].KeyNo));
  std::vector<std::string> keys;
  for (int n = 0; n <= UsedNumbers; ++n) keys.push_back(TTemplateNumber(n).Stored());
  TDynCharArr buf(MasterRecordLength);
  Timed(state, "probes/bare", [&] {
    int found = 0;
    for (const std::string& key : keys) found += BtrGetEqual(MasterFileNo, key, buf, false);
    Check(found == UsedNumbers, "bare probes");
  });
  BtrCloseFile(MasterFileNo);
}

// A template of 50 fields using every range: lookups, display columns,
// hints, defaults, ranges and index memberships.
std::vector<TFld> FullTemplate() {
  std::vector<TFld> fields;
  for (int k = 1; k <= MaxFields; ++k) {
    TFld f;
    f.SeqNo = f.FldId = k;
    f.Name = "Field number " + std::to_string(k);
    f.FldType = "CNDdB"[k % 5];
    f.Width = f.KeyWidth = 10 + k;
    f.MinVal = "-100";
    f.MaxVal = "99999.99";
    f.Hint = "The hint of field " + std::to_string(k);
    f.Default = "default";
    f.IsLookup = f.Forced = k % 3 == 0;
    f.LkpKind = k % 3 == 0 ? "M" : "";
    f.LkpTarget = k % 3 == 0 ? "MNGR007.DSC" : "";
    f.LkpSpec = k % 3 == 0 ? "1  3  4  5  6" : "";
    for (int c = 1; c <= (k % 3 == 0 ? 20 : 0); ++c) f.DispCols[c] = c * 7;
    if (k <= MaxIndexes) {
      f.IdxCount = 1;
      f.IdxNo[1] = k;
      f.SortPos[1] = 1;
    }
    fields.push_back(f);
  }
  return fields;
}

std::vector<TIndexRecord> FullIndexes() {
  std::vector<TIndexRecord> indexes;
  for (int i = 1; i <= MaxIndexes; ++i) {
    TIndexRecord index;
    index.Number = i;
    index.Name = "Index " + std::to_string(i);
    index.SortFlds[1] = i;
    index.Unique = i == 1;
    index.TplName = "A full template";
    indexes.push_back(index);
  }
  return indexes;
}

std::vector<std::string> FormatAll(const std::vector<TFld>& fields, const std::vector<TIndexRecord>& indexes) {
  std::vector<std::string> texts;
  int offset = 5;
  for (const TFld& f : fields) {
    texts.push_back(FormatFieldRecord(f, offset));
    offset += f.Width;
  }
  for (const TIndexRecord& i : indexes) texts.push_back(FormatIndexRecord(i));
  return texts;
}

void DescriptorFormat(benchmark::State& state) {
  const std::vector<TFld> fields = FullTemplate();
  const std::vector<TIndexRecord> indexes = FullIndexes();
  Timed(state, "descriptor/format", [&] { benchmark::DoNotOptimize(FormatAll(fields, indexes)); });
}

void DescriptorParse(benchmark::State& state) {
  std::vector<std::string> records;
  for (const std::string& text : FormatAll(FullTemplate(), FullIndexes()))
    records.push_back(std::string("\x01\x00\x00\x00", 4) + text);
  Timed(state, "descriptor/parse", [&] {
    for (const std::string& r : records) {
      if (IsIndexRecord(r)) {
        benchmark::DoNotOptimize(ParseIndexRecord(r));
      } else {
        benchmark::DoNotOptimize(ParseFieldRecord(r));
      }
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("next/master-only", NextNumber, false)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("probes/bare", BareProbes)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("next/with-files", NextNumber, true)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("descriptor/format", DescriptorFormat)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("descriptor/parse", DescriptorParse)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  return bench::Run("template_store_bench", [&] {
    DataFolder(false);
    DataFolder(true);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.4f\n", name.c_str(), ms);
    const double bare = meanMs["probes/bare"];
    if (bare > 0) std::printf("next/master-only : probes/bare = %.3fx\n", meanMs["next/master-only"] / bare);
  });
}
