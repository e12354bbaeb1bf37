// The entry screen's lookups end to end: the real main window over the
// sample office, a designed template with a client lookup (display columns
// and the name pseudo-field), a case lookup, an employee lookup, a template
// lookup on a second template, and an index-1 text field; each list tried
// by typing and keys as a user would, every box scripted.
#include "mainwin/tests/entry_window_fixture.h"

#include "platform/qt/focus_model.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// The target template's field ids.
constexpr int TargetCode = 1, TargetTitle = 2, TargetOpened = 3;

class EntryLookupTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    // The target of the template lookup: matters with an opening date.
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6).UpperCase = true;
      t.Add("Title", 'C', 20);
      t.Add("Opened", 'D', 8);
      t.Index(1, {TargetCode}, true, "By code");
    }
    target = Saved("Matter list");
    InsertRecords(DataFileName(target), {WithPrefix(0, FillRecord({{1, "ALPHA"}, {2, "First matter"}, {3, "20240315"}})),
                                         WithPrefix(0, FillRecord({{1, "BRAVO"}, {2, "Second matter"}, {3, "        "}})),
                                         WithPrefix(0, FillRecord({{1, "CHARLY"}, {2, "Third"}, {3, "19991231"}}))});
    const TTemplateNumber billing = BuildBilling("Billing", TargetOpened);
    InsertRecords(DataFileName(billing),
                  {WithPrefix(0, FillRecord({{6, "REF-1"}})), WithPrefix(0, FillRecord({{6, "REF-2"}})),
                   WithPrefix(0, FillRecord({{6, "OTHER"}}))});
    // The same with a display column the target does not have.
    BuildBilling("Broken billing", 9);
    Start();
  }

  // Client (code, its name as the pseudo-field, city), case, employee, the
  // template lookup (code and date listed; title and date displayed), and
  // the reference, index 1's only sort field.
  TTemplateNumber BuildBilling(const std::string& Name, int SecondDisplay) {
    TTemplateTableBuilder t;
    TFld& client = t.Add("Client", 'C', 7);
    client.IsLookup = client.Unique = client.UpperCase = true;
    // With its alternate lookup on: the name is a field of its own.
    client.LkpKind = "l";
    client.LkpSpec = "A  0  1";
    client.DispCols[1] = 1;
    client.DispCols[2] = 5;
    AddFamilyLookup(t, "Case", 7, "B 22");
    AddFamilyLookup(t, "Employee", 4, "E 62 63");
    TFld& matter = t.Add("Matter", 'C', 10);
    matter.KeyWidth = 6;
    matter.IsLookup = matter.UpperCase = true;
    matter.LkpKind = "M";
    matter.LkpTarget = "MNGR" + target.ZeroFilled() + ".DSC";
    matter.LkpSpec = Format("1%3d%3d", TargetCode, TargetOpened);
    matter.DispCols[1] = TargetTitle;
    matter.DispCols[2] = SecondDisplay;
    t.Add("Notes", 'C', 10);
    t.Add("Reference", 'C', 8).UpperCase = true;
    t.Index(1, {6}, true, "By reference");
    return Saved(Name);
  }

  TTemplateNumber target;
};

