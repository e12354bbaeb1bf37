#include "entry/dropdown_list.h"

#include "entry/entry_build.h"

#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/family_files.h"
#include "templates/record_codec.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

const char* const DropdownLockMsg =
    "A record lock was encountered while attempting to fill the dropdown list.\r\rAnother user may be executing a "
    "function that requires records or files to be locked.\r\rYou may select YES and the program will re-attempt "
    "this operation.  Retry?";

constexpr int GetGreaterOrEqual = 3;
constexpr int8_t ByName = 3;
const std::string Tilde = "~";
// Where a blank name or identifier sends the search: the first printable key.
const std::string FirstPrintable = "!";

// Hidden columns.
constexpr int ClientCol = 5, NameCol = 6, PersonCol = 7, FirstGroupCol = 8, ShortCol = 11;
constexpr int GroupPartWidth = 4, GroupParts = 3;

std::string Bytes(const TDynCharArr& Rec, int Pos, int Len) {
  if (Pos < 1 || Len <= 0) return {};
  return FieldText(Rec, TFamilyField{uint16_t(Pos), uint16_t(Len)});
}

bool StartsWith(std::string_view Text, std::string_view Prefix, bool IgnoreCase) {
  if (Prefix.size() > Text.size()) return false;
  if (!IgnoreCase) return Text.substr(0, Prefix.size()) == Prefix;
  return std::equal(Prefix.begin(), Prefix.end(), Text.begin(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  });
}

// The name joined last name first when a column shows a whole client or
// employee name.
void JoinWholeName(std::string& Value, int FileId, int Pos) {
  if (FileId == HostFileId::Client && Pos == ClientFld::Name.Pos) JoinNameParts(Value, ClientNamePart1, ClientNamePart2);
  if (FileId == HostFileId::Employee && Pos == EmpFld::Name.Pos) JoinNameParts(Value, EmpNamePart1, EmpNamePart2);
}

bool ByNameKey(TListSource S) {
  return (S == TListSource::Client && FamilyLookup.ClientByKey3) ||
         (S == TListSource::Employee && FamilyLookup.EmpByKey3);
}

// Cases listed under the chosen client: keyed by client and suffix.
bool CasesOfClient(const TDropdownState& S) {
  return S.Source == TListSource::Case && FamilyLookup.CaseKeyOption && !FamilyLookup.CaseByKey3;
}

}  // namespace

TDropdownRows::TDropdownRows() : Cells(LastDropdownRow + 1), Ids(LastDropdownRow + 1) {}

void TDropdownRows::Clear() {
  for (int r = 0; r < Filled && r <= LastDropdownRow; ++r) {
    for (std::string& c : Cells[size_t(r)]) c.clear();
    Ids[size_t(r)] = {};
  }
  Filled = 0;
}

std::string RightJustifyText(const std::string& Text, int MaxLength) {
  return TrimRight(Format("%" + IntToStr(MaxLength) + "s", Text));
}

std::string NameKeyText(const std::string& Text, int LastWidth) {
  const size_t comma = Text.find(", ");
  if (comma == std::string::npos) return Text;
  std::string last = Text.substr(0, comma);
  if (int(last.size()) < LastWidth) last.resize(size_t(LastWidth), ' ');
  return last + Text.substr(comma + 2);
}

std::string OwnIndexKeyText(int Slot, const std::string& Text, const TSlotValue& ValueOf) {
  std::string key;
  std::vector<TKeyRange> ranges;
  try {
    ranges = IndexKeyRanges(1);
  } catch (const ERecordCodec&) {
    return {};
  }
  for (const TKeyRange& r : ranges) {
    if (r.Slot == Slot) return key + Text;
    const TFld& f = Store.FldTable[r.Slot];
    std::string value = ValueOf ? ValueOf(r.Slot) : f.CurValue;
    if (value.size() > r.Width) value.resize(r.Width);
    key += JustifiedText(value, r.Width, f.RightJustify);
  }
  return {};
}

int HostDisplayWidth(int Code) {
  TLkpColumn e{};
  if (!LookupFieldEntry(Code, e)) return 0;
  if (e[6] != 0) return HostTranslationWidth(e[6], e[8]);
  if (e[3] != 0) return HostTranslationWidth(e[3], e[5]);
  return e[2];
}

namespace {

constexpr int CaseSuffixCode = 22;
constexpr int SpecGroupWidth = 3;

int SpecGroup(const TFld& F, int K) {
  return StrToIntDef(Trim(Copy(F.LkpSpec, SpecGroupWidth * K - 1, SpecGroupWidth)), -1);
}

}  // namespace

