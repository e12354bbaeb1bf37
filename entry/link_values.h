// The client, case and employee values a linked template's child instance
// starts with, taken from the entry screen's family key fields. Plain C++
// over the validation files; the screen hands in its edits' texts.
#pragma once

#include "btrieve/numbered_files.h"
#include "entry/linked_children.h"

#include <string>

// The screen's family key fields: which it has and what their edits hold.
struct TLinkSources {
  bool HasClient = false;
  // The client key field looks clients up by code (not by name): its text
  // is a client code.
  bool ClientByCode = false;
  std::string ClientText;
  bool HasCase = false;
  std::string CaseText;
  bool HasEmployee = false;
  std::string EmployeeText;
};

// Whether Buffer holds the client record the screen's client field names:
// at least 5 bytes with a fifth byte not zero (a closed file's emptied
// buffer holds none), and under a code lookup the record of that code (the
// buffer may hold whatever row a list read last).
bool HoldsClientRecord(const TDynCharArr& Buffer, const TLinkSources& Sources);

// The values, each only for a field the screen has: the client's code and
// joined name from Buffer when it holds the client (HoldsClientRecord),
// else from the client file read by Get Equal on the field's text (nothing
// found: both empty); the case suffix as typed; the employee's code read
// by Get Equal on the field's text (nothing found: empty). Files 11 and 13
// are opened when closed and closed again; one that will not open leaves
// its values empty.
TChildValues CollectChildValues(const TLinkSources& Sources, const TDynCharArr& Buffer);
