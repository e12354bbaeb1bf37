// Putting the two built-in e-mail templates into a data folder: at
// installation (a new folder, numbers 0 and 1) or later from the main
// window's menu under the first two free numbers side by side. Nothing is
// left half made: when a step fails after the master records went in, the
// records and every file the call made are removed again (at installation
// the new master file too), so the setup can simply be run again. Files
// are created only where none exists; a master file another workstation
// made meanwhile is reported as such, never replaced.
//
// The functions show their own messages. Where the program must end (a
// failure at installation, an unopenable master file) the caller ends it.
#pragma once

#include <string>

enum class TMasterCreation { Created, Existed, Failed };

// Creates the empty master file; with Install also inserts the master
// records of both e-mail templates with numbers 0 and 1. Existed: another
// workstation made it first (read it as it is). Failed: after the message;
// the caller ends the program.
TMasterCreation CreateMasterFile(bool Install);

// The descriptors MNGR<ClientNo>.DSC and MNGR<MatterNo>.DSC with their
// records. False after the message; neither file is left behind.
bool CreateEmailDescriptor(int ClientNo, int MatterNo, bool Install);
// The empty data files MGRDT<ClientNo>.QMD and MGRDT<MatterNo>.QMD. False
// after the message; neither file is left behind.
bool CreateEmailDataFile(int ClientNo, int MatterNo, bool Install);

// After CreateMasterFile(true): both templates' descriptors and data files
// under 0 and 1. On failure every file of both and the master file are
// removed. The caller ends the program either way.
bool InstallEmailTemplates();

enum class TFirstRun { Installed, NotNeeded, Failed };
// A data folder that holds no template, no descriptor and a master file
// missing or empty, whatever made it so (a first run, a data folder that
// went), gets both e-mail templates under 0 and 1 as at installation.
// Starts meeting here take turns on the save locks of 0 and 1 (waiting as
// AcquireSaveLock does, naming the master file, asking LockMsg); a later
// one finds the templates in place: NotNeeded. Failed: after the message;
// the caller ends the program.
TFirstRun InstallWhereNoTemplates(const std::string& LockMsg);

enum class TEmailSetup {
  Created,     // the list is to be reloaded
  NotCreated,  // after the message; nothing changed
  Terminate,   // the master file could not be opened: end the program
};
// The menu command: numbers n, n + 1, master records, files, and the line of
// WSID in "CLCA.IDX" (an existing line kept).
TEmailSetup SetupEmailTemplates(const std::string& WSID);
