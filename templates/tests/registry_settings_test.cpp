#include "templates/registry_settings.h"

#include "platform/registry.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

const std::string CvwinKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVWIN";
const std::string CvmngrKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVMNGR";
const std::string CvwmasKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVWMAS";
const std::string HostKey = "\\Software\\Ondral\\Corvenstead\\Host";
const std::string RemoteKey = "\\Software\\Ondral\\Corvenstead\\Remote";
const std::string ProgramKey = "\\Software\\Ondral\\Corvenstead\\Matterdesk";

// Every test has a registry file of its own and scripts every box it expects.
// Public, so the tables' arrangements can reach it.
class RegistrySettingsTest : public TempDirTest {
public:
  std::string File = TempPath("registry.ini");
  ScopedEnv Registry{"MATTERDESK_REGISTRY", File};
  DialogResponder Boxes;

  static void Put(const std::string& key, const std::string& name, const std::string& value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteString(name, value);
  }
  static void MakeKey(const std::string& key) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
  }
  static bool KeyExists(const std::string& key) { return TRegistry().KeyExists(key); }

  // Every value of the registry as "key|name=value", keys in order.
  static Lines Dump() {
    Lines out;
    DumpKey("", out);
    return out;
  }
  static void DumpKey(const std::string& path, Lines& out) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\" + path));
    for (const std::string& name : reg.GetValueNames()) out.push_back(path + "|" + name + "=" + reg.ReadString(name));
    for (const std::string& sub : reg.GetKeyNames()) DumpKey(path.empty() ? sub : path + "\\" + sub, out);
  }

  void Damage() { WriteFileBytes(File, "[HKEY_LOCAL_MACHINE\\Software]\n\"A\"=\"1\"\n\"A\"=\"2\"\n"); }
  // Reads go on; every write fails to take the writers' lock.
  void BlockWrites() {
    std::filesystem::remove(File + ".lock");
    std::filesystem::create_directory(File + ".lock");
  }
  // The registry file's path is a folder: nothing can be read.
  void MakeUnreadable() { std::filesystem::create_directory(File); }

  void ExpectBoxes(const Lines& texts) {
    for (const std::string& text : texts) Boxes.Expect(text);
  }
};

std::string ReadFailure(const std::string& name, const std::string& key) {
  return "Unable to read the '" + name + "' value from the registry key " + key + " at this time." + ContactMsg;
}
std::string ResetFailure(const std::string& name) {
  return "Unable to reset the '" + name + "' value at this time." + ContactMsg;
}

TEST(RegKeyPathTest, KeyIdsNameTheirKeys) {
  EXPECT_EQ(RegKeyPath(DataRootKeyId), CvwinKey);
  EXPECT_EQ(RegKeyPath(MngrAliasKeyId), CvmngrKey);
  EXPECT_EQ(RegKeyPath(HostKeyId), HostKey);
  EXPECT_EQ(RegKeyPath(ProgramKeyId), ProgramKey);
  EXPECT_EQ(RegKeyPath(0), "");
  EXPECT_EQ(RegKeyPath(5), "");
}

// The program key absent, present or holding the setting ("S"), against the
// host key absent, present or holding the host value ("C"). Only the two
// quick-entry settings fall back, and only while the program's value is
// empty; what they take is kept in the program key. A plain name has a host
// value under characters 3-11 of its name too, which it must not take.
enum class State { Absent, Present, Set };

struct FallbackRow {
  std::string name;
  State program;
  State host;
  std::string value;       // what the read gives
  Lines programAfter;      // the program key's values afterwards
};

