// The references other descriptors hold to a template: cleaned in place
// when fields of it are deleted, reported when its indexes change, on real
// descriptors written by the store's writer. Positions in the expectations
// are record positions counted by hand, so a wrong range in the codec shows.
#include "templates/template_integrity.h"

#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "platform/format.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/save_lock.h"
#include "templates/template_recovery.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/temp_dir.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string DefaultLockText = "A file lock was encountered.  Retry?";

// Record positions (1-based, prefix included) of the ranges the check reads.
constexpr size_t SpecIdsAt = 106, SpecIdsWidth = 9;
constexpr size_t DisplayAt = 116, DisplayWidth = 150;
constexpr size_t NameAt = 7, NameWidth = 26;

std::string LockQuestion(const std::string& path, const std::string& file, const std::string& doing) {
  return "File:  " + path + "\r\r" + "The description file " + file + " is currently not accessible (" + doing +
         ")." + "\r\r" + "It may be in use elsewhere.   Retry accessing the file?";
}
const std::string DeletedDoing = "Checking for references to deleted field";
const std::string LinkedDoing = "Checking for linked lookups";

std::string OpenFailureBox(const std::string& reason) {
  return "Error:  " + reason + "\r\r" + "Unable to open description file.  Template integrity checks incomplete.";
}
std::string AccessFailureBox(const std::string& reason, const std::string& file) {
  return "Error:  " + reason + "\r\r" + "Unable to access description file " + file +
         ".  Template integrity checks incomplete.";
}

// "%3s" groups of the ids, blanks behind to Width.
std::string Groups(const std::vector<int>& ids, size_t width) {
  std::string s;
  for (int id : ids) s += Format("%3d", id);
  s.resize(width, ' ');
  return s;
}

// A field of a fixture template: a lookup when Kind is set; KeyWidth 0
// takes the width.
struct TFieldRow {
  TFieldRow(std::string name, int width) : Name(std::move(name)), Width(width) {}
  TFieldRow(std::string name, int width, std::string kind, std::string target, std::string spec,
            std::vector<int> cols = {}, int keyWidth = 0)
      : Name(std::move(name)), Width(width), Kind(std::move(kind)), Target(std::move(target)), Spec(std::move(spec)),
        Cols(std::move(cols)), KeyWidth(keyWidth) {}

  std::string Name;
  int Width;
  std::string Kind, Target, Spec;
  std::vector<int> Cols;
  int KeyWidth = 0;
};

// The row as the next field of the table in use.
TFld& AddRow(TTemplateTableBuilder& table, const TFieldRow& row) {
  TFld& f = table.Add(row.Name, 'C', row.Width);
  if (row.KeyWidth != 0) f.KeyWidth = row.KeyWidth;
  if (row.Kind.empty()) return f;
  f.IsLookup = f.Forced = true;
  f.LkpKind = row.Kind;
  f.LkpTarget = row.Target;
  f.LkpSpec = row.Spec;
  for (size_t k = 0; k < row.Cols.size(); ++k) f.DispCols[int(k) + 1] = row.Cols[k];
  return f;
}

TIndexFlags Indexes(const std::vector<int>& numbers) {
  TIndexFlags flags(false);
  for (int n : numbers) flags[n] = true;
  return flags;
}

// Every record of every file, prefix first in key-0 order, by file name.
using TFolderSnapshot = std::map<std::string, std::vector<std::string>>;

class TemplateIntegrityTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    LockRetryMs = 0;
  }

  static std::string PathOf(const std::string& file) { return Store.DataDir + "\\" + file; }

  // The descriptor of Number through the store's writer: the fields side
  // by side from position 5, then Extra record texts as they are.
  static void WriteDescriptor(int number, const std::vector<TFieldRow>& rows, std::vector<std::string> extra = {}) {
    TTemplateTableBuilder table;
    TFieldPositions offsets;
    for (const TFieldRow& row : rows) {
      const TFld& f = AddRow(table, row);
      offsets[f.SeqNo] = f.Offset;
    }
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(number));
    WriteFieldRecords(offsets);
    for (std::string& text : extra) WriteDscRecord(text);
    BtrCloseFile(DescriptorFileNo);
  }

  // The folder of the checks: 007 examined; 002 with M lookups on it (ids of
  // one and two digits, 55 display columns), an L and a U lookup naming the
  // same ids; 003 with an M lookup on 008 using the same ids and one whose
  // target carries 7 blank-padded; 004 under a lower-case name; 007 looking
  // up itself.
  void WriteFolder() {
    std::vector<int> wide(50, 2);
    wide[9] = 5;
    for (int k = 0; k < 5; ++k) wide.push_back(5);
    WriteDescriptor(2, {{"Invoice", 10},
                        {"Matter", 8, "M", "MNGR007.DSC", "1  1  5 12  9", {3, 5, 9, 12, 1}, 6},
                        {"Partner", 5, "M", "MNGR007.DSC", "2  4 12", {12}},
                        {"Clerk", 6, "L", "", "A  5 12", {5, 12}},
                        {"Office", 6, "U", "MNGR007.DSC", "1  5", {5}},
                        {"Wide", 4, "M", "MNGR007.DSC", "3  2", wide}});
    WriteDescriptor(3, {{"Account", 6, "M", "MNGR008.DSC", "1  1  5 12", {5, 12}},
                        {"Near miss", 6, "M", "MNGR  7.DSC", "1  1  5", {5}}});
    WriteDescriptor(4, {{"Case", 7, "M", "MNGR007.DSC", "4  1  5", {5}}});
    ASSERT_TRUE(RenameFile(PathOf("MNGR004.DSC"), PathOf("mngr004.dsc")));
    WriteDescriptor(7, {{"Code", 6}, {"Parent", 6, "M", "MNGR007.DSC", "1  1 12", {1, 12}}});
    WriteDescriptor(8, {{"Name", 20}});
  }

  static TFolderSnapshot Snapshot() {
    TFolderSnapshot files;
    for (const FileEntry& e : FindFiles(Store.DataDir + "\\MNGR???.DSC")) {
      files[e.Name] = ReadRecords(PathOf(e.Name));
    }
    return files;
  }

  // The record of the field Name in File of Snapshot, given new specification
  // ids and display columns 1-50.
  static void Clean(TFolderSnapshot& snapshot, const std::string& file, const std::string& name,
                    const std::string& specIds, const std::string& display) {
    for (std::string& r : snapshot.at(file)) {
      if (r.substr(NameAt - 1, NameWidth) != Format("%-26s", name)) continue;
      r.replace(SpecIdsAt - 1, SpecIdsWidth, specIds);
      r.replace(DisplayAt - 1, DisplayWidth, display);
      return;
    }
    ADD_FAILURE() << "no field " << name << " in " << file;
  }

  static void ExpectLeftClean() {
    EXPECT_FALSE(BtrIsFileOpen(IntegrityFileNo));
    EXPECT_EQ(FileLockMsg, DefaultLockText);
  }

  // The records of WriteFolder that lose the ids 5 and 12.
  static void CleanFiveAndTwelveIn002(TFolderSnapshot& s) {
    Clean(s, "MNGR002.DSC", "Matter", Groups({9}, SpecIdsWidth), Groups({3, 9, 1}, DisplayWidth));
    Clean(s, "MNGR002.DSC", "Partner", Groups({}, SpecIdsWidth), Groups({}, DisplayWidth));
    Clean(s, "MNGR002.DSC", "Wide", Groups({}, SpecIdsWidth), Groups(std::vector<int>(49, 2), DisplayWidth));
  }
  static void CleanFiveAndTwelveIn004And007(TFolderSnapshot& s) {
    Clean(s, "mngr004.dsc", "Case", Groups({}, SpecIdsWidth), Groups({}, DisplayWidth));
    Clean(s, "MNGR007.DSC", "Parent", Groups({}, SpecIdsWidth), Groups({1}, DisplayWidth));
  }
};

// Deleted fields 5 and 12 of 007, as the designer lists them.
const std::string DesignerDeletedFlds = "15   8     5*23   5    12*";

