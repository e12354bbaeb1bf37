// The main window's handling of instance messages through the real windows:
// another process (mdmsg) sends on the bus while an entry screen shows.
#include "entry/batch_files.h"
#include "entry/linked_children.h"
#include "entry/qt/grid_form.h"
#include "entry/qt/batch_view_form.h"
#include "entry/qe_files.h"
#include "entry/qt/quick_entry_form.h"
#include "mainwin/batch_files.h"
#include "mainwin/tests/entry_window_fixture.h"
#include "mainwin/tests/mdmsg_sender.h"
#include "platform/qt/instance_bus_qt.h"
#include "platform/session.h"
#include "testing/bus_peer.h"
#include "testing/dialog_driver.h"
#include "testing/keyboard.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <optional>
#include <string>

namespace {

// Counts the events of one type that the program itself sends to Watched,
// a widget, or to every widget when Watched is the application. The
// platform's later word on the same change (a spontaneous event, also to
// the widget's window handle) is not counted.
class EventCount : public QObject {
public:
  EventCount(QObject& Watched, QEvent::Type Type) : type_(Type) { Watched.installEventFilter(this); }
  int Seen = 0;

protected:
  bool eventFilter(QObject* Receiver, QEvent* Event) override {
    if (Event->type() == type_ && Receiver->isWidgetType() && !Event->spontaneous()) ++Seen;
    return false;
  }

private:
  QEvent::Type type_;
};

class InstanceHandlingTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    TTemplateTableBuilder t;
    const int client = AddClientLookup(t).FldId;
    t.Add("Note", 'C', 20);
    t.Index(1, {client}, true, "By client");
    Saved("Matters");
    Start();
    ASSERT_EQ(JoinInstanceBus(), BusJoin::Joined);
  }
  void TearDown() override {
    LeaveInstanceBus();
    EntryWindowTest::TearDown();
  }

  void Send(const std::vector<std::string>& Args) { MdmsgSend(Temp.path().string(), Args); }
  // The status letters Peer saw until the status "V" carrying Marker.
  static std::string LettersUntil(BusPeer& Peer, const std::string& Marker) {
    std::string letters;
    for (;;) {
      std::string why;
      const std::optional<std::string> bytes = Peer.Receive();
      if (!bytes) return letters + " (no marker)";
      const std::optional<BusDatagram> d = DecodeBusDatagram(*bytes, why);
      if (!d || d->name != "CV_Message_Status" || d->text.size() < 31) continue;
      if (d->text[30] == 'V' && TrimRight(d->text.substr(0, 30)) == Marker) return letters;
      letters += d->text[30];
    }
  }

  ScopedTempDir bus;
  ScopedRuntimeDir runtime{bus.path().string()};
};

}  // namespace

