// The dropdown list without a window, on the sample office's family files
// and on template data files written for the test: where each source's
// typed text puts the list, how far it steps back and why it stops, how
// many rows it reads, what each cell shows, and which row is selected.
#include "entry/dropdown_list.h"

#include "platform/date_format.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/record_codec.h"
#include "testing/dialog_responder.h"
#include "testing/family_fixture.h"
#include "testing/piped_process.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int ListSlot = 1;

// Where a fill of Keys (in key order) from Typed puts the list: the rows'
// keys and the row of the record found.
struct TExpected {
  std::vector<std::string> Rows;
  int FirstRow = 0;
};
TExpected Expect(const std::vector<std::string>& Keys, const std::string& Typed) {
  size_t p = size_t(std::lower_bound(Keys.begin(), Keys.end(), Typed) - Keys.begin());
  if (p == Keys.size()) p = Keys.size() - 1;
  const size_t back = std::min<size_t>(p, StepBackLimit);
  const size_t start = p - back;
  const size_t count = std::min(RowsBelowStart + 1 + back, Keys.size() - start);
  return {std::vector<std::string>(Keys.begin() + long(start), Keys.begin() + long(start + count)), int(back)};
}

class DropdownListTest : public FamilyDataTest {
protected:
  void SetUp() override {
    FamilyDataTest::SetUp();
    Store.DataRoot = SampleFolder();
    Store.DataDir = data_.path().string();
    FormatSettings.ShortDateFormat = "M/d/yyyy";
  }
  void TearDown() override {
    FormatSettings.ShortDateFormat = "M/d/yyyy";
    FamilyDataTest::TearDown();
  }

  // A family lookup field in slot 1 and its list made ready as entering it does.
  void FamilyField(const std::string& Spec, bool Right = false, bool Unique = false) {
    TFld& f = Store.FldTable[ListSlot];
    f.Name = "Lookup";
    f.LkpKind = "L";
    f.IsLookup = true;
    f.LkpSpec = Spec;
    f.RightJustify = Right;
    f.LkpKeyUnique = Unique;
    const int code = StrToIntDef(Trim(Copy(Spec, 2, 3)), -1);
    ASSERT_EQ(OpenValidationForLookup(code, ListSlot), 1);
    std::vector<int> widths;
    SetDropdownColumns(ListSlot, widths);
    for (int id = 1; id <= HostFileId::Count; ++id)
      if (FamilyLookup.HostFileOpen[id]) OpenHostFile(id);
    state.Slot = ListSlot;
    state.Source = code <= 1 ? TListSource::Client : code <= 23 ? TListSource::Case : TListSource::Employee;
    state.KeepIds = !Unique;
  }

  std::vector<std::string> Column(int Col) const {
    std::vector<std::string> out;
    for (int r = 0; r < rows.Filled; ++r) out.push_back(TrimRight(rows.Cell(Col, r)));
    return out;
  }

  std::vector<std::string> ClientCodes() const {
    std::vector<std::string> codes;
    for (const TSampleClient& c : Office().Clients) codes.push_back(Format("%-7s", c.Code));
    std::sort(codes.begin(), codes.end());
    for (std::string& c : codes) c = TrimRight(c);
    return codes;
  }
  // The client's cases by the left-justified suffix key, or the right-justified one.
  std::vector<std::string> CaseSuffixes(const std::string& Client, bool Right) const {
    std::vector<std::string> out;
    for (const TSampleCase& k : Office().Cases)
      if (k.Client == Client) out.push_back(Right ? Format("%7s", k.Suffix) : Format("%-7s", k.Suffix));
    std::sort(out.begin(), out.end());
    for (std::string& s : out) s = TrimRight(s);
    return out;
  }

  ScopedTempDir data_;
  TDropdownState state;
  TDropdownRows rows;
  TDropdownList list{state, rows};
};

TEST_F(DropdownListTest, TheClientListByCodeStartsAtTheTypedTextWithTwelveBeforeIt) {
  FamilyField("A  0  1");
  const std::vector<std::string> codes = ClientCodes();
  const std::string middle = codes[30];
  const struct {
    std::string typed;
  } cases[] = {{""}, {middle}, {middle.substr(0, 2)}, {codes.back()}, {"~"}, {"0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("typed \"" + c.typed + "\"");
    const TFillResult r = list.Fill(c.typed, 0);
    const TExpected e = Expect(codes, c.typed);
    EXPECT_EQ(r.Outcome, TFillOutcome::Filled);
    EXPECT_EQ(r.FirstRow, e.FirstRow);
    EXPECT_EQ(Column(0), e.Rows);
  }
  // The second column: the client's name, last name first.
  list.Fill(middle, 0);
  const auto client = std::find_if(Office().Clients.begin(), Office().Clients.end(),
                                   [&](const TSampleClient& c) { return c.Code == middle; });
  const std::string joined = client->FirstName.empty() ? client->LastName : client->LastName + ", " + client->FirstName;
  EXPECT_EQ(TrimRight(rows.Cell(1, 12)), joined);
}

