// Importing list files into the data folder's catalogue.
#include "templates/user_list_import.h"

#include "templates/store_constants.h"
#include "templates/tests/user_list_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Renamed(const std::string& Old, const std::string& New) {
  return Old + " is already used as a list name in this database.  Your list has been renamed to " + New +
         ".\r\rIf you wish, you may edit any and all list names after your import operation has completed." +
         ContactMsg;
}

class UserListImportTest : public UserListTest {
protected:
  void SetUp() override {
    UserListTest::SetUp();
    std::filesystem::create_directories(Temp / "Set");
  }
  std::string SetFolder() const { return Temp / "Set"; }
};

TEST_F(UserListImportTest, TakenNamesGetTheFirstFreeSuffixAndTheFileItsHeader) {
  const std::string twenty = "Twenty characters!!!";
  ASSERT_EQ(twenty.size(), 20u);
  const struct {
    const char* what;
    std::vector<Entry> catalogue;
    std::string source;        // the file's bytes
    std::string name;          // the name it gets
    std::string boxText;       // "" for none
    std::string written;       // the file's bytes in the data folder
  } cases[] = {
      {"a free name", {{3, "Other"}}, "a\r\n\x01 \x01" "Courts              \r\n", "Courts", "",
       "a\r\n\x01 \x01" "Courts              \r\n"},
      {"a taken name takes 2 and the header the new name", {{3, "Courts"}},
       "a\nb\n\x01x\x01" "Courts\n", "Courts2", Renamed("Courts", "Courts2"),
       "a\r\nb\r\n\x01x\x01" "Courts2             \r\n"},
      {"2 taken too gives 3", {{3, "Courts"}, {4, "Courts2"}}, "\x01 \x01" "Courts\r\n", "Courts3",
       Renamed("Courts", "Courts3"), "\x01 \x01" "Courts3             \r\n"},
      {"a short name inside a longer one counts as taken", {{3, "Courts of appeal"}},
       "\x01 \x01" "Court\r\nx\r\n", "Court2", Renamed("Court", "Court2"), "\x01 \x01" "Court2              \r\nx\r\n"},
      {"a 20-character name is cut to 19 before the digit", {{3, twenty}}, "\x01 \x01" + twenty + "\r\n",
       "Twenty characters!!2", Renamed(twenty, "Twenty characters!!2"), "\x01 \x01" "Twenty characters!!2\r\n"},
      {"all digits taken: the symbols", {{3, "L L2 L3 L4 L5"}, {4, "L6 L7 L8 L9"}}, "\x01 \x01L\r\n", "***",
       Renamed("L", "***"), "\x01 \x01***                 \r\n"},
      {"every symbol taken: the last resort", {{3, "L2L3L4L5L6L7L8L9"}, {4, "*** ### ~~~ @@@"}},
       "\x01 \x01L\r\n", "*@~%*^", Renamed("L", "*@~%*^"), "\x01 \x01*@~%*^              \r\n"},
      {"no header: Unnamed, kept without one", {}, "x\r\ny\r\n", "Unnamed", "", "x\r\ny\r\n"},
      {"no header and Unnamed taken: a header is appended", {{3, "Unnamed"}}, "x\r\n", "Unnamed2",
       Renamed("Unnamed", "Unnamed2"), "x\r\n\x01 \x01Unnamed2            \r\n"},
      {"the first header names the list", {}, "\x01 \x01" "First\r\n\x01 \x01" "Second\r\n", "First", "",
       "\x01 \x01" "First\r\n\x01 \x01" "Second\r\n"},
      {"high bytes and double columns pass through", {}, "Caf\xE9\x01" "d\xE9j\xE0\r\n", "Unnamed", "",
       "Caf\xE9\x01" "d\xE9j\xE0\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(Temp.path());
    std::filesystem::create_directories(Temp / "Set");
    MakeCatalogue(c.catalogue);
    WriteFileBytes(Temp / "Set/12.lst", c.source);
    DialogResponder responder;
    if (!c.boxText.empty()) responder.Expect(c.boxText);
    const auto imported = ImportUserList(SetFolder(), "12.lst", false);
    ASSERT_TRUE(imported);
    const int number = c.catalogue.empty() ? 1 : 4 + int(c.catalogue.size()) - 1;
    EXPECT_EQ(*imported, (TImportedList{number, c.name}));
    EXPECT_EQ(ListBytes(number), c.written);
    EXPECT_FALSE(BtrIsFileOpen(ListImportFileNo));
    const auto texts = CatalogueTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), FormatUserListText(number, c.name, TListNumberLayout::Right));
  }
}

