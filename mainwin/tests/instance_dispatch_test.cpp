#include "mainwin/instance_dispatch.h"

#include "platform/format.h"
#include "testing/log_capture.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Role { Plain, Parent, Child, Single };

// The screens as plain state; every command is one line in Calls.
class FakeTarget : public TInstanceTarget {
public:
  bool Open = true;
  bool Ending = false;
  std::string Template = "Billing";
  Role Kind = Role::Plain;
  bool Registered = false;
  std::set<std::string> Buttons;
  size_t ButtonRoom = 3;
  bool BarVisible = true;
  bool QeExists = false;
  bool QeVisible = false;
  std::array<TKeyFieldRole, 3> Roles{TKeyFieldRole::Client, TKeyFieldRole::Case, TKeyFieldRole::None};
  std::vector<std::string> Calls;
  // Runs inside the named call, before it returns.
  std::function<void(const std::string&)> During;

  bool EntryScreenOpen() const override { return Open; }
  bool Terminating() const override { return Ending; }
  std::string TemplateName() const override { return Template; }
  bool IsChildApp() const override { return Kind == Role::Child; }
  bool SingleTemplateMode() const override { return Kind == Role::Single; }
  bool OwnEntryRegistered() const override { return Registered; }
  bool HasChildButton(const std::string& Name) const override { return Buttons.count(Name) > 0; }
  bool StatusBarVisible() const override { return BarVisible; }
  bool QuickEntryExists() const override { return QeExists; }
  bool QuickEntryVisible() const override { return QeVisible; }
  std::array<TKeyFieldRole, 3> KeyFieldRoles() const override { return Roles; }

  void BringToFront() override { Call("front"); }
  void MinimizeAndRestore() override { Call("minimize+restore"); }
  void FocusEntryScreen() override { Call("focus entry"); }
  void MarkChildButton(const std::string& Name, bool Indeterminate) override {
    Call((Indeterminate ? "mark " : "unmark ") + Name);
  }
  bool AddChildButton(const std::string& Name) override {
    if (Buttons.size() >= ButtonRoom) return false;
    Buttons.insert(Name);
    Call("add " + Name);
    return true;
  }
  void ClearOwnEntryRegistered() override {
    Registered = false;
    Call("unregister");
  }
  void EndChild() override { Call("end child"); }
  void ShowStatusBar() override { Call("show bar"); }
  void SetStatusPanel(int I, const std::string& Text) override { Call("panel " + std::to_string(I) + " " + Text); }
  void StopStopwatches() override { Call("stop stopwatches"); }
  void ShowPauseButton() override { Call("show pause"); }
  void PauseEntryStopwatch() override { Call("pause entry"); }
  void PauseQuickEntry() override { Call("pause qe"); }
  void OpenQuickEntry() override { Call("open qe"); }
  void SetQuickEntryRunning(bool Running) override { Call(Running ? "qe running" : "qe not running"); }
  void ShowQuickEntryButton() override { Call("show qe button"); }
  void ShowEntryScreen() override { Call("show entry"); }
  void RestoreQuickEntry() override { Call("restore qe"); }
  void QuickEntryToFront() override { Call("qe front"); }
  void ClearEntryScreen() override { Call("clear"); }
  void FillKeyField(TKeyFieldRole Role, const std::string& Code) override {
    static const char* const names[] = {"none", "client", "case", "employee"};
    Call(std::string("fill ") + names[int(Role)] + " [" + Code + "]");
  }
  void FocusSaveButton() override { Call("focus save"); }

private:
  void Call(const std::string& What) {
    Calls.push_back(What);
    if (During) During(What);
  }
};

std::string Padded(const std::string& Name) { return Format("%-30s", Name); }
std::string StatusU(const std::string& Name, const std::string& Client, const std::string& Case,
                    const std::string& Emp) {
  return Format("%-30sU%-7s%-7s%-4s", Name, Client, Case, Emp);
}
std::string Plus(const std::string& Name, const std::string& Word) {
  return Format("%-30s+%-4s%-4s%8s%-72s%-20s", Name, "0", "0", "1", Word, "");
}

