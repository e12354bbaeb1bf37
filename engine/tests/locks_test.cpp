// Clients, open modes, record locks and lost updates through BTRCALL and
// BTRCALLID. Two clients of one process conflict exactly as two processes
// do; processes_test.cpp repeats the essentials across processes.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

#include <functional>

using namespace engine;

namespace {

const uint8_t OtherClient[16] = {'o', 't', 'h', 'e', 'r'};
constexpr uint16_t Locked = op::SingleNoWaitLock;

// Ann, Bob, Cleo, Dan at positions 1-4; `mine` is a block of the process's
// own client, `theirs` one of another client, both open on the file.
class EngineLocks : public EngineFolderTest {
protected:
  void SetUp() override {
    path = TempPath("p.dat");
    ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
    ASSERT_EQ(mine.Open(path), 0);
    for (const char* name : {"Ann", "Bob", "Cleo", "Dan"}) ASSERT_EQ(mine.Insert(PersonRecord({0, name, "g", ""})), 0);
    theirs.ClientId = OtherClient;
    ASSERT_EQ(theirs.Open(path), 0);
  }
  // Opens f as a further block of the other client.
  void OpenAsTheirs(BtrFile& f) {
    f.ClientId = OtherClient;
    ASSERT_EQ(f.Open(path), 0);
  }
  static int Id(const BtrFile& f) { return uint8_t(f.Data()[0]); }

