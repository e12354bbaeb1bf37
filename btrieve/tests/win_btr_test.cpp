// TWinBtr against the recording fake engine: the calls each method makes,
// what happens to the buffers, and the failures.
#include "btrieve/win_btr.h"

#include "btrieve/binding.h"
#include "btrieve/engine_errors.h"
#include "btrieve/tests/fake_call_log.h"
#include "btrieve/tests/fake_engine.h"
#include "btrieve/tests/stat_answer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr uint16_t RecLen = 40;
const std::string FileName = "C:\\MY DATA\\FILE.DAT";
const uint8_t TheClientId[16] = {'M', 'D', 0, 1, 2, 0, 0, 3, 0xFF, 0x80, 0, 0, 0, 0, 'Z', 0};

// Key 0 the 4-byte prefix, key 1 in two segments.
std::string TwoKeys() {
  return StatAnswer(RecLen, 2, {{1, 4, 256, 15}, {5, 6, 16 | 3}, {11, 4, 3}}, 7);
}

std::string NoKeys() { return StatAnswer(RecLen, 0, {}, 3); }

// A scripted answer: success with data, or a status.
FakeAnswer Returns(const std::string& data) {
  FakeAnswer a;
  a.Data = data;
  return a;
}
FakeAnswer Fails(int16_t status, const std::optional<std::string>& data = std::nullopt) {
  FakeAnswer a;
  a.Status = status;
  a.Data = data;
  return a;
}

std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

std::string Record(const std::string& text) {
  std::string r = text;
  r.resize(RecLen, '\0');
  return r;
}

template <class F>
void ExpectEngineError(F&& f, int status, const std::string& key = "") {
  try {
    f();
    ADD_FAILURE() << "no exception, expected status " << status;
  } catch (const EBtrieveEngineError& e) {
    EXPECT_EQ(e.NativeError, status);
    EXPECT_EQ(e.KeyText, key);
  }
}

class WinBtrTest : public ::testing::Test, public FakeCallMark {
protected:
  void SetUp() override {
    FakeEngine::Reset();
    ASSERT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  }
  void TearDown() override {
    SetRecordBufferAllocationFails(false);
    while (BtrieveDllLoaded()) UnloadBtrieveDll();
  }

  // The answers of an open: the open itself, the Stat for the record length
  // and the Stat for the key count.
  static void ScriptOpen(const std::string& stat) {
    FakeEngine::Answer({});
    FakeEngine::Answer(Returns(stat));
    FakeEngine::Answer(Returns(stat));
  }
  void OpenFile(TWinBtr& b, const std::string& stat = TwoKeys()) {
    ScriptOpen(stat);
    b.Open(FileName, {}, 0);
    ASSERT_TRUE(b.IsOpen());
    Mark();
  }
};

struct CallRow {
  const char* name;
  std::function<void(TWinBtr&)> act;
  std::vector<std::string> calls;
};

const std::string Key1 = std::string("AB\0CD\0", 6);

