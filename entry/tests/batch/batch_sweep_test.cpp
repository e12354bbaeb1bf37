// Every file step of an export and of an erase made to fail, once and from
// there on, then the batch opened again with the fault point disarmed (the
// recovery, silent): the records are all in the batch and nowhere new, or
// all in the export folder and the new backup pair and none in the batch;
// an erase is all or nothing. A run ends in one box at most (two when both
// batch files fail to open), and the steps failed once show exactly the
// texts of their steps.
#include "entry/tests/batch/batch_sweep_fixture.h"

#include <iostream>
#include <set>

namespace {

const std::string Contact = "\r\rPlease contact Ondral, Inc. for assistance.";
// The layer's own text for a failed call: the status tail alone.
const std::string LayerIoError = "Btrieve status 2.\rAn input/output error occurred while the file was read or written";

std::string OpenFailed(const std::string& name) {
  const std::string file = "<data>\\" + name;
  return "Unable to open the matterdesk batch file " + file + ".\r\rThe file " + file + " could not be opened.\r\r" +
         LayerIoError + "." + Contact;
}

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
      // The texts with the run's data folder as "<data>", so runs compare.
      if (action == TFaultAction::FailOnce)
        for (std::string text : boxes.Texts) {
          for (size_t at; (at = text.find(Store.DataDir)) != std::string::npos;)
            text.replace(at, Store.DataDir.size(), "<data>");
          Shown.insert(text);
        }
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

  std::set<std::string> Shown;

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
  // Each step's own text, each failed copy or move in the shape of its step.
  const std::string newBatch = "Corvenstead was able to export your batch, but failed in creating a new empty batch (";
  const std::string backup = "failed.  You will not be able to export your batch at this time." + Contact;
  const std::string exporting = "failed. Please try this operation again later." + Contact;
  const std::set<std::string> expected{
      "Backup copying of the file <data>\\Batch01.jnl " + backup,
      "Backup copying of the file <data>\\DESC01.MD " + backup,
      "Backup copying of the file <data>\\TRIN01.MD " + backup,
      LayerIoError,
      newBatch + "Deletion of existing files failed).",
      newBatch + "copying of Desc.clo failed)." + Contact,
      newBatch + "renaming of DESC01.MD.part failed)." + Contact,
      newBatch + "renaming of TRIN01.MD.part failed)." + Contact,
      newBatch + "renaming of TRIN01.clo failed)." + Contact,
      "Exporting of the file <data>\\Batch01.jnl " + exporting,
      "Exporting of the file <data>\\DESC01.MD " + exporting,
      "Exporting of the file <data>\\TRIN01.MD " + exporting,
      "Unable to close batch files.  You will not be able to export them at this time.",
      "Unable to create new empty batch files (Clone operation failed).",
      "Unable to create the backup directory <data>\\MDback.\rYou will not be able to export your batch until this "
      "problem is resolved.\r" + Contact,
      OpenFailed("DESC01.MD"),
      OpenFailed("TRIN01.MD"),
      "Your batch has been successfully exported.",
  };
  EXPECT_EQ(Shown, expected);
}

TEST_F(BatchSweepTest, EveryStepOfAnEraseFailing) {
  ASSERT_GT(EraseSteps, 5u);
  std::cout << "the erase takes " << EraseSteps << " file steps" << std::endl;
  Sweep(EraseSteps, TBatchOutcome::Erased, [] { EraseBatch(); });
  const std::set<std::string> expected{
      "Are you SURE you want to erase the ENTIRE batch?",
      LayerIoError,
      "Unable to create new empty batch files (Clone operation failed).",
      "Unable to erase batch (Cannot close existing files).",
      "Unable to erase batch (copying of Desc.clo failed)." + Contact,
      "Unable to erase batch (deletion of existing files failed).",
      "Unable to erase batch (renaming of TRIN01.clo failed)." + Contact,
      OpenFailed("DESC01.MD"),
      OpenFailed("TRIN01.MD"),
  };
  EXPECT_EQ(Shown, expected);
}

}  // namespace
