// The field checks without a window: the numeric exit formatting, the rows
// of a user list file, the family record a chosen row stands for and what
// its display rows show (on the sample office), a template lookup's chosen
// record among equal keys, and the index-1 key text parts.
#include "entry/field_checks.h"

#include "platform/date_format.h"
#include "platform/text.h"
#include "templates/product_dates.h"
#include "templates/template_number.h"
#include "templates/user_list_store.h"
#include "testing/family_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(NumericFieldText, TheExitFormatsByDecimalsAndRefusesWhatIsNoNumber) {
  struct TCase {
    const char* typed;
    int decimals;
    std::optional<std::string> shown;  // nothing: refused
  } cases[] = {
      // Plain and grouped.
      {"1234567", 2, "1,234,567.00"},
      {"123", 0, "123"},
      {"1234", 0, "1,234"},
      {"123456", 1, "123,456.0"},
      {"1,234.5", 2, "1,234.50"},  // typed grouping kept, no regrouping
      {"12,345,678", 0, "12,345,678"},
      {"1,234,5678", 0, "1,234,5678"},  // each comma has three digits behind it
      // Bad groupings.
      {",123", 2, std::nullopt},
      {"1,23", 2, std::nullopt},
      {"1,2a4", 0, std::nullopt},
      {"12,34.5", 1, std::nullopt},
      // No numbers.
      {"abc", 2, std::nullopt},
      {"1.2.3", 2, std::nullopt},
      {"-", 0, std::nullopt},
      {"1e5", 0, std::nullopt},
      // Point forms.
      {"12.", 1, "12.0"},
      {"12.", 2, "12.00"},
      {"12.3", 2, "12.30"},
      {"12.345", 2, "12.345"},  // more decimals than the field has stay
      {"12.9", 0, "12"},        // 0 decimals cut at the point
      {"1234.5", 0, "1,234"},
      {".5", 2, ".50"},
      // An empty field stays empty, so a required check still sees it.
      {"", 2, ""},
      {"", 0, ""},
      // The sign is no digit: the separators go between digits only.
      {"-123456", 0, "-123,456"},
      {"-1234", 2, "-1,234.00"},
      {"-123", 1, "-123.0"},
      {"+1234", 0, "+1,234"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " / " + std::to_string(c.decimals));
    EXPECT_EQ(FormatNumericText(c.typed, c.decimals), c.shown);
  }
}

TEST(UserListRows, HeadersBlanksAndColumnsAsTheFileHoldsThem) {
  const std::string sep = ListSep;
  const std::vector<std::string> lines{
      sep + " " + sep + "Colours             ",  // the header: skipped
      "Alpha",
      "",
      "   ",
      "Bravo" + sep + "Second",
      sep + "Charlie" + sep + "x",  // a separator first is no header without a third
      "Delta" + sep + "two" + sep + "parts",
  };
  TDropdownRows rows;
  const TUserListFill fill = FillUserListRows(lines, rows);
  EXPECT_EQ(fill.Lines, 7);
  EXPECT_EQ(fill.Items, 4);
  EXPECT_FALSE(fill.OverLimit());
  ASSERT_EQ(rows.Filled, 4);
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Alpha", ""}, {"Bravo", "Second"}, {sep + "Charlie", "x"}, {"Delta", "two" + sep + "parts"}};
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(rows.Cell(0, r), expected[size_t(r)].first) << r;
    EXPECT_EQ(rows.Cell(1, r), expected[size_t(r)].second) << r;
  }
  EXPECT_TRUE(RowMatchesText(rows, 1, 0, " Bravo "));
  EXPECT_FALSE(RowMatchesText(rows, 1, 0, "Brav"));
  EXPECT_FALSE(RowMatchesText(rows, 4, 0, ""));  // past the filled rows

  // 600 lines: over the limit, 500 rows, the rest left empty.
  std::vector<std::string> many;
  for (int i = 1; i <= 600; ++i) many.push_back("Item " + std::to_string(i));
  const TUserListFill big = FillUserListRows(many, rows);
  EXPECT_TRUE(big.OverLimit());
  EXPECT_EQ(big.Items, 500);
  EXPECT_EQ(rows.Filled, 500);
  EXPECT_EQ(rows.Cell(0, 499), "Item 500");
  EXPECT_EQ(rows.Cell(0, 500), "");
  // A shorter list after it leaves nothing of the longer one.
  FillUserListRows({"One"}, rows);
  EXPECT_EQ(rows.Filled, 1);
  EXPECT_EQ(rows.Cell(0, 1), "");
}

