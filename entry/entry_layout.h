// The entry screen's layout over the plan, without a widget: the label
// column, narrow rows packed side by side, the left shift and the minimum
// width. Positions are pixels at the running resolution, unscaled.
#pragma once

#include "entry/entry_build.h"
#include "templates/template_state.h"

#include <string>
#include <vector>

// The form's client size at its first showing, ours: wider than the button
// bar needs and wide enough that each name of the built-in e-mail templates
// has its address beside it. The rows are packed to the width the form has.
constexpr int EntryClientWidth = 760;
constexpr int EntryClientHeight = 560;
// What the packing keeps free right of a pair, and where a side control ends.
constexpr int PackFitMargin = 45;
constexpr int SideAnchor = 35;
constexpr int NoSlack = 10000;
// A lookup group's bevel is this much narrower than the client width.
constexpr int BevelNarrower = 28;

// Labels end 2 pixels before the column where every control starts.
void AlignLabelColumn(TEntryBuild& B);
// A narrow row moves beside the row above when both fit into ClientWidth,
// then the rows close up. Fills B.Side and B.MinSlack.
void PackRows(TEntryBuild& B, int ClientWidth);
// Moves the left column (labels with a caption and row controls, never side
// controls) left when its labels leave 6 pixels or more; the distance moved.
int ShiftControlsLeft(TEntryBuild& B);
// The form's minimum width: 0 unless MaximizeEntry is set and a pair packed.
int EntryMinimumWidth(bool MaximizeEntry, int MinSlack, int FormWidth);

// A raised bevel behind a lookup group, one per dropdown button of a lookup
// edit.
struct TBevelPlan {
  int Button = -1;  // the dropdown button's control
  int Left = 0, Top = 0, Width = 0, Height = 0;
};
// Gives every row its final top, narrows each dropdown button's edit and
// puts the button beside it, and frames each lookup edit's group (its
// display rows and check boxes) in a bevel ClientWidth wide.
std::vector<TBevelPlan> PlaceLookupGroups(TEntryBuild& B, int ClientWidth);

// What a link button's list offers: the templates of Tpls other than This,
// each its first 30 characters trimmed; empty entries (a descriptor missing
// from the master) are skipped, never taken as the end.
std::vector<std::string> LinkListNames(const TTemplateNames& Tpls, const std::string& This);
