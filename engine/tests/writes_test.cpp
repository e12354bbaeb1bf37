// Insert, Update and Delete through BTRCALL: what they refuse, what they
// leave as it was when they refuse, and where they leave the position.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

using namespace engine;

namespace {

class EngineWrites : public EngineFolderTest {
protected:
  void SetUp() override {
    ASSERT_EQ(CreateFile(TempPath("p.dat"), PeopleLayout()), 0);
    ASSERT_EQ(f.Open(TempPath("p.dat")), 0);
    for (const char* name : {"Ann", "Bob", "Cleo"}) ASSERT_EQ(f.Insert(PersonRecord({0, name, "g", ""})), 0);
  }
  std::string FileBytes() { return ReadFileBytes(TempPath("p.dat")); }
  static std::string Name(const std::string& text) { return PersonRecord({0, text, "", ""}).substr(4, 10); }
  int Id() const { return uint8_t(f.Data()[0]); }

  BtrFile f;
};

TEST_F(EngineWrites, RefusedWritesLeaveFilePositionAndBuffersAlone) {
  ASSERT_EQ(f.Get(op::GetEqual, Name("Bob"), 1), 0);
  const std::string file = FileBytes();
  const std::string bob = f.Data();

  struct Refusal {
    const char* what;
    uint16_t op;
    std::string data;
    uint8_t keyLen;
    int16_t status;
  };
  const std::vector<Refusal> cases = {
      {"insert one byte short", op::Insert, PersonRecord({0, "Dan", "g", ""}).substr(0, 31), 255,
       status::DataBufferTooShort},
      {"insert one byte long", op::Insert, PersonRecord({0, "Dan", "g", ""}) + "x", 255, status::DataBufferTooShort},
      {"insert of a duplicate name", op::Insert, PersonRecord({0, "Ann", "g", ""}), 255, status::DuplicateKey},
      {"insert of a used autoincrement", op::Insert, PersonRecord({3, "Dan", "g", ""}), 255, status::DuplicateKey},
      {"insert with a key buffer too short", op::Insert, PersonRecord({0, "Dan", "g", ""}), 9,
       status::KeyBufferTooShort},
      {"update of an unmodifiable key", op::Update, PersonRecord({2, "Bobby", "g", ""}), 255,
       status::KeyNotModifiable},
      {"update of the autoincrement", op::Update, PersonRecord({9, "Bob", "g", ""}), 255, status::KeyNotModifiable},
      {"update of the wrong length", op::Update, PersonRecord({2, "Bob", "h", ""}).substr(1), 255,
       status::DataBufferTooShort},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(f.Call(c.op, c.data, "", 1, 0, c.keyLen), c.status);
    EXPECT_EQ(f.DataBuffer(), c.data);
    EXPECT_EQ(FileBytes(), file);
  }
  EXPECT_EQ(f.RecordCount(), 3u);
  // Still on Bob, by name.
  EXPECT_EQ(f.Position(), 2u);
  ASSERT_EQ(f.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Cleo"));
  ASSERT_EQ(f.Get(op::GetPrevious, "", 1), 0);
  EXPECT_EQ(f.Data(), bob);
}

TEST_F(EngineWrites, UpdateAndDeleteNeedACurrentRecord) {
  BtrFile g;
  ASSERT_EQ(g.Open(TempPath("p.dat")), 0);
  EXPECT_EQ(g.Call(op::Update, PersonRecord({1, "Ann", "x", ""})), status::InvalidPositioning);
  EXPECT_EQ(g.Call(op::Delete), status::InvalidPositioning);
  ASSERT_EQ(g.Get(op::GetEqual, Name("Ann"), 1), 0);
  ASSERT_EQ(g.Call(op::Delete), 0);
  EXPECT_EQ(g.Call(op::Delete), status::InvalidPositioning);
  EXPECT_EQ(g.Call(op::Update, PersonRecord({1, "Ann", "x", ""})), status::InvalidPositioning);
  EXPECT_EQ(g.Position(), 0u);
  // The record another block had current is gone: a conflict, nothing written.
  ASSERT_EQ(f.Get(op::GetEqual, Name("Bob"), 1), 0);
  ASSERT_EQ(g.Get(op::GetEqual, Name("Bob"), 1), 0);
  ASSERT_EQ(g.Call(op::Delete), 0);
  EXPECT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "x", ""})), status::Conflict);
  EXPECT_EQ(f.Call(op::Delete), status::Conflict);
  EXPECT_EQ(f.RecordCount(), 1u);
}

