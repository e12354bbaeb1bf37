#include "templates/set_lookups.h"

#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/user_list_codec.h"

#include <algorithm>

TSetLookup ReadSetLookup(std::string_view Record) {
  TSetLookup lookup;
  if (Record.size() < size_t(DscRecordLength) || IsIndexRecord(Record)) return lookup;
  const std::string kind = RecordRange(Record, DscField::LkpKind);
  lookup.Kind = kind.empty() ? ' ' : kind[0];
  lookup.Target = Trim(RecordRange(Record, DscField::LkpTarget));
  if (lookup.Kind == TemplateLookupKind) {
    const std::string number = RecordRange(Record, DscField::LkpTargetNumber);
    TTemplateNumber parsed;
    const bool digits = std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && TTemplateNumber::TryParse(number, parsed)) lookup.Template = parsed;
  } else if (lookup.Kind == ListLookupKind) {
    lookup.List = ListFileNumber(lookup.Target);
  }
  return lookup;
}

void ForEachFieldRecord(uint8_t FileNo, const std::function<bool(const TSetLookup&, std::string& Text)>& Visit) {
  BtrSetKeyNumber(FileNo, 0);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    if (record.size() < size_t(DscRecordLength) || IsIndexRecord(record)) continue;
    const TSetLookup lookup = ReadSetLookup(record);
    std::string text = DscText(record);
    if (Visit(lookup, text)) BtrUpdateRecord(FileNo, text, rec);
  }
}
