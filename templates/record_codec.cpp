#include "templates/record_codec.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int FirstFieldPosition = 5;
constexpr int MemoWidth = 73;

std::string NameOf(const TFld& Fld) { return TrimRight(Fld.Name); }

std::string Piece(std::string_view Text) { return std::string(Text); }
std::string Piece(size_t N) { return IntToStr(int(N)); }
std::string Piece(int N) { return IntToStr(N); }

// The message is put together only when a field is refused, off the path
// every field takes.
template <class... TPieces>
[[noreturn, gnu::cold, gnu::noinline]] void Refuse(const TFld& Fld, const TPieces&... Pieces) {
  throw ERecordCodec("The field " + NameOf(Fld) + " " + (Piece(Pieces) + ...));
}

// Client-name and employee-name lookups keep the chosen record's tail too.
bool KeepsTail(const TFld& Fld) {
  const std::string_view spec = Fld.LkpSpec;
  return (spec.substr(0, 4) == "A  1") || (spec.substr(0, 1) == "E" && spec.substr(2, 2) == "63");
}

bool IsDigits(std::string_view S) {
  return std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

[[gnu::always_inline]] inline TFieldForm FormOf(const TFld& Fld) {
  if (!Fld.IsLookup || Fld.FldType != 'C' || Fld.Width >= MemoWidth || Fld.LkpKeyUnique ||
      (Fld.LkpKind.size() == 1 && Fld.LkpKind[0] == 'U')) {
    return TFieldForm::Plain;
  }
  if (KeepsTail(Fld)) return TFieldForm::KeyedWithTail;
  // A family lookup keeps the chosen record's key bytes only where its
  // width holds them; a template lookup always does.
  const bool templateLookup = Fld.LkpKind.size() == 1 && Fld.LkpKind[0] == 'M';
  if (!templateLookup && size_t(Fld.Width) != size_t(Fld.KeyWidth) + LookupKeyLength) return TFieldForm::Plain;
  return TFieldForm::Keyed;
}

// Every read and write of a field starts here: kept inline.
[[gnu::always_inline]] inline TFieldParts PartsOf(const TFld& Fld) {
  if (Fld.Offset < FirstFieldPosition || Fld.Width < 1 || Fld.KeyWidth < 0 || Fld.KeyWidth > Fld.Width) {
    Refuse(Fld, "has no place in the record (position ", Fld.Offset, ", width ", Fld.Width, ").");
  }
  TFieldParts parts;
  parts.Start = size_t(Fld.Offset - FirstFieldPosition);
  switch (FormOf(Fld)) {
    case TFieldForm::Plain:
      parts.Text = size_t(Fld.Width);
      return parts;
    case TFieldForm::Keyed:
      parts.Key = LookupKeyLength;
      break;
    case TFieldForm::KeyedWithTail:
      parts.Key = LookupKeyLength;
      parts.Tail = LookupTailLength;
      break;
  }
  parts.Text = size_t(Fld.KeyWidth);
  if (parts.Width() != size_t(Fld.Width)) {
    Refuse(Fld, "is ", Fld.Width, " wide, yet its lookup stores ", parts.Width(), ".");
  }
  return parts;
}

// A value as its type stores it: checked, never copied. A blank date is
// the empty view (its part stays blank).
[[gnu::always_inline]] inline std::string_view TypedValue(const TFld& Fld, std::string_view Value) {
  switch (Fld.FldType) {
    case 'D':
      if (IsBlank(Value)) return {};
      if (Value.size() != 8 || !IsDigits(Value)) Refuse(Fld, "takes a date as YYYYMMDD, not ", Value, ".");
      break;
    case 'B':
      if (Value != "Y" && Value != "N") Refuse(Fld, "takes Y or N, not ", Value, ".");
      break;
    default:
      break;
  }
  return Value;
}

// The most bytes a value of the field takes: its text part, a document
// path its 72 bytes.
[[gnu::always_inline]] inline size_t TextCapacity(const TFld& Fld, const TFieldParts& Parts) {
  return Fld.FldType == 'd' ? std::min(Parts.Text, DocumentPathLength) : Parts.Text;
}

// Where a value lies within a field's text part.
struct TPlacedText {
  TFieldParts Parts;
  std::string_view Value;
  size_t Width = 0;  // the part it is justified in
};

[[gnu::always_inline]] inline TPlacedText PlaceText(const TFld& Fld, std::string_view Value) {
  TPlacedText p;
  p.Parts = PartsOf(Fld);
  p.Value = TypedValue(Fld, Value);
  const size_t keyWidth = size_t(Fld.KeyWidth);
  // A plain text that fits the key part lies there, so that a key on the
  // field finds it; a document path fills its 72 bytes.
  p.Width = (p.Parts.Key == 0 && p.Value.size() > keyWidth) ? TextCapacity(Fld, p.Parts) : keyWidth;
  if (p.Value.size() > p.Width) {
    Refuse(Fld, "takes at most ", p.Width, " characters, not ", p.Value.size(), ".");
  }
  return p;
}

// Text's bytes from At: Width blanks with Value justified in them.
void WriteJustified(std::string& Text, size_t At, size_t Width, std::string_view Value, bool Right) {
  char* to = Text.data() + At;
  std::memset(to, ' ', Width);
  if (!Value.empty()) std::memcpy(to + (Right ? Width - Value.size() : 0), Value.data(), Value.size());
}

// The record's bytes of [Start, Start + Width) of the text behind the prefix.
[[gnu::always_inline]] inline std::string_view TextBytes(std::string_view Rec, size_t Start, size_t Width,
                                                         const TFld& Fld) {
  const size_t from = RecordPrefixLength + Start;
  if (from + Width > Rec.size()) Refuse(Fld, "lies outside the record.");
  return Rec.substr(from, Width);
}

}  // namespace

