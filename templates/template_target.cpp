#include "templates/template_target.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_codec.h"
#include "templates/file_slot_guards.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_recovery.h"

#include <algorithm>

namespace {

constexpr int DscKeyNo = 1;
constexpr std::string_view SortTextJoin = " - ";

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

std::string LockText(const std::string& Name, bool FirstStage) {
  if (FirstStage) return "Waiting for one or more description files to become accessible.  Retry?";
  return "The description file for " + Name + " is not accessible." + "\r\r" +
         "It may be in use elsewhere.   Retry accessing this file?";
}

struct TRawField {
  TFld Fld;
  std::string FldIdText;  // as stored
};

// Every record of the open descriptor in key-1 order: fields, then indexes.
void ReadRecords(std::vector<TRawField>& Fields, std::vector<std::string>& IndexRecords) {
  BtrSetKeyNumber(TargetDescriptorFileNo, DscKeyNo);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(TargetDescriptorFileNo, rec, atEnd, false); !atEnd;
       BtrGetNext(TargetDescriptorFileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    if (IsIndexRecord(record)) {
      IndexRecords.emplace_back(record);
    } else if (IndexRecords.empty()) {
      Fields.push_back({ParseFieldRecord(record), RecordRange(record, DscField::FldId)});
    }
  }
}

TTemplateTarget BuildTarget(const std::vector<TRawField>& Fields, const std::vector<std::string>& IndexRecords) {
  auto fieldWithId = [&](int id) -> const TRawField* {
    for (const TRawField& f : Fields)
      if (f.Fld.FldId == id) return &f;
    return nullptr;
  };
  TTemplateTarget target;
  for (const std::string& record : IndexRecords) {
    const TIndexRecord index = ParseIndexRecord(record);
    TTargetIndex entry;
    entry.Digit = index.Number;
    entry.Name = RecordRange(record, DscIndex::Name);
    entry.Unique = index.Unique;
    std::vector<std::string> names;
    for (int k = 1; k <= MaxSortFields; ++k) {
      const int id = index.SortFlds[k];
      if (id == 0) continue;
      entry.SortFldIds.push_back(id);
      if (const TRawField* f = fieldWithId(id)) names.push_back(Trim(f->Fld.Name));
    }
    for (size_t i = 0; i < names.size(); ++i) entry.SortFldText += (i ? std::string(SortTextJoin) : "") + names[i];
    const TRawField* first = entry.SortFldIds.empty() ? nullptr : fieldWithId(entry.SortFldIds.front());
    entry.Usable = first && (index.Unique || !first->Fld.RightJustify);
    target.Indexes.push_back(entry);
  }
  for (const TRawField& f : Fields) {
    const int id = f.Fld.FldId;
    TMFld m;
    m.Name = Trim(f.Fld.Name);
    m.FldId = f.FldIdText;
    m.Width = IntToStr(f.Fld.Width);
    bool begins = false;
    for (const TTargetIndex& index : target.Indexes) {
      if (index.SortFldIds.empty() || index.SortFldIds.front() != id) continue;
      begins = true;
      if (index.Usable && !m.FirstSort) {
        m.FirstSort = true;
        m.IndexUnique = index.Unique;
      }
    }
    // A field that begins only indexes no lookup can use is not offered.
    if (begins && !m.FirstSort) continue;
    if (target.Fields.size() == size_t(MaxFields)) break;
    target.Fields.push_back(m);
    target.FieldIds.push_back(id);
  }
  return target;
}

}  // namespace

const TTargetIndex* TTemplateTarget::IndexWithDigit(int Digit) const {
  for (const TTargetIndex& index : Indexes)
    if (index.Digit == Digit) return &index;
  return nullptr;
}

const TMFld* TTemplateTarget::FieldWithId(int FldId) const {
  for (size_t i = 0; i < Fields.size(); ++i)
    if (FieldIds[i] == FldId) return &Fields[i];
  return nullptr;
}

std::vector<const TTargetIndex*> TTemplateTarget::IndexesBegunBy(int FldId) const {
  std::vector<const TTargetIndex*> out;
  for (const TTargetIndex& index : Indexes)
    if (index.Usable && index.SortFldIds.front() == FldId) out.push_back(&index);
  return out;
}

