#include "datetime/picker_model.h"

#include "datetime/dw_intl.h"
#include "platform/date_clock.h"
#include "platform/datetime_value.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

constexpr TDateTime kLowestEditDay = 1;  // 1899-12-31

// The time of day of a value, a fraction in [0, 1).
TDateTime TimeOfDay(TDateTime value) { return JoinDateAndTime(0, value); }

bool IsDateField(TDateTokenKind kind, std::size_t count) {
  return (kind == TDateTokenKind::Day && count <= 4) || kind == TDateTokenKind::Month ||
         kind == TDateTokenKind::Year;
}

bool IsTimeField(TDateTokenKind kind) {
  return kind == TDateTokenKind::Hour || kind == TDateTokenKind::Minute || kind == TDateTokenKind::Second ||
         kind == TDateTokenKind::AmPm;
}

bool IsNumberField(const TPickerField& field) {
  switch (field.Kind) {
    case TDateTokenKind::Day:
    case TDateTokenKind::Month:
      return field.Count <= 2;
    case TDateTokenKind::Hour:
    case TDateTokenKind::Minute:
    case TDateTokenKind::Second:
    case TDateTokenKind::Year:
      return true;
    default:
      return false;
  }
}

bool IsFourDigitYear(const TPickerField& field) { return field.Kind == TDateTokenKind::Year && field.Count >= 3; }

bool IsWeekdayName(const TPickerField& field) {
  return field.Kind == TDateTokenKind::Day && (field.Count == 3 || field.Count == 4);
}

bool IsEditingKey(uint16_t code) {
  return code == vk::Back || code == vk::Space || code == vk::Delete || (code >= 48 && code <= 111) || code > 145;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Pending digits are never more than four.
int DigitsValue(std::string_view digits) {
  int number = 0;
  for (const char c : digits) number = number * 10 + (c - '0');
  return number;
}

bool StartsWithLetter(const std::string& name, char upperLetter) {
  return !name.empty() && AnsiUpperChar(name[0]) == upperLetter;
}

// 1-based position of `value` wrapped into 1..size.
int Wrapped(int value, int size) { return ((value - 1) % size + size) % size + 1; }

// Monday = 0 ... Sunday = 6, the calendar's numbering of week days.
int MondayBasedDay(TDateTime date) { return (DayOfWeek(date) + 5) % 7; }

}  // namespace

PickerModel::PickerModel() {
  if (GlobalIntl() != nullptr) Epoch = GlobalIntl()->DefaultEpochYear;
}

// ---- properties ----

void PickerModel::SetUnboundDataType(TdwDTEditDataType value) {
  if (value == unboundDataType_) return;
  CommitTyping();
  unboundDataType_ = value;
  layout_.Valid = false;
  currentField_ = std::clamp(currentField_, 1, std::max(FieldCount(), 1));
  if (!text_.empty()) ShowValue();
}

void PickerModel::SetDisplayFormat(const std::string& value) {
  if (value == displayFormat_) return;
  CommitTyping();
  displayFormat_ = value;
  layout_.Valid = false;
  currentField_ = std::clamp(currentField_, 1, std::max(FieldCount(), 1));
  if (!text_.empty()) ShowValue();
}

void PickerModel::SetDateFormat(TDTDateFormat value) {
  if (value == dateFormat_) return;
  CommitTyping();
  dateFormat_ = value;
  layout_.Valid = false;
  currentField_ = std::clamp(currentField_, 1, std::max(FieldCount(), 1));
  if (!text_.empty()) ShowValue();
}

void PickerModel::SetMinDate(TDateTime value) {
  CheckNewMinDate(value, limits_);
  limits_.MinDate = value;
}

void PickerModel::SetMaxDate(TDateTime value) {
  CheckNewMaxDate(value, limits_);
  limits_.MaxDate = value;
}

// ---- the value ----

PickerModel::Mode PickerModel::GetMode() const {
  switch (unboundDataType_) {
    case dwDTEdtDate: return Mode::DateOnly;
    case dwDTEdtTime: return Mode::TimeOnly;
    default: return Mode::DateTime;
  }
}

void PickerModel::StoreValue(TDateTime value) {
  const Operation operation(*this);
  if (value == 0) blank_ = false;
  if (value != 0 && value == value_) return;
  if (value == 0) {
    value_ = 0;
    if (GetMode() != Mode::TimeOnly && !text_.empty()) SetText("");
    return;
  }
  if (!(GetMode() == Mode::TimeOnly && WholeDay(value) == 0)) CheckWithinLimits(value, limits_);
  HoldValue(value);
}

