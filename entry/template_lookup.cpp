#include "entry/template_lookup.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_codec.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_number.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <cctype>
#include <cmath>
#include <optional>

namespace {

const char* const DescFileLockMsg =
    "Unable to open the description file for a template referenced as a\rlookup by this template.\r\rYou may retry "
    "this operation and this message will reappear if\rthe file remains inaccessible.  Otherwise, contact Ondral, "
    "Inc. for assistance.\r\rRetry opening the file?";
const char* const DataFileLockMsg =
    "Unable to open the data file for a template referenced as a\rlookup by this template.\r\rYou may retry this "
    "operation and this message will reappear if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. "
    "for assistance.\r\rRetry opening the file?";

constexpr int8_t ReadOnlyMode = -2;
constexpr int8_t ByFldId = 2;
constexpr size_t DscBufferSize = 512;
constexpr int SpecGroupWidth = 3;

void CloseQuietly(uint8_t FileNo) {
  try {
    BtrCloseFile(FileNo);
  } catch (const EAbort&) {
  }
}

// The field record of the target field with this id from file 32, or none.
std::optional<TFld> TargetField(const std::string& Key) {
  if (!BtrGetEqual(TargetDescFileNo, Key, DscLookupBuf, false)) return std::nullopt;
  const std::string_view rec(reinterpret_cast<const char*>(DscLookupBuf.data()), DscLookupBuf.size());
  if (IsIndexRecord(rec)) return std::nullopt;
  try {
    return ParseFieldRecord(rec);
  } catch (const EDescriptorError&) {
    return std::nullopt;  // a damaged record tells nothing about the field
  }
}

TTargetColumn ColumnOf(const TFld& F) {
  TTargetColumn c;
  c.FldId = F.FldId;
  c.Pos = F.Offset;
  c.Width = F.Width;
  c.Type = TargetTypeOf(F.FldType);
  return c;
}

// Whether the target's index Number refuses duplicates: its index record
// (column 2 the number, whatever tag key 2 gives it) carries "UQ".
bool TargetIndexUnique(int Number) {
  bool atEnd = false;
  bool found = BtrGetGreaterLess(TargetDescFileNo, std::string(1, IndexRecordLetter), DscLookupBuf, atEnd, 3);
  while (found && !atEnd) {
    const std::string_view rec(reinterpret_cast<const char*>(DscLookupBuf.data()), DscLookupBuf.size());
    if (IsIndexRecord(rec)) {
      try {
        const TIndexRecord index = ParseIndexRecord(rec);
        if (index.Number == Number) return index.Unique;
      } catch (const EDescriptorError&) {
      }
    }
    BtrGetNext(TargetDescFileNo, DscLookupBuf, atEnd, false);
  }
  return false;
}

std::string OpenFailureMsg(const std::string& Error, const char* What, const std::string& FileName) {
  return "Error:  " + Error + "\r\r" + "Unable to open a needed " + What + " file: " + FileName + "." + "\r" +
         "You will not be able to enter data into your template at this time." + ContactMsg;
}

}  // namespace

int TargetTypeOf(char FldType) {
  switch (FldType) {
    case 'N': return ttNumber;
    case 'D': return ttDate;
    case 'B': return ttBoolean;
    case 'd': return ttDocument;
    default: return ttText;
  }
}

std::string TargetFieldKey(const std::string& Id) { return Format("%2s", Trim(Id)); }

std::string DisplayFieldMissingMsg(const std::string& LkpTarget, const std::string& Key) {
  return "Unable to obtain required information about a display field from\r" + Store.DataDir + "\\" +
         Trim(LkpTarget) + "." + "\r" + "Field number is " + Key + "\r\r" + ContactMsg;
}

