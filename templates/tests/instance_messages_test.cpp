#include "templates/instance_messages.h"

#include "platform/atoms.h"
#include "platform/clipboard.h"
#include "platform/instance_bus.h"
#include "testing/bus_peer.h"
#include "testing/log_capture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Sent {
  std::string message;
  std::string text;
  bool operator==(const Sent&) const = default;
};

// "Billing" padded to the 30 of the name field.
const std::string kBilling = "Billing" + std::string(23, ' ');

class RecordingClipboard : public ClipboardService {
 public:
  std::string Text() override {
    ++reads;
    return text;
  }
  void SetText(const std::string& value) override {
    ++writes;
    text = value;
  }
  std::string text;
  int reads = 0;
  int writes = 0;
};

// Every message reaches this instance's own handler before the send returns,
// so the handler sees exactly what every other instance gets. The bus points
// at a folder of the test's own and is never joined.
class InstanceMessagesTest : public TempDirTest {
 protected:
  void SetUp() override {
    ResetInstanceMessages();
    previous_clipboard = SetClipboardService(&clipboard);
    SetInstanceMessageHandler([this](UINT msg, WPARAM wParam, LPARAM lParam) {
      EXPECT_EQ(wParam, WPARAM(getpid()));
      sent.push_back({RegisteredMessageName(msg), GlobalGetAtomName(ATOM(lParam & 0xFFFF))});
    });
  }
  void TearDown() override {
    SetInstanceMessageHandler({});
    SetClipboardService(previous_clipboard);
    ResetInstanceMessages();
  }

  ScopedRuntimeDir runtime{Temp.path().string()};
  RecordingClipboard clipboard;
  ClipboardService* previous_clipboard = nullptr;
  std::vector<Sent> sent;
};

}  // namespace

TEST_F(InstanceMessagesTest, StatusTextsByCode) {
  MsgStatusUCodes = {"CL001", "CA00002", "E1"};
  struct Case {
    int code;
    std::string name;
    int n1, n2;
    std::string text;  // "" when nothing is sent
    int seq_after;
  };
  const Case cases[] = {
      {4, "Billing", 1, 2, "", 0},
      {-1, "Billing", 1, 2, "", 0},
      {7, "Billing", 4, 0, kBilling + "L4   0          1", 1},
      {5, "Billing", 9, 9, kBilling + "UCL001  CA00002E1  ", 2},
      {6, "Billing", 1, 2, kBilling + "S1   2          3", 3},
      {8, "Billing", 1, 2, kBilling + "X1   2          4", 4},
      {10, "0:01", 0, 0, "0:01" + std::string(26, ' ') + "T0   0          5", 5},
      {11, "Billing", 1, 2, kBilling + "V1   2          6", 6},
      {11, " - ", 1, 2, " - ", 7},
      {12, "Billing", 1, 2, kBilling + "P1   2          8", 8},
      {13, "Billing", 1, 2, kBilling + "Q1   2          9", 9},
      {14, "Billing ", 1, 2, "Billing ", 10},
      {6, "Billing", -12, 12345, kBilling + "S-12 12345      11", 11},
      {7, std::string(31, 'N'), 1, 2, std::string(31, 'N') + "L1   2         12", 12},
      {7, "Caf\xE9", 1, 2, "Caf\xE9" + std::string(26, ' ') + "L1   2         13", 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    sent.clear();
    EXPECT_EQ(SendHubMessage(c.code, c.name, c.n1, c.n2), !c.text.empty());
    const std::vector<Sent> expected =
        c.text.empty() ? std::vector<Sent>{} : std::vector<Sent>{{"CV_Message_Status", c.text}};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(MsgSeqNo, c.seq_after);
  }
  EXPECT_EQ(std::string(kBilling + "L4   0          1").size(), 47u);
}

TEST_F(InstanceMessagesTest, CommandAndGridTextsAndOneSequenceAcrossAllKinds) {
  SendChildMessage("Billing", "+", 3, "extra", "LIVEF", -7);
  SendChildNotice("Billing", "F", "SMITH", "x");
  SendHubMessage(5, "Billing", 0, 0);
  SendChildMessage("Billing", "A", 12345, "", "", 0);
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0], (Sent{"CV_Message_MNGR_Command",
                           kBilling + "+3   -7         1LIVEF" + std::string(67, ' ') + "extra" + std::string(15, ' ')}));
  EXPECT_EQ(sent[0].text.size(), 139u);
  EXPECT_EQ(sent[0].text.substr(47, 5), "LIVEF");  // positions 48-52
  EXPECT_EQ(sent[1], (Sent{"CV_Grid_Action", kBilling + "FSMITH" + std::string(67, ' ') + "x" + std::string(19, ' ')}));
  EXPECT_EQ(sent[1].text.size(), 123u);
  EXPECT_EQ(sent[2].text, kBilling + "U" + std::string(18, ' '));
  // The grid notice and status "U" counted though they do not show it.
  EXPECT_EQ(sent[3].text.substr(30, 18), "A123450          4");
  EXPECT_EQ(MsgSeqNo, 4);
}

