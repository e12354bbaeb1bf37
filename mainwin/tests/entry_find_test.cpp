// The find through the real main window and entry screen, as a new user
// meets it on the sample office: Find All lists every record with the
// client's name beside its code, a double click brings a row into the
// screen for editing, Clear goes back to a new entry, a typed client and
// Use Filter show that client's rows, another index re-sorts them; the
// leave check's question, and the clearing's defaults.
#include "entry/qt/grid_form.h"
#include "entry/qt/grid_model.h"
#include "datetime/qt/date_time_picker.h"
#include "mainwin/tests/entry_window_fixture.h"
#include "platform/date_format.h"
#include "platform/qt/focus_model.h"
#include "entry/field_checks.h"
#include "templates/record_codec.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "testing/keyboard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class EntryFindTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    // The two first clients in key order.
    const std::vector<std::string> codes = ClientCodes();
    for (const TSampleClient& c : SampleOffice().Clients) {
      if (c.Code == codes[0]) first = c;
      if (c.Code == codes[1]) second = c;
    }
    {
      TTemplateTableBuilder t;
      AddClientLookup(t);
      t.Add("Opened", 'D', 8).Default = "0";
      TFld& amount = t.Add("Amount", 'N', 10);
      amount.RightJustify = true;
      amount.Decimals = 2;
      t.Add("Billable", 'B', 1);
      t.Index(1, {1, 2}, true, "By client");
      t.Index(2, {3}, false, "By amount");
    }
    matters = Saved("Matters");
    InsertRecords(DataFileName(matters),
                  {WithPrefix(0, FillRecord({{1, first.Code}, {2, "20240305"}, {3, "300.00"}, {4, "Y"}}, "20240305")),
                   WithPrefix(0, FillRecord({{1, first.Code}, {2, "20250102"}, {3, "20.00"}, {4, "N"}}, "20250110")),
                   WithPrefix(0, FillRecord({{1, second.Code}, {2, "        "}, {3, "100.00"}, {4, "N"}}))});
    {
      TTemplateTableBuilder t;
      t.Add("No default", 'D', 8);
      t.Add("Zero", 'D', 8).Default = "0";
      t.Add("Fixed", 'D', 8).Default = "1/2/2020";
      t.Add("Unreadable", 'D', 8).Default = "13/45/2020";
      t.Add("Key", 'C', 3);
      t.Index(1, {5}, true, "By key");
    }
    Saved("Dates");
    // A memo, a document and a two-column user list.
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 4);
      t.Add("Notes", 'C', 80);
      t.Add("Brief", 'd', 72);
      TFld& colour = t.Add("Colour", 'C', 10);
      colour.IsLookup = true;
      colour.LkpKind = "U";
      colour.LkpTarget = "7.lst";
      colour.LkpSpec = "2 10";
      t.Index(1, {1}, true, "By code");
    }
    InsertRecords(DataFileName(Saved("Kinds")),
                  {WithPrefix(0, FillRecord({{1, "K1"}, {2, "First line of notes"}, {3, "c:\\briefs\\k1.doc"},
                                             {4, "Green"}}))});
    WriteUserListFile(7, {ListHeaderLine("Colours"), "Red" + ListSep + "Rouge", "Green" + ListSep + "Vert"});
    // A case lookup showing the case's first description line.
    matterCase = SampleOffice().Cases[0];
    {
      TTemplateTableBuilder t;
      TFld& client = t.Add("Client", 'C', 7);
      client.IsLookup = client.Unique = client.UpperCase = true;
      client.LkpKind = "L";
      client.LkpSpec = "A  0";
      TFld& suffix = t.Add("Case", 'C', 7);
      suffix.IsLookup = suffix.Unique = suffix.UpperCase = suffix.RightJustify = true;
      suffix.LkpKind = "L";
      suffix.LkpSpec = "B 22";
      suffix.DispCols[1] = 80;
      t.Index(1, {1, 2}, true, "By case");
    }
    InsertRecords(DataFileName(Saved("Cases")),
                  {WithPrefix(0, FillRecord({{1, matterCase.Client}, {2, Format("%7s", matterCase.Suffix)}})),
                   WithPrefix(0, FillRecord({{1, matterCase.Client}, {2, "    ZZZ"}}))});
    Start();
  }

  static std::string Joined(const TSampleClient& C) {
    return C.FirstName.empty() ? C.LastName : C.LastName + ", " + C.FirstName;
  }
  static void Click(QWidget* W) {
    QTest::mouseClick(W, Qt::LeftButton);
    QApplication::processEvents();
  }
  static bool IsRed(const QFrame* Shape) { return Shape->palette().color(QPalette::Window) == QColor(255, 0, 0); }

  TSampleClient first, second;
  TSampleCase matterCase;
  TTemplateNumber matters;
};

