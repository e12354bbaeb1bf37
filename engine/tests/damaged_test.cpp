// Damaged files: every row the record manager reads is checked against the
// file's specification before a byte of it is used. A damaged row answers
// 2 to the call that meets it, leaving the caller's buffers, the position
// and the file as they were; metadata that does not describe one of our
// files answers 30 at open. No failure leaves a lock behind: another
// process writes to the file at once afterwards.
#include "engine/tests/damage.h"
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "testing/temp_dir.h"

#include <sqlite3.h>

#include <filesystem>

using namespace engine;
namespace fs = std::filesystem;

namespace {

class DamagedFiles : public ShortWaitTest {
protected:
  // Ann (position 1), Bob (2) and Cleo (3), all in group "g".
  std::string MakeFile(const std::string& name = "p.dat") {
    const std::string path = TempPath(name);
    MakePeopleFile(path);
    BtrFile f;
    EXPECT_EQ(f.Open(path), 0);
    EXPECT_EQ(f.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
    return path;
  }

public:
  // Another process takes SQLite's exclusive lock on the file at once,
  // changing nothing: no lock of this process is left on it. It comes
  // before anything here opens the file again: closing another descriptor
  // of it would drop this process's locks and hide one left behind.
  static void ExpectNoLockLeft(const std::string& path) {
    EXPECT_EQ(Peer().Sql(path, "BEGIN EXCLUSIVE; ROLLBACK"), SQLITE_OK);
  }

  // Another workstation opens the file and inserts Dora at once.
  static void ExpectAnotherProcessInserts(const std::string& path) {
    Peer peer;
    ASSERT_EQ(peer.Open(0, path), 0);
    EXPECT_EQ(peer.Call(0, op::Insert, PersonRecord({9, "Dora", "g", ""})).Status, 0);
  }

protected:
  // A damaged file is not left for the folder's closing check.
  static void Discard(const std::string& path) {
    Wbtrv().Stop();
    fs::remove(path);
    fs::remove(path + ".lck");
  }
};

// Names the calls return, walking with `next` from `first` on key 1 (or
// physically for the steps), then the status that ended the walk.
std::string Walk(BtrFile& f, uint16_t first, uint16_t next, int8_t keyNum = 1) {
  std::string seen;
  int16_t s = f.Get(first, "", keyNum);
  for (; s == 0; s = f.Get(next, "", keyNum)) seen += f.Data().substr(4, f.Data().find(' ', 4) - 4) + " ";
  return seen + std::to_string(s);
}

// Bob's record, damaged: Get Equal answers 2 leaving the caller's buffers
// as they were, a walk from `first` stops at it with 2, the file stays as
// it was and another process writes to it at once.
void ExpectBobRefused(const std::string& path, uint16_t first, uint16_t next) {
  const std::string before = ReadFileBytes(path);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), status::IoError);
  EXPECT_EQ(f.DataBuffer(), std::string(32, '\xEE'));
  EXPECT_EQ(f.Key(10), PersonName("Bob"));
  EXPECT_EQ(Walk(f, first, next), "Ann 2");
  DamagedFiles::ExpectNoLockLeft(path);
  EXPECT_EQ(ReadFileBytes(path), before);
  DamagedFiles::ExpectAnotherProcessInserts(path);
}

TEST_F(DamagedFiles, ARecordLongerThanTheRecordLengthIsNeverCopiedOut) {
  const std::string path = MakeFile();
  DamageFile(path, "UPDATE records SET record = CAST(record || zeroblob(4096) AS BLOB) WHERE id = 2");
  ExpectBobRefused(path, op::StepFirst, op::StepNext);
  Discard(path);
}

TEST_F(DamagedFiles, ARecordShorterThanTheRecordLengthGivesNoKeyFromBeyondIt) {
  const std::string path = MakeFile();
  DamageFile(path, "UPDATE records SET record = substr(record, 1, 8) WHERE id = 2");
  ExpectBobRefused(path, op::GetFirst, op::GetNext);
  Discard(path);
}

