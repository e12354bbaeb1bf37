// Saving, renaming, deleting and exporting user lists on real files.
#include "templates/user_list_edit.h"

#include "platform/fault_point.h"
#include "templates/store_constants.h"
#include "templates/tests/user_list_fixture.h"
#include "testing/box_recorder.h"
#include "testing/dialog_responder.h"
#include "testing/fake_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string Header(const std::string& Name) { return ListHeaderLine(Name) + "\r\n"; }

class UserListEditTest : public UserListTest {
protected:
  void SetUp() override {
    UserListTest::SetUp();
    MakeCatalogue({{1, "One"}, {5, "Five", TListNumberLayout::Right}});
    WriteList(1, "uno\r\n" + Header("One"));
    WriteList(5, "cinque\r\n" + Header("Five"));
  }
  void TearDown() override {
    DisarmFaultPoint();
    UserListTest::TearDown();
  }

  TUserListState Loaded(int Number, const std::string& Name) {
    TUserListState state;
    state.SelUserList = Number;
    state.ListName = Name;
    return state;
  }
};

TEST_F(UserListEditTest, ANewListTakesTheFirstFreeNumberAboveTheHighestPassingOrphansBy) {
  WriteList(6, "left behind\r\n");
  std::filesystem::create_directory(ListPath(7));
  TUserListState state;
  EXPECT_EQ(SaveUserList(state, "  Courts ", {"Appeals", "District"}), TListSaveResult::Saved);
  EXPECT_EQ(state.SelUserList, 8);
  EXPECT_EQ(state.ListName, "Courts");
  EXPECT_EQ(ListBytes(8), "Appeals\r\nDistrict\r\n" + Header("Courts"));
  EXPECT_EQ(ListBytes(6), "left behind\r\n");
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts(), (std::vector<std::string>{FormatUserListText(1, "One", TListNumberLayout::Left),
                                                        FormatUserListText(5, "Five", TListNumberLayout::Right),
                                                        "8       Courts              "}));
}

TEST_F(UserListEditTest, AListSavedUnderItsOwnNameKeepsItsNumber) {
  TUserListState state = Loaded(5, "Five");
  const auto before = CatalogueTexts();
  EXPECT_EQ(SaveUserList(state, "Five", {"cinq", "f\xFCnf"}), TListSaveResult::Saved);
  EXPECT_EQ(state.SelUserList, 5);
  EXPECT_EQ(ListBytes(5), "cinq\r\nf\xFCnf\r\n" + Header("Five"));
  EXPECT_FALSE(FileExists(ListPath(6)));
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts(), before);
}

TEST_F(UserListEditTest, AnotherListsNameIsRefusedForANewListAndForARenameAlike) {
  const auto files = FolderContents();
  const auto records = CatalogueTexts();
  const struct {
    TUserListState state;
    std::string name;
  } cases[] = {{TUserListState(), "Five"}, {Loaded(1, "One"), " Five "}};
  for (const auto& c : cases) {
    DialogResponder responder;
    responder.Expect("The name you have supplied for the current list (Five) is already in use.  "
                     "Please select a different name.");
    TUserListState state = c.state;
    EXPECT_EQ(SaveUserList(state, c.name, {"x"}), TListSaveResult::Refused);
    EXPECT_EQ(state.SelUserList, c.state.SelUserList);
    EXPECT_EQ(responder.Boxes().at(0).type, mtError);
  }
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(FolderContents(), files);
  EXPECT_EQ(CatalogueTexts(), records);
}

TEST_F(UserListEditTest, ARenameKeepsTheNumberSoEveryFieldUsingTheListKeepsIt) {
  TUserListState state = Loaded(5, "Five");
  EXPECT_EQ(SaveUserList(state, "Cinq", {"cinque"}), TListSaveResult::Saved);
  EXPECT_EQ(state.SelUserList, 5);
  EXPECT_EQ(state.ListName, "Cinq");
  EXPECT_EQ(ListBytes(5), "cinque\r\n" + Header("Cinq"));
  EXPECT_FALSE(FileExists(ListPath(6)));
  BtrCloseFile(UserListFileNo);
  // The number stays as the import wrote it.
  EXPECT_EQ(CatalogueTexts(), (std::vector<std::string>{FormatUserListText(1, "One", TListNumberLayout::Left),
                                                        "       5Cinq                "}));
}

TEST_F(UserListEditTest, ALoadedListWhoseFileIsGoneIsSavedAsANewOne) {
  DeleteFile(ListPath(5));
  TUserListState state = Loaded(5, "Five");
  EXPECT_EQ(SaveUserList(state, "Cinq", {"cinque"}), TListSaveResult::Saved);
  EXPECT_EQ(state.SelUserList, 6);
  EXPECT_EQ(ListBytes(6), "cinque\r\n" + Header("Cinq"));
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts().size(), 3u);
}

