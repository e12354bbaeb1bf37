// The quick entry's field checks and lookup list without a window, on the
// sample office: each field and mode found or not, what is chosen and
// shown, the save's refusals, and the list's positioning and rows.
#include "entry/qe_checks.h"
#include "entry/qe_files.h"
#include "entry/qe_lookup_list.h"

#include "platform/fault_point.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "testing/sample_office_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

class QeChecksTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Store.DataRoot = SampleOfficeFolder();
    ASSERT_EQ(OpenQuickEntryFiles(), "");
    ASSERT_EQ(OpenNarrativeFile(), "");
    BtrSetKeyNumber(QCaseFileNo, 4);
  }
  void TearDown() override {
    ResetBtrLayer();
    ResetQuickEntryState();
    Store.Reset();
  }
  static const TSampleOffice& Office() { return SampleOffice(); }
  // A suffix some client has and Client has not.
  static std::string ForeignSuffix(const std::string& client) {
    std::set<std::string> own;
    for (const TSampleCase& c : Office().Cases)
      if (c.Client == client) own.insert(c.Suffix);
    for (const TSampleCase& c : Office().Cases)
      if (!own.count(c.Suffix)) return c.Suffix;
    return "";
  }
};

TEST_F(QeChecksTest, EmployeeByCodeAndByName) {
  const TSampleEmployee& emp = Office().Employees.front();
  TQeState s;
  EXPECT_FALSE(CheckEmployee(s, emp.Code, false).Failed());
  EXPECT_EQ(s.ChosenEmployee, LeftJustified(emp.Code, 4));
  EXPECT_FALSE(s.LabelEmpName.empty());

  TQeCheck check = CheckEmployee(s, "ZZZZ", false);
  EXPECT_EQ(check.Message, QeEmpNotFound);
  EXPECT_EQ(check.Focus, TQeField::Employee);
  EXPECT_EQ(s.ChosenEmployee, "");
  EXPECT_EQ(s.LabelEmpName, "");
  // Into the list: no message, nothing changes.
  s.ChosenEmployee = "KEEP";
  EXPECT_FALSE(CheckEmployee(s, "ZZZZ", true).Failed());
  EXPECT_EQ(s.ChosenEmployee, "KEEP");
  check = CheckEmployee(s, "  ", false);
  EXPECT_EQ(check.Message, "You must select an employee.");
  EXPECT_EQ(check.Type, mtError);

  // By name: the joined name found by the name search.
  s = {};
  s.EmpByNameIdx = 2;
  BtrSetKeyNumber(QEmpFileNo, 3);
  const std::string name = EmployeeName([&] {
    TDynCharArr rec(74, 0);
    EXPECT_TRUE(BtrGetEqual(QEmpFileNo, EmployeeKey(emp.Code), rec, false) ||
                (BtrSetKeyNumber(QEmpFileNo, 1), BtrGetEqual(QEmpFileNo, EmployeeKey(emp.Code), rec, false)));
    BtrSetKeyNumber(QEmpFileNo, 3);
    return rec;
  }());
  EXPECT_FALSE(CheckEmployee(s, name, false).Failed()) << name;
  EXPECT_EQ(s.ChosenEmployee, LeftJustified(emp.Code, 4));
  EXPECT_EQ(CheckEmployee(s, "Nobody, Such", false).Message, QeEmpNotFound);
  EXPECT_EQ(s.ChosenEmployee, "");
}

