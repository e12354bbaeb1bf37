// Export and erase of the scenario's batch with the real record manager:
// the clean export and erase against their expected folders, every refusal
// and failure text with what it leaves, a second workstation client
// holding the batch through step 8, and the export command's questions.
#include "entry/batch_export.h"
#include "entry/batch_journal_file.h"
#include "entry/tests/batch/batch_fixture.h"

#include "btrieve/call_status.h"
#include "btrieve/win_btr.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/registry_settings.h"
#include "templates/batch_codec.h"
#include "testing/scoped_env.h"

#include <memory>

namespace {

const std::string Contact = "\r\rPlease contact Ondral, Inc. for assistance.";

// A second client of the engine in this process holding a file open, as
// another instance of the workstation would.
class OtherClient {
public:
  explicit OtherClient(const std::string& Path) {
    std::string msg;
    EXPECT_TRUE(BtrLoadEngine(msg, 255)) << msg;
    EXPECT_EQ(CallStatus(engine_, [&] { engine_.Open(Path, {}, 0); }), 0);
  }
  ~OtherClient() { CallStatus(engine_, [&] { engine_.Close(); }); }

private:
  static constexpr uint8_t id_[ClientIdSize] = {'o', 't', 'h', 'e', 'r'};
  TWinBtr engine_{id_};
};

class BatchExportTest : public BatchTest {
protected:
  void SetUp() override {
    BatchTest::SetUp();
    UseScenario();
    Before = SnapshotBatch(Temp.path());
    Folder = ExportFolder(Temp.path()).string();
  }
  TBatchSnapshot Now() {
    BtrCloseAllFiles();
    return SnapshotBatch(Temp.path());
  }
  void ExportExpecting(const std::string& text) {
    DialogResponder boxes;
    boxes.Expect(text);
    ExportBatch(Folder);
  }

  static void ExpectSame(const TBatchSnapshot& now, const TBatchSnapshot& expected) {
    EXPECT_TRUE(now == expected) << SnapshotDifference(now, expected);
  }

