// The master file rebuilt from the descriptors of a data folder: the
// records it gets, the backup it keeps, and the old master put back after
// every failure, compared record by record with mdbtr dump.
#include "templates/master_rebuild.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/fault_point.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/email_setup.h"
#include "templates/email_templates.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/log_capture.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

const std::string Contact = "\r\rPlease contact Ondral, Inc. for assistance.";

// "%-30s%3s" as the master stores it, typed out.
std::string Entry(const std::string& name, const std::string& number) {
  return name + std::string(30 - name.size(), ' ') + number;
}

std::string ReadFailure(const std::string& file, const std::string& reason) {
  return "The following error occurred while reading " + file + "\rin order to recreate Master.Dsc.\r\rError:  " +
         reason;
}

class MasterRebuildTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    LockRetryMs = 0;
  }

  // A fresh data folder of its own for one case of a table.
  void UseFolder(const std::string& name) {
    ResetBtrLayer();
    Store.DataDir = TempPath(name);
    std::filesystem::create_directory(Store.DataDir);
  }

  static std::string PathOf(const std::string& file) { return Store.DataDir + "\\" + file; }

  // A descriptor of one field whose index-1 record carries TplName; without
  // NameRecord it has no index record at all.
  static void WriteDescriptor(int number, const std::string& tplName, bool nameRecord = true) {
    TTemplateTableBuilder table;
    const TFld& code = table.Add("Code", 'C', 6);
    TFieldPositions offsets;
    offsets[code.SeqNo] = code.Offset;
    std::string name;
    bool inTrans = false;
    CreateDescriptionFile(name, inTrans, TTemplateNumber(number));
    WriteFieldRecords(offsets);
    if (nameRecord) {
      TIndexRecord index;
      index.Number = 1;
      index.Name = "By code";
      index.SortFlds[1] = code.FldId;
      index.TplName = tplName;
      std::string text = FormatIndexRecord(index);
      WriteDscRecord(text);
    }
    BtrCloseFile(DescriptorFileNo);
  }

  // A master file holding these texts, as an older rebuild or save left it.
  static void WriteMaster(const std::vector<std::string>& texts) {
    CreateMaster();
    BtrOpenFile(9, MasterFileName(), 0);
    BtrBeginTransaction();
    for (const std::string& t : texts) BtrInsertRecord(9, t);
    BtrEndTransaction();
    BtrCloseFile(9);
  }

  // mdbtr's dump of a file of the data folder; nullopt when it is missing.
  static std::optional<std::string> Dump(const std::string& file) {
    if (!FileExists(PathOf(file))) return std::nullopt;
    const ProgramRun run = RunMdbtr({"dump", ResolvePath(PathOf(file))});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    return run.Out;
  }

  static std::vector<std::string> MasterTexts() { return TextsOfFile(MasterFileName()); }

  static void ExpectLeftClean() {
    EXPECT_FALSE(BtrIsFileOpen(RebuildDescriptorFileNo));
    EXPECT_FALSE(BtrIsFileOpen(RebuildMasterFileNo));
    EXPECT_EQ(FileLockMsg, DefaultFileLockMsg);
  }
};

