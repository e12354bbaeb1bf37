// The entry screen's side tools end to end: the real main window over the
// sample office, a template with client, case and employee lookups, a
// date, a memo, a document field and a check box; F2 recall, the calendar
// module's start (a recording launcher, never a real program), document
// fields, the stopwatch on the instance bus, and the hand-over to the quick
// entry, each driven by keys and clicks, every box scripted.
#include "mainwin/tests/entry_window_fixture.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/qe_files.h"
#include "entry/qt/quick_entry_form.h"
#include "platform/bus_datagram.h"
#include "platform/instance_bus.h"
#include "platform/printers.h"
#include "platform/processes.h"
#include "platform/program_table.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/printers_qt.h"
#include "platform/qt/spell_dialog.h"
#include "platform/spelling.h"
#include "templates/instance_messages.h"
#include "templates/printer_list.h"
#include "templates/user_list_store.h"
#include "testing/bus_peer.h"
#include "testing/pdf_text.h"
#include "testing/scoped_env.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>

namespace {

// Slots of the fields of "Matters" and of "Notebook".
constexpr int ClientSlot = 1, CaseSlot = 2, EmpSlot = 3;
constexpr int TitleSlot = 1, OpenedSlot = 2, NotesSlot = 3, BillableSlot = 5;

class EntryToolsTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    std::filesystem::create_directory(TempPath("bin"));
    Startup.ExeDir = TempPath("bin");
    Startup.WorkDateStr = "461210";
    {
      TTemplateTableBuilder t;
      AddFamilyLookup(t, "Client", 7, "A  0  1");
      AddFamilyLookup(t, "Case", 7, "B 22");
      AddFamilyLookup(t, "Employee", 4, "E 62 63");
      t.Add("Title", 'C', 20);
      t.Index(1, {4}, false, "By title");
    }
    Saved("Matters");
    // Every kind of control, no lookup.
    {
      TTemplateTableBuilder t;
      t.Add("Title", 'C', 20);
      t.Add("Opened", 'D', 8);
      t.Add("Notes", 'C', 100);
      t.Add("Document", 'd', 60);
      t.Add("Billable", 'B', 1);
      t.Index(1, {TitleSlot}, false, "By title");
    }
    Saved("Notebook");
    // Lookups with display columns and a user list.
    {
      TTemplateTableBuilder t;
      TFld& client = AddFamilyLookup(t, "Client", 7, "A  0");
      client.DispCols[1] = 1;
      client.DispCols[2] = 5;
      t.Add("Title", 'C', 20);
      t.Add("Opened", 'D', 8);
      t.Add("Billable", 'B', 1);
      TFld& colour = t.Add("Colour", 'C', 10);
      colour.IsLookup = true;
      colour.LkpKind = "U";
      colour.LkpTarget = "7.lst";
      colour.LkpSpec = "2 10";
      t.Add("Notes", 'C', 100);
      t.Index(1, {2}, false, "By title");
    }
    Saved("Letters");
    WriteUserListFile(7, {ListHeaderLine("Colours"), "Red" + ListSep + "Rouge"});
    SetProgramFolder(Startup.ExeDir);
    Start();
  }
  void TearDown() override {
    delete QEF.data();
    QApplication::processEvents();
    ResetQuickEntryState();
    ResetProgramTable();
    EntryWindowTest::TearDown();
  }

  // The control of a field slot on the screen.
  template <class W>
  static W* Control(TEntryF& E, int Slot) {
    const std::vector<TCtlPlan>& controls = E.Plan().Controls;
    for (size_t i = 0; i < controls.size(); ++i) {
      const TCtlKind kind = controls[i].Kind;
      if (controls[i].Tag == Slot && kind != TCtlKind::DisplayEdit && kind != TCtlKind::DropButton)
        return dynamic_cast<W*>(E.ControlWidget(int(i)));
    }
    ADD_FAILURE() << "no control for slot " << Slot;
    return nullptr;
  }
  static void FocusOn(TEntryF& E, QWidget* W) {
    E.Focus->FocusControl(W);
    QApplication::processEvents();
  }
  // Types a code into a key field and leaves it with Tab, its exit check run.
  static void TypeCode(TEntryF& E, int Slot, const std::string& Code) {
    auto* edit = Control<QLineEdit>(E, Slot);
    FocusOn(E, edit);
    QTest::keyClicks(edit, WidgetText(Code));
    QTest::keyClick(edit, Qt::Key_Tab);
    QApplication::processEvents();
  }
  static const TSampleClient& Client() { return SampleOffice().Clients.front(); }
  static const TSampleCase& CaseOf(const std::string& client) {
    for (const TSampleCase& c : SampleOffice().Cases)
      if (c.Client == client) return c;
    throw std::runtime_error("no case");
  }
  static const TSampleEmployee& Employee() { return SampleOffice().Employees.front(); }

  // Runs Check, which opens the spelling dialog, and changes its first
  // word to the suggestion With, which must be offered.
  void ChangeSpelling(const std::function<void()>& Check, const std::string& Word, const std::string& With) {
    SSCE_SetRegTreeName("HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead\\Spelling");
    ResetRunSpellChecker();
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<TSpellDialog*>(QApplication::activeModalWidget());
      ran = true;
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(StoredText(dialog->NotFound->text()), Word);
      const QList<QListWidgetItem*> offered = dialog->Suggestions->findItems(WidgetText(With), Qt::MatchExactly);
      ASSERT_EQ(offered.size(), 1);
      dialog->Suggestions->setCurrentItem(offered.front());
      Boxes.Expect("The spelling check is complete.");
      dialog->ChangeBtn->click();
    });
    Check();
    EXPECT_TRUE(ran);
    ResetRunSpellChecker();
  }

  // The registry of this test only.
  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
};

