#include "entry/tests/batch/batch_scenario.h"

#include "platform/files.h"
#include "platform/session.h"
#include "templates/batch_codec.h"
#include "templates/batch_create.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "testing/checked_folder.h"
#include "testing/engine_dump.h"
#include "testing/temp_dir.h"

#include <stdexcept>

std::filesystem::path DataFolder(const std::filesystem::path& Folder) { return Folder / "mddata"; }
std::filesystem::path ExportFolder(const std::filesystem::path& Folder) { return Folder / "export"; }

void UseBatchFolder(const std::filesystem::path& Folder) {
  Store.Reset();
  Startup.Reset();
  ResetBatchFileState();
  Store.DataDir = DataFolder(Folder).string();
  Startup.WSID = ScenarioWsid;
  Startup.ExeDir = ProgramFolder();
  Startup.DescCloName = Startup.ExeDir + "\\Desc.clo";
  Startup.DescFileName = DescFileName();
}

void MakeEmptyBatch() {
  std::string msg;
  if (!CreateTrinFile(TrinFileName(), msg, CreateMsgMax)) throw std::runtime_error("TRIN: " + msg);
  if (!CopyFile(Startup.DescCloName, DescFileName(), true)) throw std::runtime_error("DESC not copied");
}

TBatchEntry ScenarioEntry(int N) {
  TBatchEntry entry;
  entry.Client = "CL" + std::to_string(N % 7);
  entry.CaseSuffix = std::to_string(N);
  entry.Group = N % 2 ? "CF" : "";
  entry.Employee = "E" + std::to_string(N % 4);
  entry.Hours = std::to_string(N) + "." + std::to_string(N % 10) + "5";
  entry.Date = 47000 + N;  // in December 2028
  for (int line = 0; line <= N % 3; ++line)
    entry.Description += "Entry " + std::to_string(N) + " piece " + std::to_string(line) + std::string(60, '.');
  return entry;
}

void BuildBatchScenario(const std::filesystem::path& Folder) {
  std::filesystem::create_directories(DataFolder(Folder) / "MDback");
  std::filesystem::create_directories(ExportFolder(Folder));
  UseBatchFolder(Folder);
  MakeEmptyBatch();
  for (int n = 1; n <= ScenarioEntries; ++n)
    if (!SaveBatchEntry(ScenarioEntry(n))) throw std::runtime_error("entry not saved");
  CloseBatchFiles();
  for (int n : {1, 3}) {
    WriteFileBytes(ResolvePath(TrinBackupFileName(n)), "earlier TRIN backup " + std::to_string(n));
    WriteFileBytes(ResolvePath(DescBackupFileName(n)), "earlier DESC backup " + std::to_string(n));
  }
  // A DESC backup without its TRIN: the export that takes 002 replaces it.
  WriteFileBytes(ResolvePath(DescBackupFileName(2)), "stray DESC backup 2");
}

std::string DumpRecords(const std::filesystem::path& File, bool WithMdbtr) {
  if (WithMdbtr) {
    const ProgramRun run = RunMdbtr({"dump", File.string()});
    return run.Exit == 0 ? run.Out : "";
  }
  const std::string dump = DumpThroughEngine(File.string());
  return dump.starts_with("open: ") ? "" : dump;
}

TBatchSnapshot SnapshotBatch(const std::filesystem::path& Folder, bool WithMdbtr) {
  TBatchSnapshot snapshot;
  for (const std::filesystem::path& sub : {DataFolder(Folder), DataFolder(Folder) / "MDback", ExportFolder(Folder)}) {
    if (!std::filesystem::exists(sub)) continue;
    for (const auto& e : std::filesystem::directory_iterator(sub)) {
      if (!e.is_regular_file()) continue;
      const std::string name = e.path().filename().string();
      if (name.ends_with(".lck") || name.ends_with(".LCK")) continue;
      const std::string key = std::filesystem::relative(e.path(), Folder).string();
      const std::string dump = DumpRecords(e.path(), WithMdbtr);
      snapshot[key] = dump.empty() ? "bytes " + ReadFileBytes(e.path().string()) : dump;
    }
  }
  return snapshot;
}

