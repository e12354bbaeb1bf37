// The grid view over a real entry build: columns and kinds from the
// template, header clicks sorting (sorted header white), size steps and
// hiding, "E&xit" asking to save the format against the close button
// dropping it, pick mode's closes, the format file read back, and Edit
// finding a row among duplicate first-index keys by its position.
#include "entry/qt/grid_form.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "entry/entry_build.h"
#include "entry/grid_format.h"
#include "templates/template_build.h"
#include "entry/grid_layout_seam.h"
#include "entry/qt/dup_sel_form.h"
#include "entry/qt/grid_model.h"
#include "datetime/qt/date_time_picker.h"
#include "platform/datetime_value.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/bus_datagram.h"
#include "platform/format.h"
#include "platform/instance_bus.h"
#include "platform/qt/widget_text.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_loader.h"
#include "templates/layout_digest.h"
#include "templates/tests/save/save_scenario.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"
#include "platform/text.h"
#include "testing/bus_peer.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class TFixedMeasure : public TTextMeasure {
public:
  int TextWidth(const std::string& Text) const override { return 7 * int(Text.size()); }
  int TextHeight(const std::string&) const override { return 16; }
};

class TRecordingSink : public TGridActionSink {
public:
  std::vector<std::string> Calls;
  void GridAction(char Command, const std::string& TemplateName) override {
    Calls.push_back(std::string(1, Command) + " " + TemplateName);
  }
};

constexpr int TplNo = 1;

// A client field (9 bytes: 5 of code, 4 key bytes) looking up the template
// of Target as Spec says (index digit, then the referenced field's id).
TFld& AddClientLookup(TTemplateTableBuilder& T, const std::string& Target, const std::string& Spec) {
  TFld& client = T.Add("Client", 'C', 9);
  client.KeyWidth = 5;
  client.IsLookup = true;
  client.LkpKind = "M";
  client.LkpTarget = Target;
  client.LkpSpec = Spec;
  return client;
}

// A grid form over the store's files, the settings and the layout check
// back to their defaults afterwards.
class GridStoreTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    Startup.Reset();
    FamilyLookup.Reset();
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    SetGridLayoutCheck({});
    BtrCloseAllFiles();
    Startup.Reset();
    FamilyLookup.Reset();
    StoreFilesTest::TearDown();
  }
  // A row per record of template Number's data file, in key-0 order:
  // slots 1 and 2 shown, key text of slot 1, the record's position.
  void FillFromDataFile(int Number) {
    BtrOpenFile(9, DataFileName(TTemplateNumber(Number)), 0);
    TDynCharArr rec(1);
    bool atEnd = false;
    for (BtrGetFirst(9, rec, atEnd, false); !atEnd; BtrGetNext(9, rec, atEnd, false)) {
      const std::string text(rec.begin(), rec.end());
      grid.Table.AppendRow({Trim(FieldTextOf(text, Store.FldTable[1])), Trim(FieldTextOf(text, Store.FldTable[2]))},
                           std::string(FieldTextOf(text, Store.FldTable[1])),
                           FormatGridPosition(BtrSavePosition(9, rec)));
    }
    BtrCloseFile(9);
    grid.RowsChanged();
  }

  TFixedMeasure measure;
  TRecordingSink sink;
  TEGridF grid;
};

class GridFormTest : public GridStoreTest {
protected:
  void SetUp() override {
    GridStoreTest::SetUp();
    TTemplateTableBuilder t;
    t.Add("Name", 'C', 10);
    t.Add("Amount", 'N', 10).RightJustify = true;
    t.Add("Opened", 'D', 8);
    t.Add("Billable", 'B', 1);
    t.Index(1, {1}, false, "By name");
    t.Index(2, {2}, false, "By amount");
    // As the loader leaves them.
    Store.IndexRecs.Names[1] = "By name";
    Store.IndexRecs.Names[2] = "By amount";
    Store.OpenTplNumber = "001";
    grid.Sink = &sink;
    grid.SetUp(BuildEntryModel(measure));
    grid.LabelTableName2->setText("Matters");
  }
  // The open template's records, prefix first, in key-0 order.
  std::vector<std::string> Records() {
    BtrCloseAllFiles();
    return ReadRecords(DataFileName(TTemplateNumber(TplNo)));
  }

  void Fill(const std::vector<std::vector<std::string>>& Rows) {
    for (const auto& r : Rows) grid.Table.AppendRow(r, r[0], "  1  0  0  0");
    grid.RowsChanged();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (int r = 0; r < grid.Table.RowCount(); ++r) out.push_back(grid.Table.Cell(r, 1));
    return out;
  }
  void FillFromDataFile() { GridStoreTest::FillFromDataFile(TplNo); }
  void ClickHeader(int Col) {
    QHeaderView* h = grid.StringGridFind->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(Col) + h->sectionSize(Col) / 2, 5));
  }
  std::string FormatFileBytes() {
    std::string bytes;
    return ReadFolderFile(ResolvePath(grid.FormatFileName()), 4096, bytes) ? bytes : "<none>";
  }

};

