// Saving templates on real files: new templates, modifications with and
// without records, restructures, and failures that must leave the old
// files as they were.
#include "templates/template_build.h"

#include "btrieve/numbered_files.h"
#include "platform/fault_point.h"
#include "platform/files.h"
#include "templates/data_transfer.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/save_layout.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "testing/box_recorder.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string KeyBytes1("\0\x01 \x07", 4);
const std::string KeyBytes2("\x1f\0\0\x02", 4);

// Every file a save can touch, as bytes and records.
struct TFolderState {
  std::vector<std::string> Names;
  std::vector<std::string> Master;
  std::vector<std::string> Descriptor;
  std::vector<std::string> Data;
  bool operator==(const TFolderState&) const = default;
};

// The writer's refusal of a hint too long for its column.
std::string HintTooLong(int slot, int offset) {
  try {
    FormatFieldRecord(Store.FldTable[slot], offset);
  } catch (const EDescriptorError& e) {
    return e.Message;
  }
  return "no failure";
}

class TemplateBuildTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    CreateMaster();
  }

  // The folder's files, lock files aside.
  std::vector<std::string> Folder() const {
    std::vector<std::string> names;
    for (const FileEntry& e : FindFiles(Store.DataDir + "\\*.*")) {
      if (!e.Name.ends_with(".lck")) names.push_back(e.Name);
    }
    return names;
  }

  static std::vector<std::string> MasterTexts() {
    BtrOpenFile(9, MasterFileName(), 0);
    std::vector<std::string> texts;
    for (const std::string& r : Records(9, 2)) texts.push_back(r.substr(4));
    BtrCloseFile(9);
    return texts;
  }

  static std::string Dsc(int n) { return DescriptorFileName(TTemplateNumber(n)); }
  static std::string Data(int n) { return DataFileName(TTemplateNumber(n)); }

  TFolderState State(int n) const {
    TFolderState s{Folder(), MasterTexts(), {}, {}};
    if (FileExists(Dsc(n))) s.Descriptor = ReadRecords(Dsc(n));
    if (FileExists(Data(n))) s.Data = ReadRecords(Data(n));
    return s;
  }

  static uint16_t RecordLength(const std::string& name) {
    BtrOpenFile(9, name, 0);
    const uint16_t length = BtrRecordLength(9);
    BtrCloseFile(9);
    return length;
  }

  // The descriptor texts the table in use must have been written as.
  static std::vector<std::string> ExpectedDescriptor(const std::string& name) {
    std::vector<std::string> texts;
    for (int k = 1; k <= Store.FldCount; ++k) {
      TFld f = Store.FldTable[k];
      texts.push_back(FormatFieldRecord(f, f.Offset));
    }
    for (int i = 1; i <= MaxIndexes && Store.IndexRecs.SortFld(i, 1) != 0; ++i) {
      TIndexRecord index;
      index.Number = i;
      index.Name = Store.IndexNamesToWrite[i];
      for (int s = 1; s <= MaxSortFields; ++s) index.SortFlds[s] = Store.IndexRecs.SortFld(i, s);
      index.Unique = Store.IndexUnique[i];
      index.TplName = name;
      texts.push_back(FormatIndexRecord(index));
    }
    return texts;
  }

  // The matter table: a unique code, a name, an amount, a template lookup
  // whose key bytes lie behind its text.
  static void MatterTable() {
    TTemplateTableBuilder t;
    AddMatterFields(t, 6);
    t.Index(1, {1}, true, "By code").Index(2, {4, 2}, false, "By client");
  }

  // Values of the seeded records by prefix, and their stamps.
  std::map<uint32_t, TFieldValues> Values{
      {5, {{1, "A1"}, {2, "Smith"}, {3, "  12.5"}, {4, std::string("ab   ") + KeyBytes1}}},
      {20, {{1, "C3"}}},
      {21, {{1, "D4"}, {2, "Brown"}, {3, "  1234"}, {4, std::string("xyz  ") + KeyBytes2}}}};
  std::map<uint32_t, std::string> Stamps{{5, "20260101"}, {20, "20260202"}, {21, "20260303"}};

  // Template 0, "Matters", with records 5, 20 and 21 (9 was deleted), then
  // loaded for modification as the designer has it: file 1 on its master
  // record.
  void SeedMatters(bool withRecords = true) {
    MatterTable();
    ASSERT_TRUE(BuildTemplateDataFile("Matters"));
    if (withRecords) {
      std::vector<std::string> records;
      for (const auto& [prefix, values] : Values) records.push_back(WithPrefix(prefix, FillRecord(values, Stamps[prefix])));
      records.push_back(WithPrefix(9, FillRecord({{1, "B2"}})));
      InsertRecords(Data(0), records);
      BtrOpenFile(9, Data(0), 0);
      TDynCharArr rec(1);
      ASSERT_TRUE(BtrGetEqual(9, WithPrefix(9, "").substr(0, 4), rec, false));
      BtrDeleteRecord(9);
      BtrCloseFile(9);
    }
    LoadForModification(0, withRecords);
  }

  // The save of template 0 finds its data file locked elsewhere: the
  // question at the open is declined, the failure shown, and it aborts.
  static void ExpectSaveRefusedAsLocked() {
    LockRetryMs = 20;
    DialogResponder boxes;
    boxes.Expect("File:  " + Data(0) + "\r\r" + ModifyFileLockMsg, mrNo)
        .Expect("The file " + Data(0) + " could not be opened.\r\r" + BtrStatusTail(85) + ".");
    ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
  }

  // The records the data file must hold after the save, built by the table
  // in use from the values.
  std::vector<std::string> ExpectedData(const std::map<uint32_t, TFieldValues>& values) {
    std::vector<std::string> records;
    for (const auto& [prefix, v] : values) records.push_back(WithPrefix(prefix, FillRecord(v, Stamps[prefix])));
    return records;
  }

  // A successful modification's files: exactly the three, the master
  // record, the descriptor of the table, the records found by their
  // prefixes.
  void ExpectSaved(const std::map<uint32_t, TFieldValues>& values) {
    EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT000.QMD", "MNGR000.DSC"}));
    EXPECT_EQ(MasterTexts(), std::vector<std::string>{FormatMasterText("Matters", TTemplateNumber(0))});
    EXPECT_EQ(TextsOfFile(Dsc(0)), ExpectedDescriptor("Matters"));
    EXPECT_EQ(RecordLength(Data(0)), Store.RecLen + 8);
    const std::vector<std::string> expected = ExpectedData(values);
    EXPECT_EQ(ReadRecords(Data(0)), expected);
    BtrOpenFile(9, Data(0), 0);
    BtrSetKeyNumber(9, 0);
    for (const std::string& r : expected) {
      TDynCharArr rec(1);
      EXPECT_TRUE(BtrGetEqual(9, r.substr(0, 4), rec, false));
      EXPECT_EQ(std::string(rec.begin(), rec.end()), r);
    }
    BtrCloseFile(9);
  }
};