TEST_F(UserListImportTest, TheNumberIsTheFirstFreeAboveTheHighestPassingOrphanFiles) {
  MakeCatalogue({{9, "Nine"}, {2, "Two", TListNumberLayout::Right}});
  WriteList(10, "orphan\r\n");
  WriteList(11, "orphan too\r\n");
  WriteFileBytes(Temp / "Set/courts.LST", "\x01 \x01" "Courts\r\n");
  const auto imported = ImportUserList(SetFolder(), "courts.LST", false);
  ASSERT_TRUE(imported);
  EXPECT_EQ(imported->Number, 12);
  EXPECT_EQ(ListBytes(10), "orphan\r\n");
  EXPECT_EQ(CatalogueTexts().back(), "      12Courts              ");
}

TEST_F(UserListImportTest, ATemplateImportReportsItsListAndTakesOnlyAListsFileName) {
  MakeCatalogue({});
  WriteFileBytes(Temp / "Set/7.lst", "\x01 \x01" "Courts\r\n");
  {
    DialogResponder responder;
    responder.Expect("The list Courts has been successfully imported.\r\rSelect it from the drop down list to view it.");
    EXPECT_EQ(ImportUserList(SetFolder(), "7.lst", true), (TImportedList{1, "Courts"}));
  }
  // Names from a template's records: a folder part or another name is no list.
  WriteFileBytes(Temp / "secret.lst", "not to be read\r\n");
  WriteFileBytes(Temp / "Set/notes.lst", "\x01 \x01" "Notes\r\n");
  for (const std::string name : {"..\\secret.lst", "../secret.lst", "notes.lst", "8.lst", "C:7.lst", "7.lst\\"}) {
    DialogResponder responder;
    responder.Expect("A user list (" + name + ") needed by an imported template could not be found.\r\r" +
                     "Corvenstead will proceed with the template import operation, but you will need to import this "
                     "list using the Matterdesk List Import/Export functions, before your list lookup will function "
                     "properly." + ContactMsg);
    EXPECT_FALSE(ImportUserList(SetFolder(), name, true)) << name;
  }
  EXPECT_EQ(CatalogueTexts().size(), 1u);
  EXPECT_FALSE(FileExists(ListPath(2)));
}

TEST_F(UserListImportTest, TheFormsImportTakesAnyNameButNoFolderPart) {
  MakeCatalogue({});
  for (const std::string name : {"missing.lst", "..\\Set\\x.lst"}) {
    DialogResponder responder;
    responder.Expect("The list to be imported (" + name + ") could not be found." + ContactMsg);
    EXPECT_FALSE(ImportUserList(SetFolder(), name, false));
  }
  EXPECT_TRUE(CatalogueTexts().empty());
}

TEST_F(UserListImportTest, TheCatalogueIsMadeWhenMissingAndACatalogueHeldElsewhereFails) {
  WriteFileBytes(Temp / "Set/3.lst", "x\r\n");
  EXPECT_EQ(ImportUserList(SetFolder(), "3.lst", false), (TImportedList{1, "Unnamed"}));
  EXPECT_EQ(CatalogueTexts().size(), 1u);

  // The import holds the catalogue exclusively: another workstation's open
  // of it stands in the way.
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 3 0 " + UserListCatalogueName(Store.DataDir)), "ok");
  SetBtrAsker([](const std::string&) { return false; });
  LockRetryMs = 0;
  DialogResponder responder;
  responder.Answer(mrOk);
  EXPECT_FALSE(ImportUserList(SetFolder(), "3.lst", false));
  ASSERT_EQ(responder.Texts().size(), 1u);
  EXPECT_TRUE(responder.Texts()[0].starts_with("Unable to open user list file (LISTS.USR).\r\r"));
  EXPECT_TRUE(responder.Texts()[0].ends_with("\r\rYou will not be able to import the list Unnamed at this time."));
  EXPECT_FALSE(BtrIsFileOpen(ListImportFileNo));
  EXPECT_FALSE(FileExists(ListPath(2)));
  EXPECT_EQ(peer.Ask("close 3"), "ok");
}

}  // namespace
