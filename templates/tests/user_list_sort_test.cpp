#include "templates/user_list_sort.h"

#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string BlankRowsSort = "Blank rows will be eliminated.  Continue with sort?";
const std::string BlankRowsSave = "Blank rows will be eliminated.  Continue with save?";
const std::string BlankEntry = "There is a blank entry in your list.  This is not allowed.";
const std::string Wider =
    "One or more of your list entries exceeds the width you haved specified for this field.\r\r"
    "Adjust the field width to accommodate all list entries?  (recommended)\r\r"
    "(If you select NO, longer list entries will be truncated)";
std::string Duplicated(const std::string& value) {
  return "The value " + value + " is duplicated in the list.\rThis is not allowed.";
}

struct SortCase {
  const char* what;
  std::vector<TListRow> rows;
  bool single;
  bool saving;
  int width;
  std::vector<std::pair<std::string, int>> boxes;  // expected text, answer
  TListSortResult result;
  std::vector<std::string> items;
  int widthAfter;
  int col2Width = 0;
  int row = -1;
};

TEST(UserListSort, RowsSortAndSaveAsTheTableSays) {
  const std::string sep = "\x01";
  const SortCase cases[] = {
      {"nothing", {{"", ""}, {"  ", " "}}, true, false, 10, {{"Nothing to sort!", mrOk}},
       TListSortResult::NothingToSort, {}, 10},
      {"single column, whole text, no case, trailing blanks cut",
       {{"pear  ", ""}, {"Apple", ""}, {"banana", "ignored"}, {"\xE9" "clair", ""}},
       true, false, 10, {}, TListSortResult::Sorted, {"Apple", "banana", "pear", "\xE9" "clair"}, 10},
      {"blank rows dropped after yes", {{"b", ""}, {"", ""}, {"a", ""}, {"", ""}}, true, false, 10,
       {{BlankRowsSort, mrYes}}, TListSortResult::Sorted, {"a", "b"}, 10},
      {"blank rows kept after no", {{"b", ""}, {" ", ""}, {"a", ""}}, true, true, 10, {{BlankRowsSave, mrNo}},
       TListSortResult::Stopped, {}, 10},
      {"a blank column 1 in single mode is a blank row, whatever column 2 holds", {{"b", ""}, {"", "x"}}, true,
       false, 10, {{BlankRowsSort, mrYes}}, TListSortResult::Sorted, {"b"}, 10},
      {"double: both blank asks once", {{"b", "2"}, {"", ""}, {"a", "1"}, {"", ""}, {"c", "3"}}, false, false, 10,
       {{BlankRowsSort, mrYes}}, TListSortResult::Sorted, {"a" + sep + "1", "b" + sep + "2", "c" + sep + "3"}, 10, 1},
      {"double: one side blank stops at its row", {{"b", "2"}, {"a", " "}, {"", "3"}}, false, false, 10,
       {{BlankEntry, mrOk}}, TListSortResult::BlankEntry, {}, 10, 0, 1},
      {"double: blank column 1 with text in column 2", {{"b", "2"}, {"", "3"}}, false, true, 10, {{BlankEntry, mrOk}},
       TListSortResult::BlankEntry, {}, 10, 0, 1},
      {"double: the whole item decides the order and column 2 its width",
       {{"Smith", "Zoe"}, {"smith", "adam"}, {"Jones", "Al"}}, false, false, 10, {}, TListSortResult::Sorted,
       {"Jones" + sep + "Al", "smith" + sep + "adam", "Smith" + sep + "Zoe"}, 10, 4},
      {"saving widens after yes, later longer items silently",
       {{"abcdefgh", ""}, {"abc", ""}, {"abcdefghijkl", ""}}, true, true, 6, {{Wider, mrYes}},
       TListSortResult::Sorted, {"abc", "abcdefgh", "abcdefghijkl"}, 12},
      {"saving cuts after no, asking once", {{"abcdefgh", ""}, {"xyzxyzxyz", ""}}, true, true, 6, {{Wider, mrNo}},
       TListSortResult::Sorted, {"abcdef", "xyzxyz"}, 6},
      {"sorting only keeps the field width and allows 500",
       {{std::string(300, 'k'), ""}, {"a", ""}}, true, false, 6, {}, TListSortResult::Sorted,
       {"a", std::string(300, 'k')}, 6},
      {"sorting only cuts at 500 after asking", {{std::string(501, 'k'), ""}}, true, false, 6, {{Wider, mrYes}},
       TListSortResult::Sorted, {std::string(500, 'k')}, 6},
      {"saving widens at most to 500", {{std::string(600, 'w'), ""}}, true, true, 6, {{Wider, mrYes}},
       TListSortResult::Sorted, {std::string(500, 'w')}, 500},
      {"equal neighbours", {{"b", ""}, {"a", ""}, {"b", ""}}, true, false, 10, {{Duplicated("b"), mrOk}},
       TListSortResult::Duplicate, {}, 10},
      {"equal column 1 apart, split by another casing",
       {{"Ann", "1"}, {"ann", "2"}, {"Ann", "3"}}, false, false, 10, {{Duplicated("Ann"), mrOk}},
       TListSortResult::Duplicate, {}, 10, 1},
      {"case alone makes no duplicate", {{"Ann", ""}, {"ANN", ""}}, true, false, 10, {}, TListSortResult::Sorted,
       {"Ann", "ANN"}, 10},
      {"equal after the cut", {{"abcdefX", ""}, {"abcdefY", ""}}, true, true, 6,
       {{Wider, mrNo}, {Duplicated("abcdef"), mrOk}}, TListSortResult::Duplicate, {}, 6},
  };
  for (const SortCase& c : cases) {
    SCOPED_TRACE(c.what);
    DialogResponder responder;
    for (const auto& [text, answer] : c.boxes) responder.Expect(text, answer);
    const TListSort sort = SortUserListRows(c.rows, c.single, c.saving, c.width);
    EXPECT_EQ(sort.Result, c.result);
    EXPECT_EQ(sort.Items, c.items);
    EXPECT_EQ(sort.Width, c.widthAfter);
    EXPECT_EQ(sort.Row, c.row);
    if (c.result == TListSortResult::Sorted) {
      EXPECT_EQ(sort.ListCol2Width, c.col2Width);
    }
    EXPECT_EQ(responder.Texts().size(), c.boxes.size());
  }
}

