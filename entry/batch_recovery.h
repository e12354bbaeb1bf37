// Recovery of an export or erase of the batch that was cut short (a killed
// process, a failed step, a machine gone down), from its journal
// (entry/batch_journal_file.h). While a journal exists nothing writes the
// batch: recovery runs before every opening of the batch files and every
// export, and the batch is not opened until it resolves.
//
// Rules, by what the journal says:
//   none       a leftover "TRIN<WSID>.clo" is deleted (an export or erase
//              that stopped before its journal): nothing else was touched.
//   PREPARED   the export never reached its commit: its ".part" copies in
//              the export folder, backup pair n and the clone are deleted;
//              the batch stands as it was.
//   COMMITTED  both copies reached the export folder: any ".part" left is
//              renamed to its final name (DESC first, TRIN last), then both
//              batch files are replaced by empty ones. An export folder
//              that cannot be reached stops it.
//   ERASING    the batch is replaced by empty ones.
// Replacing the batch: while the clone exists, the batch files still there
// are deleted and the clone becomes the TRIN file; without it TRIN is made
// new when missing. DESC is copied from the program folder's "Desc.clo"
// when missing. The journal goes last.
//
// A step recovery cannot do stops it: the journal stays, and one message
// names the export folder and backup (or the erase).
#pragma once

#include "templates/batch_journal.h"

#include <string>

// What replacing the batch by an empty one stopped at.
enum class TEmptyBatchStep { Done, Delete, Rename, Create, Copy };

// The caller holds the exclusive batch lock and has closed nothing: this
// process's files 127 and 128 are closed first when there is anything to
// do. "" when the batch is sound; else the message to show once the lock
// is let go.
std::string RecoverBatchHeld();

// Replaces the batch files by empty ones as described above; the batch
// files must be closed.
TEmptyBatchStep ReplaceBatchWithEmpty();

// Undoes an export that did not commit: its ".part" copies, backup pair
// and clone deleted. False when one stayed.
bool UndoPreparedExport(const TBatchJournal& Journal);

// Deletes Name when it exists: true when it is gone afterwards.
bool RemoveIfPresent(const std::string& Name);

// The last component of a Windows-style name ("TRIN01.clo").
std::string BareFileName(const std::string& Name);
