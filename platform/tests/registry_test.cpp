#include "platform/registry.h"

#include "platform/format.h"
#include "platform/text.h"
#include "testing/expect_message.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"
#include "testing/watchdog.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

using namespace std::string_literals;
using Names = std::vector<std::string>;

namespace {

RegDocument ParseFile(const std::string& file) { return ParseRegistryText(ReadFileBytes(file), file); }

// Every test has a registry of its own in a folder that does not exist yet.
class RegistryTest : public TempDirTest {
protected:
  std::string File = TempPath("config/registry.ini");
  ScopedEnv Registry{"MATTERDESK_REGISTRY", File};
};

TEST_F(RegistryTest, FileHoldsOneSectionPerKeyInOrderAndValuesAsWritten) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Orrin", true));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Ondral\\Corvenstead\\Host", true));
  reg.WriteString("WSID", "01");
  reg.WriteInteger("Count", 42);
  reg.WriteInteger("Minus", -2);
  reg.WriteBinaryData("Blob", "\x01\xff"s);
  reg.WriteBinaryData("None", "");
  reg.WriteString("Empty", "");
  EXPECT_EQ(ReadFileBytes(File),
            "[HKEY_LOCAL_MACHINE\\Software]\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Ondral]\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead]\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead\\Host]\n"
            "\"WSID\"=\"01\"\n"
            "\"Count\"=dword:0000002a\n"
            "\"Minus\"=dword:fffffffe\n"
            "\"Blob\"=hex:01,ff\n"
            "\"None\"=hex:\n"
            "\"Empty\"=\"\"\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Orrin]\n");
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Ondral\\Host", true));
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\ondral\\HOST\\Sub", true));
  reg.WriteString("WSID", "01");
  reg.WriteString("Other", "x");
  reg.WriteString("wsid", "02");
  reg.WriteString("\xe9t\xe9", "accent");  // "été"
  reg.WriteString("\xc9T\xc9", "ACCENT");  // "ÉTÉ"
  EXPECT_EQ(reg.GetValueNames(), (Names{"WSID", "Other", "\xe9t\xe9"}));
  EXPECT_EQ(reg.ReadString("Wsid"), "02");
  EXPECT_EQ(reg.ReadString("\xe9T\xc9"), "ACCENT");
  EXPECT_TRUE(reg.KeyExists("\\software\\ONDRAL"));
  EXPECT_EQ(ParseFile(File).FindKey("SOFTWARE\\ONDRAL\\HOST\\SUB")->Path, "Software\\Ondral\\Host\\Sub");
  // The locale plays no part: only Windows-1252 letters have another case.
  reg.WriteString("\xdf", "sharp s");
  reg.WriteString("SS", "two letters");
  EXPECT_EQ(reg.ReadString("\xdf"), "sharp s");
}

TEST_F(RegistryTest, SubkeysSortWithoutCaseValuesKeepTheirPlace) {
  TRegistry reg;
  for (const char* name : {"b", "C", "\xe9", "A", "a!", "A\\Z"}) ASSERT_TRUE(reg.OpenKey("\\Root\\"s + name, true));
  ASSERT_TRUE(reg.OpenKey("\\Root", false));
  EXPECT_EQ(reg.GetKeyNames(), (Names{"A", "a!", "b", "C", "\xe9"}));
  reg.WriteString("Third", "3");
  reg.WriteString("First", "1");
  reg.WriteString("Second", "2");
  reg.WriteInteger("THIRD", 4);  // an overwrite may change the type, never the place
  EXPECT_EQ(reg.GetValueNames(), (Names{"Third", "First", "Second"}));
  EXPECT_EQ(reg.GetDataType("third"), rdInteger);
  EXPECT_TRUE(reg.DeleteValue("FIRST"));
  EXPECT_FALSE(reg.DeleteValue("First"));
  reg.WriteString("First", "again");
  EXPECT_EQ(reg.GetValueNames(), (Names{"Third", "Second", "First"}));
}