TEST_F(TemplateIntegrityTest, DeletedFieldsLeaveEveryReferenceAndNothingElse) {
  WriteFolder();
  TFolderSnapshot expected = Snapshot();
  CleanFiveAndTwelveIn002(expected);
  CleanFiveAndTwelveIn004And007(expected);
  {
    DialogResponder dialogs;
    const TIntegrityResult result =
        CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1, 2, 3, 4, 5}), ParseDeletedFlds(DesignerDeletedFlds));
    EXPECT_TRUE(result.Complete);
    EXPECT_TRUE(result.References.empty());
  }
  const TFolderSnapshot after = Snapshot();
  EXPECT_EQ(after, expected);
  // Display columns 51-55 kept their fives.
  const std::string wide = expected.at("MNGR002.DSC").at(5);
  EXPECT_EQ(wide.substr(DisplayAt + DisplayWidth - 1, 15), "  5  5  5  5  5");
  ExpectLeftClean();

  // A second run finds nothing left to change.
  {
    DialogResponder dialogs;
    EXPECT_TRUE(CheckTemplateIntegrity(TTemplateNumber(7), {}, ParseDeletedFlds(DesignerDeletedFlds)).Complete);
  }
  EXPECT_EQ(Snapshot(), after);
}

TEST_F(TemplateIntegrityTest, IdGroupsCloseUpInTheirOrderAndKeepTheirBytes) {
  struct Case {
    const char* what;
    std::vector<int> deleted;
    std::string specIds;   // positions 106-114 before
    std::string display;   // positions 116-... before
    std::string specAfter;
    std::string displayAfter;
  };
  const Case cases[] = {
      {"the one deleted display column", {5}, "", "  3  5  9", "", "  3  9"},
      {"one id several times", {5}, "  5  5  5", "  5", "", ""},
      {"one id however aligned", {5}, "  5 5 5  ", "  5 5 5  005", "", ""},
      {"groups kept move as stored", {9}, "005  9  7", "  9007 1 ", "005  7", "007 1 "},
      {"a blank group keeps its place among the others", {5}, "", "  3     5  9", "", "  3     9"},
      {"three ids, the first of the key untouched", {1, 5, 12}, "  1 12  5", "  1  5 12", "", ""},
      {"nothing deleted that the record names", {7}, "  5", "  3  5", "  5", "  3  5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Specification "1  1" then the ids; display column 51 holds a 5 throughout.
    std::string text;
    {
      TTemplateTableBuilder table;
      text = FormatFieldRecord(AddRow(table, {"Row", 6, "M", "MNGR007.DSC", "1  1"}), 5);
    }
    text.replace(SpecIdsAt - 5, SpecIdsWidth, Format("%-9s", c.specIds));
    text.replace(DisplayAt - 5, DisplayWidth, Format("%-150s", c.display));
    text.replace(DisplayAt + DisplayWidth - 5, 3, "  5");
    WriteDescriptor(2, {}, {text});
    TFolderSnapshot expected = Snapshot();
    Clean(expected, "MNGR002.DSC", "Row", Format("%-9s", c.specAfter), Format("%-150s", c.displayAfter));

    std::vector<TDeletedFld> deleted;
    for (int id : c.deleted) deleted.push_back({5, 1, id});
    DialogResponder dialogs;
    EXPECT_TRUE(CheckTemplateIntegrity(TTemplateNumber(7), {}, deleted).Complete);
    EXPECT_EQ(Snapshot(), expected);
    ASSERT_TRUE(DeleteFile(DescriptorFileName(TTemplateNumber(2))));
  }
}

TEST_F(TemplateIntegrityTest, ChangedIndexesGiveTheLookupsReadingByThem) {
  WriteFolder();
  const TFolderSnapshot before = Snapshot();
  const TLookupReference matter{TTemplateNumber(2), "Matter", 15, 6, 1, 1};
  const TLookupReference partner{TTemplateNumber(2), "Partner", 23, 5, 4, 2};
  const TLookupReference wide{TTemplateNumber(2), "Wide", 40, 4, 2, 3};
  const TLookupReference caseRef{TTemplateNumber(4), "Case", 5, 7, 1, 4};
  const TLookupReference parent{TTemplateNumber(7), "Parent", 11, 6, 1, 1};
  struct Case {
    std::vector<int> changed;
    std::vector<TLookupReference> references;
    std::vector<int> flagged;
  };
  const Case cases[] = {
      {{}, {}, {}},
      {{1}, {matter, parent}, {1}},
      {{2}, {partner}, {2}},
      {{3, 4}, {wide, caseRef}, {3, 4}},
      {{5}, {}, {}},
      {{1, 2, 3, 4, 5}, {matter, partner, wide, caseRef, parent}, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.changed));
    DialogResponder dialogs;
    const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), Indexes(c.changed), {});
    EXPECT_TRUE(result.Complete);
    EXPECT_EQ(result.References, c.references);
    EXPECT_EQ(ReferencedIndexes(result.References), Indexes(c.flagged));
  }
  // Template 8 is looked up by 003 only.
  DialogResponder dialogs;
  EXPECT_EQ(CheckTemplateIntegrity(TTemplateNumber(8), Indexes({1}), {}).References,
            (std::vector<TLookupReference>{{TTemplateNumber(3), "Account", 5, 6, 1, 1}}));
  EXPECT_EQ(Snapshot(), before);
  ExpectLeftClean();
}

