// The bus between real processes: `mdmsg listen` members, the test as the
// sender. Each test has a bus folder of its own.
#include "templates/instance_messages.h"

#include "platform/atoms.h"
#include "platform/bus_datagram.h"
#include "platform/instance_bus.h"
#include "templates/tests/bus/child_process.h"
#include "testing/bus_peer.h"
#include "testing/log_capture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kBilling = "Billing" + std::string(23, ' ');

// One `mdmsg listen`; its message lines come back without their time.
class Listener {
 public:
  Listener(const ScopedTempDir& temp, const std::string& name, bool hub = false)
      : process_(hub ? std::vector<std::string>{MDMSG_PATH, "listen", "--hub"}
                     : std::vector<std::string>{MDMSG_PATH, "listen"},
                 temp / (name + ".out"), temp / (name + ".err")),
        folder_(temp / "corvenstead/bus"),
        hub_(hub) {}

  ChildProcess& Process() { return process_; }
  std::string Socket() const { return folder_ + "/" + (hub_ ? "hub" : std::to_string(process_.Pid())) + ".sock"; }

  bool WaitListening() {
    return PollUntil([&] {
      const auto lines = process_.OutLines();
      return !lines.empty() && lines[0].starts_with("listening in ");
    });
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    const auto lines = process_.OutLines();
    for (std::size_t i = 1; i < lines.size(); ++i) messages.push_back(lines[i].substr(lines[i].find(' ') + 1));
    return messages;
  }
  bool WaitMessages(std::size_t count) {
    return PollUntil([&] { return Messages().size() >= count; });
  }

 private:
  ChildProcess process_;
  std::string folder_;
  bool hub_;
};

// How a listener shows a message: the text, then split at 30 and 31. The
// parts are given as shown (UTF-8, escaped).
std::string Shown(const std::string& message, pid_t sender, const std::string& name, const std::string& letter,
                  const std::string& rest) {
  return message + " from " + std::to_string(sender) + " \"" + name + letter + rest + "\" name \"" + name +
         "\" letter \"" + letter + "\" rest \"" + rest + "\"";
}

class BusProcessesTest : public TempDirTest {
 protected:
  void SetUp() override {
    ResetInstanceMessages();
    ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
    SetInstanceMessageHandler([this](UINT, WPARAM, LPARAM lParam) {
      own.push_back(GlobalGetAtomName(ATOM(lParam & 0xFFFF)));
    });
  }
  void TearDown() override {
    CloseInstanceBus();
    SetInstanceMessageHandler({});
  }

  std::vector<std::unique_ptr<Listener>> StartListeners(int count) {
    std::vector<std::unique_ptr<Listener>> listeners;
    for (int i = 1; i <= count; ++i)
      listeners.push_back(std::make_unique<Listener>(Temp, "listener" + std::to_string(i)));
    for (auto& listener : listeners) EXPECT_TRUE(listener->WaitListening());
    return listeners;
  }

  // Runs `mdmsg send ...`; its exit status, its stderr in `err`.
  int RunSend(const std::vector<std::string>& args, std::vector<std::string>* err = nullptr) {
    std::vector<std::string> argv{MDMSG_PATH, "send"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess sender(argv, TempPath("send.out"), TempPath("send.err"));
    const int status = sender.Wait();
    if (err) *err = sender.ErrLines();
    return status;
  }

  std::string Status7(int seq) const {
    const std::string number = std::to_string(seq);
    return Shown("CV_Message_Status", getpid(), kBilling, "L", "4   0   " + std::string(8 - number.size(), ' ') + number);
  }

  ScopedRuntimeDir runtime{Temp.path().string()};
  std::vector<std::string> own;
};

}  // namespace

TEST_F(BusProcessesTest, EveryListenerGetsEveryMessageInOrderByteForByte) {
  auto listeners = StartListeners(3);

  SendHubMessage(7, "Billing", 4, 0);
  EXPECT_EQ(own.size(), 1u);  // the own handler ran before the send returned
  SendChildMessage("Caf\xE9", "+", 1, "x", "LIVEF", -2);
  EXPECT_EQ(own.size(), 2u);
  SendChildNotice("Billing", "F", "SMITH\t\"", "");
  EXPECT_EQ(own.size(), 3u);
  SendHubMessage(14, "-", 0, 0);
  EXPECT_EQ(own.size(), 4u);

  const pid_t me = getpid();
  const std::vector<std::string> expected = {
      Status7(1),
      Shown("CV_Message_MNGR_Command", me, "Caf\xC3\xA9" + std::string(26, ' '), "+",
            "1   -2  " + std::string(7, ' ') + "2LIVEF" + std::string(67, ' ') + "x" + std::string(19, ' ')),
      Shown("CV_Grid_Action", me, kBilling, "F", "SMITH\\t\\\"" + std::string(65, ' ') + std::string(20, ' ')),
      Shown("CV_Message_Status", me, "-", "", ""),
  };
  for (auto& listener : listeners) {
    ASSERT_TRUE(listener->WaitMessages(expected.size()));
    EXPECT_EQ(listener->Messages(), expected);
  }

  // Ctrl-C: the listener leaves cleanly and takes its socket with it.
  listeners[0]->Process().Signal(SIGINT);
  EXPECT_EQ(listeners[0]->Process().Wait(), 0);
  EXPECT_FALSE(fs::exists(listeners[0]->Socket()));
}