TEST_F(TemplateBuildTest, NewTemplateTakesTheFirstFreeNumberAndMakesItsFiles) {
  MatterTable();
  DialogResponder boxes;
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT000.QMD", "MNGR000.DSC"}));
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{"Matters                         0"});
  EXPECT_EQ(TextsOfFile(Dsc(0)), ExpectedDescriptor("Matters"));
  const ProgramRun stat = RunMdbtr({"stat", ResolvePath(Data(0))});
  EXPECT_EQ(stat.Out,
            "record length: 42\npage size: 4096\nrecords: 0\nkeys: 3\n"
            "key 0: length 4, unique\n  at 1, length 4, autoincrement\n"
            "key 1: length 5, unique, modifiable\n  at 5, length 5, string\n"
            "key 2: length 15, duplicates, modifiable\n  at 26, length 5, string\n  at 10, length 10, string\n");
  for (int n = 0; n < 4; ++n) EXPECT_FALSE(BtrIsFileOpen(uint8_t(n == 3 ? 56 : n)));
}

TEST_F(TemplateBuildTest, NewTemplateNeverAdoptsAStaleDataFile) {
  WriteFileBytes(TempPath("MGRDT000.QMD"), "stale");
  MatterTable();
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{"Matters                         1"});
  EXPECT_EQ(ReadFileBytes(TempPath("MGRDT000.QMD")), "stale");
  DeleteFile(TempPath("MGRDT000.QMD"));
  EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT001.QMD", "MNGR001.DSC"}));
}

