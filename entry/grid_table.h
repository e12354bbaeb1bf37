// What the grid view shows and decides without a widget: its cells, the
// columns' widths, kinds and kept widths, the layout read from and written
// to Grid<nnn>.FMT, the size steps, hiding the display columns, and the
// sorts.
//
// Columns: 0 the narrow indicator column, 1..n the entry screen's rows (a
// row's number is its column), then two columns of width 0: the record's
// key text and its position cell (templates/grid_position.h). A deleted
// row's position cell holds "deleted".
//
// A column's kept width: 0 none; positive, the width a display column
// shows when the display columns are shown; negative, a hidden column's
// width (it shows width 0).
#pragma once

#include "entry/grid_format.h"

#include <string>
#include <utility>
#include <vector>

enum class TGridColumnKind { Text, Numeric, Date, Check };

struct TGridColumnSpec {
  std::string Header;
  int Width = 0;
  TGridColumnKind Kind = TGridColumnKind::Text;
  bool Display = false;  // a display column of a lookup
};

inline constexpr std::string_view DeletedRowMark = "deleted";

class TGridTable {
public:
  static constexpr int IndicatorWidth = 8;
  // Rows are made room for in steps of this many.
  static constexpr int RowGrowth = 500;

  // Columns 1..n as given; column 0 and the two hidden columns are added.
  // Clears the rows and the sort state; display columns keep their width.
  void SetColumns(const std::vector<TGridColumnSpec>& Rows);

  int ColCount() const { return int(cols_.size()); }
  int KeyColumn() const { return ColCount() - 2; }
  int PositionColumn() const { return ColCount() - 1; }
  const std::string& Header(int Col) const { return cols_.at(size_t(Col)).Header; }
  TGridColumnKind Kind(int Col) const { return cols_.at(size_t(Col)).Kind; }
  // The find marks the kinds from the fields it reads.
  void SetKind(int Col, TGridColumnKind K) { cols_.at(size_t(Col)).Kind = K; }
  bool IsDisplay(int Col) const { return cols_.at(size_t(Col)).Display; }
  int Width(int Col) const { return cols_.at(size_t(Col)).Width; }
  void SetWidth(int Col, int W) { cols_.at(size_t(Col)).Width = W; }
  int Kept(int Col) const { return cols_.at(size_t(Col)).Kept; }
  // Runs of adjacent display columns as (first, last).
  std::vector<std::pair<int, int>> DisplayRuns() const;

  // Rows: the find fills them, one per record.
  void ClearRows();
  int RowCount() const { return int(rows_.size()); }
  int RowCapacity() const { return int(rows_.capacity()); }
  // Cells of columns 1..n (fewer are padded with blanks, more cut); returns
  // the row.
  int AppendRow(std::vector<std::string> Cells, std::string KeyText, std::string PositionCell);
  // Row RowCount() appends; an earlier one is overwritten (the find of a
  // new key order rewrites the rows in place); others are refused (-1).
  int PutRow(int Row, std::vector<std::string> Cells, std::string KeyText, std::string PositionCell);
  // Rows from Count on go.
  void CutRows(int Count);
  const std::string& Cell(int Row, int Col) const { return rows_.at(size_t(Row)).at(size_t(Col)); }
  void SetCell(int Row, int Col, std::string Text) { rows_.at(size_t(Row)).at(size_t(Col)) = std::move(Text); }
  const std::string& KeyText(int Row) const { return Cell(Row, KeyColumn()); }
  const std::string& PositionCell(int Row) const { return Cell(Row, PositionColumn()); }
  bool IsDeleted(int Row) const { return PositionCell(Row) == DeletedRowMark; }
  void MarkDeleted(int Row) { SetCell(Row, PositionColumn(), std::string(DeletedRowMark)); }

  // Layout.
  int DefaultRowHeight = 18;
  int HeaderHeight = 22;
  // Set by size and visibility changes the user made.
  bool FormatChanged = false;
  // "Hide display columns" as the layout leaves it.
  bool DisplayHidden = false;
  // Takes what a format file held: heights, then the widths of columns
  // 0 .. ColCount - 3 as far as read; a value below 1 hides its column
  // (and checks DisplayHidden).
  void ApplyFormat(const TGridFormatRead& Read);
  TGridFormat FormatOf() const;
  // One step of every column 1 .. ColCount - 3: D 1 narrows, -1 widens.
  void StepSizes(int D);
  // Hides (width 0, kept width negative) or shows every column with a kept
  // width.
  void SetDisplayHidden(bool Hide);

  // Sorting. Fewer than 2 rows: nothing. Descending reverses the rows in
  // place, deleted rows left last; ascending orders them by the column's
  // kind, ties in their present order, deleted rows last.
  void SortGridByColumn(int Col, bool Descending);
  // A click on a column header: another column sorts ascending, the same
  // one toggles the direction.
  void SortByHeaderClick(int Col);
  // The last sort again (and reversed when it was descending).
  void SortAgain();
  int SortedColumn = -1;
  bool SortedDescending = false;

private:
  struct TColumn {
    std::string Header;
    int Width = 0;
    int Kept = 0;
    TGridColumnKind Kind = TGridColumnKind::Text;
    bool Display = false;
  };
  std::vector<TColumn> cols_;
  std::vector<std::vector<std::string>> rows_;
};

// One size step of a width (or a hidden column's negative kept width): D
// 1 narrows by a tenth, -1 widens by a tenth, a widening beyond 20 pixels
// is cut back by a fifth of its gain, and 9 becomes 10.
int SteppedWidth(int Width, int D);
