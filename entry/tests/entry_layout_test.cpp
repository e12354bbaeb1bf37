// The layout over a hand-made plan: which rows pack side by side, where the
// side control and its label go, how the rows close up, when the left
// column shifts and the minimum width that follows.
#include "entry/entry_layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int FirstTop = 5, RowStep = 35;

struct TRowSpec {
  TCtlKind Kind = TCtlKind::Edit;
  int Width = 60;
  int LabelWidth = 40;  // -1: no label (a check box)
  bool Lookup = false;
  bool Button = false;
};

TRowSpec Edit(int Width = 60) { return {TCtlKind::Edit, Width, 40, false}; }
TRowSpec Lookup() { return {TCtlKind::Edit, 60, 40, true, true}; }
// A name pseudo-field: a lookup edit without a button of its own.
TRowSpec Pseudo() { return {TCtlKind::Edit, 60, 40, true, false}; }
// An index field's edit: a button, no lookup.
TRowSpec IndexEdit() { return {TCtlKind::Edit, 60, 40, false, true}; }
TRowSpec Display() { return {TCtlKind::DisplayEdit, 60, 40, false}; }
TRowSpec Memo() { return {TCtlKind::Memo, 320, 40, false}; }
TRowSpec Check() { return {TCtlKind::CheckBox, 70, -1, false}; }
TRowSpec DocPanel() { return {TCtlKind::DocPanel, 200, 40, false}; }

TEntryBuild Plan(const std::vector<TRowSpec>& Specs) {
  TEntryBuild b;
  int top = FirstTop;
  for (const TRowSpec& s : Specs) {
    TCtlPlan c;
    c.Kind = s.Kind;
    c.Width = s.Width;
    c.Top = top;
    c.Border = s.Kind != TCtlKind::DisplayEdit && s.Kind != TCtlKind::CheckBox;
    c.LookupMark = s.Lookup;
    c.Row = int(b.Rows.size()) + 1;
    c.Height = s.Kind == TCtlKind::Memo ? 60 : s.Kind == TCtlKind::DisplayEdit ? 16 : 22;
    b.Controls.push_back(c);
    TRowPlan r;
    r.Control = int(b.Controls.size()) - 1;
    if (s.Kind == TCtlKind::Edit) b.EditsArr.push_back(r.Control);
    if (s.Button) {
      TCtlPlan button;
      button.Kind = TCtlKind::DropButton;
      button.Number = int(b.DropButtons.size()) + 1;
      button.Width = button.Height = 22;
      b.Controls[size_t(r.Control)].ButtonNo = button.Number;
      b.Controls.push_back(button);
      b.DropButtons.push_back(int(b.Controls.size()) - 1);
    }
    r.Top = top;
    if (s.LabelWidth >= 0) {
      TLabelPlan l;
      l.Caption = "Field " + std::to_string(b.Rows.size() + 1);
      l.Width = s.LabelWidth;
      l.Top = top + 3;
      l.Control = r.Control;
      b.Labels.push_back(l);
      r.Label = int(b.Labels.size()) - 1;
      b.MaxLabelWidth = std::max(b.MaxLabelWidth, s.LabelWidth);
    }
    b.Rows.push_back(r);
    top += RowStep;
  }
  AlignLabelColumn(b);
  PackRows(b, EntryClientWidth);
  return b;
}

// Which original rows (1-based) sit beside the row above them, as
// "row:side" per place after compaction; "row" alone when it has none.
std::vector<std::string> Places(const TEntryBuild& B) {
  std::vector<std::string> out;
  for (size_t i = 0; i < B.Rows.size(); ++i) {
    std::string place = std::to_string(B.Controls[size_t(B.Rows[i].Control)].Row);
    if (B.Side[i].Control >= 0) place += ":" + std::to_string(B.Controls[size_t(B.Side[i].Control)].Row);
    out.push_back(place);
  }
  return out;
}

using Places_t = std::vector<std::string>;

