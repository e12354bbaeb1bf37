// The openers of template data files (MGRDT<nnn>.QMD in Store.DataDir):
// the open template's, for the entry screen and its grid, and a lookup
// target's, for an 'M' lookup of the open template.
//
// Both first put back a save that was cut short (a previous generation
// lying beside the files), then open under the template's shared save lock,
// held across the open only, so that no save renames the file meanwhile.
// While a save holds the lock, or another workstation the file, the user
// is asked with the opener's own FileLockMsg text; FileLockMsg is the
// layer's default again afterwards, however the opener ends.
//
// A refused open raises the layer's EBtrAbort; a recovery that could not
// resolve the files has shown its message and raises the silent EAbort.
#pragma once

#include "templates/template_number.h"

#include <cstdint>
#include <string_view>

// The text length of the open template's data records (the record length
// less the 4-byte prefix), kept by OpenTemplateDataFile.
extern int TplTextLen;

// When FileNo is not open: opens the data file of Store.OpenTplNumber
// (normal mode), selects key 1, sizes Store.TplRec to the record length and
// keeps TplTextLen. An open FileNo is left as it is.
void OpenTemplateDataFile(uint8_t FileNo);

// Closes FileNo when open, then opens the data file of the template that
// field-table slot Slot looks up: the number in characters 5-7 of its
// LkpTarget ("MNGR007.DSC"), the key number the first character of its
// LkpSpec; sizes Store.LkpDataRec to the record length. A target without
// three digits and "." in characters 5-8 or a key digit, and a data file
// that is not there, show that the lookup will not function (error box)
// and leave FileNo closed. The hourglass shows throughout.
void OpenLookupDataFile(uint8_t FileNo, int Slot);

// The template a lookup target names: characters 5-8 of LkpTarget
// ("MNGR007.DSC") as three digits and "."; false for anything else, which
// would name some other file, in the data folder or outside it.
bool LookupTargetNumber(std::string_view LkpTarget, TTemplateNumber& Number);