TEST(UserListRows, OnlyANumberedListOfTheDataFolderIsRead) {
  ScopedTempDir dir;
  Store.DataDir = dir.path().string();
  WriteUserListFile(7, {"Red", "Green"});
  std::vector<std::string> lines;
  std::string why;
  ASSERT_TRUE(ReadUserListLines("7.lst", lines, why)) << why;
  EXPECT_EQ(lines, (std::vector<std::string>{"Red", "Green"}));
  for (const char* refused : {"..\\7.lst", "/etc/7.lst", "07.lst", "7.txt", "", "colours.lst"}) {
    EXPECT_FALSE(ReadUserListLines(refused, lines, why)) << refused;
    EXPECT_EQ(why, "\"" + std::string(refused) + "\" names no user list.");
    EXPECT_TRUE(lines.empty());
  }
  EXPECT_FALSE(ReadUserListLines("8.lst", lines, why));
  EXPECT_EQ(why, UserListPath(8) + ": No such file or directory");
  Store.Reset();
}

class FamilyDisplayTest : public FamilyDataTest {
protected:
  void SetUp() override {
    FamilyDataTest::SetUp();
    Store.DataRoot = SampleFolder();
    FormatSettings.ShortDateFormat = "M/d/yyyy";
  }

  // A lookup in slot 1 of host code Code with these display codes, its
  // files opened as entering the field opens them.
  void Lookup(int Code, const std::vector<int>& Displays) {
    TFld& f = Store.FldTable[1];
    f.Name = "Lookup";
    f.IsLookup = true;
    f.LkpKind = "L";
    for (size_t k = 0; k < Displays.size(); ++k) f.DispCols[int(k + 1)] = Displays[k];
    ASSERT_EQ(OpenValidationForLookup(Code, 1), 1);
    ASSERT_EQ(DefineDisplayColumns(1), int(Displays.size()));
    for (int id = 1; id <= HostFileId::Count; ++id)
      if (FamilyLookup.HostFileOpen[id]) OpenHostFile(id);
  }
  std::vector<std::string> Shown(const std::vector<int>& Displays, const TDynCharArr& Rec, TListSource S) {
    std::vector<std::string> out;
    for (size_t k = 0; k < Displays.size(); ++k)
      out.push_back(TrimRight(FamilyDisplayText(Displays[k], int(k + 1), Rec, S)));
    return out;
  }
  static std::string Joined(const std::string& First, const std::string& Last) {
    return First.empty() ? Last : Last + ", " + First;
  }
  static std::string Money(int64_t Cents) {
    const int64_t a = Cents < 0 ? -Cents : Cents;
    std::string whole = a >= 100 ? std::to_string(a / 100) : "";
    const std::string cents = std::to_string(a % 100 + 100).substr(1);
    return (Cents < 0 ? "-" : "") + whole + "." + cents;
  }
  const std::string* CodeText(char Type, const std::string& Code) {
    for (const TSampleCode& c : Office().Codes)
      if (c.Type == Type && c.Code == Code) return &c.Description;
    return nullptr;
  }
  const TSampleEmployee* Employee(const std::string& Code) {
    for (const TSampleEmployee& e : Office().Employees)
      if (e.Code == Code) return &e;
    return nullptr;
  }
};

