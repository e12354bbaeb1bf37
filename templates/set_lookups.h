// The lookups that tie a template to others when it travels in an export
// set: an "M" lookup names a sub-template by its number (LkpTargetNumber),
// a "U" lookup a user list by its file name (LkpTarget). Both come from
// another office on import, so a target that is no three-digit number or
// no list file name is reported as no target at all, never made a path.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/template_number.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

constexpr char TemplateLookupKind = 'M';
constexpr char ListLookupKind = 'U';

struct TSetLookup {
  char Kind = ' ';                          // LkpKind; blank for an index record
  std::optional<TTemplateNumber> Template;  // an "M" lookup's target, three digits
  std::optional<int> List;                  // a "U" lookup's list number
  std::string Target;                       // LkpTarget trimmed, for messages
};

// The lookup of a descriptor record as read (prefix first).
TSetLookup ReadSetLookup(std::string_view Record);

// Every field record of the descriptor open as FileNo, in key-0 order, as
// its 508-character text; when Visit returns true the text it left is
// written back. Raises the layer's EBtrAbort or EDescriptorError.
void ForEachFieldRecord(uint8_t FileNo, const std::function<bool(const TSetLookup&, std::string& Text)>& Visit);
