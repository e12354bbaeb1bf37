// What the quick entry screen decides when a field is left or an entry
// saved, without a window: whether the text passes, the message and where
// the focus goes when not, the code chosen and the labels to show. Reads
// the open files of entry/qe_files.h.
#pragma once

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"

#include <string>

// The lookup fields by tag, then the other fields a check can focus.
enum class TQeField { Employee = 0, Client = 1, Case = 2, Group = 3, Narr = 4, Hours, Description, None };

// The screen state the checks read and update.
struct TQeState {
  int EmpByNameIdx = 1;  // 1 by code, 2 by name
  int EntryModeIdx = 1;  // 1 client code\case suffix .. 4 alternate identifier
  bool NumOrd = false;
  char GroupCodeRule = ' ';
  std::string ChosenEmployee, ChosenClient, ChosenCase;
  std::string LabelEmpName, LabelClientName, LabelPhone, LabelCaseDesc;
  bool ClientFirst() const { return EntryModeIdx <= 2; }
};

struct TQeCheck {
  std::string Message;  // "" when accepted
  TMsgDlgType Type = mtWarning;
  TQeField Focus = TQeField::None;  // where the focus returns after Message
  bool EmptyCase = false;           // the case edit is to be emptied
  bool Failed() const { return !Message.empty(); }
};

extern const char* const QeEmpNotFound;
extern const char* const QeClientNotFound;
extern const char* const QeCaseNotFound;
extern const char* const QeGroupNotFound;
extern const char* const QeDescTooLong;
constexpr size_t QeDescMaxLen = 2808;

// The joined name of an employee or client record as read.
std::string EmployeeName(const TDynCharArr& Rec);
std::string ClientName(const TDynCharArr& Rec);

// The list row selected when a field by name is left: its first column
// (the name) and its code column; empty when the list shows no row of the
// field.
struct TQeSelectedRow {
  std::string Name, Code;
};

// Leaving a lookup field with Text. IntoList: the focus went into the
// field's list (no message; the mode-1 client and the employee by code keep
// their values). A name is accepted from the selected row first.
TQeCheck CheckEmployee(TQeState& S, const std::string& Text, bool IntoList, const TQeSelectedRow& Selected = {});
TQeCheck CheckClient(TQeState& S, const std::string& Text, bool IntoList, const TQeSelectedRow& Selected = {});
// ClientEditEmpty: the client edit shows and is empty (the focus goes there).
TQeCheck CheckCase(TQeState& S, const std::string& Text, bool IntoList, bool ClientEditEmpty);
TQeCheck CheckGroup(const TQeState& S, const std::string& Text);
// Hours: Text becomes the two-decimal text when it passes; -0.004 gives
// "0.00".
TQeCheck CheckHours(std::string& Text);
TQeCheck CheckDescription(const std::string& Text);

// Before the batch writer's own checks: employee, client and case chosen
// with their edits not blank, the grouping rule, the hours and the
// description length; the first failure.
struct TQeEntryTexts {
  std::string Employee, Client, Case, Group, Hours, Description;
  bool ClientVisible = true;
};
TQeCheck CheckBeforeSave(const TQeState& S, TQeEntryTexts& Texts);