TEST_F(GridFormTest, ColumnsFieldNamesAndSortsComeFromTheBuild) {
  EXPECT_EQ(grid.objectName(), "EGridF");
  ASSERT_EQ(grid.Table.ColCount(), 7);
  EXPECT_EQ(grid.Table.Header(1), "Name");
  EXPECT_EQ(grid.Table.Kind(2), TGridColumnKind::Numeric);
  EXPECT_EQ(grid.Table.Kind(3), TGridColumnKind::Date);
  EXPECT_EQ(grid.Table.Kind(4), TGridColumnKind::Check);
  EXPECT_EQ(grid.FieldNameSlots(), (std::vector<int>{1, 2, 3, 4}));
  ASSERT_EQ(grid.ComboBox1->count(), 2);
  EXPECT_EQ(grid.ComboBox1->itemText(1), "By amount");
  EXPECT_EQ(GridFormatFileName(TTemplateNumber(1)), Store.DataDir + "\\Grid001.FMT");
}

TEST_F(GridFormTest, HeaderClicksSortAscendingThenToggleAndTheSortedHeaderIsWhite) {
  Fill({{"Cole", "1,234.00", "3/1/2026", "Y"}, {"abbot", "9.50", "12/24/2025", "N"}, {"Baker", "10.00", "", "Y"}});
  grid.show();
  ClickHeader(2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"abbot", "Baker", "Cole"}));
  EXPECT_EQ(grid.Model->headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
  EXPECT_EQ(grid.Model->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
  ClickHeader(2);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Cole", "Baker", "abbot"}));
  ClickHeader(3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Baker", "abbot", "Cole"}));
  // The check column shows the picture for "Y", no text.
  EXPECT_FALSE(grid.Model->data(grid.Model->index(0, 4), Qt::DecorationRole).isNull());
  EXPECT_TRUE(grid.Model->data(grid.Model->index(1, 4), Qt::DecorationRole).isNull());
  EXPECT_TRUE(grid.Model->data(grid.Model->index(0, 4), Qt::DisplayRole).isNull());
  grid.CloseByProgram();
}

TEST_F(GridFormTest, ExitAsksToSaveAChangedFormatTheCloseButtonDropsIt) {
  grid.show();
  grid.UpDown1Next->click();
  {
    DialogResponder boxes;
    boxes.Expect("Save changes to grid format?", mrYes);
    grid.BitBtnGridOK->click();
  }
  EXPECT_FALSE(grid.isVisible());
  EXPECT_EQ(FormatFileBytes(), "18\r\n22\r\n8\r\n83\r\n83\r\n103\r\n18\r\n");
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"C Matters"}));

  // No: nothing written; no change: no question.
  grid.show();
  grid.UpDown1Prev->click();
  {
    DialogResponder boxes;
    boxes.Expect("Save changes to grid format?", mrNo);
    grid.BitBtnGridOK->click();
  }
  grid.show();
  grid.BitBtnGridOK->click();
  EXPECT_EQ(FormatFileBytes(), "18\r\n22\r\n8\r\n83\r\n83\r\n103\r\n18\r\n");

  // The window's close button: no question, the change dropped.
  grid.show();
  grid.CheckBox1->click();
  EXPECT_TRUE(grid.Table.FormatChanged);
  grid.close();
  EXPECT_FALSE(grid.Table.FormatChanged);
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"C Matters", "C Matters", "C Matters", "C Matters"}));

  // While the entry screen edits a record it is told nothing.
  grid.EntryEditing = [] { return true; };
  grid.show();
  grid.close();
  EXPECT_EQ(sink.Calls.size(), 4u);
}

TEST_F(GridFormTest, EveryPickModeCloseTellsE) {
  Fill({{"Cole"}, {"Baker"}});
  grid.PickMode = true;
  grid.show();
  grid.SelectRow(1);
  QTest::keyClick(grid.StringGridFind, Qt::Key_Return);
  EXPECT_FALSE(grid.isVisible());
  grid.show();
  grid.StringGridFindDblClick();
  grid.show();
  grid.BitBtnGridOK->click();
  grid.show();
  grid.close();
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"E Matters", "E Matters", "E Matters", "E Matters"}));
}

TEST_F(GridFormTest, AHiddenColumnInTheFormatFileComesBackHiddenAndShowsWhenUnchecked) {
  ASSERT_TRUE(ReplaceFileBytes(grid.FormatFileName(), "20\n30\n8\n-85\n70\n60\n17\n"));
  grid.LoadGridFormat(grid.FormatFileName());
  EXPECT_TRUE(grid.CheckBox1->isChecked());
  EXPECT_TRUE(grid.StringGridFind->isColumnHidden(1));
  EXPECT_EQ(grid.Table.DefaultRowHeight, 20);
  grid.show();
  grid.CheckBox1->click();
  EXPECT_FALSE(grid.StringGridFind->isColumnHidden(1));
  EXPECT_EQ(grid.StringGridFind->columnWidth(1), 85);
  EXPECT_EQ(grid.Table.Width(1), 85);
  grid.CloseByProgram();
  // A file that is no format leaves the defaults.
  ASSERT_TRUE(ReplaceFileBytes(grid.FormatFileName(), "wide\r\n"));
  grid.LoadGridFormat(grid.FormatFileName());
  EXPECT_EQ(grid.Table.DefaultRowHeight, 20);
}

