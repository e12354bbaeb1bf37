// Start-up of the main window's unit: its initialization (data folder,
// program folder, workstation) and the work of the main window's creation
// (work date, number formats, batch files, spelling tree, user settings),
// without widgets. Each answers false when the start-up must end, after
// showing the one message that says why; the caller then terminates and
// nothing further of the start-up runs.
#pragma once

#include "mainwin/startup_context.h"

#include <string>

// Checks that the registry file can be used (else shows why, naming the
// file and, when it is damaged, the line), reads the data root (CVWIN
// "PhysicalName"), makes sure its "mddata" folder exists (creating that one
// level, never the root), sets DataDir, ExeDir and WSID. A blank root, or a
// folder that neither exists nor can be made, shows "Unable to locate or
// create a data folder..."; a workstation id that cannot name files
// (IsWorkstationId) shows what is allowed.
bool InitMtdeskU(const StartupContext& Context);

// What the main window lends to its creation.
class TMtdeskStartupHost {
public:
  virtual ~TMtdeskStartupHost() = default;
  // Where the application's activation and message hooks are installed.
  virtual void HookAppActivate() {}
  virtual void HookAppMessage() {}
  // The two status-bar panels, Windows-1252.
  virtual void SetStatusPanels(const std::string& DataLocation, const std::string& WorkStation) = 0;
};

// The registry tree of the spelling checker's settings.
inline const std::string SpellingRegTree = "HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead\\Spelling";

// The main window's creation in its order, the window's own layout aside.
// The work date is parameter 1 when it has exactly six characters, else
// today by the platform clock; a date the date routines cannot convert ends
// the start-up with their message alone.
bool MtdeskFormCreate(TMtdeskStartupHost& Host);

// Steps of MtdeskFormCreate, exposed for tests.
// WorkDateStr, WorkDate and WorkDateText from parameter 1.
bool SetWorkDate(const std::string& Param1);
