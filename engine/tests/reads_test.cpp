// Reading through BTRCALL: the gets by key value, Next and Previous, the
// steps, Get Position and Get Direct, and the buffer edges.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

using namespace engine;

namespace {

// Six people; key 1 the unique name, key 2 the group with duplicates.
//   id name  group      id name  group
//   1  Dora  blue       4  Ann   red
//   2  Bob   red        5  Cleo  blue
//   3  Eve   green      6  Fay   red
class EngineReads : public EngineFolderTest {
protected:
  void SetUp() override {
    ASSERT_EQ(CreateFile(TempPath("p.dat"), PeopleLayout()), 0);
    ASSERT_EQ(f.Open(TempPath("p.dat")), 0);
    for (const auto& [name, group] : std::vector<std::pair<const char*, const char*>>{
             {"Dora", "blue"}, {"Bob", "red"}, {"Eve", "green"}, {"Ann", "red"}, {"Cleo", "blue"}, {"Fay", "red"}})
      ASSERT_EQ(f.Insert(PersonRecord({0, name, group, "rest"})), 0);
  }

  static std::string Name(const std::string& text) { return PersonRecord({0, text, "", ""}).substr(4, 10); }
  static std::string Group(const std::string& text) { return PersonRecord({0, "", text, ""}).substr(14, 6); }
  // The id of the record last returned, from its autoincrement field.
  int Id() const { return uint8_t(f.Data()[0]); }

  // Ids walked from a get with Next (+1) or Previous (-1) until status 9.
  std::string WalkFrom(uint16_t get, const std::string& key, int8_t keyNum, int direction) {
    std::string ids;
    for (int16_t s = f.Get(get, key, keyNum); s == 0;
         s = f.Get(direction > 0 ? op::GetNext : op::GetPrevious, "", keyNum))
      ids += char('0' + Id());
    return ids;
  }

  BtrFile f;
};

struct GetCase {
  uint16_t op;
  int8_t keyNum;
  std::string key;
  int16_t status;
  int id;  // of the record returned, 0 when none
};

TEST_F(EngineReads, GetsByKeyValueFindTheRightRecordAndKey) {
  const std::vector<GetCase> cases = {
      {op::GetEqual, 1, Name("Cleo"), 0, 5},
      {op::GetEqual, 1, Name("Cle"), status::KeyNotFound, 0},
      {op::GetEqual, 2, Group("red"), 0, 2},  // the first duplicate
      {op::GetEqual, 0, LE(3, 4), 0, 3},
      {op::GetEqual, 0, LE(7, 4), status::KeyNotFound, 0},
      {op::GetGreater, 1, Name("Cleo"), 0, 1},
      {op::GetGreater, 1, Name("Fay"), status::EndOfFile, 0},
      {op::GetGreaterOrEqual, 1, Name("Cleo"), 0, 5},
      {op::GetGreaterOrEqual, 1, "C", 0, 5},
      {op::GetGreaterOrEqual, 2, Group("green"), 0, 3},
      {op::GetLessThan, 1, Name("Cleo"), 0, 2},
      {op::GetLessThan, 1, Name("Ann"), status::EndOfFile, 0},
      {op::GetLessThan, 2, Group("z"), 0, 6},  // the last duplicate
      {op::GetLessThanOrEqual, 1, Name("Cleo"), 0, 5},
      {op::GetLessThanOrEqual, 1, Name("Cz"), 0, 5},
      {op::GetLessThanOrEqual, 2, Group("red"), 0, 6},
      {op::GetFirst, 1, "", 0, 4},
      {op::GetFirst, 2, "", 0, 1},
      {op::GetLast, 1, "", 0, 6},
      {op::GetLast, 2, "", 0, 6},
      {op::GetLast, 0, "", 0, 6},
      {op::GetFirst, 3, "", status::InvalidKeyNumber, 0},
      {op::GetFirst, -1, "", status::InvalidKeyNumber, 0},
  };
  for (const GetCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "op " << c.op << " key " << int(c.keyNum) << " '" << c.key << "'");
    const std::string before = f.DataBuffer();
    EXPECT_EQ(f.Get(c.op, c.key, c.keyNum), c.status);
    if (c.status != 0) {
      EXPECT_EQ(f.DataBuffer(), std::string(32, '\xEE'));  // untouched
      continue;
    }
    EXPECT_EQ(Id(), c.id);
    EXPECT_EQ(f.DataLen(), 32u);
    const std::string record = f.Data();
    const std::string key = c.keyNum == 0 ? record.substr(0, 4) : c.keyNum == 1 ? record.substr(4, 10) : record.substr(14, 6);
    EXPECT_EQ(f.Key(key.size()), key);
  }
}