TEST(EntryLayoutTest, WhichRowsPackSideBySide) {
  const int tooWide = EntryClientWidth - 150;
  struct Case {
    const char* Name;
    std::vector<TRowSpec> Rows;
    Places_t Expected;
  } cases[] = {
      {"two narrow edits share, a third starts a row", {Edit(), Edit(), Edit()}, {"1:2", "3"}},
      {"a memo never shares", {Edit(), Memo(), Edit()}, {"1", "2", "3"}},
      {"nor beside a memo", {Memo(), Edit()}, {"1", "2"}},
      {"a check box joins an edit", {Edit(), Check()}, {"1:2"}},
      {"an edit never joins a check box", {Check(), Edit()}, {"1", "2"}},
      {"a lookup edit never moves", {Edit(), Lookup()}, {"1", "2"}},
      {"a display row joins its lookup edit", {Lookup(), Display(), Display()}, {"1:2", "3"}},
      {"a bordered edit never joins a lookup edit", {Lookup(), Edit()}, {"1", "2"}},
      {"too wide together", {Edit(tooWide), Edit(60)}, {"1", "2"}},
      // A document panel counts as borderless, whatever its flag says.
      {"a document panel joins an edit", {Edit(), DocPanel()}, {"1:2"}},
      {"an edit never joins a document panel", {DocPanel(), Edit()}, {"1", "2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Places(Plan(c.Rows)), c.Expected) << c.Name;
}

TEST(EntryLayoutTest, TheFitTestIsStrictAndARowWithoutLabelCountsLeftZero) {
  // Needed: width + 2 (+ label + 4); the upper label's Left is 2 here.
  const int room = EntryClientWidth - PackFitMargin;
  const int second = 60 + 2 + 40 + 4;
  const int fits = room - second - 2 - 2 - 40 - 4 - 1;
  EXPECT_EQ(Places(Plan({Edit(fits), Edit()})), (Places_t{"1:2"}));
  EXPECT_EQ(Places(Plan({Edit(fits + 1), Edit()})), (Places_t{"1", "2"}));
  // A check box above counts no label and no label Left.
  const int boxFits = room - second - 2 - 1;
  EXPECT_EQ(Places(Plan({{TCtlKind::CheckBox, boxFits, -1, false}, Check()})), (Places_t{"1:2"}));
  EXPECT_EQ(Places(Plan({{TCtlKind::CheckBox, boxFits + 73, -1, false}, Check()})), (Places_t{"1", "2"}));
}

TEST(EntryLayoutTest, TheSideControlIsAnchoredAndTheRowsCloseUp) {
  TEntryBuild b = Plan({Edit(), Edit(), Memo(), Edit()});
  ASSERT_EQ(Places(b), (Places_t{"1:2", "3", "4"}));
  const TCtlPlan& side = b.Controls[1];
  EXPECT_EQ(side.Left, EntryClientWidth - 60 - SideAnchor);
  EXPECT_EQ(side.Top, FirstTop);
  EXPECT_EQ(b.Labels[1].Left, side.Left - 40 - 2);
  EXPECT_EQ(b.Labels[1].Top, FirstTop + 3);
  // The memo and the edit take the tops of their new places.
  EXPECT_EQ(b.Controls[2].Top, FirstTop + RowStep);
  EXPECT_EQ(b.Labels[2].Top, FirstTop + RowStep + 3);
  EXPECT_EQ(b.Controls[3].Top, FirstTop + 2 * RowStep);
  EXPECT_EQ(b.Rows[2].Top, FirstTop + 2 * RowStep);
  // Labels end 2 pixels before the column.
  EXPECT_EQ(b.Labels[0].Left + 40 + 2, b.Controls[0].Left);
  EXPECT_EQ(b.MinSlack, EntryClientWidth - (2 * (60 + 2 + 40 + 4) + 2));
}

struct TBevelRow {
  int Top, Height;
};

std::vector<TBevelRow> Bevels(TEntryBuild& B) {
  std::vector<TBevelRow> out;
  for (const TBevelPlan& v : PlaceLookupGroups(B, EntryClientWidth)) {
    EXPECT_EQ(v.Left, -2);
    EXPECT_EQ(v.Width, EntryClientWidth - 28);
    out.push_back({v.Top, v.Height});
  }
  return out;
}

bool operator==(const TBevelRow& A, const TBevelRow& B) { return A.Top == B.Top && A.Height == B.Height; }
void PrintTo(const TBevelRow& R, std::ostream* Out) { *Out << "{" << R.Top << ", " << R.Height << "}"; }

TEST(EntryLayoutTest, LookupGroupsAndTheirBevels) {
  struct Case {
    const char* Name;
    std::vector<TRowSpec> Rows;
    std::vector<TBevelRow> Expected;
  } cases[] = {
      // Rows 1:2, 3, 4 at 5, 40, 75: the bordered edit ends the group.
      {"display rows inside, an edit ends it", {Lookup(), Display(), Display(), Edit()}, {{-2, 75}}},
      {"a check box stays inside", {Lookup(), Display(), Check(), Edit()}, {{-2, 75}}},
      {"open at the end: last top + height + 20", {Lookup(), Display()}, {{-2, 42}}},
      {"a pseudo-field starts its own group", {Lookup(), Pseudo(), Display()}, {{-2, 40}}},
      {"the next lookup ends the group", {Lookup(), Display(), Display(), Lookup()}, {{-2, 75}, {68, 42}}},
      {"an index field's button frames nothing", {IndexEdit(), Edit()}, {}},
  };
  for (Case& c : cases) {
    TEntryBuild b = Plan(c.Rows);
    EXPECT_EQ(Bevels(b), c.Expected) << c.Name;
  }
}

TEST(EntryLayoutTest, RowTopsFollowMemosAndButtonsSitBesideTheirNarrowedEdits) {
  TEntryBuild b = Plan({Edit(), Memo(), Lookup(), Display(), Display()});
  ASSERT_EQ(Places(b), (Places_t{"1", "2", "3:4", "5"}));
  PlaceLookupGroups(b, EntryClientWidth);
  EXPECT_EQ(b.Rows[1].Top, 40);
  EXPECT_EQ(b.Rows[2].Top, 40 + 60 + 8);
  // A display row after the lookup edit: 35, its label level with it.
  EXPECT_EQ(b.Rows[3].Top, 40 + 60 + 8 + 35);
  const TCtlPlan& display = b.Controls[size_t(b.Rows[3].Control)];
  EXPECT_EQ(b.Labels[size_t(b.Rows[3].Label)].Top, display.Top);
  // The edit 60 - 23 is below 40: 10 back; the button 1 pixel beside it.
  const TCtlPlan& edit = b.Controls[2];
  const TCtlPlan& button = b.Controls[3];
  EXPECT_EQ(edit.Width, 47);
  EXPECT_EQ(button.Left, edit.Left + 47 + 1);
  EXPECT_EQ(button.Top, edit.Top + 1);
  EXPECT_FALSE(edit.LookupMark);
}

TEST(EntryLayoutTest, LinkListsSkipEmptyEntriesAndThisTemplate) {
  TTemplateNames tpls;
  tpls[1] = "Client e-mail";
  tpls[3] = "Client notes  ";
  tpls[4] = "A template name that runs past thirty characters";
  tpls[6] = "Client phone";
  EXPECT_EQ(LinkListNames(tpls, "Client notes"),
            (std::vector<std::string>{"Client e-mail", "A template name that runs past", "Client phone"}));
}

TEST(EntryLayoutTest, ThreeHundredNarrowRowsPackInPairs) {
  TEntryBuild b = Plan(std::vector<TRowSpec>(300, Edit()));
  ASSERT_EQ(b.Rows.size(), 150u);
  EXPECT_EQ(b.Controls[299].Top, FirstTop + 149 * RowStep);
  EXPECT_EQ(b.Side[149].Control, 299);
}

TEST(EntryLayoutTest, TheLeftColumnShiftsFromSixPixelsOfRoomAndSideControlsStay) {
  // The widest label went beside: the 34 pixel one starts at 8, the column
  // moves by 4; the side control and its label stay.
  TEntryBuild b = Plan({{TCtlKind::Edit, 60, 34, false}, Edit()});
  ASSERT_EQ(Places(b), (Places_t{"1:2"}));
  ASSERT_EQ(b.Labels[0].Left, 8);
  const int sideLeft = b.Controls[1].Left, sideLabelLeft = b.Labels[1].Left;
  EXPECT_EQ(ShiftControlsLeft(b), 4);
  EXPECT_EQ(b.Labels[0].Left, 4);
  EXPECT_EQ(b.Controls[0].Left, 40 + 4 - 4);
  EXPECT_EQ(b.Controls[1].Left, sideLeft);
  EXPECT_EQ(b.Labels[1].Left, sideLabelLeft);

  // Five pixels of room: nothing moves.
  TEntryBuild five = Plan({{TCtlKind::Edit, 60, 37, false}, Edit()});
  ASSERT_EQ(five.Labels[0].Left, 5);
  EXPECT_EQ(ShiftControlsLeft(five), 0);
  EXPECT_EQ(five.Controls[0].Left, 44);
}

TEST(EntryLayoutTest, TheMinimumWidthFollowsTheLeastSlackOnlyWhenMaximized) {
  EXPECT_EQ(EntryMinimumWidth(true, 446, EntryClientWidth), EntryClientWidth - 446 + 30);
  EXPECT_EQ(EntryMinimumWidth(false, 446, EntryClientWidth), 0);
  EXPECT_EQ(EntryMinimumWidth(true, NoSlack, EntryClientWidth), 0);
  TEntryBuild empty = Plan({});
  EXPECT_EQ(EntryMinimumWidth(true, empty.MinSlack, EntryClientWidth), 0);
}

}  // namespace