TEST_F(GridFormTest, TheHeaderBarSetsTheHeaderHeightAndCaptionsWrapIntoItsLines) {
  grid.show();
  const int lineHeight = QFontMetrics(grid.Header->font()).height();
  // The bar follows the pointer in small steps; a pointer far below it is
  // no drag.
  auto dragTo = [&](int Top) {
    QTest::mousePress(grid.Shape3, Qt::LeftButton, {}, QPoint(2, 1));
    const int from = grid.Shape3->y();
    const int step = Top > from ? 5 : -5;
    for (int y = from; y != Top; y = std::abs(Top - y) < 5 ? Top : y + step) {
      QMouseEvent move(QEvent::MouseMove, QPointF(2, (std::abs(Top - y) < 5 ? Top : y + step) - grid.Shape3->y()),
                       QPointF(), Qt::NoButton, Qt::LeftButton, {});
      QCoreApplication::sendEvent(grid.Shape3, &move);
    }
    QTest::mouseRelease(grid.Shape3, Qt::LeftButton, {}, QPoint(2, 1));
  };
  QMouseEvent far(QEvent::MouseMove, QPointF(2, 40), QPointF(), Qt::NoButton, Qt::LeftButton, {});
  QTest::mousePress(grid.Shape3, Qt::LeftButton, {}, QPoint(2, 1));
  QCoreApplication::sendEvent(grid.Shape3, &far);
  QTest::mouseRelease(grid.Shape3, Qt::LeftButton, {}, QPoint(2, 1));
  EXPECT_EQ(grid.Table.HeaderHeight, 22);
  dragTo(2 * lineHeight + 5);
  EXPECT_EQ(grid.Table.HeaderHeight, 2 * lineHeight + 5 + 3);
  EXPECT_EQ(grid.HeaderLines, 2);
  EXPECT_TRUE(grid.Table.FormatChanged);
  EXPECT_EQ(grid.Header->height(), grid.Table.HeaderHeight);
  EXPECT_EQ(grid.Shape3->geometry().bottom(), grid.Table.HeaderHeight - 1);
  grid.StringGridFind->setColumnWidth(4, QFontMetrics(grid.Header->font()).horizontalAdvance("Billa"));
  EXPECT_EQ(grid.Header->WrappedCaption(4), "Billable ");  // one word stays whole
  grid.Table.SetColumns({{"Client name", 10, TGridColumnKind::Text, false}});
  grid.RowsChanged();
  grid.StringGridFind->setColumnWidth(1, QFontMetrics(grid.Header->font()).horizontalAdvance("Client na"));
  EXPECT_EQ(grid.Header->WrappedCaption(1), "Client \nname ");

  // A bar dragged near the top snaps: one line, 6 high.
  dragTo(4);
  EXPECT_EQ(grid.Table.HeaderHeight, 6);
  EXPECT_EQ(grid.HeaderLines, 1);
  grid.CloseByProgram();
}

TEST_F(GridFormTest, ArrowKeysMoveTheRowAndAnotherSortTellsI) {
  Fill({{"a"}, {"b"}, {"c"}});
  grid.SelectRow(0);
  grid.BitBtnDeleteKeyDown(Qt::Key_Up);
  EXPECT_EQ(grid.CurrentRow(), 0);
  grid.BitBtnDeleteKeyDown(Qt::Key_Down);
  grid.BitBtnDeleteKeyDown(Qt::Key_Down);
  grid.BitBtnDeleteKeyDown(Qt::Key_Down);
  EXPECT_EQ(grid.CurrentRow(), 2);
  EXPECT_EQ(grid.Model->data(grid.Model->index(1, 1), Qt::ToolTipRole).toString(), "b");
  grid.ComboBox1->setCurrentIndex(0);
  grid.ComboBox1Click();
  EXPECT_TRUE(sink.Calls.empty());
  grid.ComboBox1->setCurrentIndex(1);
  grid.ComboBox1Click();
  EXPECT_EQ(grid.CurrentIndex, 2);
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"I Matters"}));
}

// Records with the same first-index key: Edit finds each by its position.
class GridEditTest : public GridFormTest {
protected:
  void SetUp() override {
    GridFormTest::SetUp();
    std::vector<std::string> records;
    for (int i = 1; i <= 4; ++i)
      records.push_back(WithPrefix(uint32_t(i), FillRecord({{1, i == 4 ? "Other" : "Smith"}, {2, std::to_string(i)}})));
    WriteTargetDescriptor(TplNo);
    WriteTargetData(TplNo, records);
    FillFromDataFile();
  }
  std::string AmountOfTplRec() { return Trim(FieldTextOf(std::string(Store.TplRec.begin(), Store.TplRec.end()), Store.FldTable[2])); }
};

TEST_F(GridEditTest, EditReadsTheRowsOwnRecordAfterSeveralGetNextAndRestoresTheKey) {
  OpenTemplateDataFile(52);
  BtrSetKeyNumber(52, int8_t(DataKeyOfIndex(52, 2)));
  grid.SelectRow(2);
  grid.BitBtnEdit->click();
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"F Matters"}));
  EXPECT_EQ(AmountOfTplRec(), "3");
  EXPECT_EQ(BtrGetKeyNumber(52), DataKeyOfIndex(52, 2));
}

