// Whether the open template's layout is still the one its field table was
// loaded from: a record change from the grid view (delete, search and
// replace) asks it under the template's shared save lock before touching
// the data file, since a restructure saved elsewhere since the load would
// make the grid's positions and field places wrong.
//
// The question belongs to the descriptor loader; until it answers here the
// check passes. SetGridLayoutCheck installs the loader's answer (or a
// test's); an empty function restores the passing default.
#pragma once

#include <functional>
#include <string>

using TGridLayoutCheck = std::function<bool()>;
void SetGridLayoutCheck(TGridLayoutCheck Check);
bool GridLayoutStillCurrent();

inline const std::string LayoutChangedText =
    "The layout of this template has been changed on another workstation since this screen was opened.\r\r"
    "Close the screen and open it again before you change its records.";