TEST_F(DropdownListTest, ABackwardFillReadsTheTwelveBeforeTheListsStartAndStopsAtTheFileStart) {
  FamilyField("A  0");
  const std::vector<std::string> codes = ClientCodes();
  list.Fill(codes[40], 0);
  ASSERT_EQ(TrimRight(rows.Cell(0, 0)), codes[28]);
  TFillResult r = list.Fill("", 1);
  EXPECT_EQ(r.FirstRow, 12);
  EXPECT_EQ(TrimRight(rows.Cell(0, 0)), codes[16]);
  EXPECT_EQ(TrimRight(rows.Cell(0, 12)), codes[28]);
  EXPECT_EQ(rows.Filled, int(codes.size()) - 16);  // 53 would pass the file's end
  r = list.Fill("", 1);
  EXPECT_EQ(r.FirstRow, 12);
  EXPECT_EQ(TrimRight(rows.Cell(0, 0)), codes[4]);
  r = list.Fill("", 1);
  EXPECT_EQ(r.FirstRow, 4);  // the start of the file
  EXPECT_EQ(TrimRight(rows.Cell(0, 0)), codes[0]);
}

TEST_F(DropdownListTest, TheClientListByNameShowsJoinedNamesAndStepsBackFromTheTypedName) {
  FamilyField("A  1  0");
  const TSampleClient& c = Office().Clients[10];
  const TFillResult r = list.Fill(c.LastName.substr(0, 3), 0);
  ASSERT_EQ(r.Outcome, TFillOutcome::Filled);
  const std::string found = rows.Cell(0, r.FirstRow);
  EXPECT_TRUE(AnsiSameText(found.substr(0, 3), c.LastName.substr(0, 3))) << found;
  // Names sort by the last name first: the rows are in that order.
  for (int i = 1; i < rows.Filled; ++i)
    EXPECT_LE(AnsiUpperCase(NameKeyText(TrimRight(rows.Cell(0, i - 1)), ClientNamePart2)),
              AnsiUpperCase(NameKeyText(TrimRight(rows.Cell(0, i)), ClientNamePart2)));
  // A typed "Last, First" is the key of that name.
  const TSampleClient& person = Office().Clients[0];
  const std::string name = person.LastName + ", " + person.FirstName;
  const TFillResult byName = list.Fill(name, 0);
  EXPECT_TRUE(AnsiSameText(TrimRight(rows.Cell(0, byName.FirstRow)), name)) << rows.Cell(0, byName.FirstRow);
}

TEST_F(DropdownListTest, CasesOfTheChosenClientOnlyOnEitherSuffixKey) {
  FamilyLookup.CaseKeyOption = true;
  const std::string client = Office().Clients[0].Code;
  for (const bool right : {false, true}) {
    SCOPED_TRACE(right ? "right-justified" : "left-justified");
    FamilyField("B 22 29", right);
    state.ClientCode = client;
    const std::vector<std::string> suffixes = CaseSuffixes(client, right);
    ASSERT_GE(suffixes.size(), 3u);
    // Empty, a suffix, "~" (the client's last cases), past the last one.
    const std::string typed12 = right ? RightJustifyText("12", 7) : "12";
    for (const std::string& typed : {std::string(), typed12, std::string("~"), std::string("ZZZ")}) {
      SCOPED_TRACE("typed \"" + typed + "\"");
      const TFillResult r = list.Fill(typed, 0);
      const TExpected e = Expect(suffixes, typed == "~" ? "\x7f" : typed);
      EXPECT_EQ(Column(0), e.Rows);
      EXPECT_EQ(r.FirstRow, e.FirstRow);
      for (int i = 0; i < rows.Filled; ++i) EXPECT_EQ(TrimRight(rows.Cell(5, i)), client);
    }
    // Typed "12" finds the suffix 12, its row beginning as typed.
    const TFillResult found = list.Fill(typed12, 0);
    EXPECT_EQ(TrimRight(rows.Cell(0, found.FirstRow)), typed12);
  }
  // Without a chosen client the case list asks for one.
  FamilyField("B 22");
  state.ClientCode.clear();
  DialogResponder boxes;
  boxes.Expect("Please select a client first!");
  EXPECT_EQ(list.Fill("1", 0).Outcome, TFillOutcome::NeedClient);
  EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
  EXPECT_EQ(rows.Filled, 0);
}

