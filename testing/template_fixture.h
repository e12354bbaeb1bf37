// Templates for tests: the field table of the template in use built up one
// field and one index at a time, the way the designer leaves it before a
// save, and data records filled from field values by that table.
//
// The builder works on Store. A new builder clears the tables (fields,
// indexes, change flags, DeletedFlds) and sets RecLen to 4; each field added
// takes the next slot, SeqNo = FldId = its slot unless an id is given,
// KeyWidth = Width, and the record position behind the fields before it,
// RecLen growing by its width.
#pragma once

#include "templates/template_state.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Cleared: the builder starts from empty tables; AsItIs: it works on the
// table in use, e.g. as the descriptor loader left it before a change.
enum class TTableStart { Cleared, AsItIs };

class TTemplateTableBuilder {
public:
  explicit TTemplateTableBuilder(TTableStart Start = TTableStart::Cleared);

  // Appends a field; FldId 0 takes the slot number. Returns the slot's entry
  // for further settings (flags, lookups, KeyWidth).
  TFld& Add(const std::string& Name, char Type, int Width, int FldId = 0);

  // The entry of the field with this FldId; a missing id fails the test and
  // raises std::out_of_range.
  TFld& Field(int FldId);

  // Index IndexNo (1..5) sorted on the fields FldIds, in sort order: each
  // field gets the membership with its sort position, the index table its
  // sort fields, IndexUnique and IndexNamesToWrite their values.
  TTemplateTableBuilder& Index(int IndexNo, const std::vector<int>& FldIds, bool Unique = false,
                               const std::string& Name = "");

  // Every field's index memberships set from the index table, as the
  // designer does for a template it opens (the loader leaves them cleared).
  TTemplateTableBuilder& MembershipsFromIndexes();

  // The field leaves the table as the designer deletes it: its entry goes
  // into DeletedFlds (through the deleted-fields codec), later slots move
  // up and are renumbered, its index memberships and sort fields go, RecLen
  // shrinks by its width. Positions of the other fields stay.
  TTemplateTableBuilder& Delete(int FldId);

  // A new width for the field, as the designer changes it: KeyWidth follows
  // when it was the whole width; with Shift every field placed behind it
  // moves by the difference; RecLen changes by it.
  TTemplateTableBuilder& Resize(int FldId, int Width, bool Shift = true);
};

// Field values by FldId.
using TFieldValues = std::map<int, std::string>;

// A stamp of the entry screen, "YYYYMMDD".
inline const std::string FixtureStamp = "20261210";

// The text of a data record of the table in use, without its prefix:
// RecLen - 4 characters of blanks with each value at its field's Offset,
// left-aligned, then Stamp. For RightJustify a value is right-aligned as
// the store justifies a field's text: within the first KeyWidth characters
// when it fits there (the key bytes behind stay blank), else within Width.
// Values are bytes (NUL and key bytes kept). A value wider than its field,
// or an id not in the table, raises std::invalid_argument.
std::string FillRecord(const TFieldValues& Values, const std::string& Stamp = FixtureStamp);

// A data record with its 4-byte key-0 prefix (the number least-significant
// byte first) in front of Text.
std::string WithPrefix(uint32_t Prefix, const std::string& Text);

// Inserts Records into the record-manager file Name, opened as FileNo and
// closed again, in one transaction. A record whose first 4 bytes are not all
// zero keeps them as its key-0 value; Records are whole records (see
// WithPrefix; a zero prefix lets the engine number it).
void InsertRecords(const std::string& Name, const std::vector<std::string>& Records, uint8_t FileNo = 9);

// Every record of the file Name in key-0 order, prefix first, as read.
std::vector<std::string> ReadRecords(const std::string& Name, uint8_t FileNo = 9);

// The fields of the matter template the save tests share, as fields 1-4:
// Code (C 5), Name (C 10), Amount (N AmountWidth, right-justified, one
// decimal) and Client (C 9, a template lookup on MNGR007.DSC keyed on its
// first 5 characters, the target's key bytes behind them). Returns Amount.
TFld& AddMatterFields(TTemplateTableBuilder& Table, int AmountWidth);

// A field Name (C 6) that looks template Target up by its index 1 and
// shows its field 1.
TFld& AddTemplateLookup(TTemplateTableBuilder& Table, const std::string& Name, int Target);
// Template TplNo loaded for modification as the designer has it: its
// descriptor read, the index names to write and every field's memberships
// set, Modifying, HasData and TplNumber set, file 1 (the master) open on
// its master record. A descriptor that does not load or a missing master
// record raises std::runtime_error.
void LoadForModification(int TplNo, bool HasData);

// File 1 (the master) opened and on template TplNo's master record; a
// missing record raises std::runtime_error.
void OpenMasterOn(int TplNo);