  TBatchSnapshot Before;
  std::string Folder;
};

TEST_F(BatchExportTest, ACleanExportLeavesTheBatchInTheFolderAsBackup002AndAnEmptyBatch) {
  ExportExpecting("Your batch has been successfully exported.");
  ExpectSame(Now(), ExpectedExported(Before));
  // The new batch takes entries from link 1 again.
  ASSERT_TRUE(SaveBatchEntry(Entry("1", "after")));
  EXPECT_EQ(Links(Rows()), std::vector<std::string>{"       1"});
}

TEST_F(BatchExportTest, RefusalsBeforeAnythingIsCopied) {
  // The previous batch still waits in the folder.
  WriteFileBytes(ExportFolder(Temp.path()) / "DESC01.MD", "not yet processed");
  const TBatchSnapshot waiting = Now();
  ExportExpecting(
      "Your last batch has not been processed at the host.  You will not be able to export the current batch at this "
      "time." +
      Contact);
  ExpectSame(Now(), waiting);
  std::filesystem::remove(ExportFolder(Temp.path()) / "DESC01.MD");

  // MDback cannot be made.
  std::filesystem::rename(DataFolder(Temp.path()) / "MDback", Temp.path() / "kept");
  WriteFileBytes(DataFolder(Temp.path()) / "MDback", "a file in the way");
  ExportExpecting("Unable to create the backup directory " + Store.DataDir + "\\MDback." + "\r" +
                  "You will not be able to export your batch until this problem is resolved." + "\r" + Contact);
  std::filesystem::remove(DataFolder(Temp.path()) / "MDback");
  std::filesystem::rename(Temp.path() / "kept", DataFolder(Temp.path()) / "MDback");
  ExpectSame(Now(), Before);
}

TEST_F(BatchExportTest, AllBackupNumbersTakenStopsWithTheLimitWarning) {
  const std::filesystem::path backups = DataFolder(Temp.path()) / "MDback";
  for (int n = 1; n <= MaxBatchBackup; ++n)
    if (n != 1 && n != 3) WriteFileBytes(backups / ("trin01." + IntToHex(n, 3)), "");
  DialogResponder boxes;
  boxes.Expect("You have reached the system limit of 4096 backup copies of previously\rexported batches in " +
               Store.DataDir + "\\MDBack." + "\r\r" +
               "Corvenstead cannot export the current batch until one or more previously" + "\r" +
               "saved batches are deleted.");
  ExportBatch(Folder);
  EXPECT_EQ(boxes.Boxes().at(0).type, mtWarning);
  EXPECT_FALSE(FileExists(TrinCloneFileName()));
  BtrCloseAllFiles();
  EXPECT_EQ(DumpRecords(DataFolder(Temp.path()) / "TRIN01.MD"), Before.at("mddata/TRIN01.MD"));
}

TEST_F(BatchExportTest, BackupNumbersAreFoundInAnyCase) {
  for (int n = 4; n <= 9; ++n) WriteFileBytes(ResolvePath(TrinBackupFileName(n)), "");
  WriteFileBytes(DataFolder(Temp.path()) / "MDback" / "TRIN01.00a", "");
  WriteFileBytes(ResolvePath(TrinBackupFileName(2)), "");
  ExportExpecting("Your batch has been successfully exported.");
  EXPECT_TRUE(FileExists(TrinBackupFileName(0xB)));
  EXPECT_TRUE(std::filesystem::exists(DataFolder(Temp.path()) / "MDback" / "trin01.00B"));
}

TEST_F(BatchExportTest, AFailedDescCopyLeavesNoExportedTrinAndNoBackupPair) {
  // A folder under the DESC copy's name makes that copy fail.
  std::filesystem::create_directory(ExportFolder(Temp.path()) / "DESC01.MD.part");
  ExportExpecting("Exporting of the file " + DescFileName() + " failed. Please try this operation again later." +
                  Contact);
  std::filesystem::remove(ExportFolder(Temp.path()) / "DESC01.MD.part");
  // Backup pair 002 undone, the leftover DESC backup it would replace too.
  TBatchSnapshot undone = Before;
  undone.erase("mddata/MDback/DESC01.002");
  ExpectSame(Now(), undone);

  std::filesystem::create_directory(DataFolder(Temp.path()) / "MDback" / "DESC01.002");
  const TBatchSnapshot blocked = Now();
  ExportExpecting("Backup copying of the file " + DescFileName() +
                  " failed.  You will not be able to export your batch at this time." + Contact);
  ExpectSame(Now(), blocked);
}

TEST_F(BatchExportTest, AnotherInstanceHoldingTheBatchFailsStep8AndTheNextOpenFinishes) {
  {
    OtherClient holder(ResolvePath(TrinFileName()));
    ExportExpecting(
        "Corvenstead was able to export your batch, but failed in creating a new empty batch (Deletion of existing "
        "files failed).");
    EXPECT_TRUE(BatchJournalExists());
    TBatchSnapshot now = Now();
    EXPECT_EQ(now.at("export/TRIN01.MD"), Before.at("mddata/TRIN01.MD"));
    // Nothing reaches the batch while its journal says the export stands.
    DialogResponder boxes;
    boxes.Expect("The export of the batch to " + Folder + " (backup 002 in " + Store.DataDir +
                 "\\MDback) was cut short and could not be finished.  The batch cannot be used until this problem is "
                 "resolved." +
                 Contact);
    EXPECT_FALSE(SaveBatchEntry(Entry("1", "lost?")));
  }
  EXPECT_TRUE(OpenBatchFiles());
  EXPECT_FALSE(BatchJournalExists());
  ExpectSame(Now(), ExpectedExported(Before));
}

TEST_F(BatchExportTest, AnEmptyBatchHasNothingToExportOrErase) {
  {
    DialogResponder boxes;
    boxes.Expect("Your batch has been successfully exported.");
    ExportBatch(Folder);
  }
  const TBatchSnapshot exported = Now();
  std::filesystem::remove(ExportFolder(Temp.path()) / "TRIN01.MD");
  std::filesystem::remove(ExportFolder(Temp.path()) / "DESC01.MD");
  ExportExpecting("Batch is empty - nothing to export!");
  DialogResponder boxes;
  boxes.Expect("The batch is already empty - nothing to do!");
  EXPECT_FALSE(EraseBatch());
  EXPECT_EQ(Now().at("mddata/TRIN01.MD"), exported.at("mddata/TRIN01.MD"));
}

TEST_F(BatchExportTest, EraseAsksThenEmptiesTheBatchWithoutABackup) {
  const std::string question = "Are you SURE you want to erase the ENTIRE batch?";
  {
    DialogResponder boxes;
    boxes.Expect(question, mrNo);
    EXPECT_FALSE(EraseBatch());
  }
  ExpectSame(Now(), Before);
  {
    OtherClient holder(ResolvePath(TrinFileName()));
    DialogResponder boxes;
    boxes.Expect(question, mrYes).Expect("Unable to erase batch (deletion of existing files failed).");
    EXPECT_FALSE(EraseBatch());
  }
  ExpectSame(Now(), Before);
  {
    DialogResponder boxes;
    boxes.Expect(question, mrYes);
    EXPECT_TRUE(EraseBatch());
  }
  ExpectSame(Now(), ExpectedErased(Before));
}

TEST_F(BatchExportTest, ADamagedJournalKeepsTheBatchClosed) {
  WriteFileBytes(ResolvePath(BatchJournalFileName()), "PREPARED\r\n");
  DialogResponder boxes;
  boxes.Expect("The batch journal " + BatchJournalFileName() +
               " cannot be read.  The batch cannot be used until this problem is resolved." + Contact);
  EXPECT_FALSE(OpenBatchFiles());
  EXPECT_FALSE(BtrIsFileOpen(TrinFileNo));
  std::filesystem::remove(ResolvePath(BatchJournalFileName()));
}

class SelectExportDirTest : public BatchExportTest {
protected:
  void SetUp() override {
    BatchExportTest::SetUp();
    registry_ = std::make_unique<ScopedEnv>("MATTERDESK_REGISTRY", TempPath("registry.ini"));
  }
  void TearDown() override {
    registry_.reset();
    BatchExportTest::TearDown();
  }
  // A picker that records its caption and preset and picks Pick.
  TExportFolderPicker Picker(const std::string& pick, bool ok = true) {
    return [this, pick, ok](const std::string& caption, const std::string& preset, std::string& picked) {
      Caption = caption;
      Preset = preset;
      picked = pick;
      return ok;
    };
  }
  static std::string ExportDir() {
    std::string value;
    ReadRegValue("ExportDir", ProgramKeyId, value);
    return value;
  }
  std::string Caption, Preset;

private:
  std::unique_ptr<ScopedEnv> registry_;
};

TEST_F(SelectExportDirTest, ConfirmedAndRememberedThenExported) {
  DialogResponder boxes;
  boxes.Expect("You are about to export the current batch to:\r\r" + Folder + ".", mrOk)
      .Expect("Make '" + Folder + "'" + "\r" + "the default directory to export to?", mrYes)
      .Expect("Your batch has been successfully exported.");
  SelectExportDirWith(Picker(Folder));
  EXPECT_EQ(Caption, "Select a directory to receive the exported batch");
  EXPECT_EQ(Preset, "");
  EXPECT_EQ(ExportDir(), Folder);
  ExpectSame(Now(), ExpectedExported(Before));
}

TEST_F(SelectExportDirTest, PresetRootCancelAndAFolderThatCannotBeMade) {
  ASSERT_TRUE(WriteRegValue("ExportDir", Folder));
  {
    DialogResponder boxes;
    SelectExportDirWith(Picker("", false));
    EXPECT_EQ(Preset, Folder);
  }
  {
    DialogResponder boxes;
    boxes.Expect("You may not export a batch to the root directory of a drive.")
        .Expect("You may not export a batch to the root directory of a drive.");
    SelectExportDirWith(Picker("C:\\"));
    SelectExportDirWith(Picker("/"));
  }
  {
    DialogResponder boxes;
    boxes.Expect("You are about to export the current batch to:\r\r" + Folder + ".", mrCancel);
    SelectExportDirWith(Picker(Folder));
  }
  ExpectSame(Now(), Before);
  // Gone, and in the way of being made again: not preset.
  WriteFileBytes(TempPath("blocker"), "");
  ASSERT_TRUE(WriteRegValue("ExportDir", TempPath("blocker") + "/sub"));
  {
    DialogResponder boxes;
    SelectExportDirWith(Picker("", false));
    EXPECT_EQ(Preset, "");
  }
}

}  // namespace

namespace {

// A committed export whose folder went out of reach before its renames:
// the batch waits for the folder instead of being emptied.
TEST_F(BatchExportTest, ACommittedExportWaitsForItsFolderToComeBack) {
  {
    OtherClient holder(ResolvePath(TrinFileName()));
    DialogResponder boxes;
    boxes.Answer(mrOk);
    ExportBatch(Folder);
  }
  ASSERT_TRUE(BatchJournalExists());
  std::filesystem::rename(ExportFolder(Temp.path()), Temp.path() / "away");
  {
    DialogResponder boxes;
    boxes.Expect("The export of the batch to " + Folder + " (backup 002 in " + Store.DataDir +
                 "\\MDback) was cut short and could not be finished.  The batch cannot be used until this problem is "
                 "resolved." +
                 Contact);
    EXPECT_FALSE(OpenBatchFiles());
  }
  EXPECT_EQ(DumpRecords(DataFolder(Temp.path()) / "TRIN01.MD"), Before.at("mddata/TRIN01.MD"));
  std::filesystem::rename(Temp.path() / "away", ExportFolder(Temp.path()));
  EXPECT_TRUE(OpenBatchFiles());
  ExpectSame(Now(), ExpectedExported(Before));
}

}  // namespace
