// Linked templates end to end on the real windows: a parent template keyed
// on client, case and employee opens other templates in child instances
// through its link lists. Starts are recorded by the launcher (the exact
// argument vector); the bus has a folder of the test's own with a peer that
// sees every notice; the links file goes to the test's current folder.
#include "mainwin/tests/entry_window_fixture.h"
#include "mainwin/tests/link_notices.h"

#include "entry/linked_children.h"
#include "entry/links_file.h"
#include "entry/qe_files.h"
#include "entry/qt/quick_entry_form.h"
#include "platform/bus_datagram.h"
#include "platform/codepage.h"
#include "platform/instance_bus.h"
#include "platform/processes.h"
#include "platform/qt/focus_model.h"
#include "templates/family_files.h"
#include "templates/instance_messages.h"
#include "templates/sample_office.h"
#include "platform/fault_point.h"
#include "testing/bus_peer.h"
#include "testing/log_capture.h"
#include "testing/temp_dir.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace {

// A process id no process has: a child that has ended and been reaped.
int EndedPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return int(pid);
}

class EntryLinksTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    ResetLinkedChildren();
    RememberedLinks() = {};
    ResetInstanceMessages();
    Startup.WorkDateStr = "461210";
    Startup.ExeDir = Store.DataDir + "/bin";
    std::filesystem::create_directories(Runtime.path() / "corvenstead/bus");
    chmod((Runtime.path() / "corvenstead").c_str(), 0700);
    chmod(BusFolder().c_str(), 0700);
    ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
    Peer = std::make_unique<BusPeer>(BusFolder(), "9000001.sock");
    Define("Matter hours", 3);
    Define("Client notes", 1);
    Define("Client calls", 1);
    Define("Client letters", 1);
    Define("Case notes", 2);
    Define("Staff notes", 3);
    Define("E Mail", 1);
    Start();
  }
  void TearDown() override {
    Peer.reset();
    CloseInstanceBus();
    ResetLinkedChildren();
    RememberedLinks() = {};
    EntryWindowTest::TearDown();
  }

  std::string BusFolder() const { return (Runtime.path() / "corvenstead/bus").string(); }

  // Keyed on the first Keys of client, case and employee, with a note.
  static void Define(const std::string& Name, int Keys) {
    TTemplateTableBuilder t;
    FamilyLookupField(t, "Client", 7, "A  0");
    if (Keys >= 2) FamilyLookupField(t, "Case", 7, "B 22");
    if (Keys >= 3) FamilyLookupField(t, "Employee", 4, "E 62");
    t.Add("Note", 'C', 20);
    std::vector<int> index;
    for (int i = 1; i <= Keys; ++i) index.push_back(i);
    t.Index(1, index, false, "By keys");
    ASSERT_TRUE(BuildTemplateDataFile(Name));
  }

  static std::string Number(const std::string& Name) { return TemplateNumberOf(Name); }

  // The commands and statuses the peer received (link_notices.h).
  std::vector<std::string> Received() { return Notices(Drain(*Peer, 0)); }

  // Opens List by its button, selects Name and opens it as a double click
  // does.
  static void Open(TEntryF& E, QListWidget* List, const std::string& Name) {
    E.SBClientLinkClick(List == E.ListboxCase ? E.SBCaseLink : List == E.ListBoxEmp ? E.SBEmpLink : E.SBClientLink);
    const auto items = List->findItems(WidgetText(Name), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << Name;
    List->setCurrentItem(items[0]);
    E.ListBoxClientDblClick(List);
  }
  // The key edits as the screen has them.
  static QLineEdit* ClientEdit(TEntryF& E) { return E.EditNumber(E.Plan().Keys.ClientEdit); }
  static QLineEdit* CaseEdit(TEntryF& E) { return E.EditNumber(E.Plan().Keys.CaseEdit); }
  static QLineEdit* EmpEdit(TEntryF& E) { return E.EditNumber(E.Plan().Keys.EmpEdit); }

  std::vector<std::string> Args(const std::vector<std::string>& Values) const {
    std::vector<std::string> argv{Startup.ExeDir + "/mtdesk"};
    for (const std::string& v : Values) argv.push_back(Win1252ToUtf8(v));
    return argv;
  }

  ScopedTempDir Runtime;
  ScopedRuntimeDir RuntimeEnv{Runtime.path().string()};
  ScopedTempDir Cwd;
  ScopedCurrentDir InCwd{Cwd.path()};
  std::unique_ptr<BusPeer> Peer;
  std::vector<std::vector<std::string>> Started;
  bool FailStarts = false;
  ScopedLauncher Recording{[this](const std::vector<std::string>& Argv) {
    Started.push_back(Argv);
    if (FailStarts) {
      errno = ENOENT;
      return -1;
    }
    return EndedPid();
  }};
};