TEST_F(RegistrySettingsTest, ProgramValueFallsBackToHostOnlyWhenEmpty) {
  const std::vector<FallbackRow> rows = {
      {"MDEntryMode", State::Absent, State::Absent, "", {}},
      {"MDEntryMode", State::Absent, State::Present, "", {}},
      {"MDEntryMode", State::Absent, State::Set, "C", {"MDEntryMode=C"}},
      {"MDEntryMode", State::Present, State::Absent, "", {}},
      {"MDEntryMode", State::Present, State::Present, "", {}},
      {"MDEntryMode", State::Present, State::Set, "C", {"MDEntryMode=C"}},
      {"MDEntryMode", State::Set, State::Absent, "S", {"MDEntryMode=S"}},
      {"MDEntryMode", State::Set, State::Present, "S", {"MDEntryMode=S"}},
      {"MDEntryMode", State::Set, State::Set, "S", {"MDEntryMode=S"}},
      {"MDEmpByName", State::Absent, State::Absent, "", {}},
      {"MDEmpByName", State::Absent, State::Present, "", {}},
      {"MDEmpByName", State::Absent, State::Set, "C", {"MDEmpByName=C"}},
      {"MDEmpByName", State::Present, State::Absent, "", {}},
      {"MDEmpByName", State::Present, State::Present, "", {}},
      {"MDEmpByName", State::Present, State::Set, "C", {"MDEmpByName=C"}},
      {"MDEmpByName", State::Set, State::Absent, "S", {"MDEmpByName=S"}},
      {"MDEmpByName", State::Set, State::Present, "S", {"MDEmpByName=S"}},
      {"MDEmpByName", State::Set, State::Set, "S", {"MDEmpByName=S"}},
      {"MDExportDir", State::Absent, State::Absent, "", {}},
      {"MDExportDir", State::Absent, State::Present, "", {}},
      {"MDExportDir", State::Absent, State::Set, "", {}},
      {"MDExportDir", State::Present, State::Absent, "", {}},
      {"MDExportDir", State::Present, State::Present, "", {}},
      {"MDExportDir", State::Present, State::Set, "", {}},
      {"MDExportDir", State::Set, State::Absent, "S", {"MDExportDir=S"}},
      {"MDExportDir", State::Set, State::Present, "S", {"MDExportDir=S"}},
      {"MDExportDir", State::Set, State::Set, "S", {"MDExportDir=S"}},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    const FallbackRow& row = rows[i];
    SCOPED_TRACE(row.name + " row " + std::to_string(i));
    const std::string hostName = row.name.substr(2);
    std::filesystem::remove(File);
    if (row.program == State::Present) MakeKey(ProgramKey);
    if (row.program == State::Set) Put(ProgramKey, row.name, "S");
    if (row.host == State::Present) MakeKey(HostKey);
    if (row.host == State::Set) Put(HostKey, hostName, "C");
    const Lines hostBefore = row.host == State::Set ? Lines{"Software\\Ondral\\Corvenstead\\Host|" + hostName + "=C"}
                                                    : Lines{};

    std::string value = "stale";
    ReadRegValue(row.name, ProgramKeyId, value);

    EXPECT_EQ(value, row.value);
    EXPECT_TRUE(KeyExists(ProgramKey));
    Lines expected = hostBefore;
    for (const std::string& v : row.programAfter) expected.push_back("Software\\Ondral\\Corvenstead\\Matterdesk|" + v);
    EXPECT_EQ(Dump(), expected);
  }
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(RegistrySettingsTest, ValuesOfTheOtherKeysAreReadAsStored) {
  Put(CvwinKey, "PhysicalName", "\\\\server\\cvwin\r");
  Put(HostKey, "WSID", "01");
  std::string value;
  ReadRegValue("physicalname", DataRootKeyId, value);
  EXPECT_EQ(value, "\\\\server\\cvwin\r");
  ReadRegValue("WSID", HostKeyId, value);
  EXPECT_EQ(value, "01");
  ReadRegValue("Missing", HostKeyId, value);
  EXPECT_EQ(value, "");
}

TEST_F(RegistrySettingsTest, FallbackKeepsTheSpellingTheProgramKeyHas) {
  Put(ProgramKey, "mdentrymode", "");
  Put(HostKey, "ENTRYMODE", "A");
  std::string value;
  ReadRegValue("MDEntryMode", ProgramKeyId, value);
  EXPECT_EQ(value, "A");
  EXPECT_EQ(Dump(), (Lines{"Software\\Ondral\\Corvenstead\\Host|ENTRYMODE=A",
                           "Software\\Ondral\\Corvenstead\\Matterdesk|mdentrymode=A"}));
}

// Each failing read shows one information box and leaves the value empty;
// the registry file is never changed by a failed read.
TEST_F(RegistrySettingsTest, FailedReadsTellTheUserOnce) {
  struct Row {
    std::string what;
    std::function<void(RegistrySettingsTest&)> arrange;
    std::string name;
    int keyId;
    Lines texts;
    std::string value;
  };
  const std::vector<Row> rows = {
      {"missing alias key", [](auto&) {}, "PhysicalName", DataRootKeyId, {ReadFailure("PhysicalName", CvwinKey)}, ""},
      {"missing program alias", [](auto&) {}, "PhysicalName", MngrAliasKeyId,
       {ReadFailure("PhysicalName", CvmngrKey)}, ""},
      {"missing host key", [](auto&) {}, "WSID", HostKeyId, {ReadFailure("WSID", HostKey)}, ""},
      {"no such key id", [](auto&) {}, "WSID", 7, {ReadFailure("WSID", "")}, ""},
      {"damaged file", [](auto& t) { t.Damage(); }, "ExportDir", ProgramKeyId,
       {ReadFailure("ExportDir", ProgramKey)}, ""},
      {"unreadable file", [](auto& t) { t.MakeUnreadable(); }, "WSID", HostKeyId, {ReadFailure("WSID", HostKey)}, ""},
      {"program key cannot be created", [](auto& t) { t.BlockWrites(); }, "ExportDir", ProgramKeyId,
       {ReadFailure("ExportDir", ProgramKey)}, ""},
      {"value of another type",
       [](auto&) {
         TRegistry reg;
         ASSERT_TRUE(reg.OpenKey(HostKey, true));
         reg.WriteInteger("WSID", 1);
       },
       "WSID", HostKeyId, {ReadFailure("WSID", HostKey)}, ""},
      {"host value of another type",
       [](auto&) {
         MakeKey(ProgramKey);
         TRegistry reg;
         ASSERT_TRUE(reg.OpenKey(HostKey, true));
         reg.WriteBinaryData("EntryMode", "S");
       },
       "MDEntryMode", ProgramKeyId, {ReadFailure("EntryMode", HostKey)}, ""},
      {"fallback cannot be kept",
       [](auto& t) {
         MakeKey(ProgramKey);
         Put(HostKey, "EmpByName", "N");
         t.BlockWrites();
       },
       "MDEmpByName", ProgramKeyId, {ResetFailure("MDEmpByName")}, "N"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove_all(File);
    std::filesystem::remove_all(File + ".lock");
    row.arrange(*this);
    const bool existed = std::filesystem::is_regular_file(File);
    const std::string before = existed ? ReadFileBytes(File) : "";
    DialogResponder boxes;
    for (const std::string& text : row.texts) boxes.Expect(text);

    std::string value = "stale";
    ReadRegValue(row.name, row.keyId, value);

    EXPECT_EQ(value, row.value);
    EXPECT_EQ(boxes.Texts(), row.texts);
    for (const auto& box : boxes.Boxes()) {
      EXPECT_EQ(box.type, mtInformation);
      EXPECT_EQ(box.buttons, mbOKOnly);
    }
    EXPECT_EQ(std::filesystem::is_regular_file(File), existed);
    if (existed) {
      EXPECT_EQ(ReadFileBytes(File), before);
    }
  }
}

TEST_F(RegistrySettingsTest, WriteRegValueWritesTheProgramKey) {
  ASSERT_TRUE(WriteRegValue("ExportDir", "/home/a\\b"));
  ASSERT_TRUE(WriteRegValue("MDEntryMode", "S"));
  ASSERT_TRUE(WriteRegValue("exportdir", "/tmp"));
  EXPECT_EQ(Dump(), (Lines{"Software\\Ondral\\Corvenstead\\Matterdesk|ExportDir=/tmp",
                           "Software\\Ondral\\Corvenstead\\Matterdesk|MDEntryMode=S"}));
}

TEST_F(RegistrySettingsTest, WriteRegValueFailuresLeaveTheFileAsItWas) {
  struct Row {
    std::string what;
    std::function<void(RegistrySettingsTest&)> arrange;
    std::string text;
  };
  const std::vector<Row> rows = {
      {"damaged file", [](auto& t) { t.Damage(); }, "Unable to open the registry at this time."},
      {"unreadable file", [](auto& t) { t.MakeUnreadable(); }, "Unable to open the registry at this time."},
      {"key cannot be created", [](auto& t) { t.BlockWrites(); }, ResetFailure("MDEntryMode")},
      {"value cannot be written",
       [](auto& t) {
         Put(ProgramKey, "MDEntryMode", "C");
         t.BlockWrites();
       },
       ResetFailure("MDEntryMode")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove_all(File);
    std::filesystem::remove_all(File + ".lock");
    row.arrange(*this);
    const bool existed = std::filesystem::is_regular_file(File);
    const std::string before = existed ? ReadFileBytes(File) : "";
    DialogResponder boxes;
    boxes.Expect(row.text);

    EXPECT_FALSE(WriteRegValue("MDEntryMode", "S"));

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].type, mtInformation);
    EXPECT_EQ(std::filesystem::is_regular_file(File), existed);
    if (existed) {
      EXPECT_EQ(ReadFileBytes(File), before);
    }
  }
}

TEST_F(RegistrySettingsTest, ReadSettingFindsEachSettingInItsKey) {
  struct Row {
    std::string name;
    bool aliasSwitch;
    std::string key;
    std::string valueName;
  };
  const std::vector<Row> rows = {
      {"REMOTE", true, CvwmasKey, "PhysicalName"},     {"MDDATA", true, CvmngrKey, "PhysicalName"},
      {"WSID", true, CvwinKey, "PhysicalName"},        {"REMOTE", false, RemoteKey, "AuditPrinter"},
      {"APRINTER", false, RemoteKey, "AuditPrinter"},  {"BPRINTER", false, RemoteKey, "BatchPrinter"},
      {"PRINTEROPTS", false, RemoteKey, "BatchPrintOptions"}, {"WSID", false, HostKey, "WSID"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + (row.aliasSwitch ? " with the alias switch" : ""));
    std::filesystem::remove(File);
    Put(row.key, row.valueName, "value of " + row.name);
    std::string value;
    EXPECT_TRUE(ReadSetting(row.name, row.aliasSwitch, value));
    EXPECT_EQ(value, "value of " + row.name);
  }
}

TEST_F(RegistrySettingsTest, ReadSettingOfAMissingValueIsEmptyAndOfAMissingKeyFails) {
  MakeKey(RemoteKey);
  std::string value = "stale";
  EXPECT_TRUE(ReadSetting("BPRINTER", false, value));
  EXPECT_EQ(value, "");

  const std::string text = "Not able to read the 'MDDATA' value from the registry at this time." + ContactMsg;
  Boxes.Expect(text);
  value = "stale";
  EXPECT_FALSE(ReadSetting("MDDATA", true, value));
  EXPECT_EQ(value, "");

  Damage();
  Boxes.Expect("Not able to read the 'BPRINTER' value from the registry at this time.\r\r"
               "Please contact Ondral, Inc. for assistance.");
  EXPECT_FALSE(ReadSetting("BPRINTER", false, value));
  EXPECT_EQ(value, "");
  ASSERT_EQ(Boxes.Boxes().size(), 2u);
  EXPECT_EQ(Boxes.Boxes()[1].type, mtInformation);
}

TEST_F(RegistrySettingsTest, WriteSettingWritesEachSettingInItsKey) {
  struct Row {
    std::string name;
    Lines written;
  };
  const std::string alias = "Software\\Orrin\\Btrieve\\Aliases\\CVWIN|";
  const std::string remote = "Software\\Ondral\\Corvenstead\\Remote|";
  const std::string host = "Software\\Ondral\\Corvenstead\\Host|";
  const std::vector<Row> rows = {
      {"REMOTEPhysicalName", {alias + "PhysicalName=X", alias + "Descripton=REMOTE Mode"}},
      {"APRINTER", {remote + "AuditPrinter=X"}},
      {"BPRINTER", {remote + "BatchPrinter=X"}},
      {"PPRINTER", {remote + "BatchPrintOptions=X"}},
      {"QPRINTER", {remote + "BatchPrinter=X"}},
      {"PRINTEROPTS", {host + "PRINTEROPTS=X"}},
      {"REMOTE", {host + "REMOTE=X"}},
      {"WSID", {host + "WSID=X"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(File);
    EXPECT_TRUE(WriteSetting(row.name, "X"));
    EXPECT_EQ(Dump(), row.written);
  }
}

TEST_F(RegistrySettingsTest, WriteSettingFailuresNameTheSetting) {
  Put(HostKey, "WSID", "01");
  BlockWrites();
  const std::string before = ReadFileBytes(File);
  ExpectBoxes({ResetFailure("REMOTEPhysicalName"),
               "Unable to reset the remote default printer value at this time." + ContactMsg,
               ResetFailure("WSID")});
  EXPECT_FALSE(WriteSetting("REMOTEPhysicalName", "X"));
  EXPECT_FALSE(WriteSetting("BPRINTER", "X"));
  EXPECT_FALSE(WriteSetting("WSID", "02"));
  EXPECT_EQ(ReadFileBytes(File), before);
}

TEST_F(RegistrySettingsTest, WriteSettingRefusesToReplaceADamagedFile) {
  Damage();
  const std::string before = ReadFileBytes(File);
  Boxes.Expect("Unable to reset the remote default printer value at this time." + ContactMsg);
  EXPECT_FALSE(WriteSetting("APRINTER", "X"));
  EXPECT_EQ(ReadFileBytes(File), before);
}

}  // namespace
