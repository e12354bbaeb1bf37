#include "platform/paths.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

struct NameCase {
  std::string name, path, file, ext;
};

TEST(Paths, ExtractPartsOfNames) {
  const NameCase cases[] = {
      {"\\mddata\\MNGR007.DSC", "\\mddata\\", "MNGR007.DSC", ".DSC"},
      {"C:\\x", "C:\\", "x", ""},
      {"C:x.txt", "C:", "x.txt", ".txt"},
      {"dir/sub\\file.tar.gz", "dir/sub\\", "file.tar.gz", ".gz"},
      {"dir.d\\file", "dir.d\\", "file", ""},
      {"dir.d/", "dir.d/", "", ""},
      {"file.", "", "file.", "."},
      {".hidden", "", ".hidden", ".hidden"},
      {"plain", "", "plain", ""},
      {"", "", "", ""},
      {"\\", "\\", "", ""},
      {"a\0b\\c\0.d"s, "a\0b\\"s, "c\0.d"s, ".d"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
  }
}

TEST(Paths, ChangeFileExtReplacesOnlyTheFileNamesExtension) {
  const std::string cases[][3] = {
      {"\\mddata\\MNGR007.DSC", ".DSX", "\\mddata\\MNGR007.DSX"},
      {"MGRDT001.QMD", "", "MGRDT001"},
      {"dir.d\\file", ".txt", "dir.d\\file.txt"},
      {"dir.d/file", ".txt", "dir.d/file.txt"},
      {"a.b.c", ".x", "a.b.x"},
      {"file.", ".txt", "file.txt"},
      {"C:name", ".x", "C:name.x"},
      {"", ".x", ".x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c[0], c[1]), c[2]) << c[0];
}

TEST(Paths, TrailingBackslash) {
  const std::string cases[][3] = {
      // name, IncludeTrailingBackslash, ExcludeTrailingBackslash
      {"\\mddata", "\\mddata\\", "\\mddata"},
      {"\\mddata\\", "\\mddata\\", "\\mddata"},
      {"/x/y/", "/x/y/", "/x/y"},
      {"a\\\\", "a\\\\", "a\\"},
      {"", "\\", ""},
      {"\\", "\\", ""},
      {"C:", "C:\\", "C:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IncludeTrailingBackslash(c[0]), c[1]) << c[0];
    EXPECT_EQ(ExcludeTrailingBackslash(c[0]), c[2]) << c[0];
  }
}

TEST(Paths, DisplayPathShowsForwardSlashesWithoutDrive) {
  const std::string cases[][2] = {
      {"C:\\mddata\\MNGR007.DSC", "/mddata/MNGR007.DSC"},
      {"c:x", "x"},
      {"\\mddata\\", "/mddata/"},
      {"Unable to rename old description file \\mddata\\MNGR001.DSC\rto x.", 
       "Unable to rename old description file /mddata/MNGR001.DSC\rto x."},
      {"1:\\x", "1:/x"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DisplayPath(c[0]), c[1]) << c[0];
}

TEST(Paths, DrivePrefixIsALetterAndAColon) {
  EXPECT_TRUE(HasDrivePrefix("C:"));
  EXPECT_TRUE(HasDrivePrefix("z:\\x"));
  EXPECT_FALSE(HasDrivePrefix("1:\\x"));
  EXPECT_FALSE(HasDrivePrefix("\xC9:x"));
  EXPECT_FALSE(HasDrivePrefix("C"));
  EXPECT_FALSE(HasDrivePrefix("\\C:"));
}
