// The grid view end to end: the real main window opens the entry screen of
// Matters (text, right-justified amount, date, check box, a client lookup
// on Clients with its name as a display column) beside Billing, which
// refers to Matters' records. The grid is filled through its row interface
// as a find fills it, then tried as a user would: header clicks, narrowing,
// hiding the display columns, "E&xit" saving the layout, the layout back at
// the next opening, deletes (a referenced row refused, a free one gone),
// search and replace, and Edit handing a row back.
#include "mainwin/tests/entry_window_fixture.h"

#include "designer/qt/descriptor_form.h"
#include "designer/qt/designer_forms.h"
#include "entry/qt/entry_form.h"
#include "entry/qt/grid_form.h"
#include "entry/qt/grid_model.h"
#include "mainwin/template_list.h"
#include "platform/command_line.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/application.h"
#include "platform/qt/form_timer.h"
#include "platform/format.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/template_build.h"
#include "templates/template_number.h"
#include "templates/validation_files.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_driver.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"
#include "testing/sample_office_folder.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TRecordingSink : public TGridActionSink {
public:
  std::vector<std::string> Calls;
  void GridAction(char Command, const std::string&) override { Calls.push_back(std::string(1, Command)); }
};

class GridViewTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 5).UpperCase = true;
      t.Add("Client name", 'C', 20);
      t.Index(1, {1}, true, "By code");
    }
    const TTemplateNumber clients = Saved("Clients");
    InsertRecords(DataFileName(clients), {WithPrefix(0, FillRecord({{1, "C1"}, {2, "Adams"}})),
                                          WithPrefix(0, FillRecord({{1, "C2"}, {2, "Baker"}}))});
    {
      TTemplateTableBuilder t;
      t.Add("Matter", 'C', 8).UpperCase = true;
      t.Add("Amount", 'N', 10).RightJustify = true;
      t.Add("Opened", 'D', 8);
      t.Add("Billable", 'B', 1);
      TFld& client = t.Add("Client", 'C', 9);
      client.KeyWidth = 5;
      client.IsLookup = client.UpperCase = true;
      client.LkpKind = "M";
      client.LkpTarget = "MNGR" + clients.ZeroFilled() + ".DSC";
      client.LkpSpec = "1  1";
      client.DispCols[1] = 2;
      t.Index(1, {1}, true, "By matter");
      t.Index(2, {2}, false, "By amount");
    }
    matters = Saved("Matters");
    const std::string c1("\x01\0\0\0", 4);
    InsertRecords(DataFileName(matters),
                  {WithPrefix(0, FillRecord({{1, "M1"}, {2, "1234.50"}, {3, "20240315"}, {4, "Y"}, {5, "C1   " + c1}})),
                   WithPrefix(0, FillRecord({{1, "M2"}, {2, "9.50"}, {3, "20251201"}, {4, "N"}, {5, "C1   " + c1}})),
                   WithPrefix(0, FillRecord({{1, "M3"}, {2, "10.00"}, {3, "        "}, {4, "N"}}))});
    {
      TTemplateTableBuilder t;
      TFld& matter = t.Add("Matter", 'C', 12);
      matter.KeyWidth = 8;
      matter.IsLookup = true;
      matter.LkpKind = "M";
      matter.LkpTarget = "MNGR" + matters.ZeroFilled() + ".DSC";
      matter.LkpSpec = "1  1";
      t.Add("Hours", 'N', 6);
      t.Index(1, {1}, false, "By matter");
    }
    const TTemplateNumber billing = Saved("Billing");
    InsertRecords(DataFileName(billing), {WithPrefix(0, FillRecord({{1, "M1"}, {2, "2.5"}}))});
    Start();
  }

  // The rows as a find fills them: each record of Matters in key-0 order,
  // a cell per column of a field (dates month/day/year, the client's name
  // in its display column), the key text of index 1 and the position.
  void FillGrid(TEGridF& Grid) {
    BtrOpenFile(9, DataFileName(matters), 0);
    TDynCharArr rec(1);
    bool atEnd = false;
    for (BtrGetFirst(9, rec, atEnd, false); !atEnd; BtrGetNext(9, rec, atEnd, false)) {
      const std::string r(rec.begin(), rec.end());
      std::vector<std::string> cells(size_t(Grid.Table.KeyColumn() - 1));
      for (int c = 1; c < Grid.Table.KeyColumn(); ++c) {
        const int slot = Grid.ColumnSlots()[size_t(c)];
        std::string cell;
        if (slot > 0 && slot <= Store.FldCount) {
          const TFld& f = Store.FldTable[slot];
          cell = Trim(FieldTextOf(r, f));
          if (f.FldType == 'D' && !cell.empty())
            cell = DateToStr(EncodeDate(std::stoi(cell.substr(0, 4)), std::stoi(cell.substr(4, 2)), std::stoi(cell.substr(6, 2))));
        } else if (Grid.Table.IsDisplay(c)) {
          cell = Trim(FieldTextOf(r, Store.FldTable[5])) == "C1" ? "Adams" : "";
        }
        cells[size_t(c - 1)] = cell;
      }
      Grid.Table.AppendRow(cells, IndexKeyText(r, 1), FormatGridPosition(BtrSavePosition(9, rec)));
    }
    BtrCloseFile(9);
    Grid.RowsChanged();
  }
  static std::string Shown(TEGridF& Grid, int Row, int Col) {
    return StoredText(Grid.Model->data(Grid.Model->index(Row, Col), Qt::DisplayRole).toString());
  }
  static std::vector<std::string> Column(TEGridF& Grid, int Col) {
    std::vector<std::string> out;
    for (int r = 0; r < Grid.Table.RowCount(); ++r) out.push_back(Grid.Table.Cell(r, Col));
    return out;
  }
  static void ClickHeader(TEGridF& Grid, int Col) {
    QHeaderView* h = Grid.StringGridFind->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(Col) + h->sectionSize(Col) / 2, 5));
  }
  static int ColumnOf(TEGridF& Grid, const std::string& Header) {
    for (int c = 1; c < Grid.Table.KeyColumn(); ++c)
      if (Grid.Table.Header(c) == Header) return c;
    throw std::runtime_error("no column " + Header);
  }
  static int RowOf(TEGridF& Grid, const std::string& Matter) {
    for (int r = 0; r < Grid.Table.RowCount(); ++r)
      if (Grid.Table.Cell(r, 1) == Matter) return r;
    throw std::runtime_error("no row " + Matter);
  }
  // With MD_SCREENSHOT_DIR set, the grid as drawn into that folder.
  static void Screenshot(QWidget& W, const char* Name) {
    if (const char* dir = std::getenv("MD_SCREENSHOT_DIR")) W.grab().save(QString(dir) + "/" + Name + ".png");
  }

  // Up and Down from each kind of control of the grid view over Matters'
  // three rows: one row a key, the first and the last row kept, the focus
  // left where it was, the sort order untouched.
  void ExpectOneRowPerKey() {
    WhileOpen("Matters", [&](TEntryF& entry) {
      TEGridF& grid = *entry.GridView();
      grid.Sink = &sink;
      FillGrid(grid);
      entry.ShowGridView(false);
      grid.show();
      QApplication::setActiveWindow(&grid);
      ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
      keyboard::ExpectOneRowPerArrow({{"table", grid.StringGridFind},
                                      {"Exit button", grid.BitBtnGridOK},
                                      {"Delete button", grid.BitBtnDelete},
                                      {"Edit button", grid.BitBtnEdit},
                                      {"replace text", grid.EditFrom}},
                                     [&] { grid.SelectRow(0); }, [&] { return grid.CurrentRow(); });
      EXPECT_EQ(grid.CurrentIndex, 1);
      EXPECT_EQ(sink.Calls, std::vector<std::string>{});
      grid.close();
    });
  }

  TTemplateNumber matters;
  TRecordingSink sink;
};

