#include "templates/descriptor_codec.h"

#include "platform/format.h"
#include "platform/text.h"
#include "templates/user_list_codec.h"

#include <algorithm>

namespace {

constexpr std::string_view Yes = "Y";
constexpr std::string_view No = "N";

std::string FieldOwner(std::string_view Name) { return Format("Field \"%s\"", Trim(Name)); }
std::string IndexOwner(std::string_view Number) { return Format("Index %s", Number); }

void CheckText(std::string_view Text) {
  if (Text.size() != static_cast<size_t>(DscTextLength)) {
    throw EDescriptorError(
        Format("A descriptor record text has %d characters instead of %d.", static_cast<int>(Text.size()), DscTextLength));
  }
}

// The 508-character text of a record as read, which must be whole.
std::string_view TextOf(std::string_view Record) {
  if (Record.size() < static_cast<size_t>(DscRecordLength)) {
    throw EDescriptorError(
        Format("A descriptor record has %d bytes instead of %d.", static_cast<int>(Record.size()), DscRecordLength));
  }
  return Record.substr(DscPrefixLength, DscTextLength);
}

// Value into its range of Text, aligned, the rest of the range blank.
// Owner names the record in the refusal of a value wider than the range.
void Put(std::string& Text, const TDscRange& Range, std::string_view Value, std::string_view Owner) {
  const size_t width = static_cast<size_t>(Range.Width);
  if (Value.size() > width) {
    throw EDescriptorError(
        Format("%s: %s \"%s\" is longer than %d characters.", Owner, Range.Label, Value, Range.Width));
  }
  const size_t at = static_cast<size_t>(Range.Column - 1);
  Text.replace(at, width, width, ' ');
  Text.replace(Range.Align == TAlign::Right ? at + width - Value.size() : at, Value.size(), Value);
}

void PutFlag(std::string& Text, const TDscRange& Range, bool Flag, std::string_view Owner) {
  Put(Text, Range, Flag ? Yes : No, Owner);
}

// Ids as consecutive right-aligned groups of IdWidth from the start of Range.
void PutIds(std::string& Text, const TDscRange& Range, const std::vector<int>& Ids, std::string_view Owner) {
  const int room = Range.Width / DscField::IdWidth;
  if (static_cast<int>(Ids.size()) > room) {
    throw EDescriptorError(Format("%s: %s holds %d entries; at most %d fit.", Owner, Range.Label,
                                  static_cast<int>(Ids.size()), room));
  }
  Put(Text, Range, "", Owner);
  for (size_t k = 0; k < Ids.size(); ++k) {
    const TDscRange group{Range.Label, Range.Column + DscField::IdWidth * static_cast<int>(k), DscField::IdWidth,
                          TAlign::Right};
    Put(Text, group, IntToStr(Ids[k]), Owner);
  }
}

std::string_view Columns(std::string_view Text, const TDscRange& Range) {
  return Text.substr(static_cast<size_t>(Range.Column - 1), static_cast<size_t>(Range.Width));
}

// An optional minus and digits, blanks around. A blank range gives Blank
// where that is allowed; anything else raises, naming the range.
int NumberIn(std::string_view Text, const TDscRange& Range, bool BlankAllowed = false, int Blank = 0) {
  const std::string_view raw = Columns(Text, Range);
  const std::string s = Trim(raw);
  if (s.empty() && BlankAllowed) return Blank;
  const size_t first = (!s.empty() && s[0] == '-') ? 1 : 0;
  const bool digits = s.size() > first && std::all_of(s.begin() + static_cast<long>(first), s.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) {
    throw EDescriptorError(Format("Descriptor record: %s \"%s\" at positions %d-%d is not a number.", Range.Label,
                                  raw, Range.Position(), Range.LastPosition()));
  }
  return StrToInt(s);
}

int Digit(char C, const TDscRange& Range) {
  if (C < '0' || C > '9') {
    throw EDescriptorError(Format("Descriptor record: %s \"%s\" at position %d is not a digit.", Range.Label, C,
                                  Range.Position()));
  }
  return C - '0';
}

// A number already read from Range that must lie within Low..High.
int Within(int Value, const TDscRange& Range, int Low, int High) {
  if (Value < Low || Value > High) {
    throw EDescriptorError(Format("Descriptor record: %s %d at positions %d-%d is outside %d..%d.", Range.Label, Value,
                                  Range.Position(), Range.LastPosition(), Low, High));
  }
  return Value;
}

bool Flag(std::string_view Text, const TDscRange& Range) { return Columns(Text, Range) == Yes; }
std::string Trimmed(std::string_view Text, const TDscRange& Range) { return Trim(Columns(Text, Range)); }

void PadTo(std::string& S, const TDscRange& Range) {
  if (S.size() < static_cast<size_t>(Range.Width)) S.resize(static_cast<size_t>(Range.Width), ' ');
}

}  // namespace

