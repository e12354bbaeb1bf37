#include "datetime/qt/month_calendar.h"

#include "datetime/qt/calendar_grid.h"
#include "datetime/qt/calendar_popup_menu.h"
#include "datetime/qt/year_popup.h"
#include "platform/date_clock.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/message_beep.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTableView>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QDate ToQDate(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  return QDate(year, month, day);
}

TDateTime FromQDate(QDate date) { return EncodeDate(date.year(), date.month(), date.day()); }

// The time of day of a value as a fraction in [0, 1).
TDateTime TimeOfDay(TDateTime value) {
  int hour, minute, second, ms;
  DecodeTime(value, hour, minute, second, ms);
  return EncodeTime(hour, minute, second, ms);
}

QToolButton* TitleButton(QWidget* parent, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

TdwMonthCalendar::TdwMonthCalendar(QWidget* parent) : QFrame(parent) {
  setObjectName("monthCalendar");
  setAutoFillBackground(true);
  // Its height is its own: a layout never stretches the grid's rows.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  FValue = Now();

  FTitleBar = new QWidget(this);
  FTitleBar->setObjectName("titleBar");
  FTitleBar->setAutoFillBackground(true);
  FPrev = TitleButton(FTitleBar, "prevButton");
  FPrev->setArrowType(Qt::LeftArrow);
  FNext = TitleButton(FTitleBar, "nextButton");
  FNext->setArrowType(Qt::RightArrow);
  FMonthButton = TitleButton(FTitleBar, "monthButton");
  FYearButton = TitleButton(FTitleBar, "yearButton");
  QFont titleFont = FMonthButton->font();
  titleFont.setBold(true);
  FMonthButton->setFont(titleFont);
  FYearButton->setFont(titleFont);

  FMonthMenu = new TCalendarPopupMenu(this);
  for (int month = 1; month <= 12; ++month) {
    QAction* item = FMonthMenu->addAction(WidgetText(FormatSettings.LongMonthNames[month - 1]));
    connect(item, &QAction::triggered, this, [this, month] { Guarded([&] { MonthMenuClick(month); }); });
  }
  connect(FMonthMenu, &QMenu::aboutToShow, this, [this] { Guarded([&] { ShowMonthMenuStates(); }); });
  // A press on the month title while the menu is open only closes it.
  FMonthMenu->setNoReplayFor(FMonthButton);

  auto* title = new QHBoxLayout(FTitleBar);
  title->setContentsMargins(2, 2, 2, 2);
  title->setSpacing(0);
  title->addWidget(FPrev);
  title->addStretch();
  title->addWidget(FMonthButton);
  title->addWidget(FYearButton);
  title->addStretch();
  title->addWidget(FNext);

  FGrid = new TCalendarGrid(this);
  FGrid->setObjectName("grid");
  setFocusProxy(FGrid);
  FToday = new QToolButton(this);
  FToday->setObjectName("todayButton");
  FToday->setAutoRaise(true);
  FToday->setFocusPolicy(Qt::NoFocus);
  FToday->setAutoFillBackground(true);
  QFont todayFont = FToday->font();
  todayFont.setBold(true);
  FToday->setFont(todayFont);
  connect(FToday, &QToolButton::clicked, this, [this] { Guarded([&] { TodayClick(); }); });

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(FTitleBar);
  column->addWidget(FGrid);
  column->addWidget(FToday, 0, Qt::AlignLeft);

  for (QWidget* w : {static_cast<QWidget*>(FPrev), static_cast<QWidget*>(FNext),
                     static_cast<QWidget*>(FMonthButton), static_cast<QWidget*>(FYearButton)})
    w->installEventFilter(this);
  if (QTableView* view = FGrid->View()) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    view->viewport()->setMouseTracking(true);
  }
  connect(FGrid, &QCalendarWidget::selectionChanged, this, [this] { Guarded([&] { GridSelectionChanged(); }); });
  connect(FGrid, &QCalendarWidget::currentPageChanged, this, [this] {
    Guarded([&] {
      ShowTitle();
      AskBoldDays();
    });
  });

  FCalColors.OnColorChanged = [this](TCalendarColorPart part, TColor color) { ApplyColor(part, color); };
  for (int part = mcscBackground; part <= mcscTrailingText; ++part)
    ApplyColor(TCalendarColorPart(part), FCalColors.Color(TCalendarColorPart(part)));
  SetColor(clWindow);
  ApplyRange(FLimits);
  ApplyOptions();
  ApplyFirstDayOfWeek();
  SelectInGrid();
  ShowTitle();
  RefitSize();
}