// Every step of a new list's save and of a rename failing in turn: the save
// either completes or leaves the files and the catalogue as they were.
TEST_F(UserListEditTest, ASaveFailingAtAnyStepLeavesNothingHalfDone) {
  for (const bool rename : {false, true}) {
    const auto files = FolderContents();
    const auto records = CatalogueTexts();
    for (uint64_t step = 1;; ++step) {
      SCOPED_TRACE((rename ? "rename, step " : "new list, step ") + std::to_string(step));
      TBoxRecorder boxes;
      TUserListState state = rename ? Loaded(5, "Five") : TUserListState();
      ArmFaultPoint(step, TFaultAction::FailOnce);
      const TListSaveResult result = SaveUserList(state, "Fresh", {"a"});
      const uint64_t steps = FaultStepCount();
      DisarmFaultPoint();
      BtrCloseAllFiles();
      if (result == TListSaveResult::Saved) {
        // The step lay past the save's last one.
        EXPECT_LT(steps, step);
        EXPECT_TRUE(boxes.Texts.empty());
        break;
      }
      EXPECT_EQ(result, TListSaveResult::Failed);
      ASSERT_EQ(boxes.Texts.size(), 1u);
      EXPECT_EQ(FolderContents(), files);
      EXPECT_EQ(CatalogueTexts(), records);
      ASSERT_LT(step, 100u);
    }
    if (rename) {
      EXPECT_EQ(ListBytes(5), "a\r\n" + Header("Fresh"));
    } else {
      EXPECT_EQ(ListBytes(6), "a\r\n" + Header("Fresh"));
      // Back to the start for the rename.
      TUserListState fresh = Loaded(6, "Fresh");
      DialogResponder responder;
      responder.Answer(mrYes).Answer(mrOk);
      ASSERT_TRUE(DeleteUserList(fresh, "Fresh", true));
    }
  }
}

const std::string DeleteQuestion(const std::string& Name) {
  return "Are you SURE you want to delete the list " + Name + "\r" +
         "so that it is no longer available to any users of the Matterdesk system?\r\r"
         "(To simply disassociate this list from a field to which it is assigned, just uncheck\r"
         "the Lookup Field check box.  The list will remain available for later use, as needed.\r"
         "You do not need to delete it.)\r\r"
         "I am SURE I want to PERMANENTLY delete this list from disc so that it is no longer\r"
         "available to anyone.";
}

TEST_F(UserListEditTest, DeletingAsksThenRemovesTheFileAndThenTheRecord) {
  {
    DialogResponder responder;
    responder.Expect(DeleteQuestion("Five"), mrCancel);
    TUserListState state = Loaded(5, "Five");
    EXPECT_FALSE(DeleteUserList(state, "Five", true));
    EXPECT_TRUE(FileExists(ListPath(5)));
    EXPECT_EQ(responder.Boxes().at(0).buttons, TMsgDlgButtons(mbYesCancel));
  }
  DialogResponder responder;
  responder.Expect(DeleteQuestion("Five"), mrYes).Expect("The list Five has been successfully deleted.");
  TUserListState state = Loaded(5, "Five");
  EXPECT_TRUE(DeleteUserList(state, " Five", true));
  EXPECT_EQ(state.SelUserList, -1);
  EXPECT_EQ(state.ListName, "");
  EXPECT_FALSE(FileExists(ListPath(5)));
  EXPECT_EQ(TransFileNo, NoTransFile);
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts(), (std::vector<std::string>{FormatUserListText(1, "One", TListNumberLayout::Left)}));
}

TEST_F(UserListEditTest, WithoutAListOrANameThereIsNothingToDelete) {
  DialogResponder responder;
  responder.Expect("Nothing to delete!.  Please select a list first.");
  TUserListState none;
  EXPECT_FALSE(DeleteUserList(none, "Five", true));
  // A name no record has: the transaction is aborted, nothing said or changed.
  TUserListState state = Loaded(5, "Gone");
  EXPECT_FALSE(DeleteUserList(state, "Gone", false));
  EXPECT_EQ(TransFileNo, NoTransFile);
  EXPECT_TRUE(FileExists(ListPath(5)));
}