TFieldForm FieldFormOf(const TFld& Fld) { return FormOf(Fld); }

bool IsNameLookup(const TFld& Fld) { return KeepsTail(Fld); }

TFieldParts FieldPartsOf(const TFld& Fld) { return PartsOf(Fld); }

size_t FieldTextCapacity(const TFld& Fld) { return TextCapacity(Fld, PartsOf(Fld)); }

size_t FieldTextStart(int Offset) { return size_t(Offset - FirstFieldPosition); }

std::string_view TextPartAt(std::string_view Text, int Offset, int KeyWidth) {
  return Text.substr(FieldTextStart(Offset), size_t(KeyWidth));
}

std::string_view BehindPartAt(std::string_view Text, int Offset, int KeyWidth, int Width) {
  return Text.substr(FieldTextStart(Offset) + size_t(KeyWidth), size_t(Width - KeyWidth));
}

std::string JustifiedText(std::string_view Value, size_t Width, bool Right) {
  const std::string pad(Width - Value.size(), ' ');
  return Right ? pad + std::string(Value) : std::string(Value) + pad;
}

std::string StoredFieldText(const TFld& Fld, std::string_view Value) {
  const TPlacedText p = PlaceText(Fld, Value);
  std::string text(p.Width, ' ');
  WriteJustified(text, 0, p.Width, p.Value, Fld.RightJustify);
  return text;
}

void PutFieldValue(std::string& Text, const TFld& Fld, std::string_view Value, std::string_view Key,
                   std::string_view Tail) {
  const TPlacedText p = PlaceText(Fld, Value);
  const TFieldParts& parts = p.Parts;
  if (parts.Start + parts.Width() > Text.size()) Refuse(Fld, "lies outside the record.");
  if (!Key.empty() && Key.size() != parts.Key) Refuse(Fld, "keeps ", parts.Key, " key bytes.");
  if (!Tail.empty() && Tail.size() != parts.Tail) Refuse(Fld, "keeps ", parts.Tail, " tail bytes.");
  char* to = Text.data() + parts.Start;
  std::memset(to, ' ', parts.Width());
  if (!p.Value.empty())
    std::memcpy(to + (Fld.RightJustify ? p.Width - p.Value.size() : 0), p.Value.data(), p.Value.size());
  if (!Key.empty()) std::memcpy(to + parts.Text, Key.data(), Key.size());
  if (!Tail.empty()) std::memcpy(to + parts.Text + parts.Key, Tail.data(), Tail.size());
}

