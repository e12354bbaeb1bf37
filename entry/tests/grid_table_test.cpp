#include "entry/grid_format.h"
#include "entry/grid_table.h"

#include <gtest/gtest.h>

namespace {

// Columns: 1 text, 2 numeric, 3 date, 4 display, 5 display, 6 check.
TGridTable MakeTable() {
  TGridTable t;
  t.SetColumns({{"Name", 100, TGridColumnKind::Text, false},
                {"Amount", 60, TGridColumnKind::Numeric, false},
                {"Opened", 70, TGridColumnKind::Date, false},
                {"Client name", 85, TGridColumnKind::Text, true},
                {"Client city", 40, TGridColumnKind::Text, true},
                {"Billable", 17, TGridColumnKind::Check, false}});
  return t;
}

std::vector<std::string> Column(const TGridTable& T, int Col) {
  std::vector<std::string> out;
  for (int r = 0; r < T.RowCount(); ++r) out.push_back(T.Cell(r, Col));
  return out;
}

std::vector<int> Widths(const TGridTable& T) {
  std::vector<int> out;
  for (int c = 0; c < T.ColCount(); ++c) out.push_back(T.Width(c));
  return out;
}

TEST(GridTableTest, ColumnsAndRows) {
  TGridTable t = MakeTable();
  EXPECT_EQ(t.ColCount(), 9);
  EXPECT_EQ(Widths(t), (std::vector<int>{8, 100, 60, 70, 85, 40, 17, 0, 0}));
  EXPECT_EQ(t.DisplayRuns(), (std::vector<std::pair<int, int>>{{4, 5}}));
  EXPECT_EQ(t.AppendRow({"Adams", "1.00"}, "Adams     ", "  1  0  0  0"), 0);
  EXPECT_EQ(t.RowCapacity(), TGridTable::RowGrowth);
  EXPECT_EQ(t.Cell(0, 1), "Adams");
  EXPECT_EQ(t.Cell(0, 6), "");
  EXPECT_EQ(t.KeyText(0), "Adams     ");
  EXPECT_FALSE(t.IsDeleted(0));
  t.MarkDeleted(0);
  EXPECT_TRUE(t.IsDeleted(0));
  EXPECT_EQ(t.PositionCell(0), "deleted");
}

TEST(GridTableTest, FormatRoundTripKeepsHiddenZeroAndNormalWidths) {
  TGridTable t = MakeTable();
  t.DefaultRowHeight = 20;
  t.HeaderHeight = 40;
  t.SetDisplayHidden(true);
  const std::string bytes = EncodeGridFormat(t.FormatOf());
  EXPECT_EQ(bytes, "20\r\n40\r\n8\r\n100\r\n60\r\n70\r\n-85\r\n-40\r\n17\r\n");

  TGridTable back = MakeTable();
  back.ApplyFormat(DecodeGridFormat(bytes));
  EXPECT_TRUE(back.DisplayHidden);
  EXPECT_EQ(back.DefaultRowHeight, 20);
  EXPECT_EQ(back.HeaderHeight, 40);
  EXPECT_EQ(Widths(back), (std::vector<int>{8, 100, 60, 70, 0, 0, 17, 0, 0}));
  back.SetDisplayHidden(false);
  EXPECT_EQ(Widths(back), (std::vector<int>{8, 100, 60, 70, 85, 40, 17, 0, 0}));

  // A zero width hides the column with nothing to show it at.
  back.ApplyFormat(DecodeGridFormat("18\n22\n8\n0\n"));
  EXPECT_EQ(back.Width(1), 0);
  EXPECT_EQ(back.Kept(1), 0);
  back.SetDisplayHidden(false);
  EXPECT_EQ(back.Width(1), 0);
  EXPECT_EQ(EncodeGridFormat(back.FormatOf()), "18\r\n22\r\n8\r\n0\r\n60\r\n70\r\n85\r\n40\r\n17\r\n");
}

TEST(GridTableTest, MalformedShortAndLongFilesKeepTheRestAtDefaults) {
  struct TCase {
    const char* Bytes;
    int Lines;
    std::vector<int> Widths;
    int RowHeight, HeaderHeight;
  };
  const TCase cases[] = {
      {"", 0, {8, 100, 60, 70, 85, 40, 17, 0, 0}, 18, 22},
      {"30", 1, {8, 100, 60, 70, 85, 40, 17, 0, 0}, 30, 22},
      {"30\r\n44\r\n8\r\n120\r\nwide\r\n5\r\n", 4, {8, 120, 60, 70, 85, 40, 17, 0, 0}, 30, 44},
      {"30\n44\n8\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", 13, {8, 1, 2, 3, 4, 5, 6, 0, 0}, 30, 44},
      {"x\n44\n", 0, {8, 100, 60, 70, 85, 40, 17, 0, 0}, 18, 22},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Bytes);
    TGridTable t = MakeTable();
    const TGridFormatRead read = DecodeGridFormat(c.Bytes);
    EXPECT_EQ(read.Lines, c.Lines);
    t.ApplyFormat(read);
    EXPECT_EQ(Widths(t), c.Widths);
    EXPECT_EQ(t.DefaultRowHeight, c.RowHeight);
    EXPECT_EQ(t.HeaderHeight, c.HeaderHeight);
    EXPECT_FALSE(t.DisplayHidden);
  }
}

