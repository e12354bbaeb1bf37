#include "templates/store_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// Widths at both edges of each range of the count rule, against the sums
// worked exactly (as fractions) and rounded once.
TEST(CalcFieldWidthTest, CountRuleThenSum) {
  struct Row {
    int len;
    double width;
  };
  const std::vector<Row> rows = {
      {-1, 0.0},
      {0, 0.0},
      {1, 550.0 / 55 + 550.0 / 57 + 550.0 / 59},  // 3 terms
      {10, 101.11613298104938},                   // 12 terms
      {11, 101.11613298104938},                   // 12 terms
      {20, 158.21439859783456},                   // 21 terms
      {21, 158.21439859783456},                   // 21 terms
      {500, 817.1093398469593},                   // 500 terms
      {501, 0.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.len);
    EXPECT_NEAR(CalcFieldWidth(row.len), row.width, 1e-9);
  }
  // Callers truncate: the sum is not rounded on the way.
  EXPECT_NEAR(CalcFieldWidth(1), 28.9711567053, 1e-9);
  EXPECT_EQ(int(CalcFieldWidth(10)), 101);
}

TEST(IsBlankTest, BlankIsNothingButBytesUpToSpace) {
  struct Row {
    std::string text;
    bool blank;
  };
  const std::vector<Row> rows = {
      {"", true},
      {"   ", true},
      {"\0\0\0"s, true},
      {" \t\r\n\x1f "s, true},
      {"\xa0"s, false},  // a non-breaking space is a character here
      {" x ", false},
      {"\0x\0"s, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.text));
    EXPECT_EQ(IsBlank(row.text), row.blank);
  }
}

TEST(TakePositionTest, HandsOutConsecutivePositions) {
  int pos = 5;
  int first = 0;
  int second = 0;
  int third = 0;
  TakePosition(first, pos, 10);
  TakePosition(second, pos, 0);
  TakePosition(third, pos, 26);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(second, 15);
  EXPECT_EQ(third, 15);
  EXPECT_EQ(pos, 41);
}

}  // namespace
