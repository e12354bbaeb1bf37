#include "platform/qt/instance_bus_qt.h"

#include "platform/atoms.h"
#include "platform/bus_datagram.h"
#include "platform/window_messages.h"
#include "testing/bus_peer.h"
#include "testing/temp_dir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// Runs the event loop until `done` or a generous limit; true when done.
bool SpinUntil(const std::function<bool()>& done) {
  QDeadlineTimer limit(20000);
  while (!done() && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

// Lets the loop go idle a few times.
void Idle() {
  QEventLoop loop;
  QTimer::singleShot(100, &loop, &QEventLoop::quit);
  loop.exec();
}

class InstanceBusQtTest : public TempDirTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(JoinInstanceBus(), BusJoin::Joined);
    SetInstanceMessageHandler([this](UINT, WPARAM, LPARAM lParam) {
      seen.push_back(GlobalGetAtomName(ATOM(lParam & 0xFFFF)));
      if (on_message) on_message(seen.back());
    });
  }
  void TearDown() override {
    LeaveInstanceBus();
    SetInstanceMessageHandler({});
  }

  std::string Folder() const { return TempPath("corvenstead/bus"); }
  std::string OwnSocket() const { return Folder() + "/" + std::to_string(getpid()) + ".sock"; }
  void SendToUs(BusPeer& peer, const std::string& name, const std::string& text, uint32_t sender = 4242) {
    ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({sender, name, text})));
  }

  ScopedRuntimeDir runtime{Temp.path().string()};
  UINT id = RegisterWindowMessage("CV_Test_Qt");
  std::vector<std::string> seen;
  std::function<void(const std::string&)> on_message;
};

}  // namespace

TEST_F(InstanceBusQtTest, TheEventLoopDeliversMessagesInArrivalOrder) {
  BusPeer peer(Folder(), "9000001.sock");
  SendToUs(peer, "CV_Test_Qt", "one");
  SendToUs(peer, "CV_Test_Qt", "two");
  ASSERT_TRUE(SpinUntil([&] { return seen.size() >= 2; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"}));
}

TEST_F(InstanceBusQtTest, AHandlersNestedLoopGoesOnWithTheNextMessages) {
  BusPeer peer(Folder(), "9000001.sock");
  std::vector<std::string> order;
  on_message = [&](const std::string& text) {
    order.push_back(text);
    if (text != "modal") return;
    // A modal box would spin its own loop here while the sender goes on.
    SpinUntil([&] { return seen.size() >= 3; });
    order.push_back("modal closed");
  };
  SendToUs(peer, "CV_Test_Qt", "modal");
  SendToUs(peer, "CV_Test_Qt", "second");
  SendToUs(peer, "CV_Test_Qt", "third");
  ASSERT_TRUE(SpinUntil([&] { return order.size() >= 4; }));
  EXPECT_EQ(order, (std::vector<std::string>{"modal", "second", "third", "modal closed"}));
}

TEST_F(InstanceBusQtTest, ReadyIsAnnouncedOnceWhenIdleWithAWindowShown) {
  BusPeer peer(Folder(), "9000001.sock");
  const std::string ready = EncodeBusDatagram({uint32_t(getpid()), "CV_Instance_Ready", ""});
  const std::string marker = EncodeBusDatagram({uint32_t(getpid()), "CV_Test_Qt", "marker"});
  Idle();
  BroadcastOnInstanceBus("CV_Test_Qt", "marker");
  EXPECT_EQ(peer.Receive(), marker);  // idle without a window: no announcement

  QWidget window;
  window.show();
  Idle();
  window.hide();
  Idle();
  window.show();
  Idle();
  BroadcastOnInstanceBus("CV_Test_Qt", "marker");
  EXPECT_EQ(peer.Receive(), ready);
  EXPECT_EQ(peer.Receive(), marker);
}

TEST_F(InstanceBusQtTest, MessagesKeptDuringAWaitAreDeliveredByTheLoopAfterwards) {
  BusPeer peer(Folder(), "9000001.sock");
  SendToUs(peer, "CV_Test_Qt", "during 1");
  SendToUs(peer, "CV_Test_Qt", "during 2");
  SendToUs(peer, "CV_Instance_Ready", "", uint32_t(getpid()));
  ASSERT_TRUE(WaitForInputIdle(getpid(), 60000));
  EXPECT_TRUE(seen.empty());
  // No further datagram arrives: only the wake can bring these.
  ASSERT_TRUE(SpinUntil([&] { return seen.size() >= 2; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"during 1", "during 2"}));
}

TEST_F(InstanceBusQtTest, AHandlerMayLeaveTheBusAndNothingIsDeliveredAfter) {
  BusPeer peer(Folder(), "9000001.sock");
  on_message = [](const std::string&) { LeaveInstanceBus(); };
  SendToUs(peer, "CV_Test_Qt", "last");
  SendToUs(peer, "CV_Test_Qt", "never");
  ASSERT_TRUE(SpinUntil([&] { return !seen.empty(); }));
  Idle();
  EXPECT_EQ(seen, std::vector<std::string>{"last"});
  EXPECT_FALSE(InstanceBusOpen());
  EXPECT_FALSE(std::filesystem::exists(OwnSocket()));
}
