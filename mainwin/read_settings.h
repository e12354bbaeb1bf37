// The user settings of the program's registry key, read into Startup.
#pragma once

// Flags are true only for exactly "Y". "AutoClear" and
// "ReturnToGridAfterEdit" are written back as "Y" when empty, "AutoLoadLinks"
// as "N"; the value is used even when the write fails. "MDEntryMode" and
// "MDEmpByName" keep any non-empty part of "CNSA" and "CN" ("NS" is entry
// mode 2), else "C" and "N".
void ReadSettings();
