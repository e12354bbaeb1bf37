#include "entry/link_values.h"

#include "entry/field_checks.h"
#include "entry/qe_checks.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/file_slot_guards.h"
#include "templates/validation_files.h"

#include <functional>

namespace {

constexpr int8_t ByCode = 1;
// The byte that is zero in a buffer holding no record: the code's first.
constexpr size_t RecordMarkByte = ClientFld::Code.Pos - 1;

// Get Equal by key 1 on FileNo into Rec, the file opened for the read when
// closed and closed again. False when nothing was found or the file would
// not open or could not be read (logged).
bool ReadFamilyRecord(uint8_t FileNo, const std::function<void()>& Open, const std::string& Key,
                      TDynCharArr& Rec) {
  const bool wasOpen = BtrIsFileOpen(FileNo);
  try {
    if (!wasOpen) Open();
    TSlotCloser closer(FileNo, !wasOpen);
    return ReadByKey(FileNo, ByCode, Key, Rec);
  } catch (const EAbort& e) {
    LogWarning("linked template: " + std::string(e.what()));
    return false;
  }
}

}  // namespace

bool HoldsClientRecord(const TDynCharArr& Buffer, const TLinkSources& Sources) {
  if (Buffer.size() <= RecordMarkByte || Buffer[RecordMarkByte] == 0) return false;
  return !Sources.ClientByCode || FieldText(Buffer, ClientFld::Code) == ClientKey(Trim(Sources.ClientText));
}

TChildValues CollectChildValues(const TLinkSources& Sources, const TDynCharArr& Buffer) {
  TChildValues values;
  if (Sources.HasClient) {
    bool held = HoldsClientRecord(Buffer, Sources);
    TDynCharArr client = held ? Buffer : TDynCharArr(ClientFile.RecLen);
    if (!held) {
      held = ReadFamilyRecord(ClientFileNo, [] { OpenClientFile(ClientFileNo, ClientRec); },
                              ClientKey(Trim(Sources.ClientText)), client);
    }
    if (held) {
      values.ClientCode = FieldText(client, ClientFld::Code);
      try {
        values.ClientName = ClientName(client);
      } catch (const std::exception& e) {
        // A name that does not join is passed as none.
        LogWarning("linked template: client name: " + std::string(e.what()));
      }
    }
  }
  if (Sources.HasCase) values.CaseCode = Sources.CaseText;
  if (Sources.HasEmployee) {
    TDynCharArr employee(EmployeeFile.RecLen);
    if (ReadFamilyRecord(EmpFileNo, [] { OpenEmployeeFile(EmpFileNo, EmpRec); },
                         EmployeeKey(Trim(Sources.EmployeeText)), employee))
      values.EmployeeCode = FieldText(employee, EmpFld::Code);
  }
  return values;
}
