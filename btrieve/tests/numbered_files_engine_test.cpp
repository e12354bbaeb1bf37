// The numbered-file layer and file creation against the real record manager,
// loaded by its Windows name as the program loads it; one workstation.
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"

#include "btrieve/binding.h"
#include "btrieve/stat_layout.h"
#include "btrieve/status_text.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "platform/fault_point.h"
#include "platform/files.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr uint16_t RecLen = 24;

// 1-4 the prefix, 5-14 a name (key 1, duplicates, modifiable), 15-20 a
// unique code (key 2), 21-24 free.
const std::vector<TKeySpec> PeopleKeys{
    {0, 0, 1, 4, false, false, true}, {1, 0, 5, 10, true, true, false}, {2, 0, 15, 6, false, false, false}};

std::string Text(const std::string& name, const std::string& code, const std::string& note = "") {
  std::string t = name;
  t.resize(10, ' ');
  t += code;
  t.resize(16, ' ');
  t += note;
  t.resize(RecLen - 4, ' ');
  return t;
}

std::string NameOf(const TDynCharArr& rec) { return std::string(rec.begin() + 4, rec.begin() + 14); }
std::string TextOf(const TDynCharArr& rec) { return std::string(rec.begin() + 4, rec.begin() + RecLen); }
uint32_t PrefixOf(const TDynCharArr& rec) { return GetLE32(rec.data()); }

class NumberedFilesEngineTest : public CheckedFolderTest {
protected:
  void SetUp() override { ResetBtrLayer(); }
  void TearDown() override {
    DisarmFaultPoint();
    ResetBtrLayer();
    CheckedFolderTest::TearDown();
  }

  std::string CreatePeople(const std::string& name = "PEOPLE.DAT") {
    const std::string path = TempPath(name);
    std::string msg;
    EXPECT_TRUE(BtrCreateFile(path, RecLen, 3, msg, 255, true, PeopleKeys)) << msg;
    return path;
  }
  void OpenPeople(uint8_t fileNo, const std::string& path) {
    BtrOpenFile(fileNo, path, 0);
    for (const char* name : {"CHARLIE", "ALPHA", "BRAVO"}) BtrInsertRecord(fileNo, Text(name, name));
  }
};

TEST_F(NumberedFilesEngineTest, AFileIsCreatedOpenedWalkedAndFound) {
  const std::string path = CreatePeople();
  OpenPeople(1, path);
  EXPECT_EQ(BtrRecordCount(1), 3);
  EXPECT_EQ(BtrRecordLength(1), RecLen);

  TDynCharArr rec(5, 'x');  // grown to the record length by the first read
  bool atEnd = true;
  BtrSetKeyNumber(1, 1);
  BtrGetFirst(1, rec, atEnd, false);
  ASSERT_EQ(rec.size(), RecLen);
  EXPECT_FALSE(atEnd);
  EXPECT_EQ(TextOf(rec), Text("ALPHA", "ALPHA"));
  EXPECT_EQ(PrefixOf(rec), 2u);  // numbered by the engine in insertion order
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_EQ(NameOf(rec), "BRAVO     ");
  BtrGetLast(1, rec, atEnd, false);
  EXPECT_EQ(NameOf(rec), "CHARLIE   ");
  const TDynCharArr last = rec;
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(rec, last);
  BtrGetPrev(1, rec, atEnd, false);
  EXPECT_FALSE(atEnd);
  EXPECT_EQ(NameOf(rec), "BRAVO     ");

  // Get Equal finds only the whole key; Get Greater or Equal a prefix.
  EXPECT_FALSE(BtrGetEqual(1, "BRAVO", rec, false));
  EXPECT_TRUE(BtrGetEqual(1, "BRAVO     ", rec, false));
  EXPECT_EQ(PrefixOf(rec), 3u);
  const struct {
    int selector;
    const char* key;
    const char* found;
  } near[] = {{1, "BRAVO     ", "CHARLIE   "},
              {2, "BRAVO     ", "ALPHA     "},
              {3, "BR", "BRAVO     "},
              {4, "BRAVO     ", "BRAVO     "}};
  for (const auto& n : near) {
    SCOPED_TRACE(n.selector);
    EXPECT_TRUE(BtrGetGreaterLess(1, n.key, rec, atEnd, n.selector));
    EXPECT_EQ(NameOf(rec), n.found);
  }
  EXPECT_FALSE(BtrGetGreaterLess(1, "CHARLIE   ", rec, atEnd, 1));
  EXPECT_TRUE(atEnd);
  EXPECT_FALSE(BtrGetGreaterLess(1, "A", rec, atEnd, 9));

  BtrSetKeyNumber(1, 2);
  EXPECT_EQ(BtrGetKeyNumber(1), 2);
  EXPECT_TRUE(BtrGetEqual(1, "ALPHA ", rec, false));
  EXPECT_EQ(NameOf(rec), "ALPHA     ");
}