TEST_F(EntryLinksTest, TheChildGetsSevenArgumentsFromTheScreensKeyFields) {
  const TSampleCase& k = SampleOffice().Cases[0];
  const TSampleClient& client = *std::find_if(SampleOffice().Clients.begin(), SampleOffice().Clients.end(),
                                              [&](const TSampleClient& c) { return c.Code == k.Client; });
  const TSampleClient& other = SampleOffice().Clients[1].Code != k.Client ? SampleOffice().Clients[1]
                                                                          : SampleOffice().Clients[2];
  const TSampleEmployee& e = SampleOffice().Employees[0];
  std::string name = Format("%-30s%-40s", client.FirstName, client.LastName);
  JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  // A client record as a list leaves it in the buffer.
  const auto record = [](const std::string& Code, const std::string& First, const std::string& Last) {
    std::string r = NewFamilyRecord(ClientFile);
    r[0] = 1;
    PutField(r, ClientFld::Code, Code);
    PutField(r, ClientFld::FirstName, First);
    PutField(r, ClientFld::LastName, Last);
    return TDynCharArr(r.begin(), r.end());
  };
  const std::string notes = Number("Client notes");
  struct {
    const char* what;
    std::string client, matter, emp;
    TDynCharArr buffer;
    std::vector<std::string> expected;
  } const cases[] = {
      {"empty buffer: read by code", k.Client, k.Suffix, e.Code, {}, {k.Client, name, Trim(k.Suffix), e.Code}},
      {"stale buffer of another client", k.Client, "", "", record(other.Code, "Stale", "Row"),
       {k.Client, name, " ", " "}},
      {"buffer shorter than a record", k.Client, "", "", TDynCharArr(4, 'x'), {k.Client, name, " ", " "}},
      {"buffer of the client: its name as it stands", "Q1", "  12", "", record("Q1", "\xC9lise \"E\"", "-Dash"),
       {"Q1", "-Dash, \xC9lise \"E\"", "12", " "}},
      {"unknown codes", "NOSUCH", "", "ZZZZ", {}, {" ", " ", " ", " "}},
      {"nothing typed", "", "", "", {}, {" ", " ", " ", " "}},
  };
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    for (const auto& c : cases) {
      ResetLinkedChildren();
      Started.clear();
      // The texts and the buffer as the fields' checks would leave them,
      // set once the list is open.
      entry.SBClientLinkClick(entry.SBClientLink);
      entry.SetProgramText(ClientEdit(entry), c.client);
      entry.SetProgramText(CaseEdit(entry), c.matter);
      entry.SetProgramText(EmpEdit(entry), c.emp);
      ClientRec = c.buffer;
      entry.ListBoxClient->setCurrentItem(entry.ListBoxClient->findItems("Client notes", Qt::MatchExactly).at(0));
      entry.ListBoxClientDblClick(entry.ListBoxClient);
      std::vector<std::string> values{"461210", Trim(notes)};
      values.insert(values.end(), c.expected.begin(), c.expected.end());
      values.push_back("1");
      EXPECT_EQ(Started, std::vector<std::vector<std::string>>{Args(values)}) << c.what;
      Received();
      for (QLineEdit* edit : {ClientEdit(entry), CaseEdit(entry), EmpEdit(entry)}) entry.SetProgramText(edit, "");
    }
  });
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(EntryLinksTest, AChildStartsOnceGetsItsButtonAndEveryEntryHearsItIsLive) {
  const std::string notes = Number("Client notes");
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    EXPECT_FALSE(entry.ToolBar1->isVisible());
    // Beside its button, or lower and to the left without room there.
    QToolButton* link = entry.SBClientLink;
    const QPoint at = link->pos();
    entry.SBClientLinkClick(link);
    EXPECT_EQ(entry.ListBoxClient->pos(), QPoint(at.x() + link->width() + 1, at.y()));
    link->move(entry.width() - entry.ListBoxClient->width() - link->width() - 2, at.y());
    entry.SBClientLinkClick(link);
    EXPECT_EQ(entry.ListBoxClient->pos(), QPoint(link->x() - 80, at.y() + 20));
    link->move(at);
    QTest::mouseClick(entry.SBClientLink, Qt::LeftButton);
    ASSERT_TRUE(entry.ListBoxClient->isVisible());
    EXPECT_EQ(entry.ListBoxClient->currentRow(), 0);
    EXPECT_EQ(entry.Focus->Current(), entry.ListBoxClient);
    const auto item = entry.ListBoxClient->findItems("Client notes", Qt::MatchExactly).at(0);
    entry.ListBoxClient->setCurrentItem(item);
    QTest::keyClick(entry.ListBoxClient, Qt::Key_Return);
    ASSERT_EQ(Started.size(), 1u);
    EXPECT_FALSE(entry.ListBoxClient->isVisible());
    EXPECT_EQ(entry.ChildIdx(), 0);
    ASSERT_NE(entry.ChildButtons[0], nullptr);
    EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client notes");
    EXPECT_TRUE(entry.ToolBar1->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(entry.Focus->Current(), ClientEdit(entry));
    EXPECT_EQ(Received(), (std::vector<std::string>{"+ Matter hours LIVE", "+ Client notes LIVE"}));

    // Again: no second start, the focus back on the client field.
    entry.Focus->FocusControl(entry.BitBtnCancel);
    Open(entry, entry.ListBoxClient, "Client notes");
    QCoreApplication::processEvents();
    EXPECT_EQ(Started.size(), 1u);
    EXPECT_EQ(entry.Focus->Current(), ClientEdit(entry));
    EXPECT_TRUE(Received().empty());

    // The button asks the child to come forward.
    QTest::mouseClick(entry.ChildButtons[0], Qt::LeftButton);
    EXPECT_EQ(Received(), std::vector<std::string>{"A Client notes"});
  });
  // Closing wrote the link and told the hub, and, with no hub, the opener.
  EXPECT_EQ(ReadFileBytes(Cwd / ("Links." + TTemplateNumber::Parse(Number("Matter hours")).ZeroFilled())),
            Format("C %-4s %-30s\r\n", TTemplateNumber::Parse(notes).ZeroFilled(), "Client notes"));
  EXPECT_EQ(Received(), (std::vector<std::string>{"status I Matter hours", "I Matter hours"}));

  // Shown again: the links reload finds the child running.
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    EXPECT_EQ(Started.size(), 1u);
    EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client notes");
  });
  EXPECT_TRUE(Boxes.Boxes().empty());

  Received();
  // A links file that cannot be written: said, and the screen still closes.
  const std::string links = "Links." + TTemplateNumber::Parse(Number("Matter hours")).ZeroFilled();
  std::filesystem::remove(Cwd / links);
  std::filesystem::create_directory(Cwd / links);
  Boxes.Expect("Unable to save the linked templates to " + links + ".");
  WhileOpen("Matter hours", [&](TEntryF&) {});
  EXPECT_EQ(Boxes.Pending(), 0u);
  EXPECT_EQ(Received(), (std::vector<std::string>{"status I Matter hours", "I Matter hours"}));
}