// Blank alternate ids sort first: a search by alternate id starts at the
// first one given ("!"), and the step back stops before a blank one.
TEST_F(DropdownListTest, TheAlternateIdListSkipsBlankIds) {
  FamilyField("B 23 22");
  std::vector<std::string> ids;
  for (const TSampleCase& k : Office().Cases)
    if (!k.AltId.empty()) ids.push_back(k.AltId);
  std::sort(ids.begin(), ids.end());
  ASSERT_LT(ids.size(), Office().Cases.size());  // some are blank
  const TFillResult r = list.Fill("", 0);
  EXPECT_EQ(r.FirstRow, 0);
  EXPECT_EQ(TrimRight(rows.Cell(0, 0)), ids[0]);
  list.Fill(ids[5], 0);
  EXPECT_EQ(TrimRight(rows.Cell(0, 0)), ids[0]);
}

TEST_F(DropdownListTest, CaseRowsCarryTheirHiddenColumnsAndTranslationsOrNotFound) {
  FamilyField("B 22 29 27");
  const TFillResult r = list.Fill("", 0);
  ASSERT_GT(rows.Filled, 20);
  EXPECT_EQ(r.FirstRow, 0);
  std::map<std::string, std::string> names;
  for (const TSampleEmployee& e : Office().Employees) names[e.Code] = e.LastName + ", " + e.FirstName;
  int notFound = 0;
  for (int i = 0; i < rows.Filled; ++i) {
    const std::string client = TrimRight(rows.Cell(5, i));
    const std::string suffix = TrimRight(rows.Cell(0, i));
    const auto k = std::find_if(Office().Cases.begin(), Office().Cases.end(),
                                [&](const TSampleCase& c) { return c.Client == client && c.Suffix == suffix; });
    ASSERT_NE(k, Office().Cases.end()) << client << " " << suffix;
    SCOPED_TRACE(client + "/" + suffix);
    // Resp Atty 2 name: a blank code reads no employee.
    EXPECT_EQ(TrimRight(rows.Cell(1, i)), k->RespAtty2.empty() ? NotFoundText : names.at(k->RespAtty2));
    notFound += k->RespAtty2.empty();
    EXPECT_EQ(TrimRight(rows.Cell(2, i)), names.at(k->RespAtty1));
    EXPECT_EQ(rows.Cell(5, i), Format("%-7s", k->Client));
    EXPECT_EQ(rows.Cell(6, i), Format("%-20s", k->AltId));
    EXPECT_EQ(rows.Cell(7, i), Format("%-4s", k->RespAtty1));
    EXPECT_EQ(rows.Cell(8, i) + rows.Cell(9, i) + rows.Cell(10, i),
              Format("%-4s%-4s%-4s", k->RespAtty1, k->RespAtty2, k->RespAtty3));
    EXPECT_EQ(rows.Cell(11, i), Format("%-3s", k->AltBillFormat));
  }
  EXPECT_GT(notFound, 0);
}

TEST_F(DropdownListTest, EmployeesByCodeAndByNameWithTheirHiddenName) {
  FamilyField("E 62 63");
  std::vector<std::string> codes;
  for (const TSampleEmployee& e : Office().Employees) codes.push_back(e.Code);
  std::sort(codes.begin(), codes.end());
  list.Fill("~", 0);
  EXPECT_EQ(Column(0), Expect(codes, "~").Rows);
  for (int i = 0; i < rows.Filled; ++i) {
    const auto e = std::find_if(Office().Employees.begin(), Office().Employees.end(),
                                [&](const TSampleEmployee& x) { return x.Code == TrimRight(rows.Cell(0, i)); });
    EXPECT_EQ(TrimRight(rows.Cell(1, i)), e->LastName + ", " + e->FirstName);
    EXPECT_EQ(rows.Cell(7, i), Format("%-20s%-15s", e->LastName, e->FirstName));
    // A name lookup is no unique lookup: every row keeps its record's prefix.
    EXPECT_NE(rows.Ids[size_t(i)], TRowId{});
  }
}

