// The entry screen's field checks end to end: the real main window over the
// sample office, a designed template with a client lookup (name and city
// displayed), a list-only case lookup (alternate id and opening date
// displayed), a number with 2 decimals, a two-column user list and a
// unique reference as index 1; tried with the keyboard as a new user
// would, every box scripted.
#include "mainwin/tests/entry_window_fixture.h"

#include "platform/atoms.h"
#include "platform/qt/focus_model.h"
#include "platform/window_messages.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_loader.h"
#include "templates/instance_messages.h"
#include "templates/record_codec.h"
#include "templates/product_dates.h"
#include "templates/user_list_store.h"
#include "testing/bus_peer.h"
#include "testing/keyboard.h"
#include "testing/temp_dir.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

constexpr int ReferenceId = 5;

class EntryChecksTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      AddClientLookup(t).DispCols[2] = 5;
      TFld& matterCase = t.Add("Case", 'C', 7);
      matterCase.IsLookup = matterCase.UpperCase = matterCase.Forced = true;
      matterCase.LkpKind = "L";
      matterCase.LkpSpec = "B 22";
      matterCase.DispCols[1] = 23;
      matterCase.DispCols[2] = 54;
      t.Add("Amount", 'N', 14).Decimals = 2;
      TFld& colour = t.Add("Colour", 'C', 10);
      colour.IsLookup = true;
      colour.LkpKind = "U";
      colour.LkpTarget = "7.lst";
      colour.LkpSpec = "2 10";
      t.Add("Reference", 'C', 8).UpperCase = true;
      t.Index(1, {ReferenceId}, true, "By reference");
      const TTemplateNumber checks = Saved("Checks");
      InsertRecords(DataFileName(checks), {WithPrefix(0, FillRecord({{ReferenceId, "REF-1"}}))});
    }
    WriteUserListFile(7, {ListHeaderLine("Colours"), "Red" + ListSep + "Rouge", "Green" + ListSep + "Vert",
                          "Blue" + ListSep + "Bleu"});
    Start();
  }

  static std::string Joined(const TSampleClient& C) {
    return C.FirstName.empty() ? C.LastName : C.LastName + ", " + C.FirstName;
  }
  // Blank when there is none: the comparison then fails.
  static TSampleClient Client(const std::string& Code) {
    for (const TSampleClient& c : SampleOffice().Clients)
      if (c.Code == Code) return c;
    return {};
  }
  static TSampleCase Case(const std::string& Client, const std::string& Suffix) {
    for (const TSampleCase& k : SampleOffice().Cases)
      if (k.Client == Client && k.Suffix == Suffix) return k;
    ADD_FAILURE() << "no case " << Client << "/" << Suffix;
    return {};
  }
  static void Key(Qt::Key K, Qt::KeyboardModifiers M = Qt::NoModifier) {
    keyboard::Type(K, M);
    QApplication::processEvents();
  }
  static void Type(const std::string& Text) {
    keyboard::Type(Text);
    QApplication::processEvents();
  }
  // A case chosen by typing its suffix: the list completes it, Enter closes it.
  static void ChooseCase(TEntryF& E, const std::string& Suffix) {
    Type(Suffix);
    Key(Qt::Key_Return);
    EXPECT_FALSE(E.ListPanel->isVisible());
  }
};