// The open failure of the layer for a file this workstation cannot open.
std::string OpenRefusal(const std::string& path) {
  try {
    BtrOpenFile(9, path, 0);
    BtrCloseFile(9);
  } catch (const EBtrAbort& e) {
    return e.Message;
  }
  ADD_FAILURE() << path << " opened";
  return {};
}

std::string LockedOpenRefusal(const std::string& path) {
  return "The file " + path + " could not be opened.\r\r" + BtrStatusTail(85) + ".";
}

TEST_F(TemplateIntegrityTest, ADescriptorHeldElsewhereEndsTheCheckAfterTheFilesBeforeIt) {
  WriteFolder();
  TFolderSnapshot expected = Snapshot();
  CleanFiveAndTwelveIn002(expected);
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 -4 " + ResolvePath(PathOf("MNGR003.DSC"))), "ok");
  {
    DialogResponder dialogs;
    dialogs.Expect(LockQuestion(PathOf("MNGR003.DSC"), "MNGR003.DSC", DeletedDoing), mrNo);
    dialogs.Expect(OpenFailureBox(LockedOpenRefusal(PathOf("MNGR003.DSC"))));
    const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), {}, {{5, 1, 5}, {9, 1, 12}});
    EXPECT_FALSE(result.Complete);
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(dialogs.Boxes()[1].type, mtError);
  }
  ExpectLeftClean();
  EXPECT_EQ(peer.Ask("close 1"), "ok");
  // 002 stays cleaned; 004 and 007 were never reached.
  EXPECT_EQ(Snapshot(), expected);
}

TEST_F(TemplateIntegrityTest, SaveLocksHeldElsewhereAreWaitedForAsLockedOpens) {
  WriteFolder();
  const TFolderSnapshot before = Snapshot();
  {
    // A save of 007 in progress: not even its reading starts.
    TSaveLock saving = TryAcquireSaveLock(Store.DataDir, 7, TSaveLockMode::Exclusive);
    ASSERT_TRUE(saving.Held());
    DialogResponder dialogs;
    dialogs.Expect(LockQuestion(PathOf("MNGR007.DSC"), "MNGR007.DSC", LinkedDoing), mrNo);
    dialogs.Expect(OpenFailureBox(LockedOpenRefusal(PathOf("MNGR007.DSC"))));
    const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1}), {});
    EXPECT_FALSE(result.Complete);
    EXPECT_TRUE(result.References.empty());
  }
  ExpectLeftClean();
  {
    // A load of 002 in progress: it is read, but not rewritten.
    TSaveLock loading = TryAcquireSaveLock(Store.DataDir, 2, TSaveLockMode::Shared);
    ASSERT_TRUE(loading.Held());
    DialogResponder dialogs;
    dialogs.Expect(LockQuestion(PathOf("MNGR002.DSC"), "MNGR002.DSC", DeletedDoing), mrNo);
    dialogs.Expect(OpenFailureBox(LockedOpenRefusal(PathOf("MNGR002.DSC"))));
    EXPECT_FALSE(CheckTemplateIntegrity(TTemplateNumber(7), {}, {{5, 1, 5}}).Complete);
  }
  ExpectLeftClean();
  EXPECT_EQ(Snapshot(), before);
  // Once they are given up the check goes through, taking and leaving them.
  DialogResponder dialogs;
  EXPECT_TRUE(CheckTemplateIntegrity(TTemplateNumber(7), {}, {{5, 1, 5}}).Complete);
  EXPECT_TRUE(TryAcquireSaveLock(Store.DataDir, 2, TSaveLockMode::Exclusive).Held());
  EXPECT_TRUE(TryAcquireSaveLock(Store.DataDir, 7, TSaveLockMode::Exclusive).Held());
}