void PickerModel::RestoreValue(TDateTime value) {
  const Operation operation(*this);
  if (value == 0) {
    StoreValue(0);
    return;
  }
  if (value != value_) HoldValue(value);
}

void PickerModel::HoldValue(TDateTime value) {
  const std::string text = FormatValue(value);  // raises before anything changed
  const bool modified = Modified;
  value_ = value;
  SetText(text);
  SelectField();
  Modified = modified;
}

TDateTime PickerModel::GetDate() {
  const Operation operation(*this);
  CommitTyping();
  return GetMode() == Mode::TimeOnly ? 0 : value_;
}

void PickerModel::SetDate(TDateTime value) {
  const Operation operation(*this);
  if (GetMode() == Mode::TimeOnly) return;
  if (value == 0) {
    StoreValue(0);
    return;
  }
  if (WholeDay(value) == WholeDay(value_)) return;
  StoreValue(JoinDateAndTime(value, value_));
}

TDateTime PickerModel::GetTime() {
  const Operation operation(*this);
  CommitTyping();
  return GetMode() == Mode::DateOnly ? 0 : value_;
}

void PickerModel::SetTime(TDateTime value) {
  const Operation operation(*this);
  if (GetMode() == Mode::DateOnly) return;
  if (value == 0) {
    StoreValue(0);
    return;
  }
  if (TimeOfDay(value) == TimeOfDay(value_)) return;
  StoreValue(JoinDateAndTime(value_, value));
}

// ---- format and fields ----

std::string PickerModel::GetEffectiveFormat(bool useDefaults) const {
  if (!displayFormat_.empty() || !useDefaults) return displayFormat_;
  const bool isLong = dateFormat_ == dfLong;
  switch (GetMode()) {
    case Mode::TimeOnly:
      return isLong ? FormatSettings.LongTimeFormat : FormatSettings.ShortTimeFormat;
    case Mode::DateOnly:
      return isLong ? FormatSettings.LongDateFormat : FormatSettings.ShortDateFormat;
    default:
      return isLong ? FormatSettings.LongDateFormat + " " + FormatSettings.LongTimeFormat : "c";
  }
}

// ---- the layout cache ----

PickerModel::Operation::Operation(const PickerModel& model) : model_(model) {
  if (model_.operations_++ == 0) model_.RefreshLayout();
}

PickerModel::Operation::~Operation() { --model_.operations_; }

void PickerModel::RefreshLayout() const {
  LayoutCache& cache = layout_;
  if (cache.Valid && cache.Type == unboundDataType_ && cache.DisplayFormat == displayFormat_ &&
      cache.DateFormat == dateFormat_ && cache.Settings == FormatSettings)
    return;
  cache.Type = unboundDataType_;
  cache.DisplayFormat = displayFormat_;
  cache.DateFormat = dateFormat_;
  cache.Settings = FormatSettings;
  cache.Expanded = BuildExpandedFormat();
  const Mode mode = GetMode();
  TDateFormatReader reader(cache.Expanded);
  TDateFormatToken token;
  cache.FieldCount = 0;
  while (reader.Next(token)) {
    if ((mode != Mode::TimeOnly && IsDateField(token.Kind, token.Count)) ||
        (mode != Mode::DateOnly && IsTimeField(token.Kind)))
      ++cache.FieldCount;
  }
  cache.TwelveHour = reader.TwelveHour();
  cache.FieldsValid = cache.TextValid = false;
  cache.Valid = true;
}

const PickerModel::LayoutCache& PickerModel::Layout() const {
  if (operations_ == 0 || !layout_.Valid) RefreshLayout();
  return layout_;
}

std::string PickerModel::ExpandFormat() const { return Layout().Expanded; }

// Written out token by token, so that a letter inside quoted text stays text.
std::string PickerModel::BuildExpandedFormat() const {
  const std::string format = GetEffectiveFormat(true);
  std::string out;
  TDateFormatReader reader(format);
  TDateFormatToken token;
  while (reader.Next(token)) {
    if (token.Kind == TDateTokenKind::DateTime) {
      for (const char c : token.Source) {
        if (c == 'c') {
          out += FormatSettings.ShortDateFormat + " " + FormatSettings.LongTimeFormat;
        } else {
          out += c;
        }
      }
    } else if (token.Source == "dddddd") {
      out += FormatSettings.LongDateFormat;
    } else if (token.Source == "ddddd") {
      out += FormatSettings.ShortDateFormat;
    } else if (token.Source == "tt") {
      out += FormatSettings.LongTimeFormat;
    } else if (token.Source == "t") {
      out += FormatSettings.ShortTimeFormat;
    } else {
      out += token.Source;
    }
  }
  return out;
}

