#include "designer/lookup_repair.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/file_slot_guards.h"
#include "templates/layout_digest.h"
#include "templates/master_codec.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <cctype>

namespace {

constexpr uint8_t RepairFileNo = 2;
constexpr auto SeqKeyNo = static_cast<int8_t>(DescriptorKeySegments[1].KeyNo);
const std::string TemplateKind = "M";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

std::string Upper(std::string Text) {
  for (char& c : Text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return Text;
}

bool TargetsTemplate(const std::string& Kind, const std::string& Target, const TTemplateNumber& Number) {
  return Kind == TemplateKind && Upper(Trim(Target)) == TemplateLkpTarget(Number);
}

// The name of the TemplateList entry with Number; "" for none.
std::string ListedName(const TTemplateNumber& Number) {
  for (int i = 1; i <= MaxListEntries && !Store.TemplateList[i].empty(); ++i) {
    const TMasterRecord entry = ParseMasterText(Store.TemplateList[i]);
    if (entry.Number == Number) return entry.Name;
  }
  return "";
}

// Rewrites the matching field records of the descriptor open as file 2.
void RewriteTargets(const TTemplateNumber& Old, const TTemplateNumber& New) {
  BtrSetKeyNumber(RepairFileNo, SeqKeyNo);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(RepairFileNo, rec, atEnd, false); !atEnd; BtrGetNext(RepairFileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    if (IsIndexRecord(record)) continue;
    if (!TargetsTemplate(RecordRange(record, DscField::LkpKind), RecordRange(record, DscField::LkpTarget), Old)) {
      continue;
    }
    std::string text = DscText(record);
    SetLkpTargetNumber(text, New);
    BtrUpdateRecord(RepairFileNo, text, rec);
  }
}

// The field table follows the descriptor.
void PatchFieldTable(const TTemplateNumber& Old, const TTemplateNumber& New) {
  for (int slot = 1; slot <= Store.FldCount; ++slot) {
    TFld& fld = Store.FldTable[slot];
    if (TargetsTemplate(fld.LkpKind, fld.LkpTarget, Old)) fld.LkpTarget = TemplateLkpTarget(New);
  }
}

}  // namespace

std::string TemplateLkpTarget(const TTemplateNumber& Number) { return "MNGR" + Number.ZeroFilled() + ".DSC"; }

std::vector<TRepairChoice> RepairableLookups() {
  std::vector<TRepairChoice> choices;
  for (int slot = 1; slot <= Store.FldCount; ++slot) {
    const TFld& fld = Store.FldTable[slot];
    TTemplateNumber number;
    const std::string target = Upper(Trim(fld.LkpTarget));
    if (fld.LkpKind != TemplateKind || target.rfind("MNGR", 0) != 0) continue;
    if (!TTemplateNumber::TryParse(target.substr(4, 3), number)) continue;
    const std::string name = ListedName(number);
    if (!name.empty()) choices.push_back({name, number});
  }
  return choices;
}

std::vector<TRepairChoice> RepairTargets() {
  std::vector<TRepairChoice> choices;
  for (int i = 1; i <= MaxListEntries && !Store.TemplateList[i].empty(); ++i) {
    const TMasterRecord entry = ParseMasterText(Store.TemplateList[i]);
    choices.push_back({entry.Name, entry.Number});
  }
  return choices;
}

bool RepairLookupTarget(const TTemplateNumber& Old, const TTemplateNumber& New) {
  if (MessageDlg("Ready to repair the Vezadaz Lookup you have specified.\r\rContinue?", mtConfirmation, mbYesNo) !=
      mrYes) {
    return false;
  }
  const TTemplateNumber own = TTemplateNumber::Parse(Store.TplNumber);
  const std::string dscName = DescriptorFileName(own);
  if (!FileExists(dscName)) {
    ErrorBox("Could not find file " + Store.DataDir + "\\mngr" + own.ZeroFilled() + ".dsc." +
             "Repair operation cannot be completed at this time.");
    return false;
  }
  const std::string lockMsg = TemplateRetryText("Unable to open the description file for this template.");
  TSaveLock lock;
  try {
    lock = AcquireSaveLock(Store.DataDir, own.Value(), TSaveLockMode::Exclusive, dscName, lockMsg);
    if (!RecoverTemplateLocked(Store.DataDir, own.Value())) return false;
    const TFileLockMsgScope lockText(lockMsg);
    BtrOpenFile(RepairFileNo, dscName, 0);
  } catch (const std::exception& e) {
    ErrorBox("Unable to open description file.  You will not be able to repair your template at this time.\r\r"
             "Error:  " +
             std::string(e.what()));
    return false;
  }
  try {
    const TSlotCloser descriptor(RepairFileNo);
    BtrBeginTransaction();
    try {
      RewriteTargets(Old, New);
      BtrEndTransaction();
    } catch (...) {
      AbortTransactionQuietly();
      throw;
    }
  } catch (const std::exception& e) {
    ErrorBox(
        "Unable to access description file.  You will not be able to repair your template lookup at this "
        "time.\r\rError:  " +
        std::string(e.what()));
    return false;
  }
  PatchFieldTable(Old, New);
  try {
    Store.LayoutDigest = DescriptorDigest(own.ZeroFilled());
  } catch (const std::exception&) {
    // A digest that cannot be taken leaves the old one: the next save then
    // refuses rather than write over the repair.
  }
  MessageDlg(
      "Your template lookup has been successfully repaired.\r\rIt is necessary to restart the Matterdesk program to "
      "store the change you have made.\rTo do so, click on the Cancel button and when prompted, select YES.  This "
      "will return you to the main Matterdesk screen, at which time you should click on Exit then restart the "
      "program and confirm that your lookup is working properly.\r\rIf you have made other modifications to your "
      "template on this screen, they will not be saved and you will have to re-enter your changes after the program "
      "is restarted.",
      mtInformation, mbOKOnly);
  return true;
}
