// The dropdown list on a real entry screen over the sample office: typing
// opens the list under the edit at the typed position and completes the
// text, and each key of both key handlers does what it should.
#include "entry/qt/entry_form.h"

#include "platform/format.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"
#include "testing/dialog_responder.h"
#include "testing/sample_office_folder.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"
#include "testing/temp_dir.h"

#include <QApplication>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class TListProbeEntryF : public TEntryF {
public:
  int Choices = 0;
  std::vector<QObject*> Pages;
  void StringGrid1Click() override { ++Choices; }
  void SBPgDnClick(QObject* Sender) override { Pages.push_back(Sender); }
  // The lists alone: leaving a field checks nothing here.
  void LookupExitCheck(QWidget*, TEntryEventArgs&) override {}
};

class EntryDropdownTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Startup.Reset();
    FamilyLookup.Reset();
    Store.Reset();
    Store.DataRoot = SampleOfficeFolder();
    Store.DataDir = dir_.path().string();
    TTemplateTableBuilder t;
    TFld& client = t.Add("Client", 'C', 7);
    client.IsLookup = client.Unique = client.UpperCase = true;
    client.LkpKind = "L";
    client.LkpSpec = "A  0  1";
    client.DispCols[1] = 1;
    client.DispCols[2] = 5;
    TFld& matterCase = t.Add("Case", 'C', 7);
    matterCase.IsLookup = matterCase.UpperCase = true;
    matterCase.LkpKind = "L";
    matterCase.LkpSpec = "B 22";
    TFld& matter = t.Add("Matter", 'C', 6);
    matter.UpperCase = true;
    t.Index(1, {3}, true, "By matter");
    Store.IndexRecs.Names[1] = "By matter";
    WriteTargetData(5, {WithPrefix(0, FillRecord({{3, "MAPLE"}})), WithPrefix(0, FillRecord({{3, "MARSH"}})),
                        WithPrefix(0, FillRecord({{3, "OAK"}}))});
    Store.OpenTplNumber = "005";
    for (const TSampleClient& c : SampleOffice().Clients) codes.push_back(Format("%-7s", c.Code));
    std::sort(codes.begin(), codes.end());
    for (std::string& c : codes) c = TrimRight(c);
  }
  void TearDown() override {
    ResetBtrLayer();
    Store.Reset();
    Startup.Reset();
    FamilyLookup.Reset();
  }

  QLineEdit* Edit(const char* Name) { return entry.ScrollContent->findChild<QLineEdit*>(Name); }
  std::string Text(QLineEdit* E) { return StoredText(E->text()); }
  std::string Cell(int Col, int Row) {
    return TrimRight(StoredText(entry.DropdownGrid->data(entry.DropdownGrid->index(Row, Col)).toString()));
  }
  void Key(QLineEdit* E, int K, Qt::KeyboardModifiers M = Qt::NoModifier) {
    QTest::keyClick(E, Qt::Key(K), M);
  }

  ScopedTempDir dir_;
  std::vector<std::string> codes;
  TListProbeEntryF entry;
};