int SetDropdownColumns(int Slot, std::vector<int>& Widths) {
  const TFld& f = Store.FldTable[Slot];
  Widths.clear();
  const int code = SpecGroup(f, 1);
  if (DefineLookupField(code, 0) && code == CaseSuffixCode && FamilyLookup.CaseRightJustified) {
    TLkpColumn& first = FamilyLookup.LkpDropCols[FamilyLookup.DropColCount];
    first[1] = CaseFld::Suffix.Pos;
    first[2] = CaseFld::Suffix.Len;
  }
  int total = 0;
  for (int k = 2; k <= MaxDropCols; ++k) {
    const int c = SpecGroup(f, k);
    if (c < 0) break;
    if (!DefineLookupField(c, 0)) continue;
    const int width = int(std::trunc(CalcFieldWidth(HostDisplayWidth(c)))) + 2;
    Widths.push_back(width);
    total += width;
  }
  return total;
}

int LookupCodeOf(const TFld& F) { return StrToIntDef(Trim(Copy(F.LkpSpec, 2, 3)), -1); }

TListSource SourceOfCode(int Code) {
  constexpr int ClientNameCode = 1, CaseCode = 22, CaseAltIdCode = 23;
  if (Code == 0 || Code == ClientNameCode) return TListSource::Client;
  if (Code == CaseCode || Code == CaseAltIdCode) return TListSource::Case;
  return TListSource::Employee;
}

int DefineDisplayColumns(int Slot) {
  int keySlot = Slot;
  if (IsPseudoFieldSlot(Slot)) {
    for (int s = 1; s <= MaxFields; ++s)
      if (!Trim(Store.FldTable[s].Name).empty() && PseudoFieldFor(s) == Slot) keySlot = s;
  }
  const TFld& f = Store.FldTable[keySlot];
  int n = 0;
  for (int k = 1; k <= MaxDispCols && f.DispCols[k] >= 0; ++k)
    if (DefineLookupField(f.DispCols[k], k)) ++n;
  return n;
}

// ---- the list ----

uint8_t TDropdownList::FileNo() const {
  switch (s_.Source) {
    case TListSource::Template: return TemplateLookupFileNo;
    case TListSource::Client: return ClientFileNo;
    case TListSource::Case: return CaseFileNo;
    case TListSource::Employee: return EmpFileNo;
    case TListSource::OwnIndex: break;
  }
  return OwnDataFileNo;
}

TDynCharArr& TDropdownList::Rec() const {
  switch (s_.Source) {
    case TListSource::Template: return Store.LkpDataRec;
    case TListSource::Client: return ClientRec;
    case TListSource::Case: return CaseRec;
    case TListSource::Employee: return EmpRec;
    case TListSource::OwnIndex: break;
  }
  return Store.TplRec;
}

bool TDropdownList::OutOfList() const {
  const TDynCharArr& rec = Rec();
  if (CasesOfClient(s_) && !s_.ClientCode.empty()) return Trim(FieldText(rec, CaseFld::Client)) != s_.ClientCode;
  if (s_.Source == TListSource::OwnIndex) {
    const std::string_view whole(reinterpret_cast<const char*>(rec.data()), rec.size());
    try {
      return !StartsWith(IndexKeyText(whole, 1), s_.OwnPrefix, false);
    } catch (const ERecordCodec&) {
      return true;
    }
  }
  return false;
}

bool TDropdownList::StopsStepBack() const {
  const TDynCharArr& rec = Rec();
  if (s_.Source == TListSource::Client && FamilyLookup.ClientByKey3) return IsBlank(FieldText(rec, ClientFld::LastName));
  if (s_.Source == TListSource::Case && FamilyLookup.CaseByKey3) return IsBlank(FieldText(rec, CaseFld::AltId));
  return OutOfList();
}

// Get Greater or Equal on Key; past the last key the last record, and for
// a typed "~" the record before the one found (the last one below it).
bool TDropdownList::SeekGreaterOrEqual(const std::string& Key, bool TildeTyped) {
  bool atEnd = false;
  const bool found = BtrGetGreaterLess(FileNo(), Key, Rec(), atEnd, GetGreaterOrEqual);
  if (!found || atEnd) {
    BtrGetLast(FileNo(), Rec(), atEnd, false);
    return !atEnd;
  }
  if (TildeTyped) {
    BtrGetPrev(FileNo(), Rec(), atEnd, false);
    if (atEnd) BtrGetFirst(FileNo(), Rec(), atEnd, false);
  }
  return true;
}