std::string PickerModel::FormatValue(TDateTime value) const {
  if (value == 0 && GetMode() != Mode::TimeOnly) return "";
  const LayoutCache& layout = Layout();
  if (layout.TextValid && layout.TextValue == value) return layout.Text;
  std::string text;
  if (GetMode() == Mode::DateTime && GetEffectiveFormat(false).empty() && dateFormat_ == dfLong &&
      TimeOfDay(value) == 0) {
    text = FormatDateTime(FormatSettings.LongDateFormat, value);
  } else {
    text = FormatDateTime(GetEffectiveFormat(true), value);
  }
  layout_.Text = text;
  layout_.TextValue = value;
  layout_.TextValid = true;
  return text;
}

bool PickerModel::IsDefaultCombined() const {
  return GetMode() == Mode::DateTime && displayFormat_.empty() && dateFormat_ == dfShort;
}

bool PickerModel::TwelveHourFormat() const { return Layout().TwelveHour; }

const std::vector<TPickerField>& PickerModel::Fields(TDateTime value) const {
  const LayoutCache& layout = Layout();
  if (layout.FieldsValid && layout.FieldsValue == value) return layout.Fields;
  const Mode mode = GetMode();
  const TDateTokenWriter writer(value);
  TDateFormatReader reader(layout.Expanded);
  TDateFormatToken token;
  std::vector<TPickerField>& fields = layout_.Fields;
  fields.clear();
  layout_.FieldsValid = false;
  std::string piece;
  int offset = 0;
  while (reader.Next(token)) {
    piece.clear();
    writer.Append(token, reader.TwelveHour(), piece);
    const bool counts = (mode != Mode::TimeOnly && IsDateField(token.Kind, token.Count)) ||
                        (mode != Mode::DateOnly && IsTimeField(token.Kind));
    if (counts)
      fields.push_back({offset, static_cast<int>(piece.size()), token.Kind, token.Count,
                        AnsiLowerCase(token.Text), piece});
    offset += static_cast<int>(piece.size());
  }
  layout_.FieldsValue = value;
  layout_.FieldsValid = true;
  return fields;
}

int PickerModel::FieldCount() const { return Layout().FieldCount; }

int PickerModel::DisplayedFieldCount() const {
  if (!IsDefaultCombined()) return FieldCount();
  const auto& fields = Fields(value_);
  const auto shown = std::count_if(fields.begin(), fields.end(),
                                   [&](const TPickerField& f) { return f.Start < static_cast<int>(text_.size()); });
  return std::max(static_cast<int>(shown), 1);
}

TPickerField PickerModel::GetFieldInfo(int n, TDateTime value) const {
  const auto& fields = Fields(value);
  if (n < 1 || n > static_cast<int>(fields.size())) return {};
  return fields[n - 1];
}

// ---- text and selection ----

void PickerModel::SetSelection(int start, int length) {
  const int size = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
}

void PickerModel::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  SetSelection(selStart_, selLength_);
  Change();
}

void PickerModel::Change() {
  if (OnChange) OnChange();
  if (text_.empty()) value_ = GetMode() == Mode::TimeOnly ? WholeDay(value_) : TimeOfDay(value_);
}

void PickerModel::SelectField() {
  if (DroppedDown) {
    selLength_ = 0;
  } else if (ReadOnly) {
    SetSelection(0, static_cast<int>(text_.size()));
  } else {
    const TPickerField field = GetFieldInfo(currentField_, value_);
    SetSelection(field.Start, field.Length);
  }
  caretShown_ = false;
}

void PickerModel::ShowValue() {
  SetText(FormatValue(value_));
  SelectField();
}

void PickerModel::ReplaceSelection(const std::string& text) {
  const std::string replaced = text_.substr(0, selStart_) + text + text_.substr(selStart_ + selLength_);
  selStart_ += static_cast<int>(text.size());
  selLength_ = 0;
  SetText(replaced);
}

void PickerModel::MoveToField(int field) {
  currentField_ = field;
  SelectField();
}

// ---- limits ----

TDateTime PickerModel::LowerLimit() const { return limits_.HasMin() ? WholeDay(limits_.MinDate) : kLowestEditDay; }
TDateTime PickerModel::UpperLimit() const { return limits_.HasMax() ? WholeDay(limits_.MaxDate) : WholeDay(kMaxDateTime); }

