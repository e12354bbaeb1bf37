// What the date/time picker decides without a window: its display format and
// the fields inside it, the keyboard's editing of one field at a time, the
// value store with its range checks and the Date/Time accessors.
//
// The picker holds one value and never free text: Text is always the value
// formatted by the display format, except while the digits of one field are
// being typed (pending). A value of 0 is blank (empty text), except in
// time-only mode, where it is midnight. The widget mirrors Text and the
// selection, translates its keys into KeyInput and runs KeyDown, then KeyPress
// for a key that types a character; every decision is made here.
//
// Limits while editing are whole days: MaxDate (or 9999-12-31 when unset) and
// MinDate (or 1899-12-31 when unset). Keyboard edits beyond them are refused
// without a word; the value store raises EDateTimeError for the limits that
// are set (a paste, a calendar date, a program's Date :=).
#pragma once

#include "datetime/key_input.h"
#include "datetime/month_calendar_logic.h"
#include "platform/clock.h"
#include "platform/date_format.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum TdwDTEditDataType { dwDTEdtDateTime, dwDTEdtDate, dwDTEdtTime };
enum TDTDateFormat { dfShort, dfLong };

// One field of the text for a value.
struct TPickerField {
  int Start = 0;   // 0-based offset in the text
  int Length = 0;  // characters of its text
  TDateTokenKind Kind = TDateTokenKind::Text;
  std::size_t Count = 0;  // letters of its token (AM/PM: its length)
  std::string Token;      // the token in lower case ("dd", "mmm", "ampm", "a/p")
  std::string Text;       // what it shows for the value
};

class PickerModel {
public:
  PickerModel();

  // Properties. Setting the format ones rebuilds the text.
  TdwDTEditDataType UnboundDataType() const { return unboundDataType_; }
  void SetUnboundDataType(TdwDTEditDataType value);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& value);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat value);
  int Epoch = 1950;  // the first year of the window for two-digit years
  TdwCalDayOfWeek FirstDayOfWeek = dwdowLocaleDefault;
  bool ReadOnly = false;
  // Bit 0: a completed field advances to the next one.
  unsigned Options = 1;

  TDateTime MinDate() const { return limits_.MinDate; }
  TDateTime MaxDate() const { return limits_.MaxDate; }
  // 0 clears a limit. A limit that would cross the other raises
  // EDateTimeError; the value is not checked again.
  void SetMinDate(TDateTime value);
  void SetMaxDate(TDateTime value);

  // The value. GetDate/GetTime commit pending digits first; GetDate is 0 in
  // time-only mode, GetTime 0 in date-only mode, else both the whole value.
  TDateTime GetDate();
  void SetDate(TDateTime value);
  TDateTime GetTime();
  void SetTime(TDateTime value);
  // The value as held, pending digits not taken.
  TDateTime Value() const { return value_; }
  // Every change of the value passes here. Raises EDateTimeError beyond a
  // set limit and EConvertError for a value no date can hold; the value is
  // kept then.
  void StoreValue(TDateTime value);
  // Puts back a value the picker held before (Esc on a drop-down): no range
  // check, since the value was already accepted once; 0 blanks.
  void RestoreValue(TDateTime value);

  // The limits while editing (whole days) and today within them.
  TDateTime LowerLimit() const;
  TDateTime UpperLimit() const;
  TDateTime LimitedToday(TDateTime now) const;

  // The edit box's state, mirrored by the widget.
  const std::string& Text() const { return text_; }
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelection(int start, int length);
  bool CaretShown() const { return caretShown_; }
  bool Modified = false;
  // Digits of the current field typed but not yet taken into the value.
  bool Typing() const { return typing_; }
  // The user emptied the value.
  bool Blank() const { return blank_; }
  int CurrentField() const { return currentField_; }
  // The value when the picker last received the focus: Esc and a typed year
  // of 0 go back to it. The widget saves it at every focus entry.
  TDateTime FocusValue = 0;
  // Set by the widget while its calendar is dropped down.
  bool DroppedDown = false;

  // Hooks. OnChange runs whenever the text changes, synchronously, and may
  // read GetDate. OnKeyDown/OnKeyPress are the user's events; setting the key
  // or character to 0 ends its handling. OnDropDownKey is offered Alt+Up,
  // Alt+Down, Enter and Esc first and answers whether it took the key.
  std::function<void()> OnChange;
  std::function<void(KeyInput&)> OnKeyDown;
  std::function<void(char&)> OnKeyPress;
  std::function<bool(const KeyInput&)> OnDropDownKey;

  // The display format, with or without the mode's default.
  std::string GetEffectiveFormat(bool useDefaults) const;
  // The effective format with the settings formats it names written out.
  std::string ExpandFormat() const;
  // The text of a value.
  std::string FormatValue(TDateTime value) const;
  // Fields of the expanded format for the mode, and those whose start lies
  // inside the text (the default "c" hides the time at midnight).
  int FieldCount() const;
  int DisplayedFieldCount() const;
  // Field n (1-based) of the text for `value`; an empty field outside 1-FieldCount.
  TPickerField GetFieldInfo(int n, TDateTime value) const;
  // Selects the current field (nothing while dropped down, the whole text when read-only).
  void SelectField();
  // Takes pending digits into the value.
  void CommitTyping();
  // Builds a value from parts and stores it; false (text rebuilt from the
  // unchanged value) when no date holds them or the day lies beyond a limit.
  bool ApplyParts(int year, int month, int day, int hour, int minute, int second, int msec);

  // The edit box's text as it now stands (the widget's own changes of it):
  // fires Change when it differs.
  void SetText(const std::string& text);
  // The text rebuilt from the value and the current field selected.
  void ShowValue();
  // Blanks the value as the user does (Delete, cut): empty text, caret
  // shown, field 1, the blank flag set, the value modified.
  void ClearValue();

  // The keyboard: KeyDown for every key, KeyPress for every key that types a
  // character (Windows-1252, or 8, 13, 27), whatever KeyDown did.
  void KeyDown(KeyInput& key);
  void KeyPress(char& key);
  // The text changed: OnChange, then an empty text keeps only the part of
  // the value the mode does not edit.
  void Change();
  // A left press at `x` on the text; `textWidth` measures a prefix of it.
  void MouseDown(int x, const std::function<int(std::string_view)>& textWidth);
  void DoubleClick();

