// The descriptor file MNGR<nnn>.DSC: one record per field and per index of
// a template. This codec is the only place that knows its columns; the
// writer, the loader, the builder, the integrity checks, export and import,
// the master rebuild and the lookup repair all go through it.
//
// A record is 512 bytes: the 4-byte auto-increment prefix, then 508
// characters of text. Column c of the text is record position c + 4; each
// range below is given once in columns and its position derived.
//
// Field record (numbers right-aligned, texts left-aligned, Y/N flags):
//   cols     width  content
//   1-2        2    SeqNo                      key 1 (modifiable, unique)
//   3-28      26    Name
//   29-31      3    Width
//   32         1    FldType (C N D d B)
//   33-36      4    Offset: the field's record position (first field 5)
//   37-56     20    blanks
//   57-68     12    MinVal, right-aligned
//   69-80     12    MaxVal, right-aligned
//   81-85      5    UpperCase, Required, IsLookup, RightJustify, Unique
//   86         1    LkpKind (blank L l M U)
//   87-97     11    LkpTarget ("MNGR" + nnn + ".DSC": nnn in 91-93)
//   98-110    13    LkpSpec (98 the key digit of an M lookup, 99-101 its
//                   first field id, 102-110 up to three more)
//   111        1    Forced
//   112-351  240    DispCols, "%3s" each up to the first -1, at most 80
//   352-354    3    KeyWidth
//   355-404   50    Hint
//   405-454   50    Default
//   455-459    5    the non-zero IdxNo entries as digits, in entry order
//   460-464    5    their SortPos digits, same order
//   465-466    2    FldId, right-aligned ("%2s": " 7")  key 2 (unique)
//   467-508   42    blanks
//
// Index record, one per index 1..5 in order:
//   1 "K", 2 the index number, 3-28 the index name,
//   29-34 the FldId of each sort field that is set, 2 characters each,
//   right-aligned, the set ones side by side,
//   35-36 "UQ" for a unique index, else blanks,
//   37-66 index 1 only: the template name,
//   465-466 a copy of 1-2 ("K1".."K5"), blanks elsewhere.
// Key 1 compares bytes, so " 9" sorts before "10" and every "K" record
// after the field records. The template-name record is found by key 2 =
// "K1" (a built-in descriptor has "K2" in 1-2 and "K1" only in 465-466).
//
// Texts are formatted, never cut: a value wider than its column would move
// every later column, so formatting refuses it with EDescriptorError naming
// the field and the limit. Parsing trims texts and converts numbers; a
// number column that holds no number raises EDescriptorError, and so does a
// value no field can have (the record is damaged): a Width below 1, a
// KeyWidth outside 0..Width, an Offset before 5. Loaders check the rest
// against what they load into (CheckFieldInDataRecord, FieldDecimals, the
// tables' own bounds).
#pragma once

#include "btrieve/create_file.h"
#include "platform/errors.h"
#include "templates/key_segments.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

constexpr int DscPrefixLength = 4;
constexpr int DscTextLength = 508;
constexpr int DscRecordLength = DscPrefixLength + DscTextLength;

class EDescriptorError : public Exception {
public:
  using Exception::Exception;
};

enum class TAlign { Left, Right };

// Columns of the 508-character text.
struct TDscRange {
  const char* Label;
  int Column;
  int Width;
  TAlign Align = TAlign::Left;

  constexpr int LastColumn() const { return Column + Width - 1; }
  constexpr int Position() const { return Column + DscPrefixLength; }
  constexpr int LastPosition() const { return LastColumn() + DscPrefixLength; }
};