TEST_F(EntryFindTest, ANewUserFindsEditsClearsFiltersAndResorts) {
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit* name = Edit(entry, "Edit2");
    QLineEdit* amount = Edit(entry, "Edit3");
    auto* opened = entry.ScrollContent->findChild<TdwDBCustomDateTimePicker*>("Date1");
    auto* billable = entry.ScrollContent->findChild<QCheckBox*>();
    ASSERT_TRUE(client && name && amount && opened && billable);
    EXPECT_EQ(StoredText(entry.LabelEditing->text()), "New entry");
    EXPECT_FALSE(entry.ShapeEditing->isVisible());

    // Find All: every record in index-1 order, the client's name beside
    // its code, nothing asked while nothing was typed.
    Click(entry.BitBtnFind);
    TEGridF& grid = *entry.GridView();
    ASSERT_TRUE(grid.isVisible());
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{first.Code, first.Code, second.Code}));
    EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{Joined(first), Joined(first), Joined(second)}));
    EXPECT_EQ(Column(grid, 3), (std::vector<std::string>{"03/05/2024", "01/02/2025", ""}));
    EXPECT_EQ(Column(grid, 5), (std::vector<std::string>{"Y", "", ""}));
    EXPECT_EQ(Store.FldTable[1].PrevValue, "");
    EXPECT_EQ(Store.FldTable[2].PrevValue, "0");
    Shot("find_all");

    // A double click on the second row: that record in the screen for
    // editing, the stamp in the status label, the shape red.
    QTableView* view = grid.StringGridFind;
    const QPoint at = view->visualRect(grid.Model->index(1, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    EXPECT_FALSE(grid.isVisible());
    EXPECT_TRUE(entry.Editing);
    EXPECT_EQ(Text(client), first.Code);
    EXPECT_EQ(Text(name), Joined(first));
    // A right-justified number keeps its place in its width.
    EXPECT_EQ(Text(amount), "     20.00");
    EXPECT_EQ(opened->Value(), EncodeDate(2025, 1, 2));
    EXPECT_FALSE(billable->isChecked());
    EXPECT_EQ(StoredText(entry.LabelEditing->text()), "Entry last modified 01/10/2025");
    EXPECT_TRUE(entry.ShapeEditing->isVisible());
    EXPECT_TRUE(IsRed(entry.Shape2));
    EXPECT_FALSE(entry.BitBtnFind->isEnabled());
    EXPECT_FALSE(entry.BitBtnFilter->isEnabled());
    // The copy taken at the load: the record as read, prefix first.
    EXPECT_EQ(entry.LoadedRecord.substr(4, 7), first.Code + std::string(7 - first.Code.size(), ' '));
    EXPECT_EQ(entry.LoadedRecord.size(), Store.TplRec.size());
    Shot("editing");

    // Clear: a new entry again; with AutoClear the fields go back to
    // their defaults (the date to none).
    Startup.AutoClear = true;
    Click(entry.BitBtnClear);
    EXPECT_FALSE(entry.Editing);
    EXPECT_EQ(StoredText(entry.LabelEditing->text()), "New entry");
    EXPECT_FALSE(entry.ShapeEditing->isVisible());
    EXPECT_FALSE(IsRed(entry.Shape2));
    EXPECT_TRUE(entry.BitBtnFind->isEnabled());
    EXPECT_EQ(Text(client), "");
    EXPECT_EQ(Text(amount), "");
    EXPECT_EQ(opened->Value(), 0);

    // The first client typed, then Use Filter: that client's rows only.
    entry.Focus->FocusControl(client);
    keyboard::Type(first.Code);
    QApplication::processEvents();
    Click(entry.BitBtnFilter);
    ASSERT_TRUE(grid.isVisible());
    EXPECT_EQ(Column(grid, 3), (std::vector<std::string>{"03/05/2024", "01/02/2025"}));
    Shot("filter");

    // Another index in the grid: the same rows by amount.
    QApplication::setActiveWindow(&grid);
    grid.ComboBox1->setFocus();
    QTest::keyClick(grid.ComboBox1, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(grid.CurrentIndex, 2);
    EXPECT_EQ(Column(grid, 4), (std::vector<std::string>{"     20.00", "    300.00"}));
    EXPECT_FALSE(grid.IndexChange);
    Shot("resorted");
    grid.CloseByProgram();
  });
}