TEST_F(DamagedFiles, AnAutoincrementKeyStoredShorterThanItsKeyRefusesTheInsert) {
  const std::string path = MakeFile();
  // One byte that sorts above every sound value, so it is the highest.
  DamageFile(path, "UPDATE records SET k0 = X'FF' WHERE id = 2");
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Insert(PersonRecord({0, "Dora", "g", ""})), status::IoError);
  ExpectNoLockLeft(path);
  EXPECT_EQ(f.RecordCount(), 3u);
  ExpectAnotherProcessInserts(path);
  EXPECT_EQ(f.RecordCount(), 4u);
  Discard(path);
}

// Open answers 30, leaving no lock, changing nothing, and making no lock
// file of its own.
void ExpectRefusedAtOpen(const std::string& path) {
  fs::remove(path + ".lck");
  const std::string before = ReadFileBytes(path);
  BtrFile f;
  EXPECT_EQ(f.Open(path), status::NotRecordManagerFile);
  DamagedFiles::ExpectNoLockLeft(path);
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_FALSE(fs::exists(path + ".lck"));
}

TEST_F(DamagedFiles, AMetadataNameThatIsNullAnswers30AndLeavesNoLock) {
  const std::string path = MakeFile();
  DamageFile(path, "UPDATE metadata SET name = NULL WHERE name = 'format'");
  ExpectRefusedAtOpen(path);
  // Mended by another process at once: nothing of this one holds the file.
  ASSERT_EQ(Peer().Sql(path, "UPDATE metadata SET name = 'format' WHERE name IS NULL"), SQLITE_OK);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(PeopleSeen(f), "Ann/g Bob/g Cleo/g ");
}

TEST_F(DamagedFiles, ARowDamagedWhileTheFileIsOpenIsCaughtWhereItIsRead) {
  const std::string path = MakeFile();
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(Peer().Sql(path, "UPDATE records SET record = CAST(record || X'00' AS BLOB) WHERE id = 3"), SQLITE_OK);
  EXPECT_EQ(f.Get(op::GetNext, "", 1), status::IoError);
  ExpectNoLockLeft(path);
  // The position stayed on Bob.
  EXPECT_EQ(f.Position(), 2u);
  EXPECT_EQ(f.Get(op::GetPrevious, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 3), "Ann");
  ExpectAnotherProcessInserts(path);
  Discard(path);
}

// Bob's row (position 2) damaged in one way each; every read that meets it
// answers 2, every read that does not goes on as before.
struct RowCase {
  const char* what;
  const char* sql;
  const char* byName;  // walk on key 1 from Get First
  const char* byGroup;  // walk on key 2 (duplicates) from Get First
  const char* steps;   // walk in physical order
};

