#include "mainwin/layout_lines.h"

#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>
#include <functional>

namespace {

enum THeadingKind { FieldSection = 4, IndexSection = 5 };

const std::string FieldHeads1 =
    "Field Name                 Type       Size    Caps    Required      ------ Numeric Fields ------";
const std::string FieldHeads2 = "                           Just       Start                         Dec Pl  Range";
const std::string NoYes = "No Yes";
const std::string DropDownLabel = "                  Drop down:  ";
const std::string DropDownIndent = "                              ";
const std::string DisplayLabel = "   Display:  ";
const std::string DisplayIndent = "             ";
const std::string DefaultLabel = "           Default value:  ";
constexpr int DropDownColumns = 4;  // codes LkpSpec holds after its letter or digit
constexpr int CodeWidth = 3;
// Field lines stop this many steps above the page's end.
constexpr int FootSteps = 5;
// Lines the index section needs beyond its index lines.
constexpr int IndexSpareLines = 4;

std::string IndexHeads() {
  return Format("%-27s %-9s%-27s%-27s%-27s", {"Index Name", "Unique", "Sort Field 1", "Sort Field 2", "Sort Field 3"});
}

std::string Flag(bool On) { return Copy(NoYes, On ? 4 : 1, 3); }

std::string TypeWord(char FldType) {
  switch (FldType) {
    case 'B': return "Check Box";
    case 'C': return "Character";
    case 'N': return "Numeric";
    case 'D': return "Date";
    case 'd': return "Document";
    default: return "";
  }
}

// The dropdown codes of a lookup: up to four groups of three characters
// after LkpSpec's first, up to the first blank one.
std::vector<int> DropDownCodes(const std::string& LkpSpec) {
  std::vector<int> codes;
  for (int k = 0; k < DropDownColumns; ++k) {
    const std::string code = Trim(Copy(LkpSpec, 2 + k * CodeWidth, CodeWidth));
    if (code.empty()) break;
    codes.push_back(StrToIntDef(code, -1));
  }
  return codes;
}

std::vector<int> DisplayCodes(const TFld& Fld) {
  std::vector<int> codes;
  for (int k = 1; k <= MaxDispCols && Fld.DispCols[k] != DispColsEnd; ++k) codes.push_back(Fld.DispCols[k]);
  return codes;
}

std::string FieldNameWithId(int FldId) {
  if (FldId == 0) return "";
  const int slot = FieldSlotOf(FldId);
  return slot == 0 ? std::string() : Trim(Store.FldTable[slot].Name);
}

class TLayoutPrinter {
public:
  TLayoutPrinter(int PageHeight, int LineStep, const TLayoutTargets& Targets)
      : pageHeight_(PageHeight), lineStep_(LineStep), targets_(Targets) {}

  std::vector<TLayoutPage> Print() {
    int y = 0;
    int page = 1;
    pages_.emplace_back();
    PrintLine(Format("%-36s%-72s%-6s", {Name(), "", "Page 1"}), y, 0, true);
    PrintLine(FieldHeads1, y, 0);
    PrintLine(FieldHeads2, y, 0);
    for (int i = 1; i <= MaxFields; ++i) {
      if (Trim(Store.FldTable[i].Name).empty()) continue;
      PrintField(Store.FldTable[i], y, page);
    }
    PrintIndexes(y, page);
    return std::move(pages_);
  }

private:
  std::string Name() const { return Trim(Store.TplName); }

  // Text at Y, then Y one line on and ExtraLines more.
  void PrintLine(const std::string& Text, int& Y, int ExtraLines, bool Bold = false) {
    pages_.back().push_back({Y, Text, Bold});
    Y += lineStep_ * (ExtraLines + 1);
  }

  // A new page: its heading and the column heads of the section Kind.
  void PrintPageHeader(THeadingKind Kind, int& Y, int& Page) {
    pages_.emplace_back();
    Y = 0;
    ++Page;
    PrintLine(Format("%-108s", {Name()}) + "   Page " + IntToStr(Page), Y, 0, true);
    if (Kind == FieldSection) {
      PrintLine(FieldHeads1, Y, 0);
      PrintLine(FieldHeads2, Y, 0);
    } else {
      PrintLine(IndexHeads(), Y, 0);
    }
  }

  // A line of the field section, on a new page when it would start too low.
  void PrintFieldLine(const std::string& Text, int& Y, int& Page) {
    if (Y > pageHeight_ - FootSteps * lineStep_) PrintPageHeader(FieldSection, Y, Page);
    PrintLine(Text, Y, 0);
  }