TEST_F(EntryChecksTest, ANewUserFillsTheScreenAndEachCheckAnswersAsItShould) {
  WhileOpen("Checks", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    EXPECT_EQ(Labels(entry), (std::vector<std::string>{"Client", "Client name", "City", "Case", "Case Alternate ID",
                                                       "Date case opened", "Amount", "Colour", "Reference"}));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit *name = Edit(entry, "Edit2"), *city = Edit(entry, "Edit3");
    QLineEdit* matterCase = Edit(entry, "Edit4");
    QLineEdit *altId = Edit(entry, "Edit5"), *opened = Edit(entry, "Edit6");
    QLineEdit* amount = Edit(entry, "Edit7");
    QLineEdit *colour = Edit(entry, "Edit8"), *colourName = Edit(entry, "Edit9");
    QLineEdit* reference = Edit(entry, "Edit10");
    ASSERT_TRUE(client && matterCase && amount && colour && colourName && reference);
    ASSERT_EQ(QApplication::focusWidget(), client);

    // Leaving for a command (Find here) checks nothing.
    entry.Focus->FocusControl(entry.BitBtnFind);
    EXPECT_EQ(QApplication::focusWidget(), entry.BitBtnFind);
    entry.Focus->FocusControl(client);

    // Leaving the client empty: the message, the focus stays.
    Boxes.Expect("A value must be entered here.");
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), client);
    EXPECT_EQ(Boxes.Boxes().back().type, mtWarning);

    // A client chosen by keys fills its display rows.
    const std::string first = SampleOffice().Cases[0].Client;
    const std::vector<std::string> codes = ClientCodes();
    const size_t at = size_t(std::lower_bound(codes.begin(), codes.end(), first) - codes.begin());
    Type(first.substr(0, 2));
    EXPECT_TRUE(entry.ListPanel->isVisible());
    const std::string typed = Text(client);
    const size_t typedAt = size_t(std::lower_bound(codes.begin(), codes.end(), typed) - codes.begin());
    for (size_t k = typedAt; k < at; ++k) Key(Qt::Key_Down);
    EXPECT_EQ(Text(client), first);
    EXPECT_EQ(Text(name), Joined(Client(first)));
    EXPECT_EQ(Text(city), Client(first).City);
    Shot("entry_client_list");
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), matterCase);
    EXPECT_EQ(entry.Dropdown.ClientCode, first);

    // The case list shows that client's cases only; a choice fills the case rows.
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(entry.ListPanel->isVisible());
    int theirs = 0;
    for (const TSampleCase& k : SampleOffice().Cases) theirs += k.Client == first;
    EXPECT_EQ(entry.ListRows.Filled, theirs);
    for (int r = 0; r < entry.ListRows.Filled; ++r) EXPECT_EQ(Cell(entry, 5, r), first) << r;
    Key(Qt::Key_Escape);
    const std::string suffix = SampleOffice().Cases[0].Suffix;
    ChooseCase(entry, suffix);
    EXPECT_EQ(Text(matterCase), suffix);
    const TSampleCase chosen = Case(first, suffix);
    EXPECT_EQ(Text(altId), chosen.AltId);
    std::string openedText;
    if (!chosen.Opened.empty()) FileDateToDisplayDate(chosen.Opened, true, openedText);
    EXPECT_EQ(Text(opened), openedText);

    // A list-only field with a value not in its list keeps the focus.
    matterCase->selectAll();
    Type("zz9");
    Boxes.Expect("Only items that appear in the dropdown list are acceptable entries for the field Case.");
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), matterCase);
    EXPECT_EQ(Boxes.Boxes().back().type, mtInformation);
    Key(Qt::Key_Escape);
    ChooseCase(entry, suffix);

    // Another client empties the case and its rows.
    Key(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), client);
    const auto another = std::find_if(SampleOffice().Cases.begin(), SampleOffice().Cases.end(),
                                      [&](const TSampleCase& k) { return k.Client != first; });
    ASSERT_NE(another, SampleOffice().Cases.end());
    const std::string other = another->Client;
    Type(other);
    EXPECT_EQ(Text(client), other);
    Key(Qt::Key_Tab);
    EXPECT_EQ(entry.Dropdown.ClientCode, other);
    EXPECT_EQ(Text(name), Joined(Client(other)));
    for (QLineEdit* e : {matterCase, altId, opened}) EXPECT_EQ(Text(e), "") << StoredText(e->objectName());
    ASSERT_EQ(QApplication::focusWidget(), matterCase);
    ChooseCase(entry, another->Suffix);

    // The number is checked and formatted on leaving it.
    Key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), amount);
    Type("1,23");
    Boxes.Expect("1,23 is not a valid numeric value.");
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), amount);
    amount->selectAll();
    Type("1234567");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(amount), "1,234,567.00");
    Shot("entry_number");

    // The user list opens on entry, completes typed text, and Enter fills
    // its second column.
    ASSERT_EQ(QApplication::focusWidget(), colour);
    EXPECT_TRUE(entry.ListPanel->isVisible());
    EXPECT_EQ(entry.ListRows.Filled, 3);
    EXPECT_EQ(Cell(entry, 0, 1), "Green");
    EXPECT_EQ(Cell(entry, 1, 1), "Vert");
    Type("gr");
    EXPECT_EQ(Text(colour), "Green");
    EXPECT_EQ(StoredText(colour->selectedText()), "een");
    Shot("entry_user_list");
    Key(Qt::Key_Return);
    EXPECT_FALSE(entry.ListPanel->isVisible());
    EXPECT_EQ(Text(colourName), "Vert");
    // A key move marks a row; leaving the field takes it.
    Key(Qt::Key_Down, Qt::AltModifier);
    Key(Qt::Key_Down);
    EXPECT_EQ(Text(colour), "Green");
    EXPECT_EQ(entry.DropdownRow(), 2);
    Key(Qt::Key_Down);  // the last item: no further
    EXPECT_EQ(entry.DropdownRow(), 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(colour), "Blue");
    EXPECT_EQ(Text(colourName), "Bleu");

    // Leaving index 1's only field with a stored record's value asks the
    // find for it; another value does not.
    ASSERT_EQ(QApplication::focusWidget(), reference);
    Type("ref-9");
    Key(Qt::Key_Escape);
    Type("REF-9");
    Key(Qt::Key_Backtab);
    EXPECT_FALSE(entry.Dropdown.FoundByExit);
    entry.Focus->FocusControl(reference);
    reference->selectAll();
    Type("REF-1");
    Key(Qt::Key_Return);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(entry.Dropdown.FoundByExit);
    EXPECT_TRUE(entry.Dropdown.SaveAfterFind);  // Tab went on to the buttons
    // The find opened the record: Find is off while editing, the move ends on Save.
    EXPECT_EQ(QApplication::focusWidget(), entry.BitBtnSave);
    EXPECT_EQ(entry.IndexKey, "REF-1   ");

    // First, Page Down and Last step through the clients.
    entry.Focus->FocusControl(client);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(entry.ListPanel->isVisible());
    QTest::mouseClick(entry.SBFirst, Qt::LeftButton);
    EXPECT_EQ(Text(client), codes.front());
    EXPECT_EQ(entry.DropdownRow(), 0);
    EXPECT_EQ(QApplication::focusWidget(), client);
    QTest::mouseClick(entry.SBPgDn, Qt::LeftButton);
    EXPECT_EQ(Text(client), codes[8]);
    EXPECT_EQ(Text(name), Joined(Client(codes[8])));
    // Page Down hands the focus to the list: its own keys go on, each row
    // reached taken as a move by keys.
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(entry.StringGrid1));
    Key(Qt::Key_Down);
    EXPECT_EQ(entry.DropdownRow(), 9);
    EXPECT_EQ(Text(client), codes[9]);
    EXPECT_EQ(Text(name), Joined(Client(codes[9])));
    Key(Qt::Key_Up);
    EXPECT_EQ(Text(client), codes[8]);
    QTest::mouseClick(entry.SBPgUp, Qt::LeftButton);
    EXPECT_EQ(Text(client), codes.front());
    QTest::mouseClick(entry.SBLast, Qt::LeftButton);
    EXPECT_EQ(Text(client), codes.back());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(entry.StringGrid1));
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// Notes what one edit shows each time a box comes up.
class WatchingResponder : public DialogResponder {
public:
  explicit WatchingResponder(const QLineEdit* Watched) : watched_(Watched) {}
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) override {
    SeenWhileShown.push_back(StoredText(watched_->text()));
    return DialogResponder::MessageDlg(text, type, buttons, helpCtx);
  }
  std::vector<std::string> SeenWhileShown;

