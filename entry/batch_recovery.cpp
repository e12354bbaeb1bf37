#include "entry/batch_recovery.h"

#include "btrieve/numbered_files.h"
#include "entry/batch_files.h"
#include "entry/batch_journal_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/batch_journal.h"
#include "templates/batch_codec.h"
#include "templates/batch_create.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"

namespace {

const std::string CannotUseYet = "  The batch cannot be used until this problem is resolved.";

std::string ExportNotFinished(const TBatchJournal& Journal) {
  return "The export of the batch to " + Journal.Folder + " (backup " + IntToHex(Journal.Backup, 3) + " in " +
         BatchBackupFolder() + ") was cut short and could not be finished." + CannotUseYet + ContactMsg;
}

}  // namespace

bool UndoPreparedExport(const TBatchJournal& Journal) {
  return RemoveIfPresent(PartName(ExportedTrinName(Journal.Folder))) &&
         RemoveIfPresent(PartName(ExportedDescName(Journal.Folder))) &&
         RemoveIfPresent(TrinBackupFileName(Journal.Backup)) && RemoveIfPresent(DescBackupFileName(Journal.Backup)) &&
         RemoveIfPresent(TrinCloneFileName());
}

namespace {

bool RenamePartIfLeft(const std::string& Exported) {
  const std::string part = PartName(Exported);
  return !FileExists(part) || RenameFile(part, Exported);
}

// The journal's state carried through; false when a step failed.
bool FinishJournal(const TBatchJournal& Journal) {
  switch (Journal.State) {
    case TBatchJournalState::Prepared:
      if (!UndoPreparedExport(Journal)) return false;
      break;
    case TBatchJournalState::Committed:
      // An export folder out of reach (a share gone) may still hold the
      // copies under their ".part" names: the batch waits for it.
      if (!DirectoryExists(Journal.Folder)) return false;
      if (!RenamePartIfLeft(ExportedDescName(Journal.Folder)) || !RenamePartIfLeft(ExportedTrinName(Journal.Folder)))
        return false;
      [[fallthrough]];
    case TBatchJournalState::Erasing:
      if (ReplaceBatchWithEmpty() != TEmptyBatchStep::Done) return false;
      break;
  }
  return DeleteBatchJournal();
}

}  // namespace

bool RemoveIfPresent(const std::string& Name) { return !FileExists(Name) || DeleteFile(Name); }

std::string BareFileName(const std::string& Name) { return Name.substr(Name.find_last_of("\\/") + 1); }

TEmptyBatchStep ReplaceBatchWithEmpty() {
  const std::string clone = TrinCloneFileName();
  if (FileExists(clone)) {
    if (!RemoveIfPresent(TrinFileName()) || !RemoveIfPresent(DescFileName())) return TEmptyBatchStep::Delete;
    if (!RenameFile(clone, TrinFileName())) return TEmptyBatchStep::Rename;
  } else if (!FileExists(TrinFileName())) {
    std::string msg;
    if (!CreateTrinFile(TrinFileName(), msg, CreateMsgMax)) return TEmptyBatchStep::Create;
  }
  if (!FileExists(DescFileName()) && !CopyFile(Startup.DescCloName, DescFileName(), true)) return TEmptyBatchStep::Copy;
  return TEmptyBatchStep::Done;
}

std::string RecoverBatchHeld() {
  const bool journal = BatchJournalExists();
  if (!journal && !FileExists(TrinCloneFileName())) return "";
  if (!CloseBatchFiles()) {
    return "The batch files could not be closed to finish an export or erase that was cut short." + CannotUseYet +
           ContactMsg;
  }
  // A clone without a journal: the export or erase stopped before it
  // touched anything else. Left behind it does no harm.
  if (!journal) {
    RemoveIfPresent(TrinCloneFileName());
    return "";
  }
  TBatchJournal read;
  switch (ReadBatchJournal(read)) {
    case TJournalRead::Missing:
      return "";
    case TJournalRead::Damaged:
      return "The batch journal " + BatchJournalFileName() + " cannot be read." + CannotUseYet + ContactMsg;
    case TJournalRead::Read:
      break;
  }
  if (FinishJournal(read)) return "";
  if (read.State == TBatchJournalState::Erasing)
    return "The erasing of the batch was cut short and could not be finished." + CannotUseYet + ContactMsg;
  return ExportNotFinished(read);
}