TEST_F(GridEditTest, AnEngineFailureShowsItsText) {
  BtrCloseAllFiles();
  ASSERT_TRUE(DeleteFile(DataFileName(TTemplateNumber(TplNo))));
  DialogResponder boxes;
  boxes.Answer(mrOk);
  grid.SelectRow(0);
  grid.BitBtnEdit->click();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const std::string prefix = "Unable to access the record you wish to edit in the template.\rThe following error occurred:\r\r";
  EXPECT_EQ(boxes.Boxes()[0].text.substr(0, prefix.size()), prefix);
  EXPECT_GT(boxes.Boxes()[0].text.size(), prefix.size());
  EXPECT_TRUE(sink.Calls.empty());
}

// The data file's keys in another order than the indexes, as the matter
// e-mail's: index 1 (the name) is key 2.
TEST_F(GridEditTest, TheFirstIndexIsFoundThroughItsKey) {
  const std::vector<std::string> records = ReadRecords(DataFileName(TTemplateNumber(TplNo)));
  BtrCloseAllFiles();
  ASSERT_TRUE(DeleteFile(DataFileName(TTemplateNumber(TplNo))));
  const TFld& name = Store.FldTable[1];
  const TFld& amount = Store.FldTable[2];
  const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true},
                                   {1, 1, uint16_t(amount.Offset), uint16_t(amount.KeyWidth), true, true},
                                   {2, 1, uint16_t(name.Offset), uint16_t(name.KeyWidth), true, true}};
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(DataFileName(TTemplateNumber(TplNo)), uint16_t(Store.RecLen + 8), int8_t(keys.size()), msg,
                            255, true, keys))
      << msg;
  InsertRecords(DataFileName(TTemplateNumber(TplNo)), records);
  grid.Table.ClearRows();
  FillFromDataFile();
  OpenTemplateDataFile(52);
  ASSERT_EQ(DataKeyOfIndex(52, 1), 2);
  BtrSetKeyNumber(52, 1);
  grid.SelectRow(1);
  grid.BitBtnEdit->click();
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"F Matters"}));
  EXPECT_EQ(AmountOfTplRec(), "2");
  EXPECT_EQ(BtrGetKeyNumber(52), 1);
}

TEST_F(GridEditTest, EditFailuresShowTheirTextsAndTellNothing) {
  DialogResponder boxes;
  // No row chosen.
  boxes.Expect("Please highlight a record first!");
  grid.BitBtnEdit->click();
  // A row deleted in this grid.
  grid.Table.MarkDeleted(3);
  grid.SelectRow(3);
  boxes.Expect("This record has been deleted!");
  grid.BitBtnEdit->click();
  // A key no record has any more.
  grid.Table.AppendRow({"Gone"}, "Gone      ", "  9  0  0  0");
  grid.RowsChanged();
  grid.SelectRow(4);
  boxes.Expect(
      "Unable to access the record you wish to edit in the template.\rIf other users have access to matterdesk, the "
      "record may have been altered or deleted.");
  grid.BitBtnEdit->click();
  // The key is there, the position is not among its records.
  grid.Table.SetCell(4, grid.Table.KeyColumn(), grid.Table.KeyText(0));
  boxes.Expect(
      "Unable to access the record you wish to edit in the template.\r(Unable to verify physical location).\r\rIf "
      "other users have access to matterdesk, the record may have been altered or deleted.");
  grid.BitBtnEdit->click();
  EXPECT_TRUE(sink.Calls.empty());
  EXPECT_EQ(BtrGetKeyNumber(52), DataKeyOfIndex(52, 1));
}

// Clients (template 1, its code field id 30) referred to by Matters
// (template 2), whose client lookup stores the code right-justified.
class GridDeleteTest : public GridFormTest {
protected:
  void SetUp() override {
    GridFormTest::SetUp();
    WriteTargetTemplate(2, [](TTemplateTableBuilder& t) {
      t.Add("Matter", 'C', 10);
      AddClientLookup(t, "MNGR001.DSC", "1 30").RightJustify = true;
      t.Index(1, {1}, true, "By matter");
    }, [] { return std::vector<std::string>{WithPrefix(1, FillRecord({{1, "M1"}, {2, "C1"}}))}; });
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 5, 30);
    t.Add("Name", 'C', 20);
    t.Index(1, {30}, true, "By code");
    Store.IndexRecs.Names[1] = "By code";
    WriteTargetDescriptor(TplNo);
    WriteTargetData(TplNo, {WithPrefix(1, FillRecord({{30, "C1"}, {2, "Adams"}})),
                            WithPrefix(2, FillRecord({{30, "C2"}, {2, "Baker"}}))});
    grid.SetUp(BuildEntryModel(measure));
    FillFromDataFile();
  }
  size_t RecordsLeft() { return Records().size(); }
  const std::string ConfirmText = "Are you sure you wish to delete this record?";
};

TEST_F(GridDeleteTest, AReferencedRowStaysAndTheMessageNamesTheReferringTemplate) {
  DialogResponder boxes;
  boxes.Expect(ConfirmText, mrYes)
      .Expect("The following template(s) reference the record you are attempting to delete: \r\r\rTarget\r\r"
              "It may not be deleted until records in other templates that refer to it are deleted.");
  grid.SelectRow(0);
  grid.BitBtnDelete->click();
  EXPECT_FALSE(grid.Table.IsDeleted(0));
  EXPECT_EQ(RecordsLeft(), 2u);
}