TEST_F(RegistryTest, TypesReadBackAndMismatchesAreRefused) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\T", true));
  reg.WriteString("S", "text");
  reg.WriteInteger("I", -2147483647 - 1);
  reg.WriteBinaryData("B", "\0\x01\xff"s);
  EXPECT_EQ(reg.ReadString("S"), "text");
  EXPECT_EQ(reg.ReadInteger("I"), -2147483647 - 1);
  EXPECT_EQ(reg.ReadBinaryData("B"), "\0\x01\xff"s);
  EXPECT_EQ(reg.GetDataType("S"), rdString);
  EXPECT_EQ(reg.GetDataType("I"), rdInteger);
  EXPECT_EQ(reg.GetDataType("B"), rdBinary);
  EXPECT_EQ(reg.GetDataType("Missing"), rdUnknown);
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadInteger("Missing"), 0);
  EXPECT_EQ(reg.ReadBinaryData("Missing"), "");
  ExpectMessage<ERegistryException>([&] { reg.ReadInteger("S"); },
                                    "The registry value 'S' holds another type of data.");
  ExpectMessage<ERegistryException>([&] { reg.ReadString("I"); },
                                    "The registry value 'I' holds another type of data.");
  ExpectMessage<ERegistryException>([&] { reg.ReadString("B"); },
                                    "The registry value 'B' holds another type of data.");
  ExpectMessage<ERegistryException>([&] { reg.ReadBinaryData("S"); },
                                    "The registry value 'S' holds another type of data.");
}

TEST_F(RegistryTest, DeleteKeyTakesItsSubkeysAndNothingElse) {
  TRegistry reg;
  for (const char* path : {"\\A\\B\\C", "\\A\\D", "\\A!", "\\AB", "\\B"}) ASSERT_TRUE(reg.OpenKey(path, true));
  ASSERT_TRUE(reg.OpenKey("\\A\\B", false));
  reg.WriteString("V", "1");
  EXPECT_TRUE(reg.DeleteKey("\\a"));
  EXPECT_FALSE(reg.DeleteKey("\\A"));
  EXPECT_FALSE(reg.DeleteKey("\\"));
  for (const char* path : {"\\A", "\\A\\B", "\\A\\B\\C", "\\A\\D"}) EXPECT_FALSE(reg.KeyExists(path)) << path;
  reg.CloseKey();
  EXPECT_EQ(reg.GetKeyNames(), (Names{"A!", "AB", "B"}));
  // The deleted key reads as empty and refuses writes.
  ASSERT_TRUE(reg.OpenKey("\\B", false));
  ASSERT_TRUE(reg.DeleteKey("\\B"));
  EXPECT_EQ(reg.ReadString("V"), "");
  ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "x"); }, "The registry key B no longer exists.");
  EXPECT_FALSE(reg.KeyExists("\\B"));
}

TEST_F(RegistryTest, OpenKeyAbsoluteAndRelative) {
  {
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey("\\Software\\Ondral\\Host", true));
  }
  struct Case {
    const char* start;  // opened first; nullptr: nothing open
    const char* key;
    bool canCreate;
    bool opened;
    const char* path;  // CurrentPath afterwards
  };
  const Case cases[] = {
      {nullptr, "\\Software\\Ondral", false, true, "Software\\Ondral"},
      {nullptr, "Software\\Ondral", false, true, "Software\\Ondral"},
      {nullptr, "\\software\\ONDRAL", false, true, "software\\ONDRAL"},
      {"\\Software", "Ondral\\Host", false, true, "Software\\Ondral\\Host"},
      {"\\Software", "\\Ondral", false, false, "Software"},
      {"\\Software", "\\Software\\Ondral", false, true, "Software\\Ondral"},
      {"\\Software", "", false, true, "Software"},
      {"\\Software", "New", false, false, "Software"},
      {"\\Software", "New", true, true, "Software\\New"},
      {"\\Software", "Ondral\\\\Host", true, false, "Software"},
      {"\\Software", "Ondral\\", true, false, "Software"},
      {"\\Software", "\\\\Software", true, false, "Software"},
      {"\\Software", "Bad\x01Name", true, false, "Software"},
      {"\\Software", "\\", false, true, ""},
      {nullptr, "", false, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Format("start %s, key %s", c.start ? c.start : "-", c.key));
    TRegistry reg;
    if (c.start) {
      ASSERT_TRUE(reg.OpenKey(c.start, false));
    }
    EXPECT_EQ(reg.OpenKey(c.key, c.canCreate), c.opened);
    EXPECT_EQ(reg.CurrentPath(), c.path);
  }
  TRegistry reg;
  EXPECT_FALSE(reg.KeyExists("\\Software\\Bad\x01Name"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\New\\Host"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\New"));
}