TEST_F(UserListEditTest, AFileThatCannotBeDeletedKeepsItsRecord) {
  DeleteFile(ListPath(5));
  std::filesystem::create_directory(ListPath(5));
  DialogResponder responder;
  responder.Expect("Unable to delete list." + ContactMsg);
  TUserListState state = Loaded(5, "Five");
  EXPECT_FALSE(DeleteUserList(state, "Five", false));
  EXPECT_EQ(state.SelUserList, 5);
  EXPECT_EQ(TransFileNo, NoTransFile);
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts().size(), 2u);
}

TEST_F(UserListEditTest, ARecordWhoseFileIsAlreadyGoneIsDeleted) {
  DeleteFile(ListPath(5));
  TUserListState state = Loaded(5, "Five");
  EXPECT_TRUE(DeleteUserList(state, "Five", false));
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts().size(), 1u);
}

TEST_F(UserListEditTest, AReadFailingInTheScanAbortsTheDeletion) {
  TUserListState state = Loaded(5, "Five");
  OpenUserListSlot();
  // Begin, set key, get first, then the get next that would reach "Five".
  ArmFaultPoint(4, TFaultAction::FailOnce);
  DialogResponder responder;
  responder.Answer(mrOk);
  EXPECT_FALSE(DeleteUserList(state, "Five", false));
  ASSERT_EQ(responder.Texts().size(), 1u);
  EXPECT_TRUE(responder.Texts()[0].starts_with("Unable to update LISTS.USR (deleting or renaming list).\r\r"));
  EXPECT_TRUE(responder.Texts()[0].ends_with("\r\r" + ContactMsg));
  EXPECT_NE(responder.Texts()[0].find("Btrieve status 2."), std::string::npos);
  EXPECT_EQ(TransFileNo, NoTransFile);
  EXPECT_TRUE(FileExists(ListPath(5)));
  BtrCloseFile(UserListFileNo);
  EXPECT_EQ(CatalogueTexts().size(), 2u);
}

class UserListExportTest : public UserListEditTest {
protected:
  void SetUp() override {
    UserListEditTest::SetUp();
    std::filesystem::create_directories(Temp / "Out");
    std::filesystem::create_directories(Temp / "Stick");
    volumes_.List = {{"/", "/", true}, {Temp / "Stick", "STICK", true}};
  }
  FakeVolumes volumes_;
};

TEST_F(UserListExportTest, TheCopyTakesTheFirstFreeNumberAndNeverReplacesAFile) {
  WriteFileBytes(Temp / "Out/1.lst", "first");
  std::filesystem::create_directory(Temp / "Out/2.lst");
  DialogResponder responder;
  responder.Expect("Your list has been successfully exported.");
  EXPECT_EQ(ExportListCaption("Five"), "Select the folder to which you wish to export 'Five'.");
  EXPECT_TRUE(ExportUserList(Loaded(5, "Five"), Temp / "Out"));
  EXPECT_EQ(ReadFileBytes(Temp / "Out/3.lst"), ListBytes(5));
  EXPECT_EQ(ReadFileBytes(Temp / "Out/1.lst"), "first");
  EXPECT_EQ(responder.Boxes().at(0).type, mtInformation);
}

TEST_F(UserListExportTest, ADriveRootAndTheDataFolderAreRefusedAndAFullFolderFails) {
  const struct {
    std::string folder;
    std::string text;
  } cases[] = {
      {"/", "You may not export a list to the root directory of a drive."},
      {"C:\\", "You may not export a list to the root directory of a drive."},
      {Temp / "STICK/", "You may not export a list to the root directory of a drive."},
      {Temp.path().string(),
       "This is your current data folder.  There is no need to export your list to this location."},
      {(Temp / "OUT") + "/../", "This is your current data folder.  There is no need to export your list to this location."},
      {Temp / "Missing", "Your list could not be exported at this time. " + ContactMsg},
  };
  for (const auto& c : cases) {
    DialogResponder responder;
    responder.Expect(c.text);
    EXPECT_FALSE(ExportUserList(Loaded(5, "Five"), c.folder)) << c.folder;
  }
  // A link to the data folder is the data folder.
  std::filesystem::create_directory_symlink(Temp.path(), Temp / "Out/link");
  {
    DialogResponder responder;
    responder.Expect("This is your current data folder.  There is no need to export your list to this location.");
    EXPECT_FALSE(ExportUserList(Loaded(5, "Five"), Temp / "Out/LINK"));
  }
  for (int n = 1; n <= 9999; ++n) WriteFileBytes(Temp / ("Out/" + ListFileName(n)), "");
  DialogResponder responder;
  responder.Expect("Your list could not be exported at this time. " + ContactMsg);
  EXPECT_FALSE(ExportUserList(Loaded(5, "Five"), Temp / "Out"));
  EXPECT_FALSE(FileExists(Temp / "Out/10000.lst"));
}

}  // namespace
