// mdbtr from a shell: stat, dump and check of a sample file; a damaged key
// found by check; damaged rows named with the rule they break, the file
// left as it was and without a lock file; a junk file, a missing file, a
// folder and bad arguments refused with one line and a failing exit status;
// the usage asked for; the check every test folder gets at its end.
#include "engine/tests/damage.h"
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

#include <gtest/gtest-spi.h>
#include <sqlite3.h>

#include <filesystem>

using namespace engine;

namespace {

class Mdbtr : public EngineFolderTest {
protected:
  // A 12-byte record: key 0 an autoincrement (bytes 1-4), key 1 a
  // case-insensitive name with duplicates (5-10), key 2 a descending
  // integer (11-12). Three records, the second with control bytes.
  std::string MakeSample() {
    using namespace key_flag;
    const std::string path = TempPath("sample.dat");
    EXPECT_EQ(CreateFile(path, CreateBuffer(12, {{1, 4, ExtendedType, key_type::AutoIncrement},
                                                 {5, 6, ExtendedType | Duplicates | Modifiable | CaseInsensitive},
                                                 {11, 2, ExtendedType | Duplicates | Descending, key_type::Integer}})),
              0);
    BtrFile f;
    EXPECT_EQ(f.Open(path), 0);
    for (const std::string& record : {LE(0, 4) + "Zo\xEB   " + LE(7, 2), LE(0, 4) + std::string("ann\0\x01\\", 6) + LE(-1, 2),
                                      LE(0, 4) + "Bob   " + LE(300, 2)})
      EXPECT_EQ(f.Insert(record), 0);
    return path;
  }
};

TEST_F(Mdbtr, StatDumpAndCheckASampleFile) {
  const std::string path = MakeSample();
  const ProgramRun stat = RunMdbtr({"stat", path});
  EXPECT_EQ(stat.Exit, 0) << stat.Err;
  EXPECT_EQ(stat.Out,
            "record length: 12\n"
            "page size: 4096\n"
            "records: 3\n"
            "keys: 3\n"
            "key 0: length 4, unique\n"
            "  at 1, length 4, autoincrement\n"
            "key 1: length 6, duplicates, modifiable\n"
            "  at 5, length 6, string, case-insensitive\n"
            "key 2: length 2, duplicates\n"
            "  at 11, length 2, integer, descending\n");

  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::string zoe = "#1 \\x01\\x00\\x00\\x00Zo\xC3\xAB   \\x07\\x00\n";
  const std::string ann = "#2 \\x02\\x00\\x00\\x00ann\\x00\\x01\\\\\xC3\xBF\xC3\xBF\n";
  const std::string bob = "#3 \\x03\\x00\\x00\\x00Bob   ,\\x01\n";
  for (const Case& c : {Case{{"dump", path}, zoe + ann + bob}, Case{{"dump", path, "--key", "1"}, ann + bob + zoe},
                        Case{{"dump", path, "--key", "2"}, bob + zoe + ann},
                        Case{{"check", path}, path + ": sound, 3 records\n"}}) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const ProgramRun run = RunMdbtr(c.args);
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, c.out);
    EXPECT_EQ(run.Err, "");
  }
}

TEST_F(Mdbtr, CheckFindsAKeyThatNoLongerMatchesItsRecord) {
  const std::string path = MakeSample();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "UPDATE records SET k1 = X'414E4E000120' WHERE id = 2", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const ProgramRun run = RunMdbtr({"check", path});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Out, path + ": record at position 2: key 1 does not match the record\n");
  // So does the check every test folder gets at its end, which then drops it.
  EXPECT_NONFATAL_FAILURE(CheckRecordFiles(Temp.path()), "key 1 does not match the record");
  std::filesystem::remove(path);
}

TEST_F(Mdbtr, CheckNamesEachDamagedRowAndTheRuleItBreaksChangingNothing) {
  const std::string path = MakeSample();
  DamageFile(path,
             "UPDATE records SET record = CAST(record || X'00' AS BLOB) WHERE id = 1;"
             "UPDATE records SET k1 = CAST(k1 AS TEXT) WHERE id = 2;"
             "UPDATE records SET k2 = X'00' WHERE id = 3;"
             "INSERT INTO records(id, record, k0, k1, k2) VALUES (4, NULL, X'80000004', X'202020202020', X'7FFF');");
  std::filesystem::remove(path + ".lck");
  const std::string before = ReadFileBytes(path);
  const ProgramRun check = RunMdbtr({"check", path});
  EXPECT_EQ(check.Exit, 1) << check.Err;
  EXPECT_EQ(check.Out, path + ": record at position 1: the record is not the record length (13 bytes, 12 bytes expected)\n" +
                           path + ": record at position 2: key 1 is not stored as bytes (text, 6 bytes expected)\n" +
                           path + ": record at position 3: key 2 is not the key's length (1 byte, 2 bytes expected)\n" +
                           path + ": record at position 4: the record is not stored as bytes (NULL, 12 bytes expected)\n");
  const ProgramRun stat = RunMdbtr({"stat", path});
  EXPECT_EQ(stat.Exit, 0) << stat.Err;
  const ProgramRun dump = RunMdbtr({"dump", path});
  EXPECT_EQ(dump.Exit, 2);
  EXPECT_EQ(dump.Out, "");
  EXPECT_EQ(dump.Err, "mdbtr: " + path + ": An input/output error occurred while the file was read or written (status 2)\n");
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_FALSE(std::filesystem::exists(path + ".lck"));
  std::filesystem::remove(path);
}