TEST_F(GridDeleteTest, AFreeRowGoesOnceAndShowsItalicBlue) {
  DialogResponder boxes;
  grid.SelectRow(1);
  boxes.Expect(ConfirmText, mrNo);
  grid.BitBtnDelete->click();
  EXPECT_EQ(RecordsLeft(), 2u);
  boxes.Expect(ConfirmText, mrYes).Expect("Record successfully deleted.");
  grid.BitBtnDelete->click();
  EXPECT_TRUE(grid.Table.IsDeleted(1));
  EXPECT_TRUE(grid.Model->data(grid.Model->index(1, 1), Qt::FontRole).value<QFont>().italic());
  EXPECT_EQ(grid.Model->data(grid.Model->index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
  EXPECT_EQ(RecordsLeft(), 1u);
  boxes.Expect("This record has already been deleted.");
  grid.BitBtnDelete->click();
  boxes.Expect("Please highlight a record first!");
  grid.StringGridFind->setCurrentIndex({});
  grid.BitBtnDelete->click();
}

TEST_F(GridDeleteTest, AnIncompleteIntegrityCheckForbidsTheDelete) {
  // A descriptor no one can read: the check shows its own box first.
  ASSERT_TRUE(ReplaceFileBytes(Store.DataDir + "/MNGR009.DSC", "not a record manager file"));
  DialogResponder boxes;
  boxes.Expect(ConfirmText, mrYes)
      .Answer(mrOk)
      .Expect("Unable to check other Vezadaz templates to determine if they \r reference the record you are about to "
              "delete.\r\rYou will not be permitted to delete this record at this time.\r\r\r\rPlease contact Ondral, "
              "Inc. for assistance.");
  grid.SelectRow(1);
  grid.BitBtnDelete->click();
  EXPECT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_FALSE(grid.Table.IsDeleted(1));
  std::filesystem::remove(Store.DataDir + "/MNGR009.DSC");
  EXPECT_EQ(RecordsLeft(), 2u);
}

TEST_F(GridDeleteTest, ALayoutChangedElsewhereRefusesTheDelete) {
  SetGridLayoutCheck([] { return false; });
  DialogResponder boxes;
  boxes.Expect(ConfirmText, mrYes).Expect(LayoutChangedText);
  grid.SelectRow(1);
  grid.BitBtnDelete->click();
  EXPECT_FALSE(grid.Table.IsDeleted(1));
  EXPECT_EQ(RecordsLeft(), 2u);
}

// Matters (template 1) with a right-justified amount, a date, a check box
// and a client lookup on Clients (template 2), whose code C2 two records
// share.
class GridReplaceTest : public GridFormTest {
protected:
  void SetUp() override {
    GridFormTest::SetUp();
    WriteTargetTemplate(2, [](TTemplateTableBuilder& t) {
      t.Add("Code", 'C', 5);
      t.Add("Name", 'C', 20);
      t.Index(1, {1}, false, "By code");
    }, [] {
      return std::vector<std::string>{WithPrefix(1, FillRecord({{1, "C1"}, {2, "Adams"}})),
                                      WithPrefix(2, FillRecord({{1, "C2"}, {2, "Baker"}})),
                                      WithPrefix(3, FillRecord({{1, "C2"}, {2, "Bakers"}}))};
    });
    TTemplateTableBuilder t;
    t.Add("Name", 'C', 10);
    t.Add("Amount", 'N', 10).RightJustify = true;
    t.Add("Opened", 'D', 8);
    t.Add("Billable", 'B', 1);
    AddClientLookup(t, "MNGR002.DSC", "1  1");
    TFld& status = t.Add("Status", 'C', 10);
    status.IsLookup = status.Forced = true;
    status.LkpKind = "U";
    status.LkpTarget = "7.lst";
    status.LkpSpec = "1";
    t.Index(1, {1}, true, "By name");
    Store.IndexRecs.Names[1] = "By name";
    const std::string key1("\x01\0\0\0", 4);
    WriteTargetDescriptor(TplNo);
    WriteTargetData(TplNo, {WithPrefix(1, FillRecord({{1, "Smith"}, {2, "5.00"}, {3, "20260101"}, {4, "Y"}, {5, "C1   " + key1}})),
                            WithPrefix(2, FillRecord({{1, "Jones"}, {2, "5.00"}, {4, "N"}, {5, "C1   " + key1}})),
                            WithPrefix(3, FillRecord({{1, "Brown"}, {2, "10.00"}, {3, "20260101"}, {4, "N"}}))});
    before = Records();
    grid.SetUp(BuildEntryModel(measure));
    grid.LabelTableName2->setText("Matters");
  }
  void Choose(const char* Field) { grid.CBFieldNames->setCurrentIndex(grid.CBFieldNames->findText(Field)); grid.CBFieldNamesClick(); }
  std::string Confirm(const std::string& Field, const std::string& Old, const std::string& New) {
    return "About to search the field '" + Field + "' in the template 'Matters' and change each occurrence of '" +
           Old + "' to '" + New + "'.\r\rContinue?";
  }
  // Record R's bytes with Text placed at record position Pos.
  std::string Changed(size_t R, int Pos, const std::string& Text) {
    std::string r = before[R];
    r.replace(size_t(Pos - 1), Text.size(), Text);
    return r;
  }
  std::vector<std::string> before;
};

TEST_F(GridReplaceTest, RightJustifiedDateAndCheckBoxValuesArePlacedAsTheSaveStoresThem) {
  DialogResponder boxes;
  Choose("Amount");
  grid.EditFrom->setText("5.00");
  grid.EditTo->setText("7.50");
  boxes.Expect(Confirm("Amount", "5.00", "7.50"), mrYes).Expect("Search and replace has completed.\r\r2 records were changed.");
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), (std::vector<std::string>{Changed(0, 15, "      7.50"), Changed(1, 15, "      7.50"), before[2]}));
  before = Records();

  Choose("Opened");
  EXPECT_TRUE(grid.DateFrom->isVisibleTo(&grid));
  EXPECT_FALSE(grid.EditFrom->isVisibleTo(&grid));
  grid.DateFrom->SetDate(EncodeDate(2026, 1, 1));
  grid.DateTo->SetDate(EncodeDate(2026, 2, 1));
  boxes.Expect(Confirm("Opened", "1/1/2026", "2/1/2026"), mrYes).Expect("Search and replace has completed.\r\r2 records were changed.");
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), (std::vector<std::string>{Changed(0, 25, "20260201"), before[1], Changed(2, 25, "20260201")}));
  before = Records();

  Choose("Billable");
  EXPECT_TRUE(grid.CBFrom->isVisibleTo(&grid));
  grid.CBTo->setChecked(true);
  boxes.Expect(Confirm("Billable", "<unchecked>", "<checked>"), mrYes).Expect("Search and replace has completed.\r\r2 records were changed.");
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), (std::vector<std::string>{before[0], Changed(1, 33, "Y"), Changed(2, 33, "Y")}));
}

