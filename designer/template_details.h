// What the details dialog lists: for each lookup of another template that
// reads the template's indexes, the referring template's name and the
// lookup field's name.
#pragma once

#include "templates/template_integrity.h"

#include <string>
#include <vector>

struct TDetailRow {
  std::string TemplateName;  // "Not found" when the master lacks the number
  std::string FieldName;

  bool operator==(const TDetailRow&) const = default;
};

extern const std::string DetailNotFound;

// The names read from the master file by number (key 2, "%3s": template
// 000 too), file 1: used as it stands when open and its key set back to 1
// (a modification and a deletion hold it open), else opened for the
// reading and closed. Raises a read failure.
std::vector<TDetailRow> DetailRows(const std::vector<TLookupReference>& References);