std::vector<CallRow> CallTable() {
  const auto answerPosition = [](uint32_t pos) {
    FakeEngine::Answer({});  // the read
    FakeEngine::Answer(Returns(std::string(reinterpret_cast<const char*>(&pos), 4)));
  };
  return {
      {"GetFirst", [](TWinBtr& b) { b.GetFirst(); }, {"12 k0 d40"}},
      {"GetLast", [](TWinBtr& b) { b.GetLast(); }, {"13 k0 d40"}},
      {"GetNext", [](TWinBtr& b) { b.GetNext(); }, {"6 k0 d40"}},
      {"GetPrev", [](TWinBtr& b) { b.GetPrev(); }, {"7 k0 d40"}},
      {"GetEqual", [](TWinBtr& b) { b.GetEqual(Key1.data(), 1, 6); }, {"5 k1 d40"}},
      {"KeyedCall", [](TWinBtr& b) { b.KeyedCall(BtrOp::GetGreater, Key1.data(), 1, 6); }, {"8 k1 d40"}},
      {"Insert", [](TWinBtr& b) { b.Insert(); }, {"2 k0 d40"}},
      {"Update without a lock", [](TWinBtr& b) { b.Update(); }, {"3 k0 d40"}},
      {"Delete", [](TWinBtr& b) { b.Delete(); }, {"4 k0 d40"}},
      {"a set data length serves one call",
       [](TWinBtr& b) {
         b.SetDataLength(12);
         b.Insert();
         b.Insert();
       },
       {"2 k0 d12", "2 k0 d40"}},
      {"a set data length is taken by any call",
       [](TWinBtr& b) {
         b.SetDataLength(12);
         b.GetPosition();
         b.Insert();
       },
       {"22 k0 d4", "2 k0 d40"}},
      {"GetPosition", [](TWinBtr& b) { b.GetPosition(); }, {"22 k0 d4"}},
      {"GetDirect", [](TWinBtr& b) { b.GetDirect(9); }, {"23 k0 d40"}},
      {"GotoPosition", [](TWinBtr& b) { b.GotoPosition(9); }, {"23 k0 d40"}},
      {"Stat", [](TWinBtr& b) { b.Stat(); }, {"15 k0 d1920"}},
      {"RecordCount", [](TWinBtr& b) { b.RecordCount(); }, {"15 k0 d1920"}},
      {"BeginTransaction concurrent", [](TWinBtr& b) { b.BeginTransaction(true); }, {"1019 k0 d0"}},
      {"BeginTransaction", [](TWinBtr& b) { b.BeginTransaction(false); }, {"19 k0 d0"}},
      {"EndTransaction", [](TWinBtr& b) { b.EndTransaction(); }, {"20 k0 d0"}},
      {"AbortTransaction", [](TWinBtr& b) { b.AbortTransaction(); }, {"21 k0 d0"}},
      {"CreateIndex with a key number",
       [](TWinBtr& b) {
         const std::string specs(32, '\x01');
         b.CreateIndex(reinterpret_cast<const uint8_t*>(specs.data()), 2, 3);
         EXPECT_EQ(uint8_t(b.KeyNum), 131);
       },
       {"31 k-125 d32", "15 k-125 d1920"}},
      {"CreateIndex without a key number",
       [](TWinBtr& b) {
         const std::string specs(16, '\x01');
         b.CreateIndex(reinterpret_cast<const uint8_t*>(specs.data()), 1, 0);
       },
       {"31 k0 d16", "15 k0 d1920"}},
      {"DropIndex",
       [](TWinBtr& b) {
         b.DropIndex(2);
         EXPECT_EQ(b.KeyNum, 2);
       },
       {"32 k2 d0", "15 k2 d1920"}},
      {"FindPercentage in physical order",
       [](TWinBtr& b) {
         b.KeyNum = 1;
         uint32_t pct = 0;
         b.FindPercentage(false, pct);
         EXPECT_EQ(b.KeyNum, 1);
       },
       {"22 k1 d4", "45 k-1 d4", "23 k1 d40"}},
      {"FindPercentage by key",
       [](TWinBtr& b) {
         b.KeyNum = 1;
         uint32_t pct = 0;
         b.FindPercentage(true, pct);
       },
       {"22 k1 d4", "45 k1 d4", "23 k1 d40"}},
      {"GetByPercentage by key", [](TWinBtr& b) { b.GetByPercentage(true, 5000); }, {"44 k0 d40"}},
      {"GetByPercentage in physical order",
       [](TWinBtr& b) {
         b.KeyNum = 1;
         b.GetByPercentage(false, 5000);
         EXPECT_EQ(b.KeyNum, 1);
       },
       {"44 k-1 d40"}},
      {"CreateFileLike",
       [](TWinBtr& b) {
         b.KeyNum = 1;
         b.CreateFileLike("COPY.DAT");
       },
       {"15 k1 d1920", "14 k0 d1920"}},
      {"Stop", [](TWinBtr& b) { b.Stop(); }, {"25 k0 d0"}},
      {"SetDirectory", [](TWinBtr& b) { b.SetDirectory("C:\\DATA"); }, {"17 k0 d0"}},
      {"GetDirectory",
       [](TWinBtr& b) {
         b.KeyNum = 2;
         b.GetDirectory(3, 64);
         EXPECT_EQ(b.KeyNum, 0);
       },
       {"18 k0 d0"}},
      {"Close", [](TWinBtr& b) { b.Close(); }, {"1 k0 d4"}},
      {"LockNoWait then a read",
       [=](TWinBtr& b) {
         answerPosition(9);
         b.LockNoWait();
         b.GetFirst();
         EXPECT_EQ(b.LockedPos(), 9u);
       },
       {"212 k0 d40", "22 k0 d4"}},
      {"the bias is used once",
       [=](TWinBtr& b) {
         answerPosition(9);
         b.LockNoWait();
         b.GetFirst();
         b.GetNext();
       },
       {"212 k0 d40", "22 k0 d4", "6 k0 d40"}},
      {"the bias is used once also by a failing call",
       [](TWinBtr& b) {
         FakeEngine::Answer(Fails(BtrStatus::RecordLocked));
         b.LockNoWait();
         ExpectEngineError([&] { b.GetFirst(); }, BtrStatus::RecordLocked);
         EXPECT_EQ(b.LockBias(), 0);
         b.GetNext();
       },
       {"212 k0 d40", "6 k0 d40"}},
      {"an op passed with +200 counts as locked",
       [=](TWinBtr& b) {
         answerPosition(9);
         b.KeyNum = 1;
         b.Execute(212);
         EXPECT_EQ(b.LockedPos(), 9u);
       },
       {"212 k1 d40", "22 k1 d4"}},
      {"a locked read, then Update releases it",
       [=](TWinBtr& b) {
         answerPosition(9);
         b.LockNoWait();
         b.GetEqual(Key1.data(), 1, 6);
         b.Update();
         EXPECT_EQ(b.LockedPos(), 0u);
         b.Unlock();
       },
       {"205 k1 d40", "22 k1 d4", "3 k1 d40", "27 k1 d4"}},
      {"Unlock without a locked record", [](TWinBtr& b) { b.Unlock(); }, {}},
  };
}

