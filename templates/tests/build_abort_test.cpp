// Ending a save: the rollback, the message and the silent abort, on a real
// file inside a real transaction.
#include "templates/build_abort.h"

#include "testing/dialog_responder.h"
#include "testing/expect_message.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string NoTransactionText = "Unable to roll back a transaction.\r\rNo active transaction!";

class BuildAbortTest : public StoreFilesTest {
protected:
  // The master open as file 1 with one record inserted in a running
  // transaction.
  void StartSave() {
    CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    BtrBeginTransaction();
    InsertMasterRecord("1", "Being saved");
  }
};

TEST_F(BuildAbortTest, RollsBackOnlyWhileInTransIsSet) {
  StartSave();
  bool inTrans = true;
  EXPECT_EQ(AbortBuild(inTrans), "");
  EXPECT_FALSE(inTrans);
  EXPECT_EQ(BtrRecordCount(MasterFileNo), 0);
  // Cleared: nothing reaches the engine, so a transaction begun since runs on.
  BtrBeginTransaction();
  InsertMasterRecord("2", "Kept");
  EXPECT_EQ(AbortBuild(inTrans), "");
  BtrEndTransaction();
  EXPECT_EQ(BtrRecordCount(MasterFileNo), 1);
}

TEST_F(BuildAbortTest, AFailedRollbackIsHandedBackNotRaised) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  bool inTrans = true;  // though no transaction runs
  EXPECT_EQ(AbortBuild(inTrans), NoTransactionText);
  EXPECT_FALSE(inTrans);
}

TEST_F(BuildAbortTest, EndBuildRollsBackShowsTheMessageAndAbortsSilently) {
  StartSave();
  bool inTrans = true;
  DialogResponder boxes;
  boxes.Expect("The save failed.\rReally.", mrOk);
  ExpectMessage<EAbort>([&] { EndBuild("The save failed.\rReally.", inTrans); }, "");
  EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
  EXPECT_EQ(boxes.Boxes().at(0).buttons, mbOKOnly);
  EXPECT_FALSE(inTrans);
  EXPECT_EQ(BtrRecordCount(MasterFileNo), 0);
}

TEST_F(BuildAbortTest, AFailedRollbackNeverHidesTheMessage) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  bool inTrans = true;
  DialogResponder boxes;
  boxes.Expect("The save failed.\r\r" + NoTransactionText, mrOk);
  ExpectMessage<EAbort>([&] { EndBuild("The save failed.", inTrans); }, "");
  EXPECT_FALSE(inTrans);
}

}  // namespace