TEST_F(QeChecksTest, ClientAndCaseByMode) {
  const TSampleClient& client = Office().Clients.front();
  TQeState s;
  // Mode 1: only the chosen client passes.
  TQeCheck check = CheckClient(s, client.Code, false);
  EXPECT_EQ(check.Message, QeClientNotFound);
  EXPECT_TRUE(check.EmptyCase);
  s.ChosenClient = client.Code;
  EXPECT_FALSE(CheckClient(s, client.Code, false).Failed());
  EXPECT_EQ(s.LabelPhone, TrimRight(client.Phone1));

  // A suffix only another client has is no case of this one.
  const std::string foreign = ForeignSuffix(client.Code);
  ASSERT_FALSE(foreign.empty());
  check = CheckCase(s, foreign, false, false);
  EXPECT_EQ(check.Message, QeCaseNotFound);
  EXPECT_EQ(check.Focus, TQeField::Case);
  EXPECT_EQ(s.ChosenCase, "");
  // Not found with the client edit empty: the focus goes to the client.
  EXPECT_EQ(CheckCase(s, "NOPE", false, true).Focus, TQeField::Client);
  for (const TSampleCase& c : Office().Cases) {
    if (c.Client != client.Code) continue;
    EXPECT_FALSE(CheckCase(s, c.Suffix, false, false).Failed()) << c.Suffix;
    EXPECT_EQ(s.ChosenCase, RightJustified(c.Suffix, 7));
    EXPECT_EQ(s.LabelCaseDesc, TrimRight(c.Description));
  }

  // Mode 2: an empty client empties what was chosen.
  s.EntryModeIdx = 2;
  check = CheckClient(s, "", false);
  EXPECT_FALSE(check.Failed());
  EXPECT_TRUE(check.EmptyCase);
  EXPECT_EQ(s.ChosenClient, "");

  // Mode 3: the suffix's first record in key order (duplicates as written)
  // gives the client.
  s = {};
  s.EntryModeIdx = 3;
  BtrSetKeyNumber(QCaseFileNo, 5);
  std::string firstClient;
  for (const TSampleCase& c : Office().Cases)
    if (c.Suffix == "100" && firstClient.empty()) firstClient = c.Client;
  ASSERT_FALSE(firstClient.empty());
  EXPECT_FALSE(CheckCase(s, "100", false, false).Failed());
  EXPECT_EQ(s.ChosenClient, LeftJustified(firstClient, 7));
  EXPECT_FALSE(s.LabelClientName.empty());

  // Mode 4: blank refused; an unknown identifier says so.
  s.EntryModeIdx = 4;
  EXPECT_EQ(CheckCase(s, " ", false, false).Message, "A blank is not allowable when selecting by Alternate ID");
  EXPECT_EQ(CheckCase(s, "NO SUCH ID", false, false).Message, QeCaseNotFound);
  EXPECT_EQ(s.LabelCaseDesc, "Case not found");
}

TEST_F(QeChecksTest, GroupingRules) {
  struct Case {
    char rule;
    std::string code;
    std::string message;
  };
  const Case cases[] = {
      {'R', "", "A blank grouping code is not allowed."},
      {' ', "", ""},
      {'R', "CF", ""},
      {'R', "Q9", QeGroupNotFound},
      {'N', "Q9", ""},
  };
  for (const Case& c : cases) {
    TQeState s;
    s.GroupCodeRule = c.rule;
    EXPECT_EQ(CheckGroup(s, c.code).Message, c.message) << c.rule << " " << c.code;
  }
}

