// Delete: a template no other template looks up, its files, then its
// master record.
#include "mainwin/template_commands.h"

#include "btrieve/numbered_files.h"
#include "mainwin/template_list.h"
#include "mainwin/template_master_scan.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/email_templates.h"
#include "templates/file_slot_guards.h"
#include "templates/master_file.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <algorithm>

namespace {

constexpr uint8_t DataFileNo = 2;
// "&Delete 'Client e-mail'": the name begins at character 10.
constexpr size_t EmailCaptionLength = 23;
constexpr size_t EmailCaptionNameAt = 9;

const std::string DeleteLockMsg = MasterRetryText("Unable to open this file to proceed with template deletion.");

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }
bool Asked(const std::string& Question) { return MessageDlg(Question, mtConfirmation, mbYesNo) == mrYes; }

// The data file's record count; raises when it cannot be opened.
int CountRecords(const std::string& FileName) {
  const TFileLockMsgScope lockText(TemplateRetryText("Unable to open the data file for this template."));
  BtrOpenFile(DataFileNo, FileName, 0);
  const TSlotCloser data(DataFileNo);
  return BtrRecordCount(DataFileNo);
}

// Deletes FileName when it exists; a refusal adds its line to Errors.
void DeleteIfThere(const std::string& FileName, std::string& Errors) {
  if (!FileExists(FileName) || DeleteFile(FileName)) return;
  Errors += "Unable to delete " + FileName + ".";
}

}  // namespace

const std::string ReferencedMsg =
    "This template is referenced by lookups contained in other templates.\rYou may not delete it until those "
    "lookups are removed.\r\rYou will be shown a list of the affected templates and fields when\rthis window is "
    "closed.";

bool IsEmailCaption(const std::string& Caption) {
  if (Caption.size() != EmailCaptionLength) return false;
  const std::string name = Caption.substr(EmailCaptionNameAt, ClientEmailName.size());
  return name == ClientEmailName || name == MatterEmailName;
}

void TemplateCommands::Delete1Click() {
  const std::string item = screens_.List.SelectedItem();
  if (item.empty()) {
    MessageDlg("Please highlight the template you wish to delete", mtInformation, mbOKOnly);
    return;
  }
  if (IsEmailCaption(screens_.List.Delete1Caption())) {
    return ErrorBox("The e-mail templates created by Corvenstead may not be deleted.");
  }
  const std::string name = TrimRight(item);
  if (!Asked("Are you SURE you want to delete '" + name + "'?")) return;
  const TBusyCursor busy;
  try {
    OpenMaster(DeleteLockMsg);
  } catch (const std::exception& e) {
    return ErrorBox("Unable to delete " + name + ".  Cannot open MASTER.DSC." + "\r\r" + "Error:  " + e.what());
  }
  const TSlotCloser master(MasterFileNo);
  std::optional<TMasterRecord> found;
  try {
    found = FindMasterRecord(item, false);
  } catch (const std::exception& e) {
    return ErrorBox("Unable to delete " + name + ".\r\r" + "Error:  " + e.what());
  }
  if (!found) return ErrorBox("Unable to find '" + name + "'." + ContactMsg);
  Store.TplNumber = found->Number.ZeroFilled();
  if (ReferencedElsewhere(found->Number)) return;
  DeleteTemplate(name, found->Number);
}

bool TemplateCommands::ReferencedElsewhere(const TTemplateNumber& Number) {
  TIndexFlags every;
  for (int i = 1; i <= MaxIndexes; ++i) every[i] = true;
  TIntegrityResult result = CheckTemplateIntegrity(Number, every, {});
  if (!result.Complete) {
    ErrorBox(
        "Unable to check other Vezadaz templates to determine if there are\rlookups assigned to them that reference "
        "this template.\r\rYou will not be permitted to delete this template at this time.\r\r" +
        ContactMsg);
    return true;
  }
  // A lookup of the template into itself goes with it.
  std::erase_if(result.References, [&](const TLookupReference& r) { return r.Template == Number; });
  if (result.References.empty()) return false;
  MessageDlg(ReferencedMsg, mtInformation, mbOKOnly);
  screens_.Details.ShowDetails(result.References, {});
  return true;
}

void TemplateCommands::DeleteTemplate(const std::string& Name, const TTemplateNumber& Number) {
  // A save cut short would bring a deleted descriptor back from its backup.
  TSaveLock lock = AcquireSaveLock(Store.DataDir, Number.Value(), TSaveLockMode::Exclusive,
                                   DescriptorFileName(Number),
                                   TemplateRetryText("Unable to open the description file for this template."));
  if (!RecoverTemplateLocked(Store.DataDir, Number.Value())) return;
  const std::string dataName = DataFileName(Number);
  if (FileExists(dataName)) {
    int records = 0;
    try {
      records = CountRecords(dataName);
    } catch (const std::exception&) {
      return ErrorBox("Unable to access " + dataName + "to determine is data is present." + "\r\r" +
                      "You will not be permitted to delete this template at this time." + ContactMsg);
    }
    if (records > 0 &&
        !Asked("WARNING!!  The data file for this template is not empty.  If you delete the template,\rall the data "
               "will be PERMANENTLY destroyed.\r\rAre you CERTAIN you want to proceed with deleting the template " +
               Name + " ?")) {
      return;
    }
  }
  std::string errors;
  DeleteIfThere(dataName, errors);
  // A data file that stays keeps its descriptor too: the template remains
  // whole for the next try.
  if (errors.empty()) DeleteIfThere(DescriptorFileName(Number), errors);
  if (!errors.empty()) {
    return ErrorBox("The following error was encountered:\r\r" + errors + "\r\r" +
                    "This situation can result if other users were accessing the template." + ContactMsg);
  }
  // The grid layout would otherwise greet the number's next template.
  DeleteGridFormat(Number.ZeroFilled());
  try {
    TDynCharArr rec(MasterRecordLength);
    if (!LockMasterRecord(Number, rec)) throw Exception("Unable to find '" + Name + "'.");
    BtrDeleteRecord(MasterFileNo);
  } catch (const std::exception& e) {
    return ErrorBox(Name + "\r\r" + "Error:  " + e.what());
  }
  screens_.List.RemoveSelected();
}