private:
  const QLineEdit* watched_;
};

// A code past the last client: typing it leaves the list on the last
// client's row, yet leaving the field shows "not found" beside it, during
// a list-only field's refusal and after it, whether the field is list-only
// or free.
TEST_F(EntryChecksTest, AClientCodeWithNoRecordShowsNotFoundInsteadOfTheNearestClient) {
  const std::string onlyListed = "Only items that appear in the dropdown list are acceptable entries for the field Client.";
  WhileOpen("Checks", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit *name = Edit(entry, "Edit2"), *city = Edit(entry, "Edit3");
    ASSERT_TRUE(client && name && city);
    const std::string last = ClientCodes().back();
    ASSERT_LT(last, std::string("ZZZ999"));
    Type(last);
    Key(Qt::Key_Tab);
    ASSERT_EQ(Text(name), Joined(Client(last)));
    // Back by way of a command, which checks nothing: the empty case would
    // not let the focus go.
    const auto backToClient = [&] {
      entry.Focus->FocusControl(entry.BitBtnFind);
      entry.Focus->FocusControl(client);
      client->selectAll();
    };
    for (const bool listOnly : {true, false}) {
      SCOPED_TRACE(listOnly ? "list-only" : "free");
      Store.FldTable[1].Forced = listOnly;  // the screen reads it on each exit
      backToClient();
      Type("ZZZ999");
      ASSERT_EQ(Text(client), "ZZZ999");
      EXPECT_EQ(Text(name), Joined(Client(last)));  // the row typing stands on
      WatchingResponder boxes(name);
      if (listOnly) boxes.Expect(onlyListed);
      Key(Qt::Key_Tab);
      EXPECT_EQ(boxes.SeenWhileShown, listOnly ? std::vector<std::string>{"not found"} : std::vector<std::string>{});
      EXPECT_EQ(Text(client), "ZZZ999");
      EXPECT_EQ(Text(name), "not found");
      EXPECT_EQ(Text(city), "not found");
      EXPECT_EQ(QApplication::focusWidget() == client, listOnly);
      Shot(listOnly ? "entry_client_not_found_refused" : "entry_client_not_found_free");
    }
    // A real code fills the rows again.
    backToClient();
    Type(last);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(name), Joined(Client(last)));
    EXPECT_EQ(Text(city), Client(last).City);
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// The matter e-mail's index 1 is the client and the case. Leaving the
// client alone, of a client with matters, finds nothing (the whole key is
// looked for, not the client's first matter); the case then finds the
// record. Each new client is told to the hub as status "U".
TEST_F(EntryChecksTest, TheMatterEmailFindsARecordOnlyByClientAndCaseAndTellsTheHubTheClient) {
  const TSampleCase& k = SampleOffice().Cases[0];
  {
    ASSERT_TRUE(LoadTemplateDescriptor("001"));
    const std::vector<int> sortSlots = IndexSortSlots(1);
    ASSERT_EQ(sortSlots.size(), 2u);
    EXPECT_TRUE(Store.IndexUnique[1]);
    InsertRecords(DataFileName(TTemplateNumber(1)),
                  {WithPrefix(0, FillRecord({{Store.FldTable[sortSlots[0]].FldId, k.Client},
                                             {Store.FldTable[sortSlots[1]].FldId, k.Suffix}}))});
  }
  ScopedTempDir bus;
  ScopedRuntimeDir runtime{bus.path().string()};
  std::vector<std::string> status;
  SetInstanceMessageHandler([&](UINT Msg, WPARAM, LPARAM Text) {
    if (RegisteredMessageName(Msg) == "CV_Message_Status") status.push_back(GlobalGetAtomName(ATOM(Text & 0xFFFF)));
  });
  WhileOpen("Matter e-mail", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit* matterCase = nullptr;
    for (QLineEdit* e : entry.ScrollContent->findChildren<QLineEdit*>())
      if (e->property("tag").toInt() == 2) matterCase = e;
    ASSERT_TRUE(client && matterCase);
    ASSERT_EQ(QApplication::focusWidget(), client);
    Type(k.Client);
    EXPECT_EQ(Text(client), k.Client);
    entry.Focus->FocusControl(matterCase);
    ASSERT_EQ(QApplication::focusWidget(), matterCase);
    EXPECT_FALSE(entry.Dropdown.FoundByExit);
    ASSERT_EQ(status.size(), 1u);
    const std::string name = Format("%-30s", StoredText(entry.LabelTableName->text()));
    EXPECT_EQ(status[0], name + "U" + Format("%-7s", k.Client) + std::string(7, ' ') + std::string(4, ' '));
    Type(k.Suffix);
    Key(Qt::Key_Return);
    entry.Focus->FocusControl(client);
    EXPECT_TRUE(entry.Dropdown.FoundByExit);
    EXPECT_EQ(status.size(), 1u);  // the same client: nothing new to tell
  });
  SetInstanceMessageHandler({});
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// The exit checks as a table over a second template: a client lookup with a
// display row, a required user list, a forced user list and a required
// plain field. Each row: the field, what is typed (empty: the field
// emptied), where the focus goes ("Tab": the next field), whether a client
// link panel is open; then the message shown ("": none) and whether the
// focus stayed.
class EntryExitTableTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      AddClientLookup(t);
      TFld& colour = t.Add("Colour", 'C', 10);
      colour.IsLookup = colour.Required = true;
      colour.LkpKind = "U";
      colour.LkpTarget = "7.lst";
      colour.LkpSpec = "2 10";
      TFld& shade = t.Add("Shade", 'C', 10);
      shade.IsLookup = shade.Forced = true;
      shade.LkpKind = "U";
      shade.LkpTarget = "7.lst";
      shade.LkpSpec = "2 10";
      t.Add("Note", 'C', 20).Required = true;
      t.Add("Remarks", 'C', 20);
      Saved("Exits");
    }
    WriteUserListFile(7, {"Red" + ListSep + "Rouge", "Green" + ListSep + "Vert"});
    Start();
  }
};

