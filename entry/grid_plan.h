// The grid view's columns 1..n from the entry screen's build: header and
// width from its column plan, the kind from the row's field
// (GridColumnKindOf), display columns from display edits.
#pragma once

#include "entry/entry_build.h"
#include "entry/grid_table.h"
#include "templates/template_state.h"

#include <vector>

std::vector<TGridColumnSpec> GridColumnSpecsOf(const TEntryBuild& Build);

// A field's column kind: a right-justified number numeric (sorted by
// value), a date a date, a check box a check box, any other text.
TGridColumnKind GridColumnKindOf(const TFld& F);

// The field slot shown in each column 0..ColCount-1; -1 for columns that
// show no field of their own (indicator, display columns, hidden ones).
std::vector<int> GridColumnSlotsOf(const TEntryBuild& Build);