TEST_F(EntryToolsTest, F2RecallsTheLastSavedValueAndMovesOn) {
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    auto* title = Control<QLineEdit>(entry, TitleSlot);
    auto* notes = Control<QPlainTextEdit>(entry, NotesSlot);
    auto* opened = Control<TdwDBCustomDateTimePicker>(entry, OpenedSlot);
    auto* billable = Control<QCheckBox>(entry, BillableSlot);
    ASSERT_TRUE(title && notes && opened && billable);
    const struct {
      QWidget* control;
      std::string recall;
      bool editing;
      bool moves;  // the recall took and a Tab followed
    } cases[] = {
        {title, "Retainer", false, true},
        {title, "   ", false, false},
        {title, "Other", true, false},  // a record being edited keeps its values
        {notes, "Line one", false, true},
        {notes, "", false, false},
        {opened, "20240315", false, true},
        {opened, "", false, false},
        {opened, "0", false, false},        // a find's empty date
        {opened, "20241341", false, false}, // no such day
        {billable, "Y", false, false},      // no recall for a check box
    };
    for (const auto& c : cases) {
      const int slot = c.control->property("tag").toInt();
      Store.FldTable[slot].PrevValue = c.recall;
      // The index field left filled: its exit asks for a value.
      title->setText(c.control == title ? "" : "Kept");
      notes->clear();
      opened->clear();
      entry.Editing = c.editing;
      entry.Dropdown.TypeAheadOff = false;
      FocusOn(entry, c.control);
      QTest::keyClick(c.control, Qt::Key_F2);
      QApplication::processEvents();
      const std::string label = Store.FldTable[slot].Name + " '" + c.recall + "'";
      EXPECT_EQ(QApplication::focusWidget() != c.control, c.moves) << label;
      EXPECT_EQ(entry.Dropdown.TypeAheadOff, !c.editing && c.control != billable) << label;
      if (c.control == title) {
        EXPECT_EQ(Text(title), c.moves ? c.recall : "") << label;
        title->setText("Kept");
      } else if (c.control == notes) {
        EXPECT_EQ(StoredText(notes->toPlainText()), c.recall) << label;
      } else if (c.control == opened) {
        EXPECT_EQ(opened->text().isEmpty(), !c.moves) << label;
        if (c.moves) {
          EXPECT_EQ(opened->Date(), EncodeDate(2024, 3, 15)) << label;
        }
      }
      Store.FldTable[slot].PrevValue.clear();
    }
    entry.Editing = false;
  });
}