bool PickerModel::WithinEffectiveLimits(TDateTime day) const {
  return WholeDay(day) >= LowerLimit() && WholeDay(day) <= UpperLimit();
}

TDateTime PickerModel::LimitedToday(TDateTime now) const {
  return JoinDateAndTime(std::clamp(WholeDay(now), LowerLimit(), UpperLimit()), now);
}

// ---- typing ----

int PickerModel::TwoDigitYear(int yy) const {
  const long long epoch = Epoch;
  const long long year = (epoch / 100 + (yy < epoch % 100 ? 1 : 0)) * 100 + yy;
  return static_cast<int>(std::clamp(year, -1LL, 100000LL));
}

void PickerModel::CommitTyping() {
  const Operation operation(*this);
  if (DroppedDown || !typing_) return;
  typing_ = false;  // before anything that changes the text
  const TPickerField field = GetFieldInfo(currentField_, value_);
  const int start = std::min(field.Start, static_cast<int>(text_.size()));
  const int length = std::clamp(selStart_ - start, 0, 4);
  const std::string digits = text_.substr(start, length);
  Parts parts = SplitValue();
  if (AllDigits(digits)) {
    const int number = DigitsValue(digits);
    switch (field.Kind) {
      case TDateTokenKind::Year:
        if (IsFourDigitYear(field) && digits.size() >= 3) {
          if (number != 0) parts.Year = number;
        } else {
          parts.Year = TwoDigitYear(number);
        }
        break;
      case TDateTokenKind::Day:
        if (number != 0) parts.Day = number;
        break;
      case TDateTokenKind::Month:
        if (number != 0) parts.Month = number;
        break;
      case TDateTokenKind::Hour: parts.Hour = number; break;
      case TDateTokenKind::Minute: parts.Minute = number; break;
      case TDateTokenKind::Second: parts.Second = number; break;
      default: break;
    }
  }
  ApplyParts(parts);
  Modified = true;
}

bool PickerModel::ApplyParts(int year, int month, int day, int hour, int minute, int second, int msec) {
  const Operation operation(*this);
  bool stored = false;
  if (GetMode() == Mode::TimeOnly) {
    TDateTime time;
    if (TryEncodeTime(hour, minute, second, msec, time)) {
      SetTime(time);
      stored = true;
    }
  } else {
    TDateTime date, time;
    if (month >= 1 && month <= 12 && TryEncodeDate(year, month, std::clamp(day, 1, DaysInMonth(year, month)), date) &&
        TryEncodeTime(hour, minute, second, msec, time) && WithinEffectiveLimits(date)) {
      StoreValue(JoinDateAndTime(date, time));
      stored = true;
    }
  }
  // Also when refused: the text shows the value, never what was typed.
  ShowValue();
  // A field the text no longer shows (the combined format at midnight) gives way to the last one shown.
  const int shown = DisplayedFieldCount();
  if (currentField_ > shown) MoveToField(shown);
  return stored;
}

// ---- keys ----

namespace {

// What a key does once mapped.
enum class Action { None, Left, Right, Space, Up, Down, Home, End, Delete, Back, Digit, Letter, Ignore };

}  // namespace

PickerModel::Parts PickerModel::SplitValue() const {
  Parts parts{};
  DecodeDate(value_, parts.Year, parts.Month, parts.Day);
  DecodeTime(value_, parts.Hour, parts.Minute, parts.Second, parts.Msec);
  return parts;
}

bool PickerModel::ApplyParts(const Parts& p) {
  return ApplyParts(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Msec);
}

void PickerModel::FillToday() {
  StoreValue(GetMode() == Mode::TimeOnly ? ::Time() : LimitedToday(::Date()));
  currentField_ = 1;
  ShowValue();
  Modified = true;
}

bool PickerModel::WholeTextSelected() const {
  return selStart_ == 0 && selLength_ == static_cast<int>(text_.size());
}