TdwMonthCalendar::~TdwMonthCalendar() = default;

template <class Fn>
void TdwMonthCalendar::Guarded(Fn&& fn) {
  GuardEvent([&] {
    try {
      fn();
    } catch (const EDateTimeError& e) {
      DateError(e);
    }
  });
}

void TdwMonthCalendar::DateError(const EDateTimeError& error) { ReportException(error); }

void TdwMonthCalendar::Change() {
  if (OnChange) OnChange(*this);
}

void TdwMonthCalendar::FocusWhenVisible() {
  if (isVisible()) FGrid->setFocus();
}

int TdwMonthCalendar::ValueYear() const {
  int year, month, day;
  DecodeDate(FValue, year, month, day);
  return year;
}

int TdwMonthCalendar::ValueMonth() const {
  int year, month, day;
  DecodeDate(FValue, year, month, day);
  return month;
}

int TdwMonthCalendar::ValueDay() const {
  int year, month, day;
  DecodeDate(FValue, year, month, day);
  return day;
}

int TdwMonthCalendar::YearShown() const { return FGrid->yearShown(); }
int TdwMonthCalendar::MonthShown() const { return FGrid->monthShown(); }

// ---- value and limits

void TdwMonthCalendar::SetDate(TDateTime value) {
  if (WholeDay(value) == WholeDay(FValue)) return;
  const TDateTime newValue = JoinDateAndTime(WholeDay(value), TimeOfDay(FValue));
  if (newValue != 0) CheckWithinLimits(newValue, FLimits);
  // Decoding raises EConvertError for a value no calendar holds, before anything changes.
  const QDate selection = ToQDate(GridSelection(newValue, FLimits));
  FValue = newValue;
  QScopedValueRollback programmatic(FProgrammatic, true);
  FGrid->setSelectedDate(selection);
}

void TdwMonthCalendar::SetTime(TDateTime value) { FValue = JoinDateAndTime(WholeDay(FValue), TimeOfDay(value)); }

void TdwMonthCalendar::SetMaxDate(TDateTime value) {
  CheckNewMaxDate(value, FLimits);
  if (value == FLimits.MaxDate) return;
  TDateLimits limits = FLimits;
  limits.MaxDate = value;
  ApplyRange(limits);
}

void TdwMonthCalendar::SetMinDate(TDateTime value) {
  CheckNewMinDate(value, FLimits);
  if (value == FLimits.MinDate) return;
  TDateLimits limits = FLimits;
  limits.MinDate = value;
  ApplyRange(limits);
}

void TdwMonthCalendar::ApplyRange(const TDateLimits& limits) {
  // Decoding raises EConvertError for a limit no calendar holds, before anything changes.
  const QDate minimum = ToQDate(GridMinimum(limits));
  const QDate maximum = ToQDate(GridMaximum(limits));
  FLimits = limits;
  QScopedValueRollback programmatic(FProgrammatic, true);
  FGrid->setDateRange(minimum, maximum);
}

void TdwMonthCalendar::SelectInGrid() {
  QScopedValueRollback programmatic(FProgrammatic, true);
  FGrid->setSelectedDate(ToQDate(GridSelection(FValue, FLimits)));
}

void TdwMonthCalendar::MoveByMouse(TDateTime target) { SetDate(FLimits.Clamped(target)); }

void TdwMonthCalendar::GridSelectionChanged() {
  if (FProgrammatic) return;
  // A click, a Ctrl key or Home/End: Qt kept the day within the range.
  const TDateTime chosen = FromQDate(FGrid->selectedDate());
  if (WholeDay(chosen) != WholeDay(FValue)) FValue = JoinDateAndTime(chosen, TimeOfDay(FValue));
  Change();
}

// ---- appearance

void TdwMonthCalendar::SetOptions(TdwMonthOptions options) {
  FOptions = options;
  ApplyOptions();
}

void TdwMonthCalendar::ApplyOptions() {
  FGrid->setVerticalHeaderFormat(HasOption(mdoWeekNumbers) ? QCalendarWidget::ISOWeekNumbers
                                                           : QCalendarWidget::NoVerticalHeader);
  ShowToday();
  AskBoldDays();
  RefitSize();
}

