#include "templates/descriptor_loader.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_listing.h"
#include "templates/file_slot_guards.h"
#include "templates/layout_digest.h"
#include "templates/master_codec.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_recovery.h"

#include <string_view>

bool TplSaved = false;
std::string BlankPrimKey;

namespace {

const std::string DescriptorLockMsg = TemplateRetryText("Unable to open the description file for this template.");
const std::string ErrorLead = "Error:  ";
constexpr std::string_view HostLetters = "ABE";  // client, case, employee
constexpr int DscKeyNo = 1;

TDesignerLink NoDesigner;
TDesignerLink* Designer = &NoDesigner;

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

// The field-table entry of a field record: what the loader takes over from
// the parsed record, the index memberships left cleared.
TFld LoadedField(std::string_view Record, int SeqNo) {
  const TFld parsed = ParseFieldRecord(Record);
  CheckFieldInDataRecord(parsed);
  TFld fld;
  fld.SeqNo = SeqNo;
  fld.Name = parsed.Name;
  fld.Width = parsed.Width;
  fld.FldType = parsed.FldType;
  fld.Offset = parsed.Offset;
  if (fld.FldType == 'N') {
    fld.MinVal = parsed.MinVal;
    fld.MaxVal = parsed.MaxVal;
    fld.Decimals = FieldDecimals(fld);
  }
  fld.UpperCase = parsed.UpperCase;
  fld.Required = parsed.Required;
  fld.IsLookup = parsed.IsLookup;
  fld.RightJustify = parsed.RightJustify;
  fld.Unique = parsed.Unique;
  if (fld.IsLookup) {
    fld.LkpKind = parsed.LkpKind;
    // Kept padded as stored, the form the writer leaves in the table.
    fld.LkpTarget = RecordRange(Record, DscField::LkpTarget);
    fld.LkpSpec = RecordRange(Record, DscField::LkpSpec);
    fld.Forced = parsed.Forced;
    fld.DispCols = parsed.DispCols;
  }
  fld.KeyWidth = parsed.KeyWidth;
  fld.Hint = parsed.Hint;
  fld.Default = parsed.Default;
  fld.FldId = parsed.FldId;
  if (parsed.IdxNo[1] == 1) {
    const int sortPos = parsed.SortPos[1];
    Store.PrimKey.Pos[sortPos] = fld.Offset;
    Store.PrimKey.Width[sortPos] = fld.Width;
    Store.PrimKey.Id[sortPos] = fld.FldId;
  }
  return fld;
}

void LoadIndex(std::string_view Record, int Number) {
  const TIndexRecord index = ParseIndexRecord(Record);
  Store.IndexRecs.Names[Number] = index.Name;
  for (int k = 1; k <= MaxSortFields; ++k) Store.IndexRecs.SortFld(Number, k) = index.SortFlds[k];
  Store.IndexUnique[Number] = index.Unique;
}

// Every record of file 2 in key-1 order into the tables.
void ReadDescriptorRecords() {
  BtrSetKeyNumber(LoadedDescriptorFileNo, DscKeyNo);
  TDynCharArr rec(DscRecordLength);
  int fields = 0;
  int indexes = 0;
  bool atEnd = false;
  uint64_t digest = LayoutDigestStart;
  for (BtrGetFirst(LoadedDescriptorFileNo, rec, atEnd, false); !atEnd;
       BtrGetNext(LoadedDescriptorFileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    digest = FoldLayoutRecord(digest, record);
    if (IsIndexRecord(record)) {
      LoadIndex(record, ++indexes);
      continue;
    }
    if (fields == MaxFields) {
      throw EDescriptorError(Format("The description file holds more than %d field records.", MaxFields));
    }
    TFld fld = LoadedField(record, ++fields);
    if (decltype(Store.AltKindIds)::InRange(fld.FldId)) Store.AltKindIds[fld.FldId] = fld.LkpKind == "l";
    TakeAltLookupKind(fld);
    Designer->AddFieldName(fld.Name);
    Store.RecLen = std::max(Store.RecLen, fld.Offset + fld.Width - 1);
    if (fld.FldType == 'N') Designer->SetDecimals(fld.Decimals);
    Store.FldTable[fields] = std::move(fld);
    Store.FldCount = fields;
  }
  Store.LayoutDigest = digest;
  const TPrimKey& key = Store.PrimKey;
  const bool gapless = key.Width[2] != 0 || key.Width[3] == 0;
  if (key.Width[1] > 0 && gapless) {
    BlankPrimKey = std::string(static_cast<size_t>(key.Width[1] + key.Width[2] + key.Width[3]), ' ');
  }
}

// The number of a template-list entry: characters 31-33.
int ListEntryNumber(const std::string& Entry) {
  const std::string text = Trim(Copy(Entry, MasterNumber.TextStart(), MasterNumber.Width));
  int value = 0;
  if (!TryStrToInt(text, value)) {
    throw EConvertError(Format("The template list entry \"%s\" holds no template number.", Entry));
  }
  return value;
}

// The template name TemplateList gives the descriptor Entry; empty when
// the list has none.
std::string ListedName(const TDescriptorEntry& Entry) {
  for (int k = 1; k <= MaxListEntries && !Store.TemplateList[k].empty(); ++k) {
    const std::string& item = Store.TemplateList[k];
    if (Entry.HasNumber && ListEntryNumber(item) == Entry.Number.Value()) {
      return Copy(item, MasterName.TextStart(), MasterName.Width);
    }
  }
  return "";
}

// The letters of the family lookups the descriptor open as file 200 sorts
// index 1 on, by sort position; "X" where there is none.
std::string IndexPattern(const std::string& FileName) {
  std::string pattern = "XXX";
  BtrSetKeyNumber(ScannedDescriptorFileNo, DscKeyNo);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(ScannedDescriptorFileNo, rec, atEnd, false); !atEnd;
       BtrGetNext(ScannedDescriptorFileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    const std::string kind = RecordRange(record, DscField::LkpKind);
    const char letter = RecordRange(record, DscField::LkpSpecKey)[0];
    if ((kind != "L" && kind != "l") || RecordRange(record, DscField::IdxNo(1)) != "1" ||
        HostLetters.find(letter) == std::string_view::npos) {
      continue;
    }
    const std::string sortPos = RecordRange(record, DscField::SortPos(1));
    const int p = sortPos[0] - '0';
    if (p < 1 || p > MaxSortFields) {
      throw EDescriptorError(Format("The description file %s names sort position \"%s\"; index 1 has 1 to %d.",
                                    FileName, sortPos, MaxSortFields));
    }
    pattern[static_cast<size_t>(p - 1)] = letter;
  }
  return pattern;
}

TTemplateNames& ListOf(char Letter) {
  switch (Letter) {
    case 'A': return Store.ClientTpls;
    case 'B': return Store.CaseTpls;
    default: return Store.EmpTpls;
  }
}

}  // namespace

int AltLookupHost(const TFld& Fld) {
  struct TAlt {
    char Letter;
    int FirstCol;
  };
  static constexpr TAlt alts[] = {{'A', 1}, {'B', 23}, {'E', 63}};
  for (int k = 0; k < 3; ++k) {
    if (!Fld.LkpSpec.empty() && Fld.LkpSpec[0] == alts[k].Letter && Fld.DispCols[1] == alts[k].FirstCol) return k + 1;
  }
  return 0;
}

void TakeAltLookupKind(TFld& Fld) {
  if (Fld.LkpKind != "l") return;
  Fld.LkpKind = "L";
  if (const int host = AltLookupHost(Fld)) Store.AltLookupOn[host] = true;
}

void SetDesignerLink(TDesignerLink* Link) { Designer = Link ? Link : &NoDesigner; }
TDesignerLink& DesignerLink() { return *Designer; }

void ClearFieldTables() {
  for (int k = 1; k <= FieldSlots; ++k) InitFieldSlot(k);
  Store.FldCount = 0;
  Store.IndexRecs = TIndexRecs();
  Store.PrimKey = TPrimKey();
  Store.AltKindIds = decltype(Store.AltKindIds)();
  Store.LayoutDigest = 0;
}

void ResetDescriptorForm() {
  Designer->ResetForm();
  TplSaved = false;
}

bool LoadTemplateDescriptor(const std::string& Number) {
  // Only a template number names a descriptor; any other text finds none.
  TTemplateNumber number;
  if (!TTemplateNumber::TryParse(Number, number)) return false;
  const std::string name = Store.DataDir + "\\mngr" + Number + ".dsc";
  if (!FileExists(name) && !TemplateBackupExists(Store.DataDir, number.Value())) return false;
  // Held for the whole load: a save renames the descriptor and commits its
  // new records later, and a load in between would read no fields.
  TSaveLock lock;
  try {
    if (!AcquireSharedAfterRecovery(Store.DataDir, number.Value(), name, DescriptorLockMsg, lock)) return false;
    if (!FileExists(name)) return false;
    TFileLockMsgScope lockText(DescriptorLockMsg);
    BtrOpenFile(LoadedDescriptorFileNo, name, 0);
  } catch (const std::exception& e) {
    ErrorBox(ErrorLead + e.what() + "\r\r" +
             "Unable to open description file.  You will not be able to modify your template at this time." +
             ContactMsg);
    return false;
  }
  TSlotCloser closer(LoadedDescriptorFileNo);
  std::string code;
  try {
    ClearFieldTables();
    for (int k = 1; k <= 3; ++k) Store.AltLookupOn[k] = false;
    ResetDescriptorForm();
    Store.RecLen = 4;
    BlankPrimKey.clear();
    Designer->SetCaption("Modifying Vezadaz Template:            " + Store.TplName);
    ReadDescriptorRecords();
    IndexFieldCodes(code);
  } catch (const std::exception& e) {
    ErrorBox(ErrorLead + e.what() + "\r\r" +
             "Unable to access description file.  You will not be able to modify your template at this time." +
             ContactMsg);
    return false;
  }
  if (!IsBlank(code)) CheckMatchingIndexes(code);
  return true;
}

void IndexFieldCodes(std::string& Code) {
  Code.clear();
  for (int k = 1; k <= MaxSortFields; ++k) {
    const int id = Store.PrimKey.Id[k];
    // Id 0: index 1 has no sort field here.
    if (id == 0) break;
    // An id no field table could hold marks a broken descriptor.
    if (!TFieldTable::InRange(id)) RaiseTableIndex("FldTable", id, TFieldTable::Low, TFieldTable::High);
    // By id, not by slot: after a deletion or a move the slot of that
    // number holds another field.
    const int slot = FieldSlotOf(id);
    if (slot == 0) break;
    const std::string& spec = Store.FldTable[slot].LkpSpec;
    if (IsBlank(spec) || HostLetters.find(spec[0]) == std::string_view::npos) break;
    Code += spec[0];
  }
}

void CheckMatchingIndexes(const std::string& Code) {
  for (TTemplateNames* list : {&Store.ClientTpls, &Store.CaseTpls, &Store.EmpTpls}) *list = TTemplateNames();
  int counts[3] = {0, 0, 0};
  try {
    for (const TDescriptorEntry& entry : DescriptorFiles(Store.DataDir)) {
      try {
        TFileLockMsgScope lockText("The description file " + entry.Name +
                                   " is currently not accessible (Checking for matching indexes)." + "\r\r" +
                                   "It may be in use elsewhere.   Retry accessing the file?");
        BtrOpenFile(ScannedDescriptorFileNo, Store.DataDir + "\\" + entry.Name, 0);
      } catch (const std::exception& e) {
        ErrorBox(ErrorLead + e.what() + "\r\r" + "Unable to open description file " + entry.Name + "." + ContactMsg);
        return;
      }
      TSlotCloser closer(ScannedDescriptorFileNo);
      const std::string pattern = IndexPattern(entry.Name);
      for (size_t p = 0; p < Code.size() && p < pattern.size(); ++p) {
        if (Code[p] != pattern[p]) continue;
        const size_t host = HostLetters.find(Code[p]);
        if (host == std::string_view::npos) continue;
        ListOf(Code[p])[++counts[host]] = ListedName(entry);
      }
    }
  } catch (const std::exception& e) {
    ErrorBox(std::string("The following error occurred while checking ") + "\r" + "for a matching index." + "\r\r" +
             ErrorLead + e.what());
  }
}