namespace {

// The records of an empty TRIN and DESC as start-up makes them.
const std::pair<std::string, std::string>& EmptyDumps() {
  static const std::pair<std::string, std::string> dumps = [] {
    const std::string dataDir = Store.DataDir, wsid = Startup.WSID, exeDir = Startup.ExeDir,
                      descClo = Startup.DescCloName;
    ScopedTempDir folder;
    std::filesystem::create_directories(DataFolder(folder.path()));
    UseBatchFolder(folder.path());
    MakeEmptyBatch();
    std::pair<std::string, std::string> made{DumpRecords(ResolvePath(TrinFileName())),
                                             DumpRecords(ResolvePath(DescFileName()))};
    Store.DataDir = dataDir;
    Startup.WSID = wsid;
    Startup.ExeDir = exeDir;
    Startup.DescCloName = descClo;
    Startup.DescFileName = DescFileName();
    return made;
  }();
  return dumps;
}

TBatchSnapshot WithEmptyBatch(TBatchSnapshot Snapshot) {
  Snapshot["mddata/TRIN" + ScenarioWsid + ".MD"] = EmptyDumps().first;
  Snapshot["mddata/DESC" + ScenarioWsid + ".MD"] = EmptyDumps().second;
  return Snapshot;
}

}  // namespace

TBatchSnapshot ExpectedExported(const TBatchSnapshot& Before) {
  TBatchSnapshot after = WithEmptyBatch(Before);
  const std::string trin = Before.at("mddata/TRIN" + ScenarioWsid + ".MD");
  const std::string desc = Before.at("mddata/DESC" + ScenarioWsid + ".MD");
  after["export/TRIN" + ScenarioWsid + ".MD"] = trin;
  after["export/DESC" + ScenarioWsid + ".MD"] = desc;
  after["mddata/MDback/trin" + ScenarioWsid + ".002"] = trin;
  after["mddata/MDback/DESC" + ScenarioWsid + ".002"] = desc;
  return after;
}

TBatchSnapshot ExpectedErased(const TBatchSnapshot& Before) { return WithEmptyBatch(Before); }

std::string SnapshotDifference(const TBatchSnapshot& A, const TBatchSnapshot& B) {
  std::string out;
  for (const auto& [key, value] : A) {
    const auto other = B.find(key);
    if (other == B.end()) {
      out += " only first: " + key;
    } else if (other->second != value) {
      out += " differs: " + key;
    }
  }
  for (const auto& [key, value] : B)
    if (!A.contains(key)) out += " only second: " + key;
  return out;
}

TBatchOutcome OutcomeOf(const TBatchSnapshot& Before, const TBatchSnapshot& After) {
  TBatchSnapshot undone = Before;
  undone.erase("mddata/MDback/DESC" + ScenarioWsid + ".002");
  if (After == Before || After == undone) return TBatchOutcome::Kept;
  if (After == ExpectedExported(Before)) return TBatchOutcome::Exported;
  if (After == ExpectedErased(Before)) return TBatchOutcome::Erased;
  return TBatchOutcome::Other;
}

const char* OutcomeName(TBatchOutcome Outcome) {
  switch (Outcome) {
    case TBatchOutcome::Kept:
      return "kept";
    case TBatchOutcome::Exported:
      return "exported";
    case TBatchOutcome::Erased:
      return "erased";
    case TBatchOutcome::Other:
      break;
  }
  return "other";
}

void CopyScenario(const std::filesystem::path& From, const std::filesystem::path& To) {
  for (const auto& e : std::filesystem::recursive_directory_iterator(From)) {
    const std::filesystem::path target = To / std::filesystem::relative(e.path(), From);
    const std::string name = e.path().filename().string();
    if (e.is_directory()) {
      std::filesystem::create_directories(target);
    } else if (!name.ends_with(".lck") && !name.ends_with(".LCK")) {
      std::filesystem::copy_file(e.path(), target);
    }
  }
}
