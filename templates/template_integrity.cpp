#include "templates/template_integrity.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_listing.h"
#include "templates/save_lock.h"
#include "templates/store_utils.h"
#include "templates/template_recovery.h"

#include <algorithm>
#include <string_view>

namespace {

const std::string ErrorLead = "Error:  ";
const std::string Incomplete = "Template integrity checks incomplete.";

// Display columns 51-80 are never compared nor moved.
constexpr int CleanedDispCols = 50;
constexpr TDscRange CleanedDisplay{DscField::DispCols.Label, DscField::DispCol(1).Column,
                                   DscField::DispCol(CleanedDispCols).LastColumn() - DscField::DispCol(1).Column + 1};

enum class TMode { DeletedFields, LinkedLookups };

struct TCheck {
  TMode Mode = TMode::LinkedLookups;
  std::string Number;  // the examined template, zero-filled as a lookup target holds it
  TIndexFlags Changed;
  std::vector<int> Deleted;  // FldIds
};

// Ends the whole check; Message is the text of its error box.
class EIntegrityStop : public Exception {
public:
  using Exception::Exception;
};

std::string LockText(const std::string& FileName, TMode Mode) {
  const char* doing =
      Mode == TMode::DeletedFields ? "Checking for references to deleted field" : "Checking for linked lookups";
  return "The description file " + FileName + " is currently not accessible (" + doing + ")." + "\r\r" +
         "It may be in use elsewhere.   Retry accessing the file?";
}

std::string OpenFailure(const std::string& Reason) {
  return ErrorLead + Reason + "\r\r" + "Unable to open description file.  " + Incomplete;
}

std::string AccessFailure(const std::string& FileName, const std::string& Reason) {
  return ErrorLead + Reason + "\r\r" + "Unable to access description file " + FileName + ".  " + Incomplete;
}

std::string PositionsOf(const TDscRange& Range) {
  return Range.Width == 1 ? Format("position %d", Range.Position())
                          : Format("positions %d-%d", Range.Position(), Range.LastPosition());
}

[[noreturn]] void RaiseUnreadable(const std::string& Field, const TDscRange& Range, std::string_view Raw,
                                  std::string_view Expected) {
  throw EDescriptorError(
      Format("Field \"%s\": %s \"%s\" at %s is not %s.", Field, Range.Label, Raw, PositionsOf(Range), Expected));
}

// Digits with blanks around them; anything else, a blank text too, is none.
bool ReadNumber(std::string_view Raw, int& Value) {
  const std::string digits = Trim(Raw);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  Value = StrToInt(digits);
  return true;
}

int NeededNumber(std::string_view Record, const TDscRange& Range, const std::string& Field) {
  const std::string raw = RecordRange(Record, Range);
  int value = 0;
  if (!ReadNumber(raw, value)) RaiseUnreadable(Field, Range, raw, "a number");
  return value;
}

bool RefersTo(std::string_view Record, const TCheck& Check) {
  return RecordRange(Record, DscField::LkpKind) == "M" &&
         RecordRange(Record, DscField::LkpTargetNumber) == Check.Number;
}

// The index a referring record reads the examined template by, 1..5.
int LookupIndex(std::string_view Record, const std::string& Field) {
  const TDscRange& range = DscField::LkpSpecKey;
  const std::string raw = RecordRange(Record, range);
  int index = 0;
  if (!ReadNumber(raw, index) || !TIndexFlags::InRange(index)) {
    RaiseUnreadable(Field, range, raw, Format("an index number 1..%d", MaxIndexes));
  }
  return index;
}

TLookupReference ReferenceOf(std::string_view Record, const TDescriptorEntry& Entry, const std::string& Field,
                             int Index) {
  if (!Entry.HasNumber) {
    throw EDescriptorError(Format("Field \"%s\": the file name carries no template number.", Field));
  }
  TLookupReference ref;
  ref.Template = Entry.Number;
  ref.FieldName = Field;
  ref.Position = NeededNumber(Record, DscField::Offset, Field);
  ref.KeyWidth = NeededNumber(Record, DscField::KeyWidth, Field);
  ref.ReferencedId = NeededNumber(Record, DscField::LkpSpecFirstId, Field);
  ref.Index = Index;
  return ref;
}

// Drops the id groups of Range in Text that name a deleted field; the
// others, blank groups included, close up in their order with blanks
// behind, so the ids a reader sees before the first blank group stay in
// the same order. False, Text untouched, when none was deleted.
bool DropDeletedIds(std::string& Text, const TDscRange& Range, const TCheck& Check, const std::string& Field) {
  const std::string groups = TextRange(Text, Range);
  std::string kept;
  bool dropped = false;
  for (int at = 0; at < Range.Width; at += DscField::IdWidth) {
    const std::string_view group = std::string_view(groups).substr(static_cast<size_t>(at), DscField::IdWidth);
    int id = 0;
    if (IsBlank(group)) {
      kept += group;
    } else if (!ReadNumber(group, id)) {
      RaiseUnreadable(Field, {Range.Label, Range.Column + at, DscField::IdWidth}, group, "a field id");
    } else if (std::find(Check.Deleted.begin(), Check.Deleted.end(), id) != Check.Deleted.end()) {
      dropped = true;
    } else {
      kept += group;
    }
  }
  if (!dropped) return false;
  kept.resize(groups.size(), ' ');
  Text.replace(static_cast<size_t>(Range.Column - 1), groups.size(), kept);
  return true;
}

// A descriptor open as file 200 under its template's save lock (none for a
// name that carries no number); closed, and the lock given up, when it goes.
// With Recover, a save cut short is recovered first. A refused lock or open
// ends the check with the open failure; a recovery that cannot resolve the
// files ends it after its own message.
class TOpenDescriptor {
public:
  TOpenDescriptor(const TDescriptorEntry& Entry, const TCheck& Check, TSaveLockMode Mode, bool Recover) {
    const std::string path = Store.DataDir + "\\" + Entry.Name;
    const std::string lockText = LockText(Entry.Name, Check.Mode);
    try {
      TFileLockMsgScope lockMsg(lockText);
      if (Entry.HasNumber && !Lock(Entry.Number.Value(), Mode, Recover, path, lockText)) throw EIntegrityStop("");
      // Gone since the listing, with its template or moved aside by a save.
      open_ = FileExists(path);
      if (open_) BtrOpenFile(IntegrityFileNo, path, 0);
    } catch (const EIntegrityStop&) {
      throw;
    } catch (const std::exception& e) {
      open_ = false;
      throw EIntegrityStop(OpenFailure(ExceptionText(e)));
    }
  }
  // A close that fails after a failed read has nothing left to tell.
  ~TOpenDescriptor() {
    try {
      if (open_) BtrCloseFile(IntegrityFileNo);
    } catch (const std::exception&) {
    }
  }
  TOpenDescriptor(const TOpenDescriptor&) = delete;
  TOpenDescriptor& operator=(const TOpenDescriptor&) = delete;

