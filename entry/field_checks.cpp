#include "entry/field_checks.h"

#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/packed_decimal.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"
#include "templates/user_list_store.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

constexpr int8_t KeyOne = 1, CaseKeyLeft = 4;
constexpr int DateKeyWidth = 8;
constexpr int GetGreaterOrEqual = 3;
const std::string Digits = "0123456789";

bool IsDigit(char C) { return std::isdigit(static_cast<unsigned char>(C)) != 0; }

// Commas only where thousands go: not first, each before the point
// followed by three digits.
bool CommasPlaced(const std::string& Text) {
  if (Text.find(',') == std::string::npos) return true;
  if (Text.front() == ',') return false;
  const size_t point = std::min(Text.find('.'), Text.size());
  for (size_t i = 0; i < point; ++i) {
    if (Text[i] != ',') continue;
    for (size_t k = i + 1; k <= i + 3; ++k)
      if (k >= Text.size() || !IsDigit(Text[k])) return false;
  }
  return true;
}

// A sign, digits, a point and digits, one digit at least.
bool IsDecimalNumber(const std::string& Text) {
  size_t i = 0;
  if (i < Text.size() && (Text[i] == '-' || Text[i] == '+')) ++i;
  bool digit = false, point = false;
  for (; i < Text.size(); ++i) {
    if (IsDigit(Text[i])) {
      digit = true;
    } else if (Text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The digits grouped by three from the right; the sign stays in front.
std::string Grouped(const std::string& Whole) {
  const size_t signLen = !Whole.empty() && (Whole[0] == '-' || Whole[0] == '+') ? 1 : 0;
  const std::string digits = Whole.substr(signLen);
  if (digits.size() <= 3) return Whole;
  std::string out = Whole.substr(0, signLen);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::optional<std::string> FormatNumericText(const std::string& Typed, int Decimals) {
  std::string text = Trim(Typed);
  if (text.empty()) return text;
  if (!CommasPlaced(text)) return std::nullopt;
  std::string plain = text;
  std::erase(plain, ',');
  if (!IsDecimalNumber(plain)) return std::nullopt;
  const size_t point = text.find('.');
  if (Decimals <= 0) {
    if (point != std::string::npos) text.resize(point);
  } else if (point == std::string::npos) {
    text += "." + std::string(size_t(Decimals), '0');
  } else {
    const size_t after = text.size() - point - 1;
    if (after < size_t(Decimals)) text += std::string(size_t(Decimals) - after, '0');
  }
  if (text.find(',') != std::string::npos) return text;
  const size_t at = std::min(text.find('.'), text.size());
  return Grouped(text.substr(0, at)) + text.substr(at);
}

TUserListFill FillUserListRows(const std::vector<std::string>& Lines, TDropdownRows& Rows) {
  Rows.Clear();
  TUserListFill fill;
  fill.Lines = int(Lines.size());
  for (const std::string& line : Lines) {
    if (fill.Items >= LastDropdownRow) break;
    if (IsBlank(line) || IsListHeader(line)) continue;
    TDropdownRow& cells = Rows.Cells[size_t(fill.Items)];
    const size_t sep = line.size() > 1 ? line.find(ListSep[0], 1) : std::string::npos;
    if (sep == std::string::npos) {
      cells[0] = line;
    } else {
      cells[0] = line.substr(0, sep);
      cells[1] = line.substr(sep + 1);
    }
    ++fill.Items;
  }
  Rows.Filled = fill.Items;
  return fill;
}

bool ReadUserListLines(const std::string& Target, std::vector<std::string>& Lines, std::string& Why) {
  Lines.clear();
  const std::optional<int> number = ListFileNumber(Trim(Target));
  if (!number) {
    Why = "\"" + Target + "\" names no user list.";
    return false;
  }
  std::string bytes;
  if (!ReadWholeListFile(*number, bytes)) {
    Why = UserListPath(*number) + ": " + std::strerror(errno);
    return false;
  }
  Lines = SplitListLines(bytes);
  return true;
}

bool RowMatchesText(const TDropdownRows& Rows, int Row, int Col, const std::string& Text) {
  if (Row < 0 || Row >= Rows.Filled || Col < 0 || Col >= DropdownColCount) return false;
  return Trim(Text) == Trim(Rows.Cell(Col, Row));
}

bool ReadByKey(uint8_t FileNo, int8_t KeyNo, const std::string& Key, TDynCharArr& Rec) {
  if (!BtrIsFileOpen(FileNo)) return false;
  const int8_t previous = BtrGetKeyNumber(FileNo);
  BtrSetKeyNumber(FileNo, KeyNo);
  bool found = false;
  try {
    found = BtrGetEqual(FileNo, Key, Rec, false);
  } catch (...) {
    BtrSetKeyNumber(FileNo, previous);
    throw;
  }
  BtrSetKeyNumber(FileNo, previous);
  return found;
}

TFamilyRecordKey FamilyRecordKey(TListSource Source, const std::string& Code, const std::string& Client,
                                 bool RightJustified) {
  switch (Source) {
    case TListSource::Client: return {ClientFileNo, KeyOne, ClientKey(Trim(Code))};
    case TListSource::Employee: return {EmpFileNo, KeyOne, EmployeeKey(Trim(Code))};
    case TListSource::Case:
      return {CaseFileNo, RightJustified ? KeyOne : CaseKeyLeft, CaseKey(Trim(Client), Trim(Code), RightJustified)};
    default: return {};
  }
}

bool ReadChosenFamilyRecord(TListSource Source, const std::string& Code, const std::string& Client,
                            bool RightJustified) {
  const TFamilyRecordKey k = FamilyRecordKey(Source, Code, Client, RightJustified);
  return k.FileNo != 0 && ReadByKey(k.FileNo, k.KeyNo, k.Key, HostFileRec(int(Source)));
}

std::string FamilyDisplayText(int Code, int Column, const TDynCharArr& Source, TListSource S) {
  std::string text = LookupColumnText(FamilyLookup.LkpDispCols[Column], Source, int(S));
  if (text == NotFoundText) return text;
  switch (HostFieldKind(Code)) {
    case THostFieldKind::Packed:
      DecimalToStr(text, HostFieldDecimals);
      return Trim(text);
    case THostFieldKind::FileDate: {
      if (IsBlank(text)) return std::string();
      std::string shown;
      FileDateToDisplayDate(text, true, shown);
      return shown;
    }
    case THostFieldKind::Text: break;
  }
  return text;
}

std::string DescriptionLineCaption(const std::string& BillFormat, int N) {
  std::string caption;
  try {
    if (!BtrIsFileOpen(StatementCharFileNo)) OpenStatementCharFile();
    if (BtrGetEqual(StatementCharFileNo, StatementCharKey(Trim(BillFormat)), TscRec, false))
      caption = Trim(FieldText(TscRec, TscFld::Caption(N)));
  } catch (const EAbort&) {
    // No statement characteristics: the plain caption.
  }
  return caption.empty() ? "Case Description Line " + IntToStr(N) : caption;
}

bool ReadChosenTemplateRecord(const TFieldControl& Control, const std::string& Col0, bool Unique,
                              const TRowId& Chosen) {
  if (Control.ListCols.empty() || !BtrIsFileOpen(TemplateLookupFileNo)) return false;
  TDynCharArr& rec = Store.LkpDataRec;
  bool atEnd = false;
  if (!BtrGetGreaterLess(TemplateLookupFileNo, Col0, rec, atEnd, GetGreaterOrEqual) || atEnd) return false;
  const auto sameKey = [&] { return TargetCellText(Control.ListCols[0], rec) == Col0; };
  if (!sameKey()) return false;
  if (Unique) return true;
  // FindChosenRecord: among equal keys the record chosen.
  while (!std::equal(Chosen.begin(), Chosen.end(), rec.begin())) {
    BtrGetNext(TemplateLookupFileNo, rec, atEnd, false);
    if (atEnd || !sameKey()) return false;
  }
  return true;
}

int IndexKeyPart(int Slot) {
  std::vector<int> slots;
  try {
    slots = IndexSortSlots(1);
  } catch (const ERecordCodec&) {
    return 0;
  }
  const auto at = std::find(slots.begin(), slots.end(), Slot);
  return at == slots.end() ? 0 : int(at - slots.begin()) + 1;
}

void PutIndexKeyPart(std::string& Key, int Part, const std::string& Value) {
  const std::vector<TKeyRange> ranges = IndexKeyRanges(1);
  size_t total = 0;
  for (const TKeyRange& r : ranges) total = std::max(total, r.Start + r.Width);
  if (Key.size() < total) Key.resize(total, ' ');
  if (Part < 1 || Part > int(ranges.size())) return;
  const TKeyRange& r = ranges[size_t(Part - 1)];
  const TFld& f = Store.FldTable[r.Slot];
  std::string value = Value;
  if (f.FldType == 'D' && Trim(value).empty()) value = std::string(DateKeyWidth, ' ');
  const std::string part = value.size() >= r.Width ? value.substr(0, r.Width) : JustifiedText(value, r.Width, f.RightJustify);
  Key.replace(r.Start, r.Width, part);
}
