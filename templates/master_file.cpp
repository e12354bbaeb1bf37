#include "templates/master_file.h"

#include "platform/dialogs.h"
#include "platform/format.h"
#include "templates/build_abort.h"
#include "templates/master_codec.h"
#include "templates/template_state.h"

namespace {

constexpr auto MasterNumberKeyNo = static_cast<int8_t>(MasterKeySegments[2].KeyNo);

// Every probe of a search: key 2 selected, the folder listed, Buf sized.
TTemplateNumberSet StartSearch(TDynCharArr& Buf) {
  BtrSetKeyNumber(MasterFileNo, MasterNumberKeyNo);
  Buf.resize(MasterRecordLength);
  return TemplateFilesInFolder(Store.DataDir);
}

// Up to Wanted free numbers, lowest first.
std::vector<TTemplateNumber> FreeNumbers(TDynCharArr& Buf, size_t Wanted) {
  const TTemplateNumberSet files = StartSearch(Buf);
  std::vector<TTemplateNumber> found;
  for (int value = 0; value <= MaxTemplateNumber && found.size() < Wanted; ++value) {
    const TTemplateNumber number(value);
    if (IsTemplateNumberFree(number, files, Buf)) found.push_back(number);
  }
  return found;
}

[[noreturn]] void TemplateLimitReached() {
  MessageDlg(TemplateLimitMsg, mtError, mbOKOnly);
  SilentAbort();
}

}  // namespace

const std::string TemplateLimitMsg =
    "You have reached your limit of 999 templates!\rYou must delete at least 1 existing template to create a new "
    "one.";

bool IsTemplateNumberFree(const TTemplateNumber& Number, const TTemplateNumberSet& TemplateFiles, TDynCharArr& Buf) {
  if (TemplateFiles.test(static_cast<size_t>(Number.Value()))) return false;
  if (BtrGetKeyNumber(MasterFileNo) != MasterNumberKeyNo) BtrSetKeyNumber(MasterFileNo, MasterNumberKeyNo);
  return !BtrGetEqual(MasterFileNo, MasterNumberKey(Number), Buf, false);
}

TTemplateNumber NextTemplateNumber(TDynCharArr& Buf) {
  if (BtrIsFileOpen(MasterFileNo)) BtrCloseFile(MasterFileNo);
  BtrOpenFile(MasterFileNo, MasterFileName(), MasterExclusiveMode);
  const std::vector<TTemplateNumber> found = FreeNumbers(Buf, 1);
  if (found.empty()) TemplateLimitReached();
  return found.front();
}

std::vector<TTemplateNumber> NextTemplateNumber(TDynCharArr& Buf, int Count) {
  if (Count < 0) throw EConvertError(Format("%d template numbers cannot be given.", Count));
  // One more than asked for: the search stops at the free number after them.
  std::vector<TTemplateNumber> found = FreeNumbers(Buf, static_cast<size_t>(Count) + 1);
  if (found.size() <= static_cast<size_t>(Count)) TemplateLimitReached();
  found.pop_back();
  return found;
}

std::string InsertMasterRecord(std::string_view Number, std::string_view Name) {
  const TTemplateNumber number = TTemplateNumber::Parse(Number);
  BtrInsertRecord(MasterFileNo, FormatMasterText(Name, number));
  return number.ZeroFilled();
}
