// A linked template opened as a new user would, with a real child: the
// program started by its main block on the sample office, the entry screen
// of a template keyed on the client, a client typed, the client link list
// opened and a template double-clicked. The tree's own mtdesk starts as the
// child with the argument vector read back from the process, opens that
// template's entry screen with the client and announces it is ready; the
// parent's tool bar shows it and a peer on the bus hears the notices. The
// child is killed at the end.
#include "entry/linked_children.h"
#include "entry/links_file.h"
#include "entry/qt/entry_form.h"
#include "mainwin/main_block.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/tests/entry_window_fixture.h"
#include "mainwin/tests/link_notices.h"
#include "mainwin/tests/mdmsg_sender.h"
#include "mainwin/tests/office_start_fixture.h"
#include "platform/bus_datagram.h"
#include "platform/codepage.h"
#include "platform/datetime_value.h"
#include "platform/instance_bus.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/processes.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/email_setup.h"
#include "templates/family_files.h"
#include "templates/instance_messages.h"
#include "templates/sample_office.h"
#include "templates/template_build.h"
#include "templates/template_number.h"
#include "testing/bus_peer.h"
#include "testing/clock_fixture.h"
#include "testing/sample_office_folder.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

class EntryLinksProcessTest : public OfficeStartTest {
protected:
  void TearDown() override {
    for (int pid : Children) kill(pid, SIGKILL);
    // The killed children's files are closed by their end.
    for (int pid : Children)
      for (int i = 0; i < 200 && Alive(pid); ++i) QTest::qWait(50);
    OfficeStartTest::TearDown();
  }
  void DefineTemplates() override {
    Define("Matter hours");
    Define("Client notes");
  }

  static void Define(const std::string& Name) {
    TTemplateTableBuilder t;
    FamilyLookupField(t, "Client", 7, "A  0");
    t.Add("Note", 'C', 20);
    t.Index(1, {1}, false, "By client");
    ASSERT_TRUE(BuildTemplateDataFile(Name));
  }

  // The entry screen of Name opened by the main window's command, Inside run
  // while it shows; closed by its Exit button afterwards.
  static void WhileOpen(const std::string& Name, const std::function<void(TEntryF&)>& Inside) {
    const auto items = MtdeskF->ListBox1->findItems(WidgetText(Name), Qt::MatchStartsWith);
    ASSERT_EQ(items.size(), 1) << Name;
    MtdeskF->ListBox1->setCurrentItem(items[0]);
    MtdeskF->ListBox1Click();
    WhileEntryShown([] { MtdeskF->EntryMaintenancefor1->trigger(); },
                    [&](TEntryF& Entry) {
                      Inside(Entry);
                      QTest::mouseClick(Entry.BitBtnCancel, Qt::LeftButton);
                    });
  }

  // The launcher reaps its children: one that ended is gone.
  static bool Alive(int Pid) { return kill(Pid, 0) == 0; }