  std::string path;
  BtrFile mine, theirs;
};

TEST_F(EngineLocks, OpenModesConflictBetweenClientsNeverWithinOne) {
  ASSERT_EQ(mine.Close(), 0);
  ASSERT_EQ(theirs.Close(), 0);
  struct Case {
    int8_t first, second;
    int16_t status;
  };
  const std::vector<Case> cases = {
      {0, 0, 0},      {0, open_mode::ReadOnly, 0}, {open_mode::ReadOnly, 0, 0},
      {0, -4, 85},    {open_mode::ReadOnly, -4, 85}, {-4, 0, 85},
      {-4, open_mode::ReadOnly, 85}, {-4, -4, 85},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
    {
      BtrFile first, again, other;
      ASSERT_EQ(first.Open(path, c.first), 0);
      // The client's own further blocks open in any mode.
      EXPECT_EQ(again.Open(path, c.second), 0);
      other.ClientId = OtherClient;
      EXPECT_EQ(other.Open(path, c.second), c.status);
      if (c.status) {
        EXPECT_EQ(other.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);
      }
    }
    BtrFile later;
    later.ClientId = OtherClient;
    EXPECT_EQ(later.Open(path, c.second), 0);
  }
  // Closing the exclusive block while another block of the client stays
  // open lets other clients in again.
  BtrFile exclusive, normal, other;
  other.ClientId = OtherClient;
  ASSERT_EQ(exclusive.Open(path, -4), 0);
  ASSERT_EQ(normal.Open(path), 0);
  EXPECT_EQ(other.Open(path), status::FileLocked);
  ASSERT_EQ(exclusive.Close(), 0);
  EXPECT_EQ(other.Open(path), 0);
  EXPECT_EQ(exclusive.Open(path, -4), status::FileLocked);
}

TEST_F(EngineLocks, ReadOnlyOpenAnswers46ToEveryWrite) {
  BtrFile reader;
  ASSERT_EQ(reader.Open(path, open_mode::ReadOnly), 0);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(reader.Insert(PersonRecord({0, "Eve", "g", ""})), status::ReadOnlyOpen);
  ASSERT_EQ(reader.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  EXPECT_EQ(reader.Call(op::Update, PersonRecord({2, "Bob", "h", ""}), "", 1), status::ReadOnlyOpen);
  EXPECT_EQ(reader.Call(op::Delete), status::ReadOnlyOpen);
  EXPECT_EQ(ReadFileBytes(path), before);
  ASSERT_EQ(reader.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(Id(reader), 3);
}

TEST_F(EngineLocks, ALockedRecordRefusesOtherClientsLockedReadsAndWrites) {
  ASSERT_EQ(theirs.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Dan"), 1), 0);
  const std::string bobDirect = LE(2, 4) + std::string(28, 'z');
  struct Refused {
    const char* what;
    uint16_t op;
    std::string data, key;
  };
  const std::vector<Refused> cases = {
      {"get equal", op::GetEqual, "", PersonName("Bob")},
      {"get greater", op::GetGreater, "", PersonName("Ann")},
      {"get less than", op::GetLessThan, "", PersonName("Cleo")},
      {"get equal, key only", op::GetEqualKeyOnly, "", PersonName("Bob")},
      {"get direct", op::GetDirect, bobDirect, ""},
  };
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(mine.Call(c.op + Locked, c.data, c.key, 1, 32), status::RecordLocked);
    EXPECT_EQ(mine.DataBuffer(), c.data + std::string(32 - c.data.size(), '\xEE'));
    EXPECT_EQ(mine.Key(255), c.key + std::string(255 - c.key.size(), '\0'));
    EXPECT_EQ(mine.Position(), 4u);
  }
  // A refused locked Next or Step leaves the walk where it was.
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Ann"), 1), 0);
  EXPECT_EQ(mine.Get(op::GetNext + Locked, "", 1), status::RecordLocked);
  ASSERT_EQ(mine.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(Id(mine), 2);
  ASSERT_EQ(mine.Get(op::StepFirst), 0);
  EXPECT_EQ(mine.Get(op::StepNext + Locked), status::RecordLocked);
  ASSERT_EQ(mine.Get(op::StepNext), 0);
  EXPECT_EQ(Id(mine), 2);

  // Plain reads never see the lock; writes of the record do; inserts not.
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(mine.Call(op::Update, PersonRecord({2, "Bob", "h", ""}), "", 1), status::RecordLocked);
  EXPECT_EQ(mine.Call(op::Delete), status::RecordLocked);
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(mine.Insert(PersonRecord({0, "Eve", "g", ""})), 0);
  // Another block of the locking client is not shut out.
  BtrFile sibling;
  OpenAsTheirs(sibling);
  EXPECT_EQ(sibling.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
}

TEST_F(EngineLocks, ABlocksLockGoesWithItsRecordsWriteUnlockCloseOrStop) {
  struct Case {
    const char* what;
    std::function<void(BtrFile&)> act;
    bool released;
  };
  const std::vector<Case> cases = {
      {"plain read of another record", [](BtrFile& f) { EXPECT_EQ(f.Get(op::GetEqual, PersonName("Cleo"), 1), 0); }, false},
      {"unlock naming another position", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Unlock, LE(3, 4)), 0); }, false},
      {"locked read of another record",
       [](BtrFile& f) { EXPECT_EQ(f.Get(op::GetEqual + Locked, PersonName("Cleo"), 1), 0); }, true},
      {"unlock", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Unlock, LE(2, 4)), 0); }, true},
      {"unlock without a position", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Unlock), 0); }, true},
      {"update", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "u", ""}), "", 1), 0); },
       true},
      {"close", [](BtrFile& f) { EXPECT_EQ(f.Close(), 0); }, true},
      {"stop of its client", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Stop), 0); }, true},
      {"delete", [](BtrFile& f) { EXPECT_EQ(f.Call(op::Delete), 0); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BtrFile holder;
    OpenAsTheirs(holder);
    ASSERT_EQ(holder.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
    ASSERT_TRUE(SidecarByteLocked(path, 2));
    c.act(holder);
    EXPECT_EQ(SidecarByteLocked(path, 2), !c.released);
    BtrFile probe;
    ASSERT_EQ(probe.Open(path), 0);
    if (std::string(c.what) != "delete") {
      EXPECT_EQ(probe.Get(op::GetEqual + Locked, PersonName("Bob"), 1), c.released ? 0 : status::RecordLocked);
    }
  }
}

TEST_F(EngineLocks, BlocksOfOneClientHoldingOneRecordAreCounted) {
  BtrFile sibling;
  OpenAsTheirs(sibling);
  ASSERT_EQ(theirs.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  ASSERT_EQ(sibling.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  // Locking the same record again through the same block keeps one hold.
  ASSERT_EQ(sibling.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  ASSERT_EQ(theirs.Call(op::Unlock, LE(2, 4)), 0);
  EXPECT_EQ(mine.Get(op::GetEqual + Locked, PersonName("Bob"), 1), status::RecordLocked);
  ASSERT_EQ(sibling.Call(op::Unlock, LE(2, 4)), 0);
  EXPECT_EQ(mine.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  EXPECT_EQ(mine.Call(op::Unlock, LE(2, 4)), 0);
  EXPECT_EQ(mine.Call(op::Unlock, LE(2, 4)), 0);  // nothing left to unlock
  EXPECT_FALSE(SidecarByteLocked(path, 2));
}

TEST_F(EngineLocks, WritingARecordChangedSinceItWasReadAnswers80) {
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(theirs.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(theirs.Call(op::Update, PersonRecord({2, "Bob", "theirs", ""}), "", 1), 0);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(mine.Call(op::Update, PersonRecord({2, "Bob", "mine", ""}), "", 1), status::Conflict);
  EXPECT_EQ(mine.Call(op::Delete), status::Conflict);
  EXPECT_EQ(ReadFileBytes(path), before);
  // Read again, the write goes through; a second write of the block's own
  // record needs no new read.
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  EXPECT_EQ(mine.Data(), PersonRecord({2, "Bob", "theirs", ""}));
  EXPECT_EQ(mine.Call(op::Update, PersonRecord({2, "Bob", "mine", ""}), "", 1), 0);
  EXPECT_EQ(mine.Call(op::Update, PersonRecord({2, "Bob", "mine2", ""}), "", 1), 0);

  // Two blocks of one client are no exception, and a record deleted under
  // the block is a conflict too.
  BtrFile sibling;
  ASSERT_EQ(sibling.Open(path), 0);
  ASSERT_EQ(sibling.Get(op::GetEqual, PersonName("Cleo"), 1), 0);
  ASSERT_EQ(mine.Get(op::GetEqual, PersonName("Cleo"), 1), 0);
  ASSERT_EQ(mine.Call(op::Delete), 0);
  EXPECT_EQ(sibling.Call(op::Update, PersonRecord({3, "Cleo", "x", ""}), "", 1), status::Conflict);
  EXPECT_EQ(mine.RecordCount(), 3u);
}

}  // namespace