TEST_F(EntryExitTableTest, EachFieldKindAcceptsOrRefusesItsExitByTextAndDestination) {
  const std::string mustEnter = "A value must be entered here.";
  const std::string onlyListed = "Only items that appear in the dropdown list are acceptable entries for the field Shade.";
  const std::string client = ClientCodes().front();
  struct TRow {
    std::string Field, Typed, To;
    bool LinkOpen;
    std::string Message;
    bool Stays;
  };
  const std::vector<TRow> rows = {
      // An empty lookup with display rows: refused on a move to a field or
      // to Save, free to a command, to Filter, or with a link panel open.
      {"Client", "", "Tab", false, mustEnter, true},
      {"Client", "", "BitBtnSave", false, mustEnter, true},
      {"Client", "", "BitBtnCancel", false, "", false},
      {"Client", "", "BitBtnFilter", false, "", false},
      {"Client", "", "Tab", true, "", false},
      {"Client", "", "BitBtnSave", true, "", false},
      {"Client", client, "Tab", false, "", false},
      // A free lookup takes a text not in its list.
      {"Client", "ZZZZZZ", "Tab", false, "", false},
      // A required user list: empty refused, a listed text taken.
      {"Colour", "", "Tab", false, mustEnter, true},
      {"Colour", "", "Tab", true, "", false},
      {"Colour", "Red", "Tab", false, "", false},
      // A forced user list: only its items, a command still free.
      {"Shade", "Mauve", "Tab", false, onlyListed, true},
      {"Shade", "Mauve", "BitBtnSave", false, onlyListed, true},
      {"Shade", "Mauve", "BitBtnCancel", false, "", false},
      {"Shade", "Green", "Tab", false, "", false},
      {"Shade", "", "Tab", false, "", false},
      // A required plain field is the save's to check, not the exit's.
      {"Note", "", "Tab", false, "", false},
      {"Note", "", "BitBtnSave", false, "", false},
  };
  WhileOpen("Exits", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    std::map<std::string, QLineEdit*> fields;
    for (const TCtlPlan& c : entry.Plan().Controls) {
      if (c.Tag < 1 || c.Tag > MaxFields || c.Kind != TCtlKind::Edit) continue;
      auto* e = entry.ScrollContent->findChild<QLineEdit*>(QString::fromStdString(c.Name));
      if (e && !fields.count(TrimRight(Store.FldTable[c.Tag].Name))) fields[TrimRight(Store.FldTable[c.Tag].Name)] = e;
    }
    ASSERT_EQ(fields.size(), 5u);
    // A place to start each row from that checks nothing; the client
    // first gets a value, so that it can be left for it.
    QLineEdit* remarks = fields["Remarks"];
    ASSERT_EQ(QApplication::focusWidget(), fields["Client"]);
    keyboard::Type(client);
    for (const TRow& r : rows) {
      SCOPED_TRACE(r.Field + " '" + r.Typed + "' > " + r.To + (r.LinkOpen ? " (link open)" : ""));
      QLineEdit* field = fields[r.Field];
      ASSERT_NE(field, nullptr);
      entry.Focus->FocusControl(remarks);
      QApplication::processEvents();
      entry.Focus->FocusControl(field);
      QApplication::processEvents();
      ASSERT_EQ(QApplication::focusWidget(), field);
      // Changed by hand: an untouched user list is never checked.
      field->selectAll();
      keyboard::Type("x");
      keyboard::Type(Qt::Key_Backspace);
      if (!r.Typed.empty()) keyboard::Type(r.Typed);
      QApplication::processEvents();
      ASSERT_EQ(Text(field), r.Typed);
      entry.ListBoxClient->setVisible(r.LinkOpen);
      const size_t before = Boxes.Boxes().size();
      if (!r.Message.empty()) Boxes.Expect(r.Message);
      if (r.To == "Tab") {
        keyboard::Type(Qt::Key_Tab);
      } else {
        entry.Focus->FocusControl(entry.findChild<QWidget*>(QString::fromStdString(r.To)));
      }
      QApplication::processEvents();
      QApplication::processEvents();
      EXPECT_EQ(Boxes.Boxes().size(), before + (r.Message.empty() ? 0 : 1));
      EXPECT_EQ(QApplication::focusWidget() == field, r.Stays)
          << StoredText(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
      entry.ListBoxClient->setVisible(false);
      EXPECT_EQ(Boxes.Pending(), 0u);
      if (Boxes.Pending() != 0u) return;
      // A refused field gets a value it takes, so that the next row starts
      // clean.
      if (r.Stays) {
        field->selectAll();
        keyboard::Type(r.Field == "Client" ? client : r.Field == "Colour" ? "Red" : "Green");
        QApplication::processEvents();
      }
    }
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// Field's list opened from the field with Alt+Down.
void OpenListOf(TEntryF& Entry, QLineEdit* Field) {
  Entry.Focus->FocusControl(Field);
  QApplication::processEvents();
  keyboard::Type(Qt::Key_Down, Qt::AltModifier);
  QApplication::processEvents();
}

// A paging button clicked: the field's text then.
std::string ClickPaging(QToolButton* Button, const QLineEdit* Field) {
  QTest::mouseClick(Button, Qt::LeftButton);
  QApplication::processEvents();
  return StoredText(Field->text());
}

// The paging buttons on a template lookup's list and on an index field's
// own list: twenty records each, more than two pages.
class EntryPagingTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    std::vector<std::string> targets, own;
    for (int n = 1; n <= 20; ++n) {
      Codes.push_back(Format("C%02d", n));
      Refs.push_back(Format("R%02d", n));
    }
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6).UpperCase = true;
      t.Add("Title", 'C', 20);
      t.Index(1, {1}, true, "By code");
    }
    const TTemplateNumber target = Saved("Code list");
    for (const std::string& c : Codes) targets.push_back(WithPrefix(0, FillRecord({{1, c}, {2, "Title " + c}})));
    InsertRecords(DataFileName(target), targets);
    {
      TTemplateTableBuilder t;
      TFld& code = t.Add("Code", 'C', 6);
      code.IsLookup = code.UpperCase = true;
      code.LkpKind = "M";
      code.LkpTarget = "MNGR" + target.ZeroFilled() + ".DSC";
      code.LkpSpec = Format("1%3d%3d", 1, 2);
      t.Add("Reference", 'C', 6).UpperCase = true;
      t.Index(1, {2}, true, "By reference");
    }
    const TTemplateNumber paged = Saved("Paged");
    for (const std::string& r : Refs) own.push_back(WithPrefix(0, FillRecord({{2, r}})));
    InsertRecords(DataFileName(paged), own);
    Start();
  }
  std::vector<std::string> Codes, Refs;
};

