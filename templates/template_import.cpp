#include "templates/template_import.h"

#include "btrieve/numbered_files.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
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
#include "templates/user_list_import.h"
#include "templates/user_list_store.h"

#include <algorithm>
#include <cerrno>

namespace {

const std::string ProcessFailed = "Unable to process files for importing.  ";
const std::string MasterWriteFailed = "Unable to write new record(s) to Master.DSC.";
constexpr int MaxTempCopies = 100000;

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

std::string FileNamePart(const std::string& Path) {
  const size_t at = Path.find_last_of("\\/");
  return at == std::string::npos ? Path : Path.substr(at + 1);
}

std::string FolderPart(const std::string& Path) {
  const size_t at = Path.find_last_of("\\/");
  return at == std::string::npos ? "." : Path.substr(0, at);
}

std::string TempName(int K, const char* Extension) { return Store.DataDir + "\\IMP" + IntToStr(K) + Extension; }

// A copy of Source under a temporary name of the data folder no other file
// has; "" when the copy failed.
std::string CopyToTemp(const std::string& Source, const char* Extension) {
  for (int k = 0; k < MaxTempCopies; ++k) {
    const std::string target = TempName(k, Extension);
    if (FileExists(target)) continue;
    if (CopyFile(Source, target, true)) return target;
    if (errno != EEXIST) return "";
  }
  return "";
}

std::string RecordText(const TDynCharArr& Rec) { return std::string(Rec.begin(), Rec.end()); }

void CloseQuietly(uint8_t FileNo) {
  try {
    BtrCloseFile(FileNo);
  } catch (const std::exception&) {
  }
}

// The rewrites of one copied descriptor commit together: one flush of the
// journal for the file, not one per record.
void RewriteFieldRecords(const std::function<bool(const TSetLookup&, std::string& Text)>& Visit) {
  BtrBeginTransaction();
  try {
    ForEachFieldRecord(DescriptorFileNo, Visit);
    BtrEndTransaction();
  } catch (...) {
    // Also when the end failed: the transaction must not outlive the import.
    try {
      BtrAbortTransaction();
    } catch (const std::exception&) {
    }
    throw;
  }
}

const std::string TempDescriptorExt = ".TDS";
const std::string TempDataExt = ".TQD";

}  // namespace

TTemplateImport::TTemplateImport(std::string ChosenFile, TNameAsker AskName)
    : folder_(FolderPart(ChosenFile)), chosen_(FileNamePart(ChosenFile)), askName_(std::move(AskName)) {}

TTemplateImport::~TTemplateImport() {
  if (!committed_) Undo();
  CloseQuietly(DescriptorFileNo);
  if (masterOpen_) CloseQuietly(MasterFileNo);
  for (const TImported& t : templates_) {
    if (!t.TempDescriptor.empty()) DeleteFile(t.TempDescriptor);
    if (!t.TempData.empty()) DeleteFile(t.TempData);
  }
}

bool TTemplateImport::Run() {
  if (!CopyImportMainFiles() || !CopyImportSubTemplates()) return false;
  if (!NextTemplateNumber() || !LoadTemplateNames() || !ScanDescriptors()) return false;
  if (!ConfirmImport()) return false;
  return ImportLists() && CommitImport();
}

bool TTemplateImport::CopyPair(const std::string& Descriptor, const std::string& DescriptorKind,
                               const TTemplateNumber& Old) {
  const std::string source = folder_ + "\\" + Descriptor;
  // The data file: the descriptor's first 9 characters ("EXP05007.") + "qmd".
  const std::string stem = Descriptor.substr(0, 9);
  const std::string data = folder_ + "\\" + stem + "qmd";
  if (!FileExists(source)) {
    ErrorBox("The file " + Descriptor + " could not be found!");
    return false;
  }
  if (!FileExists(data)) {
    ErrorBox("The file " + stem + "QMD could not be found!");
    return false;
  }
  TImported imported;
  imported.Old = Old;
  templates_.push_back(imported);
  TImported& t = templates_.back();
  t.TempDescriptor = CopyToTemp(source, TempDescriptorExt.c_str());
  if (t.TempDescriptor.empty()) {
    ErrorBox(ProcessFailed + "(" + DescriptorKind + " copy failed)");
    return false;
  }
  t.TempData = CopyToTemp(data, TempDataExt.c_str());
  if (t.TempData.empty()) {
    ErrorBox(ProcessFailed + "(QMD copy failed)");
    return false;
  }
  return true;
}

bool TTemplateImport::CopyImportMainFiles() {
  const auto name = ParseExportFileName(chosen_);
  if (!name || name->Kind != TExportFileKind::MainDescriptor) {
    ErrorBox("The file " + chosen_ + " could not be found!");
    return false;
  }
  set_ = name->Set;
  main_ = name->Number;
  const TBusyCursor busy;
  return CopyPair(chosen_, "DS1", main_);
}