TEST_F(WinBtrTest, EachMethodMakesItsCallsWithKeyLength255AndTheClientId) {
  for (const bool withId : {false, true}) {
    for (const CallRow& row : CallTable()) {
      SCOPED_TRACE(std::string(row.name) + (withId ? " (client id)" : ""));
      FakeEngine::Reset();
      TWinBtr b(withId ? TheClientId : nullptr);
      OpenFile(b);
      row.act(b);
      EXPECT_EQ(DescribedSinceMark(), row.calls);
      for (const FakeCall& c : FakeEngine::Calls()) {
        EXPECT_EQ(c.KeyLen, 255) << Describe(c);
        EXPECT_EQ(c.WithClientId, withId) << Describe(c);
        if (withId) {
          EXPECT_EQ(c.ClientId, Bytes(TheClientId, 16)) << Describe(c);
        }
      }
    }
  }
}

TEST_F(WinBtrTest, AFileWithoutKeysIsReadWithTheStepOperations) {
  TWinBtr b;
  OpenFile(b, NoKeys());
  EXPECT_TRUE(b.UseStep());
  b.GetFirst();
  b.GetLast();
  b.GetNext();
  b.GetPrev();
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"33 k0 d40", "34 k0 d40", "24 k0 d40", "35 k0 d40"}));
}

TEST_F(WinBtrTest, KeyedCallsCopyTheKeyBytesAndLeaveTheRestOfTheBuffer) {
  TWinBtr b;
  OpenFile(b);
  b.KeyBuffer.fill('#');
  b.GetEqual(Key1.data(), 1, 6);
  EXPECT_EQ(b.KeyLen, 6);
  const FakeCall call = CallsSinceMark().at(0);
  EXPECT_EQ(call.Key, Key1 + std::string(249, '#'));
  EXPECT_EQ(b.KeyBuffer[255], '#');

  Mark();
  ExpectEngineError([&] { b.KeyedCall(BtrOp::GetEqual, nullptr, 1, 6); }, BtrStatus::InvalidKeyPath);
  EXPECT_EQ(b.Status(), BtrStatus::InvalidKeyPath);
  EXPECT_TRUE(CallsSinceMark().empty());
}

// ---- buffers ----

