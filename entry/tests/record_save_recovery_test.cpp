// The record save beside another workstation on the save tests' scenario:
// a restructure killed half way is put back to one whole generation before
// the save holds the template's lock (which then finds the layout changed);
// a record that workstation holds locked makes the update wait and ask.
#include "entry/record_save.h"

#include "entry/grid_layout_seam.h"
#include "entry/dropdown_list.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/descriptor_loader.h"
#include "templates/layout_digest.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"
#include "templates/template_recovery.h"
#include "templates/tests/save/save_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"

namespace {

// A screen whose only input is the code "NEW1"; in editing mode on the
// record at Position, loaded as Loaded.
class TCodeOnly : public TSaveScreen {
public:
  bool EditingMode = false;
  std::string Position, Loaded;
  bool Input(int Slot, TSlotInput& In) const override {
    if (Slot != Code) return false;
    In.Text = "NEW1";
    return true;
  }
  void FocusField(int) override {}
  bool Editing() const override { return EditingMode; }
  bool& SkipNextSave() override { return skip_; }
  bool FindPending() const override { return false; }
  void ShowBusy(bool) override {}
  std::string EditedRowPosition() const override { return Position; }
  std::string LoadedRecord() const override { return Loaded; }
  void ReloadChangedRecord() override {}
  void Clear() override {}
  void Find() override {}

private:
  bool skip_ = false;
};

// A fresh copy of the scenario, its template loaded as an entry screen
// has it.
class RecordSaveScenarioTest : public SaveScenarioTest {
protected:
  void SetUp() override {
    SaveScenarioTest::SetUp();
    CopyPristine(run_.path());
    Use(run_.path());
    ASSERT_TRUE(LoadTemplateDescriptor("000"));
    Store.OpenTplNumber = Store.TplNumber = "000";
  }
  ScopedTempDir run_;
};

TEST_F(RecordSaveScenarioTest, AKilledRestructureIsRecoveredBeforeTheSaveWhichThenRefuses) {
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
  EXPECT_EQ(Snapshot(run_.path()), New);
}

TEST_F(RecordSaveScenarioTest, ARecordLockedElsewhereMakesTheUpdateAskAndSavesOnceReleased) {
  TCodeOnly screen;
  screen.EditingMode = true;
  OpenTemplateDataFile(OwnDataFileNo);
  TDynCharArr rec(1);
  bool atEnd = false;
  BtrGetFirst(OwnDataFileNo, rec, atEnd, false);
  screen.Position = FormatGridPosition(BtrSavePosition(OwnDataFileNo, rec));
  screen.Loaded.assign(rec.begin(), rec.end());
  BtrCloseFile(OwnDataFileNo);

  PipedProcess peer(SAVE_PEER_PATH, {Store.DataDir});
  ASSERT_EQ(peer.Ask("open"), "ok");
  ASSERT_EQ(peer.Ask("lock-first"), "ok");
  LockRetryMs = 50;
  {
    // The layer's question first; declined, the save's error and nothing
    // written.
    DialogResponder boxes;
    boxes.Expect(RecLockMsg, mrNo).Expect(RecLockAbortMsg + "\r\rUnable to save this record.\r\r" + ContactMsg);
    EXPECT_EQ(SaveRecord(screen, {}), TSaveOutcome::Failed);
  }
  ASSERT_EQ(peer.Ask("close"), "ok");
  EXPECT_EQ(peer.Ask("exit"), "bye");
  {
    DialogResponder boxes;
    EXPECT_EQ(SaveRecord(screen, {}), TSaveOutcome::Done);
  }
  TBtrPosition pos{};
  ASSERT_TRUE(ParseGridPosition(screen.Position, pos));
  OpenTemplateDataFile(OwnDataFileNo);
  BtrGetDirect(OwnDataFileNo, rec, pos);
  const std::string after(rec.begin(), rec.end());
  EXPECT_EQ(after.substr(0, 4), screen.Loaded.substr(0, 4));
  EXPECT_EQ(after.substr(4, 5), "NEW1 ");
  BtrCloseFile(OwnDataFileNo);
}

}  // namespace
