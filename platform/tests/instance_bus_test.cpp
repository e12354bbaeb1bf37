#include "platform/instance_bus.h"

#include "platform/atoms.h"
#include "platform/bus_datagram.h"
#include "platform/window_messages.h"
#include "testing/bus_peer.h"
#include "testing/log_capture.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"
#include "testing/watchdog.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
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
      std::this_thread::sleep_for(handler_work);
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

  // Everything waiting, over as many batches as it takes.
  void DeliverAll() {
    while (ProcessInstanceBus()) {
    }
  }

  // The texts seen so far, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Seen& s : seen) texts.push_back(s.text);
    return texts;
  }

  Watchdog watchdog;
  ScopedRuntimeDir runtime{Temp.path().string()};
  std::vector<Seen> seen;
  std::chrono::microseconds handler_work{0};  // how long the handler takes
};

// "1", "2", ... "n": the texts of a flood's first n messages.
std::vector<std::string> Numbered(uint32_t first, uint32_t last) {
  std::vector<std::string> texts;
  for (uint32_t i = first; i <= last; ++i) texts.push_back(std::to_string(i));
  return texts;
}

// A child that does nothing until killed, standing for an instance that
// never announces: alive, so a wait for it runs to its limit.
class IdleChild {
 public:
  IdleChild() : pid_(fork()) {
    if (pid_ == 0) {
      pause();
      _exit(0);
    }
  }
  ~IdleChild() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  IdleChild(const IdleChild&) = delete;
  IdleChild& operator=(const IdleChild&) = delete;
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_;
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

TEST_F(InstanceBusTest, WithoutARuntimeFolderTheBusLivesInTheUsersStateFolder) {
  const std::string home = TempPath("home");
  fs::create_directory(home);
  passwd entry{}, *found = nullptr;
  char buffer[16384];
  ASSERT_EQ(getpwuid_r(geteuid(), &entry, buffer, sizeof(buffer), &found), 0);
  ASSERT_NE(found, nullptr);
  const std::string database_home = found->pw_dir;
  using Env = std::optional<std::string>;
  struct Case {
    Env runtime, state, home;
    std::string folder;  // "" when none
  };
  const Case cases[] = {
      {TempPath("run"), TempPath("state"), home, TempPath("run") + "/corvenstead/bus"},
      {std::nullopt, TempPath("state"), home, TempPath("state") + "/corvenstead/bus"},
      {std::nullopt, std::nullopt, home, home + "/.local/state/corvenstead/bus"},
      // Relative XDG folders name nothing; the home is used instead.
      {"run", "state", home, home + "/.local/state/corvenstead/bus"},
      {"", "", home, home + "/.local/state/corvenstead/bus"},
      {std::nullopt, std::nullopt, std::nullopt, database_home + "/.local/state/corvenstead/bus"},
      {std::nullopt, std::nullopt, "", ""},
      {std::nullopt, std::nullopt, "home", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.runtime.value_or("(unset)") + " " + c.state.value_or("(unset)") + " " + c.home.value_or("(unset)"));
    ScopedEnv runtime_dir("XDG_RUNTIME_DIR", c.runtime), state("XDG_STATE_HOME", c.state), home_dir("HOME", c.home);
    EXPECT_EQ(InstanceBusFolder(), c.folder);
  }

  // Joining makes the missing folders, private to the user.
  ScopedEnv runtime_dir("XDG_RUNTIME_DIR", std::nullopt), state("XDG_STATE_HOME", std::nullopt), home_dir("HOME", home);
  Join();
  for (const char* level : {"/.local", "/.local/state", "/.local/state/corvenstead", "/.local/state/corvenstead/bus"})
    EXPECT_EQ(ModeOf(home + level) & 0777, 0700u) << level;
  EXPECT_TRUE(S_ISSOCK(ModeOf(home + "/.local/state/corvenstead/bus/" + std::to_string(getpid()) + ".sock")));
  CloseInstanceBus();

  // No home of the user's: the bus stays off and says why.
  for (const auto& [value, why] : {std::pair<std::string, std::string>{"", "HOME is empty"},
                                   {"home", "HOME (\"home\") is a relative path"}}) {
    ScopedEnv bad_home("HOME", value);
    LogCapture log;
    EXPECT_EQ(OpenInstanceBus(), BusJoin::Off);
    EXPECT_EQ(log.Lines(),
              std::vector<std::string>{"instance messages are off: no runtime or state folder is set and " + why});
    EXPECT_FALSE(HubOnInstanceBus());
  }
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
  // The runtime folder and, without one, the state folder: each holds
  // corvenstead/bus.
  for (const Case& c : cases)
    for (const char* base : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
      SCOPED_TRACE(std::string(c.name) + " in " + base);
      ScopedTempDir base_dir;
      ScopedEnv no_runtime("XDG_RUNTIME_DIR", std::nullopt);
      ScopedEnv point(base, base_dir.path().string());
      c.prepare(base_dir / "corvenstead", base_dir / "elsewhere");
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

TEST_F(InstanceBusTest, AFolderSquattedByAnotherUserIsRefusedWithAMessage) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a folder for another user (uid 12345)";
  // Made first by someone else, private to them: the runtime folder's or the
  // state folder's, at either level.
  for (const char* base : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME"})
    for (const std::string level : {"corvenstead", "corvenstead/bus"}) {
      SCOPED_TRACE(std::string(base) + " " + level);
      ScopedTempDir base_dir;
      ScopedEnv no_runtime("XDG_RUNTIME_DIR", std::nullopt);
      ScopedEnv point(base, base_dir.path().string());
      fs::create_directories(base_dir / level);
      chmod((base_dir / "corvenstead").c_str(), 0700);
      chmod((base_dir / level).c_str(), 0700);
      ASSERT_EQ(chown((base_dir / level).c_str(), 12345, 12345), 0);
      LogCapture log;
      EXPECT_EQ(OpenInstanceBus(), BusJoin::Off);
      EXPECT_EQ(log.Lines(), std::vector<std::string>{"instance messages are off: the folder " + (base_dir / level) +
                                                      " belongs to another user"});
      EXPECT_FALSE(InstanceBusOpen());
    }
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
  // Each datagram speaks for this process, which sends it.
  const uint32_t me = uint32_t(getpid());
  const std::string good = EncodeBusDatagram({me, "cv_test_receive", "one"});
  send(good);
  send("CVM2" + good.substr(4));                                // wrong magic
  send(good.substr(0, good.size() - 1));                        // truncated
  send(std::string("CVM1\x01\0\0\0\x01X\x00\x01", 12) + std::string(256, 't'));  // 256-byte text
  send(std::string(600, 'C'));                                  // oversized
  send(EncodeBusDatagram({me, "CV_Not_Registered", "nobody"}));
  send(EncodeBusDatagram({me, "CV_Test_Receive", "two\xE9"}));
  send(EncodeBusDatagram({me, "CV_Test_Receive", ""}));
  LogCapture log;

  DeliverAll();

  EXPECT_EQ(seen, (std::vector<Seen>{{id, me, "one"}, {id, me, "two\xE9"}, {id, me, ""}}));
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
  ASSERT_TRUE(peer.SendTo(OwnSocket(), Wire("CV_Instance_Ready", "")));
  DeliverAll();
  EXPECT_TRUE(seen.empty());
}

TEST_F(InstanceBusTest, WaitForInputIdleKeepsWhatArrivesForAfterwards) {
  Join();
  const UINT id = RegisterWindowMessage("CV_Test_Wait");
  BusPeer peer(Folder(), "9000001.sock");
  // This process stands for the awaited one: it is alive, and the peer
  // speaks for it.
  const uint32_t awaited = uint32_t(getpid());
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({awaited, "CV_Test_Wait", "before 1"})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({awaited, "CV_Test_Wait", "before 2"})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({awaited, "CV_Instance_Ready", ""})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({awaited, "CV_Test_Wait", "after"})));
  int wakes = 0;
  SetInstanceBusWakeHook([&] { ++wakes; });

  EXPECT_TRUE(WaitForInputIdle(int(awaited), 60000));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(wakes, 1);

  DeliverAll();
  EXPECT_EQ(seen, (std::vector<Seen>{{id, awaited, "before 1"}, {id, awaited, "before 2"}, {id, awaited, "after"}}));
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

TEST_F(InstanceBusTest, ADatagramSpeakingForAnotherProcessIsDroppedReadyIncluded) {
  Join();
  const UINT id = RegisterWindowMessage("CV_Test_Spoof");
  IdleChild awaited;
  ASSERT_GT(awaited.Pid(), 0);
  BusPeer peer(Folder(), "9000001.sock");
  const uint32_t me = uint32_t(getpid()), other = uint32_t(awaited.Pid());
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({other, "CV_Instance_Ready", ""})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({other, "CV_Test_Spoof", "false"})));
  ASSERT_TRUE(peer.SendTo(OwnSocket(), EncodeBusDatagram({me, "CV_Test_Spoof", "true"})));
  LogCapture log;

