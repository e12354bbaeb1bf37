// Whether other templates' records refer to a record about to be deleted
// from the grid view: for each lookup reference the check of template
// integrity found, the referenced field's value is taken from the record,
// the referring template's data file (file 200) read until a record holds
// that value at the reference's position and width, and the referring
// template's name read from its descriptor (file 201, its "K1" record).
// Each referring file is read under its template's shared save lock.
//
// Values are compared trimmed: the two templates may justify the key
// differently. The referenced field is looked up by its id in every field
// slot of the template in use.
#pragma once

#include "templates/template_integrity.h"

#include <string>
#include <string_view>
#include <vector>

constexpr uint8_t ReferringDataFileNo = 200;
constexpr uint8_t ReferringDescFileNo = 201;

enum class TReferenceOutcome { Free, Referenced, Failed };

struct TReferenceScan {
  TReferenceOutcome Outcome = TReferenceOutcome::Free;
  // Referenced: the information text naming the referring templates;
  // Failed: the error text.
  std::string Message;
};

// Record: the record to delete as stored (prefix first). Files 200 and 201
// are closed on every path; shows nothing (bar the layer's lock questions).
TReferenceScan ReferenceScan(const std::vector<TLookupReference>& References, std::string_view Record);
