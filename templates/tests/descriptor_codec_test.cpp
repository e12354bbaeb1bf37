#include "templates/descriptor_codec.h"

#include "platform/format.h"
#include "platform/text.h"
#include "templates/tests/field_fixture.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The field record as the layout's own format string builds it, from the
// values as texts: an oracle independent of the codec's named ranges.
std::string ReferenceFieldText(const TFld& f, int offset) {
  std::string cols;
  for (int k = 1; k <= MaxDispCols && f.DispCols[k] != -1; ++k) cols += Format("%3d", f.DispCols[k]);
  std::string idx, pos;
  for (int k = 1; k <= MaxIndexes; ++k) {
    if (f.IdxNo[k] == 0) continue;
    idx += IntToStr(f.IdxNo[k]);
    pos += IntToStr(f.SortPos[k]);
  }
  auto yn = [](bool b) { return std::string(b ? "Y" : "N"); };
  return Format(
      "%2s%-26s%3s%1s%4s%-20s%12s%12s%1s%1s%1s%1s%1s%1s%-11s%-13s%1s%-240s%3s%-50s%-50s%-5s%-5s%2s%-42s",
      {IntToStr(f.SeqNo), f.Name, IntToStr(f.Width), f.FldType, IntToStr(offset), "", f.MinVal, f.MaxVal,
       yn(f.UpperCase), yn(f.Required), yn(f.IsLookup), yn(f.RightJustify), yn(f.Unique), f.LkpKind, f.LkpTarget,
       f.LkpSpec, yn(f.Forced), cols, IntToStr(f.KeyWidth), f.Hint, f.Default, idx, pos, IntToStr(f.FldId), ""});
}

// A record as the engine hands it over: a non-zero prefix, then the text.
std::string AsRead(const std::string& text) { return std::string("\x07\x00\x00\x00", 4) + text; }

void ShowColumns(TFld& f, std::initializer_list<int> cols) {
  f.DispCols.Fill(-1);
  int k = 0;
  for (int c : cols) f.DispCols[++k] = c;
}

void Join(TFld& f, int index, int sortPos) {
  ++f.IdxCount;
  f.IdxNo[f.IdxCount] = index;
  f.SortPos[f.IdxCount] = sortPos;
}

// What a field record gives back: the stored members of the field, its
// memberships side by side.
TFld Stored(TFld f, int offset) {
  f.Offset = offset;
  TFld members;
  for (int k = 1; k <= MaxIndexes; ++k) {
    if (f.IdxNo[k] != 0) Join(members, f.IdxNo[k], f.SortPos[k]);
  }
  f.IdxCount = members.IdxCount;
  f.IdxNo = members.IdxNo;
  f.SortPos = members.SortPos;
  f.Decimals = 0;
  f.LkpKeyUnique = false;
  f.CurValue.clear();
  f.PrevValue.clear();
  f.ReservedInt = 0;
  f.ReservedBytes = {};
  f.ReservedText.clear();
  return f;
}

struct FieldCase {
  const char* label;
  TFld fld;
  int offset;
};

