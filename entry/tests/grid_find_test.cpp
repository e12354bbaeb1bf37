// The find's reading without a widget: the cells per field type, key texts
// and position cells of real records, the modes (filter, column lookup,
// exit check, re-read, a new key order), the growth step, an empty file, a
// read failure, and the display columns of family, template and user-list
// lookups.
#include "entry/grid_find.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "entry/dropdown_list.h"
#include "entry/entry_build.h"
#include "entry/grid_plan.h"
#include "platform/format.h"
#include "platform/date_format.h"
#include "platform/fault_point.h"
#include "platform/text.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "templates/validation_files.h"
#include "testing/sample_office_folder.h"
#include "testing/store_files_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TRow = std::vector<std::string>;

class TFixedMeasure : public TTextMeasure {
public:
  int TextWidth(const std::string& Text) const override { return 7 * int(Text.size()); }
  int TextHeight(const std::string&) const override { return 16; }
};

constexpr int TplNo = 1;
const std::map<int, TFieldControl> NoLookups;

class GridFindTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    Startup.Reset();
    FamilyLookup.Reset();
    DisarmFaultPoint();
    savedFormat_ = FormatSettings.ShortDateFormat;
    MatterTable();
    Store.OpenTplNumber = "001";
  }
  void TearDown() override {
    DisarmFaultPoint();
    FormatSettings.ShortDateFormat = savedFormat_;
    BtrCloseAllFiles();
    Startup.Reset();
    FamilyLookup.Reset();
    StoreFilesTest::TearDown();
  }

  // Code C 4, Sub C 3, Opened D, Amount N 8 right-justified, Billable B,
  // Doc d, Raw C 4; index 1 on code, sub and opened; index 2 on amount.
  static void MatterTable() {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 4);
    t.Add("Sub", 'C', 3);
    t.Add("Opened", 'D', 8);
    t.Add("Amount", 'N', 8).RightJustify = true;
    t.Add("Billable", 'B', 1);
    t.Add("Doc", 'd', 72);
    t.Add("Raw", 'C', 4);
    t.Index(1, {1, 2, 3}, false, "By code");
    t.Index(2, {4}, false, "By amount");
  }
  static std::string Matter(const std::string& Code, const std::string& Sub, const std::string& Opened,
                            const std::string& Amount, const std::string& Raw = "") {
    return WithPrefix(0, FillRecord({{1, Code}, {2, Sub}, {3, Opened}, {4, Amount}, {5, "N"}, {7, Raw}}));
  }
  static void WriteMatters(const std::vector<std::string>& Records) { WriteTargetData(TplNo, Records); }

  // Column 1 of every row, trimmed, and the key texts.
  std::vector<std::string> Column(int Col) const {
    std::vector<std::string> out;
    for (int r = 0; r < table.RowCount(); ++r) out.push_back(TrimRight(table.Cell(r, Col)));
    return out;
  }
  void Columns(int Count) {
    table.SetColumns(std::vector<TGridColumnSpec>(size_t(Count)));
  }
  TFindResult Find(TFindMode Mode, const std::vector<std::string>& Sort = {"", "", ""}, int Index = 1,
                   int Slot = 0) {
    TGridReader reader(NoLookups, -1);
    TFindRequest r;
    r.Mode = Mode;
    r.SortValues = Sort;
    r.IndexNo = Index;
    r.LookupSlot = Slot;
    return reader.Read(table, r);
  }

  TGridTable table;
  std::string savedFormat_;
};

TEST_F(GridFindTest, CellsKeyTextsAndPositionsAreThoseOfTheStoredBytes) {
  const std::string raw("\0\xff\x01 ", 4);
  WriteTargetData(TplNo, {WithPrefix(0, FillRecord({{1, "AB"},
                                                    {2, "1"},
                                                    {3, "20240305"},
                                                    {4, "12.50"},
                                                    {5, "Y"},
                                                    {6, "c:\\x.doc"},
                                                    {7, raw}})),
                          WithPrefix(0, FillRecord({{1, "CD"}, {3, "        "}, {5, "N"}}))});
  Columns(7);
  ASSERT_EQ(Find(TFindMode::FindAll).Outcome, TFindOutcome::Done);
  ASSERT_EQ(table.RowCount(), 2);
  const TRow first{"AB  ", "1  ", "03/05/2024", "   12.50", "Y",
                   "c:\\x.doc" + std::string(64, ' '), raw};
  const TRow second{"CD  ", "   ", "", "        ", " ", std::string(72, ' '), "    "};
  for (int c = 1; c <= 7; ++c) {
    EXPECT_EQ(table.Cell(0, c), first[size_t(c - 1)]) << c;
    EXPECT_EQ(table.Cell(1, c), second[size_t(c - 1)]) << c;
  }
  // The key as the data file's key holds it: a date as "YYYYMMDD", blanks
  // as blanks.
  EXPECT_EQ(table.KeyText(0), "AB  1  20240305");
  EXPECT_EQ(table.KeyText(1), "CD" + std::string(13, ' '));
  EXPECT_EQ(table.Kind(3), TGridColumnKind::Date);
  EXPECT_EQ(table.Kind(4), TGridColumnKind::Numeric);
  EXPECT_EQ(table.Kind(5), TGridColumnKind::Check);
  EXPECT_EQ(table.Kind(1), TGridColumnKind::Text);
  // Each position cell names its own record.
  for (int r = 0; r < 2; ++r) {
    ASSERT_EQ(table.PositionCell(r).size(), 12u);
    std::string msg;
    ASSERT_TRUE(GetGridRowRecord(table.PositionCell(r), msg)) << msg;
    EXPECT_EQ(IndexKeyText(std::string(Store.TplRec.begin(), Store.TplRec.end()), 1), table.KeyText(r));
  }
  // A two-digit year where the short date format has one.
  FormatSettings.ShortDateFormat = "M/d/yy";
  Find(TFindMode::FindAll);
  EXPECT_EQ(table.Cell(0, 3), "03/05/24");
  // Success leaves file 52 open on the grid's key for Edit and Delete.
  EXPECT_TRUE(BtrIsFileOpen(52));
}

