// Another template as a lookup of kind M sees it: its fields with the ids
// and widths a lookup stores, and its indexes that can key one. Read from
// the target's descriptor under the target's shared save lock, so a save
// elsewhere that renames the descriptor mid-way is waited for.
//
// An index's digit (its record's column 2) names the key of the target's
// data file that a lookup reads: the record's order in every descriptor the
// designer writes, but 2 for the built-in matter descriptor's only index.
// Entries, their tags and a lookup's specification go by that digit.
//
// An index keys a lookup when it is unique or its first sort field is not
// right-justified (a right-justified key of duplicates cannot be found by
// what a user types); each index decides by its own "UQ". A field is a
// first sort field when some index record names its id first; one that
// begins only indexes that cannot key a lookup is not offered at all: the
// next field takes its place.
#pragma once

#include "templates/master_codec.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file numbers of a lookup target's descriptor and of the master file
// while they are read for a lookup.
constexpr uint8_t TargetDescriptorFileNo = 2;
constexpr uint8_t TemplateListFileNo = 4;

struct TTargetIndex {
  int Digit = 0;            // the data file's key the index is
  std::string Name;         // 26 characters as stored
  std::string SortFldText;  // names of its sort fields joined by " - "
  bool Unique = false;
  std::vector<int> SortFldIds;
  bool Usable = false;      // it can key a lookup

  bool operator==(const TTargetIndex&) const = default;
};

struct TTemplateTarget {
  std::vector<TMFld> Fields;          // offered fields in descriptor order (at most 50)
  std::vector<int> FieldIds;          // their ids, same order
  std::vector<TTargetIndex> Indexes;  // every index record in order
  // The index with this digit, or none.
  const TTargetIndex* IndexWithDigit(int Digit) const;
  // The offered field with this id, or none.
  const TMFld* FieldWithId(int FldId) const;
  // The usable indexes whose first sort field has this id, in order.
  std::vector<const TTargetIndex*> IndexesBegunBy(int FldId) const;
};

enum class TTargetRead {
  Read,         // the target as read
  Missing,      // no descriptor (reported unless in the first stage)
  NoUsableKey,  // read, but no index can key a lookup (reported)
  Failed,       // after the message
};

// Reads template Number (named Name in the lock question) into Target,
// through TargetDescriptorFileNo, closed again on every path. FirstStage is
// the designer's first stage: a missing descriptor is then not reported and
// the lock question is the stage's own.
TTargetRead ReadTemplateTarget(const TTemplateNumber& Number, const std::string& Name, bool FirstStage,
                               TTemplateTarget& Target);

// The descriptor file of template Number in the data folder.
std::string TargetDescriptorName(const TTemplateNumber& Number);

// Every field of the template an M lookup's target names (LkpTarget as
// stored, "MNGR007.DSC"), offered to lookups or not, in descriptor order:
// name trimmed, id as stored, width. Read as ReadTemplateTarget reads, but
// without a message: false when the target names no template, its
// descriptor is missing or cannot be read, or the lock question was
// declined.
bool ReadTemplateFields(std::string_view LkpTarget, std::vector<TMFld>& Fields);

enum class TTemplateListRead {
  Read,
  Missing,  // no master file (reported)
  Failed,   // after the message
};

// The templates of the master file in key-1 (name) order, read through
// TemplateListFileNo, closed again on every path.
TTemplateListRead ReadTemplateList(std::vector<TMasterRecord>& Templates);

// The template number an M lookup's target names, or none: the data-file
// opener's one rule (three digits and "." at 5-8), so the designer and the
// entry screen read the same template for a stored target.
std::optional<TTemplateNumber> LookupTargetNumber(std::string_view LkpTarget);
// The entry (0-based) of a template list's numbers ("%3s" each, side by
// side, as TplNumbers holds them) that is Number, -1 when none. Numbers
// compare as numbers, so template 000 ("  0") is found as any other.
int TemplateListEntryOf(std::string_view TplNumbers, const TTemplateNumber& Number);