TEST_F(RegistryTest, ReadOnlyOpensRefuseEveryWrite) {
  {
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey("\\Software\\Sub", true));
    setup.WriteString("V", "1");
  }
  const std::string before = ReadFileBytes(File);
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Missing"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Missing"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software"));
  EXPECT_EQ(reg.GetKeyNames(), Names{"Sub"});
  ASSERT_TRUE(reg.OpenKeyReadOnly("Sub"));
  EXPECT_EQ(reg.ReadString("V"), "1");
  const std::string refused = "The registry key Software\\Sub is open for reading only.";
  ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "2"); }, refused);
  ExpectMessage<ERegistryException>([&] { reg.WriteInteger("I", 2); }, refused);
  ExpectMessage<ERegistryException>([&] { reg.WriteBinaryData("B", "2"); }, refused);
  ExpectMessage<ERegistryException>([&] { reg.DeleteValue("V"); }, refused);
  ExpectMessage<ERegistryException>([&] { reg.DeleteKey("\\Software\\Sub"); }, refused);
  EXPECT_EQ(ReadFileBytes(File), before);
  // A writable open lifts it.
  ASSERT_TRUE(reg.OpenKey("\\Software\\Sub", false));
  reg.WriteString("V", "2");
  EXPECT_EQ(reg.ReadString("V"), "2");
  // Without a key there is nothing to write into.
  reg.CloseKey();
  ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "3"); }, "No registry key is open for writing.");
}

TEST_F(RegistryTest, EscapesAndHighBytesRoundTrip) {
  std::string every;
  for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
  const std::string oddName = "Q\"uote\\Back\r\x7f\xe9";
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\K \xe9[x]=\"y\"", true));
  reg.WriteString("All", every);
  reg.WriteString(oddName, "a\"b\\c\r\n\td\x01\x81\xa0\xe9\x80");
  const std::string text = ReadFileBytes(File);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\K \xc3\xa9[x]=\"y\"]\n"), std::string::npos);
  const std::string line =
      "\"Q\\\"uote\\\\Back\\r\\x7f\xc3\xa9\"=\"a\\\"b\\\\c\\r\\n\\td\\x01\\x81\xc2\xa0\xc3\xa9\xe2\x82\xac\"\n";
  EXPECT_NE(text.find(line), std::string::npos) << text;
  const RegDocument doc = ParseFile(File);
  const RegKey* key = doc.FindKey("K \xe9[x]=\"y\"");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->Values.size(), 2u);
  EXPECT_EQ(key->Values[0].Data, every);
  EXPECT_EQ(key->Values[1].Name, oddName);
  EXPECT_EQ(key->Values[1].Data, "a\"b\\c\r\n\td\x01\x81\xa0\xe9\x80");
}

// What stands at a path, without following a link: "file", "link to X",
// "fifo", "folder" or "none".
std::string WhatIsAt(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return "none";
  if (S_ISLNK(st.st_mode)) return "link to " + std::filesystem::read_symlink(path).string();
  if (S_ISFIFO(st.st_mode)) return "fifo";
  if (S_ISDIR(st.st_mode)) return "folder";
  return S_ISREG(st.st_mode) ? "file" : "other";
}

