#include "templates/template_build.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "templates/build_abort.h"
#include "templates/data_transfer.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/layout_digest.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/old_layout.h"
#include "templates/save_files.h"
#include "templates/save_layout.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <cstddef>
#include <optional>

namespace {

constexpr size_t CreateMsgLength = 255;
constexpr int StampLength = 8;
constexpr auto MasterNumberKeyNo = static_cast<int8_t>(MasterKeySegments[2].KeyNo);

// What happens to the data file.
enum class TDataStep {
  Keep,         // records kept in the same layout: untouched
  Create,       // no data file: a new one
  Replace,      // a data file without records: moved aside, a new one made
  Restructure,  // records in another layout: moved aside, new file, carried over
};

// What the data file held when the save started.
struct TDataFound {
  bool Exists = false;
  int Records = 0;
  int RecordLength = 0;
};

bool AnyChange() {
  return Store.IdxChanged || Store.LayoutChanged || Store.JustifyChanged || Store.ListFldWidened ||
         Store.MinMaxChanged || !Store.DeletedFlds.empty();
}

TDataFound CountRecords(const std::string& DataName) {
  TDataFound found;
  found.Exists = FileExists(DataName);
  if (!found.Exists) return found;
  OpenForModification(OldDataFileNo, DataName);
  found.Records = BtrRecordCount(OldDataFileNo);
  found.RecordLength = BtrRecordLength(OldDataFileNo);
  BtrCloseFile(OldDataFileNo);
  return found;
}

// The stored records no longer fit the new table: a kept field moved or
// changed width, one is gone or new, or the record length differs.
bool LayoutDiffers(const TOldLayout& Old, int OldRecordLength, int NewRecLen) {
  if (NewRecLen + StampLength != OldRecordLength) return true;
  size_t kept = 0;
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& f = Store.FldTable[k];
    const auto old = Old.find(f.FldId);
    if (old == Old.end()) return true;
    if (old->second != TOldField{f.Offset, f.Width, f.KeyWidth}) return true;
    ++kept;
  }
  return kept != Old.size();
}

// A backup found at the start belongs to a save that did not finish: it is
// recovered first; one that stays ends this save before anything changes.
void SettleBackups(const TSaveFiles& Files) {
  const int number = Files.Number.Value();
  if (!TemplateBackupExists(Store.DataDir, number)) return;
  if (!RecoverTemplateLocked(Store.DataDir, number)) SilentAbort();
  const std::string dsx = PreviousGeneration(Files.DscName);
  if (FileExists(dsx)) {
    throw ESaveRefused("Unable to rename old description file " + Files.DscName + "\r" + "to " + dsx + "." +
                       ContactMsg);
  }
  const std::string qmx = PreviousGeneration(Files.DataName);
  if (FileExists(qmx)) {
    throw ESaveRefused("Unable to rename old data file " + Files.DataName + "\r" + "to " + qmx + "." + ContactMsg);
  }
}

TSaveLock LockTemplate(const TSaveFiles& Files) {
  return AcquireSaveLock(Store.DataDir, Files.Number.Value(), TSaveLockMode::Exclusive, Files.DataName,
                         ModifyFileLockMsg);
}

// The modified template's master record, found by its number and locked,
// deleted: file 1 may stand on another template's record.
void DeleteMasterRecord(const TTemplateNumber& Number, const std::string& Name) {
  BtrSetKeyNumber(MasterFileNo, MasterNumberKeyNo);
  TDynCharArr buf(MasterRecordLength);
  if (!BtrGetEqual(MasterFileNo, MasterNumberKey(Number), buf, true)) {
    throw ESaveRefused("Unable to find '" + Name + "'." + ContactMsg);
  }
  BtrDeleteRecord(MasterFileNo);
}

void CreateDataFile(TSaveFiles& Files, const TSaveLayout& Layout) {
  std::string msg;
  if (!BtrCreateFile(Files.DataName, uint16_t(Layout.RecLen + StampLength), int8_t(Layout.Segments.size()), msg,
                     CreateMsgLength, true, Layout.Segments)) {
    throw ESaveRefused("Unable to create new data file " + Files.DataName + ":" + "\r" + msg + ContactMsg);
  }
  Files.DataCreated = true;
}

void MoveOldDataAside(const TSaveFiles& Files) {
  if (!MoveDataAside(Files)) {
    throw ESaveRefused("Unable to rename old data file " + Files.DataName + "\r" + "to " +
                       PreviousGeneration(Files.DataName) + "." + ContactMsg);
  }
}

void WriteIndexRecords(const TSaveLayout& Layout, const std::string& Name) {
  for (int i = 1; i <= Layout.Indexes.IndexCount(); ++i) {
    TIndexRecord index;
    index.Number = i;
    index.Name = Store.IndexNamesToWrite[i];
    for (int s = 1; s <= MaxSortFields; ++s) {
      const int slot = Layout.Indexes.SortFld(i, s);
      index.SortFlds[s] = slot == 0 ? 0 : Store.FldTable[slot].FldId;
    }
    index.Unique = Store.IndexUnique[i];
    index.TplName = Name;
    std::string text = FormatIndexRecord(index);
    WriteDscRecord(text);
  }
}

