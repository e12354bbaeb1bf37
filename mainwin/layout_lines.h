// The printed layout of the template in use (Store's tables): a heading,
// every named field with its type, size, flags, numeric range,
// justification, start position, default and lookup columns, then the
// indexes, as pages of fixed-pitch lines at most 118 characters wide. Plain
// C++: what the layout says is decided here, and the painter
// (layout_print.h) only draws it.
//
// Lines are placed as a printer places them: Y from the top of the page, a
// line step apart, blank lines only advancing Y. Before every line of the
// field section a line that would start below PageHeight - 5 steps goes to
// a new page under the page heading and the field column heads, so a long
// lookup continues there. The index section starts a page of its own when
// fewer whole lines remain than the indexes + 4.
#pragma once

#include "templates/template_state.h"

#include <map>
#include <string>
#include <vector>

inline constexpr int LayoutColumns = 118;

struct TLayoutLine {
  int Y = 0;
  std::string Text;  // Windows-1252
  bool Bold = false;

  bool operator==(const TLayoutLine&) const = default;
};
using TLayoutPage = std::vector<TLayoutLine>;

// The fields of each template an M lookup shows, by the lookup's target as
// stored, trimmed ("MNGR007.DSC").
using TLayoutTargets = std::map<std::string, std::vector<TMFld>>;

// The targets of the template's M lookups, trimmed, each once, in field
// order: what the layout needs read before it is made.
std::vector<std::string> LayoutLookupTargets();

// The pages of the layout on pages PageHeight high at LineStep per line
// (both > 0). Targets holds every target LayoutLookupTargets names; one
// missing there prints its lookup with blank names.
std::vector<TLayoutPage> LayoutPages(int PageHeight, int LineStep, const TLayoutTargets& Targets);

// The line of index I (1..5): its name and whether it is unique in 37
// columns, then the names of its three sort fields in 27 each.
std::string PrintIndexLine(int I);
