// The identity of the run that start-up fixes before any screen is used, and
// the user settings it reads: one instance, Startup, for the whole run,
// beside Store, which keeps DataRoot, DataDir, Modifying and HasData.
//
// Paths are Windows-style text as the program builds names ("\" between
// folders); only the screens turn them into what a person reads.
#pragma once

#include "platform/clock.h"

#include <optional>
#include <string>

struct TStartupGlobals {
  std::string ExeDir;       // folder of the running program, without a trailing separator
  std::string WSID;         // workstation id, as the registry gives it (one or two characters, IsWorkstationId)
  std::string WorkDateStr;  // "YYMMDD", YY = year - 1980
  TDateTime WorkDate = 0;   // stamped into every saved template record
  std::string WorkDateText; // the work date in the short display form
  // The program folder's empty description batch and this workstation's
  // description batch file.
  std::string DescCloName;
  std::string DescFileName;
  bool DirectMode = false;          // parameter 2 names a listed template
  bool IsChildApp = false;          // ... and parameter 7 is "1"
  bool SingleTemplateMode = false;  // a direct start that is no child
  // Where the parent asked a child instance's window to appear (screen
  // pixels, its top-left corner); none unless a parent passed one, and an
  // X of 0 counts as none.
  struct TStartPosition {
    int X = 0, Y = 0;
  };
  std::optional<TStartPosition> StartPosition;

  // User settings.
  bool MaximizeEntry = false;
  bool MaximizeGrid = false;
  bool ConfirmSave = false;
  bool TabToAltLookups = false;
  bool AutoClear = false;
  bool ReturnToGridAfterEdit = false;
  bool AutoLoadLinks = false;
  std::string MDEntryMode;  // a part of "CNSA"
  int EntryModeIdx = 1;     // its position in "CNSA"
  std::string MDEmpByName;  // a part of "CN"
  int EmpByNameIdx = 1;     // its position in "CN"

  // Everything back to its start value.
  void Reset() { *this = TStartupGlobals(); }
};

extern TStartupGlobals Startup;
