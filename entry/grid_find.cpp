#include "entry/grid_find.h"

#include "entry/dropdown_list.h"
#include "entry/field_checks.h"
#include "entry/grid_plan.h"
#include "entry/grid_row_record.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/store_utils.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <algorithm>

namespace {

constexpr uint8_t TplFile = 52;
constexpr int8_t PrefixKey = 0;
constexpr int SelectGreaterOrEqual = 3;

// The key bytes a keyed field stores: none when blank or all zero.
bool HasStoredKey(std::string_view Key) {
  return !Key.empty() && std::any_of(Key.begin(), Key.end(), [](char c) { return c != ' ' && c != '\0'; });
}

bool IsTwoColumnList(const TFld& F) { return F.LkpKind == "U" && F.LkpSpec.rfind("2", 0) == 0; }

int DisplayCount(const TFld& F) {
  if (IsTwoColumnList(F)) return 1;
  if (F.FldType != 'C' || (F.LkpKind != "L" && F.LkpKind != "M")) return 0;
  int n = 0;
  while (n < MaxDispCols && F.DispCols[n + 1] != DispColsEnd) ++n;
  return n;
}

// What a re-read compares: the cell without blanks, line feeds and the
// list separator.
std::string Compared(std::string_view Cell) {
  std::string out;
  for (char c : Cell)
    if (c != ' ' && c != '\n' && c != ListSep[0]) out += c;
  return out;
}

// A field as the save left it, by its widths alone: a field KeyWidth + 4
// wide keeps the chosen record's key bytes behind its text, a name lookup
// KeyWidth + 7 wide its tail behind them; any other shows its whole width.
// A template whose lookup widths do not add up still shows its records.
struct TStoredField {
  std::string_view Text, Key, Tail;
};

TStoredField StoredFieldOf(const TFld& F, std::string_view Rec) {
  const size_t start = size_t(std::max(F.Offset, 1) - 1);
  if (F.Width < 1 || F.KeyWidth < 0 || start + size_t(F.Width) > Rec.size())
    throw ERecordCodec("The field " + Trim(F.Name) + " lies outside the record.");
  const std::string_view field = Rec.substr(start, size_t(F.Width));
  const bool lookup = F.IsLookup && F.FldType == 'C' && !F.LkpKeyUnique && F.LkpKind != "U";
  const size_t text = size_t(F.KeyWidth);
  TStoredField s{field, {}, {}};
  if (lookup && IsNameLookup(F) && F.Width == F.KeyWidth + int(LookupKeyLength + LookupTailLength)) {
    s = {field.substr(0, text), field.substr(text, LookupKeyLength), field.substr(text + LookupKeyLength)};
  } else if (lookup && F.Width == F.KeyWidth + int(LookupKeyLength)) {
    s = {field.substr(0, text), field.substr(text), {}};
  }
  return s;
}

std::string_view RecordView(const TDynCharArr& Rec) {
  return std::string_view(reinterpret_cast<const char*>(Rec.data()), Rec.size());
}

// Holds the family lookup definitions in force and puts them back.
class TFamilyLookupKeep {
public:
  TFamilyLookupKeep() : kept_(FamilyLookup) {}
  ~TFamilyLookupKeep() { FamilyLookup = kept_; }
  TFamilyLookupKeep(const TFamilyLookupKeep&) = delete;
  TFamilyLookupKeep& operator=(const TFamilyLookupKeep&) = delete;

private:
  TFamilyLookup kept_;
};

void CloseQuietly(uint8_t FileNo) {
  try {
    BtrCloseFile(FileNo);
  } catch (const Exception&) {
    // A close that fails stays pending in the layer; the find has failed already.
  }
}

}  // namespace

std::vector<TFindColumn> FindColumnsOf() {
  std::vector<TFindColumn> columns;
  for (int slot = 1; slot <= MaxFields && !Trim(Store.FldTable[slot].Name).empty(); ++slot) {
    columns.push_back({slot, 0});
    for (int k = 1, n = DisplayCount(Store.FldTable[slot]); k <= n; ++k) columns.push_back({slot, k});
  }
  return columns;
}

std::string_view StoredTextOf(const TFld& Fld, std::string_view Rec) { return StoredFieldOf(Fld, Rec).Text; }

std::string FieldCellText(const TFld& Fld, std::string_view Rec) {
  const std::string_view text = StoredFieldOf(Fld, Rec).Text;
  switch (Fld.FldType) {
    case 'D':
      return StoredDateCell(text);
    case 'B':
      return !text.empty() && text[0] == 'Y' ? "Y" : " ";
    default:
      return std::string(text);
  }
}