std::vector<FieldCase> FieldCases() {
  std::vector<FieldCase> cases;

  TFld plain = Field(1, "Client code", 'C', 7);
  cases.push_back({"plain character field, no index, no lookup", plain, 5});

  TFld numeric = Field(9, "Amount", 'N', 10);
  numeric.MinVal = "-99.50";
  numeric.MaxVal = "12345678.99";
  numeric.RightJustify = true;
  numeric.Required = true;
  numeric.Hint = "Amount in dollars";
  numeric.Default = "0.00";
  cases.push_back({"numeric with a range", numeric, 126});

  TFld twelve = Field(10, "Twelve", 'N', 12);
  twelve.MinVal = "-12345678901";
  twelve.MaxVal = "999999999999";
  cases.push_back({"ranges filling their twelve columns", twelve, 9990});

  TFld date = Field(3, "Opened", 'D', 10);
  date.Default = "0";
  cases.push_back({"date", date, 40});

  TFld doc = Field(4, "Memo", 'd', 500);
  cases.push_back({"document", doc, 50});

  TFld check = Field(5, "Billable", 'B', 1);
  check.UpperCase = true;
  cases.push_back({"check box", check, 550});

  TFld family = Field(2, "Client", 'C', 11);
  family.IsLookup = true;
  family.LkpKind = "L";
  family.LkpSpec = "A  0  1";
  family.Forced = true;
  family.Unique = true;
  family.KeyWidth = 7;
  ShowColumns(family, {1, 5, 12});
  Join(family, 1, 1);
  cases.push_back({"family-file lookup with three display columns, index 1", family, 12});

  TFld alternate = family;
  alternate.LkpKind = "l";
  alternate.LkpSpec = "B 22 80";
  alternate.Forced = false;
  ShowColumns(alternate, {23});
  cases.push_back({"alternate family lookup with one display column", alternate, 12});

  TFld tpl = Field(11, "Matter", 'C', 11);
  tpl.IsLookup = true;
  tpl.LkpKind = "M";
  tpl.LkpTarget = "MNGR007.DSC";
  tpl.LkpSpec = "2  3 14 27 50";
  tpl.KeyWidth = 7;
  ShowColumns(tpl, {3, 5, 9});
  Join(tpl, 1, 2);
  Join(tpl, 3, 1);
  cases.push_back({"template lookup filling its specification, indexes 1 and 3", tpl, 300});

  TFld list = Field(50, "Status", 'C', 20);
  list.IsLookup = true;
  list.LkpKind = "U";
  list.LkpTarget = "1234567.lst";
  list.LkpSpec = "2 14";
  cases.push_back({"user list, FldId 50", list, 1000});

  TFld wide = Field(12, "All columns", 'C', 30);
  wide.IsLookup = true;
  wide.LkpKind = "L";
  wide.LkpSpec = "E 63";
  for (int k = 1; k <= MaxDispCols; ++k) wide.DispCols[k] = 900 + k;
  for (int k = 1; k <= MaxIndexes; ++k) Join(wide, k, k <= 3 ? k : 3);
  cases.push_back({"80 display columns, member of all five indexes", wide, 60});

  TFld gaps = Field(13, "Gaps", 'C', 5);
  gaps.IdxNo[2] = 4;
  gaps.SortPos[2] = 2;
  gaps.IdxNo[5] = 2;
  gaps.SortPos[5] = 3;
  cases.push_back({"memberships with gaps between entries", gaps, 70});

  TFld full = Field(14, std::string(26, 'N'), 'C', 999);
  full.Name[0] = '\xC9';  // É
  full.Name[25] = '\xFF';
  full.Hint = std::string(50, 'h');
  full.Default = std::string(50, 'd');
  full.KeyWidth = 999;
  cases.push_back({"26-byte name with bytes above 0x7F, full hint and default", full, 9999});

  return cases;
}

TEST(DescriptorFieldRecord, FormatsEachFixtureAsTheLayoutAndParsesItBack) {
  for (const FieldCase& c : FieldCases()) {
    SCOPED_TRACE(c.label);
    const std::string text = FormatFieldRecord(c.fld, c.offset);
    ASSERT_EQ(text.size(), 508u);
    EXPECT_EQ(text, ReferenceFieldText(c.fld, c.offset));
    EXPECT_EQ(ParseFieldRecord(AsRead(text)), Stored(c.fld, c.offset));
  }
}

TEST(DescriptorFieldRecord, NamedRangesHoldTheirValues) {
  TFld f = FieldCases()[8].fld;  // the template lookup
  const std::string rec = AsRead(FormatFieldRecord(f, 300));
  const std::vector<std::pair<TDscRange, std::string>> expected{
      {DscField::SeqNo, "11"},
      {DscField::Name, "Matter" + std::string(20, ' ')},
      {DscField::Width, " 11"},
      {DscField::FldType, "C"},
      {DscField::Offset, " 300"},
      {DscField::Blank1, std::string(20, ' ')},
      {DscField::MinVal, std::string(12, ' ')},
      {DscField::IsLookup, "Y"},
      {DscField::RightJustify, "N"},
      {DscField::LkpKind, "M"},
      {DscField::LkpTarget, "MNGR007.DSC"},
      {DscField::LkpTargetNumber, "007"},
      {DscField::LkpSpec, "2  3 14 27 50"},
      {DscField::LkpSpecKey, "2"},
      {DscField::LkpSpecFirstId, "  3"},
      {DscField::LkpSpecOtherIds, " 14 27 50"},
      {DscField::DispCols, "  3  5  9" + std::string(231, ' ')},
      {DscField::DispCol(3), "  9"},
      {DscField::KeyWidth, "  7"},
      {DscField::IdxNos, "13   "},
      {DscField::SortPoss, "21   "},
      {DscField::IdxNo(2), "3"},
      {DscField::SortPos(2), "1"},
      {DscField::FldId, "11"},
      {DscField::Blank2, std::string(42, ' ')},
  };
  for (const auto& [range, value] : expected) {
    SCOPED_TRACE(range.Label);
    EXPECT_EQ(RecordRange(rec, range), value);
  }
}

