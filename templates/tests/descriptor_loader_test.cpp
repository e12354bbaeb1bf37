// Loading descriptors written by the store's own writer, crafted broken
// ones, and the scan for templates keyed on the same family lookups.
#include "templates/descriptor_loader.h"

#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/descriptor_listing.h"
#include "templates/store_constants.h"
#include "templates/tests/field_fixture.h"
#include "templates/tests/store_files_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string AccessFailure =
    "\r\rUnable to access description file.  You will not be able to modify your template at this time." + ContactMsg;

class RecordingDesigner : public TDesignerLink {
public:
  void ResetForm() override { Calls.push_back("reset"); }
  void SetCaption(const std::string& Caption) override { Calls.push_back("caption " + Caption); }
  void AddFieldName(const std::string& Name) override { Calls.push_back("field " + Name); }
  void SetDecimals(int Decimals) override { Calls.push_back("decimals " + std::to_string(Decimals)); }
  std::vector<std::string> Calls;
};

TIndexRecord Index(int number, const std::string& name, std::vector<int> ids, bool unique) {
  TIndexRecord index;
  index.Number = number;
  index.Name = name;
  for (size_t k = 0; k < ids.size(); ++k) index.SortFlds[int(k) + 1] = ids[k];
  index.Unique = unique;
  index.TplName = "Rich";
  return index;
}

void InIndex(TFld& f, int index, int sortPos) {
  ++f.IdxCount;
  f.IdxNo[f.IdxCount] = index;
  f.SortPos[f.IdxCount] = sortPos;
}

TFld Lookup(int seq, const std::string& name, const std::string& kind, const std::string& target,
            const std::string& spec, std::vector<int> cols) {
  TFld f = Field(seq, name, 'C', 7);
  f.IsLookup = true;
  f.LkpKind = kind;
  f.LkpTarget = target;
  f.LkpSpec = spec;
  f.Forced = true;
  for (size_t k = 0; k < cols.size(); ++k) f.DispCols[int(k) + 1] = cols[k];
  return f;
}

class DescriptorLoaderTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    SetDesignerLink(&designer);
    BlankPrimKey.clear();
    TplSaved = true;
  }
  void TearDown() override {
    SetDesignerLink(nullptr);
    StoreFilesTest::TearDown();
  }

  // Writes the descriptor of Number through the store's writer: fields at
  // positions from 5, then the index records. Leaves the table as written.
  void Write(int number, const std::vector<TFld>& fields, const std::vector<TIndexRecord>& indexes) {
    TFieldPositions offsets;
    int position = 5;
    for (size_t i = 0; i < fields.size(); ++i) {
      Store.FldTable[int(i) + 1] = fields[i];
      Store.FldTable[int(i) + 1].Offset = position;
      offsets[int(i) + 1] = position;
      position += fields[i].Width;
    }
    Store.FldCount = int(fields.size());
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(number));
    WriteFieldRecords(offsets);
    for (const TIndexRecord& index : indexes) {
      std::string text = FormatIndexRecord(index);
      WriteDscRecord(text);
    }
    BtrCloseFile(DescriptorFileNo);
  }

  // A descriptor of raw record texts; index records completed.
  void Craft(int number, const std::vector<std::string>& texts) {
    const std::string name = DescriptorFileName(TTemplateNumber(number));
    std::string msg;
    ASSERT_TRUE(BtrCreateFile(name, DscRecordLength, 3, msg, 255, true, DescriptorKeySegments)) << msg;
    BtrOpenFile(9, name, 0);
    for (const std::string& t : texts) BtrInsertRecord(9, t[0] == IndexRecordLetter ? CompleteDscText(t) : t);
    BtrCloseFile(9);
  }

  // A small good template: a client lookup keyed in index 1.
  void WriteClientTemplate(int number) {
    TFld code = Lookup(1, "Client code", "L", "", "A  0  1", {1, 5});
    InIndex(code, 1, 1);
    Write(number, {code, Field(2, "Notes", 'C', 40)}, {Index(1, "Client", {1}, true)});
  }

  void ExpectSlotsFree() {
    EXPECT_FALSE(BtrIsFileOpen(LoadedDescriptorFileNo));
    EXPECT_FALSE(BtrIsFileOpen(ScannedDescriptorFileNo));
  }

  RecordingDesigner designer;
};

