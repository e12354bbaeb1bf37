// The descriptor writer on real files in a temporary data folder.
#include "templates/descriptor_file.h"

#include "btrieve/status_text.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/store_constants.h"
#include "templates/tests/field_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

class DescriptorFileTest : public StoreFilesTest {
protected:
  // The table in use: fields in slots 1.., positions handed out from 5.
  void SetTable(const std::vector<TFld>& fields) {
    int position = 5;
    for (size_t i = 0; i < fields.size(); ++i) {
      const int slot = int(i) + 1;
      Store.FldTable[slot] = fields[i];
      if (TFieldPositions::InRange(slot)) Offsets[slot] = position;
      position += fields[i].Width;
    }
    Store.FldCount = int(fields.size());
  }

  // A descriptor with these record texts, closed again.
  static void MakeDescriptor(const std::string& name, const std::vector<std::string>& texts) {
    std::string msg;
    ASSERT_TRUE(BtrCreateFile(name, DscRecordLength, 3, msg, 255, true, DescriptorKeySegments)) << msg;
    BtrOpenFile(9, name, 0);
    for (const std::string& t : texts) BtrInsertRecord(9, CompleteDscText(t));
    BtrCloseFile(9);
  }

  // Creates the descriptor of Number as file 2, expecting no message.
  bool Create(int number) {
    return CreateDescriptionFile(FileName, InTrans, TTemplateNumber(number));
  }

  TFieldPositions Offsets;
  std::string FileName;
  bool InTrans = false;
};

// Twelve fields of every type, two of them lookups, three in indexes.
std::vector<TFld> TwelveFields() {
  std::vector<TFld> fields;
  for (int seq = 1; seq <= 12; ++seq) {
    fields.push_back(Field(seq, "Field " + std::to_string(seq), 'C', seq));
    fields.back().FldId = 13 - seq;
  }
  fields[1].FldType = 'N';
  fields[1].MinVal = "1";
  fields[1].MaxVal = "99";
  fields[2].FldType = 'D';
  fields[3].FldType = 'd';
  fields[4].FldType = 'B';
  fields[5].IsLookup = true;
  fields[5].LkpKind = "M";
  fields[5].LkpTarget = "MNGR007.DSC";
  fields[5].LkpSpec = "1  3";
  fields[5].DispCols[1] = 3;
  fields[6].IsLookup = true;
  fields[6].LkpKind = "U";
  fields[6].LkpTarget = "12.lst";
  fields[6].LkpSpec = "1";
  fields[8].Name = "R\xE9sum\xE9";
  fields[8].Hint = "Type the r\xE9sum\xE9";
  fields[8].Default = "none";
  for (int i : {0, 9}) {
    fields[size_t(i)].IdxCount = 1;
    fields[size_t(i)].IdxNo[1] = 1;
    fields[size_t(i)].SortPos[1] = i == 0 ? 1 : 2;
  }
  return fields;
}

TIndexRecord Index(int number, const std::string& name, int firstId) {
  TIndexRecord index;
  index.Number = number;
  index.Name = name;
  index.SortFlds[1] = firstId;
  index.TplName = "Matters";
  return index;
}

TEST_F(DescriptorFileTest, RecordsFollowKeyOneWithTheIndexRecordsLast) {
  SetTable(TwelveFields());
  EXPECT_FALSE(Create(3));
  EXPECT_EQ(FileName, Store.DataDir + "\\MNGR003.DSC");
  // Physically first, yet after every field in key-1 order.
  std::string k2 = FormatIndexRecord(Index(2, "By name", 4));
  WriteDscRecord(k2);
  WriteFieldRecords(Offsets);
  std::string k1 = FormatIndexRecord(Index(1, "By code", 12));
  WriteDscRecord(k1);

  std::vector<std::string> expected;
  for (int slot = 1; slot <= 12; ++slot) expected.push_back(FormatFieldRecord(Store.FldTable[slot], Offsets[slot]));
  expected.push_back(k1);
  expected.push_back(k2);
  std::vector<std::string> tags, texts;
  for (const std::string& r : Records(DescriptorFileNo, 1)) {
    ASSERT_EQ(r.size(), size_t(DscRecordLength));
    EXPECT_NE(r.substr(0, 4), std::string(4, '\0'));  // numbered by the engine
    tags.push_back(RecordRange(r, DscField::SeqNo));
    texts.push_back(r.substr(4));
  }
  EXPECT_EQ(tags, (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10", "11", "12",
                                            "K1", "K2"}));
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(RecordRange(Records(DescriptorFileNo, 2).front(), DscField::FldId), " 1");

  TDynCharArr rec;
  ASSERT_TRUE(ReadNameRecord(DescriptorFileNo, rec));
  EXPECT_EQ(ParseIndexRecord(std::string(rec.begin(), rec.end())).TplName, "Matters");
}

