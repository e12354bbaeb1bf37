#include "templates/master_rebuild.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/descriptor_listing.h"
#include "templates/email_setup.h"
#include "templates/master_codec.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <string>

namespace {

const std::string ErrorLead = "Error:  ";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

std::string BackupFileName() { return Store.DataDir + "\\Master.Bak"; }

// A close after a failure already being reported has nothing to add.
void CloseQuietly(uint8_t FileNo) {
  try {
    if (BtrIsFileOpen(FileNo)) BtrCloseFile(FileNo);
  } catch (const Exception&) {
  }
}

// What the rebuild has done to the files so far, for putting them back.
struct TRebuildRun {
  bool BackedUp = false;  // the master was copied to "Master.Bak" and deleted
  bool MadeNew = false;   // this rebuild made the master now in place
  int Unnamed = 0;        // blank names met so far
};

// The master in place moved to "Master.Bak". False after the message, the
// master untouched.
bool MakeBackup(TRebuildRun& Run) {
  const std::string master = MasterFileName();
  const std::string backup = BackupFileName();
  if (!FileExists(master)) return true;
  if (FileExists(backup) && !DeleteFile(backup)) {
    ErrorBox("Unable to make a backup copy of Master.Dsc (could not delete existing Master.Bak).\r\r" + ContactMsg);
    return false;
  }
  if (!CopyFile(master, backup, true)) {
    ErrorBox("Unable to make a backup copy of Master.Dsc (copy function failed).\r\r" + ContactMsg);
    return false;
  }
  if (!DeleteFile(master)) {
    ErrorBox("Unable to delete existing Master.Dsc after making backup.\r\r" + ContactMsg);
    return false;
  }
  Run.BackedUp = true;
  return true;
}

// After a failed rebuild: the backup this rebuild made replaces whatever
// master lies there now, or without one the master this rebuild made goes.
// A master is deleted only while the backup that replaces it is there.
void RestoreMaster(const TRebuildRun& Run) {
  const std::string master = MasterFileName();
  const std::string backup = BackupFileName();
  const std::string copyFailed = "Unable to restore Master.Dsc (Unable to copy backup)." + ContactMsg;
  if (Run.BackedUp && !FileExists(backup)) {
    ErrorBox(copyFailed);
    return;
  }
  if (!Run.BackedUp && !Run.MadeNew) return;
  if (FileExists(master) && !DeleteFile(master)) {
    ErrorBox("Unable to restore Master.Dsc." + ContactMsg);
    return;
  }
  if (Run.BackedUp && !CopyFile(backup, master, true)) ErrorBox(copyFailed);
}

std::string LockText(const std::string& FileName) {
  return "The description file " + FileName + " is currently not accessible (Recreating master file)." + "\r\r" +
         "It may be in use elsewhere.   Retry accessing the file?";
}

// The descriptor open as file 200 under its template's shared save lock,
// a save cut short recovered first. False after the message; Open false
// when the descriptor went meanwhile (its template deleted elsewhere).
bool OpenDescriptor(const TDescriptorEntry& Entry, TSaveLock& Lock, bool& Open) {
  const std::string path = Store.DataDir + "\\" + Entry.Name;
  const std::string lockText = LockText(Entry.Name);
  const TFileLockMsgScope lockMsg(lockText);
  try {
    if (!AcquireSharedAfterRecovery(Store.DataDir, Entry.Number.Value(), path, lockText, Lock)) return false;
    Open = FileExists(path);
    if (Open) BtrOpenFile(RebuildDescriptorFileNo, path, 0);
    return true;
  } catch (const std::exception& e) {
    Open = false;
    ErrorBox(ErrorLead + ExceptionText(e) + "\r\r" + "Unable to open description file " + Entry.Name + "." + ContactMsg);
    return false;
  }
}

// The master text of the descriptor open as file 200.
std::string MasterTextOf(const TDescriptorEntry& Entry, TRebuildRun& Run) {
  TDynCharArr rec(DscRecordLength);
  if (!ReadNameRecord(RebuildDescriptorFileNo, rec)) {
    throw Exception("Unable to locate name record in " + Entry.Name);
  }
  std::string name = RecordRange(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size()),
                                 DscIndex::TplName);
  if (Trim(name).empty()) name = "UnNamed" + std::to_string(++Run.Unnamed);
  return FormatMasterText(name, Entry.Number);
}

// One descriptor's master record into file 201. False after the message.
bool AddTemplate(const TDescriptorEntry& Entry, TRebuildRun& Run) {
  TSaveLock lock;
  bool open = false;
  if (!OpenDescriptor(Entry, lock, open)) return false;
  if (!open) return true;
  try {
    BtrInsertRecord(RebuildMasterFileNo, MasterTextOf(Entry, Run));
    BtrCloseFile(RebuildDescriptorFileNo);
    return true;
  } catch (const std::exception& e) {
    CloseQuietly(RebuildDescriptorFileNo);
    ErrorBox("The following error occurred while reading " + Entry.Name + "\r" + "in order to recreate Master.Dsc." +
             "\r\r" + ErrorLead + ExceptionText(e));
    return false;
  }
}

// Every descriptor's master record into the new master, open as file 201
// (the caller closes it). False after the message.
bool FillMaster(TRebuildRun& Run) {
  try {
    BtrOpenFile(RebuildMasterFileNo, MasterFileName(), 0);
  } catch (const std::exception& e) {
    ErrorBox(ExceptionText(e) + ContactMsg);
    return false;
  }
  for (const TDescriptorEntry& entry : DescriptorsToScan()) {
    if (!entry.HasNumber) {
      LogWarning("Recreating the master file: " + entry.Name + " carries no template number and was left out.");
      continue;
    }
    if (!AddTemplate(entry, Run)) return false;
  }
  return true;
}

}  // namespace

TRebuild RecreateMasterFile() {
  TRebuildRun run;
  if (!MakeBackup(run)) return TRebuild::Failed;
  const TMasterCreation made = CreateMasterFile(false);
  run.MadeNew = made == TMasterCreation::Created;
  const bool complete = run.MadeNew && FillMaster(run);
  CloseQuietly(RebuildDescriptorFileNo);
  CloseQuietly(RebuildMasterFileNo);
  if (complete) return TRebuild::Rebuilt;
  RestoreMaster(run);
  return made == TMasterCreation::Failed ? TRebuild::Terminate : TRebuild::Failed;
}
