#include "entry/qe_checks.h"

#include "entry/qe_files.h"
#include "entry/qe_stopwatch.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "templates/family_files.h"

const char* const QeEmpNotFound =
    "Record not found in validation file.  Make sure you are selecting an employee from the dropdown list.";
const char* const QeClientNotFound =
    "Record not found in validation file.  Make sure you are selecting a client from the dropdown list.";
const char* const QeCaseNotFound =
    "Record not found in validation file.  Make sure you are selecting a case from the dropdown list.";
const char* const QeGroupNotFound =
    "Record not found in validation file.  Make sure you are selecting a grouping code from the dropdown list.";
const char* const QeDescTooLong =
    "This transaction description exceeds a length of 2808 characters.\rThis is not permissible.  Please edit "
    "the description and try again.\rUse narrative codes whenever possible to create descriptions that will\r"
    "expand to the length you need.";

namespace {

TQeCheck Refused(std::string Message, TMsgDlgType Type, TQeField Focus) {
  TQeCheck check;
  check.Message = std::move(Message);
  check.Type = Type;
  check.Focus = Focus;
  return check;
}

// A Get Equal on key KeyNo, the file's own key restored afterwards.
bool GetEqualOnKey(uint8_t FileNo, int8_t KeyNo, const std::string& Key, TDynCharArr& Rec) {
  const int8_t was = BtrGetKeyNumber(FileNo);
  if (was != KeyNo) BtrSetKeyNumber(FileNo, KeyNo);
  const bool found = BtrGetEqual(FileNo, Key, Rec, false);
  if (was != KeyNo) BtrSetKeyNumber(FileNo, was);
  return found;
}

// The three-step acceptance of a name: the selected list row, else the
// record of Chosen, else a search in name order (key 3) from the text's
// first character until the first character of the second name part passes
// it. The code found, or "".
std::string AcceptName(uint8_t FileNo, TDynCharArr& Rec, const std::string& Text, const TQeSelectedRow& Selected,
                       const std::string& ChosenKey, TFamilyField CodeField, TFamilyField SecondPart,
                       std::string (*NameOf)(const TDynCharArr&)) {
  const std::string wanted = TrimRight(Text);
  // The row's code is its key-1 text; the record read gives what the
  // caller shows from it.
  if (!wanted.empty() && TrimRight(Selected.Name) == wanted && !Trim(Selected.Code).empty() &&
      GetEqualOnKey(FileNo, 1, Selected.Code, Rec))
    return FieldText(Rec, CodeField);
  if (!ChosenKey.empty() && GetEqualOnKey(FileNo, 1, ChosenKey, Rec) && TrimRight(NameOf(Rec)) == wanted)
    return FieldText(Rec, CodeField);
  if (wanted.empty()) return "";
  const char first = AnsiUpperChar(wanted[0]);
  const int8_t was = BtrGetKeyNumber(FileNo);
  BtrSetKeyNumber(FileNo, 3);
  std::string code;
  bool atEnd = false;
  bool found = BtrGetGreaterLess(FileNo, std::string(1, wanted[0]), Rec, atEnd, 3);
  while (found && !atEnd) {
    if (AnsiUpperChar(FieldText(Rec, SecondPart)[0]) > first) break;
    if (TrimRight(NameOf(Rec)) == wanted) {
      code = FieldText(Rec, CodeField);
      break;
    }
    BtrGetNext(FileNo, Rec, atEnd, false);
  }
  BtrSetKeyNumber(FileNo, was);
  return code;
}

// The client of a case found in modes 3 and 4 into the labels.
void TakeCaseClient(TQeState& S, const std::string& ClientCode) {
  if (BtrGetEqual(QClientFileNo, ClientKey(ClientCode), QClientRec, false)) {
    S.ChosenClient = ClientCode;
    S.LabelClientName = ClientName(QClientRec);
    S.LabelPhone = TrimRight(FieldText(QClientRec, ClientFld::Phone1));
  } else {
    S.LabelClientName = "Client not found";
    S.ChosenClient.clear();
  }
}

}  // namespace

std::string EmployeeName(const TDynCharArr& Rec) {
  std::string name = FieldText(Rec, EmpFld::Name);
  JoinNameParts(name, EmpNamePart1, EmpNamePart2);
  return name;
}