TEST(DescriptorFieldRecord, EdgeCasesOfTheLayout) {
  TFld f = Field(7, "Client", 'C', 7);
  ShowColumns(f, {1, 5, 12});
  const std::string text = FormatFieldRecord(f, 5);
  // Three right-aligned groups, then 231 blanks.
  EXPECT_EQ(TextRange(text, DscField::DispCols), "  1  5 12" + std::string(231, ' '));
  // No index: blanks in both membership ranges.
  EXPECT_EQ(TextRange(text, DscField::IdxNos), "     ");
  EXPECT_EQ(TextRange(text, DscField::SortPoss), "     ");
  // Internal id " 7", not "07".
  EXPECT_EQ(TextRange(text, DscField::FldId), " 7");
  EXPECT_EQ(TextRange(text, DscField::SeqNo), " 7");
  EXPECT_EQ(TextRange(text, DscField::Offset), "   5");
}

TEST(DescriptorFieldRecord, KeyOneSortsFieldsByNumberBeforeIndexRecords) {
  std::vector<std::string> keys;
  for (int seq : {1, 9, 10, 50}) keys.push_back(TextRange(FormatFieldRecord(Field(seq, "F", 'C', 1), 5), DscField::SeqNo));
  for (int i = 1; i <= 5; ++i) {
    TIndexRecord index;
    index.Number = i;
    index.SortFlds[1] = 1;
    keys.push_back(TextRange(FormatIndexRecord(index), DscIndex::Tag));
  }
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << ::testing::PrintToString(keys);
}