bool TTemplateImport::CopyImportSubTemplates() {
  const TBusyCursor busy;
  for (const TTemplateNumber& sub : ExportSubTemplates(folder_, set_, main_))
    if (!CopyImportSubFiles(sub)) return false;
  return true;
}

bool TTemplateImport::CopyImportSubFiles(const TTemplateNumber& Old) {
  // The name as it lies in the folder, whatever its case.
  const std::string wanted = ExportFileName({set_, Old, TExportFileKind::SubDescriptor});
  const std::vector<FileEntry> found = FindFiles(folder_ + "\\" + wanted);
  return CopyPair(found.empty() ? wanted : found.front().Name, "DSC", Old);
}

bool TTemplateImport::NextTemplateNumber() {
  try {
    const TFileLockMsgScope retry(DefaultFileLockMsg);
    CloseQuietly(MasterFileNo);
    BtrOpenFile(MasterFileNo, MasterFileName(), MasterExclusiveMode);
    masterOpen_ = true;
    TDynCharArr buf(MasterRecordLength);
    const std::vector<TTemplateNumber> numbers = ::NextTemplateNumber(buf, int(templates_.size()));
    for (size_t i = 0; i < templates_.size(); ++i) templates_[i].New = numbers.at(i);
    return true;
  } catch (const EBtrAbort& e) {
    ErrorBox(MasterWriteFailed + "\r\r" + "Error:  " + e.Message);
  } catch (const EAbort&) {  // the limit message has been shown
  } catch (const std::exception& e) {
    ErrorBox(MasterWriteFailed + "\r\r" + "Error:  " + ExceptionText(e));
  }
  return false;
}

bool TTemplateImport::LoadTemplateNames() {
  try {
    BtrSetKeyNumber(MasterFileNo, 1);
    TDynCharArr rec(MasterRecordLength);
    bool atEnd = false;
    for (BtrGetFirst(MasterFileNo, rec, atEnd, false); !atEnd; BtrGetNext(MasterFileNo, rec, atEnd, false))
      takenKeys_.push_back(MasterNameKey(ParseMasterText(MasterText(RecordText(rec))).Name));
    return true;
  } catch (const std::exception& e) {
    ErrorBox(MasterWriteFailed + "\r\r" + "Error:  " + ExceptionText(e));
    return false;
  }
}

bool TTemplateImport::UpdateTemplateReference(const std::optional<TTemplateNumber>& Target, std::string& Text,
                                              bool& Outside) {
  const auto mapped = std::find_if(templates_.begin(), templates_.end(),
                                   [&](const TImported& t) { return Target && t.Old == *Target; });
  if (mapped == templates_.end()) {
    Outside = true;
    return false;
  }
  SetLkpTargetNumber(Text, mapped->New);
  return true;
}

bool TTemplateImport::ScanDescriptors() {
  for (TImported& t : templates_) {
    bool outside = false;
    try {
      BtrOpenFile(DescriptorFileNo, t.TempDescriptor, 0);
      TDynCharArr rec(DscRecordLength);
      if (ReadNameRecord(DescriptorFileNo, rec))
        t.Name = TrimRight(RecordRange(RecordText(rec), DscIndex::TplName));
      RewriteFieldRecords([&](const TSetLookup& Lookup, std::string& Text) {
        if (Lookup.Kind == ListLookupKind) {
          // A target that is no list file name is offered as it stands: the
          // list import refuses it before it could name a file.
          const std::string list = Lookup.List ? ListFileName(*Lookup.List) : Lookup.Target;
          if (std::find(lists_.begin(), lists_.end(), list) == lists_.end()) lists_.push_back(list);
        }
        return Lookup.Kind == TemplateLookupKind && UpdateTemplateReference(Lookup.Template, Text, outside);
      });
    } catch (const std::exception& e) {
      ErrorBox("Unable to update template reference.  Templates not imported.  Error:  " + ExceptionText(e));
      return false;
    }
    if (outside)
      MessageDlg("WARNING                     WARNING                      WARNING\r\rThe imported template '" + t.Name +
                     "' refers to a template that is not being imported." + "\r" +
                     "Please contact Ondral, Inc. as soon as possible to resolve this problem." + "\r" +
                     "Until this problem is resolved, the template '" + t.Name + "' will not function properly. " +
                     "\r" + "Your import operation will continue after this window is closed.",
                 mtWarning, mbOKOnly);
    const bool resolved = ResolveImportName(t);
    CloseQuietly(DescriptorFileNo);
    if (!resolved) return false;
  }
  return true;
}