TEST_F(WinBtrTest, AShortRecordIsZeroedUpToTheRecordLengthWithinTheBufferWritten) {
  const struct {
    const char* name;
    size_t room;  // 0: the own buffer
    uint32_t passed;
    std::string answer;
    size_t zeroedTo;  // the record's tail is zero up to here, the pattern stays behind it
  } cases[] = {
      {"own buffer", 0, RecLen, "ABCDEFGHIJ", RecLen},
      {"larger caller buffer", 64, RecLen, "ABCDEFGHIJ", RecLen},
      {"exactly sized caller buffer", RecLen, RecLen, "ABCDEFGHIJ", RecLen},
      {"smaller caller buffer", 8, 8, "ABCDE", 8},
      {"a full record", 64, RecLen, std::string(RecLen, 'R'), RecLen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeEngine::Reset();
    TWinBtr b;
    OpenFile(b);
    std::memset(b.RecBuffer(), 'x', RecLen);
    std::vector<uint8_t> caller(c.room, 0xAA);  // on the heap, so ASan sees any overrun
    if (c.room) b.SetDataPointer(caller.data(), caller.size());
    FakeEngine::Answer(Returns(c.answer));
    b.GetFirst();
    EXPECT_EQ(CallsSinceMark().at(0).DataLen, c.passed);
    EXPECT_EQ(b.DataPtr(), b.RecBuffer());

    std::string expected = c.answer;
    expected.resize(c.zeroedTo, '\0');
    if (c.room == 0) {
      EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), expected);
    } else {
      expected.resize(c.room, '\xAA');
      EXPECT_EQ(Bytes(caller.data(), caller.size()), expected);
      EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), std::string(RecLen, 'x'));
    }
  }
}

TEST_F(WinBtrTest, WritesPositionStatAndUnlockLeaveTheRecordBuffersAlone) {
  TWinBtr b;
  OpenFile(b);
  std::memset(b.RecBuffer(), 'x', RecLen);
  std::vector<uint8_t> caller(64, 'c');
  const std::string own(RecLen, 'x');
  const std::string theirs(64, 'c');

  for (const auto& write : {std::function<void()>([&] { b.Insert(); }), std::function<void()>([&] { b.Update(); }),
                            std::function<void()>([&] { b.Delete(); })}) {
    b.SetDataPointer(caller.data(), caller.size());
    b.SetDataLength(20);  // the engine hands 20 back: shorter than the record
    write();
    EXPECT_EQ(Bytes(caller.data(), caller.size()), theirs);
  }
  b.SetDataLength(20);
  b.Insert();  // from the own buffer
  EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), own);

  b.SetDataPointer(caller.data(), caller.size());
  FakeEngine::Answer(Returns(std::string("\x07\x00\x00\x00", 4)));
  EXPECT_EQ(b.GetPosition(), 7u);
  b.SetDataPointer(caller.data(), caller.size());
  FakeEngine::Answer(Returns(TwoKeys()));
  b.Stat();
  uint32_t pct = 0;
  b.SetDataPointer(caller.data(), caller.size());
  FakeEngine::Answer(Returns(std::string("\x05\x00\x00\x00", 4)));  // position
  FakeEngine::Answer(Returns(std::string("\x10\x27\x00\x00", 4)));  // percentage
  FakeEngine::Answer(Returns(Record("ELSEWHERE")));                 // the way back
  b.FindPercentage(false, pct);
  EXPECT_EQ(pct, 10000u);
  EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), own);
  EXPECT_EQ(Bytes(caller.data(), caller.size()), theirs);
}