// Something that is no registry file planted at its name: reads and writes
// refuse it with one message, nothing waits on it or reads it without end,
// and it stays as it was with nothing made beside it or where it leads.
TEST_F(RegistryTest, WhatIsNotARegularFileIsRefusedAndLeftAsItWas) {
  struct Row {
    std::string what;
    std::function<void(const std::string& file)> plant;
    std::string kind;
  };
  const std::string fifo = TempPath("elsewhere/fifo");
  const std::vector<Row> rows = {
      {"fifo", [](const std::string& file) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }, "a FIFO"},
      {"folder", [](const std::string& file) { std::filesystem::create_directory(file); }, "a folder"},
      {"link to /dev/zero", [](const std::string& file) { std::filesystem::create_symlink("/dev/zero", file); },
       "a device"},
      {"link to a fifo",
       [&fifo](const std::string& file) {
         ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
         std::filesystem::create_symlink(fifo, file);
       },
       "a FIFO"},
  };
  const bool zeroLockBefore = std::filesystem::exists("/dev/zero.lock");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Watchdog watchdog;
    std::filesystem::remove_all(TempPath("config"));
    std::filesystem::remove_all(TempPath("elsewhere"));
    std::filesystem::create_directories(TempPath("elsewhere"));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\K", true));
    std::filesystem::remove(File);
    row.plant(File);
    const std::string planted = WhatIsAt(File);

    const std::string message = "The registry file " + File + " is not a regular file (" + row.kind + ").";
    ExpectMessage<ERegistryException>([] { CheckRegistryFile(); }, message);
    ExpectMessage<ERegistryException>([&] { reg.ReadString("V"); }, message);
    ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "1"); }, message);
    ExpectMessage<ERegistryException>([&] { TRegistry().OpenKey("\\New", true); }, message);

    EXPECT_EQ(WhatIsAt(File), planted);
    EXPECT_EQ(WhatIsAt(File + ".tmp"), "none");
    EXPECT_EQ(WhatIsAt(fifo + ".lock"), "none");
    EXPECT_EQ(WhatIsAt(fifo + ".tmp"), "none");
  }
  EXPECT_EQ(std::filesystem::exists("/dev/zero.lock"), zeroLockBefore);
}

TEST_F(RegistryTest, AFileOverSixteenMebibytesIsRefusedUnread) {
  Watchdog watchdog;
  std::filesystem::create_directories(TempPath("config"));
  // Sparse: NUL bytes, which a read would find damaged at line 1.
  std::ofstream(File, std::ios::binary).close();
  std::filesystem::resize_file(File, RegistryFileMaxBytes);
  ExpectMessage<ERegistryException>(
      [] { CheckRegistryFile(); },
      "The registry file " + File + " is damaged at line 1: a line that is neither a key nor a value.");
  std::filesystem::resize_file(File, RegistryFileMaxBytes + 1);
  const std::string message = "The registry file " + File + " is larger than 16 MiB.";
  ExpectMessage<ERegistryException>([] { CheckRegistryFile(); }, message);
  ExpectMessage<ERegistryException>([] { TRegistry().OpenKey("\\K", true); }, message);
  EXPECT_EQ(std::filesystem::file_size(File), RegistryFileMaxBytes + 1);
}

