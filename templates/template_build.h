// Saving a template designed or modified: BuildTemplateDataFile makes the
// template's files agree with the field table in use (Store). A new
// template takes a number and a master record; a modified one keeps its
// number and gets its master record anew. The descriptor is written anew,
// and the data file is made, left as it is, or restructured with every
// record carried over (templates/data_transfer.h).
//
// One transaction covers the master record, the new descriptor and both
// data generations; the exclusive save lock of the template is held from
// the start (for a new template, from the choice of its number) through
// the clean-up. Before anything changes, a modification counts the data
// file's records itself: records the designer did not know of end the save,
// and without records the positions are handed out anew.
//
// Success returns true without a message. A failure rolls back, puts the
// old files back (templates/save_files.h), shows one message (error box,
// OK) and raises the silent abort (EAbort without text).
#pragma once

#include "templates/template_number.h"

#include <string>

bool BuildTemplateDataFile(const std::string& Name);

// Deletes the grid layout Grid<nnn>.FMT of the template in the data folder
// when it exists. Number in any of its forms.
void DeleteGridFormat(const std::string& Number);
std::string GridFormatFileName(const TTemplateNumber& Number);

// Shown when a modification finds records the designer did not know of.
extern const std::string RecordsAddedMsg;
