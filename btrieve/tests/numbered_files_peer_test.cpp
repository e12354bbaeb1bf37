// Two workstations on one set of files: this test and layer_peer, a process
// of its own driven over a pipe. Record locks, an exclusive open and
// transactions as the other workstation sees them.
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "btrieve/tests/expect_btr_abort.h"

#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint16_t RecLen = 24;
const std::vector<TKeySpec> Keys{{0, 0, 1, 4, false, false, true}, {1, 0, 5, 10, false, true, false}};
const std::string Bravo = "BRAVO     ";
const std::string RecordQuestion = "A record lock was encountered.  Retry?";

std::string Text(const std::string& name) {
  std::string t = name;
  t.resize(RecLen - 4, ' ');
  return t;
}

std::string NameOf(const TDynCharArr& rec) { return std::string(rec.begin() + 4, rec.begin() + 14); }

class TwoWorkstationsTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    LockRetryMs = 20;
    first_ = Create("FIRST.DAT", {"ALPHA", "BRAVO", "CHARLIE"});
    second_ = Create("SECOND.DAT", {});
  }
  void TearDown() override {
    peer_.End();
    ResetBtrLayer();
    CheckedFolderTest::TearDown();
  }

  std::string Create(const std::string& name, const std::vector<std::string>& names) {
    const std::string path = TempPath(name);
    std::string msg;
    EXPECT_TRUE(BtrCreateFile(path, RecLen, 2, msg, 255, true, Keys)) << msg;
    BtrOpenFile(0, path, 0);
    for (const std::string& n : names) BtrInsertRecord(0, Text(n));
    BtrCloseFile(0);
    return path;
  }

  std::string first_, second_;
  PipedProcess peer_{LAYER_PEER_PATH};
};

TEST_F(TwoWorkstationsTest, ARecordLockedElsewhereIsAskedAboutAfterTheRetryPeriod) {
  ASSERT_EQ(peer_.Ask("open 1 0 " + first_), "ok");
  ASSERT_EQ(peer_.Ask("key 1 1"), "ok");
  ASSERT_EQ(peer_.Ask("lock 1 " + Bravo), "ok");
  BtrOpenFile(1, first_, 0);
  BtrSetKeyNumber(1, 1);
  TDynCharArr rec(RecLen);
  bool atEnd;

  // Reading without a lock is not hindered.
  ASSERT_TRUE(BtrGetEqual(1, Bravo, rec, false));
  {
    DialogResponder dialogs;
    dialogs.Expect(RecordQuestion, mrNo).Expect(RecordQuestion, mrNo);
    ExpectBtrAbort([&] { BtrGetEqual(1, Bravo, rec, true); }, "A record lock was encountered.", 84);
    ASSERT_TRUE(BtrGetEqual(1, "ALPHA     ", rec, false));
    ExpectBtrAbort([&] { BtrGetNext(1, rec, atEnd, true); }, "A record lock was encountered.", 84);
    EXPECT_EQ(dialogs.Boxes().at(0).type, mtConfirmation);
    EXPECT_EQ(dialogs.Boxes().at(0).buttons, mbYesNo);
  }

  AbortOnLockNo = false;
  {
    DialogResponder dialogs;
    dialogs.Expect(RecordQuestion, mrNo).Expect(RecordQuestion, mrNo);
    EXPECT_FALSE(BtrGetEqual(1, Bravo, rec, true));
    ASSERT_TRUE(BtrGetEqual(1, "ALPHA     ", rec, false));
    const TDynCharArr alpha = rec;
    BtrGetNext(1, rec, atEnd, true);  // declined: returns as if read
    EXPECT_FALSE(atEnd);
    EXPECT_EQ(rec, alpha);
  }

  // The other workstation lets go while the question is up; Yes reads it.
  SetBtrAsker([&](const std::string& question) {
    EXPECT_EQ(question, RecordQuestion);
    EXPECT_EQ(peer_.Ask("unlock 1"), "ok");
    return true;
  });
  ASSERT_TRUE(BtrGetEqual(1, Bravo, rec, true));
  EXPECT_EQ(NameOf(rec), Bravo);
  EXPECT_EQ(peer_.Ask("lock 1 " + Bravo), "error 84");  // now ours
  BtrUpdateRecord(1, Text("BRAVO"), rec);
  EXPECT_EQ(peer_.Ask("lock 1 " + Bravo), "ok");
}