TEST_F(GridViewTest, AUserSortsSizesHidesSavesDeletesReplacesAndEdits) {
  std::vector<int> savedWidths;
  WhileOpen("Matters", [&](TEntryF& entry) {
    TEGridF& grid = *entry.GridView();
    grid.Sink = &sink;
    EXPECT_EQ(grid.parentWidget(), &entry);
    FillGrid(grid);
    entry.ShowGridView(false);
    grid.show();
    QApplication::setActiveWindow(&grid);
    EXPECT_EQ(StoredText(grid.windowTitle()), "Corvenstead Matterdesk Grid View");
    const int amount = ColumnOf(grid, "Amount"), opened = ColumnOf(grid, "Opened"),
              billable = ColumnOf(grid, "Billable");
    const int display = ColumnOf(grid, "Client name");
    EXPECT_TRUE(grid.Table.IsDisplay(display));
    EXPECT_EQ(Shown(grid, RowOf(grid, "M1"), opened), "3/15/2024");
    EXPECT_FALSE(grid.Model->data(grid.Model->index(RowOf(grid, "M1"), billable), Qt::DecorationRole).isNull());
    EXPECT_TRUE(grid.Model->data(grid.Model->index(RowOf(grid, "M2"), billable), Qt::DecorationRole).isNull());
    Screenshot(grid, "grid_view");

    // Header clicks: the amount by value, then reversed; the sorted header white.
    ClickHeader(grid, amount);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"M2", "M3", "M1"}));
    EXPECT_EQ(grid.Model->headerData(amount, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    ClickHeader(grid, amount);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"M1", "M3", "M2"}));
    ClickHeader(grid, opened);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"M3", "M1", "M2"}));

    // Narrower columns, the display columns hidden, the layout saved.
    const int before = grid.StringGridFind->columnWidth(1);
    grid.UpDown1Prev->click();
    EXPECT_EQ(grid.StringGridFind->columnWidth(1), SteppedWidth(before, 1));
    grid.CheckBox1->click();
    EXPECT_TRUE(grid.StringGridFind->isColumnHidden(display));
    for (int c = 0; c < grid.Table.KeyColumn(); ++c) savedWidths.push_back(grid.Table.FormatOf().Widths[size_t(c)]);
    Boxes.Expect("Save changes to grid format?", mrYes);
    grid.BitBtnGridOK->click();
    EXPECT_FALSE(grid.isVisible());
    EXPECT_EQ(sink.Calls, (std::vector<std::string>{"C"}));

    // Pick mode: compact beside the matter's edit, no header, column 0
    // gone; a double click picks and tells "E".
    auto* edit = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
    ASSERT_NE(edit, nullptr);
    entry.ShowGridView(true, edit, 1);
    grid.show();
    EXPECT_FALSE(grid.Header->isVisible());
    EXPECT_TRUE(grid.StringGridFind->isColumnHidden(0));
    EXPECT_EQ(grid.StringGridFind->columnWidth(1), edit->width() + 15);
    EXPECT_FALSE(grid.ComboBox1->isVisible());
    EXPECT_FALSE(grid.BitBtnEdit->isVisible());
    Screenshot(grid, "grid_view_pick");
    grid.SelectRow(0);
    grid.StringGridFindDblClick();
    EXPECT_FALSE(grid.isVisible());
    EXPECT_EQ(sink.Calls, (std::vector<std::string>{"C", "E"}));
  });

  WhileOpen("Matters", [&](TEntryF& entry) {
    TEGridF& grid = *entry.GridView();
    grid.Sink = &sink;
    // The layout came back with the showing.
    EXPECT_TRUE(grid.CheckBox1->isChecked());
    EXPECT_EQ(grid.Table.FormatOf().Widths, savedWidths);
    FillGrid(grid);
    entry.ShowGridView(false);
    grid.show();
    EXPECT_TRUE(grid.Header->isVisible());
    EXPECT_TRUE(grid.BitBtnEdit->isVisible());
    EXPECT_FALSE(grid.StringGridFind->isColumnHidden(0));

    // M1 is Billing's matter: refused, naming Billing. M3 goes.
    grid.SelectRow(RowOf(grid, "M1"));
    Boxes.Expect("Are you sure you wish to delete this record?", mrYes)
        .Expect("The following template(s) reference the record you are attempting to delete: \r\r\rBilling\r\r"
                "It may not be deleted until records in other templates that refer to it are deleted.");
    grid.BitBtnDelete->click();
    const int m3 = RowOf(grid, "M3");
    grid.SelectRow(m3);
    Boxes.Expect("Are you sure you wish to delete this record?", mrYes).Expect("Record successfully deleted.");
    grid.BitBtnDelete->click();
    EXPECT_TRUE(grid.Model->data(grid.Model->index(m3, 1), Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(grid.Model->data(grid.Model->index(m3, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    Screenshot(grid, "grid_view_deleted");

    // Search and replace over the amount.
    grid.CBFieldNames->setCurrentIndex(grid.CBFieldNames->findText("Amount"));
    grid.CBFieldNamesClick();
    grid.EditFrom->setText("9.50");
    grid.EditTo->setText("19.50");
    Boxes.Expect("About to search the field 'Amount' in the template '" + StoredText(grid.LabelTableName2->text()) +
                     "' and change each occurrence of '9.50' to '19.50'.\r\rContinue?",
                 mrYes)
        .Expect("Search and replace has completed.\r\r1 records were changed.");
    grid.BitBtn1->click();

    // Edit hands the row back.
    grid.SelectRow(RowOf(grid, "M1"));
    QTest::keyClick(grid.StringGridFind, Qt::Key_Return);
    EXPECT_EQ(sink.Calls, (std::vector<std::string>{"C", "E", "F"}));
    grid.CloseByProgram();
  });
  std::vector<std::string> amounts;
  for (const std::string& r : ReadRecords(DataFileName(matters))) amounts.push_back(r.substr(4 + 8, 10));
  EXPECT_EQ(amounts, (std::vector<std::string>{"   1234.50", "     19.50"}));
}

// Under MaximizeEntry the screen's own size would cover the whole screen:
// the grid takes the size the screen was made at, centred.
TEST_F(GridViewTest, UnderMaximizeEntryTheGridTakesTheScreensMadeSizeCentred) {
  Startup.MaximizeEntry = true;
  WhileOpen("Matters", [&](TEntryF& entry) {
    const QSize made = entry.DesignedSize;
    ASSERT_TRUE(made.isValid());
    EXPECT_NE(made.width(), entry.width());
    TEGridF& grid = *entry.GridView();
    entry.ShowGridView(false);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(grid.size(), made);
    EXPECT_EQ(grid.pos(), QPoint(screen.width() / 2 - made.width() / 2, screen.height() / 2 - made.height() / 2));
  });
  Startup.MaximizeEntry = false;
}

}  // namespace

// The main window's key hook, as the running program has it.
TEST_F(GridViewTest, UpAndDownMoveTheSelectionOneRowFromAnyControl) {
  Form->HookAppMessage();
  ExpectOneRowPerKey();
}

// The designer hooks the keys itself while it shows; the main window's hook
// goes on beside it and after it.
TEST_F(GridViewTest, UpAndDownStillMoveOneRowAfterTheDesignerClosed) {
  Form->HookAppMessage();
  THandDrivenTimers timers;
  ClearFieldTables();
  const std::unique_ptr<QWidget> minMax = CreateDesignerForm("TMinMaxF", nullptr);
  const std::unique_ptr<QWidget> lookup = CreateDesignerForm("TLKUPF", nullptr);
  const std::unique_ptr<QWidget> designer = CreateDesignerForm("TDescriptorF", nullptr);
  ASSERT_NE(DescriptorF, nullptr);
  RunModal(*DescriptorF, [&] {
    Boxes.Expect("Cancel template creation?", mrYes);
    QTest::keyClick(DescriptorF, Qt::Key_Escape);
  });
  EXPECT_EQ(Boxes.Pending(), 0u);
  ExpectOneRowPerKey();
}