void TdwMonthCalendar::ShowToday() {
  FToday->setVisible(!HasOption(mdoNoToday));
  FToday->setText(WidgetText("Today: " + DateToStr(::Date())));
  FGrid->SetTodayFrame(HasOption(mdoNoTodayCircle) ? QDate() : ToQDate(::Date()));
}

void TdwMonthCalendar::SetFirstDayOfWeek(TdwCalDayOfWeek day) {
  FFirstDayOfWeek = day;
  ApplyFirstDayOfWeek();
}

void TdwMonthCalendar::ApplyFirstDayOfWeek() {
  // 0 = Monday ... 6 = Sunday; Qt counts Monday = 1 ... Sunday = 7.
  FGrid->setFirstDayOfWeek(Qt::DayOfWeek(ResolveFirstDayOfWeek(FFirstDayOfWeek) + 1));
}

void TdwMonthCalendar::SetBorderStyle(TBorderStyle style) {
  FBorderStyle = style;
  setFrameStyle(style == bsSingle ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
  RefitSize();
}

void TdwMonthCalendar::SetColor(TColor color) {
  FColor = color;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(color));
  setPalette(p);
}

void TdwMonthCalendar::ApplyColor(TCalendarColorPart part, TColor color) {
  const QColor c = ToQColor(color);
  auto recolor = [&](QWidget* w, std::initializer_list<std::pair<QPalette::ColorGroup, QPalette::ColorRole>> roles) {
    QPalette p = w->palette();
    for (auto [group, role] : roles) p.setColor(group, role, c);
    w->setPalette(p);
  };
  switch (part) {
    case mcscBackground: recolor(FToday, {{QPalette::All, QPalette::Window}, {QPalette::All, QPalette::Button}}); break;
    case mcscText:
      recolor(FGrid, {{QPalette::Active, QPalette::Text}, {QPalette::Inactive, QPalette::Text}});
      recolor(FToday, {{QPalette::All, QPalette::ButtonText}});
      break;
    case mcscTitleBk:
      recolor(FTitleBar, {{QPalette::All, QPalette::Window}, {QPalette::All, QPalette::Button}});
      break;
    case mcscTitleText:
      for (QWidget* w : FTitleBar->findChildren<QWidget*>())
        recolor(w, {{QPalette::All, QPalette::ButtonText}, {QPalette::All, QPalette::WindowText}});
      break;
    case mcscMonthBk: recolor(FGrid, {{QPalette::All, QPalette::Base}, {QPalette::All, QPalette::AlternateBase}}); break;
    // The grid draws the days of the months before and after in its
    // disabled text colour.
    case mcscTrailingText: recolor(FGrid, {{QPalette::Disabled, QPalette::Text}}); break;
  }
}

void TdwMonthCalendar::ShowTitle() {
  const int month = FGrid->monthShown();
  FMonthButton->setText(WidgetText(FormatSettings.LongMonthNames[month - 1]));
  FYearButton->setText(QString::number(FGrid->yearShown()));
}

void TdwMonthCalendar::AskBoldDays() {
  FGrid->setDateTextFormat(QDate(), QTextCharFormat());
  if (!HasOption(mdoDayState) || !OnCalcBoldDay) return;
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  const QDate shown(FGrid->yearShown(), FGrid->monthShown(), 1);
  for (int offset = -1; offset <= 1; ++offset) {
    const QDate first = shown.addMonths(offset);
    for (int day = 1; day <= first.daysInMonth(); ++day) {
      const QDate date(first.year(), first.month(), day);
      if (OnCalcBoldDay(*this, FromQDate(date))) FGrid->setDateTextFormat(date, bold);
    }
  }
}

// ---- size

QSize TdwMonthCalendar::minimumSizeHint() const {
  const QMargins frame = contentsMargins();
  const QSize title = FTitleBar->minimumSizeHint();
  const QSize grid = FGrid->minimumSizeHint();
  const QSize today = FToday->isVisibleTo(this) ? FToday->sizeHint() : QSize(0, 0);
  const int width = std::max({title.width(), grid.width(), today.width()});
  return QSize(width + frame.left() + frame.right(),
               title.height() + grid.height() + today.height() + frame.top() + frame.bottom());
}

QSize TdwMonthCalendar::sizeHint() const {
  const QSize least = minimumSizeHint();
  return QSize(std::max(FWidth, least.width()), std::max(FHeight, least.height()));
}