  // The false "ready" does not end the wait: only the limit does.
  EXPECT_FALSE(WaitForInputIdle(awaited.Pid(), 300));
  DeliverAll();

  EXPECT_EQ(seen, (std::vector<Seen>{{id, me, "true"}}));
  const std::string why = "instance message dropped: sent by process " + std::to_string(me) + " in the name of " +
                          std::to_string(other);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{why, why}));
}

TEST_F(InstanceBusTest, ADatagramFromAnotherUserIsDropped) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to send as another user (uid 12345)";
  Join();
  const UINT id = RegisterWindowMessage("CV_Test_Stranger");
  // Connected while still root, so that the stranger needs no way into the
  // private folder: the kernel names the user at the send.
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  const sockaddr_un address = BusPeer::AddressOf(OwnSocket());
  ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  const std::string bytes = Wire("CV_Test_Stranger", "stranger");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool sent = setresgid(12345, 12345, 12345) == 0 && setresuid(12345, 12345, 12345) == 0 &&
                      send(fd, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size());
    _exit(sent ? 0 : 1);
  }
  close(fd);
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(status, 0);
  BusPeer peer(Folder(), "9000001.sock");
  ASSERT_TRUE(peer.SendTo(OwnSocket(), Wire("CV_Test_Stranger", "own")));
  LogCapture log;

  DeliverAll();

  EXPECT_EQ(seen, (std::vector<Seen>{{id, WPARAM(getpid()), "own"}}));
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"instance message dropped: sent by user 12345, not this one"});
}