TEST_F(EngineReads, WalksGoBothWaysWithDuplicatesInInsertionOrder) {
  EXPECT_EQ(WalkFrom(op::GetFirst, "", 1, 1), "425136");
  EXPECT_EQ(WalkFrom(op::GetLast, "", 1, -1), "631524");
  EXPECT_EQ(WalkFrom(op::GetFirst, "", 2, 1), "153246");
  EXPECT_EQ(WalkFrom(op::GetLast, "", 2, -1), "642351");
  // From the middle of a run of duplicates.
  EXPECT_EQ(WalkFrom(op::GetLessThan, Group("z"), 2, -1), "642351");
  ASSERT_EQ(f.Get(op::GetEqual, LE(4, 4), 0), 0);
  ASSERT_EQ(f.Call(op::GetDirect, LE(4, 4), "", 2, 32), 0);
  EXPECT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(Id(), 6);
  EXPECT_EQ(f.Get(op::GetPrevious, "", 2), 0);
  EXPECT_EQ(f.Get(op::GetPrevious, "", 2), 0);
  EXPECT_EQ(Id(), 2);
}

TEST_F(EngineReads, EndOfFileKeepsThePositionAndTheBuffer) {
  ASSERT_EQ(f.Get(op::GetLast, "", 1), 0);
  EXPECT_EQ(f.Get(op::GetNext, "", 1), status::EndOfFile);
  EXPECT_EQ(f.DataBuffer(), std::string(32, '\xEE'));
  EXPECT_EQ(f.Get(op::GetNext, "", 1), status::EndOfFile);
  EXPECT_EQ(f.Get(op::GetPrevious, "", 1), 0);
  EXPECT_EQ(Id(), 3);  // Eve, before Fay
  EXPECT_EQ(f.Position(), 3u);
}

TEST_F(EngineReads, NextWithoutAGetAnswers8) {
  BtrFile g;
  ASSERT_EQ(g.Open(TempPath("p.dat")), 0);
  EXPECT_EQ(g.Get(op::GetNext, "", 0), status::InvalidPositioning);
  EXPECT_EQ(g.Get(op::GetPrevious, "", 0), status::InvalidPositioning);
  EXPECT_EQ(g.Get(op::StepNext), status::InvalidPositioning);
  EXPECT_EQ(g.Position(), 0u);
  // A step gives a physical position, not a key to walk.
  ASSERT_EQ(g.Get(op::StepFirst), 0);
  EXPECT_EQ(g.Get(op::GetNext, "", 0), status::InvalidPositioning);
}

