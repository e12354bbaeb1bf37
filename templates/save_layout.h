// Where a save puts the template's fields and which keys its data file gets:
// the record position of every field, the record length, the index table of
// the build (sort fields as field-table slots) and the key segments.
//
// Every save checks the positions it writes: each field lies within
// 5..RecLen and none overlaps another, so no field can reach into the
// date stamp or into another's bytes; RecLen becomes the larger of the
// table's RecLen and the highest field end. Without records to keep (a new
// template, or a modification whose data file holds none) the positions are
// handed out anew from 5 in slot order and RecLen is their end; a new
// template's RecLen must then equal that end.
#pragma once

#include "templates/descriptor_file.h"
#include "templates/key_segments.h"
#include "templates/template_state.h"

#include <string>
#include <vector>

extern const std::string FieldPositionsMsg;

struct TSaveLayout {
  TFieldPositions Positions;  // by slot
  int RecLen = 4;
  TIndexRecs Indexes;  // sort fields by slot, 0 = none
  std::vector<TKeySegment> Segments;
};

// The layout of Store's table. Compact hands positions out anew; CheckLength
// (a new template) compares the end with Store.RecLen. Raises ESaveRefused
// with the message the user is shown: an empty table, a field without
// width, a KeyWidth outside 0..Width (1..Width for a key field), an id
// outside 1..50 or taken twice, a membership outside the indexes or sort
// positions, or an overlap gives FieldPositionsMsg.
TSaveLayout PlanFields(bool Compact, bool CheckLength);

// The new positions and RecLen put into Store's table.
void ApplyLayout(const TSaveLayout& Layout);
