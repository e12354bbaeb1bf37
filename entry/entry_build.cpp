#include "entry/entry_build.h"

#include "entry/dropdown_list.h"

#include "platform/command_line.h"
#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int RowStep = 35;
constexpr int EditHeight = 22;
constexpr int DisplayEditHeight = 16;
constexpr int LookupExtraWidth = 30;
constexpr int MemoFromWidth = 73;
constexpr int MemoWidthCap = 320;
constexpr int MaximizedMemoWidthCap = 600;
constexpr int PickerYearExtra = 8;
constexpr int CheckBoxHeight = 17;
constexpr int CheckBoxGridWidth = 17;
// A document panel's grid column is 233 wide; the panel itself (the size of
// PanelDoc) is made as wide as its column and as high as an edit row with
// its border.
constexpr int DocPanelGridWidth = 233;
constexpr int DocPanelWidth = DocPanelGridWidth;
constexpr int DocPanelHeight = 25;
constexpr int DropButtonSize = 22;
constexpr int DisplayTextLength = 87;
constexpr int LastTemplateSlot = 50;

// Host field codes of the family keys and the names that have pseudo-fields.
constexpr int ClientNameCode = 1;
constexpr int CaseCode = 22;
constexpr int CaseAltIdCode = 23;
constexpr int EmpCode = 62;
constexpr int EmpNameCode = 63;
// Display labels of the case description lines carry -code as their tag.
constexpr int FirstTaggedCode = 80;
constexpr int LastTaggedCode = 99;

const std::string CaseCalendarHint = "Show calendar entries for this case";
const std::string ClientCalendarHint = "Show calendar entries for this client";

int LookupCode(const TFld& Fld) {
  return StrToIntDef(Trim(std::string_view(Fld.LkpSpec).substr(std::min<size_t>(1, Fld.LkpSpec.size()), 3)), -1);
}

// The sort position (1-3) of a field in index 1, 0 when it is none of them.
int SortPosInIndex1(int FldId) {
  for (int k = 1; k <= MaxSortFields; ++k) {
    if (FldId != 0 && Store.IndexRecs.SortFld(1, k) == FldId) return k;
  }
  return 0;
}

bool IsLookupEdit(const TFld& Fld) { return Fld.IsLookup && !Fld.LkpKind.empty(); }

int PixelWidth(int Len) { return int(std::trunc(CalcFieldWidth(Len))); }

std::string DocumentName(const char* Stem, int N) { return std::string(Stem) + IntToStr(N); }

class TBuilder {
public:
  TBuilder(TEntryBuild& B, const TTextMeasure& M) : b_(B), m_(M) {
    try {
      sortSlots_ = IndexSortSlots(1);
    } catch (const ERecordCodec&) {
      sortSlots_.clear();
    }
    index1Named_ = !Trim(Store.IndexRecs.Names[1]).empty();
  }

  void BuildSlot(int Slot, int& Row) {
    TFld& f = Store.FldTable[Slot];
    switch (f.FldType) {
      case 'N':
      case 'C':
      case 'D':
      case 'd':
        BuildFieldRow(Slot, Row);
        break;
      case 'B': {
        CreateFieldCheckBox(Slot, Row);
        RowAt(Row).Top = b_.Cursor;
        b_.Cursor += RowStep;
        ++b_.NonEditCount;
        break;
      }
      default:
        break;
    }
  }

private:
  TRowPlan& RowAt(int Row) {
    if (int(b_.Rows.size()) < Row) b_.Rows.resize(size_t(Row));
    return b_.Rows[size_t(Row - 1)];
  }

  int NextTabOrder() { return ++b_.LastTabOrder; }

  int AddControl(TCtlPlan C, std::vector<int>& List) {
    C.Number = int(List.size()) + 1;
    b_.Controls.push_back(std::move(C));
    const int at = int(b_.Controls.size()) - 1;
    List.push_back(at);
    return at;
  }

  void PlaceInRow(int Row, int Ctl) {
    b_.Controls[size_t(Ctl)].Row = Row;
    RowAt(Row).Control = Ctl;
  }