// A saved record's values come back by F2 in the next one.
TEST_F(EntryToolsTest, F2RecallsWhatTheLastSaveStored) {
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    auto* title = Control<QLineEdit>(entry, TitleSlot);
    FocusOn(entry, title);
    QTest::keyClicks(title, "Retainer");
    auto* notes = Control<QPlainTextEdit>(entry, NotesSlot);
    FocusOn(entry, notes);
    QTest::keyClicks(notes, "First call");
    entry.BitBtnSave->click();
    QApplication::processEvents();
    EXPECT_TRUE(Boxes.Boxes().empty());
    // The next record, typed from an empty screen.
    title->clear();
    notes->clear();
    FocusOn(entry, title);
    QTest::keyClick(title, Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(Text(title), "Retainer");
    FocusOn(entry, notes);
    QTest::keyClick(notes, Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(StoredText(notes->toPlainText()), "First call");
  });
}

// A new record saved with the screen set to clear after a save, by a mouse
// click from a field: the fields go blank, then the replayed F2s start from
// the first field and bring back what was just saved, each recall moving on
// to the next field; without replays the screen stays blank.
TEST_F(EntryToolsTest, ASavedNewRecordClearsTheScreenThenTheReplayedF2sRecall) {
  Startup.AutoClear = true;
  for (const int replays : {0, 1}) {
    WhileOpen("Notebook", [&](TEntryF& entry) {
      QApplication::setActiveWindow(&entry);
      entry.F2Replays = replays;
      auto* title = Control<QLineEdit>(entry, TitleSlot);
      auto* notes = Control<QPlainTextEdit>(entry, NotesSlot);
      FocusOn(entry, title);
      QTest::keyClicks(title, "Retainer");
      FocusOn(entry, notes);
      QTest::keyClicks(notes, "First call");
      QTest::mouseClick(entry.BitBtnSave, Qt::LeftButton);
      for (int n = 0; n < 4; ++n) QApplication::processEvents();
      EXPECT_TRUE(Boxes.Boxes().empty()) << replays;
      EXPECT_EQ(Store.FldTable[TitleSlot].PrevValue, "Retainer");
      EXPECT_EQ(StoredText(notes->toPlainText()), "") << replays;
      EXPECT_EQ(Text(title), replays == 0 ? "" : "Retainer") << replays;
      EXPECT_EQ(entry.focusWidget() == title, replays == 0) << replays;
    });
  }
}

// After a find the focus goes to the first field and the replayed F2s
// start from there: each recalls the field's value and moves on.
TEST_F(EntryToolsTest, AfterAFindTheReplayedF2sStartFromTheFirstField) {
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    auto* title = Control<QLineEdit>(entry, TitleSlot);
    FocusOn(entry, title);
    QTest::keyClicks(title, "Retainer");
    entry.BitBtnSave->click();
    QApplication::processEvents();
    // The next record's title, then the find: the screen's values become
    // the recall values and the replay recalls the title into its field.
    entry.F2Replays = 1;
    title->clear();
    QTest::keyClicks(title, "Second");
    Store.FldTable[TitleSlot].PrevValue = "stale";
    Boxes.Expect("Cancel this record?", mrNo);
    QTest::mouseClick(entry.BitBtnFind, Qt::LeftButton);
    for (int n = 0; n < 4; ++n) QApplication::processEvents();
    ASSERT_TRUE(entry.GridView() && entry.GridView()->isVisible());
    EXPECT_EQ(Store.FldTable[TitleSlot].PrevValue, "Second");
    EXPECT_EQ(Text(title), "Second");
    // The recall moved on from the title: the replay reached it.
    EXPECT_NE(entry.focusWidget(), title);
    EXPECT_NE(entry.focusWidget(), entry.BitBtnFind);
  });
}

