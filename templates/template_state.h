// The template in use: its field table, index table and the facts about it
// that the main window, the entry screen and the designer share. One
// instance, Store, holds them for the whole run and one template at a time.
//
// Tables keep the numbering the rest of the program uses (slots 1..54,
// indexes 1..5, sort fields 1..3, display columns 1..80, list entries
// 1..1000) and refuse any index outside it (ETableIndex).
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/checked_table.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int FieldSlots = 54;       // 1..50 fields, 52..54 the entry screen's pseudo-fields
constexpr int MaxFields = 50;        // fields of one template; also the highest FldId
constexpr int MaxIndexes = 5;
constexpr int MaxSortFields = 3;     // sort fields of one index
constexpr int MaxDispCols = 80;
constexpr int MaxListEntries = 1000; // master records in memory, linkable templates
constexpr int MaxHostFldCode = 99;   // family-file field codes 0..99
constexpr int DispColsEnd = -1;      // ends the used part of DispCols

// Between the two columns of a two-column list item; first byte of a list
// file's header line.
inline const std::string ListSep = "\x01";

// One field of a template. A default-constructed TFld is a cleared slot.
struct TFld {
  std::string Name;  // at most 26 bytes; blank ends the used part of the table
  int SeqNo = 0;
  int FldId = 0;     // 1..50, stays with the field across modifications
  int Offset = 0;    // record position of the field's text (the first field has 5)
  char FldType = ' ';  // C, N, D, d, B; blank when cleared
  bool UpperCase = false;
  bool Required = false;
  bool IsLookup = false;
  bool Unique = false;
  bool RightJustify = false;
  int IdxCount = 0;
  TTable<int, 1, MaxIndexes, "IdxNo"> IdxNo;      // index numbers, 0 = no membership
  TTable<int, 1, MaxIndexes, "SortPos"> SortPos;  // sort position 1..3 per membership
  int Width = 0;
  std::string Default;  // at most 50
  std::string Hint;     // at most 50
  std::string MinVal;   // at most 12 each
  std::string MaxVal;
  int Decimals = 0;       // 0..2
  std::string LkpKind;    // "", "L", "l", "M" or "U"
  std::string LkpTarget;  // at most 11
  std::string LkpSpec;    // at most 13
  bool LkpKeyUnique = false;
  // Kept for the entry screen's lookups (a chosen record's key bytes and the
  // search text); the store only clears them.
  int ReservedInt = 0;
  std::array<uint8_t, 4> ReservedBytes{};
  std::string ReservedText;
  bool Forced = false;
  int KeyWidth = 0;
  TTable<int, 1, MaxDispCols, "DispCols"> DispCols{DispColsEnd};
  std::string CurValue;
  std::string PrevValue;

  bool operator==(const TFld&) const = default;
};

using TFieldTable = TTable<TFld, 1, FieldSlots, "FldTable">;

// The index definitions: an index exists while its first sort field is set;
// the first without one ends the list.
struct TIndexRecs {
  TTable<std::string, 1, MaxIndexes, "IndexRecs.Names"> Names;
  // FldId of each index's sort fields, 0 = none.
  TTable<int, 1, MaxIndexes, "IndexRecs.SortFld1"> SortFld1;
  TTable<int, 1, MaxIndexes, "IndexRecs.SortFld2"> SortFld2;
  TTable<int, 1, MaxIndexes, "IndexRecs.SortFld3"> SortFld3;

  // Sort field K (1..3) of index I; raises for K or I outside the table.
  int& SortFld(int I, int K);
  int SortFld(int I, int K) const;
  // Indexes defined without a gap from index 1.
  int IndexCount() const;

  bool operator==(const TIndexRecs&) const = default;
};

// A field of another template as the lookup definition sees it.
struct TMFld {
  std::string Name;
  std::string FldId;  // 2 characters as stored
  std::string Width;
  bool FirstSort = false;    // first sort field of some index
  bool IndexUnique = false;  // that index refuses duplicates

  bool operator==(const TMFld&) const = default;
};

// The parts of the entry screen's current key: sort fields 1..3 of index 1.
struct TPrimKey {
  TTable<int, 1, MaxSortFields, "PrimKey.Pos"> Pos;
  TTable<int, 1, MaxSortFields, "PrimKey.Width"> Width;
  TTable<int, 1, MaxSortFields, "PrimKey.Id"> Id;

  bool operator==(const TPrimKey&) const = default;
};

using TTemplateNames = TTable<std::string, 1, MaxListEntries, "template list">;
using THostFldNames = TTable<std::string, 0, MaxHostFldCode, "HostFldNames">;
// A record as the numbered-file layer reads it, prefix first.
using TRecordBuffer = TDynCharArr;

// The lookup field catalogue's names (templates/validation_files.cpp).
THostFldNames LookupCatalogueNames();

struct TTemplateStore {
  TFieldTable FldTable;
  int FldCount = 0;
  TIndexRecs IndexRecs;
  TTable<bool, 1, MaxIndexes, "IndexUnique"> IndexUnique;
  TPrimKey PrimKey;
  std::string TplName;
  std::string TplNumber;      // 3 digits, the template chosen in the main window
  std::string OpenTplNumber;  // 3 digits, the template whose entry screen is open
  int RecLen = 0;             // 4 + the field widths, without the date stamp
  bool Modifying = false;
  bool HasData = false;
  std::string DeletedFlds;    // entries of deleted_fields.h
  bool IdxChanged = false;
  bool LayoutChanged = false;
  bool JustifyChanged = false;
  bool MinMaxChanged = false;
  bool ListFldWidened = false;
  TTable<int, 1, MaxFields, "NewFldIds"> NewFldIds;  // by FldId: 1 added, -1 given up
  // By FldId: the field was read with the alternative lookup kind "l",
  // which the field table holds as "L"; a save writes "l" back unless the
  // designer defined the field anew.
  TTable<bool, 1, MaxFields, "AltKindIds"> AltKindIds;
  // The digest of the descriptor records the loader read (layout_digest.h);
  // 0 when the table was not loaded from a descriptor.
  uint64_t LayoutDigest = 0;
  TTable<std::string, 1, MaxIndexes, "IndexNamesToWrite"> IndexNamesToWrite;
  TTable<TMFld, 1, MaxFields, "MFlds"> MFlds;
  TTable<bool, 1, 3, "AltLookupOn"> AltLookupOn;  // client, case, employee
  TTemplateNames TemplateList;
  TTemplateNames ClientTpls;
  TTemplateNames CaseTpls;
  TTemplateNames EmpTpls;

  // The product family's data folder, where its validation files lie, and
  // the folder of every file of the program (both set by the start-up).
  std::string DataRoot;
  std::string DataDir;
  // Record buffers of the open template's data file and of a lookup target's.
  TRecordBuffer TplRec;
  TRecordBuffer LkpDataRec;

  // Names of the family-file fields that lookups can show. A constant of
  // the run: Reset keeps it.
  THostFldNames HostFldNames = LookupCatalogueNames();

  // Everything back to its start value (HostFldNames aside).
  void Reset();
};

extern TTemplateStore Store;

// Slot I of Store.FldTable cleared: texts empty, numbers 0, flags off, type
// blank, DispCols all -1, the reserved members and Hint cleared too, so a
// cleared slot keeps nothing of the template before.
void InitFieldSlot(int I);

// The slot (1..FldCount) of the field with this FldId; 0 when no field has
// it. A field's id stays while its slot changes with deletions and moves.
int FieldSlotOf(int FldId);