namespace {

// The descriptor's records, read under the template's shared save lock
// (LockQuestion asked while it is held elsewhere). Missing: no descriptor;
// Failed: the question declined (Error empty) or the read failed (Error its
// text).
TTargetRead ReadTargetRecords(const TTemplateNumber& Number, const std::string& LockQuestion,
                              std::vector<TRawField>& Fields, std::vector<std::string>& IndexRecords,
                              std::string& Error) {
  const std::string file = TargetDescriptorName(Number);
  if (!FileExists(file) && !TemplateBackupExists(Store.DataDir, Number.Value())) return TTargetRead::Missing;
  try {
    // Held for the whole read: a save renames the descriptor and writes its
    // new records later, and a read in between would find no fields.
    TSaveLock lock;
    if (!AcquireSharedAfterRecovery(Store.DataDir, Number.Value(), file, LockQuestion, lock)) return TTargetRead::Failed;
    if (!FileExists(file)) return TTargetRead::Missing;
    {
      TFileLockMsgScope question(LockQuestion);
      BtrOpenFile(TargetDescriptorFileNo, file, 0);
    }
    const TSlotCloser closer(TargetDescriptorFileNo);
    ReadRecords(Fields, IndexRecords);
  } catch (const Exception& e) {
    Error = e.Message;
    return TTargetRead::Failed;
  }
  return TTargetRead::Read;
}

}  // namespace

std::string TargetDescriptorName(const TTemplateNumber& Number) {
  return Store.DataDir + "\\mngr" + Number.ZeroFilled() + ".dsc";
}

TTargetRead ReadTemplateTarget(const TTemplateNumber& Number, const std::string& Name, bool FirstStage,
                               TTemplateTarget& Target) {
  Target = TTemplateTarget();
  std::vector<TRawField> fields;
  std::vector<std::string> indexRecords;
  std::string error;
  switch (ReadTargetRecords(Number, LockText(Name, FirstStage), fields, indexRecords, error)) {
    case TTargetRead::Missing:
      if (!FirstStage) ErrorBox("A required file:  " + TargetDescriptorName(Number) + " is missing." + ContactMsg);
      return TTargetRead::Missing;
    case TTargetRead::Failed:
      if (!error.empty()) ErrorBox("Unable to read the description file for " + Name + ".\r\r" + error + ContactMsg);
      return TTargetRead::Failed;
    default:
      break;
  }
  Target = BuildTarget(fields, indexRecords);
  if (std::none_of(Target.Indexes.begin(), Target.Indexes.end(), [](const TTargetIndex& i) { return i.Usable; })) {
    ErrorBox("The only index(es) existing in this template are non-unique and right-justified.\r\r"
             "Such indexes may not be used for a lookup.");
    return TTargetRead::NoUsableKey;
  }
  return TTargetRead::Read;
}

bool ReadTemplateFields(std::string_view LkpTarget, std::vector<TMFld>& Fields) {
  Fields.clear();
  const std::optional<TTemplateNumber> number = LookupTargetNumber(LkpTarget);
  if (!number) return false;
  std::vector<TRawField> raw;
  std::vector<std::string> indexRecords;
  std::string error;
  if (ReadTargetRecords(*number, LockText(Trim(std::string(LkpTarget)), false), raw, indexRecords, error) !=
      TTargetRead::Read)
    return false;
  for (const TRawField& f : raw) {
    if (Fields.size() == size_t(MaxFields)) break;
    Fields.push_back({Trim(f.Fld.Name), f.FldIdText, IntToStr(f.Fld.Width)});
  }
  return true;
}

TTemplateListRead ReadTemplateList(std::vector<TMasterRecord>& Templates) {
  Templates.clear();
  if (!FileExists(MasterFileName())) {
    ErrorBox("A required file MASTER.DSC is missing!\r\rYou will not be able to use this lookup function until this is "
             "corrected." +
             ContactMsg);
    return TTemplateListRead::Missing;
  }
  try {
    BtrOpenFile(TemplateListFileNo, MasterFileName(), 0);
    const TSlotCloser closer(TemplateListFileNo);
    BtrSetKeyNumber(TemplateListFileNo, 1);
    TDynCharArr rec(MasterRecordLength);
    bool atEnd = false;
    for (BtrGetFirst(TemplateListFileNo, rec, atEnd, false); !atEnd;
         BtrGetNext(TemplateListFileNo, rec, atEnd, false))
      Templates.push_back(ParseMasterText(MasterText({reinterpret_cast<const char*>(rec.data()), rec.size()})));
  } catch (const Exception& e) {
    Templates.clear();
    ErrorBox("Unable to read the template list.\r\r" + e.Message + ContactMsg);
    return TTemplateListRead::Failed;
  }
  return TTemplateListRead::Read;
}

std::optional<TTemplateNumber> LookupTargetNumber(std::string_view LkpTarget) {
  TTemplateNumber number;
  if (!LookupTargetNumber(LkpTarget, number)) return std::nullopt;
  return number;
}

int TemplateListEntryOf(std::string_view TplNumbers, const TTemplateNumber& Number) {
  constexpr size_t Width = 3;
  for (size_t i = 0; i + Width <= TplNumbers.size(); i += Width) {
    TTemplateNumber entry;
    if (TTemplateNumber::TryParse(TplNumbers.substr(i, Width), entry) && entry == Number) return int(i / Width);
  }
  return -1;
}