bool TDropdownList::SeekOrTellEmpty(const std::string& Key, bool TildeTyped, TFillOutcome& Why) {
  if (SeekGreaterOrEqual(Key, TildeTyped)) return true;
  MessageDlg("No data in lookup file!", mtInformation, mbOKOnly, 0);
  Why = TFillOutcome::NoData;
  return false;
}

bool TDropdownList::PositionTemplateLookup(const std::string& Text, TFillOutcome& Why) {
  if (Text != Tilde) return SeekOrTellEmpty(Text, false, Why);
  // "~" asks for the last records: the last one itself, also when keys
  // begin with bytes above "~" (accented letters).
  bool atEnd = false;
  BtrGetLast(FileNo(), Rec(), atEnd, false);
  if (!atEnd) return true;
  return SeekOrTellEmpty(Text, false, Why);
}

bool TDropdownList::PositionClientLookup(const std::string& Text, TFillOutcome& Why) {
  if (!FamilyLookup.ClientByKey3) return PositionTemplateLookup(Text, Why);
  if (!PositionTemplateLookup(NameKeyText(Text, ClientNamePart2), Why)) return false;
  // Names left blank sort first: the list starts at the first name.
  if (IsBlank(FieldText(Rec(), ClientFld::LastName))) return SeekGreaterOrEqual(FirstPrintable, false);
  return true;
}

bool TDropdownList::PositionCaseLookup(const std::string& Text, TFillOutcome& Why) {
  if (CasesOfClient(s_) && s_.ClientCode.empty()) {
    MessageDlg("Please select a client first!", mtError, mbOKOnly, 0);
    Why = TFillOutcome::NeedClient;
    return false;
  }
  if (CasesOfClient(s_)) {
    const bool tilde = Text == Tilde;
    const std::string client = Format("%-7s", s_.ClientCode);
    if (!SeekOrTellEmpty(tilde ? client + Tilde : Format("%-7s%-7s", s_.ClientCode, Text), tilde, Why)) return false;
    // Typed past the client's last case: the record found is the next client's.
    if (!tilde && Trim(FieldText(Rec(), CaseFld::Client)) != s_.ClientCode) {
      bool atEnd = false;
      BtrGetPrev(FileNo(), Rec(), atEnd, false);
      if (atEnd) BtrGetFirst(FileNo(), Rec(), atEnd, false);
    }
    return true;
  }
  if (!PositionTemplateLookup(Text, Why)) return false;
  if (FamilyLookup.CaseByKey3 && IsBlank(FieldText(Rec(), CaseFld::AltId)))
    return SeekGreaterOrEqual(FirstPrintable, false);
  return true;
}

bool TDropdownList::PositionEmployeeLookup(const std::string& Text, TFillOutcome& Why) {
  if (!FamilyLookup.EmpByKey3) return PositionTemplateLookup(Text, Why);
  return PositionTemplateLookup(NameKeyText(Text, EmpNamePart2), Why);
}

bool TDropdownList::SeekOwnIndex(const std::string& Key, bool TildeTyped, TFillOutcome& Why) {
  try {
    OpenTemplateDataFile(OwnDataFileNo);
    BtrSetKeyNumber(OwnDataFileNo, int8_t(DataKeyOfIndex(OwnDataFileNo, 1)));
  } catch (const Exception&) {
    Why = TFillOutcome::Failed;
    return false;
  }
  if (SeekGreaterOrEqual(Key, TildeTyped)) return true;
  Why = TFillOutcome::NoData;
  return false;
}

bool TDropdownList::PositionOwnIndex(const std::string& Text, TFillOutcome& Why) {
  const bool tilde = Text == Tilde;
  s_.OwnPrefix = OwnIndexKeyText(s_.Slot, tilde ? std::string() : Text, ValueOf);
  return SeekOwnIndex(tilde ? s_.OwnPrefix + Tilde : s_.OwnPrefix, tilde, Why);
}

bool TDropdownList::PositionOwnIndexReadOn(const std::string& Text, TFillOutcome& Why) {
  // The list's last row is no new prefix: the rows after it within the
  // prefix the list was filled with follow.
  return SeekOwnIndex(OwnIndexKeyText(s_.Slot, Text, ValueOf), false, Why);
}

bool TDropdownList::RestoreListStart() {
  if (!s_.HasListStart || !BtrIsFileOpen(FileNo())) return false;
  BtrGetDirect(FileNo(), Rec(), s_.ListStart);
  return true;
}

