// The main window's template list read from real master files: order,
// the e-mail templates and the workstation's "CLCA.IDX" line, the item a
// direct start or a saved template selects, and every way the master can
// refuse to be listed.
#include "mainwin/template_list.h"

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/email_templates.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"
#include "testing/dialog_responder.h"
#include "testing/log_capture.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string CannotRun =
    "\r\rYou will not be able to run this application until this situation is corrected.\r\r"
    "Please contact Ondral, Inc. for assistance.";

class TemplateListTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    Startup.Reset();
    MainFlags.Reset();
    TplSaved = false;
    Startup.WSID = "01";
    Params({});
  }
  void TearDown() override {
    Startup.Reset();
    MainFlags.Reset();
    TplSaved = false;
    Params({});
    StoreFilesTest::TearDown();
  }

  // The command line: the program, then these parameters.
  static void Params(const std::vector<std::string>& params) {
    std::vector<std::string> args{"mtdesk"};
    args.insert(args.end(), params.begin(), params.end());
    std::string error;
    ASSERT_TRUE(SetCommandLine(args, error)) << error;
  }

  // A master holding each (name, number).
  static void MasterOf(const std::vector<std::pair<std::string, int>>& templates) {
    CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    for (const auto& [name, number] : templates) InsertMasterRecord(TTemplateNumber(number).Stored(), name);
    BtrCloseFile(MasterFileNo);
  }

  TListOutcome Load(bool install = false) { return LoadTemplateList(Listing, install); }

  std::string Clca() { return ReadFileBytes(TempPath("CLCA.IDX")); }

  static std::vector<std::string> Trimmed(const std::vector<std::string>& items) {
    std::vector<std::string> out;
    for (const std::string& item : items) out.push_back(TrimRight(item));
    return out;
  }

  TTemplateListing Listing;
};

TEST_F(TemplateListTest, AnEmptyMasterBesideDescriptorsListsNothingAndOffersTheEmailSetup) {
  CreateMaster();
  // Descriptors with records but no master record: templates this folder
  // holds, so it is no new office.
  ASSERT_TRUE(CreateEmailDescriptor(4, 5, false));
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_TRUE(Listing.Items.empty());
  EXPECT_EQ(Listing.Selected, -1);
  EXPECT_TRUE(Listing.OfferEmailSetup);
  EXPECT_TRUE(MainFlags.NoEmailTemplates);
  EXPECT_EQ(MainFlags.OwnHandle, HWND(getpid()));
  EXPECT_EQ(Store.TemplateList[1], "");
  EXPECT_FALSE(FileExists(ClcaIndexName()));
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
}

TEST_F(TemplateListTest, NamesComeInByteOrderWithTheirListEntries) {
  MasterOf({{"beta", 3}, {"Alpha", 12}, {"alpha", 7}, {"Zed", 100}});
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Trimmed(Listing.Items), (std::vector<std::string>{"Alpha", "Zed", "alpha", "beta"}));
  EXPECT_EQ(Listing.Items[0], Format("%-30s", "Alpha"));
  EXPECT_EQ(Store.TemplateList[1], Format("%-30s%3s", "Alpha", "12"));
  EXPECT_EQ(Store.TemplateList[2], Format("%-30s%3s", "Zed", "100"));
  EXPECT_EQ(Store.TemplateList[5], "");
  EXPECT_EQ(Listing.Selected, -1);
  EXPECT_FALSE(Startup.DirectMode);
  EXPECT_EQ(TemplateNumberOf("alpha "), "7");
  EXPECT_EQ(TemplateNumberOf("Gamma"), "");
}