std::string FormatFieldRecord(const TFld& Fld, int Offset) {
  const std::string owner = FieldOwner(Fld.Name);
  std::string text(DscTextLength, ' ');
  Put(text, DscField::SeqNo, IntToStr(Fld.SeqNo), owner);
  Put(text, DscField::Name, Fld.Name, owner);
  Put(text, DscField::Width, IntToStr(Fld.Width), owner);
  Put(text, DscField::FldType, std::string_view(&Fld.FldType, 1), owner);
  Put(text, DscField::Offset, IntToStr(Offset), owner);
  Put(text, DscField::MinVal, Fld.MinVal, owner);
  Put(text, DscField::MaxVal, Fld.MaxVal, owner);
  PutFlag(text, DscField::UpperCase, Fld.UpperCase, owner);
  PutFlag(text, DscField::Required, Fld.Required, owner);
  PutFlag(text, DscField::IsLookup, Fld.IsLookup, owner);
  PutFlag(text, DscField::RightJustify, Fld.RightJustify, owner);
  PutFlag(text, DscField::Unique, Fld.Unique, owner);
  Put(text, DscField::LkpKind, Fld.LkpKind, owner);
  Put(text, DscField::LkpTarget, Fld.LkpTarget, owner);
  Put(text, DscField::LkpSpec, Fld.LkpSpec, owner);
  PutFlag(text, DscField::Forced, Fld.Forced, owner);
  std::vector<int> columns;
  for (int k = 1; k <= MaxDispCols && Fld.DispCols[k] != DispColsEnd; ++k) columns.push_back(Fld.DispCols[k]);
  PutIds(text, DscField::DispCols, columns, owner);
  Put(text, DscField::KeyWidth, IntToStr(Fld.KeyWidth), owner);
  Put(text, DscField::Hint, Fld.Hint, owner);
  Put(text, DscField::Default, Fld.Default, owner);
  int memberships = 0;
  for (int k = 1; k <= MaxIndexes; ++k) {
    const int index = Fld.IdxNo[k];
    if (index == 0) continue;
    if (index < 1 || index > MaxIndexes) {
      throw EDescriptorError(Format("%s: IdxNo[%d] = %d is not an index number 1..%d.", owner, k, index, MaxIndexes));
    }
    const int sortPos = Fld.SortPos[k];
    if (sortPos < 1 || sortPos > MaxSortFields) {
      throw EDescriptorError(
          Format("%s: SortPos[%d] = %d is not a sort position 1..%d.", owner, k, sortPos, MaxSortFields));
    }
    ++memberships;
    Put(text, DscField::IdxNo(memberships), IntToStr(index), owner);
    Put(text, DscField::SortPos(memberships), IntToStr(sortPos), owner);
  }
  Put(text, DscField::FldId, IntToStr(Fld.FldId), owner);
  return text;
}

TFld ParseFieldRecord(std::string_view Record) {
  const std::string_view text = TextOf(Record);
  TFld fld;
  fld.SeqNo = NumberIn(text, DscField::SeqNo);
  fld.Name = Trimmed(text, DscField::Name);
  fld.Width = Within(NumberIn(text, DscField::Width), DscField::Width, 1, 999);
  fld.FldType = Columns(text, DscField::FldType)[0];
  fld.Offset = Within(NumberIn(text, DscField::Offset), DscField::Offset, DscPrefixLength + 1, 9999);
  fld.MinVal = Trimmed(text, DscField::MinVal);
  fld.MaxVal = Trimmed(text, DscField::MaxVal);
  fld.UpperCase = Flag(text, DscField::UpperCase);
  fld.Required = Flag(text, DscField::Required);
  fld.IsLookup = Flag(text, DscField::IsLookup);
  fld.RightJustify = Flag(text, DscField::RightJustify);
  fld.Unique = Flag(text, DscField::Unique);
  fld.LkpKind = Trimmed(text, DscField::LkpKind);
  fld.LkpTarget = Trimmed(text, DscField::LkpTarget);
  fld.LkpSpec = Trimmed(text, DscField::LkpSpec);
  fld.Forced = Flag(text, DscField::Forced);
  for (int k = 1; k <= MaxDispCols && !Trimmed(text, DscField::DispCol(k)).empty(); ++k) {
    fld.DispCols[k] = NumberIn(text, DscField::DispCol(k));
  }
  fld.KeyWidth = Within(NumberIn(text, DscField::KeyWidth), DscField::KeyWidth, 0, fld.Width);
  fld.Hint = Trimmed(text, DscField::Hint);
  fld.Default = Trimmed(text, DscField::Default);
  for (int k = 1; k <= MaxIndexes && static_cast<unsigned char>(Columns(text, DscField::IdxNo(k))[0]) > ' '; ++k) {
    fld.IdxNo[k] = Digit(Columns(text, DscField::IdxNo(k))[0], DscField::IdxNo(k));
    fld.SortPos[k] = Digit(Columns(text, DscField::SortPos(k))[0], DscField::SortPos(k));
    fld.IdxCount = k;
  }
  fld.FldId = NumberIn(text, DscField::FldId);
  return fld;
}

