#include "entry/entry_layout.h"

#include <algorithm>

namespace {

constexpr int LabelGap = 2;     // a label ends this far before its control
constexpr int ColumnGap = 4;    // the controls' column after the widest label
constexpr int LabelDrop = 3;    // a label's top below its control's
constexpr int ShiftFrom = 6;    // the least free room that moves the column
constexpr int NoLabelLeft = 1000;

bool IsMemo(const TCtlPlan& C) { return C.Kind == TCtlKind::Memo; }
bool IsLookupEdit(const TCtlPlan& C) { return C.Kind == TCtlKind::Edit && C.LookupMark; }
// A document panel is made without a border, whatever its template shows.
bool HasBorder(const TCtlPlan& C) { return C.Kind != TCtlKind::DocPanel && C.Border; }

bool InUse(const TRowPlan& R) { return R.Top != -1; }

int Needed(const TEntryBuild& B, const TRowPlan& R) {
  int needed = B.Controls[size_t(R.Control)].Width + 2;
  if (R.Label >= 0) needed += B.Labels[size_t(R.Label)].Width + ColumnGap;
  return needed;
}

// Row and side entry take Top; their labels sit 3 pixels lower.
void PlaceAt(TEntryBuild& B, const TRowPlan& R, int Top) {
  if (R.Control >= 0) B.Controls[size_t(R.Control)].Top = Top;
  if (R.Label >= 0) B.Labels[size_t(R.Label)].Top = Top + LabelDrop;
}

bool CanJoin(const TEntryBuild& B, const TRowPlan& Above, const TRowPlan& AboveSide, const TRowPlan& Row,
             int ClientWidth) {
  if (Above.Control < 0 || AboveSide.Control >= 0 || Row.Control < 0) return false;
  const TCtlPlan& up = B.Controls[size_t(Above.Control)];
  const TCtlPlan& me = B.Controls[size_t(Row.Control)];
  if (IsMemo(up) || IsMemo(me) || IsLookupEdit(me)) return false;
  if (IsLookupEdit(up) && HasBorder(me)) return false;
  if (HasBorder(me) && !HasBorder(up)) return false;
  const int labelLeft = Above.Label >= 0 ? B.Labels[size_t(Above.Label)].Left : 0;
  return Needed(B, Row) + Needed(B, Above) + labelLeft < ClientWidth - PackFitMargin;
}

// Moved rows leave empty places; later rows close up, each taking the top
// of its new place, their side entries with them.
void Compact(TEntryBuild& B) {
  std::vector<int> tops;
  for (const TRowPlan& r : B.Rows) tops.push_back(r.Top);
  std::vector<TRowPlan> rows, side;
  for (size_t i = 0; i < B.Rows.size(); ++i) {
    const bool empty = B.Rows[i].Control < 0 && B.Rows[i].Label < 0 && B.Side[i].Control < 0;
    if (empty && InUse(B.Rows[i])) continue;
    rows.push_back(B.Rows[i]);
    side.push_back(B.Side[i]);
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    if (!InUse(rows[k])) continue;
    rows[k].Top = tops[k];
    PlaceAt(B, rows[k], tops[k]);
    PlaceAt(B, side[k], tops[k]);
  }
  B.Rows = std::move(rows);
  B.Side = std::move(side);
}

}  // namespace

void AlignLabelColumn(TEntryBuild& B) {
  for (TLabelPlan& l : B.Labels) l.Left = B.MaxLabelWidth - l.Width + LabelGap;
  for (TCtlPlan& c : B.Controls)
    if (c.Kind != TCtlKind::DropButton) c.Left = B.MaxLabelWidth + ColumnGap;
}

void PackRows(TEntryBuild& B, int ClientWidth) {
  B.Side.assign(B.Rows.size(), TRowPlan());
  B.MinSlack = NoSlack;
  for (size_t i = 0; i < B.Rows.size() && InUse(B.Rows[i]); ++i) {
    TRowPlan& row = B.Rows[i];
    if (row.Control < 0) continue;
    row.Needed = Needed(B, row);
    if (i == 0 || !CanJoin(B, B.Rows[i - 1], B.Side[i - 1], row, ClientWidth)) continue;
    const TRowPlan& above = B.Rows[i - 1];
    const int labelLeft = above.Label >= 0 ? B.Labels[size_t(above.Label)].Left : 0;
    B.MinSlack = std::min(B.MinSlack, ClientWidth - (row.Needed + above.Needed + labelLeft));
    TCtlPlan& c = B.Controls[size_t(row.Control)];
    c.Top = B.Controls[size_t(above.Control)].Top;
    c.Left = ClientWidth - c.Width - SideAnchor;
    if (row.Label >= 0) {
      TLabelPlan& l = B.Labels[size_t(row.Label)];
      l.Top = c.Top + LabelDrop;
      l.Left = c.Left - l.Width - LabelGap;
    }
    B.Side[i - 1] = {row.Control, row.Label, row.Needed, -1};
    row.Control = row.Label = -1;
  }
  Compact(B);
}

int ShiftControlsLeft(TEntryBuild& B) {
  int least = NoLabelLeft;
  const auto captioned = [&](const TRowPlan& r) {
    return r.Label >= 0 && B.Labels[size_t(r.Label)].Caption.find_first_not_of(' ') != std::string::npos;
  };
  for (const TRowPlan& r : B.Rows)
    if (InUse(r) && captioned(r)) least = std::min(least, B.Labels[size_t(r.Label)].Left);
  if (least < ShiftFrom || least == NoLabelLeft) return 0;
  const int by = least - ColumnGap;
  for (const TRowPlan& r : B.Rows) {
    if (!InUse(r)) continue;
    if (captioned(r)) B.Labels[size_t(r.Label)].Left -= by;
    if (r.Control >= 0) B.Controls[size_t(r.Control)].Left -= by;
  }
  return by;
}

int EntryMinimumWidth(bool MaximizeEntry, int MinSlack, int FormWidth) {
  return MaximizeEntry && MinSlack != NoSlack ? FormWidth - MinSlack + 30 : 0;
}