TEST_F(TemplateIntegrityTest, AFileOfThePatternThatIsNoRecordFileChangesNothing) {
  WriteDescriptor(2, {{"Matter", 8, "M", "MNGR007.DSC", "1  1  5", {5}}});
  WriteDescriptor(9, {{"Matter", 8, "M", "MNGR007.DSC", "1  1  5", {5}}});
  const TFolderSnapshot before = Snapshot();
  WriteFileBytes(TempPath("MNGR005.DSC"), "not a record file");
  const std::string refusal = OpenRefusal(PathOf("MNGR005.DSC"));
  for (const bool deleting : {false, true}) {
    SCOPED_TRACE(deleting ? "deleted fields" : "linked lookups");
    DialogResponder dialogs;
    dialogs.Expect(OpenFailureBox(refusal));
    const TIntegrityResult result =
        CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1}), deleting ? std::vector<TDeletedFld>{{5, 1, 5}}
                                                                            : std::vector<TDeletedFld>{});
    EXPECT_FALSE(result.Complete);
    // Found before the failure, yet not reported: the list is not whole.
    EXPECT_TRUE(result.References.empty());
    ExpectLeftClean();
  }
  EXPECT_EQ(ReadFileBytes(TempPath("MNGR005.DSC")), "not a record file");
  ASSERT_TRUE(DeleteFile(PathOf("MNGR005.DSC")));
  // 002 lay before the failure and was cleaned the second time; 009 was not reached.
  TFolderSnapshot expected = before;
  Clean(expected, "MNGR002.DSC", "Matter", Groups({}, SpecIdsWidth), Groups({}, DisplayWidth));
  EXPECT_EQ(Snapshot(), expected);
}

TEST_F(TemplateIntegrityTest, AReferringRecordThatCannotBeReadFailsTheCheck) {
  struct Case {
    bool deleting;
    size_t at;  // record position
    std::string bytes;
    std::string reason;
  };
  const Case cases[] = {
      {false, 102, "x", "LkpSpec key \"x\" at position 102 is not an index number 1..5."},
      {false, 102, "0", "LkpSpec key \"0\" at position 102 is not an index number 1..5."},
      {false, 102, " ", "LkpSpec key \" \" at position 102 is not an index number 1..5."},
      {false, 37, "  ab", "Offset \"  ab\" at positions 37-40 is not a number."},
      {false, 356, "   ", "KeyWidth \"   \" at positions 356-358 is not a number."},
      {false, 103, "1x ", "LkpSpec first id \"1x \" at positions 103-105 is not a number."},
      {true, 106, "x5 ", "LkpSpec other ids \"x5 \" at positions 106-108 is not a field id."},
      {true, 119, "5-1", "DispCols \"5-1\" at positions 119-121 is not a field id."},
      {true, 122, std::string("1\0" "2", 3),
       "DispCols \"1" + std::string(1, '\0') + "2\" at positions 122-124 is not a field id."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string text;
    {
      TTemplateTableBuilder table;
      text = FormatFieldRecord(AddRow(table, {"Bad", 6, "M", "MNGR007.DSC", "1  1  5", {5, 12}}), 5);
    }
    text.replace(c.at - 5, c.bytes.size(), c.bytes);
    WriteDescriptor(6, {}, {text});
    const TFolderSnapshot before = Snapshot();
    {
      DialogResponder dialogs;
      dialogs.Expect(AccessFailureBox("Field \"Bad\": " + c.reason, "MNGR006.DSC"));
      EXPECT_FALSE(CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1, 2, 3, 4, 5}),
                                          c.deleting ? std::vector<TDeletedFld>{{5, 1, 5}} : std::vector<TDeletedFld>{})
                       .Complete);
    }
    ExpectLeftClean();
    EXPECT_EQ(Snapshot(), before);
    ASSERT_TRUE(DeleteFile(DescriptorFileName(TTemplateNumber(6))));
  }
}

