// The scenario built once per test program, copied fresh for every run,
// with its snapshot and the file steps of a clean export and erase.
#pragma once

#include "entry/batch_export.h"
#include "entry/tests/batch/batch_fixture.h"

#include <memory>

class BatchScenarioTest : public BatchTest {
protected:
  static void SetUpTestSuite() {
    pristine_ = std::make_unique<ScopedTempDir>();
    ResetBtrLayer();
    BuildBatchScenario(pristine_->path());
    ResetBtrLayer();
    Before = SnapshotBatch(pristine_->path());
    ExportSteps = CleanRunSteps([] { ExportBatch(ExportFolder(CurrentFolder).string()); }, TBatchOutcome::Exported);
    EraseSteps = CleanRunSteps([] { EraseBatch(); }, TBatchOutcome::Erased);
  }
  static void TearDownTestSuite() {
    ResetBtrLayer();
    pristine_.reset();
  }

  // A fresh copy of the scenario in Folder, in use.
  static void Fresh(const std::filesystem::path& Folder) {
    ResetBtrLayer();
    CopyScenario(pristine_->path(), Folder);
    CurrentFolder = Folder;
    UseBatchFolder(Folder);
  }
  // The steps of one clean run in a copy, which must end as Expected.
  template <class Run>
  static uint64_t CleanRunSteps(Run run, TBatchOutcome Expected) {
    ScopedTempDir probe;
    Fresh(probe.path());
    RecordedDialogs boxes;
    boxes.Reply = mrYes;
    DisarmFaultPoint();
    run();
    const uint64_t steps = FaultStepCount();
    ResetBtrLayer();
    EXPECT_EQ(OutcomeOf(Before, SnapshotBatch(probe.path())), Expected);
    return steps;
  }

  static inline TBatchSnapshot Before;
  static inline uint64_t ExportSteps = 0;
  static inline uint64_t EraseSteps = 0;
  static inline std::filesystem::path CurrentFolder;

private:
  static inline std::unique_ptr<ScopedTempDir> pristine_;
};