void TdwMonthCalendar::SetWidth(int width) {
  FWidth = width;
  RefitSize();
}

void TdwMonthCalendar::SetHeight(int height) {
  FHeight = height;
  RefitSize();
}

void TdwMonthCalendar::RefitSize() {
  updateGeometry();
  resize(sizeHint());
}

// ---- hit test and the mouse

TCalendarHit TdwMonthCalendar::HitTest(QPoint pos) const {
  const QWidget* under = childAt(pos);
  for (const QWidget* w = under; w && w != this; w = w->parentWidget()) {
    if (w == FPrev) return {mchtTitleBtnPrev, 0};
    if (w == FNext) return {mchtTitleBtnNext, 0};
    if (w == FMonthButton) return {mchtTitleMonth, 0};
    if (w == FYearButton) return {mchtTitleYear, 0};
    if (w == FToday) return {mchtTodayLink, 0};
  }
  QTableView* view = FGrid->View();
  if (!view) return {};
  const QPoint inViewport = view->viewport()->mapFrom(this, pos);
  if (!view->viewport()->rect().contains(inViewport)) return {};
  const QDate date = FGrid->DateAt(inViewport);
  if (!date.isValid()) return {};
  const bool inMonth = date.month() == FGrid->monthShown() && date.year() == FGrid->yearShown();
  return {inMonth ? mchtCalendarDate : mchtCalendarDateTrailing, FromQDate(date)};
}

void TdwMonthCalendar::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
  const TCalendarHit hit = HitTest(pos);
  if (OnMouseDown) OnMouseDown(*this, button, shift, pos.x(), pos.y(), hit);
  if (button != Qt::LeftButton) return;
  switch (hit.Code) {
    case mchtTitleBtnNext: StepTitle(true); break;
    case mchtTitleBtnPrev: StepTitle(false); break;
    case mchtTitleYear: ToggleYearPopup(); break;
    case mchtTitleMonth: FMonthMenu->popup(FMonthButton->mapToGlobal(QPoint(0, FMonthButton->height()))); break;
    default: break;
  }
}

void TdwMonthCalendar::StepTitle(bool next) {
  const TTitleStep step = TitleButtonStep(FGrid->yearShown(), FGrid->monthShown(), ValueDay(), next, FLimits);
  SetDate(step.Date);
  // At the limit the value may already be there; the page still follows it.
  SelectInGrid();
  if (step.Beep) MessageBeep(0);
  Change();
}

// ---- the month menu

void TdwMonthCalendar::ShowMonthMenuStates() {
  FTitleYear = FGrid->yearShown();
  FTitleMonth = FGrid->monthShown();
  const auto items = MonthMenuItems(FTitleYear, ValueMonth(), ValueDay(), FLimits);
  const QList<QAction*> actions = FMonthMenu->actions();
  for (std::size_t i = 0; i < items.size() && i < std::size_t(actions.size()); ++i) {
    // Only the current month carries a mark: a box beside every other would crowd the menu.
    actions[qsizetype(i)]->setCheckable(items[i].Checked);
    actions[qsizetype(i)]->setChecked(items[i].Checked);
    actions[qsizetype(i)]->setEnabled(items[i].Enabled);
  }
}

void TdwMonthCalendar::MonthMenuClick(int month) {
  MoveByMouse(DateWithDayLimited(FTitleYear ? FTitleYear : FGrid->yearShown(), month, ValueDay()));
  SelectInGrid();
  Change();
}

// ---- the year popup

void TdwMonthCalendar::ToggleYearPopup() {
  if (FYearPopup && (FYearPopup->isVisible() || FYearPopup->ClosedByOpener())) {
    FYearPopup->hide();
    return;
  }
  if (!FYearPopup) {
    FYearPopup = new TYearPopup(this);
    FYearPopup->SetOpener(FYearButton);
  }
  FTitleYear = FGrid->yearShown();
  FTitleMonth = FGrid->monthShown();
  const auto items = YearMenuItems(FPopupYearOptions, ValueYear(), ValueMonth(), ValueDay(), FLimits);
  FYearPopup->SetItems(items, [this](const TCalendarMenuItem& item) { Guarded([&] { YearMenuClick(item); }); });
  const QString label = WidgetText(items.empty() ? std::string() : items.front().Caption);
  const int dpi = screen() ? int(screen()->logicalDotsPerInch()) : 96;
  const int shift = YearMenuShift(FPopupYearOptions, QFontMetrics(FYearPopup->font()).horizontalAdvance(label), dpi);
  const QPoint below = FYearButton->mapToGlobal(QPoint(0, FYearButton->height()));
  FYearPopup->move(below.x() - shift, below.y());
  FYearPopup->show();
}