TEST_F(TwoWorkstationsTest, AnExclusiveOpenElsewhereIsAskedAboutThenRefusedWith85) {
  ASSERT_EQ(peer_.Ask("open 1 -4 " + first_), "ok");
  {
    DialogResponder dialogs;
    dialogs.Expect("File:  " + first_ + "\r\rA file lock was encountered.  Retry?", mrNo);
    ExpectBtrAbort([&] { BtrOpenFile(4, first_, 0); },
                   "The file " + first_ + " could not be opened.\r\rBtrieve status 85.\rThe file is locked.", 85);
  }
  EXPECT_FALSE(FileSlots[4].Engine);

  SetBtrAsker([&](const std::string&) { return peer_.Ask("close 1") == "ok"; });
  BtrOpenFile(4, first_, 0);
  EXPECT_EQ(BtrRecordCount(4), 3);
}

TEST_F(TwoWorkstationsTest, ATransactionOverTwoSlotsIsSeenWholeOrNotAtAll) {
  ASSERT_EQ(peer_.Ask("open 1 0 " + first_), "ok");
  ASSERT_EQ(peer_.Ask("open 2 0 " + second_), "ok");
  BtrOpenFile(3, first_, 0);
  BtrOpenFile(5, second_, 0);
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "End" : "Abort");
    BtrBeginTransaction();
    BtrInsertRecord(3, Text("DELTA"));
    BtrInsertRecord(5, Text("ECHO"));
    EXPECT_EQ(peer_.Ask("count 1"), "3");  // nothing shows before the end
    EXPECT_EQ(peer_.Ask("count 2"), "0");
    commit ? BtrEndTransaction() : BtrAbortTransaction();
    EXPECT_EQ(peer_.Ask("count 1"), commit ? "4" : "3");
    EXPECT_EQ(peer_.Ask("count 2"), commit ? "1" : "0");
  }
}

TEST_F(TwoWorkstationsTest, EndAndAbortFinishTheTransactionAfterItsSlotWasClosed) {
  ASSERT_EQ(peer_.Ask("open 2 0 " + second_), "ok");
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "End" : "Abort");
    BtrOpenFile(1, first_, 0);
    BtrOpenFile(2, second_, 0);
    BtrBeginTransaction();
    ASSERT_EQ(TransFileNo, 1);
    BtrInsertRecord(2, Text(commit ? "KEPT" : "DROPPED"));
    BtrCloseFile(1);
    commit ? BtrEndTransaction() : BtrAbortTransaction();
    EXPECT_EQ(TransFileNo, NoTransFile);
    // Finished at the engine: its writes are there or gone, its lock is free.
    EXPECT_EQ(peer_.Ask("count 2"), commit ? "1" : "2");
    EXPECT_EQ(peer_.Ask("insert 2 " + Text(commit ? "PEER" : "PEER2")), "ok");
    BtrCloseFile(2);
  }
}

TEST_F(TwoWorkstationsTest, AWorkstationKilledInsideItsTransactionLeavesNothingBehind) {
  {
    PipedProcess doomed(LAYER_PEER_PATH);
    ASSERT_EQ(doomed.Ask("open 1 0 " + first_), "ok");
    ASSERT_EQ(doomed.Ask("begin"), "ok");
    ASSERT_EQ(doomed.Ask("insert 1 " + Text("GHOST")), "ok");
    ASSERT_EQ(doomed.Ask("key 1 1"), "ok");
    ASSERT_EQ(doomed.Ask("lock 1 " + Bravo), "ok");
    doomed.Kill();
  }
  BtrOpenFile(1, first_, 0);
  BtrSetKeyNumber(1, 1);
  EXPECT_EQ(BtrRecordCount(1), 3);
  TDynCharArr rec(RecLen);
  EXPECT_FALSE(BtrGetEqual(1, "GHOST     ", rec, false));
  EXPECT_TRUE(BtrGetEqual(1, Bravo, rec, true));  // its lock went with it
  BtrUpdateRecord(1, Text("BRAVO"), rec);
  BtrInsertRecord(1, Text("DELTA"));
  EXPECT_EQ(peer_.Ask("open 1 0 " + first_), "ok");
  EXPECT_EQ(peer_.Ask("count 1"), "4");
}

}  // namespace
