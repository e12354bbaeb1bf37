// TWinBtr against the real record manager, loaded by its Windows name as the
// program loads it.
#include "btrieve/win_btr.h"

#include "btrieve/binding.h"
#include "btrieve/engine_errors.h"
#include "btrieve/tests/stat_answer.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr uint16_t RecLen = 24;
constexpr uint16_t ExtendedType = 256;
constexpr uint8_t AutoIncrementType = 15;

// Record: 1-4 autoincrement key 0, 5-14 name (key 1, duplicates,
// modifiable), 15-24 free text.
std::string PeopleLayout() {
  return StatAnswer(RecLen, 2, {{1, 4, ExtendedType, AutoIncrementType}, {5, 10, 1 | 2}});
}

std::string Person(const std::string& name, const std::string& note, uint32_t id = 0) {
  std::string r(4, '\0');
  PutLE32(reinterpret_cast<uint8_t*>(r.data()), id);
  r += name;
  r.resize(14, ' ');
  r += note;
  r.resize(RecLen, ' ');
  return r;
}

std::string Bytes(const uint8_t* p, size_t n) { return std::string(reinterpret_cast<const char*>(p), n); }

std::string Name(const TWinBtr& b) { return Bytes(b.RecBuffer() + 4, 10); }

template <class F>
void ExpectStatus(F&& f, int status) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected status " << status;
  } catch (const EBtrieveEngineError& e) {
    EXPECT_EQ(e.NativeError, status);
  }
}

class WinBtrEngineTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    const int16_t status = LoadBtrieveDll("", "wbtrv32.dll");
    ASSERT_TRUE(status == BtrStatus::Success || status == BtrStatus::AlreadyStarted) << status;
  }
  void TearDown() override {
    UnloadBtrieveDll();
    CheckedFolderTest::TearDown();
  }

  // A raw Create call, as file creation makes it.
  std::string CreateFile(const std::string& name, const std::string& layout) {
    const std::string path = TempPath(name);
    uint8_t posBlock[PosBlockSize] = {};
    std::string data = layout;
    uint32_t len = uint32_t(data.size());
    std::array<char, KeyBufferSize> key{};
    std::memcpy(key.data(), path.data(), path.size());
    EXPECT_EQ(BTRCALL(BtrOp::Create, posBlock, data.data(), &len, key.data(), CallKeyLength, -1), 0);
    return path;
  }

  void InsertPeople(TWinBtr& b) {
    for (const char* name : {"CHARLIE", "ALPHA", "BRAVO"}) {
      const std::string r = Person(name, "note");
      std::memcpy(b.RecBuffer(), r.data(), RecLen);
      b.Insert();
    }
  }
};

TEST_F(WinBtrEngineTest, OpenWalkFindPositionStatAndClose) {
  const std::string path = CreateFile("PEOPLE.DAT", PeopleLayout());
  TWinBtr b;
  b.Open(path, {}, 0);
  EXPECT_TRUE(b.IsOpen());
  EXPECT_EQ(b.BufSize(), RecLen);
  EXPECT_FALSE(b.UseStep());
  EXPECT_EQ(b.GetRecordLength(), RecLen);
  EXPECT_EQ(b.GetPageSize(), 4096);
  EXPECT_EQ(b.KeyCount(), 2);
  EXPECT_EQ(b.RecordCount(), 0u);

  InsertPeople(b);
  EXPECT_EQ(b.RecordCount(), 3u);
  EXPECT_EQ(GetLE32(b.RecBuffer()), 3u);  // the engine's value for the last insert

  b.KeyNum = 1;
  b.GetFirst();
  EXPECT_EQ(Name(b), "ALPHA     ");
  EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), Person("ALPHA", "note", 2));
  b.GetNext();
  EXPECT_EQ(Name(b), "BRAVO     ");
  b.GetLast();
  EXPECT_EQ(Name(b), "CHARLIE   ");
  b.GetPrev();
  EXPECT_EQ(Name(b), "BRAVO     ");
  b.GetLast();
  EXPECT_THROW(b.GetNext(), EOrrinEOFError);

  const uint8_t two[4] = {2, 0, 0, 0};
  b.GetEqual(two, 0, 4);
  EXPECT_EQ(Name(b), "ALPHA     ");
  const uint32_t alpha = b.GetPosition();
  EXPECT_NE(alpha, 0u);
  EXPECT_EQ(Name(b), "ALPHA     ");  // the position never lands in the record

  b.GetFirst();  // key 0: CHARLIE came first
  EXPECT_EQ(Name(b), "CHARLIE   ");
  b.GetDirect(alpha);
  EXPECT_EQ(Name(b), "ALPHA     ");
  b.GetFirst();
  b.GotoPosition(alpha);
  EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), Person("ALPHA", "note", 2));
  b.GetNext();  // Get Direct made ALPHA current on key 0
  EXPECT_EQ(Name(b), "BRAVO     ");

  const std::string missing = "NOBODY    ";
  ExpectStatus([&] { b.GetEqual(missing.data(), 1, 10); }, BtrStatus::KeyNotFound);

  TFileSpecBuffer spec;
  b.GetFileSpec(spec);
  std::string expected = PeopleLayout();
  PutLE32(reinterpret_cast<uint8_t*>(expected.data()) + 6, 3);
  EXPECT_EQ(Bytes(spec.data(), expected.size()), expected);

  b.Close();
  EXPECT_FALSE(b.IsOpen());
  ExpectStatus([&] { b.Close(); }, BtrStatus::FileNotOpen);
}