TEST_F(InstanceBusTest, OneTurnServesABoundedBatchUnderASteadySender) {
  Join();
  RegisterWindowMessage("CV_Test_Flood");
  // A handler with some work to do, as the program's have: the flood keeps
  // its queue full.
  handler_work = std::chrono::microseconds(100);
  BusFlood flood(OwnSocket(), "CV_Test_Flood");
  // Turns as the event loop takes them, while the socket is readable, until
  // one stops at its bound with the flood still coming. Without a bound the
  // first turn would serve the flood until it ends.
  bool stopped_at_bound = false;
  for (int turn = 0; turn < 1000 && !stopped_at_bound; ++turn) {
    pollfd readable{InstanceBusDescriptor(), POLLIN, 0};
    ASSERT_EQ(poll(&readable, 1, 20000), 1);
    const std::size_t before = seen.size();
    stopped_at_bound = ProcessInstanceBus();
    ASSERT_LE(seen.size() - before, 256u);
  }
  flood.Stop();
  EXPECT_TRUE(stopped_at_bound);
  // Nothing was lost or reordered between turns.
  DeliverAll();
  EXPECT_EQ(Texts(), Numbered(1, flood.Sent()));
}

// Runs `wait` and says how long it took.
template <typename Wait>
std::chrono::milliseconds Timed(Wait wait) {
  const auto start = std::chrono::steady_clock::now();
  wait();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

// The wait's own bound on how long past its limit it may run, even while
// messages keep coming.
constexpr unsigned kWaitLimit = 1000;
constexpr long long kWaitOverrun = 100;

TEST_F(InstanceBusTest, WaitForInputIdleUnderASteadySenderBoundsWhatItKeeps) {
  Join();
  RegisterWindowMessage("CV_Test_Flood");
  IdleChild awaited;
  ASSERT_GT(awaited.Pid(), 0);
  BusFlood flood(OwnSocket(), "CV_Test_Flood");
  LogCapture log;

  const auto took = Timed([&] { EXPECT_FALSE(WaitForInputIdle(awaited.Pid(), kWaitLimit)); });
  flood.Stop();

  EXPECT_LT(took.count(), kWaitLimit + kWaitOverrun);
  ASSERT_EQ(log.Lines().size(), 1u);
  const std::string& line = log.Lines()[0];
  const std::string tail = " instance messages dropped: more than 1024 arrived while waiting for process " +
                           std::to_string(awaited.Pid());
  ASSERT_TRUE(line.ends_with(tail)) << line;
  const uint32_t dropped = uint32_t(std::stoul(line.substr(0, line.size() - tail.size())));
  ASSERT_GT(dropped, 0u);

  // What was kept comes first: exactly the first 1024, then the flood goes
  // on after those that were dropped.
  DeliverAll();
  ASSERT_GE(seen.size(), kInstanceBusMaxKept);
  const std::vector<std::string> texts = Texts();
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + kInstanceBusMaxKept),
            Numbered(1, uint32_t(kInstanceBusMaxKept)));
  EXPECT_EQ(std::vector<std::string>(texts.begin() + kInstanceBusMaxKept, texts.end()),
            Numbered(uint32_t(kInstanceBusMaxKept) + dropped + 1, flood.Sent()));
}

TEST_F(InstanceBusTest, WaitForInputIdleKeepsItsLimitWhileAFloodOutpacesItsReading) {
  Join();
  IdleChild awaited;
  ASSERT_GT(awaited.Pid(), 0);
  // False datagrams, each costing the reader a log line on a slow terminal:
  // the flood refills the queue faster than the wait empties it.
  std::size_t logged = 0;
  LogSink previous = SetLogSink([&](std::string_view) {
    ++logged;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  });
  BusFlood flood(OwnSocket(), "CV_Test_Flood", std::chrono::seconds(5), uint32_t(awaited.Pid()));

  const auto took = Timed([&] { EXPECT_FALSE(WaitForInputIdle(awaited.Pid(), kWaitLimit)); });
  flood.Stop();
  SetLogSink(std::move(previous));

  EXPECT_LT(took.count(), kWaitLimit + kWaitOverrun);
  EXPECT_GT(logged, 0u);
}
