// Carrying a template's records into its restructured data file. The old
// generation (MGRDT<nnn>.QMX) is file 56 and the new data file file 57,
// both exclusive; every record keeps its key-0 prefix, since other
// templates' lookups store it to point at the record, and its date stamp.
//
// Each new record is built from blanks: every field of the new table whose
// FldId the old layout (TransferLayout) holds is copied from its old place
// to its new one in two parts, its text (the first KeyWidth characters,
// aligned as the field is justified) and what lies behind it (a lookup's
// key bytes, left-aligned). Fields that are gone are not carried. Then the
// text parts are justified and numeric texts given their decimals as the
// change flags ask; key bytes behind the text are never touched.
//
// A record whose text no longer fits ends the transfer with ESaveRefused,
// its message naming the field; the save shows it and puts the old files
// back.
#pragma once

#include "platform/errors.h"
#include "templates/old_layout.h"

#include <cstdint>
#include <string>

constexpr uint8_t OldDataFileNo = 56;
constexpr uint8_t NewDataFileNo = 57;

// The question at the opens of a transfer (and of a modification's count
// of the records) while a file stays locked.
extern const std::string ModifyFileLockMsg;

// A save that cannot go on: the message the user is shown.
class ESaveRefused : public Exception {
public:
  using Exception::Exception;
};

// The layout of the old generation's records, read by the save from the
// old descriptor before it replaces it.
extern TOldLayout TransferLayout;

// Opens Name as FileNo exclusively, asking ModifyFileLockMsg while it stays
// locked; FileLockMsg holds the layer's default again afterwards.
void OpenForModification(uint8_t FileNo, const std::string& Name);

// Copies every record of the old generation (NewName with its last
// character "X") into NewName, in key-0 order. True at the end of the old
// file; raises the layer's EBtrAbort or ESaveRefused otherwise. FileLockMsg
// holds the layer's default again afterwards, whichever way it ends.
bool TransferData(const std::string& NewName);

// Data: a record's text between its prefix and its stamp.
// The fields named in Store.DeletedFlds blanked where the old layout has
// them (an entry's own offset may be stale after a width change; an id the
// old layout lacks was never stored).
void BlankDeletedFields(std::string& Data);
// Each field's text (its first KeyWidth characters) trimmed and put back
// left-aligned, or right-aligned for RightJustify.
void FormatRecordFields(std::string& Data);
// Each numeric field's text given its Decimals (cut, never rounded), then
// justified as FormatRecordFields does; a blank text stays blank. A text
// that no longer fits its KeyWidth raises ESaveRefused.
void ReformatNumericFields(std::string& Data);

// The new record's text (fields, NewTextLen characters) built from the old
// one's Data as the top comment says. Raises ESaveRefused when a non-blank
// byte would be cut off.
std::string CarryFields(const std::string& Data, size_t NewTextLen);
