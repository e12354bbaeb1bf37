#include "templates/data_transfer.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/decimal_text.h"
#include "templates/deleted_fields.h"
#include "templates/record_codec.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <algorithm>

namespace {

constexpr int8_t ExclusiveMode = -4;

std::string FieldName(const TFld& Fld) { return TrimRight(Fld.Name); }

// Bytes cut off a part: the text part may lose what the store calls blank,
// the part behind it (key bytes, where NUL and control bytes count) only
// blanks.
bool MayDrop(std::string_view Bytes, bool Text) {
  return Text ? IsBlank(Bytes) : std::all_of(Bytes.begin(), Bytes.end(), [](char c) { return c == ' '; });
}

[[noreturn]] void TooNarrow(const TFld& Fld, int Width) {
  throw ESaveRefused("The field " + FieldName(Fld) + " holds entries longer than " + IntToStr(Width) +
                     " characters.\rIt cannot be made narrower while they exist." + ContactMsg);
}

// Copies From into To (both the same part of one field, old and new),
// right-aligned when Right; the bytes that find no room must be droppable.
void CopyPart(std::string_view From, std::string& Data, size_t To, size_t Width, bool Right, bool Text,
              const TFld& Fld) {
  const size_t kept = std::min(From.size(), Width);
  const size_t dropAt = Right ? 0 : kept;
  if (!MayDrop(From.substr(dropAt, From.size() - kept), Text)) TooNarrow(Fld, int(Width));
  const std::string_view moved = From.substr(Right ? From.size() - kept : 0, kept);
  Data.replace(To + (Right ? Width - kept : 0), kept, moved);
}

// Text put into a field's first KeyWidth characters, justified.
void PutJustified(std::string& Data, const TFld& Fld, const std::string& Text) {
  const size_t width = size_t(Fld.KeyWidth);
  Data.replace(FieldTextStart(Fld.Offset), width, JustifiedText(Text, width, Fld.RightJustify));
}

std::string TrimmedText(const std::string& Data, const TFld& Fld) {
  return Trim(TextPartAt(Data, Fld.Offset, Fld.KeyWidth));
}

}  // namespace

const std::string ModifyFileLockMsg =
    "Unable to gain access to this file to proceed with modification.\rIf there are other workstations present, the "
    "file may be in use.\rYou may retry this operation and this message will reappear if\rthe file remains "
    "inaccessable.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";

TOldLayout TransferLayout;

void OpenForModification(uint8_t FileNo, const std::string& Name) {
  TFileLockMsgScope lockText(ModifyFileLockMsg);
  BtrOpenFile(FileNo, Name, ExclusiveMode);
}

void BlankDeletedFields(std::string& Data) {
  for (const TDeletedFld& gone : ParseDeletedFlds(Store.DeletedFlds)) {
    const auto old = TransferLayout.find(gone.FldId);
    if (old == TransferLayout.end()) continue;
    Data.replace(FieldTextStart(old->second.Offset), size_t(old->second.Width), size_t(old->second.Width), ' ');
  }
}

void FormatRecordFields(std::string& Data) {
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& fld = Store.FldTable[k];
    PutJustified(Data, fld, TrimmedText(Data, fld));
  }
}

void ReformatNumericFields(std::string& Data) {
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& fld = Store.FldTable[k];
    if (fld.FldType != 'N') continue;
    const std::string text = TrimmedText(Data, fld);
    if (text.empty() || fld.Decimals < 0 || fld.Decimals > 2) continue;
    const std::string value = WithDecimals(text, fld.Decimals);
    if (value.size() > size_t(fld.KeyWidth)) {
      throw ESaveRefused("The field " + FieldName(fld) + " holds the value " + text + ", which does not fit in " +
                         IntToStr(fld.KeyWidth) + " characters with " + IntToStr(fld.Decimals) + " decimals." +
                         ContactMsg);
    }
    PutJustified(Data, fld, value);
  }
}

std::string CarryFields(const std::string& Data, size_t NewTextLen) {
  std::string out(NewTextLen, ' ');
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& fld = Store.FldTable[k];
    const auto found = TransferLayout.find(fld.FldId);
    // An id taken by a field added in this modification names no stored text.
    if (found == TransferLayout.end() || Store.NewFldIds[fld.FldId] == 1) continue;
    const TOldField& old = found->second;
    const size_t to = FieldTextStart(fld.Offset);
    CopyPart(TextPartAt(Data, old.Offset, old.KeyWidth), out, to, size_t(fld.KeyWidth), fld.RightJustify, true, fld);
    CopyPart(BehindPartAt(Data, old.Offset, old.KeyWidth, old.Width), out, to + size_t(fld.KeyWidth),
             size_t(fld.Width - fld.KeyWidth), false, false, fld);
  }
  return out;
}

bool TransferData(const std::string& NewName) {
  OpenForModification(OldDataFileNo, PreviousGeneration(NewName));
  OpenForModification(NewDataFileNo, NewName);
  const size_t oldLen = BtrRecordLength(OldDataFileNo);
  const size_t newLen = BtrRecordLength(NewDataFileNo);
  const size_t tail = RecordPrefixLength + RecordStampLength;
  if (oldLen < tail || newLen < tail) {
    throw ESaveRefused("The data file " + NewName + " has records too short for a prefix and a date stamp." +
                       ContactMsg);
  }
  BtrSetKeyNumber(OldDataFileNo, 0);
  TDynCharArr rec(oldLen);
  bool atEnd = false;
  for (BtrGetFirst(OldDataFileNo, rec, atEnd, false); !atEnd; BtrGetNext(OldDataFileNo, rec, atEnd, false)) {
    const std::string old(rec.begin(), rec.begin() + std::ptrdiff_t(oldLen));
    std::string data = old.substr(RecordPrefixLength, oldLen - tail);
    if (!Store.DeletedFlds.empty()) BlankDeletedFields(data);
    std::string carried = CarryFields(data, newLen - tail);
    if (Store.JustifyChanged) FormatRecordFields(carried);
    if (Store.MinMaxChanged) ReformatNumericFields(carried);
    BtrInsertRecordKeepPrefix(NewDataFileNo, old.substr(0, RecordPrefixLength) + carried + old.substr(oldLen - RecordStampLength));
  }
  return true;
}