  void BuildFieldRow(int Slot, int& Row) {
    TFld& f = Store.FldTable[Slot];
    const int px = PixelWidth(f.FldType == 'd' ? f.Width * 2 : f.Width) + (f.IsLookup ? LookupExtraWidth : 0);
    int memoHeight = -1;
    if (f.Width >= MemoFromWidth) {
      memoHeight = CreateFieldMemo(Slot, Row, px);
    } else if (f.FldType == 'C' || f.FldType == 'N') {
      CreateFieldEdit(Slot, Row, px);
    } else if (f.FldType == 'D') {
      CreateFieldDatePicker(Slot, Row, px);
    } else {
      CreateDocumentPanel(Slot, Row);
    }
    CreateFieldLabel(f.Name, Row, SortPosOf(Slot) ? EntryColor::Navy : EntryColor::Blue, 0,
                     f.LkpKind.rfind("L", 0) != 0);

    int pseudo = -1;
    if (f.LkpKind == "L") {
      f.LkpKeyUnique = f.Unique;
      pseudo = PseudoFieldFor(Slot);
      if (pseudo > 0) MakePseudoField(pseudo);
    } else if (f.LkpKind == "M") {
      if (!PrepareTemplateLookup(Slot, b_.TemplateLookups[Slot])) b_.Failed = true;
    } else if (f.LkpKind == "U") {
      PrepareUserList(Slot, Row);
    }

    if (f.FldType == 'C' && f.DispCols[1] != DispColsEnd) {
      ++b_.LookupGroups;
      RowAt(Row).Top = b_.Cursor;
      if (f.LkpKind == "L") {
        for (int k = 1; k <= MaxDispCols && f.DispCols[k] != DispColsEnd; ++k) {
          const int code = f.DispCols[k];
          const int width = PixelWidth(HostDisplayWidth(code));
          ++Row;
          b_.Cursor += RowStep;
          RowAt(Row).Top = b_.Cursor;
          if (k == 1 && pseudo > 0) {
            CreateFieldEdit(pseudo, Row, width + LookupExtraWidth);
          } else {
            CreateDisplayEdit(Row, width);
          }
          const bool tagged = code >= FirstTaggedCode && code <= LastTaggedCode;
          // A code outside the catalogue (a damaged descriptor) shows no name.
          const bool known = code >= 0 && code <= MaxHostFldCode;
          CreateFieldLabel(known ? Store.HostFldNames[code] : std::string(), Row, EntryColor::Blue, tagged ? -code : 0,
                           false);
        }
      } else if (f.LkpKind == "M") {
        // A template lookup's display rows show its target's fields.
        TFieldControl& control = b_.TemplateLookups[Slot];
        for (int k = 1; k <= MaxDispCols && f.DispCols[k] != DispColsEnd && !b_.Failed; ++k) {
          if (!ReadDisplayField(Slot, k, control)) {
            MessageDlg(DisplayFieldMissingMsg(f.LkpTarget, TargetFieldKey(IntToStr(f.DispCols[k]))), mtError,
                       mbOKOnly, 0);
            b_.Failed = true;
            break;
          }
          const TTargetColumn& target = control.DispCols[size_t(k - 1)];
          ++Row;
          b_.Cursor += RowStep;
          RowAt(Row).Top = b_.Cursor;
          CreateDisplayEdit(Row, PixelWidth(target.Width));
          CreateFieldLabel(target.Name, Row, EntryColor::Blue, 0, false);
        }
      }
    }
    CloseTargetDescriptor();
    RowAt(Row).Top = b_.Cursor;
    b_.Cursor += memoHeight >= 0 ? memoHeight + 8 : RowStep;
  }

  int SortPosOf(int Slot) const {
    const auto it = std::find(sortSlots_.begin(), sortSlots_.end(), Slot);
    return it == sortSlots_.end() ? 0 : int(it - sortSlots_.begin()) + 1;
  }

