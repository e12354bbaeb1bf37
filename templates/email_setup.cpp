#include "templates/email_setup.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "templates/busy_creation.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/descriptor_listing.h"
#include "templates/email_templates.h"
#include "templates/file_slot_guards.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"

#include <array>
#include <vector>

namespace {

constexpr size_t CreateMsgLength = 255;
constexpr int ClientDataLength = 659;
constexpr int MatterDataLength = 626;
constexpr uint16_t KeyFieldPos = 5;
constexpr uint16_t CaseFieldPos = 12;
constexpr uint16_t KeyFieldLen = 7;
constexpr uint8_t InstallMasterNo = 0;  // the numbers an installation uses
constexpr uint8_t InstallMatterNo = 1;

constexpr std::array<TKeySegment, 2> ClientDataKeys{
    PrefixKeySegment, TKeySegment{1, 0, KeyFieldPos, KeyFieldLen, false, true, false}};
constexpr std::array<TKeySegment, 4> MatterDataKeys{
    PrefixKeySegment, TKeySegment{1, 0, KeyFieldPos, KeyFieldLen, true, true, false},
    TKeySegment{2, 0, KeyFieldPos, KeyFieldLen, false, true, false},
    TKeySegment{2, 1, CaseFieldPos, KeyFieldLen, false, true, false}};

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

// After a failure already being reported, a close that fails too has
// nothing to add.
void CloseQuietly(uint8_t FileNo) {
  try {
    BtrCloseFile(FileNo);
  } catch (const Exception&) {
  }
}

void RemoveFiles(const std::vector<std::string>& Names) {
  for (const std::string& name : Names) DeleteFile(name);
}

// Removes the master records of these numbers from the master file, open
// as file 1. Best effort: what cannot be removed stays for the rebuild.
void RemoveMasterRecords(const std::vector<int>& Numbers) {
  TDynCharArr buf(MasterRecordLength);
  for (int n : Numbers) {
    try {
      BtrSetKeyNumber(MasterFileNo, static_cast<int8_t>(MasterKeySegments[2].KeyNo));
      if (BtrGetEqual(MasterFileNo, MasterNumberKey(TTemplateNumber(n)), buf, true)) BtrDeleteRecord(MasterFileNo);
    } catch (const Exception&) {
    }
  }
}

// Makes Name with the layout; a failure shows Lead + "\r" + the creation
// message + ContactMsg.
template <size_t N>
bool CreateFile(const std::string& Name, uint16_t RecLen, const std::array<TKeySegment, N>& Keys,
                const std::string& Lead) {
  std::string msg;
  if (BtrCreateFile(Name, RecLen, static_cast<int8_t>(N), msg, CreateMsgLength, true, Keys)) return true;
  ErrorBox(Lead + "\r" + msg + ContactMsg);
  return false;
}

// The master records of both e-mail templates under 0 and 1, into the
// master file that holds none. On failure, after the message, the master
// file is removed: the next start makes it again.
bool InsertInstallationRecords() {
  const std::string name = MasterFileName();
  try {
    BtrCloseFile(MasterFileNo);
    BtrOpenFile(MasterFileNo, name, 0);
    // Both records or neither: another workstation may list the new master
    // at any moment, and registers whatever pair it finds there for good.
    BtrBeginTransaction();
    InsertMasterRecord(TTemplateNumber(InstallMasterNo).Stored(), ClientEmailName);
    InsertMasterRecord(TTemplateNumber(InstallMatterNo).Stored(), MatterEmailName);
    BtrEndTransaction();
    BtrCloseFile(MasterFileNo);
  } catch (const Exception& e) {
    AbortTransactionQuietly();
    CloseQuietly(MasterFileNo);
    DeleteFile(name);
    ErrorBox(e.Message + ContactMsg);
    return false;
  }
  return true;
}

// No descriptor lies in the data folder, and the master file is missing or
// holds no record. Raises when the master cannot be opened.
bool HoldsNoTemplate() {
  if (TemplatesExist()) return false;
  const std::string name = MasterFileName();
  if (!FileExists(name)) return true;
  BtrCloseFile(MasterFileNo);
  BtrOpenFile(MasterFileNo, name, 0);
  const int records = BtrRecordCount(MasterFileNo);
  BtrCloseFile(MasterFileNo);
  return records == 0;
}

}  // namespace

