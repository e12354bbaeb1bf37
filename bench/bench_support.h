// What the benchmark programs over the template store share: a scratch folder
// per run, a check that stops the run, mean times by workload, and the frame
// around a run that always closes the record manager and removes the folder.
#pragma once

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "templates/descriptor_codec.h"
#include "templates/master_file.h"
#include "templates/email_setup.h"
#include "templates/template_state.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace bench {

inline void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// An empty master file in Store.DataDir, made as the program's setup makes it.
inline void CreateMaster() {
  Check(CreateMasterFile(false) == TMasterCreation::Created, "create master in " + Store.DataDir);
}

// The master file of the folder in use with "Template <n>" for 0..Count-1.
inline void MakeMaster(int Count) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrBeginTransaction();
  for (int n = 0; n < Count; ++n) InsertMasterRecord(TTemplateNumber(n).Stored(), "Template " + std::to_string(n));
  BtrEndTransaction();
  BtrCloseFile(MasterFileNo);
}

// Template Number's descriptor with these record texts, in one transaction.
inline void MakeDescriptor(int Number, const std::vector<std::string>& Texts) {
  const std::string name = DescriptorFileName(TTemplateNumber(Number));
  std::string msg;
  Check(BtrCreateFile(name, DscRecordLength, int8_t(DescriptorKeySegments.size()), msg, 255, true,
                      DescriptorKeySegments),
        "create descriptor: " + msg);
  BtrOpenFile(9, name, 0);
  BtrBeginTransaction();
  for (const std::string& text : Texts) BtrInsertRecord(9, text);
  BtrEndTransaction();
  BtrCloseFile(9);
}

// 50 fields; field 1 a client lookup that index 1 sorts on, every third
// one a template lookup with display columns.
inline std::vector<std::string> FiftyFieldTemplate() {
  std::vector<std::string> texts;
  int offset = 5;
  for (int k = 1; k <= MaxFields; ++k) {
    TFld f;
    f.SeqNo = f.FldId = k;
    f.Name = "Field number " + std::to_string(k);
    f.FldType = k == 1 ? 'C' : "CNDdB"[k % 5];
    f.Width = f.KeyWidth = k == 1 ? 7 : 10 + k % 20;
    f.MinVal = "-100";
    f.MaxVal = "99999.99";
    f.Hint = "The hint of field " + std::to_string(k);
    if (k == 1) {
      f.IsLookup = f.Forced = f.Unique = true;
      f.LkpKind = "L";
      f.LkpSpec = "A  0  1";
      f.IdxCount = 1;
      f.IdxNo[1] = 1;
      f.SortPos[1] = 1;
    } else if (k % 3 == 0) {
      f.IsLookup = true;
      f.LkpKind = "M";
      f.LkpTarget = "MNGR007.DSC";
      f.LkpSpec = "1  3  4  5  6";
      for (int c = 1; c <= 20; ++c) f.DispCols[c] = c * 3;
    }
    texts.push_back(FormatFieldRecord(f, offset));
    offset += f.Width;
  }
  TIndexRecord index;
  index.Number = 1;
  index.Name = "Client";
  index.SortFlds[1] = 1;
  index.Unique = true;
  index.TplName = "Template 0";
  texts.push_back(FormatIndexRecord(index));
  return texts;
}

// One folder per program run; the program's name is fixed at the first call.
inline const std::filesystem::path& Root(const std::string& program) {
  static const std::filesystem::path root =
      std::filesystem::temp_directory_path() / (program + "." + std::to_string(getpid()));
  return root;
}

inline double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Mean milliseconds per iteration by workload.
inline std::map<std::string, double>& MeanMs() {
  static std::map<std::string, double> means;
  return means;
}

template <class F>
void Timed(benchmark::State& state, const std::string& name, F&& work) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    work();
    total += MsSince(start);
    ++n;
  }
  MeanMs()[name] = n > 0 ? total / double(n) : 0;
}

// Runs Body (which builds its fixture and runs the benchmarks); a failure is
// reported and gives status 1. The record manager is closed and the scratch
// folder removed whatever happened.
inline int Run(const std::string& program, const std::function<void()>& body) {
  int status = 0;
  try {
    body();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), e.what());
    status = 1;
  }
  FinalizeBtrLayer();
  std::error_code ignored;
  std::filesystem::remove_all(Root(program), ignored);
  benchmark::Shutdown();
  return status;
}

}  // namespace bench