TEST_F(EntryLinksTest, AFourthTemplateIsRefusedAnEndedOneRevivedAFailedStartChangesNothing) {
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    Open(entry, entry.ListBoxClient, "Client notes");
    Open(entry, entry.ListboxCase, "Case notes");
    Open(entry, entry.ListBoxEmp, "Staff notes");
    EXPECT_EQ(entry.ChildIdx(), 2);
    Received();

    Boxes.Expect("Opening additional templates at this time will cause the system to become unstable.");
    Open(entry, entry.ListBoxClient, "Client calls");
    EXPECT_EQ(Started.size(), 3u);
    EXPECT_EQ(RememberedLinks()[0].Name, "Client notes");  // a refusal records nothing

    // The case child ends; reopening it starts it anew in its place.
    ASSERT_TRUE(entry.MarkChildEnded("Case notes"));
    EXPECT_TRUE(entry.ChildButtonOf("Case notes")->property("indeterminate").toBool());
    FailStarts = true;
    Boxes.Expect("You may not access the template Case notes at this time.\r");
    Open(entry, entry.ListboxCase, "Case notes");
    EXPECT_EQ(Started.size(), 4u);
    EXPECT_TRUE(entry.ChildButtonOf("Case notes")->property("indeterminate").toBool());
    EXPECT_FALSE(LinkedChildren().ChildApps[2].InUse);
    EXPECT_EQ(RememberedLinks()[1].Name, "Case notes");
    EXPECT_TRUE(Received().empty());

    FailStarts = false;
    Open(entry, entry.ListboxCase, "Case notes");
    EXPECT_EQ(Started.size(), 5u);
    EXPECT_EQ(entry.ChildIdx(), 2);
    EXPECT_FALSE(entry.ChildButtonOf("Case notes")->property("indeterminate").toBool());
    EXPECT_EQ(Received(), (std::vector<std::string>{"+ Matter hours LIVE", "+ Client notes LIVE",
                                                    "+ Case notes LIVE", "+ Staff notes LIVE"}));
  });
  // Written in kind order.
  const auto number = [](const std::string& Name) { return TTemplateNumber::Parse(Number(Name)).ZeroFilled(); };
  EXPECT_EQ(ReadFileBytes(Cwd / ("Links." + number("Matter hours"))),
            Format("C %-4s %-30s\r\n", number("Client notes"), "Client notes") +
                Format("M %-4s %-30s\r\n", number("Case notes"), "Case notes") +
                Format("E %-4s %-30s\r\n", number("Staff notes"), "Staff notes"));
  EXPECT_EQ(Boxes.Pending(), 0u);
}

