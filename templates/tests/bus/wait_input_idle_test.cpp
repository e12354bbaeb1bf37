// WaitForInputIdle against real processes that announce they are ready,
// never do, or end at once.
#include "platform/atoms.h"
#include "platform/instance_bus.h"
#include "platform/window_messages.h"
#include "templates/tests/bus/child_process.h"
#include "testing/bus_peer.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class WaitForInputIdleTest : public TempDirTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
    RegisterWindowMessage("CV_Test_Wait");
    SetInstanceMessageHandler([this](UINT, WPARAM, LPARAM lParam) {
      seen.push_back(GlobalGetAtomName(ATOM(lParam & 0xFFFF)));
    });
  }
  void TearDown() override {
    CloseInstanceBus();
    SetInstanceMessageHandler({});
  }

  ChildProcess Start(const std::string& mode) {
    return ChildProcess({READY_HELPER_PATH, mode}, TempPath(mode + ".out"), TempPath(mode + ".err"));
  }
  bool Deliver(std::size_t count) {
    return PollUntil([&] {
      ProcessInstanceBus();
      return seen.size() >= count;
    });
  }

  ScopedRuntimeDir runtime{Temp.path().string()};
  std::vector<std::string> seen;
};

}  // namespace

TEST_F(WaitForInputIdleTest, AnInstanceThatShowsAWindowIsAwaitedAndWhatItSentComesAfter) {
  ChildProcess child = Start("ready");
  EXPECT_TRUE(WaitForInputIdle(child.Pid(), 600000));
  EXPECT_TRUE(seen.empty());  // kept during the wait
  ProcessInstanceBus();
  EXPECT_EQ(seen, (std::vector<std::string>{"early 1", "early 2", "early 3"}));
}

TEST_F(WaitForInputIdleTest, AnInstanceWithoutAWindowIsNeverReady) {
  ChildProcess child = Start("silent");
  ASSERT_TRUE(Deliver(1));  // its loop runs
  EXPECT_EQ(seen, std::vector<std::string>{"joined"});
  EXPECT_FALSE(WaitForInputIdle(child.Pid(), 1000));
  EXPECT_EQ(kill(child.Pid(), 0), 0);  // still running: the time ran out
}

TEST_F(WaitForInputIdleTest, AnInstanceThatEndsIsGivenUpOnBeforeTheLimit) {
  ChildProcess child = Start("exit");
  // A limit beyond the test's own timeout: only the end can answer in time.
  EXPECT_FALSE(WaitForInputIdle(child.Pid(), 600000));
  EXPECT_EQ(child.Wait(), 0);
}
