// Sorting the rows of a user list as the lookup form's grid holds them,
// alone or ahead of a save: blank rows, the field width, the order and the
// duplicate check. The questions and refusals are shown here through the
// dialog seam; the form puts the rows back into its grid and moves the focus.
#pragma once

#include <string>
#include <vector>

struct TListRow {
  std::string Col1;
  std::string Col2;

  bool operator==(const TListRow&) const = default;
};

// The widest item a list holds.
constexpr int MaxListItemWidth = 500;

enum class TListSortResult {
  Sorted,         // Items and Rows hold the list in order
  NothingToSort,  // no row holds text
  Stopped,        // the user declined to drop blank rows
  BlankEntry,     // a double-column row with one column empty; Row names it
  Duplicate,      // two items share column 1; Rows hold the sorted list
};

struct TListSort {
  TListSortResult Result = TListSortResult::NothingToSort;
  std::vector<std::string> Items;  // the list's items in order (Sorted)
  std::vector<TListRow> Rows;      // the grid's rows from row 1 on, when it changed
  int Row = -1;                    // 0-based row of a blank entry
  int ListCol2Width = 0;           // the longest column 2
  int Width = 0;                   // the field width handed back
};

// The last row (0-based) with text in either column, -1 for none.
int LastUsedRow(const std::vector<TListRow>& Rows);

// Saving selects the word in the messages ("save", else "sort") and the
// width limit: the field's Width when saving, MaxListItemWidth when sorting
// only (Width then comes back as it went in). Column 1 longer than the limit
// asks once whether to widen the field to it; Yes widens it, and later
// longer items widen it further without asking, up to MaxListItemWidth; No
// cuts them to the limit. Items are sorted by their whole text with
// AnsiCompareText and refused when any two share column 1 exactly.
TListSort SortUserListRows(const std::vector<TListRow>& Rows, bool SingleColumn, bool Saving, int Width);
