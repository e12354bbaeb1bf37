// Every file step of an export and of an erase made to fail, once and from
// there on, then the batch opened again with the fault point disarmed (the
// recovery, silent): the records are all in the batch and nowhere new, or
// all in the export folder and the new backup pair and none in the batch;
// an erase is all or nothing. A run shows one box at most.
#include "entry/tests/batch/batch_sweep_fixture.h"

#include <iostream>

namespace {

class BatchSweepTest : public BatchScenarioTest {
protected:
  // One run in a fresh copy with the fault point armed at Step; its outcome.
  template <class Run>
  TBatchOutcome RunWithFault(uint64_t step, TFaultAction action, Run run) {
    SCOPED_TRACE("step " + std::to_string(step));
    ScopedTempDir folder;
    Fresh(folder.path());
    {
      RecordedDialogs boxes;
      boxes.Reply = mrYes;
      ArmFaultPoint(step, action);
      run();
      DisarmFaultPoint();
      // The erase asks first; a run ends in one box, or two when both
      // batch files fail to open.
      EXPECT_LE(boxes.Texts.size(), 3u);
      // After failing from a step on the client stops, ending whatever it
      // left open or unfinished.
      if (action == TFaultAction::FailFromN) ResetBtrLayer();
    }
    {
      RecordedDialogs boxes;
      EXPECT_TRUE(OpenBatchFiles());
      EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
    }
    EXPECT_TRUE(CloseBatchFiles());
    const TBatchSnapshot after = SnapshotBatch(folder.path());
    const TBatchOutcome outcome = OutcomeOf(Before, after);
    EXPECT_NE(outcome, TBatchOutcome::Other) << SnapshotDifference(after, Before);
    ResetBtrLayer();
    CheckRecordFiles(folder.path());
    return outcome;
  }

  void Sweep(uint64_t steps, TBatchOutcome done, const std::function<void()>& run) {
    for (const TFaultAction action : {TFaultAction::FailOnce, TFaultAction::FailFromN}) {
      int finished = 0;
      for (uint64_t step = 1; step <= steps; ++step) {
        const TBatchOutcome outcome = RunWithFault(step, action, run);
        EXPECT_TRUE(outcome == TBatchOutcome::Kept || outcome == done) << OutcomeName(outcome);
        finished += outcome == done;
      }
      EXPECT_GT(finished, 0);
      EXPECT_LT(finished, int(steps));
    }
  }
};

TEST_F(BatchSweepTest, EveryStepOfAnExportFailing) {
  ASSERT_GT(ExportSteps, 15u);
  std::cout << "the export takes " << ExportSteps << " file steps" << std::endl;
  Sweep(ExportSteps, TBatchOutcome::Exported, [] { ExportBatch(ExportFolder(CurrentFolder).string()); });
}

TEST_F(BatchSweepTest, EveryStepOfAnEraseFailing) {
  ASSERT_GT(EraseSteps, 5u);
  std::cout << "the erase takes " << EraseSteps << " file steps" << std::endl;
  Sweep(EraseSteps, TBatchOutcome::Erased, [] { EraseBatch(); });
}

}  // namespace
