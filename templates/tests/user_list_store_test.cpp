// The catalogue and the list files as the lookup form opens and reads them.
#include "templates/user_list_store.h"

#include "templates/store_constants.h"
#include "templates/tests/user_list_fixture.h"
#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using UserListStoreTest = UserListTest;

TEST_F(UserListStoreTest, TheCatalogueIsMadeOnceAndOneMadeMeanwhileCounts) {
  TUserListState state;
  ASSERT_TRUE(OpenUserListFile(state));
  EXPECT_TRUE(BtrIsFileOpen(UserListFileNo));
  EXPECT_EQ(BtrRecordLength(UserListFileNo), UserListRecordLength);
  BtrInsertRecord(UserListFileNo, FormatUserListText(2, "Kept", TListNumberLayout::Left));
  BtrCloseFile(UserListFileNo);
  // Made by another workstation in the meantime: there, and untouched.
  std::string msg;
  EXPECT_TRUE(CreateUserListFile(Store.DataDir, msg));
  EXPECT_EQ(CatalogueTexts().size(), 1u);
}

TEST_F(UserListStoreTest, AMissingCatalogueWithAListReferredToIsReportedAndAFailedCreateToo) {
  TUserListState state;
  state.SelUserList = 3;
  {
    DialogResponder responder;
    responder.Expect("The file LISTS.USR could not be found.  You will not be able to edit your user list at this "
                     "time." + ContactMsg);
    EXPECT_FALSE(OpenUserListFile(state));
  }
  EXPECT_FALSE(FileExists(UserListCatalogueName(Store.DataDir)));
  Store.DataDir = Temp / "Missing";
  DialogResponder responder;
  responder.Answer(mrOk);
  EXPECT_FALSE(OpenUserListFile(TUserListState()));
  ASSERT_EQ(responder.Texts().size(), 1u);
  EXPECT_TRUE(responder.Texts()[0].starts_with("Unable to create a necessary file:  LISTS.USR.\r\rError:  "));
  EXPECT_TRUE(responder.Texts()[0].ends_with(
      "\r\rYou will not be able to access the user list module at this time." + ContactMsg));
}

TEST_F(UserListStoreTest, NamesNumbersAndItems) {
  MakeCatalogue({{3, " Courts "}, {12, "Judges", TListNumberLayout::Right}});
  WriteList(12, "Smith\x01" "Appeals\n\n  \n\x01 \x01" "Judges\nJones\x01" "District");
  TUserListState state;
  state.SelUserList = 12;
  std::vector<std::string> names;
  std::string selected;
  ASSERT_TRUE(LoadUserListNames(state, names, selected));
  EXPECT_EQ(names, (std::vector<std::string>{"Courts", "Judges"}));
  EXPECT_EQ(selected, "Judges");
  int number = 0;
  ASSERT_TRUE(FindUserListNumber("Courts  ", number));
  EXPECT_EQ(number, 3);
  ASSERT_TRUE(FindUserListNumber("courts", number));
  EXPECT_EQ(number, -1);
  std::vector<std::string> items;
  ASSERT_TRUE(ReadUserListItems(12, items));
  EXPECT_EQ(items, (std::vector<std::string>{"Smith\x01" "Appeals", "Jones\x01" "District"}));

  DialogResponder responder;
  responder.Answer(mrOk);
  EXPECT_FALSE(ReadUserListItems(3, items));
  EXPECT_EQ(responder.Texts().at(0),
            "An error was encountered while attempting to read a list from file.\r\rNo such file or directory");
}

TEST_F(UserListStoreTest, ANumberTakenMeanwhileIsPassedBy) {
  WriteList(3, "");
  std::filesystem::create_symlink(Temp / "elsewhere", ListPath(4));
  EXPECT_EQ(ReserveListNumber(2), 5);
  EXPECT_EQ(ListBytes(5), "");
  EXPECT_FALSE(std::filesystem::exists(Temp / "elsewhere"));
  EXPECT_EQ(ReserveListNumber(-1), 1);
}

}  // namespace
