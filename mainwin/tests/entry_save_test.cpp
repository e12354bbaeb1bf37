// The entry screen's Save end to end: the real main window over the sample
// office, a designed template with a client lookup (its name displayed), a
// template lookup (the target's title displayed), an upper-case code as
// unique index 1, a number with a range, a date, a check box and a
// document; filled as a user would, saved, the data file read back byte
// for byte; a duplicate, and a save after another workstation restructured
// the template.
#include "mainwin/tests/entry_window_fixture.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/grid_layout_seam.h"
#include "entry/record_save.h"
#include "platform/qt/focus_model.h"
#include "templates/layout_digest.h"
#include "templates/record_codec.h"
#include "testing/piped_process.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

enum Field : int { Client = 1, Matter, Code, Amount, Opened, Billable, Brief };
constexpr int TargetCode = 1, TargetTitle = 2;
const char* const SavedText = "This record has been successfully saved.";
const char* const DuplicateText =
    "Unable to save this entry.  A record already exists that matches the index values you have specified."
    "\r\rPlease contact Ondral, Inc. for assistance.";

class EntrySaveTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6).UpperCase = true;
      t.Add("Title", 'C', 20);
      t.Index(1, {TargetCode}, true, "By code");
    }
    const TTemplateNumber target = Saved("Matter list");
    InsertRecords(DataFileName(target), {WithPrefix(0, FillRecord({{TargetCode, "ALPHA"}, {TargetTitle, "First"}})),
                                         WithPrefix(0, FillRecord({{TargetCode, "BRAVO"}, {TargetTitle, "Second"}}))});
    {
      TTemplateTableBuilder t;
      AddClientLookup(t);
      TFld& matter = t.Add("Matter", 'C', 10);
      matter.KeyWidth = 6;
      matter.IsLookup = matter.UpperCase = true;
      matter.LkpKind = "M";
      matter.LkpTarget = "MNGR" + target.ZeroFilled() + ".DSC";
      matter.LkpSpec = Format("1%3d", TargetCode);
      matter.DispCols[1] = TargetTitle;
      t.Add("Code", 'C', 8).UpperCase = true;
      TFld& amount = t.Add("Amount", 'N', 10);
      amount.Decimals = 2;
      amount.RightJustify = true;
      amount.MinVal = "1.00";
      amount.MaxVal = "5000.00";
      t.Add("Opened", 'D', 8);
      t.Add("Billable", 'B', 1);
      t.Add("Brief", 'd', 72);
      t.Index(1, {Code}, true, "By code");
    }
    saving = Saved("Saving");
    SetGridLayoutCheck(LayoutStillCurrent);
    Start();
  }
  void TearDown() override {
    SetGridLayoutCheck({});
    EntryWindowTest::TearDown();
  }

  // The field's own control.
  template <class T>
  static T* Control(TEntryF& E, int Slot) {
    for (T* w : E.ScrollContent->findChildren<T*>())
      if (w->property("tag").toInt() == Slot) return w;
    ADD_FAILURE() << "no control for slot " << Slot;
    return nullptr;
  }
  static QLineEdit* FieldEdit(TEntryF& E, int Slot) { return Control<QLineEdit>(E, Slot); }
  // The display row beside a lookup field: the edit numbered after it.
  static std::string Shown(TEntryF& E, int Slot) {
    const int number = FieldEdit(E, Slot)->objectName().mid(4).toInt();
    QLineEdit* display = Edit(E, ("Edit" + std::to_string(number + 1)).c_str());
    return display ? TrimRight(Text(display)) : std::string("(none)");
  }
  // Typed into the field, then Tab: its exit checks run as a user's would.
  static void TypeInto(TEntryF& E, int Slot, const std::string& Typed) {
    QLineEdit* edit = FieldEdit(E, Slot);
    E.Focus->FocusControl(edit);
    E.SetProgramText(edit, Typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QApplication::processEvents();
  }
  static void Click(QWidget* W) {
    QTest::mouseClick(W, Qt::LeftButton);
    QApplication::processEvents();
  }
  static void ClickSave(TEntryF& E) { Click(E.BitBtnSave); }
  // A double click on the grid view's row Row: that record into the
  // screen for editing.
  static void EditRow(TEntryF& E, int Row) {
    TEGridF& grid = *E.GridView();
    QTableView* view = grid.StringGridFind;
    const QPoint at = view->visualRect(view->model()->index(Row, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
  }
  // The grid row's cells that hold Text.
  static bool RowShows(TEntryF& E, int Row, const std::string& Text) {
    const TGridTable& table = E.GridView()->Table;
    for (int c = 1; c < table.KeyColumn(); ++c)
      if (Trim(table.Cell(Row, c)) == Text) return true;
    return false;
  }
  std::vector<std::string> DataRecords() const { return ReadRecords(DataFileName(saving)); }

  TTemplateNumber saving;
};

TEST_F(EntrySaveTest, ANewUserFillsTheScreenSavesAndMeetsTheDuplicateAndTheRestructure) {
  const TSampleClient& client = SampleOffice().Clients[0];
  Startup.ConfirmSave = true;
  WhileOpen("Saving", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));

    TypeInto(entry, Client, client.Code);
    EXPECT_EQ(Shown(entry, Client),
              client.FirstName.empty() ? client.LastName : client.LastName + ", " + client.FirstName);
    TypeInto(entry, Matter, "ALPHA");
    EXPECT_EQ(Shown(entry, Matter), "First");
    TypeInto(entry, Code, "M-100");
    TypeInto(entry, Amount, "1234.5");
    EXPECT_EQ(Text(FieldEdit(entry, Amount)), "1,234.50");
    auto* opened = Control<TdwDBDateTimePicker>(entry, Opened);
    ASSERT_NE(opened, nullptr);
    opened->SetDate(EncodeDate(2026, 12, 1));
    auto* billable = Control<QCheckBox>(entry, Billable);
    ASSERT_NE(billable, nullptr);
    entry.Focus->FocusControl(billable);
    QTest::keyClick(billable, Qt::Key_Space);
    EXPECT_TRUE(billable->isChecked());
    auto* brief = entry.ScrollContent->findChild<QLineEdit*>("EditDocs1");
    ASSERT_NE(brief, nullptr);
    brief->setText("/office/briefs/m100.odt");
    entry.Focus->FocusControl(FieldEdit(entry, Amount));
    Shot("entry_save_filled");

    // Save: the confirmation; the record as the fields make it, stamped.
    Boxes.Expect(SavedText);
    ClickSave(entry);
    const std::vector<std::string> first = DataRecords();
    ASSERT_EQ(first.size(), 1u);
    const std::string alphaKey("\x01\x00\x00\x00", 4);
    EXPECT_EQ(first[0].substr(4), FillRecord({{Client, client.Code},
                                              {Matter, "ALPHA " + alphaKey},
                                              {Code, "M-100"},
                                              {Amount, "1,234.50"},
                                              {Opened, "20261201"},
                                              {Billable, "Y"},
                                              {Brief, "/office/briefs/m100.odt"}},
                                             "20261210"));
    // Without AutoClear the values stay and are the recall values.
    EXPECT_EQ(Text(FieldEdit(entry, Code)), "M-100");
    EXPECT_EQ(Store.FldTable[Code].PrevValue, "M-100");

    // The same index value again (set while another field has the focus,
    // so no exit check shows the stored record first): refused, the file
    // as it was.
    Boxes.Expect(DuplicateText);
    ClickSave(entry);
    EXPECT_EQ(DataRecords(), first);

    // A value out of range: refused with the focus on it, nothing written.
    entry.SetProgramText(FieldEdit(entry, Code), "M-200");
    entry.SetProgramText(FieldEdit(entry, Amount), "0.50");
    Boxes.Expect("Amount is less than the minimum value of 1.00.");
    ClickSave(entry);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), FieldEdit(entry, Amount));
    EXPECT_EQ(DataRecords(), first);
    Shot("entry_save_refused");

    // Another workstation restructures the template: the screen's layout
    // is no longer the file's, the save is refused and writes nothing.
    PipedProcess peer(SAVE_PEER_PATH, {Store.DataDir});
    ASSERT_EQ(peer.Ask("restructure " + saving.Trimmed() + " Saving"), "saved");
    ASSERT_EQ(peer.Ask("exit"), "bye");
    const std::vector<std::string> restructured = DataRecords();
    ASSERT_EQ(restructured.size(), 1u);
    entry.SetProgramText(FieldEdit(entry, Amount), "10.00");
    Boxes.Expect(LayoutChangedText);
    ClickSave(entry);
    EXPECT_EQ(DataRecords(), restructured);
    EXPECT_EQ(Text(FieldEdit(entry, Code)), "M-200");
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