TEST_F(NumberedFilesEngineTest, KeyNumbersPositionsUpdatesAndDeletes) {
  const std::string path = CreatePeople();
  OpenPeople(1, path);
  TDynCharArr rec(RecLen);
  bool atEnd;

  // The key count itself is taken; the engine refuses it at the next call.
  BtrSetKeyNumber(1, 3);
  ExpectBtrAbort([&] { BtrGetFirst(1, rec, atEnd, false); },
                 "A record could not be read from the file.\r\rBtrieve status 6.\rThe key number is not valid for this "
                 "file",
                 6);
  ExpectBtrAbort([] { BtrSetKeyNumber(1, 4); },
                 "Unable to set an index for file #1.\r\rBtrieve status 6.\rThe key number is not valid for this file.",
                 6);

  BtrSetKeyNumber(1, 1);
  ExpectBtrAbort([&] { BtrRestorePosition(1, rec); }, "No bookmark was set for this file.", 43);
  ASSERT_TRUE(BtrGetEqual(1, "BRAVO     ", rec, false));
  const TBtrPosition bravo = BtrSavePosition(1, rec);
  EXPECT_EQ(NameOf(rec), "BRAVO     ");
  BtrGetFirst(1, rec, atEnd, false);
  BtrRestorePosition(1, rec);
  EXPECT_EQ(NameOf(rec), "BRAVO     ");
  BtrGetNext(1, rec, atEnd, false);  // the restored record is current on key 1
  EXPECT_EQ(NameOf(rec), "CHARLIE   ");
  BtrGetDirect(1, rec, bravo);
  EXPECT_EQ(NameOf(rec), "BRAVO     ");

  BtrUpdateRecord(1, Text("BRAVO", "BRAVO", "changed"), rec);
  ASSERT_TRUE(BtrGetEqual(1, "BRAVO     ", rec, true));
  EXPECT_EQ(TextOf(rec), Text("BRAVO", "BRAVO", "changed"));
  EXPECT_EQ(PrefixOf(rec), 3u);
  BtrUpdateRecord(1, Text("BRAVO", "BRAVO", "again"), rec);  // releases the lock it read with

  ExpectBtrAbort([] { BtrInsertRecord(1, Text("DELTA", "ALPHA")); },
                 "This record could not be written.\rBtrieve status 5.\rThe record has a key field containing a "
                 "duplicate key value",
                 5);
  ExpectBtrAbort([] { BtrInsertRecord(1, "short"); },
                 "This record could not be written.\rBtrieve status 22.\rThe data buffer parameter is too short", 22);
  ASSERT_TRUE(BtrGetEqual(1, "ALPHA     ", rec, false));
  BtrDeleteRecord(1);
  EXPECT_EQ(BtrRecordCount(1), 2);
  EXPECT_FALSE(BtrGetEqual(1, "ALPHA     ", rec, false));
  ExpectBtrAbort([] { BtrDeleteRecord(1); },
                 "This record could not be deleted.\rBtrieve status 8.\rThere is no current record to update or delete",
                 8);
}

