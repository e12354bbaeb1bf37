// The references templates hold to each other, checked when one of them
// changes: an "M" lookup field of a descriptor names another template (its
// target number), reads it by one of its indexes and shows some of its
// fields (three ids in its LkpSpec, up to 80 display columns).
//
// CheckTemplateIntegrity walks every descriptor of Store.DataDir (the
// descriptor listing's order, the examined template's own one included,
// then any template whose descriptor lies only under its previous
// generation) as file 200, reading each under the shared save lock of its
// template, after recovering a save that was cut short. It works in one of
// two modes:
//   - deleted fields (a non-empty Deleted list): in each record referring
//     to the examined template, the LkpSpec ids and display columns
//     1..50 that name a deleted field are dropped, the others close up in
//     their order, and the record is rewritten in place under the template's
//     exclusive save lock. Every other byte stays. Each rewrite stands alone:
//     a failure half-way leaves the descriptors already cleaned as they are.
//   - linked lookups: each referring record whose lookup reads by one of the
//     changed indexes becomes one TLookupReference.
// A descriptor that cannot be opened, read or rewritten, and a referring
// record whose values the mode needs cannot be read, end the scan with one
// error box and an incomplete result: a reference never goes unreported.
// File 200 is closed and FileLockMsg holds the layer's default text again on
// every path, and no exception leaves the check.
//
// The caller must hold no save lock of any template while it checks: the
// check takes them itself.
#pragma once

#include "templates/checked_table.h"
#include "templates/deleted_fields.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t IntegrityFileNo = 200;

// One flag per index 1..5 of a template.
using TIndexFlags = TTable<bool, 1, MaxIndexes, "index flags">;

// A lookup field of some template that refers to the examined template.
struct TLookupReference {
  TTemplateNumber Template;  // the referring template, from its file name
  std::string FieldName;     // trimmed
  int Position = 0;          // the field's record position in the referring template
  int KeyWidth = 0;          // the width of the key it stores
  int ReferencedId = 0;      // the examined template's FldId it stores
  int Index = 0;             // the examined template's index it reads by, 1..5

  bool operator==(const TLookupReference&) const = default;
};

struct TIntegrityResult {
  // Every descriptor was checked. When false, an error box has been shown
  // and References is empty.
  bool Complete = false;
  std::vector<TLookupReference> References;  // in scan order; linked-lookup mode only
};

TIntegrityResult CheckTemplateIntegrity(const TTemplateNumber& Examined, const TIndexFlags& ChangedIndexes,
                                        const std::vector<TDeletedFld>& Deleted);

// The indexes the references read by.
TIndexFlags ReferencedIndexes(const std::vector<TLookupReference>& References);