TMasterCreation CreateMasterFile(bool Install) {
  const std::string name = MasterFileName();
  std::string msg;
  const TMaking made = MakeUnlessMadeMeanwhile(name, [&] {
    return CreationAttempt(BtrCreateFile(name, MasterRecordLength, static_cast<int8_t>(MasterKeySegments.size()), msg,
                                         CreateMsgLength, true, MasterKeySegments),
                           msg);
  });
  if (made == TMaking::MadeMeanwhile) return TMasterCreation::Existed;
  if (made == TMaking::Failed) {
    ErrorBox("Unable to create file " + Store.DataDir + "\\MASTER.DSC." + "\r\r" + msg + ContactMsg);
    return TMasterCreation::Failed;
  }
  if (!Install) return TMasterCreation::Created;
  return InsertInstallationRecords() ? TMasterCreation::Created : TMasterCreation::Failed;
}

bool CreateEmailDescriptor(int ClientNo, int MatterNo, bool /*Install*/) {
  struct TPlan {
    std::string Name;
    std::vector<std::string> Texts;
    const char* Lead;
  };
  const std::array<TPlan, 2> plans{
      TPlan{DescriptorFileName(TTemplateNumber(ClientNo)), EmailDescriptorTexts(TEmailTemplate::Client),
            " for emailtemplate:"},
      TPlan{DescriptorFileName(TTemplateNumber(MatterNo)), EmailDescriptorTexts(TEmailTemplate::Matter),
            " for email template:"}};
  std::vector<std::string> made;
  for (const TPlan& plan : plans) {
    if (!CreateFile(plan.Name, DscRecordLength, DescriptorKeySegments,
                    "Unable to create new description file " + plan.Name + plan.Lead)) {
      RemoveFiles(made);
      return false;
    }
    made.push_back(plan.Name);
  }
  for (const TPlan& plan : plans) {
    try {
      BtrOpenFile(DescriptorFileNo, plan.Name, 0);
      for (const std::string& text : plan.Texts) BtrInsertRecord(DescriptorFileNo, text);
      BtrCloseFile(DescriptorFileNo);
    } catch (const Exception& e) {
      CloseQuietly(DescriptorFileNo);
      RemoveFiles(made);
      ErrorBox(e.Message + ContactMsg);
      return false;
    }
  }
  return true;
}

bool CreateEmailDataFile(int ClientNo, int MatterNo, bool /*Install*/) {
  const std::string client = DataFileName(TTemplateNumber(ClientNo));
  const std::string matter = DataFileName(TTemplateNumber(MatterNo));
  if (!CreateFile(client, ClientDataLength, ClientDataKeys,
                  "Unable to create new data file " + client + " for email template:")) {
    return false;
  }
  if (!CreateFile(matter, MatterDataLength, MatterDataKeys,
                  "Unable to create new data file " + matter + " for email template:")) {
    RemoveFiles({client});
    return false;
  }
  return true;
}

bool InstallEmailTemplates() {
  if (CreateEmailDescriptor(InstallMasterNo, InstallMatterNo, true)) {
    if (CreateEmailDataFile(InstallMasterNo, InstallMatterNo, true)) return true;
    RemoveFiles({DescriptorFileName(TTemplateNumber(InstallMasterNo)),
                 DescriptorFileName(TTemplateNumber(InstallMatterNo))});
  }
  DeleteFile(MasterFileName());
  return false;
}