TEST_F(DescriptorFileTest, TheNameRecordIsFoundByItsKeyTwoTag) {
  TIndexRecord builtIn = Index(2, "Client", 1);
  builtIn.Key2Tag = std::string(NameRecordKey);
  TIndexRecord first = Index(1, "Client", 1);
  first.Key2Tag = "K9";
  const std::string withTag = Store.DataDir + "\\TAGGED.DSC";
  const std::string without = Store.DataDir + "\\PLAIN.DSC";
  std::string msg;
  for (const std::string& name : {withTag, without})
    ASSERT_TRUE(BtrCreateFile(name, DscRecordLength, 3, msg, 255, true, DescriptorKeySegments)) << msg;
  BtrOpenFile(3, withTag, 0);
  BtrInsertRecord(3, FormatIndexRecord(builtIn));
  BtrOpenFile(4, without, 0);
  BtrInsertRecord(4, FormatIndexRecord(first));

  TDynCharArr rec;
  ASSERT_TRUE(ReadNameRecord(3, rec));
  EXPECT_EQ(RecordRange(std::string(rec.begin(), rec.end()), DscIndex::Tag), "K2");
  EXPECT_FALSE(ReadNameRecord(4, rec));
}

TEST_F(DescriptorFileTest, WritingTheSameTableTwiceGivesTheSameRecords) {
  SetTable(TwelveFields());
  Create(1);
  WriteFieldRecords(Offsets);
  BtrCloseFile(DescriptorFileNo);
  const TFieldTable once = Store.FldTable;
  for (int slot = 1; slot <= 12; ++slot) {
    const TFld& f = once[slot];
    EXPECT_EQ(f.Name.size(), 26u);
    EXPECT_EQ(f.LkpTarget.size(), 11u);
    EXPECT_EQ(f.LkpSpec.size(), 13u);
    EXPECT_EQ(f.Hint.size(), 50u);
    EXPECT_EQ(f.Default.size(), 50u);
  }
  EXPECT_EQ(once[9].Name, "R\xE9sum\xE9" + std::string(20, ' '));

  Create(2);
  WriteFieldRecords(Offsets);
  BtrCloseFile(DescriptorFileNo);
  EXPECT_EQ(Store.FldTable, once);
  EXPECT_EQ(TextsOfFile(Store.DataDir + "\\MNGR001.DSC"), TextsOfFile(Store.DataDir + "\\MNGR002.DSC"));
}

TEST_F(DescriptorFileTest, ANumericFieldWithoutARangeShowsItsDecimalsInMaxVal) {
  struct Case {
    char type;
    int decimals;
    const char* minVal;
    const char* maxVal;
    const char* written;
  };
  const Case cases[] = {
      {'N', 0, "", "500", "0"},     {'N', 1, "   ", "", "0.0"},     {'N', 2, "", "99.99", "0.00"},
      {'N', 2, "1", "50", "50"},    {'N', 1, "-5", "", ""},        {'C', 2, "", "abc", "abc"},
      {'D', 0, "", "", ""},
  };
  std::vector<TFld> fields;
  for (const Case& c : cases) {
    TFld f = Field(int(fields.size()) + 1, "F", c.type, 10);
    f.Decimals = c.decimals;
    f.MinVal = c.minVal;
    f.MaxVal = c.maxVal;
    fields.push_back(f);
  }
  SetTable(fields);
  Create(4);
  WriteFieldRecords(Offsets);
  const std::vector<std::string> records = Records(DescriptorFileNo, 1);
  ASSERT_EQ(records.size(), std::size(cases));
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Store.FldTable[int(i) + 1].MaxVal, cases[i].written);
    EXPECT_EQ(ParseFieldRecord(records[i]).MaxVal, cases[i].written);
  }
}