TEST(DescriptorFieldRecord, RefusesValuesWiderThanTheirColumns) {
  struct Case {
    const char* label;
    void (*change)(TFld&);
    int offset;
    std::string message;
  };
  const std::vector<Case> cases{
      {"name", [](TFld& f) { f.Name = std::string(27, 'x'); }, 5,
       "Field \"" + std::string(27, 'x') + "\": Name \"" + std::string(27, 'x') + "\" is longer than 26 characters."},
      {"hint", [](TFld& f) { f.Hint = std::string(51, 'h'); }, 5,
       "Field \"Fee\": Hint \"" + std::string(51, 'h') + "\" is longer than 50 characters."},
      {"default", [](TFld& f) { f.Default = std::string(51, 'd'); }, 5,
       "Field \"Fee\": Default \"" + std::string(51, 'd') + "\" is longer than 50 characters."},
      {"minimum", [](TFld& f) { f.MinVal = "-123456789012"; }, 5,
       "Field \"Fee\": MinVal \"-123456789012\" is longer than 12 characters."},
      {"maximum", [](TFld& f) { f.MaxVal = "1234567890123"; }, 5,
       "Field \"Fee\": MaxVal \"1234567890123\" is longer than 12 characters."},
      {"target", [](TFld& f) { f.LkpTarget = "MNGR0007.DSC"; }, 5,
       "Field \"Fee\": LkpTarget \"MNGR0007.DSC\" is longer than 11 characters."},
      {"specification", [](TFld& f) { f.LkpSpec = "1  1  2  3  45"; }, 5,
       "Field \"Fee\": LkpSpec \"1  1  2  3  45\" is longer than 13 characters."},
      {"lookup kind", [](TFld& f) { f.LkpKind = "LM"; }, 5, "Field \"Fee\": LkpKind \"LM\" is longer than 1 characters."},
      {"display column", [](TFld& f) { ShowColumns(f, {1, 1000}); }, 5,
       "Field \"Fee\": DispCols \"1000\" is longer than 3 characters."},
      {"width", [](TFld& f) { f.Width = 1000; }, 5, "Field \"Fee\": Width \"1000\" is longer than 3 characters."},
      {"key width", [](TFld& f) { f.KeyWidth = 1000; }, 5,
       "Field \"Fee\": KeyWidth \"1000\" is longer than 3 characters."},
      {"record position", [](TFld&) {}, 10000, "Field \"Fee\": Offset \"10000\" is longer than 4 characters."},
      {"sequence number", [](TFld& f) { f.SeqNo = 100; }, 5, "Field \"Fee\": SeqNo \"100\" is longer than 2 characters."},
      {"internal id", [](TFld& f) { f.FldId = 100; }, 5, "Field \"Fee\": FldId \"100\" is longer than 2 characters."},
      {"index number", [](TFld& f) { Join(f, 6, 1); }, 5, "Field \"Fee\": IdxNo[1] = 6 is not an index number 1..5."},
      {"sort position", [](TFld& f) { Join(f, 2, 4); }, 5,
       "Field \"Fee\": SortPos[1] = 4 is not a sort position 1..3."},
      {"membership without sort position", [](TFld& f) { Join(f, 2, 0); }, 5,
       "Field \"Fee\": SortPos[1] = 0 is not a sort position 1..3."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TFld f = Field(3, "Fee", 'N', 8);
    c.change(f);
    ExpectMessage<EDescriptorError>([&] { FormatFieldRecord(f, c.offset); }, c.message);
  }
}

TEST(DescriptorFieldRecord, ParsingRefusesShortRecordsAndNonNumbers) {
  const std::string text = FormatFieldRecord(Field(3, "Fee", 'N', 8), 5);
  ExpectMessage<EDescriptorError>([&] { ParseFieldRecord(text); },
                                  "A descriptor record has 508 bytes instead of 512.");
  std::string bad = text;
  bad.replace(28, 3, " 8x");
  ExpectMessage<EDescriptorError>([&] { ParseFieldRecord(AsRead(bad)); },
                                  "Descriptor record: Width \" 8x\" at positions 33-35 is not a number.");
  bad = text;
  bad.replace(1 - 1, 2, "  ");
  ExpectMessage<EDescriptorError>([&] { ParseFieldRecord(AsRead(bad)); },
                                  "Descriptor record: SeqNo \"  \" at positions 5-6 is not a number.");
  bad = text;
  bad.replace(111, 6, "  1 x2");
  ExpectMessage<EDescriptorError>([&] { ParseFieldRecord(AsRead(bad)); },
                                  "Descriptor record: DispCols \" x2\" at positions 119-121 is not a number.");
  bad = text;
  bad.replace(454, 1, "A");
  ExpectMessage<EDescriptorError>([&] { ParseFieldRecord(AsRead(bad)); },
                                  "Descriptor record: IdxNo \"A\" at position 459 is not a digit.");
}

TEST(DescriptorFieldRecord, ParsingStopsDisplayColumnsAtTheFirstBlankEntry) {
  TFld f = Field(3, "Fee", 'N', 8);
  std::string text = FormatFieldRecord(f, 5);
  text.replace(111, 12, "  4      9  ");
  const TFld parsed = ParseFieldRecord(AsRead(text));
  EXPECT_EQ(parsed.DispCols[1], 4);
  EXPECT_EQ(parsed.DispCols[2], -1);
  EXPECT_EQ(parsed.DispCols[3], -1);
}

TEST(DescriptorFieldRecord, PaddingTextsTwiceChangesNothing) {
  TFld f = FieldCases()[8].fld;
  PadFieldTexts(f);
  EXPECT_EQ(f.Name, "Matter" + std::string(20, ' '));
  EXPECT_EQ(f.LkpTarget, "MNGR007.DSC");
  EXPECT_EQ(f.LkpSpec, "2  3 14 27 50");
  EXPECT_EQ(f.Hint, std::string(50, ' '));
  EXPECT_EQ(f.Default, std::string(50, ' '));
  const TFld once = f;
  PadFieldTexts(f);
  EXPECT_EQ(f, once);
  EXPECT_EQ(FormatFieldRecord(f, 300), FormatFieldRecord(FieldCases()[8].fld, 300));
}

TEST(DescriptorIndexRecord, FormatsAndParsesTheLayout) {
  TIndexRecord second;
  second.Number = 2;
  second.Name = "By matter";
  second.SortFlds[1] = 4;
  second.SortFlds[2] = 11;
  const std::string text = FormatIndexRecord(second);
  ASSERT_EQ(text.size(), 508u);
  EXPECT_EQ(text, Format("K%1s%-26s%2s%2s", {"2", "By matter", "4", "11"}) + std::string(432, ' ') + "K2" +
                      std::string(42, ' '));
  TIndexRecord back = second;
  back.Key2Tag = "K2";
  EXPECT_EQ(ParseIndexRecord(AsRead(text)), back);
  EXPECT_TRUE(IsIndexRecord(AsRead(text)));
  EXPECT_FALSE(IsIndexRecord(AsRead(FormatFieldRecord(Field(1, "K", 'C', 1), 5))));

  TIndexRecord first;
  first.Number = 1;
  first.Name = std::string(26, 'I');
  first.SortFlds[1] = 50;
  first.SortFlds[3] = 7;  // sort field 2 unset: the set ones stand side by side
  first.Unique = true;
  first.TplName = std::string(30, 'T');
  const std::string one = FormatIndexRecord(first);
  EXPECT_EQ(one, Format("K%1s%-26s%2s%2s", {"1", first.Name, "50", "7"}) + "  UQ" + first.TplName +
                     std::string(398, ' ') + "K1" + std::string(42, ' '));
  const TIndexRecord parsed = ParseIndexRecord(AsRead(one));
  EXPECT_EQ(parsed.SortFlds[1], 50);
  EXPECT_EQ(parsed.SortFlds[2], 7);
  EXPECT_EQ(parsed.SortFlds[3], 0);
  EXPECT_TRUE(parsed.Unique);
  EXPECT_EQ(parsed.TplName, first.TplName);
}

TEST(DescriptorIndexRecord, KeepsAKeyTwoTagOfItsOwnAndTheNameOnlyOnIndexOne) {
  TIndexRecord matter;
  matter.Number = 2;
  matter.Name = "matter suffix";
  matter.SortFlds[1] = 1;
  matter.SortFlds[2] = 2;
  matter.Unique = true;
  matter.TplName = "Matter e-mail";
  matter.Key2Tag = "K1";
  const std::string text = FormatIndexRecord(matter);
  EXPECT_EQ(TextRange(text, DscIndex::Tag), "K2");
  EXPECT_EQ(TextRange(text, DscIndex::Key2Tag), "K1");
  EXPECT_EQ(TextRange(text, DscIndex::TplName), std::string(30, ' '));
}

TEST(DescriptorIndexRecord, RefusesWhatDoesNotFit) {
  TIndexRecord index;
  index.Number = 1;
  index.SortFlds[1] = 1;
  index.Name = std::string(27, 'n');
  ExpectMessage<EDescriptorError>([&] { FormatIndexRecord(index); },
                                  "Index 1: index name \"" + index.Name + "\" is longer than 26 characters.");
  index.Name = "Name";
  index.TplName = std::string(31, 't');
  ExpectMessage<EDescriptorError>([&] { FormatIndexRecord(index); },
                                  "Index 1: template name \"" + index.TplName + "\" is longer than 30 characters.");
  index.TplName.clear();
  index.SortFlds[2] = 100;
  ExpectMessage<EDescriptorError>([&] { FormatIndexRecord(index); },
                                  "Index 1: sort field \"100\" is longer than 2 characters.");
  index.SortFlds[2] = 0;
  index.Number = 6;
  ExpectMessage<EDescriptorError>([&] { FormatIndexRecord(index); }, "Index 6: the index number is outside 1..5.");
}

TEST(DescriptorRecordText, CompletesAnyRecordText) {
  EXPECT_EQ(CompleteDscText("K3Some"), "K3Some" + std::string(458, ' ') + "K3" + std::string(42, ' '));
  std::string full(508, 'z');
  EXPECT_EQ(CompleteDscText(full).substr(464, 2), "zz");
  full[0] = 'A';
  EXPECT_EQ(CompleteDscText(full).substr(464, 2), "Az");
  ExpectMessage<EDescriptorError>([&] { CompleteDscText(std::string(509, ' ')); },
                                  "A descriptor record text of 509 characters is longer than 508.");
}

TEST(DescriptorRecordText, RewritesTouchOnlyTheirRange) {
  TFld f = FieldCases()[8].fld;
  const std::string original = FormatFieldRecord(f, 300);
  auto changed = [&](const std::string& text) {
    std::vector<int> columns;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != original[i]) columns.push_back(static_cast<int>(i) + 1);
    }
    return columns;
  };

  std::string text = original;
  SetLkpTargetNumber(text, TTemplateNumber(12));
  EXPECT_EQ(TextRange(text, DscField::LkpTarget), "MNGR012.DSC");
  EXPECT_EQ(changed(text), (std::vector<int>{92, 93}));

  text = original;
  SetLkpTargetList(text, 12);
  EXPECT_EQ(TextRange(text, DscField::LkpTarget), "12.lst     ");
  for (int c : changed(text)) EXPECT_TRUE(c >= 87 && c <= 97) << c;

  text = original;
  SetLkpSpecOtherIds(text, {27});
  EXPECT_EQ(TextRange(text, DscField::LkpSpec), "2  3 27      ");
  for (int c : changed(text)) EXPECT_TRUE(c >= 102 && c <= 110) << c;

  text = original;
  SetDispCols(text, {3, 9});
  EXPECT_EQ(TextRange(text, DscField::DispCols), "  3  9" + std::string(234, ' '));
  for (int c : changed(text)) EXPECT_TRUE(c >= 112 && c <= 351) << c;

  ExpectMessage<EDescriptorError>([&] { SetLkpSpecOtherIds(text, {1, 2, 3, 4}); },
                                  "Field \"Matter\": LkpSpec other ids holds 4 entries; at most 3 fit.");
  ExpectMessage<EDescriptorError>([&] { SetDispCols(text, std::vector<int>(81, 1)); },
                                  "Field \"Matter\": DispCols holds 81 entries; at most 80 fit.");

  TIndexRecord index;
  index.Number = 1;
  index.SortFlds[1] = 1;
  index.TplName = "Fees";
  const std::string indexText = FormatIndexRecord(index);
  text = indexText;
  SetIndexTplName(text, "Billing");
  EXPECT_EQ(ParseIndexRecord(AsRead(text)).TplName, "Billing");
  EXPECT_EQ(text.substr(0, 36), indexText.substr(0, 36));
  EXPECT_EQ(text.substr(66), indexText.substr(66));
  ExpectMessage<EDescriptorError>([&] { SetIndexTplName(text, std::string(31, 'x')); },
                                  "Index 1: template name \"" + std::string(31, 'x') + "\" is longer than 30 characters.");
  ExpectMessage<EDescriptorError>([&] { SetDispCols(text = "short", {}); },
                                  "A descriptor record text has 5 characters instead of 508.");
}