// Every type and lookup kind, a range, display columns and two indexes.
std::vector<TFld> RichFields() {
  std::vector<TFld> f;
  f.push_back(Lookup(1, "Client", "L", "", "A  0  1", {1, 5, 7}));
  f.push_back(Lookup(2, "Case", "l", "", "B 22 80", {23, 80}));
  f.push_back(Field(3, "Amount", 'N', 8));
  f.back().MinVal = "0";
  f.back().MaxVal = "99.99";
  f.push_back(Field(4, "Count", 'N', 3));
  f.back().MinVal = "1";
  f.back().MaxVal = "100";
  f.push_back(Field(5, "Opened", 'D', 10));
  f.push_back(Field(6, "Stamp", 'd', 10));
  f.push_back(Field(7, "Flag", 'B', 1));
  f.push_back(Lookup(8, "Matter", "M", "MNGR004.DSC", "1  3", {3, 4}));
  f.push_back(Lookup(9, "Colour", "U", "12.lst", "1", {}));
  f.push_back(Lookup(10, "Employee", "l", "", "E  1", {63}));
  f.push_back(Lookup(11, "Client alt", "l", "", "A  0", {2}));  // not code 1 first: stays off
  f.push_back(Field(12, "Memo", 'C', 50));
  f.back().Hint = "What happened";
  f.back().Default = "nothing";
  f.back().UpperCase = true;
  f.back().Required = true;
  f.back().RightJustify = true;
  f.back().Unique = true;
  f.back().FldId = 30;
  f.back().KeyWidth = 20;
  InIndex(f[0], 1, 1);
  InIndex(f[1], 1, 2);
  InIndex(f[1], 2, 1);
  InIndex(f[11], 2, 2);
  return f;
}

TEST_F(DescriptorLoaderTest, WrittenTableComesBackButForWhatIsNotLoaded) {
  Store.TplName = "Rich";
  Write(3, RichFields(), {Index(1, "By client", {1, 2}, true), Index(2, "By case", {2, 30}, false)});
  std::vector<TFld> expected;
  for (int k = 1; k <= 12; ++k) {
    TFld f = Store.FldTable[k];  // as written: texts padded in place
    f.Name = Trim(f.Name);
    f.Hint = Trim(f.Hint);
    f.Default = Trim(f.Default);
    f.IdxCount = 0;
    f.IdxNo = {};
    f.SortPos = {};
    if (f.LkpKind == "l") f.LkpKind = "L";
    if (!f.IsLookup) {
      f.LkpTarget.clear();
      f.LkpSpec.clear();
    }
    expected.push_back(f);
  }
  expected[2].Decimals = 2;
  expected[3].Decimals = 0;
  Store.FldTable[20] = Field(20, "stale", 'C', 1);
  Store.AltLookupOn[1] = true;

  ASSERT_TRUE(LoadTemplateDescriptor("003"));
  EXPECT_EQ(Store.FldCount, 12);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(Store.FldTable[k], expected[size_t(k) - 1]) << "slot " << k;
  EXPECT_EQ(Store.FldTable[20], TFld());
  EXPECT_EQ(Store.FldTable[1].LkpSpec, "A  0  1      ");  // as stored, 13 wide
  EXPECT_EQ(Store.FldTable[8].LkpTarget, "MNGR004.DSC");
  EXPECT_EQ(Store.FldTable[9].LkpTarget, "12.lst     ");
  EXPECT_EQ(Store.FldTable[5].MaxVal, "");  // only numeric fields load a range
  // Case "l" with first column 23 and employee with 63 switch their
  // alternate lookups on; the client one has no code-1 column, so stays off.
  EXPECT_FALSE(Store.AltLookupOn[1]);
  EXPECT_TRUE(Store.AltLookupOn[2]);
  EXPECT_TRUE(Store.AltLookupOn[3]);

  EXPECT_EQ(Store.IndexRecs.Names[1], "By client");
  EXPECT_EQ(Store.IndexRecs.SortFld(2, 2), 30);
  EXPECT_EQ(Store.IndexRecs.SortFld3[1], 0);
  EXPECT_TRUE(Store.IndexUnique[1]);
  EXPECT_FALSE(Store.IndexUnique[2]);
  TPrimKey key;
  key.Pos[1] = 5;
  key.Width[1] = 7;
  key.Id[1] = 1;
  key.Pos[2] = 12;
  key.Width[2] = 7;
  key.Id[2] = 2;
  EXPECT_EQ(Store.PrimKey, key);
  EXPECT_EQ(BlankPrimKey, std::string(14, ' '));
  EXPECT_EQ(Store.RecLen, 5 + 7 * 2 + 8 + 3 + 10 + 10 + 1 + 7 * 4 + 50 - 1);
  EXPECT_FALSE(TplSaved);
  ASSERT_GE(designer.Calls.size(), 3u);
  EXPECT_EQ(designer.Calls[0], "reset");
  EXPECT_EQ(designer.Calls[1], "caption Modifying Vezadaz Template:            Rich");
  EXPECT_EQ(designer.Calls[2], "field Client");
  EXPECT_EQ(designer.Calls[5], "decimals 2");
  ExpectSlotsFree();
}