TEST_F(QeChecksTest, HoursAndDescription) {
  struct Case {
    std::string typed, shown, message;
  };
  const Case cases[] = {
      {"5", "5.00", ""},
      {"-0.004", "0.00", ""},
      {"-0.005", "-0.005", "Negative amount is not allowed."},
      {"-0.01", "-0.01", "Negative amount is not allowed."},
      {"abc", "abc", "Invalid entry!"},
      {" 1.255 ", "1.25", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.typed;
    const TQeCheck check = CheckHours(text);
    EXPECT_EQ(check.Message, c.message) << c.typed;
    if (check.Failed()) {
      EXPECT_EQ(text, c.typed);
      EXPECT_EQ(check.Type, mtError);
    } else if (c.typed != " 1.255 ") {
      EXPECT_EQ(text, c.shown);
    }
  }
  EXPECT_FALSE(CheckDescription(std::string(2808, 'a')).Failed());
  EXPECT_EQ(CheckDescription(std::string(2809, 'a')).Message, QeDescTooLong);
}

TEST_F(QeChecksTest, TheSaveRefusesWhatWasNeverChosen) {
  const TSampleCase& c = Office().Cases.front();
  TQeState s;
  s.GroupCodeRule = 'R';
  s.ChosenEmployee = LeftJustified(Office().Employees.front().Code, 4);
  s.ChosenClient = LeftJustified(c.Client, 7);
  s.ChosenCase = RightJustified(c.Suffix, 7);
  TQeEntryTexts good{Office().Employees.front().Code, c.Client, c.Suffix, "CF", "1", "text", true};
  {
    TQeEntryTexts t = good;
    EXPECT_FALSE(CheckBeforeSave(s, t).Failed());
    EXPECT_EQ(t.Hours, "1.00");
  }
  struct Case {
    const char* what;
    std::function<void(TQeState&, TQeEntryTexts&)> spoil;
    std::string message;
    TQeField focus;
  };
  const Case cases[] = {
      {"no employee", [](TQeState& s, TQeEntryTexts&) { s.ChosenEmployee.clear(); }, QeEmpNotFound,
       TQeField::Employee},
      {"blank employee", [](TQeState&, TQeEntryTexts& t) { t.Employee = ""; }, "You must select an employee.",
       TQeField::Employee},
      {"no client", [](TQeState& s, TQeEntryTexts&) { s.ChosenClient.clear(); }, QeClientNotFound, TQeField::Client},
      {"blank case", [](TQeState&, TQeEntryTexts& t) { t.Case = " "; }, QeCaseNotFound, TQeField::Case},
      {"blank group", [](TQeState&, TQeEntryTexts& t) { t.Group = ""; }, "A blank grouping code is not allowed.",
       TQeField::Group},
      {"bad hours", [](TQeState&, TQeEntryTexts& t) { t.Hours = "x"; }, "Invalid entry!", TQeField::Hours},
      {"long text", [](TQeState&, TQeEntryTexts& t) { t.Description = std::string(2809, 'd'); }, QeDescTooLong,
       TQeField::Description},
  };
  for (const Case& k : cases) {
    TQeState state = s;
    TQeEntryTexts texts = good;
    k.spoil(state, texts);
    const TQeCheck check = CheckBeforeSave(state, texts);
    EXPECT_EQ(check.Message, k.message) << k.what;
    EXPECT_EQ(check.Focus, k.focus) << k.what;
  }
}

TEST_F(QeChecksTest, TheListFindsStepsBackAndCompletes) {
  QeLookupList list;
  TQeState s;
  // Employee by code: the first code at or after two letters, completed.
  std::vector<std::string> codes;
  for (const TSampleEmployee& e : Office().Employees) codes.push_back(LeftJustified(e.Code, 4));
  std::sort(codes.begin(), codes.end());
  const std::string target = codes.back();
  TQeFill fill = list.Fill(s, TQeField::Employee, target.substr(0, 2));
  ASSERT_TRUE(fill.Show);
  const int index = int(std::lower_bound(codes.begin(), codes.end(), target.substr(0, 2)) - codes.begin());
  EXPECT_EQ(fill.FoundRow, std::min(index, QeListStepBack));
  EXPECT_TRUE(fill.Chosen);
  EXPECT_EQ(fill.FieldText, TrimRight(codes[index]));
  EXPECT_EQ(fill.SelectFrom, 2u);
  EXPECT_EQ(int(list.Rows().size()), std::min<int>(int(codes.size()), fill.FoundRow + QeListAfter));
  EXPECT_EQ(fill.TopRow, fill.SelectedRow < 5 ? 0 : fill.FoundRow - 4);

  // A client's cases and nothing of a neighbour; "~" the last of them.
  const TSampleClient& client = Office().Clients.front();
  s.ChosenClient = client.Code;
  BtrSetKeyNumber(QCaseFileNo, 4);
  fill = list.Fill(s, TQeField::Case, "");
  int own = 0;
  for (const TSampleCase& c : Office().Cases) own += c.Client == client.Code;
  EXPECT_EQ(int(list.Rows().size()), own);
  fill = list.Fill(s, TQeField::Case, "~");
  EXPECT_EQ(fill.SelectedRow, int(list.Rows().size()) - 1);
  // No client chosen: the error, the field emptied.
  s.ChosenClient.clear();
  fill = list.Fill(s, TQeField::Case, "1");
  EXPECT_EQ(fill.Message, QeListNoClient);
  EXPECT_TRUE(fill.EmptyField);

  // A grouping code of both kinds is listed once.
  fill = list.Fill(s, TQeField::Group, "CF");
  int cf = 0;
  for (const TQeListRow& row : list.Rows()) cf += row[0] == "CF";
  EXPECT_EQ(cf, 1);
  EXPECT_TRUE(fill.Chosen);

  // Choosing a client row fills the code, name and phone.
  fill = list.Fill(s, TQeField::Client, client.Code);
  ASSERT_TRUE(fill.Chosen);
  std::string text;
  list.Choose(fill.SelectedRow, s, TQeField::Client, text);
  EXPECT_EQ(text, client.Code);
  EXPECT_EQ(s.ChosenClient, LeftJustified(client.Code, 7));
  EXPECT_EQ(s.LabelPhone, TrimRight(client.Phone1));
}

}  // namespace