TEST_F(EngineWrites, AWalkGoesOnPastADeletedRecord) {
  ASSERT_EQ(f.Get(op::GetEqual, Name("Bob"), 1), 0);
  ASSERT_EQ(f.Call(op::Delete), 0);
  ASSERT_EQ(f.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Cleo"));
  ASSERT_EQ(f.Get(op::GetEqual, Name("Cleo"), 1), 0);
  ASSERT_EQ(f.Call(op::Delete), 0);
  ASSERT_EQ(f.Get(op::GetPrevious, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Ann"));
  ASSERT_EQ(f.Get(op::StepFirst), 0);
  ASSERT_EQ(f.Call(op::Delete), 0);
  EXPECT_EQ(f.Get(op::StepNext), status::EndOfFile);
}

TEST_F(EngineWrites, UpdateMovesTheRecordInItsKeyOrder) {
  ASSERT_EQ(f.Insert(PersonRecord({0, "Dan", "k", ""})), 0);
  // Group key 2 is modifiable: Ann moves from "g" behind Dan's "k".
  ASSERT_EQ(f.Get(op::GetFirst, "", 2), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Ann"));
  ASSERT_EQ(f.Call(op::Update, PersonRecord({1, "Ann", "z", "new"}), "", 2), 0);
  EXPECT_EQ(f.Key(6), std::string("z     "));
  EXPECT_EQ(f.Get(op::GetNext, "", 2), status::EndOfFile);
  ASSERT_EQ(f.Get(op::GetPrevious, "", 2), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Dan"));
  ASSERT_EQ(f.Call(op::GetDirect, LE(1, 4), "", 2, 32), 0);
  EXPECT_EQ(f.Data(), PersonRecord({1, "Ann", "z", "new"}));
}

TEST_F(EngineWrites, InsertPositionsOnItsKeyUnlessTheKeyNumberIsNegative) {
  ASSERT_EQ(f.Insert(PersonRecord({0, "Bea", "g", ""}), 1), 0);
  EXPECT_EQ(f.Key(10), Name("Bea"));
  EXPECT_EQ(f.Position(), 4u);
  ASSERT_EQ(f.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Bob"));
  ASSERT_EQ(f.Insert(PersonRecord({0, "Abe", "g", ""}), -1), 0);
  EXPECT_EQ(f.Position(), 2u);  // still Bob
  ASSERT_EQ(f.Get(op::GetPrevious, "", 1), 0);
  EXPECT_EQ(f.Data().substr(4, 10), Name("Bea"));
}

TEST_F(EngineWrites, RecordsKeepEveryByteAndPositionsAreNeverReused) {
  std::string binary = PersonRecord({0, std::string("N\0\xFF", 3), "g", std::string(12, '\0')});
  ASSERT_EQ(f.Insert(binary), 0);
  binary.replace(0, 4, LE(4, 4));
  ASSERT_EQ(f.Call(op::GetDirect, LE(4, 4), "", 0, 32), 0);
  EXPECT_EQ(Hex(f.Data()), Hex(binary));
  ASSERT_EQ(f.Call(op::Delete), 0);
  ASSERT_EQ(f.Insert(PersonRecord({0, "Eve", "g", ""})), 0);
  EXPECT_EQ(f.Position(), 5u);
  EXPECT_EQ(f.Call(op::GetDirect, LE(4, 4), "", 0, 32), status::InvalidRecordAddress);
}

TEST_F(EngineWrites, FileWithoutKeysIsReadByStepsAndDirect) {
  ASSERT_EQ(CreateFile(TempPath("plain.dat"), CreateBuffer(6, {})), 0);
  BtrFile p;
  ASSERT_EQ(p.Open(TempPath("plain.dat")), 0);
  ASSERT_EQ(p.Insert("first!"), 0);
  ASSERT_EQ(p.Insert("second"), 0);
  EXPECT_EQ(p.Position(), 2u);
  EXPECT_EQ(p.Get(op::GetFirst), status::InvalidKeyNumber);
  ASSERT_EQ(p.Get(op::StepFirst), 0);
  EXPECT_EQ(p.Data(), "first!");
  ASSERT_EQ(p.Call(op::Update, "FIRST!"), 0);
  ASSERT_EQ(p.Call(op::GetDirect, LE(2, 4) + "xx", "", 0, 6), 0);
  EXPECT_EQ(p.Data(), "second");
  ASSERT_EQ(p.Get(op::StepPrevious), 0);
  EXPECT_EQ(p.Data(), "FIRST!");
}

}  // namespace