  TEventBinding EditEvents(int Slot) const {
    const TFld& f = Store.FldTable[Slot];
    TEventBinding e;
    const bool lookup = IsLookupEdit(f);
    if (lookup && (f.LkpKind == "L" || f.LkpKind == "l" || f.LkpKind == "M")) {
      e.OnEnter = {f.LkpKind == "M" ? THandler::TemplateLookupEnter : THandler::FamilyLookupEnter};
      e.OnExit = {THandler::LookupExitCheck};
      e.OnKeyDown = {THandler::DropdownKeyDown};
      e.OnKeyPress = {THandler::LookupKeyPress};
      e.OnChange = {THandler::DropdownTextChange};
    } else if (lookup && f.LkpKind == "U") {
      e.OnEnter = {THandler::UserListEnter};
      e.OnExit = {THandler::LookupExitCheck};
      e.OnKeyDown = {THandler::UserListKeyDown};
      e.OnChange = {THandler::UserListTextChange};
    } else if (SortPosOf(Slot) != 0) {
      e.OnEnter = {THandler::OwnIndexEnter};
      e.OnExit = {THandler::IndexFieldExit};
      e.OnKeyDown = {THandler::OwnIndexKeyDown};
      e.OnChange = {THandler::DropdownTextChange};
    } else {
      e.OnEnter = {THandler::OwnIndexEnter};
      e.OnExit = {THandler::IndexFieldExit};
    }
    // The numeric check runs first; the row's own exit only after it.
    if (f.FldType == 'N') e.OnExit.insert(e.OnExit.begin(), THandler::NumericFieldExit);
    e.OnClick = {THandler::FieldClick};
    e.OnKeyUp = {THandler::FieldKeyUp};
    return e;
  }

  // A control of the row being built: its kind, tag and the row's top.
  TCtlPlan RowControl(TCtlKind Kind, int Tag) const {
    TCtlPlan c;
    c.Kind = Kind;
    c.Tag = Tag;
    c.Top = b_.Cursor;
    return c;
  }

  void CreateFieldEdit(int Slot, int Row, int Px) {
    TFld& f = Store.FldTable[Slot];
    TCtlPlan c = RowControl(TCtlKind::Edit, Slot);
    c.Width = Px;
    c.Height = EditHeight;
    c.Upper = f.UpperCase;
    c.Hint = f.Hint;
    c.MaxLength = (f.LkpKind == "M" && f.Width == 12 && f.KeyWidth == 8) ? 10 : f.KeyWidth;
    c.Text = f.Default;
    c.TabOrder = NextTabOrder();
    c.TabStop = Slot <= LastTemplateSlot || Startup.TabToAltLookups;
    c.LookupMark = IsLookupEdit(f);
    c.FontColor = 0;
    c.Events = EditEvents(Slot);
    c.GridWidth = int(std::lround(Px * 0.75));
    const int at = AddControl(std::move(c), b_.EditsArr);
    TCtlPlan& edit = b_.Controls[size_t(at)];
    edit.Name = "Edit" + IntToStr(edit.Number);
    PlaceInRow(Row, at);
    if (IsPseudoFieldSlot(Slot) && Startup.TabToAltLookups && b_.EditsArr.size() > 1) {
      // The name takes the code field's tab stop.
      b_.Controls[size_t(b_.EditsArr[b_.EditsArr.size() - 2])].TabStop = false;
    }
    TFamilyKeys& k = b_.Keys;
    if (Slot == k.ClientSlot) k.ClientEdit = edit.Number;
    if (Slot == k.CaseSlot) k.CaseEdit = edit.Number;
    if (Slot == k.EmpSlot) k.EmpEdit = edit.Number;
    if (Slot == k.ClientPresetSlot) {
      edit.Text = ParamStr(3);
    } else if (Slot == k.ClientNamePresetSlot) {
      edit.Text = ParamStr(4);
    }
    f.CurValue = edit.Text;
    if (IsLookupEdit(f) || (SortPosOf(Slot) != 0 && index1Named_)) CreateDropButton(Slot, at);
  }

  void CreateDropButton(int Slot, int Edit) {
    TCtlPlan c;
    c.Kind = TCtlKind::DropButton;
    c.Tag = Slot;
    c.Top = b_.Controls[size_t(Edit)].Top + 1;
    c.Width = c.Height = DropButtonSize;
    c.Border = false;
    c.Events.OnClick = {THandler::SBShowListClick};
    const int at = AddControl(std::move(c), b_.DropButtons);
    TCtlPlan& button = b_.Controls[size_t(at)];
    button.Name = "SB" + IntToStr(button.Number);
    button.Row = b_.Controls[size_t(Edit)].Row;
    b_.Controls[size_t(Edit)].ButtonNo = button.Number;
    Store.FldTable[Slot].ReservedInt = button.Number;
  }