bool TTemplateImport::ResolveImportName(TImported& Template) {
  const auto taken = [&](const std::string& Name) {
    return std::find(takenKeys_.begin(), takenKeys_.end(), MasterNameKey(Name)) != takenKeys_.end();
  };
  std::string name = Template.Name;
  const bool renamed = name.empty() || taken(name);
  while (name.empty() || name.size() > size_t(MasterName.Width) || taken(name)) {
    const std::optional<std::string> answer = askName_("Importing template " + Template.Name +
                                                       ".  Name already in use.  Please assign a new name.");
    if (!answer) {
      ErrorBox("User cancelled import process: Template name already exists and new name not provided.");
      return false;
    }
    name = TrimRight(*answer);
  }
  if (renamed) {
    try {
      if (!WriteNameRecord(DescriptorFileNo, name)) throw Exception("Unable to locate name record in " + chosen_);
    } catch (const std::exception& e) {
      ErrorBox("Unable to update template reference.  Templates not imported.  Error:  " + ExceptionText(e));
      return false;
    }
  }
  Template.Name = name;
  takenKeys_.push_back(MasterNameKey(name));
  return true;
}

bool TTemplateImport::ConfirmImport() {
  if (templates_.empty()) {
    MessageDlg("Nothing to import!", mtInformation, mbOKOnly);
    return false;
  }
  std::string text = std::string("Ready to import template") + (templates_.size() > 1 ? "(s)" : "") + ":";
  for (const TImported& t : templates_) text += "\r\t" + t.Name;
  return MessageDlg(text + "\r\r" + "Continue?", mtConfirmation, mbYesNo) == mrYes;
}

bool TTemplateImport::ImportLists() {
  for (const std::string& list : lists_) {
    const std::optional<TImportedList> imported = ImportUserList(folder_, list, true);
    if (!imported) continue;  // its message is shown; the targets stay as they were
    listMap_[*ListFileNumber(list)] = imported->Number;
    addedLists_.push_back(imported->Number);
  }
  if (listMap_.empty()) return true;
  for (TImported& t : templates_)
    if (!RewriteListTargets(t)) return false;
  return true;
}

bool TTemplateImport::RewriteListTargets(TImported& Template) {
  const TSlotCloser close(DescriptorFileNo);
  try {
    BtrOpenFile(DescriptorFileNo, Template.TempDescriptor, 0);
    RewriteFieldRecords([&](const TSetLookup& Lookup, std::string& Text) {
      if (Lookup.Kind != ListLookupKind || !Lookup.List) return false;
      const auto mapped = listMap_.find(*Lookup.List);
      if (mapped == listMap_.end()) return false;
      SetLkpTargetList(Text, mapped->second);
      return true;
    });
    BtrCloseFile(DescriptorFileNo);
    return true;
  } catch (const std::exception& e) {
    ErrorBox("Unable to update template reference.  Templates not imported.  Error:  " + ExceptionText(e));
    return false;
  }
}

bool TTemplateImport::CommitImport() {
  const TBusyCursor busy;
  std::vector<TSaveLock> locks;
  bool inTrans = false;
  try {
    BtrBeginTransaction();
    inTrans = true;
    for (TImported& t : templates_) {
      InsertMasterRecord(t.New.Stored(), t.Name);
      locks.push_back(AcquireSaveLock(Store.DataDir, t.New.Value(), TSaveLockMode::Exclusive,
                                      DescriptorFileName(t.New), DefaultFileLockMsg));
      if (!RenameFile(t.TempDescriptor, DescriptorFileName(t.New)))
        throw Exception("File rename of " + t.TempDescriptor + " failed.");
      t.DescriptorMoved = true;
      if (!RenameFile(t.TempData, DataFileName(t.New)))
        throw Exception("File rename of " + t.TempData + " (QMD) failed.");
      t.DataMoved = true;
    }
    BtrEndTransaction();
    inTrans = false;
  } catch (const std::exception&) {
    if (inTrans) {
      try {
        BtrAbortTransaction();
      } catch (const std::exception&) {
      }
    }
    ErrorBox(MasterWriteFailed);
    return false;
  }
  committed_ = true;
  for (TImported& t : templates_) t.TempDescriptor = t.TempData = "";
  return true;
}

void TTemplateImport::Undo() {
  for (TImported& t : templates_) {
    if (t.DescriptorMoved && RenameFile(DescriptorFileName(t.New), t.TempDescriptor)) t.DescriptorMoved = false;
    if (t.DataMoved && RenameFile(DataFileName(t.New), t.TempData)) t.DataMoved = false;
  }
  if (addedLists_.empty()) return;
  try {
    const bool wasOpen = BtrIsFileOpen(ListImportFileNo);
    const TSlotCloser closer(ListImportFileNo, !wasOpen);
    if (!wasOpen) BtrOpenFile(ListImportFileNo, UserListCatalogueName(Store.DataDir), MasterExclusiveMode);
    UncatalogueLists(ListImportFileNo, addedLists_);
    addedLists_.clear();
  } catch (const std::exception& e) {
    ErrorBox("Unable to remove the lists this import added.\r\r" + ExceptionText(e) + ContactMsg);
  }
}
