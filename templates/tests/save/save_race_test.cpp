// Two workstations at once: a save paused inside its transfer while the
// other loads the descriptor, opens the data file and inserts, or saves the
// same template; and a save starting while the other holds the data file
// open. Each side sees only its own question and, on No, its own refusal;
// no record written anywhere is lost.
#include "btrieve/status_text.h"
#include "platform/files.h"
#include "templates/data_transfer.h"
#include "templates/layout_digest.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"
#include "templates/tests/save/save_fixture.h"
#include "testing/piped_process.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string DescriptorLockMsg =
    "Unable to open the description file for this template.\r\rIf there are other workstations present, check to "
    "see if the template is\rbeing accessed.  You may retry this operation and this message will reappear if\rthe "
    "file remains inaccessable.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";
const std::string DataLockMsg =
    "Unable to open the data file for your template.\r\rYou may retry this operation and this message will reappear "
    "if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";

// As the other workstation writes texts: "\r" as "\\r".
std::string Line(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}

std::string OpenRefused(const std::string& name) {
  return "The file " + name + " could not be opened.\r\r" + BtrStatusTail(85) + ".";
}

class SaveRaceTest : public SaveScenarioTest {
protected:
  void SetUp() override {
    SaveScenarioTest::SetUp();
    CopyPristine(run_.path());
    Use(run_.path());
    other_ = std::make_unique<PipedProcess>(SAVE_PEER_PATH, std::vector<std::string>{Dir()});
  }
  void TearDown() override {
    SetFaultPauseNotifier(nullptr);
    if (other_) other_->Ask("exit");
    other_.reset();
    SaveScenarioTest::TearDown();
  }

  std::string Dir() const { return run_.path().string(); }
  std::string DescriptorName() const { return Dir() + "\\mngr000.dsc"; }
  std::string DataName() const { return DataFileName(TTemplateNumber(ScenarioTpl)); }

  // Sends a command to the other workstation and reads its lines up to its
  // answer; each question there is answered from Answers in turn, and the
  // reading stops at a question when none is left.
  std::vector<std::string> Other(const std::string& command, std::vector<std::string> answers = {}) {
    if (!command.empty()) other_->Send(command);
    std::vector<std::string> lines;
    for (;;) {
      lines.push_back(other_->Receive());
      const std::string& line = lines.back();
      if (line.starts_with("box ")) continue;
      if (!line.starts_with("ask ")) return lines;
      if (answers.empty()) return lines;
      other_->Send(answers.front());
      answers.erase(answers.begin());
    }
  }

  // This workstation's save of the change, paused inside its transfer
  // while During runs: the old data file moved aside, the new one being
  // filled, the descriptor not yet touched. True when it saved.
  bool SavePausedInTransfer(const std::function<void()>& During) {
    PrepareScenarioChange();
    bool paused = false;
    SetFaultPauseNotifier([&](uint64_t) {
      paused = true;
      EXPECT_TRUE(FileExists(Dir() + "\\MGRDT000.QMX"));
      EXPECT_TRUE(FileExists(Dir() + "\\MGRDT000.QMD"));
      EXPECT_FALSE(FileExists(Dir() + "\\MNGR000.DSX"));
      During();
      ReleaseFaultPause();
    });
    ArmFaultPoint(Steps / 2, TFaultAction::Pause);
    const bool saved = BuildTemplateDataFile(ScenarioName);
    DisarmFaultPoint();
    EXPECT_TRUE(paused);
    return saved;
  }

  // The data file's records, as another client reads them.
  std::string Records() {
    std::string dump = DumpThroughEngine((run_.path() / "MGRDT000.QMD").string());
    return dump.substr(dump.find('\n') + 1);
  }
  static std::string NewRecords() {
    const std::string& dump = New.Files.at("MGRDT000.QMD");
    return dump.substr(dump.find('\n') + 1);
  }

  // Every record of the save, then the one the other side inserted after it.
  void ExpectNewRecordsAndOneMore() {
    const std::string records = Records();
    const std::string saved = NewRecords();
    ASSERT_TRUE(records.starts_with(saved)) << records;
    EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), std::count(saved.begin(), saved.end(), '\n') + 1);
  }

  ScopedTempDir run_;
  std::unique_ptr<PipedProcess> other_;
};

TEST_F(SaveRaceTest, DescriptorLoadedDuringTheSaveNoRefusesIt) {
  RecordedDialogs boxes;
  std::vector<std::string> seen;
  EXPECT_TRUE(SavePausedInTransfer([&] { seen = Other("load 000", {"no"}); }));
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "ask " + Line("File:  " + DescriptorName() + "\r\r" + DescriptorLockMsg),
                      "box " + Line("Error:  " + OpenRefused(DescriptorName()) +
                                    "\r\rUnable to open description file.  You will not be able to modify your "
                                    "template at this time." +
                                    ContactMsg),
                      "false"}));
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
  ResetBtrLayer();
  EXPECT_EQ(Snapshot(run_.path(), true), NewShown());
  EXPECT_EQ(Other("load 000"), std::vector<std::string>{"ok 5"});
}