TFirstRun InstallWhereNoTemplates(const std::string& LockMsg) {
  try {
    const TSaveLock client =
        AcquireSaveLock(Store.DataDir, InstallMasterNo, TSaveLockMode::Exclusive, MasterFileName(), LockMsg);
    const TSaveLock matter =
        AcquireSaveLock(Store.DataDir, InstallMatterNo, TSaveLockMode::Exclusive, MasterFileName(), LockMsg);
    // Looked at again under the locks: a start that held them before has
    // installed, or failed and left nothing.
    if (!HoldsNoTemplate()) return TFirstRun::NotNeeded;
    if (!FileExists(MasterFileName())) {
      switch (CreateMasterFile(true)) {
        case TMasterCreation::Failed:
          return TFirstRun::Failed;
        case TMasterCreation::Existed:
          return TFirstRun::NotNeeded;
        case TMasterCreation::Created:
          break;
      }
    } else if (!InsertInstallationRecords()) {
      return TFirstRun::Failed;
    }
    return InstallEmailTemplates() ? TFirstRun::Installed : TFirstRun::Failed;
  } catch (const Exception& e) {
    CloseQuietly(MasterFileNo);
    ErrorBox(e.Message + ContactMsg);
    return TFirstRun::Failed;
  }
}

TEmailSetup SetupEmailTemplates(const std::string& WSID) {
  const std::string failLead = "Unable to install email templates at this time: \r\r";
  try {
    BtrCloseFile(MasterFileNo);
    BtrOpenFile(MasterFileNo, MasterFileName(), MasterExclusiveMode);
  } catch (const Exception& e) {
    ErrorBox("Unable to open the file MASTER.DSC.\r\r" + e.Message + "\r\r" +
             "You will not be able to run this application until this situation is corrected." + ContactMsg);
    return TEmailSetup::Terminate;
  }
  int n = 0;
  std::vector<int> inserted;
  try {
    if (!FindEmailTemplatePair(n)) {
      BtrCloseFile(MasterFileNo);
      ErrorBox("You currently have at least 998 templates!\rYou must delete at least 1 existing template to import "
               "the email templates at this time.");
      return TEmailSetup::NotCreated;
    }
  } catch (const Exception&) {
    BtrCloseFile(MasterFileNo);
    ErrorBox(failLead + "Procedure to prepare MASTER.DSC to receive new records failed.  " + ContactMsg);
    return TEmailSetup::NotCreated;
  }
  try {
    InsertMasterRecord(TTemplateNumber(n).Stored(), ClientEmailName);
    inserted.push_back(n);
    InsertMasterRecord(TTemplateNumber(n + 1).Stored(), MatterEmailName);
    inserted.push_back(n + 1);
  } catch (const Exception&) {
    RemoveMasterRecords(inserted);
    BtrCloseFile(MasterFileNo);
    ErrorBox(failLead + "Unable to write new records to MASTER.DSC.  " + ContactMsg);
    return TEmailSetup::NotCreated;
  }
  BtrCloseFile(MasterFileNo);
  bool made = CreateEmailDescriptor(n, n + 1, false);
  if (made && !CreateEmailDataFile(n, n + 1, false)) {
    RemoveFiles({DescriptorFileName(TTemplateNumber(n)), DescriptorFileName(TTemplateNumber(n + 1))});
    made = false;
  }
  if (!made) {
    try {
      BtrOpenFile(MasterFileNo, MasterFileName(), MasterExclusiveMode);
      RemoveMasterRecords(inserted);
      BtrCloseFile(MasterFileNo);
    } catch (const Exception&) {
    }
    return TEmailSetup::NotCreated;
  }
  if (!WriteClcaIndex(WSID, ClcaLine(WSID, n, n + 1))) {
    MessageDlg("Unable to register the email templates at this time." + ContactMsg, mtInformation, mbOKOnly);
  } else {
    MessageDlg(
        "The email templates were successfully created and are available for your use!\r\rTo facilitate the use of "
        "these templates, the next time you are on the Client and Matter screens select Options|Default Matterdesk "
        "Template.  A list of all your templates will appear.  Click on the appropriate template and that will "
        "enable you to go from the Client or Matter screen to the corresponding email template in a single click.  "
        "This procedure need only be performed once.  Contact Ondral, Inc. if you desire assistance.",
        mtConfirmation, mbOKOnly);
  }
  return TEmailSetup::Created;
}