TEST_F(WinBtrTest, ALockedReadKeepsTheRecordAndUpdateUnlocksItsPosition) {
  TWinBtr b;
  OpenFile(b);
  const std::string record = Record(std::string("\x01\x00\x00\x00SMITH", 9));
  std::vector<uint8_t> caller(RecLen, 0xAA);
  for (const bool intoCaller : {false, true}) {
    SCOPED_TRACE(intoCaller ? "caller buffer" : "own buffer");
    Mark();
    if (intoCaller) b.SetDataPointer(caller.data(), caller.size());
    uint8_t* const target = intoCaller ? caller.data() : b.RecBuffer();
    FakeEngine::Answer(Returns(record));
    FakeEngine::Answer(Returns(std::string("\x09\x00\x00\x00", 4)));
    b.LockNoWait();
    b.GetEqual("SMITH", 1, 5);
    EXPECT_EQ(Bytes(target, RecLen), record);
    EXPECT_EQ(b.LockedPos(), 9u);

    if (intoCaller) b.SetDataPointer(caller.data(), caller.size());
    b.Update();
    const std::vector<FakeCall> calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].Op, BtrOp::Update);
    EXPECT_EQ(calls[2].Data, record);  // the prefix goes back as it was read
    EXPECT_EQ(calls[3].Op, BtrOp::Unlock);
    EXPECT_EQ(calls[3].Data, std::string("\x09\x00\x00\x00", 4));
    EXPECT_EQ(b.LockedPos(), 0u);
    b.Unlock();
    EXPECT_EQ(CallsSinceMark().size(), 4u);
  }
}

TEST_F(WinBtrTest, AFailedCallKeepsTheCallersBufferForTheNextOne) {
  TWinBtr b;
  OpenFile(b);
  std::vector<uint8_t> caller(64, 0);
  b.SetDataPointer(caller.data(), caller.size());
  FakeEngine::Answer(Fails(BtrStatus::EndOfFile));
  EXPECT_THROW(b.GetNext(), EOrrinEOFError);
  EXPECT_EQ(b.DataPtr(), caller.data());
  FakeEngine::Answer(Returns(Record("SECOND")));
  b.GetPrev();
  EXPECT_EQ(Bytes(caller.data(), 6), "SECOND");
  EXPECT_EQ(b.DataPtr(), b.RecBuffer());
}

TEST_F(WinBtrTest, PositionsGoIntoTheDataBufferOnlyWhereTheyFit) {
  TWinBtr b;
  OpenFile(b);
  std::memset(b.RecBuffer(), 'x', RecLen);
  b.GotoPosition(0x01020304);
  const FakeCall call = CallsSinceMark().at(0);
  EXPECT_EQ(call.Data, std::string("\x04\x03\x02\x01", 4) + std::string(8, '\0') + std::string(28, 'x'));

  std::vector<uint8_t> tiny(3, 'c');
  b.SetDataPointer(tiny.data(), tiny.size());
  Mark();
  ExpectEngineError([&] { b.GetDirect(5); }, BtrStatus::DataBufferTooShort);
  ExpectEngineError([&] { b.GetByPercentage(true, 5); }, BtrStatus::DataBufferTooShort);
  EXPECT_EQ(Bytes(tiny.data(), 3), "ccc");
  EXPECT_TRUE(CallsSinceMark().empty());
}

// ---- opening and closing ----

TEST_F(WinBtrTest, OpenPassesNameOwnerAndModeAndSizesTheBuffer) {
  const struct {
    std::string name, owner;
    int8_t mode;
    std::string key, data;
    uint32_t dataLen;
  } cases[] = {
      {FileName, "", 0, FileName, "", 0},
      {"A.DAT", "SECRET", -4, "A.DAT", std::string("SECRET\0", 7), 7},
      {std::string("B.DAT\0junk", 10), std::string("OW\0x", 4), -2, "B.DAT", std::string("OW\0", 3), 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    FakeEngine::Reset();
    TWinBtr b;
    b.KeyNum = 3;
    ScriptOpen(TwoKeys());
    b.Open(c.name, c.owner, c.mode);
    const auto& calls = FakeEngine::Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Op, BtrOp::Open);
    EXPECT_EQ(calls[0].Key, c.key);
    EXPECT_EQ(calls[0].KeyNum, c.mode);
    EXPECT_EQ(calls[0].DataLen, c.dataLen);
    EXPECT_EQ(calls[0].Data, c.data);
    EXPECT_EQ(calls[1].Op, BtrOp::Stat);
    EXPECT_EQ(calls[2].Op, BtrOp::Stat);
    EXPECT_TRUE(b.IsOpen());
    EXPECT_TRUE(b.Ok());
    EXPECT_EQ(b.KeyNum, 0);
    EXPECT_EQ(b.KeyLen, c.key.size());
    EXPECT_EQ(b.BufSize(), RecLen);
    EXPECT_EQ(b.NextDataLen(), RecLen);
    EXPECT_EQ(b.DataPtr(), b.RecBuffer());
    EXPECT_EQ(Bytes(b.RecBuffer(), RecLen), std::string(RecLen, '\0'));
    EXPECT_FALSE(b.UseStep());
    EXPECT_EQ(b.GetRecordLength(), RecLen);
    EXPECT_EQ(b.GetPageSize(), 4096);
    EXPECT_EQ(FakeEngine::Calls().size(), 3u);  // both read from the layout Open fetched
  }
}

