#include "platform/instance_bus.h"

#include "platform/atoms.h"
#include "platform/bus_datagram.h"
#include "platform/window_messages.h"
#include "testing/bus_peer.h"
#include "testing/log_capture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Seen {
  UINT msg;
  WPARAM sender;
  std::string text;
  bool operator==(const Seen&) const = default;
};

// A bus folder of the test's own, a handler that records, and the bus
// closed again afterwards.
class InstanceBusTest : public TempDirTest {
 protected:
  void SetUp() override {
    SetInstanceMessageHandler([this](UINT msg, WPARAM wParam, LPARAM lParam) {
      seen.push_back({msg, wParam, GlobalGetAtomName(ATOM(lParam & 0xFFFF))});
    });
  }
  void TearDown() override {
    CloseInstanceBus();
    SetInstanceMessageHandler({});
    SetInstanceBusWakeHook({});
  }

  std::string Folder() const { return TempPath("corvenstead/bus"); }
  std::string OwnSocket() const { return Folder() + "/" + std::to_string(getpid()) + ".sock"; }
  void Join() { ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined); }

  // Sends `text` as a registered message through the own atom, as the
  // program's senders do.
  void Broadcast(UINT id, const std::string& text) {
    const ATOM atom = GlobalAddAtom(text);
    SendMessage(HWND_BROADCAST, id, MainWindowHandle(), atom);
    GlobalDeleteAtom(atom);
  }

  std::string Wire(const std::string& name, const std::string& text) const {
    return EncodeBusDatagram({uint32_t(getpid()), name, text});
  }

  ScopedRuntimeDir runtime{Temp.path().string()};
  std::vector<Seen> seen;
};

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

}  // namespace

TEST_F(InstanceBusTest, JoiningMakesPrivateFoldersAndLeavingRemovesTheSocket) {
  EXPECT_EQ(InstanceBusFolder(), Folder());
  Join();
  EXPECT_EQ(ModeOf(TempPath("corvenstead")) & 0777, 0700u);
  EXPECT_EQ(ModeOf(Folder()) & 0777, 0700u);
  EXPECT_TRUE(S_ISSOCK(ModeOf(OwnSocket())));
  EXPECT_GE(InstanceBusDescriptor(), 0);
  CloseInstanceBus();
  EXPECT_FALSE(fs::exists(OwnSocket()));
  EXPECT_EQ(InstanceBusDescriptor(), -1);
}

TEST_F(InstanceBusTest, WithoutARuntimeFolderTheBusLivesInTheTemporaryFolder) {
  unsetenv("XDG_RUNTIME_DIR");
  const char* old_tmp = std::getenv("TMPDIR");
  const std::string saved = old_tmp ? old_tmp : "";
  setenv("TMPDIR", Temp.path().c_str(), 1);
  const std::string expected = TempPath("corvenstead-" + std::to_string(geteuid()) + "/bus");
  EXPECT_EQ(InstanceBusFolder(), expected);
  Join();
  EXPECT_EQ(ModeOf(TempPath("corvenstead-" + std::to_string(geteuid()))) & 0777, 0700u);
  EXPECT_TRUE(S_ISSOCK(ModeOf(expected + "/" + std::to_string(getpid()) + ".sock")));
  old_tmp ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
}