TEST(GridTableTest, SizeStepsNeverNarrowBelowTenAndScaleHiddenWidths) {
  EXPECT_EQ(SteppedWidth(10, 1), 10);
  EXPECT_EQ(SteppedWidth(100, 1), 90);
  EXPECT_EQ(SteppedWidth(100, -1), 110);
  // A gain of 25 is cut back by a fifth of it.
  EXPECT_EQ(SteppedWidth(250, -1), 270);
  EXPECT_EQ(SteppedWidth(-85, 1), -77);
  EXPECT_EQ(SteppedWidth(-85, -1), -93);

  TGridTable t = MakeTable();
  t.SetDisplayHidden(true);
  t.StepSizes(1);
  EXPECT_TRUE(t.FormatChanged);
  EXPECT_EQ(Widths(t), (std::vector<int>{8, 90, 54, 63, 0, 0, 16, 0, 0}));
  t.SetDisplayHidden(false);
  EXPECT_EQ(Widths(t), (std::vector<int>{8, 90, 54, 63, 77, 36, 16, 0, 0}));
}

class GridSortTest : public ::testing::Test {
protected:
  void Add(const char* Name, const char* Amount, const char* Date, const char* Pos = "  1  0  0  0") {
    t.AppendRow({Name, Amount, Date}, Name, Pos);
  }
  TGridTable t = MakeTable();
};

TEST_F(GridSortTest, TextKeysOfFourteenCharactersWithoutCaseTiesInRowOrder) {
  Add("smith", "", "");
  Add("Adams", "", "");
  Add("ADAMS", "", "");
  Add("Deleted one", "", "", "deleted");
  Add("Zeta", "", "");
  Add("Brown & Partners A", "", "");
  Add("brown & partners B", "", "");
  t.SortByHeaderClick(1);
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"Adams", "ADAMS", "Brown & Partners A", "brown & partners B",
                                                    "smith", "Zeta", "Deleted one"}));
  // The same column again reverses, deleted rows staying last.
  t.SortByHeaderClick(1);
  EXPECT_TRUE(t.SortedDescending);
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"Zeta", "smith", "brown & partners B", "Brown & Partners A",
                                                    "ADAMS", "Adams", "Deleted one"}));
}

TEST_F(GridSortTest, NumericByValueCommasStrippedBlanksAndBadCellsLowest) {
  Add("a", "10.00", "");
  Add("b", "9.50", "");
  Add("c", "1,234.00", "");
  Add("d", "", "");
  Add("e", "-5.00", "");
  Add("f", "-10.00", "");
  Add("g", "n/a", "");
  t.SortByHeaderClick(2);
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"d", "g", "f", "e", "b", "a", "c"}));
}

TEST_F(GridSortTest, DatesByYearMonthDay) {
  Add("a", "", "12/1/2025");
  Add("b", "", "1/15/2026");
  Add("c", "", "");
  Add("d", "", "2/3/2025");
  t.SortByHeaderClick(3);
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"c", "d", "a", "b"}));
  // Another column sorts ascending again, the show sorts the same way.
  t.SortByHeaderClick(1);
  t.SortByHeaderClick(1);
  t.SortAgain();
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"d", "c", "b", "a"}));
}

TEST_F(GridSortTest, FewerThanTwoRowsStayAsTheyAre) {
  Add("b", "", "", "deleted");
  t.SortGridByColumn(1, false);
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"b"}));
}

}  // namespace