// A mouse click on a bar button runs its action wherever the focus was,
// a field or another bar button, also when the queued work between the
// press and the release runs as it does for a user's click.
TEST_F(EntryToolsTest, AClickOnABarButtonRunsItWhereverTheFocusWas) {
  PrinterProvider* previous = SetPrinterProvider(nullptr);
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    auto* title = Control<QLineEdit>(entry, TitleSlot);
    for (QWidget* from : std::initializer_list<QWidget*>{title, entry.BitBtnFind, entry.BitBtnClear}) {
      FocusOn(entry, from);
      ASSERT_EQ(QApplication::focusWidget(), from);
      const size_t before = Boxes.Boxes().size();
      Boxes.Expect(NoPrintersMsg);
      QTest::mousePress(entry.BitBtnPrint, Qt::LeftButton);
      for (int n = 0; n < 4; ++n) QApplication::processEvents();
      QTest::mouseRelease(entry.BitBtnPrint, Qt::LeftButton);
      for (int n = 0; n < 4; ++n) QApplication::processEvents();
      ASSERT_EQ(Boxes.Boxes().size(), before + 1) << from->objectName().toStdString();
      EXPECT_EQ(Boxes.Texts().back(), NoPrintersMsg);
    }
  });
  SetPrinterProvider(previous);
}

TEST_F(EntryToolsTest, TheCalendarStartsWithTheEntrysCodesOrSaysItCannot) {
  WriteFileBytes(Startup.ExeDir + "/zorvik", "");
  std::vector<std::vector<std::string>> started;
  const ScopedLauncher recording([&](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return 4242;
  });
  const TSampleClient& client = Client();
  const TSampleCase& theCase = CaseOf(client.Code);
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    EXPECT_TRUE(entry.CalBitBtn->isEnabled());
    EXPECT_EQ(StoredText(entry.CalBitBtn->toolTip()), "Show calendar entries for this case");
    // No client yet: the work date alone.
    entry.CalBitBtn->click();
    TypeCode(entry, ClientSlot, client.Code);
    TypeCode(entry, CaseSlot, theCase.Suffix);
    entry.CalBitBtn->click();
  });
  const std::string zorvik = Startup.ExeDir + "/zorvik";
  EXPECT_EQ(started, (std::vector<std::vector<std::string>>{
                         {zorvik, "461210d"}, {zorvik, "461210d", client.Code, "x_x_x", Trim(theCase.Suffix)}}));

  // Nothing to start: the message, and the screen goes on.
  std::filesystem::remove(zorvik);
  const ScopedLauncher real({});
  WhileOpen("Matters", [&](TEntryF& entry) {
    Boxes.Expect("You may not access the Calendar screen at this time.\r");
    entry.CalBitBtn->click();
    EXPECT_TRUE(entry.isVisible());
  });
}

TEST_F(EntryToolsTest, ADocumentIsAttachedOpenedAndRemoved) {
  const std::string document = TempPath("Letter of engagement.odt");
  WriteFileBytes(document, "text");
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    std::vector<std::string> chosen{"", document};
    std::vector<std::string> opened;
    bool opens = true;
    entry.ChooseDocument = [&] {
      const std::string next = chosen.front();
      chosen.erase(chosen.begin());
      return next;
    };
    entry.OpenDocument = [&](const std::string& Path) {
      opened.push_back(Path);
      return opens;
    };
    QWidget* panel = entry.ScrollContent->findChild<QWidget*>("DocPanel1");
    ASSERT_NE(panel, nullptr);
    auto* path = panel->findChild<QLineEdit*>("EditDocs1");
    auto* add = panel->findChild<QToolButton*>("AddSB1");
    auto* del = panel->findChild<QToolButton*>("DelSB1");
    auto* view = panel->findChild<QToolButton*>("EditSB1");
    ASSERT_TRUE(path && add && del && view);
    EXPECT_FALSE(view->isEnabled());
    EXPECT_FALSE(del->isEnabled());

    // Cancelled: nothing changes.
    add->click();
    EXPECT_EQ(Text(path), "");
    add->click();
    EXPECT_EQ(Text(path), document);
    EXPECT_TRUE(view->isEnabled());
    EXPECT_TRUE(del->isEnabled());
    view->click();
    EXPECT_EQ(opened, std::vector<std::string>{document});

    opens = false;
    Boxes.Expect("No application is set up to open the document " + document + ".");
    view->click();
    std::filesystem::remove(document);
    Boxes.Expect("The document " + document + " cannot be found.");
    view->click();
    EXPECT_EQ(opened.size(), 2u);

    del->click();
    EXPECT_EQ(Text(path), "");
    EXPECT_FALSE(view->isEnabled());
    // A path typed by hand enables the buttons when the edit is entered.
    path->setText("C:\\letters\\a.odt");
    Control<QLineEdit>(entry, TitleSlot)->setText("Kept");
    FocusOn(entry, Control<QLineEdit>(entry, TitleSlot));
    FocusOn(entry, path);
    EXPECT_TRUE(view->isEnabled());
    path->clear();
    Boxes.Expect("Please select a document first.");
    entry.SBEditClick(path);
  });
}