TEST_F(GridFindTest, RowsGrowInStepsOf500AndEndAtTheLastRecord) {
  std::vector<std::string> records;
  for (int i = 0; i < 501; ++i) {
    const std::string n = IntToStr(i);
    records.push_back(Matter(std::string(4 - n.size(), '0') + n, "", "", n));
  }
  WriteMatters(records);
  Columns(7);
  EXPECT_EQ(Find(TFindMode::FindAll).Rows, 501);
  EXPECT_EQ(table.RowCount(), 501);
  EXPECT_EQ(table.RowCapacity(), 1000);
  EXPECT_EQ(TrimRight(table.Cell(500, 1)), "0500");
}

TEST_F(GridFindTest, TheFilterKeepsTheRowsWhoseTypedSegmentsMatch) {
  WriteMatters({Matter("AA", "1", "20240101", "1"), Matter("AA", "2", "20240101", "2"),
                Matter("AA", "2", "20250101", "3"), Matter("BB", "2", "20240101", "4")});
  Columns(7);
  struct TCase {
    std::vector<std::string> Typed;
    std::string Pattern;
    std::vector<std::string> Amounts;
  };
  const TCase cases[] = {
      {{"AA", "", ""}, "YNN", {"1", "2", "3"}},
      {{"AA", "2", ""}, "YYN", {"2", "3"}},
      {{"AA", "2", "20250101"}, "YYY", {"3"}},
      {{"", "2", ""}, "NYN", {"2", "3", "4"}},
      {{"", "", ""}, "NNN", {"1", "2", "3", "4"}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FilterPattern(c.Typed), c.Pattern);
    Find(TFindMode::Filter, c.Typed);
    std::vector<std::string> amounts;
    for (const std::string& a : Column(4)) amounts.push_back(Trim(a));
    EXPECT_EQ(amounts, c.Amounts) << c.Pattern;
  }
}

TEST_F(GridFindTest, AColumnLookupListsOneFieldsValuesOnceFromTheTypedKey) {
  WriteMatters({Matter("AA", "1", "", "1"), Matter("AA", "1", "20240101", "2"), Matter("AA", "2", "", "3"),
                Matter("AB", "1", "", "4"), Matter("AC", "3", "", "5")});
  Columns(7);
  // The first sort field: each code once, from the typed one on.
  EXPECT_EQ(Find(TFindMode::ColumnLookup, {"AB", "", ""}, 1, 1).Outcome, TFindOutcome::Done);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"AB", "AC"}));
  EXPECT_EQ(Column(2), (std::vector<std::string>{"", ""}));
  // The second: only under the typed code; a later code stops the reading.
  Find(TFindMode::ColumnLookup, {"AA", "", ""}, 1, 2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"1", "2"}));
  // A blank code before it: the find says so and file 52 is closed.
  EXPECT_EQ(Find(TFindMode::ColumnLookup, {"", "1", ""}, 1, 2).Outcome, TFindOutcome::MissingPreceding);
  EXPECT_FALSE(BtrIsFileOpen(52));
}

TEST_F(GridFindTest, AnExitCheckReadsOnFromTheTypedKeyAndKeepsItsRow) {
  WriteMatters({Matter("AA", "1", "", "1"), Matter("BB", "1", "20240101", "2"), Matter("CC", "1", "", "3")});
  Columns(7);
  const TFindResult r = Find(TFindMode::ExitCheck, {"BB", "1", "20240101"});
  EXPECT_EQ(r.FoundRow, 0);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"BB", "CC"}));
}

