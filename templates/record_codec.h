// A template's data record (MGRDT<nnn>.QMD) and the key texts of its
// indexes: the one place that knows where a field's parts lie.
//
// Record, as the record manager stores it:
//   bytes 0-3   the key-0 prefix (the record's number, least-significant
//               byte first), kept by every update
//   from 4      the record text, TplTextLen bytes: every field at its record
//               position Offset (1-based, the prefix counted), that is at
//               text byte Offset - 5, Width bytes long; blanks between
//   last 8      the stamp "YYYYMMDD" of the day the record was saved
//
// A field has one of three forms, from its lookup (FieldFormOf):
//   plain            Width bytes of text; a text that fits KeyWidth lies
//                    in the first KeyWidth bytes, blanks behind
//   keyed            KeyWidth bytes of text, then the 4 key bytes (the
//                    prefix of the record the lookup chose): template
//                    lookups, and family lookups with Width = KeyWidth + 4
//                    (the case alternate identifier); any other family
//                    lookup is plain
//   keyed with tail  KeyWidth bytes of text, 4 key bytes, a 3-byte tail:
//                    the client-name and employee-name lookups ("A  1",
//                    "E 63"); Width = KeyWidth + 7
// A lookup whose unique-lookup byte (LkpKeyUnique) is set is plain.
// Texts are justified by RightJustify within their part. Key bytes and
// tails are bytes as chosen (NUL and bytes above 0x7F kept).
//
// Values by type: D "YYYYMMDD" or 8 blanks (an empty value), B "Y" or "N",
// d the document path in 72 bytes ("%-72s"), C and N the text.
//
// Key i of the data file is index i's sort fields, each segment the
// field's text part (Offset, KeyWidth): a key text is those parts one
// after the other, as stored.
#pragma once

#include "btrieve/stat_layout.h"
#include "platform/errors.h"
#include "templates/template_state.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t RecordPrefixLength = 4;
constexpr size_t RecordStampLength = 8;
constexpr size_t LookupKeyLength = 4;
constexpr size_t LookupTailLength = 3;
constexpr size_t DocumentPathLength = 72;

// A value that does not fit its field, a field outside the record, a data
// file without the key of an index: the text names what and where.
class ERecordCodec : public Exception {
public:
  using Exception::Exception;
};

enum class TFieldForm { Plain, Keyed, KeyedWithTail };

TFieldForm FieldFormOf(const TFld& Fld);
// The client-name and employee-name lookups ("A  1", "E 63"): the form
// that keeps a tail when the widths are those of a keyed lookup.
bool IsNameLookup(const TFld& Fld);

// Where a field's parts lie in the record text (the record without prefix).
struct TFieldParts {
  size_t Start = 0;  // first byte of the field
  size_t Text = 0;   // the text part
  size_t Key = 0;    // 0 or 4
  size_t Tail = 0;   // 0 or 3
  size_t Width() const { return Text + Key + Tail; }
};

// Raises ERecordCodec naming the field when its widths do not add up to
// its form (a keyed field must have Width = KeyWidth + 4, ...), or its
// Offset is before the first field.
TFieldParts FieldPartsOf(const TFld& Fld);

// The most bytes a value of the field may have: Width for a plain field,
// KeyWidth for the keyed forms, a document path at most 72. Raises as
// FieldPartsOf.
size_t FieldTextCapacity(const TFld& Fld);

// Text byte of record position Offset (the first field's 5 gives 0).
size_t FieldTextStart(int Offset);

// In a record text (no prefix) of a field at Offset: its text part (the
// first KeyWidth bytes) and the bytes behind it up to Width (key bytes and
// tail). REQUIRES: the field lies within Text.
std::string_view TextPartAt(std::string_view Text, int Offset, int KeyWidth);
std::string_view BehindPartAt(std::string_view Text, int Offset, int KeyWidth, int Width);

// Value padded with blanks to Width, on the left when Right.
// REQUIRES: Value.size() <= Width.
std::string JustifiedText(std::string_view Value, size_t Width, bool Right);

// The bytes a field's text part holds for Value: plain fields the value
// justified in KeyWidth when it fits there, else in Width; the other forms
// in KeyWidth. D, B and d values are checked and formatted by their type.
// Raises ERecordCodec naming the field and its width when it does not fit.
std::string StoredFieldText(const TFld& Fld, std::string_view Value);

// Places Fld's value into the record text Text (TplTextLen bytes), with
// the key bytes and tail of the keyed forms (blank when not given, 4 and 3
// bytes when given). Nothing is written outside the field; on an error
// Text stays as it was.
void PutFieldValue(std::string& Text, const TFld& Fld, std::string_view Value, std::string_view Key = {},
                   std::string_view Tail = {});
// The last 8 bytes of the record text. REQUIRES: Stamp is 8 bytes.
void PutStamp(std::string& Text, std::string_view Stamp);

// Reading a record as stored (prefix first). A field outside Rec raises
// ERecordCodec.
// The text part: KeyWidth bytes, a plain field's whole Width.
std::string_view FieldTextOf(std::string_view Rec, const TFld& Fld);
// The key bytes and tail; empty for a form without them.
std::string_view FieldKeyOf(std::string_view Rec, const TFld& Fld);
std::string_view FieldTailOf(std::string_view Rec, const TFld& Fld);
std::string_view RecordStampOf(std::string_view Rec);

// Index IndexNo's sort fields as field-table slots, in sort order, taken
// from Store.IndexRecs by FldId (the loader leaves the fields' own
// memberships cleared). An id no field has raises ERecordCodec.
std::vector<int> IndexSortSlots(int IndexNo);

// Where each sort field's part lies in a key text of the index.
struct TKeyRange {
  int Slot = 0;
  size_t Start = 0;
  size_t Width = 0;  // the field's KeyWidth
};
std::vector<TKeyRange> IndexKeyRanges(int IndexNo);

// Index IndexNo's key text from a stored record (prefix first): the
// KeyWidth bytes of each sort field as they lie in the record.
std::string IndexKeyText(std::string_view Rec, int IndexNo);
// The same from values (one per sort field, in sort order) formatted as
// the record would store them; a value that does not fit raises
// ERecordCodec.
std::string IndexKeyTextOf(const std::vector<std::string>& Values, int IndexNo);

// The key of a data file whose segments are index IndexNo's sort fields at
// (Offset, KeyWidth), in order; Keys as BtrKeySegments reads them, key 0
// (the prefix) never taken. None matching raises ERecordCodec.
int DataKeyOfIndex(const std::vector<std::vector<TStatSegment>>& Keys, int IndexNo);
// The same for the open file FileNo.
int DataKeyOfIndex(uint8_t FileNo, int IndexNo);
