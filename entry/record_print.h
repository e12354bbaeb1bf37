// The printout of the record on the entry screen, apart from the printer:
// the lines it is made of, each with the runs printed bold, and their
// painting on a print job in a fixed-pitch font, each character at its
// column times the character advance.
//
// The lines: three blank lines, the title (template name at column 51,
// today's date at 101, both bold), two blank lines, then the screen's rows
// in order. A row with one control prints its label right-aligned in 27
// characters, two blanks, and its value from column 30: a date in 20, a
// check box "YES" or "NO", a document path in 27, an edit in 40 (a longer
// text broken at its last blank before character 41, or cut at 40 when it
// has none, and continued on the next lines), a memo each of its lines in
// 80. A row with two controls prints label and value of each side in
// "%29s%-40s%29s%-40s", each label followed by two blanks so that it ends
// at column 27 (right side: 96) as every other label does, each value
// broken into pieces of 40 as an edit is, later pieces on continuation
// lines in their side's columns.
//
// Bold: a one-control line prints its label regular and its value (from
// column 30) bold; a two-control line its labels regular and its values
// bold, each at its format's columns.
#pragma once

#include "platform/clock.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

enum class TPrintKind { Edit, Memo, Date, CheckBox, Document };

struct TPrintCell {
  TPrintKind Kind = TPrintKind::Edit;
  std::string Label;
  // The text shown; a memo's lines separated by "\n"; a check box "Y" when
  // checked; a date "" when none.
  std::string Value;
};

struct TPrintRow {
  TPrintCell Left;
  bool HasRight = false;
  TPrintCell Right;
};

struct TPrintLine {
  std::string Text;
  // [first, end) character ranges printed bold, in order.
  std::vector<std::pair<size_t, size_t>> Bold;
  // The screen row it prints (1..); 0 for the title's lines.
  int Row = 0;
  bool operator==(const TPrintLine&) const = default;
};

// Where a two-control line's right side begins.
constexpr size_t RecordPrintRightColumn = 69;

// The lines for a template's record; Today is the date the title shows.
std::vector<TPrintLine> RecordPrintLines(const std::string& TemplateName, TDateTime Today,
                                         const std::vector<TPrintRow>& Rows);

// The printing font's height for a printer of Dpi pixels per inch: 8 points,
// negative as a character height; lines advance by its size plus 6.
int RecordPrintFontHeight(int Dpi);
inline int RecordPrintLineAdvance(int FontHeight) { return std::abs(FontHeight) + 6; }

// Paints Lines on Job (a print job: PixelsPerInchY, PageHeight, SetFont,
// TextWidth, TextOut, NewPage), a new page whenever the next line would
// pass the page's bottom. Painting, when given, follows the index of the
// line being painted, for a failure's message.
template <class TJob>
void PaintRecordLines(TJob& Job, const std::vector<TPrintLine>& Lines, size_t* Painting = nullptr) {
  const int height = RecordPrintFontHeight(Job.PixelsPerInchY());
  const int advance = RecordPrintLineAdvance(height);
  Job.SetFont(std::abs(height), false);
  const int column = Job.TextWidth("W");
  int y = 0;
  for (size_t i = 0; i < Lines.size(); ++i) {
    const TPrintLine& line = Lines[i];
    if (Painting) *Painting = i;
    if (y > 0 && y + advance > Job.PageHeight()) {
      Job.NewPage();
      y = 0;
    }
    size_t at = 0;
    const auto paint = [&](size_t End, bool Bold) {
      if (End <= at) return;
      const std::string piece = line.Text.substr(at, End - at);
      if (piece.find_first_not_of(' ') != std::string::npos) {
        Job.SetFont(std::abs(height), Bold);
        Job.TextOut(int(at) * column, y, piece);
      }
      at = End;
    };
    for (const auto& [first, end] : line.Bold) {
      paint(first, false);
      paint(end, true);
    }
    paint(line.Text.size(), false);
    y += advance;
  }
}