// The stopwatch reports its time on the bus each second and "0:00" when it
// stops; a pause tells the hub too.
TEST_F(EntryToolsTest, TheStopwatchReportsToTheHub) {
  const std::filesystem::path runtime = std::filesystem::path(TempPath("run"));
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  ScopedRuntimeDir scoped(runtime.string());
  ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
  BusPeer hub(InstanceBusFolder(), "9000001.sock");
  const auto next = [&] {
    std::string why;
    const std::optional<std::string> bytes = hub.Receive();
    if (!bytes) return std::string("nothing");
    const std::optional<BusDatagram> d = DecodeBusDatagram(*bytes, why);
    return d && d->name == "CV_Message_Status" ? TrimRight(d->text.substr(0, 31)) : "other: " + why;
  };
  WhileOpen("Matters", [&](TEntryF& entry) {
    EXPECT_FALSE(entry.PauseBitBtn->isVisible());
    EXPECT_EQ(StoredText(entry.SBTimer->toolTip()), "Start timer");
    entry.SBTimer->click();
    EXPECT_TRUE(entry.PauseBitBtn->isVisible());
    EXPECT_EQ(StoredText(entry.SBTimer->toolTip()), "Stop timer");
    EXPECT_TRUE(entry.TimerEntry->isActive());
    for (const char* shown : {"00:00:01", "00:00:02"}) {
      Clock.Advance(1000);
      entry.TimerEntryTimer();
      EXPECT_EQ(next(), Format("%-30sT", shown));
    }
    entry.PauseBitBtn->click();
    EXPECT_EQ(StoredText(entry.PauseBitBtn->text()), "Rest&art");
    EXPECT_FALSE(entry.TimerEntry->isActive());
    EXPECT_EQ(next(), Format("%-30sQ", "Matters"));
    // The status panel shows what other instances report too: the restart
    // goes on from the stopwatch's own count.
    entry.StatusPanels[1]->setText("07:00:00");
    Clock.Advance(60 * 1000);
    entry.PauseBitBtn->click();
    EXPECT_EQ(next(), Format("%-30sQ", "Matters"));
    Clock.Advance(1000);
    entry.TimerEntryTimer();
    EXPECT_EQ(next(), Format("%-30sT", "00:00:03"));
    entry.SBTimer->click();
    EXPECT_FALSE(entry.PauseBitBtn->isVisible());
    EXPECT_EQ(next(), Format("%-30sT", "0:00"));
  });
  CloseInstanceBus();
}

// The quick entry takes the entry's codes and, when it is new, the
// stopwatch's time.
TEST_F(EntryToolsTest, TheQuickEntryTakesOverCodesAndTime) {
  const TSampleClient& client = Client();
  const TSampleCase& theCase = CaseOf(client.Code);
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    TypeCode(entry, ClientSlot, client.Code);
    TypeCode(entry, CaseSlot, theCase.Suffix);
    TypeCode(entry, EmpSlot, Employee().Code);
    entry.SBTimer->click();
    Clock.Advance(600 * 1000);
    entry.TimerEntryTimer();
    entry.PauseBitBtn->click();
    entry.BitBtnQuickEntry->click();
    ASSERT_FALSE(QEF.isNull());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(QEF.data()));
    QApplication::setActiveWindow(QEF.data());
    QApplication::processEvents();
    TQEF& qe = *QEF;
    EXPECT_EQ(Trim(StoredText(qe.EditClient->text())), client.Code);
    EXPECT_EQ(Trim(StoredText(qe.EditCase->text())), Trim(theCase.Suffix));
    EXPECT_EQ(Trim(StoredText(qe.EditEmp->text())), Employee().Code);
    // Ten minutes in steps of 0.1 hours (the sample office's increment), paused.
    EXPECT_EQ(StoredText(qe.EditHours->text()), "0.20");
    EXPECT_TRUE(qe.Stopwatch().Paused());
    EXPECT_TRUE(QEFRunning);

    // The description's spelling, by its button.
    qe.Memo1->setPlainText("Called the client abuot the lease.");
    ChangeSpelling([&] { qe.SBSpellCheck->click(); }, "abuot", "about");
    EXPECT_EQ(StoredText(qe.Memo1->toPlainText()), "Called the client about the lease.");
  });
}

