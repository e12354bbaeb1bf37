// The record save after another workstation's restructure of the template
// was killed half way: the save puts the files back to one whole generation
// before it holds the template's lock, and then finds the layout changed.
#include "entry/record_save.h"

#include "entry/grid_layout_seam.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_loader.h"
#include "templates/layout_digest.h"
#include "templates/template_number.h"
#include "templates/template_recovery.h"
#include "templates/tests/save/save_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"

namespace {

class TCodeOnly : public TSaveScreen {
public:
  bool Input(int Slot, TSlotInput& In) const override {
    if (Slot != Code) return false;
    In.Text = "NEW1";
    return true;
  }
  void FocusField(int) override {}
  bool Editing() const override { return false; }
  bool& SkipNextSave() override { return skip_; }
  bool FindPending() const override { return false; }
  void ShowBusy(bool) override {}
  std::string EditedRowPosition() const override { return {}; }
  std::string LoadedRecord() const override { return {}; }
  void ReloadChangedRecord() override {}
  void Clear() override {}
  void Find() override {}

private:
  bool skip_ = false;
};

using RecordSaveRecoveryTest = SaveScenarioTest;

TEST_F(RecordSaveRecoveryTest, AKilledRestructureIsRecoveredBeforeTheSaveWhichThenRefuses) {
  ScopedTempDir run;
  CopyPristine(run.path());
  Use(run.path());
  ASSERT_TRUE(LoadTemplateDescriptor("000"));
  Store.OpenTplNumber = Store.TplNumber = "000";
  SetGridLayoutCheck(LayoutStillCurrent);
  // The restructure dies before its last step: its backup lies beside
  // the template.
  {
    PipedProcess peer(SAVE_PEER_PATH, {Store.DataDir});
    ASSERT_EQ(peer.Ask("modify"), "ok");
    ASSERT_EQ(peer.Ask("arm " + std::to_string(Steps) + " kill-before"), "ok");
    EXPECT_EQ(peer.Ask("save"), "");
    EXPECT_TRUE(peer.EndedByKill());
  }
  ASSERT_TRUE(TemplateBackupExists(Store.DataDir, ScenarioTpl));

  TCodeOnly screen;
  {
    DialogResponder boxes;
    boxes.Expect(LayoutChangedText);
    EXPECT_EQ(SaveRecord(screen, {}), TSaveOutcome::Refused);
  }
  SetGridLayoutCheck({});
  EXPECT_FALSE(TemplateBackupExists(Store.DataDir, ScenarioTpl));
  EXPECT_FALSE(BtrIsFileOpen(52));
  ResetBtrLayer();
  EXPECT_EQ(Snapshot(run.path()), New);
}

}  // namespace