TEST_F(WinBtrEngineTest, AFileWithoutKeysIsWalkedInPhysicalOrder) {
  const std::string path = CreateFile("LOG.DAT", StatAnswer(8, 0, {}));
  TWinBtr b;
  b.Open(path, {}, 0);
  ASSERT_TRUE(b.UseStep());
  for (const char* line : {"first   ", "second  ", "third   "}) {
    std::memcpy(b.RecBuffer(), line, 8);
    b.Insert();
  }
  b.GetFirst();
  EXPECT_EQ(Bytes(b.RecBuffer(), 8), "first   ");
  b.GetNext();
  EXPECT_EQ(Bytes(b.RecBuffer(), 8), "second  ");
  b.GetLast();
  EXPECT_EQ(Bytes(b.RecBuffer(), 8), "third   ");
  b.GetPrev();
  EXPECT_EQ(Bytes(b.RecBuffer(), 8), "second  ");
}

TEST_F(WinBtrEngineTest, ACollatingSequenceComesBackAsCreated) {
  const std::string sequence = TestSequence("UPPER", 3);
  const std::string path =
      CreateFile("NAMES.DAT", StatAnswer(20, 2, {{1, 4, ExtendedType, AutoIncrementType}, {5, 8, 1 | 32, 0, 0}},
                                         0, {sequence}));
  TWinBtr b;
  b.Open(path, {}, 0);
  b.KeyNum = 1;
  EXPECT_TRUE(b.KeyHasACS());
  TCollatingSequence acs{};
  b.GetKeyACS(acs);
  EXPECT_EQ(Bytes(acs.data(), acs.size()), sequence);
  b.KeyNum = 0;
  EXPECT_FALSE(b.KeyHasACS());
}

TEST_F(WinBtrEngineTest, AnOpenFailureNamesTheFile) {
  const std::string path = TempPath("NOSUCH.DAT");
  TWinBtr b;
  try {
    b.Open(path, {}, 0);
    ADD_FAILURE() << "no exception";
  } catch (const EBtrieveEngineError& e) {
    EXPECT_EQ(e.NativeError, BtrStatus::FileNotFound);
    EXPECT_EQ(e.KeyText, path);
  }
  EXPECT_FALSE(b.IsOpen());
}

// Two clients of one process: a record one holds locked refuses the other's
// locked read with 84 until Update or Unlock lets it go.
TEST_F(WinBtrEngineTest, ARecordLockedByOneClientRefusesAnothersLockedRead) {
  const std::string path = CreateFile("PEOPLE.DAT", PeopleLayout());
  const uint8_t idA[ClientIdSize] = {'C', 'L', 'I', 'E', 'N', 'T', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const uint8_t idB[ClientIdSize] = {'C', 'L', 'I', 'E', 'N', 'T', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 2};
  TWinBtr a(idA), b(idB);
  a.Open(path, {}, 0);
  b.Open(path, {}, 0);
  InsertPeople(a);
  const std::string bravo = "BRAVO     ";

  a.LockNoWait();
  a.GetEqual(bravo.data(), 1, 10);
  EXPECT_NE(a.LockedPos(), 0u);

  b.LockNoWait();
  ExpectStatus([&] { b.GetEqual(bravo.data(), 1, 10); }, BtrStatus::RecordLocked);
  EXPECT_EQ(b.LockedPos(), 0u);

  std::memcpy(a.RecBuffer() + 14, "changed   ", 10);
  a.Update();
  EXPECT_EQ(a.LockedPos(), 0u);

  b.LockNoWait();
  b.GetEqual(bravo.data(), 1, 10);
  EXPECT_EQ(Bytes(b.RecBuffer() + 14, 10), "changed   ");
  EXPECT_NE(b.LockedPos(), 0u);

  a.LockNoWait();
  ExpectStatus([&] { a.GetEqual(bravo.data(), 1, 10); }, BtrStatus::RecordLocked);
  b.Unlock();
  EXPECT_EQ(b.LockedPos(), 0u);
  a.LockNoWait();
  a.GetEqual(bravo.data(), 1, 10);
  a.Unlock();
}

}  // namespace
