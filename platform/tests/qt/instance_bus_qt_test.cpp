#include "platform/qt/instance_bus_qt.h"

#include "platform/atoms.h"
#include "platform/bus_datagram.h"
#include "platform/window_messages.h"
#include "testing/bus_peer.h"
#include "testing/temp_dir.h"
#include "testing/watchdog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
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
  // The peer lives in this process: its datagrams speak for it.
  void SendToUs(BusPeer& peer, const std::string& name, const std::string& text) {
    ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({uint32_t(getpid()), name, text})));
  }

  Watchdog watchdog;
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
  SendToUs(peer, "CV_Instance_Ready", "");
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

TEST_F(InstanceBusQtTest, AFloodingPeerNeverHoldsTheEventLoop) {
  // A handler with some work to do, as the program's have: the flood keeps
  // the socket readable for as long as it lasts.
  on_message = [](const std::string&) { std::this_thread::sleep_for(std::chrono::microseconds(100)); };
  BusFlood flood(OwnSocket(), "CV_Test_Qt", std::chrono::seconds(5));
  // A timer measures how long the loop goes without turning, for a second
  // and a half of flood.
  QElapsedTimer clock;
  qint64 last = 0, widest = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    widest = std::max(widest, now - last);
    last = now;
  });
  QEventLoop loop;
  QTimer::singleShot(1500, &loop, &QEventLoop::quit);
  clock.start();
  tick.start(5);
  loop.exec();
  tick.stop();
  flood.Stop();

  // The bound on a turn of the loop under a flood.
  EXPECT_LT(widest, 100) << "the loop stood still for " << widest << " ms";
  EXPECT_LT(clock.elapsed(), 4000) << "the flood held the loop until it ended";
  // The flood was served meanwhile, over many turns, in order.
  ASSERT_GT(seen.size(), 256u);
  for (std::size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], std::to_string(i + 1));
}
