// The master file as file 1 for one template command: opened, walked to
// the selected template's record, closed.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/master_codec.h"

#include <optional>
#include <string>

// Closes file 1 when open, then opens the master file (normal mode) asking
// LockMsg while another workstation holds it. Raises the layer's failure.
void OpenMaster(const std::string& LockMsg);
// Closes file 1 when open; a failing close has nothing to add.
void CloseMasterQuietly();

// Walks file 1 by key 1 from the first record, without locks, to the record
// whose trimmed name is the trimmed Item. Lock: the match is read again
// with a record lock (by its number), so file 1 stands on it for an update
// or delete. Nothing when no record matches; raises a read failure (a
// declined lock retry among them).
std::optional<TMasterRecord> FindMasterRecord(const std::string& Item, bool Lock);

// Makes file 1 stand on Number's record, locked, read into Rec (ready for
// an update). False when it is gone.
bool LockMasterRecord(const TTemplateNumber& Number, TDynCharArr& Rec);