TEST_F(EntryFindTest, FindAllAsksBeforeDroppingWhatWasTyped) {
  WhileOpen("Matters", [&](TEntryF& entry) {
    QLineEdit* amount = Edit(entry, "Edit3");
    entry.SetProgramText(amount, "5.00");
    // No keeps the typed value; the find goes on.
    Boxes.Expect("Cancel this record?", mrNo);
    entry.BitBtnFindClick();
    EXPECT_EQ(Text(amount), "5.00");
    EXPECT_EQ(entry.GridView()->Table.RowCount(), 3);
    entry.CloseGridView();
    // Yes clears the screen; the value was the comparison base after
    // AutoClear off, so a second find asks nothing.
    Boxes.Expect("Cancel this record?", mrYes);
    entry.BitBtnFindClick();
    entry.CloseGridView();
    EXPECT_EQ(Text(amount), "5.00");
    EXPECT_EQ(Store.FldTable[3].CurValue, "5.00");
    entry.BitBtnFindClick();
    EXPECT_EQ(Boxes.Boxes().size(), 2u);
    entry.CloseGridView();
  });
}

TEST_F(EntryFindTest, AReadFailureSaysWhyAndClosesTheDataFile) {
  WhileOpen("Matters", [&](TEntryF& entry) {
    // A field the records cannot hold (a damaged descriptor, as read).
    Store.FldTable[3].Width = 500;
    Boxes.Expect("The field Amount lies outside the record.\r\rYou will not be able to find records in this template "
                 "at this time.\r\rPlease contact Ondral, Inc. for assistance.");
    entry.BitBtnFindClick();
    EXPECT_EQ(Boxes.Boxes().back().type, mtError);
    EXPECT_FALSE(BtrIsFileOpen(52));
    EXPECT_FALSE(entry.GridView()->isVisible());
  });
}

TEST_F(EntryFindTest, TheGridsEditReReadsAndSaysWhenTheRecordChanged) {
  WhileOpen("Matters", [&](TEntryF& entry) {
    entry.BitBtnFindClick();
    TEGridF& grid = *entry.GridView();
    grid.SelectRow(2);
    // The record as another workstation left it since the find.
    grid.Table.SetCell(2, 4, "999.00");
    Boxes.Expect(
        "Please note that the record you are about to edit has been changed since it was displayed in the grid.  The "
        "screen shows the latest values for this record.");
    grid.BitBtnEditClick();
    EXPECT_FALSE(entry.FindByMsg);
    EXPECT_TRUE(entry.Editing);
    EXPECT_EQ(Text(Edit(entry, "Edit3")), "    100.00");
    EXPECT_EQ(StoredText(entry.LabelEditing->text()), "Entry last modified 12/10/2026");
    // The grid's close while editing says nothing; Clear ends the editing.
    entry.GridAction(GridCommand::Closed, Store.TplName);
    EXPECT_FALSE(entry.Editing);
    // Another template's command is not this screen's.
    entry.GridAction(GridCommand::EditRow, "Other");
    EXPECT_FALSE(entry.Editing);
  });
}

