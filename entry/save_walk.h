// The record save's walk over the fields: what each generated control
// holds becomes its field's bytes in the record text, each field checked
// first, in field-table order (slots 1-50 up to the first empty name).
// No widget: the screen is seen through TSaveView, so every rule is tested
// without one.
//
// Per control kind: an edit of a C field (text, size, lookup forms), an
// edit of an N field (text, size, range), a memo (text, size), a picker
// ("YYYYMMDD" of the date's whole days, or 8 blanks), a check box ("Y" or
// "N"), a document panel (the path in 72 bytes). The bytes are placed by
// the record codec (templates/record_codec.h), which also decides a
// lookup's form: plain, keyed (text and the chosen record's 4 key bytes)
// or keyed with tail (the client-name and employee-name lookups).
//
// A template lookup (kind M) is checked against its target's data file,
// open as file slot + 60: the record with the field's 4 key bytes as key 0
// must be there, and every display row must show what that record holds.
// A blank lookup that is not required is written blank and not checked.
#pragma once

#include "entry/entry_build.h"
#include "entry/template_lookup.h"
#include "platform/dialogs.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// What the control of one field shows.
struct TSlotInput {
  TCtlKind Kind = TCtlKind::Edit;
  std::string Text;   // an edit's or memo's text; a document panel's path
  double Date = 0;    // a picker's date value; 0 no date
  bool Checked = false;
  std::vector<std::string> Displays;  // the display rows beside a lookup, in order
};

// The screen as the save sees it.
class TSaveView {
public:
  virtual ~TSaveView() = default;
  // The control of field Slot (1-50); false when the screen has none.
  virtual bool Input(int Slot, TSlotInput& In) const = 0;
  // Gives the control of field Slot the focus.
  virtual void FocusField(int Slot) = 0;
};

// A field that did not pass: the message and the field to focus (0 none).
struct TSaveRefusal {
  std::string Text;
  TMsgDlgType Type = mtError;
  int FocusSlot = 0;
  bool operator==(const TSaveRefusal&) const = default;
};

// Fills Text (the record text, blanks, TplTextLen bytes) with every
// field's value and writes each field's CurValue; Lookups are the control
// records of the template lookups by slot. Stops at the first field that
// does not pass and answers its refusal; the fields before it are placed
// already. Raises for what no check foresees (a field outside the record,
// a lookup file that cannot be read, a text Windows-1252 cannot hold).
std::optional<TSaveRefusal> WalkFields(const TSaveView& View, const std::map<int, TFieldControl>& Lookups,
                                       std::string& Text);

// The size message for a field that takes Fits characters.
std::string OverSizeText(size_t Fits);
