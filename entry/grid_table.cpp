#include "entry/grid_table.h"

#include "platform/date_format.h"
#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>
#include <optional>

namespace {

// The text a sort compares for a date cell: "YYYYMMDD", blank when the
// cell holds no date.
std::string DateSortText(const std::string& Cell) {
  TDateTime value = 0;
  if (Trim(Cell).empty() || !TryStrToDate(Trim(Cell), value)) return "";
  return FormatDateTime("yyyymmdd", value);
}

// A numeric cell's value without its thousand separators; none for a
// blank or unreadable cell, which sorts lowest.
std::optional<double> NumericSortValue(const std::string& Cell) {
  std::string digits;
  for (char c : Cell) {
    if (c != ',') digits += c;
  }
  double value = 0;
  if (Trim(digits).empty() || !TryStrToFloat(digits, value)) return std::nullopt;
  return value;
}

using TRow = std::vector<std::string>;
using TRowIter = std::vector<TRow>::iterator;

// Orders [First, Last) by each row's key, computed once, ties kept in
// their present order.
template <class KeyOf, class Less>
void OrderRows(TRowIter First, TRowIter Last, KeyOf Key, Less Before) {
  using TKey = decltype(Key(*First));
  std::vector<std::pair<TKey, size_t>> keys;
  keys.reserve(size_t(Last - First));
  for (auto it = First; it != Last; ++it) keys.emplace_back(Key(*it), size_t(it - First));
  std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) { return Before(a.first, b.first); });
  std::vector<TRow> ordered;
  ordered.reserve(keys.size());
  for (const auto& k : keys) ordered.push_back(std::move(*(First + std::ptrdiff_t(k.second))));
  std::move(ordered.begin(), ordered.end(), First);
}

}  // namespace

int SteppedWidth(int Width, int D) {
  int w = Width - (Width / 10) * D;
  if (w > Width + 20) w -= (w - Width) / 5;
  return w == 9 ? 10 : w;
}

void TGridTable::SetColumns(const std::vector<TGridColumnSpec>& Rows) {
  cols_.clear();
  cols_.push_back(TColumn{"", IndicatorWidth});
  for (const TGridColumnSpec& spec : Rows)
    cols_.push_back(TColumn{spec.Header, spec.Width, spec.Display ? spec.Width : 0, spec.Kind, spec.Display});
  cols_.push_back(TColumn{});
  cols_.push_back(TColumn{});
  DisplayHidden = false;
  SortedColumn = -1;
  SortedDescending = false;
  ClearRows();
}

std::vector<std::pair<int, int>> TGridTable::DisplayRuns() const {
  std::vector<std::pair<int, int>> runs;
  for (int c = 1; c < KeyColumn(); ++c) {
    if (!IsDisplay(c)) continue;
    if (!runs.empty() && runs.back().second == c - 1) {
      runs.back().second = c;
    } else {
      runs.emplace_back(c, c);
    }
  }
  return runs;
}

void TGridTable::ClearRows() {
  rows_.clear();
  rows_.shrink_to_fit();
}

int TGridTable::AppendRow(std::vector<std::string> Cells, std::string KeyText, std::string PositionCell) {
  return PutRow(RowCount(), std::move(Cells), std::move(KeyText), std::move(PositionCell));
}

int TGridTable::PutRow(int Row, std::vector<std::string> Cells, std::string KeyText, std::string PositionCell) {
  if (Row < 0 || Row > RowCount()) return -1;
  if (Row == RowCount() && rows_.size() == rows_.capacity()) rows_.reserve(rows_.size() + RowGrowth);
  Cells.resize(size_t(KeyColumn() - 1));
  Cells.insert(Cells.begin(), std::string());
  Cells.push_back(std::move(KeyText));
  Cells.push_back(std::move(PositionCell));
  if (Row == RowCount()) {
    rows_.push_back(std::move(Cells));
  } else {
    rows_[size_t(Row)] = std::move(Cells);
  }
  return Row;
}

void TGridTable::CutRows(int Count) {
  if (Count >= 0 && Count < RowCount()) rows_.resize(size_t(Count));
}

void TGridTable::ApplyFormat(const TGridFormatRead& Read) {
  if (Read.Lines > 0) DefaultRowHeight = Read.Format.DefaultRowHeight;
  if (Read.Lines > 1) HeaderHeight = Read.Format.HeaderHeight;
  const size_t n = std::min(Read.Format.Widths.size(), size_t(std::max(0, KeyColumn())));
  for (size_t c = 0; c < n; ++c) {
    const int value = Read.Format.Widths[c];
    if (value < 1) {
      cols_[c].Width = 0;
      cols_[c].Kept = value;
      DisplayHidden = true;
    } else {
      cols_[c].Width = value;
    }
  }
}

TGridFormat TGridTable::FormatOf() const {
  TGridFormat f{DefaultRowHeight, HeaderHeight, {}};
  for (int c = 0; c < KeyColumn(); ++c) {
    const TColumn& col = cols_[size_t(c)];
    f.Widths.push_back(col.Width == 0 && col.Kept <= 0 ? col.Kept : col.Width);
  }
  return f;
}

void TGridTable::StepSizes(int D) {
  for (int c = 1; c < KeyColumn(); ++c) {
    TColumn& col = cols_[size_t(c)];
    if (col.Width > 0) {
      col.Width = SteppedWidth(col.Width, D);
    } else if (col.Kept < 0) {
      col.Kept = SteppedWidth(col.Kept, D);
    }
  }
  FormatChanged = true;
}

void TGridTable::SetDisplayHidden(bool Hide) {
  for (TColumn& col : cols_) {
    if (col.Kept == 0) continue;
    if (Hide) {
      if (col.Width > 0) col.Kept = -col.Width;
      col.Width = 0;
    } else {
      col.Kept = std::abs(col.Kept);
      col.Width = col.Kept;
    }
  }
  DisplayHidden = Hide;
}

void TGridTable::SortGridByColumn(int Col, bool Descending) {
  if (RowCount() < 2 || Col < 0 || Col >= ColCount()) return;
  const auto live = std::stable_partition(rows_.begin(), rows_.end(), [&](const TRow& r) {
    return r[size_t(PositionColumn())] != DeletedRowMark;
  });
  if (Descending) {
    std::reverse(rows_.begin(), live);
    return;
  }
  const size_t col = size_t(Col);
  const auto first = rows_.begin();
  switch (Kind(Col)) {
    case TGridColumnKind::Numeric:
      OrderRows(first, live, [col](const TRow& r) { return NumericSortValue(r[col]); },
                [](const auto& a, const auto& b) { return a < b; });
      break;
    case TGridColumnKind::Date:
      OrderRows(first, live, [col](const TRow& r) { return DateSortText(r[col]); },
                [](const auto& a, const auto& b) { return a < b; });
      break;
    default:
      OrderRows(first, live, [col](const TRow& r) { return Format("%-14.14s", r[col]); },
                [](const auto& a, const auto& b) { return AnsiCompareText(a, b) < 0; });
  }
}

void TGridTable::SortByHeaderClick(int Col) {
  SortedDescending = Col == SortedColumn ? !SortedDescending : false;
  SortedColumn = Col;
  SortGridByColumn(Col, SortedDescending);
}

void TGridTable::SortAgain() {
  if (SortedColumn < 0) return;
  SortGridByColumn(SortedColumn, false);
  if (SortedDescending) SortGridByColumn(SortedColumn, true);
}