TEST_F(MasterRebuildTest, EachDescriptorGivesItsMasterRecordAndTheOldMasterBecomesTheBackup) {
  struct Case {
    const char* name;
    std::function<void()> make;
    std::vector<std::string> master;  // key-1 order
  };
  const Case cases[] = {
      {"numbers and blank names",
       [] {
         WriteDescriptor(12, "Fees");
         WriteDescriptor(7, "Matters");
         WriteDescriptor(70, "");
         WriteDescriptor(0, "   ");
         WriteMaster({Entry("Fees", " 12"), Entry("Stale", "  9")});
       },
       {Entry("Fees", " 12"), Entry("Matters", "  7"), Entry("UnNamed1", "  0"), Entry("UnNamed2", " 70")}},
      {"e-mail templates, one missing from the master",
       [] {
         ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
         ASSERT_TRUE(InstallEmailTemplates());
         WriteDescriptor(2, "Fees");
       },
       {Entry(ClientEmailName, "  0"), Entry("Fees", "  2"), Entry(MatterEmailName, "  1")}},
      {"no descriptor", [] { WriteMaster({Entry("Gone", "  3")}); }, {}},
      {"neither master nor backup nor descriptor", [] {}, {}},
      {"a template lying only under its previous generation",
       [] {
         WriteDescriptor(4, "Halfway");
         ASSERT_TRUE(RenameFile(PathOf("MNGR004.DSC"), PathOf("MNGR004.DSX")));
         WriteDescriptor(5, "Whole");
       },
       {Entry("Halfway", "  4"), Entry("Whole", "  5")}},
      {"an older backup is replaced",
       [] {
         WriteMaster({Entry("Oldest", "  1")});
         ASSERT_TRUE(RenameFile(MasterFileName(), PathOf("MASTER.BAK")));
         WriteMaster({Entry("Fees", "  1")});
         WriteDescriptor(1, "Fees");
       },
       {Entry("Fees", "  1")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFolder(c.name);
    c.make();
    const std::optional<std::string> before = Dump("master.dsc");
    {
      DialogResponder dialogs;
      EXPECT_EQ(RecreateMasterFile(), TRebuild::Rebuilt);
    }
    ExpectLeftClean();
    EXPECT_EQ(MasterTexts(), c.master);
    EXPECT_EQ(Dump("Master.Bak"), before);
    EXPECT_FALSE(FileExists(PathOf("MNGR004.DSX")));
  }
}

TEST_F(MasterRebuildTest, AFolderWithoutMasterKeepsItsBackupWhateverHappens) {
  WriteMaster({Entry("Only copy", "  1")});
  ASSERT_TRUE(RenameFile(MasterFileName(), PathOf("Master.Bak")));
  const std::optional<std::string> backup = Dump("Master.Bak");
  WriteDescriptor(1, "Fees");
  {
    DialogResponder dialogs;
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Rebuilt);
  }
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{Entry("Fees", "  1")});
  EXPECT_EQ(Dump("Master.Bak"), backup);

  // A failed rebuild takes its own master away and leaves the backup be.
  ASSERT_TRUE(DeleteFile(MasterFileName()));
  WriteDescriptor(2, "Fees");
  {
    DialogResponder dialogs;
    dialogs.Answer(mrOk);
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text.rfind(ReadFailure("MNGR002.DSC", ""), 0), 0u) << dialogs.Boxes()[0].text;
  }
  ExpectLeftClean();
  EXPECT_FALSE(FileExists(MasterFileName()));
  EXPECT_EQ(Dump("Master.Bak"), backup);
}

TEST_F(MasterRebuildTest, AMasterThatCannotBeMadeEndsTheProgramAndLeavesTheFolderBe) {
  WriteMaster({Entry("Only copy", "  1")});
  ASSERT_TRUE(RenameFile(MasterFileName(), PathOf("Master.Bak")));
  const std::optional<std::string> backup = Dump("Master.Bak");
  WriteDescriptor(1, "Fees");
  // A folder in the master's place: nothing to back up, and no master to make.
  std::filesystem::create_directory(TempPath("master.dsc"));
  {
    DialogResponder dialogs;
    dialogs.Answer(mrOk);
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Terminate);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text.rfind("Unable to create file " + Store.DataDir + "\\MASTER.DSC.", 0), 0u)
        << dialogs.Boxes()[0].text;
  }
  ExpectLeftClean();
  EXPECT_TRUE(std::filesystem::is_directory(TempPath("master.dsc")));
  EXPECT_EQ(Dump("Master.Bak"), backup);
}

TEST_F(MasterRebuildTest, ABlankNameStaysUnNamedAcrossRuns) {
  WriteDescriptor(3, "");
  for (int run = 0; run < 2; ++run) {
    DialogResponder dialogs;
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Rebuilt);
    // Counted per rebuild: the second finds the same single blank name.
    EXPECT_EQ(MasterTexts(), std::vector<std::string>{Entry("UnNamed1", "  3")});
  }
}

TEST_F(MasterRebuildTest, ANameWithoutANumberIsLeftOutAndLogged) {
  WriteDescriptor(3, "Fees");
  ASSERT_TRUE(CopyFile(PathOf("MNGR003.DSC"), PathOf("MNGRxyz.DSC"), true));
  LogCapture log;
  {
    DialogResponder dialogs;
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Rebuilt);
  }
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{Entry("Fees", "  3")});
  EXPECT_EQ(log.CountContaining("MNGRxyz.DSC carries no template number"), 1u);
}