TEST_F(WinBtrTest, OpenClosesAnOpenFileFirst) {
  TWinBtr b;
  OpenFile(b);
  ScriptOpen(NoKeys());
  b.Open("OTHER.DAT", {}, 0);
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"1 k0 d4", "0 k0 d0", "15 k0 d1920", "15 k0 d1920"}));
  EXPECT_TRUE(b.UseStep());
}

TEST_F(WinBtrTest, AFailedOpenRaisesWithTheNameAndLeavesNothingOpen) {
  const struct {
    const char* name;
    std::vector<FakeAnswer> answers;
    bool allocationFails;
    int status;
    std::vector<std::string> calls;
  } cases[] = {
      {"engine refuses", {Fails(BtrStatus::FileNotFound)}, false, BtrStatus::FileNotFound, {"0 k0 d0"}},
      {"Stat fails", {FakeAnswer{}, Fails(2)}, false, 2, {"0 k0 d0", "15 k0 d1920", "1 k0 d4"}},
      {"no buffer", {FakeAnswer{}, Returns(TwoKeys())}, true, BtrStatus::DataBufferTooShort, {"0 k0 d0", "15 k0 d1920", "1 k0 d4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeEngine::Reset();
    Mark();
    SetRecordBufferAllocationFails(c.allocationFails);
    {
      TWinBtr b;
      for (const FakeAnswer& a : c.answers) FakeEngine::Answer(a);
      ExpectEngineError([&] { b.Open(FileName, {}, 0); }, c.status, FileName);
      EXPECT_FALSE(b.IsOpen());
      EXPECT_EQ(b.Status(), c.status);
      EXPECT_EQ(b.RecBuffer(), nullptr);
      EXPECT_EQ(b.DataPtr(), nullptr);
    }
    EXPECT_EQ(DescribedSinceMark(), c.calls);  // nothing more when the object goes
    SetRecordBufferAllocationFails(false);
  }
}

TEST_F(WinBtrTest, SetBufferSizeThatFailsSets22WithoutRaisingAndLeavesNoBuffer) {
  TWinBtr b;
  b.SetBufferSize(100);
  EXPECT_TRUE(b.Ok());
  EXPECT_EQ(b.BufSize(), 100);
  SetRecordBufferAllocationFails(true);
  b.SetBufferSize(200);
  EXPECT_EQ(b.Status(), BtrStatus::DataBufferTooShort);
  EXPECT_EQ(b.NextDataLen(), 0);
  EXPECT_EQ(b.BufSize(), 0);
  EXPECT_EQ(b.RecBuffer(), nullptr);
  EXPECT_EQ(b.DataPtr(), nullptr);
}

TEST_F(WinBtrTest, NamesThatCannotCarryTheirTerminatorAreRefusedWithoutACall) {
  const struct {
    const char* name;
    std::function<void(TWinBtr&, const std::string&)> act;
    uint16_t op;
  } methods[] = {
      {"Open", [](TWinBtr& b, const std::string& n) { b.Open(n, {}, 0); }, BtrOp::Open},
      {"SetDirectory", [](TWinBtr& b, const std::string& n) { b.SetDirectory(n); }, BtrOp::SetDirectory},
      {"CreateFileLike", [](TWinBtr& b, const std::string& n) { b.CreateFileLike(n); }, BtrOp::Create},
  };
  for (const auto& m : methods) {
    SCOPED_TRACE(m.name);
    FakeEngine::Reset();
    TWinBtr b;
    const std::string longest = "C:\\" + std::string(251, 'D');
    m.act(b, longest);
    const auto& calls = FakeEngine::Calls();
    const auto call = std::find_if(calls.begin(), calls.end(), [&](const FakeCall& c) { return c.Op == m.op; });
    ASSERT_NE(call, calls.end());
    EXPECT_EQ(call->Key, longest);
    Mark();
    for (size_t len : {255, 256, 1000}) {
      const std::string name(len, 'N');
      ExpectEngineError([&] { m.act(b, name); }, 11, name.substr(0, 255));
    }
    EXPECT_TRUE(CallsSinceMark().empty());
  }
}

TEST_F(WinBtrTest, SetDirectoryPutsThePathWithItsTerminatorIntoTheKeyBuffer) {
  TWinBtr b;
  b.KeyBuffer.fill('#');
  b.SetDirectory(std::string("C:\\MY DATA\0junk", 15));
  EXPECT_EQ(b.KeyLen, 11);
  EXPECT_EQ(Bytes(b.KeyBuffer.data(), 13), std::string("C:\\MY DATA\0##", 13));
  EXPECT_EQ(FakeEngine::Calls().at(0).Key, "C:\\MY DATA");

  FakeAnswer directory;
  directory.Key = std::string("D:\\WORK\0", 8);
  FakeEngine::Answer(directory);
  EXPECT_EQ(b.GetDirectory(0, 256), "D:\\WORK");
  EXPECT_EQ(FakeEngine::Calls().at(1).Key, std::string(255, '\0'));
}

TEST_F(WinBtrTest, CloseForgetsTheFileAndAFailingCloseKeepsIt) {
  TWinBtr b;
  OpenFile(b);
  FakeEngine::Answer(Fails(2));
  ExpectEngineError([&] { b.Close(); }, 2);
  EXPECT_TRUE(b.IsOpen());
  EXPECT_EQ(b.BufSize(), RecLen);

  b.Close();
  EXPECT_FALSE(b.IsOpen());
  EXPECT_EQ(b.RecBuffer(), nullptr);
  EXPECT_EQ(b.BufSize(), 0);
  EXPECT_EQ(b.FileSpec(), TFileSpecBuffer{});
  EXPECT_EQ(b.GetRecordLength(), 0);
  EXPECT_EQ(b.RecordCount(), 0u);
  EXPECT_EQ(b.KeyCount(), 0);

  FakeEngine::Answer(Fails(BtrStatus::FileNotOpen));
  ExpectEngineError([&] { b.Close(); }, BtrStatus::FileNotOpen);
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"1 k0 d4", "1 k0 d4", "1 k0 d4"}));
}