void PickerModel::KeyDown(KeyInput& key) {
  const Operation operation(*this);
  if (key.Key == 0) return;
  escapeClosed_ = false;
  const bool dropDownKey = (key.Alt && (key.Key == vk::Up || key.Key == vk::Down)) ||
                           (!key.Alt && (key.Key == vk::Return || key.Key == vk::Escape));
  if (dropDownKey && OnDropDownKey && OnDropDownKey(key)) {
    escapeClosed_ = key.Key == vk::Escape;
    key.Key = 0;
    return;
  }
  if (OnKeyDown) {
    OnKeyDown(key);
    if (key.Key == 0) return;
  }
  uint16_t code = key.Key;
  if (code == vk::Back && !WholeTextSelected()) code = vk::Left;
  if (code == vk::Right && key.Shift && currentField_ == 1) {
    SetSelection(0, static_cast<int>(text_.size()));
    key.Key = 0;
    return;
  }
  if (ReadOnly) return;
  const bool wasEmpty = value_ == 0;
  if (!DroppedDown && IsEditingKey(code) && value_ == 0) FillToday();
  if (key.Alt) return;

  Action action = Action::None;
  int digit = 0;
  char letter = 0;
  const unsigned char unshifted = static_cast<unsigned char>(key.Char);
  if (key.Char == '+' || key.Char == '=') {
    action = Action::Up;
  } else if (key.Char == '-') {
    action = Action::Down;
  } else if (code >= vk::Numpad0 && code <= vk::Numpad9) {
    action = Action::Digit, digit = code - vk::Numpad0;
  } else if (code >= '0' && code <= '9') {
    action = Action::Digit, digit = code - '0';
  } else if (key.Char != 0 && (key.Char == FormatSettings.DateSeparator || key.Char == FormatSettings.TimeSeparator)) {
    // With auto-advance a complete field has already moved on.
    action = (Options & 1) == 0 || typing_ ? Action::Right : Action::Ignore;
  } else if (code >= 'A' && code <= 'Z') {
    action = Action::Letter, letter = static_cast<char>(code);
  } else if (unshifted > 128) {
    action = Action::Letter, letter = key.Char;
  } else {
    switch (code) {
      case vk::Left: action = Action::Left; break;
      case vk::Right: action = Action::Right; break;
      case vk::Space: action = Action::Space; break;
      case vk::Up: action = Action::Up; break;
      case vk::Down: action = Action::Down; break;
      case vk::Home: action = Action::Home; break;
      case vk::End: action = Action::End; break;
      case vk::Delete: action = Action::Delete; break;
      case vk::Back: action = Action::Back; break;
      default: break;
    }
  }

  switch (action) {
    case Action::None:
      return;
    case Action::Ignore:
      key.Key = 0;
      return;
    case Action::Left:
      MoveLeft();
      key.Key = 0;
      return;
    case Action::Right:
    case Action::Space:
      MoveRight();
      if (action == Action::Right) key.Key = 0;
      return;
    case Action::Delete:
    case Action::Back: {
      const bool pending = typing_;
      DeleteKey(code, pending);
      if (!pending) key.Key = 0;
      return;
    }
    default:
      break;
  }

  // Home, End, Up, Down, a digit or a letter.
  if ((action == Action::Home || action == Action::End) && key.Shift) {
    SetSelection(0, static_cast<int>(text_.size()));
    key.Key = 0;
    return;
  }
  const bool moves = action == Action::Home || action == Action::End || action == Action::Up || action == Action::Down;
  if (moves) {
    CommitTyping();
    key.Key = 0;
    // On an empty picker these keys only show today.
    if (wasEmpty || value_ == 0) {
      if (value_ == 0) FillToday();
      return;
    }
  }
  const bool pending = typing_;
  typing_ = false;
  const TPickerField field = GetFieldInfo(currentField_, value_);
  Parts parts = SplitValue();
  bool completed = false;
  if (action == Action::Up || action == Action::Down) {
    StepField(parts, field, action == Action::Up ? 1 : -1);
  } else if (action == Action::Digit) {
    const bool accepted = IsFourDigitYear(field) ? TypeYearDigit(parts, field, digit, pending, completed)
                          : IsNumberField(field) ? TypeDigit(parts, field, digit, pending, completed)
                                                 : false;
    if (!accepted) {
      typing_ = pending;
      return;
    }
    if (typing_) return;  // a first digit waits for the next
  } else if (action == Action::Letter) {
    if (pending) {
      // A letter ends the typing: the digits typed so far are dropped.
      ShowValue();
    }
    TypeLetter(parts, field, letter);
  }
  const bool stored = ApplyParts(parts);
  if (completed && stored && (Options & 1) != 0 && currentField_ < DisplayedFieldCount()) MoveToField(currentField_ + 1);
  Modified = true;
}

void PickerModel::MoveLeft() {
  CommitTyping();
  MoveToField(currentField_ < 2 ? 1 : std::min(currentField_ - 1, DisplayedFieldCount()));
}