TEST_F(DescriptorLoaderTest, MissingDescriptorIsFalseWithoutAMessage) {
  EXPECT_FALSE(LoadTemplateDescriptor("007"));
  // A text that is no number names no file, even one that lies there.
  WriteClientTemplate(1);
  WriteFileBytes(TempPath("mngr.dsc"), "");
  for (const char* text : {"", "\\..\\mngr001", "00x", "999"}) EXPECT_FALSE(LoadTemplateDescriptor(text)) << text;
  EXPECT_TRUE(designer.Calls.empty());
}

TEST_F(DescriptorLoaderTest, GappedKeyLeavesNoBlankKey) {
  TFld a = Field(1, "A", 'C', 4);
  TFld c = Field(2, "C", 'C', 6);
  InIndex(a, 1, 1);
  InIndex(c, 1, 3);
  Write(5, {a, c}, {Index(1, "Key", {1, 2}, false)});
  BlankPrimKey = "old";
  ASSERT_TRUE(LoadTemplateDescriptor("005"));
  EXPECT_EQ(Store.PrimKey.Width[3], 6);
  EXPECT_EQ(BlankPrimKey, "");
}

// Each broken descriptor is reported, then a good one loads: no slot stays
// open behind a failure.
TEST_F(DescriptorLoaderTest, BrokenDescriptorsAreReportedAndLeaveNoSlotOpen) {
  auto fieldText = [](int seq, const std::string& memberships) {
    TFld f = Field(seq, "F" + std::to_string(seq), 'C', 2);
    std::string text = FormatFieldRecord(f, 5 + 2 * (seq - 1));
    text.replace(size_t(DscField::IdxNos.Column - 1), memberships.size(), memberships);
    return text;
  };
  std::vector<std::string> tooManyFields;
  for (int seq = 1; seq <= 51; ++seq) tooManyFields.push_back(fieldText(seq, ""));
  std::vector<std::string> tooManyIndexes{fieldText(1, "1    1")};
  for (int k = 1; k <= 6; ++k) tooManyIndexes.push_back(FormatIndexRecord(Index(1, "I", {1}, false)).replace(1, 1, std::to_string(k)));
  // Six index records need six key-1 tags; the sixth is "K6".
  std::string badWidth = fieldText(1, "");
  badWidth.replace(size_t(DscField::Width.Column - 1), 3, " x1");
  TFld far = Field(1, "Far", 'C', 2);
  far.FldId = 60;
  InIndex(far, 1, 1);

  struct Case {
    const char* what;
    std::vector<std::string> texts;
    std::string message;
  };
  const std::vector<Case> cases{
      {"51 fields", tooManyFields, "The description file holds more than 50 field records."},
      {"6 indexes", tooManyIndexes, "IndexRecs.Names[6] is outside 1..5."},
      {"sort position 4", {fieldText(1, "1    4")}, "PrimKey.Pos[4] is outside 1..3."},
      {"sort position 0", {fieldText(1, "1    0")}, "PrimKey.Pos[0] is outside 1..3."},
      {"key id outside the table", {FormatFieldRecord(far, 5)}, "FldTable[60] is outside 1..54."},
      {"width no number", {badWidth}, "Descriptor record: Width \" x1\" at positions 33-35 is not a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFile(DescriptorFileName(TTemplateNumber(6)));
    Craft(6, c.texts);
    {
      DialogResponder dialogs;
      dialogs.Expect("Error:  " + c.message + AccessFailure);
      EXPECT_FALSE(LoadTemplateDescriptor("006"));
    }
    ExpectSlotsFree();
    WriteClientTemplate(8);
    EXPECT_TRUE(LoadTemplateDescriptor("008"));
    EXPECT_EQ(Store.FldTable[2].Name, "Notes");
    DeleteFile(DescriptorFileName(TTemplateNumber(8)));
  }
}

// A key field stored with a negative width once made the blank key's
// length negative, and the standard library's exception escaped the load.
TEST_F(DescriptorLoaderTest, AKeyFieldOfNegativeWidthIsADamagedDescriptorAndLeavesTheFileFree) {
  TFld key = Field(1, "Code", 'C', 7);
  InIndex(key, 1, 1);
  std::string text = FormatFieldRecord(key, 5);
  text.replace(size_t(DscField::Width.Column - 1), 3, "-99");
  Craft(6, {text, FormatIndexRecord(Index(1, "Key", {1}, true))});
  {
    DialogResponder dialogs;
    dialogs.Expect("Error:  Descriptor record: Width -99 at positions 33-35 is outside 1..999." + AccessFailure);
    EXPECT_FALSE(LoadTemplateDescriptor("006"));
  }
  ExpectSlotsFree();
  PipedProcess peer(LAYER_PEER_PATH);
  EXPECT_EQ(peer.Ask("open 2 0 " + DescriptorFileName(TTemplateNumber(6))), "ok");
  EXPECT_EQ(peer.Ask("insert 2 " + FormatFieldRecord(Field(2, "Other", 'C', 3), 12)), "ok");
  peer.End();
}

TEST_F(DescriptorLoaderTest, FieldsOutsideWhatTheTableAllowsAreDamagedDescriptors) {
  auto with = [](int width, int keyWidth, int offset, const std::string& maxVal) {
    TFld f = Field(1, "F", 'N', 3);
    f.KeyWidth = 3;
    f.MaxVal = maxVal;
    std::string text = FormatFieldRecord(f, offset);
    text.replace(size_t(DscField::Width.Column - 1), 3, Format("%3d", width));
    text.replace(size_t(DscField::KeyWidth.Column - 1), 3, Format("%3d", keyWidth));
    return text;
  };
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases{
      {"width 0", with(0, 0, 5, "9"), "Descriptor record: Width 0 at positions 33-35 is outside 1..999."},
      {"key width -1", with(3, -1, 5, "9"), "Descriptor record: KeyWidth -1 at positions 356-358 is outside 0..3."},
      {"key width beyond the width", with(3, 4, 5, "9"),
       "Descriptor record: KeyWidth 4 at positions 356-358 is outside 0..3."},
      {"position 4", with(3, 3, 4, "9"), "Descriptor record: Offset 4 at positions 37-40 is outside 5..9999."},
      {"beyond the data record", with(999, 3, 2000, "9"),
       "Field \"F\": at 2000, 999 wide, it ends beyond position 2992 of the data record."},
      {"three decimals", with(3, 3, 5, "9.999"), "Field \"F\": MaxVal \"9.999\" has 3 decimals; a numeric field has 0 to 2."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFile(DescriptorFileName(TTemplateNumber(6)));
    Craft(6, {c.text});
    DialogResponder dialogs;
    dialogs.Expect("Error:  " + c.message + AccessFailure);
    EXPECT_FALSE(LoadTemplateDescriptor("006"));
    ExpectSlotsFree();
  }
}

TEST_F(DescriptorLoaderTest, UnopenableDescriptorIsReportedAndTheLockTextRestored) {
  WriteFileBytes(TempPath("MNGR004.DSC"), "not a record file");
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  EXPECT_FALSE(LoadTemplateDescriptor("004"));
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  const std::string tail = "\r\rUnable to open description file.  You will not be able to modify your template at "
                           "this time." + ContactMsg;
  EXPECT_EQ(dialogs.Boxes()[0].text.rfind("Error:  ", 0), 0u);
  EXPECT_EQ(dialogs.Boxes()[0].text.substr(dialogs.Boxes()[0].text.size() - tail.size()), tail);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
  ExpectSlotsFree();
}

TEST_F(DescriptorLoaderTest, IndexFieldCodesStopAtTheFirstNonFamilyLookup) {
  struct Case {
    std::vector<std::string> specs;  // LkpSpec of the sort fields 1..3
    std::string code;
  };
  const std::vector<Case> cases{
      {{"A  0  1", "B 22", "E 63"}, "ABE"},
      {{"B 22"}, "B"},
      {{"A", "", "E"}, "A"},
      {{"1  3", "A"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    ClearFieldTables();
    for (size_t k = 0; k < c.specs.size(); ++k) {
      const int id = int(k) + 10;  // slot = id
      Store.FldTable[id].LkpSpec = c.specs[k];
      Store.PrimKey.Id[int(k) + 1] = id;
    }
    std::string code = "old";
    IndexFieldCodes(code);
    EXPECT_EQ(code, c.code);
  }
}

TEST_F(DescriptorLoaderTest, MatchingIndexesListTemplatesKeyedOnTheSameLookups) {
  WriteClientTemplate(0);
  // Keyed on case then client: its pattern "BA" matches code "A" nowhere.
  TFld caseFld = Lookup(1, "Case", "L", "", "B 22 80", {80});
  TFld client = Lookup(2, "Client", "l", "", "A  0  1", {1});
  InIndex(caseFld, 1, 1);
  InIndex(client, 1, 2);
  Write(1, {caseFld, client}, {Index(1, "Case", {1, 2}, true)});
  WriteClientTemplate(2);  // in the folder, not in the master list
  WriteClientTemplate(5);
  Store.TemplateList[1] = FormatMasterText("Clients", TTemplateNumber(0));
  Store.TemplateList[2] = FormatMasterText("Cases", TTemplateNumber(1));
  Store.TemplateList[3] = FormatMasterText("More clients", TTemplateNumber(5));
  Store.ClientTpls[7] = "stale";

  ASSERT_TRUE(LoadTemplateDescriptor("000"));
  EXPECT_EQ(Store.ClientTpls[1], Format("%-30s", "Clients"));
  EXPECT_EQ(Store.ClientTpls[2], "");
  EXPECT_EQ(Store.ClientTpls[3], Format("%-30s", "More clients"));
  EXPECT_EQ(Store.ClientTpls[4], "");
  EXPECT_EQ(Store.ClientTpls[7], "");
  EXPECT_EQ(Store.CaseTpls[1], "");

  CheckMatchingIndexes("BA");
  EXPECT_EQ(Store.CaseTpls[1], Format("%-30s", "Cases"));
  EXPECT_EQ(Store.ClientTpls[1], Format("%-30s", "Cases"));
  EXPECT_EQ(Store.ClientTpls[2], "");
  ExpectSlotsFree();
}

TEST_F(DescriptorLoaderTest, BrokenDescriptorEndsTheMatchingCheckWithItsMessage) {
  WriteClientTemplate(0);
  TFld bad = Lookup(1, "Client", "L", "", "A", {1});
  std::string text = FormatFieldRecord(bad, 5);
  text.replace(size_t(DscField::IdxNos.Column - 1), 6, "1    7");
  Craft(1, {text});
  WriteClientTemplate(2);
  Store.TemplateList[1] = FormatMasterText("Clients", TTemplateNumber(0));
  {
    DialogResponder dialogs;
    dialogs.Expect(
        "The following error occurred while checking \rfor a matching index.\r\rError:  The description file "
        "MNGR001.DSC names sort position \"7\"; index 1 has 1 to 3.");
    EXPECT_TRUE(LoadTemplateDescriptor("000"));
  }
  EXPECT_EQ(Store.ClientTpls[1], Format("%-30s", "Clients"));
  EXPECT_EQ(Store.ClientTpls[2], "");  // the check ended before MNGR002.DSC
  ExpectSlotsFree();
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
  DeleteFile(DescriptorFileName(TTemplateNumber(1)));
  ASSERT_TRUE(LoadTemplateDescriptor("002"));
  EXPECT_EQ(Store.ClientTpls[1], Format("%-30s", "Clients"));
  EXPECT_EQ(Store.ClientTpls[2], "");  // 002 is not in the list
}

TEST_F(DescriptorLoaderTest, TemplatesExistAndTheListingSeeDescriptorsOnly) {
  EXPECT_FALSE(TemplatesExist());
  ASSERT_TRUE(CreateDir(TempPath("MNGR009.DSC")));
  WriteFileBytes(TempPath("MGRDT003.QMD"), "x");
  WriteFileBytes(TempPath("MNGR0001.DSC"), "x");
  EXPECT_FALSE(TemplatesExist());
  WriteFileBytes(TempPath("mngrold.dsc"), "x");
  EXPECT_TRUE(TemplatesExist());
  WriteFileBytes(TempPath("Mngr012.Dsc"), "x");
  WriteFileBytes(TempPath("MNGR999.DSC"), "x");
  const std::vector<TDescriptorEntry> files = DescriptorFiles(Store.DataDir);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].Name, "Mngr012.Dsc");
  EXPECT_TRUE(files[0].HasNumber);
  EXPECT_EQ(files[0].Number.Value(), 12);
  EXPECT_EQ(files[1].Name, "MNGR999.DSC");
  EXPECT_FALSE(files[1].HasNumber);
  EXPECT_EQ(files[2].Name, "mngrold.dsc");
  EXPECT_FALSE(files[2].HasNumber);
}

}  // namespace