TEST_F(NumberedFilesEngineTest, OpensCreatesAndClonesReportTheirStatus) {
  const std::string path = CreatePeople();
  const std::string missing = TempPath("MISSING.DAT");
  ExpectBtrAbort([&] { BtrOpenFile(2, missing, 0); },
                 "The file " + missing + " could not be opened.\r\rBtrieve status 12.\rThe file could not be found.",
                 12);
  EXPECT_FALSE(FileSlots[2].Engine);

  OpenPeople(2, path);
  ExpectBtrAbort([&] { BtrOpenFile(2, path, 0); }, "File already opened as number 2:\r" + path, 0);
  EXPECT_EQ(BtrRecordCount(2), 3);

  std::string msg;
  EXPECT_FALSE(BtrCreateFile(path, RecLen, 3, msg, 255, true, PeopleKeys));
  EXPECT_EQ(msg, "A file with this name already exists");

  const std::string clone = TempPath("CLONE.DAT");
  BtrCloneFile(2, clone);
  BtrOpenFile(3, clone, 0);
  EXPECT_EQ(BtrRecordCount(3), 0);
  EXPECT_EQ(BtrRecordLength(3), RecLen);
  BtrInsertRecord(3, Text("ALPHA", "ALPHA"));
  ExpectBtrAbort([] { BtrInsertRecord(3, Text("OTHER", "ALPHA")); },
                 "This record could not be written.\rBtrieve status 5.\rThe record has a key field containing a "
                 "duplicate key value",
                 5);
  BtrCloseFile(3);
  // Created again over it, the file is empty.
  EXPECT_TRUE(BtrCreateFile(clone, RecLen, 3, msg, 255, false, PeopleKeys)) << msg;
  BtrOpenFile(3, clone, 0);
  EXPECT_EQ(BtrRecordCount(3), 0);
  BtrCloseFile(3);

  BtrCloseFile(2);
  EXPECT_FALSE(BtrIsFileOpen(2));
  EXPECT_FALSE(FileSlots[2].Engine);
}

TEST_F(NumberedFilesEngineTest, ATransactionOverTwoFilesCommitsOrRollsBackBoth) {
  const std::string people = CreatePeople();
  const std::string others = CreatePeople("OTHERS.DAT");
  BtrOpenFile(1, people, 0);
  BtrOpenFile(2, others, 0);
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "End" : "Abort");
    BtrBeginTransaction();
    EXPECT_EQ(TransFileNo, 1);
    BtrInsertRecord(1, Text("ONE", "ONE"));
    BtrInsertRecord(2, Text("TWO", "TWO"));
    commit ? BtrEndTransaction() : BtrAbortTransaction();
    EXPECT_EQ(TransFileNo, NoTransFile);
    EXPECT_EQ(BtrRecordCount(1), commit ? 1 : 0);
    EXPECT_EQ(BtrRecordCount(2), commit ? 1 : 0);
  }
}

// A transfer carries records over with their own numbers, inside the
// transaction of the save, and later records must not take them again.
TEST_F(NumberedFilesEngineTest, AKeptPrefixStaysAndLaterNumbersGoAboveTheHighest) {
  const std::string path = CreatePeople();
  BtrOpenFile(1, path, 0);
  const auto whole = [](uint32_t prefix, const std::string& name) {
    std::string rec(4, '\0');
    PutLE32(reinterpret_cast<uint8_t*>(rec.data()), prefix);
    return rec + Text(name, name);
  };
  BtrBeginTransaction();
  BtrInsertRecordKeepPrefix(1, whole(7, "SEVEN"));
  BtrInsertRecordKeepPrefix(1, whole(3, "THREE"));
  ExpectBtrAbort([&] { BtrInsertRecordKeepPrefix(1, whole(7, "AGAIN")); },
                 "This record could not be written.\rBtrieve status 5.\rThe record has a key field containing a "
                 "duplicate key value",
                 5);
  ExpectBtrAbort([] { BtrInsertRecordKeepPrefix(1, std::string(4, '\0') + "short"); },
                 "This record could not be written.\rBtrieve status 22.\rThe data buffer parameter is too short", 22);
  BtrInsertRecord(1, Text("EIGHT", "EIGHT"));
  BtrInsertRecordKeepPrefix(1, whole(0, "NINE"));
  BtrEndTransaction();

  TDynCharArr rec(RecLen);
  BtrSetKeyNumber(1, 0);
  const struct {
    uint32_t prefix;
    const char* name;
  } stored[] = {{3, "THREE     "}, {7, "SEVEN     "}, {8, "EIGHT     "}, {9, "NINE      "}};
  for (const auto& s : stored) {
    SCOPED_TRACE(s.prefix);
    ASSERT_TRUE(BtrGetEqual(1, whole(s.prefix, "").substr(0, 4), rec, false));
    EXPECT_EQ(NameOf(rec), s.name);
    EXPECT_EQ(PrefixOf(rec), s.prefix);
  }
  EXPECT_EQ(BtrRecordCount(1), 4);
}

