// Recovery of a template whose save was cut short (a killed process, a
// machine gone down): the files a save leaves behind are put back to one
// whole generation, the old or the new, deciding from what they hold.
#pragma once

#include "templates/save_lock.h"

#include <string>

// A previous generation (.DSX or .QMX, names compared without case) of
// the template lies in the folder.
bool TemplateBackupExists(const std::string& DataDir, int TplNo);

// The caller holds the exclusive save lock. Silent when it resolves the
// files; otherwise one message naming them, and false.
bool RecoverTemplateLocked(const std::string& DataDir, int TplNo);

// Takes the exclusive save lock (waiting as AcquireSaveLock with FileName
// and LockMsg), recovers, releases. For callers that then take their own
// shared lock.
bool RecoverTemplate(const std::string& DataDir, int TplNo, const std::string& FileName, const std::string& LockMsg);

// At start-up, with the record manager loaded first: every number whose
// files need it and whose lock is free; a held lock (a save in progress
// elsewhere) is skipped silently. A new template's save that died leaves
// no trace once this ran: its empty descriptor, its empty data file without
// a descriptor (neither with a master record) and the hidden files of its
// unfinished creates (whose process is gone) are removed, so its number is
// free again.
void RecoverTemplatesAtStartup(const std::string& DataDir);

// The shared save lock of a reader (descriptor load, data-file open), taken
// once no previous generation lies beside the template: a cut-short save
// is recovered first, also one that ended between that recovery and the
// lock. False, Lock unheld, when recovery did not resolve the files (its
// message was shown). Waits, asks and raises as AcquireSaveLock.
bool AcquireSharedAfterRecovery(const std::string& DataDir, int TplNo, const std::string& FileName,
                                const std::string& LockMsg, TSaveLock& Lock);
