// Another instance killed (SIGKILL) before every file step of an export and
// of an erase, and after the last, then this process opens the batch (the
// recovery): the records are in the batch or wholly exported, the erase all
// or nothing, the recovery silent. Then the recovery itself killed at each
// of its steps, from an export killed just before and just after its
// commit and from an erase killed after its first deletion, and run again.
#include "entry/tests/batch/batch_sweep_fixture.h"
#include "testing/piped_process.h"

#include <algorithm>
#include <iostream>

namespace {

// How many children run side by side, each in a folder of its own.
constexpr size_t Parallel = 6;

class BatchKillTest : public BatchScenarioTest {
protected:
  struct TKill {
    std::string Label;
    std::string Arm;      // "arm N kill-before"
    std::string Command;  // export, erase or recover
    std::string Prepare;         // an arm that kills a run of PrepareCommand first in the same folder
    std::string PrepareCommand;  // export or erase
  };

  // This process's recovery after the child died; the outcome.
  static TBatchOutcome Recovered(const std::filesystem::path& folder, const std::string& label) {
    SCOPED_TRACE(label);
    ResetBtrLayer();
    UseBatchFolder(folder);
    {
      RecordedDialogs boxes;
      EXPECT_TRUE(OpenBatchFiles());
      EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
    }
    EXPECT_TRUE(CloseBatchFiles());
    const TBatchSnapshot after = SnapshotBatch(folder);
    const TBatchOutcome outcome = OutcomeOf(Before, after);
    EXPECT_NE(outcome, TBatchOutcome::Other) << SnapshotDifference(after, Before);
    ResetBtrLayer();
    CheckRecordFiles(folder);
    return outcome;
  }

  // Runs the kills Parallel at a time; each child must die by SIGKILL. The
  // outcome of each, in order.
  static std::vector<TBatchOutcome> Killed(const std::vector<TKill>& kills) {
    std::vector<TBatchOutcome> outcomes;
    for (size_t first = 0; first < kills.size(); first += Parallel) {
      std::vector<std::pair<std::unique_ptr<ScopedTempDir>, std::unique_ptr<PipedProcess>>> runs;
      for (size_t k = first; k < std::min(kills.size(), first + Parallel); ++k) {
        // The journal names its export folder: a killed run is made in the
        // folder it is recovered in, never copied.
        auto folder =
            kills[k].Prepare.empty() ? FreshFolder() : KilledFolder(kills[k].PrepareCommand, kills[k].Prepare);
        auto child = std::make_unique<PipedProcess>(BATCH_PEER_PATH, std::vector<std::string>{folder->path().string()});
        EXPECT_EQ(child->Ask(kills[k].Arm), "ok") << kills[k].Label;
        child->Send(kills[k].Command);
        runs.emplace_back(std::move(folder), std::move(child));
      }
      for (size_t k = 0; k < runs.size(); ++k) {
        const std::string& label = kills[first + k].Label;
        EXPECT_EQ(runs[k].second->Receive(), "") << label;
        EXPECT_TRUE(runs[k].second->EndedByKill()) << label;
      }
      for (size_t k = 0; k < runs.size(); ++k) outcomes.push_back(Recovered(runs[k].first->path(), kills[first + k].Label));
    }
    return outcomes;
  }

  static std::vector<TKill> EveryStep(const std::string& command, uint64_t steps) {
    std::vector<TKill> kills;
    for (uint64_t step = 1; step <= steps; ++step) {
      const std::string arm = "arm " + std::to_string(step) + " kill-before";
      kills.push_back({command + " " + arm, arm, command, "", ""});
    }
    const std::string last = "arm " + std::to_string(steps) + " kill-after";
    kills.push_back({command + " " + last, last, command, "", ""});
    return kills;
  }