namespace DscField {
constexpr TDscRange SeqNo{"SeqNo", 1, 2, TAlign::Right};
constexpr TDscRange Name{"Name", 3, 26};
constexpr TDscRange Width{"Width", 29, 3, TAlign::Right};
constexpr TDscRange FldType{"FldType", 32, 1};
constexpr TDscRange Offset{"Offset", 33, 4, TAlign::Right};
constexpr TDscRange Blank1{"(blank)", 37, 20};
constexpr TDscRange MinVal{"MinVal", 57, 12, TAlign::Right};
constexpr TDscRange MaxVal{"MaxVal", 69, 12, TAlign::Right};
constexpr TDscRange UpperCase{"UpperCase", 81, 1};
constexpr TDscRange Required{"Required", 82, 1};
constexpr TDscRange IsLookup{"IsLookup", 83, 1};
constexpr TDscRange RightJustify{"RightJustify", 84, 1};
constexpr TDscRange Unique{"Unique", 85, 1};
constexpr TDscRange LkpKind{"LkpKind", 86, 1};
constexpr TDscRange LkpTarget{"LkpTarget", 87, 11};
constexpr TDscRange LkpSpec{"LkpSpec", 98, 13};
constexpr TDscRange Forced{"Forced", 111, 1};
constexpr TDscRange DispCols{"DispCols", 112, 3 * MaxDispCols};
constexpr TDscRange KeyWidth{"KeyWidth", 352, 3, TAlign::Right};
constexpr TDscRange Hint{"Hint", 355, 50};
constexpr TDscRange Default{"Default", 405, 50};
constexpr TDscRange IdxNos{"IdxNo", 455, MaxIndexes};
constexpr TDscRange SortPoss{"SortPos", 460, MaxIndexes};
constexpr TDscRange FldId{"FldId", 465, 2, TAlign::Right};
constexpr TDscRange Blank2{"(blank)", 467, 42};

// Parts of the ranges above that later changes read or rewrite.
constexpr TDscRange LkpTargetNumber{"LkpTarget number", 91, 3};
constexpr TDscRange LkpSpecKey{"LkpSpec key", 98, 1};
constexpr TDscRange LkpSpecFirstId{"LkpSpec first id", 99, 3};
constexpr TDscRange LkpSpecOtherIds{"LkpSpec other ids", 102, 9};
constexpr int IdWidth = 3;  // a display column or specification id
// Display column K (1..80), membership K (1..5) and its sort position.
constexpr TDscRange DispCol(int K) { return {"DispCols", DispCols.Column + IdWidth * (K - 1), IdWidth, TAlign::Right}; }
constexpr TDscRange IdxNo(int K) { return {"IdxNo", IdxNos.Column + K - 1, 1}; }
constexpr TDscRange SortPos(int K) { return {"SortPos", SortPoss.Column + K - 1, 1}; }

// Every range of a field record, left to right, for dumps and tests.
constexpr std::array<TDscRange, 25> All{
    SeqNo,    Name,    Width,     FldType, Offset,  Blank1,  MinVal,   MaxVal, UpperCase,
    Required, IsLookup, RightJustify, Unique, LkpKind, LkpTarget, LkpSpec, Forced, DispCols,
    KeyWidth, Hint,    Default,   IdxNos,  SortPoss, FldId,   Blank2};
}  // namespace DscField

namespace DscIndex {
constexpr TDscRange Letter{"K", 1, 1};
constexpr TDscRange Number{"index number", 2, 1};
constexpr TDscRange Name{"index name", 3, 26};
constexpr TDscRange SortFlds{"sort fields", 29, 2 * MaxSortFields};
constexpr TDscRange Unique{"unique", 35, 2};
constexpr TDscRange TplName{"template name", 37, 30};
constexpr TDscRange Key2Tag{"key 2 tag", 465, 2};
constexpr TDscRange SortFld(int K) { return {"sort field", SortFlds.Column + 2 * (K - 1), 2, TAlign::Right}; }
// Columns 1-2, the tag that key 1 and by default key 2 carry.
constexpr TDscRange Tag{"tag", 1, 2};

constexpr std::array<TDscRange, 9> All{Letter,     Number,     Name,    SortFld(1), SortFld(2),
                                       SortFld(3), Unique,     TplName, Key2Tag};
}  // namespace DscIndex