// A new quick entry takes the stopwatch's time as it stands, stopped,
// running or paused; one already open keeps its own.
TEST_F(EntryToolsTest, OnlyANewQuickEntryTakesTheStopwatchsTime) {
  const struct {
    bool start, pause;
    std::string hours;
    bool running;
  } cases[] = {
      {false, false, "0.00", false},
      {true, false, "0.20", true},
      {true, true, "0.20", true},
  };
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    for (const auto& c : cases) {
      const std::string label = std::string(c.start ? "started" : "stopped") + (c.pause ? ", paused" : "");
      if (c.start) {
        entry.SBTimer->click();
        Clock.Advance(600 * 1000);
        entry.TimerEntryTimer();
      }
      if (c.pause) entry.PauseBitBtn->click();
      entry.BitBtnQuickEntry->click();
      ASSERT_FALSE(QEF.isNull()) << label;
      TQEF* qe = QEF.data();
      EXPECT_EQ(StoredText(qe->EditHours->text()), c.hours) << label;
      EXPECT_EQ(qe->Stopwatch().Running(), c.running) << label;
      EXPECT_EQ(qe->Stopwatch().Paused(), c.pause) << label;
      if (!c.start) {
        // Asked again while it is open: the same screen, which keeps its
        // own stopwatch whatever the entry's does.
        entry.SBTimer->click();
        Clock.Advance(600 * 1000);
        entry.TimerEntryTimer();
        entry.BitBtnQuickEntry->click();
        EXPECT_EQ(QEF.data(), qe);
        EXPECT_FALSE(qe->Stopwatch().Running());
        EXPECT_EQ(StoredText(qe->EditHours->text()), "0.00");
      }
      delete QEF.data();
      QApplication::processEvents();
      if (!entry.Stopwatch().Stopped()) entry.SBTimer->click();
    }
  });
}

TEST_F(EntryToolsTest, CheckSpellingCorrectsTheFocusedMemoInPlace) {
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    Control<QLineEdit>(entry, TitleSlot)->setText("Kept");
    auto* notes = Control<QPlainTextEdit>(entry, NotesSlot);
    FocusOn(entry, notes);
    notes->setPlainText("The clerk filed teh brief.");
    const Qt::ScrollBarPolicy before = notes->horizontalScrollBarPolicy();
    ChangeSpelling([&] { entry.Checkspelling1->trigger(); }, "teh", "the");
    EXPECT_EQ(StoredText(notes->toPlainText()), "The clerk filed the brief.");
    EXPECT_EQ(notes->horizontalScrollBarPolicy(), before);
    QApplication::setActiveWindow(&entry);
    // A control without text, or no field, asks nothing.
    FocusOn(entry, Control<QLineEdit>(entry, TitleSlot));
    Control<QLineEdit>(entry, TitleSlot)->clear();
    entry.Checkspelling1->trigger();
  });
}