// Every record position that the readers of descriptors name, against the
// codec's ranges (record position = column + 4).
TEST(DescriptorPositions, MatchEveryPositionReadersName) {
  struct Case {
    const char* what;
    int derived;
    int named;
  };
  const std::vector<Case> cases{
      {"key 1 / sequence number, first", DscField::SeqNo.Position(), 5},
      {"sequence number, last", DscField::SeqNo.LastPosition(), 6},
      {"field name, first", DscField::Name.Position(), 7},
      {"field name, last", DscField::Name.LastPosition(), 32},
      {"width, first", DscField::Width.Position(), 33},
      {"width, last", DscField::Width.LastPosition(), 35},
      {"field type", DscField::FldType.Position(), 36},
      {"field's record position, first", DscField::Offset.Position(), 37},
      {"field's record position, last", DscField::Offset.LastPosition(), 40},
      {"minimum, first", DscField::MinVal.Position(), 61},
      {"minimum, last", DscField::MinVal.LastPosition(), 72},
      {"maximum, first", DscField::MaxVal.Position(), 73},
      {"maximum, last", DscField::MaxVal.LastPosition(), 84},
      {"upper case flag", DscField::UpperCase.Position(), 85},
      {"required flag", DscField::Required.Position(), 86},
      {"lookup flag", DscField::IsLookup.Position(), 87},
      {"right-justify flag", DscField::RightJustify.Position(), 88},
      {"unique flag", DscField::Unique.Position(), 89},
      {"lookup kind", DscField::LkpKind.Position(), 90},
      {"lookup target, first", DscField::LkpTarget.Position(), 91},
      {"lookup target, last", DscField::LkpTarget.LastPosition(), 101},
      {"number inside the target, first", DscField::LkpTargetNumber.Position(), 95},
      {"number inside the target, last", DscField::LkpTargetNumber.LastPosition(), 97},
      {"number inside the target, first text column", DscField::LkpTargetNumber.Column, 91},
      {"number inside the target, last text column", DscField::LkpTargetNumber.LastColumn(), 93},
      {"specification, first / key digit", DscField::LkpSpec.Position(), 102},
      {"specification key digit", DscField::LkpSpecKey.Position(), 102},
      {"specification, last", DscField::LkpSpec.LastPosition(), 114},
      {"specification characters 2-4, first", DscField::LkpSpecFirstId.Position(), 103},
      {"specification characters 2-4, last", DscField::LkpSpecFirstId.LastPosition(), 105},
      {"specification characters 5-13, first", DscField::LkpSpecOtherIds.Position(), 106},
      {"specification characters 5-13, last", DscField::LkpSpecOtherIds.LastPosition(), 114},
      {"forced flag", DscField::Forced.Position(), 115},
      {"display columns, first", DscField::DispCols.Position(), 116},
      {"display columns, last", DscField::DispCols.LastPosition(), 355},
      {"fiftieth display column, last", DscField::DispCol(50).LastPosition(), 265},
      {"key width, first", DscField::KeyWidth.Position(), 356},
      {"key width, last", DscField::KeyWidth.LastPosition(), 358},
      {"hint, first", DscField::Hint.Position(), 359},
      {"hint, last", DscField::Hint.LastPosition(), 408},
      {"default, first", DscField::Default.Position(), 409},
      {"default, last", DscField::Default.LastPosition(), 458},
      {"first index number", DscField::IdxNo(1).Position(), 459},
      {"its sort position", DscField::SortPos(1).Position(), 464},
      {"sort-position digits, first", DscField::SortPoss.Position(), 464},
      {"sort-position digits, last", DscField::SortPoss.LastPosition(), 468},
      {"key 2 / internal id, first", DscField::FldId.Position(), 469},
      {"internal id, last", DscField::FldId.LastPosition(), 470},
      {"internal id, first text column", DscField::FldId.Column, 465},
      {"name, first text column", DscField::Name.Column, 3},
      {"name, last text column", DscField::Name.LastColumn(), 28},
      {"width, first text column", DscField::Width.Column, 29},
      {"width, last text column", DscField::Width.LastColumn(), 31},
      {"index letter", DscIndex::Letter.Position(), 5},
      {"index digit, text character", DscIndex::Number.Column, 2},
      {"index name, first", DscIndex::Name.Position(), 7},
      {"index name, last", DscIndex::Name.LastPosition(), 32},
      {"sort field 1, first", DscIndex::SortFld(1).Position(), 33},
      {"sort field 2, first", DscIndex::SortFld(2).Position(), 35},
      {"sort field 3, first", DscIndex::SortFld(3).Position(), 37},
      {"sort field 3, last", DscIndex::SortFld(3).LastPosition(), 38},
      {"unique mark, first", DscIndex::Unique.Position(), 39},
      {"unique mark, last", DscIndex::Unique.LastPosition(), 40},
      {"template name, first", DscIndex::TplName.Position(), 41},
      {"template name, last", DscIndex::TplName.LastPosition(), 70},
      {"template name, first text column", DscIndex::TplName.Column, 37},
      {"key 1 segment position", DescriptorKeySegments[1].Position, 5},
      {"key 2 segment position", DescriptorKeySegments[2].Position, 469},
  };
  for (const Case& c : cases) EXPECT_EQ(c.derived, c.named) << c.what;
}

TEST(DescriptorPositions, RangesTileTheWholeText) {
  int next = 1;
  for (const TDscRange& r : DscField::All) {
    EXPECT_EQ(r.Column, next) << r.Label;
    next = r.LastColumn() + 1;
  }
  EXPECT_EQ(next, 509);
}

TEST(DescriptorKeys, ThreeSegmentsAsTheFileIsCreated) {
  const auto& k = DescriptorKeySegments;
  EXPECT_EQ(k[0].KeyNo, 0);
  EXPECT_EQ(k[0].Position, 1);
  EXPECT_EQ(k[0].Length, 4);
  EXPECT_TRUE(k[0].AutoInc);
  EXPECT_EQ(k[1].KeyNo, 1);
  EXPECT_EQ(k[1].Length, 2);
  EXPECT_TRUE(k[1].Modifiable);
  EXPECT_FALSE(k[1].Duplicates);
  EXPECT_FALSE(k[1].AutoInc);
  EXPECT_EQ(k[2].KeyNo, 2);
  EXPECT_EQ(k[2].Length, 2);
  EXPECT_FALSE(k[2].Modifiable);
  EXPECT_FALSE(k[2].Duplicates);
  EXPECT_FALSE(k[2].AutoInc);
}

}  // namespace
