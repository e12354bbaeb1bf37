// Installing and setting up the built-in e-mail templates on real files.
#include "templates/email_setup.h"

#include "platform/fault_point.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/email_templates.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EmailSetupTest : public StoreFilesTest {
protected:
  // The master records' texts in key-2 order.
  static std::vector<std::string> MasterTexts() {
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    std::vector<std::string> texts;
    for (const std::string& r : Records(MasterFileNo, 2)) texts.push_back(r.substr(4));
    BtrCloseFile(MasterFileNo);
    return texts;
  }

  static uint16_t DataRecordLength(int number) {
    BtrOpenFile(9, DataFileName(TTemplateNumber(number)), 0);
    const uint16_t length = BtrRecordLength(9);
    BtrCloseFile(9);
    return length;
  }

  // The folder's files, the record manager's lock sidecars aside.
  std::vector<std::string> Folder() {
    std::vector<std::string> names;
    for (const FileEntry& e : FindFiles(Store.DataDir + "\\*.*")) {
      if (!e.Name.ends_with(".lck")) names.push_back(e.Name);
    }
    return names;
  }
};

TEST_F(EmailSetupTest, InstallMakesMasterDescriptorsAndDataFiles) {
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  ASSERT_TRUE(InstallEmailTemplates());
  EXPECT_EQ(MasterTexts(), (std::vector<std::string>{"Client e-mail                   0",
                                                     "Matter e-mail                   1"}));
  EXPECT_EQ(TextsOfFile(DescriptorFileName(TTemplateNumber(0))), EmailDescriptorTexts(TEmailTemplate::Client));
  EXPECT_EQ(TextsOfFile(DescriptorFileName(TTemplateNumber(1))), EmailDescriptorTexts(TEmailTemplate::Matter));
  EXPECT_EQ(DataRecordLength(0), 659);
  EXPECT_EQ(DataRecordLength(1), 626);
  EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT000.QMD", "MGRDT001.QMD", "MNGR000.DSC",
                                                "MNGR001.DSC"}));

  // The matter template loads: its "K2" record is index 1, keyed on client
  // and case lookups.
  ASSERT_TRUE(LoadTemplateDescriptor("001"));
  EXPECT_EQ(Store.FldCount, 18);
  EXPECT_EQ(Store.IndexRecs.Names[1], "matter suffix");
  EXPECT_EQ(Store.IndexRecs.SortFld2[1], 2);
  EXPECT_EQ(Store.PrimKey.Width[2], 7);
  EXPECT_EQ(BlankPrimKey, std::string(14, ' '));
  EXPECT_EQ(Store.RecLen, 618);
  ASSERT_TRUE(LoadTemplateDescriptor("000"));
  EXPECT_EQ(Store.FldCount, 17);
  EXPECT_EQ(Store.RecLen, 651);

  // A second start finds the master made.
  EXPECT_EQ(CreateMasterFile(true), TMasterCreation::Existed);
  EXPECT_EQ(MasterTexts().size(), 2u);
}

TEST_F(EmailSetupTest, FailedInstallLeavesTheFolderAsItWas) {
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  WriteFileBytes(TempPath("MNGR001.DSC"), "orphan");
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  EXPECT_FALSE(InstallEmailTemplates());
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].text.rfind("Unable to create new description file " + Store.DataDir +
                                              "\\MNGR001.DSC for email template:\r",
                                          0),
            0u);
  EXPECT_EQ(Folder(), (std::vector<std::string>{"MNGR001.DSC"}));
  EXPECT_EQ(ReadFileBytes(TempPath("MNGR001.DSC")), "orphan");
}

// Whatever step of the install fails, the master holds both records or
// none, and the workstation can start its next transaction.
TEST_F(EmailSetupTest, AFailingInstallStepLeavesBothRecordsOrNone) {
  const std::string top = Store.DataDir;
  for (uint64_t n = 1;; ++n) {
    Store.DataDir = top + "/" + std::to_string(n);
    ASSERT_TRUE(CreateDir(Store.DataDir));
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
    bool installed = false;
    {
      DialogResponder dialogs;
      dialogs.Answer(mrOk);
      ArmFaultPoint(n, TFaultAction::FailOnce);
      installed = InstallEmailTemplates();
      const bool reached = FaultStepCount() >= n;
      DisarmFaultPoint();
      if (dialogs.Pending() != 0u) dialogs.MessageDlg("", mtCustom, 0, 0);
      if (!reached) {
        EXPECT_TRUE(installed);
        break;
      }
    }
    SCOPED_TRACE("failing step " + std::to_string(n));
    if (!installed && FileExists(MasterFileName())) {
      EXPECT_EQ(MasterTexts().size(), 0u);
    }
    // A file to begin the check's transaction on; the failure may have
    // removed the master.
    if (!FileExists(MasterFileName())) CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    EXPECT_NO_THROW({
      BtrBeginTransaction();
      BtrAbortTransaction();
    });
    BtrCloseFile(MasterFileNo);
    ResetBtrLayer();
  }
}

