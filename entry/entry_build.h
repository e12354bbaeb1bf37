// What the entry screen builds from the template in use, without a widget:
// one plan per generated control and label, the per-kind control lists,
// the rows with their tops, the tab order as numbers, the event bindings,
// the grid view's column plan and the family key fields with their
// presets. TEntryF makes its widgets from this plan; tests read it.
//
// The build reads Store.FldTable and Startup's settings and, as the screen
// does, writes back what its lookups need: each lookup's LkpKeyUnique, the
// pseudo-fields in slots 52-54, each field's dropdown button number
// (ReservedInt), every field's CurValue, FamilyLookup.CaseKeyOption.
#pragma once

#include "entry/template_lookup.h"
#include "templates/template_state.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Text measured in the screen's font (Arial -13).
class TTextMeasure {
public:
  virtual ~TTextMeasure() = default;
  virtual int TextWidth(const std::string& Text) const = 0;
  virtual int TextHeight(const std::string& Text) const = 0;
};

enum class TCtlKind { Edit, DisplayEdit, Memo, DatePicker, CheckBox, DocPanel, DropButton };

// The screen's handlers a control is bound to (bodies in later screens).
enum class THandler {
  FamilyLookupEnter,
  TemplateLookupEnter,
  UserListEnter,
  OwnIndexEnter,
  LookupExitCheck,
  IndexFieldExit,
  NumericFieldExit,
  DropdownKeyDown,
  UserListKeyDown,
  OwnIndexKeyDown,
  MemoKeyDown,
  LookupKeyPress,
  DropdownTextChange,
  UserListTextChange,
  MemoSizeGuard,
  FieldClick,
  FieldKeyUp,
  SBShowListClick,
};
const char* HandlerName(THandler H);

// Handlers per event, run in this order.
struct TEventBinding {
  std::vector<THandler> OnEnter, OnExit, OnClick, OnKeyDown, OnKeyPress, OnKeyUp, OnChange;
  bool operator==(const TEventBinding&) const = default;
};

// TColor values (blue, green, red from the low byte up).
namespace EntryColor {
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Navy = 0x800000;
constexpr uint32_t Teal = 0x808000;
constexpr uint32_t White = 0xFFFFFF;
}  // namespace EntryColor

struct TCtlPlan {
  TCtlKind Kind = TCtlKind::Edit;
  int Tag = -1;      // field slot; -1 a display edit
  int Number = 0;    // 1.. in its kind's list
  std::string Name;  // "Edit3", "Date1", "Memo2", "DocPanel1", "SB1"; check boxes none
  int Row = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Border = true;
  int TabOrder = -1;  // -1: takes none
  bool TabStop = false;
  bool LookupMark = false;  // password character #1 until the layout clears it
  int ButtonNo = 0;         // the dropdown button of an edit; 0 none
  std::string Text;         // text, caption or memo lines
  std::string Hint;
  int MaxLength = 0;  // edits: characters typed at most; 0 none
  bool Upper = false;
  bool Enabled = true;
  bool ReadOnly = false;
  uint32_t Color = EntryColor::White;
  uint32_t FontColor = 0;
  int GridWidth = 0;     // its column in the grid view
  double DateValue = 0;  // pickers: the date; 0 with DateBlank
  bool DateBlank = false;
  TEventBinding Events;
};

struct TLabelPlan {
  std::string Caption;
  int Row = 0;
  int Left = 1, Top = 0, Width = 0;
  uint32_t Color = EntryColor::Blue;
  int Tag = 0;       // -code for display labels of host codes 80-99
  int Control = -1;  // the control it labels
};

struct TRowPlan {
  int Control = -1;  // index into Controls
  int Label = -1;    // index into Labels
  int Needed = 0;    // width the row needs (packing)
  int Top = -1;      // -1 not used
};

struct TGridColumn {
  std::string Header;
  int Width = 0;
};

// The grid view's columns: column 0 the indicator, then one per row, then
// the record text and its position (width 0).
struct TGridColumnPlan {
  std::vector<TGridColumn> Columns;
  std::vector<std::string> CBFieldNames;
  std::vector<int> HiddenWidths;  // one per column, 0
  // The index chooser's names, up to the first empty one; it shows the first.
  std::vector<std::string> IndexNames;
  // One pair of marker shapes per lookup group.
  int ShapePairs = 0;
  // The grid view multiplies its sort chooser's and hide check box's Left
  // and its header bar's width by this: SmallFontsItemScale when the entry
  // screen was laid out for small fonts.
  double ItemScale = 1.0;
};

constexpr double SmallFontsItemScale = 1.25;

// A check box is as wide as its caption plus this: the box and the gap
// before the caption.
constexpr int CheckBoxExtra = 18;

struct TFamilyKeys {
  int ClientSlot = -1, CaseSlot = -1, EmpSlot = -1;
  int ClientSortPos = 0, CaseSortPos = 0, EmpSortPos = 0;
  int ClientPresetSlot = -1, ClientNamePresetSlot = -1;
  int ClientEdit = 0, CaseEdit = 0, EmpEdit = 0;  // numbers in EditsArr
  // The client key field looks clients up by code (not by name).
  bool ClientByCode = false;
  bool CalBitBtnEnabled = false;
  std::string CalBitBtnHint;
};

struct TEntryBuild {
  std::vector<TCtlPlan> Controls;
  std::vector<TLabelPlan> Labels;
  // Indexes into Controls by kind; entry k-1 is number k.
  std::vector<int> EditsArr, Memos, Dates, CheckBoxes, DropButtons, DocPanels;
  std::vector<TRowPlan> Rows;  // row r at r-1, as many as built
  // The control placed beside row r (at r-1, as long as Rows once packed);
  // Control -1 none.
  std::vector<TRowPlan> Side;
  // The least room left right of a packed pair; 10000 when nothing packed.
  int MinSlack = 10000;
  TGridColumnPlan GridColumnPlan;
  TFamilyKeys Keys;
  int MaxLabelWidth = 0;
  int NonEditCount = 0;
  int LookupGroups = 0;
  int LastTabOrder = -1;
  int Cursor = 5;
  // A template lookup could not be prepared or a display field read (its
  // message shown): the build stopped there and the screen closes.
  bool Failed = false;
  // The control record of each template lookup by slot.
  std::map<int, TFieldControl> TemplateLookups;
  // Controls in tab order (TabOrder 0, 1, ...), tab stops or not.
  std::vector<int> TabChain() const;
};

struct TEntryBuildRange {
  int First = 1;
  int Last = 50;
};

// The field slots whose edits take command-line parameters 3 and 4 and the
// key slots, from slots 1..50 (also for a preview's range). Clears
// FamilyLookup.CaseKeyOption first and sets it when the template has a
// client and a case key field.
void ScanFamilyKeyFields(TFamilyKeys& Keys);

// Whether Slot holds one of the pseudo-fields (52-54). Slot 51 holds none:
// the lookup form's preview shows its one field there, an ordinary field.
constexpr int FirstPseudoSlot = 52;
constexpr bool IsPseudoFieldSlot(int Slot) { return Slot >= FirstPseudoSlot && Slot <= FieldSlots; }

// The pseudo-field slot (52-54) for a field, or -1.
int PseudoFieldFor(int Slot);
void MakePseudoField(int Slot);

TEntryBuild BuildEntryModel(const TTextMeasure& Measure, TEntryBuildRange Range = {});
