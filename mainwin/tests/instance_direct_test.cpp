// A direct start for one template driven by another process: the program
// started by its main block with a work date and the template's number, its
// entry screen shown modally before the main window ever shows, and mdmsg
// sending on the bus while it shows, as the hub and other instances do.
// Closing the screen ends the program as a direct start ends.
#include "entry/qt/entry_form.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/tests/link_notices.h"
#include "mainwin/tests/mdmsg_sender.h"
#include "mainwin/tests/office_start_fixture.h"
#include "platform/format.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/startup_globals.h"
#include "templates/template_number.h"
#include "testing/watchdog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace {

// The heights of the stopwatch button at 96 pixels per inch: stopped, and
// beside a running time with the pause button.
constexpr int StoppedTimerHeight = 40;
constexpr int RunningTimerHeight = 16;

// The e-mail templates hold numbers 0 and 1; the test's template takes the
// next.
const std::string MattersNumber = "2";

class InstanceDirectTest : public OfficeStartTest {
protected:
  // Matters: keyed on the client, whose name its display shows.
  void DefineTemplates() override {
    TTemplateTableBuilder t;
    TFld& client = FamilyLookupField(t, "Client", 7, "A  0");
    client.Unique = true;
    client.DispCols[1] = 1;
    const int clientId = client.FldId;
    t.Add("Note", 'C', 20);
    t.Index(1, {clientId}, true, "By client");
    ASSERT_TRUE(BuildTemplateDataFile("Matters"));
    EXPECT_TRUE(TemplateFilesInFolder(Store.DataDir)[std::stoul(MattersNumber)]);
  }

  // The program started for Matters on the work date; Inside runs while its
  // entry screen shows, which is closed by its Exit button after. The
  // program's exit status.
  int RunDirect(const std::function<void(TEntryF&)>& Inside) {
    QTimer::singleShot(0, [&] {
      TEntryF* entry = nullptr;
      ASSERT_TRUE(Await([&] { return (entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget())); }));
      ASSERT_TRUE(QTest::qWaitForWindowActive(entry));
      Inside(*entry);
      QTest::mouseClick(entry->BitBtnCancel, Qt::LeftButton);
    });
    return Run({"12/10/2026", MattersNumber});
  }

  void Send(const std::vector<std::string>& Args) { MdmsgSend(Temp.path().string(), Args); }

  Watchdog Bound;
  DialogResponder Boxes;
};

}  // namespace

TEST_F(InstanceDirectTest, AnotherProcessDrivesTheDirectlyStartedScreen) {
  const TSampleClient& client = SampleOffice().Clients[1];
  bool shown = false;
  EXPECT_EQ(RunDirect([&](TEntryF& entry) {
              shown = true;
              EXPECT_TRUE(Startup.DirectMode);
              EXPECT_TRUE(Startup.SingleTemplateMode);
              EXPECT_FALSE(MtdeskF->isVisible());
              EXPECT_EQ(StoredText(entry.LabelTableName->text()), "Matters");
              QLineEdit* code = entry.EditNumber(entry.Plan().Keys.ClientEdit);
              auto* name = entry.ScrollContent->findChild<QLineEdit*>("Edit2");
              ASSERT_TRUE(code && name);

              Send({"status", "11", "Smith & Co. billing"});
              ASSERT_TRUE(Await([&] { return Panel(entry, 0) == "Smith & Co. billing"; }));
              EXPECT_TRUE(entry.StatusBar1->isVisible());

              // Another instance's stopwatch: its time, the pause button
              // beside a smaller stopwatch button.
              Send({"status", "10", "1:02:03"});
              ASSERT_TRUE(Await([&] { return Panel(entry, 1) == "1:02:03"; }));
              EXPECT_TRUE(entry.PauseBitBtn->isVisible());
              EXPECT_EQ(entry.SBTimer->height(), RunningTimerHeight);
              Send({"status", "10", "0:00"});
              ASSERT_TRUE(Await([&] { return Panel(entry, 1) == "0:00"; }));
              EXPECT_FALSE(entry.PauseBitBtn->isVisible());
              EXPECT_EQ(StoredText(entry.PauseBitBtn->text()), "P&ause");
              EXPECT_EQ(entry.SBTimer->height(), StoppedTimerHeight);
              EXPECT_FALSE(entry.TimerEntry->isActive());

              // The hub's client: the screen cleared, the code filled in
              // and checked as though the user left it for Save, which
              // brings up the client's name; the screen's own report of the
              // code, refilling it once more, settles the same way. Entered
              // from a field, the button panel gives the focus to Find.
              Send({"raw", "CV_Message_Status", Format("%-30sU%-7s", "Matters", client.Code)});
              const auto nameShown = [&] { return TrimRight(StoredText(name->text())) == DisplayedName(client); };
              ASSERT_TRUE(Await([&] { return Settled(entry) && nameShown(); }));
              EXPECT_EQ(StoredText(code->text()), client.Code);
              EXPECT_EQ(QApplication::focusWidget(), entry.BitBtnFind);

              // Another instance's grid asks nothing of this screen, though
              // it names this template: the status after it finds the
              // screen as it was.
              Send({"grid", "Matters", "C"});
              Send({"status", "11", "After the grid"});
              ASSERT_TRUE(Await([&] { return Panel(entry, 0) == "After the grid"; }));
              EXPECT_EQ(StoredText(code->text()), client.Code);
              EXPECT_TRUE(nameShown());

              QWidget other;
              other.show();
              QApplication::setActiveWindow(&other);
              ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
              Send({"command", "Matters", "A"});
              ASSERT_TRUE(Await([&] { return QApplication::activeWindow() == &entry; }));
              EXPECT_TRUE(entry.isActiveWindow());
              EXPECT_FALSE(entry.isMinimized());
              EXPECT_FALSE(MtdeskF->isVisible());
            }),
            0);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Boxes.Boxes().empty());
}