  bool Open() const { return open_; }

private:
  bool Lock(int TplNo, TSaveLockMode Mode, bool Recover, const std::string& Path, const std::string& LockText) {
    if (Mode == TSaveLockMode::Shared && Recover) {
      return AcquireSharedAfterRecovery(Store.DataDir, TplNo, Path, LockText, lock_);
    }
    lock_ = AcquireSaveLock(Store.DataDir, TplNo, Mode, Path, LockText);
    return !Recover || !TemplateBackupExists(Store.DataDir, TplNo) || RecoverTemplateLocked(Store.DataDir, TplNo);
  }

  TSaveLock lock_;
  bool open_ = false;
};

struct TScan {
  int Records = 0;
  int Losing = 0;  // referring records that lose ids
};

// Reads every record of the descriptor open as file 200. Linked lookups:
// adds the references. Deleted fields: counts the referring records that
// lose ids and, with Rewrite, updates each in place. Any failure ends the
// check naming the file.
TScan ScanRecords(const TDescriptorEntry& Entry, const TCheck& Check, bool Rewrite,
                  std::vector<TLookupReference>& Refs) {
  TScan scan;
  try {
    TDynCharArr rec(DscRecordLength);
    bool atEnd = false;
    for (BtrGetFirst(IntegrityFileNo, rec, atEnd, false); !atEnd; BtrGetNext(IntegrityFileNo, rec, atEnd, false)) {
      ++scan.Records;
      const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
      if (!RefersTo(record, Check)) continue;
      const std::string field = Trim(RecordRange(record, DscField::Name));
      if (Check.Mode == TMode::LinkedLookups) {
        const int index = LookupIndex(record, field);
        if (Check.Changed[index]) Refs.push_back(ReferenceOf(record, Entry, field, index));
        continue;
      }
      std::string text = DscText(record);
      const bool fromSpec = DropDeletedIds(text, DscField::LkpSpecOtherIds, Check, field);
      const bool fromDisplay = DropDeletedIds(text, CleanedDisplay, Check, field);
      if (!fromSpec && !fromDisplay) continue;
      ++scan.Losing;
      if (Rewrite) BtrUpdateRecord(IntegrityFileNo, text, rec);
    }
  } catch (const std::exception& e) {
    throw EIntegrityStop(AccessFailure(Entry.Name, ExceptionText(e)));
  }
  return scan;
}

// Reads the descriptor under its template's lock in Mode. A save that died
// leaves its descriptor missing or without records beside the previous
// generation: that read is done again once the save is recovered. Looking
// for the previous generation only then keeps the usual read to one lock
// and one open.
TScan ReadDescriptor(const TDescriptorEntry& Entry, const TCheck& Check, TSaveLockMode Mode, bool Rewrite,
                     std::vector<TLookupReference>& Refs) {
  TScan scan;
  for (const bool recover : {false, true}) {
    TOpenDescriptor file(Entry, Check, Mode, recover);
    scan = file.Open() ? ScanRecords(Entry, Check, Rewrite, Refs) : TScan{};
    if (scan.Records > 0 || !Entry.HasNumber || !TemplateBackupExists(Store.DataDir, Entry.Number.Value())) break;
  }
  return scan;
}

// Read under the shared save lock; a record to clean is rewritten under the
// exclusive one, after reading the file again (a save may have replaced it
// between the two).
void CheckDescriptor(const TDescriptorEntry& Entry, const TCheck& Check, std::vector<TLookupReference>& Refs) {
  // A name without a number has no save lock to change to.
  const TScan scan = ReadDescriptor(Entry, Check, TSaveLockMode::Shared, !Entry.HasNumber, Refs);
  if (scan.Losing == 0 || !Entry.HasNumber) return;
  ReadDescriptor(Entry, Check, TSaveLockMode::Exclusive, true, Refs);
}

void ShowStop(const std::string& Text) {
  if (Text.empty()) return;
  try {
    MessageDlg(Text, mtError, mbOKOnly);
  } catch (const std::exception&) {
    // The result already says the check is incomplete.
  }
}

}  // namespace

TIntegrityResult CheckTemplateIntegrity(const TTemplateNumber& Examined, const TIndexFlags& ChangedIndexes,
                                        const std::vector<TDeletedFld>& Deleted) {
  TIntegrityResult result;
  try {
    TCheck check;
    check.Mode = Deleted.empty() ? TMode::LinkedLookups : TMode::DeletedFields;
    check.Number = Examined.ZeroFilled();
    check.Changed = ChangedIndexes;
    for (const TDeletedFld& fld : Deleted) check.Deleted.push_back(fld.FldId);
    for (const TDescriptorEntry& entry : DescriptorsToScan()) {
      CheckDescriptor(entry, check, result.References);
    }
    result.Complete = true;
  } catch (const EIntegrityStop& e) {
    result.References.clear();
    ShowStop(e.Message);
  } catch (const std::exception& e) {
    result.References.clear();
    ShowStop(ErrorLead + ExceptionText(e) + "\r\r" + Incomplete);
  }
  FileLockMsg = DefaultFileLockMsg;
  return result;
}

TIndexFlags ReferencedIndexes(const std::vector<TLookupReference>& References) {
  TIndexFlags flags(false);
  for (const TLookupReference& ref : References) flags[ref.Index] = true;
  return flags;
}