namespace {

// An office past the list's 501 rows.
class QeBigListTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ResetBtrLayer();
    folder_ = new ScopedTempDir;
    office_ = new TSampleOffice(BuildSampleOffice({700, 150, 12}));
    std::vector<TSampleFileCount> counts;
    std::string msg;
    ASSERT_TRUE(WriteSampleOffice(*folder_ / "office", *office_, counts, msg)) << msg;
    ResetBtrLayer();
  }
  static void TearDownTestSuite() {
    delete folder_;
    delete office_;
  }
  void SetUp() override {
    ResetBtrLayer();
    Store.DataRoot = *folder_ / "office";
    ASSERT_EQ(OpenQuickEntryFiles(), "");
  }
  void TearDown() override {
    ResetBtrLayer();
    ResetQuickEntryState();
    Store.Reset();
  }
  static std::vector<std::string> SortedCodes() {
    std::vector<std::string> codes;
    for (const TSampleClient& c : office_->Clients) codes.push_back(LeftJustified(c.Code, 7));
    std::sort(codes.begin(), codes.end());
    return codes;
  }
  static inline ScopedTempDir* folder_ = nullptr;
  static inline TSampleOffice* office_ = nullptr;
};

TEST_F(QeBigListTest, FillsAroundTheFoundRecordAndPagesOnNeverPast501Rows) {
  const std::vector<std::string> codes = SortedCodes();
  QeLookupList list;
  TQeState s;
  // In the middle: 12 back, 41 on; the found row fifth from the top.
  const std::string middle = codes[300];
  TQeFill fill = list.Fill(s, TQeField::Client, TrimRight(middle));
  EXPECT_EQ(fill.FoundRow, QeListStepBack);
  EXPECT_EQ(int(list.Rows().size()), QeListStepBack + QeListAfter);
  EXPECT_EQ(list.Rows()[0][0], codes[300 - QeListStepBack]);
  EXPECT_EQ(list.Rows()[size_t(fill.FoundRow)][0], middle);
  EXPECT_EQ(fill.TopRow, QeListStepBack - 4);
  EXPECT_TRUE(fill.Chosen);
  // At the start: nothing to step back over.
  fill = list.Fill(s, TQeField::Client, TrimRight(codes[2]));
  EXPECT_EQ(fill.FoundRow, 2);
  EXPECT_EQ(fill.TopRow, 0);
  // Past the end: the last record.
  fill = list.Fill(s, TQeField::Client, "ZZZZZZZ");
  EXPECT_EQ(list.Rows().back()[0], codes.back());
  EXPECT_FALSE(fill.Chosen);

  // Paging on from the start: eight records on each time, the rows growing
  // by what was loaded, never past 501.
  list.Fill(s, TQeField::Client, TrimRight(codes[0]));
  size_t first = 0;
  for (int page = 0; page < 12; ++page) {
    const int selected = int(list.Rows().size()) - 1;
    list.PageDown(s, TQeField::Client, selected);
    first += 8;
    ASSERT_LE(list.Rows().size(), size_t(QeListMaxRows));
    EXPECT_EQ(list.Rows()[0][0], codes[first]) << page;
  }
  EXPECT_EQ(list.Rows().size(), size_t(QeListMaxRows));
}

