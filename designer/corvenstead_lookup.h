// A lookup into the product family's client, case or employee file (kind
// L), without a widget: the dropdown and display lists by catalogue name,
// the rules for adding to them, the tiles each stage enables, the client
// lookup question's outcome, and the lists written into a field (and read
// back from one).
//
// A field keeps the lookup as LkpSpec = the host letter (A client, B case,
// E employee, from the first dropdown field) followed by "%3s" of each
// dropdown code, and DispCols[1..] = the display codes in order, -1 behind.
// Width, KeyWidth and, for a code field, UpperCase and Unique follow the
// first dropdown field:
//   code  field              letter  Width  KeyWidth  code field
//    0    Client code          A       7       7        yes
//    1    Client name          A      47      40
//   22    Case suffix          B       7       7        yes
//   23    Case Alternate ID    B      24      20
//   62    Employee code        E       4       4        yes
//   63    Employee name        E      44      37
// A name that is no catalogue name adds nothing; a stored code that does
// not convert or names nothing is skipped when a field is read.
#pragma once

#include "designer/host_fields.h"
#include "designer/lookup_hand_over.h"
#include "templates/template_state.h"

#include <array>
#include <string>
#include <vector>

inline constexpr size_t MaxDropdownFields = 4;
inline constexpr int TileCount = HostCode::LastTile + 1;
using TTileStates = std::array<bool, TileCount>;  // enabled, by code

inline const std::string DropdownFullMsg = "The Dropdown list cannot have more than four fields.";
inline const std::string FirstNotIndexMsg = "The first field for the dropdown list must be an index field.";
inline const std::string KeyFirstMsg =
    "You must select a keyed field for the dropdown list first\rbefore you can select any fields for display.";
inline const std::string NoClientLookupReminder =
    "The program will not create a client lookup at this time.\rPlease remember to manually add a client lookup to "
    "your template before you create it.";
inline const std::string NoRoomForClientLookupMsg =
    "There is not enough room to create a Client Lookup automatically - \rthe limit of 50 fields would be "
    "exceeded.\r\rYou will need to remove one of the existing fields in your template and\rreplace it with a Client "
    "lookup field.";
inline const std::string ClientLookupName = "Client Lookup";
inline constexpr int ClientLookupWidth = 7;

// A row of the table above.
struct TKeyFieldRow {
  int Code;
  char Letter;
  int Width;
  int KeyWidth;
  bool CodeField;
};
// The row of Code, null for a code without one.
const TKeyFieldRow* KeyFieldRow(int Code);

// Already listed in the dropdown list.
std::string DropdownListedMsg(const std::string& Name);
// Already listed in the display list.
std::string DisplayListedMsg(const std::string& Name);

// The tiles after ResetTiles: only the three key tiles 0, 22, 62.
TTileStates ResetTileStates();
// The tiles once the first dropdown field is chosen (EnableHostTiles).
TTileStates HostTileStates(int FirstCode);
// The tiles for an existing lookup being edited (EnableKeyTiles): the
// host's other fields; the name tiles 1, 23 and 63 stay disabled.
TTileStates KeyTileStates(int FirstCode);
// "Make the field Client Name available as an alternative lookup." for the
// host of Code; empty for none.
std::string AltLookupCaption(int Code);

// The client lookup question's option (0..3) turned into what happens.
struct TClientLookupStep {
  bool AutoClientLookup = false;
  std::string Message;      // shown first when not empty
  bool CancelForm = false;  // option 3: the lookup form closes unaccepted
};
TClientLookupStep ClientLookupStep(int Option, const LookupHandOver& Given);
// Some listed field other than the edited one is a lookup into the client
// file (its LkpSpec begins with "A").
bool HasClientLookup(const LookupHandOver& Given);

class TCorvensteadLookup {
public:
  std::vector<std::string> Dropdown;   // at most four catalogue names, in order
  std::vector<std::string> Displayed;  // display names, in order

  // The code of the first dropdown name that is a catalogue name; -1 none.
  int FirstCode() const;
  bool InDropdown(const std::string& Name) const;
  bool InDisplayed(const std::string& Name) const;

  // The list written into Fld: LkpTarget, LkpSpec, DispCols and the first
  // dropdown field's row of the table.
  void StoreInto(TFld& Fld) const;
  // The lists of a stored kind L (or l) lookup.
  static TCorvensteadLookup LoadFrom(const TFld& Fld);
};

// "l" when the alternative lookup box is ticked and the stored lookup shows
// its host's name field first; else "L".
std::string StoredLookupKind(bool AltLookupChecked, const TFld& Fld);

// Store.FldTable[Store.FldCount] becomes the automatic client lookup field;
// RecLen grows by its width.
// REQUIRES: the designer has made the slot its last field (1..50).
void AddClientLookupField();
