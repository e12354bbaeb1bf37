// What the designer hands the lookup form for the field being edited, and
// what the form hands back. The designer fills it before showing the form
// and reads it afterwards; the form never reaches into the designer.
#pragma once

#include "templates/template_state.h"

#include <string>
#include <vector>

struct LookupHandOver {
  // Given by the designer.
  std::string FieldName;
  int Width = 0;            // the width control's value; also handed back
  int ListCount = 0;        // fields listed in the designer
  bool Adding = true;       // false: a listed field is being edited
  std::string Hint;
  std::string Default;
  bool UpperCase = false;
  bool RightJustify = false;
  bool LookupLocked = false;  // the template has data and the field is not new in this run
  // The designer's fields as listed, the edited one included.
  std::vector<TFld> ListedFields;
  // While editing: the listed field being edited, 0-based; -1 when adding.
  int EditedField = -1;

  // The user list of the field (-1 none): given while a list lookup is
  // edited, handed back with the list accepted.
  int SelUserList = -1;

  // Handed back.
  bool LookupAccepted = false;
  bool AutoClientLookup = false;
  int ListCol2Width = 0;  // longest second column of the accepted list
};
