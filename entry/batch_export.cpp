#include "entry/batch_export.h"

#include "btrieve/create_file.h"
#include "entry/batch_files.h"
#include "entry/batch_journal_file.h"
#include "entry/batch_lock.h"
#include "entry/batch_recovery.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/volumes.h"
#include "templates/batch_codec.h"
#include "templates/registry_settings.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

struct TBox {
  std::string Text;
  TMsgDlgType Type = mtError;
};
using TBoxes = std::vector<TBox>;

const std::string CloneFailed = "Unable to create new empty batch files (Clone operation failed).";
const std::string ExportedButNoNewBatch = "Corvenstead was able to export your batch, but failed in creating a new empty batch (";

void Show(const TBoxes& Boxes) {
  for (const TBox& box : Boxes) MessageDlg(box.Text, box.Type, mbOKOnly);
}

// Runs Work under the exclusive lock with the batch open; the boxes it
// leaves, shown once the lock is let go.
template <class Work>
void UnderLockThenShow(Work&& work) {
  TBoxes boxes;
  try {
    TBatchLock lock(TBatchLockMode::Exclusive);
    std::vector<std::string> failures;
    if (OpenBatchFilesHeld(failures)) {
      boxes = work();
    } else {
      for (const std::string& failure : failures) boxes.push_back({failure, mtError});
    }
  } catch (const EAbort& e) {
    boxes.push_back({e.Message, mtError});
  }
  Show(boxes);
}

// Clones TRIN and closes both files: "" when done, else what failed.
std::string CloneAndClose(const std::string& CloseFailed) {
  try {
    BtrCloneFile(TrinFileNo, TrinCloneFileName());
  } catch (const EAbort&) {
    return CloneFailed;
  }
  if (!CloseBatchFiles()) return CloseFailed;
  return "";
}

// The first number from 1 whose TRIN backup is missing, its name matched
// in any case; 0 when all are taken. One listing of MDback.
int FreeBackupNumber() {
  const std::string first = TrinBackupFileName(1);
  std::vector<bool> taken(MaxBatchBackup + 1, false);
  for (const FileEntry& entry : FindFiles(first.substr(0, first.size() - 3) + "???")) {
    const std::string digits = entry.Name.substr(entry.Name.size() - 3);
    int number = 0;
    if ((entry.Attr & faDirectory) == 0 && std::all_of(digits.begin(), digits.end(), ::isxdigit) &&
        TryStrToInt("$" + digits, number))
      taken[size_t(number)] = true;
  }
  for (int n = 1; n <= MaxBatchBackup; ++n)
    if (!taken[size_t(n)]) return n;
  return 0;
}

// Undoes an export that did not commit; what cannot be undone now is left
// to recovery, which the journal still calls for.
void RollBack(const TBatchJournal& Journal) {
  if (UndoPreparedExport(Journal)) DeleteBatchJournal();
}

std::string BackupFailed(const std::string& Name) {
  return "Backup copying of the file " + Name + " failed.  You " + "will not be able to export your batch at this time." +
         ContactMsg;
}

std::string ExportFailed(const std::string& Name) {
  return "Exporting of the file " + Name + " failed. " + "Please try this operation again later." + ContactMsg;
}

// Steps 6 and 7 up to the commit: "" when both copies are whole in the
// folder and the journal says COMMITTED.
std::string CopyAndCommit(const TBatchJournal& Prepared) {
  if (!WriteBatchJournal(Prepared)) return BackupFailed(BatchJournalFileName());
  if (!CopyFile(TrinFileName(), TrinBackupFileName(Prepared.Backup), false)) return BackupFailed(TrinFileName());
  // The record manager never copies over a file: a leftover DESC backup
  // of this number goes first.
  if (!RemoveIfPresent(DescBackupFileName(Prepared.Backup)) ||
      !CopyFile(DescFileName(), DescBackupFileName(Prepared.Backup), false))
    return BackupFailed(DescFileName());
  const std::string trinPart = PartName(ExportedTrinName(Prepared.Folder));
  const std::string descPart = PartName(ExportedDescName(Prepared.Folder));
  if (!RemoveIfPresent(trinPart) || !CopyFile(TrinFileName(), trinPart, true)) return ExportFailed(TrinFileName());
  if (!RemoveIfPresent(descPart) || !CopyFile(DescFileName(), descPart, true)) return ExportFailed(DescFileName());
  TBatchJournal committed = Prepared;
  committed.State = TBatchJournalState::Committed;
  if (!WriteBatchJournal(committed)) return ExportFailed(BatchJournalFileName());
  return "";
}

std::string EmptyBatchFailure(TEmptyBatchStep Step, const std::string& Lead, const std::string& DeletionFailed) {
  switch (Step) {
    case TEmptyBatchStep::Done:
      return "";
    case TEmptyBatchStep::Delete:
      return DeletionFailed;
    case TEmptyBatchStep::Rename:
      return Lead + "renaming of " + BareFileName(TrinCloneFileName()) + " failed)." + ContactMsg;
    case TEmptyBatchStep::Create:
      return Lead + "creation of " + BareFileName(TrinFileName()) + " failed)." + ContactMsg;
    case TEmptyBatchStep::Copy:
      break;
  }
  return Lead + "copying of Desc.clo failed)." + ContactMsg;
}