// As a user sees it: the hub's status text, a stopwatch's time, a foreign
// grid notice that changes nothing, the hub's codes filling the screen, and
// the screen brought to the front.
TEST_F(InstanceHandlingTest, AnotherProcessDrivesTheEntryScreenShown) {
  Startup.SingleTemplateMode = true;
  const TSampleClient& client = SampleOffice().Clients[1];
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* code = Edit(entry, "Edit1");
    QLineEdit* name = Edit(entry, "Edit2");
    ASSERT_TRUE(code && name);

    Send({"status", "11", "Smith & Co. billing"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 0) == std::string("Smith & Co. billing"); }));
    EXPECT_EQ(Panel(entry, 0), std::string("Smith & Co. billing"));
    Send({"status", "10", "1:02:03"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 1) == std::string("1:02:03"); }));

    EXPECT_EQ(Panel(entry, 1), std::string("1:02:03"));
    // Another instance's time shows the pause button; this stopwatch stays
    // stopped and its button still offers to start it.
    EXPECT_TRUE(entry.PauseBitBtn->isVisible());
    EXPECT_TRUE(entry.Stopwatch().Stopped());
    EXPECT_EQ(StoredText(entry.SBTimer->toolTip()), "Start timer");

    Send({"raw", "CV_Message_Status", Format("%-30sU%-7s", "Matters", client.Code)});
    // The code checked as though the user left it for Save; entered from a
    // field, the button panel gives the focus to Find.
    ASSERT_TRUE(Await([&] { return Settled(entry) && TrimRight(Text(name)) == DisplayedName(client); }));
    EXPECT_EQ(Text(code), client.Code);
    EXPECT_EQ(QApplication::focusWidget(), entry.BitBtnFind);
    Shot("instance_refilled");

    // "P" pauses this screen's stopwatch and sends no pause notice back.
    BusPeer hub(InstanceBusFolder(), "9000001.sock");
    entry.SBTimer->click();
    Clock.Advance(600 * 1000);
    entry.TimerEntryTimer();
    Send({"status", "12", "Matters"});
    ASSERT_TRUE(Await([&] { return entry.Stopwatch().Paused(); }));
    EXPECT_EQ(StoredText(entry.PauseBitBtn->text()), "Rest&art");
    EXPECT_FALSE(entry.TimerEntry->isActive());
    Send({"status", "11", "Paused"});
    // The stopwatch's times aside (its timer ticks in real time): only the "P".
    std::string letters = LettersUntil(hub, "Paused");
    std::erase(letters, 'T');
    EXPECT_EQ(letters, "P");

    // "L" opens the quick entry with the screen's codes and the paused time.
    Send({"status", "7", "Matters"});
    ASSERT_TRUE(Await([&] { return !QEF.isNull() && QEF->isVisible(); }));
    EXPECT_EQ(Trim(StoredText(QEF->EditClient->text())), client.Code);
    EXPECT_TRUE(QEF->Stopwatch().Running());
    EXPECT_TRUE(QEF->Stopwatch().Paused());
    EXPECT_TRUE(QEFRunning);

    // A grid notice comes from another instance's grid: never obeyed here.
    Send({"grid", "Matters", "C"});
    // "0:00" stops both stopwatches and hides the pause button.
    Send({"status", "10", "0:00"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 1) == std::string("0:00"); }));
    EXPECT_EQ(Panel(entry, 1), std::string("0:00"));
    EXPECT_EQ(Text(code), client.Code);
    EXPECT_TRUE(entry.Stopwatch().Stopped());
    EXPECT_FALSE(entry.PauseBitBtn->isVisible());
    EXPECT_EQ(StoredText(entry.PauseBitBtn->text()), "P&ause");
    EXPECT_FALSE(entry.TimerEntry->isActive());
    EXPECT_FALSE(QEF->Stopwatch().Running());
    delete QEF.data();
    QApplication::processEvents();

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Send({"command", "Matters", "A"});
    ASSERT_TRUE(Await([&] { return QApplication::activeWindow() == static_cast<QWidget*>(&entry); }));
    EXPECT_EQ(QApplication::activeWindow(), static_cast<QWidget*>(&entry));
    Shot("instance_front");
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// Another template's name asks nothing of this screen; a "-" name is no name.
TEST_F(InstanceHandlingTest, MessagesForAnotherTemplateOrWithoutANameChangeNothing) {
  Startup.SingleTemplateMode = true;
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    Send({"raw", "CV_Message_Status", Format("%-30sV", "-")});
    Send({"status", "11", "Last"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 0) == std::string("Last"); }));
    EXPECT_EQ(Panel(entry, 0), std::string("Last"));
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Send({"command", "Payroll", "A"});
    Send({"status", "11", "After"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 0) == std::string("After"); }));
    EXPECT_EQ(Panel(entry, 0), std::string("After"));
    EXPECT_EQ(QApplication::activeWindow(), &other);
  });
}

// In an instance that started no children, another family's child makes
// itself known with "+": its button appears, "I" marks it ended, "+" with
// "LIVE" shows it alive again.
TEST_F(InstanceHandlingTest, ChildNoticesAddMarkAndReviveAButton) {
  ResetLinkedChildren();
  WhileOpen("Matters", [&](TEntryF& entry) {
    const auto marked = [&] { return entry.ChildButtons[0]->property("indeterminate").toBool(); };
    Send({"command", "Payroll", "+", "0", "0", "LIVE"});
    ASSERT_TRUE(Await([&] { return entry.ChildButtons[0] != nullptr; }));
    EXPECT_EQ(StoredText(entry.ChildButtons[0]->text()), "Payroll");
    EXPECT_FALSE(marked());
    Send({"command", "Payroll", "I"});
    ASSERT_TRUE(Await(marked));
    Send({"command", "Payroll", "+", "0", "0", "LIVE"});
    ASSERT_TRUE(Await([&] { return !marked(); }));
    // Its own template's name adds no button.
    Send({"command", "Matters", "+", "0", "0", "LIVE"});
    Send({"status", "11", "Done"});
    ASSERT_TRUE(Await([&] { return Panel(entry, 0) == "Done"; }));
    EXPECT_EQ(entry.ChildButtons[1], nullptr);
  });
  ResetLinkedChildren();
}

// A direct start: the main window hidden, the entry screen modal when the
// desktop first activates the program. The screen is minimized and restored
// once; the activation its restore brings changes nothing.
TEST_F(InstanceHandlingTest, TheFirstActivationUnderTheModalEntryScreenMinimizesAndRestoresOnce) {
  Form->hide();
  FirstActivation = true;
  Form->HookAppActivate();
  const EventCount states(*qApp, QEvent::WindowStateChange);
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    // The platform tells of the activation once per process; the signal
    // stands for it when it came before this test.
    if (FirstActivation) Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    for (const char* activation : {"first", "later"}) {
      SCOPED_TRACE(activation);
      EXPECT_FALSE(FirstActivation);
      EXPECT_EQ(states.Seen, 2);
      EXPECT_FALSE(entry.isMinimized());
      EXPECT_TRUE(entry.isVisible());
      EXPECT_EQ(QApplication::activeWindow(), &entry);
      EXPECT_FALSE(Form->isVisible());
      Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    }
  });
  FirstActivation = true;
}