TEST_F(NumberedFilesEngineTest, AnEngineThatCannotBeLoadedLeavesTheSlotFree) {
  const std::string path = CreatePeople();
  FinalizeBtrLayer();
  SetBtrLibraryName("wbtrv33.dll");
  ExpectBtrAbort([&] { BtrOpenFile(1, path, 0); },
                 "The file " + path +
                     " could not be opened.\r\rBtrieve status 20.\rThe record manager is not loaded or not started.",
                 20);
  EXPECT_FALSE(FileSlots[1].Engine);
  std::string msg;
  EXPECT_FALSE(BtrCreateFile(TempPath("X.DAT"), RecLen, 3, msg, 255, true, PeopleKeys));
  EXPECT_EQ(msg, "The record manager is not loaded or not started");
  SetBtrLibraryName("WBTRV32.DLL");
  BtrOpenFile(1, path, 0);
  EXPECT_TRUE(BtrIsFileOpen(1));
}

// The fault point fails the engine's Close before it reaches the engine, so
// the file stays open there until the retry.
TEST_F(NumberedFilesEngineTest, AFailedCloseIsRetriedByTheNextOpenOfItsNumber) {
  const std::string path = CreatePeople();
  const std::string failure = "The file " + path + " could not be closed.\r\r" + BtrStatusTail(2);
  OpenPeople(4, path);
  ArmFaultPoint(1, TFaultAction::FailOnce);
  ExpectBtrAbort([] { BtrCloseFile(4); }, failure, 2);
  DisarmFaultPoint();
  EXPECT_FALSE(BtrIsFileOpen(4));
  errno = 0;
  EXPECT_FALSE(DeleteFile(path));
  EXPECT_EQ(errno, EBUSY);

  BtrOpenFile(4, path, 0);
  EXPECT_EQ(BtrRecordCount(4), 3);
  BtrCloseFile(4);
  EXPECT_FALSE(FileSlots[4].Engine || FileSlots[4].PendingClose);
  EXPECT_TRUE(DeleteFile(path));
}

TEST_F(NumberedFilesEngineTest, ARetriedCloseThatFailsTooRaisesTheClosesFailureAndTouchesNothingElse) {
  const std::string path = CreatePeople();
  const std::string other = CreatePeople("OTHER.DAT");
  const std::string failure = "The file " + path + " could not be closed.\r\r" + BtrStatusTail(2);
  OpenPeople(4, path);
  OpenPeople(5, other);
  ArmFaultPoint(1, TFaultAction::FailFromN);
  ExpectBtrAbort([] { BtrCloseFile(4); }, failure, 2);
  ExpectBtrAbort([&] { BtrOpenFile(4, other, 0); }, failure, 2);
  // The close and its retry: no open was tried.
  EXPECT_EQ(FaultStepCount(), 2u);
  DisarmFaultPoint();
  EXPECT_FALSE(FileSlots[4].Engine);
  EXPECT_EQ(FileSlots[4].FileName, path);
  EXPECT_EQ(BtrRecordCount(5), 3);
  EXPECT_EQ(FileSlots[5].FileName, other);

  // Still pending, the close goes through with the next try.
  BtrCloseFile(4);
  EXPECT_FALSE(FileSlots[4].PendingClose);
  EXPECT_TRUE(FileSlots[4].FileName.empty());
  EXPECT_TRUE(DeleteFile(path));
}

}  // namespace
