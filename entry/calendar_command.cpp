#include "entry/calendar_command.h"

#include "platform/text.h"
#include "templates/family_files.h"

namespace {
const std::string CodeSeparator = "x_x_x";

bool HoldsRecord(const TDynCharArr& Rec) { return Rec.size() > 4 && Rec[4] != 0; }
}  // namespace

TCalendarStart CalendarStart(const std::string& ExeDir, const std::string& WorkDateStr, const std::string& Hint,
                             std::string Client, std::string Case, const TDynCharArr& CaseRecord) {
  TCalendarStart start{ExeDir + "\\zorvik.exe", {WorkDateStr + "d"}};
  const bool clientForm = Hint.find("client") != std::string::npos;
  const bool caseForm = !clientForm && Hint.find("case") != std::string::npos;
  if (caseForm && HoldsRecord(CaseRecord)) {
    if (Trim(Client).empty()) Client = FieldText(CaseRecord, CaseFld::Client);
    Case = FieldText(CaseRecord, CaseFld::Suffix);
  }
  Client = Trim(Client);
  Case = Trim(Case);
  if ((clientForm || caseForm) && !Client.empty()) {
    start.Args.push_back(Client);
    start.Args.push_back(CodeSeparator);
    if (caseForm && !Case.empty()) start.Args.push_back(Case);
  }
  return start;
}