// A template data file: field 1 a name (10, index 1, duplicates), field 2 a
// date; as file 42 with the list's columns.
class TemplateListTest : public DropdownListTest {
protected:
  void Target(const std::vector<std::string>& Names, bool Unique = false) {
    TTemplateTableBuilder t;
    t.Add("Name", 'C', 10);
    t.Add("Opened", 'D', 8);
    t.Index(1, {1}, Unique, "By name");
    std::vector<std::string> records;
    uint32_t prefix = 100;
    for (size_t i = 0; i < Names.size(); ++i)
      records.push_back(WithPrefix(prefix++, FillRecord({{1, Names[i]}, {2, i % 2 ? "20261210" : ""}})));
    WriteTargetData(7, records);
    BtrOpenFile(TemplateLookupFileNo, DataFileName(TTemplateNumber(7)), 0);
    BtrSetKeyNumber(TemplateLookupFileNo, 1);
    Store.LkpDataRec.assign(BtrRecordLength(TemplateLookupFileNo), 0);
    control.ListCols = {{1, 5, 10, ttText, 80, ""}, {2, 15, 8, ttDate, 70, ""}};
    state.Source = TListSource::Template;
    state.Target = &control;
    state.KeepIds = !Unique;
  }
  // The template's own data file on index 1 (code, then name) of (code,
  // name) records; the list of the name field with "B1" as the code.
  void OwnIndex(const std::vector<std::pair<std::string, std::string>>& Records) {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 4);
    t.Add("Name", 'C', 10);
    t.Index(1, {1, 2}, true, "By code");
    std::vector<std::string> records;
    for (const auto& [code, name] : Records) records.push_back(WithPrefix(0, FillRecord({{1, code}, {2, name}})));
    WriteTargetData(8, records);
    Store.OpenTplNumber = "008";
    state.Source = TListSource::OwnIndex;
    state.OwnPos = 9;
    state.OwnWidth = 10;
    state.Slot = 2;
    list.ValueOf = [](int Slot) { return Slot == 1 ? std::string("B1") : std::string(); };
  }
  TFieldControl control;
};

TEST_F(TemplateListTest, DateColumnsShowMonthDayYearByTheShortDateFormatAndBlankStaysBlank) {
  Target({"ADAMS", "BAKER", "CLARK"});
  list.Fill("", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"ADAMS", "BAKER", "CLARK"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "12/10/2026", ""}));
  FormatSettings.ShortDateFormat = "M/d/yy";
  list.Fill("B", 0);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"", "12/10/26", ""}));
}

TEST_F(TemplateListTest, IdentifiersPickTheChosenRecordAmongEqualNames) {
  Target({"JONES", "SMITH", "SMITH", "SMITH", "TAYLOR"});
  TFillResult r = list.Fill("SMITH", 0);
  ASSERT_EQ(r.FirstRow, 1);
  TTypedRowInput in;
  in.EditText = "SMITH";
  in.FirstRow = r.FirstRow;
  in.Chosen = {102, 0, 0, 0};
  TRowChoice c = ChooseTypedRow(rows, state, in);
  EXPECT_EQ(c.Row, 2);  // the second SMITH, record 102
  EXPECT_FALSE(c.SetText);
  // Typing completes: the completed part is selected.
  in.EditText = "SM";
  in.UserChanged = true;
  r = list.Fill("SM", 0);
  c = ChooseTypedRow(rows, state, in);
  EXPECT_EQ(c.Row, 1);
  EXPECT_EQ(c.Text, "SMITH");
  EXPECT_EQ(c.SelStart, 2);
  EXPECT_EQ(c.SelLength, 3);
  // "~": the last row, its text.
  in.EditText = "~";
  list.Fill("~", 0);
  c = ChooseTypedRow(rows, state, in);
  EXPECT_EQ(c.Row, rows.Filled - 1);
  EXPECT_EQ(c.Text, "TAYLOR");
  // A unique lookup keeps no identifiers.
  TDropdownState unique = state;
  unique.KeepIds = false;
  TDropdownRows plain;
  TDropdownList(unique, plain).Fill("SMITH", 0);
  EXPECT_EQ(plain.Ids[2], (TRowId{}));
  EXPECT_EQ(rows.Ids.at(0), (TRowId{100, 0, 0, 0}));
}