TEST_F(DamagedFiles, EveryDamagedRowAnswers2ToTheCallThatMeetsIt) {
  const std::vector<RowCase> cases = {
      {"too long", "UPDATE records SET record = CAST(record || X'00' AS BLOB) WHERE id = 2", "Ann 2", "Ann 2", "Ann 2"},
      {"too short", "UPDATE records SET record = substr(record, 1, 31) WHERE id = 2", "Ann 2", "Ann 2", "Ann 2"},
      {"empty", "UPDATE records SET record = X'' WHERE id = 2", "Ann 2", "Ann 2", "Ann 2"},
      {"NULL record", "UPDATE records SET record = NULL WHERE id = 2", "Ann 2", "Ann 2", "Ann 2"},
      {"text instead of bytes", "UPDATE records SET record = CAST(record AS TEXT) WHERE id = 2", "Ann 2", "Ann 2",
       "Ann 2"},
      {"a number instead of bytes", "UPDATE records SET record = 7 WHERE id = 2", "Ann 2", "Ann 2", "Ann 2"},
      // A key stored wrong moves the row in that key's order only.
      {"key 1 too short", "UPDATE records SET k1 = X'00' WHERE id = 2", "2", "Ann Bob Cleo 9", "Ann Bob Cleo 9"},
      {"key 1 too long", "UPDATE records SET k1 = CAST(k1 || X'00' AS BLOB) WHERE id = 2", "Ann 2", "Ann Bob Cleo 9",
       "Ann Bob Cleo 9"},
      {"key 1 NULL", "UPDATE records SET k1 = NULL WHERE id = 2", "2", "Ann Bob Cleo 9", "Ann Bob Cleo 9"},
      {"key 1 as text", "UPDATE records SET k1 = CAST(k1 AS TEXT) WHERE id = 2", "2", "Ann Bob Cleo 9", "Ann Bob Cleo 9"},
      {"key 2 too short", "UPDATE records SET k2 = substr(k2, 1, 5) WHERE id = 2", "Ann Bob Cleo 9", "2",
       "Ann Bob Cleo 9"},
  };
  int n = 0;
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = MakeFile("case" + std::to_string(++n) + ".dat");
    DamageFile(path, c.sql);
    const std::string before = ReadFileBytes(path);
    {
      BtrFile f;
      ASSERT_EQ(f.Open(path), 0);
      EXPECT_EQ(Walk(f, op::GetFirst, op::GetNext, 1), c.byName);
      EXPECT_EQ(Walk(f, op::GetFirst, op::GetNext, 2), c.byGroup);
      EXPECT_EQ(Walk(f, op::StepFirst, op::StepNext), c.steps);
      // Backwards the walk meets it from the other side.
      EXPECT_EQ(Walk(f, op::StepLast, op::StepPrevious), std::string(c.steps) == "Ann 2" ? "Cleo 2" : "Cleo Bob Ann 9");
      EXPECT_EQ(f.Call(op::GetDirect, LE(2, 4), "", 0, 32), std::string(c.steps) == "Ann 2" ? status::IoError : 0);
      ExpectNoLockLeft(path);
      EXPECT_EQ(ReadFileBytes(path), before);
      // The file still takes writes, here and elsewhere.
      EXPECT_EQ(f.Insert(PersonRecord({0, "Dora", "h", ""})), 0);
      EXPECT_EQ(Peer().Sql(path, "DELETE FROM records WHERE id = 4"), SQLITE_OK);
    }
    Discard(path);
  }
}

// Update and Delete read the record again before they write it.
TEST_F(DamagedFiles, AnUpdateOrDeleteOfARecordDamagedSinceItWasReadWritesNothing) {
  const std::string path = MakeFile();
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(Peer().Sql(path, "UPDATE records SET record = substr(record, 1, 4) WHERE id = 2"), SQLITE_OK);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "new", ""}), "", 1), status::IoError);
  EXPECT_EQ(f.Call(op::Delete), status::IoError);
  ExpectNoLockLeft(path);
  EXPECT_EQ(ReadFileBytes(path), before);
  ExpectAnotherProcessInserts(path);
  Discard(path);
}

struct MetadataCase {
  const char* what;
  const char* sql;
};

TEST_F(DamagedFiles, MetadataThatDoesNotDescribeOurFileAnswers30AtOpen) {
  const std::vector<MetadataCase> cases = {
      {"no format row", "DELETE FROM metadata WHERE name = 'format'"},
      {"no spec row", "DELETE FROM metadata WHERE name = 'spec'"},
      {"a NULL spec", "UPDATE metadata SET value = NULL WHERE name = 'spec'"},
      {"spec row as text", "UPDATE metadata SET value = CAST(value AS TEXT) WHERE name = 'spec'"},
      {"the format as bytes", "UPDATE metadata SET value = CAST(value AS BLOB) WHERE name = 'format'"},
      {"a number for a name", "UPDATE metadata SET name = 7 WHERE name = 'spec'"},
      {"spec row cut short", "UPDATE metadata SET value = substr(value, 1, 20) WHERE name = 'spec'"},
  };
  int n = 0;
  for (const MetadataCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = MakeFile("case" + std::to_string(++n) + ".dat");
    DamageFile(path, c.sql);
    ExpectRefusedAtOpen(path);
    Discard(path);
  }
}

}  // namespace
