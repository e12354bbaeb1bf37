// The spelling engine's share of start-up: the registry tree under which the
// spelling checker keeps its settings (dictionary, personal word list). The
// checker itself reads the tree from here when it starts.
#pragma once

#include <cstdint>
#include <string>

// Remembers Tree (a full registry path such as
// "HKEY_LOCAL_MACHINE\Software\...\Spelling") for the rest of the run; 0.
int16_t SSCE_SetRegTreeName(const std::string& Tree);
// The tree last named; "" before.
std::string SSCE_GetRegTreeName();
