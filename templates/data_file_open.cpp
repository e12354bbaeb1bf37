#include "templates/data_file_open.h"

#include "btrieve/numbered_files.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/save_lock.h"
#include "templates/template_number.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <cctype>
#include <string>

int TplTextLen = 0;

namespace {

constexpr size_t PrefixSize = 4;

const char* const TemplateFileLockMsg =
    "Unable to open the data file for your template.\r\rYou may retry this operation and this message will reappear "
    "if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";
const char* const LookupFileLockMsg =
    "Unable to open the data file for a template referenced as a\rlookup by this template.\r\rYou may retry this "
    "operation and this message will reappear if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. "
    "for assistance.\r\rRetry opening the file?";

// The template's shared save lock, taken once a save of it that was cut
// short has been put back. A recovery that could not resolve the files has
// shown its message: the opener ends silently.
TSaveLock SharedSaveLock(const TTemplateNumber& Number, const std::string& Name) {
  TSaveLock lock;
  if (!AcquireSharedAfterRecovery(Store.DataDir, Number.Value(), Name, FileLockMsg, lock)) Abort();
  return lock;
}

// The record buffer of open file FileNo sized to its record length.
void SizeToRecord(uint8_t FileNo, TRecordBuffer& Buf) { Buf.resize(BtrRecordLength(FileNo)); }

// A lookup's key number is the first character of its LkpSpec.
bool IsKeyDigit(const std::string& LkpSpec) {
  return !LkpSpec.empty() && std::isdigit(static_cast<unsigned char>(LkpSpec[0]));
}

}  // namespace

bool LookupTargetNumber(std::string_view LkpTarget, TTemplateNumber& Number) {
  const std::string part = Copy(LkpTarget, 5, 4);
  if (part.size() != 4 || part[3] != '.') return false;
  for (size_t i = 0; i < 3; ++i)
    if (!std::isdigit(static_cast<unsigned char>(part[i]))) return false;
  return TTemplateNumber::TryParse(part.substr(0, 3), Number);
}

void OpenTemplateDataFile(uint8_t FileNo) {
  if (BtrIsFileOpen(FileNo)) return;
  const TFileLockMsgScope lockMsg(TemplateFileLockMsg);
  const TTemplateNumber number = TTemplateNumber::Parse(Store.OpenTplNumber);
  const std::string name = DataFileName(number);
  {
    const TSaveLock lock = SharedSaveLock(number, name);
    BtrOpenFile(FileNo, name, 0);
  }
  BtrSetKeyNumber(FileNo, 1);
  SizeToRecord(FileNo, Store.TplRec);
  TplTextLen = int(BtrRecordLength(FileNo)) - int(PrefixSize);
}

void OpenLookupDataFile(uint8_t FileNo, int Slot) {
  const TBusyCursor hourglass;
  const TFileLockMsgScope lockMsg(LookupFileLockMsg);
  BtrCloseFile(FileNo);
  const TFld& field = Store.FldTable[Slot];
  const std::string targetPart = Copy(field.LkpTarget, 5, 4);
  const std::string name = Store.DataDir + "\\MGRDT" + targetPart + "QMD";
  TTemplateNumber number;
  bool opened = false;
  if (LookupTargetNumber(field.LkpTarget, number) && IsKeyDigit(field.LkpSpec)) {
    const TSaveLock lock = SharedSaveLock(number, name);
    if (FileExists(name)) {
      BtrOpenFile(FileNo, name, 0);
      opened = true;
    }
  }
  // Never asked while the lock is held: a save would wait for the answer.
  if (!opened) {
    MessageDlg("The Matterdesk file " + name + " could not be found.\rThis lookup will not function at the present time.",
               mtError, mbOKOnly, 0);
    return;
  }
  BtrSetKeyNumber(FileNo, int8_t(field.LkpSpec[0] - '0'));
  SizeToRecord(FileNo, Store.LkpDataRec);
}
