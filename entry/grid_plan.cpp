#include "entry/grid_plan.h"

#include "templates/template_state.h"

namespace {

// The control of row R (0-based), or null. Found by the control's own row:
// the screen's layout packs narrow rows side by side afterwards.
const TCtlPlan* RowControl(const TEntryBuild& B, size_t R) {
  for (const TCtlPlan& c : B.Controls) {
    if (c.Row == int(R) + 1 && c.Kind != TCtlKind::DropButton) return &c;
  }
  return nullptr;
}

int SlotOf(const TCtlPlan* C) { return C && C->Kind != TCtlKind::DisplayEdit && C->Tag > 0 ? C->Tag : -1; }

}  // namespace

TGridColumnKind GridColumnKindOf(const TFld& F) {
  switch (F.FldType) {
    case 'N':
      return F.RightJustify ? TGridColumnKind::Numeric : TGridColumnKind::Text;
    case 'D':
      return TGridColumnKind::Date;
    case 'B':
      return TGridColumnKind::Check;
    default:
      return TGridColumnKind::Text;
  }
}

std::vector<TGridColumnSpec> GridColumnSpecsOf(const TEntryBuild& B) {
  const TGridColumnPlan& g = B.GridColumnPlan;
  std::vector<TGridColumnSpec> specs;
  for (size_t c = 1; c + 2 < g.Columns.size(); ++c) {
    TGridColumnSpec s{g.Columns[c].Header, g.Columns[c].Width, TGridColumnKind::Text, false};
    const TCtlPlan* ctl = RowControl(B, c - 1);
    if (ctl && ctl->Kind == TCtlKind::DisplayEdit) s.Display = true;
    const int slot = SlotOf(ctl);
    if (slot > 0 && slot <= FieldSlots) s.Kind = GridColumnKindOf(Store.FldTable[slot]);
    specs.push_back(std::move(s));
  }
  return specs;
}

std::vector<int> GridColumnSlotsOf(const TEntryBuild& B) {
  std::vector<int> slots(B.GridColumnPlan.Columns.size(), -1);
  for (size_t c = 1; c + 2 < slots.size(); ++c) slots[c] = SlotOf(RowControl(B, c - 1));
  return slots;
}