void PutStamp(std::string& Text, std::string_view Stamp) {
  Text.replace(Text.size() - RecordStampLength, RecordStampLength, Stamp);
}

std::string_view FieldTextOf(std::string_view Rec, const TFld& Fld) {
  const TFieldParts parts = PartsOf(Fld);
  return TextBytes(Rec, parts.Start, parts.Text, Fld);
}

std::string_view FieldKeyOf(std::string_view Rec, const TFld& Fld) {
  const TFieldParts parts = FieldPartsOf(Fld);
  return TextBytes(Rec, parts.Start + parts.Text, parts.Key, Fld);
}

std::string_view FieldTailOf(std::string_view Rec, const TFld& Fld) {
  const TFieldParts parts = FieldPartsOf(Fld);
  return TextBytes(Rec, parts.Start + parts.Text + parts.Key, parts.Tail, Fld);
}

std::string_view RecordStampOf(std::string_view Rec) {
  if (Rec.size() < RecordPrefixLength + RecordStampLength) return {};
  return Rec.substr(Rec.size() - RecordStampLength);
}

std::vector<int> IndexSortSlots(int IndexNo) {
  std::vector<int> slots;
  for (int k = 1; k <= MaxSortFields; ++k) {
    const int id = Store.IndexRecs.SortFld(IndexNo, k);
    if (id == 0) break;
    const int slot = FieldSlotOf(id);
    if (slot == 0) throw ERecordCodec("Index " + IntToStr(IndexNo) + " sorts on a field that is not in the template.");
    slots.push_back(slot);
  }
  return slots;
}

std::vector<TKeyRange> IndexKeyRanges(int IndexNo) {
  std::vector<TKeyRange> ranges;
  size_t start = 0;
  for (const int slot : IndexSortSlots(IndexNo)) {
    const size_t width = size_t(Store.FldTable[slot].KeyWidth);
    ranges.push_back({slot, start, width});
    start += width;
  }
  return ranges;
}

std::string IndexKeyText(std::string_view Rec, int IndexNo) {
  std::string key;
  for (const TKeyRange& r : IndexKeyRanges(IndexNo)) {
    const TFld& fld = Store.FldTable[r.Slot];
    key += TextBytes(Rec, FieldPartsOf(fld).Start, r.Width, fld);
  }
  return key;
}

std::string IndexKeyTextOf(const std::vector<std::string>& Values, int IndexNo) {
  const std::vector<TKeyRange> ranges = IndexKeyRanges(IndexNo);
  if (Values.size() != ranges.size()) {
    throw ERecordCodec("Index " + IntToStr(IndexNo) + " has " + IntToStr(int(ranges.size())) + " sort fields, not " +
                       IntToStr(int(Values.size())) + ".");
  }
  std::string key;
  for (size_t k = 0; k < ranges.size(); ++k) {
    const std::string stored = StoredFieldText(Store.FldTable[ranges[k].Slot], Values[k]);
    if (stored.size() > ranges[k].Width) {
      Refuse(Store.FldTable[ranges[k].Slot], "takes at most ", ranges[k].Width, " characters in a key.");
    }
    key += stored.substr(0, ranges[k].Width);
  }
  return key;
}

int DataKeyOfIndex(const std::vector<std::vector<TStatSegment>>& Keys, int IndexNo) {
  const std::vector<int> slots = IndexSortSlots(IndexNo);
  for (size_t k = 1; k < Keys.size() && !slots.empty(); ++k) {
    if (Keys[k].size() != slots.size()) continue;
    bool same = true;
    for (size_t s = 0; s < slots.size() && same; ++s) {
      const TFld& fld = Store.FldTable[slots[s]];
      same = Keys[k][s].Position == fld.Offset && Keys[k][s].Length == fld.KeyWidth;
    }
    if (same) return int(k);
  }
  throw ERecordCodec("The data file has no key for the index " + Trim(Store.IndexRecs.Names[IndexNo]) + " (index " +
                     IntToStr(IndexNo) + ")." + ContactMsg);
}

int DataKeyOfIndex(uint8_t FileNo, int IndexNo) { return DataKeyOfIndex(BtrKeySegments(FileNo), IndexNo); }