TEST_F(DescriptorFileTest, ARefusedValueLeavesTheTableAndTheFileUntouched) {
  std::vector<TFld> fields = TwelveFields();
  Create(5);

  struct Case {
    const char* label;
    std::function<void(std::vector<TFld>&)> spoil;
    std::string message;
  };
  TFld extra = Field(51, "Extra", 'C', 1);
  const std::vector<Case> cases = {
      {"name over 26", [](auto& f) { f[11].Name = std::string(27, 'n'); },
       "Field \"" + std::string(27, 'n') + "\": Name \"" + std::string(27, 'n') + "\" is longer than 26 characters."},
      {"hint over 50", [](auto& f) { f[3].Hint = std::string(51, 'h'); },
       "Field \"Field 4\": Hint \"" + std::string(51, 'h') + "\" is longer than 50 characters."},
      {"range over 12", [](auto& f) { f[1].MinVal = "-123456789012"; },
       "Field \"Field 2\": MinVal \"-123456789012\" is longer than 12 characters."},
      {"display column over 999", [](auto& f) { f[5].DispCols[2] = 1000; },
       "Field \"Field 6\": DispCols \"1000\" is longer than 3 characters."},
      {"three decimals",
       [](auto& f) {
         f[1].MinVal.clear();
         f[1].Decimals = 3;
       },
       "Field \"Field 2\": 3 decimals; a numeric field has 0 to 2."},
      {"a 51st field",
       [&](auto& f) {
         f.resize(50, f[0]);
         f.push_back(extra);
       },
       "field positions[51] is outside 1..50."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<TFld> spoilt = fields;
    c.spoil(spoilt);
    SetTable(spoilt);
    const TFieldTable before = Store.FldTable;
    try {
      WriteFieldRecords(Offsets);
      ADD_FAILURE() << "written";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message, c.message);
    }
    EXPECT_EQ(Store.FldTable, before);
    EXPECT_EQ(BtrRecordCount(DescriptorFileNo), 0);
  }

  std::string tooLong(509, 'x');
  ExpectMessage<EDescriptorError>([&] { WriteDscRecord(tooLong); },
                                  "A descriptor record text of 509 characters is longer than 508.");
  EXPECT_EQ(tooLong, std::string(509, 'x'));
  EXPECT_EQ(BtrRecordCount(DescriptorFileNo), 0);
}

TEST_F(DescriptorFileTest, ADuplicateFieldIdIsRefusedByKeyTwo) {
  std::vector<TFld> fields = TwelveFields();
  fields[7].FldId = fields[2].FldId;
  SetTable(fields);
  Create(6);
  ExpectBtrAbort([&] { WriteFieldRecords(Offsets); }, "This record could not be written.\r" + BtrStatusTail(5), 5);
  EXPECT_EQ(BtrRecordCount(DescriptorFileNo), 7);
}

TEST_F(DescriptorFileTest, ModifyingMovesTheOldDescriptorAside) {
  const std::string name = Store.DataDir + "\\MNGR007.DSC";
  MakeDescriptor(name, {" 1old field", "K1old index"});
  const std::vector<std::string> old = TextsOfFile(name);

  Store.Modifying = true;
  EXPECT_TRUE(Create(7));
  EXPECT_EQ(FileName, name);
  EXPECT_TRUE(BtrIsFileOpen(DescriptorFileNo));
  EXPECT_EQ(BtrRecordCount(DescriptorFileNo), 0);
  EXPECT_EQ(TextsOfFile(Store.DataDir + "\\MNGR007.DSX"), old);
  BtrCloseFile(DescriptorFileNo);

  // A modified template whose descriptor is missing just gets a new one.
  EXPECT_FALSE(Create(8));
  EXPECT_FALSE(FileExists(Store.DataDir + "\\MNGR008.DSX"));
}