// Each failure shows its message and puts the old master back exactly.
TEST_F(MasterRebuildTest, AFailedRebuildRestoresTheOldMaster) {
  struct Case {
    const char* name;
    std::function<void()> make;
    std::function<void(DialogResponder&)> script;
    std::string prefix;  // what the last message begins with, for layer texts
  };
  const Case cases[] = {
      {"two descriptors with one name",
       [] {
         WriteDescriptor(2, "Fees");
         WriteDescriptor(5, "Fees");
       },
       [](DialogResponder& d) { d.Answer(mrOk); }, ReadFailure("MNGR005.DSC", "")},
      {"a descriptor without name record",
       [] {
         WriteDescriptor(2, "Fees");
         WriteDescriptor(3, "", false);
         WriteDescriptor(4, "Later");
       },
       [](DialogResponder& d) {
         d.Expect(ReadFailure("MNGR003.DSC", "Unable to locate name record in MNGR003.DSC"));
       },
       ""},
      {"a descriptor that is no record file",
       [] {
         WriteDescriptor(2, "Fees");
         WriteFileBytes(ResolvePath(PathOf("MNGR003.DSC")), "not a record file");
       },
       [](DialogResponder& d) { d.Answer(mrOk); }, "Error:  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFolder(c.name);
    c.make();
    WriteMaster({Entry("Fees", "  2"), Entry("Kept", "  8")});
    const std::optional<std::string> before = Dump("master.dsc");
    {
      DialogResponder dialogs;
      c.script(dialogs);
      EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
      ASSERT_EQ(dialogs.Boxes().size(), 1u);
      EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
      EXPECT_EQ(dialogs.Boxes()[0].text.rfind(c.prefix, 0), 0u) << dialogs.Boxes()[0].text;
    }
    ExpectLeftClean();
    EXPECT_EQ(Dump("master.dsc"), before);
    EXPECT_EQ(Dump("Master.Bak"), before);
  }
}

TEST_F(MasterRebuildTest, ADescriptorHeldElsewhereAndNotWaitedForFailsTheRebuild) {
  WriteDescriptor(2, "Fees");
  WriteDescriptor(3, "Held");
  WriteMaster({Entry("Fees", "  2")});
  const std::optional<std::string> before = Dump("master.dsc");
  const std::string path = PathOf("MNGR003.DSC");
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 -4 " + ResolvePath(path)), "ok");
  {
    DialogResponder dialogs;
    dialogs.Expect("File:  " + path + "\r\r" +
                       "The description file MNGR003.DSC is currently not accessible (Recreating master file)." +
                       "\r\r" + "It may be in use elsewhere.   Retry accessing the file?",
                   mrNo);
    dialogs.Expect("Error:  The file " + path + " could not be opened.\r\r" + BtrStatusTail(85) + "." + "\r\r" +
                   "Unable to open description file MNGR003.DSC." + Contact);
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
  }
  EXPECT_EQ(peer.Ask("close 1"), "ok");
  ExpectLeftClean();
  EXPECT_EQ(Dump("master.dsc"), before);
}

// Another workstation makes a master between the backup and the creation:
// the rebuild fails without a message of its own and the old master is back.
TEST_F(MasterRebuildTest, AMasterMadeElsewhereMeanwhileFailsTheRebuildAndRestores) {
  WriteDescriptor(2, "Fees");
  WriteMaster({Entry("Fees", "  2"), Entry("Kept", "  8")});
  const std::optional<std::string> before = Dump("master.dsc");
  const std::string master = ResolvePath(MasterFileName());
  // Steps 1 and 2 copy and delete the master; step 3 creates the new one.
  SetFaultPauseNotifier([&](uint64_t) {
    EXPECT_FALSE(std::filesystem::exists(master));
    std::error_code error;
    std::filesystem::copy_file(ResolvePath(PathOf("Master.Bak")), master, error);
    EXPECT_FALSE(error) << error.message();
    ReleaseFaultPause();
  });
  ArmFaultPoint(3, TFaultAction::Pause);
  {
    DialogResponder dialogs;
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
    EXPECT_TRUE(dialogs.Boxes().empty());
  }
  DisarmFaultPoint();
  SetFaultPauseNotifier({});
  ExpectLeftClean();
  EXPECT_EQ(Dump("master.dsc"), before);
  EXPECT_EQ(Dump("Master.Bak"), before);
}

TEST_F(MasterRebuildTest, AMasterOrBackupHeldElsewhereStopsBeforeAnythingChanges) {
  WriteDescriptor(2, "Fees");
  WriteMaster({Entry("Fees", "  2"), Entry("Kept", "  8")});
  const std::optional<std::string> before = Dump("master.dsc");
  {
    // The master is copied while another workstation reads it, but not deleted.
    PipedProcess peer(LAYER_PEER_PATH);
    ASSERT_EQ(peer.Ask("open 1 0 " + ResolvePath(MasterFileName())), "ok");
    DialogResponder dialogs;
    dialogs.Expect("Unable to delete existing Master.Dsc after making backup.\r\r" + Contact);
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
    EXPECT_EQ(peer.Ask("close 1"), "ok");
  }
  EXPECT_EQ(Dump("master.dsc"), before);
  EXPECT_EQ(Dump("Master.Bak"), before);
  {
    PipedProcess peer(LAYER_PEER_PATH);
    ASSERT_EQ(peer.Ask("open 1 0 " + ResolvePath(PathOf("Master.Bak"))), "ok");
    DialogResponder dialogs;
    dialogs.Expect("Unable to make a backup copy of Master.Dsc (could not delete existing Master.Bak).\r\r" + Contact);
    EXPECT_EQ(RecreateMasterFile(), TRebuild::Failed);
    EXPECT_EQ(peer.Ask("close 1"), "ok");
  }
  ExpectLeftClean();
  EXPECT_EQ(Dump("master.dsc"), before);
}

}  // namespace
