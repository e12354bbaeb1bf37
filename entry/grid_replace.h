// The grid view's search and replace over one field of the whole data file
// (file 52): every record whose field holds the old value gets the new one.
// Old and new values are placed through the record codec exactly as a save
// places them (justification, date and check-box forms), so the comparison
// and the written bytes agree with what the entry screen stores. A
// template lookup's new value carries the chosen target record's 4 key
// bytes behind its text; the lookup's tail, when it has one, stays.
#pragma once

#include "platform/datetime_value.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// "YYYYMMDD" of a date value; 8 blanks for no date (0).
std::string DateToSearchText(TDateTime Date);

struct TReplaceRequest {
  int Slot = 0;
  std::string OldValue;  // as the user gives it (dates "YYYYMMDD", check boxes "Y"/"N")
  std::string NewValue;
  std::string NewKey;  // a template lookup's chosen record's 4 key bytes; empty otherwise
};

struct TReplaceResult {
  int Changed = 0;
  // Empty when the walk reached the end; else why it stopped (the records
  // changed before stay changed).
  std::string Failure;
};

// Raises ERecordCodec (the save's size text) when a value does not fit the
// field.
void CheckReplaceValues(const TReplaceRequest& Request);

// Walks file 52 (open) from its first record to its last on key 0, the key
// number restored afterwards. Progress is told each record read, with the
// file's record count.
TReplaceResult ReplaceFieldValues(const TReplaceRequest& Request, const std::function<void(int Done, int Total)>& Progress);

// A template lookup's target records (prefix first) whose key text holds
// Value (compared trimmed), read from the target's data file opened as
// FileNo on the lookup's key, closed again.
std::vector<std::string> LookupTargetRecords(int Slot, const std::string& Value, uint8_t FileNo);

// The items of a forced user-list field's list, or false when the field
// has no such list (or it cannot be read: its message shown).
bool ForcedListItems(int Slot, std::vector<std::string>& Items);
