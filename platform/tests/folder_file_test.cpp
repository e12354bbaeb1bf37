// Names planted in a shared data folder at each of the platform's openers,
// the modes new files and folders take from their folder, and the move of
// a temporary whose name was swapped.
#include "platform/byte_lock.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "testing/log_capture.h"
#include "testing/office_users.h"
#include "testing/planted_names.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* Secret = "private bytes\n";

class FolderFileTest : public TempDirTest {
public:
  using TempDirTest::TempPath;

protected:
  void SetUp() override {
    fs::create_directory(Folder());
    fs::create_directory(Outside());
    WriteFileBytes(Victim(), Secret);
  }

public:
  std::string Folder() const { return TempPath("office"); }
  std::string Outside() const { return TempPath("home"); }
  std::string Victim() const { return TempPath("home/profile"); }
  std::string Name() const { return TempPath("office/CLCA.IDX"); }

protected:

  // Nothing outside the office changed: the victim as it was, nothing new.
  void ExpectOutsideUntouched() const {
    EXPECT_EQ(ReadFileBytes(Victim()), Secret);
    EXPECT_FALSE(fs::exists(fs::symlink_status(TempPath("home/new"))));
  }
};

TEST_F(FolderFileTest, PlantedNamesAreRefusedAtEveryOpenerNamingTheFile) {
  const TWatchdog watchdog(60);
  struct TOpener {
    const char* What;
    std::function<bool(const FolderFileTest&)> Opens;
  };
  const std::vector<TOpener> openers = {
      {"read", [](const FolderFileTest& t) { return TFolderFile::Open(t.Name(), O_RDONLY).IsOpen(); }},
      {"append", [](const FolderFileTest& t) { return TFolderFile::Open(t.Name(), O_WRONLY | O_APPEND).IsOpen(); }},
      {"open or create",
       [](const FolderFileTest& t) { return TFolderFile::Open(t.Name(), O_RDWR, TCreate::IfMissing).IsOpen(); }},
      {"whole file",
       [](const FolderFileTest& t) {
         std::string bytes;
         return ReadFolderFile(t.Name(), 1 << 20, bytes);
       }},
      {"exclusive lock", [](const FolderFileTest& t) { return TByteLock::TryLock(t.Name(), 1, true).Held(); }},
      {"shared lock", [](const FolderFileTest& t) { return TByteLock::TryLock(t.Name(), 1, false).Held(); }},
      {"copy from", [](const FolderFileTest& t) { return CopyFile(t.Name(), t.TempPath("office/copy"), true); }},
      {"look", [](const FolderFileTest& t) {
         struct stat st;
         return StatFolderFile(t.Name(), st);
       }},
  };
  for (const TPlantedName& plant : PlantedNames()) {
    for (const TOpener& opener : openers) {
      SCOPED_TRACE(std::string(plant.What) + " at " + opener.What);
      fs::remove_all(Name());
      plant.Make(Name(), Victim(), TempPath("home/new"));
      LogCapture log;
      EXPECT_FALSE(opener.Opens(*this));
      EXPECT_EQ(log.Lines(), std::vector<std::string>{RefusalWarning(Name(), plant.Kind)});
      ExpectOutsideUntouched();
      EXPECT_FALSE(fs::exists(TempPath("office/copy")));
    }
  }
}

TEST_F(FolderFileTest, AWholeFileLongerThanItsFormatAllowsIsNotRead) {
  WriteFileBytes(Name(), std::string(101, 'x'));
  std::string bytes = "kept";
  LogCapture log;
  EXPECT_FALSE(ReadFolderFile(Name(), 100, bytes));
  EXPECT_EQ(errno, EFBIG);
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(log.Lines(), std::vector<std::string>{Name() + " is longer than 100 bytes; not read"});
  ASSERT_TRUE(ReadFolderFile(Name(), 101, bytes));
  EXPECT_EQ(bytes, std::string(101, 'x'));
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Sets the umask for the life of the object.
class ScopedUmask {
public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }

private:
  mode_t previous_;
};

TEST_F(FolderFileTest, NewFilesAndFoldersTakeTheirFolderModesWhateverTheUmask) {
  struct TCase {
    mode_t Folder, File, SubFolder;
  };
  const TCase cases[] = {
      {02770, 0660, 02770}, {02775, 0664, 02775}, {0700, 0600, 0700}, {0750, 0640, 0750}, {01777, 0666, 0700},
  };
  for (const mode_t mask : {mode_t(077), mode_t(022), mode_t(0)}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE("folder " + std::to_string(c.Folder) + " umask " + std::to_string(mask));
      fs::remove_all(Folder());
      fs::create_directory(Folder());
      ASSERT_EQ(::chmod(Folder().c_str(), c.Folder), 0);
      const ScopedUmask umask(mask);
      ASSERT_TRUE(TFolderFile::Open(TempPath("office/made"), O_WRONLY, TCreate::Only).IsOpen());
      EXPECT_EQ(ModeOf(TempPath("office/made")), c.File);
      ASSERT_TRUE(TByteLock::TryLock(TempPath("office/Templates.lck"), 3, true).Held());
      EXPECT_EQ(ModeOf(TempPath("office/Templates.lck")), c.File);
      ASSERT_TRUE(CopyFile(Victim(), TempPath("office/copy"), false));
      EXPECT_EQ(ModeOf(TempPath("office/copy")), c.File);
      ASSERT_TRUE(CreateDir(TempPath("office/mddata")));
      EXPECT_EQ(ModeOf(TempPath("office/mddata")), c.SubFolder);
      ASSERT_TRUE(ForceDirectories(TempPath("office/a/b")));
      EXPECT_EQ(ModeOf(TempPath("office/a/b")), c.SubFolder);
    }
  }
}

TEST_F(FolderFileTest, ATemporarySwappedForALinkIsNeverMovedIntoPlace) {
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace ? "replacing" : "new name");
    const std::string target = TempPath("office/DESC01.MD");
    fs::remove(target);
    std::string temp;
    const TFolderFile made = CreateFileBeside(target, temp);
    ASSERT_TRUE(made.IsOpen());
    EXPECT_EQ(fs::path(temp).parent_path(), fs::path(Folder()));
    EXPECT_TRUE(fs::path(temp).filename().string().starts_with(".DESC01.MD."));
    ASSERT_EQ(::write(made.Fd(), "copy", 4), 4);
    ASSERT_EQ(::unlink(temp.c_str()), 0);
    fs::create_symlink(Victim(), temp);
    errno = 0;
    EXPECT_FALSE(PlaceFileBeside(made, temp, target, replace));
    EXPECT_EQ(errno, ESTALE);
    EXPECT_FALSE(fs::exists(fs::symlink_status(target)));
    ExpectOutsideUntouched();
    fs::remove(temp);

    const TFolderFile honest = CreateFileBeside(target, temp);
    ASSERT_EQ(::write(honest.Fd(), "copy", 4), 4);
    ASSERT_TRUE(PlaceFileBeside(honest, temp, target, replace));
    EXPECT_EQ(ReadFileBytes(target), "copy");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
  }
}

}  // namespace
