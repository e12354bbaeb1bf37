// The find without a widget: the records of the open template's data file
// (file 52) read into the grid view's table, one row per record, and what
// each cell shows. The entry screen (TEntryF::BitBtnFindClick) decides the
// mode, asks the user what it must and shows the grid; tests and the
// benchmark use this alone.
//
// Columns 1..n of a row: each field in field-table order, each followed by
// the display columns of its lookup (a family lookup's and a template
// lookup's defined columns, a two-column user list's second column), as
// the entry screen lays out its rows. Behind them the two hidden columns:
// the record's index-1 key text, built from the stored bytes by the key
// codec (templates/record_codec.h), and its position cell
// (templates/grid_position.h).
//
// Cells by type: C, N and d the field's text part as stored; D blank for 8
// blanks, else month/day/year of the stored "YYYYMMDD" (the year in four
// digits when the short date format has "yyyy"); B "Y" or " ". Reading a
// keyed field copies its key bytes (and a name lookup's tail) back into the
// field's ReservedBytes and ReservedText, as the save wrote them.
//
// Display columns: a family lookup (L) reads its family record by the
// field's text (a name lookup by its stored key bytes: the family record's
// prefix; without stored key bytes "not found"), a template lookup (M)
// its target's record into Store.LkpDataRec by the stored key bytes, or by
// the text for a unique lookup; a record that is not found shows "not
// found" in every display column of the field.
#pragma once

#include "btrieve/numbered_files.h"
#include "entry/dropdown_list.h"
#include "entry/grid_table.h"
#include "entry/template_lookup.h"
#include "templates/validation_files.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The four callers' modes besides the two buttons.
enum class TFindMode {
  FindAll,       // every record in the grid's key order
  Filter,        // the records whose index-1 segments equal the typed ones
  ColumnLookup,  // one field's stored values, from the typed key on
  ExitCheck,     // from the record an index field's exit found, that row kept
  Reread,        // nothing read: the current row rewritten from Store.TplRec
  IndexChange,   // as FindAll, the rows rewritten in place in a new key order
};

// What column c (1..) of the grid shows: Slot's field (Display 0) or its
// display column Display.
struct TFindColumn {
  int Slot = 0;
  int Display = 0;
  bool operator==(const TFindColumn&) const = default;
};

// The columns for the template in use (Store.FldTable from slot 1 to the
// first blank name).
std::vector<TFindColumn> FindColumnsOf();

// A field's text part in a stored record (prefix first), by its widths
// alone: KeyWidth bytes where a lookup keeps key bytes (and a tail) behind
// it, else its whole width. A field outside Rec raises ERecordCodec.
std::string_view StoredTextOf(const TFld& Fld, std::string_view Rec);
// A field's cell from a stored record (prefix first), as StoredTextOf.
std::string FieldCellText(const TFld& Fld, std::string_view Rec);

// The filter's pattern: "Y" for each typed (non-blank) index-1 segment,
// "N" for the others, always three letters.
std::string FilterPattern(const std::vector<std::string>& SortValues);

struct TFindRequest {
  TFindMode Mode = TFindMode::FindAll;
  // The grid's index (1-5): its data-file key is set on file 52.
  int IndexNo = 1;
  // The screen's values of index 1's sort fields, in sort order, as the
  // record stores them (dates "YYYYMMDD" or empty).
  std::vector<std::string> SortValues;
  // ColumnLookup: the focused field.
  int LookupSlot = 0;
  // Reread: the row to rewrite.
  int Row = -1;
  // IndexChange: the rows shown were a filter's; the new order keeps it.
  bool Filtered = false;
};

enum class TFindOutcome {
  Done,
  NotOpen,            // file 52 would not open
  NoRecords,          // the file is empty
  MissingPreceding,   // a sort field before the looked-up one is blank
  NothingPositioned,  // no record at or after the start
  ReadFailed,         // Error holds the failure's text
};

struct TFindResult {
  TFindOutcome Outcome = TFindOutcome::Done;
  int Rows = 0;        // rows filled
  int FoundRow = -1;   // ExitCheck: the row of the typed key
  bool Changed = false;  // Reread: the row showed something else before
  std::string Error;
};

class TGridReader {
public:
  // TemplateLookups: the build's control records of the M fields;
  // ClientSlot: the template's client key field (a case lookup's client),
  // -1 none.
  TGridReader(const std::map<int, TFieldControl>& TemplateLookups, int ClientSlot)
      : lookups_(TemplateLookups), clientSlot_(ClientSlot) {}

  // Steps of the find that read: file 52 opened and positioned, the table
  // filled (or, Reread, its row rewritten) and cut to the rows filled.
  // Failures close file 52; success leaves it open on the grid's key.
  TFindResult Read(TGridTable& Table, const TFindRequest& Request);

  // The cells of columns 1..n for Rec (prefix first). REQUIRES: Prepare.
  std::vector<std::string> RowCells(const TDynCharArr& Rec);
  // Defines the display columns of every family lookup (their files
  // opened) and reads the two-column user lists; the family lookup
  // definitions in force before come back afterwards. Read calls it.
  void Prepare();
  const std::vector<TFindColumn>& Columns() const { return columns_; }

private:
  struct TFamilyDisplay {
    TFamilyLookup Defs;
    TListSource Source = TListSource::Client;
    bool Usable = false;
  };
  void DisplayCells(int Slot, const TDynCharArr& Rec, std::vector<std::string>& Cells);
  bool ReadFamilyRecord(int Slot, const TDynCharArr& Rec);
  bool ReadTargetRecord(int Slot, const TDynCharArr& Rec);
  TFindResult ReadRows(TGridTable& Table, const TFindRequest& Request);
  bool Position(const TFindRequest& Request, TFindResult& Result, std::string& LookupKey);
  // Get Equal on File by key Key; each file's key is set once per find
  // and put back by RestoreKeys. A find reads each lookup record once: the
  // rows that name it again take the copy.
  bool ReadOnKey(uint8_t File, int8_t Key, const std::string& Text, TDynCharArr& Rec);
  void RestoreKeys() noexcept;

  const std::map<int, TFieldControl>& lookups_;
  int clientSlot_ = -1;
  std::vector<TFindColumn> columns_;
  std::map<int, TFamilyDisplay> family_;
  // Two-column user lists: column 0 -> column 1, per slot.
  std::map<int, std::map<std::string, std::string>> lists_;
  // The lookup files' keys before the find and as it set them.
  std::map<uint8_t, int8_t> keysBefore_, keysNow_;
  struct TReadKey {
    uint8_t File;
    int8_t Key;
    std::string Text;
    auto operator<=>(const TReadKey&) const = default;
  };
  // The records read (empty: none found).
  std::map<TReadKey, TDynCharArr> read_;
};
