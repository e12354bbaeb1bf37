// Every file step of the restructure made to fail, once and from there on:
// a save that fails before its commit shows one message and leaves the old
// generation exactly as it was; one that commits leaves the new generation
// whole, its leftovers resolved by recovery.
#include "templates/template_recovery.h"
#include "templates/tests/save/save_fixture.h"

#include <gtest/gtest.h>

namespace {

class SaveSweepTest : public SaveScenarioTest {
protected:
  // One save of a fresh copy with the fault point armed at Step.
  void SaveWithFault(uint64_t step, TFaultAction action) {
    SCOPED_TRACE("step " + std::to_string(step));
    ScopedTempDir run;
    CopyPristine(run.path());
    Use(run.path());
    PrepareScenarioChange();
    RecordedDialogs boxes;
    ArmFaultPoint(step, action);
    bool saved = false;
    try {
      saved = BuildTemplateDataFile(ScenarioName);
    } catch (const EAbort& e) {
      EXPECT_EQ(e.Message, "");
    }
    DisarmFaultPoint();
    // After failing from a step on the client stops, ending whatever it
    // left open or unfinished.
    if (action == TFaultAction::FailFromN) ResetBtrLayer();
    ASSERT_LE(boxes.Texts.size(), 1u) << boxes.Texts.at(0) << "\n" << boxes.Texts.at(1);
    if (!saved) {
      ASSERT_EQ(boxes.Types, std::vector<TMsgDlgType>{mtError});
    } else if (!boxes.Types.empty()) {
      EXPECT_EQ(boxes.Types, std::vector<TMsgDlgType>{mtWarning}) << boxes.Texts[0];
    }
    Store.DataDir = run.path().string();
    // Failed once, the save itself puts the old generation back.
    if (!saved && action == TFaultAction::FailOnce) {
      EXPECT_EQ(Snapshot(run.path()), Old);
    }
    const size_t shown = boxes.Texts.size();
    RecoverTemplatesAtStartup(Store.DataDir);
    EXPECT_EQ(boxes.Texts.size(), shown) << boxes.Texts.back();
    const TFolderSnapshot after = Snapshot(run.path());
    if (saved) {
      ++Committed;
      EXPECT_EQ(after, New);
    } else if (action == TFaultAction::FailOnce) {
      EXPECT_EQ(after, Old);
      EXPECT_EQ(boxes.Texts.size(), 1u);
    } else {
      // Failing from a step on, the commit itself may be the step that
      // failed to report: the files must be one generation or the other.
      EXPECT_TRUE(after == Old || after == New) << ::testing::PrintToString(after);
    }
  }

  int Committed = 0;
};

TEST_F(SaveSweepTest, EveryStepFailingOnce) {
  ASSERT_GT(Steps, 20u);
  std::cout << "the save takes " << Steps << " file steps" << std::endl;
  for (uint64_t step = 1; step <= Steps; ++step) SaveWithFault(step, TFaultAction::FailOnce);
  EXPECT_GT(Committed, 0);
  EXPECT_LT(Committed, int(Steps));
}

TEST_F(SaveSweepTest, EveryStepFailingFromThereOn) {
  for (uint64_t step = 1; step <= Steps; ++step) SaveWithFault(step, TFaultAction::FailFromN);
}

}  // namespace
