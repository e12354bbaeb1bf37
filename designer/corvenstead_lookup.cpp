#include "designer/corvenstead_lookup.h"

#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>

namespace {

constexpr TKeyFieldRow KeyFieldRows[] = {
    {HostCode::ClientCode, 'A', 7, 7, true},  {HostCode::ClientName, 'A', 47, 40, false},
    {HostCode::CaseSuffix, 'B', 7, 7, true},  {HostCode::CaseAltId, 'B', 24, 20, false},
    {HostCode::EmpCode, 'E', 4, 4, true},     {HostCode::EmpName, 'E', 44, 37, false},
};

constexpr int SpecCodeWidth = 3;

void SetRange(TTileStates& States, int First, int Last, bool On) {
  for (int code = First; code <= Last; ++code) States[size_t(code)] = On;
}

void SetCodes(TTileStates& States, std::initializer_list<int> Codes, bool On) {
  for (const int code : Codes) States[size_t(code)] = On;
}

// What a host's first dropdown field enables: a range, then codes off.
struct THostTiles {
  int First;
  int Last;
  std::array<int, 4> Off;  // -1 fills
};

TTileStates TilesOfHost(int FirstCode, const THostTiles (&Rows)[3]) {
  TTileStates states = ResetTileStates();
  const int host = HostOfCode(FirstCode);
  if (host == 0) return states;
  const THostTiles& row = Rows[host - 1];
  SetRange(states, row.First, row.Last, true);
  for (const int code : row.Off)
    if (code >= 0) states[size_t(code)] = false;
  return states;
}

bool Listed(const std::vector<std::string>& List, const std::string& Name) {
  return std::find(List.begin(), List.end(), Name) != List.end();
}

// The catalogue name of a stored code text; empty when it names nothing.
std::string NameOfStoredCode(const std::string& Text) {
  int code = 0;
  if (!TryStrToInt(Trim(Text), code)) return "";
  return HostNameOfCode(code);
}

}  // namespace

const TKeyFieldRow* KeyFieldRow(int Code) {
  for (const TKeyFieldRow& row : KeyFieldRows)
    if (row.Code == Code) return &row;
  return nullptr;
}

std::string DropdownListedMsg(const std::string& Name) { return Name + " is already included in the dropdown list."; }

std::string DisplayListedMsg(const std::string& Name) {
  return "The field \"" + Name + "\" has already been selected.";
}

TTileStates ResetTileStates() {
  TTileStates states{};
  SetCodes(states, {HostCode::ClientCode, HostCode::CaseSuffix, HostCode::EmpCode}, true);
  return states;
}

TTileStates HostTileStates(int FirstCode) {
  // By host: the range enabled, then the codes disabled.
  static const THostTiles rows[] = {
      {1, HostCode::LastClientTile, {HostCode::CaseSuffix, HostCode::CaseAltId, HostCode::EmpCode, HostCode::EmpName}},
      {0, HostCode::LastCaseTile, {HostCode::EmpCode, HostCode::EmpName, -1, -1}},
      {HostCode::EmpName, HostCode::LastTile,
       {HostCode::ClientCode, HostCode::ClientName, HostCode::CaseSuffix, HostCode::CaseAltId}},
  };
  return TilesOfHost(FirstCode, rows);
}

TTileStates KeyTileStates(int FirstCode) {
  static const THostTiles rows[] = {
      {2, HostCode::LastClientTile, {HostCode::CaseSuffix, HostCode::CaseAltId, HostCode::EmpCode, HostCode::EmpName}},
      {0, HostCode::LastCaseTile, {HostCode::EmpCode, HostCode::EmpName, -1, -1}},
      {HostCode::EmpName + 1, HostCode::LastTile,
       {HostCode::ClientCode, HostCode::ClientName, HostCode::CaseSuffix, HostCode::CaseAltId}},
  };
  TTileStates states = TilesOfHost(FirstCode, rows);
  // A loaded lookup keeps its key: no name field can start it anew.
  SetCodes(states, {HostCode::ClientName, HostCode::CaseAltId, HostCode::EmpName}, false);
  return states;
}

std::string AltLookupCaption(int Code) {
  static const char* const names[] = {"", "Client Name", "Case Alternate ID", "Employee Name"};
  const int host = HostOfCode(Code);
  if (host == 0) return "";
  return std::string("Make the field ") + names[host] + " available as an alternative lookup.";
}