bool PrepareTemplateLookup(int Slot, TFieldControl& Control) {
  TFld& f = Store.FldTable[Slot];
  Control = TFieldControl{};
  f.LkpKeyUnique = false;
  TTemplateNumber number;
  const bool keyDigit = !f.LkpSpec.empty() && std::isdigit(static_cast<unsigned char>(f.LkpSpec[0]));
  if (!LookupTargetNumber(f.LkpTarget, number) || !keyDigit || !FileExists(DescriptorFileName(number))) {
    MessageDlg("A required file " + Store.DataDir + "\\" + Trim(f.LkpTarget) + " is missing." + ContactMsg, mtError,
               mbOKOnly, 0);
    return false;
  }
  const int keyNo = f.LkpSpec[0] - '0';
  const uint8_t dataFileNo = uint8_t(Slot + TargetFileOffset);
  const std::string descName = DescriptorFileName(number);
  const std::string dataName = DataFileName(number);
  std::string failure;
  {
    TSaveLock lock;
    const char* opening = "description";
    std::string openingName = descName;
    try {
      if (!AcquireSharedAfterRecovery(Store.DataDir, number.Value(), descName, DescFileLockMsg, lock)) return false;
      {
        const TFileLockMsgScope lockMsg(DescFileLockMsg);
        BtrOpenFile(TargetDescFileNo, descName, ReadOnlyMode);
        BtrSetKeyNumber(TargetDescFileNo, ByFldId);
      }
      DscLookupBuf.assign(DscBufferSize, 0);
      Control.TotalWidth = 0;
      Control.TargetNo = number.Value();
      Control.DataFileNo = dataFileNo;
      opening = "data";
      openingName = dataName;
      {
        const TFileLockMsgScope lockMsg(DataFileLockMsg);
        BtrOpenFile(dataFileNo, dataName, 0);
        BtrSetKeyNumber(dataFileNo, int8_t(keyNo));
      }
      if (f.Unique) f.LkpKeyUnique = TargetIndexUnique(keyNo);
      Control.RecLen = BtrRecordLength(dataFileNo);
      for (int k = 1; k <= MaxListCols; ++k) {
        const std::string group = Trim(Copy(f.LkpSpec, SpecGroupWidth * k - 1, SpecGroupWidth));
        if (group.empty()) break;
        const std::optional<TFld> target = TargetField(TargetFieldKey(group));
        if (!target) {
          failure = DisplayFieldMissingMsg(f.LkpTarget, TargetFieldKey(group));
          break;
        }
        TTargetColumn c = ColumnOf(*target);
        c.PixelWidth = int(std::trunc(CalcFieldWidth(c.Width))) + 2;
        Control.TotalWidth += c.PixelWidth;
        Control.ListCols.push_back(c);
      }
    } catch (const EAbort& e) {
      failure = OpenFailureMsg(e.Message, opening, openingName);
    }
  }
  if (failure.empty()) return true;
  CloseQuietly(TargetDescFileNo);
  CloseQuietly(dataFileNo);
  MessageDlg(failure, mtError, mbOKOnly, 0);
  return false;
}

bool ReadDisplayField(int Slot, int K, TFieldControl& Control) {
  const int id = Store.FldTable[Slot].DispCols[K];
  const std::optional<TFld> target =
      BtrIsFileOpen(TargetDescFileNo) ? TargetField(TargetFieldKey(IntToStr(id))) : std::nullopt;
  if (!target) return false;
  if (int(Control.DispCols.size()) < K) Control.DispCols.resize(size_t(K));
  TTargetColumn& c = Control.DispCols[size_t(K - 1)];
  c = ColumnOf(*target);
  c.Name = Trim(target->Name);
  return true;
}

void CloseTargetDescriptor() { CloseQuietly(TargetDescFileNo); }

void CloseTemplateLookupFiles() {
  CloseQuietly(TargetDescFileNo);
  CloseQuietly(TemplateLookupFileNo);
  for (int slot = 1; slot <= FieldSlots; ++slot) CloseQuietly(uint8_t(slot + TargetFileOffset));
}