  void CreateDisplayEdit(int Row, int Px) {
    TCtlPlan c = RowControl(TCtlKind::DisplayEdit, -1);
    c.Width = Px;
    c.Height = DisplayEditHeight;
    c.Border = false;
    c.Color = EntryColor::White;
    c.FontColor = EntryColor::Navy;
    c.Text = std::string(DisplayTextLength, ' ');
    c.Enabled = false;
    c.ReadOnly = true;
    c.GridWidth = int(std::lround(Px * 0.75));
    const int at = AddControl(std::move(c), b_.EditsArr);
    b_.Controls[size_t(at)].Name = "Edit" + IntToStr(b_.Controls[size_t(at)].Number);
    PlaceInRow(Row, at);
  }

  int CreateFieldMemo(int Slot, int Row, int Px) {
    TFld& f = Store.FldTable[Slot];
    TCtlPlan c = RowControl(TCtlKind::Memo, Slot);
    c.Width = std::min(Px, Startup.MaximizeEntry ? MaximizedMemoWidthCap : MemoWidthCap);
    const int perLine = std::max(1, Px / std::max(1, m_.TextWidth("W")));
    const int lines = std::max(1, f.Width / perLine);
    c.Height = (m_.TextHeight("W") + 1) * lines + 4;
    c.Text = f.Default;
    c.Hint = f.Hint;
    c.MaxLength = f.Width;
    c.TabOrder = NextTabOrder();
    c.TabStop = true;
    c.Events.OnEnter = {THandler::OwnIndexEnter};
    c.Events.OnKeyDown = {THandler::MemoKeyDown};
    c.Events.OnChange = {THandler::MemoSizeGuard};
    c.GridWidth = c.Width;
    const int height = c.Height;
    const int at = AddControl(std::move(c), b_.Memos);
    b_.Controls[size_t(at)].Name = "Memo" + IntToStr(b_.Controls[size_t(at)].Number);
    PlaceInRow(Row, at);
    f.CurValue = f.Default;
    ++b_.NonEditCount;
    return height;
  }

  void CreateFieldDatePicker(int Slot, int Row, int Px) {
    TFld& f = Store.FldTable[Slot];
    TCtlPlan c = RowControl(TCtlKind::DatePicker, Slot);
    c.Width = Px + (FormatSettings.ShortDateFormat.find("yyyy") != std::string::npos ? PickerYearExtra : 0);
    c.Height = EditHeight;
    c.Hint = f.Hint;
    c.TabOrder = NextTabOrder();
    c.TabStop = true;
    c.Events.OnEnter = {THandler::OwnIndexEnter};
    c.Events.OnExit = {THandler::IndexFieldExit};
    if (f.Default == "0") {
      c.DateBlank = true;
      f.CurValue = "0";
    } else {
      TDateTime value = 0;
      if (f.Default.empty() || !TryStrToDate(f.Default, value)) value = Startup.WorkDate;
      c.DateValue = value;
      DateToYYYYMMDD(f.CurValue, value);
    }
    c.GridWidth = c.Width;
    const int at = AddControl(std::move(c), b_.Dates);
    b_.Controls[size_t(at)].Name = "Date" + IntToStr(b_.Controls[size_t(at)].Number);
    PlaceInRow(Row, at);
    ++b_.NonEditCount;
  }

  void CreateDocumentPanel(int Slot, int Row) {
    TCtlPlan c = RowControl(TCtlKind::DocPanel, Slot);
    c.Width = DocPanelWidth;
    c.Height = DocPanelHeight;
    c.Border = false;
    c.Color = EntryColor::Teal;
    c.GridWidth = DocPanelGridWidth;
    const int at = AddControl(std::move(c), b_.DocPanels);
    b_.Controls[size_t(at)].Name = DocumentName("DocPanel", b_.Controls[size_t(at)].Number);
    PlaceInRow(Row, at);
    Store.FldTable[Slot].CurValue.clear();
    ++b_.NonEditCount;
  }

