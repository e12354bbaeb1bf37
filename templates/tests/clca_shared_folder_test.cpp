// "CLCA.IDX" in a data folder several users share: names planted in its
// place are refused naming the file, never followed or waited on, and two
// users of one office group, each with a umask of their own, both get
// their line in.
#include "templates/email_templates.h"

#include "templates/template_state.h"
#include "testing/log_capture.h"
#include "testing/office_users.h"
#include "testing/planted_names.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* Profile = "export PATH\n";

class ClcaSharedFolderTest : public TempDirTest {
protected:
  void SetUp() override {
    Store.Reset();
    fs::create_directory(Office());
    fs::create_directory(Home());
    WriteFileBytes(ProfilePath(), Profile);
    Store.DataDir = Office();
  }
  void TearDown() override { Store.Reset(); }

  std::string Office() const { return TempPath("office"); }
  std::string Home() const { return TempPath("home"); }
  std::string ProfilePath() const { return TempPath("home/.profile"); }
  std::string Clca() const { return TempPath("office/CLCA.IDX"); }

  void ExpectHomeUntouched() const {
    EXPECT_EQ(ReadFileBytes(ProfilePath()), Profile);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Home())) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{".profile"});
  }
};

TEST_F(ClcaSharedFolderTest, NamesPlantedAsTheFileAreRefusedNamingItAndNeverFollowed) {
  const TWatchdog watchdog(60);
  for (const TPlantedName& plant : PlantedNames()) {
    SCOPED_TRACE(plant.What);
    fs::remove_all(Clca());
    plant.Make(Clca(), ProfilePath(), TempPath("home/new"));
    LogCapture log;
    EXPECT_FALSE(ClcaIndexHasWorkstation("01"));
    EXPECT_FALSE(WriteClcaIndex("01", ClcaLine("01", 3, 4)));
    const std::string line = RefusalWarning(Clca(), plant.Kind);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{line, line}));
    ExpectHomeUntouched();
  }
}

class ClcaTwoUsersTest : public ClcaSharedFolderTest {
protected:
  void SetUp() override {
    SKIP_UNLESS_ROOT();
    ClcaSharedFolderTest::SetUp();
    MakeOfficeFolder(Office(), 02770);
    MakePrivateFolder(Home(), UserB);
    ASSERT_EQ(::chown(ProfilePath().c_str(), UserB.Uid, UserB.Gid), 0);
  }
};

// A links the file to B's profile: B's start-up writes nothing there.
TEST_F(ClcaTwoUsersTest, ALinkPlantedByOneUserNeverLeadsTheOthersLineIntoTheirHome) {
  const TWatchdog watchdog(60);
  fs::create_symlink(ProfilePath(), Clca());
  ASSERT_EQ(::lchown(Clca().c_str(), UserA.Uid, OfficeGroup), 0);
  EXPECT_EQ(RunAs(UserB, 022, [] { return WriteClcaIndex("02", ClcaLine("02", 3, 4)) ? 1 : 0; }), 0);
  ExpectHomeUntouched();
}

// Whatever umask A runs under, the file takes the folder's modes and B's
// line goes in after A's.
TEST_F(ClcaTwoUsersTest, EachUsersLineGoesInWhateverTheOthersUmask) {
  const TWatchdog watchdog(60);
  for (const mode_t mask : {mode_t(077), mode_t(022)}) {
    SCOPED_TRACE("umask " + std::to_string(mask));
    fs::remove(Clca());
    EXPECT_EQ(RunAs(UserA, mask, [] { return WriteClcaIndex("01", ClcaLine("01", 3, 4)) ? 0 : 1; }), 0);
    struct stat st;
    ASSERT_EQ(::stat(Clca().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    EXPECT_EQ(st.st_gid, OfficeGroup);
    EXPECT_EQ(RunAs(UserB, 022, [] { return WriteClcaIndex("02", ClcaLine("02", 3, 4)) ? 0 : 1; }), 0);
    EXPECT_EQ(ReadFileBytes(Clca()), "01  3  4\r\n02  3  4\r\n");
  }
}

}  // namespace