TEST_F(InstanceBusTest, AnUntrustworthyFolderTurnsTheBusOffWithOneWarning) {
  struct Case {
    const char* name;
    void (*prepare)(const std::string& top, const std::string& elsewhere);
    const char* why;
  };
  const Case cases[] = {
      {"symlink",
       [](const std::string& top, const std::string& elsewhere) {
         fs::create_directory(elsewhere);
         chmod(elsewhere.c_str(), 0700);
         fs::create_directory_symlink(elsewhere, top);
       },
       "is a symbolic link"},
      {"open folder",
       [](const std::string& top, const std::string&) {
         fs::create_directories(top + "/bus");
         chmod(top.c_str(), 0700);
         chmod((top + "/bus").c_str(), 0755);
       },
       "is open to other users"},
      {"file", [](const std::string& top, const std::string&) { WriteFileBytes(top, "x"); }, "is not a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir runtime_dir;
    ScopedRuntimeDir point(runtime_dir.path().string());
    c.prepare(runtime_dir / "corvenstead", runtime_dir / "elsewhere");
    LogCapture log;
    EXPECT_EQ(OpenInstanceBus(), BusJoin::Off);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_NE(log.Lines()[0].find(c.why), std::string::npos) << log.Lines()[0];
    EXPECT_FALSE(InstanceBusOpen());
    // The program runs on alone: its own handler is still served.
    seen.clear();
    Broadcast(RegisterWindowMessage("CV_Test_Alone"), "alone");
    EXPECT_EQ(seen.size(), 1u);
  }
}

TEST_F(InstanceBusTest, AFolderOfAnotherUserIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a folder away";
  fs::create_directory(TempPath("corvenstead"));
  chmod(TempPath("corvenstead").c_str(), 0700);
  ASSERT_EQ(chown(TempPath("corvenstead").c_str(), 12345, 12345), 0);
  LogCapture log;
  EXPECT_EQ(OpenInstanceBus(), BusJoin::Off);
  EXPECT_EQ(log.CountContaining("belongs to another user"), 1u);
}

TEST_F(InstanceBusTest, ADeadSocketOfTheSameNameIsReplacedAndALiveHubIsNot) {
  fs::create_directories(Folder());
  chmod(TempPath("corvenstead").c_str(), 0700);
  chmod(Folder().c_str(), 0700);
  BusPeer(Folder(), std::to_string(getpid()) + ".sock").Close();  // its file stays
  Join();
  CloseInstanceBus();

  BusPeer hub(Folder(), "hub.sock");
  LogCapture log;
  EXPECT_EQ(OpenInstanceBus(BusRole::Hub), BusJoin::HubTaken);
  EXPECT_TRUE(log.Lines().empty());
  hub.Close();
  EXPECT_EQ(OpenInstanceBus(BusRole::Hub), BusJoin::Joined);
  EXPECT_TRUE(HubOnInstanceBus());
}

TEST_F(InstanceBusTest, HubPresenceMeansALiveHubSocket) {
  Join();
  EXPECT_FALSE(HubOnInstanceBus());
  {
    BusPeer hub(Folder(), "hub.sock");
    EXPECT_TRUE(HubOnInstanceBus());
    hub.Close();
    EXPECT_FALSE(HubOnInstanceBus());  // its file is left, nobody answers
  }
}

TEST_F(InstanceBusTest, BroadcastReachesEveryOtherMemberAndRemovesDeadOnes) {
  Join();
  BusPeer first(Folder(), "9000001.sock");
  BusPeer hub(Folder(), "hub.sock");
  BusPeer dead(Folder(), "9000002.sock");
  dead.Close();
  const UINT id = RegisterWindowMessage("CV_Test_Broadcast");
  const std::string text = std::string("Billing\0\xE9", 9);

  Broadcast(id, text);

  EXPECT_EQ(seen, (std::vector<Seen>{{id, WPARAM(getpid()), text}}));
  EXPECT_EQ(first.Receive(), Wire("CV_Test_Broadcast", text));
  EXPECT_EQ(hub.Receive(), Wire("CV_Test_Broadcast", text));
  EXPECT_FALSE(fs::exists(dead.Path()));
  // Nothing came back to the sender's own socket.
  char byte;
  EXPECT_LT(recv(InstanceBusDescriptor(), &byte, 1, MSG_DONTWAIT), 0);
}

TEST_F(InstanceBusTest, AFullQueueLosesMessagesWithoutHoldingUpTheOthers) {
  Join();
  BusPeer reader(Folder(), "9000001.sock");
  BusPeer stuck(Folder(), "9000003.sock");
  const UINT id = RegisterWindowMessage("CV_Test_Full");
  LogCapture log;
  constexpr int kSent = 40;
  for (int i = 1; i <= kSent; ++i) {
    Broadcast(id, "message " + std::to_string(i));
    ASSERT_EQ(reader.Receive(), Wire("CV_Test_Full", "message " + std::to_string(i)));
  }
  int queued = 0;
  while (const auto bytes = stuck.Receive(0)) {
    ++queued;
    EXPECT_EQ(*bytes, Wire("CV_Test_Full", "message " + std::to_string(queued)));
  }
  EXPECT_GT(queued, 0);
  EXPECT_LT(queued, kSent);
  EXPECT_EQ(log.CountContaining("message dropped: the queue of 9000003.sock is full"), std::size_t(kSent - queued));
  EXPECT_TRUE(fs::exists(stuck.Path()));  // full is not dead
}

TEST_F(InstanceBusTest, ATextOver255BytesIsLoggedAndNotSent) {
  Join();
  BusPeer peer(Folder(), "9000001.sock");
  LogCapture log;
  BroadcastOnInstanceBus("CV_Test_Long", std::string(256, 'x'));
  BroadcastOnInstanceBus("CV_Test_Long", "after");
  EXPECT_EQ(peer.Receive(), Wire("CV_Test_Long", "after"));
  EXPECT_EQ(log.Lines(),
            std::vector<std::string>{"message CV_Test_Long not sent: its text has 256 bytes, at most 255 travel"});
}

TEST_F(InstanceBusTest, ReceivedMessagesReachTheHandlerInOrderAndBrokenOnesAreDropped) {
  Join();
  const UINT id = RegisterWindowMessage("CV_Test_Receive");
  BusPeer peer(Folder(), "9000001.sock");
  const auto send = [&](const std::string& bytes) { ASSERT_TRUE(peer.SendTo(OwnSocket(), bytes)); };
  const std::string good = EncodeBusDatagram({4242, "cv_test_receive", "one"});
  send(good);
  send("CVM2" + good.substr(4));                                // wrong magic
  send(good.substr(0, good.size() - 1));                        // truncated
  send(std::string("CVM1\x01\0\0\0\x01X\x00\x01", 12) + std::string(256, 't'));  // 256-byte text
  send(std::string(600, 'C'));                                  // oversized
  send(EncodeBusDatagram({4242, "CV_Not_Registered", "nobody"}));
  send(EncodeBusDatagram({4243, "CV_Test_Receive", "two\xE9"}));
  send(EncodeBusDatagram({4244, "CV_Test_Receive", ""}));
  LogCapture log;

  ProcessInstanceBus();

  EXPECT_EQ(seen, (std::vector<Seen>{{id, 4242, "one"}, {id, 4243, "two\xE9"}, {id, 4244, ""}}));
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                             "instance message dropped: datagram without the bus tag",
                             "instance message dropped: datagram with a bad text length",
                             "instance message dropped: datagram with a bad text length",
                             "instance message dropped: oversized datagram (600 bytes)",
                         }));
}

