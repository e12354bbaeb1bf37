// The template integrity checks over a data folder of 300 descriptors of 50
// fields each, on the real record manager. Every descriptor has M lookups
// on template 008 (every fifth field, 20 display columns); 30 of them also
// look up template 007, the one examined, in their field 10.
//
//   integrity/linked-lookups   all five indexes of 007 changed: every
//                              descriptor read under its shared save lock,
//                              30 references returned
//   integrity/deleted-fields   fields 5 and 12 of 007 deleted: every
//                              descriptor read, the 30 referring ones read
//                              again under the exclusive lock and their
//                              record rewritten (put back between runs,
//                              outside the time)
//   integrity/bare-reads       the floor: every descriptor opened as file
//                              200, read from first to last, closed, with
//                              no lock and nothing looked at
//
// The table at the end gives the mean of each in milliseconds beside its
// aim, and the ratio of each scan to the bare reads.
#include "bench/bench_support.h"
#include "btrieve/numbered_files.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/template_integrity.h"
#include "templates/template_state.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int Descriptors = 300;
constexpr int FirstReferring = 100;
constexpr int Referring = 30;
constexpr int ReferringField = 10;
const TTemplateNumber Examined(7);

using bench::Check;

fs::path Root() { return bench::Root("integrity_bench"); }

bool IsReferring(int number) { return number >= FirstReferring && number < FirstReferring + Referring; }

// The 50 fields of template Number in the field table.
void FillTable(int number) {
  for (int k = 1; k <= MaxFields; ++k) {
    TFld f;
    f.SeqNo = f.FldId = k;
    f.Name = "Field number " + std::to_string(k);
    f.FldType = 'C';
    f.Width = f.KeyWidth = 8;
    if (k % 5 == 0) {
      f.IsLookup = f.Forced = true;
      f.LkpKind = "M";
      f.LkpTarget = "MNGR008.DSC";
      f.LkpSpec = "1  1  5 12";
      for (int c = 1; c <= 20; ++c) f.DispCols[c] = c;
    }
    if (k == ReferringField && IsReferring(number)) {
      f.LkpTarget = "MNGR" + Examined.ZeroFilled() + ".DSC";
      f.LkpSpec = std::to_string(1 + number % MaxIndexes) + "  1  5 12  9";
      f.DispCols.Fill(DispColsEnd);
      const int cols[] = {3, 5, 9, 12, 1};
      for (int c = 0; c < 5; ++c) f.DispCols[c + 1] = cols[c];
    }
    Store.FldTable[k] = f;
  }
  Store.FldCount = MaxFields;
}

// The folder, each descriptor through the store's writer in a transaction of
// its own; the referring record of each referring descriptor as written.
std::map<int, std::string> WriteFolder() {
  fs::create_directories(Root());
  Store.DataDir = Root().string();
  std::map<int, std::string> originals;
  for (int n = 0; n < Descriptors; ++n) {
    FillTable(n);
    TFieldPositions offsets;
    for (int k = 1; k <= MaxFields; ++k) offsets[k] = 5 + 8 * (k - 1);
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(n));
    BtrBeginTransaction();
    WriteFieldRecords(offsets);
    BtrEndTransaction();
    BtrCloseFile(DescriptorFileNo);
    if (IsReferring(n)) originals[n] = FormatFieldRecord(Store.FldTable[ReferringField], offsets[ReferringField]);
  }
  return originals;
}

// Puts each referring record back as written, after checking it was cleaned.
void PutBack(const std::map<int, std::string>& originals) {
  constexpr uint8_t fileNo = 9;
  TDynCharArr rec(DscRecordLength);
  for (const auto& [number, text] : originals) {
    BtrOpenFile(fileNo, DescriptorFileName(TTemplateNumber(number)), 0);
    BtrSetKeyNumber(fileNo, 1);
    Check(BtrGetEqual(fileNo, std::to_string(ReferringField), rec, false), "referring record");
    Check(std::string(rec.begin() + DscPrefixLength, rec.end()) != text, "record not cleaned");
    BtrUpdateRecord(fileNo, text, rec);
    BtrCloseFile(fileNo);
  }
}

std::map<std::string, double>& meanMs = bench::MeanMs();

using bench::MsSince;

void LinkedLookups(benchmark::State& state) {
  TIndexFlags all(true);
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const TIntegrityResult result = CheckTemplateIntegrity(Examined, all, {});
    total += MsSince(start);
    ++n;
    Check(result.Complete && result.References.size() == size_t(Referring), "linked-lookup scan");
  }
  meanMs["integrity/linked-lookups"] = n > 0 ? total / double(n) : 0;
}

void BareReads(benchmark::State& state) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TDynCharArr rec(DscRecordLength);
    int records = 0;
    for (int number = 0; number < Descriptors; ++number) {
      BtrOpenFile(IntegrityFileNo, Store.DataDir + "\\MNGR" + TTemplateNumber(number).ZeroFilled() + ".DSC", 0);
      bool atEnd = false;
      for (BtrGetFirst(IntegrityFileNo, rec, atEnd, false); !atEnd; BtrGetNext(IntegrityFileNo, rec, atEnd, false))
        ++records;
      BtrCloseFile(IntegrityFileNo);
    }
    total += MsSince(start);
    ++n;
    Check(records == Descriptors * MaxFields, "bare reads");
  }
  meanMs["integrity/bare-reads"] = n > 0 ? total / double(n) : 0;
}

void DeletedFields(benchmark::State& state, const std::map<int, std::string>* originals) {
  const std::vector<TDeletedFld> deleted{{5, 8, 5}, {13, 8, 12}};
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const TIntegrityResult result = CheckTemplateIntegrity(Examined, {}, deleted);
    total += MsSince(start);
    ++n;
    state.PauseTiming();
    Check(result.Complete, "deleted-field scan");
    PutBack(*originals);
    state.ResumeTiming();
  }
  meanMs["integrity/deleted-fields"] = n > 0 ? total / double(n) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  return bench::Run("integrity_bench", [&] {
    const std::map<int, std::string> originals = WriteFolder();
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("integrity/linked-lookups", LinkedLookups),
          benchmark::RegisterBenchmark("integrity/deleted-fields", DeletedFields, &originals),
          benchmark::RegisterBenchmark("integrity/bare-reads", BareReads)}) {
      // Several runs each, so the first one's cold files weigh little.
      b->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    // 0: no aim, the floor the scans are compared with.
    const std::map<std::string, double> aims{
        {"integrity/linked-lookups", 300}, {"integrity/deleted-fields", 500}, {"integrity/bare-reads", 0}};
    std::printf("\n%-26s %12s %12s\n", "workload", "mean ms", "aim ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-26s %12.2f %12.0f\n", name.c_str(), ms, aims.at(name));
    const double bare = meanMs["integrity/bare-reads"];
    if (bare > 0) {
      for (const char* scan : {"integrity/linked-lookups", "integrity/deleted-fields"}) {
        if (meanMs.count(scan)) std::printf("%s : integrity/bare-reads = %.2fx\n", scan, meanMs[scan] / bare);
      }
    }
  });
}
