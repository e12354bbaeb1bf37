// The data record and key codec: forms and types on record texts, records
// placed by it found again by their key texts on real data files, and the
// map from an index to the data file's key.
#include "templates/record_codec.h"

#include "btrieve/numbered_files.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "testing/expect_message.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Key1("\0\x81 \x07", 4);
const std::string Tail1("\x01\xff\0", 3);

class RecordCodecTest : public ::testing::Test {
protected:
  void TearDown() override { Store.Reset(); }
  TTemplateTableBuilder t;
};

// Field 1 of the table in use, set up as a case of the table below.
struct TFormCase {
  const char* Label;
  char Type;
  int Width, KeyWidth;
  const char* Kind;
  const char* Spec;
  bool KeyUnique, Right;
  TFieldForm Form;
  std::string Value, Key, Tail;
  std::string Stored;  // the field's Width bytes
};

TEST_F(RecordCodecTest, EachFormAndTypePlacesItsPartsAndReadsThemBack) {
  const TFormCase cases[] = {
      {"plain C", 'C', 6, 6, "", "", false, false, TFieldForm::Plain, "ab", "", "", "ab    "},
      {"right-justified N", 'N', 6, 6, "", "", false, true, TFieldForm::Plain, "12.5", "", "", "  12.5"},
      {"blank date", 'D', 8, 8, "", "", false, false, TFieldForm::Plain, "", "", "", "        "},
      {"date", 'D', 8, 8, "", "", false, false, TFieldForm::Plain, "20261231", "", "", "20261231"},
      {"check box", 'B', 1, 1, "", "", false, false, TFieldForm::Plain, "Y", "", "", "Y"},
      {"document", 'd', 72, 72, "", "", false, false, TFieldForm::Plain, "c:\\a.doc", "", "",
       "c:\\a.doc" + std::string(64, ' ')},
      {"template lookup", 'C', 9, 5, "M", "1  2", false, false, TFieldForm::Keyed, "xyz", Key1, "", "xyz  " + Key1},
      {"right-justified template lookup", 'C', 9, 5, "M", "1  2", false, true, TFieldForm::Keyed, "xyz", Key1, "",
       "  xyz" + Key1},
      {"case alternate id", 'C', 24, 20, "L", "B 23 22", false, false, TFieldForm::Keyed, "A-1", Key1, "",
       "A-1" + std::string(17, ' ') + Key1},
      {"client name", 'C', 47, 40, "L", "A  1  0", false, false, TFieldForm::KeyedWithTail, "SMITH", Key1, Tail1,
       "SMITH" + std::string(35, ' ') + Key1 + Tail1},
      {"employee name", 'C', 44, 37, "L", "E 63 62", false, false, TFieldForm::KeyedWithTail, "JO", Key1, Tail1,
       "JO" + std::string(35, ' ') + Key1 + Tail1},
      {"unique template lookup is plain", 'C', 9, 5, "M", "1  2", true, false, TFieldForm::Plain, "abcdefg", "", "",
       "abcdefg  "},
      {"user list is plain", 'C', 8, 8, "U", "1", false, false, TFieldForm::Plain, "ANN", "", "", "ANN     "},
      {"lookup memo is plain", 'C', 80, 80, "M", "1  2", false, false, TFieldForm::Plain, "m", "", "",
       "m" + std::string(79, ' ')},
  };
  for (const TFormCase& c : cases) {
    SCOPED_TRACE(c.Label);
    t = TTemplateTableBuilder();
    t.Add("Before", 'C', 2);
    TFld& f = t.Add("Field", c.Type, c.Width);
    f.KeyWidth = c.KeyWidth;
    f.IsLookup = *c.Kind != 0;
    f.LkpKind = c.Kind;
    f.LkpSpec = c.Spec;
    f.LkpKeyUnique = c.KeyUnique;
    f.RightJustify = c.Right;
    t.Add("After", 'C', 2);
    EXPECT_EQ(FieldFormOf(f), c.Form);

    std::string text(size_t(Store.RecLen - 4) + RecordStampLength, '.');
    PutFieldValue(text, f, c.Value, c.Key, c.Tail);
    PutStamp(text, FixtureStamp);
    const std::string expected = std::string(2, '.') + c.Stored + std::string(2, '.') + FixtureStamp;
    EXPECT_EQ(text, expected);

    const std::string rec = std::string("\x05\0\0\0", 4) + text;
    EXPECT_EQ(FieldKeyOf(rec, f), c.Key);
    EXPECT_EQ(FieldTailOf(rec, f), c.Tail);
    EXPECT_EQ(RecordStampOf(rec), FixtureStamp);
    EXPECT_EQ(std::string(FieldTextOf(rec, f)) + c.Key + c.Tail, c.Stored);
  }
}