std::string ClientName(const TDynCharArr& Rec) {
  std::string name = FieldText(Rec, ClientFld::Name);
  JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  return name;
}

TQeCheck CheckEmployee(TQeState& S, const std::string& Text, bool IntoList, const TQeSelectedRow& Selected) {
  if (IntoList) return {};
  if (Trim(Text).empty()) {
    S.LabelEmpName.clear();
    return Refused("You must select an employee.", mtError, TQeField::Employee);
  }
  if (S.EmpByNameIdx == 1) {
    const std::string key = EmployeeKey(Text);
    if (GetEqualOnKey(QEmpFileNo, 1, key, QEmpRec)) {
      S.ChosenEmployee = key;
      S.LabelEmpName = EmployeeName(QEmpRec);
      return {};
    }
    S.ChosenEmployee.clear();
    S.LabelEmpName.clear();
    return Refused(QeEmpNotFound, mtWarning, TQeField::Employee);
  }
  const std::string chosenKey = S.ChosenEmployee.empty() ? "" : EmployeeKey(S.ChosenEmployee);
  S.ChosenEmployee = AcceptName(QEmpFileNo, QEmpRec, Text, Selected, chosenKey, EmpFld::Code, EmpFld::LastName, EmployeeName);
  if (!S.ChosenEmployee.empty()) return {};
  return Refused(QeEmpNotFound, mtWarning, TQeField::Employee);
}

TQeCheck CheckClient(TQeState& S, const std::string& Text, bool IntoList, const TQeSelectedRow& Selected) {
  if (IntoList) return {};
  if (S.EntryModeIdx == 1) {
    if (!Trim(Text).empty() && Trim(Text) == Trim(S.ChosenClient) &&
        GetEqualOnKey(QClientFileNo, 1, ClientKey(S.ChosenClient), QClientRec)) {
      S.LabelClientName = ClientName(QClientRec);
      S.LabelPhone = TrimRight(FieldText(QClientRec, ClientFld::Phone1));
      return {};
    }
    S.ChosenClient.clear();
    S.LabelClientName.clear();
    S.LabelCaseDesc.clear();
    TQeCheck check = Refused(QeClientNotFound, mtWarning, TQeField::Client);
    check.EmptyCase = true;
    return check;
  }
  TQeCheck check;
  if (Trim(Text).empty()) {
    // Nothing chosen may stay behind an empty client.
    S.ChosenClient.clear();
    check.EmptyCase = true;
    return check;
  }
  const std::string chosenKey = S.ChosenClient.empty() ? "" : ClientKey(S.ChosenClient);
  const std::string code =
      AcceptName(QClientFileNo, QClientRec, Text, Selected, chosenKey, ClientFld::Code, ClientFld::LastName, ClientName);
  if (code.empty()) {
    S.ChosenClient.clear();
    check = Refused(QeClientNotFound, mtWarning, TQeField::Client);
    check.EmptyCase = true;
    return check;
  }
  check.EmptyCase = code != S.ChosenClient;
  S.ChosenClient = code;
  S.LabelPhone = TrimRight(FieldText(QClientRec, ClientFld::Phone1));
  return check;
}