TEST_F(WinBtrTest, TheDestructorClosesAndSwallowsAFailingClose) {
  for (const int16_t status : {0, 2}) {
    SCOPED_TRACE(status);
    FakeEngine::Reset();
    {
      TWinBtr b;
      OpenFile(b);
      FakeEngine::Answer(Fails(status));
    }
    EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"1 k0 d4"});
  }
}

TEST_F(WinBtrTest, EveryCallRaises20WhileTheInterfaceIsNotLoaded) {
  while (BtrieveDllLoaded()) UnloadBtrieveDll();
  TWinBtr b;
  ExpectEngineError([&] { b.Open(FileName, {}, 0); }, BtrStatus::NotLoaded, FileName);
  ExpectEngineError([&] { b.GetFirst(); }, BtrStatus::NotLoaded);
  ExpectEngineError([&] { b.Stat(); }, BtrStatus::NotLoaded);
  ExpectEngineError([&] { b.Close(); }, BtrStatus::NotLoaded);
  b.Stop();
  EXPECT_EQ(b.Status(), BtrStatus::NotLoaded);
  TWinBtr withId(TheClientId);
  ExpectEngineError([&] { withId.BeginTransaction(true); }, BtrStatus::NotLoaded);
  EXPECT_TRUE(FakeEngine::Calls().empty());
}

TEST_F(WinBtrTest, StopNeverRaises) {
  TWinBtr b;
  FakeEngine::Answer(Fails(BtrStatus::FileNotOpen));
  b.Stop();
  EXPECT_EQ(b.Status(), BtrStatus::FileNotOpen);
}

// ---- the layout ----

