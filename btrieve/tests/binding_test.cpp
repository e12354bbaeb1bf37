#include "btrieve/binding.h"
#include "btrieve/tests/fake_engine.h"
#include "platform/fault_point.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class BindingTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(BtrieveDllLoaded());
    FakeEngine::Reset();
  }
  void TearDown() override {
    DisarmFaultPoint();
    while (BtrieveDllLoaded()) UnloadBtrieveDll();
  }
};

TEST(BtrieveLibraryFile, MapsWindowsNamesToLibrariesInTheProgramFolder) {
  const struct {
    std::string dllName;
    const char* file;
  } cases[] = {
      {"", "libwbtrv32.so"},
      {"wbtrv32.dll", "libwbtrv32.so"},
      {"WBTRV32.DLL", "libwbtrv32.so"},
      {"C:\\BTI\\WIN32\\Wbtrv32.Dll", "libwbtrv32.so"},
      {"/opt/bti/WBTRV32.DLL", "libwbtrv32.so"},
      {"..\\..\\etc\\btrfake.dll", "libbtrfake.so"},
      {"C:btrfake.dll", "libbtrfake.so"},
      {"btrfake", "libbtrfake.so"},
      {"btrfake.dll.dll", "libbtrfake.dll.so"},
      {std::string("btrfake.dll\0../../evil", 22), "libbtrfake.so"},
      {std::string("\0btrfake.dll", 12), "libwbtrv32.so"},
  };
  for (const auto& c : cases) EXPECT_EQ(BtrieveLibraryFile(c.dllName), c.file) << c.dllName;
}

TEST_F(BindingTest, UnloadableLibraryAnswers20AndLeavesNothingLoaded) {
  for (const char* name : {"nosuchengine.dll", "btrjunk.dll", "btrfakenoid.dll"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(LoadBtrieveDll("", name), BtrStatus::NotLoaded);
    EXPECT_FALSE(BtrieveDllLoaded());
    EXPECT_EQ(FakeEngine::Loads(), FakeEngine::Unloads());
    uint32_t len = 0;
    char posBlock[128] = {};
    EXPECT_EQ(BTRCALL(BtrOp::Stat, posBlock, nullptr, &len, nullptr, 0, 0), BtrStatus::NotLoaded);
    EXPECT_EQ(BTRCALLID(BtrOp::Stat, posBlock, nullptr, &len, nullptr, 0, 0, nullptr), BtrStatus::NotLoaded);
  }
  // The library without BTRCALLID was opened and closed again, never started.
  EXPECT_EQ(FakeEngine::Loads(), 1);
  EXPECT_TRUE(FakeEngine::InitStrings().empty());
  EXPECT_TRUE(FakeEngine::Calls().empty());

  // The next call with a present library loads it.
  EXPECT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  EXPECT_TRUE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Loads(), 2);
}

TEST_F(BindingTest, MixedCaseAndWindowsPathsReachTheSameLibrary) {
  int loads = 0;
  for (const char* name : {"btrfake.dll", "BTRFAKE.DLL", "C:\\Program Files\\BTI\\BtrFake.Dll", "/usr/lib/btrfake.dll"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(LoadBtrieveDll("", name), BtrStatus::Success);
    EXPECT_EQ(FakeEngine::Loads(), ++loads);
    EXPECT_EQ(UnloadBtrieveDll(), BtrStatus::Success);
    EXPECT_FALSE(BtrieveDllLoaded());
  }
}

TEST_F(BindingTest, LoadingAgainStartsAgainWithoutReloading) {
  EXPECT_EQ(LoadBtrieveDll("first", "btrfake.dll"), BtrStatus::Success);
  EXPECT_EQ(LoadBtrieveDll("second", "no such library"), BtrStatus::AlreadyStarted);
  EXPECT_EQ(FakeEngine::Loads(), 1);
  EXPECT_EQ(FakeEngine::InitStrings(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(BindingTest, EachReferenceIsGivenBackAndTheLastStopsTheEngine) {
  EXPECT_EQ(UnloadBtrieveDll(), BtrStatus::Success);  // nothing loaded
  EXPECT_EQ(FakeEngine::Stops(), 0);

  ASSERT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  ASSERT_EQ(LoadBtrieveDll("", "wbtrv32.dll"), BtrStatus::AlreadyStarted);

  EXPECT_EQ(UnloadBtrieveDll(), BtrStatus::Success);
  EXPECT_TRUE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Stops(), 0);
  uint32_t len = 0;
  char posBlock[128] = {};
  EXPECT_EQ(BTRCALL(BtrOp::EndTransaction, posBlock, nullptr, &len, nullptr, 0, 0), BtrStatus::Success);
  EXPECT_EQ(FakeEngine::Calls().size(), 1u);

  FakeEngine::AnswerStop(7);
  EXPECT_EQ(UnloadBtrieveDll(), 7);
  EXPECT_FALSE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Stops(), 1);
  EXPECT_EQ(FakeEngine::Unloads(), 1);
  EXPECT_EQ(BTRCALL(BtrOp::EndTransaction, posBlock, nullptr, &len, nullptr, 0, 0), BtrStatus::NotLoaded);
  EXPECT_EQ(FakeEngine::Calls().size(), 1u);
}

TEST_F(BindingTest, FailedStartTakesNoReference) {
  // With nobody holding the library, a failed start closes it again.
  FakeEngine::AnswerInit(2);
  EXPECT_EQ(LoadBtrieveDll("", "btrfake.dll"), 2);
  EXPECT_FALSE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Stops(), 1);
  EXPECT_EQ(FakeEngine::Unloads(), 1);

  // With a holder, it stays for the holder, who alone unloads it.
  ASSERT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  FakeEngine::AnswerInit(2);
  EXPECT_EQ(LoadBtrieveDll("", "btrfake.dll"), 2);
  EXPECT_TRUE(BtrieveDllLoaded());
  EXPECT_EQ(UnloadBtrieveDll(), BtrStatus::Success);
  EXPECT_FALSE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Stops(), 2);
}

