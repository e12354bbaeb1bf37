// Handing the workstation's batch to the practice-management system: the
// export into a folder the user picks, with a numbered backup in the data
// folder's "MDback", and the erase of the whole batch. Both end with an
// empty batch in place of the old one.
//
// Neither loses a record nor exports one twice, whatever step fails or the
// process dies at: each runs under the exclusive batch lock, writes its
// journal before it changes anything that matters (entry/batch_recovery.h
// finishes or undoes what it leaves), and shows its boxes only after
// letting go of the lock.
//
// Export, in order: the batch opened (recovered first); MDback made; the
// folder must hold no earlier batch; the TRIN clone made and both files
// closed; the first free backup number; journal PREPARED; backups; copies
// into the folder under ".part" names; journal COMMITTED (the export now
// stands); the copies renamed, DESC then TRIN; the batch replaced by empty
// files; the journal deleted. A failure before COMMITTED undoes
// everything; one after it leaves the rest to the next recovery.
//
// Erase: the batch opened; the question; the clone; both files closed;
// journal ERASING; the batch replaced by empty files; the journal deleted.
#pragma once

#include <functional>
#include <string>

// Exports the batch into Folder, showing one box for how it ended (the
// open's failures may be two).
void ExportBatch(const std::string& Folder);

// The viewer's erase. True when the batch was erased.
bool EraseBatch();

// The folder browser as SelectExportDir uses it: Caption, the folder it
// starts at (empty for none); the folder picked, false when cancelled.
using TExportFolderPicker = std::function<bool(const std::string& Caption, const std::string& Preset, std::string& Picked)>;

// The export command: the folder picked through Pick (preset to
// "ExportDir" when that folder exists or can be made), refused when it is a
// drive root (platform/volumes.h), confirmed, perhaps remembered as
// "ExportDir", then exported. The screens pass the folder browser
// (entry/qt/select_export_dir.h).
void SelectExportDirWith(const TExportFolderPicker& Pick);