TQeCheck CheckCase(TQeState& S, const std::string& Text, bool IntoList, bool ClientEditEmpty) {
  if (IntoList) return {};
  const std::string text = Trim(Text);
  if (S.EntryModeIdx == 4) {
    if (text.empty()) {
      S.ChosenCase.clear();
      return Refused("A blank is not allowable when selecting by Alternate ID", mtWarning, TQeField::Case);
    }
    if (GetEqualOnKey(QCaseFileNo, 3, LeftJustified(text, 20), QCaseRec)) {
      S.LabelCaseDesc = TrimRight(FieldText(QCaseRec, CaseFld::Description));
      S.ChosenCase = FieldText(QCaseRec, CaseFld::Suffix);
      TakeCaseClient(S, FieldText(QCaseRec, CaseFld::Client));
      return {};
    }
    S.LabelCaseDesc = "Case not found";
    S.ChosenCase.clear();
    return Refused(QeCaseNotFound, mtWarning, TQeField::Case);
  }
  const std::string suffix = S.NumOrd ? RightJustified(text, 7) : LeftJustified(text, 7);
  const std::string client = S.ClientFirst() ? LeftJustified(S.ChosenClient, 7) : "";
  // Keys 1/4 carry client and suffix; keys 6/5 the suffix (then the client
  // for key 6, lowest first).
  std::string key = client + suffix;
  const int8_t keyNo = S.ClientFirst() ? (S.NumOrd ? 1 : 4) : (S.NumOrd ? 6 : 5);
  if (keyNo == 6) key += std::string(7, ' ');
  const int8_t was = BtrGetKeyNumber(QCaseFileNo);
  BtrSetKeyNumber(QCaseFileNo, keyNo);
  bool atEnd = false;
  const bool found = BtrGetGreaterLess(QCaseFileNo, key, QCaseRec, atEnd, 3) && !atEnd;
  BtrSetKeyNumber(QCaseFileNo, was);
  // A case of another client with that suffix is no match for the chosen one.
  const bool sameClient = !S.ClientFirst() || FieldText(QCaseRec, CaseFld::Client) == client;
  if (found && sameClient && Trim(FieldText(QCaseRec, CaseFld::Suffix)) == text && !text.empty()) {
    S.LabelCaseDesc = TrimRight(FieldText(QCaseRec, CaseFld::Description));
    S.ChosenCase = FieldText(QCaseRec, CaseFld::Suffix);
    if (S.EntryModeIdx == 3) TakeCaseClient(S, FieldText(QCaseRec, CaseFld::Client));
    return {};
  }
  S.LabelCaseDesc.clear();
  S.ChosenCase.clear();
  return Refused(QeCaseNotFound, mtWarning, ClientEditEmpty ? TQeField::Client : TQeField::Case);
}

TQeCheck CheckGroup(const TQeState& S, const std::string& Text) {
  const std::string code = Trim(Text);
  if (code.empty()) {
    if (S.GroupCodeRule == 'R') return Refused("A blank grouping code is not allowed.", mtWarning, TQeField::Group);
    return {};
  }
  if (S.GroupCodeRule == 'N') return {};
  if (GetEqualOnKey(QNarrFileNo, 3, CodeTableKey('G', 'F', code), QGroupRec) ||
      GetEqualOnKey(QNarrFileNo, 3, CodeTableKey('G', 'X', code), QGroupRec))
    return {};
  return Refused(QeGroupNotFound, mtWarning, TQeField::Group);
}

TQeCheck CheckHours(std::string& Text) {
  std::string formatted = Text;
  try {
    FormatHours(formatted);
  } catch (const EConvertError&) {
    return Refused("Invalid entry!", mtError, TQeField::Hours);
  }
  if (StrToFloat(formatted) < 0)
    return Refused("Negative amount is not allowed.", mtError, TQeField::Hours);
  Text = formatted;
  return {};
}

TQeCheck CheckDescription(const std::string& Text) {
  if (Text.size() > QeDescMaxLen) return Refused(QeDescTooLong, mtWarning, TQeField::Description);
  return {};
}

TQeCheck CheckBeforeSave(const TQeState& S, TQeEntryTexts& Texts) {
  TQeState probe = S;
  if (S.ChosenEmployee.empty() || Trim(Texts.Employee).empty()) {
    TQeCheck check = CheckEmployee(probe, Texts.Employee, false);
    return check.Failed() ? check : Refused(QeEmpNotFound, mtWarning, TQeField::Employee);
  }
  if (S.ClientFirst() && Texts.ClientVisible && (S.ChosenClient.empty() || Trim(Texts.Client).empty()))
    return Refused(QeClientNotFound, mtWarning, TQeField::Client);
  if (S.ChosenClient.empty() || S.ChosenCase.empty() || Trim(Texts.Case).empty())
    return Refused(QeCaseNotFound, mtWarning, TQeField::Case);
  if (TQeCheck check = CheckGroup(S, Texts.Group); check.Failed()) return check;
  if (TQeCheck check = CheckHours(Texts.Hours); check.Failed()) return check;
  return CheckDescription(Texts.Description);
}
