// The batch every writer, export, fault and kill test starts from, shared
// by the tests and batch_peer, the second process they start: workstation
// "01" in <folder>/mddata with 20 entries whose descriptions run to one,
// two and three lines, earlier backups 001 and 003 in MDback (so the next
// export takes 002), and an empty export folder <folder>/export.
#pragma once

#include "entry/batch_files.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

constexpr int ScenarioEntries = 20;
inline const std::string ScenarioWsid = "01";

// Store and Startup as start-up leaves them for Folder; the record manager
// comes from the program's own folder, with Desc.clo beside it.
void UseBatchFolder(const std::filesystem::path& Folder);
// Start-up's empty batch (TRIN from its key table, DESC from Desc.clo).
void MakeEmptyBatch();
std::filesystem::path DataFolder(const std::filesystem::path& Folder);
std::filesystem::path ExportFolder(const std::filesystem::path& Folder);

// Entry n (1-based) of the scenario: description of n % 3 + 1 lines.
TBatchEntry ScenarioEntry(int N);
// Makes the whole scenario in the empty Folder; every file closed after.
void BuildBatchScenario(const std::filesystem::path& Folder);

// What the tests compare: each record-manager file of the data, backup
// and export folders by its records (read as another client, or by mdbtr
// dump), each other file by its bytes, keyed by its path below Folder
// ("mddata/TRIN01.MD"); lock files left out.
using TBatchSnapshot = std::map<std::string, std::string>;
TBatchSnapshot SnapshotBatch(const std::filesystem::path& Folder, bool WithMdbtr = false);
// The records of one record-manager file; "" for any other file.
std::string DumpRecords(const std::filesystem::path& File, bool WithMdbtr = false);

// The two ends an export or erase may leave, from the scenario's snapshot
// Before: the batch replaced by empty files; for an export, besides, the
// old batch in the export folder and as backup pair 002 (the stray DESC
// backup 002 replaced).
TBatchSnapshot ExpectedExported(const TBatchSnapshot& Before);
TBatchSnapshot ExpectedErased(const TBatchSnapshot& Before);

// The keys whose contents differ between two snapshots, for failure texts.
std::string SnapshotDifference(const TBatchSnapshot& A, const TBatchSnapshot& B);

// Which end a run left, from the scenario's snapshot Before. Kept: the
// scenario as it was (an undone export may have taken the stray DESC
// backup 002 with it).
enum class TBatchOutcome { Kept, Exported, Erased, Other };
TBatchOutcome OutcomeOf(const TBatchSnapshot& Before, const TBatchSnapshot& After);
const char* OutcomeName(TBatchOutcome Outcome);

// Copies a scenario folder with everything below it but lock files.
void CopyScenario(const std::filesystem::path& From, const std::filesystem::path& To);