  void CreateFieldCheckBox(int Slot, int Row) {
    TFld& f = Store.FldTable[Slot];
    TCtlPlan c = RowControl(TCtlKind::CheckBox, Slot);
    c.Text = TrimRight(f.Name);
    c.Width = m_.TextWidth(c.Text) + CheckBoxExtra;
    c.Height = CheckBoxHeight;
    c.Hint = f.Hint;
    c.FontColor = EntryColor::Blue;
    c.TabOrder = NextTabOrder();
    c.TabStop = true;
    c.GridWidth = CheckBoxGridWidth;
    c.Border = false;
    const int at = AddControl(std::move(c), b_.CheckBoxes);
    PlaceInRow(Row, at);
    f.CurValue = "N";
    b_.GridColumnPlan.CBFieldNames.push_back(b_.Controls[size_t(at)].Text);
  }

  void PrepareUserList(int Slot, int& Row) {
    TFld& f = Store.FldTable[Slot];
    f.LkpKeyUnique = true;
    if (f.LkpSpec.rfind("2", 0) != 0) return;
    RowAt(Row).Top = b_.Cursor;
    ++Row;
    b_.Cursor += RowStep;
    RowAt(Row).Top = b_.Cursor;
    const int width =
        StrToIntDef(Trim(std::string_view(f.LkpSpec).substr(std::min<size_t>(2, f.LkpSpec.size()), 3)), 0);
    CreateDisplayEdit(Row, PixelWidth(width));
  }

  void CreateFieldLabel(const std::string& Caption, int Row, uint32_t Color, int Tag, bool FieldChooser) {
    TLabelPlan l;
    l.Caption = TrimRight(Caption);
    l.Row = Row;
    l.Top = b_.Cursor + 3;
    l.Width = m_.TextWidth(l.Caption);
    l.Color = Color;
    l.Tag = Tag;
    l.Control = RowAt(Row).Control;
    b_.MaxLabelWidth = std::max(b_.MaxLabelWidth, l.Width);
    if (FieldChooser) b_.GridColumnPlan.CBFieldNames.push_back(l.Caption);
    b_.Labels.push_back(std::move(l));
    RowAt(Row).Label = int(b_.Labels.size()) - 1;
  }

  TEntryBuild& b_;
  const TTextMeasure& m_;
  std::vector<int> sortSlots_;
  bool index1Named_ = false;
};

void PlanGridColumns(TEntryBuild& B) {
  TGridColumnPlan& g = B.GridColumnPlan;
  g.Columns.assign(B.Rows.size() + 3, TGridColumn{});
  g.Columns[0].Width = 8;
  for (size_t r = 0; r < B.Rows.size(); ++r) {
    const TRowPlan& row = B.Rows[r];
    TGridColumn& col = g.Columns[r + 1];
    if (row.Control >= 0) {
      const TCtlPlan& c = B.Controls[size_t(row.Control)];
      col.Width = c.GridWidth;
      if (c.Kind == TCtlKind::CheckBox) col.Header = c.Text;
    }
    if (row.Label >= 0) col.Header = B.Labels[size_t(row.Label)].Caption;
  }
  g.HiddenWidths.assign(g.Columns.size(), 0);
  g.IndexNames.clear();
  for (int i = 1; i <= MaxIndexes && !Trim(Store.IndexRecs.Names[i]).empty(); ++i)
    g.IndexNames.push_back(Store.IndexRecs.Names[i]);
  g.ShapePairs = B.LookupGroups;
}

}  // namespace

const char* HandlerName(THandler H) {
  static const char* names[] = {"FamilyLookupEnter",  "TemplateLookupEnter", "UserListEnter",    "OwnIndexEnter",
                                "LookupExitCheck",    "IndexFieldExit",      "NumericFieldExit", "DropdownKeyDown",
                                "UserListKeyDown",    "OwnIndexKeyDown",     "MemoKeyDown",      "LookupKeyPress",
                                "DropdownTextChange", "UserListTextChange",  "MemoSizeGuard",    "FieldClick",
                                "FieldKeyUp",         "SBShowListClick"};
  return names[size_t(H)];
}