// Per field and mode: the record found for a text, at most 12 before it,
// the rows after it, the chosen and the top row, against the order the
// list shows from the start of its key.
TEST_F(QeBigListTest, EachFieldAndModeFindsStepsBackAndLoadsInItsKeyOrder) {
  ASSERT_EQ(OpenNarrativeFile(), "");
  struct Mode {
    const char* what;
    TQeField field;
    int emp, entry;
    bool numOrd;
    uint8_t fileNo;
    int8_t key;  // -1: the file's own
  };
  const Mode modes[] = {
      {"employee by code", TQeField::Employee, 1, 1, false, QEmpFileNo, 1},
      {"employee by name", TQeField::Employee, 2, 1, false, QEmpFileNo, 3},
      {"client by code", TQeField::Client, 1, 1, false, QClientFileNo, 1},
      {"client by name", TQeField::Client, 1, 2, false, QClientFileNo, 3},
      {"case by suffix", TQeField::Case, 1, 3, false, QCaseFileNo, 5},
      {"case by suffix in numeric order", TQeField::Case, 1, 3, true, QCaseFileNo, 6},
      {"case by alternate identifier", TQeField::Case, 1, 4, false, QCaseFileNo, 3},
      {"grouping code", TQeField::Group, 1, 1, false, QGroupFileNo, -1},
      {"narrative code", TQeField::Narr, 1, 1, false, QNarrFileNo, -1},
  };
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.what);
    TQeState s;
    s.EmpByNameIdx = m.emp;
    s.EntryModeIdx = m.entry;
    s.NumOrd = m.numOrd;
    if (m.key >= 0) BtrSetKeyNumber(m.fileNo, m.key);
    QeLookupList list;
    list.Fill(s, m.field, "");
    const std::vector<TQeListRow> start = list.Rows();
    ASSERT_GT(start.size(), 3u);
    // Far enough in for a full step back where the list is that long.
    const size_t target = std::min<size_t>(20, start.size() - 1);
    // A name is typed as its key holds it: the second part, not the joined
    // "B, A".
    std::string text = TrimRight(start[target][0]);
    if (const size_t comma = text.find(", "); comma != std::string::npos) text.resize(comma);
    size_t first = target;
    while (first > 0 && TrimRight(start[first - 1][0]).starts_with(text)) --first;
    const TQeFill fill = list.Fill(s, m.field, text);
    const auto& rows = list.Rows();
    ASSERT_TRUE(fill.Chosen);
    ASSERT_LT(size_t(fill.FoundRow), rows.size());
    EXPECT_EQ(rows[size_t(fill.FoundRow)][0], start[first][0]);
    if (m.field == TQeField::Group) {
      // The code table mixes the other tables' codes into this key: the
      // step back ends at the first of them, so only the rows' order is
      // the start's.
      const size_t at = size_t(std::find(start.begin(), start.end(), rows[0]) - start.begin());
      for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], start[at + i][0]) << i;
      continue;
    }
    const int back = std::min<int>(int(first), QeListStepBack);
    EXPECT_EQ(fill.FoundRow, back);
    EXPECT_TRUE(fill.Chosen);
    EXPECT_EQ(fill.SelectedRow, back);
    EXPECT_EQ(fill.FieldText, TrimRight(start[first][0]));
    EXPECT_EQ(fill.TopRow, back < 5 ? 0 : back - 4);
    ASSERT_LE(rows.size(), size_t(back + QeListAfter));
    for (size_t i = 0; i < rows.size() && first - size_t(back) + i < start.size(); ++i)
      EXPECT_EQ(rows[i][0], start[first - size_t(back) + i][0]) << i;
  }
}

TEST_F(QeBigListTest, PagingBackReloadsTheRecordsBeforeTheFirstRow) {
  const std::vector<std::string> codes = SortedCodes();
  QeLookupList list;
  TQeState s;
  list.Fill(s, TQeField::Client, TrimRight(codes[300]));
  ASSERT_EQ(list.Rows()[0][0], codes[300 - QeListStepBack]);
  // Twelve further back; the row before the old first one selected, on top.
  TQeFill fill = list.FillBack(s, TQeField::Client);
  EXPECT_EQ(fill.Message, "");
  EXPECT_EQ(fill.FoundRow, QeListStepBack);
  EXPECT_EQ(list.Rows()[0][0], codes[300 - 2 * QeListStepBack]);
  EXPECT_EQ(fill.SelectedRow, QeListStepBack - 1);
  EXPECT_EQ(fill.TopRow, QeListStepBack - 1);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][0], codes[300 - QeListStepBack - 1]);
  EXPECT_EQ(list.Rows().size(), size_t(QeListStepBack + QeListAfter));
  // At the start of the file: nothing before, row 0 stays.
  list.Fill(s, TQeField::Client, TrimRight(codes[0]));
  fill = list.FillBack(s, TQeField::Client);
  EXPECT_EQ(fill.FoundRow, 0);
  EXPECT_EQ(fill.SelectedRow, 0);
  EXPECT_EQ(list.Rows()[0][0], codes[0]);
}