TEST_F(GridReplaceTest, RefusalsChangeNothing) {
  DialogResponder boxes;
  boxes.Expect("Please select a field to change!");
  grid.BitBtn1->click();

  Choose("Name");
  grid.EditFrom->setText("Smith");
  grid.EditTo->setText("Smithsonian");
  std::string tooWide;
  try {
    StoredFieldText(Store.FldTable[1], "Smithsonian");
  } catch (const ERecordCodec& e) {
    tooWide = e.Message;
  }
  ASSERT_FALSE(tooWide.empty());
  boxes.Expect(tooWide);
  grid.BitBtn1->click();

  Choose("Client");
  grid.EditFrom->setText("C1");
  grid.EditTo->setText("C3");
  boxes.Expect("'Client' is a template lookup.  The replacement value you have specified, 'C3', does not appear in "
               "the template it looks up.\r\rThis is not allowed.");
  grid.BitBtn1->click();

  SetGridLayoutCheck([] { return false; });
  grid.EditTo->setText("C1");
  boxes.Expect(Confirm("Client", "C1", "C1"), mrYes).Expect(LayoutChangedText);
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), before);
}

TEST_F(GridReplaceTest, AForcedUserListTakesOnlyItsItems) {
  ASSERT_TRUE(ReplaceFileBytes(Store.DataDir + "/7.lst", "Open\r\nClosed\r\n"));
  DialogResponder boxes;
  Choose("Status");
  grid.EditTo->setText("Pending");
  boxes.Expect("'Status' is a user-defined lookup list.  The replacement value you have specified, 'Pending', does "
               "not appear in the user list.\r\rThis is not allowed.");
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), before);
  grid.EditTo->setText("Closed");
  boxes.Expect(Confirm("Status", "", "Closed"), mrYes).Expect("Search and replace has completed.\r\r3 records were changed.");
  grid.BitBtn1->click();
  EXPECT_EQ(Records(), (std::vector<std::string>{Changed(0, 43, "Closed"), Changed(1, 43, "Closed"), Changed(2, 43, "Closed")}));
}

TEST_F(GridReplaceTest, ADuplicateKeyMidWalkStopsWithItsTextAndTheCountSoFar) {
  DialogResponder boxes;
  Choose("Name");
  grid.EditFrom->setText("Smith");
  grid.EditTo->setText("Jones");
  boxes.Expect(Confirm("Name", "Smith", "Jones"), mrYes).Answer(mrOk);
  OpenTemplateDataFile(52);
  BtrSetKeyNumber(52, 1);
  grid.BitBtn1->click();
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].type, mtError);
  EXPECT_TRUE(boxes.Boxes()[1].text.ends_with("\r\r0 records were changed.")) << boxes.Boxes()[1].text;
  EXPECT_EQ(BtrGetKeyNumber(52), 1);
  EXPECT_EQ(Records(), before);
}

