// A template lookup (kind M) made ready while the entry screen is built:
// the target's descriptor read (file 32), its data file opened in the
// field's own file number (slot + 60), and what the dropdown list and the
// display rows need kept in the field's control record.
//
// The target is found by the number in its LkpTarget alone ("MNGR007.DSC":
// three digits and "." at characters 5-8); both files are named from that
// number, so no stored text leads out of the data folder. The target's
// fields are found by their FldId (the descriptor's key 2): the lookup
// specification and DispCols hold ids, which stay with a field the designer
// moves, where sequence numbers do not.
//
// The descriptor is opened read-only, so other workstations reading it are
// not shut out. From that open until the data file is open the target's
// shared save lock is held (no save renames the files meanwhile) and no box
// is shown; messages come after the release.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t TargetDescFileNo = 32;
constexpr uint8_t TemplateLookupFileNo = 42;
// The data file of the target of the field in slot S is file S + 60.
constexpr int TargetFileOffset = 60;
constexpr int MaxListCols = 4;

// Type codes of a target field: C 0, N 1, D 2, B 3, d 4.
enum TTargetType : int { ttText = 0, ttNumber = 1, ttDate = 2, ttBoolean = 3, ttDocument = 4 };
int TargetTypeOf(char FldType);

// One field of the target as a list or display column.
struct TTargetColumn {
  int FldId = -1;
  int Pos = -1;    // record position, the 4-byte prefix counted (first field 5)
  int Width = -1;  // bytes
  int Type = -1;   // TTargetType
  int PixelWidth = -1;  // list columns: the column's width in the list
  std::string Name;     // display columns: the target field's name, trimmed
  bool operator==(const TTargetColumn&) const = default;
};

// The field control record of an M field.
struct TFieldControl {
  int TotalWidth = -1;  // pixels of the list columns together
  std::vector<TTargetColumn> ListCols;  // LkpSpec's field groups, up to 4
  std::vector<TTargetColumn> DispCols;  // display column k at k-1, up to 80
  int TargetNo = -1;
  int DataFileNo = -1;  // slot + 60
  int RecLen = -1;      // the target's record length
  bool operator==(const TFieldControl&) const = default;
};

// Steps 1 to 7 of the preparation for the M field in Slot: false after
// its message (the build then fails), with files 32 and slot + 60 closed.
// On success file 32 stays open on key 2 for ReadDisplayField and the
// data file open on the key LkpSpec's first character names.
// Sets the field's LkpKeyUnique: the field is unique and so is the
// target's index the lookup runs on.
bool PrepareTemplateLookup(int Slot, TFieldControl& Control);

// Display column K (1-80) of the field in Slot from file 32 into Control:
// false when the target has no field with that id (the caller shows
// DisplayFieldMissingMsg and fails the build).
bool ReadDisplayField(int Slot, int K, TFieldControl& Control);

// The message of a target field that cannot be read; Key as looked for.
std::string DisplayFieldMissingMsg(const std::string& LkpTarget, const std::string& Key);
// The key text of a target field id: "%2s" of the trimmed id.
std::string TargetFieldKey(const std::string& Id);

// File 32, the failure of a close kept quiet: the screen goes on without it.
void CloseTargetDescriptor();
// Files 32, 42 and every slot + 60, as when the screen closes.
void CloseTemplateLookupFiles();