// A registry file that is a link the user made: a write lands in the file
// the links lead to, atomically beside it and with its permissions, and the
// links stay links; a link to no file yet makes that file.
TEST_F(RegistryTest, AWriteThroughSymbolicLinksWritesTheFileTheyName) {
  Watchdog watchdog;
  std::filesystem::create_directories(TempPath("config"));
  std::filesystem::create_directories(TempPath("real"));
  const std::string real = TempPath("real/registry.ini");
  WriteFileBytes(real, "[HKEY_LOCAL_MACHINE\\K]\n\"Old\"=\"1\"\n");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  // The registry file links to a second link, relative, which links to the file.
  std::filesystem::create_symlink("../real/registry.ini", TempPath("config/middle.ini"));
  std::filesystem::create_symlink("middle.ini", File);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\K", false));
  reg.WriteString("New", "2");

  EXPECT_EQ(WhatIsAt(File), "link to middle.ini");
  EXPECT_EQ(WhatIsAt(TempPath("config/middle.ini")), "link to ../real/registry.ini");
  EXPECT_EQ(ReadFileBytes(real), "[HKEY_LOCAL_MACHINE\\K]\n\"Old\"=\"1\"\n\"New\"=\"2\"\n");
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(WhatIsAt(real + ".lock"), "file");
  EXPECT_EQ(WhatIsAt(real + ".tmp"), "none");
  EXPECT_EQ(WhatIsAt(File + ".tmp"), "none");
  EXPECT_EQ(WhatIsAt(File + ".lock"), "none");
  EXPECT_EQ(reg.ReadString("New"), "2");

  // A link to a file not made yet.
  std::filesystem::remove(File);
  std::filesystem::create_symlink(TempPath("real/first.ini"), File);
  ASSERT_TRUE(TRegistry().OpenKey("\\First", true));
  EXPECT_EQ(WhatIsAt(File), "link to " + TempPath("real/first.ini"));
  EXPECT_EQ(ReadFileBytes(TempPath("real/first.ini")), "[HKEY_LOCAL_MACHINE\\First]\n");
  ASSERT_EQ(stat(TempPath("real/first.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  // A loop of links names no file.
  std::filesystem::remove(File);
  std::filesystem::create_symlink("registry.ini", File);
  ExpectMessage<ERegistryException>([] { TRegistry().OpenKey("\\Loop", true); },
                                    "Cannot read the registry file " + File + ": Too many levels of symbolic links.");
  EXPECT_EQ(WhatIsAt(File), "link to registry.ini");
}

TEST(RegistryFileName, VariablesTakePrecedenceInOrder) {
  struct Case {
    std::optional<std::string> registry, xdg, home;
    std::string expected;
  };
  const Case cases[] = {
      {"/r/reg.ini", "/x", "/h", "/r/reg.ini"},
      {"", "/x", "/h", "/x/corvenstead/registry.ini"},
      {std::nullopt, "/x", "/h", "/x/corvenstead/registry.ini"},
      {std::nullopt, std::nullopt, "/h", "/h/.config/corvenstead/registry.ini"},
      {std::nullopt, "", "/h", "/h/.config/corvenstead/registry.ini"},
      {std::nullopt, "relative", "/h", "/h/.config/corvenstead/registry.ini"},
  };
  for (const Case& c : cases) {
    ScopedEnv registry("MATTERDESK_REGISTRY", c.registry);
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(RegistryFileName(), c.expected);
  }
}

// Without MATTERDESK_REGISTRY and an absolute XDG_CONFIG_HOME the file lies
// in the home folder: the user database's when HOME is unset; an empty or
// relative HOME names no file, and every use of the registry says so.
TEST(RegistryFileName, TheHomeFolderMustBeAnAbsolutePath) {
  ScopedEnv registry("MATTERDESK_REGISTRY", std::nullopt);
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::string userHome = user->pw_dir;
  struct Case {
    std::optional<std::string> xdg, home;
    std::string file;
    std::string refusal;
  };
  const std::string tail = "/.config/corvenstead/registry.ini cannot be used: ";
  const std::string fullPath = "; it must name the home folder by its full path.";
  const std::string empty = "The registry file ~" + tail + "HOME is empty" + fullPath;
  const Case cases[] = {
      {std::nullopt, std::nullopt, userHome + "/.config/corvenstead/registry.ini", ""},
      {"relative", std::nullopt, userHome + "/.config/corvenstead/registry.ini", ""},
      {std::nullopt, "", "", empty},
      {"relative", "", "", empty},
      {std::nullopt, ".", "", "The registry file ." + tail + "HOME (\".\") is a relative path" + fullPath},
      {std::nullopt, "home/me", "",
       "The registry file home/me" + tail + "HOME (\"home/me\") is a relative path" + fullPath},
      {"/x", "", "/x/corvenstead/registry.ini", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("XDG_CONFIG_HOME " + c.xdg.value_or("unset") + ", HOME " + c.home.value_or("unset"));
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    ScopedEnv home("HOME", c.home);
    const TRegistryPlace place = RegistryPlace();
    EXPECT_EQ(place.File, c.file);
    EXPECT_EQ(place.Refusal, c.refusal);
    EXPECT_EQ(RegistryFileName(), c.file);
    if (c.refusal.empty()) continue;
    ExpectMessage<ERegistryException>([] { CheckRegistryFile(); }, c.refusal);
    TRegistry reg;
    ExpectMessage<ERegistryException>([&] { reg.KeyExists("\\Software"); }, c.refusal);
    ExpectMessage<ERegistryException>([&] { reg.OpenKey("\\Software", true); }, c.refusal);
  }
}

TEST(RegistryFirstWrite, CreatesPrivateFolderAndFileOnlyOnWrite) {
  ScopedTempDir temp;
  ScopedEnv registry("MATTERDESK_REGISTRY", std::nullopt);
  ScopedEnv xdg("XDG_CONFIG_HOME", temp / "xdg");
  const std::string folder = temp / "xdg/corvenstead";
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("\\Software", false));
  EXPECT_FALSE(reg.DeleteKey("\\Software"));
  EXPECT_EQ(reg.GetKeyNames(), Names{});
  EXPECT_FALSE(std::filesystem::exists(temp / "xdg"));
  ASSERT_TRUE(reg.OpenKey("\\Software", true));
  struct stat st;
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  ASSERT_EQ(stat((temp / "xdg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  ASSERT_EQ(stat((folder + "/registry.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(ReadFileBytes(folder + "/registry.ini"), "[HKEY_LOCAL_MACHINE\\Software]\n");
}

TEST_F(RegistryTest, ReadsSeeOtherWritersAndHandEdits) {
  TRegistry reader;
  TRegistry writer;
  ASSERT_TRUE(writer.OpenKey("\\K", true));
  ASSERT_TRUE(reader.OpenKey("\\K", false));
  EXPECT_EQ(reader.ReadString("V"), "");
  writer.WriteString("V", "1");
  EXPECT_EQ(reader.ReadString("V"), "1");
  WriteFileBytes(File, "; edited by hand\r\n[HKEY_LOCAL_MACHINE\\K]\r\n  \"V\" = \"edited\"  \r\n\"D\"=dword:2A\n");
  EXPECT_EQ(reader.ReadString("V"), "edited");
  EXPECT_EQ(reader.ReadInteger("D"), 42);
  // The next write keeps the hand edit's values and writes the file's own form.
  writer.WriteString("W", "2");
  EXPECT_EQ(ReadFileBytes(File), "[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"edited\"\n\"D\"=dword:0000002a\n\"W\"=\"2\"\n");
}

TEST(RegistryText, LenientFormsAPersonMightTypeAreRead) {
  const RegDocument doc = ParseRegistryText(
      "\n; comment\n[hkey_local_machine\\A\\B]\n\"X\"=dword:0\n\"Y\" =hex: 0A , fF\n\"Z\"=\"\xc3\xa9\"\t\n"
      "[HKEY_LOCAL_MACHINE]\n[HKEY_LOCAL_MACHINE\\A]\n",
      "f");
  const RegKey* b = doc.FindKey("a\\b");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->Values.size(), 3u);
  EXPECT_EQ(b->Values[0].Integer, 0);
  EXPECT_EQ(b->Values[1].Data, "\x0a\xff");
  EXPECT_EQ(b->Values[2].Data, "\xe9");
  EXPECT_EQ(doc.SubkeyNames(""), Names{"A"});
  EXPECT_EQ(doc.SubkeyNames("A"), Names{"B"});
}

struct DamagedCase {
  std::string text;
  std::string reason;  // after "is damaged at "
};

class RegistryDamagedTest : public RegistryTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(RegistryDamagedTest, ReadsFailWritesRefuseAndTheFileStaysAsItWas) {
  const DamagedCase& c = GetParam();
  std::filesystem::create_directories(TempPath("config"));
  const std::string text = "[HKEY_LOCAL_MACHINE\\Keep]\n\"V\"=\"1\"\n" + c.text;
  WriteFileBytes(File, text);
  const std::string message = "The registry file " + File + " is damaged at " + c.reason + ".";
  TRegistry reg;
  ExpectMessage<ERegistryException>([&] { reg.OpenKey("\\Keep", false); }, message);
  ExpectMessage<ERegistryException>([&] { reg.OpenKey("\\New", true); }, message);
  ExpectMessage<ERegistryException>([&] { reg.KeyExists("\\Keep"); }, message);
  ExpectMessage<ERegistryException>([&] { reg.GetKeyNames(); }, message);
  ExpectMessage<ERegistryException>([&] { reg.DeleteKey("\\Keep"); }, message);
  // A key opened before the damage: its reads fail and its writes refuse.
  WriteFileBytes(File, "[HKEY_LOCAL_MACHINE\\Keep]\n");
  ASSERT_TRUE(reg.OpenKey("\\Keep", false));
  WriteFileBytes(File, text);
  ExpectMessage<ERegistryException>([&] { reg.ReadString("V"); }, message);
  ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "2"); }, message);
  ExpectMessage<ERegistryException>([&] { reg.DeleteValue("V"); }, message);
  EXPECT_EQ(ReadFileBytes(File), text);
  EXPECT_FALSE(std::filesystem::exists(File + ".tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryDamagedTest,
    ::testing::Values(
        DamagedCase{"bogus\n", "line 3: a line that is neither a key nor a value"},
        DamagedCase{"[HKEY_CURRENT_USER\\A]\n", "line 3: a key outside HKEY_LOCAL_MACHINE"},
        DamagedCase{"[HKEY_LOCAL_MACHINEX\\A]\n", "line 3: a key outside HKEY_LOCAL_MACHINE"},
        DamagedCase{"\n[hkey_local_machine\\KEEP]\n", "line 4: the key hkey_local_machine\\KEEP is given twice"},
        DamagedCase{"[HKEY_LOCAL_MACHINE\\A\\\\B]\n", "line 3: an empty key name or a control character in one"},
        DamagedCase{"[HKEY_LOCAL_MACHINE\\]\n", "line 3: an empty key name or a control character in one"},
        DamagedCase{"[HKEY_LOCAL_MACHINE\\A\n", "line 3: a key header without its closing \"]\""},
        DamagedCase{"[HKEY_LOCAL_MACHINE]\n\"X\"=\"1\"\n", "line 4: a value directly under HKEY_LOCAL_MACHINE"},
        DamagedCase{"\"v\"=\"2\"\n", "line 3: the value \"v\" is given twice"},
        DamagedCase{"\"X\"=dword:123456789\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=dword:\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=hex:1,02\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=hex:01,\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=\"a\\q\"\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=\"a\\x4\"\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=\"open\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=\"1\" tail\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"=text\n", "line 3: value data that cannot be read"},
        DamagedCase{"\"X\"\n", "line 3: a value without \"=\""},
        DamagedCase{"\"X=\"1\"\n", "line 3: a value without \"=\""},
        DamagedCase{"\"X\\\"=\"1\"\n", "line 3: a value without \"=\""},
        DamagedCase{"\n\n\"X\"=\"\xe4\xb8\xad\"\n", "line 5: The character U+4E2D cannot be stored"},
        DamagedCase{"\"X\"=\"\xff\"\n", "line 3: The text is not valid UTF-8 (byte 6)"}));

TEST(RegistryValueBeforeKey, IsDamage) {
  ExpectMessage<ERegistryException>([] { ParseRegistryText("\"X\"=\"1\"\n", "file"); },
                                    "The registry file file is damaged at line 1: a value before the first key.");
}

// Fork-based tests: a child process writes through its own TRegistry and
// reports by its exit status; _exit keeps it out of the test framework's
// shutdown.
pid_t Child(const std::function<void()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int status = 0;
    try {
      body();
    } catch (...) {
      status = 1;
    }
    _exit(status);
  }
  return pid;
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceBothLand) {
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (const char* prefix : {"A", "B"}) {
    children.push_back(Child([&go, prefix] {
      char start;
      if (read(go[0], &start, 1) != 1) throw 1;
      TRegistry reg;
      if (!reg.OpenKey("\\Software\\Race", true)) throw 1;
      for (int i = 0; i < 500; ++i) reg.WriteString(prefix + IntToStr(i), IntToStr(i));
    }));
  }
  ASSERT_EQ(write(go[1], "gg", 2), 2);
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  close(go[0]);
  close(go[1]);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Race", false));
  EXPECT_EQ(reg.GetValueNames().size(), 1000u);
  for (const char* prefix : {"A", "B"}) {
    for (int i = 0; i < 500; ++i) ASSERT_EQ(reg.ReadString(prefix + IntToStr(i)), IntToStr(i)) << prefix << i;
  }
}

int stopSignalFd = -1;

TEST_F(RegistryTest, WriterKilledBeforeTheRenameLeavesTheOldFile) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\K", true));
  reg.WriteString("Old", "1");
  const std::string before = ReadFileBytes(File);
  int stopped[2];
  ASSERT_EQ(pipe(stopped), 0);
  stopSignalFd = stopped[1];
  const pid_t pid = Child([] {
    registry_detail::BeforeReplace = [] {
      if (write(stopSignalFd, "s", 1) == 1) pause();
    };
    TRegistry child;
    if (!child.OpenKey("\\K", false)) throw 1;
    child.WriteString("New", "2");
  });
  char signal;
  ASSERT_EQ(read(stopped[0], &signal, 1), 1);
  // The child has written and synced the new state and holds the lock.
  EXPECT_EQ(ReadFileBytes(File + ".tmp"), "[HKEY_LOCAL_MACHINE\\K]\n\"Old\"=\"1\"\n\"New\"=\"2\"\n");
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status));
  close(stopped[0]);
  close(stopped[1]);
  EXPECT_EQ(ReadFileBytes(File), before);
  EXPECT_EQ(reg.ReadString("New"), "");
  // The dead writer's lock went with it; its temporary file is replaced.
  reg.WriteString("Next", "3");
  EXPECT_EQ(ReadFileBytes(File), "[HKEY_LOCAL_MACHINE\\K]\n\"Old\"=\"1\"\n\"Next\"=\"3\"\n");
  EXPECT_FALSE(std::filesystem::exists(File + ".tmp"));
}

TEST_F(RegistryTest, FailedWriteLeavesTheFileAndTellsWhy) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\K", true));
  const std::string before = ReadFileBytes(File);
  // A folder where the temporary file should go makes the write fail.
  std::filesystem::create_directories(File + ".tmp/x");
  ExpectMessage<ERegistryException>([&] { reg.WriteString("V", "1"); },
                                    "Cannot write the registry file " + File + ".tmp: Is a directory.");
  EXPECT_FALSE(reg.OpenKey("\\Other", true));
  EXPECT_EQ(reg.CurrentPath(), "K");
  EXPECT_EQ(ReadFileBytes(File), before);
  EXPECT_EQ(reg.ReadString("V"), "");
}

}  // namespace