TEST_F(TemplateListTest, EmailTemplatesRegisterTheWorkstationOnce) {
  struct Case {
    std::string WSID;
    std::vector<std::pair<std::string, int>> Templates;
    std::string Line;
  };
  const std::vector<Case> cases = {
      {"01", {{"Client e-mail", 5}, {"Matter e-mail", 9}, {"Other", 6}}, "01  5  9\r\n"},
      {"7", {{"Matter e-mail", 12}, {"Client e-mail", 11}}, "7  11 12\r\n"},
      {"02", {{"Matter e-mail", 40}}, "02    40\r\n"},
      {"03", {{"Client e-mail", 40}}, "03 40   \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    DeleteFile(MasterFileName());
    DeleteFile(ClcaIndexName());
    Startup.WSID = c.WSID;
    MasterOf(c.Templates);
    ASSERT_EQ(Load(), TListOutcome::Listed);
    EXPECT_FALSE(Listing.OfferEmailSetup);
    EXPECT_FALSE(MainFlags.NoEmailTemplates);
    EXPECT_EQ(Clca(), c.Line);
    // Another start, also with a one-character id, adds nothing.
    ASSERT_EQ(Load(), TListOutcome::Listed);
    EXPECT_EQ(Clca(), c.Line);
  }
}

TEST_F(TemplateListTest, AnEmailNameIsComparedWithItsFullPadding) {
  MasterOf({{"Client e-mail x", 2}, {"client e-mail", 3}});
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_TRUE(Listing.OfferEmailSetup);
  EXPECT_FALSE(FileExists(ClcaIndexName()));
}

TEST_F(TemplateListTest, AnExistingLineOfTheWorkstationIsKept) {
  WriteFileBytes(TempPath("CLCA.IDX"), "02  4  5\n01  0  1\r\n");
  MasterOf({{"Client e-mail", 7}, {"Matter e-mail", 8}});
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Clca(), "02  4  5\n01  0  1\r\n");
}

TEST_F(TemplateListTest, AClcaFileThatCannotBeWrittenIsLoggedAndTheListShows) {
  std::filesystem::create_directory(TempPath("CLCA.IDX"));
  MasterOf({{"Client e-mail", 0}, {"Matter e-mail", 1}});
  LogCapture log;
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Listing.Items.size(), 2u);
  EXPECT_EQ(log.CountContaining("could not write the line of workstation \"01\""), 1u);
}

TEST_F(TemplateListTest, ParametersTwoAndSevenChooseADirectStart) {
  struct Case {
    std::vector<std::string> Params;
    int Selected;
    bool Direct, Child, Single;
  };
  const std::vector<Case> cases = {
      {{"", "7"}, 1, true, false, true},
      {{"", "12", "", "", "", "", "0"}, 0, true, false, true},
      {{"", "7", "", "", "", "", "1"}, 1, true, true, false},
      {{"", "007"}, -1, false, false, false},
      {{"", " 7"}, -1, false, false, false},
      {{"", "8"}, -1, false, false, false},
      {{}, -1, false, false, false},
  };
  MasterOf({{"Twelve", 12}, {"seven", 7}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Params.size() > 1 ? c.Params[1] : "none");
    Startup.Reset();
    Startup.WSID = "01";
    MainFlags.Reset();
    Params(c.Params);
    ASSERT_EQ(Load(), TListOutcome::Listed);
    EXPECT_EQ(Listing.Selected, c.Selected);
    EXPECT_EQ(Startup.DirectMode, c.Direct);
    EXPECT_EQ(Startup.IsChildApp, c.Child);
    EXPECT_EQ(Startup.SingleTemplateMode, c.Single);
  }
}

TEST_F(TemplateListTest, ASavedTemplateIsSelectedByItsTrimmedName) {
  MasterOf({{"Twelve", 12}, {"seven", 7}, {"Zulu", 26}});
  TplSaved = true;
  Store.TplName = "seven   ";
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Listing.Selected, 2);
  EXPECT_FALSE(Startup.DirectMode);
  // A template parameter 2 names is still chosen; the later one wins.
  Store.TplName = "Twelve";
  Params({"", "26"});
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Listing.Selected, 1);
  EXPECT_TRUE(Startup.DirectMode);
}

TEST_F(TemplateListTest, NoMasterButADescriptorIsRefused) {
  WriteFileBytes(TempPath("mngr004.dsc"), "lost");
  DialogResponder boxes;
  boxes.Expect("A required file MASTER.DSC could not be found.  The application cannot function without it." +
               ContactMsg);
  EXPECT_EQ(Load(true), TListOutcome::Terminate);
  EXPECT_FALSE(FileExists(MasterFileName()));
}