TEST_F(SaveRaceTest, DescriptorLoadedDuringTheSaveYesReadsTheNewGeneration) {
  RecordedDialogs boxes;
  std::vector<std::string> asked;
  EXPECT_TRUE(SavePausedInTransfer([&] { asked = Other("load 000"); }));
  EXPECT_EQ(asked, std::vector<std::string>{"ask " + Line("File:  " + DescriptorName() + "\r\r" + DescriptorLockMsg)});
  // The user says Yes once this save is over: the new descriptor, all fields.
  EXPECT_EQ(Other("yes"), std::vector<std::string>{"ok 5"});
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
}

TEST_F(SaveRaceTest, DataFileOpenedDuringTheSaveNoRefusesItYesInsertsIntoTheNewGeneration) {
  ASSERT_EQ(Other("load 000"), std::vector<std::string>{"ok 5"});
  RecordedDialogs boxes;
  std::vector<std::string> refused, asked;
  EXPECT_TRUE(SavePausedInTransfer([&] {
    refused = Other("open", {"no"});
    asked = Other("open");
  }));
  const std::string question = "ask " + Line("File:  " + DataName() + "\r\r" + DataLockMsg);
  EXPECT_EQ(refused, (std::vector<std::string>{question, "error 85 " + Line(OpenRefused(DataName()))}));
  EXPECT_EQ(asked, std::vector<std::string>{question});
  EXPECT_EQ(Other("yes"), std::vector<std::string>{"ok"});
  EXPECT_EQ(Other("insert C99"), std::vector<std::string>{"ok"});
  EXPECT_EQ(Other("close"), std::vector<std::string>{"ok"});
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
  ExpectNewRecordsAndOneMore();
}

TEST_F(SaveRaceTest, SecondSaveOfTheTemplateGetsTheModificationQuestionAndNoChangesNothing) {
  ASSERT_EQ(Other("modify"), std::vector<std::string>{"ok"});
  RecordedDialogs boxes;
  std::vector<std::string> seen;
  EXPECT_TRUE(SavePausedInTransfer([&] { seen = Other("save", {"no"}); }));
  EXPECT_EQ(seen, (std::vector<std::string>{"ask " + Line("File:  " + DataName() + "\r\r" + ModifyFileLockMsg),
                                            "box " + Line(OpenRefused(DataName())), "aborted"}));
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
  EXPECT_EQ(Other("exit"), std::vector<std::string>{"bye"});
  other_.reset();
  ResetBtrLayer();
  EXPECT_EQ(Snapshot(run_.path(), true), NewShown());
}

TEST_F(SaveRaceTest, SecondSaveThatWaitsForTheFirstFindsItsFieldTableStaleAndChangesNothing) {
  ASSERT_EQ(Other("modify"), std::vector<std::string>{"ok"});
  RecordedDialogs boxes;
  std::vector<std::string> seen;
  // The other side is asked while this save runs, and answers Yes once it is done.
  EXPECT_TRUE(SavePausedInTransfer([&] {
    other_->Send("save");
    seen.push_back(other_->Receive());
  }));
  other_->Send("yes");
  seen.push_back(other_->Receive());
  seen.push_back(other_->Receive());
  EXPECT_EQ(seen, (std::vector<std::string>{"ask " + Line("File:  " + DataName() + "\r\r" + ModifyFileLockMsg),
                                            "box " + Line(LayoutChangedMsg), "aborted"}));
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
  EXPECT_EQ(Other("exit"), std::vector<std::string>{"bye"});
  other_.reset();
  ResetBtrLayer();
  EXPECT_EQ(Snapshot(run_.path(), true), NewShown());
}

TEST_F(SaveRaceTest, SaveMeetingTheDataFileOpenElsewhere) {
  ASSERT_EQ(Other("load 000"), std::vector<std::string>{"ok 5"});
  ASSERT_EQ(Other("open"), std::vector<std::string>{"ok"});
  LockRetryMs = 0;
  const std::string question = "File:  " + DataName() + "\r\r" + ModifyFileLockMsg;
  {
    // No: the save ends with its one message, nothing changed.
    RecordedDialogs boxes;
    std::vector<std::string> asked;
    SetBtrAsker([&](const std::string& q) {
      asked.push_back(q);
      return false;
    });
    PrepareScenarioChange();
    EXPECT_THROW(BuildTemplateDataFile(ScenarioName), EAbort);
    EXPECT_EQ(asked, std::vector<std::string>{question});
    EXPECT_EQ(boxes.Texts, std::vector<std::string>{OpenRefused(DataName())});
    ResetBtrLayer();
    EXPECT_EQ(Snapshot(run_.path()), Old);
  }
  LockRetryMs = 0;
  // Yes once the other side has written a record and closed the file: that
  // record is carried over with the rest.
  RecordedDialogs boxes;
  SetBtrAsker([&](const std::string& q) {
    EXPECT_EQ(q, question);
    EXPECT_EQ(Other("insert C99"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Other("close"), std::vector<std::string>{"ok"});
    return true;
  });
  PrepareScenarioChange();
  EXPECT_TRUE(BuildTemplateDataFile(ScenarioName));
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
  ExpectNewRecordsAndOneMore();
}

}  // namespace
