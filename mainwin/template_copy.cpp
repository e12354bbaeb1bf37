// Rename and copy: Modify1Click's Rename1 path.
#include "mainwin/template_commands.h"

#include "btrieve/numbered_files.h"
#include "mainwin/template_master_scan.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/descriptor_file.h"
#include "templates/file_slot_guards.h"
#include "templates/master_file.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <functional>

namespace {

constexpr uint8_t SourceDataFileNo = 2;
constexpr uint8_t NameFileNo = 3;

const std::string CopyLimitMsg =
    "You have reached your limit of 999 templates!\rYou must delete at least 1 existing template to perform your copy "
    "operation.";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

// The exclusive save lock of Number, a save cut short put back first; false
// (after its message) when the files could not be resolved.
bool LockForChange(const TTemplateNumber& Number, TSaveLock& Lock) {
  Lock = AcquireSaveLock(Store.DataDir, Number.Value(), TSaveLockMode::Exclusive, DescriptorFileName(Number),
                         TemplateRetryText("Unable to open the description file for this template."));
  return RecoverTemplateLocked(Store.DataDir, Number.Value());
}

// One transaction: Name into the name record of the descriptor FileName
// (file 3), then WriteMaster on the master; both or neither. False, with
// nothing written, when the descriptor has no name record. Once committed
// the change stands: a failing close is left to the layer's retry.
bool WriteNames(const std::string& FileName, const std::string& Name, const std::function<void()>& WriteMaster) {
  BtrOpenFile(NameFileNo, FileName, 0);
  const TSlotCloser descriptor(NameFileNo);
  BtrBeginTransaction();
  try {
    if (!WriteNameRecord(NameFileNo, Name)) {
      AbortTransactionQuietly();
      return false;
    }
    WriteMaster();
    BtrEndTransaction();
  } catch (...) {
    AbortTransactionQuietly();
    throw;
  }
  return true;
}

// The lowest number free of master records and files, its exclusive save
// lock held and found free again under it; nothing after the limit
// message.
std::optional<TTemplateNumber> ClaimCopyNumber(TSaveLock& Lock) {
  TDynCharArr buf(MasterRecordLength);
  const TTemplateNumberSet files = TemplateFilesInFolder(Store.DataDir);
  for (int n = 0; n < TemplateNumberLimit; ++n) {
    const TTemplateNumber number(n);
    if (!IsTemplateNumberFree(number, files, buf)) continue;
    Lock = AcquireSaveLock(Store.DataDir, n, TSaveLockMode::Exclusive, DescriptorFileName(number),
                           TemplateRetryText("Unable to open the description file for this template."));
    if (!IsTemplateNumberFree(number, TemplateFilesInFolder(Store.DataDir), buf)) {
      throw Exception("The template number " + number.ZeroFilled() + " is already in use.");
    }
    return number;
  }
  ErrorBox(CopyLimitMsg);
  return std::nullopt;
}

// The files a copy made, deleted unless it succeeded. A close that failed
// on the way left its file open at the engine: closed again first, so that
// it can go.
class TCopiedFiles {
public:
  ~TCopiedFiles() {
    if (kept_) return;
    { const TSlotCloser retry(NameFileNo); }
    for (const std::string& name : made_)
      if (FileExists(name)) DeleteFile(name);
  }
  void Made(const std::string& Name) { made_.push_back(Name); }
  void Keep() { kept_ = true; }

private:
  std::vector<std::string> made_;
  bool kept_ = false;
};

}  // namespace

void TemplateCommands::Copy1Click() {
  CopyMode = true;
  Modify1Click(TModifySender::Rename);
  CopyMode = false;
}

void TemplateCommands::Rename1Click() {
  const std::string caption = screens_.List.Rename1Caption();
  if (IsEmailCaption(caption)) return ErrorBox("The e-mail templates created by Corvenstead may not be renamed.");
  CopyMode = false;
  Modify1Click(TModifySender::Rename);
}

void TemplateCommands::RenameOrCopy(const TTemplateNumber& Number) {
  const TNameRequest request = CopyMode ? TNameRequest{"Name of copy :", "Copying '" + Store.TplName + "'", true}
                                        : TNameRequest{"New name :", "Renaming '" + Store.TplName + "'", true};
  std::string name;
  if (!screens_.Prompt.AskName(request, name)) return;
  name = Trim(name);
  if (name == Store.TplName) return;
  if (screens_.List.Listed(name)) return ErrorBox(NameReusedMsg(name));
  if (CopyMode) {
    Copy(Number, name);
  } else {
    Rename(Number, name);
  }
  CloseMasterQuietly();
  screens_.List.Reload();
  screens_.List.SelectName(name);
}

void TemplateCommands::Rename(const TTemplateNumber& Number, const std::string& NewName) {
  try {
    TSaveLock lock;
    if (!LockForChange(Number, lock)) return;
    // A master update refused (the name taken meanwhile) takes the
    // descriptor's name back with it.
    WriteNames(DescriptorFileName(Number), NewName, [&] {
      TDynCharArr rec(MasterRecordLength);
      if (!LockMasterRecord(Number, rec)) throw Exception("Unable to find '" + Store.TplName + "'.");
      BtrUpdateRecord(MasterFileNo, FormatMasterText(NewName, Number), rec);
    });
  } catch (const std::exception& e) {
    ErrorBox("Unable to rename the template at this time.\r\r" + std::string(e.what()));
  }
}

void TemplateCommands::Copy(const TTemplateNumber& Number, const std::string& NewName) {
  TSaveLock sourceLock;
  try {
    const std::string lockMsg = TemplateRetryText("Unable to open the description file to be copied.");
    if (!AcquireSharedAfterRecovery(Store.DataDir, Number.Value(), DataFileName(Number), lockMsg, sourceLock)) return;
    const TFileLockMsgScope lockText(lockMsg);
    BtrOpenFile(SourceDataFileNo, DataFileName(Number), 0);
  } catch (const std::exception& e) {
    return ErrorBox("Error:  " + std::string(e.what()) + "\r\r" +
                    "Unable to open data file to be copied.  You will not be able to perform this operation at this "
                    "time." +
                    ContactMsg);
  }
  const TSlotCloser source(SourceDataFileNo);
  TSaveLock copyLock;
  TCopiedFiles made;
  std::optional<TTemplateNumber> number;
  try {
    number = ClaimCopyNumber(copyLock);
    if (!number) return;
    const std::string dscName = DescriptorFileName(*number);
    if (!CopyFile(DescriptorFileName(Number), dscName, true)) {
      return ErrorBox("Unable to copy this template (copy of DSC file failed)." + ContactMsg);
    }
    made.Made(dscName);
  } catch (const std::exception& e) {
    return ErrorBox("Unable to copy this template (copy of DSC file failed).\r\r" + std::string(e.what()) +
                    ContactMsg);
  }
  try {
    made.Made(DataFileName(*number));
    BtrCloneFile(SourceDataFileNo, DataFileName(*number));
  } catch (const std::exception&) {
    return ErrorBox("Unable to copy this template (Clone operation failed)." + ContactMsg);
  }
  try {
    BtrCloseFile(SourceDataFileNo);
    // The copy's name and its master record in one transaction.
    const std::string dscName = DescriptorFileName(*number);
    if (!WriteNames(dscName, NewName, [&] { InsertMasterRecord(number->Stored(), NewName); })) {
      throw Exception("No template name record in " + dscName + ".");
    }
  } catch (const std::exception& e) {
    return ErrorBox("Unable to copy the template at this time  -\rCould not add record to MASTER.DSC.\r\r" +
                    std::string(e.what()));
  }
  made.Keep();
}
