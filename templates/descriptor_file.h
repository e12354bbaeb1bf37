// Writing a template's descriptor file (layout: descriptor_codec.h) and
// finding its template-name record. The new descriptor is file number 2
// of the numbered-file layer from its creation until the builder closes
// it; every record goes in inside the builder's transaction.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/checked_table.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint8_t DescriptorFileNo = 2;

// The record position of each field's text, by field-table slot.
using TFieldPositions = TTable<int, 1, MaxFields, "field positions">;

// FileName := the descriptor's name for Number. While Store.Modifying, an
// existing descriptor is first moved to its previous generation (".DSX"),
// never over one: an existing ".DSX" stops the save. Then the file is
// created (never over an existing file) and opened as file 2.
// True when the old descriptor now lies under the ".DSX" name: the caller
// must move it back if the save fails later. A failure here rolls back
// (InTrans cleared), shows its message and ends with SilentAbort, after the
// old descriptor has been put back under its name; an open failure comes
// as the layer's EBtrAbort, likewise after the put-back.
bool CreateDescriptionFile(std::string& FileName, bool& InTrans, const TTemplateNumber& Number);

// Inserts the field record of slots 1..Store.FldCount into file 2, slot k at
// record position Offsets[k]. Every record is formatted first: a value too
// wide for its column (EDescriptorError) or a count past the table
// (ETableIndex) leaves the slots and the file untouched. Then each slot's
// Name, LkpTarget, LkpSpec, Hint and Default are padded in place, and a
// numeric field without a range gets MaxVal "0", "0.0" or "0.00" by its
// Decimals, in the slot as in the record (the loader reads the decimals
// from it).
void WriteFieldRecords(const TFieldPositions& Offsets);

// Rec padded in place to a full record text, columns 1-2 repeated in the
// key-2 columns, and inserted into file 2. A text over 508 bytes is refused
// (EDescriptorError) and nothing is written.
void WriteDscRecord(std::string& Rec);

// Reads the template-name record of the descriptor open as FileNo into Rec:
// key 2 = "K1" (selects key 2). False when the descriptor has none.
bool ReadNameRecord(uint8_t FileNo, TDynCharArr& Rec);
// Puts Name into the template-name record of the descriptor open as FileNo
// and updates it. False when the descriptor has none; raises a failure.
bool WriteNameRecord(uint8_t FileNo, std::string_view Name);