TEST_F(BusProcessesTest, AKilledListenersSocketGoesAtTheNextSendAndTheOthersAreServed) {
  auto listeners = StartListeners(2);
  listeners[0]->Process().Signal(SIGKILL);
  listeners[0]->Process().Wait();
  ASSERT_TRUE(fs::exists(listeners[0]->Socket()));

  SendHubMessage(7, "Billing", 4, 0);

  EXPECT_FALSE(fs::exists(listeners[0]->Socket()));
  ASSERT_TRUE(listeners[1]->WaitMessages(1));
  EXPECT_EQ(listeners[1]->Messages(), std::vector<std::string>{Status7(1)});
}

TEST_F(BusProcessesTest, AStoppedListenerNeverHoldsUpTheSenderAndGetsTheFirstMessagesAfterwards) {
  auto listeners = StartListeners(2);
  Listener& stopped = *listeners[0];
  Listener& running = *listeners[1];
  stopped.Process().Signal(SIGSTOP);
  LogCapture log;
  constexpr int kSent = 30;
  std::vector<std::string> expected;
  for (int i = 1; i <= kSent; ++i) {
    SendHubMessage(7, "Billing", 4, 0);  // a blocking send would hang here; the ctest timeout guards
    expected.push_back(Status7(i));
    // Paced by the running listener, so that only the stopped one's queue fills.
    ASSERT_TRUE(running.WaitMessages(std::size_t(i)));
  }
  EXPECT_EQ(running.Messages(), expected);

  const std::size_t dropped = log.CountContaining("message dropped: the queue of " + std::to_string(stopped.Process().Pid()) + ".sock is full");
  EXPECT_EQ(dropped, log.Lines().size());
  ASSERT_GT(dropped, 0u);
  ASSERT_LT(dropped, std::size_t(kSent));
  stopped.Process().Signal(SIGCONT);
  const std::size_t kept = kSent - dropped;
  ASSERT_TRUE(stopped.WaitMessages(kept));
  EXPECT_EQ(stopped.Messages(), std::vector<std::string>(expected.begin(), expected.begin() + long(kept)));
  EXPECT_TRUE(fs::exists(stopped.Socket()));
}

TEST_F(BusProcessesTest, ClosingRelaysCommandIOnlyWhileNoHubIsOnTheBus) {
  auto listeners = StartListeners(1);
  Listener& plain = *listeners[0];
  const pid_t me = getpid();
  const std::string status_i = Shown("CV_Message_Status", me, kBilling, "I", "0   0   " + std::string(7, ' ') + "1");
  const std::string command_i =
      Shown("CV_Message_MNGR_Command", me, kBilling, "I", "0   0   " + std::string(7, ' ') + "2" + std::string(92, ' '));

  SendHubMessage(9, "Billing", 0, 0);
  ASSERT_TRUE(plain.WaitMessages(2));
  EXPECT_EQ(plain.Messages(), (std::vector<std::string>{status_i, command_i}));

  Listener hub(Temp, "hub", true);
  ASSERT_TRUE(hub.WaitListening());
  Listener second_hub(Temp, "hub2", true);
  EXPECT_EQ(second_hub.Process().Wait(), 1);
  EXPECT_EQ(second_hub.Process().ErrLines(), std::vector<std::string>{"mdmsg: a live hub is already on the bus"});

  ResetInstanceMessages();
  SendHubMessage(9, "Billing", 0, 0);
  SendHubMessage(7, "Billing", 4, 0);  // marks the end: nothing came between
  ASSERT_TRUE(plain.WaitMessages(4));
  EXPECT_EQ(plain.Messages(), (std::vector<std::string>{status_i, command_i, status_i, Status7(2)}));
  ASSERT_TRUE(hub.WaitMessages(2));
  EXPECT_EQ(hub.Messages(), (std::vector<std::string>{status_i, Status7(2)}));
}

