// Loading a template's descriptor (layout: descriptor_codec.h) into the
// field table, the index table and the primary-key description before the
// template is modified or opened for entry, and collecting the templates
// whose first index is keyed on the same client, case or employee lookups.
//
// The descriptor is file 2 while it is read, each scanned descriptor file
// 200; both are closed on every path, so a failed load never blocks the
// next one.
#pragma once

#include "templates/template_state.h"

#include <cstdint>
#include <string>

constexpr uint8_t LoadedDescriptorFileNo = 2;
constexpr uint8_t ScannedDescriptorFileNo = 200;

// What the designer form shows of the template being loaded. The default
// does nothing; the designer installs its own.
class TDesignerLink {
public:
  virtual ~TDesignerLink() = default;
  // The form cleared: name edit and counter, field type 0 applied, default
  // edit, check boxes, field list.
  virtual void ResetForm() {}
  virtual void SetCaption(const std::string& /*Caption*/) {}
  virtual void AddFieldName(const std::string& /*Name*/) {}
  // The decimals of a numeric field, for the range form's choice.
  virtual void SetDecimals(int /*Decimals*/) {}
};

// Null restores the do-nothing link.
void SetDesignerLink(TDesignerLink* Link);
TDesignerLink& DesignerLink();

// Set by the designer when it saved a template.
extern bool TplSaved;
// Blanks as wide as the primary key's sort fields; empty while they leave
// a gap or the template has none.
extern std::string BlankPrimKey;

// A field read with kind "l" (the alternative lookup) is kept as "L" and
// switches on AltLookupOn for the host file whose name field it shows first.
void TakeAltLookupKind(TFld& Fld);
// The family file (1 client, 2 case, 3 employee) whose alternative lookup
// a field shows: the letter of its specification together with the code of
// its first display column, that file's name field. 0 for none.
int AltLookupHost(const TFld& Fld);

// Field-table slots 1..54, FldCount, the index names and sort fields and
// PrimKey cleared.
void ClearFieldTables();
// The designer form cleared (through the link) and TplSaved cleared.
void ResetDescriptorForm();

// Reads <DataDir>\mngr<Number>.dsc (Number three digits). False without a
// message when the file is missing or Number is no template number; false after an error box when it cannot
// be opened or read: an unreadable number, more than 50 field or 5 index
// records, a sort position outside 1..3 or a key field id outside the table,
// a damaged field record (descriptor_codec.h), or any other failure on the
// way, the standard library's included: none reaches the caller.
bool LoadTemplateDescriptor(const std::string& Number);

// The family-file letters ("A" client, "B" case, "E" employee) of the
// lookups index 1 sorts on, in sort order, up to the first that is none.
void IndexFieldCodes(std::string& Code);

// Fills ClientTpls, CaseTpls and EmpTpls with the names of the templates
// whose first index sorts on a family lookup of the letter Code has at the
// same sort position. A descriptor missing from TemplateList still takes
// its place in the list, empty. Failures end the check with an error box.
void CheckMatchingIndexes(const std::string& Code);