void PickerModel::MoveRight() {
  if (currentField_ < FieldCount()) {
    CommitTyping();
    if (IsDefaultCombined() && TimeOfDay(value_) == 0 && currentField_ >= DisplayedFieldCount()) {
      // Show the time part: the day stays, the time of day is now's.
      const TDateTime shown =
          WholeDay(value_) == 0 ? LimitedToday(::Date()) : JoinDateAndTime(value_, ::Now());
      if (limits_.Within(shown)) StoreValue(shown);
    }
    MoveToField(std::min(currentField_ + 1, DisplayedFieldCount()));
  } else if (typing_) {
    CommitTyping();
    SelectField();
  }
}

void PickerModel::DeleteKey(uint16_t code, bool pending) {
  if (pending) {
    // The pending digits are edited as plain text; those left of the caret stay pending.
    if (selLength_ == 0) {
      if (code == vk::Back && selStart_ > 0) {
        --selStart_, selLength_ = 1;
      } else if (code == vk::Delete && selStart_ < static_cast<int>(text_.size())) {
        selLength_ = 1;
      }
    }
    ReplaceSelection("");
    caretShown_ = true;
    return;
  }
  Modified = true;
  const TPickerField field = GetFieldInfo(currentField_, value_);
  if (GetMode() == Mode::DateOnly) {
    SetDate(0);
    caretShown_ = true;
  } else if (IsDefaultCombined() && TimeOfDay(value_) != 0 && IsTimeField(field.Kind)) {
    // Only the time goes: the text shows the date alone again.
    StoreValue(WholeDay(value_));
    MoveToField(DisplayedFieldCount());
  } else {
    ClearValue();
  }
}

void PickerModel::ClearValue() {
  typing_ = false;
  value_ = 0;
  SetText("");
  caretShown_ = true;
  currentField_ = 1;
  blank_ = true;
  Modified = true;
}

void PickerModel::StepField(Parts& parts, const TPickerField& field, int step) {
  switch (field.Kind) {
    case TDateTokenKind::AmPm:
      parts.Hour += parts.Hour < 12 ? 12 : -12;
      break;
    case TDateTokenKind::Day:
      if (IsWeekdayName(field)) {
        // Inside the week from its first day: past either end goes round.
        const int place = (MondayBasedDay(EncodeDate(parts.Year, parts.Month, parts.Day)) -
                           ResolveFirstDayOfWeek(FirstDayOfWeek) + 7) % 7;
        int offset = step;
        if (step > 0 && place == 6) offset = -6;
        if (step < 0 && place == 0) offset = 6;
        StepWeekday(parts, offset);
      } else {
        StepDate(parts, field.Kind, step, true);
      }
      break;
    case TDateTokenKind::Month:
    case TDateTokenKind::Year:
      StepDate(parts, field.Kind, step, true);
      break;
    case TDateTokenKind::Hour:
      parts.Hour = (parts.Hour + step + 24) % 24;
      break;
    case TDateTokenKind::Minute:
      parts.Minute = (parts.Minute + step + 60) % 60;
      break;
    case TDateTokenKind::Second:
      parts.Second = (parts.Second + step + 60) % 60;
      break;
    default:
      break;
  }
}

bool PickerModel::StepDate(Parts& parts, TDateTokenKind kind, int step, bool clamp) {
  int year = parts.Year, month = parts.Month, day = parts.Day;
  if (kind == TDateTokenKind::Day) {
    // Only clamped steps move the day number: it goes round inside its month.
    day = Wrapped(day + step, DaysInMonth(year, month));
  } else {
    const int months = kind == TDateTokenKind::Year ? 12 * step : step;
    const int total = year * 12 + (month - 1) + months;
    const int movedYear = total / 12, movedMonth = total % 12 + 1;
    if (movedYear < 1 || movedYear > 9999) return false;
    if (clamp && kind == TDateTokenKind::Month) {
      month = movedMonth;
    } else if (clamp) {
      year = movedYear;
    } else {
      year = movedYear, month = movedMonth;
    }
  }
  TDateTime moved = DateWithDayLimited(year, month, day);
  if (!clamp && !WithinEffectiveLimits(moved)) return false;
  moved = std::clamp(moved, LowerLimit(), UpperLimit());
  DecodeDate(moved, parts.Year, parts.Month, parts.Day);
  return true;
}

bool PickerModel::StepWeekday(Parts& parts, int offset) {
  const TDateTime moved = EncodeDate(parts.Year, parts.Month, parts.Day) + offset;
  if (!WithinEffectiveLimits(moved)) return false;
  DecodeDate(moved, parts.Year, parts.Month, parts.Day);
  return true;
}