TEST_F(EntryLinksTest, ABlankChoiceIsRefusedAnUnlistedNameStartsNothingAFailedStartIsRemembered) {
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    Boxes.Expect("Please select a valid template.");
    entry.ListBoxClient->setCurrentItem(nullptr);
    entry.ListBoxClientDblClick(entry.ListBoxClient);
    entry.ListBoxClient->addItem("No such template");
    Open(entry, entry.ListBoxClient, "No such template");
    EXPECT_TRUE(Started.empty());
    EXPECT_EQ(entry.ChildIdx(), -1);
    EXPECT_EQ(RememberedLinks()[0].Name, "");

    // Leaving the list hides it.
    entry.SBClientLinkClick(entry.SBClientLink);
    ASSERT_TRUE(entry.ListBoxClient->isVisible());
    entry.Focus->FocusControl(entry.BitBtnCancel);
    EXPECT_FALSE(entry.ListBoxClient->isVisible());

    // A start that fails: said, nothing in the table, but the choice is
    // remembered.
    FailStarts = true;
    Boxes.Expect("You may not access the template Client notes at this time.\r");
    Open(entry, entry.ListBoxClient, "Client notes");
    EXPECT_EQ(Started.size(), 1u);
    EXPECT_EQ(entry.ChildIdx(), -1);
    EXPECT_FALSE(entry.ToolBar1->isVisible());
    EXPECT_EQ(RememberedLinks()[0].Name, "Client notes");
    EXPECT_TRUE(Received().empty());
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
  EXPECT_EQ(ReadFileBytes(Cwd / ("Links." + TTemplateNumber::Parse(Number("Matter hours")).ZeroFilled())),
            Format("C %-4s %-30s\r\n", TTemplateNumber::Parse(Number("Client notes")).ZeroFilled(), "Client notes"));
}