TEST_F(EntryLookupTest, EachListOfADesignedTemplateAsAUserMeetsIt) {
  WhileOpen("Billing", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    // Client, its name (the pseudo-field), city, case, employee, matter,
    // the target's title and date, notes, reference.
    EXPECT_EQ(Labels(entry), (std::vector<std::string>{"Client", "Client name", "City", "Case", "Employee", "Matter",
                                                       "Title", "Opened", "Notes", "Reference"}));
    QLineEdit* client = Edit(entry, "Edit1");
    ASSERT_NE(client, nullptr);
    entry.Focus->FocusControl(client);

    // Typing opens the list under the field at the typed position.
    const std::vector<std::string> codes = ClientCodes();
    const std::string first = *std::lower_bound(codes.begin(), codes.end(), std::string("C"));
    QTest::keyClicks(client, "c");
    EXPECT_TRUE(entry.ListPanel->isVisible());
    EXPECT_EQ(entry.ListPanel->y(), client->geometry().bottom() + 1);
    EXPECT_EQ(Text(client), first);
    EXPECT_EQ(StoredText(client->selectedText()), first.substr(1));
    const int row = entry.DropdownRow();
    EXPECT_EQ(Cell(entry, 0, row), first);
    QTest::keyClick(client, Qt::Key_Down);
    EXPECT_EQ(entry.DropdownRow(), row + 1);
    QTest::keyClick(client, Qt::Key_Up);
    EXPECT_EQ(entry.DropdownRow(), row);
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_FALSE(entry.ListPanel->isVisible());
    EXPECT_EQ(Text(client), "");

    // The name pseudo-field lists clients by name, last name first.
    QLineEdit* name = Edit(entry, "Edit2");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->property("tag").toInt(), 52);
    EXPECT_TRUE(name->isEnabled());
    entry.Focus->FocusControl(name);
    const std::string last = SampleOffice().Clients[0].LastName;
    QTest::keyClicks(name, QString::fromStdString(last.substr(0, 2)).toLower());
    EXPECT_TRUE(entry.ListPanel->isVisible());
    const std::string found = Cell(entry, 0, entry.DropdownRow());
    EXPECT_TRUE(AnsiSameText(found.substr(0, 2), last.substr(0, 2))) << found;
    EXPECT_NE(found.find(", "), std::string::npos) << found;
    EXPECT_EQ(Text(name), found);
    EXPECT_FALSE(Cell(entry, 1, entry.DropdownRow()).empty());  // the code beside it
    QTest::keyClick(name, Qt::Key_Escape);

    // The case list wants a client first. An empty client may not be left;
    // a code the list lacks may (the field is not list-only) but names no
    // client.
    QLineEdit* matterCase = Edit(entry, "Edit4");
    entry.Focus->FocusControl(client);
    QTest::keyClick(client, Qt::Key_Escape);
    QTest::keyClicks(client, "azz");
    entry.Focus->FocusControl(matterCase);
    Boxes.Expect("Please select a client first!");
    QTest::keyClicks(matterCase, "1");
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), client);

    // The template lookup lists the target's records, dates month/day/year.
    QLineEdit* matter = Edit(entry, "Edit6");
    entry.Focus->FocusControl(matter);
    QTest::keyClick(matter, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(entry.ListPanel->isVisible());
    EXPECT_EQ(entry.ListRows.Filled, 3);
    EXPECT_EQ(Cell(entry, 0, 0), "ALPHA");
    EXPECT_EQ(Cell(entry, 1, 0), "03/15/2024");
    EXPECT_EQ(Cell(entry, 1, 1), "");
    EXPECT_EQ(Cell(entry, 1, 2), "12/31/1999");
    QTest::keyClicks(matter, "c");
    EXPECT_EQ(Text(matter), "CHARLY");
    QTest::keyClick(matter, Qt::Key_Escape);

    // The reference lists the values stored under index 1.
    QLineEdit* reference = Edit(entry, "Edit10");
    entry.Focus->FocusControl(reference);
    QTest::keyClicks(reference, "r");
    EXPECT_TRUE(entry.ListPanel->isVisible());
    EXPECT_EQ(entry.ListRows.Filled, 2);
    EXPECT_EQ(Cell(entry, 0, 0), "REF-1");
    EXPECT_EQ(Cell(entry, 0, 1), "REF-2");
    EXPECT_EQ(Text(reference), "REF-1");
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// The client's name is a field of its own: leaving the code for it asks
// nothing; a whole name typed there is checked against the list by name
// and makes its client the current one, the code in the code field; a
// name not listed passes (the field is not list-only) and changes nothing.
TEST_F(EntryLookupTest, TheNameFieldChecksATypedNameAndTakesItsClient) {
  WhileOpen("Billing", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit* name = Edit(entry, "Edit2");
    QLineEdit* city = Edit(entry, "Edit3");
    ASSERT_TRUE(client && name && city);
    ASSERT_EQ(QApplication::focusWidget(), client);
    entry.Focus->FocusControl(name);
    EXPECT_EQ(QApplication::focusWidget(), name);  // no box: the strict responder says so
    // A person's whole name, last name first, as the list shows it.
    const auto person = std::find_if(SampleOffice().Clients.begin(), SampleOffice().Clients.end(),
                                     [](const TSampleClient& c) { return !c.FirstName.empty(); });
    ASSERT_NE(person, SampleOffice().Clients.end());
    const std::string whole = person->LastName + ", " + person->FirstName;
    entry.SetProgramText(name, whole);
    entry.Focus->FocusControl(client);
    EXPECT_EQ(entry.Dropdown.ClientCode, person->Code);
    EXPECT_EQ(Text(client), person->Code);
    EXPECT_EQ(Text(city), person->City);
    EXPECT_EQ(Store.FldTable[52].ReservedText, whole.substr(0, 3));  // the search text keeps 3 bytes
    // Not listed: accepted, the current client stays.
    entry.Focus->FocusControl(name);
    entry.SetProgramText(name, "Nobody, At All");
    entry.Focus->FocusControl(client);
    EXPECT_EQ(entry.Dropdown.ClientCode, person->Code);
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

TEST_F(EntryLookupTest, TheMatterEmailsCaseListCompletesATypedSuffix) {
  const TSampleClient& c = SampleOffice().Clients[0];
  WhileOpen("Matter e-mail", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    QLineEdit* client = Edit(entry, "Edit1");
    ASSERT_NE(client, nullptr);
    // The case field comes after the client's three display rows.
    QLineEdit* matterCase = nullptr;
    for (QLineEdit* e : entry.ScrollContent->findChildren<QLineEdit*>())
      if (e->property("tag").toInt() == 2) matterCase = e;
    ASSERT_NE(matterCase, nullptr);
    // Leaving the client with a listed code makes it the current client.
    entry.SetProgramText(client, c.Code);
    entry.Focus->FocusControl(matterCase);
    EXPECT_EQ(entry.Dropdown.ClientCode, c.Code);
    QTest::keyClicks(matterCase, "12");
    EXPECT_TRUE(entry.ListPanel->isVisible());
    EXPECT_EQ(Cell(entry, 0, entry.DropdownRow()), "     12");
    EXPECT_EQ(Text(matterCase), "     12");
    for (int r = 0; r < entry.ListRows.Filled; ++r) EXPECT_EQ(Cell(entry, 5, r), c.Code);
  });
}

TEST_F(EntryLookupTest, AChildInstanceOpensWithItsParametersFilledAndTheFocusOnSave) {
  const TSampleCase& k = SampleOffice().Cases[0];
  const TSampleEmployee& e = SampleOffice().Employees[0];
  std::string error;
  ASSERT_TRUE(SetCommandLine({"mtdesk", "", "", k.Client, "", k.Suffix, e.Code, "1"}, error));
  Startup.IsChildApp = true;
  WhileOpen("Billing", [&](TEntryF& entry) {
    EXPECT_EQ(Text(Edit(entry, "Edit1")), k.Client);
    EXPECT_EQ(Text(Edit(entry, "Edit4")), k.Suffix);
    EXPECT_EQ(Text(Edit(entry, "Edit5")), e.Code);
    EXPECT_EQ(entry.Focus->Current(), entry.BitBtnSave);
    EXPECT_FALSE(entry.ListPanel->isVisible());
  });
}

TEST_F(EntryLookupTest, ATargetLackingADisplayFieldClosesTheScreenAfterItsMessage) {
  const std::string missing = "Unable to obtain required information about a display field from\r" + Store.DataDir +
                              "\\MNGR" + target.ZeroFilled() + ".DSC.\rField number is  9\r\r" + ContactMsg;
  Boxes.Expect(missing);
  Select("Broken billing");
  bool closedByItself = true;
  QTimer::singleShot(10000, [&] {
    if (auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget())) {
      closedByItself = false;
      entry->BitBtnCancelClick();
    }
  });
  Form->EntryMaintenancefor1->trigger();
  EXPECT_TRUE(closedByItself);
  EXPECT_EQ(Boxes.Pending(), 0u);
  EXPECT_EQ(Boxes.Boxes().at(0).type, mtError);
  EXPECT_FALSE(BtrIsFileOpen(32));
}

}  // namespace