std::string FilterPattern(const std::vector<std::string>& SortValues) {
  std::string pattern = "NNN";
  for (size_t k = 0; k < SortValues.size() && k < pattern.size(); ++k)
    if (!Trim(SortValues[k]).empty()) pattern[k] = 'Y';
  return pattern;
}

void TGridReader::Prepare() {
  columns_ = FindColumnsOf();
  family_.clear();
  lists_.clear();
  for (const TFindColumn& c : columns_) {
    const TFld& f = Store.FldTable[c.Slot];
    if (c.Display != 1) continue;
    if (f.LkpKind == "L") {
      // Each lookup's opening drops the definitions before it: they are
      // kept per field, and every file they read opened afterwards.
      TFamilyDisplay d;
      const int code = LookupCodeOf(f);
      d.Source = SourceOfCode(code);
      try {
        if (OpenValidationForLookup(code, c.Slot) == 1) {
          DefineDisplayColumns(c.Slot);
          d.Usable = true;
        }
      } catch (const EAbort&) {
        d.Usable = false;
      }
      d.Defs = FamilyLookup;
      family_[c.Slot] = d;
    } else if (IsTwoColumnList(f)) {
      std::vector<std::string> lines;
      std::string why;
      TDropdownRows rows;
      auto& items = lists_[c.Slot];
      if (!ReadUserListLines(f.LkpTarget, lines, why)) continue;
      FillUserListRows(lines, rows);
      for (int r = 0; r < rows.Filled; ++r) items.emplace(Trim(rows.Cell(0, r)), rows.Cell(1, r));
    }
  }
  for (auto& [slot, d] : family_) {
    if (!d.Usable) continue;
    try {
      OpenHostFile(int(d.Source));
      for (int id = 1; id <= HostFileId::Count; ++id)
        if (d.Defs.HostFileOpen[id]) OpenHostFile(id);
    } catch (const EAbort&) {
      // A translation's file that will not open shows "not found".
    }
  }
}

bool TGridReader::ReadOnKey(uint8_t File, int8_t Key, const std::string& Text, TDynCharArr& Rec) {
  if (!BtrIsFileOpen(File)) return false;
  TReadKey at{File, Key, Text};
  if (const auto known = read_.find(at); known != read_.end()) {
    if (known->second.empty()) return false;
    Rec = known->second;
    return true;
  }
  const auto now = keysNow_.find(File);
  if (now == keysNow_.end() || now->second != Key) {
    keysBefore_.emplace(File, BtrGetKeyNumber(File));
    BtrSetKeyNumber(File, Key);
    keysNow_[File] = Key;
  }
  const bool found = BtrGetEqual(File, Text, Rec, false);
  read_.emplace(std::move(at), found ? Rec : TDynCharArr());
  return found;
}

void TGridReader::RestoreKeys() noexcept {
  for (const auto& [file, key] : keysBefore_) {
    try {
      if (BtrIsFileOpen(file)) BtrSetKeyNumber(file, key);
    } catch (const Exception&) {
      // The file's own failure has been reported by the read that met it.
    }
  }
  keysBefore_.clear();
  keysNow_.clear();
  read_.clear();
}

bool TGridReader::ReadFamilyRecord(int Slot, const TDynCharArr& Rec) {
  const TFld& f = Store.FldTable[Slot];
  const TFamilyDisplay& d = family_.at(Slot);
  const std::string_view rec = RecordView(Rec);
  const int fileId = int(d.Source);
  const TStoredField stored = StoredFieldOf(f, rec);
  if (!stored.Key.empty()) {
    if (!HasStoredKey(stored.Key)) return false;
    return ReadOnKey(HostFileNo(fileId), PrefixKey, std::string(stored.Key), HostFileRec(fileId));
  }
  const std::string client = clientSlot_ > 0 && clientSlot_ != Slot
                                 ? Trim(StoredFieldOf(Store.FldTable[clientSlot_], rec).Text)
                                 : std::string();
  const TFamilyRecordKey k = FamilyRecordKey(d.Source, Trim(stored.Text), client, f.RightJustify);
  return k.FileNo != 0 && ReadOnKey(k.FileNo, k.KeyNo, k.Key, HostFileRec(fileId));
}

bool TGridReader::ReadTargetRecord(int Slot, const TDynCharArr& Rec) {
  const TFld& f = Store.FldTable[Slot];
  const auto control = lookups_.find(Slot);
  if (control == lookups_.end() || !BtrIsFileOpen(uint8_t(control->second.DataFileNo))) return false;
  const uint8_t file = uint8_t(control->second.DataFileNo);
  if (Store.LkpDataRec.size() < BtrRecordLength(file)) Store.LkpDataRec.resize(BtrRecordLength(file));
  const TStoredField stored = StoredFieldOf(f, RecordView(Rec));
  if (!stored.Key.empty())
    return HasStoredKey(stored.Key) && ReadOnKey(file, PrefixKey, std::string(stored.Key), Store.LkpDataRec);
  // A unique lookup stores the text alone: the target's record by it.
  const std::string text = Trim(stored.Text);
  if (text.empty() || control->second.ListCols.empty()) return false;
  bool atEnd = false;
  if (!BtrGetGreaterLess(file, text, Store.LkpDataRec, atEnd, SelectGreaterOrEqual) || atEnd) return false;
  return Trim(TargetCellText(control->second.ListCols[0], Store.LkpDataRec)) == text;
}

