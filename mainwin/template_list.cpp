#include "mainwin/template_list.h"

#include "btrieve/numbered_files.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/log.h"
#include "platform/text.h"
#include "templates/descriptor_listing.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/email_templates.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

TMainWindowFlags MainFlags;

std::string MasterRetryText(const std::string& Lead) {
  return Lead +
         "\r\rIt is possible that another user is performing an operation that requires exclusive\raccess to this "
         "file.  You may retry this operation and this message will reappear if\rthe file remains inaccessable.  "
         "Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";
}

const std::string MasterOpenLockMsg = MasterRetryText("Unable to open this file.");

namespace {

const std::string CannotRunLine = "You will not be able to run this application until this situation is corrected.";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

// The e-mail templates found while reading, and the six number characters
// of the workstation's "CLCA.IDX" line (client first, then matter).
struct TEmailFinds {
  bool Client = false;
  bool Matter = false;
  std::string Pair = std::string(6, ' ');
};

// Notes Entry (a template-list entry) when it is an e-mail template; the
// names are compared with their full padding.
void NoteEmailTemplate(const std::string& Entry, TEmailFinds& Finds) {
  const std::string name = Entry.substr(0, MasterName.Width);
  const std::string number = Entry.substr(MasterName.Width, MasterNumber.Width);
  if (name == MasterNameKey(ClientEmailName)) {
    Finds.Client = true;
    Finds.Pair.replace(0, number.size(), number);
  } else if (name == MasterNameKey(MatterEmailName)) {
    Finds.Matter = true;
    Finds.Pair.replace(MasterNumber.Width, number.size(), number);
  }
}

// Whether the entry is the item to select: the template just saved, else
// the template parameter 2 names (compared with the stored number without
// its leading blanks, so "007" names nothing). A later entry chosen wins.
bool ChoosesEntry(const std::string& Entry) {
  if (TplSaved && Trim(Entry.substr(0, MasterName.Width)) == Trim(Store.TplName)) return true;
  if (ParamStr(2) != TrimLeft(Entry.substr(MasterName.Width))) return false;
  Startup.DirectMode = true;
  Startup.IsChildApp = ParamStr(7) == "1";
  if (!Startup.IsChildApp) Startup.SingleTemplateMode = true;
  return true;
}

// Every master record, file 1 open: Store.TemplateList and the items. A
// master holding more records than the list raises naming the list.
void ReadMasterRecords(TTemplateListing& Listing, TEmailFinds& Finds) {
  Store.TemplateList.Fill("");
  BtrSetKeyNumber(MasterFileNo, static_cast<int8_t>(MasterKeySegments[1].KeyNo));
  TDynCharArr rec(MasterRecordLength);
  bool atEnd = false;
  int i = 0;
  for (BtrGetFirst(MasterFileNo, rec, atEnd, false); !atEnd; BtrGetNext(MasterFileNo, rec, atEnd, false)) {
    const std::string entry =
        MasterText(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size()));
    ++i;
    Store.TemplateList[i] = entry;
    Listing.Items.push_back(entry.substr(0, MasterName.Width));
    NoteEmailTemplate(entry, Finds);
    if (ChoosesEntry(entry)) Listing.Selected = i - 1;
  }
}

// The workstation's line in "CLCA.IDX" once the e-mail templates exist. The
// list goes on without it; the next start tries again.
void RegisterWorkstation(const std::string& Pair) {
  if (ClcaIndexHasWorkstation(Startup.WSID)) return;
  if (!WriteClcaIndex(Startup.WSID, Format("%-2s%-6s", Startup.WSID, Pair)))
    LogWarning("could not write the line of workstation \"" + Startup.WSID + "\" into " + ClcaIndexName());
}

TListOutcome ReadMasterFile(TTemplateListing& Listing) {
  try {
    TFileLockMsgScope lockText(MasterOpenLockMsg);
    BtrCloseFile(MasterFileNo);
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  } catch (const std::exception& e) {
    ErrorBox("Unable to open the file MASTER.DSC.\r\r" + std::string(e.what()) + "\r\r" + CannotRunLine + ContactMsg);
    return TListOutcome::Terminate;
  }
  MainFlags.OwnHandle = MainWindowHandle();
  TEmailFinds finds;
  try {
    ReadMasterRecords(Listing, finds);
    BtrCloseFile(MasterFileNo);
  } catch (const std::exception& e) {
    // A damaged record may fail in the standard library too; it ends here
    // like any other failure.
    try {
      BtrCloseFile(MasterFileNo);
    } catch (const std::exception&) {
    }
    ErrorBox("Unable to access records in the file MASTER.DSC.\r\r" + std::string(e.what()) + "\r\r" + CannotRunLine +
             ContactMsg);
    return TListOutcome::Terminate;
  }
  MainFlags.NoEmailTemplates = !finds.Client && !finds.Matter;
  if (MainFlags.NoEmailTemplates) {
    Listing.OfferEmailSetup = true;
  } else {
    RegisterWorkstation(finds.Pair);
  }
  return TListOutcome::Listed;
}

TListOutcome ListTemplates(TTemplateListing& Listing) {
  const bool masterFound = FileExists(MasterFileName());
  if (!masterFound && TemplatesExist()) {
    ErrorBox("A required file MASTER.DSC could not be found.  The application cannot function without it." +
             ContactMsg);
    return TListOutcome::Terminate;
  }
  if (masterFound) {
    const TListOutcome read = ReadMasterFile(Listing);
    if (read != TListOutcome::Listed || !Listing.Items.empty() || TemplatesExist()) return read;
  }
  // No template at all, whatever made it so: the e-mail templates go in as
  // on a first run.
  if (InstallWhereNoTemplates(MasterOpenLockMsg) == TFirstRun::Failed) return TListOutcome::Terminate;
  Listing = TTemplateListing();
  return ReadMasterFile(Listing);
}

}  // namespace

bool InstallRequested() { return ParamStr(1) == "X"; }

TListOutcome LoadTemplateList(TTemplateListing& Listing, bool Install) {
  Listing = TTemplateListing();
  // A save cut short elsewhere leaves a template half written; it is put
  // back whole before anything lists or opens it.
  RecoverTemplatesAtStartup(Store.DataDir);
  const TListOutcome outcome = ListTemplates(Listing);
  // A run started to install never shows the window.
  return Install && outcome == TListOutcome::Listed ? TListOutcome::Installed : outcome;
}

std::string QuotedItemName(const std::string& Item) { return "'" + TrimRight(Item) + "'"; }

void RemoveTemplateListEntry(const std::string& Name) {
  TTemplateNames& list = Store.TemplateList;
  for (int i = 1; i <= MaxListEntries && !list[i].empty(); ++i) {
    if (Trim(list[i].substr(0, MasterName.Width)) != Trim(Name)) continue;
    for (int j = i; j < MaxListEntries; ++j) list[j] = list[j + 1];
    list[MaxListEntries] = "";
    return;
  }
}
