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
    if (Child > 0) kill(Child, SIGKILL);
    // The killed child's files are closed by its end.
    for (int i = 0; i < 200 && Child > 0 && kill(Child, 0) == 0; ++i) QTest::qWait(50);
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

  static std::string CmdLine(int Pid) {
    return ReadFileBytes("/proc/" + std::to_string(Pid) + "/cmdline");
  }

  int Child = 0;
  int Starts = 0;
  ScopedLauncher Watching{[this](const std::vector<std::string>& Argv) {
    ++Starts;
    return Child = SpawnReaped(Argv);
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
                QLineEdit* code = entry.EditNumber(entry.Plan().Keys.ClientEdit);
                ASSERT_NE(code, nullptr);
                QTest::keyClicks(code, WidgetText(client.Code));
                QTest::mouseClick(entry.SBClientLink, Qt::LeftButton);
                ASSERT_TRUE(entry.ListBoxClient->isVisible());
                const auto item = entry.ListBoxClient->findItems("Client notes", Qt::MatchExactly);
                ASSERT_EQ(item.size(), 1);
                const QPoint at = entry.ListBoxClient->visualItemRect(item[0]).center();
                QTest::mouseClick(entry.ListBoxClient->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(entry.ListBoxClient->viewport(), Qt::LeftButton, {}, at);

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
                std::vector<BusDatagram> heard = Drain(peer, 1000);
                for (int i = 0; i < 240 && std::none_of(heard.begin(), heard.end(), [&](const BusDatagram& d) {
                                      return d.name == "CV_Instance_Ready" && int(d.sender) == Child;
                                    });
                     ++i) {
                  const auto more = Drain(peer, 500);
                  heard.insert(heard.end(), more.begin(), more.end());
                }
                EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [&](const BusDatagram& d) {
                  return d.name == "CV_Instance_Ready" && int(d.sender) == Child;
                }));
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

}  // namespace