TEST_F(InstanceMessagesTest, TheThreeMessagesAreRegisteredUnderTheirNames) {
  EXPECT_EQ(MsgStatus(), RegisterWindowMessage("CV_Message_Status"));
  EXPECT_EQ(MsgMngrCommand(), RegisterWindowMessage("cv_message_mngr_command"));
  EXPECT_EQ(MsgGridAction(), RegisterWindowMessage("CV_Grid_Action"));
}

TEST_F(InstanceMessagesTest, ATextOver255BytesIsCountedLoggedAndNotSent) {
  LogCapture log;
  EXPECT_FALSE(SendHubMessage(14, std::string(256, 'N'), 0, 0));
  EXPECT_FALSE(SendChildMessage(std::string(200, 'N'), "A", 0, "", "", 0));
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(MsgSeqNo, 2);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                             "message CV_Message_Status not sent: its text has 256 bytes, an atom holds 1-255",
                             "message CV_Message_MNGR_Command not sent: its text has 309 bytes, an atom holds 1-255",
                         }));
}

TEST_F(InstanceMessagesTest, ClosingWithoutAHubAlsoSendsCommandI) {
  EXPECT_TRUE(SendHubMessage(9, "Billing", 0, 0));
  EXPECT_EQ(sent, (std::vector<Sent>{
                      {"CV_Message_Status", kBilling + "I0   0          1"},
                      {"CV_Message_MNGR_Command", kBilling + "I0   0          2" + std::string(92, ' ')},
                  }));
}

TEST_F(InstanceMessagesTest, ClosingWithAHubOnTheBusSendsTheStatusAlone) {
  std::filesystem::create_directories(TempPath("corvenstead/bus"));
  BusPeer hub(TempPath("corvenstead/bus"), "hub.sock");
  EXPECT_TRUE(SendHubMessage(9, "Billing", 0, 0));
  EXPECT_EQ(sent, (std::vector<Sent>{{"CV_Message_Status", kBilling + "I0   0          1"}}));
}

TEST_F(InstanceMessagesTest, WithTraceOffTheClipboardIsNeverTouched) {
  clipboard.text = "kept";
  SendHubMessage(7, "Billing", 1, 2);
  SendHubMessage(9, "Billing", 1, 2);
  SendChildMessage("Billing", "A", 0, "", "", 0);
  SendChildNotice("Billing", "F", "", "");
  EXPECT_EQ(sent.size(), 5u);
  EXPECT_EQ(clipboard.reads, 0);
  EXPECT_EQ(clipboard.writes, 0);
  EXPECT_EQ(clipboard.text, "kept");
}

TEST_F(InstanceMessagesTest, TraceAddsALinePerStatusAndCommandMessage) {
  TraceMsgs = true;
  clipboard.text = "start";
  const std::string pid = std::to_string(getpid());
  SendHubMessage(7, "Billing", 1, 2);
  SendChildNotice("Billing", "F", "", "");
  SendChildMessage("Tax\xE9", "A", 0, "", "", 0);
  SendHubMessage(14, "Raw", 0, 0);
  EXPECT_EQ(clipboard.text, "start"
                            "\rL 1 (Msg to HUB) THROWN by " + pid + " for Billing"
                            "\rA 3 (Msg to CHILD) THROWN by " + pid + " for Tax\xE9"
                            "\r 4 (Msg to HUB) THROWN by " + pid + " for Raw");
  EXPECT_EQ(clipboard.writes, 3);
}

