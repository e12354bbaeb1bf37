// What the entry screen decides when the user leaves a field or chooses a
// row, without a widget: the numeric field's exit formatting, the rows of a
// user list, whether a list row matches the typed text, the family record a
// row stands for and the texts its display rows show, and the index-1 key
// text built from the screen. The form (entry/qt/entry_checks.cpp) wires
// widgets to these; tests and the benchmark call them alone.
#pragma once

#include "entry/dropdown_list.h"

#include <optional>
#include <string>
#include <vector>

// ---- numeric fields ----

// A numeric field's text as its exit leaves it for Decimals (0-2), or
// nothing when it is no number (the caller says so and keeps the focus).
// Commas: none at the start, each before the point followed by three
// digits. The point is "." whatever the locale. 0 decimals cut at the
// point, 1 and 2 fill up with zeros, more typed decimals stay. A text
// typed without commas gets thousands separators in its digits, the sign
// in front. An empty text stays empty: an unfilled field stays unfilled.
std::optional<std::string> FormatNumericText(const std::string& Text, int Decimals);

// ---- user lists ----

struct TUserListFill {
  int Lines = 0;  // lines the file holds
  int Items = 0;  // rows filled (at most LastDropdownRow)
  bool OverLimit() const { return Lines > LastDropdownRow; }
};

// The rows of a user list file's lines: blank lines and header lines
// (ListSep first and third) skipped; a line with ListSep after its first
// character split there into columns 0 and 1; any other line column 0.
// At most LastDropdownRow rows.
TUserListFill FillUserListRows(const std::vector<std::string>& Lines, TDropdownRows& Rows);

// The lines of the field's list file (Store.DataDir + "\" + "<n>.lst"),
// its target read only through ListFileNumber. False with the reason in
// Why for a target that names no list or a file that cannot be read.
bool ReadUserListLines(const std::string& Target, std::vector<std::string>& Lines, std::string& Why);

// ---- rows and records ----

// The trimmed text equals the trimmed cell (Col, Row).
bool RowMatchesText(const TDropdownRows& Rows, int Row, int Col, const std::string& Text);

// Get Equal on the open FileNo by key KeyNo into Rec, the file's key number
// restored afterwards whatever happens. False when no record has the key.
bool ReadByKey(uint8_t FileNo, int8_t KeyNo, const std::string& Key, TDynCharArr& Rec);

// Where ReadChosenFamilyRecord reads: the file, its key and the key text;
// FileNo 0 for a source without a family file.
struct TFamilyRecordKey {
  uint8_t FileNo = 0;
  int8_t KeyNo = 0;
  std::string Key;
};
TFamilyRecordKey FamilyRecordKey(TListSource Source, const std::string& Code, const std::string& Client,
                                 bool RightJustified);

// The family record a chosen row stands for, read into its buffer by the
// source's key 1 (clients "%-7s", employees "%-4s", cases CaseKey in the
// justification of the field: key 1 when right-justified, else key 4).
// Client is the current client code for a case. False when none is found.
bool ReadChosenFamilyRecord(TListSource Source, const std::string& Code, const std::string& Client,
                            bool RightJustified);

// The text display row Column (1..) of a family lookup, defined from host
// field Code, shows for the record Source of list source S: the value
// through
// its translations, packed amounts with 2 decimals, file dates as the
// short date format gives them, whole names joined; "not found" when a
// read fails.
std::string FamilyDisplayText(int Code, int Column, const TDynCharArr& Source, TListSource S);

// The captions of case description line N (1..20) for a case whose bill
// format is BillFormat: the statement characteristics' caption when one is
// stored, else "Case Description Line " + N.
std::string DescriptionLineCaption(const std::string& BillFormat, int N);

// The record of a template lookup's chosen row into Store.LkpDataRec:
// Get Greater or Equal on the lookup's file (42) with the row's first
// column; for a lookup that is not unique, read on while that column stays
// the same until the record whose prefix is Chosen (FindChosenRecord).
// False when no such record is reached.
bool ReadChosenTemplateRecord(const TFieldControl& Control, const std::string& Col0, bool Unique,
                              const TRowId& Chosen);

// ---- the index-1 key ----

// The part (1-3) sort field Slot is of index 1, 0 when none.
int IndexKeyPart(int Slot);
// Key text Key (index 1's, its parts as wide as their fields' KeyWidth)
// with part Part replaced by Value justified as the field stores it:
// right for a right-justified field, else left, never cut. A date field's
// Value is "YYYYMMDD" or empty (8 blanks). Key grows to its full width.
void PutIndexKeyPart(std::string& Key, int Part, const std::string& Value);
