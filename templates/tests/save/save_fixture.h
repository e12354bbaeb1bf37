// What the save tests share: the scenario's folder built once per test
// program and copied fresh for every run, the record-manager files of a
// folder as mdbtr shows them (specification and every record with its
// prefix: SQLite pages may differ where the records do not), and the
// generation before and after a clean save to compare against.
#pragma once

#include "btrieve/call_status.h"
#include "btrieve/numbered_files.h"
#include "btrieve/win_btr.h"
#include "platform/dialogs.h"
#include "platform/fault_point.h"
#include "platform/format.h"
#include "templates/template_build.h"
#include "templates/template_state.h"
#include "templates/tests/save/save_scenario.h"
#include "testing/checked_folder.h"
#include "testing/engine_dump.h"
#include "testing/recorded_dialogs.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The folder as the tests compare it: its file names (lock files aside),
// and per record-manager file of the template "stat" and "dump".
struct TFolderSnapshot {
  std::vector<std::string> Names;
  std::map<std::string, std::string> Files;
  bool operator==(const TFolderSnapshot&) const = default;
};

inline void PrintTo(const TFolderSnapshot& s, std::ostream* os) {
  for (const std::string& n : s.Names) *os << n << " ";
  for (const auto& [name, text] : s.Files) *os << "\n--- " << name << "\n" << text;
}

// With mdbtr, the tool an office would look with; else through the engine
// in this process, as another client, which is much faster.
inline TFolderSnapshot Snapshot(const std::filesystem::path& folder, bool withMdbtr = false) {
  TFolderSnapshot s;
  for (const char* name : {"master.dsc", "MNGR000.DSC", "MGRDT000.QMD"}) {
    const std::string path = (folder / name).string();
    if (!std::filesystem::exists(path)) continue;
    if (withMdbtr) {
      const ProgramRun stat = RunMdbtr({"stat", path});
      const ProgramRun dump = RunMdbtr({"dump", path});
      s.Files[name] = stat.Out + stat.Err + dump.Out + dump.Err;
    } else {
      s.Files[name] = DumpThroughEngine(path);
    }
  }
  const std::filesystem::path grid = folder / ScenarioGrid;
  if (std::filesystem::exists(grid)) s.Files[ScenarioGrid] = ReadFileBytes(grid.string());
  // Listed last: opening a file settles what a killed writer left beside it.
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (!name.ends_with(".lck") && !name.ends_with(".LCK")) s.Names.push_back(name);
  }
  std::sort(s.Names.begin(), s.Names.end());
  return s;
}

class SaveScenarioTest : public ::testing::Test {
protected:
  // Built once: the pristine folder, the files before and after a clean
  // save, and the number of file steps that save takes.
  static void SetUpTestSuite() {
    pristine_ = std::make_unique<ScopedTempDir>();
    Use(pristine_->path());
    BuildScenarioFolder();
    ResetBtrLayer();
    Old = Snapshot(pristine_->path());
    saved_ = std::make_unique<ScopedTempDir>();
    const ScopedTempDir& run = *saved_;
    CopyPristine(run.path());
    Use(run.path());
    PrepareScenarioChange();
    DisarmFaultPoint();
    const bool saved = BuildTemplateDataFile(ScenarioName);
    Steps = FaultStepCount();
    ResetBtrLayer();
    New = Snapshot(run.path());
    ASSERT_TRUE(saved);
  }
  static void TearDownTestSuite() {
    ResetBtrLayer();
    pristine_.reset();
    saved_.reset();
  }
  void SetUp() override { ResetBtrLayer(); }
  void TearDown() override {
    DisarmFaultPoint();
    ResetBtrLayer();
    Store.Reset();
  }

  static void Use(const std::filesystem::path& folder) {
    Store.Reset();
    Store.DataDir = folder.string();
  }

  // The scenario's files, copied byte for byte while nothing has them open.
  static void CopyPristine(const std::filesystem::path& to) {
    for (const auto& e : std::filesystem::directory_iterator(pristine_->path())) {
      const std::string name = e.path().filename().string();
      if (!name.ends_with(".lck") && !name.ends_with(".LCK")) std::filesystem::copy_file(e.path(), to / name);
    }
  }

  // The old and the new generation as this process reads them.
  static inline TFolderSnapshot Old, New;
  // The new generation as mdbtr shows it, made when first asked for.
  static const TFolderSnapshot& NewShown() {
    static const TFolderSnapshot shown = Snapshot(saved_->path(), true);
    return shown;
  }
  static inline uint64_t Steps = 0;

private:
  static inline std::unique_ptr<ScopedTempDir> pristine_, saved_;
};
