// dscdump on a descriptor written by the writer: every range by name.
#include "platform/files.h"
#include "platform/format.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/tests/field_fixture.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using DscDumpTest = StoreFilesTest;

std::vector<std::string> DumpLines(const std::string& file) {
  PipedProcess dump(DSCDUMP_PATH, {file});
  std::vector<std::string> lines;
  for (std::string line = dump.Receive(); !line.empty(); line = dump.Receive()) lines.push_back(line);
  return lines;
}

TEST_F(DscDumpTest, ShowsEveryRangeOfEveryRecordByName) {
  TFld f = Field(1, "R\xE9sum\xE9", 'C', 20);
  f.FldId = 7;
  f.DispCols[1] = 12;
  Store.FldTable[1] = f;
  Store.FldCount = 1;
  TFieldPositions offsets;
  offsets[1] = 5;
  std::string name;
  bool inTrans = false;
  CreateDescriptionFile(name, inTrans, TTemplateNumber(3));
  WriteFieldRecords(offsets);
  TIndexRecord index;
  index.Number = 1;
  index.Name = "By name";
  index.SortFlds[1] = 7;
  index.Unique = true;
  index.TplName = "Matters";
  std::string k1 = FormatIndexRecord(index);
  WriteDscRecord(k1);
  BtrCloseFile(DescriptorFileNo);

  const std::vector<std::string> lines = DumpLines(ResolvePath(name));
  ASSERT_EQ(lines.size(), 1 + DscField::All.size() + 1 + DscIndex::All.size());
  EXPECT_EQ(lines[0], "record 1: field");
  for (size_t i = 0; i < DscField::All.size(); ++i)
    EXPECT_EQ(lines[1 + i].substr(0, 20), "  " + Format("%-17s ", DscField::All[i].Label));
  EXPECT_EQ(lines[1], "  SeqNo             cols   1-2    pos   5-6    \" 1\"");
  EXPECT_EQ(lines[2], "  Name              cols   3-28   pos   7-32   \"R\xC3\xA9sum\xC3\xA9" + std::string(20, ' ') + "\"");
  EXPECT_EQ(lines[18], "  DispCols          cols 112-351  pos 116-355  \" 12" + std::string(237, ' ') + "\"");
  EXPECT_EQ(lines[24], "  FldId             cols 465-466  pos 469-470  \" 7\"");

  const size_t k = 1 + DscField::All.size();
  EXPECT_EQ(lines[k], "record 2: index");
  EXPECT_EQ(lines[k + 3], "  index name        cols   3-28   pos   7-32   \"By name" + std::string(19, ' ') + "\"");
  EXPECT_EQ(lines[k + 4], "  sort field        cols  29-30   pos  33-34   \" 7\"");
  EXPECT_EQ(lines[k + 7], "  unique            cols  35-36   pos  39-40   \"UQ\"");
  EXPECT_EQ(lines[k + 9], "  key 2 tag         cols 465-466  pos 469-470  \"K1\"");
}

TEST_F(DscDumpTest, HelpGoesToStdoutAndAWrongCommandLineGetsTheUsageOnStderr) {
  const std::string usage =
      "usage: dscdump FILE\n"
      "Prints every record of the template descriptor FILE in key-1 order, one line per named range.\n";
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string out, err;
  };
  const Case cases[] = {
      {{"--help"}, 0, usage, ""},
      {{"-h"}, 0, usage, ""},
      {{}, 2, "", usage},
      {{"A.DSC", "B.DSC"}, 2, "", usage},
      {{""}, 2, "", usage},
      {{"--all"}, 2, "", "dscdump: unknown option --all\n" + usage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const ProgramRun run = RunProgram(DSCDUMP_PATH, c.args);
    EXPECT_EQ(run.Exit, c.exit);
    EXPECT_EQ(run.Out, c.out);
    EXPECT_EQ(run.Err, c.err);
  }
}

}  // namespace
