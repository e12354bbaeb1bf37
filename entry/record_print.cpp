#include "entry/record_print.h"

#include "platform/date_format.h"
#include "platform/format.h"
#include "platform/mul_div.h"

namespace {

constexpr size_t EditWidth = 40;
constexpr size_t ValueColumn = 29;        // 0-based: after "%27s%-2s" or "%29s"
constexpr size_t RightLabelColumn = RecordPrintRightColumn;  // "%29s%-40s"
constexpr size_t RightValueColumn = 98;   // "%29s%-40s%29s"
constexpr size_t TitleNameColumn = 50;

// Text broken into pieces of at most Width: at the last blank before
// character Width + 1 (the blank dropped), else cut at Width. One piece,
// maybe empty, for a short text.
std::vector<std::string> Pieces(std::string Text, size_t Width) {
  std::vector<std::string> out;
  while (Text.size() > Width) {
    const size_t blank = Text.rfind(' ', Width);
    if (blank == std::string::npos || blank == 0) {
      out.push_back(Text.substr(0, Width));
      Text.erase(0, Width);
    } else {
      out.push_back(Text.substr(0, blank));
      Text.erase(0, blank + 1);
    }
  }
  out.push_back(Text);
  return out;
}

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t nl; (nl = Text.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = Text.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  out.push_back(Text.substr(start));
  return out;
}

std::string CheckText(const std::string& Value) { return Value == "Y" ? "YES" : "NO"; }

// A one-control line: its value bold.
TPrintLine Single(const std::string& Text) {
  TPrintLine line{Text, {}};
  if (Text.size() > ValueColumn) line.Bold.emplace_back(ValueColumn, Text.size());
  return line;
}

// The value's pieces for its side of a two-control row.
std::vector<std::string> SidePieces(const TPrintCell& Cell) {
  switch (Cell.Kind) {
    case TPrintKind::CheckBox:
      return {CheckText(Cell.Value)};
    case TPrintKind::Memo: {
      std::vector<std::string> out;
      for (const std::string& l : Lines(Cell.Value))
        for (std::string& p : Pieces(l, EditWidth)) out.push_back(std::move(p));
      return out;
    }
    default:
      return Pieces(Cell.Value, EditWidth);
  }
}

void AddSingle(const TPrintCell& C, std::vector<TPrintLine>& Out) {
  switch (C.Kind) {
    case TPrintKind::Date:
      Out.push_back(Single(Format("%27s%-2s%-20s", C.Label, "", C.Value)));
      return;
    case TPrintKind::CheckBox:
      Out.push_back(Single(Format("%27s%-2s%-3s", C.Label, "", CheckText(C.Value))));
      return;
    case TPrintKind::Document:
      Out.push_back(Single(Format("%27s%-2s%-27s", C.Label, "", C.Value)));
      return;
    case TPrintKind::Memo: {
      std::string label = C.Label;
      for (const std::string& l : Lines(C.Value)) {
        Out.push_back(Single(Format("%27s%-2s%-80s", label, "", l)));
        label.clear();
      }
      return;
    }
    case TPrintKind::Edit: {
      std::string label = C.Label;
      for (const std::string& p : Pieces(C.Value, EditWidth)) {
        Out.push_back(Single(Format("%27s%-2s%-40s", label, "", p)));
        label.clear();
      }
      return;
    }
  }
}

// A side's label in its 29 columns: right-aligned in 27 with two blanks
// after it, so it lines up with the one-control rows' labels and stays
// apart from its value.
std::string SideLabel(const std::string& Label) { return Label.empty() ? Label : Label + "  "; }

void AddPair(const TPrintRow& R, std::vector<TPrintLine>& Out) {
  const std::vector<std::string> left = SidePieces(R.Left), right = SidePieces(R.Right);
  const std::string leftLabel = SideLabel(R.Left.Label), rightLabel = SideLabel(R.Right.Label);
  for (size_t k = 0; k < std::max(left.size(), right.size()); ++k) {
    const bool hasLeft = k < left.size(), hasRight = k < right.size();
    const std::string l = hasLeft ? left[k] : "", r = hasRight ? right[k] : "";
    TPrintLine line;
    if (!hasRight) {
      line.Text = Format("%29s%-40s", k ? "" : leftLabel, l);
    } else {
      line.Text = Format("%29s%-40s%29s%-40s", k ? "" : leftLabel, l, k ? "" : rightLabel, r);
    }
    if (hasLeft) line.Bold.emplace_back(ValueColumn, RightLabelColumn);
    if (hasRight) line.Bold.emplace_back(RightValueColumn, line.Text.size());
    Out.push_back(std::move(line));
  }
}

}  // namespace

std::vector<TPrintLine> RecordPrintLines(const std::string& TemplateName, TDateTime Today,
                                         const std::vector<TPrintRow>& Rows) {
  std::vector<TPrintLine> out(3);
  TPrintLine title{Format("%-50s%-50s%-20s", "", TemplateName, DateToStr(Today)), {}};
  title.Bold.emplace_back(TitleNameColumn, title.Text.size());
  out.push_back(std::move(title));
  out.resize(out.size() + 2);
  for (size_t r = 0; r < Rows.size(); ++r) {
    const size_t first = out.size();
    if (Rows[r].HasRight) {
      AddPair(Rows[r], out);
    } else {
      AddSingle(Rows[r].Left, out);
    }
    for (size_t i = first; i < out.size(); ++i) out[i].Row = int(r + 1);
  }
  return out;
}

int RecordPrintFontHeight(int Dpi) { return -MulDiv(8, Dpi, 72); }