TEST_F(GridFindTest, AnotherIndexRewritesTheRowsInItsOrder) {
  WriteMatters({Matter("AA", "", "", "30"), Matter("BB", "", "", "5"), Matter("CC", "", "", "100")});
  Columns(7);
  Find(TFindMode::FindAll);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"AA", "BB", "CC"}));
  Find(TFindMode::IndexChange, {"", "", ""}, 2);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"BB", "AA", "CC"}));
  EXPECT_EQ(BtrGetKeyNumber(52), 2);
  // Back to index 1: its key is set too.
  Find(TFindMode::IndexChange, {"", "", ""}, 1);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"AA", "BB", "CC"}));
  EXPECT_EQ(BtrGetKeyNumber(52), 1);
}

TEST_F(GridFindTest, IndexOneIsTheDataFilesKeyWithItsSegments) {
  // As the matter e-mail's data file has them: index 1 is key 2.
  const TFld& amount = Store.FldTable[4];
  std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true},
                             {1, 1, uint16_t(amount.Offset), uint16_t(amount.KeyWidth), true, true, false, false}};
  for (int s = 1; s <= 3; ++s) {
    const TFld& f = Store.FldTable[s];
    keys.push_back({2, uint8_t(s), uint16_t(f.Offset), uint16_t(f.KeyWidth), true, true, false, false});
  }
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(DataFileName(TTemplateNumber(TplNo)), uint16_t(Store.RecLen + 8), int8_t(keys.size()), msg,
                            255, true, keys))
      << msg;
  InsertRecords(DataFileName(TTemplateNumber(TplNo)),
                {Matter("BB", "", "", "1"), Matter("AA", "", "", "2"), Matter("CC", "", "", "3")});
  Columns(7);
  Find(TFindMode::FindAll);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"AA", "BB", "CC"}));
  EXPECT_EQ(BtrGetKeyNumber(52), 2);
}

TEST_F(GridFindTest, AnEmptyFileAndAFailedReadCloseFile52) {
  WriteMatters({});
  Columns(7);
  EXPECT_EQ(Find(TFindMode::FindAll).Outcome, TFindOutcome::NoRecords);
  EXPECT_FALSE(BtrIsFileOpen(52));

  InsertRecords(DataFileName(TTemplateNumber(TplNo)),
                {Matter("AA", "", "", "1"), Matter("BB", "", "", "2"), Matter("CC", "", "", "3")});
  // The steps of a whole find, then the same find failing at its last read.
  DisarmFaultPoint();
  Find(TFindMode::FindAll);
  BtrCloseAllFiles();
  const uint64_t steps = FaultStepCount();
  ArmFaultPoint(steps - 2, TFaultAction::FailOnce);
  const TFindResult r = Find(TFindMode::FindAll);
  EXPECT_EQ(r.Outcome, TFindOutcome::ReadFailed);
  EXPECT_NE(r.Error.find("Btrieve status 2."), std::string::npos) << r.Error;
  EXPECT_FALSE(BtrIsFileOpen(52));
}

TEST_F(GridFindTest, AReReadRewritesTheRowAndSaysWhetherItChanged) {
  WriteMatters({Matter("AA", "1", "", "10"), Matter("BB", "1", "", "20")});
  Columns(7);
  Find(TFindMode::FindAll);
  std::string msg;
  ASSERT_TRUE(GetGridRowRecord(table.PositionCell(1), msg)) << msg;
  TFindRequest r;
  r.Mode = TFindMode::Reread;
  r.Row = 1;
  TGridReader reader(NoLookups, -1);
  EXPECT_FALSE(reader.Read(table, r).Changed);
  // Another workstation's change, read by the edit.
  const std::string changed = Matter("BB", "1", "", "25");
  std::copy(changed.begin() + 4, changed.end(), Store.TplRec.begin() + 4);
  EXPECT_TRUE(reader.Read(table, r).Changed);
  EXPECT_EQ(Trim(table.Cell(1, 4)), "25");
  EXPECT_EQ(Trim(table.Cell(0, 4)), "10");
}

// Lookups: a family client lookup with two display columns and a name
// lookup keyed with its tail, a template lookup by key and by text, a
// two-column user list.
class GridFindLookupTest : public GridFindTest {
protected:
  static constexpr int TargetNo = 7;
  void SetUp() override {
    GridFindTest::SetUp();
    Store.DataRoot = SampleOfficeFolder();
  }
};