TEST_F(EntryPagingTest, FirstPageDownPageUpAndLastStepThroughEachSource) {
  WhileOpen("Paged", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    for (const auto& [name, values] : {std::pair{"Edit1", Codes}, std::pair{"Edit2", Refs}}) {
      SCOPED_TRACE(name);
      QLineEdit* field = Edit(entry, name);
      ASSERT_NE(field, nullptr);
      OpenListOf(entry, field);
      ASSERT_TRUE(entry.ListPanel->isVisible());
      const auto click = [&](QToolButton* B) { return ClickPaging(B, field); };
      EXPECT_EQ(click(entry.SBFirst), values[0]);
      EXPECT_EQ(click(entry.SBPgDn), values[8]);
      EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(entry.StringGrid1));
      EXPECT_EQ(click(entry.SBPgDn), values[16]);
      EXPECT_EQ(click(entry.SBLast), values[19]);
      EXPECT_EQ(click(entry.SBFirst), values[0]);
      // Paging past the file's end stops at its last record; Page Up
      // goes back a page from there.
      EXPECT_EQ(click(entry.SBPgDn), values[8]);
      EXPECT_EQ(click(entry.SBPgDn), values[16]);
      EXPECT_EQ(click(entry.SBPgDn), values[19]);
      EXPECT_EQ(entry.ListRows.Filled, 20);
      EXPECT_EQ(click(entry.SBPgUp), values[11]);
      EXPECT_EQ(click(entry.SBFirst), values[0]);
      if (name != std::string("Edit1")) continue;
      // The grid's own keys: a move takes the row, Enter closes the list
      // on it and gives the field the focus back.
      keyboard::Type(Qt::Key_Down);
      QApplication::processEvents();
      EXPECT_EQ(Text(field), values[1]);
      keyboard::Type(Qt::Key_Return);
      QApplication::processEvents();
      EXPECT_EQ(Text(field), values[1]);
      EXPECT_FALSE(entry.ListPanel->isVisible());
      EXPECT_EQ(QApplication::focusWidget(), field);
      // Escape in the grid goes back to the field, its text kept.
      keyboard::Type(Qt::Key_Down, Qt::AltModifier);
      QApplication::processEvents();
      click(entry.SBPgDn);
      ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(entry.StringGrid1));
      const std::string paged = Text(field);
      keyboard::Type(Qt::Key_Escape);
      QApplication::processEvents();
      EXPECT_EQ(QApplication::focusWidget(), field);
      EXPECT_EQ(Text(field), paged);
      EXPECT_FALSE(entry.ListPanel->isVisible());
    }
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// An index field's own list longer than one fill: index 1 is group, then
// reference; 120 references in group "B" between a few of groups "A" and
// "C". Reading on past the rows read goes on within group "B".
class EntryLongOwnListTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      t.Add("Group", 'C', 4).UpperCase = true;
      t.Add("Reference", 'C', 6).UpperCase = true;
      t.Index(1, {1, 2}, true, "By group and reference");
    }
    const TTemplateNumber matters = Saved("Long list");
    std::vector<std::string> records;
    for (int n = 1; n <= 120; ++n) Refs.push_back(Format("R%.3d", n));
    for (const std::string& r : Refs) records.push_back(WithPrefix(0, FillRecord({{1, "B"}, {2, r}})));
    for (const char* g : {"A", "C"})
      for (int n = 1; n <= 5; ++n) records.push_back(WithPrefix(0, FillRecord({{1, g}, {2, Format("R%.3d", n)}})));
    InsertRecords(DataFileName(matters), records);
    Start();
  }
  // The grid's filled rows are group "B"'s references from the one in row 0
  // on, without a gap.
  void ExpectRunOfRefs(TEntryF& Entry) {
    ASSERT_GT(Entry.ListRows.Filled, 0);
    const auto first = std::find(Refs.begin(), Refs.end(), Cell(Entry, 0, 0));
    ASSERT_NE(first, Refs.end()) << Cell(Entry, 0, 0);
    const long start = first - Refs.begin();
    std::vector<std::string> shown, expected;
    for (int r = 0; r < Entry.ListRows.Filled; ++r) shown.push_back(Cell(Entry, 0, r));
    const long end = std::min<long>(start + Entry.ListRows.Filled, long(Refs.size()));
    expected.assign(Refs.begin() + start, Refs.begin() + end);
    EXPECT_EQ(shown, expected);
  }
  std::vector<std::string> Refs;
};

