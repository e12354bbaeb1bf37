// The workstation id (the Host key's "WSID") names files in the shared data
// folder ("TRIN<WSID>.MD", "DESC<WSID>.MD") and starts this workstation's
// line of "CLCA.IDX" ("%-2s"), so only what is safe in both is taken: one or
// two characters, each an ASCII letter, a digit or a blank, not blanks
// alone. Anything else ("/", "\", "..", a control byte, a third character,
// nothing at all) could name a file outside the folder or break a line.
#pragma once

#include <string>
#include <string_view>

bool IsWorkstationId(std::string_view WSID);

// What start-up shows for an id IsWorkstationId refuses: the registry value
// it came from, the id (control bytes as "\xHH") and what is allowed.
std::string BadWorkstationIdMsg(std::string_view WSID);