// A stored record found, opened from the grid view, changed and saved:
// the record updated in place, the grid showing the change. Then the same
// record changed by another client while the screen edits it: the save
// refuses, says so and shows the record as it now is.
TEST_F(EntrySaveTest, AnEditedRecordIsUpdatedAndTheGridShowsItUnlessChangedMeanwhile) {
  const std::string client = SampleOffice().Clients[0].Code;
  InsertRecords(DataFileName(saving),
                {WithPrefix(0, FillRecord({{Client, client}, {Code, "M-100"}, {Amount, "1,234.50"}}))});
  const std::vector<std::string> before = DataRecords();
  Startup.ConfirmSave = Startup.ReturnToGridAfterEdit = true;
  WhileOpen("Saving", [&](TEntryF& entry) {
    QApplication::setActiveWindow(&entry);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    Click(entry.BitBtnFind);
    ASSERT_TRUE(entry.GridView()->isVisible());
    EXPECT_TRUE(RowShows(entry, 0, "1,234.50"));
    EditRow(entry, 0);
    ASSERT_TRUE(entry.Editing);
    EXPECT_EQ(Text(FieldEdit(entry, Code)), "M-100");

    TypeInto(entry, Amount, "2000");
    EXPECT_EQ(Text(FieldEdit(entry, Amount)), "2,000.00");
    Boxes.Expect(SavedText);
    ClickSave(entry);
    // The find ran again: the grid shows the record as saved.
    ASSERT_TRUE(entry.GridView()->isVisible());
    EXPECT_TRUE(RowShows(entry, 0, "2,000.00"));
    const std::vector<std::string> updated = DataRecords();
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0], before[0].substr(0, 4) + FillRecord({{Client, client}, {Code, "M-100"}, {Amount, "2,000.00"}, {Billable, "N"}}, "20261210"));
    Shot("entry_save_updated");

    // Editing again while another client changes the record.
    EditRow(entry, 0);
    ASSERT_TRUE(entry.Editing);
    const std::string theirs = updated[0].substr(0, 4) + FillRecord({{Client, client}, {Code, "M-100"}, {Amount, "99.00"}});
    {
      constexpr uint8_t OtherClient = 9;
      BtrOpenFile(OtherClient, DataFileName(saving), 0);
      TDynCharArr rec(1);
      bool atEnd = false;
      BtrGetFirst(OtherClient, rec, atEnd, false);
      BtrUpdateRecord(OtherClient, theirs.substr(4), rec);
      BtrCloseFile(OtherClient);
    }
    TypeInto(entry, Amount, "3000");
    Boxes.Expect(RecordChangedText);
    ClickSave(entry);
    EXPECT_EQ(DataRecords(), std::vector<std::string>{theirs});
    EXPECT_TRUE(entry.Editing);
    EXPECT_EQ(Trim(Text(FieldEdit(entry, Amount))), "99.00");
    EXPECT_EQ(entry.LoadedRecord, theirs);
    // Saved again, over the record as it now is.
    TypeInto(entry, Amount, "3000");
    Boxes.Expect(SavedText);
    ClickSave(entry);
    EXPECT_EQ(DataRecords(),
              std::vector<std::string>{theirs.substr(0, 4) + FillRecord({{Client, client}, {Code, "M-100"}, {Amount, "3,000.00"}, {Billable, "N"}},
                                                                      "20261210")});
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
}

}  // namespace
