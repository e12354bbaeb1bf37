// The user settings as read from the program's registry key: exact "Y",
// the three values written back when empty, and the two letter choices.
#include "mainwin/read_settings.h"

#include "mainwin/tests/startup_fixture.h"
#include "templates/startup_globals.h"

#include <map>
#include <string>
#include <vector>

namespace {

class ReadSettingsTest : public TempDirTest {
protected:
  void SetUp() override { Startup.Reset(); }
  void TearDown() override { Startup.Reset(); }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  DialogResponder Boxes;

  // The program key's values as the test reads them back.
  static std::map<std::string, std::string> ProgramValues() {
    std::map<std::string, std::string> values;
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(ProgramKey)) return values;
    for (const std::string& name : reg.GetValueNames()) values[name] = reg.ReadString(name);
    return values;
  }
};

// The flags in the order of TStartupGlobals, "1" for true.
std::string Flags() {
  std::string f;
  for (bool b : {Startup.MaximizeEntry, Startup.MaximizeGrid, Startup.ConfirmSave, Startup.TabToAltLookups,
                 Startup.AutoClear, Startup.ReturnToGridAfterEdit, Startup.AutoLoadLinks})
    f += b ? '1' : '0';
  return f;
}

TEST_F(ReadSettingsTest, AFreshWorkstationWritesBackOnlyTheThreeDefaults) {
  ReadSettings();
  EXPECT_EQ(Flags(), "0000110");
  EXPECT_EQ(Startup.MDEntryMode, "C");
  EXPECT_EQ(Startup.EntryModeIdx, 1);
  EXPECT_EQ(Startup.MDEmpByName, "N");
  EXPECT_EQ(Startup.EmpByNameIdx, 2);
  EXPECT_EQ(ProgramValues(), (std::map<std::string, std::string>{
                                 {"AutoClear", "Y"}, {"ReturnToGridAfterEdit", "Y"}, {"AutoLoadLinks", "N"}}));
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(ReadSettingsTest, OnlyAnExactCapitalYIsTrue) {
  PutRegValue(ProgramKey, "MaximizeEntry", "Y");
  PutRegValue(ProgramKey, "MaximizeGrid", "y");
  PutRegValue(ProgramKey, "ConfirmSave", "Y ");
  PutRegValue(ProgramKey, "TabToAltLookups", "Yes");
  PutRegValue(ProgramKey, "AutoClear", "N");
  PutRegValue(ProgramKey, "ReturnToGridAfterEdit", "n");
  PutRegValue(ProgramKey, "AutoLoadLinks", "Y");
  ReadSettings();
  EXPECT_EQ(Flags(), "1000001");
  // Values that are there are never rewritten.
  EXPECT_EQ(ProgramValues().at("AutoClear"), "N");
  EXPECT_EQ(ProgramValues().at("ReturnToGridAfterEdit"), "n");
}

TEST_F(ReadSettingsTest, EntryModeAndEmployeeChoiceKeepAnyPartOfTheirLetters) {
  struct Row {
    std::string Stored;
    std::string Mode;
    int ModeIdx;
    std::string Emp;
    int EmpIdx;
  };
  const std::vector<Row> rows{
      {"C", "C", 1, "C", 1},       {"N", "N", 2, "N", 2},   {"NS", "NS", 2, "N", 2},
      {"CNSA", "CNSA", 1, "N", 2}, {"A", "A", 4, "N", 2},   {"CN", "CN", 1, "CN", 1},
      {"X", "C", 1, "N", 2},       {"s", "C", 1, "N", 2},   {"SN", "C", 1, "N", 2},
      {"C ", "C", 1, "N", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("stored '" + row.Stored + "'");
    PutRegValue(ProgramKey, "MDEntryMode", row.Stored);
    PutRegValue(ProgramKey, "MDEmpByName", row.Stored);
    ReadSettings();
    EXPECT_EQ(Startup.MDEntryMode, row.Mode);
    EXPECT_EQ(Startup.EntryModeIdx, row.ModeIdx);
    EXPECT_EQ(Startup.MDEmpByName, row.Emp);
    EXPECT_EQ(Startup.EmpByNameIdx, row.EmpIdx);
  }
}

TEST_F(ReadSettingsTest, AnEmptyEntryModeTakesTheHostsAndKeepsIt) {
  PutRegValue(HostKey, "EntryMode", "S");
  PutRegValue(HostKey, "EmpByName", "C");
  ReadSettings();
  EXPECT_EQ(Startup.MDEntryMode, "S");
  EXPECT_EQ(Startup.EntryModeIdx, 3);
  EXPECT_EQ(Startup.MDEmpByName, "C");
  EXPECT_EQ(Startup.EmpByNameIdx, 1);
  EXPECT_EQ(ProgramValues().at("MDEntryMode"), "S");
  EXPECT_EQ(ProgramValues().at("MDEmpByName"), "C");
}

}  // namespace