// Whatever left the folder without a template (a first run, a data folder
// that went, a master made empty by an older start), it is installed as on
// a first run and listed.
TEST_F(TemplateListTest, NoTemplateAtAllInstallsTheEmailTemplatesAsOnAFirstRun) {
  for (const bool emptyMaster : {false, true}) {
    SCOPED_TRACE(emptyMaster ? "an empty master" : "no master");
    for (const std::string& name : {MasterFileName(), ClcaIndexName(), DescriptorFileName(TTemplateNumber(0)),
                                    DescriptorFileName(TTemplateNumber(1)), DataFileName(TTemplateNumber(0)),
                                    DataFileName(TTemplateNumber(1))})
      DeleteFile(name);
    if (emptyMaster) CreateMaster();
    ASSERT_EQ(Load(), TListOutcome::Listed);
    EXPECT_EQ(Trimmed(Listing.Items), (std::vector<std::string>{"Client e-mail", "Matter e-mail"}));
    EXPECT_FALSE(Listing.OfferEmailSetup);
    EXPECT_EQ(TextsOfFile(MasterFileName()), (std::vector<std::string>{Format("%-30s%3s", "Client e-mail", "0"),
                                                                       Format("%-30s%3s", "Matter e-mail", "1")}));
    EXPECT_TRUE(FileExists(DescriptorFileName(TTemplateNumber(0))));
    EXPECT_TRUE(FileExists(DataFileName(TTemplateNumber(1))));
    EXPECT_EQ(Clca(), "01  0  1\r\n");
    EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  }
}

TEST_F(TemplateListTest, InstallMakesBothEmailTemplatesAndNeverListsForAWindow) {
  ASSERT_EQ(Load(true), TListOutcome::Installed);
  const std::vector<std::string> installed{Format("%-30s%3s", "Client e-mail", "0"),
                                           Format("%-30s%3s", "Matter e-mail", "1")};
  EXPECT_EQ(TextsOfFile(MasterFileName()), installed);
  EXPECT_TRUE(FileExists(DataFileName(TTemplateNumber(1))));
  // With the templates in place "X" still ends without a window, and
  // changes nothing.
  ASSERT_EQ(Load(true), TListOutcome::Installed);
  EXPECT_EQ(TextsOfFile(MasterFileName()), installed);
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Listing.Items.size(), 2u);
  EXPECT_EQ(Clca(), "01  0  1\r\n");
}

TEST_F(TemplateListTest, AMasterOverTheListsCapacityIsReportedNamingIt) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrBeginTransaction();
  for (int i = 0; i <= MaxListEntries; ++i)
    BtrInsertRecord(MasterFileNo, Format("%-30s%3s", "T" + IntToStr(i), i < 1000 ? IntToStr(i) : "ABC"));
  BtrEndTransaction();
  BtrCloseFile(MasterFileNo);
  DialogResponder boxes;
  boxes.Expect("Unable to access records in the file MASTER.DSC.\r\rtemplate list[1001] is outside 1..1000." +
               CannotRun);
  EXPECT_EQ(Load(), TListOutcome::Terminate);
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  // The slot is free for the next reader.
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrCloseFile(MasterFileNo);
}

#ifdef LAYER_PEER_PATH
TEST_F(TemplateListTest, AMasterHeldExclusivelyAsksThenEndsWithTheOpenFailure) {
  MasterOf({{"One", 1}});
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 -4 " + MasterFileName()), "ok");
  // The layer's clock runs a second per look, so each wait is short.
  uint64_t now = 0;
  SetBtrTickSource([&now] { return now += 1000; });
  const std::string question = "File:  " + MasterFileName() + "\r\r" + MasterOpenLockMsg;
  DialogResponder boxes;
  boxes.Expect(question, mrYes).Expect(question, mrNo);
  boxes.Expect("Unable to open the file MASTER.DSC.\r\rThe file " + MasterFileName() + " could not be opened.\r\r" +
               BtrStatusTail(85) + "." + CannotRun);
  EXPECT_EQ(Load(), TListOutcome::Terminate);
  EXPECT_EQ(FileLockMsg, "A file lock was encountered.  Retry?");
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  peer.End();
  SetBtrTickSource({});
  // Once the other lets go the list reads.
  ASSERT_EQ(Load(), TListOutcome::Listed);
  EXPECT_EQ(Listing.Items.size(), 1u);
}
#endif

}  // namespace
