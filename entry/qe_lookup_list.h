// The quick entry's lookup list without a window: positions the field's
// file at the text typed so far, steps back at most 12 records that belong
// to the list, loads Back + 41 rows (never more than 501), picks the row to
// select and the type-ahead completion, and chooses a row into the screen
// state. The panel (entry/qt/qe_list_panel.h) shows what it loaded.
//
// Rows have 13 columns: even columns hold values, odd ones are gaps;
// column 12 (the client's phone of the alternate-identifier list) is never
// shown.
#pragma once

#include "btrieve/numbered_files.h"
#include "entry/qe_checks.h"

#include <array>
#include <string>
#include <vector>

constexpr int QeListColumns = 13;
constexpr int QeListMaxRows = 501;
constexpr int QeListStepBack = 12;
constexpr int QeListAfter = 41;
constexpr int QeListVisibleRows = 8;  // a page

using TQeListRow = std::array<std::string, QeListColumns>;

extern const char* const QeListNoData;
extern const char* const QeListNoClient;
extern const char* const QeListLockQuestion;
extern const char* const QeListMaximum;
extern const char* const QeListLostLink;   // + the error text
extern const char* const QeListLoadFailed;  // after the error text and CR CR
extern const char* const QeListUnknown;     // + the error text

// The column widths of Field's list under S's modes at 120 pixels per
// inch, columns 0 on; a width of 0 hides the column, as do all columns past
// the list.
std::vector<int> QeListWidths(const TQeState& S, TQeField Field);

struct TQeFill {
  std::string Message;         // an information or error to show; nothing loaded
  TMsgDlgType Type = mtInformation;
  bool EmptyField = false;     // the field is to be emptied (no client chosen)
  bool Show = false;           // the list opens
  int FoundRow = 0;            // the row of the positioned record
  int SelectedRow = 0;
  int TopRow = 0;
  bool Chosen = false;         // SelectedRow matched the text and is chosen
  std::string FieldText;       // the field's text after completion
  size_t SelectFrom = 0;       // the completed part starts here
  bool ToLast = false;         // a page found nothing further: go to the last record
};

class QeLookupList {
public:
  // Mode 0: searches from Text for Field under S's modes. PartSelected:
  // part of the field's text is selected (a completion not yet accepted);
  // lists by name then search with its first three characters.
  TQeFill Fill(const TQeState& S, TQeField Field, const std::string& Text, bool PartSelected = false);
  // Mode 1, paging back: the rows again from up to 12 records before the
  // first loaded one; the row just before the old first one is selected and
  // on top. FoundRow 0: nothing lay before it.
  TQeFill FillBack(const TQeState& S, TQeField Field);
  // Failures of every fill come back as an error Message, nothing loaded.
  // Paging down from row Selected: the row eight below when loaded; else
  // the rows again from eight records past the first loaded one (as many
  // as were loaded, and 41 more) with the same row selected, or ToLast
  // when that row is no longer loaded.
  TQeFill PageDown(const TQeState& S, TQeField Field, int Selected);

  const std::vector<TQeListRow>& Rows() const { return rows_; }
  // The field the rows belong to; None before a load and after Clear.
  TQeField LoadedFor() const { return rows_.empty() ? TQeField::None : field_; }
  void Clear() { rows_.clear(); }
  // Choosing Row: the field's text, the chosen code and the labels.
  void Choose(int Row, TQeState& S, TQeField Field, std::string& FieldText) const;

private:
  bool Belongs(const TQeState& S, TQeField Field) const;
  TQeListRow RowOf(const TQeState& S, TQeField Field) const;
  void Load(const TQeState& S, TQeField Field, int Back);
  bool LoadOrFail(const TQeState& S, TQeField Field, int Back, TQeFill& Fill);
  bool ReadFirst(TQeField Field, TQeFill& Fill);
  int StepBack(const TQeState& S, TQeField Field);
  void FillFrom(const TQeState& S, TQeField Field, const std::string& Text, bool PartSelected, TQeFill& Fill);

  std::vector<TQeListRow> rows_;
  TBtrPosition first_{};
  std::string client_;  // the chosen client of a case list, "%-7s"
  TQeField field_ = TQeField::None;
  int foundRow_ = 0;  // the row of the record the last load started Back records before
};