TEST_F(TemplateBuildTest, NewTemplateWithAFaultyTableChangesNothing) {
  struct Case {
    const char* name;
    std::function<void()> table;
    std::string message;
  };
  const Case cases[] = {
      {"no field", [] { TTemplateTableBuilder t; }, FieldPositionsMsg},
      {"length", [] { MatterTable(); Store.RecLen = 33; },
       "There appears to be an error regarding the length of the fields in your template. 33, 34" + ContactMsg},
      {"sort position", [] { MatterTable(); Store.FldTable[2].SortPos[1] = 4; Store.FldTable[2].IdxNo[1] = 3; },
       FieldPositionsMsg},
      {"id twice", [] { MatterTable(); Store.FldTable[2].FldId = 1; }, FieldPositionsMsg},
      {"key width", [] { MatterTable(); Store.FldTable[1].KeyWidth = 6; }, FieldPositionsMsg},
      // After the data file was made: it goes again.
      {"hint", [] { MatterTable(); Store.FldTable[2].Hint = std::string(51, 'h'); },
       "Field \"Name\": Hint \"" + std::string(51, 'h') + "\" is longer than 50 characters."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.table();
    DialogResponder boxes;
    boxes.Expect(c.message);
    ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
    EXPECT_EQ(Folder(), std::vector<std::string>{"master.dsc"});
    EXPECT_TRUE(MasterTexts().empty());
    EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  }
}

TEST_F(TemplateBuildTest, AModificationWithoutRecordsGetsItsEmptyDataFileBackWhenTheNewOneFails) {
  SeedMatters(false);
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Resize(2, 2970);
  const TFolderState before = State(0);
  DialogResponder boxes;
  boxes.Expect("Unable to create new data file " + Data(0) + ":\r" + "Record length exceeds maximum of 3000" +
               ContactMsg);
  ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
  EXPECT_EQ(State(0), before);
  EXPECT_EQ(RecordLength(Data(0)), 42);
}

TEST_F(TemplateBuildTest, TheSaveLockHeldElsewhereIsWaitedForAndRefusedBeforeAnyChange) {
  SeedMatters();
  const TFolderState before = State(0);
  TSaveLock other = TryAcquireSaveLock(Store.DataDir, 0, TSaveLockMode::Shared);
  ASSERT_TRUE(other.Held());
  ExpectSaveRefusedAsLocked();
  EXPECT_EQ(State(0), before);
}

TEST_F(TemplateBuildTest, ADataFileHeldOpenElsewhereIsAskedAboutAndRefusedBeforeAnyChange) {
  SeedMatters();
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Add("Notes", 'C', 10);
  Store.LayoutChanged = true;
  const TFolderState before = State(0);
  {
    PipedProcess peer(LAYER_PEER_PATH);
    ASSERT_EQ(peer.Ask("open 9 0 " + ResolvePath(Data(0))), "ok");
    ExpectSaveRefusedAsLocked();
  }
  EXPECT_EQ(State(0), before);
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
}

// A modification with records, each change carried into every record.
struct TRestructure {
  const char* name;
  std::function<void(TTemplateTableBuilder&)> change;
  // The seeded values changed as the records must hold them after the save.
  std::function<void(std::map<uint32_t, TFieldValues>&)> expect;
};

class RestructureTest : public TemplateBuildTest, public ::testing::WithParamInterface<TRestructure> {};

TEST_P(RestructureTest, EveryRecordKeepsItsPrefixAndStampAndIsCarriedField_by_field) {
  SeedMatters();
  TTemplateTableBuilder t(TTableStart::AsItIs);
  GetParam().change(t);
  DialogResponder boxes;
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_TRUE(boxes.Boxes().empty());
  std::map<uint32_t, TFieldValues> values = Values;
  GetParam().expect(values);
  ExpectSaved(values);
}

void NoChange(std::map<uint32_t, TFieldValues>&) {}

INSTANTIATE_TEST_SUITE_P(
    Changes, RestructureTest,
    ::testing::Values(
        TRestructure{"AddedField",
                     [](TTemplateTableBuilder& t) {
                       t.Add("Notes", 'C', 10);
                       Store.LayoutChanged = true;
                     },
                     NoChange},
        TRestructure{"DeletedField",
                     [](TTemplateTableBuilder& t) { t.Delete(2); },
                     [](auto& v) {
                       for (auto& [p, f] : v) f.erase(2);
                     }},
        TRestructure{"ListFieldWidenedMidRecord",
                     [](TTemplateTableBuilder& t) {
                       t.Resize(2, 14);
                       Store.ListFldWidened = true;
                     },
                     NoChange},
        TRestructure{"ListFieldNarrowedWithoutAFlag", [](TTemplateTableBuilder& t) { t.Resize(2, 5); }, NoChange},
        TRestructure{"LookupRightJustifiedKeyBytesKept",
                     [](TTemplateTableBuilder& t) {
                       t.Field(4).RightJustify = true;
                       Store.JustifyChanged = true;
                     },
                     [](auto& v) {
                       v[5][4] = std::string("   ab") + KeyBytes1;
                       v[21][4] = std::string("  xyz") + KeyBytes2;
                     }},
        TRestructure{"DecimalsCutBlankKept",
                     [](TTemplateTableBuilder& t) {
                       t.Field(3).Decimals = 0;
                       Store.MinMaxChanged = true;
                     },
                     [](auto& v) { v[5][3] = "    12"; }},
        TRestructure{"FieldPastRecLen",
                     [](TTemplateTableBuilder& t) {
                       t.Add("Late", 'C', 3).Offset += 4;
                       Store.LayoutChanged = true;
                     },
                     NoChange},
        TRestructure{"NothingChanged", [](TTemplateTableBuilder&) {}, NoChange}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TemplateBuildTest, AnIndexAddedWithRecordsGivesTheNewFileItsKey) {
  SeedMatters();
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Field(2).KeyWidth = 6;
  t.Index(3, {3, 2}, false, "By amount");
  Store.IdxChanged = true;
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  ExpectSaved(Values);
  EXPECT_EQ(RunMdbtr({"stat", ResolvePath(Data(0))}).Out,
            "record length: 42\npage size: 4096\nrecords: 3\nkeys: 4\n"
            "key 0: length 4, unique\n  at 1, length 4, autoincrement\n"
            "key 1: length 5, unique, modifiable\n  at 5, length 5, string\n"
            "key 2: length 11, duplicates, modifiable\n  at 26, length 5, string\n  at 10, length 6, string\n"
            "key 3: length 12, duplicates, modifiable\n  at 20, length 6, string\n  at 10, length 6, string\n");
}

TEST_F(TemplateBuildTest, ABackupLeftByACommittedSaveIsRecoveredAndTheSaveGoesOn) {
  SeedMatters();
  BtrCloseFile(MasterFileNo);
  ASSERT_TRUE(CopyFile(Dsc(0), PreviousGeneration(Dsc(0)), true));
  OpenMasterOn(0);
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Add("Notes", 'C', 10);
  Store.LayoutChanged = true;
  DialogResponder boxes;
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_TRUE(boxes.Boxes().empty());
  ExpectSaved(Values);
}

TEST_F(TemplateBuildTest, ABackupRecoveryCannotResolveEndsTheSaveWithRecoverysMessageAlone) {
  SeedMatters();
  WriteFileBytes(TempPath("MGRDT000.QMX"), "not a record-manager file");
  const TFolderState before = State(0);
  DialogResponder boxes;
  boxes.Answer(mrOk);
  ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
  EXPECT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(State(0), before);
  ASSERT_TRUE(DeleteFile(TempPath("MGRDT000.QMX")));
}

TEST_F(TemplateBuildTest, AFieldPastRecLenLengthensTheRecord) {
  SeedMatters();
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Add("Late", 'C', 3).Offset += 4;
  EXPECT_EQ(Store.RecLen, 37);
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_EQ(Store.RecLen, 41);
  EXPECT_EQ(RecordLength(Data(0)), 49);
}

TEST_F(TemplateBuildTest, NothingChangedLeavesTheDataFileItself) {
  SeedMatters();
  const std::vector<std::string> before = ReadRecords(Data(0));
  const auto written = std::filesystem::last_write_time(ResolvePath(Data(0)));
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_EQ(ReadRecords(Data(0)), before);
  EXPECT_EQ(std::filesystem::last_write_time(ResolvePath(Data(0))), written);
}

TEST_F(TemplateBuildTest, ModificationWithoutRecordsPlacesTheFieldsAnew) {
  SeedMatters(false);
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Delete(2);
  EXPECT_TRUE(BuildTemplateDataFile("Matters v2"));
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{FormatMasterText("Matters v2", TTemplateNumber(0))});
  EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT000.QMD", "MNGR000.DSC"}));
  EXPECT_EQ(Store.FldTable[2].Offset, 10);
  EXPECT_EQ(Store.FldTable[3].Offset, 16);
  EXPECT_EQ(Store.RecLen, 24);
  EXPECT_EQ(RecordLength(Data(0)), 32);
  EXPECT_EQ(TextsOfFile(Dsc(0)), ExpectedDescriptor("Matters v2"));
}

TEST_F(TemplateBuildTest, TheMasterRecordIsFoundByNumberWhereverFileOneStands) {
  MatterTable();
  ASSERT_TRUE(BuildTemplateDataFile("First"));
  MatterTable();
  ASSERT_TRUE(BuildTemplateDataFile("Second"));
  LoadForModification(1, false);
  BtrCloseFile(MasterFileNo);
  OpenMasterOn(0);
  EXPECT_TRUE(BuildTemplateDataFile("Second v2"));
  EXPECT_EQ(MasterTexts(), (std::vector<std::string>{FormatMasterText("First", TTemplateNumber(0)),
                                                     FormatMasterText("Second v2", TTemplateNumber(1))}));
}

// A failing modification: one message, and every file as before.
struct TFailedSave {
  const char* name;
  std::function<void(TTemplateTableBuilder&)> change;
  std::function<std::string()> message;
};

class FailedSaveTest : public TemplateBuildTest, public ::testing::WithParamInterface<TFailedSave> {};

TEST_P(FailedSaveTest, OneMessageAndTheOldFilesBack) {
  SeedMatters();
  TTemplateTableBuilder t(TTableStart::AsItIs);
  GetParam().change(t);
  const TFolderState before = State(0);
  DialogResponder boxes;
  boxes.Expect(GetParam().message());
  ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
  EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
  EXPECT_EQ(State(0), before);
  for (uint8_t n : {1, 2, 56, 57, 58}) EXPECT_FALSE(BtrIsFileOpen(n)) << int(n);
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedSaveTest,
    ::testing::Values(
        TFailedSave{"NarrowingRefused", [](TTemplateTableBuilder& t) { t.Resize(2, 4); },
                    [] {
                      return "The field Name holds entries longer than 4 characters.\rIt cannot be made narrower "
                             "while they exist." + ContactMsg;
                    }},
        TFailedSave{"NumericTooLong",
                    [](TTemplateTableBuilder& t) {
                      t.Field(3).Decimals = 2;
                      Store.MinMaxChanged = true;
                    },
                    [] {
                      return "The field Amount holds the value 1234, which does not fit in 6 characters with 2 "
                             "decimals." + ContactMsg;
                    }},
        TFailedSave{"DataFileNotCreatable", [](TTemplateTableBuilder& t) { t.Resize(2, 2970); },
                    [] {
                      return "Unable to create new data file " + DataFileName(TTemplateNumber(0)) + ":\r" +
                             "Record length exceeds maximum of 3000" + ContactMsg;
                    }},
        TFailedSave{"DescriptorWriteAfterRenameAndTransfer",
                    [](TTemplateTableBuilder& t) {
                      t.Add("Notes", 'C', 4).Hint = std::string(51, 'h');
                      Store.LayoutChanged = true;
                    },
                    [] { return HintTooLong(5, 39); }},
        TFailedSave{"InsertRefusedDuringTransfer",
                    [](TTemplateTableBuilder& t) {
                      t.Add("Notes", 'C', 4);
                      t.Index(3, {5}, true, "By notes");
                      Store.IdxChanged = Store.LayoutChanged = true;
                    },
                    [] { return "This record could not be written.\r" + BtrStatusTail(5); }},
        TFailedSave{"RecordsAddedMeanwhile", [](TTemplateTableBuilder&) { Store.HasData = false; },
                    [] { return RecordsAddedMsg; }},
        TFailedSave{"FieldsOverlap", [](TTemplateTableBuilder& t) { t.Field(3).Offset = 18; },
                    [] { return FieldPositionsMsg; }},
        TFailedSave{"MasterRecordGone",
                    [](TTemplateTableBuilder&) {
                      BtrDeleteRecord(MasterFileNo);
                    },
                    [] { return "Unable to find 'Matters'." + ContactMsg; }}),
    [](const auto& info) { return std::string(info.param.name); });

// The data file's move to its previous generation refused: found by
// failing each step in turn until the save reports that move.
TEST_F(TemplateBuildTest, ARefusedMoveOfTheDataFileEndsTheSave) {
  bool met = false;
  for (uint64_t step = 1; step < 200 && !met; ++step) {
    ScopedTempDir run;
    Store.Reset();
    Store.DataDir = run.path().string();
    CreateMaster();
    SeedMatters();
    TTemplateTableBuilder t(TTableStart::AsItIs);
    t.Add("Notes", 'C', 10);
    Store.LayoutChanged = true;
    const TFolderState before = State(0);
    TBoxRecorder boxes;
    ArmFaultPoint(step, TFaultAction::FailOnce);
    try {
      BuildTemplateDataFile("Matters");
    } catch (const EAbort&) {
    }
    DisarmFaultPoint();
    met = boxes.Texts == std::vector<std::string>{"Unable to rename old data file " + Data(0) + "\r" + "to " +
                                                  PreviousGeneration(Data(0)) + "." + ContactMsg};
    if (met) {
      EXPECT_EQ(State(0), before);
    }
  }
  EXPECT_TRUE(met);
  ResetBtrLayer();
  Store.DataDir = Temp.path().string();
}

TEST_F(TemplateBuildTest, AMissingDataFileEndsTheSave) {
  SeedMatters();
  BtrCloseFile(MasterFileNo);
  ASSERT_TRUE(DeleteFile(Data(0)));
  OpenMasterOn(0);
  const TFolderState before = State(0);
  DialogResponder boxes;
  boxes.Expect("A required file is missing: " + Data(0) + "." + ContactMsg);
  ExpectMessage<EAbort>([] { BuildTemplateDataFile("Matters"); }, "");
  EXPECT_EQ(State(0), before);
}

TEST_F(TemplateBuildTest, SavingDeletesTheGridLayoutOnlyAfterSuccess) {
  SeedMatters();
  WriteFileBytes(TempPath("Grid000.FMT"), "columns");
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Resize(2, 4);
  DialogResponder boxes;
  boxes.Answer(mrOk);
  EXPECT_THROW(BuildTemplateDataFile("Matters"), EAbort);
  EXPECT_TRUE(FileExists(TempPath("Grid000.FMT")));
  BtrCloseFile(MasterFileNo);
  LoadForModification(0, true);
  EXPECT_TRUE(BuildTemplateDataFile("Matters"));
  EXPECT_FALSE(FileExists(TempPath("Grid000.FMT")));
}

}  // namespace