bool PickerModel::TypeDigit(Parts& parts, const TPickerField& field, int digit, bool pending, bool& completed) {
  const bool twelveHour = TwelveHourFormat();
  const int daysInMonth = DaysInMonth(parts.Year, parts.Month);
  const int start = field.Start;
  if (pending && selStart_ == start + 1 && start < static_cast<int>(text_.size()) && text_[start] >= '0' &&
      text_[start] <= '9') {
    const int number = (text_[start] - '0') * 10 + digit;
    switch (field.Kind) {
      case TDateTokenKind::Day:
        if (number > daysInMonth) return false;
        if (number != 0) parts.Day = number;
        break;
      case TDateTokenKind::Month:
        if (number > 12) return false;
        if (number != 0) parts.Month = number;
        break;
      case TDateTokenKind::Hour:
        if (number >= (twelveHour ? 13 : 24)) return false;
        parts.Hour = number;
        break;
      case TDateTokenKind::Minute:
        if (number >= 60) return false;
        parts.Minute = number;
        break;
      case TDateTokenKind::Second:
        if (number >= 60) return false;
        parts.Second = number;
        break;
      default: {  // yy
        const int year = TwoDigitYear(number);
        TDateTime date;
        if (!TryEncodeDate(year, parts.Month, std::min(parts.Day, DaysInMonth(year, parts.Month)), date) ||
            !WithinEffectiveLimits(date))
          return false;
        parts.Year = year;
        break;
      }
    }
    completed = true;
    return true;
  }
  // A first digit: alone it completes a field no second digit could follow.
  bool complete = false;
  switch (field.Kind) {
    case TDateTokenKind::Day: complete = digit >= 4 || (digit == 3 && daysInMonth < 30); break;
    case TDateTokenKind::Month: complete = digit >= 2; break;
    case TDateTokenKind::Hour: complete = digit >= (twelveHour ? 2 : 3); break;
    case TDateTokenKind::Minute:
    case TDateTokenKind::Second: complete = digit >= 6; break;
    default: {  // yy: refused when every year it can start lies before the lower limit
      int latest = 0;
      for (int second = 0; second <= 9; ++second) latest = std::max(latest, TwoDigitYear(digit * 10 + second));
      if (latest < 1) return false;
      if (latest <= 9999 && EncodeDate(latest, 12, 31) < LowerLimit()) return false;
      break;
    }
  }
  if (complete) {
    switch (field.Kind) {
      case TDateTokenKind::Day: parts.Day = digit; break;
      case TDateTokenKind::Month: parts.Month = digit; break;
      case TDateTokenKind::Hour: parts.Hour = digit; break;
      case TDateTokenKind::Minute: parts.Minute = digit; break;
      default: parts.Second = digit; break;
    }
    completed = true;
    return true;
  }
  TypeFirstDigit(field, digit);
  return true;
}

// The digit replaces the field's text; the caret stands after it.
void PickerModel::TypeFirstDigit(const TPickerField& field, int digit) {
  SetSelection(field.Start, field.Length);
  ReplaceSelection(std::string(1, static_cast<char>('0' + digit)));
  caretShown_ = true;
  typing_ = true;  // after the text: a change handler reading the value must not take a lone digit
}

bool PickerModel::TypeYearDigit(Parts& parts, const TPickerField& field, int digit, bool pending, bool& completed) {
  const int typed = pending ? std::max(selStart_ - field.Start, 0) : 0;
  if (typed == 0) {
    TypeFirstDigit(field, digit);
    return true;
  }
  if (typed < 3) {
    ReplaceSelection(std::string(1, static_cast<char>('0' + digit)));
    caretShown_ = true;
    typing_ = true;
    return true;
  }
  const std::string digits = text_.substr(field.Start, 3);
  if (typed > 3 || !AllDigits(digits)) return false;
  const int year = DigitsValue(digits) * 10 + digit;
  if (year == 0) {
    // Back to the date the picker had when it was entered.
    if (!TryDecodeDate(FocusValue, parts.Year, parts.Month, parts.Day)) return false;
  } else {
    TDateTime date;
    if (!TryEncodeDate(year, parts.Month, std::min(parts.Day, DaysInMonth(year, parts.Month)), date) ||
        !WithinEffectiveLimits(date))
      return false;
    parts.Year = year;
  }
  completed = true;
  return true;
}

