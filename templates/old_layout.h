// Where each field lies in the records of a template's current data file,
// read from its descriptor before a save replaces it: a restructure carries
// every kept field from this place to its new one, by FldId. Reading it
// leaves the template in use (Store) untouched.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct TOldField {
  int Offset = 0;  // record position of the field's text (first field 5)
  int Width = 0;
  int KeyWidth = 0;  // the text part; what lies behind it (key bytes) up to Width

  bool operator==(const TOldField&) const = default;
};

// By FldId.
using TOldLayout = std::map<int, TOldField>;

// The descriptor opened for this read and closed on every path.
constexpr uint8_t OldDescriptorFileNo = 58;

// The field records of the descriptor DscName (index records skipped). A
// failure to open or read raises the layer's EBtrAbort; a record that does
// not parse raises EDescriptorError; a field id met twice, or a field
// outside positions 5..RecordLimit, raises EDescriptorError naming the
// field: such a layout cannot be carried.
TOldLayout ReadOldLayout(const std::string& DscName, int RecordLimit);