TEST_F(GridFindLookupTest, DisplayColumnsComeFromEachLookupsRecord) {
  {
    TTemplateTableBuilder t;
    t.Add("Id", 'C', 4);
    t.Add("Title", 'C', 10);
    t.Add("Since", 'D', 8);
    t.Index(1, {1}, true, "By id");
    WriteTargetDescriptor(TargetNo);
    WriteTargetData(TargetNo, {WithPrefix(5, FillRecord({{1, "T1"}, {2, "First"}, {3, "20230102"}})),
                               WithPrefix(6, FillRecord({{1, "T2"}, {2, "Second"}, {3, "        "}}))});
  }
  WriteUserListFile(3, {ListHeaderLine("Colours"), "Red" + ListSep + "Rouge", "Blue" + ListSep + "Bleu"});
  const TSampleClient& known = SampleOffice().Clients[0];
  TTemplateTableBuilder t;
  TFld& client = t.Add("Client", 'C', 7);
  client.IsLookup = client.Unique = true;
  client.LkpKind = "L";
  client.LkpSpec = "A  0";
  client.DispCols[1] = 1;
  client.DispCols[2] = 5;
  TFld& name = t.Add("Name", 'C', 27);
  name.KeyWidth = 20;
  name.IsLookup = true;
  name.LkpKind = "L";
  name.LkpSpec = "A  1";
  name.DispCols[1] = 1;
  // Template lookups on the target's index 1: one keyed, one unique.
  for (const bool unique : {false, true}) {
    TFld& target = t.Add(unique ? "Unique" : "Target", 'C', unique ? 4 : 8);
    target.KeyWidth = 4;
    target.IsLookup = true;
    target.Unique = unique;
    target.LkpKind = "M";
    target.LkpTarget = "MNGR007.DSC";
    target.LkpSpec = "1  1";
    target.DispCols[1] = 2;
    if (!unique) target.DispCols[2] = 3;
  }
  TFld& colour = t.Add("Colour", 'C', 6);
  colour.IsLookup = true;
  colour.LkpKind = "U";
  colour.LkpTarget = "3.lst";
  colour.LkpSpec = "2 10";
  t.Add("No", 'C', 3);
  t.Index(1, {6}, false, "By no");
  // The client record's prefix is the name lookup's stored key.
  BtrOpenFile(ClientFileNo, Store.DataRoot + "\\yclient.qf", 0);
  BtrSetKeyNumber(ClientFileNo, 1);
  TDynCharArr clientRec(1);
  ASSERT_TRUE(BtrGetEqual(ClientFileNo, Format("%-7s", known.Code), clientRec, false));
  const std::string clientKey(clientRec.begin(), clientRec.begin() + 4);
  BtrCloseFile(ClientFileNo);
  const std::string five("\x05\0\0\0", 4);
  WriteTargetData(TplNo, {WithPrefix(0, FillRecord({{1, known.Code},
                                                    {2, Format("%-20s", "Someone") + clientKey + "Som"},
                                                    {3, "T1  " + five},
                                                    {4, "T2"},
                                                    {5, "Blue"},
                                                    {6, "1"}})),
                          WithPrefix(0, FillRecord({{1, "NOSUCH"}, {2, "Nobody"}, {3, "T9"}, {5, "Green"}, {6, "2"}}))});
  const TEntryBuild build = BuildEntryModel(TFixedMeasure());
  ASSERT_FALSE(build.Failed);
  TGridReader reader(build.TemplateLookups, build.Keys.ClientSlot);
  TFindRequest r;
  r.SortValues = {""};
  table.SetColumns(GridColumnSpecsOf(build));
  const TFindResult result = reader.Read(table, r);
  ASSERT_EQ(result.Outcome, TFindOutcome::Done) << result.Error;
  EXPECT_EQ(reader.Columns(), (std::vector<TFindColumn>{{1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {3, 0}, {3, 1},
                                                        {3, 2}, {4, 0}, {4, 1}, {5, 0}, {5, 1}, {6, 0}}));
  const std::string joined = known.FirstName.empty() ? known.LastName : known.LastName + ", " + known.FirstName;
  const TRow first{known.Code, joined, known.City, "Someone", joined, "T1", "First", "01/02/2023", "T2", "Second",
                   "Blue", "Bleu", "1"};
  const TRow second{"NOSUCH", "not found", "not found", "Nobody", "not found", "T9", "not found", "not found", "",
                    "not found", "Green", "", "2"};
  for (int c = 1; c <= 13; ++c) {
    EXPECT_EQ(TrimRight(table.Cell(0, c)), first[size_t(c - 1)]) << c;
    EXPECT_EQ(TrimRight(table.Cell(1, c)), second[size_t(c - 1)]) << c;
  }
  // The target's file is back on the key its list reads by.
  EXPECT_EQ(BtrGetKeyNumber(3 + TargetFileOffset), 1);
  // The name lookup's key bytes and tail go back into its field, as the
  // last row read stores them.
  EXPECT_EQ(std::string(Store.FldTable[2].ReservedBytes.begin(), Store.FldTable[2].ReservedBytes.end()),
            std::string(4, ' '));
}

}  // namespace
