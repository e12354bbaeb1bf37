// The designer's field list without widgets: adding, applying, deleting and
// moving fields of the template in use (Store), and the rules each step
// checks. The form (designer/qt/descriptor_form.h) reads its controls into
// a TFieldEntry and calls these; messages and questions go through the
// message-box layer, so tests answer them with the dialog responder.
//
// FldCount is the edited slot while a field is edited, else the number of
// listed fields.
#pragma once

#include "templates/template_state.h"

#include <functional>
#include <string>
#include <vector>

// Type index of the type group: C 0, D 1, N 2, d 3, B 4.
inline constexpr char FieldTypeLetters[] = {'C', 'D', 'N', 'd', 'B'};
int TypeIndexOf(char FldType);
// The width a new field of the type starts with.
int DefaultTypeWidth(int TypeIndex);

// What the entry controls hold.
struct TFieldEntry {
  std::string Name;
  int TypeIndex = 0;
  int Width = 20;
  std::string Default;  // the placeholder of a date default is no text
  std::string Hint;
  bool UpperCase = false;
  bool Required = false;
  bool IsLookup = false;
  bool RightJustify = false;
  // The range form: checks off, minimum, maximum, decimals index.
  bool RangeOff = true;
  std::string MinText;
  std::string MaxText;
  int Decimals = 0;
};

// The control a refusal puts the focus on.
enum class TEntryControl { None, Name, Width, Default, UpperCase, Required };

struct TEntryVerdict {
  bool Ok = true;
  TEntryControl Focus = TEntryControl::None;
};

// Fills the lookup part of slot Slot for a lookup field (kind, target,
// specification, widths, columns, Forced); may clear RightJustify.
using TLookupStorer = std::function<void(int Slot)>;

class TFieldModel {
public:
  std::vector<std::string> List;  // the field list as shown
  bool EditingFld = false;
  // Set by the lookup form: a client lookup field goes in front of the
  // field being added.
  bool AutoClientLookup = false;

  // The designer shown: NewFldIds -1, no layout change, no deletions,
  // FldCount the list count; an empty list starts RecLen at 4.
  void Start();

  // Checks before a field is stored, in order; a failure shows its message.
  TEntryVerdict ValidateFieldEntry(const TFieldEntry& Entry) const;
  // Questions before rule changes on a template with data; false abandons
  // the apply. A No to the upper-case or required question unchecks that
  // box in Entry.
  bool ConfirmDataRuleChanges(TFieldEntry& Entry) const;

  // Adds a new field or applies the edit of slot FldCount. False (with its
  // message) when refused; Entry may come back with boxes unchecked.
  TEntryVerdict AddField(TFieldEntry& Entry, const TLookupStorer& StoreLookup = {});

  // Starts editing listed entry Index (0-based): FldCount := its slot.
  // False with a message when already editing or nothing is selected (-1).
  bool StartEdit(int Index);
  // Add mode again: FldCount := list count.
  void EndFieldEdit();

  // Deletes listed entry Index after the question; false when refused.
  bool DeleteField(int Index);
  // Moves listed entry From to To (0-based); false while editing (message).
  bool MoveField(int From, int To);

  // The width a new field of the type is proposed in add mode: the width of
  // the field before the last listed one when it has the same type.
  int ProposedWidth(int TypeIndex) const;
  // The slot of listed entry Index.
  static int SlotOf(int Index) { return Index + 1; }
};

// Smallest FldId 1..50 not used by a named slot; -1 when all are used.
int NextFreeFieldId();
// Places a field added to a modified template (slot FldCount) behind the
// highest used position; LayoutChanged, NewFldIds marked.
void AssignNewFieldOffset();
// Every named slot but FldCount placed behind slot FldCount moves by D.
void ShiftFieldOffsets(int D);
// The field in slot FldCount is a sort field of a named index.
bool FieldInIndex();
// The highest record position any named field uses, 4 without fields.
int HighestUsedPosition();

// Texts the model shows.
extern const std::string NoFieldNameMsg;
extern const std::string DefaultTooLongMsg;
extern const std::string BadDateDefaultMsg;
extern const std::string NoFreeIdMsg;
std::string DuplicateFieldMsg(const std::string& Name);
std::string CommaQuestion(int Width);