TEST_F(EngineReads, StepsGoByPhysicalPosition) {
  std::string ids;
  for (int16_t s = f.Get(op::StepFirst); s == 0; s = f.Get(op::StepNext)) ids += char('0' + Id());
  EXPECT_EQ(ids, "123456");
  ids.clear();
  for (int16_t s = f.Get(op::StepLast); s == 0; s = f.Get(op::StepPrevious)) ids += char('0' + Id());
  EXPECT_EQ(ids, "654321");
  // From a record found by key, then back to walking a key after Get Direct.
  ASSERT_EQ(f.Get(op::GetEqual, Name("Eve"), 1), 0);
  ASSERT_EQ(f.Get(op::StepNext), 0);
  EXPECT_EQ(Id(), 4);
  EXPECT_EQ(f.Key(10), std::string(10, '\0'));  // steps leave the key buffer alone
  ASSERT_EQ(f.Call(op::GetDirect, LE(4, 4), "", 1, 32), 0);
  ASSERT_EQ(f.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(Id(), 2);  // Bob follows Ann by name
}

TEST_F(EngineReads, GetPositionAndGetDirect) {
  ASSERT_EQ(f.Get(op::GetEqual, Name("Eve"), 1), 0);
  const std::string before = f.Data();
  EXPECT_EQ(f.Position(), 3u);
  EXPECT_EQ(f.DataLen(), 4u);
  EXPECT_EQ(f.Call(op::GetPosition, "", "", 0, 3), status::DataBufferTooShort);

  EXPECT_EQ(f.Call(op::GetDirect, LE(5, 4), "", 2, 40), 0);
  EXPECT_EQ(f.DataLen(), 32u);
  EXPECT_EQ(Id(), 5);
  EXPECT_EQ(f.Key(6), Group("blue"));
  EXPECT_EQ(f.DataBuffer().substr(32), std::string(8, '\xEE'));

  struct DirectCase {
    std::string data;
    uint32_t room;
    int16_t status;
  };
  for (const DirectCase& c : std::vector<DirectCase>{{LE(0, 4), 32, status::InvalidRecordAddress},
                                                     {LE(99, 4), 32, status::InvalidRecordAddress},
                                                     {LE(0xFFFFFFFF, 4), 32, status::InvalidRecordAddress},
                                                     {LE(5, 4), 31, status::DataBufferTooShort},
                                                     {LE(5, 4), 3, status::DataBufferTooShort}}) {
    EXPECT_EQ(f.Call(op::GetDirect, c.data, "", 1, c.room), c.status);
    EXPECT_EQ(f.DataBuffer().substr(0, 4), c.data.substr(0, c.room));
  }
  // The refused calls left Cleo current on the group key.
  EXPECT_EQ(f.Position(), 5u);
  EXPECT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(Id(), 3);
}

TEST_F(EngineReads, ShortBuffersAreRefusedWithoutMovingAnything) {
  ASSERT_EQ(f.Get(op::GetEqual, Name("Bob"), 1), 0);
  EXPECT_EQ(f.Get(op::GetNext, "", 1, 31), status::DataBufferTooShort);
  EXPECT_EQ(f.DataBuffer(), std::string(31, '\xEE'));
  EXPECT_EQ(f.Get(op::GetFirst, "", 1, 10), status::DataBufferTooShort);
  EXPECT_EQ(f.Call(op::GetNext, "", "", 1, 32, 9), status::KeyBufferTooShort);
  EXPECT_EQ(f.Call(op::GetEqual, Name("Ann"), "", 1, 32, 9), status::KeyBufferTooShort);
  // Still on Bob: the next name is Cleo.
  EXPECT_EQ(f.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(Id(), 5);
  // A larger buffer gets the record and its length; the rest stays.
  EXPECT_EQ(f.Get(op::GetNext, "", 1, 100), 0);
  EXPECT_EQ(f.DataLen(), 32u);
  EXPECT_EQ(f.DataBuffer().substr(32), std::string(68, '\xEE'));
  // A key buffer exactly as long as the key is enough.
  EXPECT_EQ(f.Call(op::GetFirst, "", "", 1, 32, 10), 0);
}

TEST_F(EngineReads, GetEqualKeyOnlyReturnsNoData) {
  EXPECT_EQ(f.Call(op::GetEqualKeyOnly, "", Name("Eve"), 1, 0), 0);
  EXPECT_EQ(f.Key(10), Name("Eve"));
  EXPECT_EQ(f.DataLen(), 0u);
  EXPECT_EQ(f.Position(), 3u);
  EXPECT_EQ(f.Call(op::GetEqualKeyOnly, "", Name("Zed"), 1, 0), status::KeyNotFound);
}

TEST_F(EngineReads, LockBiasedReadsReadLikePlainOnes) {
  EXPECT_EQ(f.Get(op::GetEqual + op::SingleNoWaitLock, Name("Eve"), 1), 0);
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(f.Get(op::StepNext + op::SingleNoWaitLock), 0);
  EXPECT_EQ(Id(), 4);
  EXPECT_EQ(f.Call(op::Unlock, LE(4, 4)), 0);
}

TEST_F(EngineReads, AWalkSeesWritesMadeBetweenItsCalls) {
  // Another position block of this client, and another client.
  BtrFile mine, other;
  const uint8_t id[16] = {9};
  other.ClientId = id;
  ASSERT_EQ(mine.Open(TempPath("p.dat")), 0);
  ASSERT_EQ(other.Open(TempPath("p.dat")), 0);

  ASSERT_EQ(f.Get(op::GetFirst, "", 2), 0);  // Dora, blue
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);   // Cleo, blue: the walk reads ahead
  // Eve (green) is deleted by another client, Bob (red) changed by this one.
  ASSERT_EQ(other.Get(op::GetEqual, Name("Eve"), 1), 0);
  ASSERT_EQ(other.Call(op::Delete), 0);
  ASSERT_EQ(mine.Get(op::GetEqual, Name("Bob"), 1), 0);
  ASSERT_EQ(mine.Call(op::Update, PersonRecord({2, "Bob", "red", "changed"})), 0);
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(f.Data().substr(20, 7), "changed");
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(Id(), 4);
  // A record inserted just ahead of the walk shows up in it.
  ASSERT_EQ(other.Insert(PersonRecord({0, "Gil", "red", ""})), 0);
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(Id(), 6);
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Gil"));
  EXPECT_EQ(f.Get(op::GetNext, "", 2), status::EndOfFile);
}

// Another client's transaction commits through a connection of its own; a
// walk's rows read ahead must not outlive it.
TEST_F(EngineReads, AWalkSeesATransactionCommittedBetweenItsCalls) {
  const uint8_t id[16] = {7};
  BtrFile other, otherClient;
  other.ClientId = id;
  otherClient.ClientId = id;
  ASSERT_EQ(other.Open(TempPath("p.dat")), 0);

  ASSERT_EQ(f.Get(op::GetFirst, "", 2), 0);  // Dora, blue
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);   // Cleo, blue: the walk reads ahead
  ASSERT_EQ(otherClient.Call(op::BeginTransaction), 0);
  ASSERT_EQ(other.Get(op::GetEqual, Name("Eve"), 1), 0);
  ASSERT_EQ(other.Call(op::Delete), 0);
  ASSERT_EQ(otherClient.Call(op::EndTransaction), 0);
  ASSERT_EQ(f.Get(op::GetNext, "", 2), 0);
  EXPECT_EQ(Id(), 2);  // Bob, red: Eve is gone
}

}  // namespace