namespace {

// The main window's key hook installed, as the running program has it, over
// the batch viewer, which moves its selection itself, and three entries in
// the workstation's batch.
class BatchViewerKeysTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Startup.ExeDir = ProgramFolder();
    Startup.DescCloName = Startup.ExeDir + "\\Desc.clo";
    Startup.DescFileName = DescFileName();
    ASSERT_TRUE(EnsureTrinFile() && EnsureDescFile());
    for (const char* hours : {"1", "2", "3"}) {
      TBatchEntry entry;
      entry.Client = "ACME";
      entry.Employee = "JD";
      entry.Hours = hours;
      entry.Date = EncodeDate(2026, 12, 10);
      ASSERT_TRUE(SaveBatchEntry(entry));
    }
    ASSERT_TRUE(CloseBatchFiles());
    Form = std::make_unique<TMtdeskF>();
    Form->HookAppMessage();
  }
  void TearDown() override {
    ResetBatchFileState();
    MainWindowTest::TearDown();
  }
  static int Selected(const TQBatchViewF& View) {
    const auto items = View.QBatchViewGrid->selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
  }
};

}  // namespace

// One row a key whichever of the viewer's controls has the focus, the first
// and the last row kept.
TEST_F(BatchViewerKeysTest, UpAndDownMoveItsSelectionOneRowFromEachControl) {
  TQBatchViewF view;
  view.setWindowModality(Qt::WindowModal);
  RunModal(view, [&] {
    ASSERT_EQ(view.QBatchViewGrid->rowCount(), 3);
    keyboard::ExpectOneRowPerArrow({{"table", view.QBatchViewGrid},
                                    {"Edit button", view.BitBtnEdit},
                                    {"Export button", view.BitBtn1},
                                    {"OK button", view.BitBtnOK}},
                                   [&] { view.First1Click(); }, [&] { return Selected(view); });
    view.BitBtnOKClick();
  });
  EXPECT_FALSE(EditingBatchEntry);
}

namespace {

// The main window's activation hook over a window of its own; the main
// window itself kept hidden, as a direct start keeps it.
class ActivationTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FirstActivation = true;
    Form = std::make_unique<TMtdeskF>();
    Form->HookAppActivate();
  }
  void TearDown() override {
    FirstActivation = true;
    delete QEF.data();
    CloseQuickEntryFiles();
    ResetQuickEntryState();
    MainWindowTest::TearDown();
  }
  // The desktop activates W. The offscreen platform tells the application
  // it became active only once per process; the signal stands for it after.
  void Activate(QWidget& W) {
    W.show();
    QApplication::setActiveWindow(&W);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&W));
    if (FirstActivation) Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
  }
};

}  // namespace

TEST_F(ActivationTest, TheFirstActivationOfAParentMinimizesAndRestoresOnlyOnce) {
  QWidget screen;
  screen.setWindowState(Qt::WindowMaximized);
  Activate(screen);
  EXPECT_FALSE(FirstActivation);
  EXPECT_EQ(screen.windowState(), Qt::WindowMaximized);
  EXPECT_EQ(QApplication::activeWindow(), &screen);
  EXPECT_FALSE(Form->isVisible());
  // Later ones leave the windows alone.
  Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
  EXPECT_EQ(screen.windowState(), Qt::WindowMaximized);
  EXPECT_FALSE(Form->isVisible());
}

TEST_F(ActivationTest, TheFirstActivationOfAChildMinimizesIt) {
  Startup.IsChildApp = true;
  QWidget screen;
  Activate(screen);
  EXPECT_TRUE(screen.isMinimized());
  EXPECT_FALSE(Form->isVisible());
}

// Later activations: a parent brings its quick-entry screen to the front
// when that is the active form; a child and a parent with another window
// active move nothing. The main window stays hidden throughout.
TEST_F(ActivationTest, ALaterActivationRaisesOnlyAParentsActiveQuickEntry) {
  const struct {
    const char* Name;
    bool Child;
    bool QuickEntryActive;
    int Raised;
  } cases[] = {{"parent, quick entry active", false, true, 1},
               {"parent, another window active", false, false, 0},
               {"child, quick entry active", true, true, 0}};
  // The quick entry reads the family files when it shows.
  Store.DataRoot = SampleOfficeFolder();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    FirstActivation = true;
    Startup.IsChildApp = c.Child;
    QWidget screen;
    Activate(screen);
    EXPECT_FALSE(Form->isVisible());
    QEF = new TQEF;
    QEF->show();
    QWidget& active = c.QuickEntryActive ? static_cast<QWidget&>(*QEF) : screen;
    Activate(active);
    const EventCount raised(*QEF, QEvent::ZOrderChange);
    Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(raised.Seen, c.Raised);
    EXPECT_EQ(QApplication::activeWindow(), &active);
    EXPECT_FALSE(QEF->isMinimized());
    EXPECT_FALSE(Form->isVisible());
    delete QEF.data();
  }
}