TEST_F(InstanceBusTest, AReadyAnnouncementGoesOutOnceAndNeverToAHandler) {
  Join();
  BusPeer peer(Folder(), "9000001.sock");
  AnnounceInstanceReady();
  AnnounceInstanceReady();
  BroadcastOnInstanceBus("CV_Test_After", "after");
  EXPECT_EQ(peer.Receive(), Wire("CV_Instance_Ready", ""));
  EXPECT_EQ(peer.Receive(), Wire("CV_Test_After", "after"));

  RegisterWindowMessage("CV_Instance_Ready");
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({4242, "CV_Instance_Ready", ""})));
  ProcessInstanceBus();
  EXPECT_TRUE(seen.empty());
}

TEST_F(InstanceBusTest, WaitForInputIdleKeepsWhatArrivesForAfterwards) {
  Join();
  const UINT id = RegisterWindowMessage("CV_Test_Wait");
  BusPeer peer(Folder(), "9000001.sock");
  // This process stands for the awaited one: it is alive, and the peer
  // speaks for it.
  const uint32_t awaited = uint32_t(getpid());
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({4242, "CV_Test_Wait", "before 1"})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({4242, "CV_Test_Wait", "before 2"})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({awaited, "CV_Instance_Ready", ""})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({4242, "CV_Test_Wait", "after"})));
  int wakes = 0;
  SetInstanceBusWakeHook([&] { ++wakes; });

  EXPECT_TRUE(WaitForInputIdle(int(awaited), 60000));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(wakes, 1);

  ProcessInstanceBus();
  EXPECT_EQ(seen, (std::vector<Seen>{{id, 4242, "before 1"}, {id, 4242, "before 2"}, {id, 4242, "after"}}));
  // The announcement was used up.
  EXPECT_FALSE(WaitForInputIdle(int(awaited), 1));
}

TEST_F(InstanceBusTest, WaitForInputIdleGivesUpOnAnEndedProcess) {
  Join();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  // Bounded by the limit, never by a clock in the test: an ended process
  // answers false long before.
  EXPECT_FALSE(WaitForInputIdle(child, 120000));
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_FALSE(WaitForInputIdle(child, 120000));  // reaped, no such process
}

TEST_F(InstanceBusTest, WaitForInputIdleWithTheBusOffAnswersAtOnce) {
  EXPECT_FALSE(WaitForInputIdle(getpid(), 120000));
}