constexpr char IndexRecordLetter = 'K';
constexpr std::string_view UniqueMark = "UQ";
// Key 2 of the index-1 record that carries the template name.
constexpr std::string_view NameRecordKey = "K1";

// Key 0 the prefix; key 1 columns 1-2, modifiable, unique; key 2 columns
// 465-466, unique, not modifiable.
constexpr std::array<TKeySegment, 3> DescriptorKeySegments{
    PrefixKeySegment,
    TKeySegment{1, 0, static_cast<uint16_t>(DscField::SeqNo.Position()), static_cast<uint16_t>(DscField::SeqNo.Width),
                false, true, false},
    TKeySegment{2, 0, static_cast<uint16_t>(DscField::FldId.Position()), static_cast<uint16_t>(DscField::FldId.Width),
                false, false, false}};

// An index record as values.
struct TIndexRecord {
  int Number = 0;  // 1..5
  std::string Name;
  TTable<int, 1, MaxSortFields, "sort fields"> SortFlds;  // FldIds, 0 = none
  bool Unique = false;
  std::string TplName;  // written for index 1 only
  std::string Key2Tag;  // columns 465-466; empty: a copy of columns 1-2

  bool operator==(const TIndexRecord&) const = default;
};

// The 508-character text of a field record for Fld at record position Offset.
std::string FormatFieldRecord(const TFld& Fld, int Offset);
// Record as read, prefix first, at least 512 bytes. Texts trimmed; DispCols up
// to the first blank entry, the rest -1; IdxNo/SortPos/IdxCount from the
// membership digits; Decimals, LkpKeyUnique and the entry screen's members
// are not stored and stay cleared.
TFld ParseFieldRecord(std::string_view Record);

// The last record position a field may reach: a data record holds at most
// 3000 bytes, the last 8 of them the date stamp.
constexpr int MaxFieldEnd = MaxCreateRecordLength - 8;
// Raises EDescriptorError naming the field unless it ends by MaxFieldEnd.
void CheckFieldInDataRecord(const TFld& Fld);
// The decimals of a numeric field: the characters behind the first "." of
// its MaxVal, 0 without one; raises EDescriptorError above 2.
int FieldDecimals(const TFld& Fld);

std::string FormatIndexRecord(const TIndexRecord& Index);
TIndexRecord ParseIndexRecord(std::string_view Record);

// True when the record (prefix first) is an index record: "K" in column 1.
bool IsIndexRecord(std::string_view Record);

// Any record text made ready for the file: padded with blanks to 508 and
// columns 1-2 copied into 465-466. Refuses a text over 508 bytes.
std::string CompleteDscText(std::string_view Text);

// Name, LkpTarget, LkpSpec, Hint and Default padded with blanks to their
// columns' widths; a filled text stays as it is, so padding twice changes
// nothing.
void PadFieldTexts(TFld& Fld);

// The 508-character text of a record as read; raises for a short record.
std::string DscText(std::string_view Record);
// A range as stored: from a record as read (prefix first), or from a text.
std::string RecordRange(std::string_view Record, const TDscRange& Range);
std::string TextRange(std::string_view Text, const TDscRange& Range);

// Rewrites of a field or index record text (508 characters), each touching
// only its own range.
// The number inside LkpTarget, zero-filled.
void SetLkpTargetNumber(std::string& Text, const TTemplateNumber& Number);
// The whole LkpTarget of a list lookup: "<n>.lst", blanks behind.
void SetLkpTargetList(std::string& Text, int ListNumber);
// The ids after the first of an M lookup's specification: "%3s" each, side by
// side, blanks behind; at most three.
void SetLkpSpecOtherIds(std::string& Text, const std::vector<int>& Ids);
// The display columns: "%3s" each, blanks behind; at most 80.
void SetDispCols(std::string& Text, const std::vector<int>& Ids);
// The template name of the index-1 record.
void SetIndexTplName(std::string& Text, std::string_view Name);