TEST_F(EntryFindTest, ClearingSetsEachDateByItsDefaultWithAndWithoutAutoClear) {
  const TDateTime set = EncodeDate(2001, 1, 1), work = EncodeDate(2026, 12, 10);
  struct TCase {
    bool AutoClear;
    std::vector<TDateTime> Dates;  // no default, "0", a date, unreadable
  };
  const TCase cases[] = {{false, {set, 0, set, set}}, {true, {set, 0, EncodeDate(2020, 1, 2), set}}};
  for (const TCase& c : cases) {
    WhileOpen("Dates", [&](TEntryF& entry) {
      Startup.AutoClear = c.AutoClear;
      std::vector<TdwDBCustomDateTimePicker*> pickers;
      for (int n = 1; n <= 4; ++n) {
        pickers.push_back(entry.ScrollContent->findChild<TdwDBCustomDateTimePicker*>("Date" + QString::number(n)));
        ASSERT_NE(pickers.back(), nullptr);
        pickers.back()->SetDate(set);
      }
      entry.SetProgramText(Edit(entry, "Edit1"), "K1");
      Click(entry.BitBtnClear);
      for (size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(pickers[n]->Value(), c.Dates[n]) << n << " AutoClear " << c.AutoClear;
        EXPECT_EQ(Store.FldTable[int(n) + 1].CurValue, c.Dates[n] == 0 ? "0" : FormatDateTime("yyyymmdd", c.Dates[n]));
      }
      // Every control cleared, the one after the dates too.
      EXPECT_EQ(Text(Edit(entry, "Edit1")), c.AutoClear ? "" : "K1");
      // A date without default that shows none gets the work date.
      pickers[0]->clear();
      Click(entry.BitBtnClear);
      EXPECT_EQ(pickers[0]->Value(), work);
    });
  }
}

TEST_F(EntryFindTest, AnExitOnAStoredKeyOpensThatRecordAndAColumnLookupPicksAValue) {
  WhileOpen("Matters", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    QLineEdit* client = Edit(entry, "Edit1");
    QLineEdit* amount = Edit(entry, "Edit3");
    auto* opened = entry.ScrollContent->findChild<TdwDBCustomDateTimePicker*>("Date1");
    ASSERT_TRUE(client && amount && opened);
    // The client's dates read in a day-first format: the reload takes the
    // stored date, not the cell's text.
    FormatSettings.ShortDateFormat = "d/M/yyyy";
    entry.Focus->FocusControl(client);
    keyboard::Type(first.Code);
    QApplication::processEvents();
    entry.Focus->FocusControl(opened);
    QApplication::processEvents();
    EXPECT_FALSE(entry.Editing);
    opened->SetDate(EncodeDate(2025, 1, 2));
    // Under an index that allows equal keys the exit finds nothing.
    Store.IndexUnique[1] = false;
    entry.Focus->FocusControl(amount);
    QApplication::processEvents();
    EXPECT_FALSE(entry.Editing);
    EXPECT_FALSE(entry.Dropdown.FoundByExit);
    Store.IndexUnique[1] = true;
    entry.Focus->FocusControl(opened);
    QApplication::processEvents();
    entry.Focus->FocusControl(amount);
    QApplication::processEvents();
    FormatSettings.ShortDateFormat = "M/d/yyyy";
    EXPECT_TRUE(entry.Editing);
    EXPECT_EQ(Text(amount), "     20.00");
    EXPECT_EQ(opened->Value(), EncodeDate(2025, 1, 2));
    EXPECT_FALSE(entry.GridView()->isVisible());
    // The flag stays for the save that move began, until the clearing.
    EXPECT_TRUE(entry.Dropdown.FoundByExit);
    Click(entry.BitBtnClear);
    EXPECT_FALSE(entry.Dropdown.FoundByExit);

    // The stored clients, each once, in the compact list; a double click
    // takes one into the field.
    entry.Focus->FocusControl(client);
    entry.SetProgramText(client, "");
    QApplication::processEvents();
    entry.RunLimitedFind(client);
    TEGridF& grid = *entry.GridView();
    ASSERT_TRUE(grid.isVisible());
    EXPECT_TRUE(grid.PickMode);
    std::vector<std::string> listed{first.Code, second.Code};
    listed.resize(8);  // blank rows fill the compact list
    EXPECT_EQ(Column(grid, 1), listed);
    EXPECT_EQ(entry.ColumnLookupSlot, 0);
    Shot("column_lookup");
    grid.SelectRow(1);
    grid.StringGridFindDblClick();
    EXPECT_FALSE(grid.isVisible());
    EXPECT_FALSE(grid.PickMode);
    EXPECT_EQ(Text(client), second.Code);
  });
}