// The word processor gets DocInfo.Txt in the data root, each field by name
// with its shown value and a lookup's display columns, then its start.
TEST_F(EntryToolsTest, CreateDocumentHandsTheEntryToTheWordProcessor) {
  WriteFileBytes(Startup.ExeDir + "/WINWORD.EXE", "");
  std::vector<std::vector<std::string>> started;
  int answer = 4242;
  const ScopedLauncher recording([&](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return answer;
  });
  const TSampleClient& client = Client();
  const std::string docInfo = SampleOfficeFolder() + "/DocInfo.Txt";
  WhileOpen("Letters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    // Nothing chosen: the display columns found nothing.
    const std::string names =
        "\"Client\",\"Client name\",\"City\",\"Title\",\"Opened\",\"Billable\",\"Colour\",\"Notes\"\r\n";
    entry.Createdocument1->trigger();
    // The date shows the work date from the start.
    EXPECT_EQ(ReadFileBytes(docInfo),
              names + "\"\",\"not found\",\"not found\",\"\",\"12/10/2026\",\"N\",\"\",\"\"\r\n");
    TypeCode(entry, 1, client.Code);
    Control<QLineEdit>(entry, 2)->setText("  Engagement  ");
    Control<QCheckBox>(entry, 4)->setChecked(true);
    Control<QLineEdit>(entry, 5)->setText("Red");
    Control<QPlainTextEdit>(entry, 6)->setPlainText("Line one\nLine two");
    Control<TdwDBCustomDateTimePicker>(entry, 3)->clear();
    entry.Createdocument1->trigger();
    const std::string joined = client.FirstName.empty() ? client.LastName : client.LastName + ", " + client.FirstName;
    EXPECT_EQ(ReadFileBytes(docInfo), names + "\"" + client.Code + "\",\"" + joined + "\",\"" + client.City +
                                          "\",\"Engagement\",\"\",\"Y\",\"Red\",\"Line one\r\nLine two\"\r\n");
    answer = -1;
    Boxes.Expect("You may not launch your word processor at this time.");
    entry.Createdocument1->trigger();
  });
  const std::vector<std::string> word{Startup.ExeDir + "/WINWORD.EXE", "/mCV1"};
  EXPECT_EQ(started, (std::vector<std::vector<std::string>>{word, word, word}));
}

// A Tab moves on from a memo, Ctrl held or not, and never enters it; the
// memo holds its field's width counting a line break as two, typed or
// pasted.
TEST_F(EntryToolsTest, MemosTakeNoTabAndHoldTheirWidth) {
  WhileOpen("Notebook", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    Control<QLineEdit>(entry, TitleSlot)->setText("Kept");
    auto* notes = Control<QPlainTextEdit>(entry, NotesSlot);
    for (const Qt::KeyboardModifiers held : {Qt::NoModifier, Qt::ControlModifier}) {
      FocusOn(entry, notes);
      QTest::keyClick(notes, Qt::Key_Tab, held);
      QApplication::processEvents();
      EXPECT_NE(QApplication::focusWidget(), notes) << held;
      FocusOn(entry, notes);
      QTest::keyClick(notes, Qt::Key_Backtab, held | Qt::ShiftModifier);
      QApplication::processEvents();
      EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(entry, OpenedSlot)) << held;
    }
    EXPECT_EQ(notes->toPlainText(), "");

    const QString full = QString(97, 'a') + "\n";
    const std::string refused = "You have reached the maximum size for this field!  100 characters)";
    FocusOn(entry, notes);
    notes->setPlainText(full);
    notes->moveCursor(QTextCursor::End);
    QTest::keyClick(notes, Qt::Key_X);
    EXPECT_EQ(notes->toPlainText(), full + "x");
    Boxes.Expect(refused);
    QTest::keyClick(notes, Qt::Key_Y);
    EXPECT_EQ(notes->toPlainText(), full + "x");
    // A paste that would pass the width is taken back whole.
    notes->setPlainText(QString(90, 'b'));
    notes->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText("0123456789A");
    Boxes.Expect(refused);
    QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(notes->toPlainText(), QString(90, 'b'));
    QApplication::clipboard()->setText("0123456789");
    QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(notes->toPlainText(), QString(90, 'b') + "0123456789");
  });
}

TEST_F(EntryToolsTest, TheDropdownLimitStaysWhileAListIsOpen) {
  WhileOpen("Letters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    auto* client = Control<QLineEdit>(entry, 1);
    FocusOn(entry, client);
    QTest::keyClicks(client, "b");
    ASSERT_TRUE(entry.ListPanel->isVisible());
    Boxes.Expect("You may not change this option while a dropdown list is in use.");
    entry.LimitDD1->trigger();
    EXPECT_FALSE(entry.LimitDD1->isChecked());
    QTest::keyClick(client, Qt::Key_Escape);
    ASSERT_FALSE(entry.ListPanel->isVisible());
    entry.LimitDD1->trigger();
    EXPECT_TRUE(entry.LimitDD1->isChecked());
    entry.LimitDD1->trigger();
    EXPECT_FALSE(entry.LimitDD1->isChecked());
  });
}