TEST_F(Mdbtr, CheckNamesDamagedMetadataRows) {
  struct Case {
    const char* sql;
    std::string out;
  };
  const std::vector<Case> cases{
      {"UPDATE metadata SET name = NULL WHERE name = 'format'",
       ": metadata row 1: the name is not text\n#: metadata: there is not exactly one format row\n"},
      {"UPDATE metadata SET value = CAST(value AS TEXT) WHERE name = 'spec'",
       ": metadata row 2: the file specification is not stored as bytes\n"},
      {"UPDATE metadata SET value = 'another program' WHERE name = 'format'",
       ": metadata row 1: the format is not the marker of a record manager file\n"},
      {"DELETE FROM metadata WHERE name = 'spec'", ": metadata: there is not exactly one specification row\n"},
      {"UPDATE metadata SET value = substr(value, 1, 20) WHERE name = 'spec'",
       ": metadata: the file specification does not decode (status 22)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    const std::string path = MakeSample();
    DamageFile(path, c.sql);
    const std::string before = ReadFileBytes(path);
    const ProgramRun run = RunMdbtr({"check", path});
    EXPECT_EQ(run.Exit, 1) << run.Err;
    std::string out = path + c.out;
    for (size_t at; (at = out.find('#')) != std::string::npos;) out.replace(at, 1, path);
    EXPECT_EQ(run.Out, out);
    EXPECT_EQ(ReadFileBytes(path), before);
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".lck");
  }
}

TEST_F(Mdbtr, ALookLeavesNoLockFileWhereThereWasNone) {
  const std::string path = MakeSample();
  std::filesystem::remove(path + ".lck");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"stat", path}, {"dump", path}, {"check", path}}) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(RunMdbtr(args).Exit, 0);
    EXPECT_FALSE(std::filesystem::exists(path + ".lck"));
  }
  // One that was there stays, and so does one a workstation holds.
  WriteFileBytes(path + ".lck", "");
  EXPECT_EQ(RunMdbtr({"stat", path}).Exit, 0);
  EXPECT_TRUE(std::filesystem::exists(path + ".lck"));
  std::filesystem::remove(path + ".lck");
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(RunMdbtr({"stat", path}).Exit, 0);
  EXPECT_TRUE(std::filesystem::exists(path + ".lck"));
}

TEST_F(Mdbtr, OneRecordIsOneRecord) {
  using namespace key_flag;
  const std::string path = TempPath("one.dat");
  ASSERT_EQ(CreateFile(path, CreateBuffer(4, {{1, 4, ExtendedType, key_type::AutoIncrement}})), 0);
  {
    BtrFile f;
    ASSERT_EQ(f.Open(path), 0);
    ASSERT_EQ(f.Insert(LE(0, 4)), 0);
  }
  const ProgramRun run = RunMdbtr({"check", path});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, path + ": sound, 1 record\n");
}

TEST_F(Mdbtr, HelpPrintsTheUsageOnStandardOutput) {
  for (const char* option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    const ProgramRun run = RunMdbtr({option});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.starts_with("usage: mdbtr stat FILE | mdbtr dump FILE [--key N] | mdbtr check FILE...\n"))
        << run.Out;
    EXPECT_NE(run.Out.find("Exit status:"), std::string::npos);
    EXPECT_EQ(run.Err, "");
  }
}

TEST_F(Mdbtr, TheFolderCheckPassesOverPlainFilesAndFailsAFileLeftOpen) {
  const std::string path = MakeSample();
  WriteFileBytes(TempPath("notes.dat"), "not a record-manager file");
  CheckRecordFiles(Temp.path());
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_NONFATAL_FAILURE(CheckRecordFiles(Temp.path()), path + " left behind answers 85");
}

TEST_F(Mdbtr, JunkMissingFilesAndBadArgumentsFailWithOneLine) {
  const std::string path = MakeSample();
  const std::string junk = TempPath("junk.dat"), missing = TempPath("none.dat");
  WriteFileBytes(junk, "not a record-manager file");
  const std::string notOurs = "The file is not a record manager file or is damaged (status 30)";
  const std::string notFound = "The file could not be found (status 12)";
  const std::string usage = "usage: mdbtr stat FILE | mdbtr dump FILE [--key N] | mdbtr check FILE...";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  for (const Case& c : std::vector<Case>{
           {{"stat", junk}, junk + ": " + notOurs},
           {{"dump", junk}, junk + ": " + notOurs},
           {{"check", junk}, junk + ": " + notOurs},
           {{"stat", missing}, missing + ": " + notFound},
           {{"dump", missing, "--key", "0"}, missing + ": " + notFound},
           {{"check", path, missing}, missing + ": " + notFound},
           {{"dump", path, "--key", "3"}, path + ": has no key 3"},
           {{"stat", Temp.path().string()}, Temp.path().string() + ": is a folder, not a record manager file"},
           {{"check", path, Temp.path().string()}, Temp.path().string() + ": is a folder, not a record manager file"},
           {{}, usage},
           {{"stat"}, usage},
           {{"stat", path, path}, usage},
           {{"dump", path, "--key", "x"}, usage},
           {{"list", path}, usage},
       }) {
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args[0] + " " + c.args.back());
    const ProgramRun run = RunMdbtr(c.args);
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "mdbtr: " + c.err + "\n");
  }
}

}  // namespace