TEST_F(EntryDropdownTest, TheLookupKeysActOnTheListAsATable) {
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  QLineEdit* client = Edit("Edit1");
  ASSERT_NE(client, nullptr);
  ASSERT_EQ(QApplication::focusWidget(), client);

  // Typing opens the list under the edit at the typed position, the text
  // completed and the completed part selected; the edit keeps the focus.
  const std::string first = *std::lower_bound(codes.begin(), codes.end(), std::string("B"));
  QTest::keyClicks(client, "b");
  EXPECT_TRUE(entry.ListPanel->isVisible());
  EXPECT_TRUE(entry.Dropdown.Visible);
  EXPECT_EQ(entry.ListPanel->y(), client->geometry().bottom() + 1);
  EXPECT_EQ(Text(client), first);
  EXPECT_EQ(StoredText(client->selectedText()), first.substr(1));
  EXPECT_EQ(QApplication::focusWidget(), client);
  const int typedRow = entry.DropdownRow();
  EXPECT_EQ(Cell(0, typedRow), first);
  EXPECT_GT(entry.Choices, 0);

  struct TStep {
    const char* what;
    int key;
    Qt::KeyboardModifiers mods;
    bool visible;
    int row;  // -1: not checked
    std::string text;
    bool moves = false;  // the current row moved: the row choice ran
  };
  const TStep steps[] = {
      {"Down moves one row down", Qt::Key_Down, Qt::NoModifier, true, typedRow + 1, first, true},
      {"Up moves back", Qt::Key_Up, Qt::NoModifier, true, typedRow, first, true},
      {"Space is dropped", Qt::Key_Space, Qt::NoModifier, true, typedRow, first},
      {"Enter hides the list", Qt::Key_Return, Qt::NoModifier, false, -1, first},
      {"Alt+Down fills and shows it", Qt::Key_Down, Qt::AltModifier, true, -1, first},
      {"Alt+Up closes it", Qt::Key_Up, Qt::AltModifier, false, -1, first},
      {"Alt+Down again", Qt::Key_Down, Qt::AltModifier, true, -1, first},
      {"Escape empties the edit and hides the list", Qt::Key_Escape, Qt::NoModifier, false, -1, ""},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.what);
    const int choices = entry.Choices;
    Key(client, s.key, s.mods);
    EXPECT_EQ(entry.ListPanel->isVisible(), s.visible);
    if (s.row >= 0) {
      EXPECT_EQ(entry.DropdownRow(), s.row);
    }
    if (s.moves) {
      EXPECT_EQ(entry.Choices, choices + 1);  // every move runs the row choice
    }
    EXPECT_EQ(Text(client), s.text);
  }
  // Escape emptied the display rows too.
  for (const char* display : {"Edit2", "Edit3"}) EXPECT_EQ(Text(Edit(display)), "") << display;

  // Page keys go to the page handler with the matching button.
  QTest::keyClicks(client, "m");
  Key(client, Qt::Key_PageDown);
  Key(client, Qt::Key_PageUp);
  EXPECT_EQ(entry.Pages, (std::vector<QObject*>{entry.SBPgDn, entry.SBPgUp}));

  // Up at the top row reads the records before the list: the list moves
  // back and the row before the old first one is selected.
  const std::string oldTop = Cell(0, 0);
  entry.MoveDropdownRow(0);
  Key(client, Qt::Key_Up);
  EXPECT_EQ(Cell(0, 12), oldTop);
  EXPECT_EQ(entry.DropdownRow(), 11);

  // Down at row 500 says so and stays.
  entry.MoveDropdownRow(500);
  {
    DialogResponder boxes;
    boxes.Expect("The maximum of 500 records has been displayed.\rPlease refine your search.");
    Key(client, Qt::Key_Down);
    EXPECT_EQ(boxes.Boxes().at(0).type, mtInformation);
  }
  EXPECT_EQ(entry.DropdownRow(), 500);

  // Any other key forgets the record chosen last.
  Store.FldTable[1].ReservedBytes = {1, 2, 3, 4};
  Key(client, Qt::Key_F5);
  EXPECT_EQ(Store.FldTable[1].ReservedBytes, (std::array<uint8_t, 4>{}));

  // The case list without a chosen client asks for one and sends the focus back.
  Key(client, Qt::Key_Escape);
  QLineEdit* matterCase = Edit("Edit4");
  entry.Focus->FocusControl(matterCase);
  {
    DialogResponder boxes;
    boxes.Expect("Please select a client first!");
    QTest::keyClicks(matterCase, "1");
  }
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), client);
  EXPECT_FALSE(entry.ListPanel->isVisible());
}

TEST_F(EntryDropdownTest, TheOwnIndexListShowsStoredValuesAndItsKeys) {
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  QLineEdit* matter = Edit("Edit5");
  ASSERT_NE(matter, nullptr);
  entry.Focus->FocusControl(matter);
  QTest::keyClicks(matter, "ma");
  EXPECT_TRUE(entry.ListPanel->isVisible());
  EXPECT_EQ(entry.ListRows.Filled, 2);
  EXPECT_EQ(Cell(0, 0), "MAPLE");
  EXPECT_EQ(Cell(0, 1), "MARSH");
  EXPECT_EQ(Text(matter), "MAPLE");
  Key(matter, Qt::Key_Down);
  EXPECT_EQ(entry.DropdownRow(), 1);
  Key(matter, Qt::Key_PageDown);
  EXPECT_EQ(entry.Pages, (std::vector<QObject*>{entry.SBPgDn}));
  Key(matter, Qt::Key_Return);
  EXPECT_FALSE(entry.ListPanel->isVisible());
  Key(matter, Qt::Key_Down, Qt::AltModifier);
  EXPECT_TRUE(entry.ListPanel->isVisible());
  Key(matter, Qt::Key_Escape);
  EXPECT_FALSE(entry.ListPanel->isVisible());
  EXPECT_EQ(Text(matter), "");
  // Its dropdown button opens the whole list.
  auto* button = entry.ScrollContent->findChild<QToolButton*>("SB3");
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(entry.ListPanel->isVisible());
  EXPECT_EQ(entry.ListRows.Filled, 3);
  EXPECT_TRUE(entry.SBHideList->isVisible());
  QTest::mouseClick(entry.SBHideList, Qt::LeftButton);
  EXPECT_FALSE(entry.ListPanel->isVisible());
}

}  // namespace
