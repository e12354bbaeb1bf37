#include "templates/grid_position.h"

#include "btrieve/create_file.h"
#include "templates/template_state.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// The cell as the find writes it, worked out apart from the codec.
std::string CellOf(const TBtrPosition& p) {
  char cell[16];
  std::snprintf(cell, sizeof cell, "%3d%3d%3d%3d", p[0], p[1], p[2], p[3]);
  return cell;
}

TEST(GridPositionTest, BytesInOrderEachRightAlignedInThree) {
  EXPECT_EQ(FormatGridPosition({0, 1, 2, 3}), "  0  1  2  3");
  EXPECT_EQ(FormatGridPosition({255, 16, 0, 7}), "255 16  0  7");
  TBtrPosition parsed{};
  ASSERT_TRUE(ParseGridPosition("  0  1  2  3", parsed));
  EXPECT_EQ(parsed, (TBtrPosition{0, 1, 2, 3}));
}

TEST(GridPositionTest, EveryByteValueRoundTrips) {
  for (int v = 0; v < 256; ++v) {
    SCOPED_TRACE(v);
    const TBtrPosition pos{uint8_t(v), uint8_t(255 - v), uint8_t((v * 7) % 256), uint8_t(v / 2)};
    const std::string cell = FormatGridPosition(pos);
    EXPECT_EQ(cell, CellOf(pos));
    TBtrPosition parsed{9, 9, 9, 9};
    EXPECT_TRUE(ParseGridPosition(cell, parsed));
    EXPECT_EQ(parsed, pos);
  }
}

TEST(GridPositionTest, ACellThatIsNoPositionIsRefused) {
  const std::vector<std::string> cells = {
      "",
      "            ",      // blank
      "deleted",
      "  0  1  2  ",       // 11 characters
      "  0  1  2  3 ",     // 13
      "  0  1  2   ",      // a blank group
      "  0  1  2  x",
      "  0 -1  2  3",
      "  0  1  2 +3",
      "256  1  2  3",      // above 255
      "999  0  0  0",
      "007  1  2  3",      // written with leading zeros
      "7    1  2  3",      // not right-aligned
      "  0\0  1  2  3"s.substr(0, 12),
      "  0  1  2\t 3",
  };
  for (const std::string& cell : cells) {
    SCOPED_TRACE(::testing::PrintToString(cell));
    TBtrPosition pos{9, 9, 9, 9};
    EXPECT_FALSE(ParseGridPosition(cell, pos));
    EXPECT_EQ(pos, (TBtrPosition{9, 9, 9, 9}));
  }
}

// A template data file of the real record manager as file 52.
class GridRowRecordTest : public CheckedFolderTest {
protected:
  static constexpr uint16_t RecLen = 16;

  void SetUp() override {
    ResetBtrLayer();
    Store.Reset();
  }
  void TearDown() override {
    ResetBtrLayer();
    Store.Reset();
    CheckedFolderTest::TearDown();
  }

  // Records "ALPHA", "BRAVO", "CHARLIE" (key 1 the name); their positions.
  std::vector<TBtrPosition> OpenTemplateData() {
    const std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true}, {1, 0, 5, 12, true, true, false}};
    const std::string path = TempPath("TPL001.DAT");
    std::string msg;
    EXPECT_TRUE(BtrCreateFile(path, RecLen, 2, msg, 255, true, keys)) << msg;
    BtrOpenFile(52, path, 0);
    std::vector<TBtrPosition> positions;
    TDynCharArr rec(RecLen);
    for (const std::string name : {"ALPHA", "BRAVO", "CHARLIE"}) {
      BtrInsertRecord(52, Text(name));
      positions.push_back(BtrSavePosition(52, rec));
    }
    return positions;
  }
  static std::string Text(const std::string& name) {
    std::string t = name;
    t.resize(RecLen - 4, ' ');
    return t;
  }
  static std::string TplRecText() { return std::string(Store.TplRec.begin() + 4, Store.TplRec.end()); }
};

TEST_F(GridRowRecordTest, TheCellsRecordIsReadIntoTplRec) {
  const auto positions = OpenTemplateData();
  Store.TplRec.assign(RecLen, 0);
  std::string msg = "stale";
  ASSERT_TRUE(GetGridRowRecord(CellOf(positions[1]), msg));
  EXPECT_EQ(msg, "");
  EXPECT_EQ(TplRecText(), Text("BRAVO"));
  ASSERT_TRUE(GetGridRowRecord(CellOf(positions[0]), msg));
  EXPECT_EQ(TplRecText(), Text("ALPHA"));
}

TEST_F(GridRowRecordTest, ADeletedRecordGivesTheLayersText) {
  const auto positions = OpenTemplateData();
  Store.TplRec.assign(RecLen, 0);
  std::string msg;
  ASSERT_TRUE(GetGridRowRecord(CellOf(positions[2]), msg));
  BtrDeleteRecord(52);
  EXPECT_FALSE(GetGridRowRecord(CellOf(positions[2]), msg));
  EXPECT_EQ(msg, "Physical location invalid.\r" + BtrStatusTail(43));
}

TEST_F(GridRowRecordTest, ABadCellCallsNothing) {
  // With no file open any call of the layer would raise.
  std::string msg = "stale";
  EXPECT_FALSE(GetGridRowRecord("deleted", msg));
  EXPECT_EQ(msg, "");
  EXPECT_FALSE(GetGridRowRecord("  1  0  0  0 ", msg));
  EXPECT_EQ(msg, "");
}

TEST_F(GridRowRecordTest, WithoutTheDataFileOpenTheLayersTextComesBack) {
  OpenTemplateData();
  BtrCloseFile(52);
  std::string msg;
  EXPECT_FALSE(GetGridRowRecord("  1  0  0  0", msg));
  EXPECT_EQ(msg, "Filenumber 52 is not valid!");
}

}  // namespace