TEST(UserListSort, ARefusedDuplicateLeavesTheRowsSorted) {
  DialogResponder responder;
  responder.Expect(Duplicated("b"), mrOk);
  const TListSort sort = SortUserListRows({{"c", "3"}, {"b", "2"}, {"a", "1"}, {"b", "9"}}, false, true, 10);
  ASSERT_EQ(sort.Result, TListSortResult::Duplicate);
  EXPECT_EQ(sort.Rows, (std::vector<TListRow>{{"a", "1"}, {"b", "2"}, {"b", "9"}, {"c", "3"}}));
}

TEST(UserListSort, EveryItemOfALongListStays) {
  std::vector<TListRow> rows;
  for (int i = 250; i > 0; --i) rows.push_back({"Item " + std::to_string(1000 + i), ""});
  const TListSort sort = SortUserListRows(rows, true, true, 20);
  ASSERT_EQ(sort.Result, TListSortResult::Sorted);
  ASSERT_EQ(sort.Items.size(), 250u);
  EXPECT_EQ(sort.Items.front(), "Item 1001");
  EXPECT_EQ(sort.Items.back(), "Item 1250");
  EXPECT_EQ(sort.Rows.size(), 250u);
  EXPECT_EQ(sort.Rows[99], (TListRow{"Item 1100", ""}));
}

TEST(UserListSort, LastUsedRowCountsEitherColumn) {
  EXPECT_EQ(LastUsedRow({}), -1);
  EXPECT_EQ(LastUsedRow({{"a", ""}, {"", "b"}, {" ", " "}}), 1);
  EXPECT_EQ(LastUsedRow({{"  ", ""}}), -1);
}

}  // namespace
