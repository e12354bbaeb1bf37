// The platform's CopyFile, RenameFile and DeleteFile of record-manager files
// routed through the record manager: refused while another process has the
// file open, with the platform's failure and nothing changed; files told by
// the engine, not by their extension; a rename that changes only the case.
#include "btrieve/record_files.h"
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "platform/files.h"

#include <cerrno>
#include <set>

namespace {

class RecordFileRoutes : public EngineFolderTest {
protected:
  void SetUp() override { RouteRecordFiles(); }
  std::set<std::string> Names() const { return FolderNames(Temp.path()); }
  // The folder in the Windows form the program writes names in.
  std::string Windows(const std::string& name) const { return Temp.path().string() + "\\" + name; }
};

TEST_F(RecordFileRoutes, ADataFileAnotherProcessHasOpenIsNeitherRenamedNorDeleted) {
  MakePeopleFile(TempPath("mgrdt001.qmd"));
  const std::string bytes = ReadFileBytes(TempPath("mgrdt001.qmd"));
  Peer peer;
  ASSERT_EQ(peer.Open(0, TempPath("mgrdt001.qmd")), 0);
  const std::set<std::string> names = Names();

  errno = 0;
  EXPECT_FALSE(RenameFile(Windows("MGRDT001.QMD"), Windows("mgrdt002.qmd")));
  EXPECT_EQ(errno, EBUSY);
  errno = 0;
  EXPECT_FALSE(DeleteFile(Windows("MGRDT001.QMD")));
  EXPECT_EQ(errno, EBUSY);
  EXPECT_EQ(Names(), names);
  EXPECT_EQ(ReadFileBytes(TempPath("mgrdt001.qmd")), bytes);

  // A copy is a reader like any other.
  ASSERT_TRUE(CopyFile(Windows("MGRDT001.QMD"), Windows("EXP01001.qmd"), true));
  EXPECT_EQ(PeopleIn(TempPath("EXP01001.qmd")), two_files::OldA);

  peer.Kill();
  ASSERT_TRUE(RenameFile(Windows("MGRDT001.QMD"), Windows("mgrdt002.qmd")));
  EXPECT_EQ(PeopleIn(TempPath("mgrdt002.qmd")), two_files::OldA);
  ASSERT_TRUE(DeleteFile(Windows("MGRDT002.QMD")));
  EXPECT_EQ(Names(), (std::set<std::string>{"EXP01001.qmd", "EXP01001.qmd.lck"}));
}

// The engine tells its files: a plain file with a data file's extension is
// copied over an existing target when asked, a record-manager file with a
// text file's extension never is.
TEST_F(RecordFileRoutes, RecordFilesAreToldByTheEngineNotByTheirExtension) {
  WriteFileBytes(TempPath("plain.dat"), "plain bytes\n");
  WriteFileBytes(TempPath("target.dat"), "old\n");
  MakePeopleFile(TempPath("1.lst"));
  WriteFileBytes(TempPath("target.lst"), "old\n");

  ASSERT_TRUE(CopyFile(Windows("PLAIN.DAT"), Windows("TARGET.DAT"), false));
  EXPECT_EQ(ReadFileBytes(TempPath("target.dat")), "plain bytes\n");
  errno = 0;
  EXPECT_FALSE(CopyFile(Windows("1.LST"), Windows("TARGET.LST"), false));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFileBytes(TempPath("target.lst")), "old\n");

  ASSERT_TRUE(RenameFile(Windows("plain.dat"), Windows("plain.bak")));
  ASSERT_TRUE(DeleteFile(Windows("plain.bak")));
  errno = 0;
  EXPECT_FALSE(DeleteFile(Windows("none.dat")));
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(RecordFileRoutes, ARenameThatChangesOnlyTheCaseTakesTheNewName) {
  MakePeopleFile(TempPath("Master.Bak"));
  ASSERT_TRUE(RenameFile(Windows("master.bak"), Windows("MASTER.BAK")));
  EXPECT_EQ(Names(), std::set<std::string>{"MASTER.BAK"});
  EXPECT_EQ(PeopleIn(TempPath("MASTER.BAK")), two_files::OldA);
}

}  // namespace
