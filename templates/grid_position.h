// The grid row's position cell: a record's 4-byte physical position as the
// grid views keep it in their hidden last column, and the record it names.
//
// Layout (12 characters): the four bytes in byte order, each as its decimal
// value right-aligned in 3 characters ("%3s" of the number):
//   bytes 0, 1, 2, 3     -> "  0  1  2  3"
//   bytes 255, 16, 0, 7  -> "255 16  0  7"
// Anything else (blank, "deleted", another length, other characters, a
// number above 255, a number not right-aligned) is no position.
#pragma once

#include "btrieve/numbered_files.h"

#include <string>
#include <string_view>

std::string FormatGridPosition(const TBtrPosition& Pos);
// False, Pos unchanged, when Cell is no position.
bool ParseGridPosition(std::string_view Cell, TBtrPosition& Pos);

// Reads the record whose position cell is PosCell from file 52 (the open
// template's data file) into Store.TplRec and makes it current. False
// without an engine call when the cell is no position; False with the
// layer's text in Msg when the record cannot be read. Shows nothing.
bool GetGridRowRecord(std::string_view PosCell, std::string& Msg);