// A folder without any template gets both, whether its master is missing or
// empty; once they are in, or where the office has a template of its own,
// nothing changes.
TEST_F(EmailSetupTest, AFolderWithoutTemplatesIsInstalledOnceAndAnOfficeIsLeftAlone) {
  const std::vector<std::string> installed{"Client e-mail                   0", "Matter e-mail                   1"};
  const std::vector<std::string> files{"master.dsc", "MGRDT000.QMD", "MGRDT001.QMD", "MNGR000.DSC", "MNGR001.DSC"};
  for (const bool emptyMaster : {false, true}) {
    SCOPED_TRACE(emptyMaster ? "an empty master" : "no master");
    for (const std::string& name : files) DeleteFile(TempPath(name));
    if (emptyMaster) {
      ASSERT_EQ(CreateMasterFile(false), TMasterCreation::Created);
    }
    EXPECT_EQ(InstallWhereNoTemplates("Retry?"), TFirstRun::Installed);
    EXPECT_EQ(MasterTexts(), installed);
    EXPECT_EQ(Folder(), files);
    EXPECT_EQ(InstallWhereNoTemplates("Retry?"), TFirstRun::NotNeeded);
    EXPECT_EQ(MasterTexts(), installed);
    EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  }

  for (const std::string& name : files) DeleteFile(TempPath(name));
  ASSERT_EQ(CreateMasterFile(false), TMasterCreation::Created);
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  InsertMasterRecord("5", "Other");
  BtrCloseFile(MasterFileNo);
  EXPECT_EQ(InstallWhereNoTemplates("Retry?"), TFirstRun::NotNeeded);
  EXPECT_EQ(MasterTexts(), std::vector<std::string>{"Other                           5"});
  EXPECT_EQ(Folder(), std::vector<std::string>{"master.dsc"});
}

TEST_F(EmailSetupTest, SetupTakesTheFirstFreePairAndRegistersTheWorkstation) {
  CreateMasterWith({0, 2});
  WriteFileBytes(TempPath("CLCA.IDX"), "Z   7  8\r\n");
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  EXPECT_EQ(SetupEmailTemplates("W"), TEmailSetup::Created);
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtConfirmation);
  EXPECT_EQ(MasterTexts(), (std::vector<std::string>{"Template 0                      0",
                                                     "Template 2                      2",
                                                     "Client e-mail                   3",
                                                     "Matter e-mail                   4"}));
  EXPECT_EQ(TextsOfFile(DescriptorFileName(TTemplateNumber(4))), EmailDescriptorTexts(TEmailTemplate::Matter));
  EXPECT_EQ(DataRecordLength(3), 659);
  EXPECT_EQ(ReadFileBytes(TempPath("CLCA.IDX")), "Z   7  8\r\nW   3  4\r\n");
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

TEST_F(EmailSetupTest, SetupFailureRemovesTheRecordsAndFilesItMade) {
  CreateMasterWith({0});
  // The data file of 2 cannot be made: a folder holds its name, after the
  // pair search has chosen 1 and 2 (the folder is no template file).
  ASSERT_TRUE(CreateDir(TempPath("MGRDT002.QMD")));
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  EXPECT_EQ(SetupEmailTemplates("W"), TEmailSetup::NotCreated);
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].text.rfind("Unable to create new data file " + Store.DataDir +
                                              "\\MGRDT002.QMD for email template:\r",
                                          0),
            0u);
  EXPECT_EQ(MasterTexts(), (std::vector<std::string>{"Template 0                      0"}));
  EXPECT_EQ(Folder(), (std::vector<std::string>{"master.dsc", "MGRDT002.QMD"}));
  EXPECT_FALSE(FileExists(TempPath("CLCA.IDX")));
}

TEST_F(EmailSetupTest, SetupAtTheLimitChangesNothing) {
  CreateMaster();
  for (int n = 0; n <= 998; n += 2) WriteFileBytes(TempPath("MNGR" + TTemplateNumber(n).ZeroFilled() + ".DSC"), "");
  DialogResponder dialogs;
  dialogs.Expect("You currently have at least 998 templates!\rYou must delete at least 1 existing template to import "
                 "the email templates at this time.");
  EXPECT_EQ(SetupEmailTemplates("W"), TEmailSetup::NotCreated);
  EXPECT_TRUE(MasterTexts().empty());
}

}  // namespace