TEST_F(TemplateIntegrityTest, ANameWithoutANumberIsCleanedButCannotBeReported) {
  WriteDescriptor(6, {{"Matter", 8, "M", "MNGR007.DSC", "1  1  5", {5, 3}}});
  ASSERT_TRUE(RenameFile(PathOf("MNGR006.DSC"), PathOf("MNGRold.DSC")));
  TFolderSnapshot expected = Snapshot();
  {
    DialogResponder dialogs;
    dialogs.Expect(AccessFailureBox("Field \"Matter\": the file name carries no template number.", "MNGRold.DSC"));
    EXPECT_FALSE(CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1}), {}).Complete);
  }
  // Deleted fields need no number: nothing to lock, the record is cleaned.
  DialogResponder dialogs;
  EXPECT_TRUE(CheckTemplateIntegrity(TTemplateNumber(7), {}, {{5, 1, 5}}).Complete);
  Clean(expected, "MNGRold.DSC", "Matter", Groups({}, SpecIdsWidth), Groups({3}, DisplayWidth));
  EXPECT_EQ(Snapshot(), expected);
  ExpectLeftClean();
}

TEST_F(TemplateIntegrityTest, ARecordLockedElsewhereThatIsNotWaitedForFailsTheCheck) {
  WriteFolder();
  const TFolderSnapshot before = Snapshot();
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 0 " + ResolvePath(PathOf("MNGR002.DSC"))), "ok");
  ASSERT_EQ(peer.Ask("key 1 1"), "ok");
  ASSERT_EQ(peer.Ask("lock 1  2"), "ok");  // Matter, the first record to clean
  {
    DialogResponder dialogs;
    dialogs.Expect("A record lock was encountered.  Retry?", mrNo);
    dialogs.Expect(AccessFailureBox("A record lock was encountered.", "MNGR002.DSC"));
    EXPECT_FALSE(CheckTemplateIntegrity(TTemplateNumber(7), {}, ParseDeletedFlds(DesignerDeletedFlds)).Complete);
  }
  ExpectLeftClean();
  EXPECT_EQ(peer.Ask("close 1"), "ok");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(TemplateIntegrityTest, ASaveCutShortIsRecoveredBeforeItsDescriptorIsRead) {
  const TLookupReference matter{TTemplateNumber(2), "Matter", 5, 8, 1, 1};
  for (const bool emptiedNew : {false, true}) {
    SCOPED_TRACE(emptiedNew ? "an empty new descriptor beside the old" : "the old descriptor moved aside only");
    WriteDescriptor(2, {{"Matter", 8, "M", "MNGR007.DSC", "1  1  5", {5}}});
    ASSERT_TRUE(RenameFile(PathOf("MNGR002.DSC"), PathOf("MNGR002.DSX")));
    if (emptiedNew) WriteDescriptor(2, {});
    DialogResponder dialogs;
    const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1}), {});
    EXPECT_TRUE(result.Complete);
    EXPECT_EQ(result.References, std::vector<TLookupReference>{matter});
    EXPECT_FALSE(FileExists(PathOf("MNGR002.DSX")));
    ExpectLeftClean();
    ASSERT_TRUE(DeleteFile(PathOf("MNGR002.DSC")));
  }
}

TEST_F(TemplateIntegrityTest, ARecoveryThatCannotResolveTheFilesEndsTheCheckWithItsOwnMessage) {
  WriteDescriptor(2, {{"Matter", 8, "M", "MNGR007.DSC", "1  1  5", {5}}});
  WriteFileBytes(TempPath("MNGR003.DSX"), "not a record file");
  // What recovery says of these files, shown once by itself.
  std::string recoveryText;
  {
    DialogResponder dialogs;
    dialogs.Answer(mrOk);
    EXPECT_FALSE(RecoverTemplate(Store.DataDir, 3, PathOf("MNGR003.DSC"), "Retry?"));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    recoveryText = dialogs.Boxes()[0].text;
  }
  DialogResponder dialogs;
  dialogs.Expect(recoveryText);
  const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), Indexes({1}), {});
  EXPECT_FALSE(result.Complete);
  EXPECT_TRUE(result.References.empty());
  ExpectLeftClean();
  EXPECT_EQ(ReadFileBytes(TempPath("MNGR003.DSX")), "not a record file");
}

TEST_F(TemplateIntegrityTest, AnEmptyFolderIsCheckedAtOnce) {
  DialogResponder dialogs;
  const TIntegrityResult result = CheckTemplateIntegrity(TTemplateNumber(7), {}, {{5, 1, 3}});
  EXPECT_TRUE(result.Complete);
  EXPECT_TRUE(result.References.empty());
  EXPECT_TRUE(dialogs.Boxes().empty());
}

}  // namespace