// Before anything changes: what to do with the data file, and the layout.
TDataStep PlanData(const TSaveFiles& Files, TSaveLayout& Layout) {
  if (!Store.Modifying) {
    Layout = PlanFields(true, true);
    return TDataStep::Create;
  }
  // Under the exclusive lock: the table must still be the one on disk.
  if (!LayoutStillCurrent()) throw ESaveRefused(LayoutChangedMsg);
  const TDataFound found = CountRecords(Files.DataName);
  if (!found.Exists && Store.HasData) {
    throw ESaveRefused("A required file is missing: " + Files.DataName + "." + ContactMsg);
  }
  if (found.Records > 0 && !Store.HasData) throw ESaveRefused(RecordsAddedMsg);
  Layout = PlanFields(found.Records == 0, false);
  if (!found.Exists) return TDataStep::Create;
  if (found.Records == 0) return TDataStep::Replace;
  TransferLayout = ReadOldLayout(Files.DscName, found.RecordLength - StampLength);
  const bool restructure = AnyChange() || LayoutDiffers(TransferLayout, found.RecordLength, Layout.RecLen);
  return restructure ? TDataStep::Restructure : TDataStep::Keep;
}

// Steps of the save inside its transaction; raises on any failure.
void WriteTemplate(const std::string& Name, TSaveFiles& Files, TDataStep Step, const TSaveLayout& Layout,
                   bool& InTrans) {
  BtrBeginTransaction();
  InTrans = true;
  if (Store.Modifying) DeleteMasterRecord(Files.Number, Name);
  InsertMasterRecord(Files.Number.Stored(), Name);
  if (Step == TDataStep::Replace || Step == TDataStep::Restructure) MoveOldDataAside(Files);
  if (Step != TDataStep::Keep) CreateDataFile(Files, Layout);
  if (Step == TDataStep::Restructure) TransferData(Files.DataName);
  std::string dscName;
  CreateDescriptionFile(dscName, InTrans, Files.Number);
  Files.DscCreated = true;
  WriteFieldRecords(Layout.Positions);
  WriteIndexRecords(Layout, Name);
  BtrEndTransaction();
  InTrans = false;
}

// The template's number, its files' names and its lock.
TSaveFiles ChooseNumber(TSaveLock& Lock) {
  if (Store.Modifying) {
    TSaveFiles files(TTemplateNumber::Parse(Store.TplNumber));
    Lock = LockTemplate(files);
    return files;
  }
  TDynCharArr buf;
  TSaveFiles files(NextTemplateNumber(buf));
  Lock = LockTemplate(files);
  // Files of the number that appeared since the search would be adopted.
  if (!IsTemplateNumberFree(files.Number, TemplateFilesInFolder(Store.DataDir), buf)) {
    throw ESaveRefused("The template number " + files.Number.ZeroFilled() + " is already in use." + ContactMsg);
  }
  return files;
}

std::string Joined(const std::string& First, const std::string& Second) {
  if (First.empty()) return Second;
  return Second.empty() ? First : First + "\r\r" + Second;
}

}  // namespace

const std::string RecordsAddedMsg =
    "Records have been added to this template since you began to modify it.\rPlease close the template and "
    "modify it again.";

std::string GridFormatFileName(const TTemplateNumber& Number) {
  return Store.DataDir + "\\Grid" + Number.ZeroFilled() + ".FMT";
}

void DeleteGridFormat(const std::string& Number) {
  const std::string name = GridFormatFileName(TTemplateNumber::Parse(Number));
  if (FileExists(name)) DeleteFile(name);
}

bool BuildTemplateDataFile(const std::string& Name) {
  TSaveLock lock;
  bool inTrans = false;
  bool saved = false;
  std::string failure;
  // Set once no backup of an earlier save is left: from then on every
  // previous generation in the folder is this save's own.
  std::optional<TSaveFiles> files;
  try {
    TSaveFiles chosen = ChooseNumber(lock);
    SettleBackups(chosen);
    files.emplace(chosen);
    TSaveLayout layout;
    const TDataStep step = PlanData(*files, layout);
    ApplyLayout(layout);
    WriteTemplate(Name, *files, step, layout, inTrans);
    saved = true;
  } catch (const Exception& e) {
    failure = e.Message;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  // A step that showed its own message (the descriptor writer's) failed
  // with no text: what the clean-up could not do is then left to recovery,
  // which finds it by the previous generations, so the user sees one box.
  const bool shown = !saved && failure.empty();
  failure = Joined(failure, AbortBuild(inTrans));
  failure = Joined(failure, CloseSaveFiles());
  TransferLayout.clear();
  if (files) failure = Joined(failure, saved ? DropOldFiles(*files) : PutBackOldFiles(*files));
  lock.Release();
  if (!failure.empty() && !shown) MessageDlg(failure, saved ? mtWarning : mtError, mbOKOnly);
  if (!saved) SilentAbort();
  return true;
}