TEST_F(DescriptorFileTest, AnExistingBackupStopsTheSaveAndRollsBack) {
  const std::string name = Store.DataDir + "\\MNGR007.DSC";
  const std::string backup = Store.DataDir + "\\MNGR007.DSX";
  MakeDescriptor(name, {" 1current"});
  MakeDescriptor(backup, {" 1only copy of something"});
  const std::vector<std::string> current = TextsOfFile(name), kept = TextsOfFile(backup);
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrBeginTransaction();
  InTrans = true;
  InsertMasterRecord("7", "Being saved");

  Store.Modifying = true;
  DialogResponder boxes;
  boxes.Expect("Unable to rename old description file " + name + "\rto " + backup + "." +
                   "\r\rPlease contact Ondral, Inc. for assistance.",
               mrOk);
  ExpectMessage<EAbort>([&] { Create(7); }, "");
  EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
  EXPECT_FALSE(InTrans);
  EXPECT_EQ(BtrRecordCount(MasterFileNo), 0);  // rolled back
  EXPECT_FALSE(BtrIsFileOpen(DescriptorFileNo));
  EXPECT_EQ(TextsOfFile(name), current);
  EXPECT_EQ(TextsOfFile(backup), kept);
}

TEST_F(DescriptorFileTest, ANewTemplateNeverReplacesADescriptor) {
  const std::string name = Store.DataDir + "\\MNGR009.DSC";
  MakeDescriptor(name, {" 1someone else's"});
  const std::vector<std::string> before = TextsOfFile(name);
  DialogResponder boxes;
  boxes.Expect("Unable to create new description file " + name + ":\rA file with this name already exists" + ContactMsg,
               mrOk);
  ExpectMessage<EAbort>([&] { Create(9); }, "");
  EXPECT_EQ(TextsOfFile(name), before);
}

TEST_F(DescriptorFileTest, AFailedCreateAfterTheMovePutsTheOldDescriptorBack) {
  const std::string shortDir = Store.DataDir;
  MakeDescriptor(shortDir + "\\MNGR010.DSC", {" 1old"});
  ResetBtrLayer();
  // A folder whose names no longer fit the engine's key buffer.
  const std::string longDir = Temp / std::string(240, 'd');
  ASSERT_TRUE(CreateDir(longDir));
  for (const FileEntry& e : FindFiles(shortDir + "\\MNGR010.*"))
    std::filesystem::rename(Temp / e.Name, longDir + "/" + e.Name);
  Store.DataDir = longDir;
  Store.Modifying = true;
  const std::string name = longDir + "\\MNGR010.DSC";
  DialogResponder boxes;
  boxes.Expect("Unable to create new description file " + name + ":\r" + BtrieveStatusText(11) + ContactMsg, mrOk);
  ExpectMessage<EAbort>([&] { Create(10); }, "");
  EXPECT_TRUE(FileExists(name));
  EXPECT_FALSE(FileExists(longDir + "\\MNGR010.DSX"));
  // The check of the folder reads no name this long: the descriptor put back
  // goes where it can be read.
  ResetBtrLayer();
  for (const FileEntry& e : FindFiles(longDir + "\\MNGR010.*"))
    std::filesystem::rename(longDir + "/" + e.Name, Temp / e.Name);
}

TEST_F(DescriptorFileTest, AFailedOpenRemovesTheNewFileAndPutsTheOldOneBack) {
  const std::string name = Store.DataDir + "\\MNGR011.DSC";
  MakeDescriptor(name, {" 1old", " 2older"});
  const std::vector<std::string> old = TextsOfFile(name);
  MakeDescriptor(Store.DataDir + "\\OTHER.DSC", {});
  BtrOpenFile(DescriptorFileNo, Store.DataDir + "\\OTHER.DSC", 0);
  Store.Modifying = true;
  ExpectBtrAbort([&] { Create(11); }, "File already opened as number 2:\r" + Store.DataDir + "\\OTHER.DSC", 0);
  EXPECT_EQ(TextsOfFile(name), old);
  EXPECT_FALSE(FileExists(Store.DataDir + "\\MNGR011.DSX"));
}

}  // namespace