int TDropdownList::StepBackDropdown() {
  int n = 0;
  bool atEnd = false;
  while (n < StepBackLimit) {
    BtrGetPrev(FileNo(), Rec(), atEnd, false);
    if (atEnd) {
      // At the start of the file: its first record is current again.
      BtrGetFirst(FileNo(), Rec(), atEnd, false);
      break;
    }
    if (StopsStepBack()) {
      BtrGetNext(FileNo(), Rec(), atEnd, false);
      break;
    }
    ++n;
  }
  return n;
}

TFillResult TDropdownList::Fill(const std::string& Text, int Direction) {
  TFillResult result;
  bool positioned = false;
  if (Direction == FillBackward) {
    positioned = RestoreListStart();
    if (!positioned) result.Outcome = TFillOutcome::Failed;
  } else if (Direction == FillReadOn && s_.Source == TListSource::OwnIndex) {
    positioned = PositionOwnIndexReadOn(Text, result.Outcome);
  } else {
    switch (s_.Source) {
      case TListSource::Template: positioned = PositionTemplateLookup(Text, result.Outcome); break;
      case TListSource::Client: positioned = PositionClientLookup(Text, result.Outcome); break;
      case TListSource::Case: positioned = PositionCaseLookup(Text, result.Outcome); break;
      case TListSource::Employee: positioned = PositionEmployeeLookup(Text, result.Outcome); break;
      case TListSource::OwnIndex: positioned = PositionOwnIndex(Text, result.Outcome); break;
    }
  }
  if (!positioned) {
    rows_.Clear();
    return result;
  }
  result.FirstRow = StepBackDropdown();
  LoadDropdownRows(result.FirstRow, Direction == FillBackward);
  return result;
}

void TDropdownList::LoadDropdownRows(int FirstRow, bool) {
  const TRecLockMsgScope lockMsg(DropdownLockMsg);
  rows_.Clear();
  const uint8_t fileNo = FileNo();
  TDynCharArr& rec = Rec();
  s_.ListStart = BtrSavePosition(fileNo, rec);
  s_.HasListStart = true;
  bool atEnd = false;
  for (int r = 0; r <= RowsBelowStart + FirstRow && r <= LastDropdownRow; ++r) {
    if (OutOfList()) break;
    ++rows_.Filled;
    if (s_.Source == TListSource::Template) {
      FillTemplateLookupRow(r);
    } else if (s_.Source == TListSource::OwnIndex) {
      rows_.Cells[size_t(r)][0] = Bytes(rec, s_.OwnPos, s_.OwnWidth);
    } else {
      FillFamilyRow(r);
    }
    if (s_.KeepIds && s_.Source != TListSource::OwnIndex)
      std::copy_n(rec.begin(), std::min<size_t>(rec.size(), 4), rows_.Ids[size_t(r)].begin());
    BtrGetNext(fileNo, rec, atEnd, false);
    if (atEnd) break;
  }
}

std::string StoredDateCell(std::string_view Stored) {
  const bool fourDigitYear = FormatSettings.ShortDateFormat.find("yyyy") != std::string::npos;
  if (IsBlank(Stored) || Stored.size() < 8) return std::string();
  const std::string text(Stored);
  return text.substr(4, 2) + "/" + text.substr(6, 2) + "/" + (fourDigitYear ? text.substr(0, 4) : text.substr(2, 2));
}

std::string TargetCellText(const TTargetColumn& C, const TDynCharArr& Rec) {
  std::string text = Bytes(Rec, C.Pos, C.Width);
  return C.Type == ttDate ? StoredDateCell(text) : text;
}

void TDropdownList::FillTemplateLookupRow(int Row) {
  if (!s_.Target) return;
  for (size_t k = 0; k < s_.Target->ListCols.size() && k < size_t(MaxListCols); ++k)
    rows_.Cells[size_t(Row)][k] = TargetCellText(s_.Target->ListCols[k], Store.LkpDataRec);
}

std::string LookupColumnText(const TLkpColumn& Def, const TDynCharArr& Source, int SourceId) {
  const TDynCharArr& first = Def[0] == SourceId ? Source : HostFileRec(Def[0]);
  std::string value = Bytes(first, Def[1], Def[2]);
  int fileId = Def[0], pos = Def[1];
  for (size_t t = 3; t < Def.size() && Def[t] != 0; t += 3) {
    const int file = Def[t];
    const uint8_t fileNo = HostFileNo(file);
    TDynCharArr& rec = HostFileRec(file);
    if (!BtrIsFileOpen(fileNo) || !BtrGetEqual(fileNo, HostTranslationKey(file, value, Def[t + 2]), rec, false))
      return NotFoundText;
    value = Bytes(rec, Def[t + 1], HostTranslationWidth(file, Def[t + 2]));
    fileId = file;
    pos = Def[t + 1];
  }
  JoinWholeName(value, fileId, pos);
  return value;
}