void TGridReader::DisplayCells(int Slot, const TDynCharArr& Rec, std::vector<std::string>& Cells) {
  const TFld& f = Store.FldTable[Slot];
  if (IsTwoColumnList(f)) {
    const auto& items = lists_[Slot];
    const auto it = items.find(Trim(StoredFieldOf(f, RecordView(Rec)).Text));
    Cells.push_back(it == items.end() ? std::string() : it->second);
    return;
  }
  const int n = DisplayCount(f);
  if (f.LkpKind == "M") {
    const bool found = ReadTargetRecord(Slot, Rec);
    const auto control = lookups_.find(Slot);
    for (int k = 1; k <= n; ++k) {
      const bool has = control != lookups_.end() && size_t(k) <= control->second.DispCols.size();
      Cells.push_back(!found ? NotFoundText
                      : has  ? TargetCellText(control->second.DispCols[size_t(k - 1)], Store.LkpDataRec)
                             : std::string());
    }
    return;
  }
  const auto d = family_.find(Slot);
  const bool usable = d != family_.end() && d->second.Usable;
  if (usable) FamilyLookup = d->second.Defs;
  const bool found = usable && ReadFamilyRecord(Slot, Rec);
  for (int k = 1; k <= n; ++k) {
    TLkpColumn entry;
    if (!found) {
      Cells.push_back(NotFoundText);
    } else if (!LookupFieldEntry(f.DispCols[k], entry)) {
      Cells.emplace_back();
    } else {
      const int fileId = int(d->second.Source);
      Cells.push_back(FamilyDisplayText(f.DispCols[k], k, HostFileRec(fileId), d->second.Source));
    }
  }
}

std::vector<std::string> TGridReader::RowCells(const TDynCharArr& Rec) {
  std::vector<std::string> cells;
  cells.reserve(columns_.size());
  const std::string_view rec = RecordView(Rec);
  for (const TFindColumn& c : columns_) {
    if (c.Display != 0) continue;  // filled with their field
    TFld& f = Store.FldTable[c.Slot];
    cells.push_back(FieldCellText(f, rec));
    const TStoredField stored = StoredFieldOf(f, rec);
    std::copy_n(stored.Key.begin(), std::min(stored.Key.size(), f.ReservedBytes.size()), f.ReservedBytes.begin());
    if (!stored.Tail.empty()) f.ReservedText = std::string(stored.Tail);
    if (DisplayCount(f) > 0) DisplayCells(c.Slot, Rec, cells);
  }
  return cells;
}

bool TGridReader::Position(const TFindRequest& R, TFindResult& Result, std::string& LookupKey) {
  TDynCharArr& rec = Store.TplRec;
  bool atEnd = false;
  if (R.Mode == TFindMode::ExitCheck) {
    SetGridIndexKey(1);
    if (!BtrGetEqual(TplFile, IndexKeyTextOf(R.SortValues, 1), rec, false)) atEnd = true;
  } else if (R.Mode == TFindMode::ColumnLookup) {
    SetGridIndexKey(1);
    const std::vector<TKeyRange> ranges = IndexKeyRanges(1);
    size_t part = 0;
    while (part < ranges.size() && ranges[part].Slot != R.LookupSlot) ++part;
    if (part == ranges.size() || R.SortValues.size() != ranges.size()) {
      Result.Outcome = TFindOutcome::NothingPositioned;
      return false;
    }
    for (size_t k = 0; k < part; ++k)
      if (Trim(R.SortValues[k]).empty()) {
        Result.Outcome = TFindOutcome::MissingPreceding;
        return false;
      }
    const std::string key = IndexKeyTextOf(R.SortValues, 1);
    LookupKey = key.substr(0, ranges[part].Start);
    if (!BtrGetGreaterLess(TplFile, key.substr(0, ranges[part].Start + ranges[part].Width), rec, atEnd,
                           SelectGreaterOrEqual))
      atEnd = true;
  } else {
    SetGridIndexKey(R.IndexNo);
    BtrGetFirst(TplFile, rec, atEnd, false);
  }
  if (atEnd) Result.Outcome = TFindOutcome::NothingPositioned;
  return !atEnd;
}

