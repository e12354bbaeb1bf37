// New, modify and entry; the master scan they share with rename and copy.
#include "mainwin/template_commands.h"

#include "btrieve/numbered_files.h"
#include "mainwin/template_list.h"
#include "mainwin/template_master_scan.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/file_slot_guards.h"
#include "templates/master_file.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"

namespace {

constexpr uint8_t DataFileNo = 2;
constexpr int8_t ReadOnlyMode = -2;

const std::string CannotRunLine = "You will not be able to run this application until this situation is corrected.";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }
bool Asked(const std::string& Question) { return MessageDlg(Question, mtConfirmation, mbYesNo) == mrYes; }

void ResetChangeFlags() {
  Store.JustifyChanged = false;
  Store.MinMaxChanged = false;
  Store.ListFldWidened = false;
  Store.LayoutChanged = false;
}

// Modifying and the change flags set for a modification and cleared
// however it ends.
class TModifyingScope {
public:
  TModifyingScope() {
    Store.Modifying = true;
    ResetChangeFlags();
  }
  ~TModifyingScope() {
    Store.Modifying = false;
    ResetChangeFlags();
  }
  TModifyingScope(const TModifyingScope&) = delete;
  TModifyingScope& operator=(const TModifyingScope&) = delete;
};

// The designer shown; what it raised is told, the command goes on.
void RunDesignerTold(TDesignerScreen& Designer, bool Modifying) {
  try {
    Designer.RunDesigner(Modifying);
  } catch (const std::exception& e) {
    ErrorBox("An error was encountered while attempting to run the template modification routines.\r\r" +
             std::string(e.what()) + ContactMsg);
  }
}

// Whether the data file holds records, read in Mode; false after the
// message when it is missing or cannot be opened.
bool CountData(const TTemplateNumber& Number, int8_t Mode, bool& HasRecords) {
  const std::string name = DataFileName(Number);
  if (!FileExists(name)) {
    ErrorBox("A required file is missing:  " + name + "." + ContactMsg);
    return false;
  }
  try {
    const TFileLockMsgScope lockText(TemplateRetryText("Unable to open the data file for this template."));
    BtrOpenFile(DataFileNo, name, Mode);
    const TSlotCloser data(DataFileNo);
    HasRecords = BtrRecordCount(DataFileNo) > 0;
  } catch (const std::exception& e) {
    ErrorBox("Error:  " + std::string(e.what()) + "\r\r" + "You will not be able to access your template at this time." +
             ContactMsg);
    return false;
  }
  return true;
}

}  // namespace

const std::string BackupQuestion =
    "We suggest that you back up your data before you modify a template. \r\rClick YES to exit so that you can make "
    "your backup.\r\rClick NO to continue anyway.";

std::string NameReusedMsg(const std::string& Name) {
  return "The name " + Trim(Name) + " is already assigned to an " + "existing template.  It may not be re-used.";
}

void TemplateCommands::Userdefined1Click() {
  CopyMode = false;
  std::string name;
  if (!screens_.Prompt.AskName({"Name of template :", "Creating a New Template"}, name)) return;
  if (screens_.List.Listed(Trim(name))) return ErrorBox(NameReusedMsg(name));
  ClearFieldTables();
  Store.HasData = false;
  Store.TplName = Trim(name);
  ResetDescriptorForm();
  DesignerLink().SetCaption("Creating Vezadaz Template:            " + Store.TplName);
  RunDesignerTold(screens_.Designer, false);
  CloseMasterQuietly();
  screens_.List.Reload();
  if (!TplSaved) return;
  TplSaved = false;
  // Asked only once layout printing is there to answer a Yes.
  if (!PrintLayout) return;
  if (Asked("We strongly recommend that you print a copy of the layout for the template '" + Store.TplName + "'." +
            "\r\r" + "Do you want Corvenstead to print a copy now?" + "\r\r" +
            "(If you say NO, you can print the template layout at any time by hightlighting" + "\r" +
            "the template name and selecting 'Print layout' from the Edit menu.)")) {
    PrintLayout();
  }
}

bool TemplateCommands::Modify1Click(TModifySender Sender) {
  const std::string item = screens_.List.SelectedItem();
  if (item.empty()) {
    MessageDlg("Highlight a template first.", mtInformation, mbOKOnly);
    return false;
  }
  if (Sender == TModifySender::Modify && Asked(BackupQuestion)) return false;
  const TBusyCursor busy;
  try {
    OpenMaster(MasterOpenLockMsg);
  } catch (const std::exception& e) {
    ErrorBox("Unable to open the file MASTER.DSC.\r\r" + std::string(e.what()) + "\r\r" + CannotRunLine + ContactMsg);
    screens_.List.EndProgram();
    return false;
  }
  // Slot 1 is closed on every way out; a modification keeps it (and the
  // record's lock) while the designer shows.
  const TSlotCloser master(MasterFileNo);
  std::optional<TMasterRecord> found;
  try {
    const bool lock = Sender == TModifySender::Modify || Sender == TModifySender::Rename;
    found = FindMasterRecord(item, lock);
  } catch (const std::exception& e) {
    ErrorBox("Unable to access the file MASTER.DSC.\r\r" + std::string(e.what()) + "\r\r" + CannotRunLine +
             ContactMsg);
    screens_.List.EndProgram();
    return false;
  }
  if (!found) {
    ErrorBox("Unable to read description data for your template." + ContactMsg);
    return false;
  }
  Store.TplName = found->Name;
  Store.TplNumber = found->Number.ZeroFilled();
  if (Sender == TModifySender::Rename) {
    RenameOrCopy(found->Number);
    return false;
  }
  if (!LoadTables(found->Number, Sender)) return false;
  if (Sender == TModifySender::Modify) RunModification(screens_.List.SelectedRow());
  return true;
}

bool TemplateCommands::LoadTables(const TTemplateNumber& Number, TModifySender Sender) {
  if (!FileExists(DescriptorFileName(Number))) {
    ErrorBox("The description file associated with " + Store.TplName + " could not be found." + "\r" +
             "You will not be able to modify this template or access any data that" + "\r" +
             "may exist at the current time." + ContactMsg);
    return false;
  }
  if (!LoadTemplateDescriptor(Number.ZeroFilled())) return false;
  // The print path ends with the tables loaded.
  if (Sender == TModifySender::Print) return true;
  bool hasRecords = false;
  const int8_t mode = Sender == TModifySender::Modify ? ReadOnlyMode : 0;
  if (!CountData(Number, mode, hasRecords)) return false;
  Store.HasData = Sender == TModifySender::Modify && hasRecords;
  return true;
}

void TemplateCommands::RunModification(int Row) {
  {
    const TModifyingScope modifying;
    RunDesignerTold(screens_.Designer, true);
  }
  CloseMasterQuietly();
  screens_.List.Reload();
  screens_.List.SelectRow(Row);
}

void TemplateCommands::EntryMaintenancefor1Click() {
  if (screens_.List.SelectedItem().empty()) return;
  if (!Modify1Click(TModifySender::Entry)) return;
  Store.OpenTplNumber = Store.TplNumber;
  screens_.Entry.RunEntry();
}