private:
  enum class Mode { DateTime, DateOnly, TimeOnly };
  struct Parts {
    int Year, Month, Day, Hour, Minute, Second, Msec;
  };

  // What the format gives, kept while its inputs stay: the properties and
  // FormatSettings. The settings are compared once per operation (a key,
  // a press, an accessor), not at every inner step.
  struct LayoutCache {
    bool Valid = false;
    TdwDTEditDataType Type = dwDTEdtDateTime;
    std::string DisplayFormat;
    TDTDateFormat DateFormat = dfShort;
    TFormatSettings Settings;
    std::string Expanded;
    bool TwelveHour = false;
    int FieldCount = 0;
    bool FieldsValid = false;
    TDateTime FieldsValue = 0;
    std::vector<TPickerField> Fields;
    bool TextValid = false;
    TDateTime TextValue = 0;
    std::string Text;
  };
  // Marks one operation; the outermost checks the settings.
  class Operation {
  public:
    explicit Operation(const PickerModel& model);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

  private:
    const PickerModel& model_;
  };
  const LayoutCache& Layout() const;
  void RefreshLayout() const;
  std::string BuildExpandedFormat() const;

  Mode GetMode() const;
  bool IsDefaultCombined() const;
  bool TwelveHourFormat() const;
  const std::vector<TPickerField>& Fields(TDateTime value) const;
  bool WithinEffectiveLimits(TDateTime day) const;
  // Holds `value` and shows it, Modified unchanged.
  void HoldValue(TDateTime value);
  void ReplaceSelection(const std::string& text);
  void MoveToField(int field);
  void FillToday();
  void MoveLeft();
  void MoveRight();
  void DeleteKey(uint16_t code, bool pending);
  Parts SplitValue() const;
  bool ApplyParts(const Parts& parts);
  bool WholeTextSelected() const;
  void TypeFirstDigit(const TPickerField& field, int digit);
  void StepField(Parts& parts, const TPickerField& field, int step);
  bool StepDate(Parts& parts, TDateTokenKind kind, int step, bool clamp);
  bool StepWeekday(Parts& parts, int offset);
  bool TypeDigit(Parts& parts, const TPickerField& field, int digit, bool pending, bool& completed);
  bool TypeYearDigit(Parts& parts, const TPickerField& field, int digit, bool pending, bool& completed);
  void TypeLetter(Parts& parts, const TPickerField& field, char letter);
  int TwoDigitYear(int yy) const;

  TdwDTEditDataType unboundDataType_ = dwDTEdtDateTime;
  std::string displayFormat_;
  TDTDateFormat dateFormat_ = dfShort;
  TDateLimits limits_;
  TDateTime value_ = 0;
  int currentField_ = 1;
  bool typing_ = false;
  bool blank_ = true;
  bool escapeClosed_ = false;
  std::string text_;
  int selStart_ = 0;
  int selLength_ = 0;
  bool caretShown_ = true;
  mutable LayoutCache layout_;
  mutable int operations_ = 0;
};
