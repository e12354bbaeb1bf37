// The start of the product family's calendar module for the entry on
// screen: the program "<ExeDir>\zorvik.exe" and its arguments, the words of
// the command line "zorvik.exe <WorkDateStr>d [<client> x_x_x [<case>]]".
// The calendar button's hint picks the form: "client" in it shows the
// client's calendar, else "case" the case's. Codes are trimmed and each
// is one argument, blanks inside it included; a blank code is left out,
// and without a client code neither form passes a code.
#pragma once

#include "btrieve/numbered_files.h"

#include <string>
#include <vector>

struct TCalendarStart {
  std::string Program;
  std::vector<std::string> Args;
};

// CaseRecord is the case file's record buffer: the case form takes a blank
// client code from its client part, and the case code from its suffix part
// when it holds a record.
TCalendarStart CalendarStart(const std::string& ExeDir, const std::string& WorkDateStr, const std::string& Hint,
                             std::string Client, std::string Case, const TDynCharArr& CaseRecord);

// Shown when the module cannot be started.
inline const std::string CalendarFailureText = "You may not access the Calendar screen at this time.\r";