TEST_F(FamilyDisplayTest, AChosenClientShowsItsJoinedNameTranslationsAndAmounts) {
  // Name, city, office name (code table 1), coordinating attorney's name,
  // default threshold (packed).
  const std::vector<int> displays{1, 5, 10, 12, 21};
  Lookup(0, displays);
  int checked = 0;
  for (const TSampleClient& c : Office().Clients) {
    const std::string* office = CodeText('1', c.Office);
    const TSampleEmployee* atty = Employee(c.CoordAtty);
    if (!office || !atty) continue;
    SCOPED_TRACE(c.Code);
    ASSERT_TRUE(ReadChosenFamilyRecord(TListSource::Client, c.Code, "", false));
    EXPECT_EQ(Shown(displays, ClientRec, TListSource::Client),
              (std::vector<std::string>{Joined(c.FirstName, c.LastName), c.City, TrimRight(*office),
                                        Joined(atty->FirstName, atty->LastName), Money(c.DefaultThreshold)}));
    ++checked;
  }
  EXPECT_GT(checked, 10);
  EXPECT_FALSE(ReadChosenFamilyRecord(TListSource::Client, "NOSUCH", "", false));
  // The read left the file's key as it was.
  EXPECT_EQ(BtrGetKeyNumber(ClientFileNo), 1);
}

TEST_F(FamilyDisplayTest, AChosenCaseShowsDatesLinesAndCaptionsKeyedByItsClient) {
  // Opened (file date), responsible attorney 1's name, department name,
  // description line 2 and the client's name through the case.
  const std::vector<int> displays{54, 27, 33, 81, 1};
  Lookup(22, displays);
  int lines = 0;
  for (const TSampleCase& k : Office().Cases) {
    SCOPED_TRACE(k.Client + "/" + k.Suffix);
    // The suffix right-justified (key 1) and left-justified (key 4) alike.
    for (const bool right : {true, false}) {
      ASSERT_TRUE(ReadChosenFamilyRecord(TListSource::Case, k.Suffix, k.Client, right));
      EXPECT_EQ(TrimRight(FieldText(CaseRec, CaseFld::Client)), k.Client);
    }
    std::string opened;
    if (!k.Opened.empty()) FileDateToDisplayDate(k.Opened, true, opened);
    const std::vector<std::string> shown = Shown(displays, CaseRec, TListSource::Case);
    EXPECT_EQ(shown[0], opened);
    const TSampleEmployee* atty = Employee(k.RespAtty1);
    EXPECT_EQ(shown[1], atty ? Joined(atty->FirstName, atty->LastName) : NotFoundText);
    const std::string* dept = CodeText('3', k.Department);
    EXPECT_EQ(shown[2], dept ? TrimRight(*dept) : NotFoundText);
    // Keyed by the suffix alone: a suffix several clients share shows the
    // first line stored for it.
    std::string line2 = NotFoundText;
    for (const TSampleCaseDesc& d : Office().CaseDescs) {
      if (d.Case == k.Suffix && d.Line == 2) {
        line2 = d.Text;
        break;
      }
    }
    EXPECT_EQ(shown[3], TrimRight(line2));
    lines += line2 != NotFoundText;
    const TSampleClient* client = nullptr;
    for (const TSampleClient& c : Office().Clients)
      if (c.Code == k.Client) client = &c;
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(shown[4], Joined(client->FirstName, client->LastName));
  }
  EXPECT_GT(lines, 0);

  // Captions: the statement characteristics of the bill format, else the
  // plain caption.
  for (const TSampleCaptions& c : Office().Captions) {
    if (c.BillFormat.empty()) continue;
    for (int n : {1, 2, 20}) {
      const std::string stored = Trim(c.Captions[size_t(n - 1)]);
      EXPECT_EQ(DescriptionLineCaption(c.BillFormat, n), stored.empty() ? "Case Description Line " + std::to_string(n) : stored);
    }
  }
  EXPECT_EQ(DescriptionLineCaption("ZZZ", 3), "Case Description Line 3");
}

class TemplateChoiceTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Store.Reset();
    Store.DataDir = dir_.path().string();
    WriteTargetTemplate(
        12,
        [](TTemplateTableBuilder& t) {
          t.Add("Code", 'C', 6);
          t.Add("Title", 'C', 20);
          t.Index(1, {1}, false, "By code");
        },
        [] {
          // Past "~": more keys beginning with an accented letter than a list reads.
          std::vector<std::string> accented;
          for (uint32_t n = 20; n < 70; ++n)
            accented.push_back(WithPrefix(n, FillRecord({{1, "\xC9""CO" + std::to_string(n)}, {2, "Later"}})));
          std::vector<std::string> records{WithPrefix(11, FillRecord({{1, "ALPHA"}, {2, "First"}})),
                                          WithPrefix(12, FillRecord({{1, "BRAVO"}, {2, "Second"}})),
                                          WithPrefix(13, FillRecord({{1, "BRAVO"}, {2, "Third"}})),
                                          WithPrefix(14, FillRecord({{1, "CHARLY"}, {2, "Fourth"}}))};
          records.insert(records.end(), accented.begin(), accented.end());
          return records;
        });
    BtrOpenFile(TemplateLookupFileNo, DataFileName(TTemplateNumber(12)), 0);
    BtrSetKeyNumber(TemplateLookupFileNo, 1);
    Store.LkpDataRec.resize(BtrRecordLength(TemplateLookupFileNo));
    control.ListCols = {{1, 5, 6, ttText, 60, "Code"}};
    control.DispCols = {{2, 11, 20, ttText, -1, "Title"}};
  }
  void TearDown() override {
    ResetBtrLayer();
    Store.Reset();
  }
  std::string Title() const { return TrimRight(TargetCellText(control.DispCols[0], Store.LkpDataRec)); }

  ScopedTempDir dir_;
  TFieldControl control;
};

TEST_F(TemplateChoiceTest, AmongEqualKeysTheRecordChosenIsFoundElseNone) {
  ASSERT_TRUE(ReadChosenTemplateRecord(control, "ALPHA ", true, {}));
  EXPECT_EQ(Title(), "First");
  ASSERT_TRUE(ReadChosenTemplateRecord(control, "BRAVO ", false, TRowId{13, 0, 0, 0}));
  EXPECT_EQ(Title(), "Third");
  ASSERT_TRUE(ReadChosenTemplateRecord(control, "BRAVO ", false, TRowId{12, 0, 0, 0}));
  EXPECT_EQ(Title(), "Second");
  // The key changes before the record chosen: no record.
  EXPECT_FALSE(ReadChosenTemplateRecord(control, "BRAVO ", false, TRowId{14, 0, 0, 0}));
  EXPECT_FALSE(ReadChosenTemplateRecord(control, "DELTA ", true, {}));
}

TEST_F(TemplateChoiceTest, LastReachesTheLastRecordAlsoPastTheTilde) {
  TDropdownState state;
  TDropdownRows rows;
  state.Source = TListSource::Template;
  state.Target = &control;
  TDropdownList list(state, rows);
  const TFillResult r = list.Fill("~", 0);
  ASSERT_EQ(r.Outcome, TFillOutcome::Filled);
  ASSERT_GT(rows.Filled, 0);
  EXPECT_EQ(TrimRight(rows.Cell(0, rows.Filled - 1)), "\xC9""CO69");
}

TEST(IndexKeyParts, EachSortFieldTakesItsPartAsTheRecordStoresIt) {
  Store.Reset();
  {
    TTemplateTableBuilder t;
    t.Add("Client", 'C', 7);
    t.Add("Notes", 'C', 10);
    t.Add("Amount", 'C', 6).RightJustify = true;
    t.Add("Opened", 'D', 8);
    t.Index(1, {1, 3, 4}, true, "By client");
  }
  EXPECT_EQ(IndexKeyPart(1), 1);
  EXPECT_EQ(IndexKeyPart(2), 0);
  EXPECT_EQ(IndexKeyPart(3), 2);
  EXPECT_EQ(IndexKeyPart(4), 3);
  std::string key;
  PutIndexKeyPart(key, 1, "ABC");
  EXPECT_EQ(key, "ABC    " + std::string(6, ' ') + std::string(8, ' '));
  PutIndexKeyPart(key, 2, "42");
  PutIndexKeyPart(key, 3, "20261210");
  EXPECT_EQ(key, "ABC        4220261210");
  PutIndexKeyPart(key, 3, "");
  EXPECT_EQ(key, "ABC        42        ");
  PutIndexKeyPart(key, 1, "ABCDEFG");
  EXPECT_EQ(key, "ABCDEFG    42        ");
  Store.Reset();
}

}  // namespace
