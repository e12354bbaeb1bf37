// The workstation's batch files against the real record manager: made on a
// fresh folder, left alone when present, named after any workstation id,
// and the two failure messages.
#include "mainwin/batch_files.h"

#include "mainwin/tests/startup_fixture.h"
#include "platform/files.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <unistd.h>

#include <filesystem>

namespace {

class BatchFilesTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Startup.Reset();
    Store.Reset();
    std::filesystem::create_directory(TempPath("mddata"));
    Store.DataDir = TempPath("mddata");
    UseWorkstation("01");
  }
  void TearDown() override {
    ResetBtrLayer();
    Startup.Reset();
    Store.Reset();
    CheckedFolderTest::TearDown();
  }

  // What start-up remembers for a workstation before it makes the files.
  void UseWorkstation(const std::string& wsid, const std::string& exeDir = BinDir) {
    Startup.WSID = wsid;
    Startup.ExeDir = exeDir;
    Startup.DescCloName = exeDir + "\\Desc.clo";
    Startup.DescFileName = Store.DataDir + "\\DESC" + wsid + ".MD";
  }
  std::string Data(const std::string& name) const { return TempPath("mddata/" + name); }
  bool MakeBoth() { return EnsureTrinFile() && EnsureDescFile(); }

  DialogResponder Boxes;
};

TEST_F(BatchFilesTest, AFreshFolderGetsTrinFromItsKeyTableAndAnEmptyDesc) {
  ASSERT_TRUE(MakeBoth());
  EXPECT_EQ(LayoutOfFile(Data("TRIN01.MD")), ExpectedTrin);
  EXPECT_EQ(LayoutOfFile(Data("DESC01.MD")), ExpectedDesc);
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(BatchFilesTest, ExistingFilesAreNeitherRecreatedNorOverwritten) {
  ASSERT_TRUE(MakeBoth());
  BtrOpenFile(127, Data("TRIN01.MD"), 0);
  BtrOpenFile(128, Data("DESC01.MD"), 0);
  const std::string trin = std::string(99, 'T') + "       1" + std::string(16, 'x');
  const std::string desc = "       10first line";
  BtrInsertRecord(127, trin);
  BtrInsertRecord(128, desc + std::string(87 - desc.size(), ' '));
  BtrCloseAllFiles();

  ASSERT_TRUE(MakeBoth());

  BtrOpenFile(127, Data("TRIN01.MD"), 0);
  BtrOpenFile(128, Data("DESC01.MD"), 0);
  EXPECT_EQ(BtrRecordCount(127), 1);
  EXPECT_EQ(BtrRecordCount(128), 1);
  TDynCharArr rec(128);
  bool atEnd = false;
  BtrGetFirst(128, rec, atEnd, false);
  ASSERT_FALSE(atEnd);
  EXPECT_EQ(std::string(rec.begin() + 4, rec.begin() + 4 + long(desc.size())), desc);
  BtrCloseAllFiles();

  // Files of another layout, or no record-manager file at all, stay as found.
  ASSERT_TRUE(DeleteFile(Data("DESC01.MD")));
  WriteFileBytes(Data("DESC01.MD"), "kept as it is");
  ASSERT_TRUE(EnsureDescFile());
  EXPECT_EQ(ReadFileBytes(Data("DESC01.MD")), "kept as it is");
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(BatchFilesTest, EachWorkstationIdNamesItsOwnFilesWithoutPadding) {
  for (const std::string wsid : {"01", "02", "7", ""}) {
    SCOPED_TRACE("WSID '" + wsid + "'");
    UseWorkstation(wsid);
    ASSERT_TRUE(MakeBoth());
    EXPECT_EQ(LayoutOfFile(Data("TRIN" + wsid + ".MD")), ExpectedTrin);
    EXPECT_EQ(LayoutOfFile(Data("DESC" + wsid + ".MD")), ExpectedDesc);
  }
  std::vector<std::string> made;
  for (const auto& entry : std::filesystem::directory_iterator(TempPath("mddata"))) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".MD")) made.push_back(name);
  }
  std::sort(made.begin(), made.end());
  EXPECT_EQ(made, (std::vector<std::string>{"DESC.MD", "DESC01.MD", "DESC02.MD", "DESC7.MD", "TRIN.MD", "TRIN01.MD",
                                            "TRIN02.MD", "TRIN7.MD"}));
}

TEST_F(BatchFilesTest, AMissingDescCloIsToldAndNoDescAppears) {
  UseWorkstation("01", TempPath("nowhere"));
  Boxes.Expect(
      "Corvenstead cannot find an existing DESC.MD file for\rWorkstation 01 and it was also unable\rto create a new "
      "file of that type." + ContactLine);
  EXPECT_FALSE(EnsureDescFile());
  EXPECT_EQ(Boxes.Boxes().at(0).type, mtError);
  EXPECT_FALSE(std::filesystem::exists(Data("DESC01.MD")));
}

TEST_F(BatchFilesTest, ATrinThatCannotBeMadeIsToldWithTheCreationMessage) {
  // A folder in the way: the name exists, but not as a file.
  std::filesystem::create_directory(Data("TRIN01.MD"));
  Boxes.Answer(mrOk);
  EXPECT_FALSE(EnsureTrinFile());
  const std::string text = Boxes.Texts().at(0);
  const std::string head = "Unable to create file \\TRIN01.MD.\r\r";
  ASSERT_TRUE(text.starts_with(head)) << text;
  ASSERT_TRUE(text.ends_with(ContactLine)) << text;
  const std::string creation = text.substr(head.size(), text.size() - head.size() - ContactLine.size());
  EXPECT_FALSE(creation.empty());
  EXPECT_LE(creation.size(), 255u);
  EXPECT_EQ(Boxes.Boxes().at(0).type, mtError);
  EXPECT_TRUE(std::filesystem::is_directory(Data("TRIN01.MD")));
}

TEST_F(BatchFilesTest, AReadOnlyDataFolderGetsNoFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  std::filesystem::permissions(TempPath("mddata"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_exec);
  Boxes.Answer(mrOk).Expect(
      "Corvenstead cannot find an existing DESC.MD file for\rWorkstation 01 and it was also unable\rto create a new "
      "file of that type." + ContactLine);
  EXPECT_FALSE(EnsureTrinFile());
  EXPECT_TRUE(Boxes.Texts().at(0).starts_with("Unable to create file \\TRIN01.MD.\r\r"));
  EXPECT_FALSE(EnsureDescFile());
  std::filesystem::permissions(TempPath("mddata"), std::filesystem::perms::owner_all);
  EXPECT_TRUE(std::filesystem::is_empty(TempPath("mddata")));
}

}  // namespace