TEST_F(TemplateListTest, AFillNeverReadsBeyondRow500AndAnEmptyFileSaysSo) {
  std::vector<std::string> names;
  for (int i = 0; i < 600; ++i) names.push_back(Format("N%.4d", i));
  Target(names);
  list.Fill("N0100", 0);
  EXPECT_EQ(rows.Filled, 53);
  bool atEnd = false;
  BtrGetFirst(TemplateLookupFileNo, Store.LkpDataRec, atEnd, false);
  list.LoadDropdownRows(480, false);
  EXPECT_EQ(rows.Filled, LastDropdownRow + 1);
  EXPECT_EQ(TrimRight(rows.Cell(0, 500)), "N0500");
  EXPECT_EQ(RecLockMsg, DefaultRecLockMsg);
}

// The fill reads without locks: a record another workstation holds locked
// is listed like the others, no question is asked, and the lock question's
// text is the layer's own again afterwards.
TEST_F(TemplateListTest, ARecordLockedByAnotherWorkstationIsListedWithoutAQuestion) {
  Target({"ADAMS", "BAKER", "CLARK"});
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 0 " + DataFileName(TTemplateNumber(7))), "ok");
  ASSERT_EQ(peer.Ask("key 1 1"), "ok");
  ASSERT_EQ(peer.Ask("lock 1 BAKER     "), "ok");
  LockRetryMs = 0;
  list.Fill("B", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"ADAMS", "BAKER", "CLARK"}));
  EXPECT_EQ(RecLockMsg, DefaultRecLockMsg);
  peer.End();
}

TEST_F(TemplateListTest, AnEmptyTargetShowsNoDataAndNoRows) {
  Target({});
  DialogResponder boxes;
  boxes.Expect("No data in lookup file!");
  EXPECT_EQ(list.Fill("A", 0).Outcome, TFillOutcome::NoData);
  EXPECT_EQ(boxes.Boxes().at(0).type, mtInformation);
  EXPECT_EQ(rows.Filled, 0);
}

TEST_F(TemplateListTest, TheOwnIndexListsOnlyKeysBeginningWithTheTypedText) {
  OwnIndex({{"A1", "X"}, {"B1", "ONE"}, {"B1", "TWO"}, {"B2", "ONE"}, {"C1", "Z"}});
  list.Fill("", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"ONE", "TWO"}));
  EXPECT_EQ(state.OwnPrefix, "B1  ");
  list.Fill("T", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"TWO"}));
  state.Slot = 1;
  state.OwnPos = 5;
  state.OwnWidth = 4;
  list.Fill("B", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"B1", "B1", "B2"}));
  list.Fill("~", 0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"A1", "B1", "B1", "B2", "C1"}));
  EXPECT_EQ(OwnIndexKeyText(2, "T", list.ValueOf), "B1  T");
  EXPECT_EQ(OwnIndexKeyText(3, "T", list.ValueOf), "");
}

// Reading on from the last row of an own-index list keeps the prefix the
// list was filled with: the rows after it follow, and the list ends where
// the prefix does.
TEST_F(TemplateListTest, AnOwnIndexListReadsOnWithinItsPrefix) {
  std::vector<std::string> names;
  std::vector<std::pair<std::string, std::string>> records;
  for (int n = 1; n <= 120; ++n) names.push_back(Format("N%.3d", n));
  for (const std::string code : {"A1", "B1", "C1"})
    for (const std::string& name : names) records.emplace_back(code, name);
  OwnIndex(records);
  list.Fill("", FillFromText);
  EXPECT_EQ(Column(0), Expect(names, "").Rows);
  for (const std::string last : {"N041", "N081", "N120"}) {
    SCOPED_TRACE(last);
    const TExpected e = Expect(names, last);
    EXPECT_EQ(list.Fill(last, FillReadOn).FirstRow, e.FirstRow);
    EXPECT_EQ(Column(0), e.Rows);
    EXPECT_EQ(state.OwnPrefix, "B1  ");
  }
  // A new text is a new prefix.
  list.Fill("N11", FillFromText);
  EXPECT_EQ(Column(0), (std::vector<std::string>(names.begin() + 109, names.begin() + 119)));
}

TEST(DropdownTextTest, RightJustifiedAndNameKeys) {
  EXPECT_EQ(RightJustifyText("12", 7), "     12");
  EXPECT_EQ(RightJustifyText("12 ", 5), "  12");
  EXPECT_EQ(NameKeyText("Smith, Ann", 6), "Smith Ann");
  EXPECT_EQ(NameKeyText("Smi", 6), "Smi");
}

}  // namespace