bool HasClientLookup(const LookupHandOver& Given) {
  for (size_t k = 0; k < Given.ListedFields.size(); ++k) {
    if (!Given.Adding && int(k) == Given.EditedField) continue;
    const TFld& f = Given.ListedFields[k];
    if (f.IsLookup && !f.LkpSpec.empty() && f.LkpSpec[0] == 'A') return true;
  }
  return false;
}

TClientLookupStep ClientLookupStep(int Option, const LookupHandOver& Given) {
  TClientLookupStep step;
  switch (Option) {
    case 0:
      // Only a field being added can bring a second one with it; an edit
      // never creates it, so it gets the reminder instead.
      if (!Given.Adding) {
        step.Message = NoClientLookupReminder;
      } else if (Given.ListCount >= MaxFields - 1) {
        step.Message = NoRoomForClientLookupMsg;
      } else {
        step.AutoClientLookup = true;
      }
      break;
    case 2: step.Message = NoClientLookupReminder; break;
    case 3: step.CancelForm = true; break;
    default: break;
  }
  return step;
}

int TCorvensteadLookup::FirstCode() const {
  for (const std::string& name : Dropdown) {
    const int code = HostCodeOfName(name);
    if (code >= 0) return code;
  }
  return -1;
}

bool TCorvensteadLookup::InDropdown(const std::string& Name) const { return Listed(Dropdown, Name); }
bool TCorvensteadLookup::InDisplayed(const std::string& Name) const { return Listed(Displayed, Name); }

void TCorvensteadLookup::StoreInto(TFld& Fld) const {
  Fld.LkpTarget.clear();
  const int first = FirstCode();
  std::string spec = first >= 0 ? std::string(1, HostLetterOfCode(first)) : std::string();
  for (const std::string& name : Dropdown) {
    const int code = HostCodeOfName(name);
    if (code >= 0) spec += Format("%3s", IntToStr(code).c_str());
  }
  Fld.LkpSpec = spec;
  for (int k = 1; k <= MaxDispCols; ++k) Fld.DispCols[k] = DispColsEnd;
  int col = 0;
  for (const std::string& name : Displayed) {
    const int code = HostCodeOfName(name);
    if (code >= 0 && col < MaxDispCols) Fld.DispCols[++col] = code;
  }
  if (const TKeyFieldRow* row = KeyFieldRow(first)) {
    Fld.Width = row->Width;
    Fld.KeyWidth = row->KeyWidth;
    if (row->CodeField) Fld.UpperCase = Fld.Unique = true;
  }
}

TCorvensteadLookup TCorvensteadLookup::LoadFrom(const TFld& Fld) {
  TCorvensteadLookup lookup;
  for (size_t at = 1; at < Fld.LkpSpec.size() && lookup.Dropdown.size() < MaxDropdownFields; at += SpecCodeWidth) {
    const std::string name = NameOfStoredCode(Fld.LkpSpec.substr(at, SpecCodeWidth));
    if (!name.empty() && !lookup.InDropdown(name)) lookup.Dropdown.push_back(name);
  }
  for (int k = 1; k <= MaxDispCols && Fld.DispCols[k] != DispColsEnd; ++k) {
    const std::string name = HostNameOfCode(Fld.DispCols[k]);
    if (!name.empty() && !lookup.InDisplayed(name)) lookup.Displayed.push_back(name);
  }
  return lookup;
}

std::string StoredLookupKind(bool AltLookupChecked, const TFld& Fld) {
  if (!AltLookupChecked || Fld.LkpSpec.empty()) return "L";
  const int alt = AltNameFieldOfHost(HostOfLetter(Fld.LkpSpec[0]));
  return alt >= 0 && Fld.DispCols[1] == alt ? "l" : "L";
}

void AddClientLookupField() {
  const int slot = Store.FldCount;
  InitFieldSlot(slot);
  TFld& f = Store.FldTable[slot];
  f.Name = ClientLookupName;
  f.SeqNo = slot;
  f.FldType = 'C';
  f.UpperCase = true;
  f.Required = false;
  f.IsLookup = true;
  f.Unique = true;
  f.RightJustify = false;
  f.Width = ClientLookupWidth;
  f.KeyWidth = ClientLookupWidth;
  f.Default.clear();
  f.LkpKind = "L";
  f.LkpSpec = Format("%-13s", ("A" + Format("%3s", IntToStr(HostCode::ClientCode).c_str())).c_str());
  f.Forced = true;
  Store.RecLen += ClientLookupWidth;
}