void TdwMonthCalendar::YearMenuClick(const TCalendarMenuItem& item) {
  int year = item.Number;
  if (item.Kind == TCalendarMenuItem::EditYear) {
    const auto answer = AskEditYear(FLimits, ValueMonth(), ValueDay());
    if (!answer) return;
    year = *answer;
  }
  MoveByMouse(DateWithDayLimited(year, ValueMonth(), ValueDay()));
  SelectInGrid();
  Change();
}

bool TdwMonthCalendar::IsPopupShowing() const {
  return FMonthMenu->Popping() || (FYearPopup && FYearPopup->isVisible());
}

// ---- today and keys

void TdwMonthCalendar::TodayClick() {
  const TDateTime today = ::Date();
  if (!FLimits.Within(today)) return;
  SetDate(today);
  SelectInGrid();
  Change();
}

bool TdwMonthCalendar::KeyDown(int key, Qt::KeyboardModifiers shift) {
  if (shift & Qt::ControlModifier) return false;
  TCalendarKey move;
  switch (key) {
    case Qt::Key_PageUp: move = TCalendarKey::PageUp; break;
    case Qt::Key_PageDown: move = TCalendarKey::PageDown; break;
    case Qt::Key_Left: move = TCalendarKey::Left; break;
    case Qt::Key_Right: move = TCalendarKey::Right; break;
    case Qt::Key_Up: move = TCalendarKey::Up; break;
    case Qt::Key_Down: move = TCalendarKey::Down; break;
    default: return false;
  }
  Guarded([&] {
    SetDate(KeyMoveTarget(move, FValue));
    Change();
  });
  return true;
}

// ---- events

bool TdwMonthCalendar::eventFilter(QObject* watched, QEvent* event) {
  QTableView* view = FGrid->View();
  const auto type = event->type();
  if (view && watched == view && type == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    return KeyDown(key->key(), key->modifiers());
  }
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                     type == QEvent::MouseButtonRelease || type == QEvent::MouseMove;
  if (!mouse || !watched->isWidgetType()) return QFrame::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  const QPoint pos = static_cast<QWidget*>(watched)->mapTo(this, me->position().toPoint());
  const bool onDays = view && watched == view->viewport();
  const bool onTitle = watched == FPrev || watched == FNext || watched == FMonthButton || watched == FYearButton;
  if (!onDays && !onTitle) return QFrame::eventFilter(watched, event);

  if (type == QEvent::MouseButtonRelease || type == QEvent::MouseMove) {
    Guarded([&] {
      const TCalendarHit hit = HitTest(pos);
      if (type == QEvent::MouseMove && OnMouseMove) OnMouseMove(*this, me->modifiers(), pos.x(), pos.y(), hit);
      if (type == QEvent::MouseButtonRelease && OnMouseUp)
        OnMouseUp(*this, me->button(), me->modifiers(), pos.x(), pos.y(), hit);
    });
    return QFrame::eventFilter(watched, event);
  }
  if (onTitle) {
    // Presses on the title and its buttons are the calendar's own.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
      Guarded([&] { MouseDown(me->button(), me->modifiers(), pos); });
    return true;
  }
  FShownAtPress = {FGrid->yearShown(), FGrid->monthShown()};
  bool outside = false;
  Guarded([&] {
    const TCalendarHit hit = HitTest(pos);
    outside = hit.Code != mchtNowhere && !FLimits.Within(hit.Date);
    if (type == QEvent::MouseButtonPress) MouseDown(me->button(), me->modifiers(), pos);
  });
  // A day beyond a limit never reaches the grid, so it is never selected.
  return outside;
}

void TdwMonthCalendar::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  Guarded([&] {
    ShowToday();
    AskBoldDays();
  });
}

void TdwMonthCalendar::hideEvent(QHideEvent* event) {
  if (FYearPopup) FYearPopup->hide();
  FMonthMenu->hide();
  QFrame::hideEvent(event);
}