  // The client typed into the screen's client field, the client link list
  // opened and Name double-clicked in it.
  static void OpenClientLink(TEntryF& Entry, const std::string& Code, const std::string& Name) {
    QLineEdit* code = Entry.EditNumber(Entry.Plan().Keys.ClientEdit);
    ASSERT_NE(code, nullptr);
    code->clear();
    QTest::keyClicks(code, WidgetText(Code));
    QTest::mouseClick(Entry.SBClientLink, Qt::LeftButton);
    ASSERT_TRUE(Entry.ListBoxClient->isVisible());
    const auto item = Entry.ListBoxClient->findItems(WidgetText(Name), Qt::MatchExactly);
    ASSERT_EQ(item.size(), 1);
    const QPoint at = Entry.ListBoxClient->visualItemRect(item[0]).center();
    QTest::mouseClick(Entry.ListBoxClient->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(Entry.ListBoxClient->viewport(), Qt::LeftButton, {}, at);
  }

  // What Peer heard until Pid said it was ready, or two minutes passed.
  static std::vector<BusDatagram> UntilReady(BusPeer& Peer, int Pid) {
    std::vector<BusDatagram> heard;
    const auto ready = [&] {
      return std::any_of(heard.begin(), heard.end(), [&](const BusDatagram& d) {
        return d.name == "CV_Instance_Ready" && int(d.sender) == Pid;
      });
    };
    for (int i = 0; i < 240 && !ready(); ++i) {
      const auto more = Drain(Peer, 500);
      heard.insert(heard.end(), more.begin(), more.end());
    }
    EXPECT_TRUE(ready()) << "child " << Pid << " never said it was ready";
    return heard;
  }

  static std::string CmdLine(int Pid) {
    return ReadFileBytes("/proc/" + std::to_string(Pid) + "/cmdline");
  }

  int Child = 0;
  std::vector<int> Children;
  int Starts = 0;
  ScopedLauncher Watching{[this](const std::vector<std::string>& Argv) {
    ++Starts;
    Child = SpawnReaped(Argv);
    if (Child > 0) Children.push_back(Child);
    return Child;
  }};
};

TEST_F(EntryLinksProcessTest, ADoubleClickedLinkStartsTheRealChildWhichAnnouncesItselfAndIsFoundRunningLater) {
  const TSampleClient& client = SampleOffice().Clients[0];
  std::string name = Format("%-30s%-40s", client.FirstName, client.LastName);
  JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  DialogResponder boxes;
  EXPECT_EQ(Run({},
                [&] {
              BusPeer peer(InstanceBusFolder(), "9000001.sock");
              const std::string notes = TemplateNumberOf("Client notes");
              const std::string own = TTemplateNumber::Parse(TemplateNumberOf("Matter hours")).ZeroFilled();
              WhileOpen("Matter hours", [&](TEntryF& entry) {
                OpenClientLink(entry, client.Code, "Client notes");
                ASSERT_GT(Child, 0);
                std::string expected;
                for (const std::string& a : {BinDir + "/mtdesk", std::string("461210"), notes, client.Code,
                                             Win1252ToUtf8(name), std::string(" "), std::string(" "), std::string("1")})
                  expected += a + '\0';
                EXPECT_EQ(CmdLine(Child), expected);
                ASSERT_NE(entry.ChildButtons[0], nullptr);
                EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client notes");
                EXPECT_TRUE(entry.ToolBar1->isVisible());
                // The child's announcement, whether or not it came within
                // the screen's own wait.
                const std::vector<BusDatagram> heard = UntilReady(peer, Child);
                // The client's code went to the hub as it was left.
                EXPECT_EQ(Notices(heard, uint32_t(getpid())),
                          (std::vector<std::string>{"status U Matter hours", "+ Matter hours LIVE",
                                                    "+ Client notes LIVE"}));
                // Before it was ready the child showed the linked template's
                // entry screen, which took the client over from its
                // parameters and told the hub.
                EXPECT_EQ(Notices(heard, uint32_t(Child)), std::vector<std::string>{"status U Client notes"});
                for (const BusDatagram& d : heard) {
                  if (int(d.sender) == Child && d.name == "CV_Message_Status") {
                    EXPECT_EQ(d.text.substr(0, 38), Format("%-30s%1s%-7s", "Client notes", "U", client.Code));
                  }
                }
              });
              EXPECT_EQ(ReadFileBytes(TempPath("Links." + own)),
                        Format("C %-4s %-30s\r\n", TTemplateNumber::Parse(notes).ZeroFilled(), "Client notes"));
              EXPECT_EQ(Notices(Drain(peer, 1000), uint32_t(getpid())),
                        (std::vector<std::string>{"status I Matter hours", "I Matter hours"}));

              // Opened again: the reload finds the child running.
              WhileOpen("Matter hours", [&](TEntryF& entry) {
                EXPECT_EQ(Starts, 1);
                EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client notes");
              });
              EXPECT_EQ(Starts, 1);
              EXPECT_EQ(kill(Child, 0), 0);
              return 0;
            }),
            0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

// Command "T" from another process ends every child, each through its
// screen's close: its status "I" reaches the parent as command "I" while no
// hub is on the bus, and the button is marked. Opening the template again
// starts a new child and clears the mark. With a hub bound the relay is
// quiet and the hub's own "I" marks it.
TEST_F(EntryLinksProcessTest, CommandTEndsTheChildThroughItsScreenAndItsButtonIsMarkedUntilOpenedAgain) {
  const TSampleClient& client = SampleOffice().Clients[0];
  DialogResponder boxes;
  const auto send = [&](const std::vector<std::string>& Args) { MdmsgSend(TempPath(""), Args); };
  const auto await = [](const std::function<bool()>& Done) { return QTest::qWaitFor(Done, 20000); };
  EXPECT_EQ(Run({},
                [&] {
              BusPeer peer(InstanceBusFolder(), "9000001.sock");
              WhileOpen("Matter hours", [&](TEntryF& entry) {
                const auto marked = [&] {
                  return entry.ChildButtons[0] && entry.ChildButtons[0]->property("indeterminate").toBool();
                };
                // Its panel shows every status "V" sent: one sent after
                // another process's messages has them all handled.
                const auto settled = [&](const std::string& Marker) {
                  send({"status", "11", Marker});
                  ASSERT_TRUE(await([&] { return StoredText(entry.StatusPanels[0]->text()) == Marker; }));
                };
                OpenClientLink(entry, client.Code, "Client notes");
                const int first = Child;
                ASSERT_GT(first, 0);
                UntilReady(peer, first);
                ASSERT_FALSE(marked());

                send({"command", "Any name", "T"});
                ASSERT_TRUE(await([&] { return !Alive(first); })) << "the child did not end";
                ASSERT_TRUE(await(marked));
                EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Client notes");
                EXPECT_EQ(Notices(Drain(peer, 1000), uint32_t(first)),
                          (std::vector<std::string>{"status I Client notes", "I Client notes"}));

                OpenClientLink(entry, client.Code, "Client notes");
                EXPECT_EQ(Starts, 2);
                const int second = Child;
                ASSERT_NE(second, first);
                EXPECT_FALSE(marked());
                EXPECT_EQ(entry.ChildButtons[1], nullptr);
                UntilReady(peer, second);

                ChildProcess hub({MDMSG_PATH, "listen", "--hub"}, TempPath("hub.out"), TempPath("hub.err"));
                ASSERT_TRUE(await([&] { return !ChildProcess::LinesOf(TempPath("hub.out")).empty(); }));
                send({"command", "Any name", "T"});
                ASSERT_TRUE(await([&] { return !Alive(second); })) << "the second child did not end";
                settled("After the end");
                EXPECT_FALSE(marked());
                EXPECT_EQ(Notices(Drain(peer, 1000), uint32_t(second)), std::vector<std::string>{"status I Client notes"});
                send({"command", "Client notes", "I"});
                EXPECT_TRUE(await(marked));
              });
              return 0;
            }),
            0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
