// The month calendar's page change with bold days against a bare
// QCalendarWidget doing the same: 500 page changes (250 months on, 250 back),
// each page asking for the bold days of the month before, the shown month and
// the month after, old bold formats cleared. Offscreen.
//
// The picker model typing 10,000 dates key by key ("1 2 / 3 1 / 2 0 3 0", the
// picker blanked with Del before each) against FormatDateTime of the same
// dates in the same format, once per date and once per key (what a plain
// edit box that rewrote its text on every key would cost). No window.
//
// A date picker shown in a window taking 1,000 dates as key events (the
// same keys) against the picker model taking the same keys and against a
// plain QLineEdit typing them (Qt's own cost of a key); and a picker's
// first drop-down (the calendar made, filled, placed and shown in its popup,
// then closed) against a bare QCalendarWidget shown and hidden in a
// Qt::Popup, 50 times each, a new picker or widget each time.
//
// The table at the end gives the mean of each and the ratios calendar/bare,
// typed/formatted, shown picker/model, shown picker/plain line edit and
// drop-down/bare popup.
#include "bench/bench_support.h"
#include "datetime/dw_intl.h"
#include "datetime/picker_model.h"
#include "datetime/tests/picker_keys.h"
#include "datetime/qt/date_time_picker.h"
#include "datetime/qt/month_calendar.h"
#include "platform/datetime_value.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCharFormat>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kPageChanges = 500;

bool IsBold(int day) { return day == 1 || day % 7 == 0; }

// The month `step` pages from the start, going on for the first half and
// back for the second.
int MonthOffset(int step) { return step < kPageChanges / 2 ? step + 1 : kPageChanges - step - 1; }

void Calendar(benchmark::State& state) {
  TdwMonthCalendar calendar;
  calendar.OnCalcBoldDay = [](TdwMonthCalendar&, TDateTime day) {
    int y, m, d;
    DecodeDate(day, y, m, d);
    return IsBold(d);
  };
  calendar.show();
  QApplication::processEvents();
  const TDateTime start = EncodeDate(2000, 1, 15);
  calendar.SetDate(start);
  bench::Timed(state, "calendar", [&] {
    for (int step = 0; step < kPageChanges; ++step) calendar.SetDate(IncMonth(start, MonthOffset(step)));
  });
}

void Bare(benchmark::State& state) {
  QCalendarWidget calendar;
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  QObject::connect(&calendar, &QCalendarWidget::currentPageChanged, [&](int year, int month) {
    calendar.setDateTextFormat(QDate(), QTextCharFormat());
    const QDate shown(year, month, 1);
    for (int offset = -1; offset <= 1; ++offset) {
      const QDate first = shown.addMonths(offset);
      for (int day = 1; day <= first.daysInMonth(); ++day)
        if (IsBold(day)) calendar.setDateTextFormat(QDate(first.year(), first.month(), day), bold);
    }
  });
  calendar.show();
  QApplication::processEvents();
  const QDate start(2000, 1, 15);
  calendar.setSelectedDate(start);
  bench::Timed(state, "bare", [&] {
    for (int step = 0; step < kPageChanges; ++step) calendar.setSelectedDate(start.addMonths(MonthOffset(step)));
  });
}

constexpr int kTypedDates = 10000;

// Dates spread over 1950-2049, each with its keys.
struct TypedDate {
  TDateTime Value;
  std::vector<picker_keys::TKeyStroke> Keys;
};

std::vector<TypedDate> DatesToType(int count = kTypedDates) {
  std::vector<TypedDate> dates;
  for (int i = 0; i < count; ++i) {
    const int year = 1950 + i % 100, month = 1 + i % 12, day = 1 + i % 28;
    TypedDate date{EncodeDate(year, month, day), {picker_keys::Stroke("Del")}};
    const std::string text = std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
    for (const char c : text) date.Keys.push_back(picker_keys::Stroke(std::string(1, c)));
    dates.push_back(std::move(date));
  }
  return dates;
}

void Typed(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType();
  PickerModel model;
  model.SetUnboundDataType(dwDTEdtDate);
  bench::Timed(state, "typed", [&] {
    for (const TypedDate& date : dates) {
      for (const picker_keys::TKeyStroke& key : date.Keys) picker_keys::Press(model, key);
      bench::Check(model.GetDate() == date.Value, "typed " + model.Text());
    }
  });
}

void Formatted(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType();
  std::size_t length = 0;
  bench::Timed(state, "formatted", [&] {
    for (const TypedDate& date : dates) length += FormatDateTime(FormatSettings.ShortDateFormat, date.Value).size();
  });
  benchmark::DoNotOptimize(length);
}

void FormattedPerKey(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType();
  std::size_t length = 0;
  bench::Timed(state, "formatted per key", [&] {
    for (const TypedDate& date : dates)
      for (std::size_t key = 0; key < date.Keys.size(); ++key)
        length += FormatDateTime(FormatSettings.ShortDateFormat, date.Value).size();
  });
  benchmark::DoNotOptimize(length);
}

constexpr int kPickerDates = 1000;

