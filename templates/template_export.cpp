#include "templates/template_export.h"

#include "btrieve/numbered_files.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/volumes.h"
#include "templates/descriptor_file.h"
#include "templates/export_set.h"
#include "templates/file_slot_guards.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/save_lock.h"
#include "templates/set_lookups.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"

#include <algorithm>

namespace {

const std::string ErrorLead = "Error:  ";
const std::string OpenRetryMsg =
    "Unable to open this file to proceed with template export.\r\r"
    "It is possible that another user is performing an operation that requires exclusive\r"
    "access to this file.  You may retry this operation and this message will reappear if\r"
    "the file remains inaccessable.  Otherwise, contact Ondral, Inc. for assistance.\r\r"
    "Retry opening the file?";

void Inform(const std::string& Text) { MessageDlg(Text, mtInformation, mbOKOnly); }
void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

struct TSubTemplate {
  TTemplateNumber Number;
  std::string Name;
};

struct TListRef {
  std::optional<int> Number;  // nothing: the target is no list file name
  std::string Target;
  std::string Line;  // "User List:  " + its name, or its file name when unreadable
};

struct TExportPlan {
  std::string Name;
  TTemplateNumber Number;
  std::vector<TSubTemplate> Subs;
  std::vector<TListRef> Lists;
};

std::string Text(const TDynCharArr& Rec) { return std::string(Rec.begin(), Rec.end()); }

// The master record under key 1 or 2 of file 1, or nothing.
std::optional<TMasterRecord> FindMaster(int8_t KeyNo, const std::string& Key) {
  TDynCharArr rec(MasterRecordLength);
  BtrSetKeyNumber(MasterFileNo, KeyNo);
  if (!BtrGetEqual(MasterFileNo, Key, rec, false)) return std::nullopt;
  return ParseMasterText(MasterText(Text(rec)));
}

std::string ListLine(int Number) {
  std::string bytes;
  if (ReadWholeListFile(Number, bytes)) {
    for (const std::string& line : SplitListLines(bytes))
      if (IsListHeader(line)) return "User List:  " + ListHeaderName(line);
  }
  return "User List:  " + ListFileName(Number);
}

// The distinct sub-templates and lists of the descriptor open as file 2.
void ScanComponents(TExportPlan& Plan) {
  ForEachFieldRecord(DescriptorFileNo, [&](const TSetLookup& Lookup, std::string&) {
    if (Lookup.Kind == TemplateLookupKind && Lookup.Template && *Lookup.Template != Plan.Number) {
      const bool known = std::any_of(Plan.Subs.begin(), Plan.Subs.end(),
                                     [&](const TSubTemplate& s) { return s.Number == *Lookup.Template; });
      if (!known) {
        if (auto sub = FindMaster(2, MasterNumberKey(*Lookup.Template)))
          Plan.Subs.push_back({sub->Number, TrimRight(sub->Name)});
      }
    } else if (Lookup.Kind == ListLookupKind) {
      const bool known = std::any_of(Plan.Lists.begin(), Plan.Lists.end(), [&](const TListRef& l) {
        return Lookup.List ? l.Number == Lookup.List : (!l.Number && l.Target == Lookup.Target);
      });
      if (!known)
        Plan.Lists.push_back({Lookup.List, Lookup.Target,
                              Lookup.List ? ListLine(*Lookup.List) : "User List:  " + Lookup.Target});
    }
    return false;
  });
}

// Steps 2 and 3: the template's number and components. False after the message.
bool PlanExport(const std::string& Name, TExportPlan& Plan) {
  Plan.Name = TrimRight(Name);
  const TSlotCloser closeMaster(MasterFileNo);
  try {
    const TFileLockMsgScope retry(OpenRetryMsg);
    BtrCloseFile(MasterFileNo);
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  } catch (const std::exception& e) {
    ErrorBox("Unable to export " + Plan.Name + ".  Cannot open MASTER.DSC." + "\r\r" + ErrorLead + ExceptionText(e));
    return false;
  }
  try {
    const auto found = FindMaster(1, MasterNameKey(Plan.Name));
    if (!found) {
      ErrorBox("Unable to find '" + Plan.Name + "'." + ContactMsg);
      return false;
    }
    Plan.Number = found->Number;
  } catch (const std::exception& e) {
    ErrorBox("Unable to export " + Plan.Name + ".  Cannot open MASTER.DSC." + "\r\r" + ErrorLead + ExceptionText(e));
    return false;
  }
  const TSlotCloser closeDescriptor(DescriptorFileNo);
  try {
    const TFileLockMsgScope retry(OpenRetryMsg);
    const TSaveLock lock = AcquireSaveLock(Store.DataDir, Plan.Number.Value(), TSaveLockMode::Shared,
                                           DescriptorFileName(Plan.Number), OpenRetryMsg);
    BtrCloseFile(DescriptorFileNo);
    BtrOpenFile(DescriptorFileNo, DescriptorFileName(Plan.Number), 0);
    ScanComponents(Plan);
  } catch (const std::exception& e) {
    ErrorBox(ErrorLead + ExceptionText(e) + "\r\r" +
             "Unable to open description file.  You will not be able to export your template at this time." +
             ContactMsg);
    return false;
  }
  return true;
}

std::string JoinLines(const std::vector<std::string>& Lines) {
  std::string joined;
  for (const std::string& line : Lines) joined += (joined.empty() ? "" : ComponentLineBreak) + line;
  return joined;
}

std::string ConfirmText(const TExportPlan& Plan, const std::string& Folder) {
  if (Plan.Subs.empty() && Plan.Lists.empty())
    return "Ready to export " + Plan.Name + " to the folder " + Folder + "." + "\r\r" + "Continue?";
  std::string text = "Ready to export " + Plan.Name + " and the associated components:";
  std::vector<std::string> subs;
  for (const TSubTemplate& s : Plan.Subs) subs.push_back("Sub Template:  " + s.Name);
  std::vector<std::string> lists;
  for (const TListRef& l : Plan.Lists) lists.push_back(l.Line);
  for (const auto* group : {&subs, &lists})
    if (!group->empty()) text += "\r\r\t" + JoinLines(*group);
  return text + "\r" + "to the folder " + Folder + ".      Continue?";
}

// Step 4: the folder, refused when it is a drive root, holds a database or
// has no free set. Nothing after the message or a cancel.
std::optional<std::string> ChooseExportFolder(const TFolderChooser& ChooseFolder, int& Set) {
  const std::optional<std::string> folder = ChooseFolder(ExportFolderPrompt);
  if (!folder) return std::nullopt;
  if (IsDriveRoot(*folder)) {
    Inform("You may not export a template to the root directory of a drive.");
    return std::nullopt;
  }
  if (FileExists(*folder + "\\master.dsc")) {
    Inform("You may not export a template to a folder already containing a Corvenstead Matterdesk database.");
    return std::nullopt;
  }
  const std::optional<int> free = FreeExportSet(*folder);
  if (!free) {
    Inform("There is a limit of 100 exported templates in a folder. You have reached that limit.  You may either "
           "select a different export folder or delete some of the previously exported templates (*.ds1 files) "
           "from the current folder.");
    return std::nullopt;
  }
  Set = *free;
  return folder;
}

// The files this export wrote, removed again unless the export completes.
class TWrittenFiles {
public:
  ~TWrittenFiles() {
    if (!kept_)
      for (const std::string& f : files_) DeleteFile(f);
  }
  void Add(const std::string& File) { files_.push_back(File); }
  void Keep() { kept_ = true; }

private:
  std::vector<std::string> files_;
  bool kept_ = false;
};

// One template's descriptor and data file under its shared save lock.
// False after the message.
bool CopyTemplatePair(const TTemplateNumber& Number, const std::string& Folder, const TExportFileName& Descriptor,
                      TWrittenFiles& Written) {
  const std::string dsc = DescriptorFileName(Number);
  const std::string data = DataFileName(Number);
  TSaveLock lock;
  try {
    const TFileLockMsgScope retry(OpenRetryMsg);
    lock = AcquireSaveLock(Store.DataDir, Number.Value(), TSaveLockMode::Shared, dsc, OpenRetryMsg);
  } catch (const std::exception&) {
    ErrorBox("Unable to copy " + dsc + "." + ContactMsg);
    return false;
  }
  const TExportFileName dataName{Descriptor.Set, Number, TExportFileKind::DataFile};
  for (const auto& [source, target] : {std::pair{dsc, ExportFileName(Descriptor)}, std::pair{data, ExportFileName(dataName)}}) {
    const std::string path = Folder + "\\" + target;
    if (!CopyFile(source, path, true)) {
      ErrorBox("Unable to copy " + source + "." + ContactMsg);
      return false;
    }
    Written.Add(path);
  }
  return true;
}

void CopyList(const TListRef& List, const std::string& Folder) {
  const std::string source = List.Number ? UserListPath(*List.Number) : List.Target;
  if (!List.Number || !CopyFile(source, Folder + "\\" + ListFileName(*List.Number), true))
    ErrorBox("Unable to copy user list " + source + "." + "\r\r" +
             "This will not prevent the rest of your export operation from completing." + ContactMsg);
}

}  // namespace

bool ExportTemplate(const std::string& Name, const TFolderChooser& ChooseFolder) {
  if (TrimRight(Name).empty()) {
    Inform("Please highlight the template you wish to export.");
    return false;
  }
  TExportPlan plan;
  {
    const TBusyCursor busy;
    if (!PlanExport(Name, plan)) return false;
  }
  int set = 0;
  const std::optional<std::string> folder = ChooseExportFolder(ChooseFolder, set);
  if (!folder) return false;
  if (MessageDlg(ConfirmText(plan, *folder), mtConfirmation, mbYesNo) != mrYes) return false;

  const TBusyCursor busy;
  TWrittenFiles written;
  if (!CopyTemplatePair(plan.Number, *folder, {set, plan.Number, TExportFileKind::MainDescriptor}, written))
    return false;
  for (const TSubTemplate& sub : plan.Subs)
    if (!CopyTemplatePair(sub.Number, *folder, {set, sub.Number, TExportFileKind::SubDescriptor}, written))
      return false;
  written.Keep();
  for (const TListRef& list : plan.Lists) CopyList(list, *folder);
  Inform("Your template was successfully exported!");
  return true;
}