TBoxes RunExport(const std::string& Folder) {
  if (BtrRecordCount(TrinFileNo) == 0) return {{"Batch is empty - nothing to export!", mtInformation}};
  if (!ForceDirectories(BatchBackupFolder()))
    return {{"Unable to create the backup directory " + BatchBackupFolder() + "." + "\r" +
                 "You will not be able to export your batch until this problem is resolved." + "\r" + ContactMsg,
             mtError}};
  if (FileExists(ExportedTrinName(Folder)) || FileExists(ExportedDescName(Folder)))
    return {{"Your last batch has not been processed at the host.  You will not be able to export the current batch "
             "at this time." +
                 ContactMsg,
             mtError}};
  const std::string notCloned = CloneAndClose("Unable to close batch files.  You will not be able to export them at this time.");
  if (!notCloned.empty()) {
    RemoveIfPresent(TrinCloneFileName());
    return {{notCloned, mtError}};
  }
  const int backup = FreeBackupNumber();
  if (backup == 0) {
    RemoveIfPresent(TrinCloneFileName());
    return {{"You have reached the system limit of 4096 backup copies of previously\rexported batches in " +
                 Store.DataDir + "\\MDBack." + "\r\r" +
                 "Corvenstead cannot export the current batch until one or more previously" + "\r" +
                 "saved batches are deleted.",
             mtWarning}};
  }
  const TBatchJournal prepared{TBatchJournalState::Prepared, backup, Folder};
  const std::string notCommitted = CopyAndCommit(prepared);
  if (!notCommitted.empty()) {
    RollBack(prepared);
    return {{notCommitted, mtError}};
  }
  // Committed: from here on every failure leaves the journal for the next
  // recovery to finish.
  for (const std::string& exported : {ExportedDescName(Folder), ExportedTrinName(Folder)}) {
    if (!RenameFile(PartName(exported), exported))
      return {{ExportedButNoNewBatch + "renaming of " + BareFileName(PartName(exported)) + " failed)." + ContactMsg,
               mtError}};
  }
  const std::string notEmptied = EmptyBatchFailure(ReplaceBatchWithEmpty(), ExportedButNoNewBatch,
                                                   ExportedButNoNewBatch + "Deletion of existing files failed).");
  if (!notEmptied.empty()) return {{notEmptied, mtError}};
  DeleteBatchJournal();
  return {{"Your batch has been successfully exported.", mtInformation}};
}

bool BatchIsEmpty(bool& Empty) {
  bool ok = false;
  UnderLockThenShow([&]() -> TBoxes {
    ok = true;
    Empty = BtrRecordCount(TrinFileNo) == 0;
    return {};
  });
  return ok;
}

}  // namespace

void ExportBatch(const std::string& Folder) {
  UnderLockThenShow([&] { return RunExport(Folder); });
}

bool EraseBatch() {
  bool empty = false;
  if (!BatchIsEmpty(empty)) return false;
  if (empty) {
    MessageDlg("The batch is already empty - nothing to do!", mtInformation, mbOKOnly);
    return false;
  }
  if (MessageDlg("Are you SURE you want to erase the ENTIRE batch?", mtConfirmation, mbYesNo) != mrYes) return false;
  bool erased = false;
  UnderLockThenShow([&]() -> TBoxes {
    const std::string notCloned = CloneAndClose("Unable to erase batch (Cannot close existing files).");
    const std::string deletionFailed = "Unable to erase batch (deletion of existing files failed).";
    if (!notCloned.empty()) {
      RemoveIfPresent(TrinCloneFileName());
      return {{notCloned, mtError}};
    }
    if (!WriteBatchJournal({TBatchJournalState::Erasing, 0, ""})) {
      RemoveIfPresent(TrinCloneFileName());
      return {{deletionFailed, mtError}};
    }
    // Nothing is lost until TRIN goes: a failure before it undoes the erase.
    if (!RemoveIfPresent(TrinFileName())) {
      if (DeleteBatchJournal()) RemoveIfPresent(TrinCloneFileName());
      return {{deletionFailed, mtError}};
    }
    const std::string notEmptied =
        EmptyBatchFailure(ReplaceBatchWithEmpty(), "Unable to erase batch (", deletionFailed);
    if (!notEmptied.empty()) return {{notEmptied, mtError}};
    DeleteBatchJournal();
    erased = true;
    return {};
  });
  return erased;
}

void SelectExportDirWith(const TExportFolderPicker& Pick) {
  std::string remembered;
  ReadRegValue("ExportDir", ProgramKeyId, remembered);
  // A remembered folder that is gone and cannot be made again is forgotten.
  if (!remembered.empty() && !DirectoryExists(remembered) && !ForceDirectories(remembered)) remembered.clear();
  std::string folder;
  if (!Pick("Select a directory to receive the exported batch", remembered, folder)) return;
  if (IsDriveRoot(folder)) {
    MessageDlg("You may not export a batch to the root directory of a drive.", mtError, mbOKOnly);
    return;
  }
  if (MessageDlg("You are about to export the current batch to:\r\r" + folder + ".", mtConfirmation, mbOKCancel) !=
      mrOk)
    return;
  if (folder != remembered &&
      MessageDlg("Make '" + folder + "'" + "\r" + "the default directory to export to?", mtConfirmation, mbYesNo) ==
          mrYes &&
      !WriteRegValue("ExportDir", folder))
    MessageDlg("Unable to accept a new default export directory at this time." + ContactMsg, mtError, mbOKOnly);
  ExportBatch(folder);
}