// The Qt key press a keyboard gives for each key of a typed date.
QKeyEvent KeyEventOf(const picker_keys::TKeyStroke& stroke) {
  const uint16_t code = stroke.Key.Key;
  if (code == vk::Delete) return QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  if (code == vk::Oem2) return QKeyEvent(QEvent::KeyPress, Qt::Key_Slash, Qt::NoModifier, "/");
  return QKeyEvent(QEvent::KeyPress, Qt::Key_0 + (code - '0'), Qt::NoModifier, QString(QChar(code)));
}

// Shows the window active with `edit` focused.
void ShowFocused(QWidget& window, QWidget& edit) {
  window.show();
  QApplication::setActiveWindow(&window);
  edit.setFocus();
  QApplication::processEvents();
}

void SendKeys(QWidget& edit, const TypedDate& date) {
  for (const picker_keys::TKeyStroke& key : date.Keys) {
    QKeyEvent press = KeyEventOf(key);
    QApplication::sendEvent(&edit, &press);
  }
}

void ShownPicker(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType(kPickerDates);
  QWidget window;
  auto* picker = new TdwDBDateTimePicker(&window);
  picker->SetUnboundDataType(dwDTEdtDate);
  ShowFocused(window, *picker);
  bench::Timed(state, "shown picker", [&] {
    for (const TypedDate& date : dates) {
      SendKeys(*picker, date);
      bench::Check(picker->Date() == date.Value, "shown picker " + picker->text().toStdString());
    }
  });
}

// Qt's own floor: a plain line edit typing the same keys (its text laid out
// at every key, as the picker's is).
void PlainLineEdit(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType(kPickerDates);
  QWidget window;
  auto* edit = new QLineEdit(&window);
  ShowFocused(window, *edit);
  bench::Timed(state, "plain line edit", [&] {
    for (const TypedDate& date : dates) {
      edit->selectAll();
      SendKeys(*edit, date);
      bench::Check(!edit->text().isEmpty(), "plain line edit");
    }
  });
}

void ModelTyped(benchmark::State& state) {
  const std::vector<TypedDate> dates = DatesToType(kPickerDates);
  PickerModel model;
  model.SetUnboundDataType(dwDTEdtDate);
  bench::Timed(state, "picker model", [&] {
    for (const TypedDate& date : dates) {
      for (const picker_keys::TKeyStroke& key : date.Keys) picker_keys::Press(model, key);
      bench::Check(model.GetDate() == date.Value, "picker model " + model.Text());
    }
  });
}

constexpr int kDropDowns = 50;

void FirstDropDown(benchmark::State& state) {
  QWidget window;
  window.show();
  QApplication::setActiveWindow(&window);
  QApplication::processEvents();
  bench::Timed(state, "first drop-down", [&] {
    for (int i = 0; i < kDropDowns; ++i) {
      TdwDBDateTimePicker picker(&window);
      picker.SetUnboundDataType(dwDTEdtDate);
      picker.SetDate(EncodeDate(2000, 1, 15));
      picker.show();
      picker.DropDown();
      QApplication::processEvents();
      bench::Check(picker.DroppedDown(), "no drop-down");
      picker.CloseUp(true);
    }
  });
}

void BarePopup(benchmark::State& state) {
  bench::Timed(state, "bare popup", [&] {
    for (int i = 0; i < kDropDowns; ++i) {
      QCalendarWidget calendar;
      calendar.setWindowFlags(Qt::Popup);
      calendar.setSelectedDate(QDate(2000, 1, 15));
      calendar.move(100, 100);
      calendar.show();
      QApplication::processEvents();
      calendar.hide();
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  InitIntl();
  benchmark::RegisterBenchmark("calendar", Calendar)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bare", Bare)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("typed", Typed)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("formatted", Formatted)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("formatted per key", FormattedPerKey)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("shown picker", ShownPicker)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("picker model", ModelTyped)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("plain line edit", PlainLineEdit)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("first drop-down", FirstDropDown)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bare popup", BarePopup)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  const int status = bench::Run("datetime_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.4f\n", name.c_str(), ms);
    const double bare = meanMs["bare"];
    if (bare > 0) std::printf("calendar/bare = %.3fx\n", meanMs["calendar"] / bare);
    const double formatted = meanMs["formatted"];
    if (formatted > 0) std::printf("typed/formatted = %.3fx\n", meanMs["typed"] / formatted);
    const double perKey = meanMs["formatted per key"];
    if (perKey > 0) std::printf("typed/formatted per key = %.3fx\n", meanMs["typed"] / perKey);
    const double model = meanMs["picker model"];
    if (model > 0) std::printf("shown picker/picker model = %.3fx\n", meanMs["shown picker"] / model);
    const double plain = meanMs["plain line edit"];
    if (plain > 0) std::printf("shown picker/plain line edit = %.3fx\n", meanMs["shown picker"] / plain);
    const double barePopup = meanMs["bare popup"];
    if (barePopup > 0) std::printf("first drop-down/bare popup = %.3fx\n", meanMs["first drop-down"] / barePopup);
  });
  FinalIntl();
  return status;
}
