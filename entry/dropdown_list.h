// The entry screen's dropdown list without a widget: which file a list
// reads, where a typed text puts it, the records stepped back for context,
// the rows read and what each cell shows. The form (TEntryF) copies the
// rows into its grid and moves the selection; tests and the benchmark use
// this alone.
//
// Sources: 0 another template's data file (file 42, Store.LkpDataRec, the
// columns of the field's control record), 1-3 the family's client, case and
// employee files (11-13, their buffers, FamilyLookup's column definitions),
// 99 the template's own data file (file 52, Store.TplRec) for a sort field
// of index 1.
//
// A fill positions at the first record whose key is not less than the
// typed text (Get Greater or Equal on a prefix; a text past every key gives
// the last record), steps back up to 12 records for context and reads from
// there the records stepped back plus 41 more, never beyond row 500. Reads
// take no locks; translations read other files by Get Equal and never move
// the list's own file.
//
// Cells: a family column's value, translated through up to two files
// ("not found" when a translation's read fails); full client and employee
// names joined last name first, as the name keys sort them. Hidden columns
// of case rows: 5 client code, 6 alternate id, 7 first responsible
// attorney, 8-10 the three responsible attorneys, 11 the alternate bill
// format; of employee rows: 7 last and first name ("%-20s%-15s").
//
// Row identifiers (the record's 4-byte prefix) are kept for every list of
// sources 0-3 whose field is not a unique lookup: the field stores those
// bytes and the list finds the row of the record chosen among equal texts.
#pragma once

#include "btrieve/numbered_files.h"
#include "entry/template_lookup.h"
#include "templates/validation_files.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class TListSource : int { Template = 0, Client = 1, Case = 2, Employee = 3, OwnIndex = 99 };

constexpr int DropdownColCount = 12;
constexpr int LastDropdownRow = 500;
constexpr int StepBackLimit = 12;
constexpr int RowsBelowStart = 40;
// Fill directions: from the typed text; back from the list's first record;
// on past the list's last row, from its text.
constexpr int FillFromText = 0, FillBackward = 1, FillReadOn = 2;
constexpr uint8_t OwnDataFileNo = 52;
inline const std::string NotFoundText = "not found";

using TRowId = std::array<uint8_t, 4>;
using TDropdownRow = std::array<std::string, DropdownColCount>;

// Rows 0-500 of the list: cells, identifiers, how many are filled.
struct TDropdownRows {
  std::vector<TDropdownRow> Cells;
  std::vector<TRowId> Ids;
  int Filled = 0;

  TDropdownRows();
  // ClearDropdown: every cell empty, no row filled.
  void Clear();
  const std::string& Cell(int Col, int Row) const { return Cells[size_t(Row)][size_t(Col)]; }
};

// The dropdown state the screen keeps between events.
struct TDropdownState {
  TListSource Source = TListSource::Template;
  int Slot = 0;    // the field whose list it is
  int EditNo = 0;  // its edit's number in EditsArr (StringGrid1's Tag)
  bool Visible = false;
  bool Typed = false;  // typed since the edit was entered
  bool MovingByKeys = false;
  bool KeepList = false;
  // Texts the program sets are no typing: no fill starts from them.
  bool ProgramChange = false;
  bool KeepIds = false;
  // The current codes: the trimmed texts of the key fields last entered.
  std::string ClientCode, CaseCode, EmpCode;
  // Display rows defined for the current family lookup; -1 a template lookup.
  int DisplayCount = 0;
  // Own index: the field's text part in the record.
  int OwnPos = 0, OwnWidth = 0;
  // Own index: the key text every row's key begins with.
  std::string OwnPrefix;
  // Source 0: the field's control record.
  const TFieldControl* Target = nullptr;
  // The exit checks: a list refilled by an exit check, the find asked for
  // by an exit (and the save that began that move), the hub told of row
  // choices (no screen sets it yet), a clear under way.
  bool ExitInProgress = false;
  bool SaveAfterFind = false;
  bool FoundByExit = false;
  bool HubReporting = false;
  bool ClearInProgress = false;
  // User lists: a row moved to by keys waits for Enter or the exit; typing
  // completes nothing while suppressed; the items the list shows.
  bool ChosenByKeys = false;
  bool TypeAheadOff = false;
  int UserListItems = 0;
  // The first record of the last fill: the back fills read before it.
  TBtrPosition ListStart{};
  bool HasListStart = false;
};

// Holds the program-change flag for one text the program sets.
class TProgramChange {
public:
  explicit TProgramChange(TDropdownState& S) : s_(S), was_(S.ProgramChange) { s_.ProgramChange = true; }
  ~TProgramChange() { s_.ProgramChange = was_; }
  TProgramChange(const TProgramChange&) = delete;
  TProgramChange& operator=(const TProgramChange&) = delete;

private:
  TDropdownState& s_;
  bool was_;
};

enum class TFillOutcome {
  Filled,      // rows read (maybe none)
  NoData,      // the file has no records ("No data in lookup file!" shown)
  NeedClient,  // a case list without a chosen client (its message shown)
  Failed,      // the file could not be read
};

struct TFillResult {
  TFillOutcome Outcome = TFillOutcome::Filled;
  int FirstRow = 0;  // records stepped back: the row of the positioned record
};

// The text right-aligned in the field's width ("%<MaxLength>s"), then
// right-trimmed.
std::string RightJustifyText(const std::string& Text, int MaxLength);