constexpr uint64_t kOther = 4242;

class InstanceDispatchTest : public ::testing::Test {
protected:
  FakeTarget target;
  std::vector<std::function<void()>> posted;
  TInstanceDispatcher dispatcher{target, [this](std::function<void()> Call) { posted.push_back(std::move(Call)); }};

  void RunPosted() {
    while (!posted.empty()) {
      auto call = std::move(posted.front());
      posted.erase(posted.begin());
      call();
    }
  }
};

}  // namespace

TEST_F(InstanceDispatchTest, EachMessageCallsItsOperationsInOrder) {
  struct Row {
    const char* what;
    UINT msg;
    std::string text;
    Role role;
    std::function<void(FakeTarget&)> setup;
    std::vector<std::string> calls;
  };
  const auto none = [](FakeTarget&) {};
  const auto closed = [](FakeTarget& t) { t.Open = false; };
  const auto ending = [](FakeTarget& t) { t.Ending = true; };
  const auto barHidden = [](FakeTarget& t) { t.BarVisible = false; };
  const auto registered = [](FakeTarget& t) { t.Registered = true; };
  const auto hasPayroll = [](FakeTarget& t) { t.Buttons = {"Payroll"}; };
  const auto full = [](FakeTarget& t) { t.Buttons = {"A", "B", "C"}; };
  const auto qeShown = [](FakeTarget& t) { t.QeExists = t.QeVisible = true; };
  const auto qeHidden = [](FakeTarget& t) { t.QeExists = true; };
  const auto empFirst = [](FakeTarget& t) {
    t.Roles = {TKeyFieldRole::Employee, TKeyFieldRole::None, TKeyFieldRole::Client};
  };
  const UINT status = MsgStatus(), command = MsgMngrCommand(), grid = MsgGridAction();
  const std::vector<Row> rows = {
      // Step 2-4: what is ignored.
      {"no entry screen", status, Padded("Billing") + "V", Role::Plain, closed, {}},
      {"terminating", status, Padded("Billing") + "V", Role::Plain, ending, {}},
      {"name -", status, Padded(" -") + "V", Role::Plain, none, {}},
      {"unknown id", RegisterWindowMessage("Other_Message"), Padded("Billing") + "A", Role::Plain, none, {}},
      {"unknown status letter", status, Padded("Billing") + "J", Role::Plain, none, {}},
      {"status W", status, Padded("Billing") + "W", Role::Child, none, {}},
      {"unknown command letter", command, Padded("Billing") + "Z", Role::Child, none, {}},
      // Grid notices from the bus, own or not, never act.
      {"grid C, own template", grid, Padded("Billing") + "C", Role::Plain, none, {}},
      {"grid F, own template", grid, Padded("Billing") + "F", Role::Single, none, {}},
      // Commands.
      {"A own template", command, Padded("Billing") + "A", Role::Plain, none, {"front"}},
      {"A other template", command, Padded("Payroll") + "A", Role::Plain, none, {}},
      {"+ new name, not LIVE", command, Plus("Payroll", ""), Role::Child, none, {"add Payroll", "mark Payroll"}},
      {"+ new name, LIVE", command, Plus("Payroll", "LIVE"), Role::Plain, none, {"add Payroll", "unmark Payroll"}},
      {"+ known name LIVE revives", command, Plus("Payroll", "LIVE"), Role::Plain, hasPayroll, {"unmark Payroll"}},
      {"+ known name not LIVE", command, Plus("Payroll", "DEAD"), Role::Plain, hasPayroll, {"mark Payroll"}},
      {"+ own template in a child adds nothing", command, Plus("Billing", "LIVE"), Role::Child, none, {}},
      {"+ a fourth button is ignored", command, Plus("Payroll", "LIVE"), Role::Plain, full, {}},
      {"+ in the parent, own F", command, Plus("Billing", "LIVEF"), Role::Parent, registered,
       {"focus entry", "front"}},
      {"+ in the parent, own without F", command, Plus("Billing", "LIVE"), Role::Parent, registered, {}},
      {"+ in the parent, a child's name", command, Plus("Payroll", "LIVEF"), Role::Parent, registered, {}},
      {"I marks the button", command, Padded("Payroll") + "I", Role::Parent, hasPayroll, {"mark Payroll"}},
      {"I without a button", command, Padded("Payroll") + "I", Role::Parent, none, {}},
      {"T ends a child", command, Padded("Payroll") + "T", Role::Child, none, {"end child"}},
      {"T in the parent", command, Padded("Payroll") + "T", Role::Parent, registered, {"unregister"}},
      {"T single template", command, Padded("Billing") + "T", Role::Single, none, {"unregister"}},
      // Status.
      {"I bar shown", status, Padded("Payroll") + "I", Role::Plain, none, {"panel 1 Payroll"}},
      {"I bar hidden", status, Padded("Payroll") + "I", Role::Plain, barHidden, {}},
      {"L parent, qe shows", status, Padded("Payroll") + "L", Role::Parent, qeShown,
       {"open qe", "minimize+restore", "show entry"}},
      {"L plain, qe not shown", status, Padded("Payroll") + "L", Role::Plain, none, {"open qe", "show entry"}},
      {"L child", status, Padded("Payroll") + "L", Role::Child, none, {"qe running", "show entry"}},
      {"P", status, Padded("Payroll") + "P", Role::Plain, none, {"pause entry"}},
      {"Q without qe", status, Padded("Payroll") + "Q", Role::Plain, none, {}},
      {"Q with qe", status, Padded("Payroll") + "Q", Role::Plain, qeHidden, {"pause qe"}},
      {"S qe shown", status, Padded("Payroll") + "S", Role::Child, qeShown,
       {"restore qe", "minimize+restore", "qe front"}},
      {"S qe hidden, not a child", status, Padded("Payroll") + "S", Role::Plain, qeHidden,
       {"open qe", "qe front", "front"}},
      {"S qe hidden, child", status, Padded("Payroll") + "S", Role::Child, qeHidden, {}},
      {"T a time", status, Padded("1:02:03") + "T", Role::Plain, none, {"panel 1 1:02:03", "show pause"}},
      {"T 0:00", status, Padded("0:00") + "T", Role::Plain, none, {"panel 1 0:00", "stop stopwatches"}},
      {"T bar hidden only shows it", status, Padded("1:02:03") + "T", Role::Plain, barHidden, {"show bar"}},
      {"V", status, Padded("Payroll") + "V", Role::Plain, none, {"panel 0 Payroll"}},
      {"V bar hidden", status, Padded("Payroll") + "V", Role::Plain, barHidden, {"show bar", "panel 0 Payroll"}},
      {"X", status, Padded("Payroll") + "X", Role::Plain, none, {"qe not running", "show qe button"}},
      {"U plain", status, StatusU("Payroll", "CL1", "CA2", "E3"), Role::Plain, none, {}},
      {"U parent", status, StatusU("Payroll", "CL1", "CA2", "E3"), Role::Parent, registered, {}},
      {"U child", status, StatusU("Payroll", "CL1", "CA2", "E3"), Role::Child, none,
       {"clear", "fill client [CL1    ]", "focus save", "fill case [CA2    ]", "focus save"}},
      {"U child, blank case", status, StatusU("Payroll", "CL1", "", "E3"), Role::Child, none,
       {"clear", "fill client [CL1    ]", "focus save"}},
      {"U single template, index order", status, StatusU("Payroll", "CL1", "CA2", "E3"), Role::Single, empFirst,
       {"clear", "fill employee [E3  ]", "focus save", "fill client [CL1    ]", "focus save", "front"}},
      {"U short text", status, Padded("Payroll") + "UCL1", Role::Child, none,
       {"clear", "fill client [CL1    ]", "focus save"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeTarget fresh;
    fresh.Kind = row.role;
    row.setup(fresh);
    target = fresh;
    dispatcher.Deliver(row.msg, kOther, row.text);
    EXPECT_EQ(target.Calls, row.calls);
    EXPECT_TRUE(posted.empty());
  }
}

TEST_F(InstanceDispatchTest, AnEmptyTextIsIgnored) {
  dispatcher.Deliver(MsgMngrCommand(), kOther, "");
  EXPECT_TRUE(target.Calls.empty());
}

// A message arriving while one is acted on (a box's nested loop delivers it)
// runs only once the first has returned.
TEST_F(InstanceDispatchTest, AMessageDeliveredDuringADispatchRunsAfterIt) {
  target.Kind = Role::Child;
  bool nested = false;
  target.During = [&](const std::string& What) {
    if (What != "fill client [CL1    ]" || nested) return;
    nested = true;
    dispatcher.Deliver(MsgStatus(), kOther, StatusU("Billing", "CL9", "", ""));
    dispatcher.Deliver(MsgMngrCommand(), kOther, Padded("Billing") + "T");
    EXPECT_EQ(target.Calls.back(), "fill client [CL1    ]");
  };
  dispatcher.Deliver(MsgStatus(), kOther, StatusU("Billing", "CL1", "CA2", ""));
  EXPECT_EQ(target.Calls, (std::vector<std::string>{"clear", "fill client [CL1    ]", "focus save",
                                                    "fill case [CA2    ]", "focus save", "clear",
                                                    "fill client [CL9    ]", "focus save", "end child"}));
  EXPECT_FALSE(dispatcher.Dispatching());
}

// An own "U" is sent from inside an exit check; its refill runs only after
// that check, from a posted call, even when no dispatch is running.
TEST_F(InstanceDispatchTest, AnOwnStatusURunsFromAPostedCallAfterTheCheckThatSentIt) {
  target.Kind = Role::Child;
  const uint64_t self = uint64_t(MainWindowHandle());
  dispatcher.Deliver(MsgStatus(), self, StatusU("Billing", "CL1", "", ""));
  EXPECT_TRUE(target.Calls.empty());
  ASSERT_EQ(posted.size(), 1u);
  // Inside a dispatch the posted call queues behind it.
  target.During = [&](const std::string& What) {
    if (What == "pause entry") RunPosted();
  };
  dispatcher.Deliver(MsgStatus(), kOther, Padded("Billing") + "P");
  EXPECT_EQ(target.Calls, (std::vector<std::string>{"pause entry", "clear", "fill client [CL1    ]", "focus save"}));
  // Other own messages still run at once.
  target.Calls.clear();
  dispatcher.Deliver(MsgStatus(), self, Padded("Billing") + "V");
  EXPECT_EQ(target.Calls, std::vector<std::string>{"panel 0 Billing"});
}

TEST_F(InstanceDispatchTest, AFailingOperationIsLoggedAndTheNextMessageStillRuns) {
  LogCapture log;
  target.During = [&](const std::string& What) {
    if (What == "pause entry") throw std::runtime_error("broken");
  };
  dispatcher.Deliver(MsgStatus(), kOther, Padded("Billing") + "P");
  dispatcher.Deliver(MsgStatus(), kOther, Padded("Billing") + "V");
  EXPECT_EQ(target.Calls, (std::vector<std::string>{"pause entry", "panel 0 Billing"}));
  EXPECT_EQ(log.CountContaining("instance message P for \"Billing\" failed: broken"), 1u);
}

TEST_F(InstanceDispatchTest, AFourthChildButtonIsLogged) {
  LogCapture log;
  target.Buttons = {"A", "B", "C"};
  dispatcher.Deliver(MsgMngrCommand(), kOther, Plus("Payroll", "LIVE"));
  EXPECT_TRUE(target.Calls.empty());
  EXPECT_EQ(log.CountContaining("no room for a child button for \"Payroll\""), 1u);
}