TEST_F(WinBtrTest, Status22DuringStatReadsAsSuccessAndFillsWhatFits) {
  TWinBtr b;
  OpenFile(b);
  const std::string full = StatAnswer(RecLen, 3, {{1, 4, 256, 15}, {5, 6, 32, 0, 0}, {11, 4, 32, 0, 0}}, 12,
                                      {TestSequence("UPPER", 0)});
  const std::string cut = full.substr(0, 16 + 16 * 2);  // the third key did not fit
  FakeEngine::Answer(Fails(BtrStatus::DataBufferTooShort, cut));
  b.Stat();
  EXPECT_FALSE(b.Ignore22());
  EXPECT_EQ(Bytes(b.FileSpec().data(), cut.size()), cut);
  EXPECT_EQ(Bytes(b.FileSpec().data() + cut.size(), StatBufferSize - cut.size()),
            std::string(StatBufferSize - cut.size(), '\0'));
  b.KeyNum = 1;
  EXPECT_TRUE(b.KeyHasACS());
  b.KeyNum = 2;
  EXPECT_FALSE(b.KeyHasACS());  // its entry is not in the answer

  FakeEngine::Answer(Fails(BtrStatus::DataBufferTooShort, cut));
  EXPECT_EQ(b.RecordCount(), 12u);
}

TEST_F(WinBtrTest, KeyCollatingSequencesComeFromTheKeysOwnEntry) {
  // Key 0 in two segments; key 1 sequence 1; key 2 sequence 0; key 3 names
  // a sequence that is not there; key 4 has none.
  const std::string stat = StatAnswer(RecLen, 5,
                                      {{1, 4, 256 | 16, 15},
                                       {5, 2, 0},
                                       {7, 10, 32, 0, 1},
                                       {17, 3, 32 | 1, 0, 0},
                                       {20, 2, 32, 0, 7},
                                       {22, 2, 0}},
                                      0, {TestSequence("ZERO", 10), TestSequence("ONE", 20)});
  TWinBtr b;
  OpenFile(b, stat);
  const struct {
    int8_t key;
    bool hasACS;
    std::string sequence;  // empty: GetKeyACS raises the invalid-parameter error
  } cases[] = {
      {-1, false, ""}, {0, false, TestSequence("ZERO", 10)}, {1, true, TestSequence("ONE", 20)},
      {2, true, TestSequence("ZERO", 10)}, {3, true, ""}, {4, false, TestSequence("ZERO", 10)},
      {5, false, ""}, {100, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.key));
    b.KeyNum = c.key;
    EXPECT_EQ(b.KeyHasACS(), c.hasACS);
    Mark();
    FakeEngine::Answer(Returns(stat));
    TCollatingSequence untouched;
    untouched.fill(0xEE);
    TCollatingSequence acs = untouched;
    if (c.sequence.empty()) {
      try {
        b.GetKeyACS(acs);
        ADD_FAILURE() << "no exception";
      } catch (const EOrrinEngineError& e) {
        EXPECT_EQ(e.Code, ecInvalidParam);
      }
      EXPECT_EQ(acs, untouched);
    } else {
      b.GetKeyACS(acs);
      EXPECT_EQ(Bytes(acs.data(), acs.size()), c.sequence);
    }
    EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"15 k" + std::to_string(c.key) + " d" +
                                                             std::to_string(1920 + 265 * 5)});
  }
}

TEST_F(WinBtrTest, CreateFileLikeSendsTheWholeStatBuffer) {
  TWinBtr b;
  OpenFile(b);
  FakeEngine::Answer(Returns(TwoKeys()));
  b.CreateFileLike(std::string("COPY.DAT\0x", 10));
  const FakeCall create = CallsSinceMark().at(1);
  EXPECT_EQ(create.Op, BtrOp::Create);
  EXPECT_EQ(create.Key, "COPY.DAT");
  EXPECT_EQ(create.KeyNum, 0);
  std::string expected = TwoKeys();
  expected.resize(StatBufferSize, '\0');
  EXPECT_EQ(create.Data, expected);

  TFileSpecBuffer spec;
  spec.fill(0xEE);
  FakeEngine::Answer(Returns(NoKeys()));
  b.GetFileSpec(spec);
  expected = NoKeys();
  expected.resize(StatBufferSize, '\0');
  EXPECT_EQ(Bytes(spec.data(), spec.size()), expected);
}

}  // namespace
