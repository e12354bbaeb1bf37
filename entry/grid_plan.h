// The grid view's columns 1..n from the entry screen's build: header and
// width from its column plan, the kind from the row's field type (N
// numeric, D date, B check box), display columns from display edits.
#pragma once

#include "entry/entry_build.h"
#include "entry/grid_table.h"

#include <vector>

std::vector<TGridColumnSpec> GridColumnSpecsOf(const TEntryBuild& Build);

// The field slot shown in each column 0..ColCount-1; -1 for columns that
// show no field of their own (indicator, display columns, hidden ones).
std::vector<int> GridColumnSlotsOf(const TEntryBuild& Build);