// Each failing step of a fill gives its own error and loads nothing.
TEST_F(QeBigListTest, FailuresNameWhatFailed) {
  const std::vector<std::string> codes = SortedCodes();
  const std::string text = TrimRight(codes[300]);
  QeLookupList list;
  TQeState s;
  DisarmFaultPoint();
  list.Fill(s, TQeField::Client, text);
  const uint64_t steps = FaultStepCount();
  ASSERT_GT(steps, 3u);
  const std::string tail = BtrStatusTail(2);
  auto failAt = [&](uint64_t step, const std::function<TQeFill()>& run) {
    ArmFaultPoint(step, TFaultAction::FailFromN);
    const TQeFill fill = run();
    DisarmFaultPoint();
    EXPECT_EQ(fill.Type, mtError);
    EXPECT_FALSE(fill.Show);
    EXPECT_TRUE(list.Rows().empty());
    return fill.Message;
  };
  auto fill = [&] { return list.Fill(s, TQeField::Client, text); };
  // The count of records before positioning: no step of the search.
  std::string msg = failAt(1, fill);
  EXPECT_TRUE(msg.starts_with(QeListUnknown)) << msg;
  EXPECT_TRUE(msg.ends_with(tail)) << msg;
  // The positioning read.
  msg = failAt(2, fill);
  EXPECT_TRUE(msg.starts_with("Unable to perform search for " + text + ".\r\r")) << msg;
  EXPECT_TRUE(msg.ends_with(tail)) << msg;
  // The last read of the load.
  msg = failAt(steps, fill);
  EXPECT_TRUE(msg.ends_with(tail + "\r\r" + "Unable to fill dropdown list at this time.")) << msg;
  // The lock question is the list's while it loads, the layer's again after
  // a failed load as after a good one.
  EXPECT_EQ(RecLockMsg, DefaultRecLockMsg);
  std::string asked;
  SetFaultPauseNotifier([&](uint64_t) {
    asked = RecLockMsg;
    ReleaseFaultPause();
  });
  ArmFaultPoint(steps, TFaultAction::Pause);
  EXPECT_EQ(fill().Message, "");
  DisarmFaultPoint();
  SetFaultPauseNotifier({});
  EXPECT_EQ(asked, QeListLockQuestion);
  EXPECT_EQ(RecLockMsg, DefaultRecLockMsg);
  // Paging back and down without the saved position.
  list.Fill(s, TQeField::Client, text);
  msg = failAt(1, [&] { return list.FillBack(s, TQeField::Client); });
  EXPECT_TRUE(msg.starts_with(std::string("Lost link to file positioning.  Try your search again.\r\r"))) << msg;
  EXPECT_TRUE(msg.ends_with(tail)) << msg;
  list.Fill(s, TQeField::Client, text);
  const int last = int(list.Rows().size()) - 1;
  msg = failAt(1, [&] { return list.PageDown(s, TQeField::Client, last); });
  EXPECT_TRUE(msg.starts_with(QeListLostLink)) << msg;
}

// A copy of File's current record with Fields set, inserted.
void InsertVariant(uint8_t FileNo, const TDynCharArr& Rec,
                   std::initializer_list<std::pair<TFamilyField, std::string>> Fields) {
  std::string copy(Rec.begin(), Rec.end());
  for (const auto& [field, text] : Fields) PutField(copy, field, text);
  // A zero key-0 prefix: the engine numbers the copy.
  copy.replace(0, 4, 4, '\0');
  BtrInsertRecordKeepPrefix(FileNo, copy);
}

TEST_F(QeBigListTest, CodesSpelledInAnotherCaseTakeTheExactOne) {
  QeLookupList list;
  TQeState s;
  bool atEnd = false;
  // A grouping code of the sample, "CF" of kind "F".
  const std::string code = "CF";
  BtrGetGreaterLess(QGroupFileNo, code, QGroupRec, atEnd, 3);
  while (!atEnd && FieldText(QGroupRec, CodeTableFld::Type) + FieldText(QGroupRec, CodeTableFld::Kind) != "GF")
    BtrGetNext(QGroupFileNo, QGroupRec, atEnd, false);
  ASSERT_EQ(TrimRight(FieldText(QGroupRec, CodeTableFld::Code)), code);
  ASSERT_EQ(code.size(), 2u);
  std::string lower = code;
  lower[0] = char(std::tolower(static_cast<unsigned char>(lower[0])));
  ASSERT_NE(lower, code);
  // After the existing one in the case-blind key.
  InsertVariant(QGroupFileNo, QGroupRec, {{CodeTableFld::Code, lower}});
  TQeFill fill = list.Fill(s, TQeField::Group, lower);
  EXPECT_TRUE(fill.Chosen);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][0], lower);
  fill = list.Fill(s, TQeField::Group, code);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][0], code);
  // No exact spelling: the first of the case-blind equals stays.
  std::string mixed = code;
  mixed[1] = char(std::tolower(static_cast<unsigned char>(mixed[1])));
  if (mixed != code && mixed != lower) {
    fill = list.Fill(s, TQeField::Group, mixed);
    EXPECT_EQ(list.Rows()[size_t(fill.FoundRow)][0], code);
  }
}