TFindResult TGridReader::ReadRows(TGridTable& Table, const TFindRequest& R) {
  TFindResult result;
  TDynCharArr& rec = Store.TplRec;
  std::string lookupKey;
  if (!Position(R, result, lookupKey)) return result;

  // Kinds from the fields; a display column shows text.
  for (size_t c = 0; c < columns_.size() && int(c) + 1 < Table.KeyColumn(); ++c)
    Table.SetKind(int(c) + 1, columns_[c].Display == 0 ? GridColumnKindOf(Store.FldTable[columns_[c].Slot])
                                                       : TGridColumnKind::Text);
  if (R.Mode != TFindMode::IndexChange) Table.ClearRows();

  const bool filter = R.Mode == TFindMode::Filter || (R.Mode == TFindMode::IndexChange && R.Filtered);
  const std::string pattern = filter ? FilterPattern(R.SortValues) : "NNN";
  const std::vector<TKeyRange> ranges = IndexKeyRanges(1);
  const std::string typed = filter || R.Mode == TFindMode::ExitCheck ? IndexKeyTextOf(R.SortValues, 1) : "";
  int lookupCol = 0;
  if (R.Mode == TFindMode::ColumnLookup)
    lookupCol = int(std::find(columns_.begin(), columns_.end(), TFindColumn{R.LookupSlot, 0}) - columns_.begin()) + 1;

  int row = 0;
  std::string lastValue;
  for (bool atEnd = false; !atEnd; BtrGetNext(TplFile, rec, atEnd, false)) {
    std::string key = IndexKeyText(RecordView(rec), 1);
    if (R.Mode == TFindMode::ColumnLookup && !lookupKey.empty() && key.compare(0, lookupKey.size(), lookupKey) > 0)
      break;
    bool keep = true;
    for (size_t k = 0; k < ranges.size() && k < pattern.size() && keep; ++k)
      if (pattern[k] == 'Y')
        keep = key.compare(ranges[k].Start, ranges[k].Width, typed, ranges[k].Start, ranges[k].Width) == 0;
    if (!keep) continue;
    std::vector<std::string> cells;
    if (R.Mode == TFindMode::ColumnLookup) {
      std::string value = FieldCellText(Store.FldTable[R.LookupSlot], RecordView(rec));
      if (row > 0 && value == lastValue) continue;
      lastValue = value;
      cells.assign(size_t(lookupCol), std::string());
      cells[size_t(lookupCol - 1)] = std::move(value);
    } else {
      cells = RowCells(rec);
    }
    if (R.Mode == TFindMode::ExitCheck && result.FoundRow < 0 && key == typed) result.FoundRow = row;
    Table.PutRow(row++, std::move(cells), std::move(key), FormatGridPosition(BtrSavePosition(TplFile, rec)));
  }
  Table.CutRows(row);
  result.Rows = row;
  return result;
}

TFindResult TGridReader::Read(TGridTable& Table, const TFindRequest& R) {
  TFindResult result;
  const TFamilyLookupKeep keep;
  struct TKeysBack {
    TGridReader& Reader;
    ~TKeysBack() { Reader.RestoreKeys(); }
  } keysBack{*this};
  // No template open (a screen shown without one): nothing to read.
  TTemplateNumber open;
  if (!BtrIsFileOpen(TplFile) && !TTemplateNumber::TryParse(Store.OpenTplNumber, open)) {
    result.Outcome = TFindOutcome::NotOpen;
    return result;
  }
  try {
    OpenTemplateDataFile(TplFile);
  } catch (const EAbort&) {
    // The opener has said why where it could.
  }
  if (!BtrIsFileOpen(TplFile)) {
    result.Outcome = TFindOutcome::NotOpen;
    return result;
  }
  try {
    Prepare();
    if (R.Mode == TFindMode::Reread) {
      if (R.Row < 0 || R.Row >= Table.RowCount()) return result;
      std::vector<std::string> cells = RowCells(Store.TplRec);
      for (size_t c = 0; c < cells.size() && !result.Changed; ++c)
        result.Changed = Compared(cells[c]) != Compared(Table.Cell(R.Row, int(c) + 1));
      Table.PutRow(R.Row, std::move(cells), IndexKeyText(RecordView(Store.TplRec), 1), Table.PositionCell(R.Row));
      result.Rows = Table.RowCount();
      return result;
    }
    if (R.Mode != TFindMode::ColumnLookup && BtrRecordCount(TplFile) == 0) {
      CloseQuietly(TplFile);
      result.Outcome = TFindOutcome::NoRecords;
      return result;
    }
    result = ReadRows(Table, R);
  } catch (const Exception& e) {
    result.Outcome = TFindOutcome::ReadFailed;
    result.Error = e.Message;
  }
  if (result.Outcome != TFindOutcome::Done) CloseQuietly(TplFile);
  return result;
}
