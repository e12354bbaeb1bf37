// The month calendar's page change with bold days against a bare
// QCalendarWidget doing the same: 500 page changes (250 months on, 250 back),
// each page asking for the bold days of the month before, the shown month and
// the month after, old bold formats cleared. Offscreen.
//
// The table at the end gives the mean of each and the ratio calendar/bare.
#include "bench/bench_support.h"
#include "datetime/dw_intl.h"
#include "datetime/qt/month_calendar.h"
#include "platform/datetime_value.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTextCharFormat>

#include <cstdio>
#include <cstdlib>

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

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  InitIntl();
  benchmark::RegisterBenchmark("calendar", Calendar)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bare", Bare)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  const int status = bench::Run("datetime_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.4f\n", name.c_str(), ms);
    const double bare = meanMs["bare"];
    if (bare > 0) std::printf("calendar/bare = %.3fx\n", meanMs["calendar"] / bare);
  });
  FinalIntl();
  return status;
}