// Print sends the record to the default printer (a PDF file here): the
// title, then each row's label and value in their columns; without a
// printer, the message at every attempt.
TEST_F(EntryToolsTest, PrintSendsTheRecordToThePrinterOrSaysThereIsNone) {
  const std::string pdf = TempPath("record.pdf");
  PrinterProvider* previous = InstallQtPrinters();
  SetPrintToPdf(pdf);
  const TSampleClient& client = Client();
  double pitch = 0;
  std::vector<TPrintLine> lines;
  WhileOpen("Letters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    TypeCode(entry, 1, client.Code);
    Control<QLineEdit>(entry, 2)->setText("Engagement letter");
    Control<QCheckBox>(entry, 4)->setChecked(true);
    Control<QPlainTextEdit>(entry, 6)->setPlainText("Line one\nLine two");
    entry.BitBtnPrint->click();
    EXPECT_TRUE(Boxes.Boxes().empty());
    lines = RecordPrintLines("Letters", ClockNow(), entry.PrintRows());
    // The printed character's width, as a job measures it.
    SetPrintToPdf(TempPath("scratch.pdf"));
    std::unique_ptr<TPrintJob> job = BeginPrintJob("scratch");
    SetPrintToPdf(pdf);
    ASSERT_NE(job, nullptr);
    job->SetFont(-RecordPrintFontHeight(job->PixelsPerInchY()), false);
    pitch = job->TextWidth("A") * 72.0 / job->PixelsPerInchX();
  });
  const std::vector<std::vector<std::string>> pages = PdfPages(pdf, pitch);
  ASSERT_EQ(pages.size(), 1u);
  // What the PDF says, line for line, is what the lines hold, each text in
  // its column (the reader cuts the blanks all lines start with).
  std::vector<std::string> printed, want;
  for (const std::string& line : pages[0])
    if (!Trim(line).empty()) printed.push_back(line);
  size_t margin = std::string::npos;
  for (const TPrintLine& line : lines) {
    if (Trim(line.Text).empty()) continue;
    want.push_back(TrimRight(WidgetText(line.Text).toStdString()));
    margin = std::min(margin, want.back().find_first_not_of(' '));
  }
  for (std::string& line : want) line.erase(0, margin);
  EXPECT_EQ(printed, want);
  // Every label ends at column 27, two blanks before its value; the right
  // side's at 96.
  const auto pad = [](size_t N) { return std::string(N, ' '); };
  const size_t labelEnd = 27 - margin;
  const std::string joined = client.FirstName.empty() ? client.LastName : client.LastName + ", " + client.FirstName;
  ASSERT_EQ(want.size(), 8u);
  EXPECT_EQ(want[0], pad(50 - margin) + "Letters" + pad(43) + "12/10/2026");
  EXPECT_EQ(want[1], pad(labelEnd - 6) + "Client  " + client.Code + pad(40 - client.Code.size() + 16) + "Client name  " +
                         Trim(WidgetText(joined).toStdString()));
  EXPECT_EQ(want[3], pad(labelEnd - 5) + "Title  Engagement letter" + pad(23 + 21) + "Opened  12/10/2026");
  EXPECT_EQ(want[4], pad(labelEnd - 8) + "Billable  YES");
  EXPECT_EQ(want[6], pad(labelEnd - 5) + "Notes  Line one");
  EXPECT_EQ(want[7], pad(labelEnd + 2) + "Line two");

  // No printer: the message each time.
  SetPrinterProvider(nullptr);
  WhileOpen("Letters", [&](TEntryF& entry) {
    Boxes.Expect(NoPrintersMsg);
    entry.BitBtnPrint->click();
    Boxes.Expect(NoPrintersMsg);
    entry.Print1->trigger();
  });
  SetPrintToPdf("");
  SetPrinterProvider(previous);
}

}  // namespace