TEST_F(GridReplaceTest, ATemplateLookupWithSeveralTargetsAsksWhichAndCarriesItsKeyBytes) {
  Choose("Client");
  grid.EditFrom->setText("C1");
  grid.EditTo->setText("C2");
  for (bool select : {false, true}) {
    DialogResponder boxes;
    QTimer::singleShot(0, &grid, [&] {
      auto* chooser = dynamic_cast<TDupSelF*>(QApplication::activeModalWidget());
      ASSERT_NE(chooser, nullptr);
      ASSERT_EQ(chooser->ListBox1->count(), 2);
      // The record text as stored, its stamp at the end.
      EXPECT_EQ(chooser->ListBox1->item(1)->text().toStdString(), "C2   Bakers              20261210");
      chooser->ListBox1->setCurrentRow(1);
      (select ? chooser->BitBtnSelect : chooser->BitBtnCancel)->click();
    });
    if (select)
      boxes.Expect(Confirm("Client", "C1", "C2"), mrYes).Expect("Search and replace has completed.\r\r2 records were changed.");
    grid.BitBtn1->click();
  }
  const std::string key3("\x03\0\0\0", 4);
  EXPECT_EQ(Records(), (std::vector<std::string>{Changed(0, 34, "C2   " + key3), Changed(1, 34, "C2   " + key3), before[2]}));
}

TEST(DupSelFTest, SelectSetsTheFlagCancelLeavesItClear) {
  for (bool select : {true, false}) {
    TDupSelF form;
    form.ListBox1->addItems({"Smith  1", "Smith  2"});
    QTimer::singleShot(0, &form, [&] {
      EXPECT_EQ(form.ListBox1->currentRow(), 0);
      form.ListBox1->setCurrentRow(1);
      (select ? form.BitBtnSelect : form.BitBtnCancel)->click();
    });
    const int result = form.exec();
    EXPECT_EQ(form.Selected, select);
    EXPECT_EQ(result, select ? int(mrYes) : int(QDialog::Rejected));
    EXPECT_EQ(form.ListBox1->currentRow(), 1);
  }
}

// The sink hears "I" with the index-change flag up; it is down before and
// after, and around every other command.
TEST_F(GridFormTest, TheIndexChangeFlagIsUpOnlyWhileTheEntryScreenHearsI) {
  class TFlagSink : public TGridActionSink {
  public:
    explicit TFlagSink(const TEGridF& G) : grid(G) {}
    std::vector<std::string> Calls;
    void GridAction(char Command, const std::string&) override {
      Calls.push_back(std::string(1, Command) + (grid.IndexChange ? " index change" : ""));
    }

  private:
    const TEGridF& grid;
  } flags(grid);
  grid.Sink = &flags;
  Fill({{"a"}, {"b"}, {"c"}});
  grid.show();
  grid.ComboBox1->setCurrentIndex(1);
  grid.ComboBox1Click();
  EXPECT_FALSE(grid.IndexChange);
  grid.BitBtnGridOK->click();
  EXPECT_EQ(flags.Calls, (std::vector<std::string>{"I index change", "C"}));
}

