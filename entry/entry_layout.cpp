#include "entry/entry_layout.h"

#include "platform/text.h"

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

constexpr int RowStep = 35;
constexpr int MemoGap = 8;
constexpr int GroupEndBelow = 5;    // a group ends this far below the next row's top
constexpr int LastGroupBelow = 20;  // ...or below the last row
constexpr int ButtonGap = 23;       // taken off an edit for its button
constexpr int NarrowEdit = 40;      // an edit narrower than this gets 10 back
constexpr int BevelAbove = 7, BevelLeft = -2;

bool IsPanel(const TCtlPlan& C) { return C.Kind == TCtlKind::DocPanel; }

// Final tops: a bordered row or panel after a memo leaves the memo's
// height + 8, every other row 35 below the one above.
void PlaceRowTops(TEntryBuild& B) {
  for (size_t i = 0; i < B.Rows.size() && InUse(B.Rows[i]); ++i) {
    TRowPlan& row = B.Rows[i];
    if (i > 0) {
      const TCtlPlan& up = B.Controls[size_t(B.Rows[i - 1].Control)];
      const TCtlPlan& me = B.Controls[size_t(row.Control)];
      const bool afterMemo = IsMemo(up) && (HasBorder(me) || IsPanel(me));
      row.Top = B.Rows[i - 1].Top + (afterMemo ? up.Height + MemoGap : RowStep);
    }
    for (const TRowPlan* r : {&row, &B.Side[i]}) {
      if (r->Control < 0) continue;
      TCtlPlan& c = B.Controls[size_t(r->Control)];
      c.Top = row.Top;
      if (r->Label >= 0) B.Labels[size_t(r->Label)].Top = c.Top + (HasBorder(c) ? LabelDrop : 0);
    }
  }
}

struct TGroup {
  int Start = 0, End = 0;
};

// The group each lookup edit starts, by control.
std::vector<TGroup> FindGroups(const TEntryBuild& B) {
  std::vector<TGroup> groups(B.Controls.size());
  int open = -1;
  size_t last = 0;
  for (size_t i = 0; i < B.Rows.size() && InUse(B.Rows[i]); ++i) {
    last = i;
    const int ci = B.Rows[i].Control;
    const TCtlPlan& c = B.Controls[size_t(ci)];
    const bool lookup = IsLookupEdit(c);
    if (open >= 0 && (lookup || HasBorder(c) || IsPanel(c))) {
      groups[size_t(open)].End = B.Rows[i].Top + GroupEndBelow;
      open = -1;
    }
    if (lookup) {
      open = ci;
      groups[size_t(ci)].Start = B.Rows[i].Top;
    }
  }
  if (open >= 0) {
    const TCtlPlan& c = B.Controls[size_t(B.Rows[last].Control)];
    groups[size_t(open)].End = B.Rows[last].Top + c.Height + LastGroupBelow;
  }
  return groups;
}

}  // namespace

std::vector<TBevelPlan> PlaceLookupGroups(TEntryBuild& B, int ClientWidth) {
  PlaceRowTops(B);
  const std::vector<TGroup> groups = FindGroups(B);
  std::vector<TBevelPlan> bevels;
  for (const int bi : B.DropButtons) {
    TCtlPlan& button = B.Controls[size_t(bi)];
    const auto edit = std::find_if(B.EditsArr.begin(), B.EditsArr.end(),
                                   [&](int e) { return B.Controls[size_t(e)].ButtonNo == button.Number; });
    if (edit == B.EditsArr.end()) continue;
    TCtlPlan& e = B.Controls[size_t(*edit)];
    e.Width -= ButtonGap;
    if (e.Width < NarrowEdit) e.Width += 10;
    button.Top = e.Top + 1;
    button.Left = e.Left + e.Width + 1;
    // An index field's button frames nothing.
    if (!IsLookupEdit(e)) continue;
    const TGroup& g = groups[size_t(*edit)];
    bevels.push_back({bi, BevelLeft, g.Start - BevelAbove, ClientWidth - BevelNarrower, g.End - g.Start});
  }
  for (TCtlPlan& c : B.Controls) c.LookupMark = false;
  return bevels;
}

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

std::vector<std::string> LinkListNames(const TTemplateNames& Tpls, const std::string& This) {
  constexpr size_t NameShown = 30;
  const std::string self = Trim(This);
  std::vector<std::string> names;
  for (const std::string& entry : Tpls) {
    const std::string name = Trim(entry.substr(0, NameShown));
    if (!name.empty() && name != self) names.push_back(name);
  }
  return names;
}