TEST_F(EntryLinksTest, TheLinksFileReopensListedTemplatesByNumberUnderTheirNamesNow) {
  const auto number = [](const std::string& Name) { return TTemplateNumber::Parse(Number(Name)).ZeroFilled(); };
  const std::string file = Cwd / ("Links." + number("Matter hours"));
  // Lines that open nothing: a number no template has, another kind, too short.
  const std::string nothing = "M 997  Deleted since\r\nX 001  Another kind\r\nC\r\n";
  WriteFileBytes(file, nothing);
  WhileOpen("Matter hours", [&](TEntryF&) {});
  EXPECT_TRUE(Started.empty());
  // Nothing was opened: the file stays byte for byte.
  EXPECT_EQ(ReadFileBytes(file), nothing);

  // An old name for Client calls, an LF line end.
  const std::string lines = Format("C %-4s %-30s\r\n", number("Client calls"), "Old name") + nothing +
                            Format("E %-4s %-30s\n", number("Staff notes"), "Staff notes");
  WriteFileBytes(file, lines);
  // A child instance never reloads.
  Startup.IsChildApp = true;
  WhileOpen("Matter hours", [&](TEntryF&) {});
  EXPECT_TRUE(Started.empty());
  Startup.IsChildApp = false;
  // Nor does a screen outside the entry command (a designer's preview),
  // which writes none either.
  RememberedLinks()[0] = {"Matter hours", TTemplateNumber::Parse(number("Client notes")), "Client notes"};
  WhileShown(
      [&] {
        TEntryF preview(Form.get());
        preview.LabelTableName->setText("Matter hours");
        preview.exec();
      },
      [](TEntryF&) {});
  EXPECT_TRUE(Started.empty());
  EXPECT_EQ(ReadFileBytes(file), lines);
  RememberedLinks() = {};

  WhileOpen("Matter hours", [&](TEntryF& entry) {
    ASSERT_EQ(Started.size(), 2u);
    EXPECT_EQ(Started[0][2], Trim(Number("Client calls")));
    EXPECT_EQ(Started[1][2], Trim(Number("Staff notes")));
    EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client calls");
    EXPECT_EQ(StoredText(entry.ChildButtons[1]->text()), "Staff notes");
    // The reload left the lists as built.
    EXPECT_EQ(entry.ListBoxClient->findItems("Client calls", Qt::MatchExactly).size(), 1);
  });
  EXPECT_EQ(ReadFileBytes(file), Format("C %-4s %-30s\r\n", number("Client calls"), "Client calls") +
                                     Format("E %-4s %-30s\r\n", number("Staff notes"), "Staff notes"));
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(EntryLinksTest, ALoneTemplateWhoseNameLooksLikeALinksLineIsOpenedByItsName) {
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    entry.ListBoxClient->clear();
    entry.ListBoxClient->addItem("E Mail");
    Open(entry, entry.ListBoxClient, "E Mail");
    ASSERT_EQ(Started.size(), 1u);
    EXPECT_EQ(Started[0][2], Number("E Mail"));
    EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "E Mail");
  });
}

TEST_F(EntryLinksTest, TheQuickEntryOpenedBesideTheScreenClosesWithIt) {
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    QTest::mouseClick(entry.BitBtnQuickEntry, Qt::LeftButton);
    ASSERT_TRUE(QEF && QEFRunning);
    EXPECT_TRUE(QEF->isVisible());
  });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(QEF.isNull());
  EXPECT_FALSE(QEFRunning);
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(EntryLinksTest, AFileThatWillNotCloseIsLoggedAndTheOthersAndTheScreenStillClose) {
  LogCapture log;
  WhileOpen("Matter hours", [&](TEntryF& entry) {
    OpenEmployeeFile(EmpFileNo, EmpRec);
    ASSERT_TRUE(BtrIsFileOpen(ClientFileNo) && BtrIsFileOpen(EmpFileNo));
    // The close's first step on the record manager is file 11's close.
    ArmFaultPoint(1, TFaultAction::FailOnce);
    entry.BitBtnCancelClick();
    DisarmFaultPoint();
    EXPECT_FALSE(entry.isVisible());
  });
  EXPECT_EQ(log.CountContaining("entry screen close: file 11: "), 1u) << ::testing::PrintToString(log.Lines());
  EXPECT_FALSE(BtrIsFileOpen(EmpFileNo));
  EXPECT_EQ(Received(), (std::vector<std::string>{"status I Matter hours", "I Matter hours"}));
  EXPECT_TRUE(Boxes.Boxes().empty());
}

}  // namespace
