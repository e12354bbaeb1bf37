#include "templates/descriptor_file.h"

#include "btrieve/create_file.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/build_abort.h"
#include "templates/descriptor_codec.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"

#include <vector>

namespace {

// The key over columns 465-466: field ids and index tags.
constexpr auto TagKeyNo = static_cast<int8_t>(DescriptorKeySegments[2].KeyNo);
constexpr size_t CreateMsgLength = 255;

// The range a numeric field without a minimum is written with: its upper
// bound shows the field's decimals.
void MarkDecimals(TFld& Fld) {
  static constexpr const char* bounds[] = {"0", "0.0", "0.00"};
  if (Fld.FldType != 'N' || !IsBlank(Fld.MinVal)) return;
  if (Fld.Decimals < 0 || Fld.Decimals > 2) {
    throw EDescriptorError(
        Format("Field \"%s\": %d decimals; a numeric field has 0 to 2.", Trim(Fld.Name), Fld.Decimals));
  }
  Fld.MaxVal = bounds[Fld.Decimals];
}

}  // namespace

bool CreateDescriptionFile(std::string& FileName, bool& InTrans, const TTemplateNumber& Number) {
  FileName = DescriptorFileName(Number);
  const std::string backup = PreviousGeneration(FileName);
  bool moved = false;
  if (Store.Modifying && FileExists(FileName)) {
    if (!RenameFile(FileName, backup)) {
      EndBuild("Unable to rename old description file " + FileName + "\r" + "to " + backup + "." + ContactMsg,
               InTrans);
    }
    moved = true;
  }
  std::string msg;
  if (!BtrCreateFile(FileName, DscRecordLength, static_cast<int8_t>(DescriptorKeySegments.size()), msg,
                     CreateMsgLength, true, DescriptorKeySegments)) {
    if (moved) RenameFile(backup, FileName);
    EndBuild("Unable to create new description file " + FileName + ":" + "\r" + msg + ContactMsg, InTrans);
  }
  try {
    BtrOpenFile(DescriptorFileNo, FileName, 0);
  } catch (const EAbort&) {
    // The file just made is this save's own; the old one goes back.
    DeleteFile(FileName);
    if (moved) RenameFile(backup, FileName);
    throw;
  }
  return moved;
}

void WriteFieldRecords(const TFieldPositions& Offsets) {
  std::vector<TFld> fields;
  std::vector<std::string> texts;
  for (int k = 1; k <= Store.FldCount; ++k) {
    TFld fld = Store.FldTable[k];
    PadFieldTexts(fld);
    MarkDecimals(fld);
    texts.push_back(FormatFieldRecord(fld, Offsets[k]));
    fields.push_back(std::move(fld));
  }
  for (size_t i = 0; i < fields.size(); ++i) Store.FldTable[static_cast<int>(i) + 1] = std::move(fields[i]);
  for (const std::string& text : texts) BtrInsertRecord(DescriptorFileNo, text);
}

void WriteDscRecord(std::string& Rec) {
  Rec = CompleteDscText(Rec);
  BtrInsertRecord(DescriptorFileNo, Rec);
}

bool ReadNameRecord(uint8_t FileNo, TDynCharArr& Rec) {
  BtrSetKeyNumber(FileNo, TagKeyNo);
  if (Rec.size() < static_cast<size_t>(DscRecordLength)) Rec.resize(DscRecordLength);
  return BtrGetEqual(FileNo, std::string(NameRecordKey), Rec, false);
}

bool WriteNameRecord(uint8_t FileNo, std::string_view Name) {
  TDynCharArr rec(DscRecordLength);
  if (!ReadNameRecord(FileNo, rec)) return false;
  std::string text = DscText(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size()));
  SetIndexTplName(text, Name);
  BtrUpdateRecord(FileNo, text, rec);
  return true;
}
