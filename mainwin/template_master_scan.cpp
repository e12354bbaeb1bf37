#include "mainwin/template_master_scan.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/master_file.h"

namespace {

const int8_t NameKey = static_cast<int8_t>(MasterKeySegments[1].KeyNo);
const int8_t NumberKey = static_cast<int8_t>(MasterKeySegments[2].KeyNo);

}  // namespace

void OpenMaster(const std::string& LockMsg) {
  const TFileLockMsgScope lockText(LockMsg);
  BtrCloseFile(MasterFileNo);
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
}

void CloseMasterQuietly() {
  try {
    if (BtrIsFileOpen(MasterFileNo)) BtrCloseFile(MasterFileNo);
  } catch (const std::exception&) {
  }
}

std::optional<TMasterRecord> FindMasterRecord(const std::string& Item, bool Lock) {
  const std::string wanted = Trim(Item);
  BtrSetKeyNumber(MasterFileNo, NameKey);
  TDynCharArr rec(MasterRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(MasterFileNo, rec, atEnd, false); !atEnd; BtrGetNext(MasterFileNo, rec, atEnd, false)) {
    const TMasterRecord found =
        ParseMasterText(MasterText(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size())));
    if (Trim(found.Name) != wanted) continue;
    if (Lock && !LockMasterRecord(found.Number, rec)) return std::nullopt;
    return found;
  }
  return std::nullopt;
}

bool LockMasterRecord(const TTemplateNumber& Number, TDynCharArr& Rec) {
  BtrSetKeyNumber(MasterFileNo, NumberKey);
  return BtrGetEqual(MasterFileNo, MasterNumberKey(Number), Rec, true);
}