void CheckFieldInDataRecord(const TFld& Fld) {
  if (Fld.Offset + Fld.Width - 1 > MaxFieldEnd) {
    throw EDescriptorError(Format("%s: at %d, %d wide, it ends beyond position %d of the data record.",
                                  FieldOwner(Fld.Name), Fld.Offset, Fld.Width, MaxFieldEnd));
  }
}

int FieldDecimals(const TFld& Fld) {
  const size_t dot = Fld.MaxVal.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(Fld.MaxVal.size() - dot - 1);
  if (decimals > 2) {
    throw EDescriptorError(Format("%s: MaxVal \"%s\" has %d decimals; a numeric field has 0 to 2.",
                                  FieldOwner(Fld.Name), Fld.MaxVal, decimals));
  }
  return decimals;
}

std::string FormatIndexRecord(const TIndexRecord& Index) {
  const std::string owner = IndexOwner(IntToStr(Index.Number));
  if (Index.Number < 1 || Index.Number > MaxIndexes) {
    throw EDescriptorError(Format("%s: the index number is outside 1..%d.", owner, MaxIndexes));
  }
  std::string text(DscTextLength, ' ');
  Put(text, DscIndex::Letter, std::string_view(&IndexRecordLetter, 1), owner);
  Put(text, DscIndex::Number, IntToStr(Index.Number), owner);
  Put(text, DscIndex::Name, Index.Name, owner);
  int set = 0;
  for (int k = 1; k <= MaxSortFields; ++k) {
    if (Index.SortFlds[k] != 0) Put(text, DscIndex::SortFld(++set), IntToStr(Index.SortFlds[k]), owner);
  }
  if (Index.Unique) Put(text, DscIndex::Unique, UniqueMark, owner);
  if (Index.Number == 1) Put(text, DscIndex::TplName, Index.TplName, owner);
  Put(text, DscIndex::Key2Tag, Index.Key2Tag.empty() ? Columns(text, DscIndex::Tag) : std::string_view(Index.Key2Tag), owner);
  return text;
}

TIndexRecord ParseIndexRecord(std::string_view Record) {
  const std::string_view text = TextOf(Record);
  TIndexRecord index;
  index.Number = NumberIn(text, DscIndex::Number);
  index.Name = Trimmed(text, DscIndex::Name);
  for (int k = 1; k <= MaxSortFields; ++k) index.SortFlds[k] = NumberIn(text, DscIndex::SortFld(k), true);
  index.Unique = Columns(text, DscIndex::Unique) == UniqueMark;
  index.TplName = Trimmed(text, DscIndex::TplName);
  index.Key2Tag = std::string(Columns(text, DscIndex::Key2Tag));
  return index;
}

bool IsIndexRecord(std::string_view Record) {
  return Record.size() > static_cast<size_t>(DscPrefixLength) && Record[DscPrefixLength] == IndexRecordLetter;
}

std::string CompleteDscText(std::string_view Text) {
  if (Text.size() > static_cast<size_t>(DscTextLength)) {
    throw EDescriptorError(Format("A descriptor record text of %d characters is longer than %d.",
                                  static_cast<int>(Text.size()), DscTextLength));
  }
  std::string text(Text);
  text.resize(DscTextLength, ' ');
  const std::string tag(Columns(text, DscIndex::Tag));
  Put(text, DscIndex::Key2Tag, tag, "Record");
  return text;
}

void PadFieldTexts(TFld& Fld) {
  PadTo(Fld.Name, DscField::Name);
  PadTo(Fld.LkpTarget, DscField::LkpTarget);
  PadTo(Fld.LkpSpec, DscField::LkpSpec);
  PadTo(Fld.Hint, DscField::Hint);
  PadTo(Fld.Default, DscField::Default);
}

std::string DscText(std::string_view Record) { return std::string(TextOf(Record)); }

std::string RecordRange(std::string_view Record, const TDscRange& Range) {
  return std::string(Columns(TextOf(Record), Range));
}

std::string TextRange(std::string_view Text, const TDscRange& Range) {
  CheckText(Text);
  return std::string(Columns(Text, Range));
}

void SetLkpTargetNumber(std::string& Text, const TTemplateNumber& Number) {
  CheckText(Text);
  Put(Text, DscField::LkpTargetNumber, Number.ZeroFilled(), FieldOwner(Columns(Text, DscField::Name)));
}

void SetLkpTargetList(std::string& Text, int ListNumber) {
  CheckText(Text);
  Put(Text, DscField::LkpTarget, ListFileName(ListNumber), FieldOwner(Columns(Text, DscField::Name)));
}

void SetLkpSpecOtherIds(std::string& Text, const std::vector<int>& Ids) {
  CheckText(Text);
  PutIds(Text, DscField::LkpSpecOtherIds, Ids, FieldOwner(Columns(Text, DscField::Name)));
}

void SetDispCols(std::string& Text, const std::vector<int>& Ids) {
  CheckText(Text);
  PutIds(Text, DscField::DispCols, Ids, FieldOwner(Columns(Text, DscField::Name)));
}

void SetIndexTplName(std::string& Text, std::string_view Name) {
  CheckText(Text);
  Put(Text, DscIndex::TplName, Name, IndexOwner(Columns(Text, DscIndex::Number)));
}
