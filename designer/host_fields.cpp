#include "designer/host_fields.h"

#include "platform/text.h"
#include "templates/template_state.h"

int HostOfCode(int Code) {
  if (Code >= 0 && Code <= HostCode::LastClientTile) return 1;
  if ((Code >= HostCode::CaseSuffix && Code <= HostCode::LastCaseTile) ||
      (Code >= HostCode::FirstDescLine && Code < HostCode::FirstDescLine + HostCode::DescLines))
    return 2;
  if (Code >= HostCode::EmpCode && Code <= HostCode::LastTile) return 3;
  return 0;
}

char HostLetterOfCode(int Code) {
  static constexpr char letters[] = {' ', 'A', 'B', 'E'};
  return letters[HostOfCode(Code)];
}

int HostOfLetter(char Letter) {
  switch (Letter) {
    case 'A': return 1;
    case 'B': return 2;
    case 'E': return 3;
    default: return 0;
  }
}

int HostCodeOfName(const std::string& Name) {
  const std::string name = Trim(Name);
  if (name.empty()) return -1;
  for (int code = 0; code <= MaxHostFldCode; ++code) {
    if (Store.HostFldNames[code] == name) return code;
  }
  return -1;
}

std::string HostNameOfCode(int Code) {
  if (Code < 0 || Code > MaxHostFldCode) return "";
  return Store.HostFldNames[Code];
}

int CodeFieldOfNameField(int Code) {
  switch (Code) {
    case HostCode::ClientName: return HostCode::ClientCode;
    case HostCode::CaseAltId: return HostCode::CaseSuffix;
    case HostCode::EmpName: return HostCode::EmpCode;
    default: return -1;
  }
}

int AltNameFieldOfHost(int Host) {
  static constexpr int names[] = {-1, HostCode::ClientName, HostCode::CaseAltId, HostCode::EmpName};
  return Host >= 1 && Host <= 3 ? names[Host] : -1;
}

bool IsDropdownKeyCode(int Code) {
  return Code == HostCode::ClientCode || CodeFieldOfNameField(Code) >= 0 || Code == HostCode::CaseSuffix ||
         Code == HostCode::EmpCode;
}

std::string CaseDescriptionLine(int N) { return "Case description line " + IntToStr(N); }