namespace {

DecodedInstanceMessage Decoded(InstanceMessageKind kind, const std::string& name, char command,
                               StatusUCodes codes = {"       ", "       ", "    "}, std::string liveness = "    ",
                               char focus = ' ') {
  return {kind, name, command, std::move(codes), std::move(liveness), focus};
}

}  // namespace

// What each sender writes reads back as it was given.
TEST_F(InstanceMessagesTest, DecodingReadsBackWhatTheSendersWrote) {
  MsgStatusUCodes = {"CL001", "CA00002", "E1"};
  const auto decodeLast = [this] {
    return DecodeInstanceMessage(RegisteredMessageId(sent.back().message), sent.back().text);
  };
  ASSERT_TRUE(SendHubMessage(5, "Billing", 0, 0));
  EXPECT_EQ(decodeLast(), Decoded(InstanceMessageKind::Status, "Billing", 'U', {"CL001  ", "CA00002", "E1  "}));
  // Its N1, N2 and sequence number fill 32-47; the codes read them as they stand.
  ASSERT_TRUE(SendHubMessage(10, "1:02:03", 1, 2));
  EXPECT_EQ(decodeLast(), Decoded(InstanceMessageKind::Status, "1:02:03", 'T', {"1   2  ", "       ", " 2  "}));
  ASSERT_TRUE(SendChildMessage("Billing", "+", 0, "", "LIVEF", 0));
  DecodedInstanceMessage plus = decodeLast();
  EXPECT_EQ(plus.Kind, InstanceMessageKind::MngrCommand);
  EXPECT_EQ(plus.Name, "Billing");
  EXPECT_EQ(plus.Command, '+');
  EXPECT_EQ(plus.Liveness, "LIVE");
  EXPECT_EQ(plus.FocusLetter, 'F');
  ASSERT_TRUE(SendChildNotice("Billing", "C", "", ""));
  EXPECT_EQ(decodeLast().Kind, InstanceMessageKind::GridAction);
  EXPECT_EQ(decodeLast().Command, 'C');
}

TEST_F(InstanceMessagesTest, DecodingTakesPositionsAndReadsBlanksPastAShortText) {
  const std::string name31 = std::string(30, 'N') + "X";
  struct Case {
    UINT kind;
    std::string text;
    DecodedInstanceMessage expected;
  };
  const Case cases[] = {
      {MsgStatus(), "", Decoded(InstanceMessageKind::Status, "", ' ')},
      {MsgStatus(), "Billing", Decoded(InstanceMessageKind::Status, "Billing", ' ')},
      {MsgStatus(), "  -  ", Decoded(InstanceMessageKind::Status, "-", ' ')},
      // A 31-byte name: its last byte is the command letter.
      {MsgStatus(), name31, Decoded(InstanceMessageKind::Status, std::string(30, 'N'), 'X')},
      {MsgStatus(), kBilling + "UCL1", Decoded(InstanceMessageKind::Status, "Billing", 'U', {"CL1    ", "       ", "    "})},
      {MsgStatus(), kBilling + "U       CA2    E9", Decoded(InstanceMessageKind::Status, "Billing", 'U', {"       ", "CA2    ", "E9  "})},
      {MsgStatus(), "Caf\xE9 \xA0" + std::string(24, ' ') + "V",
       Decoded(InstanceMessageKind::Status, "Caf\xE9 \xA0", 'V')},
      {MsgMngrCommand(), kBilling + "+" + std::string(16, ' ') + "LIV",
       Decoded(InstanceMessageKind::MngrCommand, "Billing", '+', {"       ", "       ", "  LI"}, "LIV ")},
      {MsgMngrCommand(), kBilling + "T", Decoded(InstanceMessageKind::MngrCommand, "Billing", 'T')},
      {MsgGridAction(), kBilling + "F", Decoded(InstanceMessageKind::GridAction, "Billing", 'F')},
      {RegisterWindowMessage("Some_Other_Message"), kBilling + "A", Decoded(InstanceMessageKind::Other, "Billing", 'A')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecodeInstanceMessage(c.kind, c.text), c.expected);
  }
}