TEST_F(BindingTest, CallsReachTheEngineWithTheirArgumentsAndAnswers) {
  ASSERT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  char posBlock[128] = {'P'};
  char data[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  uint32_t len = sizeof data;
  unsigned char key[255] = {'K', 0, 'Y'};
  const uint8_t clientId[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'C', 'D', 9, 30};

  FakeEngine::Answer({0, std::string("\x01\0\x02", 3), std::string("Z\0", 2), std::nullopt});
  EXPECT_EQ(BTRCALLID(BtrOp::GetEqual + BtrOp::SingleNoWaitLock, posBlock, data, &len, key, 3, 2, clientId), 0);
  FakeEngine::Answer({BtrStatus::EndOfFile, std::nullopt, std::nullopt, std::nullopt});
  EXPECT_EQ(BTRCALL(BtrOp::GetNext, posBlock, data, &len, key, 3, -1), BtrStatus::EndOfFile);

  ASSERT_EQ(FakeEngine::Calls().size(), 2u);
  const FakeCall& first = FakeEngine::Calls()[0];
  EXPECT_EQ(first.Op, 205);
  EXPECT_EQ(first.PosBlock, std::string(posBlock, 128));
  EXPECT_EQ(first.Data, "abcdefgh");
  EXPECT_EQ(first.DataLen, 8u);
  EXPECT_EQ(first.Key, std::string("K\0Y", 3));
  EXPECT_EQ(first.KeyNum, 2);
  EXPECT_TRUE(first.WithClientId);
  EXPECT_EQ(first.ClientId, std::string(reinterpret_cast<const char*>(clientId), 16));
  const FakeCall& second = FakeEngine::Calls()[1];
  EXPECT_FALSE(second.WithClientId);
  EXPECT_EQ(second.KeyNum, -1);
  // The first answer came back through the binding.
  EXPECT_EQ(second.DataLen, 3u);
  EXPECT_EQ(second.Data, std::string("\x01\0\x02", 3));
  EXPECT_EQ(second.Key, std::string("Z\0Y", 3));
  EXPECT_EQ(std::string(data + 3, 5), "defgh");
}

// Each call through either entry point is one file step; a failed one
// answers I/O error without reaching the engine or touching the buffers.
TEST_F(BindingTest, TheFaultPointCountsEveryCallAndFailsOnesBeforeTheEngine) {
  ASSERT_EQ(LoadBtrieveDll("", "btrfake.dll"), BtrStatus::Success);
  char posBlock[128] = {'P'};
  char data[4] = {'a', 'b', 'c', 'd'};
  uint32_t len = sizeof data;
  const uint8_t clientId[16] = {'C'};
  const auto call = [&](uint16_t op) { return BTRCALL(op, posBlock, data, &len, nullptr, 0, 0); };
  const auto callId = [&](uint16_t op) { return BTRCALLID(op, posBlock, data, &len, nullptr, 0, 0, clientId); };
  const int16_t ioError = 2;
  FakeEngine::Answer({0, std::string("wxyz"), std::nullopt, std::nullopt});

  ArmFaultPoint(2, TFaultAction::FailFromN);
  EXPECT_EQ(call(BtrOp::GetFirst), 0);
  EXPECT_EQ(callId(BtrOp::GetNext), ioError);
  EXPECT_EQ(call(BtrOp::GetNext), ioError);
  EXPECT_EQ(FaultStepCount(), 3u);
  EXPECT_EQ(std::string(data, 4), "wxyz");
  EXPECT_EQ(len, 4u);
  ASSERT_EQ(FakeEngine::Calls().size(), 1u);
  EXPECT_EQ(FakeEngine::Calls()[0].Op, BtrOp::GetFirst);

  ArmFaultPoint(1, TFaultAction::FailOnce);
  EXPECT_EQ(callId(BtrOp::Stat), ioError);
  EXPECT_EQ(callId(BtrOp::GetLast), 0);
  DisarmFaultPoint();
  EXPECT_EQ(call(BtrOp::GetPrevious), 0);
  EXPECT_EQ(FaultStepCount(), 1u);
  ASSERT_EQ(FakeEngine::Calls().size(), 3u);
  EXPECT_EQ(FakeEngine::Calls()[1].Op, BtrOp::GetLast);
  EXPECT_EQ(FakeEngine::Calls()[2].Op, BtrOp::GetPrevious);
}

}  // namespace