TEST_F(BusProcessesTest, MdmsgSendCallsTheSendersAndRefusesBadArguments) {
  auto listeners = StartListeners(2);
  ASSERT_EQ(RunSend({"status", "7", "Billing", "4", "0"}), 0);
  ASSERT_EQ(RunSend({"raw", "CV_Message_Status", "caf\xC3\xA9\x01"}), 0);
  ASSERT_EQ(RunSend({"grid", "Billing", "C"}), 0);
  for (auto& listener : listeners) {
    ASSERT_TRUE(listener->WaitMessages(3));
    const auto messages = listener->Messages();
    const std::string text47 = kBilling + "L4   0          1";
    EXPECT_NE(messages[0].find("\"" + text47 + "\" name"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find(" \"caf\xC3\xA9\\x01\" name \"caf\xC3\xA9\\x01\" letter \"\" rest \"\""), std::string::npos)
        << messages[1];
    EXPECT_NE(messages[2].find("CV_Grid_Action"), std::string::npos);
  }

  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"status", "7"}, "mdmsg: usage: mdmsg send status CODE NAME [N1 N2]"},
      {{"status", "7", "B", "1", "2", "3"}, "mdmsg: usage: mdmsg send status CODE NAME [N1 N2]"},
      {{"status", "seven", "Billing"}, "mdmsg: 'seven' is not a number"},
      {{"status", "4", "Billing"}, "mdmsg: status codes below 5 send nothing"},
      {{"status", "14", std::string(256, 'N')},
       "mdmsg: message CV_Message_Status not sent: its text has 256 bytes, an atom holds 1-255"},
      {{"command", "Billing", "AB"}, "mdmsg: CMD must be one character"},
      {{"grid", "\xE4\xB8\xAD", "F"}, "mdmsg: '\xE4\xB8\xAD' cannot be sent: The character U+4E2D cannot be stored"},
      {{"raw", "CV_Message_Status", std::string(256, 't')}, "mdmsg: the text has 256 bytes, at most 255 travel"},
      {{"post", "x"}, "mdmsg: usage: mdmsg send status|command|grid|raw ..."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> err;
    EXPECT_EQ(RunSend(c.args, &err), 2) << c.err;
    EXPECT_EQ(err, std::vector<std::string>{c.err});
  }
  // Nothing of those arrived; the next message does.
  ASSERT_EQ(RunSend({"status", "8", "After"}), 0);
  for (auto& listener : listeners) {
    ASSERT_TRUE(listener->WaitMessages(4));
    EXPECT_EQ(listener->Messages().size(), 4u);
    EXPECT_NE(listener->Messages()[3].find("\"After"), std::string::npos);
  }
}

TEST_F(BusProcessesTest, AListenerDropsBadDatagramsAndKeepsWorking) {
  auto listeners = StartListeners(1);
  Listener& listener = *listeners[0];
  BusPeer peer(TempPath("corvenstead/bus"), "9000001.sock");
  // The peer lives in this process: its datagrams speak for it, but one.
  const uint32_t me = uint32_t(getpid());
  const std::string good = EncodeBusDatagram({me, "CV_Message_Status", "good"});
  const std::vector<std::string> bad = {
      "CVM9" + good.substr(4),
      good.substr(0, 14),
      std::string("CVM1\x92\x10\0\0\x11", 9) + "CV_Message_Status" + std::string("\x00\x01", 2) + std::string(256, 't'),
      EncodeBusDatagram({me, "CV_Unknown", "nobody listens"}),
      EncodeBusDatagram({4242, "CV_Message_Status", "spoofed"}),
  };
  for (const std::string& bytes : bad) ASSERT_TRUE(peer.SendTo(listener.Socket(), bytes));
  ASSERT_TRUE(peer.SendTo(listener.Socket(), good));
  ASSERT_TRUE(listener.WaitMessages(1));
  EXPECT_EQ(listener.Messages(), std::vector<std::string>{"CV_Message_Status from " + std::to_string(me) +
                                                          " \"good\" name \"good\" letter \"\" rest \"\""});
  EXPECT_EQ(listener.Process().ErrLines(),
            (std::vector<std::string>{
                "mdmsg: instance message dropped: datagram without the bus tag",
                "mdmsg: instance message dropped: datagram with a bad name length",
                "mdmsg: instance message dropped: datagram with a bad text length",
                "mdmsg: instance message dropped: sent by process " + std::to_string(me) + " in the name of 4242",
            }));
}

TEST_F(BusProcessesTest, MdmsgHelpGoesToStdoutAndAWrongCommandLineToStderr) {
  const auto run = [&](const std::vector<std::string>& args, std::vector<std::string>& out,
                       std::vector<std::string>& err) {
    std::vector<std::string> argv{MDMSG_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess mdmsg(argv, TempPath("mdmsg.out"), TempPath("mdmsg.err"));
    const int status = mdmsg.Wait();
    out = mdmsg.OutLines();
    err = mdmsg.ErrLines();
    return status;
  };
  std::vector<std::string> usage, out, err;
  ASSERT_EQ(run({"--help"}, usage, err), 0);
  EXPECT_TRUE(err.empty());
  ASSERT_FALSE(usage.empty());
  EXPECT_EQ(usage[0], "usage: mdmsg listen [--hub]");
  EXPECT_EQ(usage[5], "       mdmsg --help");

  EXPECT_EQ(run({"-h"}, out, err), 0);
  EXPECT_EQ(out, usage);
  EXPECT_TRUE(err.empty());

  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> first;  // what comes before the usage on stderr
  };
  const Case cases[] = {
      {{}, {}},
      {{"bogus"}, {"mdmsg: unknown command 'bogus'"}},
      {{"--hlep"}, {"mdmsg: unknown command '--hlep'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    std::vector<std::string> expected = c.first;
    expected.insert(expected.end(), usage.begin(), usage.end());
    EXPECT_EQ(run(c.args, out, err), 2);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(err, expected);
  }
}
