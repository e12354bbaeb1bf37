#include "platform/window_messages.h"

#include "platform/atoms.h"
#include "testing/log_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Seen {
  UINT msg;
  WPARAM sender;
  std::string text;
};

// Records what the handler saw, reading the atom during the call as the
// main form does.
class WindowMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetInstanceMessageHandler([this](UINT msg, WPARAM wParam, LPARAM lParam) {
      seen.push_back({msg, wParam, GlobalGetAtomName(ATOM(lParam & 0xFFFF))});
      atoms.push_back(ATOM(lParam & 0xFFFF));
    });
  }
  void TearDown() override { SetInstanceMessageHandler({}); }

  std::vector<Seen> seen;
  std::vector<ATOM> atoms;
};

}  // namespace

TEST(RegisterWindowMessageTest, SameNameInAnyCaseGivesTheSameId) {
  const UINT id = RegisterWindowMessage("CV_Test_Case");
  EXPECT_GE(id, 0xC000u);
  EXPECT_LE(id, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("cv_test_CASE"), id);
  EXPECT_EQ(RegisterWindowMessage("CV_T\xC9ST"), RegisterWindowMessage("cv_t\xE9st"));
  EXPECT_NE(RegisterWindowMessage("CV_Test_Other"), id);
  EXPECT_EQ(RegisteredMessageName(id), "CV_Test_Case");  // as first spelled
  EXPECT_EQ(RegisteredMessageId("CV_TEST_CASE"), id);
}

TEST(RegisterWindowMessageTest, RefusesNamesThatCannotTravel) {
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  EXPECT_EQ(RegisterWindowMessage(std::string(256, 'N')), 0u);
  EXPECT_NE(RegisterWindowMessage(std::string(255, 'N')), 0u);
  EXPECT_EQ(RegisteredMessageId("CV_Never_Registered"), 0u);
  EXPECT_EQ(RegisteredMessageName(0x1234), "");
}

TEST_F(WindowMessagesTest, BroadcastRunsTheOwnHandlerBeforeReturning) {
  const UINT id = RegisterWindowMessage("CV_Test_Own");
  const ATOM atom = GlobalAddAtom("Billing\xE9");
  EXPECT_EQ(SendMessage(HWND_BROADCAST, id, MainWindowHandle(), atom), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].msg, id);
  EXPECT_EQ(seen[0].sender, WPARAM(getpid()));
  EXPECT_EQ(seen[0].text, "Billing\xE9");
  EXPECT_EQ(GlobalGetAtomName(atom), "Billing\xE9");  // the sender deletes its own atom
  GlobalDeleteAtom(atom);
}

TEST_F(WindowMessagesTest, NothingIsSentToOneWindowOrForAnUnregisteredId) {
  LogCapture log;
  const UINT id = RegisterWindowMessage("CV_Test_Own");
  SendMessage(HWND(1234), id, MainWindowHandle(), 0);
  SendMessage(HWND_BROADCAST, 0xBEEF, MainWindowHandle(), 0);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"message 48879 is not registered; not sent"});
}

TEST_F(WindowMessagesTest, AFailingHandlerIsLoggedAndTheNextMessageStillArrives) {
  LogCapture log;
  const UINT id = RegisterWindowMessage("CV_Test_Throw");
  SetInstanceMessageHandler([](UINT, WPARAM, LPARAM) { throw std::runtime_error("boom"); });
  SendMessage(HWND_BROADCAST, id, MainWindowHandle(), 0);
  SetInstanceMessageHandler([](UINT, WPARAM, LPARAM) { throw 42; });
  DeliverInstanceMessage(id, 77, "x");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"instance message handler failed: boom",
                                                   "instance message handler failed"}));
  SetUp();
  DeliverInstanceMessage(id, 77, "after");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "after");
}

TEST_F(WindowMessagesTest, DeliveryLendsTheTextAsAnAtomForTheCallOnly) {
  const UINT id = RegisterWindowMessage("CV_Test_Deliver");
  DeliverInstanceMessage(id, 4242, std::string("a\0b", 3));
  DeliverInstanceMessage(id, 4243, "");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].sender, 4242u);
  EXPECT_EQ(seen[0].text, std::string("a\0b", 3));
  EXPECT_EQ(GlobalGetAtomName(atoms[0]), "");  // deleted after the call
  EXPECT_EQ(atoms[1], 0);                      // no text, no atom
}