  void PrintField(const TFld& Fld, int& Y, int& Page) {
    const bool numeric = Fld.FldType == 'N';
    // Without a minimum the field has no range (its stored maximum is only
    // a zero), so none is shown.
    const std::string range = Trim(Fld.MinVal).empty() ? "" : Trim(Fld.MinVal) + "-" + Trim(Fld.MaxVal);
    const std::string numericColumn = numeric ? Format("%-8s%-30s", {IntToStr(Fld.Decimals), range}) : "";
    PrintFieldLine(Format("%-27s%-11s%-8s%-8s%-14s%-34s", {Trim(Fld.Name), TypeWord(Fld.FldType), IntToStr(Fld.Width),
                                                            Flag(Fld.UpperCase), Flag(Fld.Required), numericColumn}),
                   Y, Page);
    const bool justified = numeric || Fld.FldType == 'C';
    const std::string just = justified ? (Fld.RightJustify ? "Right" : "Left") : "";
    PrintFieldLine(Format("%-27s%-11s%-8s", {"", just, IntToStr(Fld.Offset)}), Y, Page);
    const std::string defaultValue = TrimRight(Fld.Default);
    if (!Trim(defaultValue).empty()) PrintFieldLine(DefaultLabel + defaultValue, Y, Page);
    if (Fld.IsLookup && Fld.LkpKind == "L") {
      PrintLookup(Fld, [&](int Code) { return HostFieldName(Code); }, Y, Page);
    } else if (Fld.IsLookup && Fld.LkpKind == "M") {
      const auto found = targets_.find(Trim(Fld.LkpTarget));
      const std::vector<TMFld> none;
      const std::vector<TMFld>& fields = found == targets_.end() ? none : found->second;
      PrintLookup(Fld, [&](int Id) { return TargetFieldName(fields, Id); }, Y, Page);
    }
    Y += lineStep_;
  }

  // A blank line, the dropdown columns each with the display column of its
  // number, then every display column left one a line.
  void PrintLookup(const TFld& Fld, const std::function<std::string(int)>& NameOf, int& Y, int& Page) {
    Y += lineStep_;
    const std::vector<int> drop = DropDownCodes(Fld.LkpSpec);
    const std::vector<int> display = DisplayCodes(Fld);
    for (size_t k = 0; k < drop.size(); ++k) {
      std::string text = Format("%-59s", {(k == 0 ? DropDownLabel : DropDownIndent) + NameOf(drop[k])});
      if (k < display.size()) text += (k == 0 ? DisplayLabel : DisplayIndent) + NameOf(display[k]);
      PrintFieldLine(text, Y, Page);
    }
    for (size_t k = drop.size(); k < display.size(); ++k)
      PrintFieldLine(Format("%72s%-26s", {"", NameOf(display[k])}), Y, Page);
  }

  void PrintIndexes(int& Y, int& Page) {
    std::vector<int> named;
    for (int i = 1; i <= MaxIndexes; ++i)
      if (!Trim(Store.IndexRecs.Names[i]).empty()) named.push_back(i);
    if ((pageHeight_ - Y) / lineStep_ < int(named.size()) + IndexSpareLines) {
      PrintPageHeader(IndexSection, Y, Page);
    } else {
      PrintLine(IndexHeads(), Y, 0);
    }
    for (int i : named) PrintLine(PrintIndexLine(i), Y, 0);
  }

  static std::string HostFieldName(int Code) {
    return Code < THostFldNames::Low || Code > THostFldNames::High ? std::string() : Trim(Store.HostFldNames[Code]);
  }

  static std::string TargetFieldName(const std::vector<TMFld>& Fields, int Id) {
    const auto f = std::find_if(Fields.begin(), Fields.end(),
                                [&](const TMFld& m) { return StrToIntDef(Trim(m.FldId), -1) == Id; });
    return f == Fields.end() ? std::string() : f->Name;
  }

  const int pageHeight_;
  const int lineStep_;
  const TLayoutTargets& targets_;
  std::vector<TLayoutPage> pages_;
};

}  // namespace

std::vector<std::string> LayoutLookupTargets() {
  std::vector<std::string> targets;
  for (int i = 1; i <= MaxFields; ++i) {
    const TFld& f = Store.FldTable[i];
    if (Trim(f.Name).empty() || !f.IsLookup || f.LkpKind != "M") continue;
    const std::string target = Trim(f.LkpTarget);
    if (std::find(targets.begin(), targets.end(), target) == targets.end()) targets.push_back(target);
  }
  return targets;
}

std::vector<TLayoutPage> LayoutPages(int PageHeight, int LineStep, const TLayoutTargets& Targets) {
  return TLayoutPrinter(PageHeight, LineStep, Targets).Print();
}

std::string PrintIndexLine(int I) {
  const TIndexRecs& index = Store.IndexRecs;
  return Format("%-37s%-27s%-27s%-27s",
                {Format("%-27s", {Trim(index.Names[I])}) + (Store.IndexUnique[I] ? " Yes      " : " No       "),
                 FieldNameWithId(index.SortFld(I, 1)), FieldNameWithId(index.SortFld(I, 2)),
                 FieldNameWithId(index.SortFld(I, 3))});
}