TEST_F(EntryFindTest, AReloadedCaseShowsItsDescriptionLineCaptions) {
  WhileOpen("Cases", [&](TEntryF& entry) {
    QLabel* line = nullptr;
    for (QLabel* l : entry.ScrollContent->findChildren<QLabel*>())
      if (l->property("tag").toInt() == -80) line = l;
    ASSERT_NE(line, nullptr);
    entry.BitBtnFindClick();
    TEGridF& grid = *entry.GridView();
    ASSERT_EQ(grid.Table.RowCount(), 2);
    const auto edit = [&](const std::string& Suffix) {
      for (int r = 0; r < grid.Table.RowCount(); ++r)
        if (Trim(grid.Table.Cell(r, 2)) == Suffix) grid.SelectRow(r);
      grid.BitBtnEditClick();
      EXPECT_TRUE(entry.Editing);
      return StoredText(line->text());
    };
    const std::string stored = DescriptionLineCaption(matterCase.AltBillFormat, 1);
    EXPECT_EQ(edit(Trim(matterCase.Suffix)), stored);
    entry.BitBtnClearClick();
    entry.BitBtnFindClick();
    EXPECT_EQ(edit("ZZZ"), "Case Description Line 1");
    EXPECT_FALSE(BtrIsFileOpen(CaseFileNo));
  });
}

TEST_F(EntryFindTest, AReloadFillsAMemoADocumentAndAUserListWithItsSecondColumn) {
  WhileOpen("Kinds", [&](TEntryF& entry) {
    entry.BitBtnFindClick();
    TEGridF& grid = *entry.GridView();
    ASSERT_EQ(grid.Table.RowCount(), 1);
    grid.SelectRow(0);
    grid.BitBtnEditClick();
    ASSERT_TRUE(entry.Editing);
    auto* memo = entry.ScrollContent->findChild<QPlainTextEdit*>("Memo1");
    auto* doc = entry.ScrollContent->findChild<QLineEdit*>("EditDocs1");
    ASSERT_TRUE(memo && doc);
    EXPECT_EQ(StoredText(memo->toPlainText()), "First line of notes");
    EXPECT_EQ(StoredText(doc->text()), "c:\\briefs\\k1.doc");
    EXPECT_EQ(Text(Edit(entry, "Edit2")), "Green");
    EXPECT_EQ(Text(Edit(entry, "Edit3")), "Vert");
    // What the screen shows is the comparison base: nothing to ask.
    EXPECT_FALSE(entry.ScreenChanged());
    EXPECT_EQ(Store.FldTable[3].CurValue, "c:\\briefs\\k1.doc");
  });
}

// A find that fails inside the grid's edit command still ends the re-read
// mode, and loads nothing.
class TFailingFind : public TEntryF {
public:
  void BitBtnFindClick() override { throw EAbort("the find failed"); }
};

TEST_F(EntryFindTest, AFailingReReadEndsItsModeAndLoadsNothing) {
  TFailingFind entry;
  entry.LabelTableName->setText("Matters");
  entry.GridAction(GridCommand::EditRow, "Matters");
  EXPECT_FALSE(entry.FindByMsg);
  EXPECT_FALSE(entry.Editing);
}

}  // namespace
