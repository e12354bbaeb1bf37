// The seven yes/no user settings the settings dialog switches. Each has a
// Tag 1-7, carried by its check box, that names its value in the
// program's registry key ("Y" or "N") and its flag in Startup. The boxes
// are told apart by their Tags alone: two of them share one caption.
#pragma once

#include "templates/startup_globals.h"

#include <array>
#include <functional>

struct TUserFlag {
  int Tag;
  const char* ValueName;
  bool TStartupGlobals::*Flag;
};

inline constexpr std::array<TUserFlag, 7> UserFlags{{
    {1, "ConfirmSave", &TStartupGlobals::ConfirmSave},
    {2, "AutoClear", &TStartupGlobals::AutoClear},
    {3, "MaximizeEntry", &TStartupGlobals::MaximizeEntry},
    {4, "MaximizeGrid", &TStartupGlobals::MaximizeGrid},
    {5, "ReturnToGridAfterEdit", &TStartupGlobals::ReturnToGridAfterEdit},
    {6, "TabToAltLookups", &TStartupGlobals::TabToAltLookups},
    {7, "AutoLoadLinks", &TStartupGlobals::AutoLoadLinks},
}};

// The setting a Tag names; nullptr for any other number.
const TUserFlag* UserFlagOfTag(int Tag);

// Writes the value of each Tag 1 to 7 in turn, "Y" when Checked(Tag) says
// so, else "N", through WriteRegValue (which reports its own failures).
void WriteUserFlags(const std::function<bool(int Tag)>& Checked);
