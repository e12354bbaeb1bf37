#include "templates/template_recovery.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "btrieve/status_text.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/descriptor_loader.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Tpl = 7;
constexpr uint16_t RecordLength = 24;

// The folder's files by name, each a record-manager file (its records'
// texts in key-0 order) or a plain file (its bytes, marked).
using TFolder = std::map<std::string, std::vector<std::string>>;

class RecoveryTest : public StoreFilesTest {
protected:
  std::string Dir() const { return Temp.path().string(); }

  // A record-manager file of Count records "<Tag> <k>".
  void MakeFile(const std::string& name, int count, const std::string& tag) {
    std::string msg;
    const TKeySpec key0{0, 0, 1, 4, false, false, true, false};
    ASSERT_TRUE(BtrCreateFile(TempPath(name), RecordLength, 1, msg, 255, true, std::span(&key0, 1))) << msg;
    std::vector<std::string> records;
    for (int k = 1; k <= count; ++k) {
      std::string text = tag + " " + std::to_string(k);
      text.resize(RecordLength - 4, ' ');
      records.push_back(WithPrefix(0, text));
    }
    if (!records.empty()) InsertRecords(TempPath(name), records);
  }

  // What lies in the folder, lock files left out.
  TFolder Folder() {
    TFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(Temp.path())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".lck") || name.ends_with(".LCK")) continue;
      if (name.ends_with(".FMT") || name.ends_with(".notes")) {
        folder[name] = {"plain " + ReadFileBytes(entry.path().string())};
        continue;
      }
      std::vector<std::string> texts;
      for (const std::string& r : ReadRecords(entry.path().string())) texts.push_back(r.substr(4));
      folder[name] = texts;
    }
    return folder;
  }

  static std::vector<std::string> Texts(int count, const std::string& tag) {
    std::vector<std::string> texts;
    for (int k = 1; k <= count; ++k) {
      std::string text = tag + " " + std::to_string(k);
      text.resize(RecordLength - 4, ' ');
      texts.push_back(text);
    }
    return texts;
  }
};

// The file set a stopped save may leave, and what recovery makes of it.
struct TCase {
  const char* Name;
  int Dsc, Dsx, Qmd, Qmx;  // record counts; -1 for no such file
  bool MasterRecord;
  // The expected outcome: the counts (and generation) under each final name.
  std::map<std::string, std::pair<int, std::string>> After;
};

const std::vector<TCase> Resolved = {
    {"CommittedWithData", 3, 2, 5, 5, true, {{"MNGR007.DSC", {3, "new dsc"}}, {"MGRDT007.QMD", {5, "new qmd"}}}},
    {"CommittedEmptyData", 3, 2, 0, 0, true, {{"MNGR007.DSC", {3, "new dsc"}}, {"MGRDT007.QMD", {0, "new qmd"}}}},
    {"CommittedDescriptorOnly", 3, 2, 5, -1, true, {{"MNGR007.DSC", {3, "new dsc"}}, {"MGRDT007.QMD", {5, "new qmd"}}}},
    {"UncommittedBoth", 0, 2, 0, 5, true, {{"MNGR007.DSC", {2, "old dsx"}}, {"MGRDT007.QMD", {5, "old qmx"}}}},
    {"UncommittedNoNewFiles", -1, 2, -1, 5, true, {{"MNGR007.DSC", {2, "old dsx"}}, {"MGRDT007.QMD", {5, "old qmx"}}}},
    {"UncommittedDescriptorOnly", 0, 2, 5, -1, true, {{"MNGR007.DSC", {2, "old dsx"}}, {"MGRDT007.QMD", {5, "new qmd"}}}},
    {"BetweenDataAndDescriptor", 2, -1, 0, 5, true, {{"MNGR007.DSC", {2, "new dsc"}}, {"MGRDT007.QMD", {5, "old qmx"}}}},
    {"DataMovedAsideOnly", 2, -1, -1, 5, true, {{"MNGR007.DSC", {2, "new dsc"}}, {"MGRDT007.QMD", {5, "old qmx"}}}},
    {"NewTemplateLeftover", 0, -1, 0, -1, false, {}},
    {"NewTemplateDescriptorOnly", 0, -1, -1, -1, false, {}},
    {"NewTemplateDataOnly", -1, -1, 0, -1, false, {}},
    {"DataOnlyWithMasterRecordStays", -1, -1, 0, -1, true, {{"MGRDT007.QMD", {0, "new qmd"}}}},
    {"EmptyTemplateWithMasterRecordStays", 0, -1, 0, -1, true, {{"MNGR007.DSC", {0, "new dsc"}}, {"MGRDT007.QMD", {0, "new qmd"}}}},
    {"WholeTemplateStays", 3, -1, 4, -1, false, {{"MNGR007.DSC", {3, "new dsc"}}, {"MGRDT007.QMD", {4, "new qmd"}}}},
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.Name; }