TEST_F(EntryLongOwnListTest, ReadingOnKeepsTheListsPrefixAndGoesOnAfterItsLastRow) {
  WhileOpen("Long list", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* group = Edit(entry, "Edit1");
    QLineEdit* field = Edit(entry, "Edit2");
    ASSERT_NE(group, nullptr);
    ASSERT_NE(field, nullptr);
    entry.Focus->FocusControl(group);
    QApplication::processEvents();
    keyboard::Type("B");
    OpenListOf(entry, field);
    ASSERT_TRUE(entry.ListPanel->isVisible());
    // The field's Down key at the last row read reads on the same way: the
    // list goes on from that row, which stays chosen.
    const auto chosen = [&] { return Cell(entry, 0, entry.DropdownRow()); };
    for (int n = 0; n < RowsBelowStart; ++n) keyboard::Type(Qt::Key_Down);
    ASSERT_EQ(chosen(), Refs[40]);
    ASSERT_EQ(entry.ListRows.Filled, RowsBelowStart + 1);
    keyboard::Type(Qt::Key_Down);
    EXPECT_EQ(chosen(), Refs[40]);
    EXPECT_EQ(Text(field), Refs[40]);
    EXPECT_EQ(Cell(entry, 0, 0), Refs[40 - StepBackLimit]);
    ExpectRunOfRefs(entry);
    keyboard::Type(Qt::Key_Down);
    EXPECT_EQ(chosen(), Refs[41]);
    const auto click = [&](QToolButton* B) { return ClickPaging(B, field); };
    EXPECT_EQ(click(entry.SBFirst), Refs[0]);
    EXPECT_EQ(entry.ListRows.Filled, RowsBelowStart + 1);
    // Five pages stay in the rows read; the sixth reads on from the last
    // one and lands eight rows on, the rows before it kept for context.
    for (size_t page = 1; page <= 5; ++page) EXPECT_EQ(click(entry.SBPgDn), Refs[8 * page]);
    EXPECT_EQ(click(entry.SBPgDn), Refs[48]);
    EXPECT_EQ(Cell(entry, 0, 0), Refs[40 - StepBackLimit]);
    ExpectRunOfRefs(entry);
    // On to the group's last reference, never into group "C".
    for (size_t page = 7; page <= 14; ++page) {
      SCOPED_TRACE(page);
      EXPECT_EQ(click(entry.SBPgDn), Refs[8 * page]);
      ExpectRunOfRefs(entry);
    }
    EXPECT_EQ(click(entry.SBPgDn), Refs[119]);
    EXPECT_EQ(click(entry.SBPgDn), Refs[119]);
    ExpectRunOfRefs(entry);
    EXPECT_EQ(Cell(entry, 0, entry.ListRows.Filled - 1), Refs[119]);
    EXPECT_EQ(click(entry.SBPgUp), Refs[111]);
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

}  // namespace