TEST_F(RecordCodecTest, ValuesThatDoNotFitAreRefusedByNameAndTheTextStaysAsItWas) {
  t.Add("Code", 'C', 4);
  t.Add("Opened", 'D', 8);
  t.Add("Done", 'B', 1);
  TFld& client = t.Add("Client", 'C', 9);
  client.KeyWidth = 5;
  client.IsLookup = true;
  client.LkpKind = "M";
  TFld& odd = t.Add("Odd", 'C', 9);
  odd.KeyWidth = 6;
  odd.IsLookup = true;
  odd.LkpKind = "M";
  std::string text(size_t(Store.RecLen - 4) + RecordStampLength, ' ');
  const std::string before = text;
  struct Case {
    int slot;
    std::string value, key, message;
  };
  const Case cases[] = {
      {1, "ABCDE", "", "The field Code takes at most 4 characters, not 5."},
      {2, "12/31/2026", "", "The field Opened takes a date as YYYYMMDD, not 12/31/2026."},
      {3, "y", "", "The field Done takes Y or N, not y."},
      {4, "abcdef", Key1, "The field Client takes at most 5 characters, not 6."},
      {4, "abc", "12", "The field Client keeps 4 key bytes."},
      {5, "abc", Key1, "The field Odd is 9 wide, yet its lookup stores 10."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ExpectMessage<ERecordCodec>([&] { PutFieldValue(text, Store.FldTable[c.slot], c.value, c.key); }, c.message);
    EXPECT_EQ(text, before);
  }
  // A record too short for a field is refused, not read past.
  ExpectMessage<ERecordCodec>([&] { FieldTextOf(std::string(10, ' '), Store.FldTable[4]); },
                              "The field Client lies outside the record.");
}

TEST_F(RecordCodecTest, KeyTextsTakeTheKeyWidthPartsNotTheWholeLookupField) {
  // A lookup sort field before the last part: its key bytes lie inside the
  // record, never inside the key text.
  AddMatterFields(t, 6);
  t.Index(1, {4, 1}, true, "By client");
  std::string text(size_t(Store.RecLen - 4) + RecordStampLength, ' ');
  PutFieldValue(text, Store.FldTable[1], "A1");
  PutFieldValue(text, Store.FldTable[4], "xyz", Key1);
  const std::string rec = std::string(4, '\0') + text;
  EXPECT_EQ(IndexKeyText(rec, 1), "xyz  A1   ");
  EXPECT_EQ(IndexKeyTextOf({"xyz", "A1"}, 1), "xyz  A1   ");
  const std::vector<TKeyRange> ranges = IndexKeyRanges(1);
  ASSERT_EQ(ranges.size(), 2u);
  EXPECT_EQ((std::vector<size_t>{ranges[0].Start, ranges[0].Width, ranges[1].Start, ranges[1].Width}),
            (std::vector<size_t>{0, 5, 5, 5}));
  ExpectMessage<ERecordCodec>([] { IndexKeyTextOf({"xyz"}, 1); }, "Index 1 has 2 sort fields, not 1.");
}

using RecordCodecFilesTest = StoreFilesTest;

TEST_F(RecordCodecFilesTest, RecordsPlacedByTheCodecAreFoundByTheirKeyTexts) {
  CreateMaster();
  {
    TTemplateTableBuilder t;
    AddMatterFields(t, 6);
    t.Add("Opened", 'D', 8);
    t.Index(1, {1}, true, "By code").Index(2, {4, 2}, false, "By client").Index(3, {5, 1}, false, "By date");
  }
  ASSERT_TRUE(BuildTemplateDataFile("Matters"));
  Store.OpenTplNumber = "000";
  OpenTemplateDataFile(52);
  struct Row {
    std::string code, name, amount, client, key, opened;
  };
  const std::vector<Row> rows = {{"A1", "Smith", "12.5", "xyz", Key1, "20260101"},
                                 {"B2", "Brown", "7", "abc", std::string("\x02\0\0\0", 4), ""}};
  std::vector<std::string> texts;
  for (const Row& r : rows) {
    std::string text(size_t(TplTextLen), ' ');
    PutFieldValue(text, Store.FldTable[1], r.code);
    PutFieldValue(text, Store.FldTable[2], r.name);
    PutFieldValue(text, Store.FldTable[3], r.amount);
    PutFieldValue(text, Store.FldTable[4], r.client, r.key);
    PutFieldValue(text, Store.FldTable[5], r.opened);
    PutStamp(text, FixtureStamp);
    BtrInsertRecord(52, text);
    texts.push_back(text);
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    const Row& r = rows[k];
    const std::vector<std::pair<int, std::vector<std::string>>> finds = {
        {1, {r.code}}, {2, {r.client, r.name}}, {3, {r.opened, r.code}}};
    for (const auto& [index, values] : finds) {
      SCOPED_TRACE(r.code + " index " + std::to_string(index));
      const int keyNo = DataKeyOfIndex(52, index);
      EXPECT_EQ(keyNo, index);
      BtrSetKeyNumber(52, int8_t(keyNo));
      TDynCharArr buf(1);
      ASSERT_TRUE(BtrGetEqual(52, IndexKeyTextOf(values, index), buf, false));
      const std::string found(buf.begin(), buf.end());
      EXPECT_EQ(found.substr(4), texts[k]);
      EXPECT_EQ(IndexKeyText(found, index), IndexKeyTextOf(values, index));
      EXPECT_EQ(FieldKeyOf(found, Store.FldTable[4]), r.key);
    }
  }
  BtrCloseFile(52);
}

TEST_F(RecordCodecFilesTest, TheKeyMapFindsTheDataKeyOfEachIndex) {
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  ASSERT_TRUE(InstallEmailTemplates());
  // Client e-mail: index 1 is key 1. Matter e-mail: its only index (stored
  // as the second) loads as index 1, and the data file's key 1 is the client
  // code alone, with duplicates: the index is key 2.
  const std::pair<const char*, int> templates[] = {{"000", 1}, {"001", 2}};
  for (const auto& [number, key] : templates) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(LoadTemplateDescriptor(number));
    Store.OpenTplNumber = number;
    OpenTemplateDataFile(52);
    EXPECT_EQ(DataKeyOfIndex(52, 1), key);
    BtrCloseFile(52);
  }
  // A data file that has no such key: the message names the index.
  Store.IndexRecs.SortFld(1, 2) = 3;
  Store.IndexRecs.Names[1] = "matter suffix";
  Store.OpenTplNumber = "001";
  OpenTemplateDataFile(52);
  ExpectMessage<ERecordCodec>([] { DataKeyOfIndex(52, 1); },
                              "The data file has no key for the index matter suffix (index 1)." + ContactMsg);
  BtrCloseFile(52);
}

}  // namespace
