#include "entry/grid_replace.h"

#include "btrieve/numbered_files.h"
#include "platform/date_format.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/file_slot_guards.h"
#include "templates/record_codec.h"
#include "templates/template_state.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"

namespace {

constexpr uint8_t TplFile = 52;

std::string_view Bytes(const TDynCharArr& Rec) {
  return std::string_view(reinterpret_cast<const char*>(Rec.data()), Rec.size());
}

}  // namespace

std::string DateToSearchText(TDateTime Date) {
  return Date == 0 ? std::string(8, ' ') : FormatDateTime("yyyymmdd", Date);
}

void CheckReplaceValues(const TReplaceRequest& Request) {
  const TFld& f = Store.FldTable[Request.Slot];
  StoredFieldText(f, Request.OldValue);
  StoredFieldText(f, Request.NewValue);
}

TReplaceResult ReplaceFieldValues(const TReplaceRequest& Request,
                                  const std::function<void(int Done, int Total)>& Progress) {
  const TFld& f = Store.FldTable[Request.Slot];
  const std::string oldText = StoredFieldText(f, Request.OldValue);
  TReplaceResult result;
  const int8_t key = BtrGetKeyNumber(TplFile);
  const int total = BtrRecordCount(TplFile);
  try {
    BtrSetKeyNumber(TplFile, 0);
    bool atEnd = false;
    int done = 0;
    for (BtrGetFirst(TplFile, Store.TplRec, atEnd, false); !atEnd; BtrGetNext(TplFile, Store.TplRec, atEnd, false)) {
      if (Progress) Progress(++done, total);
      const std::string_view rec = Bytes(Store.TplRec);
      if (FieldTextOf(rec, f) != oldText) continue;
      std::string text(rec.substr(RecordPrefixLength));
      const std::string tail(FieldTailOf(rec, f));
      const std::string key4 = Request.NewKey.empty() ? std::string(FieldKeyOf(rec, f)) : Request.NewKey;
      PutFieldValue(text, f, Request.NewValue, key4, tail);
      BtrUpdateRecord(TplFile, text, Store.TplRec);
      ++result.Changed;
    }
  } catch (const Exception& e) {
    result.Failure = e.Message;
  }
  try {
    BtrSetKeyNumber(TplFile, key);
  } catch (const Exception& e) {
    if (result.Failure.empty()) result.Failure = e.Message;
  }
  return result;
}

std::vector<std::string> LookupTargetRecords(int Slot, const std::string& Value, uint8_t FileNo) {
  std::vector<std::string> found;
  OpenLookupDataFile(FileNo, Slot);
  if (!BtrIsFileOpen(FileNo)) return found;
  TSlotCloser closing(FileNo);
  const auto keys = BtrKeySegments(FileNo);
  const int keyNo = BtrGetKeyNumber(FileNo);
  if (keyNo < 0 || size_t(keyNo) >= keys.size() || keys[size_t(keyNo)].empty()) return found;
  const TStatSegment& seg = keys[size_t(keyNo)].front();
  const std::string want = Trim(Value);
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false)) {
    const std::string_view r = Bytes(rec);
    const size_t at = size_t(std::max<int>(1, seg.Position) - 1);
    if (at < r.size() && Trim(r.substr(at, seg.Length)) == want) found.emplace_back(r);
  }
  return found;
}

bool ForcedListItems(int Slot, std::vector<std::string>& Items) {
  const TFld& f = Store.FldTable[Slot];
  if (f.LkpKind != "U" || !f.Forced) return false;
  const std::optional<int> number = ListFileNumber(Trim(f.LkpTarget));
  return number && ReadUserListItems(*number, Items);
}