  // Old up to one step, done from it on: one switch, never back. The
  // index of the first run that left the run done.
  static size_t OneSwitch(const std::vector<TBatchOutcome>& outcomes, TBatchOutcome done) {
    const auto first = std::find(outcomes.begin(), outcomes.end(), done);
    EXPECT_NE(first, outcomes.begin());
    EXPECT_NE(first, outcomes.end());
    EXPECT_TRUE(std::all_of(outcomes.begin(), first, [](TBatchOutcome o) { return o == TBatchOutcome::Kept; }));
    EXPECT_TRUE(std::all_of(first, outcomes.end(), [&](TBatchOutcome o) { return o == done; }));
    return size_t(first - outcomes.begin());
  }

  static std::unique_ptr<ScopedTempDir> FreshFolder() {
    auto folder = std::make_unique<ScopedTempDir>();
    Fresh(folder->path());
    ResetBtrLayer();
    return folder;
  }

  // The folder a run of Command (export or erase) killed at Arm leaves.
  static std::unique_ptr<ScopedTempDir> KilledFolder(const std::string& command, const std::string& arm) {
    auto folder = FreshFolder();
    PipedProcess child(BATCH_PEER_PATH, {folder->path().string()});
    EXPECT_EQ(child.Ask(arm), "ok");
    EXPECT_EQ(child.Ask(command), "");
    EXPECT_TRUE(child.EndedByKill());
    return folder;
  }

  // A run of Command killed at Arm, then the recovery killed before each of
  // its own steps and after its last, then recovered here: Expected each
  // time.
  static void RecoveryKilledAtEachStep(const std::string& command, const std::string& arm, TBatchOutcome expected) {
    uint64_t steps = 0;
    {
      const auto probe = KilledFolder(command, arm);
      UseBatchFolder(probe->path());
      DisarmFaultPoint();
      RecordedDialogs boxes;
      EXPECT_TRUE(OpenBatchFiles());
      CloseBatchFiles();
      steps = FaultStepCount();
      ResetBtrLayer();
      EXPECT_EQ(OutcomeOf(Before, SnapshotBatch(probe->path())), expected) << arm;
    }
    ASSERT_GT(steps, 3u) << arm;
    std::vector<TKill> kills = EveryStep("recover", steps);
    for (TKill& kill : kills) {
      kill.Prepare = arm;
      kill.PrepareCommand = command;
      kill.Label = "after the " + command + "'s " + arm + ": " + kill.Label;
    }
    for (const TBatchOutcome outcome : Killed(kills)) EXPECT_EQ(outcome, expected) << arm;
  }
};

TEST_F(BatchKillTest, AnExportKilledAtEveryStepThenItsRecoveryKilledAtEachOfItsSteps) {
  const std::vector<TBatchOutcome> outcomes = Killed(EveryStep("export", ExportSteps));
  const size_t commit = OneSwitch(outcomes, TBatchOutcome::Exported);
  std::cout << "the export commits at step " << commit << " of " << ExportSteps << std::endl;

  // Killed just before its commit (PREPARED, everything copied) and just
  // after it (COMMITTED, nothing renamed yet): the recovery killed before
  // each of its own steps and after its last, then recovered here.
  RecoveryKilledAtEachStep("export", "arm " + std::to_string(commit) + " kill-before", TBatchOutcome::Kept);
  RecoveryKilledAtEachStep("export", "arm " + std::to_string(commit) + " kill-after", TBatchOutcome::Exported);
}

TEST_F(BatchKillTest, AnEraseKilledAtEveryStepIsAllOrNothingAndSoIsItsRecoveryKilled) {
  const size_t erased = OneSwitch(Killed(EveryStep("erase", EraseSteps)), TBatchOutcome::Erased);
  std::cout << "the erase is done from step " << erased << " of " << EraseSteps << std::endl;
  // Killed just after its first deletion: recovery must finish the erase.
  RecoveryKilledAtEachStep("erase", "arm " + std::to_string(erased) + " kill-after", TBatchOutcome::Erased);
}

}  // namespace