TEST_F(QeBigListTest, EqualNamesPickTheChosenCodeAndPartSelectionSearchesThreeLetters) {
  bool atEnd = false;
  BtrSetKeyNumber(QEmpFileNo, 3);
  BtrGetGreaterLess(QEmpFileNo, "!", QEmpRec, atEnd, 3);
  const std::string code = FieldText(QEmpRec, EmpFld::Code);
  const std::string twin = "ZZ9Z";
  InsertVariant(QEmpFileNo, QEmpRec, {{EmpFld::Code, twin}});
  QeLookupList list;
  TQeState s;
  s.EmpByNameIdx = 2;
  const std::string name = EmployeeName(QEmpRec);
  // The twin's code chosen: its row, not the first of the name.
  s.ChosenEmployee = twin;
  TQeFill fill = list.Fill(s, TQeField::Employee, name.substr(0, 2));
  ASSERT_TRUE(fill.Chosen);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][2], twin);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][0], list.Rows()[size_t(fill.FoundRow)][0]);
  EXPECT_GT(fill.SelectedRow, fill.FoundRow);
  s.ChosenEmployee = code;
  fill = list.Fill(s, TQeField::Employee, name.substr(0, 2));
  EXPECT_EQ(fill.SelectedRow, fill.FoundRow);
  EXPECT_EQ(list.Rows()[size_t(fill.SelectedRow)][2], code);
  // A completed text not yet accepted: only its first three letters search,
  // so a text past every name still finds the first of them.
  const std::string past = name.substr(0, 3) + "~~~~";
  fill = list.Fill(s, TQeField::Employee, past, true);
  EXPECT_EQ(TrimRight(list.Rows()[size_t(fill.FoundRow)][0]).substr(0, 3), name.substr(0, 3));
  fill = list.Fill(s, TQeField::Employee, past, false);
  EXPECT_NE(TrimRight(list.Rows()[size_t(fill.FoundRow)][0]).substr(0, 3), name.substr(0, 3));
}

TEST_F(QeBigListTest, AnEmptyFileSaysSoAndListsNothing) {
  bool atEnd = false;
  BtrSetKeyNumber(QEmpFileNo, 1);
  const int64_t count = BtrRecordCount(QEmpFileNo);
  // The suite's office is shared: the employees come back afterwards.
  std::vector<std::string> kept;
  for (BtrGetFirst(QEmpFileNo, QEmpRec, atEnd, false); !atEnd; BtrGetFirst(QEmpFileNo, QEmpRec, atEnd, false)) {
    kept.emplace_back(QEmpRec.begin(), QEmpRec.end());
    BtrDeleteRecord(QEmpFileNo);
  }
  ASSERT_EQ(int64_t(kept.size()), count);
  QeLookupList list;
  const TQeFill fill = list.Fill(TQeState{}, TQeField::Employee, "A");
  EXPECT_EQ(fill.Message, QeListNoData);
  EXPECT_EQ(fill.Type, mtInformation);
  EXPECT_FALSE(fill.Show);
  EXPECT_TRUE(list.Rows().empty());
  for (std::string& rec : kept) BtrInsertRecordKeepPrefix(QEmpFileNo, rec);
}

// Two records of one name: the list row the user left selected decides,
// before the record already chosen and before the search by name.
TEST_F(QeBigListTest, ANameIsAcceptedFromTheSelectedListRowFirst) {
  bool atEnd = false;
  BtrSetKeyNumber(QEmpFileNo, 3);
  BtrGetGreaterLess(QEmpFileNo, "!", QEmpRec, atEnd, 3);
  const std::string code = FieldText(QEmpRec, EmpFld::Code);
  const std::string name = EmployeeName(QEmpRec);
  const std::string twin = "ZZ9Z";
  InsertVariant(QEmpFileNo, QEmpRec, {{EmpFld::Code, twin}});
  TQeState s;
  s.EmpByNameIdx = 2;
  struct Case {
    const char* what;
    TQeSelectedRow selected;
    std::string chosenBefore, chosen;
  };
  const Case cases[] = {
      {"no row: the search finds the first", {}, "", code},
      {"the twin's row", {name, twin}, "", twin},
      {"the twin's row over the chosen code", {name, twin}, code, twin},
      {"a row of another name", {"Other, Name", twin}, "", code},
      {"a row whose record is gone", {name, "QQ0Q"}, "", code},
      {"no row: the chosen code's record", {}, twin, twin},
  };
  for (const Case& c : cases) {
    s.ChosenEmployee = c.chosenBefore;
    EXPECT_FALSE(CheckEmployee(s, name + "  ", false, c.selected).Failed()) << c.what;
    EXPECT_EQ(s.ChosenEmployee, c.chosen) << c.what;
  }
  // A client by name: the row's code, the phone from its record.
  BtrSetKeyNumber(QClientFileNo, 3);
  BtrGetGreaterLess(QClientFileNo, "!", QClientRec, atEnd, 3);
  const std::string clientName = ClientName(QClientRec);
  InsertVariant(QClientFileNo, QClientRec, {{ClientFld::Code, "ZZZ999"}, {ClientFld::Phone1, "(555) 000-0001"}});
  TQeState c;
  c.EntryModeIdx = 2;
  const TQeCheck check = CheckClient(c, clientName, false, {clientName, LeftJustified("ZZZ999", 7)});
  EXPECT_FALSE(check.Failed());
  EXPECT_EQ(c.ChosenClient, LeftJustified("ZZZ999", 7));
  EXPECT_EQ(c.LabelPhone, "(555) 000-0001");
  EXPECT_TRUE(check.EmptyCase);
}