// The compact list opens on the row the find stopped at, without its
// vertical scroll bar.
TEST_F(GridFormTest, PickModeShowsTheFoundRowWithoutAVerticalScrollBar) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 40; ++i) rows.push_back({"Name " + std::to_string(i)});
  for (int i = 0; i < 40; ++i)
    grid.Table.AppendRow(rows[size_t(i)], rows[size_t(i)][0], Format("%3d  0  0  0", i + 1));
  grid.RowsChanged();
  grid.resize(300, 8 * 18 + 40);
  grid.PickMode = true;
  grid.SelectRow(30);
  grid.show();
  EXPECT_EQ(grid.StringGridFind->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(grid.CurrentRow(), 30);
  EXPECT_EQ(grid.StringGridFind->rowAt(1), 30);
  grid.CloseByProgram();
  // Outside pick mode the bar comes back as needed.
  grid.PickMode = false;
  grid.show();
  EXPECT_EQ(grid.StringGridFind->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  grid.CloseByProgram();
}

// Dragging a data row's bottom border in the fixed column makes that the
// height of every row and of the format's first line; a press beside the
// fixed column is no drag.
TEST_F(GridFormTest, ARowBorderDragSetsEveryRowsHeight) {
  Fill({{"Cole"}, {"Baker"}, {"Adams"}});
  grid.show();
  QWidget* cells = grid.StringGridFind->viewport();
  const int border = grid.StringGridFind->rowViewportPosition(1) + grid.StringGridFind->rowHeight(1);
  QTest::mousePress(cells, Qt::LeftButton, {}, QPoint(3, border));
  QMouseEvent move(QEvent::MouseMove, QPointF(3, border + 22), QPointF(), Qt::NoButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(cells, &move);
  QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(3, border + 22));
  EXPECT_EQ(grid.Table.DefaultRowHeight, 18 + 22);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(grid.StringGridFind->rowHeight(r), 40) << r;
  EXPECT_TRUE(grid.Table.FormatChanged);
  ASSERT_TRUE(grid.SaveGridFormat(grid.FormatFileName()));
  EXPECT_EQ(FormatFileBytes().substr(0, 4), "40\r\n");

  const int second = grid.StringGridFind->rowViewportPosition(2) + grid.StringGridFind->rowHeight(2);
  const int inCells = grid.StringGridFind->columnViewportPosition(1) + 5;
  QTest::mousePress(cells, Qt::LeftButton, {}, QPoint(inCells, second));
  QMouseEvent beside(QEvent::MouseMove, QPointF(inCells, second + 30), QPointF(), Qt::NoButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(cells, &beside);
  QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(inCells, second + 30));
  EXPECT_EQ(grid.Table.DefaultRowHeight, 40);
  EXPECT_EQ(grid.StringGridFind->rowHeight(2), 40);
  grid.CloseByProgram();
}

// Data cells wrap into the lines their row's height holds; one line's
// height leaves the text as it is.
TEST(GridCellWrapTest, ACellWrapsIntoTheLinesItsHeightHolds) {
  const QFont font;
  const QFontMetrics fm(font);
  const int lineHeight = fm.height();
  const int width = fm.horizontalAdvance("Smith and");
  struct Case {
    const char* text;
    int lines;
    const char* shown;
  };
  for (const Case& c : std::vector<Case>{{"Smith and Jones", 1, "Smith and Jones"},
                                         {"Smith and Jones", 2, "Smith \nand Jones "},
                                         {"Smith and Jones Partners", 3, "Smith \nand Jones \nPartners "},
                                         {"Smith", 3, "Smith"},
                                         {"", 3, ""}}) {
    EXPECT_EQ(WrappedCellText(c.text, font, QSize(width, c.lines * lineHeight + 1)), c.shown) << c.text << c.lines;
  }
}

// Grid commands reach the entry screen only: another member on the bus
// gets none of them, only what is broadcast after them.
TEST_F(GridFormTest, NoGridCommandGoesOnTheBus) {
  const std::filesystem::path runtime = Temp.path() / "run";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  ScopedRuntimeDir scoped(runtime.string());
  ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
  BusPeer other(InstanceBusFolder(), "9000001.sock");

  Fill({{"a"}, {"b"}, {"c"}});
  grid.show();
  grid.ComboBox1->setCurrentIndex(1);
  grid.ComboBox1Click();
  grid.BitBtnGridOK->click();
  grid.show();
  grid.close();
  grid.PickMode = true;
  grid.show();
  grid.SelectRow(0);
  grid.StringGridFindDblClick();
  EXPECT_EQ(sink.Calls, (std::vector<std::string>{"I Matters", "C Matters", "C Matters", "E Matters"}));

  BroadcastOnInstanceBus("CV_Test_After", "end");
  EXPECT_EQ(other.Receive(), EncodeBusDatagram({uint32_t(getpid()), "CV_Test_After", "end"}));
  CloseInstanceBus();
}

// A second workstation restructures the open template: the grid's delete
// and search and replace refuse, the data file as that save left it. The
// layout check is the loader's own, as the program installs it.
class GridPeerTest : public GridStoreTest {
protected:
  void SetUp() override {
    GridStoreTest::SetUp();
    peer = std::make_unique<PipedProcess>(SAVE_PEER_PATH, std::vector<std::string>{Store.DataDir});
    ASSERT_EQ(peer->Ask("build"), "ok");
    // The clients its lookup names.
    WriteTargetTemplate(7, [](TTemplateTableBuilder& t) {
      t.Add("Code", 'C', 5);
      t.Index(1, {1}, true, "By code");
    });
    ASSERT_TRUE(LoadTemplateDescriptor("000"));
    Store.OpenTplNumber = "000";
    Store.TplNumber = TTemplateNumber(ScenarioTpl).Stored();
    Store.TplName = ScenarioName;
    SetGridLayoutCheck(LayoutStillCurrent);
    grid.SetUp(BuildEntryModel(measure));
    grid.LabelTableName2->setText(WidgetText(ScenarioName));
    FillFromDataFile(ScenarioTpl);
  }
  void TearDown() override {
    SetGridLayoutCheck({});
    if (peer) {
      EXPECT_EQ(peer->Ask("exit"), "bye");
    }
    peer.reset();
    GridStoreTest::TearDown();
  }
  std::vector<std::string> DataRecords() {
    BtrCloseAllFiles();
    return ReadRecords(DataFileName(TTemplateNumber(ScenarioTpl)));
  }

  std::unique_ptr<PipedProcess> peer;
};

TEST_F(GridPeerTest, ARestructureSavedElsewhereRefusesDeleteAndReplace) {
  ASSERT_GE(grid.Table.RowCount(), 1);
  EXPECT_TRUE(GridLayoutStillCurrent());
  ASSERT_EQ(peer->Ask("modify"), "ok");
  ASSERT_EQ(peer->Ask("save"), "saved");
  EXPECT_FALSE(GridLayoutStillCurrent());
  const std::vector<std::string> saved = DataRecords();

  DialogResponder boxes;
  boxes.Expect("Are you sure you wish to delete this record?", mrYes).Expect(LayoutChangedText);
  grid.SelectRow(0);
  grid.BitBtnDelete->click();
  EXPECT_FALSE(grid.Table.IsDeleted(0));

  const int name = grid.CBFieldNames->findText("Name");
  ASSERT_GE(name, 0);
  grid.CBFieldNames->setCurrentIndex(name);
  grid.CBFieldNamesClick();
  grid.EditFrom->setText(WidgetText(grid.Table.Cell(0, 2)));
  grid.EditTo->setText("Zed");
  boxes.Expect("About to search the field 'Name' in the template 'Matters' and change each occurrence of '" +
                   grid.Table.Cell(0, 2) + "' to 'Zed'.\r\rContinue?",
               mrYes)
      .Expect(LayoutChangedText);
  grid.BitBtn1->click();
  EXPECT_EQ(DataRecords(), saved);
}

}  // namespace
