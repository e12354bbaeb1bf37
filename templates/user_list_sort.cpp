#include "templates/user_list_sort.h"

#include "platform/dialogs.h"
#include "platform/text.h"
#include "templates/user_list_codec.h"

#include <algorithm>
#include <string_view>

namespace {

bool Empty(const std::string& Text) { return TrimRight(Text).empty(); }

}  // namespace

int LastUsedRow(const std::vector<TListRow>& Rows) {
  for (int i = int(Rows.size()) - 1; i >= 0; --i)
    if (!Empty(Rows[size_t(i)].Col1) || !Empty(Rows[size_t(i)].Col2)) return i;
  return -1;
}

TListSort SortUserListRows(const std::vector<TListRow>& Rows, bool SingleColumn, bool Saving, int Width) {
  TListSort out;
  out.Width = Width;
  const std::string word = Saving ? "save" : "sort";
  const int last = LastUsedRow(Rows);
  if (last < 0) {
    MessageDlg("Nothing to sort!", mtInformation, mbOKOnly);
    return out;
  }

  // Blank rows up to the last used one.
  bool asked = false;
  for (int i = 0; i <= last; ++i) {
    const TListRow& row = Rows[size_t(i)];
    const bool blank1 = Empty(row.Col1);
    const bool blank2 = Empty(row.Col2);
    if (!SingleColumn && blank1 != blank2) {
      MessageDlg("There is a blank entry in your list.  This is not allowed.", mtError, mbOKOnly);
      out.Result = TListSortResult::BlankEntry;
      out.Row = i;
      return out;
    }
    if (blank1 && (SingleColumn || blank2) && !asked) {
      asked = true;
      if (MessageDlg("Blank rows will be eliminated.  Continue with " + word + "?", mtConfirmation, mbYesNo) != mrYes) {
        out.Result = TListSortResult::Stopped;
        return out;
      }
    }
  }

  // The items, column 1 within the width limit.
  out.Items.reserve(size_t(last + 1));
  int limit = Saving ? Width : MaxListItemWidth;
  bool offered = false;
  bool widen = false;
  for (int i = 0; i <= last; ++i) {
    const TListRow& row = Rows[size_t(i)];
    if (Empty(row.Col1)) continue;
    std::string col1 = TrimRight(row.Col1);
    if (int(col1.size()) > limit) {
      if (!offered) {
        offered = true;
        widen = MessageDlg("One or more of your list entries exceeds the width you haved specified for this field."
                           "\r\rAdjust the field width to accommodate all list entries?  (recommended)\r\r"
                           "(If you select NO, longer list entries will be truncated)",
                           mtConfirmation, mbYesNo) == mrYes;
      }
      if (widen) limit = std::min(int(col1.size()), MaxListItemWidth);
      col1.resize(size_t(std::min(int(col1.size()), limit)));
    }
    if (SingleColumn) {
      out.Items.push_back(col1);
      continue;
    }
    const std::string col2 = TrimRight(row.Col2);
    out.ListCol2Width = std::max(out.ListCol2Width, int(col2.size()));
    out.Items.push_back(JoinListItem(col1, col2, true));
  }
  if (Saving && widen) out.Width = std::max(Width, limit);

  std::stable_sort(out.Items.begin(), out.Items.end(),
                   [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  out.Rows.reserve(out.Items.size());
  for (const std::string& item : out.Items) {
    if (SingleColumn) {
      out.Rows.push_back({item, ""});
      continue;
    }
    const TListItemColumns columns = SplitListItem(item);
    out.Rows.push_back({columns.Col1, columns.Col2});
  }

  // Any two equal first columns, case included, wherever the sort put them:
  // the first of the rows whose column 1 another row repeats.
  std::vector<std::string_view> firsts(out.Rows.size());
  for (size_t i = 0; i < out.Rows.size(); ++i) firsts[i] = out.Rows[i].Col1;
  std::sort(firsts.begin(), firsts.end());
  for (const TListRow& row : out.Rows) {
    const auto [from, to] = std::equal_range(firsts.begin(), firsts.end(), std::string_view(row.Col1));
    if (to - from < 2) continue;
    MessageDlg("The value " + row.Col1 + " is duplicated in the list." + "\r" + "This is not allowed.", mtError,
               mbOKOnly);
    out.Result = TListSortResult::Duplicate;
    out.Items.clear();
    return out;
  }
  out.Result = TListSortResult::Sorted;
  return out;
}
