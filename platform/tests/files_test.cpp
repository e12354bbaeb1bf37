#include "platform/files.h"
#include "platform/datetime_value.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <vector>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// The Windows-style spelling of a native path: drive, backslashes.
std::string Win(const std::string& native) {
  std::string name = "C:" + native;
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

std::vector<std::string> Names(const std::vector<FileEntry>& entries) {
  std::vector<std::string> names;
  for (const FileEntry& entry : entries) names.push_back(entry.Name);
  return names;
}

// Every name in a folder, sorted byte-wise.
std::vector<std::string> FolderContents(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Bytes with plenty of NULs and high bytes.
std::string BinaryBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 12345;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245 + 12345;
    if (i % 3) bytes[i] = char(state >> 24);
  }
  return bytes;
}

class Files : public TempDirTest {
protected:
  // The Windows-style name of something inside the temporary folder.
  std::string WinPath(const std::string& relative) const { return Win(Temp.path().string()) + "\\" + relative; }
  std::string Native(const std::string& relative) const { return Temp.path().string() + "/" + relative; }
};

TEST_F(Files, ResolvesEachExistingComponentCaseInsensitively) {
  fs::create_directories(Native("Data/Sub Dir"));
  WriteFileBytes(Native("Data/Sub Dir/File.TXT"), "x");
  const std::string cases[][2] = {
      {"DATA\\sub dir\\file.txt", "Data/Sub Dir/File.TXT"},
      {"data/SUB DIR\\FILE.txt", "Data/Sub Dir/File.TXT"},
      {"data\\\\sub dir//File.TXT", "Data/Sub Dir/File.TXT"},
      {"data\\sub dir\\", "Data/Sub Dir/"},
      {"data\\.\\sub dir\\..\\SUB DIR\\file.txt", "Data/./Sub Dir/../Sub Dir/File.TXT"},
      // What does not exist keeps the name given, also below it.
      {"data\\NewFile.Txt", "Data/NewFile.Txt"},
      {"data\\NewDir\\sub dir\\file.txt", "Data/NewDir/sub dir/file.txt"},
      {"data\\sub dir\\file.txt\\x", "Data/Sub Dir/File.TXT/x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(WinPath(c[0])), Native(c[1])) << c[0];
  // A lower-case drive and native names resolve the same way.
  EXPECT_EQ(ResolvePath("c" + WinPath("data\\sub dir").substr(1)), Native("Data/Sub Dir"));
  EXPECT_EQ(ResolvePath(Native("data/sub dir/file.txt")), Native("Data/Sub Dir/File.TXT"));
}

TEST_F(Files, ExactNameWinsOverCaseVariantsElseFirstInByteOrder) {
  WriteFileBytes(Native("notes.txt"), "lower");
  WriteFileBytes(Native("NOTES.TXT"), "upper");
  WriteFileBytes(Native("Notes.txt"), "mixed");
  const std::string cases[][2] = {
      {"notes.txt", "notes.txt"},
      {"Notes.txt", "Notes.txt"},
      {"NOTES.TXT", "NOTES.TXT"},
      {"NoTeS.TxT", "NOTES.TXT"},
      {"nOTES.txt", "NOTES.TXT"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(WinPath(c[0])), Native(c[1])) << c[0];
  EXPECT_EQ(ReadFileBytes(ResolvePath(WinPath("notes.TXT"))), "upper");
}

TEST_F(Files, CaseFoldingFollowsWindows1252) {
  for (const char* name : {"CAF\xC9.TXT", "\x8A\x8C\x8E\x9F", "\xD7", "{x}", "\xDE"})
    WriteFileBytes(Native(name), "x");
  const std::string cases[][2] = {
      {"caf\xE9.txt", "CAF\xC9.TXT"},
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
      {"\xFE", "\xDE"},
      {"\xF7", "\xF7"},  // division sign is no lower-case multiplication sign
      {"[X]", "[X]"},    // brackets are no braces
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(WinPath(c[0])), Native(c[1])) << c[0];
}

TEST_F(Files, RelativeNamesResolveAgainstTheCurrentFolder) {
  fs::create_directories(Native("Data"));
  WriteFileBytes(Native("Data/File.TXT"), "x");
  ScopedCurrentDir here(Temp.path());
  EXPECT_EQ(ResolvePath("data\\file.txt"), "Data/File.TXT");
  EXPECT_EQ(ResolvePath("DATA"), "Data");
  EXPECT_EQ(ResolvePath("new.txt"), "new.txt");
  EXPECT_TRUE(FileExists("DATA/file.txt"));
}

TEST_F(Files, NamesThatNameNoFile) {
  WriteFileBytes(Native("a"), "keep");
  EXPECT_EQ(ResolvePath(""), "");
  EXPECT_EQ(ResolvePath(Native("a") + "\0b"s), "");
  EXPECT_EQ(ResolvePath("C:"), "/");
  EXPECT_EQ(ResolvePath("\\"), "/");
  // A NUL must not cut the name short onto the file "a".
  errno = 0;
  EXPECT_FALSE(FileExists(Native("a") + "\0b"s));
  EXPECT_FALSE(DeleteFile(Native("a") + "\0b"s));
  EXPECT_EQ(errno, EINVAL);
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ(ReadFileBytes(Native("a")), "keep");
}

TEST_F(Files, ExistsAndFolders) {
  WriteFileBytes(Native("f.txt"), "x");
  fs::create_directories(Native("Top"));
  EXPECT_TRUE(FileExists(WinPath("F.TXT")));
  EXPECT_FALSE(FileExists(WinPath("top")));
  EXPECT_TRUE(DirectoryExists(WinPath("top")));
  EXPECT_FALSE(DirectoryExists(WinPath("f.txt")));
  EXPECT_FALSE(FileExists(WinPath("missing")));

  // One level only.
  EXPECT_FALSE(CreateDir(WinPath("x\\y")));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(fs::exists(Native("x")));
  EXPECT_TRUE(CreateDir(WinPath("x")));
  EXPECT_FALSE(CreateDir(WinPath("X")));
  EXPECT_EQ(errno, EEXIST);

  // Existing folders are reused whatever their case; new ones keep theirs.
  EXPECT_TRUE(ForceDirectories(WinPath("top\\Mid\\low\\")));
  EXPECT_TRUE(fs::is_directory(Native("Top/Mid/low")));
  EXPECT_FALSE(fs::exists(Native("top")));
  EXPECT_TRUE(ForceDirectories(WinPath("TOP\\mid")));
  EXPECT_FALSE(ForceDirectories(WinPath("f.txt\\sub")));
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_EQ(FolderContents(Temp.path().string()), (std::vector<std::string>{"Top", "f.txt", "x"}));
}

TEST_F(Files, FileAgeIsTheModificationTimeInLocalTime) {
  // A zone without summer time, five hours behind UTC.
  const ScopedTimeZone zone("EST5");
  WriteFileBytes(Native("prog"), "x");
  const timespec times[2] = {{0, UTIME_OMIT}, {978307200, 123456789}};  // 2001-01-01 00:00:00.123 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, Native("prog").c_str(), times, 0), 0);
  fs::create_directories(Native("folder"));

  TDateTime age = -1;
  EXPECT_TRUE(FileAge(WinPath("PROG"), age));
  EXPECT_DOUBLE_EQ(age, EncodeDate(2000, 12, 31) + EncodeTime(19, 0, 0, 123));
  for (const char* none : {"missing", "folder"}) {
    SCOPED_TRACE(none);
    TDateTime kept = -1;
    EXPECT_FALSE(FileAge(WinPath(none), kept));
    EXPECT_EQ(kept, -1);
  }
}

TEST_F(Files, DeleteFileDeletesOnlyFiles) {
  WriteFileBytes(Native("file.TXT"), "x");
  fs::create_directories(Native("dir"));
  EXPECT_TRUE(DeleteFile(WinPath("FILE.txt")));
  EXPECT_FALSE(fs::exists(Native("file.TXT")));
  EXPECT_FALSE(DeleteFile(WinPath("file.txt")));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(DeleteFile(WinPath("dir")));
  EXPECT_TRUE(fs::is_directory(Native("dir")));
}

TEST_F(Files, RenameNeverReplaces) {
  using Rename = bool (*)(const std::string&, const std::string&);
  const std::pair<const char*, Rename> renames[] = {{"RenameFile", &RenameFile},
                                                    {"RenameByLink", &files_detail::RenameByLink}};
  for (const auto& [label, rename] : renames) {
    SCOPED_TRACE(label);
    const std::string dir = Native(label) + "/";
    fs::create_directories(dir + "folder");
    fs::create_directories(dir + "other");
    WriteFileBytes(dir + "a.txt", "alpha\0"s);
    WriteFileBytes(dir + "b.txt", "beta");

    errno = 0;
    EXPECT_FALSE(rename(dir + "a.txt", dir + "b.txt"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(rename(dir + "folder", dir + "other"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(rename(dir + "folder", dir + "b.txt"));
    EXPECT_FALSE(rename(dir + "missing", dir + "c.txt"));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(ReadFileBytes(dir + "a.txt"), "alpha\0"s);
    EXPECT_EQ(ReadFileBytes(dir + "b.txt"), "beta");

    EXPECT_TRUE(rename(dir + "a.txt", dir + "c.TXT"));
    EXPECT_EQ(ReadFileBytes(dir + "c.TXT"), "alpha\0"s);
    EXPECT_TRUE(rename(dir + "folder", dir + "moved"));
    EXPECT_EQ(FolderContents(dir), (std::vector<std::string>{"b.txt", "c.TXT", "moved", "other"}));
  }
}

TEST_F(Files, RenameResolvesBothNamesAndMayChangeOnlyTheCase) {
  WriteFileBytes(Native("a.txt"), "alpha");
  WriteFileBytes(Native("b.txt"), "beta");
  // "B.TXT" is the existing b.txt.
  EXPECT_FALSE(RenameFile(WinPath("A.TXT"), WinPath("B.TXT")));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFileBytes(Native("a.txt")), "alpha");
  EXPECT_EQ(ReadFileBytes(Native("b.txt")), "beta");

  EXPECT_TRUE(RenameFile(WinPath("a.TXT"), WinPath("Report.Txt")));
  EXPECT_TRUE(RenameFile(WinPath("report.txt"), WinPath("REPORT.TXT")));
  EXPECT_EQ(FolderContents(Temp.path().string()), (std::vector<std::string>{"REPORT.TXT", "b.txt"}));
  EXPECT_EQ(ReadFileBytes(Native("REPORT.TXT")), "alpha");
}

TEST_F(Files, CopyFailIfExistsRefusesAndLeavesBothUntouched) {
  WriteFileBytes(Native("src.dat"), "source\0\xFF"s);
  WriteFileBytes(Native("dst.dat"), "target\0"s);
  const auto before = fs::last_write_time(Native("dst.dat"));
  errno = 0;
  EXPECT_FALSE(CopyFile(WinPath("SRC.DAT"), WinPath("DST.DAT"), true));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFileBytes(Native("src.dat")), "source\0\xFF"s);
  EXPECT_EQ(ReadFileBytes(Native("dst.dat")), "target\0"s);
  EXPECT_EQ(fs::last_write_time(Native("dst.dat")), before);
}

TEST_F(Files, CopyCopiesEveryByteAndTheModificationTime) {
  const std::string bytes = BinaryBytes(1 << 20);
  WriteFileBytes(Native("big.bin"), bytes);
  const timespec old[2] = {{978307200, 0}, {978307200, 123456789}};  // 2001-01-01
  ASSERT_EQ(utimensat(AT_FDCWD, Native("big.bin").c_str(), old, 0), 0);

  ASSERT_TRUE(CopyFile(WinPath("BIG.BIN"), WinPath("Copy.Bin"), true));
  EXPECT_TRUE(ReadFileBytes(Native("Copy.Bin")) == bytes);
  struct stat st;
  ASSERT_EQ(stat(Native("Copy.Bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 978307200);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);

  // Without failIfExists the target is replaced, and no temporary is left.
  WriteFileBytes(Native("small.bin"), "\0\0x"s);
  ASSERT_TRUE(CopyFile(WinPath("small.bin"), WinPath("COPY.BIN"), false));
  EXPECT_EQ(ReadFileBytes(Native("Copy.Bin")), "\0\0x"s);
  EXPECT_TRUE(ReadFileBytes(Native("big.bin")) == bytes);
  EXPECT_EQ(FolderContents(Temp.path().string()), (std::vector<std::string>{"Copy.Bin", "big.bin", "small.bin"}));
}

TEST_F(Files, CopyRefusesWhatIsNotAFile) {
  fs::create_directories(Native("dir"));
  EXPECT_FALSE(CopyFile(WinPath("missing"), WinPath("t1"), true));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(CopyFile(WinPath("dir"), WinPath("t2"), false));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_FALSE(CopyFile(WinPath("dir"), WinPath("t3"), true));
  EXPECT_EQ(FolderContents(Temp.path().string()), (std::vector<std::string>{"dir"}));
}

// A file-size limit makes the copy fail halfway, as a full disk would.
TEST_F(Files, FailedCopyLeavesNoPartialTarget) {
  const std::string bytes = BinaryBytes(1 << 20);
  WriteFileBytes(Native("big.bin"), bytes);
  WriteFileBytes(Native("old.bin"), "old");
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 256 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool copiedNew = CopyFile(Native("big.bin"), Native("new.bin"), true);
  const int newError = errno;
  const bool copiedOver = CopyFile(Native("big.bin"), Native("old.bin"), false);
  const int overError = errno;
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(copiedNew);
  EXPECT_EQ(newError, EFBIG);
  EXPECT_FALSE(copiedOver);
  EXPECT_EQ(overError, EFBIG);
  EXPECT_EQ(ReadFileBytes(Native("old.bin")), "old");
  EXPECT_TRUE(ReadFileBytes(Native("big.bin")) == bytes);
  EXPECT_EQ(FolderContents(Temp.path().string()), (std::vector<std::string>{"big.bin", "old.bin"}));
}

std::vector<std::string> recordCalls;
bool IsDsc(const std::string& path) { return path.size() >= 4 && path.substr(path.size() - 4) == ".dsc"; }
bool RecordCopy(const std::string& from, const std::string& to) {
  recordCalls.push_back("copy " + from + " " + to);
  return true;
}
bool RecordRename(const std::string& from, const std::string& to) {
  recordCalls.push_back("rename " + from + " " + to);
  return false;
}
bool RecordRemove(const std::string& path) {
  recordCalls.push_back("remove " + path);
  return true;
}
const RecordFileOps recordOps{IsDsc, RecordCopy, RecordRename, RecordRemove};

TEST_F(Files, RecordFilesGoThroughTheirOperations) {
  WriteFileBytes(Native("mngr001.dsc"), "record");
  WriteFileBytes(Native("plain.txt"), "plain");
  recordCalls.clear();
  SetRecordFileOps(&recordOps);
  const bool copied = CopyFile(WinPath("MNGR001.DSC"), WinPath("MNGR002.dsc"), true);
  const bool renamed = RenameFile(WinPath("MNGR001.DSC"), WinPath("MNGR001.DSX"));
  const bool removed = DeleteFile(WinPath("MNGR001.DSC"));
  const bool plainCopied = CopyFile(WinPath("plain.txt"), WinPath("plain2.txt"), true);
  SetRecordFileOps(nullptr);

  EXPECT_TRUE(copied);
  EXPECT_FALSE(renamed);  // the record manager's answer comes back
  EXPECT_TRUE(removed);
  EXPECT_TRUE(plainCopied);
  const std::string m1 = Native("mngr001.dsc");
  EXPECT_EQ(recordCalls, (std::vector<std::string>{"copy " + m1 + " " + Native("MNGR002.dsc"),
                                                   "rename " + m1 + " " + Native("MNGR001.DSX"),
                                                   "remove " + m1}));
  EXPECT_EQ(FolderContents(Temp.path().string()),
            (std::vector<std::string>{"mngr001.dsc", "plain.txt", "plain2.txt"}));
  // Unset, the file layer does the work itself.
  EXPECT_TRUE(DeleteFile(WinPath("MNGR001.DSC")));
  EXPECT_EQ(recordCalls.size(), 3u);
}

class Listing : public Files {
protected:
  void SetUp() override {
    fs::create_directories(Native("MdData/MNGR005.DSC"));
    for (const char* name : {"MNGR001.DSC", "mngr002.dsc", "MNGR12.DSC", "MNGR0003.DSC", "MNGR004.DSX",
                             "README", "a.b.c", ".hidden"})
      WriteFileBytes(Native("MdData/") + name, name);
  }
  std::vector<std::string> Find(const std::string& mask) const { return Names(FindFiles(WinPath("mddata\\" + mask))); }
};

TEST_F(Listing, PatternsMatchCaseInsensitivelyAndSortWithoutCase) {
  using List = std::vector<std::string>;
  const List all{".hidden",    "a.b.c",       "MNGR0003.DSC", "MNGR001.DSC", "mngr002.dsc",
                 "MNGR004.DSX", "MNGR005.DSC", "MNGR12.DSC",   "README"};
  const std::pair<std::string, List> cases[] = {
      {"MNGR???.DSC", {"MNGR001.DSC", "mngr002.dsc", "MNGR005.DSC"}},
      {"mngr???.dsc", {"MNGR001.DSC", "mngr002.dsc", "MNGR005.DSC"}},
      {"*.*", all},
      {"*", all},
      {"*.DSX", {"MNGR004.DSX"}},
      {"mngr*.*", {"MNGR0003.DSC", "MNGR001.DSC", "mngr002.dsc", "MNGR004.DSX", "MNGR005.DSC", "MNGR12.DSC"}},
      {"readme.*", {"README"}},
      {"*.c", {"a.b.c"}},
      {"m*2*", {"mngr002.dsc", "MNGR12.DSC"}},
      {"?", {}},
      {"nope*", {}},
  };
  for (const auto& [mask, expected] : cases) EXPECT_EQ(Find(mask), expected) << mask;
  EXPECT_EQ(Names(FindFiles(Native("MdData/*.dsx"))), List{"MNGR004.DSX"});

  for (const char* name : {"b", "A", "a", "C", "B"}) WriteFileBytes(Native(name), "");
  EXPECT_EQ(Names(FindFiles(WinPath("?"))), (List{"A", "a", "B", "b", "C"}));

  errno = 0;
  EXPECT_TRUE(FindFiles(WinPath("missing\\*.*")).empty());
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(Listing, EntriesCarrySizeTimeAndAttributes) {
  chmod(Native("MdData/README").c_str(), 0444);
  const std::vector<FileEntry> found = FindFiles(WinPath("mddata\\*"));
  ASSERT_EQ(found.size(), 9u);
  struct stat st;
  ASSERT_EQ(stat(Native("MdData/MNGR001.DSC").c_str(), &st), 0);
  EXPECT_EQ(found[3].Name, "MNGR001.DSC");
  EXPECT_EQ(found[3].Size, 11);
  EXPECT_EQ(found[3].Time, st.st_mtim.tv_sec);
  EXPECT_EQ(found[3].Attr, faArchive);
  EXPECT_EQ(found[0].Attr, faArchive | faHidden);
  EXPECT_EQ(found[6].Attr, faDirectory);
  EXPECT_EQ(found[8].Attr, faArchive | faReadOnly);
}

TEST_F(Listing, FindFirstOffersFoldersAndHiddenOnlyWhenAsked) {
  auto collect = [&](const std::string& mask, int attr) {
    std::vector<std::string> names;
    TSearchRec rec;
    for (int result = FindFirst(WinPath("mddata\\" + mask), attr, rec); result == 0; result = FindNext(rec))
      names.push_back(rec.Name);
    EXPECT_EQ(FindNext(rec), ENOENT);
    FindClose(rec);
    return names;
  };
  using List = std::vector<std::string>;
  EXPECT_EQ(collect("MNGR???.DSC", 0), (List{"MNGR001.DSC", "mngr002.dsc"}));
  EXPECT_EQ(collect("MNGR???.DSC", faDirectory), (List{"MNGR001.DSC", "mngr002.dsc", "MNGR005.DSC"}));
  EXPECT_EQ(collect("*.*", faReadOnly).size(), 7u);
  EXPECT_EQ(collect("*.*", faHidden).front(), ".hidden");
  EXPECT_EQ(collect("*.*", faAnyFile).size(), 9u);
  TSearchRec rec;
  EXPECT_EQ(FindFirst(WinPath("mddata\\nope*"), faAnyFile, rec), ENOENT);
}

}  // namespace