std::vector<int> TEntryBuild::TabChain() const {
  std::vector<int> chain;
  for (size_t i = 0; i < Controls.size(); ++i) {
    if (Controls[i].TabOrder >= 0) chain.push_back(int(i));
  }
  std::sort(chain.begin(), chain.end(),
            [&](int a, int b) { return Controls[size_t(a)].TabOrder < Controls[size_t(b)].TabOrder; });
  return chain;
}

void ScanFamilyKeyFields(TFamilyKeys& Keys) {
  FamilyLookup.CaseKeyOption = false;
  bool client = false, caseKey = false, emp = false;
  for (int slot = 1; slot <= LastTemplateSlot && !(client && caseKey && emp); ++slot) {
    const TFld& f = Store.FldTable[slot];
    if (f.LkpKind == "L") {
      const int code = LookupCode(f);
      if (!client && code >= 0 && code <= ClientNameCode) {
        client = true;
        Keys.ClientSlot = slot;
        Keys.ClientSortPos = SortPosInIndex1(f.FldId);
        Keys.ClientByCode = code == 0;
        if (!Startup.IsChildApp) {
          if (code == 0 && !ParamStr(3).empty()) Keys.ClientPresetSlot = slot;
          if (code == ClientNameCode && !ParamStr(3).empty() && !ParamStr(4).empty()) Keys.ClientNamePresetSlot = slot;
        }
      }
      if (!caseKey && code == CaseCode) {
        caseKey = true;
        Keys.CaseSlot = slot;
        Keys.CaseSortPos = SortPosInIndex1(f.FldId);
      }
      if (client && caseKey && !FamilyLookup.CaseKeyOption) {
        FamilyLookup.CaseKeyOption = true;
        Keys.CalBitBtnEnabled = true;
        Keys.CalBitBtnHint = CaseCalendarHint;
      }
      if (!emp && code == EmpCode) {
        emp = true;
        Keys.EmpSlot = slot;
        Keys.EmpSortPos = SortPosInIndex1(f.FldId);
      }
    }
    if (!client) {
      Keys.CalBitBtnEnabled = false;
    } else if (!caseKey) {
      Keys.CalBitBtnEnabled = true;
      Keys.CalBitBtnHint = ClientCalendarHint;
    }
  }
}

int PseudoFieldFor(int Slot) {
  const TFld& f = Store.FldTable[Slot];
  const char letter = f.LkpSpec.empty() ? ' ' : f.LkpSpec[0];
  const int first = f.DispCols[1];
  if (letter == 'A' && Store.AltLookupOn[1] && first == ClientNameCode) return 52;
  if (letter == 'B' && Store.AltLookupOn[2] && first == CaseAltIdCode) return 53;
  if (letter == 'E' && Store.AltLookupOn[3] && first == EmpNameCode) return 54;
  return -1;
}

void MakePseudoField(int Slot) {
  struct TPseudo {
    const char* Name;
    int KeyWidth;
    char Letter;
    int First, Second;
  };
  static const TPseudo pseudo[] = {{"^CN", 72, 'A', ClientNameCode, 0},
                                   {"^AI", 20, 'B', CaseAltIdCode, CaseCode},
                                   {"^EN", 37, 'E', EmpNameCode, EmpCode}};
  const TPseudo& p = pseudo[Slot - FirstPseudoSlot];
  InitFieldSlot(Slot);
  TFld& f = Store.FldTable[Slot];
  f.Name = p.Name;
  f.FldType = 'C';
  f.Width = f.KeyWidth = p.KeyWidth;
  f.LkpSpec = Format("%s%3d%3d", std::string(1, p.Letter), p.First, p.Second);
  f.UpperCase = false;
  f.IsLookup = true;
  f.LkpKind = "L";
  f.RightJustify = false;
  f.Forced = true;
}

TEntryBuild BuildEntryModel(const TTextMeasure& Measure, TEntryBuildRange Range) {
  TEntryBuild b;
  ScanFamilyKeyFields(b.Keys);
  TBuilder builder(b, Measure);
  int row = 1;
  for (int slot = Range.First; slot <= Range.Last && !b.Failed; ++slot) {
    if (Trim(Store.FldTable[slot].Name).empty()) break;
    builder.BuildSlot(slot, row);
    ++row;
  }
  PlanGridColumns(b);
  return b;
}
