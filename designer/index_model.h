// The designer's index screen without widgets: five rows of a name, three
// sort-field boxes and a unique box, the checks on leaving a box, the
// validation before a save, the memberships the save gives the fields, the
// locks other templates' lookups put on indexes, and the save itself.
#pragma once

#include "templates/template_integrity.h"

#include <array>
#include <string>
#include <vector>

struct TIndexRow {
  std::string Name;
  std::array<std::string, MaxSortFields> Boxes;  // field names as typed
  bool Unique = false;
  bool Locked = false;  // an index other templates read by
};

using TIndexScreen = std::array<TIndexRow, MaxIndexes>;  // rows 0..4 = indexes 1..5

// Where a refusal puts the focus: Row 0..4; Col -1 the name edit, 0..2 a box.
struct TIndexVerdict {
  bool Ok = true;
  int Row = 0;
  int Col = -1;
  bool ClearBox = false;  // the rejected box is emptied
};

// The status sentence of sort-field box Col (0..2).
std::string SortFieldStatus(int Col);

// The screen filled from the index table (a modification).
TIndexScreen LoadIndexScreen();

// Leaving a name edit: the name must differ from the other rows'.
TIndexVerdict CheckIndexName(const TIndexScreen& Screen, int Row);
// Leaving a sort-field box: the text trimmed, the field looked up and
// checked. A numeric field that is not right-justified is made so on Yes.
TIndexVerdict CheckSortFieldBox(TIndexScreen& Screen, int Row, int Col);

// The checks before a save: each box's exit check again, every index with
// its first sort field, names, no gaps; memberships reset and
// IndexNamesToWrite filled.
TIndexVerdict ValidateIndexes(TIndexScreen& Screen);

// Save steps 2 and 3: Unique reset, memberships from the screen. Refuses a
// unique index of only new members on a template with data.
TIndexVerdict SetMemberships(const TIndexScreen& Screen);

// The indexes other templates' lookups read by, with the indirect locks;
// false when the other templates could not be checked (its box shown).
struct TIndexLocks {
  bool Complete = true;
  TIndexFlags Locked;
  std::vector<TLookupReference> References;
  std::vector<std::string> IndirectNames;  // indexes locked through another
};
TIndexLocks FindIndexLocks(const TIndexScreen& Screen);

// The text of the locked-index label for these names (", "-joined).
std::string LockedIndexText(const std::vector<std::string>& Names);

// The whole save from the index screen. Remembered: the 15 box texts as the
// screen was opened. Returns false when the designer stays open (a refused
// check); true when it closes, saved or not (TplSaved tells).
bool SaveTemplate(TIndexScreen& Screen, const TIndexScreen& Remembered, TIndexVerdict& Refusal);

// After a modification that deleted fields: other templates' lookups lose
// their references to them.
void CheckDeletedFieldReferences();

// The "l" kind written back for fields the loader read as such and the
// designer did not define anew.
void RestoreAltLookupKinds();

extern const std::string NoIndexMsg;
extern const std::string PreviousIndexUnusedMsg;
extern const std::string UniqueNewMembersMsg;
