// The month calendar: a title bar of its own (previous and next buttons, a
// month button with the month menu, a year button with the year popup), a
// grid of days under it and a "Today: " footer. It keeps the value (a date
// with its time) within MinDate and MaxDate on every way of moving: the
// title buttons and the menus stop at a limit, a key move beyond one raises
// EDateTimeError and keeps the value, a click on a day outside them does
// nothing.
//
// Only moves a person makes run Change (and so OnChange); setting Date,
// MinDate or MaxDate from code never does. Every handler runs under
// GuardEvent; a range error goes to DateError first, so that a drop-down
// holding the calendar can close before the box shows.
#pragma once

#include "datetime/month_calendar_logic.h"
#include "datetime/qt/date_time_colors.h"

#include <QFrame>

#include <functional>
#include <utility>

class EDateTimeError;
class QLabel;
class QToolButton;
class TCalendarGrid;
class TCalendarPopupMenu;
class TYearPopup;

// mdoMultiSelect is kept in the set but changes nothing: the grid selects one day.
enum TdwMonthOption { mdoDayState, mdoWeekNumbers, mdoNoToday, mdoNoTodayCircle, mdoMultiSelect };
using TdwMonthOptions = unsigned;
constexpr TdwMonthOptions MonthOptions(TdwMonthOption o) { return 1u << o; }
constexpr TdwMonthOptions operator|(TdwMonthOption a, TdwMonthOption b) { return MonthOptions(a) | MonthOptions(b); }

enum TBorderStyle { bsNone, bsSingle };

// What lies under a point of the calendar.
enum TCalendarHitCode {
  mchtNowhere,
  mchtTitleBtnPrev,
  mchtTitleBtnNext,
  mchtTitleMonth,
  mchtTitleYear,
  mchtCalendarDate,          // a day of the shown month
  mchtCalendarDateTrailing,  // a day of the month before or after
  mchtTodayLink,
};

struct TCalendarHit {
  TCalendarHitCode Code = mchtNowhere;
  TDateTime Date = 0;  // the day under the point; 0 off the days
};

class TdwMonthCalendar;
using TNotifyEvent = std::function<void(TdwMonthCalendar& Sender)>;
// True when Day is to show bold.
using TCalcBoldDayEvent = std::function<bool(TdwMonthCalendar& Sender, TDateTime Day)>;
using TmcMouseUPDownEvent = std::function<void(TdwMonthCalendar& Sender, Qt::MouseButton Button,
                                               Qt::KeyboardModifiers Shift, int X, int Y, TCalendarHit Hit)>;
using TmcMouseMoveEvent =
    std::function<void(TdwMonthCalendar& Sender, Qt::KeyboardModifiers Shift, int X, int Y, TCalendarHit Hit)>;

class TdwMonthCalendar : public QFrame {
public:
  // The value is Now(); today's cell framed; the day-state option set.
  explicit TdwMonthCalendar(QWidget* parent = nullptr);
  ~TdwMonthCalendar() override;

  TDateTime Date() const { return FValue; }
  TDateTime Time() const { return FValue; }
  // Acts only when the day changes: the new day with the value's time of
  // day, checked against the limits (raises EDateTimeError, value kept).
  void SetDate(TDateTime value);
  // The time of day of `value` on the value's day.
  void SetTime(TDateTime value);

  TDateTime MinDate() const { return FLimits.MinDate; }
  TDateTime MaxDate() const { return FLimits.MaxDate; }
  // 0 clears the limit. A limit crossing the other raises EDateTimeError.
  // The value is not re-checked.
  void SetMinDate(TDateTime value);
  void SetMaxDate(TDateTime value);
  const TDateLimits& Limits() const { return FLimits; }

  TdwMonthOptions Options() const { return FOptions; }
  void SetOptions(TdwMonthOptions options);
  bool HasOption(TdwMonthOption o) const { return (FOptions & MonthOptions(o)) != 0; }

  TdwCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
  void SetFirstDayOfWeek(TdwCalDayOfWeek day);

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);

  TdwDateTimeColors& CalColors() { return FCalColors; }
  void SetCalColors(const TdwDateTimeColors& colors) { FCalColors.Assign(colors); }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);

  TdwPopupYearOptions& PopupYearOptions() { return FPopupYearOptions; }
  void SetPopupYearOptions(const TdwPopupYearOptions& options) { FPopupYearOptions.Assign(options); }

  // Never below the size the title bar, grid and footer need.
  void SetWidth(int width);
  void SetHeight(int height);
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

  // True while the month menu or the year popup is open.
  bool IsPopupShowing() const;

  // What lies under `pos` (in the calendar's coordinates).
  TCalendarHit HitTest(QPoint pos) const;

  // The month shown when the last press on the days came: a press on a
  // trailing day turns the page before its click arrives.
  std::pair<int, int> ShownMonthAtPress() const { return FShownAtPress; }
  // The shown page.
  int YearShown() const;
  int MonthShown() const;

  TNotifyEvent OnChange;
  TCalcBoldDayEvent OnCalcBoldDay;
  TmcMouseUPDownEvent OnMouseDown;
  TmcMouseUPDownEvent OnMouseUp;
  TmcMouseMoveEvent OnMouseMove;

  // Runs OnChange; a drop-down holding the calendar adds to it.
  virtual void Change();
  // Focuses the grid when the calendar is visible; a drop-down holding the
  // calendar focuses itself instead.
  virtual void FocusWhenVisible();

  // The parts, for a drop-down that places itself by them and for tests.
  TCalendarGrid* Grid() const { return FGrid; }
  QToolButton* PrevButton() const { return FPrev; }
  QToolButton* NextButton() const { return FNext; }
  QToolButton* MonthButton() const { return FMonthButton; }
  QToolButton* YearButton() const { return FYearButton; }
  QToolButton* TodayButton() const { return FToday; }
  TCalendarPopupMenu* MonthMenu() const { return FMonthMenu; }
  // Null until the year title's first use.
  TYearPopup* YearPopup() const { return FYearPopup; }

  // Handlers, named as the control's messages and events are; the widgets'
  // events call them, and so may tests.
  // A press on the title or its buttons: OnMouseDown, then the button's move or the title's menu.
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
  // PgUp, PgDn and the arrows without Ctrl. True when the key was taken.
  bool KeyDown(int key, Qt::KeyboardModifiers shift);
  void MonthMenuClick(int month);
  void YearMenuClick(const TCalendarMenuItem& item);
  void TodayClick();

protected:
  // A range error of a move a person made: shown by the exception reporter.
  virtual void DateError(const EDateTimeError& error);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  // Runs a handler: a range error goes to DateError, anything else to the
  // exception reporter; nothing escapes into Qt's event dispatch.
  template <class Fn>
  void Guarded(Fn&& fn);
  // A move by the mouse: stops at the limits, never raises.
  void MoveByMouse(TDateTime target);
  void StepTitle(bool next);
  void ShowMonthMenuStates();
  void ToggleYearPopup();
  void SelectInGrid();
  // Stores the limits and gives the grid its range.
  void ApplyRange(const TDateLimits& limits);
  void ApplyColor(TCalendarColorPart part, TColor color);
  void ApplyOptions();
  void ApplyFirstDayOfWeek();
  void ShowTitle();
  void ShowToday();
  void AskBoldDays();
  void GridSelectionChanged();
  void RefitSize();
  int ValueDay() const;
  int ValueMonth() const;
  int ValueYear() const;

  TDateTime FValue = 0;
  TDateLimits FLimits;
  TdwMonthOptions FOptions = MonthOptions(mdoDayState);
  TdwCalDayOfWeek FFirstDayOfWeek = dwdowLocaleDefault;
  TBorderStyle FBorderStyle = bsNone;
  TColor FColor = clWindow;
  TdwDateTimeColors FCalColors;
  TdwPopupYearOptions FPopupYearOptions;
  int FWidth = 155;
  int FHeight = 0;

  // Set while code (not a person) moves the grid's selection or range.
  bool FProgrammatic = false;
  std::pair<int, int> FShownAtPress = {0, 0};
  int FTitleYear = 0;
  int FTitleMonth = 0;

  QWidget* FTitleBar = nullptr;
  QToolButton* FPrev = nullptr;
  QToolButton* FNext = nullptr;
  QToolButton* FMonthButton = nullptr;
  QToolButton* FYearButton = nullptr;
  QToolButton* FToday = nullptr;
  TCalendarGrid* FGrid = nullptr;
  TCalendarPopupMenu* FMonthMenu = nullptr;
  TYearPopup* FYearPopup = nullptr;
};