std::string TDropdownList::ColumnText(const std::array<int, 9>& Def, const TDynCharArr& Source) const {
  return LookupColumnText(Def, Source, int(s_.Source));
}

void TDropdownList::FillFamilyRow(int Row) {
  const TDynCharArr source = Rec();
  const uint8_t fileNo = FileNo();
  TDropdownRow& cells = rows_.Cells[size_t(Row)];
  // A translation through the list's own file moves it: back afterwards.
  bool movesList = false;
  for (int c = 1; c <= FamilyLookup.DropColCount; ++c)
    for (size_t t = 3; t < 9; t += 3) movesList = movesList || FamilyLookup.LkpDropCols[c][t] == int(s_.Source);
  TBtrPosition here{};
  if (movesList) {
    TDynCharArr scratch = source;
    here = BtrSavePosition(fileNo, scratch);
  }
  for (int c = 1; c <= FamilyLookup.DropColCount; ++c) cells[size_t(c - 1)] = ColumnText(FamilyLookup.LkpDropCols[c], source);
  if (s_.Source == TListSource::Case) {
    cells[ClientCol] = Format("%-7s", FieldText(source, CaseFld::Client));
    cells[NameCol] = Format("%-20s", FieldText(source, CaseFld::AltId));
    cells[PersonCol] = Format("%-4s", FieldText(source, CaseFld::RespAtty1));
    const std::string group = Format("%-12s", Bytes(source, CaseFld::RespAtty1.Pos, GroupParts * GroupPartWidth));
    for (int p = 0; p < GroupParts; ++p)
      cells[size_t(FirstGroupCol + p)] = group.substr(size_t(p * GroupPartWidth), GroupPartWidth);
    cells[ShortCol] = Format("%-3s", FieldText(source, CaseFld::AltBillFormat));
  } else if (s_.Source == TListSource::Employee) {
    cells[PersonCol] = Format("%-20s%-15s", FieldText(source, EmpFld::LastName), FieldText(source, EmpFld::FirstName));
  }
  if (movesList) {
    BtrGetDirect(fileNo, Rec(), here);
  } else {
    Rec() = source;
  }
}

// ---- the selection ----

TRowChoice ChooseTypedRow(const TDropdownRows& Rows, const TDropdownState& State, const TTypedRowInput& In) {
  TRowChoice choice;
  const int first = std::clamp(In.FirstRow, 0, std::max(0, Rows.Filled - 1));
  choice.Row = first;
  if (Rows.Filled == 0) return choice;
  const auto col0 = [&](int r) { return TrimRight(Rows.Cell(0, r)); };
  if (In.EditText == Tilde) {
    choice.Row = Rows.Filled - 1;
    choice.SetText = true;
    choice.Text = col0(choice.Row);
    return choice;
  }
  const std::string search =
      In.UserChanged ? (In.Search.empty() ? In.EditText : In.Search)
                     : (In.NameLookup && !In.Remembered.empty() ? In.Remembered : In.EditText);
  const bool ignoreCase = ByNameKey(State.Source);
  if (search.empty() || !StartsWith(Rows.Cell(0, first), search, ignoreCase)) {
    if (In.ClientAndCase && Trim(In.EditText).empty()) choice.Row = 0;
    return choice;
  }
  if (State.KeepIds) {
    const auto same = [&](int r) {
      const std::string text = col0(r);
      if (text == search) return true;
      return In.NameLookup && text.size() >= 3 && search.size() >= 3 && text.compare(0, 3, search, 0, 3) == 0;
    };
    for (int r = first; r < Rows.Filled && same(r); ++r) {
      if (Rows.Ids[size_t(r)] == In.Chosen) {
        choice.Row = r;
        break;
      }
    }
  }
  const std::string text = col0(choice.Row);
  if (text != In.EditText) {
    choice.SetText = true;
    choice.Text = text;
    if (In.UserChanged) {
      choice.SelStart = int(std::min(search.size(), text.size()));
      choice.SelLength = int(text.size()) - choice.SelStart;
    }
  }
  return choice;
}