// A grouping code of both kinds is one row: the row of a code found after
// it is still the found code's.
TEST_F(QeBigListTest, ACodeOfBothKindsAboveTheFoundOneLeavesItsRowRight) {
  QeLookupList list;
  TQeState s;
  // "Q1" of both kinds right before "Q2" in the code table's key.
  ASSERT_TRUE(list.Fill(s, TQeField::Group, "CF").Chosen);
  for (const auto& [code, kind] : {std::pair{"Q1", "F"}, {"Q1", "X"}, {"Q2", "F"}})
    InsertVariant(QGroupFileNo, QGroupRec, {{CodeTableFld::Type, "G"}, {CodeTableFld::Kind, kind}, {CodeTableFld::Code, code}});
  const TQeFill fill = list.Fill(s, TQeField::Group, "Q2");
  ASSERT_TRUE(fill.Chosen);
  const auto& rows = list.Rows();
  ASSERT_GE(fill.FoundRow, 1);
  EXPECT_EQ(rows[size_t(fill.FoundRow)][0], "Q2");
  EXPECT_EQ(rows[size_t(fill.FoundRow) - 1][0], "Q1");
  EXPECT_EQ(fill.SelectedRow, fill.FoundRow);
  EXPECT_EQ(fill.FieldText, "Q2");
}

// Blank names and identifiers sort first: the list starts at the first
// record at or after "!" and shows none of them.
TEST_F(QeBigListTest, BlankNamesGiveWayToTheFirstNamedRecord) {
  bool atEnd = false;
  BtrSetKeyNumber(QEmpFileNo, 3);
  BtrGetGreaterLess(QEmpFileNo, "!", QEmpRec, atEnd, 3);
  const std::string firstName = EmployeeName(QEmpRec);
  InsertVariant(QEmpFileNo, QEmpRec, {{EmpFld::Code, "ZZ8Z"}, {EmpFld::Name, ""}});
  BtrSetKeyNumber(QCaseFileNo, 3);
  BtrGetGreaterLess(QCaseFileNo, "!", QCaseRec, atEnd, 3);
  const std::string firstId = FieldText(QCaseRec, CaseFld::AltId);
  InsertVariant(QCaseFileNo, QCaseRec, {{CaseFld::Suffix, "    ZZ8"}, {CaseFld::SuffixLeft, "ZZ8"}, {CaseFld::AltId, ""}});
  QeLookupList list;
  TQeState s;
  s.EmpByNameIdx = 2;
  s.EntryModeIdx = 4;
  for (const auto& [field, first] : {std::pair{TQeField::Employee, firstName}, {TQeField::Case, firstId}}) {
    const TQeFill fill = list.Fill(s, field, "");
    EXPECT_EQ(fill.Message, "");
    EXPECT_EQ(fill.FoundRow, 0);
    ASSERT_FALSE(list.Rows().empty());
    EXPECT_EQ(TrimRight(list.Rows()[0][0]), TrimRight(first));
    for (const TQeListRow& row : list.Rows()) EXPECT_NE(Trim(row[0]), "");
  }
}

TEST_F(QeBigListTest, AClientWithoutCasesListsNoNeighboursCases) {
  std::set<std::string> withCases;
  for (const TSampleCase& c : office_->Cases) withCases.insert(c.Client);
  std::string lonely;
  for (const TSampleClient& c : office_->Clients)
    if (!withCases.count(c.Code)) lonely = c.Code;
  ASSERT_FALSE(lonely.empty());
  QeLookupList list;
  TQeState s;
  s.ChosenClient = lonely;
  BtrSetKeyNumber(QCaseFileNo, 4);
  const TQeFill fill = list.Fill(s, TQeField::Case, "");
  EXPECT_TRUE(list.Rows().empty());
  EXPECT_FALSE(fill.Show);
}

}  // namespace