// A name key's text from what the user typed or the list shows: "Last,
// First" becomes the last name padded to LastWidth and the first name;
// anything else is a prefix of the last name.
std::string NameKeyText(const std::string& Text, int LastWidth);

// The index-1 key for a typed Text in the sort field Slot: the sort fields
// before it as the record stores ValueOf's values, then Text (not padded:
// a prefix). Empty when Slot is no sort field of index 1.
using TSlotValue = std::function<std::string(int Slot)>;
std::string OwnIndexKeyText(int Slot, const std::string& Text, const TSlotValue& ValueOf);

// A family lookup's host field code (LkpSpec characters 2-4), -1 none; the
// list a code reads: client codes and names the clients, case suffixes and
// alternate ids the cases, any other the employees.
int LookupCodeOf(const TFld& F);
TListSource SourceOfCode(int Code);

// The width of the text a family lookup shows for a host field code.
int HostDisplayWidth(int Code);

// The family list's column definitions for the field in Slot (its lookup
// files opened by OpenValidationForLookup): column 0 from the first
// specification group, then groups 2-4 until a blank one. Column 0 of a
// right-justified case field takes the suffix as its key holds it
// (right-justified), so the rows begin with what the user typed. Widths
// gets the pixel width of each column after the first; returns their sum.
int SetDropdownColumns(int Slot, std::vector<int>& Widths);

// A catalogue entry's text for the record Source of host file SourceId:
// the value, through its translations ("not found" when one's read fails),
// a whole client or employee name joined last name first.
std::string LookupColumnText(const TLkpColumn& Def, const TDynCharArr& Source, int SourceId);

// A stored "YYYYMMDD" as a cell shows it: month/day/year, the year in four
// digits when the short date format has "yyyy", else two; blank (or
// shorter than 8) shows nothing.
std::string StoredDateCell(std::string_view Stored);

// A target field's text in a record of the target: a date month/day/year
// (the short date format's year width), blank stays blank; others as stored.
std::string TargetCellText(const TTargetColumn& C, const TDynCharArr& Rec);

// The display columns of the field in Slot (a pseudo-field: of the field
// it stands for): the number defined.
int DefineDisplayColumns(int Slot);

class TDropdownList {
public:
  TDropdownList(TDropdownState& State, TDropdownRows& Rows) : s_(State), rows_(Rows) {}

  // FillFromText: positioned from Text; FillBackward: read backward from the
  // list's first record; FillReadOn: positioned from Text, the list's last
  // row, within the list's bounds (an own index keeps its prefix). Then
  // stepped back and read (LoadDropdownRows).
  TFillResult Fill(const std::string& Text, int Direction);

  // The positioners by source; false ends the fill (Why says why).
  bool PositionTemplateLookup(const std::string& Text, TFillOutcome& Why);
  bool PositionClientLookup(const std::string& Text, TFillOutcome& Why);
  bool PositionCaseLookup(const std::string& Text, TFillOutcome& Why);
  bool PositionEmployeeLookup(const std::string& Text, TFillOutcome& Why);
  bool PositionOwnIndex(const std::string& Text, TFillOutcome& Why);
  // The own index at Text within the prefix of the list's last fill.
  bool PositionOwnIndexReadOn(const std::string& Text, TFillOutcome& Why);
  // The back twin of them all: the list's first record again.
  bool RestoreListStart();

  // Up to 12 records back from the current one: how many.
  int StepBackDropdown();
  // Rows 0 .. 40 + FirstRow from the current record.
  void LoadDropdownRows(int FirstRow, bool Backward);
  void FillTemplateLookupRow(int Row);

  // Own index: the other sort fields' values (the screen's texts).
  TSlotValue ValueOf;

private:
  uint8_t FileNo() const;
  TDynCharArr& Rec() const;
  // The record ends the list or the step back (another client, a key no
  // longer beginning with the typed text).
  bool OutOfList() const;
  // The step back stops before it (also a blank name part).
  bool StopsStepBack() const;
  bool SeekGreaterOrEqual(const std::string& Key, bool Tilde);
  // The same; an empty file says so ("No data in lookup file!").
  bool SeekOrTellEmpty(const std::string& Key, bool Tilde, TFillOutcome& Why);
  // The own data file on index 1's key, then at Key.
  bool SeekOwnIndex(const std::string& Key, bool Tilde, TFillOutcome& Why);
  void FillFamilyRow(int Row);
  std::string ColumnText(const std::array<int, 9>& Def, const TDynCharArr& Source) const;

  TDropdownState& s_;
  TDropdownRows& rows_;
};

// Where the selection goes after a fill and what the edit then shows.
struct TRowChoice {
  int Row = 0;
  bool SetText = false;  // the edit takes Text
  std::string Text;
  int SelStart = 0, SelLength = -1;  // -1: all
};

struct TTypedRowInput {
  std::string EditText;
  // What the list was positioned with when it differs from the edit's text
  // (a right-justified field's typed text, right-aligned).
  std::string Search;
  bool UserChanged = false;      // the user changed the text since entering
  std::string Remembered;        // the field's remembered search text
  bool NameLookup = false;       // a client or employee list by name
  int FirstRow = 0;
  TRowId Chosen{};               // the record chosen last
  bool ClientAndCase = false;    // a client and a case field on the screen
};

// SelectTypedRow without the widgets.
TRowChoice ChooseTypedRow(const TDropdownRows& Rows, const TDropdownState& State, const TTypedRowInput& In);
