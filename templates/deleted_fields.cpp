#include "templates/deleted_fields.h"

#include "platform/errors.h"
#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>

namespace {

struct TColumn {
  const char* Label;
  int Start;  // 1-based within the entry
  int Width;
};

constexpr TColumn OffsetCol{"Offset", 1, 4};
constexpr TColumn WidthCol{"Width", 6, 3};
constexpr TColumn FldIdCol{"FldId", 10, 3};

void CheckFits(const TColumn& Column, int Value) {
  if (Value < 0 || IntToStr(Value).size() > static_cast<size_t>(Column.Width)) {
    throw EConvertError(Format("A deleted field's %s %d does not fit in %d digits.", Column.Label, Value, Column.Width));
  }
}

int ColumnValue(std::string_view Entry, const TColumn& Column, int EntryNo) {
  const std::string_view raw = Entry.substr(static_cast<size_t>(Column.Start - 1), static_cast<size_t>(Column.Width));
  const std::string s = Trim(raw);
  if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw EConvertError(Format("DeletedFlds entry %d: %s \"%s\" is not a number.", EntryNo, Column.Label, raw));
  }
  return StrToInt(s);
}

}  // namespace

std::string FormatDeletedFld(const TDeletedFld& Fld) {
  CheckFits(OffsetCol, Fld.Offset);
  CheckFits(WidthCol, Fld.Width);
  CheckFits(FldIdCol, Fld.FldId);
  return Format("%-4s %-3s %3s*", IntToStr(Fld.Offset), IntToStr(Fld.Width), IntToStr(Fld.FldId));
}

std::vector<TDeletedFld> ParseDeletedFlds(std::string_view Text) {
  if (Text.size() % DeletedFldLength != 0) {
    throw EConvertError(Format("DeletedFlds has %d characters, which is not a whole number of %d-character entries.",
                               static_cast<int>(Text.size()), DeletedFldLength));
  }
  std::vector<TDeletedFld> fields;
  for (size_t at = 0; at < Text.size(); at += DeletedFldLength) {
    const std::string_view entry = Text.substr(at, DeletedFldLength);
    const int entryNo = static_cast<int>(at / DeletedFldLength) + 1;
    fields.push_back({ColumnValue(entry, OffsetCol, entryNo), ColumnValue(entry, WidthCol, entryNo),
                      ColumnValue(entry, FldIdCol, entryNo)});
  }
  return fields;
}