class RecoveryRulesTest : public RecoveryTest, public ::testing::WithParamInterface<TCase> {};

TEST_P(RecoveryRulesTest, ResolvesSilentlyAndAgainChangesNothing) {
  const TCase& c = GetParam();
  CreateMasterWith(c.MasterRecord ? std::vector<int>{Tpl} : std::vector<int>{});
  if (c.Dsc >= 0) MakeFile("MNGR007.DSC", c.Dsc, "new dsc");
  if (c.Dsx >= 0) MakeFile("MNGR007.DSX", c.Dsx, "old dsx");
  if (c.Qmd >= 0) MakeFile("MGRDT007.QMD", c.Qmd, "new qmd");
  if (c.Qmx >= 0) MakeFile("MGRDT007.QMX", c.Qmx, "old qmx");
  WriteFileBytes(TempPath("Grid007.FMT"), "layout");
  const bool committed = c.Dsx >= 0 && c.Dsc > 0;

  TFolder expected;
  for (const auto& [name, content] : c.After) expected[name] = Texts(content.first, content.second);
  expected["master.dsc"] = Folder()["master.dsc"];
  // The grid layout goes with a committed save only.
  if (!committed) expected["Grid007.FMT"] = {"plain layout"};

  EXPECT_EQ(TemplateBackupExists(Dir(), Tpl), c.Dsx >= 0 || c.Qmx >= 0);
  {
    const TSaveLock lock = TryAcquireSaveLock(Dir(), Tpl, TSaveLockMode::Exclusive);
    ASSERT_TRUE(lock.Held());
    EXPECT_TRUE(RecoverTemplateLocked(Dir(), Tpl));
    EXPECT_EQ(Folder(), expected);
    EXPECT_TRUE(RecoverTemplateLocked(Dir(), Tpl));
  }
  EXPECT_EQ(Folder(), expected);
  EXPECT_FALSE(TemplateBackupExists(Dir(), Tpl));
}

INSTANTIATE_TEST_SUITE_P(Rules, RecoveryRulesTest, ::testing::ValuesIn(Resolved),
                         [](const auto& info) { return std::string(info.param.Name); });

// Files that disagree: one message naming them, nothing deleted or moved.
struct TDisagreeCase {
  const char* Name;
  int Dsc, Dsx, Qmd, Qmx;
  const char* Reason;  // with %QMD% and %QMX% for the paths
};

const std::vector<TDisagreeCase> Disagreeing = {
    {"CommittedDataShort", 3, 2, 4, 5, "The data file %QMD% holds 4 records, its previous generation %QMX% 5 records."},
    {"CommittedDataMissing", 3, 2, -1, 5, "The data file %QMD% is missing beside its previous generation %QMX%."},
    {"UncommittedDataHoldsRecords", 0, 2, 1, 5,
     "The data file %QMD% holds 1 record although the save that made it did not finish."},
    {"MovedAsideDataHoldsRecords", 2, -1, 3, 5,
     "The data file %QMD% holds 3 records although the save that made it did not finish."},
    {"NewTemplateDataHoldsRecords", 0, -1, 2, -1,
     "The data file %QMD% holds 2 records although the save that made it did not finish."},
};

void PrintTo(const TDisagreeCase& c, std::ostream* os) { *os << c.Name; }