void PickerModel::TypeLetter(Parts& parts, const TPickerField& field, char letter) {
  const char upper = AnsiUpperChar(letter);
  if (field.Kind == TDateTokenKind::Month && field.Count >= 3) {
    const auto& names = field.Count == 3 ? FormatSettings.ShortMonthNames : FormatSettings.LongMonthNames;
    for (int month = parts.Month + 1; month <= 12; ++month)
      if (StartsWithLetter(names[month - 1], upper)) {
        StepDate(parts, TDateTokenKind::Month, month - parts.Month, false);
        return;
      }
    for (int month = 1; month < parts.Month; ++month)
      if (StartsWithLetter(names[month - 1], upper) && StepDate(parts, TDateTokenKind::Month, month - parts.Month, false))
        return;
  } else if (IsWeekdayName(field)) {
    const auto& names = field.Count == 3 ? FormatSettings.ShortDayNames : FormatSettings.LongDayNames;
    const int first = ResolveFirstDayOfWeek(FirstDayOfWeek);
    const int place = (MondayBasedDay(EncodeDate(parts.Year, parts.Month, parts.Day)) - first + 7) % 7;
    // The name of the day at `p` in the week; the names start with Sunday.
    const auto nameAt = [&](int p) -> const std::string& { return names[((first + p) % 7 + 1) % 7]; };
    for (int p = place + 1; p < 7; ++p)
      if (StartsWithLetter(nameAt(p), upper)) {
        StepWeekday(parts, p - place);
        return;
      }
    for (int p = 0; p < 7; ++p)
      if (StartsWithLetter(nameAt(p), upper)) {
        StepWeekday(parts, p - place);
        return;
      }
  } else if (field.Kind == TDateTokenKind::AmPm) {
    const bool morning = parts.Hour < 12;
    if (field.Count == 4) {
      const std::string& am = FormatSettings.TimeAMString;
      const std::string& pm = FormatSettings.TimePMString;
      if (!am.empty() && !pm.empty() && AnsiUpperChar(am[0]) == AnsiUpperChar(pm[0])) {
        if (StartsWithLetter(am, upper)) parts.Hour += morning ? 12 : -12;
      } else if (morning && StartsWithLetter(pm, upper)) {
        parts.Hour += 12;
      } else if (!morning && StartsWithLetter(am, upper)) {
        parts.Hour -= 12;
      }
    } else if (morning && upper == 'P') {
      parts.Hour += 12;
    } else if (!morning && upper == 'A') {
      parts.Hour -= 12;
    }
  }
}

void PickerModel::KeyPress(char& key) {
  if (key == 0) return;
  const unsigned char code = static_cast<unsigned char>(key);
  if (ReadOnly && (code >= 32 || key == kc::Backspace)) {
    key = 0;
    return;
  }
  if (OnKeyPress) {
    OnKeyPress(key);
    if (key == 0) return;
  }
  // Most characters were KeyDown's work and are only dropped here.
  std::optional<Operation> operation;
  if ((key == ' ' && text_.empty()) || key == kc::Escape || key == kc::Enter) operation.emplace(*this);
  if (key == ' ' && text_.empty()) {
    StoreValue(LimitedToday(::Now()));
    ShowValue();
    Modified = true;
    key = 0;
    return;
  }
  if (key == kc::Escape) {
    if (escapeClosed_) {
      escapeClosed_ = false;
    } else {
      // Back to the value the picker had when it was entered.
      typing_ = false;
      int year, month, day;
      value_ = TryDecodeDate(FocusValue, year, month, day) ? FocusValue : 0;
      ShowValue();
      if (!text_.empty()) blank_ = false;
      SetSelection(0, static_cast<int>(text_.size()));
    }
    key = 0;
    return;
  }
  if (key == kc::Enter && typing_) {
    CommitTyping();
    SelectField();
  }
  if (key == kc::CtrlX || key == kc::CtrlV || key == kc::Backspace || key == kc::Enter || code >= 32) key = 0;
}

// ---- mouse ----

void PickerModel::MouseDown(int x, const std::function<int(std::string_view)>& textWidth) {
  const Operation operation(*this);
  if (text_.empty()) return;
  CommitTyping();
  const std::vector<TPickerField> fields = Fields(value_);
  const int shown = std::min(DisplayedFieldCount(), static_cast<int>(fields.size()));
  for (int n = 1; n <= shown; ++n) {
    const auto& field = fields[n - 1];
    const std::size_t end = std::min<std::size_t>(field.Start + field.Length, text_.size());
    if (textWidth(std::string_view(text_).substr(0, end)) > x) {
      currentField_ = n;
      break;
    }
  }
  SelectField();
}

void PickerModel::DoubleClick() {
  const Operation operation(*this);
  CommitTyping();
  SetSelection(0, static_cast<int>(text_.size()));
}