class RecoveryDisagreesTest : public RecoveryTest, public ::testing::WithParamInterface<TDisagreeCase> {};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST_P(RecoveryDisagreesTest, OneMessageNothingMoved) {
  const TDisagreeCase& c = GetParam();
  CreateMasterWith({});
  std::string list;
  if (c.Dsc >= 0) MakeFile("MNGR007.DSC", c.Dsc, "new dsc");
  if (c.Dsx >= 0) MakeFile("MNGR007.DSX", c.Dsx, "old dsx");
  if (c.Qmd >= 0) MakeFile("MGRDT007.QMD", c.Qmd, "new qmd");
  if (c.Qmx >= 0) MakeFile("MGRDT007.QMX", c.Qmx, "old qmx");
  for (const char* name : {"MNGR007.DSC", "MNGR007.DSX", "MGRDT007.QMD", "MGRDT007.QMX"}) {
    if (std::filesystem::exists(Temp.path() / name)) list += "\r" + TempPath(name);
  }
  const TFolder before = Folder();
  const std::string reason =
      Replace(Replace(c.Reason, "%QMD%", TempPath("MGRDT007.QMD")), "%QMX%", TempPath("MGRDT007.QMX"));
  DialogResponder dialogs;
  dialogs.Expect("Template 007 was left unfinished by a save that did not end, and its files do not agree:" + list +
                 "\r\r" + reason + "\r\rNothing was deleted or moved." + ContactMsg);
  EXPECT_FALSE(RecoverTemplateLocked(Dir(), Tpl));
  EXPECT_EQ(dialogs.Boxes().at(0).type, mtError);
  EXPECT_EQ(Folder(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoveryDisagreesTest, ::testing::ValuesIn(Disagreeing),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RecoveryTest, BackupsFoundWithoutCaseAndPutBackInTheirOwnSpelling) {
  CreateMasterWith({Tpl});
  MakeFile("mngr007.dsx", 2, "old dsx");
  MakeFile("mngr007.DSC", 0, "new dsc");
  MakeFile("MgrDt007.QmX", 5, "old qmx");
  EXPECT_TRUE(TemplateBackupExists(Dir(), Tpl));
  EXPECT_TRUE(RecoverTemplateLocked(Dir(), Tpl));
  const TFolder folder = Folder();
  EXPECT_EQ(folder.at("mngr007.dsc"), Texts(2, "old dsx"));
  EXPECT_EQ(folder.at("MgrDt007.QmD"), Texts(5, "old qmx"));
  EXPECT_EQ(folder.size(), 3u);
}

TEST_F(RecoveryTest, HiddenNewFilesOfAKilledSaveGoWithIt) {
  CreateMasterWith({Tpl});
  MakeFile("MNGR007.DSC", 2, "new dsc");
  MakeFile("MGRDT007.QMX", 5, "old qmx");
  // A new data file being written under its hidden name when the save died
  // (process ids above any the system hands out: gone for sure).
  MakeFile(".MGRDT007.QMD.999999998-0", 0, "new qmd");
  WriteFileBytes(TempPath(".MGRDT007.QMD.999999998-0-journal"), std::string(512, '\0'));
  WriteFileBytes(TempPath(".mngr007.dsc.999999999-3"), "");
  WriteFileBytes(TempPath(".MGRDT007.QMD.notes"), "kept");
  // One of a process that still runs is its own.
  const std::string live = ".MGRDT007.QMD." + std::to_string(getpid()) + "-1";
  MakeFile(live, 0, "live qmd");
  EXPECT_TRUE(RecoverTemplateLocked(Dir(), Tpl));
  TFolder expected;
  expected["MNGR007.DSC"] = Texts(2, "new dsc");
  expected["MGRDT007.QMD"] = Texts(5, "old qmx");
  expected["master.dsc"] = Folder()["master.dsc"];
  expected[".MGRDT007.QMD.notes"] = {"plain kept"};
  expected[live] = {};
  EXPECT_EQ(Folder(), expected);
}

TEST_F(RecoveryTest, AFileThatWillNotOpenStopsItBeforeAnyChange) {
  CreateMasterWith({Tpl});
  MakeFile("MNGR007.DSC", 0, "new dsc");
  WriteFileBytes(TempPath("MNGR007.DSX"), std::string(5000, 'x'));
  MakeFile("MGRDT007.QMX", 5, "old qmx");
  MakeFile("MGRDT007.QMD", 0, "new qmd");
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  EXPECT_FALSE(RecoverTemplateLocked(Dir(), Tpl));
  const std::string text = dialogs.Texts().at(0);
  EXPECT_TRUE(text.find("The file " + TempPath("MNGR007.DSX") + " could not be opened.\rBtrieve status ") !=
              std::string::npos)
      << text;
  EXPECT_TRUE(text.ends_with("\r\rNothing was deleted or moved." + ContactMsg)) << text;
  EXPECT_EQ(ReadFileBytes(TempPath("MNGR007.DSX")), std::string(5000, 'x'));
  EXPECT_TRUE(FileExists(TempPath("MGRDT007.QMX")));
  EXPECT_TRUE(FileExists(TempPath("MNGR007.DSC")));
  std::filesystem::remove(TempPath("MNGR007.DSX"));  // not a record-manager file for the folder check
}

TEST_F(RecoveryTest, AFileHeldOpenElsewhereStopsItBeforeAnyChange) {
  CreateMasterWith({Tpl});
  MakeFile("MNGR007.DSC", 0, "new dsc");
  MakeFile("MNGR007.DSX", 2, "old dsx");
  MakeFile("MGRDT007.QMX", 5, "old qmx");
  const TFolder before = Folder();
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 3 -4 " + TempPath("MGRDT007.QMX")), "ok");
  DialogResponder dialogs;
  dialogs.Expect("Template 007 was left unfinished by a save that did not end, and its files do not agree:\r" +
                 TempPath("MNGR007.DSC") + "\r" + TempPath("MNGR007.DSX") + "\r" + TempPath("MGRDT007.QMX") +
                 "\r\rThe file " + TempPath("MGRDT007.QMX") + " could not be opened.\r" + BtrStatusTail(85) +
                 "\r\rNothing was deleted or moved." + ContactMsg);
  EXPECT_FALSE(RecoverTemplateLocked(Dir(), Tpl));
  peer.End();
  EXPECT_EQ(Folder(), before);
}

TEST_F(RecoveryTest, AnUnfinishedTransactionOfAKilledProcessCountsAsNotCommitted) {
  CreateMasterWith({Tpl});
  MakeFile("MNGR007.DSX", 2, "old dsx");
  MakeFile("MNGR007.DSC", 0, "new dsc");
  {
    PipedProcess peer(LAYER_PEER_PATH);
    ASSERT_EQ(peer.Ask("open 2 0 " + TempPath("MNGR007.DSC")), "ok");
    ASSERT_EQ(peer.Ask("begin"), "ok");
    ASSERT_EQ(peer.Ask("insert 2 uncommitted record 1"), "ok");
    peer.Kill();
  }
  EXPECT_TRUE(RecoverTemplateLocked(Dir(), Tpl));
  EXPECT_EQ(Folder().at("MNGR007.DSC"), Texts(2, "old dsx"));
}

TEST_F(RecoveryTest, RecoverTemplateWaitsForTheLockAndNoEndsItAsARefusedOpen) {
  CreateMasterWith({Tpl});
  MakeFile("MNGR007.DSC", 0, "new dsc");
  MakeFile("MNGR007.DSX", 2, "old dsx");
  LockRetryMs = 0;
  const std::string name = TempPath("MNGR007.DSC");
  {
    const TSaveLock other = TryAcquireSaveLock(Dir(), Tpl, TSaveLockMode::Shared);
    DialogResponder dialogs;
    dialogs.Expect("File:  " + name + "\r\rRetry?", mrNo);
    ExpectBtrAbort([&] { RecoverTemplate(Dir(), Tpl, name, "Retry?"); },
                   "The file " + name + " could not be opened.\r\r" + BtrStatusTail(85) + ".", 85);
    EXPECT_TRUE(TemplateBackupExists(Dir(), Tpl));
  }
  EXPECT_TRUE(RecoverTemplate(Dir(), Tpl, name, "Retry?"));
  EXPECT_FALSE(TemplateBackupExists(Dir(), Tpl));
  // The lock went with the recovery.
  EXPECT_TRUE(TryAcquireSaveLock(Dir(), Tpl, TSaveLockMode::Exclusive).Held());
}

TEST_F(RecoveryTest, StartUpRecoversEveryFreeNumberAndLeavesAHeldOneAlone) {
  CreateMasterWith({7, 8, 10});
  MakeFile("MNGR007.DSC", 0, "new dsc");  // stopped before its commit
  MakeFile("MNGR007.DSX", 2, "old dsx");
  MakeFile("MNGR008.DSC", 0, "new dsc");  // a save under way elsewhere
  MakeFile("MNGR008.DSX", 2, "old dsx");
  MakeFile("MNGR009.DSC", 0, "new dsc");  // a new template's leftover
  MakeFile("MGRDT009.QMD", 0, "new qmd");
  MakeFile("MNGR010.DSC", 3, "new dsc");  // whole
  MakeFile("MGRDT010.QMD", 1, "new qmd");
  MakeFile("MNGR011.DSC", 3, "new dsc");  // whole, without master record: not recovery's business
  MakeFile("MGRDT012.QMD", 0, "new qmd");  // a new template's data file, its descriptor never begun
  // A new template's descriptor being made when its save died, and nothing
  // else of it (process ids above any the system hands out).
  MakeFile(".MNGR013.DSC.999999997-0", 0, "new dsc");
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  ASSERT_EQ(peer.Ask("lock exclusive 8"), "held");

  TFolder expected = Folder();
  expected.erase("MNGR007.DSX");
  expected["MNGR007.DSC"] = Texts(2, "old dsx");
  expected.erase("MNGR009.DSC");
  expected.erase("MGRDT009.QMD");
  expected.erase("MGRDT012.QMD");
  expected.erase(".MNGR013.DSC.999999997-0");
  // As a start meets it: nothing has loaded the record manager yet.
  ResetBtrLayer();
  RecoverTemplatesAtStartup(Dir());
  EXPECT_EQ(Folder(), expected);
}

// The loader: a cut-short save is recovered before the descriptor is read,
// and the shared lock is held across the whole load.
class LoaderLockTest : public RecoveryTest {
protected:
  static inline const std::string LockMsg =
      "Unable to open the description file for this template.\r\rIf there are other workstations present, check to "
      "see if the template is\rbeing accessed.  You may retry this operation and this message will reappear if\rthe "
      "file remains inaccessable.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";

  void TearDown() override {
    SetDesignerLink(nullptr);
    RecoveryTest::TearDown();
  }

  // The descriptor of template 7 with fields Alpha and Beta.
  static void WriteDescriptor() {
    TTemplateTableBuilder table;
    table.Add("Alpha", 'C', 10);
    table.Add("Beta", 'C', 6);
    TFieldPositions offsets;
    for (int k = 1; k <= Store.FldCount; ++k) offsets[k] = Store.FldTable[k].Offset;
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(Tpl));
    WriteFieldRecords(offsets);
    BtrCloseFile(DescriptorFileNo);
    ClearFieldTables();
  }

  std::string DescriptorName() const { return Dir() + "\\mngr007.dsc"; }
};

class FieldNames : public TDesignerLink {
public:
  explicit FieldNames(std::function<void()> OnField) : onField_(std::move(OnField)) {}
  void AddFieldName(const std::string& Name) override {
    Names.push_back(Name);
    onField_();
  }
  std::vector<std::string> Names;

private:
  std::function<void()> onField_;
};

TEST_F(LoaderLockTest, ACutShortSaveIsRecoveredAndTheOldGenerationLoaded) {
  CreateMasterWith({Tpl});
  WriteDescriptor();
  ASSERT_TRUE(RenameFile(TempPath("MNGR007.DSC"), TempPath("MNGR007.DSX")));
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(TempPath("MNGR007.DSC"), DscRecordLength, int8_t(DescriptorKeySegments.size()), msg, 255,
                            true, DescriptorKeySegments))
      << msg;
  FieldNames link([] {});
  SetDesignerLink(&link);
  ASSERT_TRUE(LoadTemplateDescriptor("007"));
  EXPECT_EQ(link.Names, (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_FALSE(TemplateBackupExists(Dir(), Tpl));

  // With only the previous generation left, it is put back and loaded.
  ASSERT_TRUE(RenameFile(TempPath("MNGR007.DSC"), TempPath("MNGR007.DSX")));
  link.Names.clear();
  ASSERT_TRUE(LoadTemplateDescriptor("007"));
  EXPECT_EQ(link.Names, (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(LoaderLockTest, TheSharedLockIsHeldForTheWholeLoad) {
  CreateMasterWith({Tpl});
  WriteDescriptor();
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  FieldNames link([&] { EXPECT_EQ(peer.Ask("lock exclusive 7"), "busy"); });
  SetDesignerLink(&link);
  ASSERT_TRUE(LoadTemplateDescriptor("007"));
  EXPECT_EQ(link.Names.size(), 2u);
  EXPECT_EQ(peer.Ask("lock exclusive 7"), "held");
}

TEST_F(LoaderLockTest, ASaveElsewhereIsWaitedForAndNoEndsTheLoadAsARefusedOpen) {
  CreateMasterWith({Tpl});
  WriteDescriptor();
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  ASSERT_EQ(peer.Ask("lock exclusive 7"), "held");
  LockRetryMs = 0;
  DialogResponder dialogs;
  dialogs.Expect("File:  " + DescriptorName() + "\r\r" + LockMsg, mrNo)
      .Expect("Error:  The file " + DescriptorName() + " could not be opened.\r\r" + BtrStatusTail(85) +
              ".\r\rUnable to open description file.  You will not be able to modify your template at this time." +
              ContactMsg);
  EXPECT_FALSE(LoadTemplateDescriptor("007"));
  EXPECT_FALSE(BtrIsFileOpen(LoadedDescriptorFileNo));
}

}  // namespace
